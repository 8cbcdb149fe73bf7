#include "pollard/modem.h"

#include "pollard/comm_settings.h"
#include "pollard/pump.h"
#include "pollard/serial_port.h"
#include "pollard/trace_log.h"

#include <QDateTime>
#include <QFile>
#include <QStringList>

#include <cerrno>
#include <cstring>

namespace pollard {

namespace {
const QStringList kFinalResults = {QStringLiteral("OK"),          QStringLiteral("CONNECT"),
                                   QStringLiteral("ERROR"),       QStringLiteral("NO CARRIER"),
                                   QStringLiteral("BUSY"),        QStringLiteral("NO DIALTONE"),
                                   QStringLiteral("NO DIAL TONE"), QStringLiteral("NO ANSWER")};

bool IsFinal(const QString& line)
{
    for (const QString& r : kFinalResults)
        if (line == r || (r == QLatin1String("CONNECT") && line.startsWith(r))) return true;
    return false;
}
}  // namespace

Modem::Modem(SerialPort& port, TraceLog& trace, QObject* parent) : QObject(parent), port_(port), trace_(trace) {}

QString Modem::Info() const
{
    if (!inCall_) return QStringLiteral("Not Connected");
    return QStringLiteral("Connected at %1 baud").arg(speed_);
}

QString Modem::WaitResult(int waitMs, const std::function<bool()>& stop)
{
    QString result;
    PumpUntil(
        [&] {
            if (stop && stop()) return true;
            if (port_.IsOpen() && port_.BytesAvailable() > 0) pending_ += port_.Read(1024);
            if (pending_.size() > 4096) pending_ = pending_.right(256);
            for (;;) {
                int end = -1;
                for (int i = 0; i < pending_.size(); ++i)
                    if (pending_[i] == '\r' || pending_[i] == '\n') {
                        end = i;
                        break;
                    }
                if (end < 0) return false;
                const QString line = QString::fromLatin1(pending_.left(end)).trimmed();
                pending_.remove(0, end + 1);
                if (line.isEmpty()) continue;
                trace_.Add(QStringLiteral("Modem: ") + line);
                if (IsFinal(line)) {
                    result = line;
                    return true;
                }
            }
        },
        waitMs);
    return result;
}

void Modem::LogCall(const QString& text)
{
    if (callLog_.isEmpty()) return;
    QFile file(callLog_);
    // Unbuffered: a line that only partly fits is taken back at once.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        trace_.Add(QStringLiteral("Modem: call history not written: ") + file.errorString());
        return;
    }
    const QString line = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) +
                         QStringLiteral("  ") + text + QStringLiteral("\r\n");
    const QByteArray bytes = line.toUtf8();
    const qint64 before = file.size();
    errno = 0;
    if (file.write(bytes) == bytes.size()) return;
    const int failure = errno;
    trace_.Add(QStringLiteral("Modem: call history not written: ") +
               (failure != 0 ? QString::fromLocal8Bit(std::strerror(failure)) : file.errorString()));
    file.resize(before);
}

QString Modem::Command(const QByteArray& command, int waitMs, const std::function<bool()>& stop)
{
    pending_.clear();
    port_.FlushInput();
    trace_.Add(QStringLiteral("Modem command: ") + QString::fromLatin1(command));
    if (port_.Write(command + "\r") < 0) return {};
    return WaitResult(waitMs, stop);
}

bool Modem::Call(const CommSettings& settings, const std::function<bool()>& stop)
{
    inCall_ = false;
    portNotOpened_ = false;
    speed_.clear();
    const QByteArray number = settings.dialNum.trimmed().toLatin1();
    if (number.isEmpty()) {
        trace_.Add(QStringLiteral("Modem: no number to dial"));
        return false;
    }
    if (!port_.IsOpen() && !port_.Open(settings)) {
        trace_.Add(QStringLiteral("Modem: port not open: ") + port_.ErrorText());
        portNotOpened_ = true;
        return false;
    }
    const int attempts = settings.ModemAttempts();
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        if (stop && stop()) return false;
        if (Command("ATE0V1", timing.commandMs, stop) == QLatin1String("OK")) {
            ++dials_;
            LogCall(QStringLiteral("Dialling ") + QString::fromLatin1(number));
            const QString result = Command("ATDT" + number, timing.dialMs, stop);
            if (result.startsWith(QLatin1String("CONNECT"))) {
                speed_ = result.mid(7).trimmed();
                if (speed_.isEmpty()) speed_ = QString::number(port_.BaudRate());
                inCall_ = true;
                LogCall(Info());
                emit InfoChanged(Info());
                return true;
            }
            LogCall(result.isEmpty() ? QStringLiteral("No answer") : result);
            // Some modems take a dial command that is cut short as the end of the call.
            if (result.isEmpty()) Command("ATH0", timing.commandMs, stop);
        }
        if (attempt < attempts && !PumpDelay(settings.ModemSecondsBetweenAttempts() * 1000, stop)) return false;
    }
    return false;
}

void Modem::HangUp()
{
    if (port_.IsOpen()) {
        if (inCall_) {
            // Escape to command mode: silence, "+++", silence, then hang up.
            PumpUntil([] { return false; }, timing.guardMs);
            pending_.clear();
            port_.FlushInput();
            port_.Write("+++");
            WaitResult(timing.guardMs + timing.commandMs, {});
            Command("ATH0", timing.commandMs, {});
        }
        port_.Close();
    }
    const bool was = inCall_;
    inCall_ = false;
    speed_.clear();
    if (was) {
        LogCall(QStringLiteral("Call ended"));
        emit InfoChanged(Info());
    }
}

}  // namespace pollard
