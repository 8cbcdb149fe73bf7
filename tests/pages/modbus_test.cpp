// The Modbus map page: points dragged into the groups of the three layouts and numbered,
// partner groups kept in step, the 100-entry limit, delete and move, the list file, the
// printout, and the map read from and written to the simulated analyzer.
#include "brannix/qhelpcontrols.h"
#include "platform/help.h"
#include "tests/common/fake_prompter.h"
#include "tests/common/modal_answer.h"
#include "tests/pages/kit/file_bytes.h"
#include "tests/pages/page_session.h"
#include "tests/pages/kit/test_host.h"
#include "tevrin/pages/io/fra_modbus.h"
#include "tevrin/pages/widgets/new_modbus_dlg.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/rtdb/modbus_list.h"
#include "tevrin/rtdb/modmap_adapter.h"
#include "tevrin/pages/widgets/point_tree_adapter.h"
#include "tevrin/shell/main_form.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QPrinter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidgetItemIterator>
#include <QWhatsThis>
#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr const char* kFullMessage = "The Modbus List if full. The total amount should be less than 100 points.";

class ModbusPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner = std::make_unique<QWidget>();
        page = new TfraModbus(owner.get());
        page->BuildTrees();
        // The points the left tree offers, text points apart.
        for (QTreeWidgetItemIterator it(page->treeDB()); *it; ++it) {
            const int row = (*it)->data(0, PointTreeAdapter::kDataRole).toInt();
            if (row < 0 || (*it)->childCount() > 0) continue;
            const DatabasePoint* p = DataBase::Instance()->PointByIndex(row);
            if (!p) continue;
            (p->GetTypeName() == "text" ? textPoints : points).push_back(*it);
        }
    }
    void TearDown() override
    {
        owner.reset();
        DataBase::DestroyInstance();
    }
    static ModbusList& List() { return *DataBase::Instance()->AsModbusList(); }
    void NewList(uint8_t mode)
    {
        ASSERT_TRUE(List().SetMode(mode));
        List().Clear();
        page->BuildMapTree();
    }
    // Drags the k-th offered point onto a node of the map.
    bool Drop(size_t k, QTreeWidgetItem* target)
    {
        if (!page->StartPointDrag(points.at(k))) return false;
        return page->DropPoint(target);
    }
    // Into a group: onto its caption while empty, else onto its first row.
    bool DropInto(size_t k, QTreeWidgetItem* group)
    {
        return Drop(k, group->childCount() > 0 ? group->child(0) : group);
    }
    static std::vector<QString> Registers(QTreeWidgetItem* group)
    {
        std::vector<QString> r;
        for (int i = 0; i < group->childCount(); ++i) r.push_back(group->child(i)->text(TfraModbus::ColRegister));
        return r;
    }
    static std::vector<int> Ids(QTreeWidgetItem* group)
    {
        std::vector<int> ids;
        for (int i = 0; i < group->childCount(); ++i) ids.push_back(group->child(i)->data(0, TfraModbus::kDbIdRole).toInt());
        return ids;
    }
    int PointId(size_t k) const
    {
        return DataBase::Instance()->PointByIndex(points.at(k)->data(0, PointTreeAdapter::kDataRole).toInt())->GetDbId();
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(page->tlModbus(), &press);
    }

    FakePrompter prompter;
    std::unique_ptr<QWidget> owner;
    TfraModbus* page = nullptr;
    std::vector<QTreeWidgetItem*> points, textPoints;
};

