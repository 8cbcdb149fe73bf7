#pragma once
// The communication setup window, shown by ShowCommSetup. The engine asks for it the first
// time it is shown.
#include <memory>

namespace pollard {

class Engine;

class SetupWindow {
public:
    virtual ~SetupWindow() = default;
    virtual void Show() = 0;   // modeless, on top of the other windows
};

// The window for this engine; nullptr while the program has none.
std::unique_ptr<SetupWindow> CreateSetupWindow(Engine& engine);

}  // namespace pollard
