#include "tevrin/shell/upgrade.h"

#include "platform/data_folder.h"
#include "tests/shell/cmd_fixture.h"
#include "tevrin/shell/commands/cmd_image.h"
#include "tevrin/shell/commands/command_line.h"
#include "tevrin/shell/main_form.h"
#include "tevrin/shell/security_chk.h"
#include "tevrin/shell/upgrade_steps.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using cmdtest::CommandTest;

namespace {

using Texts = std::vector<std::string>;

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void PutFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray Pattern(int n)
{
    QByteArray bytes(n, '\0');
    for (int i = 0; i < n; ++i) bytes[i] = char((i * 13 + i / 256) & 0xFF);
    return bytes;
}

// --- the step list ---------------------------------------------------------------------------

TEST(UpgradeStepsTest, StatesColourTheLabelsAndActiveOnesBlink)
{
    QLabel top, a, b, c;
    UpgradeSteps& steps = UpgradeSteps::Instance();
    steps.Clear();
    steps.AddStep(&top, {&a, &b, &c});
    auto colour = [](const QLabel& l) { return UpgradeSteps::LabelColour(&l); };
    const QColor blue = UpgradeSteps::DoneColour(), black = UpgradeSteps::IdleColour(),
                 yellow = UpgradeSteps::BlinkColour();

    steps.SetState(0, 1, Step::Done);   // one sub-step done: only its label
    EXPECT_EQ(colour(b), blue);
    EXPECT_EQ(colour(a), black);
    EXPECT_EQ(steps.Steps()[0].children[1].state, Step::Done);

    steps.SetState(0, 2, Step::Active);   // active: no colour until the blink
    EXPECT_EQ(colour(c), black);
    steps.Blink();
    EXPECT_EQ(colour(c), yellow);
    EXPECT_EQ(colour(b), blue);   // done steps don't blink
    steps.Blink();
    EXPECT_EQ(colour(c), black);

    steps.SetState(0, -1, Step::Done);   // all done
    for (const QLabel* l : {&top, &a, &b, &c}) EXPECT_EQ(colour(*l), blue);
    for (const Step& s : steps.Steps()[0].children) EXPECT_EQ(s.state, Step::Done);

    steps.SetState(0, -1, Step::Idle);   // back to idle
    for (const QLabel* l : {&top, &a, &b, &c}) EXPECT_EQ(colour(*l), black);
    for (const Step& s : steps.Steps()[0].children) EXPECT_EQ(s.state, Step::Idle);

    steps.SetState(5, 0, Step::Done);    // out of range: ignored
    steps.SetState(0, 7, Step::Done);
    EXPECT_EQ(steps.Steps()[0].state, Step::Idle);
    UpgradeSteps::Destroy();
}

// --- the compare -----------------------------------------------------------------------------

TEST(CompareFirmwareTest, CopyMustHoldEveryByteButTheImagesLast)
{
    QTemporaryDir dir;
    const QByteArray image = Pattern(1001);
    QByteArray middle = image.left(1000);
    middle[500] = char(middle[500] ^ 1);
    struct Case {
        const char* what;
        QByteArray copy;
        bool equal;
    };
    const Case cases[] = {
        {"every byte but the last", image.left(1000), true},
        {"same length as the image", image, false},
        {"two bytes short", image.left(999), false},
        {"one byte differs", middle, false},
        {"empty copy of a longer image", QByteArray(), false},
    };
    const QString imagePath = dir.filePath("fw.bin");
    PutFile(imagePath, image);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PutFile(dir.filePath("copy"), c.copy);
        EXPECT_EQ(CompareFirmwareFiles(imagePath, dir.filePath("copy")), c.equal);
    }
    // The image's last byte is not compared; a one-byte image matches an empty copy.
    PutFile(dir.filePath("one.bin"), "Z");
    PutFile(dir.filePath("copy"), QByteArray());
    EXPECT_TRUE(CompareFirmwareFiles(dir.filePath("one.bin"), dir.filePath("copy")));
    EXPECT_FALSE(CompareFirmwareFiles(dir.filePath("none.bin"), dir.filePath("copy")));
    EXPECT_FALSE(CompareFirmwareFiles(imagePath, dir.filePath("none")));
}

// --- the window, its status file and the flow ----------------------------------------------

