#include "tevrin/shell/commands/cmd_log.h"

#include "tests/shell/cmd_fixture.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/rtdb/unique_log_id.h"
#include "tevrin/rtdb/write_trace.h"
#include "tevrin/shell/state_mgr.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <utility>

using cmdtest::CommandTest;

namespace {

using Texts = std::vector<std::string>;
using Blocks = std::vector<std::pair<uint32_t, int>>;   // {address, count} of each block request

constexpr int kArchiveRead = 40;
constexpr int kLogStatus = 42;
constexpr int kEventRead = 44;
constexpr int kReadLogConfig = 36;
constexpr int kWriteLogConfig = 38;
constexpr int kWipeEvents = 52;
constexpr int kWipeArchive = 54;

// A memory whose every byte tells its place (a byte moved, lost or doubled shows).
QByteArray Pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i) bytes[i] = char((i * 7 + i / 251) & 0xFF);
    return bytes;
}

QByteArray Bytes(const std::vector<uint8_t>& v)
{
    return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

LogConfigRecord Record(int seed)
{
    LogConfigRecord r{};
    r.LOG_NUMBER = uint8_t(seed);
    r.Enable = 1;
    r.Frequency = uint16_t(60 * (seed + 1));
    r.LogIdCode = uint8_t(9 + 8 * seed);
    r.ParametersInLog = 3;
    for (int k = 0; k < 8; ++k) r.UniqueId[k] = uint16_t(100 * seed + k + 1);
    return r;
}

bool Same(const LogConfigRecord& a, const LogConfigRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

QByteArray TraceText()
{
    QFile trace(write_trace::TraceFilePath());
    return trace.open(QIODevice::ReadOnly) ? trace.readAll() : QByteArray();
}

class LogCommandTest : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        LogOnForUpdate();
        LogDBManager::Instance()->Clear();
        LogDBManager::Instance()->KeepRawBytes(true);   // what the worker was handed
    }
    void TearDown() override
    {
        LogDBManager::DestroyInstance();
        CommandTest::TearDown();
    }

    void Run(Command& command)
    {
        command.SetOwner(&owner);
        command.Execute();
    }

    Blocks BlockRequests(int type) const
    {
        Blocks blocks;
        for (const QByteArray& r : unit.RequestsOfType(type)) {
            uint32_t address;
            std::memcpy(&address, r.constData() + 2, 4);
            blocks.emplace_back(address, uint8_t(r.at(6)));
        }
        return blocks;
    }

    static Blocks Expected(int size)
    {
        Blocks blocks;
        for (int a = 0; a < size; a += 200) blocks.emplace_back(uint32_t(a), std::min(200, size - a));
        return blocks;
    }

    void ExpectWindowRestored()
    {
        EXPECT_FALSE(wait->isVisible());
        EXPECT_TRUE(owner.pagesEnabled);
        EXPECT_FALSE(StateMgr::Instance().IsBusy());
    }

    // The keys the archive read hands to the archive page, in order.
    Texts HandOverKeys() const
    {
        Texts keys;
        for (const std::string& c : owner.CallsStarting("SetFlag "))
            if (c.find("UpdateLogView") != std::string::npos || c.find("SaveLogFile") != std::string::npos)
                keys.push_back(c);
        return keys;
    }

    void LogOff() { owner.logonEnabled = true; }
};

const Texts kHandOver = {"SetFlag UpdateLogView 1", "SetFlag SaveLogFile 1"};

// --- archive memory ------------------------------------------------------------------------------

TEST_F(LogCommandTest, ReadALogHandsTheWholeArchiveByteForByteToTheWorkerInBlocksOf200)
{
    for (int size : {0, 1, 199, 200, 1000, 1050, 4321}) {
        SCOPED_TRACE(size);
        unit.ClearLog();
        owner.calls.clear();
        prompter.prompts.clear();
        const QByteArray memory = Pattern(size);
        unit.SetArchiveMemory(memory);
        LogDBManager::Instance()->FeedByte(0xAA);   // an earlier archive goes first

        ReadALog command;
        Run(command);

        EXPECT_EQ(BlockRequests(kArchiveRead), Expected(size));
        EXPECT_EQ(Bytes(LogDBManager::Instance()->RawBytes()), memory);
        EXPECT_EQ(db->ArchiveLength(), 0u);   // the worker frees the image once it has it all
        EXPECT_EQ(HandOverKeys(), kHandOver);
        EXPECT_EQ(owner.progressMax, size / 200);
        EXPECT_EQ(owner.PanelTexts(), (Texts{"Reading Log...", "Read Log Successful", ""}));
        EXPECT_TRUE(prompter.prompts.empty());
        ExpectWindowRestored();
    }
}

