#include "tevrin/pages/config/fr_sequencer.h"

#include "platform/messages.h"

#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
// Run kind of a leaf of the run-type tree, kept as the item's data.
constexpr int kRunKindRole = Qt::UserRole + 1;
}

TfrSequencer::TfrSequencer(QWidget* owner) : TPageFrame(owner, 12, 0, 1)
{
    setObjectName(QStringLiteral("frSequencer"));
    auto* layout = new QVBoxLayout(this);
    runTypes_ = new QTreeWidget(this);
    runTypes_->setObjectName(QStringLiteral("tvRunTypes"));
    runTypes_->setHeaderHidden(true);
    layout->addWidget(runTypes_);
}

TfrSequencer::~TfrSequencer() = default;

void TfrSequencer::EnterPage()
{
    TPageFrame::EnterPage();
    RebuildRunTypes();
}

void TfrSequencer::RebuildRunTypes()
{
    FreeNodeData();
    auto* root = new QTreeWidgetItem(runTypes_, {QStringLiteral("Available Run Types")});
    auto* stream = new QTreeWidgetItem(root, {QStringLiteral("Stream")});
    const struct {
        const char* name;
        int kind;
    } kLeaves[] = {{"Sample", 0}, {"Reference 1", 2}, {"Reference 2", 3}, {"Zero", 4}, {"Calibrate", 5}};
    for (const auto& leaf : kLeaves) {
        auto* item = new QTreeWidgetItem(stream, {QString::fromLatin1(leaf.name)});
        item->setData(0, kRunKindRole, leaf.kind);
    }
    runTypes_->expandAll();
}

void TfrSequencer::FreeNodeData() { runTypes_->clear(); }

void TfrSequencer::CommitToDatabase()
{
    // The page keeps no sequence edits of its own yet: the database's image already holds
    // what the page shows, so there is nothing to store.
}

void TfrSequencer::OnFreePageData(TMessage& m)
{
    FreeNodeData();
    m.Result = 0;
}
