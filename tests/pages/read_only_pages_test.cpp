// Read-only mode looks and acts the same on every page it shuts: each editing control is
// disabled (also one the page's own code enables afterwards), each display (labels, lights,
// read-only fields) stays enabled and readable; Update mode gives the controls back. The pages
// the user level never switches are left as they are.
#include "brannix/qedit.h"
#include "brannix/qlabelededit.h"
#include "tests/pages/page_session.h"
#include "tevrin/pages/config/fra_analyzer_global.h"
#include "tevrin/pages/page_frame.h"
#include "tevrin/shell/main_form.h"
#include "tevrin/shell/security_chk.h"

#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QStringList>
#include <gtest/gtest.h>

#include <map>

namespace {

using pagetest::PageSession;

// The pages the user level shuts in read-only mode that a logged-on user can see.
const MainPage kShutPages[] = {MainPage::Status,    MainPage::Global,    MainPage::InputsDry, MainPage::InputsWet,
                               MainPage::Outputs,   MainPage::Sequencer, MainPage::Ports,     MainPage::AnalogInput};
// The pages the user level never switches: they look and act alike in both modes.
const MainPage kNeverSwitched[] = {MainPage::Analysis, MainPage::Alarms, MainPage::Events, MainPage::Timers};

QString Name(const QWidget* w)
{
    return QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(':') + w->objectName();
}

// The greyed displays of a page; a field's own caption goes with its field and is left out.
QStringList GreyedDisplays(QWidget* page)
{
    QSet<const QWidget*> captions;
    for (TQLabeledEdit* edit : page->findChildren<TQLabeledEdit*>()) captions.insert(edit->EditLabel());
    QStringList out;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        if (IsEditingControl(w) || captions.contains(w)) continue;
        if ((qobject_cast<QLabel*>(w) || qobject_cast<QLineEdit*>(w)) && !w->isEnabled()) out << Name(w);
    }
    return out;
}

QStringList LiveEditingControls(QWidget* page)
{
    QStringList out;
    for (QWidget* w : page->findChildren<QWidget*>())
        if (IsEditingControl(w) && w->isEnabled()) out << Name(w);
    return out;
}

int EnabledEditingControls(QWidget* page)
{
    int n = 0;
    for (QWidget* w : page->findChildren<QWidget*>())
        if (IsEditingControl(w) && w->isEnabled()) ++n;
    return n;
}

}  // namespace

TEST(ReadOnlyPages, EveryShutPageDisablesItsEditingControlsAndKeepsItsDisplaysReadable)
{
    PageSession s;
    ASSERT_TRUE(s.LogOn(true));
    // What a page greys of its own accord (a port that is not fitted ...) is its own business.
    std::map<int, QStringList> greyedInUpdate;
    for (MainPage page : kShutPages) {
        s.Show(page);
        greyedInUpdate[static_cast<int>(page)] = GreyedDisplays(s.Form().Frame(page));
    }
    // The read-only setting, as the Update-mode menu item gives it.
    SecurityChk::Instance().SetReadOnlyMode(1);
    StateMgr::Instance().SetReadOnly();
    for (MainPage page : kShutPages) {
        SCOPED_TRACE(static_cast<int>(page));
        s.Show(page);
        QWidget* frame = s.Form().Frame(page);
        ASSERT_NE(frame, nullptr);
        EXPECT_TRUE(frame->isEnabled());
        const QStringList live = LiveEditingControls(frame);
        EXPECT_TRUE(live.isEmpty()) << live.join(QStringLiteral(", ")).toStdString();
        QStringList greyed = GreyedDisplays(frame);
        for (const QString& own : greyedInUpdate[static_cast<int>(page)]) greyed.removeOne(own);
        EXPECT_TRUE(greyed.isEmpty()) << greyed.join(QStringLiteral(", ")).toStdString();
    }
    EXPECT_FALSE(s.Form().Action("tbtnWrite")->isEnabled());
}

TEST(ReadOnlyPages, APageCannotBringAControlBackWhileLockedAndUpdateModeGivesItBack)
{
    PageSession s;
    ASSERT_TRUE(s.LogOn(false));
    s.Show(MainPage::Global);
    auto* global = static_cast<TfraAnalyzerGlobal*>(s.Form().Frame(MainPage::Global));
    ASSERT_GT(global->alarms().size(), 1u);
    QLineEdit* limit = global->alarms()[1].limit;
    ASSERT_NE(limit, nullptr);
    EXPECT_FALSE(limit->isEnabled());
    limit->setEnabled(true);   // the page's own code, e.g. after a value arrived
    EXPECT_FALSE(limit->isEnabled());

    // Update mode: the controls come back, among them the one the page enabled.
    SecurityChk::Instance().SetReadOnlyMode(0);
    StateMgr::Instance().SetUpdate();
    EXPECT_TRUE(limit->isEnabled());
    for (MainPage page : kShutPages) {
        SCOPED_TRACE(static_cast<int>(page));
        if (page != MainPage::Status) {
            EXPECT_GT(EnabledEditingControls(s.Form().Frame(page)), 0);
        }
    }
}

TEST(ReadOnlyPages, ThePagesTheUserLevelNeverSwitchesKeepTheirControlsInReadOnlyMode)
{
    PageSession s;
    ASSERT_TRUE(s.LogOn(true));
    std::map<int, QStringList> liveInUpdate;
    for (MainPage page : kNeverSwitched) {
        s.Show(page);
        liveInUpdate[static_cast<int>(page)] = LiveEditingControls(s.Form().Frame(page));
    }
    // The timer schedules are edited on their page; its write buttons are the tool bar's.
    EXPECT_FALSE(liveInUpdate[static_cast<int>(MainPage::Timers)].isEmpty());

    SecurityChk::Instance().SetReadOnlyMode(1);
    StateMgr::Instance().SetReadOnly();
    for (MainPage page : kNeverSwitched) {
        SCOPED_TRACE(static_cast<int>(page));
        s.Show(page);
        QWidget* frame = s.Form().Frame(page);
        EXPECT_TRUE(frame->isEnabled());
        EXPECT_TRUE(PageEditable(frame));
        EXPECT_EQ(LiveEditingControls(frame).join(QStringLiteral(", ")).toStdString(),
                  liveInUpdate[static_cast<int>(page)].join(QStringLiteral(", ")).toStdString());
    }
    EXPECT_FALSE(s.Form().Action("tbtnWrite")->isEnabled());
}
