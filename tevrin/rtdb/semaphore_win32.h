#pragma once
// The lowest layer under the archive byte buffer: a counting semaphore and a recursive
// critical section with its scope guard. They keep the shape of the operating-system objects
// the higher layers were written against, but stand on std::mutex and
// std::condition_variable.
#include <condition_variable>
#include <mutex>

// One critical section, recursive for the thread that holds it.
class win32Critical_Section {
public:
    win32Critical_Section() = default;
    win32Critical_Section(const win32Critical_Section&) = delete;
    win32Critical_Section& operator=(const win32Critical_Section&) = delete;

    void Enter() { section_.lock(); }
    void Leave() { section_.unlock(); }

private:
    std::recursive_mutex section_;
};

// Enters a section for the lifetime of the guard.
class mutexLocker {
public:
    explicit mutexLocker(win32Critical_Section& section) : section_(section) { section_.Enter(); }
    ~mutexLocker() { section_.Leave(); }
    mutexLocker(const mutexLocker&) = delete;
    mutexLocker& operator=(const mutexLocker&) = delete;

private:
    win32Critical_Section& section_;
};

// A counting semaphore with an initial count and a maximum.
//
// Creation fails (message box "CreateSemaphore fail.", caption "Attension") when the maximum
// is not positive or the initial count lies outside 0..maximum; such a semaphore has no
// handle: Wait returns at once and Signal fails. Signal fails (message box
// "RleaseSemaphore fail.") when it would raise the count past the maximum; the count is then
// left as it was. The boxes are shown on the GUI thread; a failure on another thread queues
// its box there and carries on.
class win32Semaphore {
public:
    static constexpr int kMaximum = 0x7FFFFFFF;

    explicit win32Semaphore(int initialCount = 0, int maximum = kMaximum);
    ~win32Semaphore() = default;
    win32Semaphore(const win32Semaphore&) = delete;
    win32Semaphore& operator=(const win32Semaphore&) = delete;

    // Waits, without a time-out, until the count is above 0, and takes one.
    void Wait();
    // Releases one; false when the release failed.
    bool Signal();

    bool HasHandle() const { return handle_; }
    int InitialCount() const { return initial_; }
    int Maximum() const { return maximum_; }

private:
    int initial_;
    int maximum_;
    bool handle_;
    int count_;
    std::mutex mutex_;
    std::condition_variable released_;
};

namespace semaphore_messages {
constexpr const char* kCaption = "Attension";
constexpr const char* kCreateFailed = "CreateSemaphore fail.";
constexpr const char* kReleaseFailed = "RleaseSemaphore fail.";
}  // namespace semaphore_messages
