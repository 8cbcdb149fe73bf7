#include "tevrin/pages/analysis/archive_chart.h"

#include "brannix/qzoominfo.h"
#include "platform/ini_guard.h"
#include "platform/prompter.h"
#include "tevrin/pages/widgets/scale_dlg.h"

#include <QActionGroup>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QGraphicsSimpleTextItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRubberBand>
#include <QSettings>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFootGap = 6;
// A drag shorter than this (pixels) in either direction is a click, not a rectangle.
constexpr int kMinimumDrag = 4;
// Key and section of the chart colours in the user's settings.
const char* const kSettingsKey = "Sentrel";
const char* const kColorSection = "ArchiveChart";

// The chart's view: hands the mouse to the chart's own handling.
class ArchiveChartView : public QChartView {
public:
    ArchiveChartView(QChart* chart, TArchiveChart* owner) : QChartView(chart, owner), owner_(owner)
    {
        setRenderHint(QPainter::Antialiasing);
        setRubberBand(QChartView::NoRubberBand);
        setContextMenuPolicy(Qt::NoContextMenu);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        owner_->MouseDown(e->button(), e->modifiers(), e->position().toPoint());
        e->accept();
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        owner_->MouseMove(e->position().toPoint());
        e->accept();
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        owner_->MouseUp(e->button(), e->modifiers(), e->position().toPoint());
        e->accept();
    }

private:
    TArchiveChart* owner_;
};

void HideFromLegend(QChart* chart, QLineSeries* series)
{
    for (QLegendMarker* marker : chart->legend()->markers(series)) marker->setVisible(false);
}

QPen StatsPen(const QColor& color, Qt::PenStyle style)
{
    QPen pen(color);
    pen.setStyle(style);
    pen.setWidth(1);
    return pen;
}

}  // namespace

TArchiveChart::TArchiveChart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("chartArchive"));
    chart_ = new QChart;
    chart_->setTitle(QStringLiteral("Archive Chart"));
    chart_->legend()->setAlignment(Qt::AlignBottom);
    defaultBackground_ = chart_->backgroundBrush();

    data_ = new QLineSeries;
    data_->setName(QStringLiteral("Series1"));
    data_->setColor(ColorOf(kDefaultDataColor));
    data_->setMarkerSize(6);
    average_ = new QLineSeries;
    average_->setName(QStringLiteral("Average"));
    deviationLow_ = new QLineSeries;
    deviationLow_->setName(QStringLiteral("Standard Deviation"));
    deviationHigh_ = new QLineSeries;
    deviationHigh_->setName(QStringLiteral("StdDev High"));
    rsd_ = new QLineSeries;
    rsd_->setName(QStringLiteral("%RSD"));
    for (QLineSeries* s : {average_, deviationLow_, deviationHigh_, rsd_}) {
        s->setPointLabelsVisible(true);
        s->setPointLabelsFormat(QStringLiteral("@yPoint"));
        s->setPointLabelsClipping(false);
    }
    SetStatsColor(ColorOf(kDefaultStatsColor));

    axisX_ = new QValueAxis;
    axisY_ = new QValueAxis;
    axisX_->setLabelFormat(QStringLiteral("%g"));
    chart_->addAxis(axisX_, Qt::AlignBottom);
    chart_->addAxis(axisY_, Qt::AlignLeft);
    for (QLineSeries* s : {data_, average_, deviationLow_, deviationHigh_, rsd_}) {
        chart_->addSeries(s);
        s->attachAxis(axisX_);
        s->attachAxis(axisY_);
    }
    HideFromLegend(chart_, data_);
    HideFromLegend(chart_, deviationHigh_);

    foot_ = new QGraphicsSimpleTextItem(chart_);
    QMargins margins = chart_->margins();
    margins.setBottom(margins.bottom() + QFontMetrics(foot_->font()).height() + kFootGap);
    chart_->setMargins(margins);
    connect(chart_, &QChart::geometryChanged, this, [this] { PlaceFoot(); });
    connect(chart_, &QChart::plotAreaChanged, this, [this] {
        if (!redrawing_) Redraw();
    });
    connect(axisX_, &QValueAxis::rangeChanged, this, [this] {
        if (!redrawing_) Redraw();
    });

    view_ = new ArchiveChartView(chart_, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);

    zoomInfo_ = new TQZoomInfo(this);
    BuildMenu();
    BuildToolButtons();
    SetZoomControls(false);
    ApplyRange(0, 1, 0, 1);
}

