#pragma once
// Process-wide flags of the program, one byte each, zero at load.
//
// RelaunchRequested: set by TFormMain::Restart; the program entry starts a new copy of the
//   program after its message loop has ended, and the Exit road then asks no question.
#include <cstdint>

namespace AppFlags {

extern uint8_t RelaunchRequested;

}  // namespace AppFlags
