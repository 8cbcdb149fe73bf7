#pragma once
// Application state of the main window: read-only or Update mode, busy, logged on, and
// whether the analyzer's database version is known. Each change switches the tool buttons
// and pages that depend on it through IStateView, which the main window implements; without
// a view only the state changes.
//
// Every operation except SetLogOn, SetLogOff and DisableFileButtons does nothing while no
// connection is open.
#include <QString>

class QTabWidget;

// The seventeen pages of the main window, by their tab index.
enum class MainPage : int {
    Analysis = 0,
    Status = 1,
    Alarms = 2,
    Archive = 3,
    Events = 4,
    Global = 5,
    Stream = 6,
    InputsDry = 7,
    InputsWet = 8,
    Outputs = 9,
    Sequencer = 10,
    Ports = 11,
    Modbus = 12,
    AnalogInput = 13,
    Timers = 14,
    Maintenance = 15,   // the board-tester page
    Factory = 16,
};
constexpr int kMainPageCount = 17;

// The tool buttons the state switches.
enum class StateButton {
    tbtnOpen,
    tbtnSave,
    tbtnSaveAs,
    tbtnWrite,
    WriteConfig,
    tbtnPoll,
    tbtnSync,
    tbtnAcknowledge,
    tbtnBypass,
    tbtnTapeAdvance,
};

// What the state switches on the main window.
class IStateView {
public:
    virtual ~IStateView() = default;
    virtual void EnableButton(StateButton button, bool on) = 0;
    virtual void EnablePage(MainPage page, bool on) = 0;
    virtual void SetArchiveReadOnly(bool readOnly) = 0;       // the archive viewer
    virtual void EnableStreamEditing(bool on) = 0;            // the streams page
    virtual void SetModbusReadOnly(bool readOnly) = 0;        // the Modbus page
    virtual void SetSequencerReadOnly(bool readOnly) = 0;     // the sequencer page
};

class StateMgr {
public:
    static StateMgr& Instance();
    static void Destroy();

    void SetView(IStateView* view) { view_ = view; }

    void SetLogOff();
    void SetLogOn();
    // The user level. The analysis, alarm, event-log and timer pages are never switched:
    // nothing on them reaches the analyzer but through the write buttons, which read-only
    // mode turns off.
    void SetReadOnly();
    void SetUpdate();
    void SetBusy();
    void DisableFileButtons();
    void SetIdle();

    bool IsReadOnly() const { return readOnly_ != 0; }
    bool IsBusy() const { return busy_ != 0; }
    bool IsLoggedOn() const { return loggedOn_ != 0; }
    // Kept by the catalogue factory at every logon (cleared for a version it does not hold).
    bool IsVersionKnown() const;

private:
    StateMgr() = default;
    void Button(StateButton button, bool on);
    void Page(MainPage page, bool on);

    IStateView* view_ = nullptr;
    unsigned char readOnly_ = 1;
    unsigned char busy_ = 1;
    unsigned char loggedOn_ = 0;
};

// The user-level look of the main window besides buttons and pages: the Update-mode menu
// item, the Reboot menu item and the mode display.
class IModeView {
public:
    virtual ~IModeView() = default;
    virtual void SetUpdateModeChecked(bool checked) = 0;   // mnuUpdateMode
    virtual void EnableReboot(bool on) = 0;                // mnuReboot
    virtual void SetModeDisp(const QString& text) = 0;     // ModeDisp
};

// Read-only setting: read-only mode in SecurityChk and StateMgr, menu unchecked, Reboot off,
// "READ ONLY", then busy.
void ApplyReadOnlySetting(IModeView& view);
// Update setting: Update mode in SecurityChk, menu checked, Reboot on, StateMgr Update and
// idle, "UPDATE".
void ApplyUpdateSetting(IModeView& view);

// Access class of each tab (its Tag): 0 and 1 for everyone, 2 Maintenance, 3 Factory.
int TabAccessClass(MainPage page);
// Whether a tab of the access class is shown: all classes below 4 with the Update-mode menu
// item checked, otherwise those below 2.
bool TabVisibleForMode(int accessClass, bool updateModeChecked);
// Shows or hides the main window's tabs (tab index = MainPage) by TabVisibleForMode.
void ShowTabsForMode(QTabWidget& pages, bool updateModeChecked);
