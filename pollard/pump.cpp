#include "pollard/pump.h"

#include "platform/clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace pollard {

namespace {
// A condition that no message announces is still seen this often.
constexpr qint64 kLongestSleepMs = 50;
}  // namespace

bool PumpUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    for (;;) {
        QCoreApplication::processEvents();
        if (done()) return true;
        const qint64 left = ms - timer.elapsed();
        if (left <= 0) return false;
        wake.start(static_cast<int>(std::min(left, kLongestSleepMs)));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
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
