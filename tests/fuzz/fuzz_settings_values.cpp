// The engine's settings as they come from the ini file or the setup window's fields: each
// line of the input is one text field; the values the engine uses stay in their bounds.
#include "tests/fuzz/fuzz_support.h"

#include "pollard/comm_settings.h"
#include "pollard/trace_log.h"
#include "pollard/transaction.h"

#include <QList>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096) return 0;
    const QList<QByteArray> fields = QByteArray(reinterpret_cast<const char*>(data), static_cast<int>(size)).split('\n');
    const auto field = [&](int i) { return i < fields.size() ? QString::fromLatin1(fields[i]) : QString(); };
    pollard::CommSettings s;
    s.backoffTimer = field(0);
    s.retries = field(1);
    s.maxAttempts = field(2);
    s.timeBtwnAttempts = field(3);
    s.maxLogSize = field(4);
    s.modbusNodeAddress = field(5);
    s.portName = field(6);
    s.baud = field(7).toInt();
    s.connectType = field(8).toInt();
    s.allStations = field(9).isEmpty();

    fuzz::Require(s.BackoffTicks() >= 1 && s.BackoffTicks() <= pollard::CommSettings::kMaxBackoffTicks, "time-out bound");
    fuzz::Require(s.RetryCount() >= 1, "at least one send");
    fuzz::Require(s.ModemAttempts() >= 1, "at least one dial");
    fuzz::Require(s.ModemSecondsBetweenAttempts() >= 1 &&
                      s.ModemSecondsBetweenAttempts() <= pollard::CommSettings::kMaxSecondsBetweenAttempts,
                  "pause bound");
    fuzz::Require(s.MaxLogBytes() >= 1, "log size");
    s.FrameAddress();
    s.SerialDevice();
    s.Connection();
    pollard::TraceLog trace;
    bool cancel = false;
    pollard::Transaction exchange(s, trace, cancel);
    fuzz::Require(exchange.AttemptLimitMs() > s.BackoffTicks() * 55, "attempt limit beyond the time-out");
    return 0;
}
