// The engine's settings as the engine reads them: the input is the ini file "DesktopK41XRT"
// that the engine's settings load reads; the values the engine uses stay in their bounds.
#include "tests/fuzz/fuzz_support.h"

#include "pollard/comm_settings.h"
#include "pollard/trace_log.h"
#include "pollard/transaction.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
QString gIni;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    gIni = pollard::SettingsFilePath();
    QDir().mkpath(QFileInfo(gIni).absolutePath());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 16 * 1024) return 0;
    if (!fuzz::WriteSettingsFile(gIni, data, size)) return 0;
    pollard::CommSettings s;
    s.Load();

    fuzz::Require(s.BackoffTicks() >= 1 && s.BackoffTicks() <= pollard::CommSettings::kMaxBackoffTicks, "time-out bound");
    fuzz::Require(s.RetryCount() >= 1, "at least one send");
    fuzz::Require(s.ModemAttempts() >= 1, "at least one dial");
    fuzz::Require(s.ModemSecondsBetweenAttempts() >= 1 &&
                      s.ModemSecondsBetweenAttempts() <= pollard::CommSettings::kMaxSecondsBetweenAttempts,
                  "pause bound");
    fuzz::Require(s.MaxLogBytes() >= 1, "log size");
    const pollard::ConnectType type = s.Connection();
    fuzz::Require(type >= pollard::ctComPortDirect && type <= pollard::ctEthernet, "a known connection type");
    fuzz::Require(s.FrameAddress() == 0xFF || !s.allStations, "all stations address the frame to all");
    fuzz::Require(!s.SerialDevice().isEmpty(), "a serial device to open");
    pollard::TraceLog trace;
    bool cancel = false;
    pollard::Transaction exchange(s, trace, cancel);
    fuzz::Require(exchange.AttemptLimitMs() > s.BackoffTicks() * 55, "attempt limit beyond the time-out");
    return 0;
}
