#pragma once
// Time and sleeping go through one injectable clock, so that tests of long busy loops
// (a flash store polls for 70 seconds) run in milliseconds. A tick is 55 ms.
#include <cstdint>

namespace platform {

constexpr int kTickMs = 55;

class IClock {
public:
    virtual ~IClock() = default;
    virtual int64_t NowMs() = 0;        // monotonic milliseconds
    virtual void SleepMs(int ms) = 0;   // blocks (a fake clock only advances its time)
};

IClock& Clock();
void SetClock(IClock* clock);   // nullptr restores the real clock

inline void Sleep(int ms) { Clock().SleepMs(ms); }
inline int64_t TickCountMs() { return Clock().NowMs(); }

}  // namespace platform