class FakeHost : public IUpgradeHost {
public:
    bool LoggedOn() override { return loggedOn; }
    void LogOff() override
    {
        loggedOn = false;
        calls.push_back("LogOff");
    }
    void SetModeDisp(const QString& text) override { calls.push_back("Mode " + text.toStdString()); }
    void EnableUpgradeButton(bool on) override { calls.push_back(std::string("Upgrade ") + (on ? "1" : "0")); }
    void SetPagesEnabled(bool on) override { calls.push_back(std::string("Pages ") + (on ? "1" : "0")); }
    void SetWindowMenuChecked(bool on) override { calls.push_back(std::string("Menu ") + (on ? "1" : "0")); }
    void Restart() override { calls.push_back("Restart"); }
    void CloseMain() override { calls.push_back("Close"); }

    bool loggedOn = true;
    Texts calls;
};

// Records the posts of commands the flow only sends on.
class NamedCommand : public Command {
public:
    NamedCommand(std::string name, Texts& posts) : name_(std::move(name)), posts_(posts) {}
    void Execute() override { posts_.push_back(name_); }

private:
    std::string name_;
    Texts& posts_;
};

class UpgradeTest : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        ASSERT_TRUE(dataDir.isValid());
        oldCurrent = QDir::currentPath();
        SecurityChk::Destroy();
        SecurityChk::Instance().SetAppDataFolder(dataDir.path());
        owner.logonEnabled = false;
        CommandLine& line = CommandLine::Instance();
        line.Register("WriteImage", std::make_unique<WriteImageCommand>());
        line.Register("ReadImage", std::make_unique<ReadImageCommand>());
        line.Register("Reboot", std::make_unique<NamedCommand>("Reboot", posts));
        line.Register("UpgradeCommand", std::make_unique<NamedCommand>("UpgradeCommand", posts));
        line.SetOwner(&owner);
    }
    void TearDown() override
    {
        window.reset();
        UpgradeSteps::Destroy();
        QDir::setCurrent(oldCurrent);
        SecurityChk::Destroy();
        CommandTest::TearDown();
    }
    QString Data(const char* name) const { return dataDir.filePath(QString::fromLatin1(name)); }
    TfmUpgrade& Window()
    {
        if (!window) window = std::make_unique<TfmUpgrade>();
        return *window;
    }
    void RunFlow() { RunFirmwareUpgrade(host, CommandLine::Instance(), Window()); }
    QColor Colour(QLabel* l) const { return UpgradeSteps::LabelColour(l); }

    QTemporaryDir dataDir;
    QTemporaryDir filesDir;
    QString oldCurrent;
    FakeHost host;
    Texts posts;
    std::unique_ptr<TfmUpgrade> window;
};

// The record of an earlier upgrade is read at creation: steps done are blue, a reset request
// clears everything; a missing record is made as three "0" lines.
TEST_F(UpgradeTest, WindowTakesUpTheRecordOfAnEarlierUpgrade)
{
    struct Case {
        const char* file;   // nullptr: no file
        std::array<uint8_t, 3> flags;
        bool labelsDone;   // top steps 0 and 1 colour the same labels
        QByteArray fileAfter;
    };
    const Case cases[] = {
        {nullptr, {0, 0, 0}, false, "0\n0\n0\n"},
        {"1\n1\n0\n", {1, 1, 0}, true, "1\n1\n0\n"},
        {"1\r\n0\r\n0\r\n", {1, 0, 0}, true, "1\r\n0\r\n0\r\n"},
        {"1\n1\n1\n", {0, 0, 0}, false, "1\n1\n1\n"},   // reset request: cleared, not saved
        {"2\n01\nx\n", {0, 1, 0}, true, "2\n01\nx\n"},   // only a leading 1 sets a flag
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file ? c.file : "none");
        QFile::remove(Data("UpgradeStatus.dat"));
        if (c.file) PutFile(Data("UpgradeStatus.dat"), c.file);
        window.reset();
        TfmUpgrade& w = Window();
        EXPECT_EQ(w.StepDone, c.flags);
        EXPECT_EQ(w.UpgradeIdle, 1);
        EXPECT_EQ(FileBytes(Data("UpgradeStatus.dat")), c.fileAfter);
        EXPECT_EQ(Colour(w.Step2_2), c.labelsDone ? UpgradeSteps::DoneColour() : UpgradeSteps::IdleColour());
    }
}

