#include "platform/messages.h"

#include <QCoreApplication>

namespace platform {

bool ReserveMessageNumbers()
{
    static const unsigned numbers[] = {QM_GET, QM_PUT, QM_EDIT, QM_RESET, QM_BEFOREPOST, QM_REPORTCHANGES,
                                       QM_REGISTERDATABASE, WM_COMM_STATUS, WM_COMM_PROGRESS,
                                       WM_REQUEST_POLL, WM_REQUEST_READ, WM_STREAMTABIMAGE, WM_FREEPAGEDATA};
    static bool reserved = false;
    static bool allOurs = true;
    if (!reserved) {
        reserved = true;
        for (unsigned n : numbers)
            if (QEvent::registerEventType(static_cast<int>(n)) != static_cast<int>(n)) allOurs = false;
    }
    return allOurs;
}

intptr_t SendMessage(QObject* target, unsigned msg, uintptr_t wParam, intptr_t lParam)
{
    if (!target) return 0;
    TMessage m(msg, wParam, lParam);
    QCoreApplication::sendEvent(target, &m);
    return m.Result;
}

}  // namespace platform

TMessage::TMessage(unsigned msg, uintptr_t wParam, intptr_t lParam)
    : QEvent(static_cast<QEvent::Type>(msg)), Msg(msg), WParam(wParam), LParam(lParam)
{
}

bool TMessage::IsWindowMessage(const QEvent* event)
{
    const unsigned t = static_cast<unsigned>(event->type());
    return t >= platform::QM_GET && t <= platform::QM_REGISTERDATABASE;
}
