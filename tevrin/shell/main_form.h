#pragma once
// The main window: tool bars, menus, the page control with the seventeen pages and the
// status line. It creates the program's services at start-up (the shared routines, the link
// to the analyzer, the real-time database, the message layer, the archive database and the
// named commands), answers the communication engine's notices, switches pages and user
// levels, and is the owner every device command reports to.
//
// Posting commands: CommandLine::Instance().Post(name, argument). A post made while nothing
// runs executes before Post returns; the roads of this window that depend on that (logon,
// permanent write) refuse to start while a command runs or waits.
#include "brannix/database_glue.h"
#include "ombrel/ombrel_api.h"
#include "tevrin/pages/page_host.h"
#include "tevrin/shell/commands/command_owner.h"
#include "tevrin/shell/state_mgr.h"

#include <QImage>
#include <QPixmap>
#include <QMainWindow>
#include <QString>

#include <array>
#include <memory>
#include <string>

namespace Ui {
class TFormMain;
}
class QAction;
class QLabel;
class QProgressBar;
class QTabWidget;
class QTimer;
class QToolBar;
class PowerNotice;
class TQStatusBar;
class TWait;
class TPageFrame;
class TfraWW;
class TfrmIOStatus;
class TfrmAlarm;
class TfraArchiveViewer;
class TfraAnalyzerGlobal;
class TfraAnalyzerStreams;
class TfraIO;
class TfrmInput2;
class TfraOutput;
class TfraCommPorts;
class TfraModbus;
class TfraFactory;
class TfrAnalogInputs;
class TfrmTimer1;
class TfraBoardTester;
class TfrSequencer;
class TfrmAudit;
class TLogFrm;
class TfmUpgrade;
class ConfigFileRoads;

// The shared routines the window binds by name at start-up.
struct OmbrelRoutines {
#define OMBREL_MEMBER(name) OmbrelFn_##name name = nullptr;
    OMBREL_STARTUP_EXPORTS(OMBREL_MEMBER)
#undef OMBREL_MEMBER
};

class TFormMain : public QMainWindow, public ICommandOwner, public IStateView, public IModeView, public IPageHost {
    Q_OBJECT
public:
    // Builds the window, its seventeen pages and then its services (FormCreate).
    explicit TFormMain(QWidget* parent = nullptr);
    // Frees the services in their fixed order (FormDestroy).
    ~TFormMain() override;

    // The main window while it exists.
    static TFormMain* Current();

    // Folder the shared libraries (Ombrel, Pollard) are loaded from; the program's own folder
    // unless set before the window is built.
    static void SetLibraryFolder(const QString& folder);
    static QString LibraryFolder();

    // --- ICommandOwner: the keys of CommandKeys ------------------------------------------------
    void SetFlag(std::string key, bool value) override;
    void SetNumber(std::string key, int32_t value) override;
    void SetText(std::string key, std::string text) override;
    bool GetFlag(std::string key) override;
    int32_t Request(std::string key, void* argument) override;
    double GetDate(std::string key, int32_t value) override;

    // --- IStateView / IModeView (what StateMgr switches) -----------------------------------------
    void EnableButton(StateButton button, bool on) override;
    void EnablePage(MainPage page, bool on) override;
    void SetArchiveReadOnly(bool readOnly) override;
    void EnableStreamEditing(bool on) override;
    void SetModbusReadOnly(bool readOnly) override;
    void SetSequencerReadOnly(bool readOnly) override;
    void SetUpdateModeChecked(bool checked) override;
    void EnableReboot(bool on) override;
    void SetModeDisp(const QString& text) override;

