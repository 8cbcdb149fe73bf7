#include "pollard/setup_window.h"

namespace pollard {

std::unique_ptr<SetupWindow> CreateSetupWindow(Engine&) { return nullptr; }

}  // namespace pollard
