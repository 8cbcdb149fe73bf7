#pragma once
// Window messages in place of the Windows message numbers. A message is a QEvent whose
// type is the message number; it is delivered synchronously with SendMessage, like the
// original SendMessage, and its handler answers in Result.
#include <QEvent>
#include <cstdint>

class QObject;

namespace platform {

// Control protocol of the data-bound controls.
constexpr unsigned QM_GET = 0x8192;
constexpr unsigned QM_PUT = 0x8193;
constexpr unsigned QM_EDIT = 0x8194;
constexpr unsigned QM_RESET = 0x8195;
constexpr unsigned QM_BEFOREPOST = 0x8196;
constexpr unsigned QM_REPORTCHANGES = 0x8197;
constexpr unsigned QM_REGISTERDATABASE = 0x81AF;

// Communication engine to main window.
constexpr unsigned WM_COMM_STATUS = 0x81A0;
constexpr unsigned WM_COMM_PROGRESS = 0x81A1;
// Requests of the shared routines to the main form (nobody handles them).
constexpr unsigned WM_REQUEST_POLL = 0x81A7;
constexpr unsigned WM_REQUEST_READ = 0x81A8;
// A set frame to its stream page: whether the set's "Time" box is checked, so that the page
// marks the set's tab (WParam: the set's tab index; LParam: 1 checked, 0 not).
constexpr unsigned WM_STREAMTABIMAGE = 0x81AA;
// Main window to its pages when it closes.
constexpr unsigned WM_FREEPAGEDATA = 0x81AC;

// Reserves every message number above with Qt, so that no other event type can take it.
// Safe to call more than once; returns false if a number was already taken by someone else.
bool ReserveMessageNumbers();

}  // namespace platform

// One window message: number, two parameters and the handler's answer.
class TMessage : public QEvent {
public:
    explicit TMessage(unsigned msg, uintptr_t wParam = 0, intptr_t lParam = 0);

    unsigned Msg;
    uintptr_t WParam;
    intptr_t LParam;
    intptr_t Result = 0;

    // True when the event is one of our window messages (type in the reserved range).
    static bool IsWindowMessage(const QEvent* event);
};

namespace platform {
// Delivers the message synchronously and returns its Result.
intptr_t SendMessage(QObject* target, unsigned msg, uintptr_t wParam = 0, intptr_t lParam = 0);
}  // namespace platform