TEST_F(UpgradeTest, StatusFileRoundTripAndShortFile)
{
    TfmUpgrade& w = Window();
    w.StepDone = {1, 0, 1};
    EXPECT_EQ(w.SaveStatus(Data("s.dat")), 0);
    EXPECT_EQ(FileBytes(Data("s.dat")), "1\n0\n1\n");
    w.StepDone = {0, 0, 0};
    EXPECT_EQ(w.ReadStatus(Data("s.dat")), 0);
    EXPECT_EQ(w.StepDone, (std::array<uint8_t, 3>{1, 0, 1}));

    PutFile(Data("short.dat"), "1\n");
    w.StepDone = {0, 1, 1};
    EXPECT_EQ(w.ReadStatus(Data("short.dat")), 3);
    EXPECT_EQ(w.StepDone[0], 1);
    EXPECT_EQ(w.SaveStatus(dataDir.filePath("no/such/folder/s.dat")), 1);
}

// The whole road against the simulated analyzer: the image goes in, comes back equal, the
// record says so, the analyzer is rebooted and the program restarts.
TEST_F(UpgradeTest, VerifiedUpgradeRebootsAndRestarts)
{
    PutFile(Data("OldConfig.cfg"), "<cfg/>");
    PutFile(Data("K41rb.tmp"), "stale");
    const QByteArray image = Pattern(1050);
    const QString path = filesDir.filePath("fw.bin");
    PutFile(path, image);
    prompter.files.push_back(path);
    prompter.answers = {platform::mrOk};
    unit.SetImageWriteBusyPolls(2);

    RunFlow();

    EXPECT_EQ(unit.ImageMemory(), image.left(1049));
    EXPECT_EQ(posts, (Texts{"Reboot"}));
    EXPECT_FALSE(QFile::exists(Data("K41rb.tmp")));
    EXPECT_EQ(FileBytes(Data("UpgradeStatus.dat")), "1\n1\n0\n");
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_TRUE(prompter.prompts[0].text.startsWith("If firmware writing and verification were successful"));
    EXPECT_EQ(prompter.fileRequests.at(0).caption, "Open Sentrel Firmware File");
    EXPECT_EQ(host.calls, (Texts{"Mode UPGRADE", "Upgrade 0", "Menu 1", "Pages 0", "Pages 0", "LogOff",
                                 "Mode OFF LINE", "Restart"}));
    TfmUpgrade& w = Window();
    EXPECT_EQ(w.UpgradeIdle, 1);
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.Back()->isVisible());
    for (QLabel* l : {w.step2, w.Step2_1, w.Step2_2}) EXPECT_EQ(Colour(l), UpgradeSteps::DoneColour());
    // The bar went over both passes: six blocks written, six read back.
    EXPECT_EQ(w.Progress->maximum(), 12);
    EXPECT_EQ(w.Progress->value(), 12);
}

