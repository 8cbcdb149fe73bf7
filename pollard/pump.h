#pragma once
// Waiting on the GUI thread: the application keeps processing its messages (port events,
// timers, clicks) while the engine waits, one millisecond of sleep per turn.
#include <functional>

namespace pollard {

// One turn: let the application process its pending messages, then sleep 1 ms.
void PumpOnce();

// Turns until done() is true or ms milliseconds of real time have passed; true when done.
bool PumpUntil(const std::function<bool()>& done, int ms);

// A delay of ms milliseconds on the program's clock that keeps processing messages; ends
// early when stop() becomes true. True when the whole delay ran.
bool PumpDelay(int ms, const std::function<bool()>& stop = {});

}  // namespace pollard
