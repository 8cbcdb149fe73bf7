// The Maintenance page against the simulated analyzer: direct control switched on and off (and
// released by the window when the tab goes, at log-off and at close), relays switched by hand
// with the analyzer's confirmation in time and never, and the analog output calibration
// frame's writes in their order.
#include "brannix/qcheckbox.h"
#include "brannix/qimage.h"
#include "brannix/qlabelededit.h"
#include "brannix/qstatusbar.h"
#include "brannix/qupdown.h"
#include "tests/common/fake_clock.h"
#include "tests/pages/page_session.h"
#include "tests/pages/service_writes.h"
#include "tevrin/pages/io/ao_calibration_frame.h"
#include "tevrin/pages/io/fra_board_tester.h"
#include "tevrin/shell/main_form.h"

#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using pagetest::PageSession;
using pagetest::RowsOf;
using pagetest::WrittenRows;

const QString kTimeout = QStringLiteral("Direct Control Confirm Timeout, please check device.");

class MaintenanceSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(s.LogOn(true));
        s.Show(MainPage::Maintenance);
        page = s.Form().fraBoardTester();
        s.unit.ClearLog();
        s.prompter.prompts.clear();
    }
    // Checks the direct-control box as the user does, answering the warning.
    void SwitchDirectControl(bool on, int answer = platform::mrYes)
    {
        s.prompter.answers = {answer};
        if (page->DirectControlEnable()->isChecked() != on) page->DirectControlEnable()->click();
        s.prompter.answers.clear();
    }
    bool WarnedAboutDirectControl() const
    {
        for (const auto& p : s.prompter.prompts)
            if (p.text.startsWith(QStringLiteral("You have selected Direct Board Control Mode."))) return true;
        return false;
    }
    int Reads(int dbId) const
    {
        int n = 0;
        const int row = sim::AnalyzerCore::RowOfDbId(dbId);
        for (const QByteArray& r : s.unit.RequestsOfType(1))
            if (r.size() >= 4 && ((uint8_t(r[2]) | (uint8_t(r[3]) << 8)) == row)) ++n;
        return n;
    }

    FakeClock clock;   // the confirmation's pauses
    PageSession s;
    TfraBoardTester* page = nullptr;
};

TEST_F(MaintenanceSession, DirectControlOnAfterTheWarningAndOffAgain)
{
    EXPECT_FALSE(page->OutputBox(0)->isEnabled());   // off as the analyzer reported it
    SwitchDirectControl(true);
    EXPECT_TRUE(WarnedAboutDirectControl());
    EXPECT_EQ(s.unit.ValueText(sim::DbId{332}), QByteArray("True"));
    EXPECT_TRUE(page->DirectControlEnable()->isChecked());
    EXPECT_TRUE(page->OutputBox(13)->isEnabled());
    EXPECT_TRUE(page->AOCalibration(1)->btnCalibrate()->isEnabled());

    page->AOCalibration(3)->btnCalibrate()->click();
    EXPECT_TRUE(page->AOCalibration(3)->edScaledZero()->isEnabled());
    s.unit.ClearLog();
    SwitchDirectControl(false);
    EXPECT_EQ(WrittenRows(s.unit), RowsOf({332}));
    EXPECT_EQ(s.unit.ValueText(sim::DbId{332}), QByteArray("False"));
    EXPECT_FALSE(page->OutputBox(0)->isEnabled());
    // The output calibration is released: its button up and disabled, the frame greyed.
    EXPECT_FALSE(page->AOCalibration(3)->btnCalibrate()->isChecked());
    EXPECT_FALSE(page->AOCalibration(3)->btnCalibrate()->isEnabled());
    EXPECT_FALSE(page->AOCalibration(3)->edScaledZero()->isEnabled());
}

TEST_F(MaintenanceSession, AnsweringNoWritesOffOnceAndNeverOn)
{
    SwitchDirectControl(true, platform::mrNo);
    EXPECT_TRUE(WarnedAboutDirectControl());
    EXPECT_FALSE(page->DirectControlEnable()->isChecked());
    EXPECT_EQ(WrittenRows(s.unit), RowsOf({332}));
    EXPECT_EQ(s.unit.ValueText(sim::DbId{332}), QByteArray("False"));
}

