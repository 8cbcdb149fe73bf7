// The sequencer page: the block shown and packed back, the lists filled by dragging run types,
// the keys that delete and move entries, and the block written to the simulated analyzer.
#include "brannix/qcheckbox.h"
#include "brannix/qhelpcontrols.h"
#include "brannix/qimage.h"
#include "brannix/qlabelededit.h"
#include "tests/common/fake_prompter.h"
#include "tests/pages/page_session.h"
#include "tests/pages/kit/test_host.h"
#include "tevrin/pages/config/fr_sequencer.h"
#include "tevrin/pages/config/frm_timer1.h"
#include "tevrin/pages/config/frm_timer_setup.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/rtdb/sequencer.h"
#include "tevrin/shell/config_file.h"
#include "tevrin/shell/main_form.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QFontMetrics>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

// The block with automatic depth 3 and the slots (0,0), (0,2), (0,5).
SequencerBytes ExampleBlock()
{
    SequencerBytes b{};
    b[0] = 1;
    b[1] = 3;
    b[2] = 0, b[3] = 0;
    b[4] = 0, b[5] = 2;
    b[6] = 0, b[7] = 5;
    return b;
}

// A block that uses every field: both enables, inputs, loops and manual lists.
SequencerBytes FullBlock()
{
    SequencerBytes b = ExampleBlock();
    b[66] = 1;
    b[67] = 5;
    for (int n = 1; n <= 8; ++n) {
        uint8_t* m = b.data() + 68 + 20 * (n - 1);
        m[0] = n % 2;
        m[1] = n == 4 ? 1 : 0;
        m[2] = static_cast<uint8_t>(8 - n);
        m[3] = static_cast<uint8_t>(n % 4);
        for (int i = 0; i < m[3]; ++i) {
            m[4 + 2 * i] = static_cast<uint8_t>(i % 4);
            m[5 + 2 * i] = static_cast<uint8_t>((n + i) % 6);
        }
    }
    return b;
}

QByteArray Bytes(const SequencerBytes& b) { return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<int>(b.size())); }

class SequencerPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner = std::make_unique<QWidget>();
        page = new TfrSequencer(owner.get());
        SetStreams("0");
        page->EnterPage();
    }
    void TearDown() override
    {
        owner.reset();
        DataBase::DestroyInstance();
    }
    static void SetStreams(const char* text) { DataBase::Instance()->PointByDbId(20)->SetInitialText(text); }
    QTreeWidgetItem* Leaf(const char* name) const
    {
        const auto found = page->treeRunType()->findItems(QString::fromLatin1(name), Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    bool DragOnto(const char* runType, int list)
    {
        return page->StartDrag(Leaf(runType)) && page->Drop(page->ListHeader(list));
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(page->tlSequencer(), &press);
    }
    std::vector<std::pair<int, int>> Sample(std::initializer_list<int> runs)
    {
        std::vector<std::pair<int, int>> v;
        for (int r : runs) v.emplace_back(1, r);
        return v;
    }

    FakePrompter prompter;
    std::unique_ptr<QWidget> owner;
    TfrSequencer* page = nullptr;
};

TEST_F(SequencerPageTest, TheExampleBlockShowsItsRunTypesAndPacksBackToTheSameBytes)
{
    const SequencerBytes example = ExampleBlock();
    page->LoadFromRecord(example);
    QTreeWidgetItem* automatic = page->ListHeader(0);
    ASSERT_EQ(automatic->childCount(), 3);
    EXPECT_EQ(automatic->text(0), QStringLiteral("Automatic Entries"));
    EXPECT_EQ(automatic->child(0)->text(0), QStringLiteral("Sample"));
    EXPECT_EQ(automatic->child(1)->text(0), QStringLiteral("Reference 1"));
    EXPECT_EQ(automatic->child(2)->text(0), QStringLiteral("Calibrate"));
    EXPECT_TRUE(page->chkEnableSequencer()->isChecked());
    EXPECT_EQ(page->PackRecord(), example);

    // Every field travels: enables, inputs, loops and the eight manual lists.
    const SequencerBytes full = FullBlock();
    page->LoadFromRecord(full);
    EXPECT_TRUE(page->sel(6)->isChecked());
    EXPECT_TRUE(page->ManualSel(6, 3)->isChecked());   // sequence 3 uses input 6
    EXPECT_TRUE(page->MSLoopEnable(4)->isChecked());
    EXPECT_EQ(page->ListHeader(8)->text(0), QStringLiteral("Manual Entries #8"));
    EXPECT_EQ(page->PackRecord(), full);
}

TEST_F(SequencerPageTest, AnAllZeroBlockSelectsInputOneEverywhereAndPacksToZeros)
{
    page->LoadFromRecord(FullBlock());
    page->LoadFromRecord(SequencerBytes{});
    EXPECT_TRUE(page->sel(1)->isChecked());
    for (int n = 1; n <= 8; ++n) {
        EXPECT_TRUE(page->ManualSel(1, n)->isChecked()) << n;
        EXPECT_FALSE(page->MSEnable(n)->isChecked()) << n;
        EXPECT_FALSE(page->MSLoopEnable(n)->isChecked()) << n;
    }
    for (int l = 0; l < TfrSequencer::kLists; ++l) EXPECT_EQ(page->ListHeader(l)->childCount(), 0) << l;
    EXPECT_EQ(page->PackRecord(), SequencerBytes{});
}

TEST_F(SequencerPageTest, DepthsBeyondTheListsAreBoundedAndUnknownSlotsDropped)
{
    SequencerBytes b{};
    b[1] = 255;   // automatic depth far beyond 32
    for (int i = 0; i < 32; ++i) b[2 + 2 * i] = 0, b[3 + 2 * i] = static_cast<uint8_t>(i % 6);
    b[66] = 0;
    b[67] = 200;          // no such input: no radio button shows it, and it goes back as it came
    b[68 + 3] = 200;      // manual 1 depth far beyond 8
    for (int i = 0; i < 8; ++i) b[68 + 4 + 2 * i] = 1, b[68 + 5 + 2 * i] = 4;
    b[88 + 3] = 3;        // manual 2: a stream above 4 and a run type above 5 are dropped
    b[88 + 4] = 4, b[88 + 5] = 0;
    b[88 + 6] = 0, b[88 + 7] = 6;
    b[88 + 8] = 3, b[88 + 9] = 3;

    page->LoadFromRecord(FullBlock());   // input 6 checked before
    page->LoadFromRecord(b);
    EXPECT_EQ(page->ListHeader(0)->childCount(), 32);
    EXPECT_EQ(page->ListHeader(1)->childCount(), 8);
    EXPECT_EQ(page->Entries(2), (std::vector<std::pair<int, int>>{{4, 3}}));
    for (int i = 1; i <= 8; ++i) EXPECT_FALSE(page->sel(i)->isChecked()) << i;

    const SequencerBytes packed = page->PackRecord();
    EXPECT_EQ(packed[1], 32);
    EXPECT_EQ(packed[68 + 3], 8);
    EXPECT_EQ(packed[88 + 3], 1);
    EXPECT_EQ(packed[88 + 4], 3);
    EXPECT_EQ(packed[88 + 5], 3);
    EXPECT_EQ(packed[88 + 6], 0);   // nothing left behind the kept entry
    EXPECT_EQ(packed[67], 200);
    page->sel(4)->click();   // the user's choice replaces it
    EXPECT_EQ(page->PackRecord()[67], 3);
}

TEST_F(SequencerPageTest, TheCurrentEntryOfTheRunningListCarriesItsOwnImage)
{
    SequencerBytes b = ExampleBlock();
    b[68 + 40 + 3] = 2;   // manual sequence 3 holds two entries
    page->SequencerState()->setText(QString());
    const struct {
        int state, pointer, list, entry;   // the entry (from 0) with image 2, list -1: none
    } kCases[] = {{1, 2, 0, 1}, {5, 2, 3, 1}, {2, 1, -1, -1}, {0, 1, -1, -1}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.state);
        page->findChild<QLineEdit*>(QStringLiteral("labSequencerState"))->setText(QString::number(c.state));
        page->findChild<QLineEdit*>(QStringLiteral("lblSePointer"))->setText(QString::number(c.pointer));
        page->LoadFromRecord(b);
        for (int l : {0, 3})
            for (int i = 0; i < page->ListHeader(l)->childCount(); ++i)
                EXPECT_EQ(page->ListHeader(l)->child(i)->data(0, TfrSequencer::kImageRole).toInt(),
                          l == c.list && i == c.entry ? 2 : 1)
                    << l << " " << i;
    }
    // A sequencer that is switched off forgets the state and the pointer.
    b[0] = 0;
    page->LoadFromRecord(b);
    EXPECT_EQ(page->RememberedState(), 0);
    EXPECT_EQ(page->RememberedPointer(), -1);
}

