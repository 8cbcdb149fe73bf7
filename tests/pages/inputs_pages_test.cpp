// The Inputs-DRY and Inputs-WET pages: the points they register, the warning on every entry,
// the run selectors that follow the stream count, the settings that follow the Enable value, and
// clicks that change exactly one bit of a point on the simulated analyzer.
#include "brannix/qcheckbox.h"
#include "brannix/qlabel.h"
#include "brannix/qlabelededit.h"
#include "brannix/qradiobutton.h"
#include "tests/pages/page_point_orders.h"
#include "tests/common/fake_prompter.h"
#include "tests/pages/page_session.h"
#include "tests/pages/kit/test_host.h"
#include "tevrin/pages/io/fra_io.h"
#include "tevrin/pages/io/frm_input2.h"
#include "tevrin/pages/io/input_panel.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/main_form.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <gtest/gtest.h>

#include <memory>

namespace {

using pagetest::PageSession;

class InputsPageTest : public ::testing::Test {
protected:
    void TearDown() override { DataBase::DestroyInstance(); }
    FakePrompter prompter;
};

TEST_F(InputsPageTest, BothPagesRegisterTheirInputsPointsAndWarnOnEveryEntry)
{
    TfraIO dry(nullptr);
    TfrmInput2 wet(nullptr);
    dry.EnterPage();
    EXPECT_EQ(PageSession::RegisteredPoints(), pagetest::PointsOf(4));
    EXPECT_EQ(DataBase::Instance()->AsExpressScan().WaitWindowFlag(), 1);
    wet.EnterPage();
    EXPECT_EQ(PageSession::RegisteredPoints(), pagetest::PointsOf(13));
    EXPECT_EQ(DataBase::Instance()->AsExpressScan().CurrentPage(), 13);
    wet.EnterPage();
    ASSERT_EQ(prompter.prompts.size(), 3u);
    EXPECT_EQ(prompter.prompts[0].text, QStringLiteral("Changing parameters in Inputs-DRY Page may affect operation of the analyzer.\n"
                                                       "It is recommended that any change in this page be done by authorised personal only."));
    EXPECT_EQ(prompter.prompts[2].text, QStringLiteral("Changing parameters in Inputs-WET Page may affect operation of the analyzer.\n"
                                                       "It is recommended that any change in this page be done by authorised personal only."));
    EXPECT_EQ(prompter.prompts[2].type, platform::DlgType::Warning);
    // The name edits are numbered by their place on the page, the controls by their input.
    EXPECT_EQ(wet.Panels()[0]->NameEdit()->objectName(), QStringLiteral("edDI5Name"));
    EXPECT_NE(wet.findChild<TQCheckBox32*>(QStringLiteral("chkRunSelectorSCR4_8")), nullptr);
    EXPECT_EQ(wet.findChild<TQCheckBox*>(QStringLiteral("chkDIAS8_8"))->DbId(), 993);
}

TEST_F(InputsPageTest, RunSelectorsFollowTheStreamCountAndNoCountShowsATotalSulphurBox)
{
    pagetest::TestHost host;
    TfraIO page(nullptr);
    page.EnterPage();
    auto visible = [&page](int input, const char* stem) {
        auto* box = page.findChild<TQCheckBox32*>(QStringLiteral("chkRunSelector%1_%2").arg(QString::fromLatin1(stem)).arg(input));
        EXPECT_NE(box, nullptr) << stem;
        return box && box->isVisibleTo(&page);
    };
    // As laid out: streams 1 and 4 shown, 2 and 3 hidden.
    EXPECT_TRUE(visible(1, "STS4"));
    EXPECT_FALSE(visible(1, "SNR2"));
    page.lblStream2()->Respond("3");   // a first count of 3 leaves the stream-4 TS boxes as laid out
    EXPECT_EQ(host.streamDisp, QStringLiteral("4-STREAMS"));
    for (int input = 1; input <= 4; ++input) {
        EXPECT_TRUE(visible(input, "STS4"));
        EXPECT_FALSE(visible(input, "STS2"));
        EXPECT_TRUE(visible(input, "SNR2"));
        EXPECT_TRUE(visible(input, "SCR3"));
    }
    const struct {
        const char* count;
        std::vector<const char*> shown, hidden;
    } kCases[] = {
        {"0", {"SNR1", "SCR1"}, {"SNR2", "SCR2", "SNR3", "SNR4", "SCR4", "STS4"}},
        {"1", {"SNR1", "SNR2", "SCR2"}, {"STS2", "SNR3", "SZR4"}},
        {"2", {"SRR23", "SCR3"}, {"STS2", "STS3", "SNR4"}},
        {"3", {"SNR4", "SCR4", "SRR22"}, {"STS2", "STS3", "STS4"}},
        {"7", {"SNR4", "SCR4"}, {"STS4"}},   // no such count: nothing changes
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.count);
        page.lblStream2()->Respond(c.count);
        for (int input = 1; input <= 4; ++input) {
            for (const char* s : c.shown) EXPECT_TRUE(visible(input, s)) << s;
            for (const char* s : c.hidden) EXPECT_FALSE(visible(input, s)) << s;
        }
    }
    EXPECT_TRUE(page.lblStream2()->text().isEmpty());
}

