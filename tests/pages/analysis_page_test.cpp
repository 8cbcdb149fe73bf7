// The Analysis page: the points it registers, what it makes of arriving values, and a session
// against the simulated analyzer in which planted values show within one poll and nothing is
// written back.
#include "brannix/qcheckbox.h"
#include "brannix/qedit.h"
#include "brannix/qimage.h"
#include "brannix/qlabel.h"
#include "brannix/qlabelededit.h"
#include "platform/data_folder.h"
#include "tests/common/fake_prompter.h"
#include "tests/pages/page_session.h"
#include "tevrin/pages/analysis/display_places.h"
#include "tevrin/pages/analysis/fra_ww.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/shell/main_form.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

using pagetest::PageSession;

class AnalysisPageTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        page.reset();
        DataBase::DestroyInstance();
        QFile::remove(platform::UserDataFile(QStringLiteral("dispPlace.cfg")));
    }
    template <typename T = TQLabeledEdit>
    T* Control(const char* name) const
    {
        T* c = page->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    // Delivers a value to a control as its point would.
    template <typename T = TQLabeledEdit>
    QString Arrive(const char* name, const char* value)
    {
        T* c = Control<T>(name);
        c->Respond(value);
        return c->text();
    }

    FakePrompter prompter;
    std::unique_ptr<TfraWW> page = std::make_unique<TfraWW>(nullptr);
};

const std::vector<int> kStream1Points = {45,  611, 68,  91,  1269, 114, 388, 394, 0,    1,   2,   402,  391, 506,  393,
                                         39,  482, 397, 396, 398,  399, 401, 400, 520,  29,  1391, 1392, 1393, 1427, 1394,
                                         1395, 450, 451, 452, 1411, 453, 21,  22,  463, 392, 20,  407,  1556, 1609, 1431};

TEST_F(AnalysisPageTest, RegistersItsPointsInOrderAndTheOtherStreamsWhenTheyExist)
{
    page->EnterPage();
    EXPECT_EQ(PageSession::RegisteredPoints(), kStream1Points);
    EXPECT_EQ(DataBase::Instance()->AsExpressScan().CurrentPage(), 0);

    // Four streams: the points of streams 2 to 4 join the list at once, and every bound
    // control of the form is then registered.
    page->lblStream()->Respond("3");
    std::vector<int> all = PageSession::RegisteredPoints();
    ASSERT_GT(all.size(), kStream1Points.size());
    EXPECT_TRUE(std::equal(kStream1Points.begin(), kStream1Points.end(), all.begin()));
    for (int id : page->BoundDbIds()) EXPECT_NE(std::find(all.begin(), all.end(), id), all.end()) << id;
    for (int id : {454, 1084, 408, 1396, 1428, 158, 1295, 1090, 1091, 805, 1410, 931})
        EXPECT_NE(std::find(all.begin(), all.end(), id), all.end()) << id;
    std::vector<int> sorted = all;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());

    // The next entry registers what exists: two streams now.
    page->lblStream()->Respond("1");
    page->EnterPage();
    all = PageSession::RegisteredPoints();
    EXPECT_NE(std::find(all.begin(), all.end(), 454), all.end());
    EXPECT_EQ(std::find(all.begin(), all.end(), 1085), all.end());
    EXPECT_FALSE(page->findChild<QWidget*>(QStringLiteral("LastResultPan3"))->isVisibleTo(page.get()));
    EXPECT_TRUE(page->findChild<QWidget*>(QStringLiteral("LastResultPan2"))->isVisibleTo(page.get()));
}

TEST_F(AnalysisPageTest, ResultsFollowTheDisplayPlacesAndANumberThatIsNotOneStaysWhatItIs)
{
    const struct {
        const char* file;   // nullptr: no file
        const char* value;
        const char* shown;
    } kCases[] = {
        {nullptr, "1.5", "1.50"}, {"0", "1.5", "2"},      {"1", "1.25", "1.3"},   {"2", "-0.001", "0.00"},
        {"3", "1.5", "1.500"},   {"4", "12", "12.0000"}, {"9", "1.5", "1.50"},   {"abc", "1.5", "1.50"},
        {nullptr, "NAN", "NAN"}, {"3", "nan", "NAN"},    {nullptr, "-nan", "NAN"}, {nullptr, "inf", "INF"},
        {nullptr, "", ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.file ? c.file : "no file") + " " + c.value);
        QFile::remove(platform::UserDataFile(QStringLiteral("dispPlace.cfg")));
        if (c.file) {
            QFile f(platform::UserDataFile(QStringLiteral("dispPlace.cfg")));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.file);
        }
        page->EnterPage();
        EXPECT_EQ(Arrive("edtLastNormal1", c.value), QString::fromLatin1(c.shown));
        EXPECT_EQ(Arrive("edtLastTotalSulphur4", c.value), QString::fromLatin1(c.shown));
    }
}

