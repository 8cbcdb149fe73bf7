// Group enabling, the status-bar message, the help context, the requests to the main form
// and the settings path.
#include "ombrel/ombrel_exports.h"
#include "platform/data_folder.h"
#include "platform/messages.h"
#include "platform/process_wide.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QStatusBar>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

namespace {

QColor GreyText() { return QApplication::palette().color(QPalette::Disabled, QPalette::WindowText); }
QColor WindowText(QPalette::ColorGroup g) { return QApplication::palette().color(g, QPalette::WindowText); }

// form
//   box (group box)
//     edit
//     inner
//       button
//     dialog (a window of its own)
class GroupFixture : public ::testing::Test {
protected:
    QWidget form;
    QGroupBox* box = new QGroupBox("Port Setup", &form);
    QLineEdit* edit = new QLineEdit(box);
    QWidget* inner = new QWidget(box);
    QPushButton* button = new QPushButton("OK", inner);
    QDialog* dialog = new QDialog(box);
};

TEST_F(GroupFixture, DisableGroupSetsTheControlAndItsDirectChildren)
{
    DisableGroup(box);
    EXPECT_FALSE(box->isEnabled());
    // Direct children carry their own flag now; the grandchild keeps its own (it only shows
    // as disabled because its parent is).
    EXPECT_TRUE(edit->testAttribute(Qt::WA_ForceDisabled));
    EXPECT_TRUE(inner->testAttribute(Qt::WA_ForceDisabled));
    EXPECT_FALSE(button->testAttribute(Qt::WA_ForceDisabled));
    EXPECT_FALSE(button->isEnabled());
    // A window owned by the box is not one of its controls.
    EXPECT_FALSE(dialog->testAttribute(Qt::WA_ForceDisabled));
    for (auto g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        EXPECT_EQ(box->palette().color(g, QPalette::WindowText), GreyText());

    EnableGroup(box);
    EXPECT_TRUE(box->isEnabled());
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_TRUE(inner->isEnabled());
    EXPECT_TRUE(button->isEnabled());
    for (auto g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        EXPECT_EQ(box->palette().color(g, QPalette::WindowText), WindowText(g));
}

TEST_F(GroupFixture, EnableGroupLeavesAGrandchildsOwnFlag)
{
    button->setEnabled(false);
    DisableGroup(box);
    EnableGroup(box);
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_FALSE(button->isEnabled());
}

TEST_F(GroupFixture, APlainControlKeepsItsColours)
{
    const QPalette before = inner->palette();
    DisableGroup(inner);
    EXPECT_FALSE(inner->isEnabled());
    EXPECT_TRUE(button->testAttribute(Qt::WA_ForceDisabled));
    EXPECT_EQ(inner->palette(), before);
    EnableGroup(inner);
    EXPECT_TRUE(button->isEnabled());
    EnableGroup(nullptr);
    DisableGroup(nullptr);
}

// A status bar with text panels, as the program's status line has them.
QStatusBar* BarWithPanels(QWidget* form, int panels, QList<QLabel*>& labels)
{
    auto* bar = new QStatusBar(form);
    for (int i = 0; i < panels; ++i) {
        auto* label = new QLabel(QStringLiteral("panel %1").arg(i));
        bar->addWidget(label);
        labels << label;
    }
    return bar;
}

TEST(StatusBarMessage, PanelZeroOfTheFirstBarOnly)
{
    QWidget form;
    new QLabel("not a bar", &form);
    QList<QLabel*> first, second;
    QStatusBar* bar = BarWithPanels(&form, 3, first);
    BarWithPanels(&form, 2, second);
    LocalStatusBarMsg(&form, "Configuration successfully saved to file \"ÄÖ.cfg\"", 0x123456, false);
    EXPECT_EQ(first[0]->text(), QString::fromUtf8("Configuration successfully saved to file \"ÄÖ.cfg\""));
    EXPECT_EQ(first[1]->text(), "panel 1");
    EXPECT_EQ(first[2]->text(), "panel 2");
    EXPECT_TRUE(bar->currentMessage().isEmpty());
    EXPECT_EQ(second[0]->text(), "panel 0");
    EXPECT_EQ(bar->palette().color(QPalette::Window), QColor(0x12, 0x34, 0x56));
    EXPECT_TRUE(bar->autoFillBackground());
}

TEST(StatusBarMessage, ABarWithoutPanelsShowsTheTextAsItsOwnMessage)
{
    QWidget form;
    auto* bar = new QStatusBar(&form);
    LocalStatusBarMsg(&form, "Saved.", OMBREL_CL_BTNFACE, false);
    EXPECT_EQ(bar->currentMessage(), "Saved.");
    EXPECT_EQ(bar->palette().color(QPalette::Window), QApplication::palette().color(QPalette::Button));
}

TEST(StatusBarMessage, AnOwnerDrawnFirstPanelKeepsTheText)
{
    QWidget form;
    auto* bar = new QStatusBar(&form);
    auto* drawn = new QWidget;
    auto* label = new QLabel("panel 1");
    bar->addWidget(drawn);
    bar->addPermanentWidget(label);
    LocalStatusBarMsg(&form, "Busy", 0xFF0000, false);
    EXPECT_EQ(drawn->property("text").toString(), "Busy");
    EXPECT_EQ(label->text(), "panel 1");
    EXPECT_TRUE(bar->currentMessage().isEmpty());
}

TEST(StatusBarMessage, OnlyDirectChildrenAreLookedAt)
{
    QWidget form;
    auto* page = new QWidget(&form);
    auto* nested = new QStatusBar(page);
    LocalStatusBarMsg(&form, "lost", 0, true);   // no bar of its own: no effect (and no beep)
    EXPECT_TRUE(nested->currentMessage().isEmpty());
    LocalStatusBarMsg(nullptr, "x", 0, false);
    LocalStatusBarMsg(page, nullptr, 0, false);   // a null text is the empty text
    EXPECT_TRUE(nested->currentMessage().isEmpty());
}

class HelpAware : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int HelpContextVESKA READ helpContext WRITE setHelpContext)
public:
    int helpContext() const { return context_; }
    void setHelpContext(int c) { context_ = c; }

private:
    int context_ = 0;
};

TEST(HelpContext, FromThePropertyOrZero)
{
    HelpAware bound;
    bound.setHelpContext(120);
    QPushButton plain;
    QWidget dynamic;
    dynamic.setProperty("HelpContextVESKA", 77);
    QWidget notANumber;
    notANumber.setProperty("HelpContextVESKA", "help");
    EXPECT_EQ(GetHelpContextVESKA(&bound), 120);
    EXPECT_EQ(GetHelpContextVESKA(&dynamic), 77);
    EXPECT_EQ(GetHelpContextVESKA(&plain), 0);
    EXPECT_EQ(GetHelpContextVESKA(&notANumber), 0);
    EXPECT_EQ(GetHelpContextVESKA(nullptr), 0);
}

class MainFormStub : public QWidget {
public:
    std::vector<std::tuple<unsigned, uintptr_t, intptr_t>> received;

protected:
    bool event(QEvent* e) override
    {
        if (!TMessage::IsWindowMessage(e)) return QWidget::event(e);
        auto* m = static_cast<TMessage*>(e);
        received.emplace_back(m->Msg, m->WParam, m->LParam);
        return true;
    }
};

TEST(Requests, SentSynchronouslyToTheMainForm)
{
    MainFormStub form;
    platform::SetMainForm(&form);
    RequestPoll(5);
    RequestRead(2);
    platform::SetMainForm(nullptr);
    RequestPoll(9);   // no main form: nothing
    ASSERT_EQ(form.received.size(), 2u);
    EXPECT_EQ(form.received[0], std::make_tuple(platform::WM_REQUEST_POLL, uintptr_t(5), intptr_t(0)));
    EXPECT_EQ(form.received[1], std::make_tuple(platform::WM_REQUEST_READ, uintptr_t(2), intptr_t(0)));
}

TEST(Library, SettingsPathIsOnlyComputed)
{
    const QString expected = platform::UserDataFolder() + "/VESKA.INI";
    char path[1024];
    const int n = GetIniFile(path, sizeof path);
    EXPECT_EQ(QString::fromUtf8(path), expected);
    EXPECT_EQ(n, expected.toUtf8().size());
    EXPECT_FALSE(QFileInfo::exists(expected));
    // A short buffer gets the beginning of the path; the result still tells the whole length.
    char small[5];
    EXPECT_EQ(GetIniFile(small, sizeof small), n);
    EXPECT_EQ(QByteArray(small), expected.toUtf8().left(4));
    EXPECT_EQ(GetIniFile(nullptr, 0), n);

    Initialize();
    Cleanup();
    EXPECT_FALSE(IsUpdateMode());
    EXPECT_FALSE(IsFactoryMode());
}

}  // namespace

#include "controls_test.moc"
