// The Stream page against the simulated analyzer: the points it registers for one, two and four
// streams, edits on stream 1 and on further streams, the analog-output overrides, the set tabs'
// timed image, and run requests with their confirmation.
#include "brannix/qcheckbox.h"
#include "brannix/qcombobox.h"
#include "brannix/qlabelededit.h"
#include "tests/pages/page_session.h"
#include "tevrin/pages/config/fra_ana_set_defn.h"
#include "tevrin/pages/config/fra_analyzer_streams.h"
#include "tevrin/pages/config/fra_stream.h"
#include "tevrin/pages/widgets/ao_source_combo.h"
#include "tevrin/rtdb/analog_output_collection.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/main_form.h"

#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

enum Tab { H2S = 0, Cal = 1, Ref1 = 2, Ref2 = 3, Zero = 4 };

class StreamsPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.LogOn(true));
        page = static_cast<TfraAnalyzerStreams*>(session.Form().Frame(MainPage::Stream));
        sources = AnalogOutputCollection::Instance();
        ASSERT_GE(sources->Count(), 6);
    }
    // Sets the unit's stream count (streams less one) and reads it into the program, as a
    // count changed on the Factory page would be, then shows the page.
    void ShowPage(int streamsLessOne = 0)
    {
        session.unit.SetValue(sim::DbId{20}, streamsLessOne);
        session.Show(MainPage::Global);
        session.Show(MainPage::Stream);
        session.unit.ClearLog();
    }
    TfraAnaSetDefn* Set(int stream, Tab tab) const { return page->Stream(stream)->Sets()[tab]; }
    void PageWrite() { session.Form().tbtnWriteClick(); }
    int SourceId(int position) const { return sources->At(position)->DbId; }

    pagetest::PageSession session;
    TfraAnalyzerStreams* page = nullptr;
    const AnalogOutputCollection* sources = nullptr;
};

// Stream 1's points as the page registers them: the frame (gain, zero offset, units), its five
// sets in tab order, the run requests, the corrections, the stream count and the timed switches.
const std::vector<int> kStream1 = {
    21, 22, 463,
    45, 46, 32, 33, 418, 1481, 1482, 1483, 25, 26, 24, 47, 48, 50, 1205, 52, 54, 1206, 56, 57, 58, 59, 60, 61,
    381, 382, 502, 1648, 1649, 1650, 1651, 1614,
    68, 69, 27, 28, 421, 30, 31, 464, 304, 305, 403, 70, 71, 73, 1209, 75, 77, 1210, 79, 80, 81, 82, 83, 84, 0,
    91, 92, 424, 35, 36, 465, 404, 405, 406, 93, 94, 96, 1211, 98, 100, 1212, 102, 103, 104, 105, 106, 107, 1616,
    1269, 1270, 1271, 1272, 1264, 1286, 1287, 1288, 1266, 1267, 1268, 1273, 1274, 1275, 1276, 1277, 1278, 1279,
    1280, 1281, 1282, 1283, 1284, 1285, 1617,
    114, 115, 37, 38, 427, 40, 41, 466, 510, 521, 522, 116, 117, 119, 1213, 121, 123, 1214, 125, 126, 127, 128, 129, 130,
    474, 1137, 475, 476, 1423, 477, 1636, 1637, 20, 23, 136, 658, 808};

TEST_F(StreamsPageTest, RegistersStreamOneThenEachConfiguredStream)
{
    ShowPage(0);
    EXPECT_EQ(pagetest::PageSession::RegisteredPoints(), kStream1);
    EXPECT_EQ(page->RegisteredStreams(), 1);
    EXPECT_EQ(session.Form().StreamDisp()->text(), QStringLiteral("1-STREAM"));
    EXPECT_FALSE(page->streamTabs()->isTabVisible(1));

    ShowPage(1);
    std::vector<int> two = pagetest::PageSession::RegisteredPoints();
    ASSERT_GT(two.size(), kStream1.size());
    EXPECT_TRUE(std::equal(kStream1.begin(), kStream1.end(), two.begin()));
    // Stream 2 follows in the same shape: its frame, its sets, its requests, its corrections.
    const std::vector<int> stream2Head = {134, 135, 408, 158, 159, 430, 62, 63, 64, 138, 139, 137, 160};
    EXPECT_TRUE(std::equal(stream2Head.begin(), stream2Head.end(), two.begin() + static_cast<long>(kStream1.size())));
    EXPECT_EQ(std::vector<int>(two.end() - 8, two.end()), (std::vector<int>{478, 1138, 479, 480, 1424, 481, 1638, 1639}));
    EXPECT_EQ(session.Form().StreamDisp()->text(), QStringLiteral("2-STREAMS"));
    EXPECT_TRUE(page->streamTabs()->isTabVisible(1));
    EXPECT_FALSE(page->streamTabs()->isTabVisible(2));

    ShowPage(3);
    const std::vector<int> four = pagetest::PageSession::RegisteredPoints();
    const std::set<int> unique(four.begin(), four.end());
    EXPECT_EQ(unique.size(), four.size());
    for (int id : {818, 1347, 1366, 951, 1148, 1643, 1672, 1675}) EXPECT_EQ(unique.count(id), 1u) << id;
    EXPECT_EQ(four.back(), 1643);
    EXPECT_TRUE(page->streamTabs()->isTabVisible(3));
    EXPECT_EQ(session.WriteRequests(), 0);
}