TEST_F(SequencerPageTest, StateTextsLoopBoxesAndTheManualRequestImage)
{
    const struct {
        const char* value;
        const char* text;
    } kStates[] = {{"0", "Sequencer Off"}, {"1", "Automatic Sequencer On"}, {"2", "Manual Sequencer On"},
                   {"3", "Manual Sequencer 1 On"}, {"10", "Manual Sequencer 8 On"}, {"11", "Manual Sequencer 8 On"},
                   {"", "Manual Sequencer 8 On"}};
    for (const auto& c : kStates) {
        bool doDefault = true;
        emit page->SequencerState()->OnDBPointValueChanged(QString::fromLatin1(c.value), doDefault);
        EXPECT_FALSE(doDefault) << c.value;
        EXPECT_EQ(page->SequencerState()->text(), QString::fromLatin1(c.text)) << c.value;
    }

    page->MSLoopEnable(1)->setChecked(true);
    page->MSLoopEnable(7)->setChecked(true);
    page->MSLoopEnable(3)->click();
    for (int n = 1; n <= 8; ++n) EXPECT_EQ(page->MSLoopEnable(n)->isChecked(), n == 3) << n;
    page->MSLoopEnable(3)->click();   // unchecking it changes nothing else
    for (int n = 1; n <= 8; ++n) EXPECT_FALSE(page->MSLoopEnable(n)->isChecked()) << n;

    page->MSOn()->Respond("True");
    EXPECT_EQ(page->MSOn()->property("iconIndex").toInt(), 2);
    page->MSOn()->Respond("False");
    EXPECT_EQ(page->MSOn()->property("iconIndex").toInt(), 3);
}

TEST_F(SequencerPageTest, RunTypesDropOnlyOntoListHeadersWithRoom)
{
    // Onto a header: the entry is named by stream and run type.
    ASSERT_TRUE(DragOnto("Zero", 2));
    ASSERT_EQ(page->ListHeader(2)->childCount(), 1);
    EXPECT_EQ(page->ListHeader(2)->child(0)->text(0), QStringLiteral("Stream 1:Zero"));
    EXPECT_EQ(page->Entries(2), Sample({4}));

    // Onto an entry, an inner node of the run types, a node of another tree: refused.
    ASSERT_TRUE(page->StartDrag(Leaf("Sample")));
    EXPECT_FALSE(page->CanDrop(page->ListHeader(2)->child(0)));
    EXPECT_FALSE(page->Drop(page->ListHeader(2)->child(0)));
    EXPECT_FALSE(page->Dragging());
    ASSERT_TRUE(page->StartDrag(Leaf("Stream")));
    EXPECT_FALSE(page->CanDrop(page->ListHeader(0)));
    EXPECT_FALSE(page->StartDrag(page->ListHeader(0)));

    // The 33rd automatic and the 9th manual entry find no room.
    for (int i = 0; i < 32; ++i) ASSERT_TRUE(DragOnto("Sample", 0)) << i;
    EXPECT_FALSE(DragOnto("Sample", 0));
    for (int i = 1; i < 8; ++i) ASSERT_TRUE(DragOnto("Calibrate", 2)) << i;
    EXPECT_FALSE(DragOnto("Calibrate", 2));
    EXPECT_EQ(page->ListHeader(0)->childCount(), 32);
    EXPECT_EQ(page->ListHeader(2)->childCount(), 8);
}

