// The timer page: twelve timer frames that show and pack the 144-byte timer block, the stream
// boxes that follow the stream count, invalid times that refuse the write, and the block
// written to the simulated analyzer.
#include "brannix/qlabel.h"
#include "tests/common/fake_prompter.h"
#include "tests/pages/page_session.h"
#include "tests/pages/kit/test_host.h"
#include "tevrin/pages/config/frm_timer1.h"
#include "tevrin/pages/config/frm_timer_setup.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/timer_x_manager.h"
#include "tevrin/shell/main_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

QByteArray Bytes(const TimerBytes& b) { return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<int>(b.size())); }

// Record i: day i % 8, hour 2i, minute 5i, analysis bits and sequencer bits that differ.
TimerBytes VariedBlock()
{
    TimerBytes b{};
    for (int i = 0; i < kTimerCount; ++i) {
        uint8_t* r = b.data() + 12 * i;
        r[0] = i % 2;
        r[1] = static_cast<uint8_t>(i % 8);
        r[2] = static_cast<uint8_t>(2 * i);
        r[3] = static_cast<uint8_t>(5 * i);
        r[4] = i % 3 == 0;
        const uint32_t analysis = 0x5A5A5Au >> i;
        r[5] = static_cast<uint8_t>(analysis), r[6] = static_cast<uint8_t>(analysis >> 8), r[7] = static_cast<uint8_t>(analysis >> 16);
        r[9] = i % 2 == 0;
        const unsigned sequencer = (0x1FFu >> i) & 0x1FF;
        r[10] = static_cast<uint8_t>(sequencer), r[11] = static_cast<uint8_t>(sequencer >> 8);
    }
    return b;
}

class TimerPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner = std::make_unique<QWidget>();
        page = new TfrmTimer1(owner.get());
    }
    void TearDown() override
    {
        owner.reset();
        DataBase::DestroyInstance();
    }
    int Post()
    {
        TMessage m(platform::QM_BEFOREPOST);
        QCoreApplication::sendEvent(page, &m);
        return static_cast<int>(m.Result);
    }
    FakePrompter prompter;
    std::unique_ptr<QWidget> owner;
    TfrmTimer1* page = nullptr;
};

TEST_F(TimerPageTest, TwelveFramesOnTwoTabsStartAndStopTimersAlternate)
{
    ASSERT_EQ(page->PageControl()->count(), 2);
    EXPECT_EQ(page->PageControl()->tabText(0), QStringLiteral("Timers 1-6"));
    EXPECT_EQ(page->PageControl()->tabText(1), QStringLiteral("Timers 7-12"));
    const struct {
        int number;
        const char* group;
        const char* box;
        bool manualShown;
    } kCases[] = {{1, "Sequencers - (Start)", "Start", true}, {2, "Sequencers - (Stop)", "Stop", false},
                  {7, "Sequencer - (Start)", "Start", true},  {12, "Sequencer - (Stop)", "Stop", false}};
    for (const auto& c : kCases) {
        TfrmTimerSetup* t = page->Timer(c.number);
        EXPECT_EQ(t->objectName(), QStringLiteral("frmTimerSetup%1").arg(c.number));
        EXPECT_EQ(t->findChild<QGroupBox*>(QStringLiteral("grpSequencer"))->title(), QString::fromLatin1(c.group));
        EXPECT_EQ(t->SequencerEnable()->text(), QString::fromLatin1(c.box));
        EXPECT_EQ(!t->ManualBox(1)->isHidden(), c.manualShown) << c.number;
        EXPECT_EQ(t->edHours()->text(), QStringLiteral("8"));
        EXPECT_EQ(t->edMinute()->text(), QStringLiteral("0"));
    }
    EXPECT_EQ(page->Timer(9)->findChild<QLabel*>(QStringLiteral("lblTimer"))->text(), QStringLiteral("Timer #9"));
}

