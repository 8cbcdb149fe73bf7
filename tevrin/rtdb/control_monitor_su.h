#pragma once
// A monitor with signal-and-urgent-wait discipline, built from binary semaphores, which are
// built from counting semaphores and critical sections (semaphore_win32.h).
//
// Every decision of a binary semaphore is taken inside its critical section; blocking always
// happens outside it, on a counting semaphore of the blocked thread's own taken from a pool,
// so a blocked thread never holds a section. Waiters are woken first in, first out.
#include "tevrin/rtdb/semaphore_win32.h"

#include <deque>

// Counting semaphores (count 0) for threads about to block. A released semaphore is
// destroyed, not put back.
class semaphorePool : public win32Critical_Section {
public:
    semaphorePool();
    ~semaphorePool();
    semaphorePool(const semaphorePool&) = delete;
    semaphorePool& operator=(const semaphorePool&) = delete;

    // The front of the queue, or a new semaphore when the queue is empty.
    win32Semaphore* Acquire();
    void Release(win32Semaphore* semaphore);

    // Semaphores made so far (the first one by the constructor).
    int Made() const { return made_; }

private:
    std::deque<win32Semaphore*> queue_;
    int made_ = 0;
};

// A binary semaphore whose both operations block: P while it is taken, V while it is
// already free. A P that meets a blocked giver (or a V that meets a blocked taker) hands
// over directly and wakes the first one; the state then stays as it was.
class binarySemaphore : public win32Critical_Section {
public:
    // state: 1 free, 0 taken.
    explicit binarySemaphore(int state);
    virtual ~binarySemaphore() = default;

    virtual void P();   // take
    virtual void V();   // give

    // V on other and P on this one as one step: both sections are held while deciding, this
    // one's first.
    void SignalAndWait(binarySemaphore& other);

    int State() const;
    int BlockedTakers() const;
    int BlockedGivers() const;

private:
    // Inside the section: take, or queue a pool semaphore among the takers and return it
    // (the caller waits on it once it has left the sections).
    win32Semaphore* DecideP();
    win32Semaphore* DecideV();
    void Block(win32Semaphore* semaphore);

    int state_;
    std::deque<win32Semaphore*> takers_;
    std::deque<win32Semaphore*> givers_;
    semaphorePool pool_;
};

// The monitor: at most one thread inside. A thread woken from a condition continues inside
// the monitor at once, because the signaller leaves in the same step.
class controlMonitorSU {
public:
    controlMonitorSU();
    virtual ~controlMonitorSU() = default;
    controlMonitorSU(const controlMonitorSU&) = delete;
    controlMonitorSU& operator=(const controlMonitorSU&) = delete;

    void Enter();
    void Leave();

private:
    friend class controlConditionVariable;
    binarySemaphore mutex_;    // starts free
    binarySemaphore urgent_;   // starts taken
    int urgentCount_ = 0;
};

// A condition of a monitor; used only by a thread inside that monitor.
class controlConditionVariable {
public:
    explicit controlConditionVariable(controlMonitorSU& monitor);
    controlConditionVariable(const controlConditionVariable&) = delete;
    controlConditionVariable& operator=(const controlConditionVariable&) = delete;

    // Gives up the monitor and blocks until signalled; returns inside the monitor.
    void Wait();
    // Wakes the first waiter and hands the monitor straight to it; with nobody waiting it
    // leaves the monitor. Either way the caller is outside the monitor afterwards.
    void SignalAndLeave();

    int Waiting() const { return waiting_; }

private:
    binarySemaphore semaphore_;   // starts taken
    int waiting_ = 0;
    controlMonitorSU& monitor_;
};
