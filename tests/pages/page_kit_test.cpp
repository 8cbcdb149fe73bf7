// The page kit: write guards, single-bit masks, the stream-count watchers, the indicator
// pictures, and a page read against the simulated analyzer that writes nothing back.
#include "brannix/qlabel.h"
#include "tests/common/fake_prompter.h"
#include "tests/pages/page_session.h"
#include "tests/pages/kit/test_host.h"
#include "tevrin/pages/alarm_icons.h"
#include "tevrin/pages/page_frame.h"
#include "tevrin/pages/page_host.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/main_form.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

// A page with a stream-count label, for the watcher tests.
class WatchingPage : public TPageFrame {
public:
    WatchingPage(StreamCaptionRule rule, bool ignoreUntilShown) : TPageFrame(nullptr, 2, 0, 1)
    {
        label = new TQLabel(this);
        label->setDbId(20);
        label->setUseDatabase(true);
        label->setVisible(false);
        WatchStreamCount(label, rule, [this](int n) { applied.push_back(n); }, ignoreUntilShown);
    }
    // Delivers a value as the label's point would, and tells whether the label may show it.
    bool Arrive(const char* value)
    {
        bool doDefault = true;
        emit label->OnDBPointValueChanged(QString::fromLatin1(value), doDefault);
        return doDefault;
    }
    TQLabel* label;
    std::vector<int> applied;
};

// A logged-on host that records what the pages asked of it.
class RecordingHost : public pagetest::TestHost {
public:
    RecordingHost() : TestHost(true) {}
};

class PageKitTest : public ::testing::Test {
protected:
    void TearDown() override { DataBase::DestroyInstance(); }
    FakePrompter prompter;
};

TEST_F(PageKitTest, BitMasksSetOneBitOrClearItWithinTheWidth)
{
    const struct {
        int bit;
        bool set;
        int width;
        const char* mask;
    } kCases[] = {
        {0, true, 16, "1"},          {15, true, 16, "32768"},       {0, false, 16, "65534"},
        {15, false, 16, "32767"},    {31, true, 32, "2147483648"},  {31, false, 32, "2147483647"},
        {0, false, 32, "4294967294"}, {16, true, 16, ""},           {-1, true, 32, ""},
        {3, true, 8, ""},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(TPageFrame::BitMaskText(c.bit, c.set, c.width), c.mask) << c.bit << " " << c.set << " " << c.width;
}

TEST_F(PageKitTest, WriteBitHandsTheMaskToBitSetsOnlyAndWritesTheWholePoint)
{
    RecordingHost host;
    DataBase* db = DataBase::Instance();
    // Find one 16-bit and one 32-bit set and a point of another type in the catalogue.
    int bits16 = -1, bits32 = -1, other = -1, plain16 = -1;
    for (int id = 0; id < 2000 && (bits16 < 0 || bits32 < 0 || other < 0 || plain16 < 0); ++id) {
        if (!db->PointByDbId(static_cast<TDbId>(id))) continue;
        const int code = db->GetTypeCode(static_cast<TDbId>(id));
        if (code == 21 && bits16 < 0) bits16 = id;
        else if (code == 22 && bits32 < 0) bits32 = id;
        else if (code == 2 && plain16 < 0) plain16 = id;
        else if (code == 0 && other < 0) other = id;
    }
    ASSERT_GE(bits16, 0);
    ASSERT_GE(bits32, 0);
    ASSERT_GE(other, 0);
    ASSERT_GE(plain16, 0);
    EXPECT_TRUE(TPageFrame::WriteBit(static_cast<TDbId>(bits16), 3, true));
    EXPECT_TRUE(TPageFrame::WriteBit(static_cast<TDbId>(bits32), 31, false));
    EXPECT_FALSE(TPageFrame::WriteBit(static_cast<TDbId>(bits16), 16, true));   // beyond the width
    EXPECT_FALSE(TPageFrame::WriteBit(static_cast<TDbId>(other), 0, true));     // not a bit set
    EXPECT_FALSE(TPageFrame::WriteBit(static_cast<TDbId>(plain16), 0, true));   // a number, not a set
    EXPECT_FALSE(TPageFrame::WriteBit(9999, 0, true));                          // no such point
    // The whole point is written with no text: its edited value carries the bit.
    EXPECT_EQ(host.writes, (std::vector<std::string>{std::to_string(bits16) + "=", std::to_string(bits32) + "="}));
}

TEST_F(PageKitTest, StreamCountWatcherSetsTheCaptionAndAppliesOnlyKnownCounts)
{
    RecordingHost host;
    WatchingPage page(StreamCaptionRule::Streams, false);
    const struct {
        const char* value;
        const char* caption;   // the caption afterwards
        int applied;           // last count applied, -1 none
        bool shows;            // the label may show the value itself
    } kCases[] = {
        {"", "", -1, true},     {"0", "1-STREAM", 0, false}, {"3", "4-STREAMS", 3, false},
        {"7", "4-STREAMS", 3, false}, {"1", "2-STREAMS", 1, false}, {"-1", "2-STREAMS", 1, false},
        {"2", "3-STREAMS", 2, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(page.Arrive(c.value), c.shows);
        EXPECT_EQ(host.streamDisp, QString::fromLatin1(c.caption));
        EXPECT_EQ(page.applied.empty() ? -1 : page.applied.back(), c.applied);
    }
    EXPECT_EQ(page.WatchedStreamCount(), 2);
    EXPECT_TRUE(prompter.prompts.empty());

    // A text that is not a whole number is a conversion error and changes nothing.
    const size_t before = page.applied.size();
    EXPECT_FALSE(page.Arrive("abc"));
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].text, QStringLiteral("'abc' is not a valid integer value"));
    EXPECT_EQ(page.applied.size(), before);
    EXPECT_EQ(host.streamDisp, QStringLiteral("3-STREAMS"));
}