TArchiveChart::~TArchiveChart() { delete scaleDlg_; }

void TArchiveChart::BuildMenu()
{
    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("popArchGraph"));
    const auto add = [](QMenu* menu, const char* name, const char* text) {
        QAction* a = menu->addAction(QString::fromLatin1(text));
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    mnuShowEntireGraph_ = add(menu_, "mnuShowEntireGraph", "Show Entire Graph");
    mnuUndoLastZoom_ = add(menu_, "mnuUndoLastZoom", "Undo Last Zoom");
    mnuAutoScale_ = add(menu_, "mnuAutoScale", "Auto-Scale");
    QMenu* setScale = menu_->addMenu(QStringLiteral("Set Scale"));
    setScale->setObjectName(QStringLiteral("mnuSetScale"));
    mnuScaletoData_ = add(setScale, "mnuScaletoData", "Scale to Data");
    mnuManual_ = add(setScale, "mnuManual", "Scale Manually");
    menu_->addSeparator();
    mnuPrintChart_ = add(menu_, "mnuPrintChart", "Print");
    mnuCopytoClipboard_ = add(menu_, "mnuCopytoClipboard", "Copy to Clipboard");
    menu_->addSeparator();
    QMenu* preferences = menu_->addMenu(QStringLiteral("Preferences"));
    preferences->setObjectName(QStringLiteral("Preferences1"));
    QMenu* traceColor = preferences->addMenu(QStringLiteral("Set Trace Color"));
    traceColor->setObjectName(QStringLiteral("mnuSetTraceColor"));
    mnuSetDataTraceColor_ = add(traceColor, "mnuSetDataTraceColor", "Data");
    mnuSetStatsTraceColor_ = add(traceColor, "mnuSetStatsTraceColor", "Statistics");
    mnuSetBackgroundColor_ = add(preferences, "mnuSetBackgroundColor", "Set Background Color");
    mnuResetDefaults_ = add(preferences, "mnuResetDefaults", "Reset Default Colors");
    preferences->addSeparator();
    mnuInvertScrolling_ = add(preferences, "mnuInvertScrolling", "Invert Scrolling");
    mnuInvertScrolling_->setCheckable(true);
    preferences->addSeparator();
    QMenu* orientation = preferences->addMenu(QStringLiteral("Print Orientation"));
    orientation->setObjectName(QStringLiteral("PrintOrientation1"));
    mnuPrintLandscape_ = add(orientation, "mnuPrintLandscape", "Landscape");
    mnuPrintPortrait_ = add(orientation, "mnuPrintPortrait", "Portrait");
    QMenu* sizing = preferences->addMenu(QStringLiteral("Print Sizing"));
    sizing->setObjectName(QStringLiteral("PrintSizing1"));
    mnuPrintFitToPage_ = add(sizing, "mnuPrintFitToPage", "Fit to Page");
    mnuPrintKeepScreenProportion_ = add(sizing, "mnuPrintKeepScreenProportion", "Keep Screen Proportion");
    for (const auto& pair : {std::pair{mnuPrintLandscape_, mnuPrintPortrait_},
                             std::pair{mnuPrintFitToPage_, mnuPrintKeepScreenProportion_}}) {
        auto* group = new QActionGroup(this);
        pair.first->setCheckable(true);
        pair.second->setCheckable(true);
        group->addAction(pair.first);
        group->addAction(pair.second);
        pair.second->setChecked(pair.first == mnuPrintLandscape_);
        pair.first->setChecked(pair.first == mnuPrintFitToPage_);
    }

    connect(mnuShowEntireGraph_, &QAction::triggered, this, &TArchiveChart::ShowEntireGraph);
    connect(mnuUndoLastZoom_, &QAction::triggered, this, &TArchiveChart::UndoLastZoom);
    connect(mnuAutoScale_, &QAction::triggered, this, &TArchiveChart::AutoScaleVisible);
    connect(mnuScaletoData_, &QAction::triggered, this, &TArchiveChart::ScaleToData);
    connect(mnuManual_, &QAction::triggered, this, &TArchiveChart::ScaleManually);
    connect(mnuPrintChart_, &QAction::triggered, this, &TArchiveChart::Print);
    connect(mnuCopytoClipboard_, &QAction::triggered, this, &TArchiveChart::CopyToClipboard);
    connect(mnuSetDataTraceColor_, &QAction::triggered, this, &TArchiveChart::ChooseDataColor);
    connect(mnuSetStatsTraceColor_, &QAction::triggered, this, &TArchiveChart::ChooseStatsColor);
    connect(mnuSetBackgroundColor_, &QAction::triggered, this, &TArchiveChart::ChooseBackgroundColor);
    connect(mnuResetDefaults_, &QAction::triggered, this, &TArchiveChart::ResetDefaultColors);
}

