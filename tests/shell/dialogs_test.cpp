#include "tevrin/shell/logon_dlg.h"
#include "tevrin/shell/set_upd_pwd_dlg.h"
#include "tevrin/shell/upd_mode_dlg.h"
#include "tevrin/shell/wait_dlg.h"

#include "platform/prompter.h"
#include "platform/window_fit.h"
#include "tevrin/pages/widgets/date_range_dlg.h"
#include "tevrin/rtdb/version_state.h"
#include "tevrin/shell/security_chk.h"
#include "tests/common/fake_prompter.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

// Runs action once, as soon as the modal dialog shows (inside its own event loop).
void WhenShown(QDialog& dialog, std::function<void()> action)
{
    auto* timer = new QTimer(&dialog);
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, &dialog, [&dialog, timer, action] {
        if (!dialog.isVisible()) return;
        timer->stop();
        timer->deleteLater();
        action();
    });
    timer->start();
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SecurityChk::Destroy();
        VersionState::SetVersionKnown(1);
        ASSERT_TRUE(dir.isValid());
        SecurityChk::Instance().SetAppDataFolder(dir.path());
        ASSERT_TRUE(SecurityChk::Instance().SetPassword("4711"));
    }
    void TearDown() override
    {
        SecurityChk::Destroy();
        VersionState::SetVersionKnown(1);
    }

    QTemporaryDir dir;
    FakePrompter prompter;
};

TEST_F(DialogTest, LogonDialogStartsEmptyWithTheFocus)
{
    TfrmLogon dlg;
    EXPECT_EQ(dlg.ledPassword()->maxLength(), 64);
    EXPECT_EQ(dlg.ledPassword()->echoMode(), QLineEdit::Password);
    dlg.ledPassword()->setText("left over");
    QString seen = "?";
    WhenShown(dlg, [&] {
        seen = dlg.ledPassword()->text();
        EXPECT_EQ(dlg.focusWidget(), dlg.ledPassword());
        dlg.btnCancel()->click();
    });
    EXPECT_EQ(dlg.ShowModal(), platform::mrCancel);
    EXPECT_EQ(seen, QString());
}

TEST_F(DialogTest, UpdateModePassword)
{
    struct Case {
        const char* what;
        bool cancel;
        QString password;
        bool versionKnown;
        bool warn;
        UpdateModeAnswer answer;
        bool warned;
    };
    const std::vector<Case> cases = {
        {"right password", false, "4711", true, true, UpdateModeAnswer::Update, false},
        {"master password", false, SecurityChk::kMasterPassword, true, true, UpdateModeAnswer::Update, false},
        {"wrong password at logon", false, "4712", true, true, UpdateModeAnswer::ReadOnly, true},
        {"wrong password from the menu", false, "4712", true, false, UpdateModeAnswer::ReadOnly, false},
        {"right password, unknown version", false, "4711", false, true, UpdateModeAnswer::ReadOnly, true},
        {"empty password", false, "", true, true, UpdateModeAnswer::Unchanged, false},
        {"cancel", true, "4711", true, true, UpdateModeAnswer::ReadOnly, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompter.prompts.clear();
        VersionState::SetVersionKnown(c.versionKnown ? 1 : 0);
        TfrmLogon dlg;
        WhenShown(dlg, [&] {
            EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Update Mode Logon"));
            QTest::keyClicks(dlg.ledPassword(), c.password);
            (c.cancel ? dlg.btnCancel() : dlg.btnOK())->click();
        });
        EXPECT_EQ(AskUpdateModePassword(dlg, c.warn), c.answer);
        if (c.warned) {
            ASSERT_EQ(prompter.prompts.size(), 1u);
            EXPECT_EQ(prompter.prompts[0].text, QStringLiteral("Invalid password!\n Read Only Mode"));
            EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Warning);
            EXPECT_EQ(prompter.prompts[0].buttons, unsigned(platform::mbOK));
        } else {
            EXPECT_TRUE(prompter.prompts.empty());
        }
    }
}