TEST_F(PageKitTest, SingleDualCaptionsAndWatchersThatWaitForTheFirstShowing)
{
    RecordingHost host;
    WatchingPage ports(StreamCaptionRule::SingleDual, false);
    ports.Arrive("1");
    EXPECT_EQ(host.streamDisp, QStringLiteral("DUAL STREAM"));
    ports.Arrive("3");   // leaves the caption
    EXPECT_EQ(host.streamDisp, QStringLiteral("DUAL STREAM"));
    ports.Arrive("0");
    EXPECT_EQ(host.streamDisp, QStringLiteral("SINGLE STREAM"));
    EXPECT_EQ(ports.applied, (std::vector<int>{1, 3, 0}));

    host.streamDisp.clear();
    WatchingPage outputs(StreamCaptionRule::Streams, true);
    EXPECT_FALSE(outputs.Arrive("2"));
    EXPECT_TRUE(outputs.applied.empty());
    EXPECT_TRUE(host.streamDisp.isEmpty());
    outputs.EnterPage();
    outputs.Arrive("2");
    EXPECT_EQ(outputs.applied, (std::vector<int>{2}));
    EXPECT_EQ(host.streamDisp, QStringLiteral("3-STREAMS"));
}

TEST_F(PageKitTest, StreamControlsFollowTheCountBothWays)
{
    QWidget s2, s3, s4;
    const std::vector<std::vector<QWidget*>> perStream = {{&s2}, {&s3}, {&s4}};
    TPageFrame::ShowStreamControls(3, perStream);
    EXPECT_TRUE(!s2.isHidden() && !s3.isHidden() && !s4.isHidden());
    TPageFrame::ShowStreamControls(0, perStream);
    EXPECT_TRUE(s2.isHidden() && s3.isHidden() && s4.isHidden());
    TPageFrame::ShowStreamControls(1, perStream);
    EXPECT_TRUE(!s2.isHidden() && s3.isHidden() && s4.isHidden());
}

TEST_F(PageKitTest, GuardsAndWritesWithoutAHostDoNothing)
{
    ASSERT_EQ(PageHost(), nullptr);
    TPageFrame page(nullptr, 5, 0, 1);
    EXPECT_FALSE(page.CanWrite());
    EXPECT_FALSE(page.ShownOnce());
    TPageFrame::WriteSinglePoint(1, "x");
    TPageFrame::PostCommand("ExpressRead");
    page.EnterPage();
    EXPECT_TRUE(page.CanWrite());
    EXPECT_TRUE(page.ShownOnce());
    DataBase::Instance()->AsExpressScan().SetPage(6, 0, 1);   // another page became current
    EXPECT_FALSE(page.CanWrite());
    EXPECT_FALSE(page.IsCurrentPage());
    EXPECT_TRUE(page.ShownOnce());
}

TEST_F(PageKitTest, IndicatorPicturesComeFromTheProgramsResources)
{
    for (auto list : {alarmicons::List::Alarms, alarmicons::List::SysAlarm})
        for (int i = 0; i < 4; ++i) EXPECT_FALSE(alarmicons::Icon(list, i).isNull()) << i;
    EXPECT_TRUE(alarmicons::Icon(alarmicons::List::Alarms, 4).isNull());
    QLabel image;
    alarmicons::SetIcon(&image, alarmicons::List::Alarms, 2);
    EXPECT_EQ(image.property("iconIndex").toInt(), 2);
    EXPECT_FALSE(image.pixmap().isNull());
}

// Pages set their indicators at every poll: the picture already shown is not drawn again.
TEST_F(PageKitTest, AnIndicatorSetToItsOwnPictureIsNotDrawnAgain)
{
    struct Paints : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint) ++count;
            return false;
        }
    } paints;
    QLabel image;
    image.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&image));
    alarmicons::SetIcon(&image, alarmicons::List::Alarms, 3);
    QTest::qWait(20);
    image.installEventFilter(&paints);
    const qint64 shown = image.pixmap().cacheKey();
    alarmicons::SetIcon(&image, alarmicons::List::Alarms, 3);
    QTest::qWait(20);
    EXPECT_EQ(paints.count, 0);
    EXPECT_EQ(image.pixmap().cacheKey(), shown);
    // The same index of the other list is another picture (grey against green).
    alarmicons::SetIcon(&image, alarmicons::List::SysAlarm, 3);
    QTest::qWait(20);
    EXPECT_GT(paints.count, 0);
    EXPECT_EQ(image.property("iconIndex").toInt(), 3);
    EXPECT_NE(image.pixmap().toImage(), alarmicons::Icon(alarmicons::List::Alarms, 3).toImage());
}

// The main window is the pages' host while it exists; reading pages writes nothing back.
TEST(PageKitSession, TheWindowHostsThePagesAndReadingThemWritesNothing)
{
    pagetest::PageSession session;
    EXPECT_EQ(PageHost(), static_cast<IPageHost*>(&session.Form()));
    ASSERT_TRUE(session.LogOn(true)) << session.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
    for (MainPage page : {MainPage::Global, MainPage::Stream, MainPage::InputsDry, MainPage::Outputs, MainPage::Status,
                          MainPage::Analysis})
        session.Show(page);
    session.unit.ClearLog();
    // The Analysis page polls every two seconds: let one poll run.
    EXPECT_TRUE(pagetest::PageSession::PumpUntil([&] { return session.unit.RequestCount() > 0; }, 5000));
    EXPECT_EQ(session.WriteRequests(), 0);
}

}  // namespace