TEST_F(LogCommandTest, ReadALogTakesABlockThatSucceedsWithinThreeTries)
{
    const QByteArray memory = Pattern(650);
    unit.SetArchiveMemory(memory);
    // No answer, a refusal, an answer of another type.
    for (auto [fault, value] : {std::pair{sim::Fault::Silence, -1}, std::pair{sim::Fault::Reject, -1},
                                std::pair{sim::Fault::WrongType, 99}}) {
        SCOPED_TRACE(int(fault));
        unit.ClearLog();
        prompter.prompts.clear();
        // The second block fails twice, then answers.
        unit.AddFault({fault, kArchiveRead, 2, 1, value});
        ReadALog command;
        Run(command);
        EXPECT_EQ(unit.RequestCount(kArchiveRead), 6);
        EXPECT_EQ(Bytes(LogDBManager::Instance()->RawBytes()), memory);
        EXPECT_TRUE(prompter.prompts.empty());
    }
}

TEST_F(LogCommandTest, ReadALogFailingPartWayReleasesTheWorkerWithTheBytesItGotAndStillRedraws)
{
    // Block 0 and 1 arrive, block 2 fails three times; nothing is asked after it.
    const QByteArray memory = Pattern(1050);
    unit.SetArchiveMemory(memory);
    unit.AddFault({sim::Fault::Silence, kArchiveRead, 3, 2, -1});

    ReadALog command;
    Run(command);   // returns: the worker does not wait for bytes that never come

    EXPECT_EQ(BlockRequests(kArchiveRead), (Blocks{{0, 200}, {200, 200}, {400, 200}, {400, 200}, {400, 200}}));
    EXPECT_EQ(prompter.Texts(), QStringList{"read device memory fail."});
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Information);
    EXPECT_EQ(Bytes(LogDBManager::Instance()->RawBytes()), memory.left(400));
    EXPECT_EQ(db->ArchiveLength(), 0u);
    EXPECT_EQ(HandOverKeys(), kHandOver);
    EXPECT_EQ(owner.PanelTexts(), (Texts{"Reading Log...", ""}));
    ExpectWindowRestored();
}

TEST_F(LogCommandTest, ReadALogEndsWhenTheUnitHoldsLessThanItsStatusClaims)
{
    // Short blocks leave the worker short of its count; the read still ends with what came.
    const QByteArray memory = Pattern(500);
    unit.SetArchiveMemory(memory);
    unit.SetLogStatus(LogStatus{{0, 1000, 0}});

    ReadALog command;
    Run(command);

    EXPECT_EQ(BlockRequests(kArchiveRead), Expected(1000));
    EXPECT_EQ(Bytes(LogDBManager::Instance()->RawBytes()), memory);
    EXPECT_EQ(HandOverKeys(), kHandOver);
    ExpectWindowRestored();
}

TEST_F(LogCommandTest, ReadALogWhoseStatusReadFailsWarnsRestoresTheWindowAndHandsTheFailureOn)
{
    unit.SetArchiveMemory(Pattern(400));
    db->ArchiveData().assign(10, 1);   // the previous image is gone even so
    unit.FailNext(sim::Fault::Reject, 1, kLogStatus);

    ReadALog command;
    EXPECT_THROW(Run(command), int);

    EXPECT_EQ(unit.RequestCount(kArchiveRead), 0);
    EXPECT_EQ(prompter.Texts(), QStringList{"Read memory has exception"});
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Warning);
    EXPECT_EQ(prompter.prompts[0].buttons, unsigned(platform::mbCancel));
    EXPECT_EQ(db->ArchiveLength(), 0u);
    EXPECT_TRUE(HandOverKeys().empty());
    ExpectWindowRestored();
}

TEST_F(LogCommandTest, ReadALogRefusesAnImplausibleMemorySizeInsteadOfAllocatingIt)
{
    unit.SetLogStatus(LogStatus{{0, 0xFFFFFFF0u, 0}});
    ReadALog command;
    Run(command);
    EXPECT_EQ(unit.RequestCount(kArchiveRead), 0);
    EXPECT_EQ(prompter.Texts(), QStringList{"read device memory fail."});
    EXPECT_TRUE(LogDBManager::Instance()->RawBytes().empty());
    EXPECT_EQ(HandOverKeys(), kHandOver);
    ExpectWindowRestored();
}

