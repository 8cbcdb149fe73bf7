#include "tevrin/shell/upgrade.h"

#include "platform/numtext.h"
#include "platform/prompter.h"
#include "tevrin/pages/widgets/file_prompts.h"
#include "tevrin/shell/commands/cmd_image.h"
#include "tevrin/shell/commands/command_line.h"
#include "tevrin/shell/security_chk.h"
#include "tevrin/shell/upgrade_steps.h"
#include "platform/save_file.h"

#include <QAction>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kStatusLineMax = 40;
// Three flags, one to a line: a file far larger is no status file and is not read.
constexpr qint64 kStatusFileMax = 64 * 1024;

QString DataFile(const char* name)
{
    const QString folder = SecurityChk::Instance().GetFolder();
    return folder.isEmpty() ? QString::fromLatin1(name) : QDir(folder).filePath(QString::fromLatin1(name));
}

void SetSilver(QWidget* w)
{
    QPalette palette = w->palette();
    palette.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    w->setPalette(palette);
    w->setAutoFillBackground(true);
}

}  // namespace

// --- the backdrop ---------------------------------------------------------------------------

TBack::TBack(TfmUpgrade* front, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), front_(front)
{
    setWindowTitle(QStringLiteral("Display Background"));
    setWindowOpacity(200.0 / 255.0);
    SetSilver(this);
    resize(520, 260);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (front_ && front_->PopupMenu) front_->PopupMenu->popup(mapToGlobal(at));
    });
}

void TBack::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && front_ && front_->isVisible()) front_->raise();
}

// --- the upgrade window -----------------------------------------------------------------------

TfmUpgrade::TfmUpgrade(QWidget* centreOn)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), centreOn_(centreOn)
{
    setObjectName(QStringLiteral("fmUpgrade"));
    SetSilver(this);

    belStep2 = new QLabel(QStringLiteral("Upgrade Firmware Status"), this);
    QFont title = belStep2->font();
    title.setBold(true);
    belStep2->setFont(title);
    step2 = new QLabel(QStringLiteral("  Writing New Firmware into Device"), this);
    Step2_1 = new QLabel(QStringLiteral("Reading Back and Verify Firmware"), this);
    Step2_2 = new QLabel(QStringLiteral("Reboot Analyzer and Restart GUI"), this);
    Progress = new QProgressBar(this);
    Progress->setRange(0, 1);
    Progress->setValue(0);
    HideB = new QPushButton(QStringLiteral("Hide"), this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(belStep2);
    for (QLabel* l : {step2, Step2_1, Step2_2}) layout->addWidget(l);
    layout->addWidget(Progress);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(HideB);
    layout->addLayout(buttons);

    PopupMenu = new QMenu(this);
    Hide1 = PopupMenu->addAction(QStringLiteral("Hide"));
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu->popup(mapToGlobal(at)); });
    connect(Hide1, &QAction::triggered, this, [this] { Hide1Click(); });
    connect(HideB, &QPushButton::clicked, this, [this] { HideBClick(); });

    Timer1 = new QTimer(this);
    Timer1->setInterval(kBlinkMs);
    connect(Timer1, &QTimer::timeout, this, [] { UpgradeSteps::Instance().Blink(); });

    back_ = new TBack(this);
    image::SetProgressBar(Progress);

    BuildSteps();
    ReadStatus(StatusFilePath());
    UpgradeSteps& steps = UpgradeSteps::Instance();
    if (StepDone[0]) steps.SetState(0, -1, Step::Done);
    if (StepDone[1]) {
        steps.SetState(0, -1, Step::Done);
        steps.SetState(1, -1, Step::Done);
    }
    if (StepDone[2]) {
        for (int s = 0; s < 3; ++s) steps.SetState(s, -1, Step::Idle);
        StepDone = {0, 0, 0};
    }
    UpgradeIdle = 1;
}

TfmUpgrade::~TfmUpgrade()
{
    if (image::ProgressBar() == Progress) image::SetProgressBar(nullptr);
    delete back_;
}

QString TfmUpgrade::StatusFilePath() { return DataFile(kStatusFileName); }

void TfmUpgrade::BuildSteps()
{
    UpgradeSteps& steps = UpgradeSteps::Instance();
    steps.Clear();
    steps.AddStep(belStep2, {step2, Step2_1, Step2_2});
    steps.AddStep(belStep2, {step2, Step2_1, Step2_2});
    steps.AddStep(belStep2, {Step2_1, step2, Step2_2, Step2_2});
}

