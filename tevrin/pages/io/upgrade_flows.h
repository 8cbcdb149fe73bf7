#pragma once
// The firmware upgrade in three steps that the Maintenance page offers, one button each:
//   Read Configuration  the whole configuration read from the analyzer into "OldConfig.cfg"
//                       (and a dated "..._PreMerge.cfg" copy) in the data folder;
//   Write Firmware      a new image written, read back and compared, then the analyzer rebooted
//                       and the program restarted;
//   Merge Firmware      the new firmware's configuration read, "OldConfig.cfg" laid over it,
//                       written back and stored in flash, a dated "..._PostMerge.cfg" kept.
// The upgrade window shows the progress; "UpgradeStatus.dat" carries the step flags across the
// restart.
//
// Each step runs only when the one before it succeeded: a failed read, write, read-back,
// compare or flash store stops the flow there, says so (a failed image write through the
// command's own report, an image or read-back file that is missing afterwards as missing with
// the data folder, a read-back that differs as "Verification fail! Please Write Image again."),
// and leaves the files and flags as they were (no flash store and no deletion of
// "OldConfig.cfg" after a failed write). A merge refused before it starts leaves the upgrade
// window busy. Dated file names are built from the analyzer's unit id, site and location with
// every character a file name cannot hold replaced.
#include <QDateTime>
#include <QString>

#include <cstdint>

class IPageHost;
class IUpgradeWindow;
class QPushButton;

namespace upgradeflow {

inline constexpr const char* kOldConfigFile = "OldConfig.cfg";
inline constexpr const char* kPreMergeSuffix = "_PreMerge.cfg";
inline constexpr const char* kPostMergeSuffix = "_PostMerge.cfg";

// One part of a file name made from a text of the analyzer: characters that are path
// separators, reserved on common file systems or control characters become '_'; everything
// else, spaces included, stays as the analyzer holds it.
QString SafeNamePart(const QString& text);
// "<unit id>_<site>_<location>_<year>_<month>_<day>_<hour>_<minute>_<second>_<ms><suffix>",
// numbers without leading zeros.
QString DatedName(const QString& unitId, const QString& site, const QString& location, const QDateTime& at,
                  const char* suffix);

}  // namespace upgradeflow

class TUpgradeFlows {
public:
    TUpgradeFlows(QPushButton* readConfig, QPushButton* writeFirmware, QPushButton* mergeFirmware)
        : read_(readConfig), write_(writeFirmware), merge_(mergeFirmware)
    {
    }

    // Each returns true when the flow ran to its good end.
    bool ReadConfiguration();
    bool WriteFirmware();
    bool MergeConfiguration();

private:
    // The start of Read Configuration and Merge: logged on and no command running (else says
    // so and gives nullptr), then the data folder current, the other buttons disabled and the
    // window busy.
    IPageHost* Begin(QPushButton* running);
    // The three buttons but `running` disabled (on false: all three enabled again).
    void Buttons(QPushButton* running, bool runningFlow);
    QString DataFile(IPageHost& host, const QString& name) const;
    QString DatedFile(IPageHost& host, const char* suffix) const;
    // Ends a stopped flow: says why (when there is something to say), marks the window idle,
    // hides it, enables the pages and the buttons.
    void Stop(IPageHost& host, IUpgradeWindow* window, const QString& why);

    QPushButton* read_;
    QPushButton* write_;
    QPushButton* merge_;
};