TEST_F(DialogTest, FactoryCode)
{
    struct Case {
        bool cancel;
        QString code;
        FactoryLogonAnswer answer;
    };
    for (const Case& c : {Case{false, SecurityChk::kFactoryCode, FactoryLogonAnswer::Accepted},
                          Case{false, QString(SecurityChk::kFactoryCode).toUpper(), FactoryLogonAnswer::Refused},
                          Case{false, SecurityChk::kMasterPassword, FactoryLogonAnswer::Refused},
                          Case{true, SecurityChk::kFactoryCode, FactoryLogonAnswer::Cancelled}}) {
        SCOPED_TRACE(c.code.toStdString());
        TfrmLogon dlg;
        WhenShown(dlg, [&] {
            EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Factory Mode Logon"));
            dlg.ledPassword()->setText(c.code);
            (c.cancel ? dlg.btnCancel() : dlg.btnOK())->click();
        });
        EXPECT_EQ(AskFactoryCode(dlg), c.answer);
    }
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(DialogTest, ModeChoice)
{
    struct Case {
        const char* what;
        std::function<void(TUpdModeDlg&)> act;
        int result;
    };
    const std::vector<Case> cases = {
        {"Read Only", [](TUpdModeDlg& d) { d.btnReadOnly()->click(); }, platform::mrNo},
        {"Update", [](TUpdModeDlg& d) { d.btnUpdate()->click(); }, platform::mrYes},
        {"Escape", [](TUpdModeDlg& d) { QTest::keyClick(&d, Qt::Key_Escape); }, platform::mrNo},
        {"Enter", [](TUpdModeDlg& d) { QTest::keyClick(d.focusWidget() ? d.focusWidget() : &d, Qt::Key_Return); },
         platform::mrNo},
        {"close box", [](TUpdModeDlg& d) { d.close(); }, platform::mrCancel},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TUpdModeDlg dlg;
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Select Mode..."));
        EXPECT_EQ(dlg.btnReadOnly()->text(), QStringLiteral("Read Only"));
        EXPECT_EQ(dlg.btnUpdate()->text(), QStringLiteral("Update"));
        WhenShown(dlg, [&] { c.act(dlg); });
        EXPECT_EQ(dlg.ShowModal(), c.result);
    }
}

TEST_F(DialogTest, LogonModeChoice)
{
    struct Case {
        const char* what;
        std::function<void(TUpdModeDlg&)> choose;
        QString password;   // empty: the password dialog must not appear
        UpdateModeAnswer answer;
        QStringList messages;
    };
    const std::vector<Case> cases = {
        {"Read Only", [](TUpdModeDlg& d) { d.btnReadOnly()->click(); }, "", UpdateModeAnswer::ReadOnly, {}},
        {"Update, right password", [](TUpdModeDlg& d) { d.btnUpdate()->click(); }, "4711",
         UpdateModeAnswer::Update, {}},
        {"Update, wrong password", [](TUpdModeDlg& d) { d.btnUpdate()->click(); }, "1234",
         UpdateModeAnswer::ReadOnly, {"Invalid password!\n Read Only Mode"}},
        // Closing the mode window by its close box counts as "Update": the password decides.
        {"close box, right password", [](TUpdModeDlg& d) { d.close(); }, "4711", UpdateModeAnswer::Update, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompter.prompts.clear();
        TUpdModeDlg mode;
        TfrmLogon logon;
        bool passwordAsked = false;
        WhenShown(mode, [&] { c.choose(mode); });
        WhenShown(logon, [&] {
            passwordAsked = true;
            logon.ledPassword()->setText(c.password);
            logon.btnOK()->click();
        });
        EXPECT_EQ(ChooseLogonMode(mode, logon), c.answer);
        EXPECT_EQ(passwordAsked, !c.password.isEmpty());
        EXPECT_EQ(prompter.Texts(), c.messages);
    }
}

TEST_F(DialogTest, ChangePasswordDialogChecksItsFields)
{
    struct Case {
        const char* what;
        QString oldPwd, new1, new2;
        QStringList messages;
    };
    const QString mismatch = "New password doesn't match";
    const QString incomplete = "Please complete all fields";
    const std::vector<Case> cases = {
        {"complete", "4711", "abcd", "abcd", {}},
        {"mismatch", "4711", "abcd", "abce", {mismatch}},
        {"old missing", "", "abcd", "abcd", {incomplete}},
        {"both new empty", "4711", "", "", {incomplete}},
        {"mismatch and old missing", "", "abcd", "x", {mismatch, incomplete}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompter.prompts.clear();
        TSetUpdPwdDlg dlg;
        dlg.show();
        dlg.edOldPwd()->setText(c.oldPwd);
        dlg.edNewPwd1()->setText(c.new1);
        dlg.edNewPwd2()->setText(c.new2);
        dlg.OKBtn()->click();
        EXPECT_EQ(prompter.Texts(), c.messages);
        for (const auto& p : prompter.prompts) EXPECT_EQ(p.type, platform::DlgType::Error);
        const bool closes = c.messages.isEmpty();
        EXPECT_EQ(dlg.isVisible(), !closes);
        EXPECT_EQ(dlg.result(), closes ? int(platform::mrOk) : 0);
    }
}

TEST_F(DialogTest, ChangePasswordRoad)
{
    struct Case {
        const char* what;
        QString oldPwd;
        bool cancel;
        QStringList messages;
        QString validAfter;
    };
    const std::vector<Case> cases = {
        {"right old password", "4711", false, {}, "n3w"},
        {"master password as old", SecurityChk::kMasterPassword, false, {}, "n3w"},
        {"wrong old password", "4712", false, {"Old password is invalid. Please try again."}, "4711"},
        {"cancel", "4711", true, {}, "4711"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(SecurityChk::Instance().SetPassword("4711"));
        prompter.prompts.clear();
        TSetUpdPwdDlg dlg;
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Update Password Dialog"));
        WhenShown(dlg, [&] {
            dlg.edOldPwd()->setText(c.oldPwd);
            dlg.edNewPwd1()->setText("n3w");
            dlg.edNewPwd2()->setText("n3w");
            (c.cancel ? dlg.CancelBtn() : dlg.OKBtn())->click();
        });
        ChangeUpdatePassword(dlg);
        EXPECT_EQ(prompter.Texts(), c.messages);
        if (!c.messages.isEmpty()) {
            EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Warning);
        }
        EXPECT_TRUE(SecurityChk::Instance().CheckPassword(c.validAfter.toStdString()));
    }
}

TEST_F(DialogTest, ChangePasswordThatCannotBeStoredSaysSo)
{
    SecurityChk::Instance().SetAppDataFolder(dir.path() + "/other");
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/other/Passw.dat"));   // a folder in the file's way
    TSetUpdPwdDlg dlg;
    WhenShown(dlg, [&] {
        dlg.edOldPwd()->setText(SecurityChk::kMasterPassword);
        dlg.edNewPwd1()->setText("n3w");
        dlg.edNewPwd2()->setText("n3w");
        dlg.OKBtn()->click();
    });
    ChangeUpdatePassword(dlg);
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Error);
    EXPECT_FALSE(SecurityChk::Instance().CheckPassword("n3w"));
}

// Checks the dialog as it shows: as tall as its content asks (no empty or cut strip at the
// bottom), as wide as its content or its title bar with the whole title needs, everything inside.
void ExpectSizedToWhatItHolds(QDialog& dialog)
{
    SCOPED_TRACE(dialog.windowTitle().toStdString());
    const QSize hint = dialog.sizeHint();
    EXPECT_EQ(dialog.height(), hint.height());
    EXPECT_EQ(dialog.width(), std::max(hint.width(), platform::TitleBarWidth(dialog)));
    for (QWidget* child : dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (child->isVisible()) {
            EXPECT_TRUE(dialog.rect().contains(child->geometry())) << child->objectName().toStdString();
        }
}

TEST_F(DialogTest, SmallDialogsAreSizedToWhatTheyHoldWithTheirTitleWhole)
{
    const struct {
        const char* what;
        std::function<void(QWidget* parent, int& shown)> run;
    } cases[] = {
        {"mode", [](QWidget* parent, int& shown) {
             TUpdModeDlg dlg(parent);
             WhenShown(dlg, [&] { ExpectSizedToWhatItHolds(dlg); ++shown; dlg.btnReadOnly()->click(); });
             dlg.ShowModal();
         }},
        {"update mode password", [](QWidget* parent, int& shown) {
             TfrmLogon dlg(parent);
             WhenShown(dlg, [&] { ExpectSizedToWhatItHolds(dlg); ++shown; dlg.btnCancel()->click(); });
             AskUpdateModePassword(dlg, false);
         }},
        {"factory code", [](QWidget* parent, int& shown) {
             TfrmLogon dlg(parent);
             WhenShown(dlg, [&] { ExpectSizedToWhatItHolds(dlg); ++shown; dlg.btnCancel()->click(); });
             AskFactoryCode(dlg);
         }},
        {"change password", [](QWidget* parent, int& shown) {
             TSetUpdPwdDlg dlg(parent);
             WhenShown(dlg, [&] { ExpectSizedToWhatItHolds(dlg); ++shown; dlg.CancelBtn()->click(); });
             ChangeUpdatePassword(dlg);
         }},
        {"date range", [](QWidget* parent, int& shown) {
             TfrmDateRangeDlg dlg(parent);
             WhenShown(dlg, [&] { ExpectSizedToWhatItHolds(dlg); ++shown; dlg.btnCancel()->click(); });
             dlg.ShowModal();
         }},
    };
    // Shown alone, and over a window as the program shows them.
    QWidget window;
    window.resize(800, 600);
    window.show();
    for (QWidget* parent : {static_cast<QWidget*>(nullptr), &window}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (parent ? " over a window" : ""));
            int shown = 0;
            c.run(parent, shown);
            EXPECT_EQ(shown, 1);
        }
    }
}

TEST(WaitWindow, ShowsIconOrBarAndWrapsTheBar)
{
    TWait wait;
    EXPECT_EQ(TWait::Current(), &wait);
    EXPECT_EQ(wait.windowTitle(), QStringLiteral("Information"));
    EXPECT_EQ(wait.Label1()->text(), QStringLiteral("Processing Data, Please Wait..."));
    EXPECT_TRUE(wait.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(wait.windowFlags() & Qt::WindowCloseButtonHint);

    wait.ShowAnimated();
    EXPECT_TRUE(wait.isVisible());
    EXPECT_TRUE(wait.AniIcon1()->isVisible());
    EXPECT_FALSE(wait.Progress()->isVisible());

    wait.ShowProgress(3);
    EXPECT_FALSE(wait.AniIcon1()->isVisible());
    EXPECT_TRUE(wait.Progress()->isVisible());
    std::vector<int> positions;
    for (int i = 0; i < 5; ++i) {
        wait.StepBar();
        positions.push_back(wait.Progress()->value());
    }
    EXPECT_EQ(positions, (std::vector<int>{1, 2, 3, 0, 1}));
    wait.hide();
}

TEST(WaitWindow, CurrentIsForgottenWithTheWindow)
{
    {
        TWait wait;
        EXPECT_EQ(TWait::Current(), &wait);
    }
    EXPECT_EQ(TWait::Current(), nullptr);
}

}  // namespace