int TfmUpgrade::SaveStatus(const QString& fileName, QString* why)
{
    platform::SaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        if (why) *why = file.errorString();
        return 1;
    }
    QByteArray text;
    for (uint8_t flag : StepDone) text += flag ? "1\n" : "0\n";
    const bool handed = file.write(text) == text.size();
    return platform::CommitWhole(file, why) && handed ? 0 : 2;
}

int TfmUpgrade::ReadStatus(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        SaveStatus(fileName);
        return 1;
    }
    if (file.size() > kStatusFileMax) return 3;
    for (uint8_t& flag : StepDone) {
        if (file.atEnd()) return 3;
        const QByteArray line = file.readLine(kStatusLineMax + 1);
        if (line.isEmpty()) return 3;
        // A longer line goes on to its end; only its first 40 characters count.
        if (!line.endsWith('\n')) file.readLine();
        flag = numtext::AtoL(line.toStdString()) == 1 ? 1 : 0;
    }
    return 0;
}

void TfmUpgrade::Centre(QWidget* w)
{
    QRect area;
    if (centreOn_ && centreOn_->isVisible()) area = centreOn_->frameGeometry();
    else if (QScreen* screen = w->screen()) area = screen->availableGeometry();
    if (area.isValid()) w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
}

void TfmUpgrade::ShowWithBack()
{
    adjustSize();
    back_->resize(width() + 60, height() + 60);
    Centre(back_);
    Centre(this);
    back_->show();
    show();
    raise();
}

void TfmUpgrade::HideWithBack()
{
    hide();
    back_->hide();
}

void TfmUpgrade::Hide1Click()
{
    if (menuItem_) menuItem_->setChecked(false);
    HideWithBack();
}

void TfmUpgrade::HideBClick()
{
    SecurityChk::Instance().ChangeToFolder();
    if (UpgradeIdle == 1) {
        const int answer = platform::MessageDlg(
            QStringLiteral("Delete historical record and do not display this message automaticlly again?"),
            platform::DlgType::Warning, platform::mbYesNo);
        if (answer == platform::mrYes) {
            QFile::remove(DataFile(kStatusFileName));
            QFile::remove(DataFile(kOldConfigFileName));
            for (int s = 0; s < 3; ++s) UpgradeSteps::Instance().SetState(s, -1, Step::Idle);
            StepDone = {0, 0, 0};
        }
    }
    Hide1Click();
}

void TfmUpgrade::showEvent(QShowEvent* e)
{
    Timer1->start();
    QWidget::showEvent(e);
}

void TfmUpgrade::hideEvent(QHideEvent* e)
{
    Timer1->stop();
    QWidget::hideEvent(e);
}

// --- the compare ------------------------------------------------------------------------------

bool CompareFirmwareFiles(const QString& image, const QString& readBack)
{
    QFile a(image);
    QFile b(readBack);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly)) return false;
    if (a.size() != b.size() + 1) return false;
    constexpr qint64 kChunk = 64 * 1024;
    qint64 left = b.size();
    while (left > 0) {
        const qint64 n = std::min(left, kChunk);
        const QByteArray x = a.read(n);
        const QByteArray y = b.read(n);
        if (x.size() != n || x != y) return false;
        left -= n;
    }
    return true;
}

// --- the flow -------------------------------------------------------------------------------

namespace {

constexpr const char* kOffLine = "OFF LINE";

// The end of a flow that did not get as far as writing.
void EndLoggedOff(IUpgradeHost& host, TfmUpgrade& window)
{
    window.UpgradeIdle = 1;
    host.SetModeDisp(QString::fromLatin1(kOffLine));
    host.LogOff();
    host.SetPagesEnabled(true);
}

// To abandon: the window down, logged off, the pages back.
void Abandon(IUpgradeHost& host, TfmUpgrade& window)
{
    window.UpgradeIdle = 1;
    window.HideWithBack();
    SecurityChk::Instance().ChangeToFolder();
    host.LogOff();
    host.SetModeDisp(QString::fromLatin1(kOffLine));
    host.SetPagesEnabled(true);
}

}  // namespace