TEST_F(ModbusPageTest, RowsAreNumberedByTheLayoutsRegisters)
{
    ASSERT_GE(points.size(), 8u);
    EXPECT_EQ(page->treeDB()->topLevelItem(0)->text(0), QStringLiteral("Avaiable Points"));

    // ENRON: coils from 1001, floats from 7001; no partners.
    NewList(kModbusEnron);
    EXPECT_EQ(page->lblMBModeText()->text(), QStringLiteral("ENRON"));
    ASSERT_TRUE(Drop(0, page->Group(0)));
    ASSERT_TRUE(Drop(1, page->Group(0)->child(0)));   // onto a row: it joins the row's group
    ASSERT_TRUE(Drop(2, page->Group(3)));
    EXPECT_EQ(Registers(page->Group(0)), (std::vector<QString>{"1001", "1002"}));
    EXPECT_EQ(Registers(page->Group(3)), (std::vector<QString>{"7001"}));
    EXPECT_EQ(page->Group(0)->text(0), QStringLiteral("Coils (2)"));
    EXPECT_EQ(page->Group(1)->text(0), QStringLiteral("Short Integers (0)"));
    EXPECT_EQ(page->Group(3)->child(0)->text(TfraModbus::ColValue), QStringLiteral("0"));   // nobody logged on

    // MODICON16: from 1, 10001, 30001, 40001, each drop into a pair of groups.
    NewList(kModbusModicon16);
    EXPECT_EQ(page->lblMBModeText()->text(), QStringLiteral("MODICON16"));
    ASSERT_TRUE(Drop(0, page->Group(0)));
    ASSERT_TRUE(Drop(1, page->Group(3)));
    EXPECT_EQ(Registers(page->Group(0)), (std::vector<QString>{"1"}));
    EXPECT_EQ(Registers(page->Group(1)), (std::vector<QString>{"10001"}));
    EXPECT_EQ(Registers(page->Group(2)), (std::vector<QString>{"30001"}));
    EXPECT_EQ(Registers(page->Group(3)), (std::vector<QString>{"40001"}));
    EXPECT_EQ(page->Group(0)->text(0), QStringLiteral("Output \"Coils\" Status (1)"));

    // MODICON32: longs and floats take two registers and follow the shorts of their group.
    NewList(kModbusModicon32);
    EXPECT_EQ(page->lblMBModeText()->text(), QStringLiteral("MODICON32"));
    ASSERT_TRUE(Drop(0, page->Group(2, 1)));
    ASSERT_TRUE(Drop(1, page->Group(2, 1)));
    EXPECT_EQ(Registers(page->Group(2, 1)), (std::vector<QString>{"30001", "30003"}));
    for (size_t k : {2u, 3u, 4u}) ASSERT_TRUE(Drop(k, page->Group(2, 0)));
    ASSERT_TRUE(Drop(5, page->Group(2, 2)));
    EXPECT_EQ(Registers(page->Group(2, 0)), (std::vector<QString>{"30001", "30002", "30003"}));
    EXPECT_EQ(Registers(page->Group(2, 1)), (std::vector<QString>{"30004", "30006"}));
    EXPECT_EQ(Registers(page->Group(2, 2)), (std::vector<QString>{"30008"}));
    EXPECT_EQ(Registers(page->Group(3, 1)), (std::vector<QString>{"40004", "40006"}));
    EXPECT_EQ(page->Group(2)->text(0), QStringLiteral("Input Register (6)"));
    EXPECT_EQ(page->Group(3, 2)->text(0), QStringLiteral("Holding Register Float (1)"));
    EXPECT_EQ(List().EntryCount(), 12);
}

TEST_F(ModbusPageTest, DropsGoOntoRowsOrEmptyGroupsOnly)
{
    NewList(kModbusEnron);
    ASSERT_TRUE(Drop(0, page->Group(1)));   // an empty group's caption
    ASSERT_TRUE(page->StartPointDrag(points[1]));
    EXPECT_FALSE(page->CanDropPoint(page->Group(1)));   // a group that holds rows
    EXPECT_TRUE(page->CanDropPoint(page->Group(1)->child(0)));
    EXPECT_TRUE(page->CanDropPoint(page->Group(2)));
    EXPECT_FALSE(page->CanDropPoint(points[2]));   // not a node of the map

    // A group node of the left tree drags nothing; a text point is refused and forgotten.
    EXPECT_FALSE(page->StartPointDrag(page->treeDB()->topLevelItem(0)));
    if (!textPoints.empty()) {
        ASSERT_TRUE(page->StartPointDrag(textPoints[0]));
        EXPECT_FALSE(page->CanDropPoint(page->Group(2)));
        EXPECT_EQ(page->DraggedRow(), -1);
    }

    // MODICON32: the register groups take drops on their subgroups, never on their rows.
    NewList(kModbusModicon32);
    ASSERT_TRUE(Drop(0, page->Group(2, 0)));
    ASSERT_TRUE(page->StartPointDrag(points[1]));
    EXPECT_FALSE(page->CanDropPoint(page->Group(2)));
    EXPECT_FALSE(page->CanDropPoint(page->Group(3)));
    EXPECT_TRUE(page->CanDropPoint(page->Group(2, 0)));   // a subgroup, rows or not
    EXPECT_FALSE(page->CanDropPoint(page->Group(2, 0)->child(0)));
    EXPECT_TRUE(page->CanDropPoint(page->Group(0)));

    // Read-only: no drag, no drop.
    page->SetReadOnly(true);
    EXPECT_FALSE(page->StartPointDrag(points[1]));
    EXPECT_FALSE(page->mnuDeleteSelected()->isEnabled());
    EXPECT_FALSE(page->NewModbusList()->isEnabled());
    page->SetReadOnly(false);
    ASSERT_TRUE(page->StartPointDrag(points[1]));
    page->SetReadOnly(true);
    EXPECT_FALSE(page->DropPoint(page->Group(0)));
    EXPECT_EQ(List().EntryCount(), 2);
}

