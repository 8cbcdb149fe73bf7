#include "tevrin/rtdb/semaphore_win32.h"

#include "platform/prompter.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QString>
#include <QThread>

namespace {

// Shows the box at once on the GUI thread; from any other thread the box is queued to the
// GUI thread, so a worker never touches a widget and never waits for an answer.
void ShowSemaphoreFailure(const char* text)
{
    const QString message = QString::fromLatin1(text);
    const QString caption = QString::fromLatin1(semaphore_messages::kCaption);
    auto* app = QCoreApplication::instance();
    if (!app) return;
    if (QThread::currentThread() == app->thread()) {
        platform::MessageBox(message, caption, platform::DlgType::Custom, platform::mbOK);
        return;
    }
    QMetaObject::invokeMethod(
        app, [message, caption] { platform::MessageBox(message, caption, platform::DlgType::Custom, platform::mbOK); },
        Qt::QueuedConnection);
}

}  // namespace

win32Semaphore::win32Semaphore(int initialCount, int maximum)
    : initial_(initialCount), maximum_(maximum), handle_(false), count_(0)
{
    if (maximum <= 0 || initialCount < 0 || initialCount > maximum) {
        ShowSemaphoreFailure(semaphore_messages::kCreateFailed);
        return;
    }
    handle_ = true;
    count_ = initialCount;
}

void win32Semaphore::Wait()
{
    if (!handle_) return;   // a wait on a missing handle fails at once
    std::unique_lock<std::mutex> lock(mutex_);
    released_.wait(lock, [this] { return count_ > 0; });
    --count_;
}

bool win32Semaphore::Signal()
{
    bool ok = false;
    if (handle_) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (count_ < maximum_) {
            ++count_;
            released_.notify_one();
            ok = true;
        }
    }
    if (!ok) ShowSemaphoreFailure(semaphore_messages::kReleaseFailed);
    return ok;
}
