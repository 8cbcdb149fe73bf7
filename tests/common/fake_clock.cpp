#include "tests/common/fake_clock.h"

FakeClock::FakeClock() { platform::SetClock(this); }

FakeClock::~FakeClock() { platform::SetClock(nullptr); }

void FakeClock::SleepMs(int ms)
{
    sleeps.push_back(ms);
    if (ms > 0) now += ms;
}