TEST_F(SequencerPageTest, OfflineDropsStoreTheBlockAndOnlineLockedEditsAreRefused)
{
    Sequencer* sequencer = DataBase::Instance()->AsSequencer();
    {
        // Nobody logged on: each drop goes into the database's block at once.
        pagetest::TestHost host(false);
        ASSERT_TRUE(DragOnto("Reference 2", 0));
        EXPECT_EQ(sequencer->Block()[1], 1);
        EXPECT_EQ(sequencer->Block()[3], 3);
    }
    {
        // Logged on and locked: drags, drops and keys do nothing.
        pagetest::TestHost host(true);
        page->SetReadOnly(true);
        EXPECT_FALSE(page->StartDrag(Leaf("Zero")));
        page->SetReadOnly(false);
        ASSERT_TRUE(page->StartDrag(Leaf("Zero")));
        page->SetReadOnly(true);
        EXPECT_FALSE(page->Drop(page->ListHeader(0)));
        page->tlSequencer()->setCurrentItem(page->ListHeader(0)->child(0));
        Key(Qt::Key_Delete);
        EXPECT_EQ(page->ListHeader(0)->childCount(), 1);

        // Logged on in update mode: the drop waits for the next write.
        page->SetReadOnly(false);
        ASSERT_TRUE(DragOnto("Zero", 0));
        EXPECT_EQ(page->ListHeader(0)->childCount(), 2);
        EXPECT_EQ(sequencer->Block()[1], 1);
    }
}

