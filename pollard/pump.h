#pragma once
// Waiting on the GUI thread: the application keeps processing its messages (port events,
// timers, clicks) while the engine waits, and sleeps in the event loop's own wait between
// them, so that a wait costs no CPU.
#include <functional>

namespace pollard {

// Processes messages until done() is true or ms milliseconds of real time have passed; true
// when done. done() is looked at after every message and at least every 50 ms.
bool PumpUntil(const std::function<bool()>& done, int ms);

// A delay of ms milliseconds on the program's clock that keeps processing messages; ends
// early when stop() becomes true. True when the whole delay ran.
bool PumpDelay(int ms, const std::function<bool()>& stop = {});

}  // namespace pollard