    // --- services for the commands and the pages ----------------------------------------------
    // Moves the controls' edited texts into the database: QM_EDIT, QM_BEFOREPOST, QM_PUT over
    // the window; the first non-zero result is returned (a control refused its text). Without
    // the shared routines nothing can be moved and 1 is returned.
    int32_t PostEdits() override;
    // Writes one point through the "WriteSinglePoint" command (posted with an empty argument).
    void WriteSinglePoint(TDbId id, const std::string& text) override;
    // Closes the wait window, asks for a new copy of the program after the message loop and
    // closes the window.
    void Restart() override;
    void SetStreamDisp(const QString& text) override;
    // --- IPageHost: the rest of what the pages use --------------------------------------------
    void SetStatusText(const QString& text) override;
    bool ReadOnlyMode() const override;
    void PostCommand(const std::string& name, const std::string& argument = std::string()) override;
    bool CommandBusy() const override;
    // --- IPageHost: the archive viewer page ---------------------------------------------------
    void SetSpecialPanelText(const QString& text) override;
    void ShowWaitWindow(bool animation, bool bar) override;
    void StepWaitBar() override;
    void HideWaitWindow() override;
    void ShowLogConfiguration() override;
    void SetProgressMax(int max) override;
    bool TimestampTokenToDate(uint32_t token, double& dateTime) const override;
    void ReadSinglePoint(TDbId id) override;
    // While the link is up and direct control may be on: the maintenance page's controls are
    // released and 332 "False" is written (log-off, exit, close).
    void ReleaseDirectControl();
    void PostNewModbusList(uint8_t mode) override;
    bool ResetUpdatePassword(QString* why) override;
    bool RunCommand(const std::string& name, const std::string& argument = std::string()) override;
    QString EnterDataFolder() override;
    bool WriteConfigFile(const QString& fileName, QString* error) override;
    bool ReadConfigFile(const QString& fileName, int* pointCount, QString* error) override;
    void SetImageFile(const QString& path) override;
    QString ReadBackFile() const override;
    bool CompareFirmwareFiles(const QString& image, const QString& readBack) const override;
    IUpgradeWindow* UpgradeWindow() override;
    void SetPagesEnabled(bool on) override;
    void LogOff() override { tbtnLogoffClick(); }
    void CloseProgram() override { close(); }
    // The wait window (created on first use when the program made none).
    TWait* Wait();
    // Shows or hides the tabs by the Update-mode menu item's check mark.
    void ShowTabsForMode();

    // --- handlers ---------------------------------------------------------------------------------
    // Link state (WM_COMM_STATUS): icons of panels 4 and 5 and the pause text.
    void ShowCommStatus(int state);
    // Progress (WM_COMM_PROGRESS): 1 steps the status-line bar, 0 resets it.
    void StepProgress(int step);
    void StatusBarTimerTimer();
    void Timer1Timer();
    // The machine's power notices: while logged on, the suspend is announced in a box.
    static constexpr int kPowerSuspend = 4;
    void WMPowerBroadcast(int event);
    PowerNotice* Power() const { return powerNotice_; }
    // The show handler of a tab (index = MainPage) and the Maintenance tab's hide handler.
    void TabShow(int index);
    void TabSheetFCHide();

    void tbtnLogonClick();
    void tbtnLogoffClick();
    void mnuUpdateModeClick();
    void mnuChangePasswordClick();
    void tbtnPollClick();
    void tbtnWriteClick();
    void SetDefaultConfigClick();
    void tbtnSyncClick();
    void tbtnBypassClick();
    void tbtnTapeAdvanceClick();
    void tbtnAcknowledgeClick();
    void tbtnCommClick();
    void tbtnExitClick();
    void mnuRebootClick();
    void tbtnUpgradeClick();
    void UpgradeWindowClick();
    // The configuration file: Open, Save and Save As.
    void tbtnOpenClick();
    void tbtnSaveClick();
    void tbtnSaveAsClick();
    ConfigFileRoads& ConfigFile();

    // --- state ------------------------------------------------------------------------------------
    // A connection is open (the Logon button is disabled).
    bool LoggedOn() const override;
    bool SharedRoutinesBound() const { return ombrelBound_; }
    bool ServicesCreated() const { return servicesCreated_; }
    const OmbrelRoutines& Ombrel() const { return ombrel_; }
    int ProgressMax() const { return progressMax_; }
    bool WaitProgress() const { return waitProgress_; }
    int RxIcon() const { return rxIcon_; }
    int TxIcon() const { return txIcon_; }
    int StatusLineRepaints() const { return statusRepaints_; }
    bool Timer1Active() const;
    int UpgradeCheckTicks() const { return upgradeCheckTicks_; }
    MainPage CurrentPage() const;

    // --- components -------------------------------------------------------------------------------
    QAction* Action(const char* name) const;
    QToolBar* ToolBar(const char* name) const;
    QTabWidget* PageControlMain() const;
    QLabel* ModeDisp() const;
    QLabel* StreamDisp() const;
    TQStatusBar* StatusLine() const { return statusLine_; }
    QLabel* SpecialPanel() const { return specialPanel_; }
    QProgressBar* StatusProgress() const { return statusProgress_; }
    TPageFrame* Frame(MainPage page) const;

