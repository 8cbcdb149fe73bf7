// No stay-on-top window of the program (the wait window, the upgrade window and its backdrop)
// is over a box the program waits on: whenever a box of the logon, read, write or upgrade
// roads is asked, none of them is showing; the windows the box's scope hid come back after it.
#include "tests/pages/page_session.h"
#include "tevrin/pages/io/fra_board_tester.h"
#include "tevrin/shell/main_form.h"
#include "tevrin/shell/upgrade.h"
#include "tevrin/shell/wait_dlg.h"

#include <QApplication>
#include <QStringList>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using pagetest::PageSession;

// The stay-on-top windows showing now, by title or object name.
QStringList CoveringWindows()
{
    QStringList out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && (w->windowFlags() & Qt::WindowStaysOnTopHint))
            out << (w->objectName().isEmpty() ? w->windowTitle() : w->objectName());
    return out;
}

// Records, for every box asked, the stay-on-top windows showing at that moment.
class WatchingPrompter : public FakePrompter {
public:
    int Ask(const platform::Prompt& prompt) override
    {
        const QStringList covering = CoveringWindows();
        if (!covering.isEmpty()) covered << prompt.text + QStringLiteral(" under ") + covering.join(QLatin1Char(','));
        return FakePrompter::Ask(prompt);
    }
    QStringList covered;
};

}  // namespace

TEST(UncoveredPrompts, NoStayOnTopWindowIsShowingWhileABoxOfTheLogonReadWriteOrUpgradeRoadsIsAsked)
{
    const struct Road {
        const char* name;
        bool logOnFirst;
        // Runs the road so that it asks at least one box.
        std::function<void(PageSession&)> run;
    } kRoads[] = {
        {"logon to an analyzer that does not answer", false,
         [](PageSession& s) {
             s.wire.Stop();
             s.Form().tbtnLogonClick();
         }},
        {"read refused by the analyzer", true,
         [](PageSession& s) {
             s.unit.AddFault({sim::Fault::Reject, sim::kAnyType, sim::kForever});
             s.Form().ShowWaitWindow(true, false);   // the wait window of a whole-database read
             s.Form().tbtnPollClick();
         }},
        {"write refused by the analyzer", true,
         [](PageSession& s) {
             s.Show(MainPage::Global);
             s.unit.AddFault({sim::Fault::Reject, sim::kAnyType, sim::kForever});
             s.Form().ShowWaitWindow(true, false);
             s.Form().tbtnWriteClick();
         }},
        {"upgrade: a read of the old configuration that fails", true,
         [](PageSession& s) {
             s.Show(MainPage::Maintenance);
             s.unit.AddFault({sim::Fault::Reject, 50, sim::kForever});   // the block reads of the full read
             s.Form().fraBoardTester()->btnReadOldConfigClick();
         }},
        {"upgrade window: Hide asks whether to delete the record", false,
         [](PageSession& s) {
             TfmUpgrade* upgrade = s.Form().fmUpgrade();
             upgrade->UpgradeIdle = 1;
             upgrade->ShowWithBack();
             upgrade->HideBClick();
         }},
    };
    for (const Road& road : kRoads) {
        SCOPED_TRACE(road.name);
        PageSession s;
        if (road.logOnFirst) {
            ASSERT_TRUE(s.LogOn(true));
        }
        {
            WatchingPrompter watching;
            watching.defaultAnswer = platform::mrNo;
            road.run(s);
            EXPECT_FALSE(watching.prompts.empty()) << "the road asked nothing";
            EXPECT_TRUE(watching.covered.isEmpty()) << watching.covered.join(QStringLiteral(" | ")).toStdString();
        }
        platform::SetPrompter(&s.prompter);
        s.unit.ClearFaults();
        if (TWait* wait = TWait::Current()) wait->hide();
    }
}

TEST(UncoveredPrompts, TheUpgradeWindowsQuestionIsAskedInItsOwnWordsAndTheWindowsComeBackAfterABox)
{
    PageSession s;
    auto watchingOwner = std::make_unique<WatchingPrompter>();
    WatchingPrompter& watching = *watchingOwner;
    TfmUpgrade* upgrade = s.Form().fmUpgrade();
    upgrade->UpgradeIdle = 1;
    upgrade->ShowWithBack();
    watching.answers = {platform::mrNo};
    upgrade->HideBClick();
    ASSERT_EQ(watching.prompts.size(), 1u);
    EXPECT_EQ(watching.prompts[0].text,
              QStringLiteral("Delete historical record and do not display this message automaticlly again?"));
    EXPECT_TRUE(watching.covered.isEmpty()) << watching.covered.join(QStringLiteral(" | ")).toStdString();
    EXPECT_FALSE(upgrade->isVisible());   // Hide hides it after the answer

    // A box asked while the windows show hides them for its time only.
    upgrade->ShowWithBack();
    s.Form().ShowWaitWindow(true, false);
    platform::MessageDlg(QStringLiteral("x"), platform::DlgType::Information, platform::mbOK);
    EXPECT_TRUE(watching.covered.isEmpty()) << watching.covered.join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(upgrade->isVisible());
    ASSERT_NE(TWait::Current(), nullptr);
    EXPECT_TRUE(TWait::Current()->isVisible());
    upgrade->HideWithBack();
    TWait::Current()->hide();
    watchingOwner.reset();
    platform::SetPrompter(&s.prompter);
}
