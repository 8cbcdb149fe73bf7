#include "pollard/transaction.h"

#include "platform/clock.h"
#include "platform/prompter.h"
#include "pollard/comm_settings.h"
#include "pollard/crc16.h"
#include "pollard/frame.h"
#include "pollard/notices.h"
#include "pollard/port.h"
#include "pollard/pump.h"
#include "pollard/trace_log.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <climits>

namespace pollard {

using namespace pollard_api;

namespace {
int gTotalPackets = 0;
const QByteArray kGatewayPrefix("CCI");
constexpr qint64 kMaxIdleRead = 1024;   // bytes taken in one go while nothing waits
constexpr int kRejectSeenAt = 3;         // the byte of a reply that says the unit refused
// Late replies: how much longer than one time-out a unit may take to answer at most, and the
// silence after one that lets its last bytes pass.
constexpr qint64 kMostLateReplyWaitMs = 5000;
constexpr qint64 kQuietMarginMs = 2 * platform::kTickMs;
}  // namespace

int Transaction::TotalPacketsReceived() { return gTotalPackets; }

Transaction::Transaction(const CommSettings& settings, TraceLog& trace, const bool& userCancel, QObject* parent)
    : QObject(parent), settings_(settings), trace_(trace), userCancel_(userCancel)
{
    backoff_.setSingleShot(true);
    backoff_.setTimerType(Qt::PreciseTimer);
    idle_.setSingleShot(true);
    idle_.setTimerType(Qt::PreciseTimer);
    idle_.setInterval(platform::kTickMs);
    connect(&backoff_, &QTimer::timeout, this, &Transaction::OnBackoffFired);
    connect(&idle_, &QTimer::timeout, this, &Transaction::OnIdleFired);
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);
    clock_.start();
}

void Transaction::SetPort(Port* port)
{
    if (port == port_) return;
    for (auto& c : connections_) disconnect(c);
    port_ = port;
    rx_.clear();
    gateway_.clear();
    if (!port_) return;
    connections_[0] = connect(port_, &Port::DataAvailable, this, &Transaction::OnDataAvailable);
    connections_[1] = connect(port_, &Port::OutputSent, this, &Transaction::OnOutputSent);
    connections_[2] = connect(port_, &Port::Lost, this, &Transaction::OnPortLost);
}

int Transaction::AttemptLimitMs() const
{
    const int baud = settings_.baud > 0 ? settings_.baud : 9600;
    const int wireMs = kMaxReplyFrame * 10 * 1000 / baud;
    return settings_.BackoffTicks() * platform::kTickMs + 2 * wireMs + 1000;
}

