// Every road that hands the pages' edits to the database stops when a page refuses them: the
// refusal's own box tells why, nothing goes to the analyzer or into a file, an existing file
// keeps its contents, and nothing claims success afterwards.
#include "brannix/qedit.h"
#include "tests/pages/kit/test_host.h"
#include "tests/pages/page_session.h"
#include "tevrin/pages/io/fra_board_tester.h"
#include "tevrin/pages/config/frm_timer1.h"
#include "tevrin/pages/config/frm_timer_setup.h"
#include "tevrin/shell/main_form.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

using pagetest::ClaimsSaved;
using pagetest::PageSession;

const QString kTimerRefusal = QStringLiteral("Timer #9: the hour \"25\" is not a whole number from 0 to 23.\nNothing was written.");
const QByteArray kOldContents = "old contents\n";

// The Timers page shown with timer 9 at hour 25: the page refuses the edits while it shows.
void RefuseOnTimers(PageSession& s)
{
    s.Show(MainPage::Timers);
    auto* timers = s.Form().PageControlMain()->findChild<TfrmTimer1*>();
    ASSERT_NE(timers, nullptr);
    timers->Timer(9)->edHours()->setText(QStringLiteral("25"));
}

}  // namespace

TEST(EditRefusalRoads, ARefusedPageStopsTheRoadBeforeAnythingIsWrittenOrClaimed)
{
    const struct Road {
        const char* name;
        bool loggedOn;
        // Sets up the refusal; returns the box text the refusal shows.
        std::function<QString(PageSession&)> refuse;
        // Runs the road; `file` is an existing file the road is pointed at.
        std::function<void(PageSession&, const QString& file)> run;
    } kRoads[] = {
        {"Save, off line", false,
         [](PageSession& s) {
             RefuseOnTimers(s);
             return kTimerRefusal;
         },
         [](PageSession& s, const QString& file) {
             s.prompter.files = {file};
             s.Form().tbtnSaveClick();
         }},
        {"Save As over an existing file, off line", false,
         [](PageSession& s) {
             RefuseOnTimers(s);
             return kTimerRefusal;
         },
         [](PageSession& s, const QString& file) {
             s.prompter.files = {file};
             s.prompter.answers = {platform::mrYes};   // overwrite
             s.Form().tbtnSaveAsClick();
         }},
        {"temporary write", true,
         [](PageSession& s) {
             RefuseOnTimers(s);
             return kTimerRefusal;
         },
         [](PageSession& s, const QString&) { s.Form().tbtnWriteClick(); }},
        {"permanent write", true,
         [](PageSession& s) {
             RefuseOnTimers(s);
             return kTimerRefusal;
         },
         [](PageSession& s, const QString&) { s.Form().SetDefaultConfigClick(); }},
    };
    for (const Road& road : kRoads) {
        SCOPED_TRACE(road.name);
        PageSession s;
        if (road.loggedOn) {
            ASSERT_TRUE(s.LogOn(true));
        }
        const QString refusal = road.refuse(s);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("kept.cfg"));
        {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(kOldContents);
        }
        s.unit.ClearLog();
        s.prompter.prompts.clear();

        road.run(s, file);

        EXPECT_TRUE(s.prompter.Saw(refusal)) << s.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
        EXPECT_EQ(s.WriteRequests(), 0);
        EXPECT_EQ(pagetest::FileContents(file), kOldContents);
        EXPECT_FALSE(ClaimsSaved(s.Form()));
    }
}

TEST(EditRefusalRoads, TheUpgradeReadOfTheOldConfigurationStopsBeforeItsFileWhenAPageRefuses)
{
    FakePrompter prompter;
    pagetest::TestHost host(true);
    QWidget owner;
    auto* page = new TfraBoardTester(&owner);
    for (int refused : {1, 0}) {
        SCOPED_TRACE(refused);
        host.postEditsResult = refused;
        host.configFileWrites = 0;
        prompter.prompts.clear();
        EXPECT_FALSE(page->btnReadOldConfigClick());
        EXPECT_EQ(host.configFileWrites, refused ? 0 : 1);
        EXPECT_EQ(prompter.Saw(QStringLiteral(
                      "A page holds a value that could not be taken; \"OldConfig.cfg\" was not written.")),
                  refused != 0);
    }
}

// A refusal on the write road names the field as the page shows it: every bound edit that can
// refuse a text (a number, a range, a required value) has a caption, and never its object name.
TEST(EditRefusalRoads, EveryFieldThatCanRefuseIsNamedAsThePageShowsIt)
{
    PageSession s;
    QStringList unnamed;
    for (int i = 0; i < s.Form().PageControlMain()->count(); ++i) {
        QWidget* page = s.Form().PageControlMain()->widget(i);
        for (TQEdit* edit : page->findChildren<TQEdit*>()) {
            if (edit->DbId() == 0 || !edit->UseDatabase()) continue;
            if (!edit->Required() && edit->DataType() == dtText) continue;
            const QString name = edit->RefusalName();
            if (name.isEmpty() || name == edit->objectName())
                unnamed << s.Form().PageControlMain()->tabText(i).trimmed() + QLatin1Char('/') + edit->objectName();
        }
    }
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QStringLiteral(", ")).toStdString();
}
