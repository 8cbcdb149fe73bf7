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

#include <cmath>

namespace {

using pagetest::PageSession;
using pagetest::RowsOf;
using pagetest::WrittenRows;

TEST(AnalogInputCalibration, GainAndOffsetByTable)
{
    const struct {
        const char *rawZero, *rawSpan, *scaledZero, *scaledSpan;
        bool ok;
        const char *gain, *offset;
    } kCases[] = {
        {"64", "320", "4", "20", true, "0.0625", "0"},
        {"0", "160", "4", "20", true, "0.100000001490116", "4"},   // one tenth as a 32-bit float
        {"320", "64", "4", "20", true, "-0.0625", "24"},          // span below zero counts
        {" 12 ", "60000", "4", "20", true, "0.000266720016952604", "3.99679946899414"},
        {"100", "100", "4", "20", false, "", ""},                  // equal raw values
        {"abc", "100", "4", "20", false, "", ""},
        {"0", "70000", "4", "20", false, "", ""},                  // no 16-bit count
        {"1.5", "100", "4", "20", false, "", ""},
        {"0", "100", "", "20", false, "", ""},
        {"0", "100", "4", "x", false, "", ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.rawZero) + " " + c.rawSpan + " " + c.scaledZero + " " + c.scaledSpan);
        const aical::Result r = aical::Compute(QString::fromLatin1(c.rawZero), QString::fromLatin1(c.rawSpan),
                                               QString::fromLatin1(c.scaledZero), QString::fromLatin1(c.scaledSpan));
        EXPECT_EQ(r.ok, c.ok);
        EXPECT_EQ(r.gain, c.gain);
        EXPECT_EQ(r.offset, c.offset);
        EXPECT_EQ(r.why.isEmpty(), c.ok);
    }
    EXPECT_TRUE(aical::Compute(QStringLiteral("5"), QStringLiteral("5"), QStringLiteral("4"), QStringLiteral("20"))
                    .why.contains(QStringLiteral("equal")));
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

TEST_F(AnalogInputsSession, UnsoundValuesWriteNothingAndSayWhy)
{
    TTfraAICalibration* f = page->Calibration(1);
    f->btnCalibrateAI()->click();
    f->edScaledZero()->setText(QStringLiteral("4"));
    f->edScaledSpan()->setText(QStringLiteral("20"));
    f->edRawZero()->setText(QStringLiteral("500"));
    f->edAIRaw()->setText(QStringLiteral("500"));
    f->btnCaptureSpanClick();   // equal raw zero and span
    ASSERT_EQ(s.prompter.prompts.size(), 1u);
    EXPECT_TRUE(s.prompter.prompts[0].text.contains(QStringLiteral("equal")));
    EXPECT_TRUE(s.prompter.prompts[0].text.contains(QStringLiteral("Nothing was written")));

    f->edScaledSpan()->setText(QStringLiteral("twenty"));
    f->edAIRaw()->setText(QStringLiteral("900"));
    f->btnCaptureSpanClick();   // a scaled value that is no number
    ASSERT_EQ(s.prompter.prompts.size(), 2u);
    EXPECT_TRUE(s.prompter.prompts[1].text.contains(QStringLiteral("Scaled Span")));

    f->edAIRaw()->setText(QStringLiteral("12.5"));
    f->edRawSpan()->setText(QStringLiteral("900"));
    f->btnCaptureZeroClick();   // a raw reading that is no count: the raw zero stays
    EXPECT_EQ(f->edRawZero()->text(), QStringLiteral("500"));
    EXPECT_EQ(s.prompter.prompts.size(), 3u);
    EXPECT_EQ(s.WriteRequests(), 0);
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
