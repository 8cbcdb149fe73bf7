#include "pollard/pump.h"

#include "platform/clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace pollard {

void PumpOnce()
{
    QCoreApplication::processEvents();
    QThread::msleep(1);
}

bool PumpUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        QCoreApplication::processEvents();
        if (done()) return true;
        if (timer.elapsed() >= ms) return false;
        QThread::msleep(1);
    }
}

bool PumpDelay(int ms, const std::function<bool()>& stop)
{
    const int64_t start = platform::TickCountMs();
    for (;;) {
        QCoreApplication::processEvents();
        if (stop && stop()) return false;
        const int64_t left = ms - (platform::TickCountMs() - start);
        if (left <= 0) return true;
        platform::Sleep(left < 10 ? static_cast<int>(left) : 10);
    }
}

}  // namespace pollard