void TArchiveChart::BuildToolButtons()
{
    const auto make = [this](const char* name, const char* text, const char* hint) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(QString::fromLatin1(text));
        const QString h = QString::fromLatin1(hint);
        b->setToolTip(h.section(QLatin1Char('|'), 0, 0));
        b->setStatusTip(h.section(QLatin1Char('|'), 1));
        b->setVisible(false);
        return b;
    };
    tbtnZoomMode_ = make("tbtnZoomMode", "Zoom mode",
                         "Zoom mode|Zoom mode (Left-click-->Zoom in  &  Right-click-->Zoom out)");
    tbtnAutoScale_ = make("tbtnAutoScale", "Auto-Scale", "Auto-Scale|Auto-Scale Y-axis to fit visible data");
    tbtnFullGraph_ = make("tbtnFullGraph", "Show Entire Graph", "Show Entire Graph|Show Entire Graph (Full Zoom Out)");
    ConnectToolButtons();
}

void TArchiveChart::ConnectToolButtons()
{
    tbtnZoomMode_->setCheckable(true);
    connect(tbtnZoomMode_, &QToolButton::clicked, this, &TArchiveChart::SetZoomMode);
    connect(tbtnAutoScale_, &QToolButton::clicked, this, &TArchiveChart::AutoScaleVisible);
    connect(tbtnFullGraph_, &QToolButton::clicked, this, &TArchiveChart::ShowEntireGraph);
}

void TArchiveChart::AdoptToolButtons(QToolButton* zoomMode, QToolButton* autoScale, QToolButton* fullGraph)
{
    if (!zoomMode || !autoScale || !fullGraph) return;
    const struct {
        QToolButton* given;
        const char* hint;
    } kHints[] = {{zoomMode, "Zoom mode|Zoom mode (Left-click-->Zoom in  &  Right-click-->Zoom out)"},
                  {autoScale, "Auto-Scale|Auto-Scale Y-axis to fit visible data"},
                  {fullGraph, "Show Entire Graph|Show Entire Graph (Full Zoom Out)"}};
    for (const auto& h : kHints) {
        const QString hint = QString::fromLatin1(h.hint);
        h.given->setToolTip(hint.section(QLatin1Char('|'), 0, 0));
        h.given->setStatusTip(hint.section(QLatin1Char('|'), 1));
    }
    delete tbtnZoomMode_;
    delete tbtnAutoScale_;
    delete tbtnFullGraph_;
    tbtnZoomMode_ = zoomMode;
    tbtnAutoScale_ = autoScale;
    tbtnFullGraph_ = fullGraph;
    ConnectToolButtons();
    SetZoomControls(zoomed_);
}

// --- the graph ------------------------------------------------------------------------------

QString TArchiveChart::Title() const { return chart_->title(); }
QString TArchiveChart::Foot() const { return foot_->text(); }

void TArchiveChart::Plot(const QString& title, ChartSamples samples)
{
    chart_->setTitle(title);
    samples_ = std::move(samples);
    statistics_ = MeanAndStdDev(samples_.y);
    data_->setPointsVisible(samples_.size() <= static_cast<size_t>(kMaxSamplesWithPointers));
    foot_->setText(StatisticsFoot(statistics_));
    PlaceFoot();

    const auto line = [this](QLineSeries* series, double y) {
        if (samples_.empty()) {
            series->clear();
            return;
        }
        series->replace(QList<QPointF>{{samples_.x.front(), y}, {samples_.x.back(), y}});
    };
    line(average_, statistics_.mean);
    line(deviationLow_, statistics_.mean - statistics_.sd);
    line(deviationHigh_, statistics_.mean + statistics_.sd);
    line(rsd_, statistics_.rsd);

    // A new graph undoes the zoom; the zoom stack stays as it was.
    zoomed_ = false;
    double xMin, xMax, yMin, yMax;
    FullXRange(xMin, xMax);
    if (leftAutomatic_)
        AutomaticYRange(yMin, yMax);
    else {
        yMin = axisY_->min();
        yMax = axisY_->max();
    }
    ApplyRange(xMin, xMax, yMin, yMax);
}

