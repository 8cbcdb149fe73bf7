#include "tevrin/pages/io/upgrade_flows.h"

#include "platform/prompter.h"
#include "tevrin/pages/page_host.h"
#include "tevrin/pages/widgets/file_prompts.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/sequencer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>

#include <array>

namespace upgradeflow {

QString SafeNamePart(const QString& text)
{
    QString part = text;
    for (QChar& c : part) {
        const ushort u = c.unicode();
        if (u < 0x20 || u == 0x7F || QStringLiteral("/\\:*?\"<>|").contains(c)) c = QLatin1Char('_');
    }
    return part;
}

QString DatedName(const QString& unitId, const QString& site, const QString& location, const QDateTime& at,
                  const char* suffix)
{
    const QDate d = at.date();
    const QTime t = at.time();
    QStringList parts = {SafeNamePart(unitId), SafeNamePart(site), SafeNamePart(location)};
    for (int n : {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec()}) parts << QString::number(n);
    return parts.join(QLatin1Char('_')) + QString::fromLatin1(suffix);
}

}  // namespace upgradeflow

using namespace upgradeflow;

namespace {

const QString kLogonFirst = QStringLiteral("Please Logon first.");
const QString kBusy = QStringLiteral("Please wait for current task to finish, then proceed.");

void Say(const QString& text) { platform::ShowMessage(text); }

bool Warn(const QString& text, unsigned buttons, int yes)
{
    return platform::MessageDlg(text, platform::DlgType::Warning, buttons) == yes;
}

// The steps of the window, when there is one.
QString StatusNotSaved(const QString& why)
{
    return QStringLiteral("The upgrade status could not be saved in the data folder: %1").arg(why);
}

void Step(IUpgradeWindow* window, int step, int item, int state)
{
    if (window) window->SetStep(step, item, state);
}

QString Text(TDbId id)
{
    return DataBase::Exists() ? QString::fromLatin1(DataBase::Instance()->GetPointText(id).c_str()) : QString();
}

}  // namespace

void TUpgradeFlows::Buttons(QPushButton* running, bool runningFlow)
{
    for (QPushButton* b : {read_, write_, merge_})
        if (b != running) b->setEnabled(!runningFlow);
}

QString TUpgradeFlows::DataFile(IPageHost& host, const QString& name) const
{
    const QString folder = host.EnterDataFolder();
    return folder.isEmpty() ? name : QDir(folder).filePath(name);
}

QString TUpgradeFlows::DatedFile(IPageHost& host, const char* suffix) const
{
    return DataFile(host, DatedName(Text(0), Text(1), Text(2), QDateTime::currentDateTime(), suffix));
}

void TUpgradeFlows::Stop(IPageHost& host, IUpgradeWindow* window, const QString& why)
{
    if (!why.isEmpty()) Say(why);
    if (window) {
        window->SetIdle(true);
        window->Show(false);
    }
    host.EnterDataFolder();
    host.SetPagesEnabled(true);
    Buttons(nullptr, false);
}

IPageHost* TUpgradeFlows::Begin(QPushButton* running)
{
    IPageHost* host = PageHost();
    if (!host) return nullptr;
    if (!host->LoggedOn()) {
        Say(kLogonFirst);
        return nullptr;
    }
    if (host->CommandBusy()) {
        Say(kBusy);
        return nullptr;
    }
    host->EnterDataFolder();
    Buttons(running, true);
    if (IUpgradeWindow* window = host->UpgradeWindow()) window->SetIdle(false);
    return host;
}

