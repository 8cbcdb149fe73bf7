// The binding to the communication engine: what reaches the engine, what comes back to the
// caller, failure codes and their words, and loading the engine library by file name.
#include "tests/common/fake_prompter.h"
#include "tests/engine/sim_engine.h"
#include "tevrin/rtdb/communications.h"
#include "platform/data_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstring>
#include <dlfcn.h>

using rtdbtest::ReplyMessage;
using rtdbtest::ScriptedAnalyzer;
using rtdbtest::SimEngine;

namespace {

// A request area as the message layer lays it out: two unused bytes, then [len][type][payload].
QByteArray RequestArea(const QByteArray& message) { return QByteArray(2, '\x77') + message + QByteArray(8, '\x66'); }

class CommunicationsTest : public ::testing::Test {
protected:
    ScriptedAnalyzer analyzer;
    SimEngine engine{&analyzer};
    Communications& comms = *Communications::Instance();
};

TEST_F(CommunicationsTest, ErrorTexts)
{
    const struct {
        int code;
        const char* text;
    } cases[] = {
        {0, "Success."},
        {4, "No Response from unit."},
        {6, "Cancelled by user."},
        {7, ""},    // the engine's empty text for a code it does not know
        {-1, ""},
        {19, ""},
        {20, "Entry index of response doesn't match request."},
        {21, "Unexpected response type received."},
        {22, "unknown error"},
        {1000, "unknown error"},
    };
    for (const auto& c : cases) EXPECT_EQ(comms.ErrorText(c.code), c.text) << c.code;
}

TEST_F(CommunicationsTest, SendsTheMessageFromItsLengthByteAndCopiesTheReply)
{
    const QByteArray area = RequestArea(QByteArray::fromHex("04 01 4000"));
    analyzer.replies.push_back(ReplyMessage(2, QByteArray::fromHex("4000 03")));
    uint8_t reply[16];
    std::memset(reply, 0xEE, sizeof reply);
    comms.SendReceive(reinterpret_cast<const uint8_t*>(area.constData()), reply, sizeof reply, true);

    ASSERT_EQ(engine.requests.size(), 1u);
    EXPECT_EQ(engine.requests[0], QByteArray::fromHex("04 01 4000"));
    EXPECT_TRUE(engine.notifies[0]);
    EXPECT_EQ(engine.replyCapacities[0], Communications::kAreaSize);
    EXPECT_EQ(QByteArray(reinterpret_cast<char*>(reply), 7), QByteArray::fromHex("05 02 4000 03 eeee"));
}

TEST_F(CommunicationsTest, ReplyCopyIsBoundedByTheCallersArea)
{
    const QByteArray area = RequestArea(QByteArray::fromHex("02 3c"));
    analyzer.replies.push_back(ReplyMessage(0x3D, QByteArray(600, '\x11')));
    uint8_t buffer[40];
    std::memset(buffer, 0xEE, sizeof buffer);
    comms.SendReceive(reinterpret_cast<const uint8_t*>(area.constData()), buffer, 30, false);
    EXPECT_FALSE(engine.notifies[0]);
    for (int i = 2; i < 30; ++i) ASSERT_EQ(buffer[i], 0x11) << i;
    for (int i = 30; i < 40; ++i) ASSERT_EQ(buffer[i], 0xEE) << "written past the caller's area at " << i;
}

TEST_F(CommunicationsTest, FailedExchangeThrowsItsCodeAndLeavesTheReplyAlone)
{
    const QByteArray area = RequestArea(QByteArray::fromHex("02 08"));
    for (int code = 1; code <= 6; ++code) {
        engine.failNext.push_back(code);
        uint8_t reply[8];
        std::memset(reply, 0xEE, sizeof reply);
        try {
            comms.SendReceive(reinterpret_cast<const uint8_t*>(area.constData()), reply, sizeof reply, true);
            ADD_FAILURE() << "code " << code << " did not raise";
        } catch (int thrown) {
            EXPECT_EQ(thrown, code);
        }
        for (uint8_t b : reply) ASSERT_EQ(b, 0xEE) << "code " << code;
    }
}

TEST_F(CommunicationsTest, InitializedOnceAndCleanedUpOnDestroy)
{
    EXPECT_EQ(Communications::Instance(), &comms);
    EXPECT_EQ(engine.initializeCalls, 1);
    EXPECT_EQ(engine.cleanupCalls, 0);
    Communications::DestroyInstance();
    EXPECT_EQ(engine.cleanupCalls, 1);
}

// Loading by file name from a folder where the engine cannot be loaded: the system's reason,
// then the program's own message, and a binding that fails every exchange cleanly.
TEST(CommunicationsLoading, MissingOrBrokenLibraryFailsCleanly)
{
    QTemporaryDir emptyFolder;
    QTemporaryDir brokenFolder;
    ASSERT_TRUE(emptyFolder.isValid() && brokenFolder.isValid());
    QFile junk(brokenFolder.filePath(QString::fromLatin1(Communications::kLibraryFileName)));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("this is not a shared library");
    junk.close();

    for (const QString& folder : {emptyFolder.path(), brokenFolder.path()}) {
        SCOPED_TRACE(folder.toStdString());
        FakePrompter prompter;
        Communications::DestroyInstance();
        Communications* comms = Communications::InstanceFromFolder(folder);

        ASSERT_EQ(prompter.prompts.size(), 2u);
        EXPECT_FALSE(prompter.prompts[0].text.isEmpty());
        EXPECT_EQ(prompter.prompts[1].text, QStringLiteral("Unable to load Pollard.dll."));
        EXPECT_EQ(comms->Api().ResolvedCount(), 0);

        const QByteArray area = RequestArea(QByteArray::fromHex("02 08"));
        uint8_t reply[4] = {1, 2, 3, 4};
        try {
            comms->SendReceive(reinterpret_cast<const uint8_t*>(area.constData()), reply, sizeof reply, true);
            ADD_FAILURE() << "an exchange without an engine must fail";
        } catch (int code) {
            EXPECT_EQ(code, 5);
        }
        EXPECT_EQ(reply[0], 1);
        EXPECT_EQ(comms->CommConnect(), 5);
        comms->CommDisconnect(false);
        comms->ShowCommSetup();
        comms->SetUserCancel(true);
        EXPECT_FALSE(comms->IsOnline());
        EXPECT_EQ(comms->ErrorText(5), "Com port not open.");
        EXPECT_EQ(comms->ErrorText(21), "Unexpected response type received.");

        // A second Instance neither loads again nor asks again.
        EXPECT_EQ(Communications::Instance(), comms);
        EXPECT_EQ(prompter.prompts.size(), 2u);
        Communications::DestroyInstance();
    }
}

// The engine library built beside the program: all nine entry points resolve by their plain
// names, and the library stays loaded after the binding is gone.
TEST(CommunicationsLoading, RealEngineFromTheProgramFolder)
{
    const QString path = QDir(platform::ProgramFolder()).filePath(QString::fromLatin1(Communications::kLibraryFileName));
    ASSERT_TRUE(QFile::exists(path)) << path.toStdString();

    FakePrompter prompter;
    Communications::DestroyInstance();
    Communications* comms = Communications::Instance();
    EXPECT_TRUE(prompter.prompts.empty()) << prompter.Texts().join('|').toStdString();
    EXPECT_EQ(comms->Api().ResolvedCount(), 9);

    EXPECT_EQ(comms->ErrorText(0), "Success.");
    EXPECT_EQ(comms->ErrorText(4), "No Response from unit.");
    EXPECT_EQ(comms->ErrorText(7), "");
    EXPECT_EQ(comms->ErrorText(21), "Unexpected response type received.");
    EXPECT_FALSE(comms->IsOnline());

    // With the cancel flag set the engine sends nothing and answers "Cancelled by user.".
    comms->SetUserCancel(true);
    const QByteArray area = RequestArea(QByteArray::fromHex("02 08"));
    uint8_t reply[4] = {9, 9, 9, 9};
    try {
        comms->SendReceive(reinterpret_cast<const uint8_t*>(area.constData()), reply, sizeof reply, true);
        ADD_FAILURE() << "a cancelled exchange must raise";
    } catch (int code) {
        EXPECT_EQ(code, 6);
    }
    EXPECT_EQ(reply[0], 9);
    comms->SetUserCancel(false);

    Communications::DestroyInstance();
    const QByteArray file = QFile::encodeName(path);
    void* handle = dlopen(file.constData(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_NE(handle, nullptr) << "the engine library must stay loaded";
    if (handle) dlclose(handle);   // drops only the reference taken just now
}

}  // namespace