TEST_F(AnalysisPageTest, StateSequencerAndRunNumberTexts)
{
    page->EnterPage();
    EXPECT_EQ(Arrive("ledCurrAnaState", "1"), QStringLiteral("Idle"));
    EXPECT_EQ(Arrive("ledCurrAnaState", "13"), QStringLiteral("Coloured Card Cal."));
    EXPECT_EQ(Arrive("ledCurrAnaState", "14"), QStringLiteral("14"));
    EXPECT_EQ(Arrive("SequencerState", "0"), QStringLiteral("Sequencer Off"));
    EXPECT_EQ(Arrive("SequencerState", "10"), QStringLiteral("Manual Sequencer 8 On"));
    EXPECT_EQ(Arrive("SequencerState", "11"), QStringLiteral("Manual Sequencer 8 On"));
    EXPECT_EQ(Arrive("SequencerState", "2"), QStringLiteral("Manual Sequencer On"));

    const struct {
        const char* total;
        const char* run;
        const char* shown;
    } kRuns[] = {{"5", "4", "5"}, {"5", "5", "5"}, {"", "7", "8"}, {"0", "7", "8"}};
    for (const auto& r : kRuns) {
        Control<TQEdit>("edCurrAnaTotalRuns")->setText(QString::fromLatin1(r.total));
        EXPECT_EQ(Arrive("ledCurrAnaRunNumber", r.run), QString::fromLatin1(r.shown)) << r.total << " " << r.run;
    }
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(AnalysisPageTest, ScheduleColoursStartAfterTheFirstEntry)
{
    TQLabeledEdit* result = Control("edtLastRef1");
    const QColor before = result->Color();
    Arrive("edtStream1RefSCH", "1");
    EXPECT_EQ(result->Color(), before);
    page->EnterPage();
    Arrive("edtStream1RefSCH", "1");
    EXPECT_EQ(result->Color(), QColor(Qt::yellow));
    Arrive("edtStream1RefSCH", "2");
    EXPECT_EQ(result->Color(), QColor(Qt::cyan));
    Arrive("edtStream1RefSCH", "7");
    EXPECT_EQ(result->Color(), QColor(Qt::cyan));
    Arrive("edtStream1RefSCH", "0");
    EXPECT_EQ(result->Color(), page->palette().color(QPalette::Button));
    // Stream 3's total-sulphur schedule colours its own result.
    Arrive("edtStream3TotalSulphurSCH", "1");
    EXPECT_EQ(Control("edtLastTotalSulphur3")->Color(), QColor(Qt::yellow));
}

TEST_F(AnalysisPageTest, ActiveStreamLabelsAndTheRunKindNameFromThePagesOwnValues)
{
    page->EnterPage();
    page->lblStream()->Respond("3");
    DataBase* db = DataBase::Instance();
    // Names as the database holds them after a read.
    db->PointByDbId(1295)->SetTextAndNotify("Ref2 of S2");
    db->PointByDbId(45)->SetTextAndNotify("Sample S1");

    // Before an active stream is known the edit keeps its text.
    TQLabeledEdit* kind = Control("ledCurrAnaStream");
    kind->setText(QStringLiteral("before"));
    EXPECT_EQ(Arrive("ledCurrAnaStream", "3"), QStringLiteral("before"));
    // The stream arrives after the run kind in the same read: the name follows it.
    page->streamNo()->Respond("1");
    EXPECT_EQ(kind->text(), QStringLiteral("Ref2 of S2"));
    EXPECT_EQ(page->ActiveStream(), 2);
    EXPECT_TRUE(Control<QLabel>("labStream2")->isVisibleTo(page.get()));
    EXPECT_FALSE(Control<QLabel>("labStream")->isVisibleTo(page.get()));
    EXPECT_EQ(Control<QLabel>("labStream2")->text(), QStringLiteral("Stream 2 Active"));
    page->streamNo()->Respond("0");
    EXPECT_EQ(Arrive("ledCurrAnaStream", "0"), QStringLiteral("Sample S1"));
    EXPECT_EQ(Control<QLabel>("labStream")->text(), QStringLiteral("Stream Active"));
    EXPECT_EQ(Arrive("ledCurrAnaStream", "6"), QStringLiteral("Sample S1"));
    page->streamNo()->Respond("4");   // no such stream: nothing changes
    EXPECT_EQ(page->ActiveStream(), 1);
}

TEST_F(AnalysisPageTest, SystemAlarmPicture)
{
    auto* alarm = Control<TQImage>("SystemAlarm");
    alarm->Respond("True");
    EXPECT_EQ(alarm->property("iconIndex").toInt(), 2);
    alarm->Respond("False");
    EXPECT_EQ(alarm->property("iconIndex").toInt(), 3);
}

// The token of a date and time as the analyzer packs it.
uint32_t Token(int year, int month, int day, int hour, int minute, int second)
{
    return static_cast<uint32_t>(second) | static_cast<uint32_t>(minute) << 6 | static_cast<uint32_t>(hour) << 12 |
           static_cast<uint32_t>(day) << 17 | static_cast<uint32_t>(month) << 22 | static_cast<uint32_t>(year - 2000) << 26;
}

// What a user sees after logon: the values of the analyzer, refreshed by the poll; nothing is
// written back, and no handler starts a read of its own.
TEST(AnalysisPageSession, PlantedValuesShowWithinOnePollAndNothingIsWrittenBack)
{
    pagetest::PageSession session;
    session.unit.SetValueText(sim::DbId{1295}, "Ref2 of S2");
    ASSERT_TRUE(session.LogOn(true)) << session.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
    TfraWW* page = session.Form().fraWW();
    ASSERT_EQ(session.Form().CurrentPage(), MainPage::Analysis);
    auto edit = [page](const char* name) { return page->findChild<TQLabeledEdit*>(QString::fromLatin1(name)); };

    session.unit.ClearLog();
    session.unit.SetValue(sim::DbId{20}, 1);   // a second stream appears
    session.unit.SetValue(sim::DbId{450}, 1.5);
    session.unit.SetValue(sim::DbId{454}, std::nan(""));
    session.unit.SetValue(sim::DbId{402}, 3);
    session.unit.SetValue(sim::DbId{392}, 1);   // stream 2 active
    session.unit.SetValue(sim::DbId{391}, 3);   // reference 2
    session.unit.SetValue(sim::DbId{388}, Token(2026, 12, 10, 16, 5, 9));
    EXPECT_TRUE(pagetest::PageSession::PumpUntil([&] { return edit("edtLastNormal1")->text() == QStringLiteral("1.50"); }, 6000));
    // The next poll has everything (the stream-2 points joined the list with the stream count).
    EXPECT_TRUE(pagetest::PageSession::PumpUntil([&] { return edit("edtLastNormal2")->text() == QStringLiteral("NAN"); }, 6000));
    // A shown NAN does not stop the window from moving the edits into the database.
    EXPECT_EQ(session.Form().PostEdits(), 0);
    EXPECT_FALSE(session.prompter.Saw(QStringLiteral("Invalid number")));
    EXPECT_EQ(edit("ledCurrAnaState")->text(), QStringLiteral("Tape Advance Halt"));
    EXPECT_EQ(edit("ledCurrAnaStream")->text(), QStringLiteral("Ref2 of S2"));
    EXPECT_EQ(edit("ledUnitDateTime")->text(), QStringLiteral("December 10, 2026 4:05:09 PM"));
    EXPECT_EQ(session.Form().StreamDisp()->text(), QStringLiteral("2-STREAMS"));
    EXPECT_TRUE(page->findChild<QWidget*>(QStringLiteral("LastResultPan2"))->isVisible());

    // A changing value keeps showing.
    session.unit.SetValue(sim::DbId{450}, 2.25);
    EXPECT_TRUE(pagetest::PageSession::PumpUntil([&] { return edit("edtLastNormal1")->text() == QStringLiteral("2.25"); }, 6000));

    EXPECT_EQ(session.WriteRequests(), 0);
    // No single read of the active stream: the page uses the value its own read brought.
    const int streamRow = sim::AnalyzerCore::RowOfDbId(392);
    for (const QByteArray& r : session.unit.RequestsOfType(1)) {
        ASSERT_GE(r.size(), 4);
        EXPECT_NE(static_cast<uint8_t>(r[2]) | static_cast<uint8_t>(r[3]) << 8, streamRow);
    }
}

}  // namespace