TEST_F(ModbusPageTest, PartnerGroupsHoldTheSamePointsInTheSameOrder)
{
    NewList(kModbusModicon16);
    ASSERT_TRUE(Drop(0, page->Group(0)));
    ASSERT_TRUE(Drop(1, page->Group(1)->child(0)));
    ASSERT_TRUE(Drop(2, page->Group(0)->child(0)));
    const std::vector<int> order = {PointId(0), PointId(1), PointId(2)};
    EXPECT_EQ(Ids(page->Group(0)), order);
    EXPECT_EQ(Ids(page->Group(1)), order);

    // A move acts on both rows of the pair.
    page->tlModbus()->setCurrentItem(page->Group(1)->child(0));
    Key(Qt::Key_Down, Qt::AltModifier);
    const std::vector<int> moved = {PointId(1), PointId(0), PointId(2)};
    EXPECT_EQ(Ids(page->Group(0)), moved);
    EXPECT_EQ(Ids(page->Group(1)), moved);
    EXPECT_EQ(page->tlModbus()->currentItem(), page->Group(1)->child(1));

    // Deleting either row deletes its partner.
    page->tlModbus()->setCurrentItem(page->Group(0)->child(1));
    Key(Qt::Key_Delete);
    EXPECT_EQ(Ids(page->Group(0)), (std::vector<int>{PointId(1), PointId(2)}));
    EXPECT_EQ(Ids(page->Group(1)), (std::vector<int>{PointId(1), PointId(2)}));
    EXPECT_EQ(List().EntryCount(), 4);

    // MODICON32 subgroups pair with the same subgroup of the other register group.
    NewList(kModbusModicon32);
    ASSERT_TRUE(Drop(3, page->Group(3, 2)));
    EXPECT_EQ(Ids(page->Group(2, 2)), (std::vector<int>{PointId(3)}));
    EXPECT_EQ(page->Group(2, 0)->childCount() + page->Group(3, 1)->childCount(), 0);

    // A map read from elsewhere need not be paired: only the selected row goes when the
    // partner's row at its place maps another point.
    NewList(kModbusModicon16);
    DatabasePoint* a = DataBase::Instance()->PointByIndex(points[0]->data(0, PointTreeAdapter::kDataRole).toInt());
    DatabasePoint* b = DataBase::Instance()->PointByIndex(points[1]->data(0, PointTreeAdapter::kDataRole).toInt());
    List().AddPoint(a, 5);
    List().AddPoint(b, 6);
    page->BuildMapTree();
    page->tlModbus()->setCurrentItem(page->Group(0)->child(0));
    EXPECT_TRUE(page->DeleteSelected());
    EXPECT_EQ(page->Group(0)->childCount(), 0);
    EXPECT_EQ(Ids(page->Group(1)), (std::vector<int>{PointId(1)}));
}

