// The broadcaster over small widget trees: order, stop on result, skip self, child windows,
// and a tree that its own handlers change while the message walks it.
#include "ombrel/ombrel_exports.h"
#include "platform/messages.h"

#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

namespace {

// A plain widget that answers the control protocol: it notes its name and may answer.
class Node : public QWidget {
public:
    Node(const QString& name, QWidget* parent, QStringList& log, Qt::WindowFlags flags = {})
        : QWidget(parent, flags), log_(log)
    {
        setObjectName(name);
    }
    intptr_t answer = 0;
    std::function<void()> onMessage;

protected:
    bool event(QEvent* e) override
    {
        if (!TMessage::IsWindowMessage(e)) return QWidget::event(e);
        auto* m = static_cast<TMessage*>(e);
        log_ << objectName();
        if (answer) m->Result = answer;
        if (onMessage) onMessage();
        return true;
    }

private:
    QStringList& log_;
};

// form
//   a
//     a1
//       a1x
//     a2
//   b
//   c
//     c1
class BroadcastTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<Node>("form", nullptr, log);
        add("a", "form");
        add("a1", "a");
        add("a1x", "a1");
        add("a2", "a");
        add("b", "form");
        add("c", "form");
        add("c1", "c");
    }
    Node* add(const QString& name, const QString& parent, Qt::WindowFlags flags = {})
    {
        QWidget* p = parent == "form" ? form.get() : nodes.at(parent);
        auto* n = new Node(name, p, log, flags);
        nodes[name] = n;
        return n;
    }
    intptr_t Broadcast(bool skipSelf, bool stopOnResult, intptr_t initialResult = 0)
    {
        TMessage m(platform::QM_EDIT);
        m.Result = initialResult;
        DoMyBroadcast(form.get(), &m, skipSelf, stopOnResult);
        return m.Result;
    }

    QStringList log;
    std::unique_ptr<Node> form;
    std::map<QString, Node*> nodes;
};

TEST_F(BroadcastTree, ParentFirstThenEachChildsWholeSubtreeInChildOrder)
{
    EXPECT_EQ(Broadcast(false, true), 0);
    EXPECT_EQ(log, QStringList({"form", "a", "a1", "a1x", "a2", "b", "c", "c1"}));
}

TEST_F(BroadcastTree, SkipSelfLeavesOutOnlyTheTopControl)
{
    Broadcast(true, true);
    EXPECT_EQ(log, QStringList({"a", "a1", "a1x", "a2", "b", "c", "c1"}));
}

TEST_F(BroadcastTree, StopOnResultAndWithoutIt)
{
    struct Case {
        const char* answering;   // the control that answers non-zero
        bool skipSelf;
        bool stopOnResult;
        QStringList delivered;
        intptr_t result;
    };
    const Case cases[] = {
        // The form's second control refuses: nobody after it hears the message.
        {"b", true, true, {"a", "a1", "a1x", "a2", "b"}, 1},
        // A refusal deep down ends the walk in every level above it too.
        {"a1x", false, true, {"form", "a", "a1", "a1x"}, 1},
        // The top control's own refusal keeps it from its children.
        {"form", false, true, {"form"}, 1},
        // Without stopping everyone hears it and the answer stays in the record.
        {"a1", false, false, {"form", "a", "a1", "a1x", "a2", "b", "c", "c1"}, 1},
        {"c1", true, true, {"a", "a1", "a1x", "a2", "b", "c", "c1"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answering);
        log.clear();
        for (auto& [name, node] : nodes) node->answer = 0;
        form->answer = 0;
        (QString(c.answering) == "form" ? form.get() : nodes.at(c.answering))->answer = 1;
        EXPECT_EQ(Broadcast(c.skipSelf, c.stopOnResult), c.result);
        EXPECT_EQ(log, c.delivered);
    }
}

TEST_F(BroadcastTree, AResultAlreadyInTheRecord)
{
    // Skipping itself, the form tests the record before its first child: nobody hears it.
    EXPECT_EQ(Broadcast(true, true, 7), 7);
    EXPECT_TRUE(log.isEmpty());
    // Delivered to itself first, the form hears it; the leftover then ends the walk.
    log.clear();
    EXPECT_EQ(Broadcast(false, true, 7), 7);
    EXPECT_EQ(log, QStringList({"form"}));
    // Without stopping, the leftover does not matter.
    log.clear();
    EXPECT_EQ(Broadcast(true, false, 7), 7);
    EXPECT_EQ(log.size(), 7);
}

TEST_F(BroadcastTree, ChildWindowsAndNonWidgetChildrenAreNotEntered)
{
    auto* dialog = new QDialog(nodes.at("a"));   // a window of its own, owned by a control
    auto* inDialog = new Node("inDialog", dialog, log);
    add("floating", "b", Qt::Window);
    add("inFloating", "floating");
    new QTimer(nodes.at("c"));   // not a widget at all
    Broadcast(false, false);
    EXPECT_EQ(log, QStringList({"form", "a", "a1", "a1x", "a2", "b", "c", "c1"}));
    // A window broadcast to directly is delivered to as the top control.
    log.clear();
    TMessage m(platform::QM_PUT);
    DoMyBroadcast(dialog, &m, false, true);
    EXPECT_EQ(log, QStringList({"inDialog"}));
    (void)inDialog;
}

TEST_F(BroadcastTree, ChildrenAreReadAfreshWhileTheMessageWalks)
{
    // A handler that adds a control to the form: the newcomer is delivered to in its turn.
    nodes.at("a2")->onMessage = [this] { add("late", "form"); };
    // A handler that removes a control not yet visited: it is not delivered to, and nothing breaks.
    nodes.at("a1x")->onMessage = [this] {
        delete nodes.at("b");
        nodes.erase("b");
    };
    Broadcast(false, true);
    EXPECT_EQ(log, QStringList({"form", "a", "a1", "a1x", "a2", "c", "c1", "late"}));
}

TEST_F(BroadcastTree, AHandlerThatDeletesItsOwnSubtree)
{
    // The control deletes its children while it handles the message: they are simply gone.
    nodes.at("a")->onMessage = [this] {
        delete nodes.at("a1");
        delete nodes.at("a2");
    };
    Broadcast(false, true);
    EXPECT_EQ(log, QStringList({"form", "a", "b", "c", "c1"}));
}

TEST(Broadcast, NullControlOrRecordDoesNothing)
{
    QStringList log;
    Node n("n", nullptr, log);
    TMessage m(platform::QM_EDIT);
    DoMyBroadcast(nullptr, &m, false, true);
    DoMyBroadcast(&n, nullptr, false, true);
    EXPECT_TRUE(log.isEmpty());
    EXPECT_EQ(m.Result, 0);
}

}  // namespace
