#include "platform/clock.h"

#include "platform/process_wide.h"

#include <QElapsedTimer>
#include <QThread>

namespace platform {

namespace {
constexpr const char* kKey = "tevrin.clock";

class RealClock : public IClock {
public:
    RealClock() { timer_.start(); }
    int64_t NowMs() override { return timer_.elapsed(); }
    void SleepMs(int ms) override
    {
        if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
    }

private:
    QElapsedTimer timer_;
};

RealClock& realClock()
{
    static RealClock clock;
    return clock;
}
}  // namespace

IClock& Clock()
{
    if (auto* c = static_cast<IClock*>(ProcessWideGet(kKey))) return *c;
    return realClock();
}

void SetClock(IClock* clock) { ProcessWideSet(kKey, clock); }

}  // namespace platform
