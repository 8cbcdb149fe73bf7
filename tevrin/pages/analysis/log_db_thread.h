#pragma once
// The archive worker: takes the archive memory's bytes out of the bounded buffer, one at a
// time and in order, and hands each to the archive database while the archive read is still
// fetching the rest. It does no window work and ends by itself after the last byte.
#include <QThread>

#include <cstdint>

class LogDBManager;
class boundedBuffer;

class LogDBThread : public QThread {
    Q_OBJECT
public:
    // createSuspended false starts the thread at once; otherwise start() (Resume) starts it.
    // buffer may be null only for an empty archive (length 0).
    LogDBThread(bool createSuspended, LogDBManager* manager, boundedBuffer* buffer, QObject* parent = nullptr);

    void Resume() { start(); }
    // Bytes handed to the archive database by this run.
    uint32_t BytesTaken() const { return taken_; }

protected:
    // Empties the archive database, feeds it exactly the database's archive length in bytes
    // (fewer when the buffer is closed before they all came), then frees the database's archive
    // image and sets its length to 0, and builds the per-log lists.
    void run() override;

private:
    LogDBManager* manager_;
    boundedBuffer* buffer_;
    uint32_t taken_ = 0;
};
