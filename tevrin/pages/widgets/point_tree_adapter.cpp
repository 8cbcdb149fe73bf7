#include "tevrin/pages/widgets/point_tree_adapter.h"

#include <QTreeWidget>

#include <vector>

namespace {

// Group nodes under the root, in this order. No group code is placed under the five
// run-kind groups (every stream-1 code goes to "Stream"), so like any group that stays
// empty they are dropped again at the end.
const char* const kGroupCaptions[] = {
    "Globals",
    "Stream",
    "Stream: Sample",
    "Stream: Calibrate",
    "Stream: Reference 1",
    "Stream: Reference 2",
    "Stream: Zero",
    "IO",
    "Factory",
    "Communication",
    "Input/Output",
    "Non-Persistant Factory Entries",
    "Alarms/Status",
    "Actions",
};

constexpr uint8_t kLogFlag = 0x01;
constexpr uint8_t kModbusFlag = 0x02;

}  // namespace

PointTreeAdapter::PointTreeAdapter(QTreeWidget* tree, const QString& listFileName, const QString& rootCaption,
                                   const rosetta::CatalogueRow* rows, int rowCount)
    : tree_(tree), listFileName_(listFileName), rootCaption_(rootCaption), rows_(rows), rowCount_(rowCount)
{
}

QString PointTreeAdapter::GroupCaptionOf(uint8_t code)
{
    if (code == 0x10) return QStringLiteral("Globals");
    if (code >= 0x20 && code <= 0x26) return QStringLiteral("Stream");
    if (code >= 0x60 && code <= 0x64) return QStringLiteral("IO");
    if (code == 0x70) return QStringLiteral("Factory");
    if (code == 0x71) return QStringLiteral("Non-Persistant Factory Entries");
    if (code >= 0x80 && code <= 0x83) return QStringLiteral("Communication");
    if (code == 0x90) return QStringLiteral("Input/Output");
    if (code == 0x00 || code == 0x02 || code == 0x03 || code == 0xA0) return QStringLiteral("Alarms/Status");
    if (code == 0x01) return QStringLiteral("Actions");
    return QString();
}

QTreeWidgetItem* PointTreeAdapter::AddNode(QTreeWidgetItem* parent, const QString& text, int kind, int data)
{
    auto* node = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
    node->setText(0, text);
    node->setData(0, kDataRole, data);
    node->setData(0, kImageRole, kind == kPointNode ? 0 : 1);
    return node;
}

QTreeWidgetItem* PointTreeAdapter::AddPoint(QTreeWidgetItem* parent, int row)
{
    const rosetta::CatalogueRow& r = rows_[row];
    QString text = QString::fromLatin1(r.name ? r.name : "");
    if (text.isEmpty()) text = QStringLiteral("unknown point ") + QString::number(r.dbId);
    return AddNode(parent, text, kPointNode, row);
}

bool PointTreeAdapter::Offers(const rosetta::CatalogueRow& row) const
{
    return ((row.flags & kModbusFlag) && listFileName_ == QLatin1String(kModbusListName)) ||
           ((row.flags & kLogFlag) && listFileName_ == QLatin1String(kLogListName));
}

QTreeWidgetItem* PointTreeAdapter::Build()
{
    const bool updates = tree_->updatesEnabled();
    tree_->setUpdatesEnabled(false);

    QTreeWidgetItem* root = AddNode(nullptr, rootCaption_, kGroupNode, -1);
    std::vector<QTreeWidgetItem*> groups;
    for (const char* caption : kGroupCaptions) groups.push_back(AddNode(root, QString::fromLatin1(caption), kGroupNode, -1));
    root->setExpanded(true);
    for (QTreeWidgetItem* g : groups) g->setExpanded(true);

    for (int row = 0; row < rowCount_; ++row) {
        if (!Offers(rows_[row])) continue;
        const QString caption = GroupCaptionOf(rows_[row].group);
        if (caption.isEmpty()) continue;
        for (QTreeWidgetItem* g : groups) {
            if (g->text(0) == caption) {
                AddPoint(g, row);
                break;
            }
        }
    }

    for (QTreeWidgetItem* g : groups)
        if (g->childCount() == 0) delete g;

    tree_->setUpdatesEnabled(updates);
    return root;
}

QTreeWidgetItem* PointTreeAdapter::Build(QTreeWidget* tree, const QString& rootCaption, const QString& listFileName)
{
    PointTreeAdapter adapter(tree, listFileName, rootCaption);
    return adapter.Build();
}