// A report of direct control left on asks as checking the box does: No switches it off, Yes
// switches it on (332 "True") and reads the page again.
TEST_F(MaintenanceSession, AReportOfDirectControlLeftOnAsksAndTheAnswerSwitchesIt)
{
    const struct {
        int answer;
        bool on;
        const char* written;
    } kAnswers[] = {{platform::mrNo, false, "False"}, {platform::mrYes, true, "True"}};
    for (const auto& c : kAnswers) {
        SCOPED_TRACE(c.written);
        if (page->DirectControlEnable()->isChecked()) SwitchDirectControl(false);
        s.unit.SetValueText(sim::DbId{332}, "True");
        s.unit.ClearLog();
        s.prompter.prompts.clear();
        s.prompter.answers = {c.answer};
        s.Form().PostCommand("ExpressRead");
        EXPECT_TRUE(WarnedAboutDirectControl());
        EXPECT_EQ(s.prompter.prompts.size(), 1u);
        EXPECT_EQ(page->DirectControlEnable()->isChecked(), c.on);
        EXPECT_EQ(page->OutputBox(2)->isEnabled(), c.on);
        EXPECT_EQ(WrittenRows(s.unit), RowsOf({332}));
        EXPECT_EQ(s.unit.ValueText(sim::DbId{332}), QByteArray(c.written));
        // The page is read again after the write.
        const std::vector<QByteArray> requests = s.unit.Requests();
        const auto write = std::find_if(requests.begin(), requests.end(),
                                        [](const QByteArray& r) { return r.size() > 1 && (r[1] == 4 || r[1] == 6); });
        ASSERT_NE(write, requests.end());
        EXPECT_GT(requests.end() - write, 1);
    }
}

TEST_F(MaintenanceSession, ARelaySwitchedByHandIsWrittenConfirmedAndReadBack)
{
    SwitchDirectControl(true);
    s.unit.SetValueText(sim::DbId{333}, "True");
    s.unit.ClearLog();
    s.prompter.prompts.clear();
    page->OutputBox(1)->click();   // relay 2
    EXPECT_EQ(WrittenRows(s.unit), RowsOf({335}));
    EXPECT_EQ(s.unit.ValueText(sim::DbId{335}), QByteArray("True"));
    EXPECT_EQ(Reads(333), 1);   // confirmed at the first read
    EXPECT_GE(Reads(335), 1);   // and the output read back
    EXPECT_FALSE(s.prompter.Saw(kTimeout));
    EXPECT_EQ(page->OutputImage(1)->State(), 1);
    EXPECT_EQ(page->OutputImage(1)->property("iconIndex").toInt(), 2);
    EXPECT_TRUE(page->OutputBox(1)->isChecked());
}

TEST_F(MaintenanceSession, AConfirmationThatNeverComesIsToldAndTheBoxFollowsTheAnalyzer)
{
    SwitchDirectControl(true);
    s.unit.SetValueText(sim::DbId{333}, "False");
    // The analyzer takes the write but keeps the solenoid off.
    s.unit.AddFault({sim::Fault::Reject, 4, 1, 0});
    s.unit.ClearLog();
    s.prompter.prompts.clear();
    page->OutputBox(6 + 4)->click();   // solenoid 5
    EXPECT_EQ(Reads(333), 3);
    EXPECT_TRUE(s.prompter.Saw(kTimeout));
    // The read-back brings the analyzer's state: the box is unchecked again.
    EXPECT_GE(Reads(1055), 1);
    EXPECT_FALSE(page->OutputBox(10)->isChecked());
    EXPECT_EQ(page->OutputImage(10)->property("iconIndex").toInt(), 3);
}

TEST_F(MaintenanceSession, WithDirectControlOffARelayClickOnlyMovesTheBox)
{
    page->OutputBox(1)->setEnabled(true);
    page->OutputBox(1)->click();
    EXPECT_TRUE(page->OutputBox(1)->isChecked());
    EXPECT_EQ(s.unit.RequestCount(), 0);
    // The analyzer's value sets it back, and an arriving "True" shows the off picture.
    s.unit.SetValueText(sim::DbId{336}, "True");
    s.Form().PostCommand("ExpressRead");
    EXPECT_FALSE(page->OutputBox(1)->isChecked());
    EXPECT_TRUE(page->OutputBox(2)->isChecked());
    EXPECT_EQ(page->OutputImage(2)->property("iconIndex").toInt(), 3);
    EXPECT_EQ(s.WriteRequests(), 0);
}

