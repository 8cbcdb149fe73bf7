#include "tevrin/shell/commands/command_line.h"

#include "tests/common/fake_prompter.h"
#include "tests/shell/shell_fakes.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override { line = &CommandLine::Instance(); }
    void TearDown() override { CommandLine::Shutdown(); }

    // Registers a command that logs "name:argument" and then runs body (if any).
    void Add(const std::string& name, std::function<void(FnCommand&)> body = {})
    {
        line->Register(name, std::make_unique<FnCommand>([this, name, body](FnCommand& self) {
            log.push_back(name + ":" + self.Argument());
            if (body) body(self);
        }));
    }

    CommandLine* line = nullptr;
    std::vector<std::string> log;
};

TEST_F(CommandLineTest, PostWhileIdleRunsBeforeReturning)
{
    Add("A");
    line->Post("A", "x");
    EXPECT_EQ(log, (std::vector<std::string>{"A:x"}));
    EXPECT_FALSE(line->IsRunning());
    EXPECT_EQ(line->PendingCount(), 0);

    // A name nobody registered is ignored, and Find gives nothing for it.
    line->Post("Nobody", "y");
    EXPECT_EQ(line->Find("Nobody"), nullptr);
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(CommandLineTest, RegisterKeepsTheFirstCommandOfAName)
{
    Add("A");
    bool secondDestroyed = false;
    EXPECT_FALSE(line->Register("A", std::make_unique<FnCommand>([](FnCommand&) {}, &secondDestroyed)));
    EXPECT_TRUE(secondDestroyed);
    line->Post("A");
    EXPECT_EQ(log, (std::vector<std::string>{"A:"}));
}

TEST_F(CommandLineTest, SetOwnerReachesEveryCommand)
{
    Add("A");
    Add("B");
    FakeOwner owner;
    line->SetOwner(&owner);
    EXPECT_EQ(line->Find("A")->Owner(), &owner);
    EXPECT_EQ(line->Find("B")->Owner(), &owner);
}

TEST_F(CommandLineTest, PostsMadeDuringARunWaitAndRunInOrder)
{
    Add("B");
    Add("C");
    Add("A", [this](FnCommand&) {
        line->Post("B", "1");
        line->Post("C", "2");
        line->Post("B", "3");
        // Nothing ran yet: the posts wait behind the running command.
        EXPECT_TRUE(line->IsRunning());
        EXPECT_TRUE(line->IsBusy());
        EXPECT_EQ(line->PendingCount(), 3);
        log.push_back("A ends");
    });
    line->Post("A", "0");
    EXPECT_EQ(log, (std::vector<std::string>{"A:0", "A ends", "B:1", "C:2", "B:3"}));
    EXPECT_FALSE(line->IsBusy());
}

TEST_F(CommandLineTest, EachQueuedPostKeepsItsOwnParameters)
{
    std::vector<std::string> points;
    line->Register("WriteSinglePoint", std::make_unique<PointCommand>(points));
    Add("Long", [this](FnCommand&) {
        // Two pages write one point each while a long command runs.
        auto* write = line->FindAs<PointCommand>("WriteSinglePoint");
        ASSERT_NE(write, nullptr);
        write->SetPoint(332, "False");
        line->Post("WriteSinglePoint", "first");
        write->SetPoint(20, "0");
        line->Post("WriteSinglePoint", "second");
    });
    line->Post("Long");
    EXPECT_EQ(points, (std::vector<std::string>{"point 332=False arg=first", "point 20=0 arg=second"}));

    // Parameters stay set for a later post that does not set them again.
    line->Post("WriteSinglePoint", "again");
    EXPECT_EQ(points.back(), "point 20=0 arg=again");
}

TEST_F(CommandLineTest, PreparingTheNextPostDoesNotChangeTheRunningOne)
{
    std::vector<std::string> points;
    int runs = 0;
    line->Register("WriteSinglePoint", std::make_unique<PointCommand>(points, [this, &runs](PointCommand& self) {
        if (++runs > 1) return;
        // A handler running nested in this write prepares and posts another write.
        self.SetPoint(7, "seven");
        line->Post("WriteSinglePoint", "nested");
    }));
    auto* write = line->FindAs<PointCommand>("WriteSinglePoint");
    write->SetPoint(5, "five");
    line->Post("WriteSinglePoint", "outer");
    EXPECT_EQ(points, (std::vector<std::string>{"point 5=five arg=outer", "point 7=seven arg=nested"}));
}

// A command that waits the way a device exchange does (pumping messages) while a timer and a
// second timer-driven road post: the posts return at once and run afterwards, in order.
TEST_F(CommandLineTest, PostsFromMessagesPumpedInsideACommandWaitForIt)
{
    bool timerPosted = false;
    bool busyAtTimer = false;
    Add("Tick");
    Add("Exchange", [&](FnCommand&) {
        QTimer::singleShot(10, [&] {
            busyAtTimer = line->IsRunning();
            line->Post("Tick", "from timer");
            log.push_back("timer returned");
            timerPosted = true;
        });
        PumpUntil([&] { return timerPosted; });
        log.push_back("Exchange ends");
    });
    line->Post("Exchange");
    EXPECT_TRUE(busyAtTimer);
    EXPECT_EQ(log, (std::vector<std::string>{"Exchange:", "timer returned", "Exchange ends", "Tick:from timer"}));
}

// The poll timer's rule: a tick posts only when nothing waits in the queue. While a long
// command runs, the first tick queues one poll and the later ticks skip; the poll runs once,
// right after the long command.
TEST_F(CommandLineTest, PollTicksQueueAtMostOnePollBehindARunningCommand)
{
    QTimer pollTimer;
    pollTimer.setInterval(5);
    int ticks = 0;
    int posted = 0;
    int skipped = 0;
    QObject::connect(&pollTimer, &QTimer::timeout, [&] {
        ++ticks;
        if (line->PendingCount() >= 1) {
            ++skipped;
            return;
        }
        ++posted;
        line->Post("ExpressRead2");
    });
    Add("ExpressRead2", [&](FnCommand&) { pollTimer.stop(); });
    Add("Long", [&](FnCommand&) { PumpUntil([&] { return ticks >= 6; }); });

    pollTimer.start();
    line->Post("Long");
    EXPECT_EQ(posted, 1);
    EXPECT_GE(skipped, 5);
    EXPECT_EQ(log, (std::vector<std::string>{"Long:", "ExpressRead2:"}));
    EXPECT_FALSE(pollTimer.isActive());
}

// Whatever a command throws ends only that command: the failure is reported with the
// command's name and the posts queued behind it still run in the same run.
TEST_F(CommandLineTest, AThrowingCommandNeverStrandsTheQueue)
{
    struct Case {
        const char* what;
        std::function<void()> thrower;
        bool isCode;
        int code;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"device code", [] { throw 4; }, true, 4, "No Response from unit."},
        {"unknown code", [] { throw 99; }, true, 99, "Error code 99."},
        {"std exception", [] { throw std::runtime_error("bad data"); }, false, 0, "bad data"},
        {"anything else", [] { throw "text"; }, false, 0, "Unknown error."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CommandLine::Shutdown();
        line = &CommandLine::Instance();
        log.clear();
        std::vector<CommandLine::Failure> failures;
        line->SetFailureHandler([&](const CommandLine::Failure& f) { failures.push_back(f); });
        line->SetErrorText([](int code) { return code == 4 ? std::string("No Response from unit.") : std::string(); });

        Add("After");
        Add("Throws", [&](FnCommand&) { c.thrower(); });
        Add("First", [&](FnCommand&) {
            line->Post("Throws");
            line->Post("After", "still runs");
        });
        line->Post("First");
        EXPECT_EQ(log, (std::vector<std::string>{"First:", "Throws:", "After:still runs"}));
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].commandName, "Throws");
        EXPECT_EQ(failures[0].isCode, c.isCode);
        EXPECT_EQ(failures[0].code, c.code);
        EXPECT_EQ(failures[0].text, c.text);
        EXPECT_FALSE(line->IsRunning());

        // And the next post runs at once again.
        line->Post("After", "next");
        EXPECT_EQ(log.back(), "After:next");
    }
}