TEST_F(TimerPageTest, RecordsLoadAndPackBackByteForByte)
{
    const TimerBytes varied = VariedBlock();
    page->LoadFromRecords(varied);
    EXPECT_EQ(page->Timer(4)->edDays()->currentText(), QStringLiteral("Tuesday"));
    EXPECT_EQ(page->Timer(4)->edHours()->text(), QStringLiteral("6"));
    TimerBytes packed{};
    ASSERT_TRUE(page->PackRecords(packed, nullptr));
    EXPECT_EQ(packed, varied);

    // All boxes checked: every analysis bit and sequencer bits 0-8; all cleared: zeros.
    for (bool on : {true, false}) {
        for (int n = 1; n <= 12; ++n) {
            TfrmTimerSetup* t = page->Timer(n);
            for (int bit = 0; bit < TfrmTimerSetup::kAnalysisBits; ++bit) t->AnalysisBox(bit)->setChecked(on);
            t->ManEnable()->setChecked(on);
            for (int s = 1; s <= 8; ++s) t->ManualBox(s)->setChecked(on);
            t->edHours()->setText(QStringLiteral("8"));
            t->edMinute()->setText(QStringLiteral("0"));
        }
        ASSERT_TRUE(page->PackRecords(packed, nullptr));
        for (int i = 0; i < kTimerCount; ++i) {
            const uint8_t* r = packed.data() + 12 * i;
            const uint32_t analysis = uint32_t{r[5]} | uint32_t{r[6]} << 8 | uint32_t{r[7]} << 16;
            EXPECT_EQ(analysis, on ? 16777215u : 0u);
            EXPECT_EQ(r[10] | r[11] << 8, on ? 511 : 0);
            EXPECT_EQ(r[2], 8);
            EXPECT_EQ(r[3], 0);
            EXPECT_EQ(r[8], 0);
        }
    }

    // A day the list cannot show goes back as it came.
    TimerBytes odd{};
    odd[1] = 9;
    page->LoadFromRecords(odd);
    EXPECT_EQ(page->Timer(1)->edDays()->currentIndex(), -1);
    ASSERT_TRUE(page->PackRecords(packed, nullptr));
    EXPECT_EQ(packed[1], 9);
}

TEST_F(TimerPageTest, TheScheduleEnableFollowsTheGroupEnables)
{
    TfrmTimerSetup* start = page->Timer(3);
    start->SequencerEnable()->click();   // "Start" on timer 3
    EXPECT_TRUE(start->ManEnable()->isChecked());
    EXPECT_TRUE(start->Enable()->isChecked());
    start->SequencerEnable()->click();
    EXPECT_FALSE(start->ManEnable()->isChecked());
    EXPECT_FALSE(start->Enable()->isChecked());

    TfrmTimerSetup* stop = page->Timer(4);
    stop->SequencerEnable()->click();   // "Stop": no manual enable of its own
    EXPECT_TRUE(stop->Enable()->isChecked());
    EXPECT_FALSE(stop->ManEnable()->isChecked());
    stop->AnalysisEnable()->click();
    stop->SequencerEnable()->click();
    EXPECT_TRUE(stop->Enable()->isChecked());   // the analysis enable still holds it
    stop->AnalysisEnable()->click();
    EXPECT_FALSE(stop->Enable()->isChecked());
}

TEST_F(TimerPageTest, StreamBoxesFollowTheStreamCount)
{
    pagetest::TestHost host;
    TQLabel* streams = page->findChild<TQLabel*>(QStringLiteral("Streams"));
    ASSERT_NE(streams, nullptr);
    const auto shown = [&](int timer, const char* box) {
        return !page->Timer(timer)->findChild<QCheckBox*>(QString::fromLatin1(box))->isHidden();
    };
    const struct {
        const char* value;
        const char* caption;
        bool s2, s3, s4;
    } kCases[] = {{"0", "1-STREAM", false, false, false}, {"1", "2-STREAMS", true, false, false},
                  {"2", "3-STREAMS", true, true, false},  {"3", "4-STREAMS", true, true, true},
                  {"7", "4-STREAMS", true, true, true}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.value);
        bool doDefault = true;
        emit streams->OnDBPointValueChanged(QString::fromLatin1(c.value), doDefault);
        EXPECT_EQ(host.streamDisp, QString::fromLatin1(c.caption));
        for (int timer : {1, 12}) {
            EXPECT_TRUE(shown(timer, "S1H2S"));
            EXPECT_TRUE(shown(timer, "S1C"));
            EXPECT_FALSE(shown(timer, "S1TS"));
            EXPECT_FALSE(shown(timer, "S2TS"));
            EXPECT_EQ(shown(timer, "S2R1"), c.s2);
            EXPECT_EQ(shown(timer, "S3Z"), c.s3);
            EXPECT_EQ(shown(timer, "S4H2S"), c.s4);
        }
    }
}

