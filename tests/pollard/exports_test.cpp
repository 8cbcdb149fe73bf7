// The library as the program sees it: loaded by file name, every export resolved by name.
#include "pollard/exports.h"
#include "tests/pollard/engine_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <cmath>
#include <cstring>
#include <limits>

namespace pollardtest {
namespace {

QString LibraryPath() { return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("libpollard.so")); }

TEST(PollardLibrary, LoadsByFileNameAndResolvesEveryExport)
{
    QLibrary lib(LibraryPath());
    ASSERT_TRUE(lib.load()) << lib.errorString().toStdString();
    const char* names[] = {"Initialize",     "Cleanup",         "ShowCommSetup",  "SendReceive",   "GetCommErrText",
                           "SetUserCancel",  "IsOnline",        "CommConnect",    "CommDisconnect", "WriteToCommLog",
                           "SetGUILogonState", "IsValidFlt",    "FormatFlt",      "IsUpdateMode",  "IsFactoryMode"};
    for (const char* name : names) EXPECT_NE(lib.resolve(name), nullptr) << name;

    // The resolved entry points work as the program calls them.
    auto errText = reinterpret_cast<pollard_api::GetCommErrTextFn>(lib.resolve("GetCommErrText"));
    auto init = reinterpret_cast<pollard_api::InitializeFn>(lib.resolve("Initialize"));
    auto cleanup = reinterpret_cast<pollard_api::CleanupFn>(lib.resolve("Cleanup"));
    auto online = reinterpret_cast<pollard_api::IsOnlineFn>(lib.resolve("IsOnline"));
    auto show = reinterpret_cast<pollard_api::ShowCommSetupFn>(lib.resolve("ShowCommSetup"));
    char text[64];
    errText(4, text, sizeof text);
    EXPECT_STREQ(text, "No Response from unit.");
    init();
    EXPECT_FALSE(online());
    show();   // no window yet: nothing happens, nothing breaks
    cleanup();
}

TEST(PollardLibrary, ErrorTextsOfEveryCode)
{
    const struct {
        int code;
        const char* text;
    } cases[] = {{0, "Success."},
                 {1, "Currently waiting for response to communication."},
                 {2, "Invalid response was received."},
                 {3, "The unit has reported an error with the request that was sent."},
                 {4, "No Response from unit."},
                 {5, "Com port not open."},
                 {6, "Cancelled by user."},
                 {7, ""},
                 {-1, ""},
                 {20, ""}};
    for (const auto& c : cases) {
        char buffer[pollard_api::kErrTextBufferSize];
        std::memset(buffer, 'x', sizeof buffer);
        GetCommErrText(c.code, buffer, sizeof buffer);
        EXPECT_STREQ(buffer, c.text) << c.code;
    }
    // A small buffer gets the start of the text, terminated, and nothing behind it.
    char small[8];
    std::memset(small, 'x', sizeof small);
    GetCommErrText(4, small, 5);
    EXPECT_STREQ(small, "No R");
    EXPECT_EQ(small[5], 'x');
}

TEST(PollardLibrary, InitializeAndCleanupAreIdempotent)
{
    Initialize();
    pollard::Engine* first = pollard::Engine::Instance();
    Initialize();
    EXPECT_EQ(pollard::Engine::Instance(), first);
    Cleanup();
    Cleanup();
    EXPECT_EQ(pollard::Engine::Instance(), nullptr);
    // Without an engine the link calls are harmless.
    EXPECT_FALSE(IsOnline());
    EXPECT_EQ(Send(ReadRow(1)).result, 5);
    SetUserCancel(true);
    CommDisconnect(false);
}

TEST(PollardLibrary, LogonStateWrittenByTheProgramIsTheLinkState)
{
    Initialize();
    SetGUILogonState(4);
    EXPECT_TRUE(IsOnline());
    SetGUILogonState(1);
    EXPECT_FALSE(IsOnline());
    Cleanup();
}

TEST(PollardLibrary, CommentsReachTheTraceLogOnlyWhileTracing)
{
    Initialize();
    auto& trace = pollard::Engine::Instance()->Trace();
    WriteToCommLog("before");
    trace.SetState(pollard::TraceLog::On);
    WriteToCommLog("during");
    trace.SetState(pollard::TraceLog::Pause);
    WriteToCommLog("paused");
    EXPECT_EQ(trace.Lines(), QStringList{QStringLiteral("ProgComment:during")});
    Cleanup();
}

float FromBits(uint32_t bits)
{
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

TEST(PollardLibrary, FloatValidityAndText)
{
    const struct {
        float value;
        bool valid;
        const char* text;
    } cases[] = {
        {FromBits(0x7F800000), false, "NAN"},  {FromBits(0xFF800000), false, "NAN"},
        {FromBits(0x7FC00000), false, "NAN"},  {FromBits(0x7F000000), false, "NAN"},
        {FromBits(0x7E800000), true, nullptr}, {0.0f, true, "0"},
        {1.0f, true, "1.00000"},               {-150.0f, true, "-150.00"},
        {150.0f, true, "150.00"},              {100.0f, true, "100.000"},
        {10.0f, true, "10.0000"},              {12.25f, true, "12.250"},
        {-3.5f, true, "-3.5000"},              {0.00123f, true, "0.00123"},
        {0.0000001f, true, "0.00000"},         {1234.5f, true, "1234.50"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsValidFlt(&c.value), c.valid) << c.value;
        char buffer[64];
        FormatFlt(c.value, buffer, sizeof buffer);
        if (c.text) {
            EXPECT_STREQ(buffer, c.text);
        } else {
            EXPECT_EQ(std::strlen(buffer) - std::strcspn(buffer, "."), 3u) << buffer;   // two decimals
        }
    }
    EXPECT_FALSE(IsValidFlt(nullptr));
}

}  // namespace
}  // namespace pollardtest