TEST_F(CommandLineTest, AnEscapedFailureIsShownInAnErrorBoxByDefault)
{
    FakePrompter prompter;
    Add("Throws", [](FnCommand&) { throw 6; });
    line->SetErrorText([](int) { return std::string("Cancelled by user."); });
    line->Post("Throws");
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].text, QStringLiteral("Cancelled by user."));
    EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Error);
}

TEST_F(CommandLineTest, ShutdownStopsEverything)
{
    bool destroyed = false;
    line->Register("A", std::make_unique<FnCommand>([this](FnCommand&) { log.push_back("A"); }, &destroyed));
    CommandLine::Shutdown();
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(CommandLine::Existing(), nullptr);
    EXPECT_TRUE(log.empty());
    line = &CommandLine::Instance();   // a fresh one for TearDown
}

// Shutdown asked from inside a command (the window closing while a command waits): the
// running command finishes, nothing queued behind it runs, and then everything is deleted.
TEST_F(CommandLineTest, ShutdownFromInsideACommandWaitsForIt)
{
    bool destroyed = false;
    Add("Queued");
    line->Register("Closing", std::make_unique<FnCommand>(
                                  [this](FnCommand& self) {
                                      line->Post("Queued");
                                      CommandLine::Shutdown();
                                      EXPECT_EQ(CommandLine::Existing(), line);   // still alive
                                      EXPECT_TRUE(line->IsStopping());
                                      line->Post("Queued");   // ignored now
                                      log.push_back("Closing ends with " + std::to_string(self.Argument().size()));
                                  },
                                  &destroyed));
    CommandLine* running = line;
    running->Post("Closing");
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(CommandLine::Existing(), nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"Closing ends with 0"}));
    line = &CommandLine::Instance();
}

}  // namespace