bool TUpgradeFlows::ReadConfiguration()
{
    IPageHost* host = Begin(read_);
    if (!host) return false;
    const QString oldConfig = DataFile(*host, QString::fromLatin1(kOldConfigFile));
    IUpgradeWindow* window = host->UpgradeWindow();
    if (window) {
        window->SetStepFlags(0, 0, 0);
        for (int s = 0; s < 3; ++s) window->SetStep(s, -1, 0);
        window->Show(true);
    }

    Step(window, 0, 0, 1);
    if (!host->RunCommand("ReadFull")) {
        Step(window, 0, -1, 0);
        Stop(*host, window, QStringLiteral("The configuration could not be read from the analyzer; \"%1\" was not written.")
                                .arg(QString::fromLatin1(kOldConfigFile)));
        return false;
    }
    Step(window, 0, 0, 2);
    Step(window, 0, 1, 1);
    if (host->PostEdits() != 0) {
        Step(window, 0, -1, 0);
        Stop(*host, window,
             QStringLiteral("A page holds a value that could not be taken; \"%1\" was not written.").arg(QString::fromLatin1(kOldConfigFile)));
        return false;
    }
    Step(window, 0, 1, 2);
    Step(window, 0, 2, 1);
    QString error;
    if (!host->WriteConfigFile(oldConfig, &error)) {
        Step(window, 0, -1, 0);
        Stop(*host, window, QStringLiteral("\"%1\" could not be written: %2").arg(oldConfig, error));
        return false;
    }
    if (window) {
        window->SetStepFlags(1, 0, 0);
        Step(window, 0, -1, 2);
        QString why;
        if (!window->SaveStatus(&why)) {
            Stop(*host, window, StatusNotSaved(why));
            return false;
        }
    }
    // The dated copy keeps this configuration after the merge has removed the old file.
    const QString preMerge = DatedFile(*host, kPreMergeSuffix);
    QFile::remove(preMerge);
    if (!QFile::copy(oldConfig, preMerge))
        Say(QStringLiteral("The dated copy \"%1\" could not be written; \"%2\" holds the configuration.")
                .arg(preMerge, QString::fromLatin1(kOldConfigFile)));
    if (window) {
        window->SetStepFlags(1, 1, 0);
        window->SetIdle(true);
    }
    Buttons(nullptr, false);
    return true;
}

bool TUpgradeFlows::WriteFirmware()
{
    IPageHost* host = PageHost();
    if (!host) return false;
    if (host->CommandBusy()) {
        Say(kBusy);
        return false;
    }
    // From the logged-off state the flow connects without reading the analyzer's database.
    if (!host->LoggedOn()) {
        host->RunCommand("UpgradeCommand");
        if (!host->LoggedOn()) return false;
    }
    const QString oldConfig = DataFile(*host, QString::fromLatin1(kOldConfigFile));
    Buttons(write_, true);
    IUpgradeWindow* window = host->UpgradeWindow();
    if (window) window->SetIdle(false);

    if (!QFileInfo::exists(oldConfig) &&
        !Warn(QStringLiteral("Are you sure you want to write firmware without Reading Old Configuration first?"),
              platform::mbYesNo, platform::mrYes)) {
        Buttons(nullptr, false);
        if (window) window->SetIdle(true);
        host->LogOff();
        host->SetPagesEnabled(true);
        return false;
    }

    // A write that does not get as far as a verified image leaves the flags as they were, so
    // that a later merge still asks whether new firmware was written.
    std::array<uint8_t, 3> before{};
    if (window) {
        for (int i = 0; i < 3; ++i) before[static_cast<size_t>(i)] = window->StepFlag(i);
        window->SetStepFlags(1, 1, 0);
    }
    const auto restoreFlags = [&] {
        if (window) window->SetStepFlags(before[0], before[1], before[2]);
    };
    const QString readBack = host->ReadBackFile();
    QFile::remove(readBack);

    const QString image = fileprompts::AskFirmwareImage();
    host->EnterDataFolder();
    if (image.isEmpty()) {
        restoreFlags();
        Say(QStringLiteral("Upgrade firmware was terminated. Application will restart."));
        if (window) window->SetIdle(true);
        host->LogOff();
        host->Restart();
        return false;
    }

    if (window) window->Show(true);
    host->SetPagesEnabled(false);
    Step(window, 2, -1, 0);
    Step(window, 1, -1, 0);
    Step(window, 1, 0, 1);
    QFile::remove(readBack);
    const auto fail = [&](const QString& why) {
        restoreFlags();
        Step(window, 1, -1, 0);
        Stop(*host, window, why);
        return false;
    };
    // A chosen file that has gone ends the flow as the upgrade road does, without a text of its
    // own; a failed write has said so itself ("Write Image fail!") and nothing is read back.
    if (!QFileInfo::exists(image)) return fail(QString());

    host->SetImageFile(image);
    if (!host->RunCommand("WriteImage")) return fail(QString());
    Step(window, 2, -1, 0);
    Step(window, 1, 0, 2);
    Step(window, 1, 1, 1);
    // A read-back that failed part-way keeps no file; either file missing is said as such, with
    // the folder the read-back was looked for in.
    const bool readOk = host->RunCommand("ReadImage");
    if (!QFileInfo::exists(image) || !QFileInfo::exists(readBack))
        return fail(QStringLiteral("File ") + image + QStringLiteral(" or ") + QFileInfo(readBack).fileName() +
                    QStringLiteral(" are missing error.\n") + QStringLiteral("current directory is ") + host->EnterDataFolder());
    if (!readOk || !host->CompareFirmwareFiles(image, readBack))
        return fail(QStringLiteral("Verification fail! Please Write Image again."));

    QFile::remove(readBack);
    Step(window, 2, -1, 0);
    Step(window, 1, 1, 2);
    Step(window, 1, 2, 1);
    if (window) {
        window->SetStepFlags(1, 1, before[2]);
        QString why;
        if (!window->SaveStatus(&why)) Say(StatusNotSaved(why));
    }
    Step(window, 1, 1, 2);
    Step(window, 1, -1, 2);
    host->SetPagesEnabled(false);

    const bool reboot =
        Warn(QStringLiteral("If firmware writing and verification were successful, please press OK button.\n"
                            "After pressing OK button, analyzer will automatically reboot, and GUI will restart.\n"
                            "After reboot, you have to LOG ON again."),
             platform::mbOKCancel, platform::mrOk);
    if (reboot) host->RunCommand("Reboot");

    host->LogOff();
    Buttons(nullptr, false);
    if (window) {
        window->SetIdle(true);
        window->Show(false);
    }
    host->EnterDataFolder();
    if (reboot)
        host->Restart();
    else
        host->CloseProgram();
    return true;
}