void TArchiveChart::FullXRange(double& xMin, double& xMax) const
{
    if (samples_.empty()) {
        xMin = 0;
        xMax = 1;
        return;
    }
    xMin = samples_.x.front();
    xMax = samples_.x.back();
    if (!(xMax > xMin)) {
        xMin -= 1;
        xMax += 1;
    }
}

void TArchiveChart::AutomaticYRange(double& yMin, double& yMax) const
{
    if (samples_.empty()) {
        yMin = 0;
        yMax = 1;
        return;
    }
    const auto [lo, hi] = std::minmax_element(samples_.y.begin(), samples_.y.end());
    yMin = *lo;
    yMax = *hi;
    for (double v : {statistics_.mean, statistics_.mean - statistics_.sd, statistics_.mean + statistics_.sd, statistics_.rsd}) {
        yMin = std::min(yMin, v);
        yMax = std::max(yMax, v);
    }
    if (!(yMax > yMin)) {
        yMin -= 1;
        yMax += 1;
    }
}

void TArchiveChart::ApplyRange(double xMin, double xMax, double yMin, double yMax)
{
    redrawing_ = true;
    axisX_->setRange(xMin, xMax);
    axisY_->setRange(yMin, yMax);
    redrawing_ = false;
    Redraw();
}

void TArchiveChart::Redraw()
{
    redrawing_ = true;
    int columns = static_cast<int>(chart_->plotArea().width());
    if (columns < 1) columns = std::max(1, view_ ? view_->width() : 1);
    const std::vector<QPointF> line = ReduceToColumns(samples_, axisX_->min(), axisX_->max(), columns);
    data_->replace(QList<QPointF>(line.begin(), line.end()));
    redrawing_ = false;
}

void TArchiveChart::PlaceFoot()
{
    const QRectF area = chart_->rect();
    const QRectF text = foot_->boundingRect();
    foot_->setPos(area.left() + (area.width() - text.width()) / 2, area.bottom() - text.height() - kFootGap / 2);
}

// --- zoom -----------------------------------------------------------------------------------

SampleSpan TArchiveChart::VisibleSamples() const { return VisibleSpan(samples_, axisX_->min(), axisX_->max()); }

void TArchiveChart::SetZoomControls(bool zoomed)
{
    mnuUndoLastZoom_->setVisible(zoomed);
    mnuShowEntireGraph_->setVisible(zoomed);
    mnuAutoScale_->setVisible(zoomed);
    tbtnFullGraph_->setEnabled(zoomed);
    tbtnAutoScale_->setEnabled(zoomed);
}

void TArchiveChart::ZoomTo(double xMin, double xMax, double yMin, double yMax)
{
    if (!(xMax > xMin) || !(yMax > yMin)) return;
    if (!zoomed_) {
        preZoomAutomatic_ = leftAutomatic_;
        preZoomYMin_ = axisY_->min();
        preZoomYMax_ = axisY_->max();
        zoomed_ = true;
    }
    ApplyRange(xMin, xMax, yMin, yMax);
    zoomInfo_->AddZoom(static_cast<float>(axisX_->min()), static_cast<float>(axisX_->max()),
                       static_cast<float>(axisY_->min()), static_cast<float>(axisY_->max()));
    SetZoomControls(true);
}

QPointF TArchiveChart::ValueAt(const QPoint& viewportPos) const
{
    const QPointF scene = view_->mapToScene(viewportPos);
    return chart_->mapToValue(chart_->mapFromScene(scene), data_);
}

void TArchiveChart::ZoomInAt(const QPoint& viewportPos)
{
    if (VisibleSamples().count() <= 3) return;
    const QPointF at = ValueAt(viewportPos);
    const double x = at.x();
    const double y = static_cast<float>(at.y());
    if (x < axisX_->min() || x > axisX_->max() || y < axisY_->min() || y > axisY_->max()) return;
    const double w = axisX_->max() - axisX_->min();
    const double h = axisY_->max() - axisY_->min();
    ZoomTo(x - w / 4, x + w / 4, y - h / 4, y + h / 4);
}

