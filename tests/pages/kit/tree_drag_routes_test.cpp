// Drag routes between trees: a tree that goes before the routes is forgotten, not touched.
#include "tevrin/pages/widgets/tree_drag_routes.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <memory>

TEST(TreeDragRoutes, ATreeDestroyedFirstIsNeverTouchedAgain)
{
    QObject owner;
    auto* routes = new TreeDragRoutes(&owner);
    auto source = std::make_unique<QTreeWidget>();
    QTreeWidget target;
    int drops = 0;
    routes->AddSource(source.get(), [](QTreeWidgetItem*) { return true; }, [](QTreeWidgetItem*) { return true; }, [] {});
    routes->AddTarget(&target, [] { return true; }, [](QTreeWidgetItem*) { return true; },
                      [&](QTreeWidgetItem*) { return ++drops > 0; });
    source.reset();
    // Events of the remaining tree still pass the routes, which must not look at the lost one.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(target.viewport(), &press);
    EXPECT_EQ(drops, 0);
}