TEST_F(TimerPageTest, InvalidTimesRefuseTheWriteWithAMessage)
{
    TimerXManager* manager = DataBase::Instance()->AsTimerXManager();
    const TimerBytes varied = VariedBlock();
    uint8_t planted[kTimerBlockSize];
    std::memcpy(planted, varied.data(), sizeof planted);
    manager->SetBlock(planted);

    // Never shown: the block stays as it is.
    page->Timer(1)->edHours()->setText(QStringLiteral("11"));
    EXPECT_EQ(Post(), 0);
    EXPECT_EQ(std::memcmp(manager->Block(), planted, sizeof planted), 0);

    page->EnterPage();
    page->LoadFromRecords(varied);
    const struct {
        const char* hour;
        const char* minute;
        const char* message;   // nullptr: taken
    } kCases[] = {
        {"23", "59", nullptr},
        {"24", "0", "Timer #5: the hour \"24\" is not a whole number from 0 to 23.\nNothing was written."},
        {"", "0", "Timer #5: the hour \"\" is not a whole number from 0 to 23.\nNothing was written."},
        {"x", "0", "Timer #5: the hour \"x\" is not a whole number from 0 to 23.\nNothing was written."},
        {"0", "60", "Timer #5: the minute \"60\" is not a whole number from 0 to 59.\nNothing was written."},
        {"0", "-1", "Timer #5: the minute \"-1\" is not a whole number from 0 to 59.\nNothing was written."},
        {" 7", "05", nullptr},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.hour) + ":" + c.minute);
        prompter.prompts.clear();
        std::memcpy(manager->Block(), planted, sizeof planted);
        page->Timer(5)->edHours()->setText(QString::fromLatin1(c.hour));
        page->Timer(5)->edMinute()->setText(QString::fromLatin1(c.minute));
        const int result = Post();
        if (!c.message) {
            EXPECT_EQ(result, 0);
            EXPECT_TRUE(prompter.prompts.empty());
            EXPECT_EQ(manager->Block()[12 * 4 + 2], QString::fromLatin1(c.hour).trimmed().toInt());
            EXPECT_EQ(manager->Block()[12 * 4 + 3], QString::fromLatin1(c.minute).toInt());
        } else {
            EXPECT_NE(result, 0);
            ASSERT_EQ(prompter.prompts.size(), 1u);
            EXPECT_EQ(prompter.prompts[0].text, QString::fromLatin1(c.message));
            EXPECT_EQ(std::memcmp(manager->Block(), planted, sizeof planted), 0);
        }
    }

    // From another page the write goes on without the timers, and says so.
    DataBase::Instance()->AsExpressScan().SetPage(2, 0, 1);
    page->Timer(5)->edHours()->setText(QStringLiteral("x"));
    std::memcpy(manager->Block(), planted, sizeof planted);
    prompter.prompts.clear();
    EXPECT_EQ(Post(), 0);
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_TRUE(prompter.prompts[0].text.endsWith(QStringLiteral("The timers keep their previous settings.")));
    EXPECT_EQ(std::memcmp(manager->Block(), planted, sizeof planted), 0);
}

TEST_F(TimerPageTest, TheObserverShowsEveryPublishedBlock)
{
    TMessage reg(platform::QM_REGISTERDATABASE);
    QCoreApplication::sendEvent(page, &reg);
    QCoreApplication::sendEvent(page, &reg);   // attached once, however often registered
    TimerXManager* manager = DataBase::Instance()->AsTimerXManager();
    const TimerBytes varied = VariedBlock();
    uint8_t planted[kTimerBlockSize];
    std::memcpy(planted, varied.data(), sizeof planted);
    manager->SetBlock(planted);
    manager->Publish();
    TimerBytes packed{};
    ASSERT_TRUE(page->PackRecords(packed, nullptr));
    EXPECT_EQ(packed, varied);
}

// End to end: the timers read from the simulated analyzer, edited and written back.
TEST(TimerSession, EditedTimersAreWrittenToTheAnalyzerAndAnInvalidOneSendsNothing)
{
    pagetest::PageSession session;
    const TimerBytes varied = VariedBlock();
    session.unit.SetTimerBlock(Bytes(varied));
    ASSERT_TRUE(session.LogOn(true)) << session.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
    session.unit.SetValue(sim::DbId{20}, 1);   // two streams from now on
    session.Show(MainPage::Timers);
    TfrmTimer1* page = nullptr;
    for (auto* p : session.Form().findChildren<TfrmTimer1*>()) page = p;
    ASSERT_NE(page, nullptr);
    TimerBytes shown{};
    ASSERT_TRUE(page->PackRecords(shown, nullptr));
    EXPECT_EQ(shown, varied);
    EXPECT_FALSE(page->Timer(1)->findChild<QCheckBox*>(QStringLiteral("S2R1"))->isHidden());

    // Timer 3: Saturday 14:30, "Start" with manual sequencer 2, stream 2 reference 1.
    TfrmTimerSetup* t3 = page->Timer(3);
    t3->edDays()->setCurrentIndex(7);
    t3->edHours()->setText(QStringLiteral("14"));
    t3->edMinute()->setText(QStringLiteral("30"));
    t3->SequencerEnable()->setChecked(false);
    t3->SequencerEnable()->click();
    t3->ManualBox(2)->setChecked(true);
    t3->AnalysisBox(8)->setChecked(true);
    session.unit.ClearLog();
    session.Form().tbtnWriteClick();

    TimerBytes expected = varied;
    uint8_t* r = expected.data() + 24;
    r[0] = 1;
    r[1] = 7, r[2] = 14, r[3] = 30;
    r[9] = 1;
    uint32_t analysis = (uint32_t{r[5]} | uint32_t{r[6]} << 8 | uint32_t{r[7]} << 16) | 1u << 8;
    // The database keeps only the analyses of the two configured streams of a timer that
    // runs a sequence.
    for (int i = 0; i < kTimerCount; ++i) {
        uint8_t* rec = expected.data() + 12 * i;
        if (!rec[9]) continue;
        uint32_t a = i == 2 ? analysis : (uint32_t{rec[5]} | uint32_t{rec[6]} << 8 | uint32_t{rec[7]} << 16);
        a &= 0xFFF;
        rec[5] = static_cast<uint8_t>(a), rec[6] = static_cast<uint8_t>(a >> 8), rec[7] = static_cast<uint8_t>(a >> 16);
    }
    const unsigned sequencer = (unsigned{r[10]} | unsigned{r[11]} << 8) | 1u | 1u << 2;
    r[10] = static_cast<uint8_t>(sequencer), r[11] = static_cast<uint8_t>(sequencer >> 8);
    EXPECT_EQ(session.unit.TimerBlock(), Bytes(expected));
    EXPECT_EQ(session.unit.RequestCount(66), 1);

    // An hour of 25 on timer 9: the write is refused with the reason, nothing goes out.
    page->Timer(9)->edHours()->setText(QStringLiteral("25"));
    session.unit.ClearLog();
    session.prompter.prompts.clear();
    session.Form().tbtnWriteClick();
    EXPECT_TRUE(session.prompter.Saw(QStringLiteral("Timer #9: the hour \"25\" is not a whole number from 0 to 23.\nNothing was written.")))
        << session.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(session.WriteRequests(), 0);
    EXPECT_EQ(session.unit.TimerBlock(), Bytes(expected));
}

}  // namespace