// The roads that end early: each says why (or asks), logs off and gives the pages back; no
// record is written and nothing is rebooted.
TEST_F(UpgradeTest, EarlyEndsLogOffWithoutReboot)
{
    const QString path = filesDir.filePath("fw.bin");
    PutFile(path, Pattern(450));
    struct Case {
        const char* what;
        bool oldConfig;
        std::deque<int> answers;
        std::deque<QString> files;
        bool failWrite;
        QString message;   // the last prompt
        bool readBackLeft;
        std::function<void()> arrange = [] {};
    };
    const Case cases[] = {
        {"no old configuration, No", false, {platform::mrNo}, {path}, false,
         "Are you sure you want to write firmware without Reading Old Configuration first?", false},
        {"no file chosen", true, {}, {}, false, "Upgrade firmware was terminated. GUI will LOG OFF.", false},
        {"chosen file gone", true, {}, {filesDir.filePath("gone.bin")}, false, "", false},
        {"write fails", true, {}, {path}, true, "Verification fail! Please Write Image again.", true},
        // The third block's read is refused: no read-back copy is kept, and it is told as
        // missing, with the data folder.
        {"read-back fails part-way", true, {}, {path}, false,
         "File " + path + " or K41rb.tmp are missing error.\ncurrent directory is " + dataDir.path(), false,
         [this] {
             sim::FaultRule rule;
             rule.fault = sim::Fault::Reject;
             rule.type = 58;
             rule.skip = 2;
             unit.AddFault(rule);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(Data("OldConfig.cfg"));
        if (c.oldConfig) PutFile(Data("OldConfig.cfg"), "<cfg/>");
        QFile::remove(Data("UpgradeStatus.dat"));
        prompter.prompts.clear();
        prompter.answers = c.answers;
        prompter.files = c.files;
        unit.SetImageMemory(QByteArray());
        unit.ClearFaults();
        if (c.failWrite) unit.FailNext(sim::Fault::Reject, 1, 46);
        c.arrange();
        host = FakeHost();
        window.reset();
        Window();
        QFile::remove(Data("UpgradeStatus.dat"));

        RunFlow();

        EXPECT_TRUE(posts.empty());
        EXPECT_FALSE(QFile::exists(Data("UpgradeStatus.dat")));
        EXPECT_EQ(QFile::exists(Data("K41rb.tmp")), c.readBackLeft);
        EXPECT_EQ(prompter.prompts.empty() ? QString() : prompter.prompts.back().text, c.message);
        EXPECT_FALSE(host.loggedOn);
        ASSERT_FALSE(host.calls.empty());
        EXPECT_EQ(host.calls.back(), "Pages 1");
        EXPECT_EQ(Window().UpgradeIdle, 1);
        EXPECT_FALSE(Window().isVisible());
    }
}

// Logged off, the flow connects first; a connection that doesn't come up ends it at once.
TEST_F(UpgradeTest, ConnectionThatFailsEndsTheFlow)
{
    host.loggedOn = false;
    RunFlow();
    EXPECT_EQ(posts, (Texts{"UpgradeCommand"}));
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_EQ(unit.RequestCount(), 0);
}

// While another command runs the flow does not start: its posts would only queue behind it.
TEST_F(UpgradeTest, BusyQueueRefusesTheFlow)
{
    PutFile(Data("OldConfig.cfg"), "<cfg/>");
    prompter.files.push_back(filesDir.filePath("fw.bin"));
    CommandLine& line = CommandLine::Instance();
    Window();
    class Runner : public Command {
    public:
        explicit Runner(std::function<void()> f) : f_(std::move(f)) {}
        void Execute() override { f_(); }

    private:
        std::function<void()> f_;
    };
    // The flow started from inside a running command.
    line.Register("RunFlow", std::make_unique<Runner>([this] { RunFlow(); }));
    line.Post("RunFlow");

    EXPECT_EQ(prompter.Texts(), QStringList{"Please wait for current task to finish, then proceed."});
    EXPECT_TRUE(prompter.fileRequests.empty());
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(posts.empty());
    EXPECT_EQ(unit.RequestCount(), 0);
}

// The Hide button offers to forget the record while no upgrade runs.
TEST_F(UpgradeTest, HideButtonForgetsTheRecordOnYes)
{
    for (int answer : {platform::mrNo, platform::mrYes}) {
        SCOPED_TRACE(answer);
        PutFile(Data("UpgradeStatus.dat"), "1\n1\n0\n");
        PutFile(Data("OldConfig.cfg"), "<cfg/>");
        window.reset();
        TfmUpgrade& w = Window();
        w.ShowWithBack();
        prompter.answers = {answer};
        w.HideBClick();
        const bool forgot = answer == platform::mrYes;
        EXPECT_EQ(QFile::exists(Data("UpgradeStatus.dat")), !forgot);
        EXPECT_EQ(QFile::exists(Data("OldConfig.cfg")), !forgot);
        EXPECT_EQ(w.AnyStepDone(), !forgot);
        EXPECT_EQ(Colour(w.Step2_1), forgot ? UpgradeSteps::IdleColour() : UpgradeSteps::DoneColour());
        EXPECT_FALSE(w.isVisible());
        EXPECT_FALSE(w.Back()->isVisible());
    }
}

}  // namespace

// --- the main window's side -------------------------------------------------------------------

namespace {

// The one-second check after start brings the window back when the record of an earlier
// upgrade says a verified image was written; the menu item hides it again.
TEST(UpgradeMainWindowTest, RecordBringsTheWindowBackAfterStart)
{
    FakePrompter prompter;
    TFormMain::SetLibraryFolder(QString());
    const QString status = QDir(platform::UserDataFolder()).filePath(QStringLiteral("UpgradeStatus.dat"));
    ASSERT_TRUE(QDir().mkpath(platform::UserDataFolder()));
    for (bool recorded : {false, true}) {
        SCOPED_TRACE(recorded);
        PutFile(status, recorded ? "1\n1\n0\n" : "0\n0\n0\n");
        {
            TFormMain form;
            ASSERT_NE(form.fmUpgrade(), nullptr);
            for (int tick = 1; tick <= 11; ++tick) form.Timer1Timer();
            TfmUpgrade& w = *form.fmUpgrade();
            EXPECT_EQ(w.isVisible(), recorded);
            EXPECT_EQ(w.Back()->isVisible(), recorded);
            EXPECT_EQ(form.Action("UpgradeWindow")->isChecked(), recorded);
            if (recorded) {
                form.Action("UpgradeWindow")->trigger();
                EXPECT_FALSE(w.isVisible());
                EXPECT_FALSE(w.Back()->isVisible());
            }
        }
    }
    QFile::remove(status);
}

}  // namespace
