#pragma once
// What the pages need of the main window, and nothing more. The main window implements it and
// registers itself at start-up; a page asks PageHost() and does nothing where there is none
// (a page built on its own, as in some tests). The shell sits above the pages: no page
// includes a header of the shell.
#include "brannix/database_glue.h"

#include <QString>

#include <cstdint>
#include <string>

// The upgrade window and its step list as the maintenance page's firmware and configuration
// steps drive them.
class IUpgradeWindow {
public:
    virtual ~IUpgradeWindow() = default;
    // Step 0 reading the old configuration, 1 the firmware write, 2 the merge; item -1 for all
    // items of the step; state 0 cleared, 1 active, 2 done.
    virtual void SetStep(int step, int item, int state) = 0;
    // The three step flags (0 old configuration read, 1 firmware written, 2 reset request).
    virtual uint8_t StepFlag(int i) const = 0;
    virtual void SetStepFlags(uint8_t first, uint8_t second, uint8_t third) = 0;
    // Saves the flags into "UpgradeStatus.dat" in the data folder; false when it could not,
    // with the reason in `why`.
    virtual bool SaveStatus(QString* why) = 0;
    // While a step runs the window is not idle (its Hide button then keeps the record).
    virtual void SetIdle(bool idle) = 0;
    // Shows (or hides) the window with its backdrop; the "Upgrade Window" item follows.
    virtual void Show(bool show) = 0;
    virtual bool Shown() const = 0;
};

class IPageHost {
public:
    virtual ~IPageHost();

    // --- the window ---------------------------------------------------------------------------
    // The caption of the stream-count display beside the page control.
    virtual void SetStreamDisp(const QString& text) = 0;
    // A text in the first panel of the status line.
    virtual void SetStatusText(const QString& text) = 0;

    // --- who is logged on ---------------------------------------------------------------------
    // A connection to the analyzer is open (the Logon button is disabled).
    virtual bool LoggedOn() const = 0;
    // The user works at the read-only level (no Update-mode password given).
    virtual bool ReadOnlyMode() const = 0;

    // --- commands -----------------------------------------------------------------------------
    // Posts a named command of the command layer: it runs before this returns when no command
    // runs, otherwise it is queued behind the one running.
    virtual void PostCommand(const std::string& name, const std::string& argument = std::string()) = 0;
    // A command is running or waiting in the queue.
    virtual bool CommandBusy() const = 0;
    // Writes one point through the "WriteSinglePoint" command. With a text the point's edited
    // value is set from it first; with an empty text the point's edited value is written.
    virtual void WriteSinglePoint(TDbId id, const std::string& text) = 0;
    // Moves every control's edited text into the database (QM_EDIT, QM_BEFOREPOST, QM_PUT over
    // the window); the first non-zero result, 0 when all went in.
    virtual int32_t PostEdits() = 0;

    // --- the Analysis page ----------------------------------------------------------------------
    // The date and time (days since 30 December 1899) of the analyzer's packed timestamp token,
    // through the shared routines; false when they are not loaded.
    virtual bool TimestampTokenToDate(uint32_t token, double& dateTime) const = 0;

    // --- the service pages (analog inputs, maintenance, ports, factory) ---------------------------
    // Reads one point from the analyzer through the "ReadSinglePoint" command.
    virtual void ReadSinglePoint(TDbId id) = 0;

    // --- the Modbus page ------------------------------------------------------------------------
    // Posts "NewModbusList" with the layout set on the command (0 ENRON, 1 MODICON16,
    // 2 MODICON32): the database's map becomes an empty map of that layout.
    virtual void PostNewModbusList(uint8_t mode) = 0;

    // --- the Factory page -----------------------------------------------------------------------
    // Stores the factory default Update-mode password in the password file; false when the file
    // could not be written, with the reason in `why`.
    virtual bool ResetUpdatePassword(QString* why) = 0;

    // --- the archive viewer page ----------------------------------------------------------------
    // The status line's special panel (what a command is doing); an empty text clears it.
    virtual void SetSpecialPanelText(const QString& text) { (void)text; }
    // The wait window: shown with its animation, its bar (at 0 of 100) or both; the bar
    // stepped (past its end it starts again at 0); hidden.
    virtual void ShowWaitWindow(bool animation, bool bar) { (void)animation, (void)bar; }
    virtual void StepWaitBar() {}
    virtual void HideWaitWindow() {}
    // The log configuration window, modally.
    virtual void ShowLogConfiguration() {}

    // --- the maintenance page's firmware and configuration steps ------------------------------
    // Runs a named command at once and tells whether it reached its good end; false, running
    // nothing, while another command runs or waits (a step must not queue behind it).
    virtual bool RunCommand(const std::string& name, const std::string& argument = std::string()) = 0;
    // Makes the per-user data folder the current folder and returns it (no trailing separator).
    virtual QString EnterDataFolder() = 0;
    // The configuration file, written whole from the database or read into it (then with the
    // number of points the file lists); false with the reason in *error.
    virtual bool WriteConfigFile(const QString& fileName, QString* error) = 0;
    virtual bool ReadConfigFile(const QString& fileName, int* pointCount, QString* error) = 0;
    // The image file the next "WriteImage" sends and "ReadImage" reads back.
    virtual void SetImageFile(const QString& path) = 0;
    // Where "ReadImage" puts the copy it reads back.
    virtual QString ReadBackFile() const = 0;
    // True when the read-back copy matches the image.
    virtual bool CompareFirmwareFiles(const QString& image, const QString& readBack) const = 0;
    // The upgrade window; nullptr when there is none.
    virtual IUpgradeWindow* UpgradeWindow() = 0;
    // Enables or disables the window's page control.
    virtual void SetPagesEnabled(bool on) = 0;
    // Logs off as the Logoff button does.
    virtual void LogOff() = 0;
    // Closes the program and starts it again; closes it for good.
    virtual void Restart() = 0;
    virtual void CloseProgram() = 0;

    // --- the events page ------------------------------------------------------------------------
    // The status line's progress bar: its maximum, the bar back at 0.
    virtual void SetProgressMax(int max) { (void)max; }
};

// The registered host, or nullptr.
IPageHost* PageHost();
// Registers the host (nullptr forgets it).
void SetPageHost(IPageHost* host);
