// Values that arrive at every poll: one equal to what a control shows touches nothing (no
// paint, no text set, no change signal), while the page still hears of it; a new one is shown.
#include "brannix/qcheckbox.h"
#include "brannix/qcombobox.h"
#include "brannix/qedit.h"
#include "brannix/qlabel.h"
#include "brannix/qlabelededit.h"
#include "brannix/qradiobutton.h"
#include "brannix/qradiogroup.h"
#include "brannix/qscrollbar.h"
#include "tests/brannix/fake_glue.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* w) { w->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// Lets every pending paint happen.
void Settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(5);
    }
}

constexpr TDbId kPoint = 100;

// One shown window holding one bound control of each kind under test.
struct Window {
    QWidget form;
    QVBoxLayout* column = new QVBoxLayout(&form);
    FakeGlue glue;
    Window() { glue.Add(kPoint, 3); }
    template <class C>
    C* Add(C* control)
    {
        column->addWidget(control);
        control->setDbId(kPoint);
        control->setUseDatabase(true);
        return control;
    }
    void Start()
    {
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
        RegisterAll(&form, &glue);
    }
};

}  // namespace

TEST(ArrivingValue, AnEqualValuePaintsNothingAndANewOneIsShown)
{
    struct Case {
        const char* kind;
        std::function<QWidget*(Window&)> make;
        const char* first;
        const char* second;
        std::function<QString(QWidget*)> shown;
    };
    const auto text = [](QWidget* w) { return qobject_cast<QLineEdit*>(w)->text(); };
    const auto checked = [](QWidget* w) { return QString::number(qobject_cast<QAbstractButton*>(w)->isChecked()); };
    const Case cases[] = {
        {"edit", [](Window& w) { return w.Add(new TQEdit); }, "12.5", "12.6", text},
        {"labeled edit", [](Window& w) { return w.Add(new TQLabeledEdit(&w.form)); }, "7", "8", text},
        {"label", [](Window& w) { return w.Add(new TQLabel); }, "Idle", "Purging",
         [](QWidget* w) { return qobject_cast<QLabel*>(w)->text(); }},
        {"check box", [](Window& w) { return w.Add(new TQCheckBox); }, "True", "False", checked},
        {"check box bit", [](Window& w) {
             auto* box = w.Add(new TQCheckBox);
             box->setWatchBitNumber(bnBit2);
             return box;
         }, "4", "0", checked},
        {"radio button", [](Window& w) { return w.Add(new TQRadioButton); }, "True", "False", checked},
        {"combo box", [](Window& w) {
             auto* box = w.Add(new TQComboBox);
             box->addItems({"a", "b", "c"});
             return box;
         }, "1", "2", [](QWidget* w) { return qobject_cast<QComboBox*>(w)->currentText(); }},
        {"radio group", [](Window& w) {
             auto* group = w.Add(new TQRadioGroup);
             group->setItems({"off", "on"});
             return group;
         }, "True", "False", [](QWidget* w) { return QString::number(qobject_cast<TQRadioGroup*>(w)->ItemIndex()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        Window w;
        QWidget* control = c.make(w);
        int heard = 0;
        w.Start();
        // The page's handler runs for every value, equal or not.
        w.glue.Announce(kPoint, c.first);
        Settle();
        const QString firstShown = c.shown(control);
        const auto count = [&heard](const QString&, bool&) { ++heard; };
        if (auto* e = qobject_cast<TQEdit*>(control)) QObject::connect(e, &TQEdit::OnDBPointValueChanged, count);
        if (auto* l = qobject_cast<TQLabel*>(control)) QObject::connect(l, &TQLabel::OnDBPointValueChanged, count);
        if (auto* b = qobject_cast<TQCheckBoxBase*>(control)) QObject::connect(b, &TQCheckBoxBase::OnDBPointValueChanged, count);
        if (auto* r = qobject_cast<TQRadioButton*>(control)) QObject::connect(r, &TQRadioButton::OnDBPointValueChanged, count);
        if (auto* b = qobject_cast<TQComboBox*>(control)) QObject::connect(b, &TQComboBox::OnDBPointValueChanged, count);
        if (auto* g = qobject_cast<TQRadioGroup*>(control)) QObject::connect(g, &TQRadioGroup::OnDBPointValueChanged, count);

        PaintCounter painted(control);
        std::unique_ptr<QSignalSpy> textSet;
        if (auto* edit = qobject_cast<QLineEdit*>(control)) textSet = std::make_unique<QSignalSpy>(edit, &QLineEdit::textChanged);
        w.glue.Announce(kPoint, c.first);
        Settle();
        EXPECT_EQ(heard, 1);
        EXPECT_EQ(painted.paints, 0);
        EXPECT_EQ(c.shown(control), firstShown);
        if (textSet) {
            EXPECT_EQ(textSet->count(), 0);
        }

        w.glue.Announce(kPoint, c.second);
        Settle();
        EXPECT_EQ(heard, 2);
        EXPECT_GT(painted.paints, 0);
        EXPECT_NE(c.shown(control), firstShown);
    }
}

TEST(ArrivingValue, AnEqualValueLeavesWhatTheUserSelectedInAnEdit)
{
    Window w;
    auto* edit = w.Add(new TQEdit);
    auto* bar = w.Add(new TQScrollBar);
    auto* mirror = new QLineEdit;
    w.column->addWidget(mirror);
    bar->setRange(0, 100);
    bar->setAssociatedControl(mirror);
    w.Start();
    for (QLineEdit* e : {static_cast<QLineEdit*>(edit), mirror}) {
        SCOPED_TRACE(e == edit ? "edit" : "scroll bar's edit");
        w.glue.Announce(kPoint, "42");
        e->setFocus();
        e->setSelection(0, 1);   // the user is about to type over the first digit
        w.glue.Announce(kPoint, "42");
        EXPECT_EQ(e->selectedText(), "4");
        w.glue.Announce(kPoint, "43");
        EXPECT_EQ(e->text(), "43");
        EXPECT_FALSE(e->hasSelectedText());
    }
}

TEST(ArrivingValue, AColourSetAgainPaintsNothing)
{
    Window w;
    auto* edit = w.Add(new TQEdit);
    auto* label = w.Add(new TQLabel);
    w.Start();
    for (QWidget* control : {static_cast<QWidget*>(edit), static_cast<QWidget*>(label)}) {
        SCOPED_TRACE(control->metaObject()->className());
        auto set = [control](const QColor& c) {
            if (auto* e = qobject_cast<TQEdit*>(control)) e->SetColor(c);
            if (auto* l = qobject_cast<TQLabel*>(control)) l->SetColor(c);
        };
        set(Qt::yellow);
        Settle();
        PaintCounter painted(control);
        set(Qt::yellow);
        Settle();
        EXPECT_EQ(painted.paints, 0);
        set(Qt::cyan);
        Settle();
        EXPECT_GT(painted.paints, 0);
        EXPECT_EQ(control->palette().color(control->backgroundRole()), QColor(Qt::cyan));
    }
}