void TArchiveChart::UndoLastZoom()
{
    if (zoomInfo_->GetZoomLevel() < 1) {
        ShowEntireGraph();
        return;
    }
    const TZoomRect r = zoomInfo_->GetPreviousZoom();
    leftAutomatic_ = false;
    ApplyRange(r.a, r.b, r.c, r.d);
}

void TArchiveChart::ShowEntireGraph()
{
    SetZoomControls(false);
    double xMin, xMax, yMin, yMax;
    FullXRange(xMin, xMax);
    if (zoomed_) leftAutomatic_ = preZoomAutomatic_;
    if (leftAutomatic_) {
        AutomaticYRange(yMin, yMax);
    } else if (zoomed_) {
        yMin = preZoomYMin_;
        yMax = preZoomYMax_;
    } else {
        yMin = axisY_->min();
        yMax = axisY_->max();
    }
    zoomed_ = false;
    ApplyRange(xMin, xMax, yMin, yMax);
    zoomInfo_->ClearZoomInfo();
}

void TArchiveChart::AutoScaleVisible()
{
    double low = 0, high = 0;
    if (!AutoScaleRange(samples_, VisibleSamples(), low, high)) return;
    if (!(high > low)) {
        // Flat visible data: a band of one unit round it.
        low -= 1;
        high += 1;
    }
    ZoomTo(axisX_->min(), axisX_->max(), low, high);
}

void TArchiveChart::ScaleToData()
{
    leftAutomatic_ = true;
    double yMin, yMax;
    AutomaticYRange(yMin, yMax);
    ApplyRange(axisX_->min(), axisX_->max(), yMin, yMax);
}

void TArchiveChart::ScaleManually()
{
    if (!scaleDlg_) scaleDlg_ = new TfrmScaleDlg;
    if (scaleDlg_->ShowModal() != QDialog::Accepted) return;
    double low = 0, high = 0;
    QString error;
    if (!scaleDlg_->Values(low, high, error)) {
        platform::MessageDlg(error, platform::DlgType::Error, platform::mbOK);
        return;
    }
    leftAutomatic_ = false;
    ApplyRange(axisX_->min(), axisX_->max(), low, high);
    tbtnAutoScale_->setEnabled(true);
}

void TArchiveChart::SetZoomMode(bool on)
{
    zoomMode_ = on;
    tbtnZoomMode_->setChecked(on);
    // There is no zoom cursor of our own; a cross marks zoom mode.
    view_->viewport()->setCursor(on ? Qt::CrossCursor : Qt::ArrowCursor);
}

// --- mouse ----------------------------------------------------------------------------------

void TArchiveChart::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos)
{
    if (VisibleSamples().count() > 0 && ((modifiers & Qt::ShiftModifier) || zoomMode_)) {
        if (button == Qt::LeftButton)
            ZoomInAt(pos);
        else if (button == Qt::RightButton)
            UndoLastZoom();
        return;
    }
    if (button == Qt::LeftButton) {
        leftDragging_ = true;
        dragOrigin_ = pos;
        if (!rubberBand_) rubberBand_ = new QRubberBand(QRubberBand::Rectangle, view_->viewport());
        rubberBand_->setGeometry(QRect(pos, QSize()));
        rubberBand_->show();
    } else if (button == Qt::RightButton) {
        pressXMin_ = axisX_->min();
        pressYMin_ = axisY_->min();
        rightDragging_ = true;
        lastRightPos_ = pos;
    }
}

void TArchiveChart::MouseMove(const QPoint& pos)
{
    if (leftDragging_ && rubberBand_) rubberBand_->setGeometry(QRect(dragOrigin_, pos).normalized());
    if (rightDragging_) {
        const QPoint delta = pos - lastRightPos_;
        lastRightPos_ = pos;
        if (delta.isNull()) return;
        const int sign = mnuInvertScrolling_->isChecked() ? -1 : 1;
        chart_->scroll(-sign * delta.x(), sign * delta.y());
    }
}