TEST_F(ModbusPageTest, TheHundredEntryLimitRefusesADropWithoutRoomForItsPair)
{
    ASSERT_GE(points.size(), 2u);
    NewList(kModbusEnron);
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(DropInto(static_cast<size_t>(i) % points.size(), page->Group(2))) << i;
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_FALSE(Drop(0, page->Group(2)->child(0)));
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].text, QString::fromLatin1(kFullMessage));
    EXPECT_EQ(prompter.prompts[0].caption, QStringLiteral("Attention"));
    EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Custom);   // a plain box: no icon
    EXPECT_EQ(List().EntryCount(), 100);
    EXPECT_EQ(page->Group(2)->childCount(), 100);
    EXPECT_EQ(page->Group(2)->child(99)->text(TfraModbus::ColRegister), QStringLiteral("5100"));

    // MODICON16 at 99 entries: the pair does not fit, so neither entry goes in.
    NewList(kModbusModicon16);
    DatabasePoint* p = DataBase::Instance()->PointByIndex(points[0]->data(0, PointTreeAdapter::kDataRole).toInt());
    for (int i = 0; i < 99; ++i) ASSERT_GE(List().AddPoint(p, 7), 0);
    page->BuildMapTree();
    prompter.prompts.clear();
    EXPECT_FALSE(Drop(1, page->Group(0)));
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].text, QString::fromLatin1(kFullMessage));
    EXPECT_EQ(List().EntryCount(), 99);
    EXPECT_EQ(page->Group(0)->childCount() + page->Group(1)->childCount(), 0);
}

TEST_F(ModbusPageTest, DeleteAndMoveActOnTheSelectedRow)
{
    NewList(kModbusEnron);
    for (size_t k : {0u, 1u, 2u}) ASSERT_TRUE(DropInto(k, page->Group(1)));
    QTreeWidgetItem* shorts = page->Group(1);
    const int a = PointId(0), b = PointId(1), c = PointId(2);

    page->tlModbus()->setCurrentItem(shorts->child(0));
    EXPECT_FALSE(page->MoveSelected(true));   // the first row stays first, and selected
    EXPECT_EQ(page->tlModbus()->currentItem(), shorts->child(0));
    Key(Qt::Key_Down, Qt::AltModifier);
    shorts = page->Group(1);
    EXPECT_EQ(Ids(shorts), (std::vector<int>{b, a, c}));
    EXPECT_EQ(Registers(shorts), (std::vector<QString>{"3001", "3002", "3003"}));
    Key(Qt::Key_Down, Qt::AltModifier);
    EXPECT_FALSE(page->MoveSelected(false));   // now last
    shorts = page->Group(1);
    EXPECT_EQ(Ids(shorts), (std::vector<int>{b, c, a}));
    // The database's map follows the rows.
    const ModmapAdapter* adapter = ModmapAdapter::Instance();
    EXPECT_EQ(uint16_t{adapter->EntryAt(0).UNIQUEID}, b);
    EXPECT_EQ(uint16_t{adapter->EntryAt(2).UNIQUEID}, a);

    Key(Qt::Key_Delete);
    EXPECT_EQ(Ids(page->Group(1)), (std::vector<int>{b, c}));
    // A group is never deleted; the menu item deletes the selected row.
    page->tlModbus()->setCurrentItem(page->Group(1));
    EXPECT_FALSE(page->DeleteSelected());
    page->tlModbus()->setCurrentItem(page->Group(1)->child(0));
    page->mnuDeleteSelected()->trigger();
    EXPECT_EQ(Ids(page->Group(1)), (std::vector<int>{c}));
    // A row dragged out of the map onto the available points is deleted.
    ASSERT_TRUE(page->StartItemDrag(page->Group(1)->child(0)));
    EXPECT_TRUE(page->DropItemOnPointTree());
    EXPECT_EQ(page->Group(1)->childCount(), 0);
    EXPECT_EQ(List().EntryCount(), 0);

    // Read-only: keys do nothing.
    ASSERT_TRUE(Drop(0, page->Group(0)));
    page->SetReadOnly(true);
    page->tlModbus()->setCurrentItem(page->Group(0)->child(0));
    Key(Qt::Key_Delete);
    EXPECT_EQ(page->Group(0)->childCount(), 1);
}

