// The Outputs page against the simulated analyzer: its points, a page write, latch
// acknowledges and the analog-output parameter combos.
#include "brannix/qcheckbox.h"
#include "brannix/qedit.h"
#include "brannix/qimage.h"
#include "brannix/qradiobutton.h"
#include "tests/pages/page_point_orders.h"
#include "tests/pages/page_session.h"
#include "tevrin/pages/io/fra_output.h"
#include "tevrin/pages/widgets/ao_source_combo.h"
#include "tevrin/rtdb/analog_output_collection.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/main_form.h"

#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

class OutputsPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.unit.SetValue(sim::DbId{34}, 4);
        ASSERT_TRUE(session.LogOn(true));
        page = static_cast<TfraOutput*>(session.Form().Frame(MainPage::Outputs));
        sources = AnalogOutputCollection::Instance();
        ASSERT_GE(sources->Count(), 6);
    }
    void ShowPage() { session.ShowAfresh(MainPage::Outputs); }
    int SourceId(int position) const { return sources->At(position)->DbId; }

    pagetest::PageSession session;
    TfraOutput* page = nullptr;
    const AnalogOutputCollection* sources = nullptr;
};

TEST_F(OutputsPageTest, RegistersEveryOutputInOrderAndWarnsOnEachEntry)
{
    const std::vector<int>& expected = pagetest::PointsOf(5);
    const struct {
        int streams;
        const char* caption;
    } kCounts[] = {{0, "1-STREAM"}, {1, "2-STREAMS"}, {3, "4-STREAMS"}};
    for (const auto& c : kCounts) {
        SCOPED_TRACE(c.streams);
        session.unit.SetValue(sim::DbId{20}, c.streams);
        session.prompter.prompts.clear();
        ShowPage();
        EXPECT_EQ(pagetest::PageSession::RegisteredPoints(), expected);
        EXPECT_EQ(session.Form().StreamDisp()->text(), QString::fromLatin1(c.caption));
        ASSERT_EQ(session.prompter.prompts.size(), 1u);
        EXPECT_EQ(session.prompter.prompts[0].text,
                  QStringLiteral("Changing parameters in Outputs Page may affect operation of the analyzer.\n"
                                 "It is recommended that any change in this page be done by authorised personal only."));
        EXPECT_EQ(session.WriteRequests(), 0);
    }
}

TEST_F(OutputsPageTest, ArrivingValuesShowAndWriteNothing)
{
    session.unit.SetValue(sim::DbId{248}, 1);
    session.unit.SetValue(sim::DbId{1043}, 1);
    session.unit.SetValue(sim::DbId{1131}, 1);
    session.unit.SetText(sim::DbId{247}, "PUMP");
    session.unit.SetValue(sim::DbId{1247}, SourceId(2));
    ShowPage();
    const auto& relay1 = page->digitalOutputs()[0];
    EXPECT_EQ(relay1.name->text(), QStringLiteral("PUMP"));
    EXPECT_TRUE(relay1.failSafeOn->isChecked());
    EXPECT_FALSE(relay1.failSafeOff->isChecked());
    EXPECT_TRUE(page->digitalOutputs()[6].latchEnable->isChecked());
    EXPECT_EQ(page->digitalOutputs()[8].latchState->property("iconIndex").toInt(), 2);   // S3 latched
    EXPECT_EQ(page->digitalOutputs()[7].latchState->property("iconIndex").toInt(), 3);
    EXPECT_EQ(page->aoCombos()[0]->currentIndex(), 2);
    EXPECT_EQ(session.WriteRequests(), 0);
    // The page written as read changes nothing in the unit.
    session.Form().tbtnWriteClick();
    EXPECT_EQ(session.WrittenDbIds(), std::vector<int>{});
}

TEST_F(OutputsPageTest, EditsAreWrittenAndNothingElse)
{
    session.unit.SetValue(sim::DbId{1247}, SourceId(1));
    session.unit.SetValue(sim::DbId{1250}, SourceId(3));
    ShowPage();
    auto& solenoid2 = page->digitalOutputs()[7];
    solenoid2.name->setText(QStringLiteral("VENT"));
    solenoid2.failSafeOn->click();
    page->digitalOutputs()[2].latchEnable->click();
    page->analogOutputs()[3].minimum->setText(QStringLiteral("4.5"));
    // The user picks another parameter for output 1.
    TAOSourceCombo* combo = page->aoCombos()[0];
    combo->setCurrentIndex(4);
    emit combo->activated(4);
    EXPECT_EQ(session.WriteRequests(), 0);   // nothing before the page write

    session.Form().tbtnWriteClick();
    std::vector<int> written = session.WrittenDbIds();
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<int>{257, 258, 294, 1247, 1255}));
    EXPECT_EQ(session.unit.Text(sim::DbId{257}), QByteArray("VENT"));
    EXPECT_EQ(session.unit.Value(sim::DbId{258}), 1);
    EXPECT_EQ(session.unit.Value(sim::DbId{294}), 1);
    EXPECT_FLOAT_EQ(session.unit.Value(sim::DbId{1255}), 4.5f);
    EXPECT_EQ(session.unit.Value(sim::DbId{1247}), SourceId(4));   // the chosen point's id
    EXPECT_EQ(session.unit.Value(sim::DbId{1250}), SourceId(3));
}

TEST_F(OutputsPageTest, AParameterOutsideTheListKeepsItsValue)
{
    // 9999 names no point; 3 is a plain number that must not be taken for item 3.
    session.unit.SetValue(sim::DbId{1250}, 9999);
    session.unit.SetValue(sim::DbId{1253}, 3);
    ASSERT_EQ(sources->PositionOf(3), -1);
    ShowPage();
    EXPECT_EQ(page->aoCombos()[1]->currentIndex(), -1);
    EXPECT_EQ(page->aoCombos()[2]->currentIndex(), -1);
    EXPECT_TRUE(page->aoCombos()[1]->ShowsUnknownValue());
    session.Form().tbtnWriteClick();
    EXPECT_EQ(session.WrittenDbIds(), std::vector<int>{});
    EXPECT_EQ(session.unit.Value(sim::DbId{1250}), 9999);
    EXPECT_EQ(session.unit.Value(sim::DbId{1253}), 3);

    // A refill keeps each combo's choice, or its lack of one.
    page->aoCombos()[0]->setCurrentIndex(5);
    page->FillAOManagerFunctions();
    EXPECT_EQ(page->aoCombos()[0]->currentIndex(), 5);
    EXPECT_EQ(page->aoCombos()[1]->currentIndex(), -1);
    EXPECT_EQ(page->aoCombos()[1]->count(), sources->Count());
}

TEST_F(OutputsPageTest, AcknowledgingALatchReleasesItAndReadsThePageAgain)
{
    session.unit.SetValue(sim::DbId{1131}, 1);
    ShowPage();
    auto& solenoid3 = page->digitalOutputs()[8];
    ASSERT_EQ(solenoid3.acknowledge->text(), QStringLiteral("Latch S3"));
    ASSERT_EQ(solenoid3.latchState->property("iconIndex").toInt(), 2);
    solenoid3.acknowledge->click();
    EXPECT_EQ(session.WrittenDbIds(), std::vector<int>{1131});
    EXPECT_EQ(session.unit.Value(sim::DbId{1131}), 0);
    EXPECT_GT(session.unit.RequestCount(50), 0);   // read again
    EXPECT_EQ(solenoid3.latchState->property("iconIndex").toInt(), 3);
    EXPECT_EQ(page->digitalOutputs()[0].acknowledge->text(), QStringLiteral("Latch R1"));
}

}  // namespace
