#include "tevrin/shell/commands/cmd_image.h"

#include "tests/common/file_size_limit.h"
#include "tests/shell/cmd_fixture.h"
#include "tevrin/shell/commands/cmd_common.h"
#include "tevrin/shell/security_chk.h"
#include "tevrin/shell/state_mgr.h"

#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <utility>

using cmdtest::CommandTest;

namespace {

using Texts = std::vector<std::string>;
using Blocks = std::vector<std::pair<uint32_t, int>>;   // (address, count) of each request

class ImageTest : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        ASSERT_TRUE(dataDir.isValid());
        ASSERT_TRUE(filesDir.isValid());
        oldCurrent = QDir::currentPath();
        SecurityChk::Destroy();
        SecurityChk::Instance().SetAppDataFolder(dataDir.path());
        image::SetProgressBar(&bar);
        owner.logonEnabled = false;   // logged on
        StateMgr::Instance().SetLogOn();
        StateMgr::Instance().SetIdle();
    }
    void TearDown() override
    {
        image::SetProgressBar(nullptr);
        QDir::setCurrent(oldCurrent);
        SecurityChk::Destroy();
        CommandTest::TearDown();
    }

    // An image of n bytes, each byte a function of its offset so that a shifted block shows.
    static QByteArray Pattern(int n)
    {
        QByteArray bytes(n, '\0');
        for (int i = 0; i < n; ++i) bytes[i] = char((i * 7 + i / 256) & 0xFF);
        return bytes;
    }
    QString MakeImage(const QByteArray& bytes, const QString& name = QStringLiteral("fw.bin"))
    {
        const QString path = filesDir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    void Run(Command& command)
    {
        command.SetOwner(&owner);
        command.LoadParameters(command.SaveParameters());
        command.Execute();
    }
    void Write(const QString& path)
    {
        write.SetFileName(path);
        Run(write);
    }
    void Read(const QString& path)
    {
        read.SetFileName(path);
        Run(read);
    }
    // (address, count) of every request of the type (46 carries a memory block, 58 address + count).
    Blocks BlocksOf(int type) const
    {
        Blocks out;
        for (const QByteArray& r : unit.RequestsOfType(type)) {
            uint32_t address;
            std::memcpy(&address, r.constData() + 2, 4);
            out.emplace_back(address, uint8_t(r.at(6)));
        }
        return out;
    }
    QByteArray ReadBack() const
    {
        QFile f(dataDir.filePath(image::kReadBackFileName));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool ReadBackExists() const { return QFile::exists(dataDir.filePath(image::kReadBackFileName)); }
    void ExpectWindowRestored()
    {
        EXPECT_TRUE(owner.pagesEnabled);
        EXPECT_FALSE(StateMgr::Instance().IsBusy());
    }

    QTemporaryDir dataDir;
    QTemporaryDir filesDir;
    QString oldCurrent;
    QProgressBar bar;
    WriteImageCommand write;
    ReadImageCommand read;
};

// The full round trip: the analyzer holds every byte of the image but the last, and the
// read-back file holds the same bytes, for lengths around the block edges.
TEST_F(ImageTest, ImageIsWrittenAndReadBackByteForByte)
{
    struct Case {
        int length;
        Blocks blocks;   // expected requests, for writing and for reading
    };
    const Case cases[] = {
        {1, {{0, 0}}},
        {2, {{0, 1}}},
        {199, {{0, 198}}},
        {201, {{0, 200}, {200, 0}}},
        {1001, {{0, 200}, {200, 200}, {400, 200}, {600, 200}, {800, 200}, {1000, 0}}},
        {1050, {{0, 200}, {200, 200}, {400, 200}, {600, 200}, {800, 200}, {1000, 49}}},
        // Multiples of 200: the last block goes out as the final one with 199 bytes.
        {200, {{0, 199}}},
        {1000, {{0, 200}, {200, 200}, {400, 200}, {600, 200}, {800, 199}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        unit.SetImageMemory(QByteArray());
        unit.ClearLog();
        owner.calls.clear();
        clock.sleeps.clear();
        const QByteArray bytes = Pattern(c.length);
        const QString path = MakeImage(bytes);

        Write(path);
        EXPECT_EQ(BlocksOf(46), c.blocks);
        EXPECT_EQ(unit.ImageMemory(), bytes.left(c.length - 1));
        // One poll per block (the analyzer is never busy), each followed by 200 ms.
        EXPECT_EQ(unit.RequestCount(48), int(c.blocks.size()));
        EXPECT_EQ(clock.sleeps, std::vector<int>(c.blocks.size(), 200));
        EXPECT_EQ(owner.progressMax, int(c.blocks.size()));
        EXPECT_EQ(bar.maximum(), 2 * int(c.blocks.size()));
        EXPECT_EQ(bar.value(), int(c.blocks.size()));
        EXPECT_EQ(owner.PanelTexts().back(), "");
        EXPECT_EQ(owner.PanelTexts().rbegin()[1], "Write Image Finished.");
        ExpectWindowRestored();

        owner.calls.clear();
        Read(path);
        EXPECT_EQ(BlocksOf(58), c.blocks);
        EXPECT_EQ(ReadBack(), bytes.left(c.length - 1));
        EXPECT_EQ(read.ImageLength(), c.length);
        // Writing and reading back fill the upgrade window's bar exactly.
        EXPECT_EQ(bar.value(), bar.maximum());
        EXPECT_EQ(owner.PanelTexts().front(), "Reading Image...");
        EXPECT_EQ(owner.PanelTexts().rbegin()[1], "Read Image Finished.");
        EXPECT_EQ(owner.PanelTexts().back(), "");
        EXPECT_TRUE(prompter.prompts.empty());
    }
}

// The write keeps the pages disabled and the application busy for every block; the read-back
// touches neither.
TEST_F(ImageTest, WriteHoldsTheWindowBusyAndReadDoesNot)
{
    std::vector<std::string> seen;
    cmdtest::SpyHandler spy(unit, [&](const QByteArray& r) {
        seen.push_back(std::to_string(uint8_t(r.at(1))) + (owner.pagesEnabled ? " pages" : "") +
                       (StateMgr::Instance().IsBusy() ? " busy" : ""));
    });
    engine.SetHandler(&spy);
    const QString path = MakeImage(Pattern(250));

    Write(path);
    EXPECT_EQ(seen, (Texts{"46 busy", "48 busy", "46 busy", "48 busy"}));
    ExpectWindowRestored();

    seen.clear();
    Read(path);
    EXPECT_EQ(seen, (Texts{"58 pages", "58 pages"}));
}

// A busy analyzer is polled every 200 ms until it has stored the block; one that stays busy is
// given 80 polls, and the next block is never sent.
TEST_F(ImageTest, BusyPollsWaitForEachBlockAndGiveUpAfterEighty)
{
    const QString path = MakeImage(Pattern(450));   // three blocks

    unit.SetImageWriteBusyPolls(3);
    Write(path);
    EXPECT_EQ(RequestTypes(), (std::vector<int>{46, 48, 48, 48, 48, 46, 48, 48, 48, 48, 46, 48, 48, 48, 48}));
    EXPECT_EQ(clock.sleeps, std::vector<int>(12, 200));
    EXPECT_EQ(unit.ImageMemory(), Pattern(449));
    EXPECT_EQ(owner.PanelTexts().rbegin()[1], "Write Image Finished.");

    unit.ClearLog();
    owner.calls.clear();
    clock.sleeps.clear();
    unit.SetImageWriteBusyPolls(sim::kForever);
    Write(path);
    EXPECT_EQ(unit.RequestCount(46), 1);
    EXPECT_EQ(unit.RequestCount(48), 80);
    EXPECT_EQ(clock.sleeps, std::vector<int>(80, 200));
    EXPECT_EQ(owner.panel, "Write Image fail!");
    EXPECT_EQ(owner.progressMax, 1);
    EXPECT_TRUE(prompter.prompts.empty());
    ExpectWindowRestored();
}

// A block that fails ends the write there, says so and gives the window back.
TEST_F(ImageTest, FailedBlockEndsTheWrite)
{
    struct Case {
        const char* what;
        sim::FaultRule rule;
        int blockRequests;   // requests of 46 sent in all
        QStringList boxes;
        std::string panel;
        int progressMax;
    };
    const Case cases[] = {
        {"third block refused", {sim::Fault::Reject, 46, 1, 2}, 3, {" Write Image fail!"}, "Writing Image...", 5},
        {"final block silent", {sim::Fault::Silence, 46, 1, 4}, 5, {" Write Image fail!"}, "Writing Image...", 5},
        {"second poll silent", {sim::Fault::Silence, 48, 1, 1}, 2, {}, "Write Image fail!", 0},
        {"busy reply of wrong type", {sim::Fault::WrongType, 48, 1, 0}, 1, {}, "Write Image fail!", 0},
    };
    const QString path = MakeImage(Pattern(850));   // four full blocks and a final one
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        unit.ClearLog();
        unit.ClearFaults();
        unit.AddFault(c.rule);
        owner.calls.clear();
        prompter.prompts.clear();

        Write(path);
        EXPECT_EQ(unit.RequestCount(46), c.blockRequests);
        EXPECT_EQ(prompter.Texts(), c.boxes);
        EXPECT_EQ(owner.panel, c.panel);
        EXPECT_EQ(owner.progressMax, c.progressMax);
        ExpectWindowRestored();
    }
}

// A failed block (refused, or a reply cut short of its own count) ends the read-back with a
// box; no read-back file is left for the compare, not even the one an earlier run made.
TEST_F(ImageTest, FailedBlockEndsTheReadBackWithoutAFile)
{
    const QByteArray bytes = Pattern(650);
    unit.SetImageMemory(bytes);
    const QString path = MakeImage(bytes);
    for (const sim::FaultRule& rule : {sim::FaultRule{sim::Fault::Reject, 58, 1, 2},
                                       sim::FaultRule{sim::Fault::ShortReply, 58, 1, 1, 150}}) {
        SCOPED_TRACE(int(rule.skip));
        Read(path);
        ASSERT_TRUE(ReadBackExists());   // the earlier copy
        unit.ClearLog();
        unit.ClearFaults();
        unit.AddFault(rule);
        prompter.prompts.clear();

        Read(path);
        EXPECT_EQ(unit.RequestCount(58), rule.skip + 1);
        EXPECT_EQ(prompter.Texts(), QStringList{" Read Image fail!"});
        EXPECT_FALSE(ReadBackExists());
        EXPECT_EQ(owner.panel, "Reading Image...");
    }
}

// A copy that cannot be stored (a full disk) is a failed read, said with its reason; no cut copy
// is left behind.
TEST_F(ImageTest, ReadBackThatCannotBeStoredSaysWhyAndLeavesNoFile)
{
    const QByteArray bytes = Pattern(650);
    unit.SetImageMemory(bytes);
    const QString path = MakeImage(bytes);
    {
        testsupport::FileSizeLimit full(0);
        Read(path);
    }
    EXPECT_EQ(unit.RequestCount(58), 4);
    EXPECT_EQ(prompter.Texts(), QStringList{"Read Image fail!\nFile too large"});
    EXPECT_FALSE(ReadBackExists());
    EXPECT_EQ(QDir(dataDir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

// The read-back takes what the analyzer's count byte says, never more than it asked for: an
// image memory shorter than the image gives a shorter copy (the compare then fails), and a
// count byte above the request is cut to the request.
TEST_F(ImageTest, ReadBackTakesTheReplyCountButNeverMoreThanAsked)
{
    const QByteArray bytes = Pattern(450);
    const QString path = MakeImage(bytes);
    unit.SetImageMemory(bytes.left(300));
    Read(path);
    EXPECT_EQ(ReadBack(), bytes.left(300));

    rtdbtest::ScriptedAnalyzer scripted;
    engine.SetHandler(&scripted);
    MemoryBlock reply{};
    reply.address = 0;
    reply.count = 255;
    std::memset(reply.data, 'x', sizeof reply.data);
    const QByteArray payload(reinterpret_cast<const char*>(&reply), sizeof reply);
    for (int k = 0; k < 3; ++k) scripted.replies.push_back(rtdbtest::ReplyMessage(59, payload));
    Read(path);
    EXPECT_EQ(ReadBack(), QByteArray(200, 'x') + QByteArray(200, 'x') + QByteArray(49, 'x'));
    EXPECT_TRUE(prompter.prompts.empty());
}

// The user's cancel (the engine's cancel flag, set while a block is on its way) ends either
// loop at the next request: nothing more is sent.
TEST_F(ImageTest, UserCancelEndsEitherLoopAtOnce)
{
    const QByteArray bytes = Pattern(2000);
    const QString path = MakeImage(bytes);
    int seen = 0;
    cmdtest::SpyHandler spy(unit, [&](const QByteArray&) {
        if (++seen == 3) engine.userCancel = true;   // during the second block
    });
    engine.SetHandler(&spy);

    Write(path);
    EXPECT_EQ(seen, 3);
    EXPECT_EQ(BlocksOf(46), (Blocks{{0, 200}, {200, 200}}));
    EXPECT_EQ(owner.panel, "Write Image fail!");
    ExpectWindowRestored();

    engine.userCancel = false;
    unit.SetImageMemory(bytes);
    seen = 0;
    prompter.prompts.clear();
    Read(path);
    EXPECT_EQ(seen, 3);
    EXPECT_EQ(prompter.Texts(), QStringList{" Read Image fail!"});
    EXPECT_FALSE(ReadBackExists());
}

// An image that can't be sent is reported before anything goes to the analyzer; the window is
// left as it was.
TEST_F(ImageTest, ImageFileThatCannotBeSentIsReported)
{
    const QString missing = filesDir.filePath("none.bin");
    const QString empty = MakeImage(QByteArray(), "empty.bin");
    const QString tooLarge = filesDir.filePath("huge.bin");
    {
        QFile f(tooLarge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(image::kMaxImageLength + 1));   // sparse
    }
    struct Case {
        QString path;
        QString box;
        platform::DlgType type;
    };
    const Case cases[] = {
        {missing, "Image file doesn't exist!\n", platform::DlgType::Warning},
        {filesDir.path(), "Image file doesn't exist!\n", platform::DlgType::Warning},
        {QString(), "Image file doesn't exist!\n", platform::DlgType::Warning},
        {empty, "Image file length is zero!", platform::DlgType::Custom},
        {tooLarge, "Image file is too large!", platform::DlgType::Custom},
    };
    for (const Case& c : cases) {
        for (bool writing : {true, false}) {
            SCOPED_TRACE((writing ? "write " : "read ") + c.path.toStdString());
            prompter.prompts.clear();
            owner.calls.clear();
            writing ? Write(c.path) : Read(c.path);
            ASSERT_EQ(prompter.prompts.size(), 1u);
            EXPECT_EQ(prompter.prompts[0].text, c.box);
            EXPECT_EQ(prompter.prompts[0].type, c.type);
            EXPECT_EQ(unit.RequestCount(), 0);
            EXPECT_TRUE(owner.CallsStarting("SetFlag ").empty());
            EXPECT_FALSE(StateMgr::Instance().IsBusy());
            EXPECT_FALSE(ReadBackExists());
        }
    }
}

// Logged off, neither command sends anything or looks at the file.
TEST_F(ImageTest, LoggedOffDoesNothing)
{
    owner.logonEnabled = true;
    Write(filesDir.filePath("none.bin"));
    Read(filesDir.filePath("none.bin"));
    EXPECT_EQ(unit.RequestCount(), 0);
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_TRUE(owner.PanelTexts().empty());
}

// The upgrade's connect opens the link and reads nothing; a link that doesn't come up leaves
// the window logged off with its pages enabled.
TEST_F(ImageTest, UpgradeConnectOpensTheLinkWithoutReading)
{
    struct Case {
        const char* what;
        int connectResult;
        bool connectThrows;
        QStringList boxes;
        Texts panel;
        bool loggedOn;
    };
    const Case cases[] = {
        {"link up", 0, false, {}, {"Logon...", "Logon Successful.", ""}, true},
        {"dial-up failed", 1, false, {"Logon cancelled."}, {"Logon...", ""}, false},
        // The engine has named the port that did not open; nothing reads as a cancel.
        {"port not opened", 5, false, {}, {"Logon...", ""}, false},
        {"connect raises", 0, true, {"Logon fail!"}, {"Logon...", "Logon fail.", ""}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        owner = cmdtest::CmdOwner();
        prompter.prompts.clear();
        engine.linkCalls.clear();
        engine.userCancel = true;   // left from the last logoff
        engine.connectResult = c.connectResult;
        engine.connectThrows = c.connectThrows;
        SetExitRequested(true);

        UpgradeCommand command;
        Run(command);
        EXPECT_EQ(engine.linkCalls, (Texts{"Cancel 0", "Connect"}));
        EXPECT_FALSE(ExitRequested());
        EXPECT_EQ(prompter.Texts(), c.boxes);
        EXPECT_EQ(owner.PanelTexts(), c.panel);
        EXPECT_EQ(owner.logonEnabled, !c.loggedOn);
        EXPECT_EQ(owner.logoffEnabled, c.loggedOn);
        EXPECT_TRUE(owner.pagesEnabled);
        EXPECT_EQ(unit.RequestCount(), 0);
    }
}

}  // namespace
