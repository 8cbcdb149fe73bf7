// Drop-down list, radio group and radio buttons bound to a point.
#include "brannix/qcombobox.h"
#include "brannix/qradiobutton.h"
#include "brannix/qradiogroup.h"
#include "tests/brannix/fake_glue.h"
#include "tests/common/fake_prompter.h"

#include <QMainWindow>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using platform::QM_EDIT;
using platform::QM_GET;
using platform::QM_PUT;
using platform::QM_REPORTCHANGES;
using platform::QM_RESET;

namespace {

struct Form {
    QMainWindow window;
    QWidget* central = new QWidget;
    QVBoxLayout* layout = new QVBoxLayout(central);
    QStatusBar* bar = new QStatusBar;
    Form()
    {
        window.setCentralWidget(central);
        window.setStatusBar(bar);
        window.setWindowTitle("Alarms");
    }
    template <class T> T* Add(TDbId id)
    {
        auto* c = new T;
        c->setDbId(id);
        c->setUseDatabase(true);
        layout->addWidget(c);
        return c;
    }
};

intptr_t SendTo(QWidget* w, unsigned msg, intptr_t lParam = 0)
{
    TMessage m(msg, 0, lParam);
    QCoreApplication::sendEvent(w, &m);
    return m.Result;
}

}  // namespace

TEST(ComboBox, ShowsTheItemOfTheValueAndWritesItsIndex)
{
    FakeGlue glue;
    glue.Add(50, 3);
    Form f;
    auto* combo = f.Add<TQComboBox>(50);
    combo->addItems({"Off", "Low", "High"});
    RegisterAll(&f.window, &glue);

    struct Case { const char* value; int index; std::vector<std::string> puts; };
    const Case cases[] = {
        {"2", 2, {"2"}},
        {"0", 0, {"0"}},
        {"abc", -1, {}},   // not a number: nothing shown, nothing written back
        {"3", -1, {}},     // no such item
        {"-1", -1, {}},
        {"1", 1, {"1"}},
    };
    for (const auto& c : cases) {
        glue.puts.clear();
        glue.Announce(50, c.value);
        EXPECT_EQ(combo->ItemIndex(), c.index) << c.value;
        EXPECT_EQ(Send(&f.window, QM_PUT), 0);
        EXPECT_EQ(glue.PutsOf(50), c.puts) << c.value;
    }
}

TEST(ComboBox, RequiredChoiceGetResetAndConfirmationRow)
{
    FakePrompter prompter;
    Form f;
    f.window.show();
    auto* combo = f.Add<TQComboBox>(50);
    combo->setRequired(true);
    combo->setConfirmChanges(true);
    combo->setFieldName("Alarm Mode");

    EXPECT_EQ(SendTo(combo, QM_EDIT), 0);   // empty list: an empty choice is fine
    combo->addItems({"Off", "Low", "High"});
    combo->setCurrentIndex(-1);
    EXPECT_EQ(SendTo(combo, QM_EDIT), 1);
    EXPECT_EQ(f.bar->currentMessage(), "This field is required.");
    EXPECT_EQ(combo->Color(), clYellow());

    // Choosing an item leaves the alarm.
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    EXPECT_NE(combo->Color(), clYellow());
    EXPECT_EQ(f.bar->currentMessage(), "");

    EXPECT_EQ(SendTo(combo, QM_GET), 0);
    EXPECT_EQ(combo->Color(), clLime());
    combo->setCurrentIndex(2);
    QTreeWidget list;
    SendTo(combo, QM_REPORTCHANGES, reinterpret_cast<intptr_t>(&list));
    ASSERT_EQ(list.topLevelItemCount(), 1);
    EXPECT_EQ(list.topLevelItem(0)->text(1), "Alarm Mode");
    EXPECT_EQ(list.topLevelItem(0)->text(2), "Low");
    EXPECT_EQ(list.topLevelItem(0)->text(3), "High");
    EXPECT_EQ(list.topLevelItem(0)->text(4), "?");
    SendTo(combo, QM_RESET);
    EXPECT_EQ(combo->ItemIndex(), 1);
}

TEST(ComboBox, RequiredBoxWithAValueItCannotShowBlocksNoOtherWrite)
{
    FakePrompter prompter;
    FakeGlue glue;
    glue.Add(50, 3);
    glue.Add(51, 3);
    Form f;
    f.window.show();
    auto* combo = f.Add<TQComboBox>(50);
    combo->addItems({"Off", "Low", "High"});
    combo->setRequired(true);
    auto* other = f.Add<TQComboBox>(51);
    other->addItems({"Off", "On"});
    RegisterAll(&f.window, &glue);
    glue.Announce(51, "1");

    for (const char* value : {"7", "abc"}) {
        SCOPED_TRACE(value);
        glue.puts.clear();
        glue.Announce(50, value);
        ASSERT_EQ(combo->ItemIndex(), -1);
        // The window's write: nothing refused, the box writes nothing, the other box writes.
        EXPECT_EQ(Send(&f.window, QM_EDIT), 0);
        EXPECT_EQ(f.bar->currentMessage(), "");
        EXPECT_EQ(Send(&f.window, QM_PUT), 0);
        EXPECT_TRUE(glue.PutsOf(50).empty());
        EXPECT_EQ(glue.PutsOf(51), std::vector<std::string>{"1"});
    }
    EXPECT_TRUE(prompter.prompts.empty());

    // A value it can show, then none chosen by the program: the choice is required again.
    glue.Announce(50, "1");
    combo->setCurrentIndex(-1);
    EXPECT_EQ(SendTo(combo, QM_EDIT), 1);
    EXPECT_EQ(f.bar->currentMessage(), "This field is required.");
}

