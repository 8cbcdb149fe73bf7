#pragma once
// The firmware upgrade: the status window TfmUpgrade over its translucent backdrop TBack, the
// status file "UpgradeStatus.dat" that brings the window back at the next start, the compare of
// the image with its read-back copy, and the flow of the Upgrade Firmware button.
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <string>

class CommandLine;
class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QTimer;
class TfmUpgrade;

// The backdrop behind the upgrade window: borderless, on top, partly transparent.
class TBack : public QWidget {
    Q_OBJECT
public:
    explicit TBack(TfmUpgrade* front, QWidget* parent = nullptr);

protected:
    // Activated (clicked), the backdrop brings the upgrade window back in front of it.
    void changeEvent(QEvent* e) override;

private:
    TfmUpgrade* front_;
};

class TfmUpgrade : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kStatusFileName = "UpgradeStatus.dat";
    static constexpr const char* kOldConfigFileName = "OldConfig.cfg";
    static constexpr int kBlinkMs = 1000;

    // Builds the window and the step list, then reads the status file in the data folder (made
    // from the current flags when missing) and colours the steps it records as done. centreOn:
    // the window both windows are centred on.
    explicit TfmUpgrade(QWidget* centreOn = nullptr);
    ~TfmUpgrade() override;

    // The three flags as "1" or "0" lines, replacing the file whole: 0 done, 1 the file can't
    // be opened, 2 a write error.
    int SaveStatus(const QString& fileName, QString* why = nullptr);
    // Reads the three flags (a line whose leading number is 1 sets its flag, any other clears
    // it): 0 done, 3 a line missing or unreadable (the flags read so far are kept). A file that
    // can't be opened is made from the current flags and gives 1.
    int ReadStatus(const QString& fileName);
    // The step list of this window (replaces what the shared list held).
    void BuildSteps();

    // The status file's path in the data folder.
    static QString StatusFilePath();
    // Whether the window should come back at start: some flag is set.
    bool AnyStepDone() const { return StepDone[0] || StepDone[1] || StepDone[2]; }

    // The backdrop first, then the window in front of it; and the other way round to hide.
    void ShowWithBack();
    void HideWithBack();

    // The popup's "Hide": unchecks the menu item and hides both windows.
    void Hide1Click();
    // The Hide button: while no upgrade runs, offers to forget the record (the status file,
    // the old configuration, the colours, the flags); then as Hide1Click.
    void HideBClick();
    // The menu item that mirrors whether the window is up ("Upgrade Window").
    void SetWindowMenuItem(QAction* item) { menuItem_ = item; }

    std::array<uint8_t, 3> StepDone{};   // [0] top step 0 done, [1] top step 1 done, [2] reset request
    uint8_t UpgradeIdle = 1;             // 1 while no upgrade flow runs

    QLabel* belStep2 = nullptr;
    QLabel* step2 = nullptr;
    QLabel* Step2_1 = nullptr;
    QLabel* Step2_2 = nullptr;
    QPushButton* HideB = nullptr;
    QMenu* PopupMenu = nullptr;
    QAction* Hide1 = nullptr;
    QTimer* Timer1 = nullptr;
    QProgressBar* Progress = nullptr;
    TBack* Back() const { return back_; }

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void Centre(QWidget* w);

    TBack* back_ = nullptr;
    QPointer<QWidget> centreOn_;
    QPointer<QAction> menuItem_;
};

// Equal when the image is exactly one byte longer than the read-back copy and the copy equals
// the image's bytes before its last one; a file that can't be opened counts as unequal.
bool CompareFirmwareFiles(const QString& image, const QString& readBack);

// What the upgrade flow asks of the main window.
class IUpgradeHost {
public:
    virtual ~IUpgradeHost() = default;
    virtual bool LoggedOn() = 0;                    // the Logon button is disabled
    virtual void LogOff() = 0;                      // as the Logoff button does
    virtual void SetModeDisp(const QString& text) = 0;
    virtual void EnableUpgradeButton(bool on) = 0;
    virtual void SetPagesEnabled(bool on) = 0;
    virtual void SetWindowMenuChecked(bool on) = 0;
    virtual void Restart() = 0;                     // the program closes and starts again
    virtual void CloseMain() = 0;                   // the program closes
};

// The Upgrade Firmware button: connect if needed, choose the image, write it, read it back,
// compare, record the result and (when the user agrees) reboot the analyzer and restart.
void RunFirmwareUpgrade(IUpgradeHost& host, CommandLine& line, TfmUpgrade& window);