TEST(AnalysisPageSession, TheWholePageAndItsLongestDateStateAndSequencerTextsFitTheWindow)
{
    pagetest::PageSession session;
    session.Form().show();
    QCoreApplication::processEvents();
    TfraWW* page = session.Form().fraWW();
    const struct {
        const char* edit;
        const char* text;
    } kCases[] = {
        {"ledUnitDateTime", "September 30, 2026 12:59:59 PM"},
        {"ledCurrAnaState", "Tape Advance Search"},
        {"ledCurrAnaState", "Manual Tape Advance"},
        {"SequencerState", "Automatic Sequencer On"},
        {"SequencerState", "Manual Sequencer 8 On"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.text);
        auto* edit = page->findChild<QLineEdit*>(QString::fromLatin1(c.edit));
        ASSERT_NE(edit, nullptr);
        // The text, the frame and the edit's margins.
        EXPECT_GE(edit->width(), QFontMetrics(edit->font()).horizontalAdvance(QString::fromLatin1(c.text)) + 10);
    }
    // The whole page stands in the window without scrolling.
    auto* area = qobject_cast<QScrollArea*>(page->parentWidget()->parentWidget());
    ASSERT_NE(area, nullptr);
    EXPECT_LE(page->minimumSizeHint().height(), area->viewport()->height());
    EXPECT_LE(page->minimumSizeHint().width(), area->viewport()->width());
    session.Form().hide();
}