void TArchiveChart::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos)
{
    if (button == Qt::LeftButton && leftDragging_) {
        leftDragging_ = false;
        if (rubberBand_) rubberBand_->hide();
        const QRect band = QRect(dragOrigin_, pos).normalized();
        if (band.width() < kMinimumDrag || band.height() < kMinimumDrag) return;
        const QPointF a = ValueAt(band.topLeft());
        const QPointF b = ValueAt(band.bottomRight());
        ZoomTo(std::min(a.x(), b.x()), std::max(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.y(), b.y()));
        return;
    }
    if (button != Qt::RightButton) return;
    rightDragging_ = false;
    if ((modifiers & Qt::ShiftModifier) && zoomMode_) return;
    // A drag that scrolled the chart does not open the menu.
    if (axisX_->min() != pressXMin_ || axisY_->min() != pressYMin_) return;
    menu_->popup(view_->viewport()->mapToGlobal(pos));
}

// --- output ---------------------------------------------------------------------------------

bool TArchiveChart::PrintTo(QPrinter& printer)
{
    const QPageLayout::Orientation previous = printer.pageLayout().orientation();
    printer.setPageOrientation(mnuPrintLandscape_->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPainter painter;
    bool printed = false;
    if (painter.begin(&printer)) {
        const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
        const QRect target = PrintRect(page.width(), page.height(), view_->width(), view_->height(),
                                       mnuPrintKeepScreenProportion_->isChecked());
        view_->render(&painter, QRectF(target), view_->viewport()->rect(), Qt::IgnoreAspectRatio);
        printed = painter.end();
    }
    printer.setPageOrientation(previous);
    return printed;
}

void TArchiveChart::Print()
{
    if (QPrinterInfo::defaultPrinter().isNull()) {
        platform::MessageDlg(QStringLiteral("The chart was not printed: no printer is set up."), platform::DlgType::Error,
                             platform::mbOK);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    if (!PrintTo(printer))
        platform::MessageDlg(QStringLiteral("The chart could not be printed on \"%1\".").arg(printer.printerName()),
                             platform::DlgType::Error, platform::mbOK);
}

QImage TArchiveChart::ToImage() const { return view_->grab().toImage(); }

void TArchiveChart::CopyToClipboard() { QApplication::clipboard()->setImage(ToImage()); }

// --- colours --------------------------------------------------------------------------------

int TArchiveChart::ColorValue(const QColor& color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

QColor TArchiveChart::ColorOf(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QColor TArchiveChart::DataColor() const { return data_->color(); }
QColor TArchiveChart::StatsColor() const { return average_->color(); }

void TArchiveChart::SetStatsColor(const QColor& color)
{
    average_->setPen(StatsPen(color, Qt::SolidLine));
    for (QLineSeries* s : {deviationLow_, deviationHigh_, rsd_}) s->setPen(StatsPen(color, Qt::DotLine));
}

void TArchiveChart::WriteColors(std::initializer_list<std::pair<const char*, int>> colors)
{
    platform::SaveUserIni(QString::fromLatin1(kSettingsKey), [colors](QSettings& ini) {
        for (const auto& [name, value] : colors)
            ini.setValue(QStringLiteral("%1/%2").arg(QLatin1String(kColorSection), QLatin1String(name)), value);
    });
}

void TArchiveChart::ChooseDataColor()
{
    QColor color = DataColor();
    if (!platform::Prompter().ChooseColor(color)) return;
    data_->setColor(color);
    WriteColors({{"TraceColorData", ColorValue(color)}});
}

void TArchiveChart::ChooseStatsColor()
{
    QColor color = StatsColor();
    if (!platform::Prompter().ChooseColor(color)) return;
    SetStatsColor(color);
    WriteColors({{"TraceColorStats", ColorValue(color)}});
}

void TArchiveChart::ChooseBackgroundColor()
{
    QColor color = chart_->backgroundBrush().color();
    if (!platform::Prompter().ChooseColor(color)) return;
    chart_->setBackgroundBrush(color);
    WriteColors({{"BackgroundColor", ColorValue(color)}});
}

void TArchiveChart::ResetDefaultColors()
{
    data_->setColor(ColorOf(kDefaultDataColor));
    SetStatsColor(ColorOf(kDefaultStatsColor));
    chart_->setBackgroundBrush(defaultBackground_);
    WriteColors({{"TraceColorData", kDefaultDataColor},
                 {"TraceColorStats", kDefaultStatsColor},
                 {"BackgroundColor", kDefaultBackgroundColor}});
}