TEST_F(InputsPageTest, SettingsFollowTheArrivingEnableValue)
{
    TfrmInput2 page(nullptr);
    TInputPanel* panel = page.Panels()[1];
    panel->Enable()->Respond("True");
    EXPECT_TRUE(panel->Enable()->isChecked());
    EXPECT_FALSE(panel->RunSelectorGroup()->isEnabled());
    EXPECT_FALSE(panel->ActionsGroup()->isEnabled());
    EXPECT_FALSE(panel->PolarityGroup()->isEnabled());
    EXPECT_FALSE(panel->Alarm()->isEnabled());
    EXPECT_EQ(panel->Actions()[13]->palette().color(QPalette::WindowText), QColor(128, 128, 128));
    EXPECT_TRUE(panel->Enable()->isEnabled());
    EXPECT_TRUE(panel->NameEdit()->isEnabled());
    panel->Enable()->Respond("False");
    EXPECT_TRUE(panel->RunSelectorGroup()->isEnabled());
    EXPECT_TRUE(panel->Alarm()->isEnabled());
    EXPECT_EQ(panel->RunSelectors()[0]->palette().color(QPalette::WindowText), QColor(Qt::black));
    // The other panels are untouched.
    EXPECT_TRUE(page.Panels()[0]->RunSelectorGroup()->isEnabled());
}

TEST_F(InputsPageTest, WritesWaitForTheirGuards)
{
    pagetest::TestHost host(true);
    TfraIO page(nullptr);
    TInputPanel* panel = page.Panels()[0];
    // Before the first entry: Enable and Alarm test only the page, the others nothing is sent.
    panel->Enable()->click();
    EXPECT_TRUE(host.writes.empty());   // page 0 is current
    DataBase::Instance()->AsExpressScan().SetPage(4, 0, 1);
    panel->Enable()->click();
    panel->PolarityOn()->click();
    panel->RunSelectors()[0]->click();
    EXPECT_EQ(host.writes, (std::vector<std::string>{"263=False"}));
    page.EnterPage();
    host.writes.clear();
    panel->PolarityOff()->click();
    panel->Alarm()->click();
    EXPECT_EQ(host.writes, (std::vector<std::string>{"540=False", "533=True"}));
    // Another page is current: nothing.
    DataBase::Instance()->AsExpressScan().SetPage(5, 0, 1);
    host.writes.clear();
    panel->Enable()->click();
    panel->Actions()[0]->click();
    EXPECT_TRUE(host.writes.empty());
}

// A click on a bit box changes exactly that bit of the point on the analyzer, on both pages.
TEST(InputsPagesSession, ABitBoxClickChangesExactlyThatBitOnTheAnalyzer)
{
    pagetest::PageSession session;
    session.unit.SetValue(sim::DbId{442}, 5);       // dry input 1: sample and reference 1
    session.unit.SetValue(sim::DbId{975}, 65535);   // wet input 5: every relay and solenoid
    session.unit.SetValue(sim::DbId{976}, 0);
    ASSERT_TRUE(session.LogOn(true)) << session.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
    TFormMain& form = session.Form();
    auto box = [&form](MainPage page, const char* name) {
        return form.Frame(page)->findChild<QCheckBox*>(QString::fromLatin1(name));
    };

    session.Show(MainPage::InputsDry);
    ASSERT_TRUE(pagetest::PageSession::PumpUntil([&] { return box(MainPage::InputsDry, "chkRunSelectorSRR1_1")->isChecked(); }));
    EXPECT_TRUE(box(MainPage::InputsDry, "chkRunSelectorSNR1_1")->isChecked());
    EXPECT_FALSE(box(MainPage::InputsDry, "chkRunSelectorSZR1_1")->isChecked());
    EXPECT_EQ(session.WriteRequests(), 0);   // reading the page wrote nothing back

    const struct {
        MainPage page;
        const char* box;
        int dbId;
        double after;
    } kClicks[] = {
        {MainPage::InputsDry, "chkRunSelectorSNR1_1", 442, 4},       // sample off
        {MainPage::InputsDry, "chkRunSelectorSZR1_1", 442, 20},      // zero on
        {MainPage::InputsWet, "chkDIAS8_5", 975, 32767},            // solenoid 8 off
        {MainPage::InputsWet, "chkDIAR1_5", 975, 32766},            // relay 1 off
        {MainPage::InputsWet, "chkRunSelectorSCR4_5", 976, 8388608},  // stream 4 calibration on
    };
    for (const auto& c : kClicks) {
        SCOPED_TRACE(c.box);
        if (form.CurrentPage() != c.page) {
            session.unit.ClearLog();
            session.Show(c.page);
            ASSERT_TRUE(pagetest::PageSession::PumpUntil([&] { return !form.CommandBusy(); }));
            EXPECT_GT(session.unit.RequestCount(), 0);
            EXPECT_EQ(session.WriteRequests(), 0);   // the values read set boxes and wrote nothing
        }
        session.unit.ClearLog();
        const double before442 = session.unit.Value(sim::DbId{442});
        box(c.page, c.box)->click();
        ASSERT_TRUE(pagetest::PageSession::PumpUntil([&] { return session.unit.Value(sim::DbId{c.dbId}) == c.after; }));
        EXPECT_EQ(session.unit.RequestCount(4), 1);   // one point written
        EXPECT_EQ(session.WriteRequests(), 1);
        if (c.dbId != 442) {
            EXPECT_EQ(session.unit.Value(sim::DbId{442}), before442);
        }
    }

    // A box of a page that is not current sends nothing.
    session.Show(MainPage::Global);
    ASSERT_TRUE(pagetest::PageSession::PumpUntil([&] { return !form.CommandBusy(); }));
    session.unit.ClearLog();
    box(MainPage::InputsDry, "chkDIAR2_1")->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(session.WriteRequests(), 0);
}

}  // namespace
