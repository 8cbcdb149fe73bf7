// The engine's receive path: a few exchanges in a row on one line, each frame sent answered by
// the next answer of the input, at once, a little later, after the reply time-out (a late
// reply) or never (the time-out runs and the frame is sent again).
//
// The input's first byte: bits 0-1 the sends of one request (1 to 3), bits 2-3 the exchanges
// (1 to 3), bit 6 the trace log on, bit 7 the first answer comes before any exchange waits.
// Then the answers, each [how][length][bytes]: bits 0-1 of `how` say when it comes (0 at once,
// that is at the event loop's next turn as a port's bytes come, 1 within the time-out, 2 just
// after it, 3 never), bits 2-7 the chunk size less one (each
// chunk comes with its own data-available event). When the answers are used up, the line goes
// down, which ends an exchange at once.
//
// Whatever comes, an exchange ends (never waiting), and a reply it takes was sent to it: the
// protocol carries no sequence number, so a reply that comes late for one exchange must never
// answer the next.
#include "tests/fuzz/fuzz_support.h"

#include "platform/clock.h"
#include "pollard/comm_settings.h"
#include "pollard/port.h"
#include "pollard/trace_log.h"
#include "pollard/transaction.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

struct Answer {
    int when = 0;
    int chunk = 1;
    QByteArray bytes;
};

class FuzzPort : public pollard::Port {
public:
    bool IsOpen() const override { return open_; }
    void Close() override
    {
        open_ = false;
        ++generation_;   // what is still on its way goes nowhere
        buffer_.clear();
    }
    qint64 Write(const QByteArray& bytes) override
    {
        if (!open_) return -1;
        if (answers_.isEmpty()) {
            // Used up: the line goes down once the frame is out.
            const int generation = generation_;
            QTimer::singleShot(0, this, [this, generation] {
                if (generation != generation_ || !open_) return;
                Close();
                emit Lost();
            });
            return bytes.size();
        }
        const Answer a = answers_.takeFirst();
        Send(a, exchange);
        return bytes.size();
    }
    qint64 BytesAvailable() const override { return buffer_.size(); }
    QByteArray Read(qint64 maxBytes) override
    {
        const QByteArray part = buffer_.left(static_cast<int>(maxBytes));
        buffer_.remove(0, part.size());
        return part;
    }
    void FlushInput() override { buffer_.clear(); }
    void FlushOutput() override {}

    void Start(QList<Answer> answers)
    {
        open_ = true;
        ++generation_;
        answers_ = std::move(answers);
        buffer_.clear();
        delivered.clear();
    }
    // An answer for the exchange, now or on its timer.
    void Send(const Answer& a, int forExchange)
    {
        const int timeoutMs = 55;   // one tick, as the settings ask
        switch (a.when) {
        case 0: Later(a, forExchange, 0); break;   // a port's bytes come at the event loop's next turn
        case 1: Later(a, forExchange, timeoutMs / 3); break;
        case 2: Later(a, forExchange, timeoutMs + 10); break;
        default: break;
        }
    }

    int exchange = 0;                     // the exchange whose frames go out now
    std::map<int, QByteArray> delivered;  // the bytes each exchange's answers brought, in order

private:
    void Later(const Answer& a, int forExchange, int ms)
    {
        const int generation = generation_;
        QTimer::singleShot(ms, this, [this, a, forExchange, generation] {
            if (generation == generation_) Deliver(a, forExchange);
        });
    }
    void Deliver(const Answer& a, int forExchange)
    {
        for (int at = 0; at < a.bytes.size() && open_; at += a.chunk) {
            const QByteArray part = a.bytes.mid(at, a.chunk);
            buffer_ += part;
            delivered[forExchange] += part;
            emit DataAvailable();
        }
    }

    bool open_ = false;
    int generation_ = 0;
    QList<Answer> answers_;
    QByteArray buffer_;
};

pollard::CommSettings* gSettings = nullptr;
pollard::TraceLog* gTrace = nullptr;
FuzzPort* gPort = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    gSettings = new pollard::CommSettings();
    gSettings->backoffTimer = QStringLiteral("1");   // a time-out of one tick
    gSettings->baud = 115200;
    gTrace = new pollard::TraceLog();
    gTrace->SetMaxBytes(4000);
    gPort = new FuzzPort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A reply frame has at most 259 bytes; a few answers of that size and some stray bytes.
    if (size < 1 || size > 2048) return 0;
    const int sends = 1 + std::min(data[0] & 0x03, 2);
    const int exchanges = 1 + std::min((data[0] >> 2) & 0x03, 2);
    const bool staleFirst = (data[0] & 0x80) != 0;
    gTrace->SetState((data[0] & 0x40) != 0 ? pollard::TraceLog::On : pollard::TraceLog::Off);
    QList<Answer> answers;
    for (size_t at = 1; at < size;) {
        Answer a;
        a.when = data[at] & 0x03;
        a.chunk = 1 + (data[at] >> 2);
        const size_t length = at + 1 < size ? data[at + 1] : 0;
        at += 2;
        const size_t take = std::min(length, size > at ? size - at : 0);
        a.bytes = QByteArray(reinterpret_cast<const char*>(data + std::min(at, size)), static_cast<int>(take));
        at += take;
        answers.append(a);
    }

    gSettings->retries = QString::number(sends);
    bool cancel = false;
    pollard::Transaction exchange(*gSettings, *gTrace, cancel);
    exchange.gatewayAnswer = [](const QByteArray& answer) { fuzz::Require(answer.size() <= 2048, "gateway answer bound"); };
    exchange.SetPort(gPort);
    if (staleFirst && !answers.isEmpty()) answers.first().when = 0;
    gPort->Start(answers);
    if (staleFirst && !answers.isEmpty()) {
        // Arrives at once while no exchange waits (a later one could not be told from a reply).
        gPort->exchange = -1;
        gPort->Write(QByteArray(1, '\0'));
        QCoreApplication::processEvents();
    }
    const uint8_t message[] = {4, 1, 64, 0};
    for (int k = 0; k < exchanges; ++k) {
        gPort->exchange = k;
        const int result = exchange.Run(message, sizeof message, false);
        fuzz::Require(result != pollard_api::crWaiting, "an exchange ended waiting");
        if (std::getenv("FUZZ_VERBOSE")) {
            for (const QString& line : gTrace->Lines()) std::fprintf(stderr, "  %s\n", qPrintable(line));
            gTrace->SetState(pollard::TraceLog::Clear);
            std::fprintf(stderr, "exchange %d result %d\n", k, result);
        }
        if (result == pollard_api::crSuccess) {
            const QByteArray& reply = exchange.Reply();
            fuzz::Require(!reply.isEmpty() && reply.size() <= 255, "reply size");
            fuzz::Require(static_cast<uint8_t>(reply[0]) == reply.size(), "reply count byte");
            fuzz::Require(gPort->delivered[k].contains(reply), "a reply that was not sent to this exchange");
        }
        if (!gPort->IsOpen()) break;
    }
    // Whatever was left on the line goes now.
    gPort->Close();
    exchange.SetPort(nullptr);
    QCoreApplication::processEvents();
    return 0;
}
