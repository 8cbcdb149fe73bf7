#pragma once
// The archive page's chart: a block of one archive column as a line, with its sample count,
// mean, standard deviation and relative standard deviation as the foot text and as reference
// lines. The operator zooms by dragging a rectangle, by clicking in zoom mode (or with Shift:
// left zooms in twofold round the click, right steps back), scrolls by dragging with the
// right button, and steps back through the zoom stack; the Y axis scales to the data, to the
// visible points or by hand. The chart prints itself, copies itself to the clipboard as a
// picture, and its colours are chosen by the operator and written to the user's settings.
//
// The samples are kept here whole; the line drawn is reduced to the first, lowest, highest
// and last sample of each pixel column of the visible range, again at every zoom or scroll.
#include "tevrin/pages/analysis/archive_statistics.h"

#include <QBrush>
#include <QColor>
#include <QPointF>
#include <QString>
#include <QWidget>
#include <initializer_list>
#include <utility>

class QAction;
class QChart;
class QChartView;
class QGraphicsSimpleTextItem;
class QLineSeries;
class QMenu;
class QPrinter;
class QToolButton;
class QValueAxis;
class TQZoomInfo;
class TfrmScaleDlg;

class TArchiveChart : public QWidget {
    Q_OBJECT
public:
    // Colours in the settings' encoding 0x00BBGGRR; the background default is the chart's own.
    static constexpr int kDefaultDataColor = 255;
    static constexpr int kDefaultStatsColor = 0xFF0000;
    static constexpr int kDefaultBackgroundColor = 0x20000000;
    // Up to this many samples the line shows a pointer at every point.
    static constexpr int kMaxSamplesWithPointers = 51;

    explicit TArchiveChart(QWidget* parent = nullptr);
    ~TArchiveChart() override;

    // --- the graph ----------------------------------------------------------------------------
    // Plots the samples (X ascending) under the title, works out their statistics and draws
    // them. Undoes any zoom; the zoom stack stays as it was.
    void Plot(const QString& title, ChartSamples samples);
    const ChartSamples& Samples() const { return samples_; }
    const SampleStatistics& Statistics() const { return statistics_; }
    QString Title() const;
    QString Foot() const;

    QChart* chart() const { return chart_; }
    QChartView* view() const { return view_; }
    QLineSeries* DataSeries() const { return data_; }
    QLineSeries* AverageSeries() const { return average_; }
    QLineSeries* DeviationLowSeries() const { return deviationLow_; }
    QLineSeries* DeviationHighSeries() const { return deviationHigh_; }
    QLineSeries* RsdSeries() const { return rsd_; }
    QValueAxis* AxisX() const { return axisX_; }
    QValueAxis* AxisY() const { return axisY_; }

    // --- zoom ---------------------------------------------------------------------------------
    // Shows the rectangle and records it on the zoom stack (the chart's zoom event).
    void ZoomTo(double xMin, double xMax, double yMin, double yMax);
    // The twofold zoom round a point of the view's viewport, as a left click in zoom mode
    // does: nothing with three or fewer visible points or outside the axes' ranges.
    void ZoomInAt(const QPoint& viewportPos);
    void UndoLastZoom();
    void ShowEntireGraph();
    // The Y axis to the visible points (sampled), as a zoom; nothing with fewer than two.
    void AutoScaleVisible();
    // The Y axis back to automatic scaling.
    void ScaleToData();
    // The Y axis by hand through the scale dialog.
    void ScaleManually();
    void SetZoomMode(bool on);
    bool ZoomMode() const { return zoomMode_; }
    bool LeftAxisAutomatic() const { return leftAutomatic_; }
    TQZoomInfo* ZoomInfo() const { return zoomInfo_; }
    // The samples within the bottom axis's range.
    SampleSpan VisibleSamples() const;

    // --- output -------------------------------------------------------------------------------
    // Prints the chart on the printer (a PDF file in tests) in the orientation and sizing of
    // the menu's print options; the printer's orientation is restored afterwards. False when
    // nothing could be drawn on it.
    bool PrintTo(QPrinter& printer);
    // The menu's "Print": the default printer; says so when there is none or it fails.
    void Print();
    // The chart as a picture on the clipboard.
    void CopyToClipboard();
    QImage ToImage() const;

    // --- colours ------------------------------------------------------------------------------
    void ChooseDataColor();
    void ChooseStatsColor();
    void ChooseBackgroundColor();
    void ResetDefaultColors();
    QColor DataColor() const;
    QColor StatsColor() const;
    // A colour in the settings' encoding, and back (the default background has no colour).
    static int ColorValue(const QColor& color);
    static QColor ColorOf(int value);

