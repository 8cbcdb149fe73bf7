#pragma once
// A Hayes-compatible modem on a serial port: reset to known settings, dial with a number of
// attempts and a pause between them, and hang up again (escape to command mode, "ATH0").
#include <QObject>
#include <QString>
#include <functional>

namespace pollard {

class CommSettings;
class SerialPort;
class TraceLog;

class Modem : public QObject {
    Q_OBJECT
public:
    struct Timing {
        int commandMs = 3000;   // answer to a plain command
        int dialMs = 60000;     // answer to a dial command
        int guardMs = 1000;     // silence around the escape sequence
    };

    Modem(SerialPort& port, TraceLog& trace, QObject* parent = nullptr);

    // Opens the port when needed and dials the settings' number, up to the settings' number
    // of attempts with their pause in between. True when the modem reported CONNECT; false
    // when every attempt failed, there is no number, or stop() became true.
    bool Call(const CommSettings& settings, const std::function<bool()>& stop);
    // Ends the call (if any) and closes the port.
    void HangUp();
    // The call history file that every dial, its outcome and every hang-up are added to;
    // empty: none is kept.
    void SetCallLog(const QString& path) { callLog_ = path; }
    QString CallLog() const { return callLog_; }

    bool InCall() const { return inCall_; }
    // The last Call failed because the modem's own serial port did not open (the port's
    // ErrorText says why).
    bool PortNotOpened() const { return portNotOpened_; }
    QString ConnectSpeed() const { return speed_; }
    int DialsMade() const { return dials_; }
    // "Connected at ... baud" or "Not Connected".
    QString Info() const;

    Timing timing;

signals:
    void InfoChanged(const QString& info);

private:
    // Sends a command line and waits for a final result code; returns it ("OK", "CONNECT 9600",
    // "BUSY", ...) or the empty text when none came in time.
    QString Command(const QByteArray& command, int waitMs, const std::function<bool()>& stop);
    QString WaitResult(int waitMs, const std::function<bool()>& stop);
    void LogCall(const QString& text);

    SerialPort& port_;
    TraceLog& trace_;
    bool inCall_ = false;
    bool portNotOpened_ = false;
    QString speed_;
    int dials_ = 0;
    QByteArray pending_;
    QString callLog_;
};

}  // namespace pollard
