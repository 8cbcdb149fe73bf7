// Scroll bar bound to a point and mirrored in an edit; up-down buttons driving an edit.
#include "brannix/qscrollbar.h"
#include "brannix/qupdown.h"
#include "tests/brannix/fake_glue.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

using platform::QM_PUT;

namespace {
void Enter(QWidget* w)
{
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(w, &in);
}
}  // namespace

TEST(ScrollBar, ValueMovesTheBarAndTheEdit)
{
    FakeGlue glue;
    glue.Add(90, 3);
    struct Case { bool reverse; const char* value; int position; const char* shown; std::vector<std::string> puts; };
    const Case cases[] = {
        {false, "30", 30, "30", {"30"}},
        {true, "30", 70, "30", {"30"}},
        {false, "abc", 0, "abc", {}},     // not a number: shown as it came, never written back
        {true, "abc", 100, "abc", {}},
        {false, "150", 100, "150", {}},   // beyond the bar: the bar cannot show it
    };
    for (const auto& c : cases) {
        glue.puts.clear();
        QLineEdit edit;
        TQScrollBar bar;
        bar.setRange(0, 100);
        bar.setDbId(90);
        bar.setUseDatabase(true);
        bar.setAssociatedControl(&edit);
        bar.setReverseAssociatedPosition(c.reverse);
        RegisterAll(&bar, &glue);
        glue.Announce(90, c.value);
        EXPECT_EQ(bar.value(), c.position) << c.value;
        EXPECT_EQ(edit.text(), c.shown) << c.value;
        EXPECT_EQ(Send(&bar, QM_PUT), 0);
        EXPECT_EQ(glue.PutsOf(90), c.puts) << c.value;
    }
}

TEST(ScrollBar, UserMovesAndTypedNumbers)
{
    FakeGlue glue;
    glue.Add(90, 3);
    QLineEdit edit;
    TQScrollBar bar;
    bar.setRange(0, 100);
    bar.setDbId(90);
    bar.setUseDatabase(true);
    bar.setAssociatedControl(&edit);
    bar.setReverseAssociatedPosition(true);
    RegisterAll(&bar, &glue);
    glue.Announce(90, "abc");

    bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);   // the user moves it
    EXPECT_EQ(bar.value(), 100);   // already at the end
    bar.triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(edit.text(), "1");
    Send(&bar, QM_PUT);
    EXPECT_EQ(glue.PutsOf(90), std::vector<std::string>{"1"});

    // A number typed into the edit moves the bar when it gets the focus.
    edit.setText("25");
    Enter(&bar);
    EXPECT_EQ(bar.value(), 75);
    edit.setText("x");
    Enter(&bar);
    EXPECT_EQ(bar.ShownValue(), 0);
    glue.puts.clear();
    Send(&bar, QM_PUT);
    EXPECT_TRUE(glue.puts.empty());
}

TEST(UpDown, StepsWriteThePositionPlusTheOffset)
{
    QLineEdit edit("5");
    TQUpDown updown;
    updown.setAssociatedControl(&edit);
    updown.setAssociatedControlOffset(1);
    Enter(&updown);
    EXPECT_EQ(updown.Position(), 4);
    updown.stepBy(1);
    EXPECT_EQ(edit.text(), "6");
    EXPECT_EQ(updown.Position(), 5);
    updown.stepBy(-2);
    EXPECT_EQ(edit.text(), "4");

    // Not an integer, or one beyond an int: position 0, whatever the offset.
    updown.setAssociatedControlOffset(-5);
    for (const char* text : {"x", "99999999999999999999", "-99999999999999999999", "2147483648"}) {
        updown.SetPosition(50);
        edit.setText(text);
        Enter(&updown);
        EXPECT_EQ(updown.Position(), 0) << text;
    }
}