TEST_F(ModbusPageTest, TheListFileIsTheWholeImageAndLoadsBack)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    NewList(kModbusModicon16);
    ASSERT_TRUE(Drop(0, page->Group(0)));
    const QString name = dir.filePath(QStringLiteral("map.K41MB"));
    pagetest::TestHost host;
    prompter.files = {name};
    page->mnuSaveModbusList()->trigger();
    ASSERT_EQ(prompter.fileRequests.size(), 1u);
    EXPECT_TRUE(prompter.fileRequests[0].save);
    EXPECT_EQ(prompter.fileRequests[0].caption, QStringLiteral("Save Sentrel Modbus Configuration"));
    EXPECT_TRUE(prompter.fileRequests[0].filter.contains(QStringLiteral("*.K41mb")));
    EXPECT_TRUE(prompter.fileRequests[0].filter.contains(QStringLiteral("*.K41MB")));
    EXPECT_EQ(host.status, (std::vector<QString>{"Saving Modbus List to file", "Modbus List successfully saved to file"}));

    // 517 bytes: mode, four runs {start, count}, then 100 entries {LSMS, FORMAT, ACCESS, DbId}.
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    QByteArray expected(517, '\0');
    const int id = PointId(0);
    expected[0] = 1;                     // MODICON16
    expected[1] = 1, expected[3] = 1;    // status inputs: start 1, count 1
    expected[5] = 0, expected[7] = 1;    // status outputs: start 0, count 1
    expected[9] = 2, expected[13] = 2;   // the register runs start behind them, empty
    expected[17] = 0, expected[18] = 8, expected[19] = 1;   // output status entry
    expected[20] = static_cast<char>(id & 0xFF), expected[21] = static_cast<char>(id >> 8);
    expected[22] = 0, expected[23] = 8, expected[24] = 0;   // input status entry
    expected[25] = static_cast<char>(id & 0xFF), expected[26] = static_cast<char>(id >> 8);
    EXPECT_EQ(bytes, expected);

    // Loaded back into an empty map of another layout: the same rows and layout.
    NewList(kModbusEnron);
    prompter.files = {name};
    host.status.clear();
    page->mnuLoadModbusList()->trigger();
    EXPECT_FALSE(prompter.fileRequests.back().save);
    EXPECT_EQ(page->lblMBModeText()->text(), QStringLiteral("MODICON16"));
    EXPECT_EQ(Ids(page->Group(0)), (std::vector<int>{id}));
    EXPECT_EQ(Ids(page->Group(1)), (std::vector<int>{id}));
    EXPECT_EQ(host.status, (std::vector<QString>{"Reading Modbus list from file", "Loaded Modbus list from file"}));

    // A file that is not a list file changes nothing and says why.
    const QString bad = dir.filePath(QStringLiteral("short.K41mb"));
    QFile shortFile(bad);
    ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(QByteArray(100, '\1'));
    shortFile.close();
    prompter.files = {bad};
    page->mnuLoadModbusList()->trigger();
    ASSERT_FALSE(prompter.prompts.empty());
    EXPECT_EQ(prompter.prompts.back().text, QStringLiteral("Error opening file \"%1\"").arg(bad));
    EXPECT_EQ(prompter.prompts.back().type, platform::DlgType::Error);
    EXPECT_EQ(Ids(page->Group(0)), (std::vector<int>{id}));
    EXPECT_EQ(host.status.back(), QStringLiteral("Reading Modbus list from file"));

    // A save that cannot be written says so and leaves no file.
    const QString nowhere = dir.filePath(QStringLiteral("missing/map.K41mb"));
    prompter.files = {nowhere};
    page->mnuSaveModbusList()->trigger();
    EXPECT_TRUE(prompter.prompts.back().text.startsWith(QStringLiteral("The Modbus list was not saved to \"%1\".").arg(nowhere)));
    EXPECT_FALSE(QFile::exists(nowhere));
    EXPECT_NE(host.status.back(), QStringLiteral("Modbus List successfully saved to file"));

    // A cancelled dialog changes nothing.
    prompter.prompts.clear();
    page->mnuLoadModbusList()->trigger();
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_EQ(Ids(page->Group(1)), (std::vector<int>{id}));
}

