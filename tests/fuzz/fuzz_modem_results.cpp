// The modem's result lines as the modem dialogue reads them from the serial port: a modem on a
// pseudo-terminal answers each command the dialogue sends (set-up, dial, escape, hang-up) with
// the next part of the input (parts split at NUL bytes). An answer without a final result
// lets the command's wait run out. Whatever the answers, a call is up exactly when the dial
// was answered "CONNECT...", at most the allowed number of dials is made, and a hang-up ends
// the call.
#include "tests/fuzz/fuzz_support.h"

#include "platform/clock.h"
#include "pollard/comm_settings.h"
#include "pollard/modem.h"
#include "pollard/serial_port.h"
#include "pollard/trace_log.h"

#include <QList>
#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

namespace {

int gMaster = -1;
QList<QByteArray> gAnswers;
int gCommands = 0;
pollard::CommSettings* gSettings = nullptr;
pollard::TraceLog* gTrace = nullptr;
pollard::SerialPort* gPort = nullptr;
pollard::Modem* gModem = nullptr;

// The modem's side: whatever the program sent is one command, answered with the next part.
void OnCommand()
{
    char buffer[512];
    const ssize_t got = read(gMaster, buffer, sizeof buffer);
    if (got <= 0) return;
    ++gCommands;
    if (gAnswers.isEmpty()) return;
    const QByteArray answer = gAnswers.takeFirst();
    for (qsizetype at = 0; at < answer.size();) {
        const ssize_t put = write(gMaster, answer.constData() + at, static_cast<size_t>(answer.size() - at));
        if (put <= 0) break;
        at += put;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    static fuzz::QuickClock clock;
    platform::SetClock(&clock);
    int slave = -1;
    char name[256] = {};
    fuzz::Require(openpty(&gMaster, &slave, name, nullptr, nullptr) == 0, "no pseudo-terminal");
    fcntl(gMaster, F_SETFL, fcntl(gMaster, F_GETFL) | O_NONBLOCK);
    // The slave stays open here too, so that the line never hangs up between calls.
    auto* notifier = new QSocketNotifier(gMaster, QSocketNotifier::Read);
    QObject::connect(notifier, &QSocketNotifier::activated, [] { OnCommand(); });
    gSettings = new pollard::CommSettings();
    gSettings->portName = QString::fromLocal8Bit(name);
    gSettings->baud = 19200;
    gSettings->dialNum = QStringLiteral("5551234");
    gSettings->maxAttempts = QStringLiteral("2");
    gSettings->timeBtwnAttempts = QStringLiteral("1");
    gTrace = new pollard::TraceLog();
    gTrace->SetMaxBytes(4000);
    gPort = new pollard::SerialPort();
    gModem = new pollard::Modem(*gPort, *gTrace);
    gModem->timing.commandMs = 20;
    gModem->timing.dialMs = 20;
    gModem->timing.guardMs = 0;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096) return 0;
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<int>(size));
    gAnswers = input.split('\0');
    gCommands = 0;
    gTrace->SetState(pollard::TraceLog::Clear);

    const int dialsBefore = gModem->DialsMade();
    const bool up = gModem->Call(*gSettings, {});
    fuzz::Require(up == gModem->InCall(), "the call's result and state disagree");
    const int dials = gModem->DialsMade() - dialsBefore;
    fuzz::Require(dials >= 0 && dials <= 2, "more dials than the settings allow");
    if (up) {
        fuzz::Require(input.contains("CONNECT"), "a call up without CONNECT");
        fuzz::Require(!gModem->ConnectSpeed().isEmpty(), "a call without its speed");
        fuzz::Require(gModem->Info().startsWith(QLatin1String("Connected at ")), "a call up shows no speed");
    }
    fuzz::Require(gCommands <= 2 * 3, "more commands than two attempts send");
    gModem->HangUp();
    fuzz::Require(!gModem->InCall() && gModem->Info() == QLatin1String("Not Connected"), "a hang-up left the call up");
    fuzz::Require(!gPort->IsOpen(), "a hang-up left the port open");
    return 0;
}
