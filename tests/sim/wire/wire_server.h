#pragma once
// The analyzer on the wire: takes frames [address][0x12][message][CRC low][CRC high] from a
// pseudo-terminal (the program opens its slave side as a serial port) or from a TCP client,
// checks their CRC, hands the message to a MessageHandler and writes the framed reply. It can
// pace its output like a serial line of a given baud rate, play a Hayes modem in front of the
// analyzer, and spoil replies on request (wire faults).
//
// The server runs on a thread of its own, as a real unit would. The handler is called on that
// thread (AnalyzerCore locks itself); every public operation here may be called from any thread.
#include "tests/sim/message_handler.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace sim {

enum class WireFault {
    Silence,      // the frame is taken but nothing is written back
    LateReply,    // the reply is written delayMs after the request (others go on meanwhile)
    BadCrc,       // the reply's CRC is spoiled
    Reject,       // the reply [0x02][0xFF] in a correct frame, the request is not handled
    StrayByte,    // the reply is followed by one extra byte (0xA5)
    ByteByByte,   // the reply is written one byte at a time, gapMs apart (default 2)
    Split,        // the reply is written in two parts, gapMs apart (default 20)
    OverLong,     // the reply carries `extra` more bytes than its count byte says (CRC over all)
    Babble,       // instead of a reply, a garbage byte every 10 ms for delayMs
    Disconnect,   // the line goes down instead of replying (pty: hung up; TCP: connection closed)
    RawReply,     // `bytes` as they are instead of the reply (the request is still handled)
};

struct WireFaultRule {
    WireFault fault = WireFault::Silence;
    int times = 1;      // how many frames it hits; -1: until ClearFaults
    int skip = 0;       // frames let through before it starts
    int delayMs = 0;    // LateReply, Babble
    int gapMs = -1;     // ByteByByte, Split, a split RawReply (-1: the default)
    int extra = 3;      // OverLong
    QByteArray bytes;   // RawReply
    int splitAt = 0;    // RawReply: when set, that many bytes first, the rest gapMs later (default 20)
};

class WireServer {
public:
    explicit WireServer(MessageHandler& handler);
    ~WireServer();
    WireServer(const WireServer&) = delete;
    WireServer& operator=(const WireServer&) = delete;

    // Starts serving on a new pseudo-terminal; false when none could be made.
    bool StartPty();
    // Starts listening on 127.0.0.1 (port 0: any free port); one client at a time.
    bool StartTcp(uint16_t port = 0);
    void Stop();

    QString PtyPath() const;      // the slave side, for the program to open
    uint16_t TcpPort() const;     // the port actually listened on

    // Bits per second of the simulated line; 0 (the default) writes at once.
    void SetBaud(int baud);

    void AddFault(const WireFaultRule& rule);
    void FailNext(WireFault fault, int times = 1);
    void ClearFaults();

    // Writes bytes as they are (no frame), e.g. a gateway answer; counted in RepliesWritten.
    void SendRaw(const QByteArray& bytes, int delayMs = 0);

    // A Hayes modem in front of the unit: commands "AT..." answered "OK", "ATD..." answered with
    // the next of the dial results ("CONNECT 19200" when none are queued, "" for no answer),
    // frames carried while in a call, "+++" back to commands, "ATH" hangs up.
    void SetModem(bool on);
    void QueueDialResults(const QStringList& results);
    bool ModemInCall() const;
    int DialCount() const;
    QStringList ModemCommands() const;

    // What came in and went out.
    int FramesReceived() const;          // good frames
    int BadFramesReceived() const;       // frames with a wrong CRC
    std::vector<QByteArray> Messages() const;   // the request messages of the good frames
    std::vector<QByteArray> RawFrames() const;  // the good frames as received
    int RepliesWritten() const;          // replies, fault bytes and raw sends completely written
    // Forgets the messages and frames kept so far (the counts stay), for long runs.
    void ClearLog();
    int ConnectionsAccepted() const;     // TCP clients so far
    // Waits (on the calling thread, without processing events) until pred holds or ms pass.
    bool WaitFor(const std::function<bool()>& pred, int ms) const;

private:
    using Clock = std::chrono::steady_clock;
    struct Pending {
        Clock::time_point due;
        QByteArray bytes;
        bool endsReply = false;   // counts a reply as written
        bool hangUp = false;      // closes the line after writing
    };

    void Run();
    void Wake();
    void OnBytes(const QByteArray& bytes, Clock::time_point now);
    void TakeFrames(Clock::time_point now);
    void HandleModemCommand(const QByteArray& line, Clock::time_point now);
    void Reply(const QByteArray& message, const QByteArray& requestFrame, Clock::time_point now);
    void Schedule(Clock::time_point due, const QByteArray& bytes, bool endsReply = false, bool hangUp = false);
    void SchedulePaced(Clock::time_point start, const QByteArray& bytes, bool endsReply);
    bool TakeFault(WireFaultRule& out);
    void WriteDue(Clock::time_point now);
    void CloseLine();
    int LineFd() const;

    MessageHandler& handler_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    int wakePipe_[2] = {-1, -1};

    // Line (owned by the server thread once started).
    int master_ = -1;
    int slave_ = -1;
    int listen_ = -1;
    int client_ = -1;
    QString ptyPath_;
    uint16_t tcpPort_ = 0;

    // Shared state (mutex_).
    int baud_ = 0;
    std::vector<WireFaultRule> faults_;
    std::deque<Pending> out_;
    bool modem_ = false;
    bool inCall_ = false;
    bool online_ = false;   // in a call and carrying data (not taking commands)
    std::deque<QString> dialResults_;
    int dials_ = 0;
    QStringList modemCommands_;
    int framesReceived_ = 0;
    int badFrames_ = 0;
    std::vector<QByteArray> messages_;
    std::vector<QByteArray> rawFrames_;
    int repliesWritten_ = 0;
    int connections_ = 0;

    QByteArray in_;   // server thread only
};

}  // namespace sim
