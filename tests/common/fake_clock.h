#pragma once
// A clock for tests: sleeping only advances its time, so long busy loops run at once.
#include "platform/clock.h"

#include <vector>

class FakeClock : public platform::IClock {
public:
    FakeClock();    // installs itself
    ~FakeClock() override;   // restores the real clock

    int64_t NowMs() override { return now; }
    void SleepMs(int ms) override;

    int64_t now = 0;
    std::vector<int> sleeps;   // every sleep asked, in order
};
