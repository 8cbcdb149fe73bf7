#include "tevrin/rtdb/control_monitor_su.h"

// ---------------------------------------------------------------------------------------------
// semaphorePool

semaphorePool::semaphorePool()
{
    queue_.push_back(new win32Semaphore(0));
    made_ = 1;
}

semaphorePool::~semaphorePool()
{
    for (win32Semaphore* s : queue_) delete s;
}

win32Semaphore* semaphorePool::Acquire()
{
    mutexLocker lock(*this);
    if (!queue_.empty()) {
        win32Semaphore* s = queue_.front();
        queue_.pop_front();
        return s;
    }
    ++made_;
    return new win32Semaphore(0);
}

void semaphorePool::Release(win32Semaphore* semaphore)
{
    mutexLocker lock(*this);
    delete semaphore;
}

// ---------------------------------------------------------------------------------------------
// binarySemaphore

binarySemaphore::binarySemaphore(int state) : state_(state ? 1 : 0) {}

win32Semaphore* binarySemaphore::DecideP()
{
    if (state_ == 1) {
        if (!givers_.empty()) {
            // The blocked give and this take cancel; the state stays free.
            win32Semaphore* giver = givers_.front();
            givers_.pop_front();
            giver->Signal();
        } else {
            state_ = 0;
        }
        return nullptr;
    }
    win32Semaphore* own = pool_.Acquire();
    takers_.push_back(own);
    return own;
}

win32Semaphore* binarySemaphore::DecideV()
{
    if (state_ == 0) {
        if (!takers_.empty()) {
            // Ownership passes straight to the first blocked taker; the state stays taken.
            win32Semaphore* taker = takers_.front();
            takers_.pop_front();
            taker->Signal();
        } else {
            state_ = 1;
        }
        return nullptr;
    }
    win32Semaphore* own = pool_.Acquire();
    givers_.push_back(own);
    return own;
}

void binarySemaphore::Block(win32Semaphore* semaphore)
{
    semaphore->Wait();
    pool_.Release(semaphore);
}

void binarySemaphore::P()
{
    Enter();
    win32Semaphore* own = DecideP();
    Leave();
    if (own) Block(own);
}

void binarySemaphore::V()
{
    Enter();
    win32Semaphore* own = DecideV();
    Leave();
    if (own) Block(own);
}

void binarySemaphore::SignalAndWait(binarySemaphore& other)
{
    Enter();
    other.Enter();
    win32Semaphore* otherOwn = other.DecideV();
    // A give that must itself wait (other was already free) can't be decided together with
    // the take: block on it outside both sections, then take as a plain P.
    if (otherOwn) {
        other.Leave();
        Leave();
        other.Block(otherOwn);
        P();
        return;
    }
    win32Semaphore* own = DecideP();
    other.Leave();
    Leave();
    if (own) Block(own);
}

int binarySemaphore::State() const
{
    mutexLocker lock(const_cast<binarySemaphore&>(*this));
    return state_;
}

int binarySemaphore::BlockedTakers() const
{
    mutexLocker lock(const_cast<binarySemaphore&>(*this));
    return static_cast<int>(takers_.size());
}

int binarySemaphore::BlockedGivers() const
{
    mutexLocker lock(const_cast<binarySemaphore&>(*this));
    return static_cast<int>(givers_.size());
}

// ---------------------------------------------------------------------------------------------
// controlMonitorSU

controlMonitorSU::controlMonitorSU() : mutex_(1), urgent_(0) {}

void controlMonitorSU::Enter() { mutex_.P(); }

void controlMonitorSU::Leave()
{
    if (urgentCount_ >= 1)
        urgent_.V();
    else
        mutex_.V();
}

// ---------------------------------------------------------------------------------------------
// controlConditionVariable

controlConditionVariable::controlConditionVariable(controlMonitorSU& monitor) : semaphore_(0), monitor_(monitor) {}

void controlConditionVariable::Wait()
{
    ++waiting_;
    if (monitor_.urgentCount_ >= 1)
        semaphore_.SignalAndWait(monitor_.urgent_);
    else
        semaphore_.SignalAndWait(monitor_.mutex_);
    --waiting_;
}

void controlConditionVariable::SignalAndLeave()
{
    if (waiting_ > 0)
        semaphore_.V();   // the monitor passes to the woken thread
    else
        monitor_.Leave();
}
