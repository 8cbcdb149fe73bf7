// The Analog Input page: the gain and zero-offset arithmetic, and a calibration against the
// simulated analyzer with its write order, its checks and the live displays.
#include "brannix/qlabelededit.h"
#include "tests/pages/page_point_orders.h"
#include "tests/common/fake_prompter.h"
#include "tests/pages/page_session.h"
#include "tests/pages/service_writes.h"
#include "tevrin/pages/io/ai_calibration_frame.h"
#include "tevrin/pages/io/fr_analog_inputs.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/express_scan.h"
#include "tevrin/shell/main_form.h"

#include <QToolButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using pagetest::PageSession;
using pagetest::RowsOf;
using pagetest::WrittenRows;

TEST(AnalogInputCalibration, GainAndOffsetByTable)
{
    const struct {
        const char *rawZero, *rawSpan, *scaledZero, *scaledSpan;
        bool ok, rawNotNumber;
        const char *gain, *offset;
    } kCases[] = {
        {"64", "320", "4", "20", true, false, "0.0625", "0"},
        {"0", "160", "4", "20", true, false, "0.100000001490116", "4"},   // one tenth as a 32-bit float
        {"320", "64", "4", "20", true, false, "-0.0625", "24"},          // span below zero counts
        {" 12 ", "60000", "4", "20", true, false, "0.000266720016952604", "3.99679946899414"},
        {"100", "100", "4", "20", false, false, "", ""},                  // equal raw values: quietly none
        {"0", "100", "", "20", false, false, "", ""},                     // a scaled text that is no number
        {"0", "100", "4", "x", false, false, "", ""},
        {"0", "1e-30", "0", "1e30", false, false, "", ""},                // no 32-bit gain
        {"abc", "100", "4", "20", false, true, "", ""},                   // raw texts that are no number
        {"0", "", "4", "20", false, true, "", ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.rawZero) + " " + c.rawSpan + " " + c.scaledZero + " " + c.scaledSpan);
        const aical::Result r = aical::Compute(QString::fromLatin1(c.rawZero), QString::fromLatin1(c.rawSpan),
                                               QString::fromLatin1(c.scaledZero), QString::fromLatin1(c.scaledSpan));
        EXPECT_EQ(r.ok, c.ok);
        EXPECT_EQ(r.rawNotNumber, c.rawNotNumber);
        EXPECT_EQ(r.gain, c.gain);
        EXPECT_EQ(r.offset, c.offset);
    }
}

class AnalogInputsSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(s.LogOn(true));
        s.Show(MainPage::AnalogInput);
        page = static_cast<TfrAnalogInputs*>(s.Form().Frame(MainPage::AnalogInput));
        s.unit.ClearLog();
        s.prompter.prompts.clear();
    }
    PageSession s;
    TfrAnalogInputs* page = nullptr;
};

TEST_F(AnalogInputsSession, CapturesWriteScaledAndRawValuesThenGainAndOffsetOfTheirOwnFrame)
{
    TTfraAICalibration* f = page->Calibration(3);
    EXPECT_FALSE(f->btnCaptureZero()->isEnabled());
    EXPECT_FALSE(f->edScaledZero()->isEnabled());
    f->btnCalibrateAI()->click();
    EXPECT_TRUE(f->btnCaptureZero()->isEnabled());
    EXPECT_TRUE(f->edScaledSpan()->isEnabled());
    EXPECT_FALSE(page->Calibration(2)->btnCaptureZero()->isEnabled());   // each frame on its own

    f->edScaledZero()->setText(QStringLiteral("4"));
    f->edScaledSpan()->setText(QStringLiteral("20"));
    f->edRawSpan()->setText(QStringLiteral("320"));
    f->edAIRaw()->setText(QStringLiteral("0064"));
    f->btnCaptureZero()->click();
    EXPECT_EQ(f->edRawZero()->text(), QStringLiteral("64"));
    EXPECT_EQ(WrittenRows(s.unit), RowsOf({1516, 1517, 1514, 1515, 1520, 1521}));
    EXPECT_EQ(s.unit.ValueText(sim::DbId{1520}), QByteArray("0.0625"));
    EXPECT_EQ(s.unit.ValueText(sim::DbId{1521}), QByteArray("0"));
    EXPECT_EQ(s.unit.ValueText(sim::DbId{1514}), QByteArray("64"));
    EXPECT_EQ(s.unit.ValueText(sim::DbId{1517}), QByteArray("20"));
    EXPECT_TRUE(s.prompter.prompts.empty());

    // Released, the controls grey out again; what was written stays.
    f->btnCalibrateAI()->click();
    EXPECT_FALSE(f->btnCaptureSpan()->isEnabled());
    EXPECT_FALSE(f->edScaledZero()->isEnabled());
}