TEST_F(MaintenanceSession, LeavingTheTabReleasesDirectControl)
{
    SwitchDirectControl(true);
    page->AOCalibration(3)->btnCalibrate()->click();
    s.unit.ClearLog();
    s.Show(MainPage::Timers);
    EXPECT_EQ(s.unit.ValueText(sim::DbId{332}), QByteArray("False"));
    EXPECT_FALSE(page->DirectControlEnable()->isChecked());
    EXPECT_FALSE(page->AOCalibration(3)->btnCalibrate()->isChecked());
    // Left with direct control already off, 332 "False" is still written once.
    s.Show(MainPage::Maintenance);
    s.unit.ClearLog();
    s.Show(MainPage::Timers);
    EXPECT_EQ(WrittenRows(s.unit), RowsOf({332}));
}

TEST_F(MaintenanceSession, LogOffAndCloseReleaseDirectControlWhileTheLinkIsUp)
{
    SwitchDirectControl(true);
    s.Form().tbtnLogoffClick();
    EXPECT_EQ(s.unit.ValueText(sim::DbId{332}), QByteArray("False"));
    EXPECT_FALSE(page->DirectControlEnable()->isChecked());

    ASSERT_TRUE(s.LogOn(true));
    s.Show(MainPage::Maintenance);
    SwitchDirectControl(true);
    ASSERT_EQ(s.unit.ValueText(sim::DbId{332}), QByteArray("True"));
    s.prompter.answers = {platform::mrYes};   // "Continue logging off and exit?"
    s.Form().tbtnExitClick();
    EXPECT_EQ(s.unit.ValueText(sim::DbId{332}), QByteArray("False"));
}

TEST_F(MaintenanceSession, ClosingTheWindowWhileTheLinkIsUpReleasesDirectControl)
{
    SwitchDirectControl(true);
    ASSERT_EQ(s.unit.ValueText(sim::DbId{332}), QByteArray("True"));
    s.prompter.answers = {platform::mrYes};   // "Continue logging off and exit?"
    EXPECT_TRUE(s.Form().close());
    EXPECT_EQ(s.unit.ValueText(sim::DbId{332}), QByteArray("False"));
}

// --- the analog output calibration frame -----------------------------------------------------

class OutputCalibration : public MaintenanceSession {
protected:
    void SetUp() override
    {
        MaintenanceSession::SetUp();
        SwitchDirectControl(true);
        f = page->AOCalibration(1);
        f->btnCalibrate()->click();
        s.unit.ClearLog();
        s.prompter.prompts.clear();
    }
    TfraAOCalibration* f = nullptr;
};

TEST_F(OutputCalibration, OutputsCaptureAndTestWriteInTheirOrder)
{
    // Output 1: raw bypass 342, raw output 446, scaling 282, offset 409, factory bypass 447,
    // scaled output 343; bound 280, 281, 278, 279, 275, 544.
    f->edScaledSpan()->setText(QStringLiteral("52000"));
    f->btnOutputSpanClick();
    EXPECT_EQ(WrittenRows(s.unit), RowsOf({447, 342, 446}));
    EXPECT_EQ(s.unit.ValueText(sim::DbId{446}), QByteArray("52000"));

    s.unit.ClearLog();
    f->btnOutputZeroClick();
    f->CountUpDown(0)->stepBy(1);
    f->CountUpDown(0)->stepBy(1);
    EXPECT_EQ(WrittenRows(s.unit), RowsOf({447, 342, 446, 446, 446}));

    s.unit.ClearLog();
    f->edRawZero()->setText(QStringLiteral("4"));
    f->edRawSpan()->setText(QStringLiteral("20"));
    f->ledCalTestPercent()->setText(QStringLiteral("25"));
    f->btnOutputTestClick();
    EXPECT_EQ(WrittenRows(s.unit), RowsOf({342, 447, 343}));
    EXPECT_EQ(s.unit.ValueText(sim::DbId{343}), QByteArray("0.25"));
    EXPECT_EQ(f->ledTestRaw()->text(), QStringLiteral("8"));
    EXPECT_TRUE(f->TestActive());

    // A test step after a raw output switches the bypasses once, then the fraction.
    f->btnOutputSpanClick();
    s.unit.ClearLog();
    f->udTest()->stepBy(1);
    EXPECT_EQ(WrittenRows(s.unit), RowsOf({342, 447, 343}));

    s.unit.ClearLog();
    f->edScaledZero()->setText(QStringLiteral("12000"));
    f->edScaledSpan()->setText(QStringLiteral("60000"));
    f->edFailSafeCurrent()->setText(QStringLiteral("3.5"));
    f->edFailSafePos()->setText(QStringLiteral("9000"));
    f->btnCaptureCalibrationClick();
    EXPECT_EQ(WrittenRows(s.unit), RowsOf({447, 342, 280, 281, 278, 279, 544, 275, 282, 409}));
    EXPECT_EQ(s.unit.ValueText(sim::DbId{282}), QByteArray("48000"));
    EXPECT_EQ(s.unit.ValueText(sim::DbId{409}), QByteArray("12000"));
    EXPECT_TRUE(s.prompter.prompts.empty()) << s.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
}