namespace {

// A device command's frame: a silent end while logged off, then a status text, a progress
// maximum and the page lock around the work.
class FrameCommand : public Command {
public:
    void Execute() override
    {
        if (GetFlag(CommandKeys::LoggingOn)) return;
        SetText(CommandKeys::StatusLineSpecialPanel, "Reading...");
        SetNumber(CommandKeys::localPBarMax, 3);
        SetFlag(CommandKeys::DisablePages, true);
        requestResult = Request(CommandKeys::SendToDatabase);
        date = GetDate(CommandKeys::TimestampTokenToDate, 42);
        SetFlag(CommandKeys::EnablePages, true);
        SetText(CommandKeys::StatusLineSpecialPanel, "");
    }
    int32_t requestResult = 0;
    double date = -1;
};

TEST(CommandOwnerKeys, TheFrameReportsThroughTheOwner)
{
    CommandLine& line = CommandLine::Instance();
    line.Register("Frame", std::make_unique<FrameCommand>());
    FakeOwner owner;
    line.SetOwner(&owner);

    owner.flags[CommandKeys::LoggingOn] = true;   // logged off: nothing but the test
    line.Post("Frame");
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"GetFlag LoggingOn"}));

    owner.calls.clear();
    owner.flags[CommandKeys::LoggingOn] = false;
    line.Post("Frame");
    EXPECT_EQ(owner.calls, (std::vector<std::string>{
                               "GetFlag LoggingOn",
                               "SetText StatusLineSpecialPanel Reading...",
                               "SetNumber localPBarMax 3",
                               "SetFlag DisablePages 1",
                               "Request SendToDatabase",
                               "GetDate TimestampTokenToDate",
                               "SetFlag EnablePages 1",
                               "SetText StatusLineSpecialPanel ",
                           }));

    // Without an owner the command gets the defaults and nothing breaks.
    line.SetOwner(nullptr);
    line.Post("Frame");
    auto* frame = line.FindAs<FrameCommand>("Frame");
    EXPECT_EQ(frame->requestResult, ICommandOwner::kDefaultRequest);
    EXPECT_EQ(frame->date, ICommandOwner::kDefaultDate);
    CommandLine::Shutdown();
}

}  // namespace
