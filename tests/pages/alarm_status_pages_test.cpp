// The Alarms and Status pages: the points they register and poll, the lights that follow a
// table of point values, the stream panels, and a session against the simulated analyzer in
// which the lights follow the unit and nothing is written back.
#include "brannix/qimage.h"
#include "brannix/qlabel.h"
#include "brannix/qlabelededit.h"
#include "tests/pages/page_point_orders.h"
#include "tests/common/fake_prompter.h"
#include "tests/pages/page_session.h"
#include "tests/pages/kit/test_host.h"
#include "tevrin/pages/io/frm_alarm.h"
#include "tevrin/pages/io/frm_io_status.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/main_form.h"

#include <QColor>
#include <QImage>
#include <QLabel>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

class AlarmStatusTest : public ::testing::Test {
protected:
    void TearDown() override { DataBase::DestroyInstance(); }
    static std::vector<int> Points(bool poll = false)
    {
        const ExpressScan& scan = DataBase::Instance()->AsExpressScan();
        std::vector<int> ids;
        const int n = poll ? scan.PollCount() : scan.Count();
        for (int i = 0; i < n; ++i) ids.push_back(poll ? scan.PollAt(i) : scan.At(i));
        return ids;
    }
    FakePrompter prompter;
    pagetest::TestHost host;
};

TEST_F(AlarmStatusTest, AlarmPageRegistersItsLightsAndThoseOfTheStreamsThatExist)
{
    TfrmAlarm page(nullptr);
    page.EnterPage();
    const std::vector<int> first = {20,  407, 347, 532, 348, 469, 346,  473,  518,  519,  152,  539,  602,
                                    349, 350, 504, 352, 353, 355, 1415, 356,  1416, 358,  359,  1438, 1437,
                                    1467, 1468, 1469, 1470, 1471, 1472, 1473, 1474, 1680, 1682, 1684, 1686};
    EXPECT_EQ(Points(), first);
    EXPECT_EQ(DataBase::Instance()->AsExpressScan().CurrentPage(), 11);

    const struct {
        const char* count;
        int panels;   // panels shown afterwards
        size_t points;
        const char* caption;
    } kCounts[] = {
        {"1", 2, 38 + 11, "2-STREAMS"}, {"3", 4, 38 + 33, "4-STREAMS"}, {"7", 4, 38 + 33, "4-STREAMS"}, {"0", 1, 38 + 33, "1-STREAM"},
    };
    for (const auto& c : kCounts) {
        SCOPED_TRACE(c.count);
        page.lblStream4()->Respond(c.count);
        page.QLabel71()->Respond(c.count);
        for (int s = 1; s <= 4; ++s) EXPECT_EQ(page.StreamPanel(s)->isVisibleTo(&page), s <= c.panels) << s;
        EXPECT_EQ(Points().size(), c.points);
        EXPECT_EQ(host.streamDisp, QString::fromLatin1(c.caption));
    }
    const std::vector<int> all = Points();
    EXPECT_TRUE(std::equal(first.begin(), first.end(), all.begin()));
    for (int id : {361, 1418, 1102, 1420, 1114, 1124}) EXPECT_NE(std::find(all.begin(), all.end(), id), all.end()) << id;
    // The next entry registers what exists now: one stream.
    page.EnterPage();
    EXPECT_EQ(Points(), first);
}

TEST_F(AlarmStatusTest, StatusPageRegistersItsSeventyThreePointsAndPollsTheLiveOnes)
{
    TfrmIOStatus page(nullptr);
    page.EnterPage();
    const pagetest::PagePointOrder& order = *pagetest::FindPointOrder(15);
    const std::vector<int>& points = order.points;
    ASSERT_EQ(points.size(), 73u);
    EXPECT_EQ(Points(), points);
    ASSERT_EQ(order.poll.size(), 37u);
    EXPECT_EQ(Points(true), order.poll);
    // Every bound control of the page is among them.
    for (int id : page.BoundDbIds()) EXPECT_NE(std::find(points.begin(), points.end(), id), points.end()) << id;
}