// An ENRON map holds archive entries behind the counted groups (they come with a
// configuration, the page offers no group for them): saved to a list file and loaded again,
// they are all still there, in their order.
TEST_F(ModbusPageTest, AnEnronListFileKeepsItsArchiveEntries)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    NewList(kModbusEnron);
    ASSERT_TRUE(Drop(0, page->Group(0)));
    for (size_t k : {1u, 2u}) {
        const int id = PointId(k);
        ASSERT_GE(List().AddPoint(DataBase::Instance()->PointByDbId(static_cast<TDbId>(id)), 4), 0);
    }
    const auto archiveIds = [] {
        std::vector<int> ids;
        const MBGroup* archive = List().Groups().FindByKind(4);
        for (int i = 0; archive && i < archive->Count(); ++i) ids.push_back(archive->RegisterAt(i).point->GetDbId());
        return ids;
    };
    ASSERT_EQ(archiveIds(), (std::vector<int>{PointId(1), PointId(2)}));
    const QString name = dir.filePath(QStringLiteral("enron.K41mb"));
    pagetest::TestHost host;
    prompter.files = {name};
    page->mnuSaveModbusList()->trigger();

    NewList(kModbusModicon16);
    prompter.files = {name};
    page->mnuLoadModbusList()->trigger();
    EXPECT_EQ(page->lblMBModeText()->text(), QStringLiteral("ENRON"));
    EXPECT_EQ(Ids(page->Group(0)), (std::vector<int>{PointId(0)}));
    EXPECT_EQ(archiveIds(), (std::vector<int>{PointId(1), PointId(2)}));
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(ModbusPageTest, TheMapPrintsToPdfOverAsManyPagesAsItNeeds)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    NewList(kModbusEnron);
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(DropInto(static_cast<size_t>(i) % points.size(), page->Group(i % 4)));

    const QString pdf = dir.filePath(QStringLiteral("map.pdf"));
    page->SetPrintDialog([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    });
    page->mnuPrint()->trigger();
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_TRUE(filetest::ReadAll(pdf).startsWith("%PDF"));
    const int pages = filetest::PdfPages(pdf);
    EXPECT_GE(pages, 2);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("again.pdf")));
    EXPECT_EQ(page->PrintTo(printer), pages);

    // A cancelled print dialog prints nothing.
    const QString none = dir.filePath(QStringLiteral("none.pdf"));
    page->SetPrintDialog([&](QPrinter& p) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(none);
        return false;
    });
    page->mnuPrint()->trigger();
    EXPECT_FALSE(QFile::exists(none));
}

TEST_F(ModbusPageTest, TheFirstEntryBuildsTheTreesAndRegistersTheMappedPoints)
{
    NewList(kModbusEnron);
    ASSERT_TRUE(Drop(0, page->Group(0)));
    TfraModbus fresh(owner.get());
    EXPECT_EQ(fresh.tlModbus()->topLevelItemCount(), 0);
    fresh.EnterPage();
    ASSERT_EQ(fresh.tlModbus()->topLevelItemCount(), 4);
    EXPECT_EQ(Ids(fresh.Group(0)), (std::vector<int>{PointId(0)}));
    const ExpressScan& scan = DataBase::Instance()->AsExpressScan();
    std::vector<int> registered;
    for (int i = 0; i < scan.Count(); ++i) registered.push_back(scan.At(i));
    EXPECT_EQ(registered, (std::vector<int>{389, 20, 1630, 1631, PointId(0)}));
    EXPECT_EQ(scan.PollCount(), 0);   // the page polls nothing
}

TEST_F(ModbusPageTest, TheMapsHelpShowsOnceEachTimeTheMouseComesOver)
{
    owner->show();
    page->show();
    const auto moveOver = [&] {
        QMouseEvent move(QEvent::MouseMove, QPointF(10, 10), QPointF(10, 10), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(page->tlModbus()->viewport(), &move);
    };
    const auto popups = [] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && QByteArray(w->metaObject()->className()) == "QWhatsThat") ++n;
        return n;
    };
    moveOver();   // no help text installed: nothing shows
    EXPECT_EQ(popups(), 0);
    platform::SetContextHelpText(100, QStringLiteral("Drag points from the left into the register groups."));
    moveOver();
    EXPECT_EQ(popups(), 1);
    QWhatsThis::hideText();
    moveOver();   // still over the map: not again
    EXPECT_EQ(popups(), 0);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(page->tlModbus()->viewport(), &leave);
    moveOver();
    EXPECT_EQ(popups(), 1);
    QWhatsThis::hideText();
    platform::ClearContextHelpTexts();
}