TEST_F(OutputCalibration, AutoCalibrationComputesACountAndDrivesItOrRefuses)
{
    f->edRawSpan()->setText(QStringLiteral("4"));
    f->MeterReading(1)->setText(QStringLiteral("3.9"));
    f->edScaledSpan()->setText(QStringLiteral("10000"));
    f->btnAutoCalSpanClick();
    EXPECT_EQ(f->edScaledSpan()->text(), QStringLiteral("10256"));
    EXPECT_EQ(WrittenRows(s.unit), RowsOf({447, 342, 446}));
    EXPECT_EQ(s.unit.ValueText(sim::DbId{446}), QByteArray("10256"));

    const struct {
        const char *target, *meter, *count;
    } kRefused[] = {
        {"4", "0", "10000"},      // the meter reading is asked for
        {"20", "0.5", "60000"},   // a count beyond 65535
        {"4", "", "10000"},       // no meter reading
        {"4", "3.9", "-5"},       // no count
        {"30", "3.9", "100"},     // no output current
    };
    for (const auto& c : kRefused) {
        SCOPED_TRACE(std::string(c.target) + " " + c.meter + " " + c.count);
        s.unit.ClearLog();
        s.prompter.prompts.clear();
        f->edRawSpan()->setText(QString::fromLatin1(c.target));
        f->MeterReading(1)->setText(QString::fromLatin1(c.meter));
        f->edScaledSpan()->setText(QString::fromLatin1(c.count));
        f->btnAutoCalSpanClick();
        EXPECT_EQ(s.unit.RequestCount(), 0);
        EXPECT_EQ(s.prompter.prompts.size(), 1u);
        EXPECT_EQ(f->edScaledSpan()->text(), QString::fromLatin1(c.count));
    }
    EXPECT_TRUE(s.prompter.prompts[0].text.contains(QStringLiteral("3 to 23")));
}

TEST_F(OutputCalibration, TheUpDownsAreNeverDisabledAndStepWhateverTheCalibrateButton)
{
    f->btnCalibrate()->click();   // released
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(f->CountUpDown(i)->isEnabled()) << i;
        EXPECT_TRUE(f->CurrentUpDown(i)->isEnabled()) << i;
    }
    EXPECT_TRUE(f->udTest()->isEnabled());
    EXPECT_FALSE(f->edScaledZero()->isEnabled());

    // The first step switches the raw bypass on, then writes the count; the next only the count.
    f->edScaledZero()->setText(QStringLiteral("30000"));
    f->CountUpDown(0)->stepBy(1);
    f->CountUpDown(0)->stepBy(1);
    EXPECT_EQ(WrittenRows(s.unit), RowsOf({342, 446, 446}));
    EXPECT_EQ(s.unit.ValueText(sim::DbId{446}), f->edScaledZero()->text().toLatin1());

    // The test step switches to the fraction.
    s.unit.ClearLog();
    f->edRawZero()->setText(QStringLiteral("4"));
    f->edRawSpan()->setText(QStringLiteral("20"));
    f->udTest()->stepBy(1);
    EXPECT_EQ(WrittenRows(s.unit), RowsOf({342, 447, 343}));
    EXPECT_TRUE(s.prompter.prompts.empty()) << s.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
}