TEST_F(LogCommandTest, ReadALog2AsksTheArchivePageForAFileAlsoWhileLoggedOff)
{
    for (bool loggedOff : {false, true}) {
        SCOPED_TRACE(loggedOff);
        owner.logonEnabled = loggedOff;
        owner.calls.clear();
        ReadALog2 command;
        Run(command);
        EXPECT_EQ(owner.CallsStarting("SetFlag "),
                  (Texts{"SetFlag DisablePages 1", "SetFlag ReadALog2 1", "SetFlag EnablePages 1"}));
        EXPECT_EQ(owner.PanelTexts(), (Texts{"Reading Log from file...", ""}));
        EXPECT_TRUE(unit.Requests().empty());
        ExpectWindowRestored();
    }
}

// --- event-log memory ----------------------------------------------------------------------------

TEST_F(LogCommandTest, ReadAuditPlacesTheWholeEventLogInTheDatabaseForTheEventPage)
{
    for (int size : {0, 150, 200, 1050}) {
        SCOPED_TRACE(size);
        unit.ClearLog();
        owner.calls.clear();
        const QByteArray memory = Pattern(size);
        unit.SetEventMemory(memory);

        ReadAuditCommand command;
        Run(command);

        EXPECT_EQ(BlockRequests(kEventRead), Expected(size));
        EXPECT_EQ(Bytes(db->EventData()), memory);   // stays for the event page to decode
        EXPECT_EQ(owner.CallsStarting("SetFlag "),
                  (Texts{"SetFlag DisablePages 1", "SetFlag AuditFinish 1", "SetFlag EnablePages 1"}));
        EXPECT_EQ(owner.PanelTexts(), (Texts{"Reading Event Log...", "Processing Event Data...", ""}));
        EXPECT_EQ(owner.progressMax, size / 200);
        EXPECT_FALSE(wait->isVisible());   // no wait window for the event log
        ExpectWindowRestored();
    }
}

TEST_F(LogCommandTest, ReadAuditRetriesEachBlockThreeTimesAndSkipsTheDecodingWhenOneFails)
{
    const QByteArray memory = Pattern(600);
    unit.SetEventMemory(memory);
    struct Case {
        int failures;
        int requests;
        bool decoded;
    };
    for (const Case& c : {Case{2, 5, true}, Case{3, 4, false}}) {
        SCOPED_TRACE(c.failures);
        unit.ClearLog();
        owner.calls.clear();
        prompter.prompts.clear();
        unit.AddFault({sim::Fault::Silence, kEventRead, c.failures, 1, -1});   // the second block

        ReadAuditCommand command;
        Run(command);

        EXPECT_EQ(unit.RequestCount(kEventRead), c.requests);
        if (c.decoded) {
            EXPECT_EQ(Bytes(db->EventData()), memory);
            EXPECT_TRUE(prompter.prompts.empty());
        } else {
            // The first block is in place, the rest stays zero, and the page is not asked.
            EXPECT_EQ(Bytes(db->EventData()), memory.left(200) + QByteArray(400, '\0'));
            EXPECT_EQ(prompter.Texts(), QStringList{"read device memory fail."});
        }
        EXPECT_EQ(owner.CallsStarting("SetFlag AuditFinish").size(), c.decoded ? 1u : 0u);
        ExpectWindowRestored();
        unit.ClearFaults();
    }
}

TEST_F(LogCommandTest, ReadAuditWhoseStatusReadFailsRestoresTheWindowAndHandsTheFailureOn)
{
    db->EventData().assign(10, 1);
    unit.FailNext(sim::Fault::Reject, 1, kLogStatus);
    ReadAuditCommand command;
    EXPECT_THROW(Run(command), int);
    EXPECT_EQ(db->EventLength(), 0u);
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_TRUE(owner.CallsStarting("SetFlag AuditFinish").empty());
    ExpectWindowRestored();
}

