// The tree of catalogue points that the log setup window and the Modbus map page offer.
#include "tevrin/pages/widgets/point_tree_adapter.h"

#include <QTreeWidget>
#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

using rosetta::CatalogueRow;
using rosetta::kCatalogueRowCount;
using rosetta::kCatalogueRows;

int DataOf(const QTreeWidgetItem* node) { return node->data(0, PointTreeAdapter::kDataRole).toInt(); }
int ImageOf(const QTreeWidgetItem* node) { return node->data(0, PointTreeAdapter::kImageRole).toInt(); }

QStringList ChildTexts(const QTreeWidgetItem* node)
{
    QStringList texts;
    for (int i = 0; i < node->childCount(); ++i) texts << node->child(i)->text(0);
    return texts;
}

// Where each group code belongs, written out here on its own.
QString ExpectedGroup(uint8_t code)
{
    static const std::map<int, QString> groups = [] {
        std::map<int, QString> m;
        m[0x10] = "Globals";
        for (int c = 0x20; c <= 0x26; ++c) m[c] = "Stream";
        for (int c = 0x60; c <= 0x64; ++c) m[c] = "IO";
        m[0x70] = "Factory";
        m[0x71] = "Non-Persistant Factory Entries";
        for (int c = 0x80; c <= 0x83; ++c) m[c] = "Communication";
        m[0x90] = "Input/Output";
        for (int c : {0x00, 0x02, 0x03, 0xA0}) m[c] = "Alarms/Status";
        m[0x01] = "Actions";
        return m;
    }();
    const auto it = groups.find(code);
    return it == groups.end() ? QString() : it->second;
}

int RowOfDbId(int dbId)
{
    for (int row = 0; row < kCatalogueRowCount; ++row)
        if (kCatalogueRows[row].dbId == dbId) return row;
    return -1;
}

// The first catalogue row that matches, -1 when none.
template <typename Pred>
int FindRow(Pred pred)
{
    for (int row = 0; row < kCatalogueRowCount; ++row)
        if (pred(kCatalogueRows[row])) return row;
    return -1;
}

// Rows shown in the tree, each with the caption of its group node.
std::map<int, QString> RowsInTree(const QTreeWidgetItem* root)
{
    std::map<int, QString> rows;
    for (int g = 0; g < root->childCount(); ++g) {
        const QTreeWidgetItem* group = root->child(g);
        for (int p = 0; p < group->childCount(); ++p) rows[DataOf(group->child(p))] = group->text(0);
    }
    return rows;
}

TEST(PointTree, BothListsOfferExactlyTheirFlaggedPointsUnderTheirGroups)
{
    struct Case { const char* listName; uint8_t flag; };
    for (const Case c : {Case{"LogUsePoint.xml", 0x01}, Case{"ModbusUsePoint.xml", 0x02}}) {
        SCOPED_TRACE(c.listName);
        QTreeWidget tree;
        QTreeWidgetItem* root = PointTreeAdapter::Build(&tree, "Avaiable Points", c.listName);

        ASSERT_EQ(tree.topLevelItemCount(), 1);
        EXPECT_EQ(root->text(0), QString("Avaiable Points"));
        EXPECT_EQ(DataOf(root), -1);
        EXPECT_EQ(ImageOf(root), 1);
        EXPECT_TRUE(root->isExpanded());

        // Groups keep the fixed order; the run-kind groups never get a point and are gone.
        const QStringList fixedOrder = {"Globals", "Stream", "IO", "Factory", "Communication", "Input/Output",
                                        "Non-Persistant Factory Entries", "Alarms/Status", "Actions"};
        const QStringList groups = ChildTexts(root);
        int last = -1;
        for (const QString& g : groups) {
            const int at = fixedOrder.indexOf(g);
            EXPECT_GT(at, last) << g.toStdString();
            last = at;
            EXPECT_FALSE(g.startsWith("Stream: "));
        }
        for (int g = 0; g < root->childCount(); ++g) {
            const QTreeWidgetItem* group = root->child(g);
            EXPECT_EQ(DataOf(group), -1);
            EXPECT_EQ(ImageOf(group), 1);
            EXPECT_GT(group->childCount(), 0) << group->text(0).toStdString();
            int previousRow = -1;
            for (int p = 0; p < group->childCount(); ++p) {
                const QTreeWidgetItem* point = group->child(p);
                EXPECT_EQ(ImageOf(point), 0);
                EXPECT_EQ(point->childCount(), 0);
                EXPECT_GT(DataOf(point), previousRow);   // catalogue order
                previousRow = DataOf(point);
            }
        }

        // Every flagged row of an offered group, once, under its group; nothing else.
        std::map<int, QString> expected;
        for (int row = 0; row < kCatalogueRowCount; ++row) {
            const CatalogueRow& r = kCatalogueRows[row];
            if ((r.flags & c.flag) && !ExpectedGroup(r.group).isEmpty()) expected[row] = ExpectedGroup(r.group);
        }
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(RowsInTree(root), expected);
    }
}

