#pragma once
// A ring of bytes between one producing and one consuming thread (the archive read hands the
// analyzer's archive memory to the parsing thread through it), guarded by a monitor.
//
// The buffer can be closed: the producer closes it when it stops early (a failed read), or
// after its last byte. A closed buffer takes no more bytes; the consumer still gets the bytes
// already in it, and then Get returns no byte instead of waiting for ever. A thread blocked
// in Get or Put when the buffer closes returns.
#include "tevrin/rtdb/control_monitor_su.h"

#include <optional>

class boundedBuffer : public controlMonitorSU {
public:
    // area: at least capacity bytes, kept by the creator and not owned. A capacity below 1
    // or a missing area is refused with std::invalid_argument.
    boundedBuffer(unsigned char* area, int capacity);

    // Stores one byte, waiting while the buffer is full. False (nothing stored) when the
    // buffer is closed, also when it closes while this call waits, or when byte is null.
    bool Put(const unsigned char* byte);

    // The oldest byte, waiting while the buffer is empty. Empty once the buffer is closed
    // and drained.
    std::optional<unsigned char> Get();

    // Up to count bytes at once: PutMany stores them all, waiting while the buffer is full,
    // and returns how many it stored (fewer when the buffer closes). GetMany takes the oldest
    // bytes there are, at most max, waiting while the buffer is empty; 0 once it is closed
    // and drained.
    int PutMany(const unsigned char* bytes, int count);
    int GetMany(unsigned char* out, int max);

    // Closes the buffer and releases every thread waiting in Put or Get. Closing again does
    // nothing.
    void Close();

    int Capacity() const { return capacity_; }

private:
    // Leaves the monitor, handing it to a thread that waits, if any: used on the closed
    // paths so that every waiter gets its turn to see the close.
    void PassOn();

    int count_ = 0;
    const int capacity_;
    unsigned char* const area_;
    int write_ = 0;
    int read_ = 0;
    bool closed_ = false;
    controlConditionVariable notFull_;
    controlConditionVariable notEmpty_;
};