TEST(TimerSession, TheTimersStandTwoAbreastWithoutSidewaysScrollingAndTheirGroupsKeepTheirHeights)
{
    pagetest::PageSession session;
    session.Form().show();
    session.Show(MainPage::Timers);
    QCoreApplication::processEvents();
    TfrmTimer1* page = nullptr;
    for (auto* p : session.Form().findChildren<TfrmTimer1*>()) page = p;
    ASSERT_NE(page, nullptr);
    auto* area = page->findChild<QScrollArea*>(QStringLiteral("TabSheet1"));
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->horizontalScrollBar()->maximum(), 0);
    // A start timer and its stop timer side by side, their schedules alike in height.
    for (int number : {1, 3, 5}) {
        SCOPED_TRACE(number);
        TfrmTimerSetup* start = page->Timer(number);
        TfrmTimerSetup* stop = page->Timer(number + 1);
        EXPECT_EQ(start->y(), stop->y());
        EXPECT_LT(start->x(), stop->x());
        const auto* startSchedule = start->findChild<QGroupBox*>(QStringLiteral("grpSchedule"));
        const auto* stopSchedule = stop->findChild<QGroupBox*>(QStringLiteral("grpSchedule"));
        EXPECT_EQ(stopSchedule->height(), startSchedule->height());
        EXPECT_EQ(stop->findChild<QGroupBox*>(QStringLiteral("grpAnalysis"))->y(),
                  start->findChild<QGroupBox*>(QStringLiteral("grpAnalysis"))->y());
    }
    session.Form().hide();
}

TEST_F(TimerPageTest, TheTestToggleFillsOrClearsEveryTimerAndSaysWhatToLookFor)
{
    const struct {
        bool down;
        uint32_t analysis;
        unsigned sequencer;
        const char* message;
    } kCases[] = {
        {true, 16777215u, 511u, "If Analysis=16777215 and Sequencer=511 in file LogWrite.dbg, the TEST will be passed."},
        {false, 0u, 0u, "If Analysis=0 and Sequencer=0 in file LogWrite.dbg, the TEST will be passed."},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.down);
        prompter.prompts.clear();
        page->btnTestClick(c.down);
        ASSERT_EQ(prompter.prompts.size(), 1u);
        EXPECT_EQ(prompter.prompts[0].text, QString::fromLatin1(c.message));
        TimerBytes block{};
        ASSERT_TRUE(page->PackRecords(block, nullptr));
        for (int i = 0; i < kTimerCount; ++i) {
            const uint8_t* r = block.data() + kTimerRecordSize * i;
            EXPECT_EQ(r[0], c.down ? 1 : 0) << i;
            EXPECT_EQ(r[1], 0) << i;
            EXPECT_EQ(r[2], 8) << i;
            EXPECT_EQ(r[3], 0) << i;
            EXPECT_EQ(uint32_t{r[5]} | uint32_t{r[6]} << 8 | uint32_t{r[7]} << 16, c.analysis) << i;
            EXPECT_EQ(unsigned{r[10]} | unsigned{r[11]} << 8, c.sequencer) << i;
        }
    }
}