    TfraWW* fraWW() const { return fraWW_; }
    TfraArchiveViewer* fraArchiveViewer() const { return fraArchiveViewer_; }
    TfraAnalyzerStreams* fraAnalyzerStreams() const { return fraAnalyzerStreams_; }
    TfraOutput* fraOutput() const { return fraOutput_; }
    TfraModbus* fraModbus() const { return fraModbus_; }
    TfraFactory* fraFactory() const { return fraFactory_; }
    TfraBoardTester* fraBoardTester() const { return fraBoardTester_; }
    TfrSequencer* frSequencer() const { return frSequencer_; }
    TfrmAudit* frmAudit() const { return frmAudit_; }
    TLogFrm* LogFrm() const { return logFrm_; }
    TfmUpgrade* fmUpgrade() const { return fmUpgrade_; }

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void CreatePages();
    void FormCreate();
    void CreateStatusWidgets();
    bool LoadSharedRoutines();
    void CreateServices();
    void RegisterWithDatabase();
    bool FormCloseQuery();
    void FormDestroy();
    void ConnectActions();
    void OnTabChanged(int index);
    void ShowFactoryTab();   // the Factory tab's show handler, with its code prompt

    // Steps of the page handlers.
    void ApplyUserLevel();          // S: read-only or Update state by the read-only mode
    void SwitchPolling(bool on);    // P0 / P1
    void ReadOnce();                // R: "ExpressRead" when logged on
    void Post(const std::string& name, const std::string& argument = std::string());
    bool RefuseWhileBusy();
    void ShowOffLineLook();
    void SetPanelColour(bool white);
    void UpdateLinkIcons();
    // Puts icon `index` into a link panel; true when the panel showed another picture before.
    static bool ShowLinkIcon(QLabel* panel, const std::array<QPixmap, 5>& icons, int index);

    std::unique_ptr<Ui::TFormMain> ui;
    TQStatusBar* statusLine_ = nullptr;
    QProgressBar* statusProgress_ = nullptr;
    QLabel* specialPanel_ = nullptr;
    QLabel* rxPanel_ = nullptr;
    QLabel* txPanel_ = nullptr;
    QTimer* statusBarTimer_ = nullptr;
    QTimer* timer1_ = nullptr;
    std::array<QPixmap, 5> imlRx_;
    std::array<QPixmap, 5> imlTx_;
    TWait* ownWait_ = nullptr;
    PowerNotice* powerNotice_ = nullptr;
    std::unique_ptr<ConfigFileRoads> configFile_;
    std::unique_ptr<IUpgradeWindow> upgradeWindow_;

    int rxIcon_ = 0;
    int txIcon_ = 0;
    bool waitProgress_ = false;
    int progressMax_ = 0;
    int upgradeCheckTicks_ = 0;
    int statusRepaints_ = 0;
    int shownTab_ = -1;
    bool firstShow_ = true;
    bool ombrelBound_ = false;
    bool servicesCreated_ = false;
    OmbrelRoutines ombrel_;

    TfraWW* fraWW_ = nullptr;
    TfrmIOStatus* frmIOStatus_ = nullptr;
    TfrmAlarm* frmAlarm_ = nullptr;
    TfraArchiveViewer* fraArchiveViewer_ = nullptr;
    TfraAnalyzerGlobal* fraAnalyzerGlobal_ = nullptr;
    TfraAnalyzerStreams* fraAnalyzerStreams_ = nullptr;
    TfraIO* fraIO_ = nullptr;
    TfrmInput2* frmInput2_ = nullptr;
    TfraOutput* fraOutput_ = nullptr;
    TfraCommPorts* fraCommPorts_ = nullptr;
    TfraModbus* fraModbus_ = nullptr;
    TfraFactory* fraFactory_ = nullptr;
    TfrAnalogInputs* frAnalogInputs_ = nullptr;
    TfrmTimer1* frmTimer1_ = nullptr;
    TfraBoardTester* fraBoardTester_ = nullptr;
    TfrSequencer* frSequencer_ = nullptr;
    TfrmAudit* frmAudit_ = nullptr;
    // The log configuration window, made with the main window and shown by the archive page.
    TLogFrm* logFrm_ = nullptr;
    TfmUpgrade* fmUpgrade_ = nullptr;
};