TEST_F(AnalogInputsSession, WithoutAGainTheZeroAndSpanValuesAreStillWrittenAndNothingIsSaid)
{
    TTfraAICalibration* f = page->Calibration(1);
    f->btnCalibrateAI()->click();
    f->edScaledZero()->setText(QStringLiteral("4"));
    f->edScaledSpan()->setText(QStringLiteral("20"));
    f->edRawZero()->setText(QStringLiteral("500"));
    f->edAIRaw()->setText(QStringLiteral("500"));
    f->btnCaptureSpanClick();   // equal raw zero and span: the four values, no gain, no message
    EXPECT_EQ(WrittenRows(s.unit), RowsOf({1498, 1499, 1496, 1497}));
    EXPECT_EQ(s.unit.ValueText(sim::DbId{1497}), QByteArray("500"));   // the unit holds what the box shows
    EXPECT_TRUE(s.prompter.prompts.empty());

    s.unit.ClearLog();
    f->edScaledSpan()->setText(QStringLiteral("twenty"));
    f->edAIRaw()->setText(QStringLiteral("900"));
    f->btnCaptureSpanClick();   // a scaled value that is no number: not written, no gain, no message
    EXPECT_EQ(s.WrittenDbIds(), (std::vector<int>{1498, 1496, 1497}));
    EXPECT_EQ(f->edRawSpan()->text(), QStringLiteral("900"));
    EXPECT_EQ(f->edScaledSpan()->text(), QStringLiteral("twenty"));
    EXPECT_EQ(s.unit.ValueText(sim::DbId{1497}), QByteArray("900"));
    const std::vector<int> noGain = s.WrittenDbIds();
    for (int id : {1502, 1503}) EXPECT_EQ(std::count(noGain.begin(), noGain.end(), id), 0) << id;
    EXPECT_TRUE(s.prompter.prompts.empty());

    // A raw reading that is no count: the capture stops before anything, the raw zero stays.
    s.unit.ClearLog();
    f->edScaledSpan()->setText(QStringLiteral("20"));
    f->edAIRaw()->setText(QStringLiteral("12.5"));
    f->btnCaptureZeroClick();
    EXPECT_EQ(f->edRawZero()->text(), QStringLiteral("500"));
    ASSERT_EQ(s.prompter.prompts.size(), 1u);
    EXPECT_EQ(s.WriteRequests(), 0);

    // A raw box that holds no number (as an analyzer may send it) is reported after the four
    // values went out; the gain and offset are not written.
    f->edRawZero()->setText(QStringLiteral("n/a"));
    f->Recalculate();
    ASSERT_EQ(s.prompter.prompts.size(), 2u);
    EXPECT_EQ(s.prompter.prompts[1].text, QStringLiteral("'n/a' is not a valid floating point value"));
    const std::vector<int> written = s.WrittenDbIds();
    EXPECT_EQ(std::count(written.begin(), written.end(), 1502), 0);
    EXPECT_EQ(std::count(written.begin(), written.end(), 1498), 1);
}

TEST_F(AnalogInputsSession, LiveRatioAndCurrentAreShownAsPercentAndTwoDecimals)
{
    const struct {
        const char* ratio;
        const char* percent;
        const char* mA;
        const char* current;
    } kCases[] = {{"0.456", "45", "4", "4.00"}, {"1", "100", "12.345", "12.35"}, {"-0.015", "-1", "20.5", "20.50"}};
    TTfraAICalibration* f = page->Calibration(2);
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.ratio);
        s.unit.SetValueText(sim::DbId{1541}, c.ratio);
        s.unit.SetValueText(sim::DbId{1533}, c.mA);
        s.Form().PostCommand("ExpressRead");
        EXPECT_EQ(f->ledCalPercent()->text(), QString::fromLatin1(c.percent));
        EXPECT_EQ(f->edAI()->text(), QString::fromLatin1(c.current));
    }
    EXPECT_EQ(s.WriteRequests(), 0);
    // Readings that are no number are shown and stop no write of the window.
    for (int id : {1545, 1541, 1533}) s.unit.SetValue(sim::DbId{id}, std::nan(""));
    s.Form().PostCommand("ExpressRead");
    EXPECT_EQ(f->ledCalPercent()->text(), QStringLiteral("0"));
    EXPECT_EQ(f->edAI()->text(), QStringLiteral("0.00"));
    EXPECT_EQ(s.Form().PostEdits(), 0);
}

}  // namespace

namespace {

TEST(AnalogInputsPage, RegistersAlarmsFramesGainsThenPollsTheSixteenLivePoints)
{
    FakePrompter prompter;
    {
        QWidget owner;
        auto* page = new TfrAnalogInputs(&owner);
        page->EnterPage();
        const ExpressScan& scan = DataBase::Instance()->AsExpressScan();
        std::vector<int> ids, polls;
        for (int i = 0; i < scan.Count(); ++i) ids.push_back(scan.At(i));
        for (int i = 0; i < scan.PollCount(); ++i) polls.push_back(scan.PollAt(i));
        // The alarms, each frame in its order, then the gains and offsets, then the stream count.
        const pagetest::PagePointOrder& order = *pagetest::FindPointOrder(14);
        ASSERT_EQ(ids.size(), 81u);
        EXPECT_EQ(ids, order.points);
        EXPECT_EQ(polls, order.poll);
        EXPECT_EQ(page->Calibration(3)->GainPoint(), 1520);
        EXPECT_EQ(page->Calibration(3)->OffsetPoint(), 1521);
    }
    DataBase::DestroyInstance();
}

}  // namespace
