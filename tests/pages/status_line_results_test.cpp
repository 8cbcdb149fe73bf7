// What a road ends with is still on the status line when the user looks: a field's refusal and
// a logged-on save's result outlive the link's notices, which come after the exchanges that
// caused them. Each road runs in the main window against the simulated analyzer, logged on; the
// event loop then runs on until the link is idle and a little longer before anything is read.
#include "brannix/qstatusbar.h"
#include "tests/common/fake_clock.h"
#include "tests/pages/page_session.h"
#include "tevrin/pages/config/fra_ana_set_defn.h"
#include "tevrin/pages/config/fra_analyzer_streams.h"
#include "tevrin/pages/config/fra_analyzer_global.h"
#include "tevrin/pages/config/fra_stream.h"
#include "tevrin/pages/io/ao_calibration_frame.h"
#include "tevrin/pages/io/fra_board_tester.h"
#include "tevrin/shell/main_form.h"
#include "ui_fra_analyzer_global.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

using pagetest::PageSession;

// Runs the event loop until the link has fallen idle, then on for a while, as the user's second
// look at the screen comes.
void SettleLink(PageSession& s)
{
    EXPECT_TRUE(s.PumpUntilLinkIdle());
    PageSession::PumpUntil([] { return false; }, 600);
}

// Every text the status line shows, panel by panel, and the special panel.
QString StatusTexts(TFormMain& form)
{
    QStringList texts;
    for (int i = 0; i < form.StatusLine()->PanelCount(); ++i) texts << form.StatusLine()->PanelText(i);
    texts << form.SpecialPanel()->text();
    return texts.join(QStringLiteral(" | "));
}

void SwitchDirectControlOn(PageSession& s)
{
    TfraBoardTester* page = s.Form().fraBoardTester();
    s.prompter.answers = {platform::mrYes};
    if (!page->DirectControlEnable()->isChecked()) page->DirectControlEnable()->click();
    s.prompter.answers.clear();
}

}  // namespace

TEST(StatusLineResults, ARefusalIsStillOnTheStatusLineOnceTheLinkIsIdle)
{
    const struct Road {
        const char* name;
        // Shows the page and types the refused text; returns the refusal the line must show.
        std::function<QString(PageSession&)> type;
        std::function<void(PageSession&)> press;
        int dbId;        // the field's point, which keeps the unit's value
        double held;     // that value
    } kRoads[] = {
        {"Global page, Temporary Write",
         [](PageSession& s) {
             s.Show(MainPage::Global);
             auto* page = static_cast<TfraAnalyzerGlobal*>(s.Form().Frame(MainPage::Global));
             page->form()->TrendFilterLength->setText(QStringLiteral("0"));
             return QStringLiteral("Trend Filter Length: Out of range.  Range is 1 to 10.");
         },
         [](PageSession& s) { s.Form().tbtnWriteClick(); }, 34, 4},
        {"Stream page, Permanent Write",
         [](PageSession& s) {
             s.Show(MainPage::Stream);
             auto* page = static_cast<TfraAnalyzerStreams*>(s.Form().Frame(MainPage::Stream));
             page->Stream(1)->Sets()[0]->duration->setText(QStringLiteral("300"));
             return QStringLiteral("High High Alarm Duration: Out of range.  Range is 0 to 255.");
         },
         [](PageSession& s) { s.Form().SetDefaultConfigClick(); }, 1648, 30},
        {"Maintenance page, Permanent Write",
         [](PageSession& s) {
             s.Show(MainPage::Maintenance);
             SwitchDirectControlOn(s);
             TfraAOCalibration* frame = s.Form().fraBoardTester()->AOCalibration(1);
             frame->btnCalibrate()->click();
             frame->edRawSpan()->setText(QStringLiteral("30"));
             return QStringLiteral("Analog Output 1 Span Scaled Value: Out of range.  Range is 3 to 23.");
         },
         [](PageSession& s) { s.Form().SetDefaultConfigClick(); }, 281, 20},
    };
    for (const Road& road : kRoads) {
        SCOPED_TRACE(road.name);
        FakeClock clock;
        PageSession s;
        s.unit.SetValue(sim::DbId{34}, 4);
        s.unit.SetValue(sim::DbId{1648}, 30);
        s.unit.SetValue(sim::DbId{281}, 20);
        ASSERT_TRUE(s.LogOn(true));
        const QString refusal = road.type(s);
        SettleLink(s);
        s.unit.ClearLog();
        s.prompter.prompts.clear();

        road.press(s);
        SettleLink(s);

        EXPECT_EQ(s.Form().StatusLine()->PanelText(0).toStdString(), refusal.toStdString())
            << StatusTexts(s.Form()).toStdString();
        EXPECT_EQ(s.WriteRequests(), 0);
        EXPECT_EQ(s.unit.Value(sim::DbId{road.dbId}), road.held);
        EXPECT_TRUE(s.prompter.prompts.empty()) << s.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
    }
}

TEST(StatusLineResults, ALoggedOnSaveSaysSoAndTheSayingStaysOnceTheLinkIsIdle)
{
    const struct Road {
        const char* name;
        std::function<void(PageSession&)> save;
    } kRoads[] = {
        {"Save", [](PageSession& s) { s.Form().tbtnSaveClick(); }},
        {"Save As", [](PageSession& s) { s.Form().tbtnSaveAsClick(); }},
    };
    for (const Road& road : kRoads) {
        SCOPED_TRACE(road.name);
        PageSession s;
        ASSERT_TRUE(s.LogOn(true));
        SettleLink(s);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("unit.cfg"));
        s.prompter.files = {file};
        s.prompter.prompts.clear();

        road.save(s);
        SettleLink(s);

        EXPECT_TRUE(QFile::exists(file));
        EXPECT_EQ(s.Form().StatusLine()->PanelText(0).toStdString(),
                  "Configuration successfully saved to file \"" + file.toStdString() + '"')
            << StatusTexts(s.Form()).toStdString();
        EXPECT_TRUE(s.prompter.prompts.empty()) << s.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
    }
}
