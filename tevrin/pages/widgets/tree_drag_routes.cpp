#include "tevrin/pages/widgets/tree_drag_routes.h"

#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTreeWidget>

namespace {
constexpr const char* kMime = "application/x-tevrin-tree-node";
constexpr int kDragDistance = 5;
}  // namespace

TreeDragRoutes::TreeDragRoutes(QObject* owner) : QObject(owner) {}

void TreeDragRoutes::AddSource(QTreeWidget* tree, NodeTest draggable, NodeTest start, std::function<void()> finish)
{
    sources_.push_back({tree, tree->viewport(), std::move(draggable), std::move(start), std::move(finish)});
    tree->viewport()->installEventFilter(this);
}

void TreeDragRoutes::AddTarget(QTreeWidget* tree, std::function<bool()> entering, NodeTest canDrop, NodeTest drop)
{
    targets_.push_back({tree, tree->viewport(), std::move(entering), std::move(canDrop), std::move(drop)});
    tree->viewport()->setAcceptDrops(true);
    tree->viewport()->installEventFilter(this);
}

bool TreeDragRoutes::SourceEvent(Source& s, QEvent* e)
{
    switch (e->type()) {
    case QEvent::MouseButtonPress: {
        auto* me = static_cast<QMouseEvent*>(e);
        QTreeWidgetItem* node = s.tree->itemAt(me->position().toPoint());
        if (node) s.tree->setCurrentItem(node);
        pressed_ = me->button() == Qt::LeftButton && node && s.draggable(node) ? node : nullptr;
        pressedIn_ = s.tree;
        pressAt_ = me->position().toPoint();
        return false;
    }
    case QEvent::MouseMove: {
        auto* me = static_cast<QMouseEvent*>(e);
        if (!pressed_ || pressedIn_ != s.tree || !(me->buttons() & Qt::LeftButton) ||
            (me->position().toPoint() - pressAt_).manhattanLength() < kDragDistance)
            return false;
        QTreeWidgetItem* node = pressed_;
        pressed_ = nullptr;
        if (!s.start(node)) return false;
        auto* drag = new QDrag(s.tree);
        auto* mime = new QMimeData;
        mime->setData(QString::fromLatin1(kMime), QByteArray());
        drag->setMimeData(mime);
        drag->exec(Qt::CopyAction | Qt::MoveAction);
        s.finish();
        return true;
    }
    case QEvent::MouseButtonRelease:
        pressed_ = nullptr;
        return false;
    default:
        return false;
    }
}

bool TreeDragRoutes::TargetEvent(Target& t, QEvent* e)
{
    bool accept = false;
    switch (e->type()) {
    case QEvent::DragEnter:
        // Coming in is decided once; each move then asks about the node under the mouse.
        accept = t.entering();
        break;
    case QEvent::DragMove:
        accept = t.canDrop(t.tree->itemAt(static_cast<QDragMoveEvent*>(e)->position().toPoint()));
        break;
    case QEvent::Drop:
        accept = t.drop(t.tree->itemAt(static_cast<QDropEvent*>(e)->position().toPoint()));
        break;
    default:
        return false;
    }
    auto* de = static_cast<QDropEvent*>(e);
    if (accept)
        de->acceptProposedAction();
    else
        de->ignore();
    return true;
}

bool TreeDragRoutes::IsSourceEvent(const QEvent* e)
{
    const QEvent::Type type = e->type();
    return type == QEvent::MouseButtonPress || type == QEvent::MouseMove || type == QEvent::MouseButtonRelease;
}

bool TreeDragRoutes::IsTargetEvent(const QEvent* e)
{
    const QEvent::Type type = e->type();
    return type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop;
}

bool TreeDragRoutes::eventFilter(QObject* watched, QEvent* e)
{
    // The event's type is checked before anything else: a viewport whose tree is going away
    // still receives events (hide, child removed, destroy), none of them ours.
    bool taken = false;
    if (IsTargetEvent(e))
        for (Target& t : targets_)
            if (t.viewport && watched == t.viewport.data()) taken = TargetEvent(t, e) || taken;
    if (IsSourceEvent(e))
        for (Source& s : sources_)
            if (s.viewport && watched == s.viewport.data()) taken = SourceEvent(s, e) || taken;
    return taken;
}