    // --- menu and tool buttons -------------------------------------------------------------
    QMenu* Menu() const { return menu_; }
    QAction* mnuShowEntireGraph() const { return mnuShowEntireGraph_; }
    QAction* mnuUndoLastZoom() const { return mnuUndoLastZoom_; }
    QAction* mnuAutoScale() const { return mnuAutoScale_; }
    QAction* mnuScaletoData() const { return mnuScaletoData_; }
    QAction* mnuManual() const { return mnuManual_; }
    QAction* mnuPrintChart() const { return mnuPrintChart_; }
    QAction* mnuCopytoClipboard() const { return mnuCopytoClipboard_; }
    QAction* mnuSetDataTraceColor() const { return mnuSetDataTraceColor_; }
    QAction* mnuSetStatsTraceColor() const { return mnuSetStatsTraceColor_; }
    QAction* mnuSetBackgroundColor() const { return mnuSetBackgroundColor_; }
    QAction* mnuResetDefaults() const { return mnuResetDefaults_; }
    QAction* mnuInvertScrolling() const { return mnuInvertScrolling_; }
    QAction* mnuPrintLandscape() const { return mnuPrintLandscape_; }
    QAction* mnuPrintPortrait() const { return mnuPrintPortrait_; }
    QAction* mnuPrintFitToPage() const { return mnuPrintFitToPage_; }
    QAction* mnuPrintKeepScreenProportion() const { return mnuPrintKeepScreenProportion_; }
    // The three chart buttons (hidden until the page shows them). The chart makes its own; a
    // page with buttons of its own hands them over instead.
    void AdoptToolButtons(QToolButton* zoomMode, QToolButton* autoScale, QToolButton* fullGraph);
    QToolButton* tbtnZoomMode() const { return tbtnZoomMode_; }
    QToolButton* tbtnAutoScale() const { return tbtnAutoScale_; }
    QToolButton* tbtnFullGraph() const { return tbtnFullGraph_; }

    // Mouse handling of the view (positions in the view's viewport).
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos);
    void MouseMove(const QPoint& pos);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint& pos);

private:
    void BuildMenu();
    void BuildToolButtons();
    void ConnectToolButtons();
    void SetZoomControls(bool zoomed);
    void ApplyRange(double xMin, double xMax, double yMin, double yMax);
    void FullXRange(double& xMin, double& xMax) const;
    void AutomaticYRange(double& yMin, double& yMax) const;
    void Redraw();
    void PlaceFoot();
    void SetStatsColor(const QColor& color);
    // Stores the colours (settings name, value) in one go.
    void WriteColors(std::initializer_list<std::pair<const char*, int>> colors);
    QPointF ValueAt(const QPoint& viewportPos) const;

    ChartSamples samples_;
    SampleStatistics statistics_;
    QChart* chart_;
    QChartView* view_;
    QValueAxis* axisX_;
    QValueAxis* axisY_;
    QLineSeries* data_;
    QLineSeries* average_;
    QLineSeries* deviationLow_;
    QLineSeries* deviationHigh_;
    QLineSeries* rsd_;
    QGraphicsSimpleTextItem* foot_;
    TQZoomInfo* zoomInfo_;
    TfrmScaleDlg* scaleDlg_ = nullptr;
    QBrush defaultBackground_;

    bool zoomMode_ = false;
    bool leftAutomatic_ = true;
    bool zoomed_ = false;
    // The Y axis before the first zoom, restored by Show Entire Graph.
    bool preZoomAutomatic_ = true;
    double preZoomYMin_ = 0, preZoomYMax_ = 1;
    bool redrawing_ = false;

    // Mouse: the rubber band of a left drag, the right drag's scroll and the axis minimums at
    // the right press (the menu opens only when the drag did not scroll).
    QWidget* rubberBand_ = nullptr;
    QPoint dragOrigin_;
    bool leftDragging_ = false;
    bool rightDragging_ = false;
    QPoint lastRightPos_;
    double pressXMin_ = 0, pressYMin_ = 0;

    QMenu* menu_;
    QAction* mnuShowEntireGraph_;
    QAction* mnuUndoLastZoom_;
    QAction* mnuAutoScale_;
    QAction* mnuScaletoData_;
    QAction* mnuManual_;
    QAction* mnuPrintChart_;
    QAction* mnuCopytoClipboard_;
    QAction* mnuSetDataTraceColor_;
    QAction* mnuSetStatsTraceColor_;
    QAction* mnuSetBackgroundColor_;
    QAction* mnuResetDefaults_;
    QAction* mnuInvertScrolling_;
    QAction* mnuPrintLandscape_;
    QAction* mnuPrintPortrait_;
    QAction* mnuPrintFitToPage_;
    QAction* mnuPrintKeepScreenProportion_;
    QToolButton* tbtnZoomMode_;
    QToolButton* tbtnAutoScale_;
    QToolButton* tbtnFullGraph_;
};