TEST_F(StreamsPageTest, EditsOnStreamOneAreWrittenAndNothingElse)
{
    session.unit.SetValue(sim::DbId{57}, 5);
    ShowPage(1);
    Set(1, H2S)->ledName->setText(QStringLiteral("SAMP1"));
    Set(1, H2S)->edAlarmDevLimit->setText(QStringLiteral("7.5"));
    Set(1, Zero)->switching[7]->click();   // solenoid 2, bit 9
    page->Stream(1)->ledGainFactor->setText(QStringLiteral("1.25"));
    page->chkZeroCorrEnable(1)->click();
    EXPECT_EQ(session.WriteRequests(), 0);
    PageWrite();
    std::vector<int> written = session.WrittenDbIds();
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<int>{21, 45, 57, 116, 1637}));
    EXPECT_EQ(session.unit.Text(sim::DbId{45}), QByteArray("SAMP1"));
    EXPECT_FLOAT_EQ(session.unit.Value(sim::DbId{57}), 7.5f);
    EXPECT_FLOAT_EQ(session.unit.Value(sim::DbId{21}), 1.25f);
    EXPECT_EQ(session.unit.Value(sim::DbId{116}), 1 << 9);
    EXPECT_EQ(session.unit.Value(sim::DbId{1637}), 1);
}

// The analyzer writes stream 1's settings only; streams 2 to 4 are shown, and visibly cannot be
// edited, whatever the user level; their run requests work.
TEST_F(StreamsPageTest, FurtherStreamsAreShownButNotEditable)
{
    session.unit.SetText(sim::DbId{181}, "CAL2");
    ShowPage(3);
    EXPECT_EQ(Set(2, Cal)->ledName->text(), QStringLiteral("CAL2"));
    for (int s = 2; s <= 4; ++s) {
        SCOPED_TRACE(s);
        EXPECT_TRUE(page->findChild<QLabel*>(QStringLiteral("lblShownOnly%1").arg(s))->isVisibleTo(page->streamTabs()->widget(s - 1)));
        EXPECT_FALSE(page->Stream(s)->ledGainFactor->isEnabled());
        EXPECT_FALSE(page->chkCalCorrEnable(s)->isEnabled());
        EXPECT_FALSE(page->TimedAnalysisEnable(s)->isEnabled());
        for (TfraAnaSetDefn* set : page->Stream(s)->Sets()) {
            EXPECT_FALSE(set->ledName->isEnabled());
            EXPECT_FALSE(set->cbAOMgr1Function->isEnabled());
            EXPECT_FALSE(set->switching[0]->isEnabled());
            EXPECT_TRUE(set->btnRequest->isEnabled());
        }
    }
    EXPECT_TRUE(Set(1, Cal)->ledName->isEnabled());
    PageWrite();
    EXPECT_EQ(session.WrittenDbIds(), std::vector<int>{});
}

