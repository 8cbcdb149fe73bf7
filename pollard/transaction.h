#pragma once
// One framed request/reply exchange on an open port: the frame goes out, the reply is
// gathered chunk by chunk, checked and handed back; an attempt that times out is sent again
// as often as the settings allow. Everything runs on the GUI thread: the waiting loop
// sleeps in the event loop's own wait, processing the application's messages, and the
// port's events (or a timer) wake it and move the exchange on.
//
// The protocol carries no sequence number, so a reply is matched to its request by time: an
// exchange whose send timed out leaves a reply on its way, and before the next frame goes out
// the line must fall quiet for as long as such a late reply may take; what arrives meanwhile
// is dropped.
#include "pollard/pollard_api.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>

namespace pollard {

class CommSettings;
class Port;
class TraceLog;

class Transaction : public QObject {
    Q_OBJECT
public:
    Transaction(const CommSettings& settings, TraceLog& trace, const bool& userCancel, QObject* parent = nullptr);

    // The port whose events feed the exchange (nullptr: none). Bytes that arrive while no
    // exchange waits are dropped, except a gateway answer (text beginning "CCI").
    void SetPort(Port* port);
    Port* CurrentPort() const { return port_; }

    // One exchange of the request message over the current port, which must be open.
    // Returns the outcome (never crWaiting); on crSuccess Reply() is the reply message.
    int Run(const uint8_t* message, int length, bool notifyDone);
    const QByteArray& Reply() const { return reply_; }

    // Drops the exchange: time-out stopped, buffers flushed, a short settling pause, then
    // WM_COMM_PROGRESS (0).
    void ResetComm();

    // Receives the bytes that follow "CCI" in a gateway answer.
    std::function<void(const QByteArray&)> gatewayAnswer;

    static int TotalPacketsReceived();

    // True while an exchange waits for its reply (the port must then stay open).
    bool Running() const { return state_ == pollard_api::crWaiting; }

    // Longest time one attempt may take however the line chatters: the reply time-out plus
    // twice the wire time of the longest frame plus a second.
    int AttemptLimitMs() const;

private:
    // Sleeps in the event loop until an event comes or ms pass.
    void WaitForEvents(qint64 ms);
    // Expects late replies to sends of the exchange that just ended, and when they may come.
    void ExpectLateReplies(int sends, qint64 firstSendMs, qint64 lastSendMs);
    // Lets the line fall quiet before a send when late replies are expected.
    void WaitForQuietLine();
    void SendFrame(const QByteArray& frame);
    void StartBackoffTimer();
    void OnDataAvailable();
    void OnIdleInput();
    void OnOutputSent();
    void OnBackoffFired();
    void OnIdleFired();
    void OnPortLost();
    void PacketComplete();
    void DropGarbage(const char* where);
    void Log(const QString& line);

    const CommSettings& settings_;
    TraceLog& trace_;
    const bool& userCancel_;
    Port* port_ = nullptr;
    QMetaObject::Connection connections_[3];

    int state_ = pollard_api::crSuccess;   // the state of the exchange in progress
    bool waiting_ = false;                  // a frame is out and its reply awaited
    QByteArray rx_;                          // bytes of the reply frame so far (at most one frame)
    QByteArray reply_;                       // the last good reply message
    QByteArray gateway_;                     // a gateway answer being gathered while idle
    QTimer backoff_;
    QTimer idle_;
    QTimer wake_;                            // ends a wait in the event loop at its deadline
    QElapsedTimer clock_;                    // the exchange's own time line
    qint64 quietUntil_ = 0;                  // on clock_: no send before then (0: none)
    qint64 quietLimit_ = 0;                  // how far late bytes may push quietUntil_
};

}  // namespace pollard