void RunFirmwareUpgrade(IUpgradeHost& host, CommandLine& line, TfmUpgrade& window)
{
    // The flow needs each post to run before the next step looks at its result; behind a busy
    // queue its writes would run only after the flow had given up.
    if (line.IsBusy()) {
        platform::MessageDlg(QStringLiteral("Please wait for current task to finish, then proceed."),
                             platform::DlgType::Warning, platform::mbOK);
        return;
    }
    if (!host.LoggedOn()) {
        line.Post("UpgradeCommand");
        if (!host.LoggedOn()) return;
    }

    host.SetModeDisp(QStringLiteral("UPGRADE"));
    host.EnableUpgradeButton(false);
    SecurityChk::Instance().ChangeToFolder();
    window.UpgradeIdle = 0;

    if (!QFileInfo::exists(DataFile(TfmUpgrade::kOldConfigFileName))) {
        const int answer = platform::MessageDlg(
            QStringLiteral("Are you sure you want to write firmware without Reading Old Configuration first?"),
            platform::DlgType::Warning, platform::mbYesNo);
        if (answer != platform::mrYes) {
            EndLoggedOff(host, window);
            return;
        }
    }

    const QString readBack = image::ReadBackPath();
    window.StepDone = {1, 1, 0};
    QFile::remove(readBack);

    const QString imagePath = fileprompts::AskFirmwareImage();
    if (imagePath.isEmpty()) {
        platform::ShowMessage(QStringLiteral("Upgrade firmware was terminated. GUI will LOG OFF."));
        EndLoggedOff(host, window);
        return;
    }

    auto* write = line.FindAs<WriteImageCommand>("WriteImage");
    auto* read = line.FindAs<ReadImageCommand>("ReadImage");
    host.SetWindowMenuChecked(true);
    window.ShowWithBack();
    host.SetPagesEnabled(false);

    UpgradeSteps& steps = UpgradeSteps::Instance();
    steps.SetState(2, -1, Step::Idle);
    steps.SetState(1, -1, Step::Idle);
    steps.SetState(1, 0, Step::Active);

    QFile::remove(readBack);
    if (!QFileInfo::exists(imagePath) || !write || !read) {
        Abandon(host, window);
        return;
    }

    write->SetFileName(imagePath);
    read->SetFileName(imagePath);
    line.Post("WriteImage");

    steps.SetState(2, -1, Step::Idle);
    steps.SetState(1, 0, Step::Done);
    steps.SetState(1, 1, Step::Active);
    line.Post("ReadImage");

    // The read-back is kept only when every block came back: one that failed part-way left
    // no file, which is told as missing, with the folder it was looked for in.
    if (!QFileInfo::exists(imagePath) || !QFileInfo::exists(readBack)) {
        platform::ShowMessage(QStringLiteral("File ") + imagePath + QStringLiteral(" or ") +
                              QString::fromLatin1(image::kReadBackFileName) + QStringLiteral(" are missing error.\n") +
                              QStringLiteral("current directory is ") + SecurityChk::Instance().GetFolder());
        Abandon(host, window);
        return;
    }
    if (!CompareFirmwareFiles(imagePath, readBack)) {
        platform::ShowMessage(QStringLiteral("Verification fail! Please Write Image again."));
        Abandon(host, window);
        return;
    }

    QFile::remove(readBack);
    steps.SetState(2, -1, Step::Idle);
    steps.SetState(1, 1, Step::Done);
    steps.SetState(1, 2, Step::Active);

    window.StepDone[0] = 1;
    window.StepDone[1] = 1;
    window.SaveStatus(TfmUpgrade::StatusFilePath());
    steps.SetState(1, 1, Step::Done);
    steps.SetState(1, -1, Step::Done);
    host.SetPagesEnabled(false);

    const int answer = platform::MessageDlg(
        QStringLiteral("If firmware writing and verification were successful, please press OK button.\n"
                       "After pressing OK button, analyzer will automatically reboot, and GUI will restart.\n"
                       "After reboot, you have to LOG ON again."),
        platform::DlgType::Warning, platform::mbOKCancel);
    const bool reboot = answer == platform::mrOk;
    if (reboot) line.Post("Reboot");

    host.LogOff();
    host.SetModeDisp(QString::fromLatin1(kOffLine));
    window.UpgradeIdle = 1;
    window.HideWithBack();
    SecurityChk::Instance().ChangeToFolder();

    if (reboot) host.Restart();
    else host.CloseMain();
}