TEST_F(StreamsPageTest, ArrivingValuesShowAndWriteNothingBack)
{
    session.unit.SetText(sim::DbId{668}, "S3NAME");
    session.unit.SetValue(sim::DbId{686}, 0x0201);
    session.unit.SetValue(sim::DbId{32}, 7);   // reference 1's runs to average, also carried hidden by H2S sets
    session.unit.SetValue(sim::DbId{1235}, 4);
    session.unit.SetValue(sim::DbId{813}, 1);   // stream 4 H2S on time
    ShowPage(3);
    EXPECT_EQ(Set(3, H2S)->ledName->text(), QStringLiteral("S3NAME"));
    EXPECT_TRUE(Set(3, H2S)->alarm1Actions[0]->isChecked());
    EXPECT_TRUE(Set(3, H2S)->alarm1Actions[7]->isChecked());
    EXPECT_EQ(Set(1, Ref1)->ledRunsToAvg->text(), QStringLiteral("7"));
    EXPECT_EQ(Set(4, H2S)->cbAOMgr1Channel->currentIndex(), 4);
    EXPECT_EQ(page->Stream(4)->TabImageIndex(0), 1);
    EXPECT_EQ(session.WriteRequests(), 0);
    PageWrite();
    EXPECT_EQ(session.WrittenDbIds(), std::vector<int>{});
}

// A name longer than its box is shown cut; a write sends the cut name only when the user
// changed it, so the unit's longer name is never shortened behind the user's back.
TEST_F(StreamsPageTest, ANameLongerThanItsBoxIsNotWrittenBackCut)
{
    session.unit.SetText(sim::DbId{45}, "CALIBRATION");
    ShowPage();
    QLineEdit* name = Set(1, H2S)->ledName;
    ASSERT_LT(name->maxLength(), 11);
    EXPECT_EQ(name->text(), QStringLiteral("CALIBRATION").left(name->maxLength()));
    page->Stream(1)->ledGainFactor->setText(QStringLiteral("1.25"));
    PageWrite();
    EXPECT_EQ(session.WrittenDbIds(), std::vector<int>{21});
    EXPECT_EQ(session.unit.Text(sim::DbId{45}), QByteArray("CALIBRATION"));

    session.unit.ClearLog();
    name->setText(QStringLiteral("CAL"));
    PageWrite();
    EXPECT_EQ(session.WrittenDbIds(), std::vector<int>{45});
    EXPECT_EQ(session.unit.Text(sim::DbId{45}), QByteArray("CAL"));
}

TEST_F(StreamsPageTest, AHiddenCopyNeverOverwritesWhatTheUserSet)
{
    session.unit.SetValue(sim::DbId{32}, 3);
    ShowPage(3);
    // Reference 1's runs to average is point 32; the H2S sets carry it hidden.
    Set(1, Ref1)->ledRunsToAvg->setText(QStringLiteral("9"));
    PageWrite();
    EXPECT_EQ(session.unit.Value(sim::DbId{32}), 9);
    EXPECT_EQ(session.WrittenDbIds(), std::vector<int>{32});
    for (int s = 1; s <= 4; ++s) {
        EXPECT_FALSE(Set(s, H2S)->ledRunsToAvg->UseDatabase()) << s;
        EXPECT_FALSE(Set(s, H2S)->ledRunsToAvg->isVisibleTo(Set(s, H2S))) << s;
    }
}

TEST_F(StreamsPageTest, AnalogOutputOverridesWriteTheChosenPointsIdAndKeepUnknownValues)
{
    session.unit.SetValue(sim::DbId{50}, SourceId(1));
    session.unit.SetValue(sim::DbId{54}, 9999);
    session.unit.SetValue(sim::DbId{163}, SourceId(2));
    ShowPage(1);
    TAOSourceCombo* ao1 = Set(1, H2S)->cbAOMgr1Function;
    ASSERT_EQ(ao1->count(), sources->Count());
    EXPECT_EQ(ao1->currentIndex(), 1);
    EXPECT_EQ(Set(1, H2S)->cbAOMgr2Function->currentIndex(), -1);
    EXPECT_EQ(Set(2, H2S)->cbAOMgr1Function->currentIndex(), 2);   // stream 2 follows its point too

    ao1->setCurrentIndex(5);
    emit ao1->activated(5);
    EXPECT_EQ(DataBase::Instance()->GetPointText(50), std::to_string(SourceId(5)));
    PageWrite();
    EXPECT_EQ(session.WrittenDbIds(), std::vector<int>{50});
    EXPECT_EQ(session.unit.Value(sim::DbId{50}), SourceId(5));
    EXPECT_EQ(session.unit.Value(sim::DbId{54}), 9999);

    // No selection, or no point: nothing is stored.
    TAOSourceCombo* unknown = Set(1, H2S)->cbAOMgr2Function;
    EXPECT_FALSE(unknown->StoreChoice());
    TAOSourceCombo unbound;
    unbound.Fill();
    unbound.setCurrentIndex(0);
    EXPECT_FALSE(unbound.StoreChoice());
}