// End to end: the analyzer's map shown, edited, written back; a new list of another layout.
TEST(ModbusSession, TheAnalyzersMapIsShownEditedAndWrittenBack)
{
    pagetest::PageSession session;
    // A MODICON16 map with one coil pair (the point of DbId 389 on both sides).
    ModbusHeader header{};
    header.mode = kModbusModicon16;
    header.runs[1] = {0, 1};   // status outputs
    header.runs[0] = {1, 1};   // status inputs
    header.runs[2] = {2, 0};
    header.runs[3] = {2, 0};
    session.unit.SetModbusMapHeader(header);
    session.unit.SetModbusMapEntry(ModbusEntry{0, 0, 8, 1, 389});
    session.unit.SetModbusMapEntry(ModbusEntry{1, 0, 8, 0, 389});
    ASSERT_TRUE(session.LogOn(true)) << session.prompter.Texts().join(QStringLiteral(" | ")).toStdString();
    session.Show(MainPage::Modbus);
    TfraModbus* page = session.Form().fraModbus();
    EXPECT_FALSE(page->IsReadOnly());
    EXPECT_EQ(page->lblMBModeText()->text(), QStringLiteral("MODICON16"));
    ASSERT_EQ(page->Group(0)->childCount(), 1);
    EXPECT_EQ(page->Group(0)->child(0)->data(0, TfraModbus::kDbIdRole).toInt(), 389);
    EXPECT_EQ(page->Group(0)->child(0)->text(TfraModbus::ColValue), QStringLiteral("1"));   // logged on: its value
    EXPECT_EQ(DataBase::Instance()->AsExpressScan().PollCount(), 0);

    // Drop an offered number point onto the holding registers, then write.
    QTreeWidgetItem* node = nullptr;
    int id = -1;
    for (QTreeWidgetItemIterator it(page->treeDB()); *it && !node; ++it) {
        const int row = (*it)->data(0, PointTreeAdapter::kDataRole).toInt();
        const DatabasePoint* p = row >= 0 ? DataBase::Instance()->PointByIndex(row) : nullptr;
        if (p && (*it)->childCount() == 0 && p->GetTypeName() != "text") node = *it, id = p->GetDbId();
    }
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(page->PointNode(id), node);
    ASSERT_TRUE(page->StartPointDrag(node));
    ASSERT_TRUE(page->DropPoint(page->Group(3)));
    session.unit.ClearLog();
    session.Form().tbtnWriteClick();
    const ModbusHeader written = session.unit.ModbusMapHeader();
    EXPECT_EQ(written.mode, kModbusModicon16);
    EXPECT_EQ(uint16_t{written.runs[2].count}, 1);
    EXPECT_EQ(uint16_t{written.runs[3].count}, 1);
    std::vector<int> ids;
    for (int i = 0; i < 4; ++i) ids.push_back(session.unit.ModbusMapEntry(i).UNIQUEID);
    EXPECT_EQ(ids, (std::vector<int>{389, 389, id, id}));
    EXPECT_EQ(session.unit.ModbusMapEntry(3).ACCESS, 1);   // a holding register

    // "New Modbus List": the dialog's third item makes an empty MODICON32 map.
    testsupport::AnsweringModals(
        [](QWidget* modal) {
            if (auto* dialog = qobject_cast<TNewModbusDlg*>(modal)) {
                EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Create Modbus"));
                EXPECT_EQ(dialog->ItemIndex(), 0);
                dialog->Item(2)->setChecked(true);
                dialog->btnOK()->click();
            }
        },
        [&] { page->NewModbusList()->click(); });
    EXPECT_EQ(page->lblMBModeText()->text(), QStringLiteral("MODICON32"));
    EXPECT_EQ(DataBase::Instance()->AsModbusList()->EntryCount(), 0);
    EXPECT_EQ(page->Group(2)->childCount(), 3);   // the three subgroups
}

}  // namespace
