#include "tevrin/pages/config/fra_stream.h"

#include "brannix/qlabelededit.h"
#include "platform/messages.h"
#include "tevrin/pages/alarm_icons.h"
#include "tevrin/pages/config/fra_ana_set_defn.h"
#include "tevrin/pages/widgets/bound_controls.h"

#include <QHBoxLayout>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace streamsets;

namespace {

constexpr int kLaidOutImage = 2;
constexpr int kTimedImage = 1;

}  // namespace

void HighlightShownTab(QTabWidget* tabs)
{
    const auto mark = [tabs](int shown) {
        QTabBar* bar = tabs->tabBar();
        for (int i = 0; i < bar->count(); ++i)
            bar->setTabTextColor(i, i == shown ? bar->palette().color(QPalette::Highlight) : QColor());
    };
    QObject::connect(tabs, &QTabWidget::currentChanged, tabs, mark);
    mark(tabs->currentIndex());
}

TfraStream::TfraStream(QWidget* parent, int stream) : QFrame(parent), stream_(stream)
{
    setObjectName(QStringLiteral("fraStream%1").arg(stream));
    const StreamIds& ids = StreamOf(stream);
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    layout->addLayout(top);
    ledZeroOffset = pagecontrols::LabeledEdit(this, top, "ledZeroOffset", QStringLiteral("Zero Offset"), ids.zeroOffset, dtFloat);
    ledGainFactor = pagecontrols::LabeledEdit(this, top, "ledGainFactor", QStringLiteral("Gain Factor"), ids.gain, dtFloat);
    glAnalysisUnit = pagecontrols::LabeledEdit(this, top, "glAnalysisUnit", QStringLiteral("Analysis Units:"), ids.analysisUnits, dtText);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("PageControlAnaSetDefns"));
    static const char* const kSheetNames[kSetTabs] = {"TabSheet1", "TabSheet2", "TabSheet3", "TabSheet6", "TabSheet4"};
    for (int tab = 0; tab < kSetTabs; ++tab) {
        const int kind = kTabKinds[static_cast<size_t>(tab)];
        auto* set = new TfraAnaSetDefn(nullptr, stream, kind, tab);
        set->setProperty("sheetName", QString::fromLatin1(kSheetNames[tab]));
        QString caption = QString::fromLatin1(RequestKindCaption(kind));
        if (kind == 1 && stream == 1) caption = QStringLiteral("Sample");
        if (kind == 3) caption = QStringLiteral("Calibration ");
        tabs_->addTab(set, caption);
        sets_[static_cast<size_t>(tab)] = set;
        SetTabImage(tab, kLaidOutImage);
    }
    layout->addWidget(tabs_);
    HighlightShownTab(tabs_);
}

int TfraStream::TabImageIndex(int tab) const { return tabs_->tabBar()->tabData(tab).toInt(); }

void TfraStream::SetTabImage(int tab, int image)
{
    if (tab < 0 || tab >= tabs_->count()) return;
    tabs_->tabBar()->setTabData(tab, image);
    tabs_->setTabIcon(tab, image == kTimedImage ? QIcon(alarmicons::Icon(alarmicons::List::Alarms, 0)) : QIcon());
}

std::vector<int> TfraStream::RegisteredIds() const
{
    const StreamIds& ids = StreamOf(stream_);
    std::vector<int> all = {ids.gain, ids.zeroOffset, ids.analysisUnits};
    for (const TfraAnaSetDefn* set : sets_) {
        const std::vector<int> setIds = set->RegisteredIds();
        all.insert(all.end(), setIds.begin(), setIds.end());
    }
    return all;
}

bool TfraStream::event(QEvent* e)
{
    if (TMessage::IsWindowMessage(e)) {
        auto& m = static_cast<TMessage&>(*e);
        if (m.Msg == platform::WM_STREAMTABIMAGE) {
            SetTabImage(static_cast<int>(m.WParam), static_cast<int>(m.LParam));
            return true;
        }
    }
    return QFrame::event(e);
}