void Transaction::WaitForEvents(qint64 ms)
{
    wake_.start(static_cast<int>(std::clamp<qint64>(ms, 0, INT_MAX)));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void Transaction::ExpectLateReplies(int sends, qint64 firstSendMs, qint64 lastSendMs)
{
    const qint64 timeoutMs = qint64{settings_.BackoffTicks()} * platform::kTickMs;
    const qint64 extraMs = std::min<qint64>(timeoutMs, kMostLateReplyWaitMs);
    qint64 lateMs;
    if (state_ == crSuccess || state_ == crInvalidResponse || state_ == crUnitError) {
        // A reply came; the other sends may still be answered. A unit is taken to answer every
        // send as late as the reply that came was after the first send.
        if (sends < 2) return;
        lateMs = std::min(clock_.elapsed() - firstSendMs, timeoutMs + extraMs);
    } else if (sends > 0 && (state_ == crNoResponse || state_ == crCancelled)) {
        // No reply yet: one may come up to a further time-out late.
        lateMs = timeoutMs + extraMs;
    } else {
        return;
    }
    const qint64 until = lastSendMs + lateMs + kQuietMarginMs;
    if (until <= clock_.elapsed()) return;
    quietUntil_ = std::max(quietUntil_, until);
    quietLimit_ = quietUntil_ + AttemptLimitMs();
}

void Transaction::WaitForQuietLine()
{
    if (quietUntil_ == 0) return;
    if (clock_.elapsed() < quietUntil_) {
        Log(QStringLiteral("Waiting for late replies to pass"));
        while (!userCancel_ && port_ && port_->IsOpen()) {
            const qint64 left = quietUntil_ - clock_.elapsed();
            if (left <= 0) break;
            WaitForEvents(left);
        }
        wake_.stop();
    }
    quietUntil_ = 0;
    quietLimit_ = 0;
}

void Transaction::Log(const QString& line) { trace_.Add(line); }

int Transaction::Run(const uint8_t* message, int length, bool notifyDone)
{
    if (!port_ || !port_->IsOpen()) return crPortNotOpen;
    const QByteArray frame = BuildRequestFrame(settings_.FrameAddress(), message, length);
    if (frame.isEmpty()) return crInvalidResponse;

    WaitForQuietLine();
    state_ = crSuccess;
    Log(QStringLiteral("Action is acRead"));

    int sends = 0;
    qint64 firstSendMs = 0;
    qint64 lastSendMs = 0;
    for (int attempt = 0; attempt < settings_.RetryCount();) {
        state_ = crWaiting;
        SendFrame(frame);
        if (waiting_) {
            lastSendMs = clock_.elapsed();
            if (sends++ == 0) firstSendMs = lastSendMs;
        }
        QElapsedTimer attemptTimer;
        attemptTimer.start();
        const int limitMs = AttemptLimitMs();
        // Sleeps until the port's bytes, the time-out, a click or the attempt limit wake it.
        while (state_ == crWaiting && !userCancel_) {
            if (!port_ || !port_->IsOpen()) {
                state_ = crPortNotOpen;
                break;
            }
            const qint64 left = limitMs - attemptTimer.elapsed();
            if (left < 0) {
                // The line never fell silent long enough for the time-out.
                Log(QStringLiteral("Attempt time limit reached"));
                state_ = crNoResponse;
                break;
            }
            WaitForEvents(left + 1);
        }
        wake_.stop();
        waiting_ = false;
        if (userCancel_) {
            state_ = crCancelled;
            break;
        }
        if (trace_.IsOn() && port_ && port_->IsOpen()) Log(QStringLiteral("NAKState is %1").arg(state_));
        if (state_ != crNoResponse) break;
        Log(QStringLiteral("Retrying..."));
        ++attempt;
    }
    backoff_.stop();
    ExpectLateReplies(sends, firstSendMs, lastSendMs);

    switch (state_) {
    case crSuccess:
        if (notifyDone) SendProgress(1);
        break;
    case crNoResponse:
        SendStatus(kStatusNoResponse);
        if (port_ && port_->IsOpen()) Log(QStringLiteral("No Response from unit."));
        break;
    case crCancelled:
        ResetComm();
        state_ = crCancelled;
        break;
    default:
        break;
    }
    return state_;
}

void Transaction::SendFrame(const QByteArray& frame)
{
    if (userCancel_) {   // the transaction resets the link when it sees the cancel
        state_ = crCancelled;
        return;
    }
    // Whatever is left on the line (a late reply, a stray byte) must not answer this frame.
    rx_.clear();
    gateway_.clear();
    if (port_) port_->FlushInput();
    SendStatus(kStatusSending);
    if (!port_ || !port_->IsOpen()) {
        state_ = crPortNotOpen;
        return;
    }
    trace_.AddData("Tx", frame);
    waiting_ = true;
    if (port_->Write(frame) != frame.size()) Log(QStringLiteral("Write failed: %1").arg(port_->ErrorText()));
    StartBackoffTimer();
}

void Transaction::StartBackoffTimer()
{
    backoff_.start(settings_.BackoffTicks() * platform::kTickMs);
    if (trace_.IsOn()) Log(QStringLiteral("Adding hBackoffTimer trigger"));
}

void Transaction::OnOutputSent() { idle_.start(); }

void Transaction::OnIdleFired() { SendStatus(kStatusIdle); }

void Transaction::OnBackoffFired()
{
    SendStatus(kStatusIdle);
    Log(QStringLiteral("BackoffTimer trigger fired"));
    if (waiting_ && state_ == crWaiting) {
        state_ = crNoResponse;
        waiting_ = false;
    }
}

void Transaction::OnPortLost()
{
    if (waiting_ && state_ == crWaiting) {
        state_ = crPortNotOpen;
        waiting_ = false;
    }
}

void Transaction::OnDataAvailable()
{
    if (!port_) return;
    if (!waiting_) {
        OnIdleInput();
        return;
    }
    SendStatus(kStatusReceiving);
    if (!waiting_ || !port_) return;   // the notice's handler may have ended the wait
    idle_.start();
    if (trace_.IsOn()) Log(QStringLiteral("TriggerAvail: %1 characters received").arg(port_->BytesAvailable()));
    StartBackoffTimer();

    // Take exactly the bytes of one frame: its header first, then what the header announces;
    // at least four, so that a reject is seen whatever the header says.
    QByteArray taken;
    for (;;) {
        if (port_->BytesAvailable() <= 0) break;
        const int want = rx_.size() < 3 ? 3 - rx_.size()
                                        : std::max(ExpectedReplyLength(rx_), kRejectSeenAt + 1) - rx_.size();
        if (want <= 0) break;
        const QByteArray part = port_->Read(want);
        if (part.isEmpty()) {
            platform::MessageDlg(QStringLiteral("Error on GetBlock"), platform::DlgType::Error, platform::mbOK);
            break;
        }
        rx_ += part;
        taken += part;
        if (rx_.size() >= 3 && rx_.startsWith(kGatewayPrefix)) break;
        if (rx_.size() > kRejectSeenAt && ExpectedReplyLength(rx_) == 0) break;
    }
    if (trace_.IsOn()) {
        trace_.AddData("Rx", taken);
        Log(QStringLiteral("numReturnChars in this packet: %1").arg(rx_.size()));
    }
    if (rx_.size() < 3) return;

    // Byte 3 of 0xFF is the unit's reject, whatever the count, the function code or the CRC
    // say: the unit's reject frames are believed as they come.
    if (rx_.size() > kRejectSeenAt && static_cast<uint8_t>(rx_[kRejectSeenAt]) == kRejectType) {
        Log(QStringLiteral("unit says: bad request. "));
        rx_.clear();
        state_ = crUnitError;
        waiting_ = false;
        return;
    }
    if (rx_.startsWith(kGatewayPrefix)) {
        QByteArray answer = rx_.mid(3) + port_->Read(kMaxIdleRead);
        rx_.clear();
        if (gatewayAnswer) gatewayAnswer(answer);
        return;
    }
    const int expected = ExpectedReplyLength(rx_);
    if (expected == 0) {
        // A header that names no reply may still be the unit's reject: byte 3 decides.
        if (rx_.size() <= kRejectSeenAt) return;
        DropGarbage("refpoint1");
        return;
    }
    if (rx_.size() < expected) return;

    const auto* bytes = reinterpret_cast<const uint8_t*>(rx_.constData());
    const bool crcGood = CheckCRC(bytes, rx_.size()) >= 0;
    if (!crcGood && port_->BytesAvailable() > 0) {
        // More bytes came with it than its count byte announced: an over-long reply, not a
        // spoilt one. It is dropped and the time-out, still running, ends the attempt.
        DropGarbage("refpoint3");
        return;
    }
    backoff_.stop();
    if (!crcGood) {
        Log(QStringLiteral("got garbage. %1 chars. refpoint2.").arg(rx_.size()));
        rx_.clear();
        state_ = crInvalidResponse;
        waiting_ = false;
        return;
    }
    PacketComplete();
}

void Transaction::DropGarbage(const char* where)
{
    int dropped = rx_.size();
    rx_.clear();
    while (port_ && port_->BytesAvailable() > 0) {
        const QByteArray junk = port_->Read(kMaxIdleRead);
        if (junk.isEmpty()) break;
        dropped += junk.size();
    }
    Log(QStringLiteral("got garbage. %1 chars. %2.").arg(dropped).arg(QLatin1String(where)));
}

void Transaction::OnIdleInput()
{
    // No exchange waits: a reply now is stale. Only a gateway answer is of use. While late
    // replies are expected, the line is quiet only some ticks after their last byte.
    if (quietUntil_ > 0) {
        const qint64 now = clock_.elapsed();
        if (now < quietUntil_) quietUntil_ = std::min(std::max(quietUntil_, now + kQuietMarginMs), quietLimit_);
    }
    QByteArray bytes;
    while (port_ && port_->BytesAvailable() > 0) {
        const QByteArray part = port_->Read(kMaxIdleRead);
        if (part.isEmpty()) break;
        if (bytes.size() < kMaxIdleRead) bytes += part.left(kMaxIdleRead - bytes.size());
    }
    gateway_ += bytes;
    if (gateway_.size() < 3) {
        if (!kGatewayPrefix.startsWith(gateway_)) gateway_.clear();
        return;
    }
    if (gateway_.startsWith(kGatewayPrefix)) {
        const QByteArray answer = gateway_.mid(3);
        gateway_.clear();
        if (gatewayAnswer) gatewayAnswer(answer);
        return;
    }
    gateway_.clear();
}

void Transaction::PacketComplete()
{
    reply_ = rx_.mid(2, rx_.size() - kFrameOverhead);
    rx_.clear();
    ++gTotalPackets;
    Log(QStringLiteral("tot. packets recd = %1").arg(gTotalPackets));
    if (settings_.writeReset && trace_.IsOn()) {
        trace_.SetState(settings_.append ? TraceLog::Append : TraceLog::Dump);
        trace_.SetState(TraceLog::On);
    }
    state_ = crSuccess;
    waiting_ = false;
}

void Transaction::ResetComm()
{
    backoff_.stop();
    waiting_ = false;
    if (port_ && port_->IsOpen()) {
        port_->FlushInput();
        port_->FlushOutput();
    }
    rx_.clear();
    PumpUntil([] { return false; }, 2 * platform::kTickMs);
    state_ = crSuccess;
    if (port_ && port_->IsOpen()) Log(QStringLiteral("Communications reset successfully."));
    SendProgress(0);
}

}  // namespace pollard
