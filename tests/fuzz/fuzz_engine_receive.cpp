// The engine's receive path: one exchange whose reply arrives as the input's bytes, in chunks
// of the size the first byte's low six bits give (its top bit: the first chunk comes while
// nothing waits; the next bit: the trace log is on).
// The chunks arrive the moment the frame is written, each with its own data-available event;
// when they are used up and the exchange still waits, the line goes down, which ends it at once
// instead of after the time-out.
#include "tests/fuzz/fuzz_support.h"

#include "pollard/comm_settings.h"
#include "pollard/port.h"
#include "pollard/trace_log.h"
#include "pollard/transaction.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

class FuzzPort : public pollard::Port {
public:
    bool IsOpen() const override { return open_; }
    void Close() override { open_ = false; }
    qint64 Write(const QByteArray& bytes) override
    {
        while (open_ && !input_.isEmpty()) DeliverNext();
        if (open_) {
            lineDown_ = true;
            QTimer::singleShot(0, this, [this] { EndOfInput(); });
        }
        return bytes.size();
    }
    // After the frame went out: a line whose bytes are used up goes down.
    void EndOfInput()
    {
        if (!lineDown_) return;
        lineDown_ = false;
        open_ = false;
        emit Lost();
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

    void Start(const QByteArray& input, int chunk)
    {
        open_ = true;
        lineDown_ = false;
        input_ = input;
        chunk_ = chunk;
        buffer_.clear();
    }
    // Hands over the next chunk.
    void DeliverNext()
    {
        if (!open_ || input_.isEmpty()) return;
        buffer_ += input_.left(chunk_);
        input_.remove(0, chunk_);
        emit DataAvailable();
    }

private:
    bool open_ = false;
    bool lineDown_ = false;
    QByteArray input_;
    QByteArray buffer_;
    int chunk_ = 1;
};

pollard::CommSettings* gSettings = nullptr;
pollard::TraceLog* gTrace = nullptr;
bool gCancel = false;
pollard::Transaction* gExchange = nullptr;
FuzzPort* gPort = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::Init();
    gSettings = new pollard::CommSettings();
    gSettings->retries = QStringLiteral("1");
    gTrace = new pollard::TraceLog();
    gTrace->SetMaxBytes(4000);
    gExchange = new pollard::Transaction(*gSettings, *gTrace, gCancel);
    gExchange->gatewayAnswer = [](const QByteArray& answer) { fuzz::Require(answer.size() <= 2048, "gateway answer bound"); };
    gPort = new FuzzPort();
    gExchange->SetPort(gPort);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A reply frame has at most 259 bytes; two of them and some stray bytes are plenty.
    if (size < 1 || size > 600) return 0;
    const int chunk = 1 + (data[0] & 0x3F);
    const bool staleFirst = (data[0] & 0x80) != 0;
    gTrace->SetState((data[0] & 0x40) != 0 ? pollard::TraceLog::On : pollard::TraceLog::Off);
    QByteArray input(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1));
    gPort->Start(input, chunk);
    if (staleFirst) gPort->DeliverNext();   // arrives while no exchange waits
    const uint8_t message[] = {4, 1, 64, 0};
    const int result = gExchange->Run(message, sizeof message, false);
    fuzz::Require(result != pollard_api::crWaiting, "an exchange ended waiting");
    if (std::getenv("FUZZ_VERBOSE")) std::fprintf(stderr, "exchange result %d\n", result);
    if (result == pollard_api::crSuccess) {
        const QByteArray& reply = gExchange->Reply();
        fuzz::Require(!reply.isEmpty() && reply.size() <= 255, "reply size");
        fuzz::Require(static_cast<uint8_t>(reply[0]) == reply.size(), "reply count byte");
    }
    // Whatever was left on the line goes now.
    gPort->Close();
    QCoreApplication::processEvents();
    return 0;
}
