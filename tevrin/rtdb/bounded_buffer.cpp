#include "tevrin/rtdb/bounded_buffer.h"

#include <algorithm>
#include <stdexcept>

boundedBuffer::boundedBuffer(unsigned char* area, int capacity)
    : capacity_(capacity), area_(area), notFull_(*this), notEmpty_(*this)
{
    if (capacity < 1) throw std::invalid_argument("boundedBuffer: the capacity must be at least 1 byte");
    if (!area) throw std::invalid_argument("boundedBuffer: no byte area");
}

void boundedBuffer::PassOn()
{
    if (notEmpty_.Waiting() > 0)
        notEmpty_.SignalAndLeave();
    else if (notFull_.Waiting() > 0)
        notFull_.SignalAndLeave();
    else
        Leave();
}

bool boundedBuffer::Put(const unsigned char* byte)
{
    if (!byte) return false;
    Enter();
    while (count_ == capacity_ && !closed_) notFull_.Wait();
    if (closed_) {
        PassOn();
        return false;
    }
    const int before = count_;
    area_[write_] = *byte;
    write_ = (write_ + 1) % capacity_;
    count_ = count_ + 1;
    if (before == 0)
        notEmpty_.SignalAndLeave();
    else
        Leave();
    return true;
}

std::optional<unsigned char> boundedBuffer::Get()
{
    Enter();
    while (count_ == 0 && !closed_) notEmpty_.Wait();
    if (count_ == 0) {   // closed and drained
        PassOn();
        return std::nullopt;
    }
    const int before = count_;
    const unsigned char byte = area_[read_];
    read_ = (read_ + 1) % capacity_;
    count_ = count_ - 1;
    if (before == capacity_)
        notFull_.SignalAndLeave();
    else
        Leave();
    return byte;
}

int boundedBuffer::PutMany(const unsigned char* bytes, int count)
{
    if (!bytes) return 0;
    int stored = 0;
    while (stored < count) {
        Enter();
        while (count_ == capacity_ && !closed_) notFull_.Wait();
        if (closed_) {
            PassOn();
            return stored;
        }
        const int before = count_;
        const int n = std::min(count - stored, capacity_ - count_);
        for (int i = 0; i < n; ++i) {
            area_[write_] = bytes[stored + i];
            write_ = write_ + 1 == capacity_ ? 0 : write_ + 1;
        }
        count_ = count_ + n;
        stored += n;
        if (before == 0)
            notEmpty_.SignalAndLeave();
        else
            Leave();
    }
    return stored;
}

int boundedBuffer::GetMany(unsigned char* out, int max)
{
    if (!out || max < 1) return 0;
    Enter();
    while (count_ == 0 && !closed_) notEmpty_.Wait();
    if (count_ == 0) {   // closed and drained
        PassOn();
        return 0;
    }
    const int before = count_;
    const int n = std::min(max, count_);
    for (int i = 0; i < n; ++i) {
        out[i] = area_[read_];
        read_ = read_ + 1 == capacity_ ? 0 : read_ + 1;
    }
    count_ = count_ - n;
    if (before == capacity_)
        notFull_.SignalAndLeave();
    else
        Leave();
    return n;
}

void boundedBuffer::Close()
{
    Enter();
    closed_ = true;
    PassOn();
}