// Capture checks the currents the user typed and the counts it writes; a current the analyzer
// holds (a fail-safe of 0 mA) is no reason to refuse.
TEST_F(OutputCalibration, CaptureChecksWhatIsTypedNotWhatTheAnalyzerHolds)
{
    s.unit.SetValue(sim::DbId{544}, 0);   // the fail-safe current the analyzer holds
    s.Form().tbtnPollClick();
    ASSERT_EQ(f->edFailSafeCurrent()->text().toDouble(), 0.0);
    s.unit.ClearLog();
    f->edRawZero()->setText(QStringLiteral("4"));
    f->edRawSpan()->setText(QStringLiteral("20"));
    f->edScaledZero()->setText(QStringLiteral("12000"));
    f->edScaledSpan()->setText(QStringLiteral("60000"));
    f->edFailSafePos()->setText(QStringLiteral("0"));
    f->btnCaptureCalibrationClick();
    EXPECT_TRUE(s.prompter.prompts.empty()) << s.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(WrittenRows(s.unit), RowsOf({447, 342, 280, 281, 278, 279, 544, 275, 282, 409}));
    EXPECT_EQ(s.unit.ValueText(sim::DbId{282}), QByteArray("48000"));

    const struct {
        const char *zeroMA, *failSafeMA, *spanCount;
    } kRefused[] = {
        {"2", "0", "60000"},      // a zero current typed outside 3..23
        {"4", "1", "60000"},      // a fail-safe current typed other than the analyzer's
        {"4", "0", "70000"},      // a count beyond 65535
    };
    for (const auto& c : kRefused) {
        SCOPED_TRACE(std::string(c.zeroMA) + " " + c.failSafeMA + " " + c.spanCount);
        s.unit.ClearLog();
        s.prompter.prompts.clear();
        f->edRawZero()->setText(QString::fromLatin1(c.zeroMA));
        f->edFailSafeCurrent()->setText(QString::fromLatin1(c.failSafeMA));
        f->edScaledSpan()->setText(QString::fromLatin1(c.spanCount));
        f->btnCaptureCalibrationClick();
        EXPECT_EQ(s.unit.RequestCount(), 0);
        ASSERT_EQ(s.prompter.prompts.size(), 1u);
        EXPECT_TRUE(s.prompter.prompts[0].text.contains(QStringLiteral("Nothing was written")));
    }
}

// The current boxes check what is typed on every road that sends it (a page write, Enter): the
// box's own refusal, nothing written. The value the analyzer holds (a fail-safe of 0 mA) is no
// reason to refuse a page write that sends something else.
TEST_F(OutputCalibration, ACurrentTypedOutOfRangeIsRefusedByItsBoxOnEveryWriteRoad)
{
    s.unit.SetValue(sim::DbId{544}, 0);
    s.unit.SetValue(sim::DbId{281}, 20);
    s.Form().tbtnPollClick();
    ASSERT_EQ(f->edFailSafeCurrent()->text().toDouble(), 0.0);
    ASSERT_EQ(f->edRawSpan()->text().toDouble(), 20.0);
    const QString kOwnRefusal = QStringLiteral("Out of range.  Range is 3 to 23.");
    const auto settle = [&] {
        // Each road starts with the link idle and an empty status line.
        ASSERT_TRUE(s.PumpUntilLinkIdle());
        s.Form().StatusLine()->SetPanelText(0, QString());
        s.unit.ClearLog();
        s.prompter.prompts.clear();
    };

    const struct {
        const char* name;
        std::function<void()> send;
    } kRoads[] = {
        {"Temporary Write", [&] { s.Form().tbtnWriteClick(); }},
        {"Enter in the box", [&] { QTest::keyClick(f->edRawSpan(), Qt::Key_Return); }},
    };
    for (const auto& road : kRoads) {
        SCOPED_TRACE(road.name);
        settle();
        f->edRawSpan()->setText(QStringLiteral("30"));
        road.send();
        EXPECT_EQ(s.WriteRequests(), 0);
        EXPECT_EQ(s.unit.Value(sim::DbId{281}), 20.0);
        EXPECT_TRUE(s.Form().StatusLine()->PanelText(0).endsWith(kOwnRefusal))
            << s.Form().StatusLine()->PanelText(0).toStdString() << " | "
            << s.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
    }

    // Back at the value the analyzer holds, with a real edit beside it: the write goes, the
    // held fail-safe of 0 mA stops nothing.
    settle();
    f->edRawSpan()->setText(QStringLiteral("20"));
    f->edScaledZero()->setText(QStringLiteral("12000"));
    s.Form().tbtnWriteClick();
    EXPECT_TRUE(s.prompter.prompts.empty()) << s.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
    EXPECT_FALSE(s.Form().StatusLine()->PanelText(0).contains(kOwnRefusal));
    EXPECT_EQ(s.unit.Value(sim::DbId{278}), 12000.0);
    EXPECT_EQ(s.unit.Value(sim::DbId{281}), 20.0);
    EXPECT_EQ(s.unit.Value(sim::DbId{544}), 0.0);
}

}  // namespace