TEST(ComboBox, MissingPointIsNeitherValidatedNorWritten)
{
    FakePrompter prompter;
    FakeGlue glue;   // knows no point at all
    Form f;
    f.window.show();
    auto* combo = f.Add<TQComboBox>(51);
    combo->addItems({"Off", "On"});
    combo->setCurrentIndex(1);
    combo->setRequired(true);
    QSignalSpy registered(combo, &TQComboBox::AfterRegisterDatabase);
    RegisterAll(&f.window, &glue);
    EXPECT_EQ(registered.count(), 1);
    EXPECT_EQ(combo->Color(), clOlive());
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(combo->placeholderText(), "not available");
    EXPECT_EQ(Send(&f.window, QM_EDIT), 0);   // required, nothing chosen, yet no report
    EXPECT_EQ(f.bar->currentMessage(), "");
    combo->setCurrentIndex(0);                // even a choice made by hand is not written
    EXPECT_EQ(Send(&f.window, QM_PUT), 0);
    EXPECT_TRUE(glue.puts.empty());
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST(RadioGroup, ValuesAndWrites)
{
    FakeGlue glue;
    glue.Add(60, 8);
    Form f;
    auto* group = f.Add<TQRadioGroup>(60);
    group->setItems({"Disabled", "Enabled", "Auto"});
    RegisterAll(&f.window, &glue);
    QSignalSpy changed(group, &TQRadioGroup::ItemIndexChanged);

    struct Case { const char* value; int index; std::vector<std::string> puts; };
    const Case cases[] = {
        {"True", 1, {"1"}},
        {"False", 0, {"0"}},
        {"2", 2, {"2"}},
        {"x", -1, {}},   // not a number: no button chosen, nothing written
        {"7", -1, {}},
        {"true", -1, {}},
    };
    for (const auto& c : cases) {
        glue.puts.clear();
        glue.Announce(60, c.value);
        EXPECT_EQ(group->ItemIndex(), c.index) << c.value;
        EXPECT_EQ(SendTo(group, QM_EDIT), 0);   // never rejects
        SendTo(group, QM_PUT);
        EXPECT_EQ(glue.PutsOf(60), c.puts) << c.value;
    }
    EXPECT_GE(changed.count(), 4);
}

TEST(RadioGroup, ConfirmationRowNamesTheButtons)
{
    Form f;
    auto* group = f.Add<TQRadioGroup>(60);
    group->setTitle("Stream Mode");
    group->setItems({"Disabled", "Enabled"});
    group->setConfirmChanges(true);
    group->setFieldName("Mode");
    SendTo(group, QM_GET);   // nothing chosen yet
    group->setItemIndex(1);
    QTreeWidget list;
    SendTo(group, QM_REPORTCHANGES, reinterpret_cast<intptr_t>(&list));
    ASSERT_EQ(list.topLevelItemCount(), 1);
    const auto* row = list.topLevelItem(0);
    EXPECT_EQ(row->text(1), "Mode");
    EXPECT_EQ(row->text(2), " ");
    EXPECT_EQ(row->text(3), "Enabled");
    EXPECT_EQ(row->text(4), "Stream Mode");
    EXPECT_EQ(row->text(5), "?");
    SendTo(group, QM_RESET);
    EXPECT_EQ(group->ItemIndex(), -1);
}

TEST(RadioGroup, RefusedPointIsOliveAndKeepsItsCaption)
{
    FakeGlue glue;
    Form f;
    auto* group = f.Add<TQRadioGroup>(61);
    group->setTitle("Mode");
    QSignalSpy registered(group, &TQRadioGroup::AfterRegisterDatabase);
    RegisterAll(&f.window, &glue);
    EXPECT_EQ(group->Color(), clOlive());
    EXPECT_EQ(group->title(), "Mode");
    EXPECT_EQ(registered.count(), 1);
}

TEST(RadioButton, ButtonsSharingAPointWriteTheChosenOnesValue)
{
    FakeGlue glue;
    glue.Add(70, 3);
    Form f;
    auto* one = f.Add<TQRadioButton>(70);
    auto* two = f.Add<TQRadioButton>(70);
    one->setTrueValue("1");
    two->setTrueValue("2");
    RegisterAll(&f.window, &glue);
    QSignalSpy clicked(two, &QAbstractButton::clicked);

    glue.Announce(70, "2");
    EXPECT_FALSE(one->isChecked());
    EXPECT_TRUE(two->isChecked());
    EXPECT_EQ(clicked.count(), 0);   // an arriving value is not a click
    Send(&f.window, QM_PUT);
    EXPECT_EQ(glue.PutsOf(70), std::vector<std::string>{"2"});

    glue.Announce(70, "3");   // neither: both off
    EXPECT_FALSE(one->isChecked());
    EXPECT_FALSE(two->isChecked());
    glue.puts.clear();
    Send(&f.window, QM_PUT);
    EXPECT_TRUE(glue.puts.empty());

    // Get / Reset / Modified follow the checked state.
    glue.Announce(70, "1");
    SendTo(one, QM_GET);
    one->SetChecked(false);
    EXPECT_TRUE(one->Modified());
    SendTo(one, QM_RESET);
    EXPECT_TRUE(one->isChecked());
}