TEST_F(StreamsPageTest, TheTimeBoxMarksItsSetsTab)
{
    ShowPage(0);
    TfraStream* stream = page->Stream(1);
    EXPECT_EQ(stream->TabImageIndex(Zero), 2);
    Set(1, Zero)->chkTime->click();
    EXPECT_EQ(stream->TabImageIndex(Zero), 1);
    Set(1, Zero)->chkTime->click();
    EXPECT_EQ(stream->TabImageIndex(Zero), 0);
    EXPECT_EQ(page->Stream(2)->TabImageIndex(Zero), 2);

    // The shown set tab is the highlighted one.
    QTabBar* bar = stream->PageControlAnaSetDefns()->tabBar();
    stream->PageControlAnaSetDefns()->setCurrentIndex(Zero);
    EXPECT_EQ(bar->tabTextColor(Zero), bar->palette().color(QPalette::Highlight));
    EXPECT_NE(bar->tabTextColor(H2S), bar->palette().color(QPalette::Highlight));
}

TEST_F(StreamsPageTest, RunRequestsAskFirstAndPostCalibrateOnYesOnly)
{
    ShowPage(3);
    QPushButton* ref2Stream3 = Set(3, Ref2)->btnRequest;
    EXPECT_EQ(ref2Stream3->text(), QStringLiteral("Stream 3 Reference 2"));
    EXPECT_EQ(ref2Stream3->toolTip(), QStringLiteral("Stream 3 Reference 2 Request"));
    EXPECT_TRUE(ref2Stream3->isEnabled());
    EXPECT_EQ(Set(1, H2S)->btnRequest->text(), QStringLiteral("Sample"));

    session.prompter.prompts.clear();
    session.prompter.answers = {platform::mrNo};
    ref2Stream3->click();
    ASSERT_EQ(session.prompter.prompts.size(), 1u);
    EXPECT_EQ(session.prompter.prompts[0].text,
              QStringLiteral("This button will initiate a REFERENCE2 run, do you want to proceed?"));
    EXPECT_EQ(session.prompter.prompts[0].buttons, platform::mbYesNo);
    EXPECT_EQ(session.WriteRequests(), 0);

    session.prompter.answers = {platform::mrYes};
    ref2Stream3->click();
    EXPECT_EQ(session.WrittenDbIds(), std::vector<int>{1425});
    EXPECT_EQ(session.unit.Value(sim::DbId{1425}), 1);

    const struct {
        int stream;
        Tab tab;
        int id;
        const char* question;
        const char* status;
    } kRequests[] = {
        {1, H2S, 474, "This button will initiate a H2S run, do you want to proceed?", "Normal 1 Submitted"},
        {2, Zero, 481, "This button will initiate a ZERO run, do you want to proceed?", "Zero 2 Submitted"},
        {4, Cal, 1146, "This button will initiate a CALIBRATION run, do you want to proceed?", nullptr},
        {1, Ref1, 476, "This button will initiate a REFERENCE run, do you want to proceed?", "Reference 1 Submitted"},
    };
    for (const auto& r : kRequests) {
        SCOPED_TRACE(r.id);
        session.unit.ClearLog();
        session.prompter.prompts.clear();
        session.prompter.answers = {platform::mrYes};
        Set(r.stream, r.tab)->btnRequest->click();
        ASSERT_EQ(session.prompter.prompts.size(), 1u);
        EXPECT_EQ(session.prompter.prompts[0].text, QString::fromLatin1(r.question));
        EXPECT_EQ(session.WrittenDbIds(), std::vector<int>{r.id});
    }
}

TEST_F(StreamsPageTest, GainCalculatorWritesNothing)
{
    ShowPage(0);
    page->edtCalGas->setText(QStringLiteral("50"));
    page->edtAnaReading->setText(QStringLiteral("40"));
    page->edtCurrGainFactor->setText(QStringLiteral("1.2"));
    emit page->edtCurrGainFactor->textEdited(page->edtCurrGainFactor->text());
    EXPECT_EQ(page->edtNewGainFactor->text(), QStringLiteral("1.50"));
    page->edtAnaReading->setText(QStringLiteral("0"));
    emit page->edtAnaReading->textEdited(page->edtAnaReading->text());
    EXPECT_EQ(page->edtNewGainFactor->text(), QStringLiteral("0"));
    EXPECT_EQ(session.WriteRequests(), 0);
}

}  // namespace
