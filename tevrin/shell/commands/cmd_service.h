#pragma once
// Service actions: each writes "True" (the bypass "True" or "False") into one request point of
// the analyzer and sends that point.
//   "TapeAdvance"  TapeAdvanceCommand   point 331
//   "ResetLatches" ResetLatchesCommand  point 329
//   "SetBypass"    SetBypassCommand     point 330, "True" while the bypass button is down
//   "ZeroRef"      ZeroRefCommand       point 328
//   "Reference"    ReferenceCommand     point 327
//   "Calibrate"    CalibrateCommand     the point whose decimal DbId is the post's argument
// Every one ends at once, silently, while the window is logged off. A link failure is shown
// in the engine's words; the connection stays.
#include "tevrin/shell/commands/command.h"

#include <cstdint>
#include <string>

// Shared steps of the six; each names its point, value and texts.
class ServiceActionCommand : public Command {
public:
    void Execute() final;

protected:
    struct Action {
        long long dbId = -1;        // outside 0..65535: no such point
        std::string value = "True";
        std::string successText;    // empty: none shown
    };

    virtual const char* StatusText() const = 0;
    virtual const char* ErrorText() const { return "Error sending data to unit."; }
    // Whether the point is marked as holding a device value before it is edited.
    virtual bool MarksValid() const { return true; }
    // Runs inside the guard; may throw (Calibrate's argument).
    virtual Action Prepare() = 0;
};

class TapeAdvanceCommand : public ServiceActionCommand {
protected:
    const char* StatusText() const override { return "Tape Advance."; }
    const char* ErrorText() const override { return "Error sending Tap Advance to unit."; }
    Action Prepare() override { return {331, "True", "Tape Advance Submitted"}; }
};

class ResetLatchesCommand : public ServiceActionCommand {
protected:
    const char* StatusText() const override { return "Reset Latches."; }
    const char* ErrorText() const override { return "Error sending Reset Latches to unit."; }
    Action Prepare() override { return {329, "True", "Reset Latche Submitted"}; }
};

class SetBypassCommand : public ServiceActionCommand {
protected:
    const char* StatusText() const override { return "Set Bypass."; }
    const char* ErrorText() const override { return "Error sending bypass mode to unit."; }
    Action Prepare() override;
};

class ZeroRefCommand : public ServiceActionCommand {
protected:
    const char* StatusText() const override { return "Zero Reference."; }
    bool MarksValid() const override { return false; }
    Action Prepare() override { return {328, "True", "ZeroRef Submitted"}; }
};

class ReferenceCommand : public ServiceActionCommand {
protected:
    const char* StatusText() const override { return "Reference..."; }
    bool MarksValid() const override { return false; }
    Action Prepare() override { return {327, "True", "Ref Submitted"}; }
};

class CalibrateCommand : public ServiceActionCommand {
public:
    // The success text for a run-request point, empty for any other point.
    static std::string SuccessText(long long dbId);

protected:
    const char* StatusText() const override { return "Calibrate..."; }
    // The argument as a decimal DbId; EConvertError when it is not a whole number.
    Action Prepare() override;
};