TEST_F(SequencerPageTest, DeleteAndAltArrowsActOnEntriesOnly)
{
    for (const char* run : {"Sample", "Reference 1", "Zero"}) ASSERT_TRUE(DragOnto(run, 0));
    QTreeWidgetItem* automatic = page->ListHeader(0);

    page->tlSequencer()->setCurrentItem(automatic->child(0));
    Key(Qt::Key_Up, Qt::AltModifier);   // the first stays first
    EXPECT_EQ(page->Entries(0), Sample({0, 2, 4}));
    Key(Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(page->Entries(0), Sample({2, 0, 4}));
    EXPECT_EQ(page->tlSequencer()->currentItem(), automatic->child(1));
    Key(Qt::Key_Down, Qt::AltModifier);
    Key(Qt::Key_Down, Qt::AltModifier);   // the last stays last
    EXPECT_EQ(page->Entries(0), Sample({2, 4, 0}));
    Key(Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(page->Entries(0), Sample({2, 0, 4}));

    Key(Qt::Key_Delete);
    EXPECT_EQ(page->Entries(0), Sample({2, 4}));
    page->tlSequencer()->setCurrentItem(automatic);   // a header is never deleted
    Key(Qt::Key_Delete);
    EXPECT_EQ(page->tlSequencer()->topLevelItemCount(), TfrSequencer::kLists);
    EXPECT_EQ(page->Entries(0), Sample({2, 4}));
}

TEST_F(SequencerPageTest, ADropEventOnTheListsViewportAddsTheDraggedRunType)
{
    owner->resize(900, 700);
    owner->show();
    page->resize(900, 700);
    page->show();
    QCoreApplication::processEvents();
    const QPoint at = page->tlSequencer()->visualItemRect(page->ListHeader(1)).center();
    ASSERT_EQ(page->tlSequencer()->itemAt(at), page->ListHeader(1)) << at.x() << "," << at.y();
    ASSERT_TRUE(page->StartDrag(Leaf("Reference 1")));
    QMimeData mime;
    mime.setData(QStringLiteral("application/x-tevrin-run-type"), "2");
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(page->tlSequencer()->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    // Hovering another list's header with room is accepted too.
    const QPoint onEntry = page->tlSequencer()->visualItemRect(page->ListHeader(0)).center();
    QDragMoveEvent overHeader0(onEntry, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(page->tlSequencer()->viewport(), &overHeader0);
    EXPECT_TRUE(overHeader0.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(page->tlSequencer()->viewport(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(page->Entries(1), Sample({2}));

    // Without a drag from the run types the same events add nothing.
    QDragEnterEvent strayEnter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(page->tlSequencer()->viewport(), &strayEnter);
    EXPECT_FALSE(strayEnter.isAccepted());
    QDropEvent stray(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(page->tlSequencer()->viewport(), &stray);
    EXPECT_EQ(page->Entries(1), Sample({2}));
}

TEST_F(SequencerPageTest, TheBlockGoesToTheDatabaseAtTheWriteOnlyOnceThePageWasShown)
{
    TfrSequencer unseen(owner.get());
    Sequencer* sequencer = DataBase::Instance()->AsSequencer();
    uint8_t planted[kSequencerBlockSize];
    std::memcpy(planted, FullBlock().data(), sizeof planted);
    sequencer->SetBlock(planted);
    TMessage post(platform::QM_BEFOREPOST);
    QCoreApplication::sendEvent(&unseen, &post);
    EXPECT_EQ(post.Result, 0);
    EXPECT_EQ(std::memcmp(sequencer->Block(), planted, sizeof planted), 0);

    // The shown page hears the block through its observer and stores its edit at the write.
    TMessage reg(platform::QM_REGISTERDATABASE);
    QCoreApplication::sendEvent(page, &reg);
    sequencer->Publish();
    EXPECT_EQ(page->PackRecord(), FullBlock());
    page->chkManualModeEnable()->setChecked(false);
    QCoreApplication::sendEvent(page, &post);
    EXPECT_EQ(post.Result, 0);
    EXPECT_EQ(sequencer->Block()[66], 0);
}

// End to end: the block read from the simulated analyzer, edited and written back.
TEST(SequencerSession, AnEditedSequenceIsWrittenToTheAnalyzer)
{
    pagetest::PageSession session;
    session.unit.SetSequencerBlock(Bytes(ExampleBlock()));
    ASSERT_TRUE(session.LogOn(true)) << session.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
    session.Show(MainPage::Sequencer);
    auto* page = session.Form().frSequencer();
    ASSERT_EQ(page->Entries(0), (std::vector<std::pair<int, int>>{{1, 0}, {1, 2}, {1, 5}}));
    EXPECT_EQ(page->PackRecord(), ExampleBlock());

    // Drop a Zero into manual list 2, enable that sequence, delete the first automatic entry.
    const auto leaves = page->treeRunType()->findItems(QStringLiteral("Zero"), Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(leaves.size(), 1);
    ASSERT_TRUE(page->StartDrag(leaves.first()));
    ASSERT_TRUE(page->Drop(page->ListHeader(2)));
    page->MSEnable(2)->click();
    page->tlSequencer()->setCurrentItem(page->ListHeader(0)->child(0));
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(page->tlSequencer(), &del);

    session.unit.ClearLog();
    session.Form().tbtnWriteClick();
    SequencerBytes expected{};
    expected[0] = 1;
    expected[1] = 2;
    expected[2] = 0, expected[3] = 2;
    expected[4] = 0, expected[5] = 5;
    expected[88] = 1;       // manual sequence 2 enabled
    expected[88 + 3] = 1;   // holding one entry
    expected[88 + 4] = 0, expected[88 + 5] = 4;
    EXPECT_EQ(session.unit.SequencerBlock(), Bytes(expected));
    EXPECT_EQ(session.unit.RequestCount(62), 1);
    // The page shows what the analyzer took.
    EXPECT_EQ(page->PackRecord(), expected);
}

TEST(SequencerSession, ReadOnlyModeLocksTheLists)
{
    pagetest::PageSession session;
    session.unit.SetSequencerBlock(Bytes(ExampleBlock()));
    ASSERT_TRUE(session.LogOn(false));
    session.Show(MainPage::Sequencer);
    auto* page = session.Form().frSequencer();
    EXPECT_TRUE(page->IsReadOnly());
    const auto leaves = page->treeRunType()->findItems(QStringLiteral("Sample"), Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(leaves.size(), 1);
    EXPECT_FALSE(page->StartDrag(leaves.first()));
    page->tlSequencer()->setCurrentItem(page->ListHeader(0)->child(0));
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(page->tlSequencer(), &del);
    EXPECT_EQ(page->ListHeader(0)->childCount(), 3);
}

}  // namespace

namespace {

// Offline, Save As stores the pages' blocks first: the file holds the sequencer and timer
// edits that were never dropped or written.
TEST(SequencerSession, AnOfflineSaveHoldsTheSequencerAndTimerEdits)
{
    pagetest::PageSession session;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    session.Show(MainPage::Sequencer);
    auto* sequencer = session.Form().frSequencer();
    sequencer->chkEnableSequencer()->setChecked(true);
    sequencer->chkManualModeEnable()->setChecked(true);
    session.Show(MainPage::Timers);
    TfrmTimer1* timers = session.Form().findChild<TfrmTimer1*>();
    ASSERT_NE(timers, nullptr);
    timers->Timer(2)->edHours()->setText(QStringLiteral("17"));

    const QString name = dir.filePath(QStringLiteral("offline.cfg"));
    session.prompter.files = {name};
    session.Form().ConfigFile().SaveAs();
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << session.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
    const QByteArray xml = file.readAll();
    EXPECT_TRUE(xml.contains("<SequencerConfiguration Enable=\"1\" Depth=\"0\" ManualEnable=\"1\"")) << xml.toStdString();
    EXPECT_TRUE(xml.contains("<TIMER Num=\"2\" ScheduleEnable=\"0\" ScheduleDayOfWeek=\"0\" ScheduleHour=\"17\""));
}

}  // namespace

TEST(SequencerSession, TheTreesShowTheirNamesWholeAtTheWindowsSize)
{
    pagetest::PageSession session;
    session.Form().show();
    session.Show(MainPage::Sequencer);
    TfrSequencer* page = session.Form().findChild<TfrSequencer*>();
    ASSERT_NE(page, nullptr);
    page->LoadFromRecord(FullBlock());
    QCoreApplication::processEvents();
    for (QTreeWidget* tree : {page->treeRunType(), static_cast<QTreeWidget*>(page->tlSequencer())}) {
        SCOPED_TRACE(tree->objectName().toStdString());
        ASSERT_GT(tree->topLevelItemCount(), 0);
        // The column holds every name whole, with its indent and picture: nothing is cut
        // short with "...".
        const QFontMetrics metrics(tree->font());
        for (QTreeWidgetItemIterator it(tree); *it; ++it) {
            int depth = 0;
            for (QTreeWidgetItem* p = (*it)->parent(); p; p = p->parent()) ++depth;
            const int needed = (depth + 1) * tree->indentation() + tree->iconSize().width() + metrics.horizontalAdvance((*it)->text(0));
            EXPECT_GE(tree->columnWidth(0), needed) << (*it)->text(0).toStdString();
        }
    }
    session.Form().hide();
}
