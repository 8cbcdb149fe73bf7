#pragma once
// The port's trace log: a bounded list of lines (the engine's notes and, while tracing, the
// bytes sent and received), written out to a file on request.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace pollard {

class TraceLog {
public:
    enum State : int { Off = 0, On = 1, Dump = 2, Append = 3, Clear = 4, Pause = 5 };

    State state() const { return state_; }
    bool IsOn() const { return state_ == On; }
    // Dump and Append write the lines out to the file (replacing or appending), empty the
    // list and switch tracing off; Clear empties the list and keeps the state. Returns false
    // when the file could not be written (the lines and the file are then kept as they were,
    // and LastError says why).
    bool SetState(State state);
    QString LastError() const { return lastError_; }

    void SetFileName(const QString& name) { fileName_ = name; }
    QString fileName() const { return fileName_; }
    void SetMaxBytes(int bytes) { maxBytes_ = bytes < 1 ? 1 : bytes; }
    void SetAllHex(bool allHex) { allHex_ = allHex; }

    // Adds a line while tracing is on; the oldest lines go when the log outgrows its size.
    void Add(const QString& line);
    void AddData(const char* direction, const QByteArray& bytes);

    QStringList Lines() const { return lines_; }
    // The file the log is written to: backslashes become slashes, and a relative name is
    // taken in the per-user data folder.
    QString ResolvedFileName() const;

private:
    bool WriteOut(bool append);

    State state_ = Off;
    QString fileName_ = QStringLiteral("APRO.TRC");
    int maxBytes_ = 20000;
    bool allHex_ = true;
    QStringList lines_;
    int bytes_ = 0;
    QString lastError_;
};

}  // namespace pollard