// The user's cancel (the engine's cancel flag, set while the second block is on its way) ends
// the block's tries at once: the third block is tried once, not three times.
TEST_F(LogCommandTest, AUserCancelEndsTheMemoryReadsAtOnce)
{
    const QByteArray memory = Pattern(1000);
    unit.SetArchiveMemory(memory);
    unit.SetEventMemory(memory);
    struct Case {
        const char* name;
        std::function<std::unique_ptr<Command>()> make;
        std::function<QByteArray()> got;
    };
    const Case cases[] = {
        {"archive", [] { return std::make_unique<ReadALog>(); },
         [] { return Bytes(LogDBManager::Instance()->RawBytes()); }},
        {"events", [] { return std::make_unique<ReadAuditCommand>(); },
         [this] { return Bytes(db->EventData()).left(400); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        engine.userCancel = false;
        engine.exchanges = 0;
        prompter.prompts.clear();
        int seen = 0;
        cmdtest::SpyHandler spy(unit, [&](const QByteArray&) {
            if (++seen == 3) engine.userCancel = true;   // status, block 0, block 1
        });
        engine.SetHandler(&spy);

        auto command = c.make();
        Run(*command);

        EXPECT_EQ(engine.exchanges, 4);
        EXPECT_EQ(c.got(), memory.left(400));
        EXPECT_EQ(prompter.Texts(), QStringList{"read device memory fail."});
        ExpectWindowRestored();
        engine.SetHandler(&unit);
    }
    engine.userCancel = false;
}

// --- log configuration ---------------------------------------------------------------------------

TEST_F(LogCommandTest, ReadLogConfigTakesTheSixRecordsAndTheirIdCodes)
{
    for (int log = 0; log < kLogCount; ++log) unit.SetLogConfig(log, Record(log));
    UniqueLogID::Instance()->Add(200);   // a code of an earlier configuration goes

    ReadLogConfig command;
    Run(command);

    EXPECT_TRUE(command.Succeeded());
    for (int log = 0; log < kLogCount; ++log) EXPECT_TRUE(Same(db->LogRecord(log), Record(log))) << log;
    EXPECT_EQ(UniqueLogID::Instance()->Ids(), (std::vector<int>{9, 17, 25, 33, 41, 49}));
    EXPECT_EQ(unit.RequestCount(kReadLogConfig), 6);
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_EQ(owner.PanelTexts().back(), "");
}

TEST_F(LogCommandTest, ReadLogConfigWhoseThirdRequestFailsKeepsTheRecordsReadBeforeIt)
{
    for (int log = 0; log < kLogCount; ++log) unit.SetLogConfig(log, Record(log));
    for (int log = 0; log < kLogCount; ++log) db->LogRecord(log) = Record(7);
    unit.AddFault({sim::Fault::Silence, kReadLogConfig, 1, 2, -1});

    ReadLogConfig command;
    Run(command);

    EXPECT_EQ(prompter.Texts(), QStringList{"Read Log Config. error!"});
    EXPECT_FALSE(command.Succeeded());
    EXPECT_EQ(unit.RequestCount(kReadLogConfig), 3);
    EXPECT_TRUE(Same(db->LogRecord(0), Record(0)));
    EXPECT_TRUE(Same(db->LogRecord(1), Record(1)));
    for (int log = 2; log < kLogCount; ++log) EXPECT_TRUE(Same(db->LogRecord(log), Record(7))) << log;
    EXPECT_EQ(owner.PanelTexts().back(), "");
}

TEST_F(LogCommandTest, WriteLogConfigSendsTheSixRecordsStampedWithNumberClockAndTheSixthDisabled)
{
    for (int log = 0; log < kLogCount; ++log) {
        LogConfigRecord r = Record(log);
        r.LOG_NUMBER = 77;       // numbered by the command
        r.UniqueId[0] = 5;       // the clock point always comes first
        db->LogRecord(log) = r;
    }

    WriteLogConfig command;
    Run(command);

    EXPECT_TRUE(command.Succeeded());
    ASSERT_EQ(unit.RequestCount(kWriteLogConfig), 6);
    for (int log = 0; log < kLogCount; ++log) {
        SCOPED_TRACE(log);
        const LogConfigRecord sent = unit.LogConfig(log);
        EXPECT_EQ(sent.LOG_NUMBER, log);
        EXPECT_EQ(sent.UniqueId[0], 388);
        EXPECT_EQ(sent.Enable, log == 5 ? 0 : 1);
        EXPECT_EQ(sent.LogIdCode, Record(log).LogIdCode);
        EXPECT_TRUE(Same(sent, db->LogRecord(log)));   // the database keeps the same values
    }
    EXPECT_TRUE(TraceText().contains("Log Configuration"));
    EXPECT_TRUE(TraceText().contains("LOG Enable=0"));

    // Read back, the records are what was written.
    ReadLogConfig read;
    for (int log = 0; log < kLogCount; ++log) db->LogRecord(log) = LogConfigRecord{};
    Run(read);
    for (int log = 0; log < kLogCount; ++log) EXPECT_TRUE(Same(db->LogRecord(log), unit.LogConfig(log))) << log;
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST_F(LogCommandTest, WriteLogConfigGoesOnPastAWrongReplyButStopsAtAFailedExchange)
{
    for (int log = 0; log < kLogCount; ++log) db->LogRecord(log) = Record(log);

    // The third record is answered with another type: it is reported and the others are still
    // written.
    unit.AddFault({sim::Fault::WrongType, kWriteLogConfig, 1, 2, 99});
    WriteLogConfig refused;
    Run(refused);
    EXPECT_EQ(unit.RequestCount(kWriteLogConfig), 6);
    EXPECT_EQ(owner.PanelTexts(),
              (Texts{"Writing Log Config.", "Write Log Config. Successful", "Write Log Config. Successful",
                     "Write Log Config. Fail", "Write Log Config. Successful", "Write Log Config. Successful",
                     "Write Log Config. Successful", ""}));
    EXPECT_TRUE(prompter.prompts.empty());
    EXPECT_FALSE(refused.Succeeded());   // the unit holds five of the six

    // No answer to the third: the loop ends there and no trace is written.
    QFile::remove(write_trace::TraceFilePath());
    unit.ClearLog();
    unit.AddFault({sim::Fault::Silence, kWriteLogConfig, 1, 2, -1});
    WriteLogConfig silent;
    Run(silent);
    EXPECT_EQ(unit.RequestCount(kWriteLogConfig), 3);
    EXPECT_EQ(prompter.Texts(), QStringList{"Write Log Config. error!"});
    EXPECT_FALSE(TraceText().contains("Log Configuration"));
    EXPECT_FALSE(silent.Succeeded());
}

// --- wipes ---------------------------------------------------------------------------------------

TEST_F(LogCommandTest, WipesEraseTheirMemoryAndSayWhenTheUnitDoesNotAnswer)
{
    struct Case {
        std::function<std::unique_ptr<Command>()> make;
        int type;
        std::function<int()> wipes;
        std::string text;
        QString failure;
    };
    const Case cases[] = {
        {[] { return std::make_unique<WipeALCommand>(); }, kWipeArchive, [this] { return unit.ArchiveWipeCount(); },
         "Wipe Archive.", " Wipe Archive fail!"},
        {[] { return std::make_unique<WipeLogCommand>(); }, kWipeEvents, [this] { return unit.EventLogWipeCount(); },
         "Wipe Event Log.", " Wipe Event Log fail!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        owner.calls.clear();
        prompter.prompts.clear();
        const int before = c.wipes();
        auto wipe = c.make();
        Run(*wipe);
        EXPECT_EQ(c.wipes(), before + 1);
        EXPECT_EQ(owner.PanelTexts(), (Texts{c.text, ""}));
        EXPECT_TRUE(prompter.prompts.empty());

        unit.FailNext(sim::Fault::Silence, 1, c.type);
        auto failing = c.make();
        Run(*failing);
        EXPECT_EQ(prompter.Texts(), QStringList{c.failure});
    }
}

TEST_F(LogCommandTest, NothingIsSentWhileLoggedOff)
{
    unit.SetArchiveMemory(Pattern(400));
    unit.SetEventMemory(Pattern(400));
    LogOff();
    std::unique_ptr<Command> commands[] = {std::make_unique<ReadALog>(),       std::make_unique<ReadAuditCommand>(),
                                           std::make_unique<ReadLogConfig>(),  std::make_unique<WriteLogConfig>(),
                                           std::make_unique<WipeALCommand>(),  std::make_unique<WipeLogCommand>()};
    for (auto& command : commands) {
        owner.calls.clear();
        Run(*command);
        EXPECT_EQ(owner.calls, (Texts{"GetFlag LoggingOn"}));
    }
    EXPECT_TRUE(unit.Requests().empty());
    EXPECT_EQ(unit.ArchiveWipeCount(), 0);
    EXPECT_EQ(unit.EventLogWipeCount(), 0);
    EXPECT_TRUE(prompter.prompts.empty());
}

}  // namespace
