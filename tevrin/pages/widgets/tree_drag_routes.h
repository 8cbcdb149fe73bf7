#pragma once
// Drag and drop between the trees of a page, by the page's own rules. A source tree starts a
// drag once the left button, pressed on a node the page allows, has moved 5 pixels; a target
// tree asks the page whether a drag may come in, at every move whether the node under the mouse
// takes it, and at the drop to take it. A press with either button selects the node under the
// mouse. The drag carries no data of its own: the page keeps what is being dragged.
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

class TreeDragRoutes : public QObject {
    Q_OBJECT
public:
    using NodeTest = std::function<bool(QTreeWidgetItem*)>;

    explicit TreeDragRoutes(QObject* owner);

    // draggable: may a left press on this node start a drag; start: begins it (false: refused);
    // finish: the drag has ended, dropped or not.
    void AddSource(QTreeWidget* tree, NodeTest draggable, NodeTest start, std::function<void()> finish);
    // entering: may a drag come in at all; canDrop: does the node under the mouse take it;
    // drop: take it (false: refused).
    void AddTarget(QTreeWidget* tree, std::function<bool()> entering, NodeTest canDrop, NodeTest drop);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // The trees are the page's: either may go before this object. A tree is recognised by its
    // viewport, watched through a guarded pointer; the tree itself is looked at only for the
    // mouse and drag events its live viewport receives, never for what a viewport meets while
    // its tree is being destroyed (by then the tree is no longer a tree).
    struct Source {
        QTreeWidget* tree;
        QPointer<QObject> viewport;
        NodeTest draggable, start;
        std::function<void()> finish;
    };
    struct Target {
        QTreeWidget* tree;
        QPointer<QObject> viewport;
        std::function<bool()> entering;
        NodeTest canDrop, drop;
    };
    static bool IsSourceEvent(const QEvent* e);
    static bool IsTargetEvent(const QEvent* e);
    bool SourceEvent(Source& s, QEvent* e);
    static bool TargetEvent(Target& t, QEvent* e);

    std::vector<Source> sources_;
    std::vector<Target> targets_;
    QTreeWidget* pressedIn_ = nullptr;
    QTreeWidgetItem* pressed_ = nullptr;
    QPoint pressAt_;
};