TEST_F(AlarmStatusTest, LightsFollowATableOfPointValues)
{
    TfrmAlarm alarms(nullptr);
    TfrmIOStatus status(nullptr);
    const struct {
        QWidget* page;
        const char* image;
        const char* value;
        int icon;
        const char* label;   // the power label's text afterwards, nullptr: no label
    } kCases[] = {
        {&alarms, "SensorTemp", "True", 2, nullptr},
        {&alarms, "SensorTemp", "False", 0, nullptr},
        {&alarms, "SystemAlarm", "True", 2, nullptr},
        {&alarms, "SystemAlarm", "False", 3, nullptr},
        {&alarms, "imS3ZA", "True", 2, nullptr},
        {&alarms, "imgLock4", "True", 2, nullptr},
        {&alarms, "imDIOLL2", "False", 0, nullptr},
        {&alarms, "ACPowerAlarm", "True", 2, nullptr},
        {&status, "SystemAlarm", "True", 2, nullptr},
        {&status, "SystemAlarm", "False", 3, nullptr},
        {&status, "R3State", "4", 2, nullptr},        // relay 3: bit 2 of the output positions
        {&status, "R1State", "4", 3, nullptr},
        {&status, "imgS1", "260", 2, nullptr},        // solenoid 1: bit 8
        {&status, "imgS8", "260", 3, nullptr},
        {&status, "imgS8", "32768", 2, nullptr},
        {&status, "Lat1", "True", 2, nullptr},
        {&status, "Lat6", "False", 3, nullptr},
        {&status, "Lat16", "True", 2, nullptr},
        {&status, "D5State", "True", 2, nullptr},
        {&status, "D1State", "False", 3, nullptr},
        {&status, "DCPowerStatus", "True", 3, "DC Power Disconnected"},
        {&status, "DCPowerStatus", "False", 2, "DC Power Connected"},
        {&status, "ACPowerStatus", "True", 3, "AC Power Disconnected"},
        {&status, "ACPowerStatus", "False", 2, "AC Power Connected"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.image) + "=" + c.value);
        auto* image = c.page->findChild<TQImageBase*>(QString::fromLatin1(c.image));
        ASSERT_NE(image, nullptr);
        image->Respond(c.value);
        EXPECT_EQ(image->property("iconIndex").toInt(), c.icon);
        if (c.label) {
            const QString name = QString::fromLatin1(c.image).startsWith(QLatin1String("DC")) ? QStringLiteral("labDCPower")
                                                                                                : QStringLiteral("labACPower");
            EXPECT_EQ(status.findChild<QLabel*>(name)->text(), QString::fromLatin1(c.label));
        }
    }

    const struct {
        const char* edit;
        const char* value;
        const char* shown;
    } kReadings[] = {{"edtAO1Desc", "4.5", "4.500"}, {"edtAO6Desc", "", "0.000"}, {"edAIR4", "abc", "0.000"},
                     {"edAIR1", "-12.34567", "-12.346"}, {"edAIR2", "nan", "NAN"}};
    for (const auto& r : kReadings) {
        auto* edit = status.findChild<TQLabeledEdit*>(QString::fromLatin1(r.edit));
        ASSERT_NE(edit, nullptr) << r.edit;
        edit->Respond(r.value);
        EXPECT_EQ(edit->text(), QString::fromLatin1(r.shown)) << r.edit;
    }
    // The hidden stream number never shows a number.
    auto* streamNo = status.findChild<TQLabel*>(QStringLiteral("streamNo"));
    streamNo->Respond("2");
    EXPECT_TRUE(streamNo->text().isEmpty());
}

TEST_F(AlarmStatusTest, LightsKeepTheirColoursOnAPageThatReadOnlyModeDisables)
{
    TfrmIOStatus status(nullptr);
    status.resize(status.sizeHint());
    auto* power = status.findChild<TQImageBase*>(QStringLiteral("ACPowerStatus"));
    ASSERT_NE(power, nullptr);
    power->Respond("False");   // connected: the red light
    ASSERT_EQ(power->property("iconIndex").toInt(), 2);
    status.setEnabled(false);
    const QImage shown = power->grab().toImage();
    const QColor centre = shown.pixelColor(shown.width() / 2, shown.height() / 2);
    // Red, not the grey of a disabled picture.
    EXPECT_GT(centre.red(), centre.green() + 60) << centre.name().toStdString();
    EXPECT_GT(centre.red(), centre.blue() + 60) << centre.name().toStdString();
}

// Logged on, the Status and Alarms pages follow the unit's points at each poll and write nothing.
TEST(AlarmStatusSession, LightsFollowTheAnalyzerAndNothingIsWrittenBack)
{
    pagetest::PageSession session;
    ASSERT_TRUE(session.LogOn(true)) << session.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
    TFormMain& form = session.Form();
    auto icon = [&form](MainPage page, const char* name) {
        return form.Frame(page)->findChild<TQImageBase*>(QString::fromLatin1(name))->property("iconIndex").toInt();
    };

    session.Show(MainPage::Status);
    session.unit.ClearLog();
    session.unit.SetValue(sim::DbId{380}, 0x0104);   // relay 3 and solenoid 1 on
    session.unit.SetValue(sim::DbId{1475}, 1);       // AC power gone
    session.unit.SetValue(sim::DbId{373}, 1);
    EXPECT_TRUE(pagetest::PageSession::PumpUntil([&] { return icon(MainPage::Status, "R3State") == 2; }, 6000));
    EXPECT_EQ(icon(MainPage::Status, "imgS1"), 2);
    EXPECT_EQ(icon(MainPage::Status, "R1State"), 3);
    EXPECT_EQ(icon(MainPage::Status, "ACPowerStatus"), 3);
    EXPECT_EQ(icon(MainPage::Status, "D1State"), 2);
    EXPECT_EQ(form.Frame(MainPage::Status)->findChild<QLabel*>(QStringLiteral("labACPower"))->text(),
              QStringLiteral("AC Power Disconnected"));
    session.unit.SetValue(sim::DbId{380}, 0);
    EXPECT_TRUE(pagetest::PageSession::PumpUntil([&] { return icon(MainPage::Status, "R3State") == 3; }, 6000));

    session.Show(MainPage::Alarms);
    session.unit.SetValue(sim::DbId{347}, 1);
    session.unit.SetValue(sim::DbId{20}, 1);    // a second stream appears
    session.unit.SetValue(sim::DbId{361}, 1);   // its sample deviation
    EXPECT_TRUE(pagetest::PageSession::PumpUntil([&] { return icon(MainPage::Alarms, "SensorTemp") == 2; }, 6000));
    EXPECT_TRUE(pagetest::PageSession::PumpUntil([&] { return icon(MainPage::Alarms, "imS2ND") == 2; }, 6000));
    EXPECT_TRUE(static_cast<TfrmAlarm*>(form.Frame(MainPage::Alarms))->StreamPanel(2)->isVisible());
    EXPECT_EQ(session.WriteRequests(), 0);
}

}  // namespace