bool TUpgradeFlows::MergeConfiguration()
{
    IPageHost* host = Begin(merge_);
    if (!host) return false;
    const QString oldConfig = DataFile(*host, QString::fromLatin1(kOldConfigFile));
    IUpgradeWindow* window = host->UpgradeWindow();

    if (!QFileInfo::exists(oldConfig)) {
        Warn(QStringLiteral("Please Read Old Configuration, \n\nand then Write Firmware.\n\nThanks."), platform::mbOK,
             platform::mrOk);
        // The window stays busy: the upgrade it records is not over.
        Buttons(nullptr, false);
        return false;
    }
    if ((!window || !window->StepFlag(1)) &&
        !Warn(QStringLiteral("Have you written new Firmware? Continue?"), platform::mbYesNo, platform::mrYes)) {
        Buttons(nullptr, false);
        return false;
    }

    if (window) window->Show(true);
    host->SetPagesEnabled(false);
    Step(window, 0, -1, 2);
    Step(window, 1, -1, 2);
    Step(window, 2, 0, 1);
    const auto fail = [&](const QString& why) {
        Step(window, 2, -1, 0);
        Stop(*host, window, why + QStringLiteral(" The merge stopped; \"%1\" is kept.").arg(QString::fromLatin1(kOldConfigFile)));
        return false;
    };

    if (!host->RunCommand("ReadFull")) return fail(QStringLiteral("The new firmware's configuration could not be read."));
    Step(window, 2, 0, 2);
    Step(window, 2, 1, 1);
    int points = 0;
    QString error;
    if (!host->ReadConfigFile(oldConfig, &points, &error))
        return fail(QStringLiteral("\"%1\" could not be read: %2").arg(oldConfig, error));
    Step(window, 2, 1, 2);
    Step(window, 2, 2, 1);
    if (!host->RunCommand("WriteDirect", std::to_string(points)))
        return fail(QStringLiteral("The configuration could not be written to the analyzer; nothing was stored in flash."));
    bool sequencer = false;
    try {
        sequencer = DataBase::Instance()->AsSequencer()->WriteToUnit();
    } catch (...) {
        sequencer = false;
    }
    if (!sequencer) return fail(QStringLiteral("The sequencer could not be written to the analyzer; nothing was stored in flash."));
    DataBase::Instance()->LogSequencerConfiguration();
    Step(window, 2, 2, 2);
    Step(window, 2, 3, 1);
    if (!host->RunCommand("WriteConfig"))
        return fail(QStringLiteral("The configuration was written but could not be stored in the analyzer's flash."));
    Step(window, 2, 3, 2);
    Step(window, 2, -1, 2);

    QFile::remove(oldConfig);
    if (window) {
        window->SetStepFlags(0, 0, 0);
        QString why;
        if (!window->SaveStatus(&why)) Say(StatusNotSaved(why));
        for (int s = 0; s < 3; ++s) window->SetStep(s, -1, 0);
        if (window->Shown()) window->Show(false);
    }
    host->SetPagesEnabled(false);
    const QString postMerge = DatedFile(*host, kPostMergeSuffix);
    if (!host->WriteConfigFile(postMerge, &error))
        Say(QStringLiteral("The merged configuration could not be kept in \"%1\": %2").arg(postMerge, error));
    Buttons(nullptr, false);
    if (window) window->SetIdle(true);
    host->SetPagesEnabled(false);
    Warn(QStringLiteral("Please power cycle your analyzer.\n"
                        "After pressing OK button, GUI will automatically LOG OFF.\n"
                        "After power cycling the analyzer, you will have to LOG ON again."),
         platform::mbOK, platform::mrOk);
    host->LogOff();
    return true;
}