TEST(PointTree, PointsAreNamedAfterTheCatalogue)
{
    QTreeWidget tree;
    QTreeWidgetItem* root = PointTreeAdapter::Build(&tree, "Avaiable Points", "LogUsePoint.xml");
    const int timeRow = RowOfDbId(388);   // "Time (proprietary)", group 0x01, flags 0x03
    ASSERT_GE(timeRow, 0);
    bool found = false;
    for (int g = 0; g < root->childCount(); ++g)
        for (int p = 0; p < root->child(g)->childCount(); ++p)
            if (DataOf(root->child(g)->child(p)) == timeRow) {
                found = true;
                EXPECT_EQ(root->child(g)->text(0), QString("Actions"));
                EXPECT_EQ(root->child(g)->child(p)->text(0), QString("Time (proprietary)"));
            }
    EXPECT_TRUE(found);
}

TEST(PointTree, WhichListOffersWhichPoint)
{
    const int modbusOnly = FindRow([](const CatalogueRow& r) {
        return (r.flags & 0x03) == 0x02 && !ExpectedGroup(r.group).isEmpty();
    });
    const int logOnly = FindRow([](const CatalogueRow& r) {
        return (r.flags & 0x03) == 0x01 && !ExpectedGroup(r.group).isEmpty();
    });
    const int both = RowOfDbId(388);   // flags 0x03
    const int streamTwo = FindRow([](const CatalogueRow& r) { return (r.group & 0xF0) == 0x30 && (r.flags & 0x03); });
    ASSERT_GE(modbusOnly, 0);
    ASSERT_GE(both, 0);
    ASSERT_GE(streamTwo, 0);

    QTreeWidget logTree, modbusTree;
    const auto logRows = RowsInTree(PointTreeAdapter::Build(&logTree, "Avaiable Points", "LogUsePoint.xml"));
    const auto modbusRows = RowsInTree(PointTreeAdapter::Build(&modbusTree, "Avaiable Points", "ModbusUsePoint.xml"));

    EXPECT_EQ(logRows.count(modbusOnly), 0u);
    EXPECT_EQ(modbusRows.count(modbusOnly), 1u);
    EXPECT_EQ(logRows.count(both), 1u);
    EXPECT_EQ(modbusRows.count(both), 1u);
    if (logOnly >= 0) {
        EXPECT_EQ(logRows.count(logOnly), 1u);
        EXPECT_EQ(modbusRows.count(logOnly), 0u);
    }
    // Points of stream 2 are never offered.
    EXPECT_EQ(logRows.count(streamTwo), 0u);
    EXPECT_EQ(modbusRows.count(streamTwo), 0u);
}

TEST(PointTree, AnyOtherListNameLeavesTheRootAlone)
{
    for (const char* name : {"", "logusepoint.xml", "LogUsePoint", "Other.xml"}) {
        SCOPED_TRACE(name);
        QTreeWidget tree;
        QTreeWidgetItem* root = PointTreeAdapter::Build(&tree, "Avaiable Points", name);
        EXPECT_EQ(tree.topLevelItemCount(), 1);
        EXPECT_EQ(root->childCount(), 0);
    }
}

TEST(PointTree, NamelessPointsAndTheRootCaptionOfTheCaller)
{
    const CatalogueRow rows[] = {
        {1234, "", 0, 0x10, 0, 1, 0x01},
        {-4, "", 13, 0x01, 0, 0, 0x01},
        {77, "Named", 3, 0x10, 0, 1, 0x01},
        {78, "Stream three", 3, 0x41, 0, 1, 0x01},
        {79, "Unused group", 3, 0xB0, 0, 1, 0x01},
        {81, "Stream two", 3, 0x31, 0, 1, 0x03},
        {80, "Not loggable", 3, 0x10, 0, 1, 0x02},
    };
    QTreeWidget tree;
    PointTreeAdapter adapter(&tree, "LogUsePoint.xml", "Points", rows, 7);
    QTreeWidgetItem* root = adapter.Build();
    EXPECT_EQ(root->text(0), QString("Points"));
    EXPECT_EQ(ChildTexts(root), (QStringList{"Globals", "Actions"}));
    EXPECT_EQ(ChildTexts(root->child(0)), (QStringList{"unknown point 1234", "Named"}));
    EXPECT_EQ(ChildTexts(root->child(1)), QStringList{"unknown point -4"});
    EXPECT_EQ(DataOf(root->child(0)->child(1)), 2);
    EXPECT_EQ(DataOf(root->child(1)->child(0)), 1);
}

}  // namespace
