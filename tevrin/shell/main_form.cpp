#include "tevrin/shell/main_form.h"

#include <algorithm>

#include "ui_main_form.h"

#include "brannix/control_protocol.h"
#include "brannix/qstatusbar.h"
#include "platform/data_folder.h"
#include "platform/messages.h"
#include "platform/process_wide.h"
#include "platform/prompter.h"
#include "tevrin/pages/analysis/fra_archive_viewer.h"
#include "tevrin/pages/analysis/fra_ww.h"
#include "tevrin/pages/analysis/audit_form.h"
#include "tevrin/pages/analysis/frm_audit.h"
#include "tevrin/pages/analysis/log_frm.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/pages/config/fr_sequencer.h"
#include "tevrin/pages/config/fra_analyzer_global.h"
#include "tevrin/pages/config/fra_analyzer_streams.h"
#include "tevrin/pages/config/frm_timer1.h"
#include "tevrin/pages/io/fr_analog_inputs.h"
#include "tevrin/pages/io/fra_board_tester.h"
#include "tevrin/pages/io/fra_comm_ports.h"
#include "tevrin/pages/io/fra_factory.h"
#include "tevrin/pages/io/fra_io.h"
#include "tevrin/pages/io/fra_modbus.h"
#include "tevrin/pages/io/fra_output.h"
#include "tevrin/pages/io/frm_alarm.h"
#include "tevrin/pages/io/frm_input2.h"
#include "tevrin/pages/io/frm_io_status.h"
#include "tevrin/rtdb/analog_output_collection.h"
#include "tevrin/rtdb/comm_db_point_facade.h"
#include "tevrin/rtdb/communications.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/shell/about_form.h"
#include "tevrin/shell/app_flags.h"
#include "tevrin/shell/clock_sync_dlg.h"
#include "tevrin/shell/commands/cmd_image.h"
#include "tevrin/shell/commands/cmd_read.h"
#include "tevrin/shell/commands/command_line.h"
#include "tevrin/shell/commands/command_registry.h"
#include "tevrin/shell/config_file.h"
#include "tevrin/shell/confirm_changes_dlg.h"
#include "tevrin/shell/logon_dlg.h"
#include "tevrin/shell/page_registry.h"
#include "tevrin/shell/power_notice.h"
#include "tevrin/shell/security_chk.h"
#include "tevrin/shell/set_upd_pwd_dlg.h"
#include "tevrin/shell/splash.h"
#include "tevrin/shell/upd_mode_dlg.h"
#include "tevrin/shell/upgrade.h"
#include "tevrin/shell/upgrade_steps.h"
#include "tevrin/shell/wait_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QLibrary>
#include <QLocale>
#include <QPainter>
#include <QProgressBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <exception>

namespace {

TFormMain* g_mainForm = nullptr;
QString g_libraryFolder;

const QString kPauseText = QStringLiteral("Temporarily paused for discontinuous communication...");
const QString kBusyText = QStringLiteral("Please wait for current task to finish, then proceed.");
const QString kCloseQuestion = QStringLiteral("Logging on status.\n\nContinue logging off and exit?");
const QString kRegisterError = QStringLiteral("Error registering to database");

// The colours of the link icons: off line, idle, active, no response, paused.
QImage MakeLinkIcon(int index, bool receive)
{
    static const QColor kColours[5] = {QColor(128, 128, 128), QColor(0, 110, 0), QColor(0, 230, 0),
                                       QColor(220, 0, 0), QColor(230, 200, 0)};
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(kColours[index]);
    painter.setPen(Qt::black);
    if (receive)
        painter.drawPolygon(QPolygon({QPoint(2, 3), QPoint(14, 3), QPoint(8, 13)}));
    else
        painter.drawPolygon(QPolygon({QPoint(2, 13), QPoint(14, 13), QPoint(8, 3)}));
    return image;
}

// Runs a handler so that nothing it throws reaches the event loop.
template <class F>
void Safely(F&& f)
{
    try {
        f();
    } catch (int code) {
        std::string text = "Error " + std::to_string(code) + ".";
        try {
            // Only a binding that exists is asked; asking would otherwise load the engine.
            TFormMain* form = TFormMain::Current();
            if (form && form->ServicesCreated()) text = Communications::Instance()->ErrorText(code);
        } catch (...) {
        }
        platform::MessageDlg(QString::fromStdString(text), platform::DlgType::Error, platform::mbOK);
    } catch (const std::exception& e) {
        platform::MessageDlg(QString::fromLocal8Bit(e.what()), platform::DlgType::Error, platform::mbOK);
    } catch (...) {
        platform::MessageDlg(QStringLiteral("Unexpected error."), platform::DlgType::Error, platform::mbOK);
    }
}

}  // namespace

// ------------------------------------------------------------------------------------------------
// Construction and start-up

TFormMain::TFormMain(QWidget* parent) : QMainWindow(parent), ui(std::make_unique<Ui::TFormMain>())
{
    ui->setupUi(this);
    // Compact tabs: all seventeen stand in one row at the window's designed width, so none
    // hides behind the scroll arrows.
    ui->PageControlMain->tabBar()->setStyleSheet(QStringLiteral(
        "QTabBar { font-size: 8pt; }"
        "QTabBar::tab { padding: 3px 3px; border: 1px solid #9a9a9a; border-top: none; background: #e2e2e2; }"
        "QTabBar::tab:selected { background: #fafafa; }"
        "QTabBar::tab:!selected { margin-bottom: 2px; }"));
    if (!g_mainForm) {
        g_mainForm = this;
        SetPageHost(this);
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (TfrmSplash* splash = TfrmSplash::Current()) splash->Label1()->setText(QStringLiteral("Loading Sentrel Desktop..."));

    CreatePages();

    progressMax_ = 0;
    waitProgress_ = false;
    rxIcon_ = 0;
    txIcon_ = 0;

    PageRegistry& registry = PageRegistry::Instance();
    registry.SetPageControl(ui->PageControlMain);
    registry.SetFrame(fraWW_, static_cast<int>(MainPage::Analysis));
    registry.SetFrame(frmAlarm_, static_cast<int>(MainPage::Alarms));
    registry.SetFrame(frmIOStatus_, static_cast<int>(MainPage::Status));
    registry.SetFrame(fraArchiveViewer_, static_cast<int>(MainPage::Archive));
    registry.SetFrame(frmAudit_, static_cast<int>(MainPage::Events));
    registry.SetFrame(fraAnalyzerGlobal_, static_cast<int>(MainPage::Global));
    registry.SetFrame(fraAnalyzerStreams_, static_cast<int>(MainPage::Stream));
    registry.SetFrame(fraIO_, static_cast<int>(MainPage::InputsDry));
    registry.SetFrame(frmInput2_, static_cast<int>(MainPage::InputsWet));
    registry.SetFrame(fraOutput_, static_cast<int>(MainPage::Outputs));
    registry.SetFrame(frSequencer_, static_cast<int>(MainPage::Sequencer));
    registry.SetFrame(fraCommPorts_, static_cast<int>(MainPage::Ports));
    registry.SetFrame(fraModbus_, static_cast<int>(MainPage::Modbus));
    registry.SetFrame(frAnalogInputs_, static_cast<int>(MainPage::AnalogInput));
    registry.SetFrame(frmTimer1_, static_cast<int>(MainPage::Timers));
    registry.SetFrame(fraBoardTester_, static_cast<int>(MainPage::Maintenance));
    registry.SetFrame(fraFactory_, static_cast<int>(MainPage::Factory));
    for (int i = 0; i < ui->PageControlMain->count(); ++i) registry.Place(i, i);

    ui->mnuUpdateMode->setChecked(true);
    ui->mnuUpdateMode->setEnabled(false);
    ui->mnuChangePassword->setEnabled(true);
    statusBarTimer_ = new QTimer(this);
    statusBarTimer_->setInterval(1000);
    connect(statusBarTimer_, &QTimer::timeout, this, [this] { Safely([this] { StatusBarTimerTimer(); }); });
    statusBarTimer_->start();
    timer1_ = new QTimer(this);
    timer1_->setInterval(100);
    connect(timer1_, &QTimer::timeout, this, [this] { Safely([this] { Timer1Timer(); }); });
    QApplication::restoreOverrideCursor();

    SecurityChk::Instance().SetAppDataFolder();
    StateMgr::Instance().SetView(this);

    ConnectActions();
    connect(ui->PageControlMain, &QTabWidget::currentChanged, this, [this](int index) { OnTabChanged(index); });
    powerNotice_ = new PowerNotice(this);
    connect(powerNotice_, &PowerNotice::Suspending, this, [this] { Safely([this] { WMPowerBroadcast(kPowerSuspend); }); });

    Safely([this] { FormCreate(); });
    // The wait window of the logon and of the whole-database commands.
    Wait();
}

void TFormMain::CreatePages()
{
    // Construction order; each announced on the splash.
    SplashStep(QStringLiteral("Analysis"));
    fraWW_ = new TfraWW(this);
    SplashStep(QStringLiteral("Status"));
    frmIOStatus_ = new TfrmIOStatus(this);
    SplashStep(QStringLiteral("Alarms"));
    frmAlarm_ = new TfrmAlarm(this);
    SplashStep(QStringLiteral("Archive"));
    fraArchiveViewer_ = new TfraArchiveViewer(this);
    SplashStep(QStringLiteral("Global"));
    fraAnalyzerGlobal_ = new TfraAnalyzerGlobal(this);
    SplashStep(QStringLiteral("Streams"));
    fraAnalyzerStreams_ = new TfraAnalyzerStreams(this);
    SplashStep(QStringLiteral("Inputs-DRY"));
    fraIO_ = new TfraIO(this);
    SplashStep(QStringLiteral("Inputs-WET"));
    frmInput2_ = new TfrmInput2(this);
    SplashStep(QStringLiteral("Outputs"));
    fraOutput_ = new TfraOutput(this);
    SplashStep(QStringLiteral("Communication Ports"));
    fraCommPorts_ = new TfraCommPorts(this);
    SplashStep(QStringLiteral("Modbus"));
    fraModbus_ = new TfraModbus(this);
    SplashStep(QStringLiteral("Factory"));
    fraFactory_ = new TfraFactory(this);
    SplashStep(QStringLiteral("Analog Inputs"));
    frAnalogInputs_ = new TfrAnalogInputs(this);
    frmTimer1_ = new TfrmTimer1(this);   // no step, no text
    SplashStep(QStringLiteral("Service"));
    fraBoardTester_ = new TfraBoardTester(this);
    SplashStep(QStringLiteral("Sequencer"));
    frSequencer_ = new TfrSequencer(this);
    SplashStep(QString());
    SplashStep(QStringLiteral("Audit"));
    frmAudit_ = new TfrmAudit(this);
    logFrm_ = new TLogFrm(this);
    // The event-log window is made hidden; nothing shows it.
    new TAuditForm(this);
}

void TFormMain::FormCreate()
{
    upgradeCheckTicks_ = 0;
    SetExitRequestedFlag(false);
    CreateStatusWidgets();
    SplashStep(QStringLiteral("Load Modules"));
    if (!LoadSharedRoutines()) return;
    CreateServices();
    RegisterWithDatabase();
    CommandLine& line = CommandLine::Instance();
    RegisterCommands(line, this);
    fmUpgrade_ = new TfmUpgrade(this);
    fmUpgrade_->SetWindowMenuItem(ui->UpgradeWindow);
    line.SetErrorText([](int code) { return Communications::Instance()->ErrorText(code); });
    AnalogOutputCollection::Instance()->Build();
    timer1_->start();
}

void TFormMain::CreateStatusWidgets()
{
    if (statusLine_) return;
    statusLine_ = new TQStatusBar(this);
    statusLine_->setObjectName(QStringLiteral("StatusLine"));
    setStatusBar(statusLine_);
    statusLine_->setSizeGripEnabled(false);

    specialPanel_ = new QLabel(statusLine_);
    specialPanel_->setObjectName(QStringLiteral("specialPanel"));
    specialPanel_->setFixedHeight(18);
    specialPanel_->setAutoFillBackground(true);
    specialPanel_->setAlignment(Qt::AlignCenter);
    statusProgress_ = new QProgressBar(statusLine_);
    statusProgress_->setObjectName(QStringLiteral("statusProgress"));
    statusProgress_->setFixedHeight(18);
    statusProgress_->setRange(0, 100);
    statusProgress_->setValue(0);
    statusProgress_->setTextVisible(true);
    rxPanel_ = new QLabel(statusLine_);
    rxPanel_->setObjectName(QStringLiteral("rxPanel"));
    txPanel_ = new QLabel(statusLine_);
    txPanel_->setObjectName(QStringLiteral("txPanel"));
    for (int i = 0; i < 5; ++i) {
        imlRx_[static_cast<size_t>(i)] = MakeLinkIcon(i, true);
        imlTx_[static_cast<size_t>(i)] = MakeLinkIcon(i, false);
    }

    statusLine_->AddPanel(500);                   // 0: text
    statusLine_->AddPanel(150, specialPanel_);    // 1: special text panel
    statusLine_->AddPanel(100, statusProgress_);  // 2: progress bar
    // 3: clock. Its designed width is too narrow for the longest date in this desktop's font.
    const int clockWidth = statusLine_->fontMetrics().horizontalAdvance(QStringLiteral("September 30, 2026 12:59:59 PM")) + 12;
    statusLine_->AddPanel(std::max(175, clockWidth));
    statusLine_->AddPanel(21, rxPanel_);          // 4: receive icon
    statusLine_->AddPanel(21, txPanel_);          // 5: send icon
    statusLine_->AddPanel(21);                    // 6
    if (auto* clock = qobject_cast<QLabel*>(statusLine_->Panel(3))) clock->setAlignment(Qt::AlignCenter);
    SetPanelColour(false);
    UpdateLinkIcons();
}

void TFormMain::SetLibraryFolder(const QString& folder) { g_libraryFolder = folder; }

QString TFormMain::LibraryFolder() { return g_libraryFolder.isEmpty() ? platform::ProgramFolder() : g_libraryFolder; }

bool TFormMain::LoadSharedRoutines()
{
    // Never unloaded: the library stays with the process.
    auto* library = new QLibrary(QDir(LibraryFolder()).filePath(QString::fromLatin1(kOmbrelLibraryFile)));
    const auto fail = [library](const QString& systemText) {
        platform::MessageBox(systemText, QStringLiteral("Error"), platform::DlgType::Error);
        platform::MessageBox(QStringLiteral("Unable to load Ombrel.dll."), QStringLiteral("Error"), platform::DlgType::Error);
        delete library;   // the QLibrary object only; a loaded library stays loaded
        return false;
    };
    if (!library->load()) return fail(library->errorString());

    OmbrelRoutines routines;
    QStringList missing;
#define OMBREL_BIND(name)                                                                          \
    routines.name = reinterpret_cast<OmbrelFn_##name>(library->resolve(#name));                    \
    if (!routines.name) missing << QStringLiteral(#name);
    OMBREL_STARTUP_EXPORTS(OMBREL_BIND)
#undef OMBREL_BIND
    if (!missing.isEmpty())
        return fail(QStringLiteral("Missing routines in %1: %2").arg(library->fileName(), missing.join(QStringLiteral(", "))));

    ombrel_ = routines;
    ombrel_.Initialize();
    ombrelBound_ = true;
    return true;
}

void TFormMain::CreateServices()
{
    SplashStep(QStringLiteral("Initialize COMM. It may take a few seconds."));
    // The engine reports to the main form; it must know it before it starts.
    platform::SetMainForm(this);
    Communications::InstanceFromFolder(LibraryFolder());
    SplashStep(QStringLiteral("Create RTDB"));
    DataBase::Instance();
    CommDBPointFacade::Instance();
    // Archived samples get their time through the shared routines' token conversion.
    LogDBManager::Instance()->SetTokenToDate(ombrel_.TimestampTokenToDate);
    servicesCreated_ = true;
}

void TFormMain::RegisterWithDatabase()
{
    TMessage m = MakeDatabaseMessage(DataBase::Instance()->Glue());
    try {
        ombrel_.DoMyBroadcast(this, &m, true, true);
        if (m.Result != 0) platform::MessageDlg(kRegisterError, platform::DlgType::Error, platform::mbOK);
    } catch (const std::exception& e) {
        platform::MessageDlg(kRegisterError + QStringLiteral("\n") + QString::fromLocal8Bit(e.what()), platform::DlgType::Error,
                             platform::mbOK);
    } catch (...) {
        platform::MessageDlg(kRegisterError + QStringLiteral("\nUnexpected error."), platform::DlgType::Error, platform::mbOK);
    }
    SplashFinish();
}

void TFormMain::ConnectActions()
{
    const auto on = [this](QAction* action, void (TFormMain::*handler)()) {
        connect(action, &QAction::triggered, this, [this, handler] { Safely([this, handler] { (this->*handler)(); }); });
    };
    on(ui->tbtnLogon, &TFormMain::tbtnLogonClick);
    on(ui->tbtnLogoff, &TFormMain::tbtnLogoffClick);
    on(ui->tbtnComm, &TFormMain::tbtnCommClick);
    on(ui->tbtnWrite, &TFormMain::tbtnWriteClick);
    on(ui->WriteConfig, &TFormMain::SetDefaultConfigClick);
    on(ui->tbtnPoll, &TFormMain::tbtnPollClick);
    on(ui->tbtnSync, &TFormMain::tbtnSyncClick);
    on(ui->tbtnAcknowledge, &TFormMain::tbtnAcknowledgeClick);
    on(ui->tbtnBypass, &TFormMain::tbtnBypassClick);
    on(ui->tbtnTapeAdvance, &TFormMain::tbtnTapeAdvanceClick);
    on(ui->tbtnExit, &TFormMain::tbtnExitClick);
    on(ui->Exit1, &TFormMain::tbtnExitClick);
    on(ui->mnuUpdateMode, &TFormMain::mnuUpdateModeClick);
    on(ui->mnuChangePassword, &TFormMain::mnuChangePasswordClick);
    on(ui->mnuReboot, &TFormMain::mnuRebootClick);
    on(ui->tbtnUpgrade, &TFormMain::tbtnUpgradeClick);
    on(ui->UpgradeWindow, &TFormMain::UpgradeWindowClick);

    // Roads that other parts of the program provide.
    on(ui->tbtnOpen, &TFormMain::tbtnOpenClick);
    on(ui->tbtnSave, &TFormMain::tbtnSaveClick);
    on(ui->tbtnSaveAs, &TFormMain::tbtnSaveAsClick);

    const struct {
        QAction* item;
        QToolBar* bar;
    } bars[] = {{ui->CommunicateBar, ui->AdvToolBarComm}, {ui->OperationBar, ui->AdvToolBarOp}, {ui->GeneralBar, ui->AdvToolBarGen}};
    for (const auto& b : bars) {
        QAction* item = b.item;
        QToolBar* bar = b.bar;
        connect(item, &QAction::triggered, this, [item, bar] { bar->setVisible(item->isChecked()); });
        // A tool bar closed on its own clears its menu item (not when the whole window hides).
        connect(bar, &QToolBar::visibilityChanged, this, [this, item](bool visible) {
            if (isVisible() && !visible) item->setChecked(false);
        });
    }

    const auto openHelpFile = [](const QString& name) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QDir(SecurityChk::Instance().GetFolder()).filePath(name)));
    };
    connect(ui->WiringBook, &QAction::triggered, this, [openHelpFile] { openHelpFile(QStringLiteral("K41_WIRING_BOOK.pdf")); });
    connect(ui->Manual, &QAction::triggered, this, [openHelpFile] { openHelpFile(QStringLiteral("K41W manual_ rev1.pdf")); });
    connect(ui->About1, &QAction::triggered, this, [this] {
        TAboutForm about(this);
        about.exec();
    });
}

// ------------------------------------------------------------------------------------------------
// Close and destruction

TFormMain::~TFormMain()
{
    FormDestroy();
    if (g_mainForm == this) g_mainForm = nullptr;
}

void TFormMain::closeEvent(QCloseEvent* e)
{
    bool canClose = true;
    Safely([&] { canClose = FormCloseQuery(); });
    if (canClose)
        e->accept();
    else
        e->ignore();
}

bool TFormMain::FormCloseQuery()
{
    if (CurrentPage() == MainPage::Analysis) SwitchPolling(false);
    if (ui->tbtnLogoff->isEnabled()) {
        if (platform::MessageDlg(kCloseQuestion, platform::DlgType::Confirmation, platform::mbYes | platform::mbNo) !=
            platform::mrYes)
            return false;
    }
    ReleaseDirectControl();
    if (servicesCreated_) {
        Communications::Instance()->SetUserCancel(true);
        TMessage m(platform::WM_FREEPAGEDATA, 0, reinterpret_cast<intptr_t>(DataBase::Instance()->Glue()));
        try {
            if (ombrel_.DoMyBroadcast) ombrel_.DoMyBroadcast(this, &m, true, true);
            if (m.Result != 0) platform::MessageDlg(kRegisterError, platform::DlgType::Error, platform::mbOK);
        } catch (...) {
            platform::MessageDlg(kRegisterError + QStringLiteral("\nUnexpected error."), platform::DlgType::Error, platform::mbOK);
        }
    }
    return true;
}

void TFormMain::FormDestroy()
{
    statusBarTimer_->stop();
    timer1_->stop();
    upgradeWindow_.reset();
    delete fmUpgrade_;
    fmUpgrade_ = nullptr;
    UpgradeSteps::Destroy();
    StateMgr::Instance().SetView(nullptr);
    PageRegistry::Destroy();
    CommandLine::Shutdown();
    // The pages' bound controls detach from their points when they go, so they go while the
    // database still exists.
    for (QWidget* frame : std::initializer_list<QWidget*>{
             fraWW_, frmIOStatus_, frmAlarm_, fraArchiveViewer_, fraAnalyzerGlobal_, fraAnalyzerStreams_, fraIO_, frmInput2_,
             fraOutput_, fraCommPorts_, fraModbus_, fraFactory_, frAnalogInputs_, frmTimer1_, fraBoardTester_, frSequencer_,
             frmAudit_})
        delete frame;
    fraWW_ = nullptr;
    frmIOStatus_ = nullptr;
    frmAlarm_ = nullptr;
    fraArchiveViewer_ = nullptr;
    fraAnalyzerGlobal_ = nullptr;
    fraAnalyzerStreams_ = nullptr;
    fraIO_ = nullptr;
    frmInput2_ = nullptr;
    fraOutput_ = nullptr;
    fraCommPorts_ = nullptr;
    fraModbus_ = nullptr;
    fraFactory_ = nullptr;
    frAnalogInputs_ = nullptr;
    frmTimer1_ = nullptr;
    fraBoardTester_ = nullptr;
    frSequencer_ = nullptr;
    frmAudit_ = nullptr;
    AnalogOutputCollection::DestroyInstance();
    if (servicesCreated_) {
        DataBase::DestroyInstance();
        Communications::DestroyInstance();
        CommDBPointFacade::DestroyInstance();
    }
    StateMgr::Destroy();
    if (LogDBManager::Exists()) LogDBManager::DestroyInstance();
    SecurityChk::Destroy();
    if (platform::MainForm() == this) platform::SetMainForm(nullptr);
    servicesCreated_ = false;
}

void TFormMain::Restart()
{
    if (TWait* wait = TWait::Current()) wait->hide();
    // The upgrade backdrop goes with it; the upgrade window keeps its steps for the next start.
    if (fmUpgrade_ && fmUpgrade_->Back()) fmUpgrade_->Back()->hide();
    AppFlags::RelaunchRequested = 1;
    close();
}

// ------------------------------------------------------------------------------------------------
// Messages of the communication engine and the status line

bool TFormMain::event(QEvent* e)
{
    if (TMessage::IsWindowMessage(e)) {
        auto& m = static_cast<TMessage&>(*e);
        if (m.Msg == platform::WM_COMM_STATUS) {
            Safely([&] { ShowCommStatus(static_cast<int>(m.WParam)); });
            m.Result = 0;
            return true;
        }
        if (m.Msg == platform::WM_COMM_PROGRESS) {
            Safely([&] { StepProgress(static_cast<int>(m.WParam)); });
            m.Result = 0;
            return true;
        }
    }
    return QMainWindow::event(e);
}

void TFormMain::ShowCommStatus(int state)
{
    static const struct {
        int rx, tx;
        int text;   // 0 unchanged, 1 cleared, 2 pause text
    } kStates[] = {{0, 0, 1}, {1, 1, 1}, {1, 2, 0}, {2, 1, 0}, {3, 3, 0}, {4, 4, 2}};
    if (state < 0 || state > 5) {
        rxIcon_ = 0;
        txIcon_ = 0;
    } else {
        const auto& s = kStates[state];
        if (rxIcon_ == s.rx && txIcon_ == s.tx) return;
        rxIcon_ = s.rx;
        txIcon_ = s.tx;
        if (statusLine_ && s.text == 1) statusLine_->SetPanelText(0, QString());
        if (statusLine_ && s.text == 2) statusLine_->SetPanelText(0, kPauseText);
    }
    UpdateLinkIcons();
    if (statusLine_) statusLine_->repaint();
    ++statusRepaints_;
}

void TFormMain::UpdateLinkIcons()
{
    if (rxPanel_ && rxIcon_ >= 0 && rxIcon_ <= 4) rxPanel_->setPixmap(QPixmap::fromImage(imlRx_[static_cast<size_t>(rxIcon_)]));
    if (txPanel_ && txIcon_ >= 0 && txIcon_ <= 4) txPanel_->setPixmap(QPixmap::fromImage(imlTx_[static_cast<size_t>(txIcon_)]));
}

void TFormMain::StepProgress(int step)
{
    if (statusProgress_) {
        // A maximum of 0 shows an empty bar (a 0..0 bar would be Qt's busy indicator).
        const int shownMax = std::max(1, progressMax_);
        if (statusProgress_->maximum() != shownMax) statusProgress_->setMaximum(shownMax);
        if (step == 1 && progressMax_ > 0) {
            int position = statusProgress_->value() + 1;
            if (position > statusProgress_->maximum()) position = 0;
            statusProgress_->setValue(position);
        } else if (step == 0) {
            statusProgress_->setValue(0);
        }
    }
    if (waitProgress_) {
        if (TWait* wait = TWait::Current()) wait->StepBar();
    }
}

void TFormMain::StatusBarTimerTimer()
{
    if (!statusLine_) return;
    statusLine_->SetPanelText(3, QLocale::c().toString(QDateTime::currentDateTime(), QStringLiteral("MMMM d, yyyy h:mm:ss AP")));
}

void TFormMain::WMPowerBroadcast(int event)
{
    if (!LoggedOn() || event != kPowerSuspend) return;
    platform::MessageBox(QStringLiteral("Sentrel found power suspended, click OK button to continue.\n"
                                        " If the communication has problem, please recycle the communication port."),
                         QStringLiteral("Attention"), platform::DlgType::Custom, platform::mbOK);
}

void TFormMain::Timer1Timer()
{
    upgradeCheckTicks_ += 10;
    if (upgradeCheckTicks_ <= 100) return;
    timer1_->stop();
    // An upgrade that got as far as a verified image left its record: the window comes back.
    if (fmUpgrade_ && fmUpgrade_->AnyStepDone()) {
        ui->UpgradeWindow->setChecked(true);
        fmUpgrade_->ShowWithBack();
    }
}

bool TFormMain::Timer1Active() const { return timer1_->isActive(); }

void TFormMain::SetPanelColour(bool white)
{
    if (!specialPanel_) return;
    QPalette palette = specialPanel_->palette();
    palette.setColor(QPalette::Window, white ? QColor(Qt::white) : QApplication::palette().color(QPalette::Button));
    specialPanel_->setPalette(palette);
}

// ------------------------------------------------------------------------------------------------
// The owner of the commands

TFormMain* TFormMain::Current() { return g_mainForm; }

void TFormMain::SetFlag(std::string key, bool value)
{
    using namespace CommandKeys;
    if (key == tbtnLogoff) {
        ui->tbtnLogoff->setEnabled(value);
    } else if (key == SetLogOff) {
        StateMgr::Instance().SetLogOff();
    } else if (key == SetLogOn) {
        StateMgr::Instance().SetLogOn();
    } else if (key == tbtnLogon) {
        ui->tbtnLogon->setEnabled(value);
        if (value) {
            if (TWait* wait = TWait::Current()) wait->hide();
            ShowOffLineLook();
        }
    } else if (key == SetDatabaseConfigFileTypeID) {
        if (servicesCreated_) DataBase::Instance()->Driver()->SetConfigFileTypeID(DatabaseConfigFileTypeText);
    } else if (key == tbtnExit) {
        ui->tbtnExit->setEnabled(value);
        ui->Exit1->setEnabled(value);
    } else if (key == AuditFinish) {
        frmAudit_->AuditFinish();
    } else if (key == UpdateLogView) {
        fraArchiveViewer_->UpdateLogView();
    } else if (key == ReadALog2) {
        if (fraArchiveViewer_->ReadArchiveFile()) fraArchiveViewer_->UpdateLogView();
    } else if (key == SaveLogFile) {
        fraArchiveViewer_->SaveLogFile();
    } else if (key == EnablePages) {
        ui->PageControlMain->setEnabled(true);
    } else if (key == DisablePages) {
        ui->PageControlMain->setEnabled(false);
    }
}

void TFormMain::ShowOffLineLook()
{
    ui->ModeDisp->setText(QStringLiteral("OFF LINE"));
    ui->StreamDisp->setText(QStringLiteral(" "));
    ui->mnuUpdateMode->setEnabled(false);
    ui->mnuUpdateMode->setChecked(false);
    ui->tbtnComm->setEnabled(true);
    ui->tbtnUpgrade->setEnabled(true);
    waitProgress_ = true;
}

void TFormMain::SetNumber(std::string key, int32_t value)
{
    if (key == CommandKeys::localPBarMax) {
        progressMax_ = value;
        if (statusProgress_) statusProgress_->setValue(0);
    }
}

void TFormMain::SetText(std::string key, std::string text)
{
    if (key != CommandKeys::StatusLineSpecialPanel || !specialPanel_) return;
    if (text.empty()) {
        if (statusProgress_) statusProgress_->setValue(0);
        SetPanelColour(false);
    } else {
        SetPanelColour(true);
    }
    specialPanel_->setText(QString::fromStdString(text));
}

bool TFormMain::GetFlag(std::string key)
{
    if (key == CommandKeys::LoggingOn) return ui->tbtnLogon->isEnabled();
    if (key == CommandKeys::tbtnPollDown) return ui->tbtnPoll->isChecked();
    if (key == CommandKeys::tbtnBypass) return ui->tbtnBypass->isChecked();
    return kDefaultFlag;
}

int32_t TFormMain::Request(std::string key, void* argument)
{
    if (key == CommandKeys::SendToDatabase) return PostEdits();
    if (key == CommandKeys::DateToTimestampToken) {
        if (!argument || !ombrel_.DateToTimestampToken) return kDefaultRequest;
        return static_cast<int32_t>(ombrel_.DateToTimestampToken(*static_cast<const double*>(argument)));
    }
    if (key == CommandKeys::Exit) {
        tbtnExitClick();
        return 0;
    }
    return kDefaultRequest;
}

double TFormMain::GetDate(std::string key, int32_t value)
{
    if (key == CommandKeys::TimestampTokenToDate && ombrel_.TimestampTokenToDate)
        return ombrel_.TimestampTokenToDate(static_cast<uint32_t>(value));
    return kDefaultDate;
}

int32_t TFormMain::PostEdits()
{
    if (!ombrel_.DoMyBroadcast) return 1;
    for (unsigned msg : {platform::QM_EDIT, platform::QM_BEFOREPOST, platform::QM_PUT}) {
        TMessage m = MakeMoveValMessage(msg, this);
        ombrel_.DoMyBroadcast(this, &m, false, true);
        if (m.Result != 0 || msg == platform::QM_PUT) return static_cast<int32_t>(m.Result);
    }
    return 0;
}

void TFormMain::WriteSinglePoint(TDbId id, const std::string& text)
{
    CommandLine* line = CommandLine::Existing();
    if (!line) return;
    if (SetSinglePointValue(*line, id, text)) line->Post("WriteSinglePoint");
}

void TFormMain::ReadSinglePoint(TDbId id)
{
    CommandLine* line = CommandLine::Existing();
    if (!line) return;
    if (auto* read = line->FindAs<ReadSinglePointCommand>("ReadSinglePoint")) {
        read->SetPoint(static_cast<int16_t>(id));
        line->Post("ReadSinglePoint");
    }
}

void TFormMain::ReleaseDirectControl()
{
    // The analyzer is never left under direct control by the program: while the link is up and
    // direct control may be on, it is switched off before the link goes.
    if (!servicesCreated_ || !fraBoardTester_ || !LoggedOn() || !fraBoardTester_->DirectControlMayBeOn()) return;
    fraBoardTester_->ReleaseControls();
    WriteSinglePoint(TfraBoardTester::kDirectControl, "False");
}

bool TFormMain::RunCommand(const std::string& name, const std::string& argument)
{
    CommandLine* line = CommandLine::Existing();
    if (!line || line->IsBusy()) return false;
    Command* command = line->Find(name);
    if (!command) return false;
    line->Post(name, argument);
    return command->Succeeded();
}

QString TFormMain::DataFolder()
{
    SecurityChk::Instance().ChangeToFolder();
    return SecurityChk::Instance().GetFolder();
}

bool TFormMain::WriteConfigFile(const QString& fileName, QString* error)
{
    if (!servicesCreated_) {
        if (error) *error = QStringLiteral("The database does not exist.");
        return false;
    }
    return config_file::Save(*DataBase::Instance(), fileName, error, Wait());
}

bool TFormMain::ReadConfigFile(const QString& fileName, int* pointCount, QString* error)
{
    if (!servicesCreated_) {
        if (error) *error = QStringLiteral("The database does not exist.");
        return false;
    }
    const config_file::ReadResult r = config_file::Open(*DataBase::Instance(), fileName, Wait());
    if (!r.ok) {
        if (error) *error = r.error;
        return false;
    }
    if (pointCount) *pointCount = r.pointCount;
    return true;
}

void TFormMain::SetImageFile(const QString& path)
{
    CommandLine* line = CommandLine::Existing();
    if (!line) return;
    if (auto* write = line->FindAs<WriteImageCommand>("WriteImage")) write->SetFileName(path);
    if (auto* read = line->FindAs<ReadImageCommand>("ReadImage")) read->SetFileName(path);
}

QString TFormMain::ReadBackFile() const { return image::ReadBackPath(); }

bool TFormMain::CompareFirmwareFiles(const QString& image, const QString& readBack) const
{
    return ::CompareFirmwareFiles(image, readBack);
}

namespace {

// The upgrade window as the pages see it.
class MainUpgradeWindow : public IUpgradeWindow {
public:
    MainUpgradeWindow(TfmUpgrade& window, QAction* menuItem) : window_(window), menuItem_(menuItem) {}
    void SetStep(int step, int item, int state) override
    {
        UpgradeSteps::Instance().SetState(step, item, static_cast<uint8_t>(state));
    }
    uint8_t StepFlag(int i) const override { return i >= 0 && i < 3 ? window_.StepDone[static_cast<size_t>(i)] : 0; }
    void SetStepFlags(uint8_t first, uint8_t second, uint8_t third) override { window_.StepDone = {first, second, third}; }
    bool SaveStatus() override { return window_.SaveStatus(TfmUpgrade::StatusFilePath()) == 0; }
    void SetIdle(bool idle) override { window_.UpgradeIdle = idle ? 1 : 0; }
    void Show(bool show) override
    {
        if (menuItem_) menuItem_->setChecked(show);
        if (show)
            window_.ShowWithBack();
        else
            window_.HideWithBack();
    }
    bool Shown() const override { return menuItem_ ? menuItem_->isChecked() : window_.isVisible(); }

private:
    TfmUpgrade& window_;
    QAction* menuItem_;
};

}  // namespace

IUpgradeWindow* TFormMain::UpgradeWindow()
{
    if (!fmUpgrade_) return nullptr;
    if (!upgradeWindow_) upgradeWindow_ = std::make_unique<MainUpgradeWindow>(*fmUpgrade_, ui->UpgradeWindow);
    return upgradeWindow_.get();
}

void TFormMain::SetPagesEnabled(bool on) { SetFlag(on ? CommandKeys::EnablePages : CommandKeys::DisablePages, true); }

void TFormMain::SetStreamDisp(const QString& text) { ui->StreamDisp->setText(text); }

void TFormMain::SetStatusText(const QString& text)
{
    if (statusLine_) statusLine_->SetPanelText(0, text);
}

bool TFormMain::ReadOnlyMode() const { return SecurityChk::Instance().IsReadOnlyMode(); }

void TFormMain::PostCommand(const std::string& name, const std::string& argument) { Post(name, argument); }

void TFormMain::PostNewModbusList(uint8_t mode)
{
    CommandLine* line = CommandLine::Existing();
    if (!line) return;
    if (SetNewModbusListMode(*line, mode)) line->Post("NewModbusList");
}

bool TFormMain::CommandBusy() const
{
    const CommandLine* line = CommandLine::Existing();
    return line && line->IsBusy();
}

bool TFormMain::TimestampTokenToDate(uint32_t token, double& dateTime) const
{
    if (!ombrel_.TimestampTokenToDate) return false;
    dateTime = ombrel_.TimestampTokenToDate(token);
    return true;
}

bool TFormMain::ResetUpdatePassword() { return SecurityChk::Instance().ResetPassword(); }

void TFormMain::SetSpecialPanelText(const QString& text) { SetText(CommandKeys::StatusLineSpecialPanel, text.toStdString()); }

void TFormMain::ShowWaitWindow(bool animation, bool bar)
{
    TWait* wait = Wait();
    if (bar)
        wait->ShowProgress(100);
    else
        wait->ShowAnimated();
    wait->AniIcon1()->setVisible(animation);
    wait->repaint();
}

void TFormMain::StepWaitBar()
{
    if (TWait* wait = TWait::Current()) wait->StepBar();
}

void TFormMain::HideWaitWindow()
{
    if (TWait* wait = TWait::Current()) wait->hide();
}

void TFormMain::ShowLogConfiguration()
{
    if (logFrm_) logFrm_->exec();
}

void TFormMain::SetProgressMax(int max) { SetNumber(CommandKeys::localPBarMax, max); }

TWait* TFormMain::Wait()
{
    if (TWait* wait = TWait::Current()) return wait;
    if (!ownWait_) ownWait_ = new TWait(this);
    return ownWait_;
}

// ------------------------------------------------------------------------------------------------
// What the application state switches

void TFormMain::EnableButton(StateButton button, bool on)
{
    QAction* action = nullptr;
    switch (button) {
    case StateButton::tbtnOpen: action = ui->tbtnOpen; break;
    case StateButton::tbtnSave: action = ui->tbtnSave; break;
    case StateButton::tbtnSaveAs: action = ui->tbtnSaveAs; break;
    case StateButton::tbtnWrite: action = ui->tbtnWrite; break;
    case StateButton::WriteConfig: action = ui->WriteConfig; break;
    case StateButton::tbtnPoll: action = ui->tbtnPoll; break;
    case StateButton::tbtnSync: action = ui->tbtnSync; break;
    case StateButton::tbtnAcknowledge: action = ui->tbtnAcknowledge; break;
    case StateButton::tbtnBypass: action = ui->tbtnBypass; break;
    case StateButton::tbtnTapeAdvance: action = ui->tbtnTapeAdvance; break;
    }
    if (action) action->setEnabled(on);
}

void TFormMain::EnablePage(MainPage page, bool on)
{
    if (TPageFrame* frame = Frame(page)) frame->setEnabled(on);
}

void TFormMain::SetArchiveReadOnly(bool readOnly) { fraArchiveViewer_->SetReadOnly(readOnly); }
void TFormMain::EnableStreamEditing(bool on) { fraAnalyzerStreams_->EnableStreamEditing(on); }
void TFormMain::SetModbusReadOnly(bool readOnly) { fraModbus_->SetReadOnly(readOnly); }
void TFormMain::SetSequencerReadOnly(bool readOnly) { frSequencer_->SetReadOnly(readOnly); }
void TFormMain::SetUpdateModeChecked(bool checked) { ui->mnuUpdateMode->setChecked(checked); }
void TFormMain::EnableReboot(bool on) { ui->mnuReboot->setEnabled(on); }
void TFormMain::SetModeDisp(const QString& text) { ui->ModeDisp->setText(text); }

void TFormMain::ShowTabsForMode() { ::ShowTabsForMode(*ui->PageControlMain, ui->mnuUpdateMode->isChecked()); }

// ------------------------------------------------------------------------------------------------
// Page switching

void TFormMain::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (firstShow_) {
        firstShow_ = false;
        // The tab showing at start gets its show handler like any later one.
        OnTabChanged(ui->PageControlMain->currentIndex());
    }
}

void TFormMain::OnTabChanged(int index)
{
    Safely([&] {
        const int previous = shownTab_;
        shownTab_ = index;
        if (previous == static_cast<int>(MainPage::Maintenance) && index != previous) TabSheetFCHide();
        TabShow(index);
    });
}

MainPage TFormMain::CurrentPage() const { return static_cast<MainPage>(ui->PageControlMain->currentIndex()); }

bool TFormMain::LoggedOn() const { return !ui->tbtnLogon->isEnabled(); }

void TFormMain::Post(const std::string& name, const std::string& argument)
{
    if (CommandLine* line = CommandLine::Existing()) line->Post(name, argument);
}

void TFormMain::ApplyUserLevel()
{
    if (SecurityChk::Instance().IsReadOnlyMode())
        StateMgr::Instance().SetReadOnly();
    else
        StateMgr::Instance().SetUpdate();
}

void TFormMain::SwitchPolling(bool on)
{
    CommandLine* line = CommandLine::Existing();
    if (!line) return;
    if (SetStopPollValue(*line, on)) line->Post("StopPoll");
    if (on) line->Post("PeriodicPoll");
}

void TFormMain::ReadOnce()
{
    if (LoggedOn()) Post("ExpressRead");
}

void TFormMain::TabShow(int index)
{
    // Without the database (the shared routines failed to load) no page can register.
    if (!servicesCreated_) return;
    StateMgr& state = StateMgr::Instance();
    const MainPage page = static_cast<MainPage>(index);
    switch (page) {
    case MainPage::Analysis:
        fraWW_->EnterPage();
        if (!LoggedOn()) return;
        SwitchPolling(true);
        state.SetBusy();
        return;
    case MainPage::Status:
    case MainPage::Alarms:
    case MainPage::AnalogInput:
        ApplyUserLevel();
        Frame(page)->EnterPage();
        if (LoggedOn()) {
            Post("ExpressRead");
            SwitchPolling(true);
        }
        if (page == MainPage::AnalogInput)
            state.DisableFileButtons();
        else
            state.SetBusy();
        return;
    case MainPage::Archive:
        ApplyUserLevel();
        SwitchPolling(false);
        fraArchiveViewer_->EnterPage();
        if (LoggedOn()) Post("ReadLogConfig");
        state.SetIdle();
        return;
    case MainPage::Events:
        ApplyUserLevel();
        SwitchPolling(false);
        state.SetIdle();
        return;
    case MainPage::Global:
    case MainPage::Stream:
    case MainPage::InputsDry:
    case MainPage::InputsWet:
    case MainPage::Outputs:
    case MainPage::Sequencer:
    case MainPage::Ports:
    case MainPage::Modbus:
    case MainPage::Timers:
        ApplyUserLevel();
        SwitchPolling(false);
        Frame(page)->EnterPage();
        ReadOnce();
        return;
    case MainPage::Maintenance:
        ApplyUserLevel();
        SwitchPolling(false);
        fraBoardTester_->EnterPage();
        ReadOnce();
        platform::MessageDlg(QStringLiteral("Changing parameters in Maintenance Page may affect operation of the unit.\n"
                                            "It is recommended that any change in this page be done by authorised personal only."),
                             platform::DlgType::Warning, platform::mbOK);
        return;
    case MainPage::Factory: {
        fraFactory_->ShowContents(false);
        fraFactory_->EnterPage();
        ApplyUserLevel();
        SwitchPolling(false);
        TfrmLogon dialog(this);
        const FactoryLogonAnswer answer = AskFactoryCode(dialog);
        DisableAllChildren(fraFactory_, false);
        if (answer == FactoryLogonAnswer::Cancelled) return;
        if (answer == FactoryLogonAnswer::Accepted) {
            state.SetIdle();
            fraFactory_->ShowContents(true);
        }
        ReadOnce();
        return;
    }
    }
}

void TFormMain::TabSheetFCHide()
{
    fraBoardTester_->LeavePage();
    WriteSinglePoint(TfraBoardTester::kDirectControl, "False");
}

// ------------------------------------------------------------------------------------------------
// Logon, logoff and user levels

bool TFormMain::RefuseWhileBusy()
{
    CommandLine* line = CommandLine::Existing();
    if (!line || !line->IsBusy()) return false;
    platform::MessageDlg(kBusyText, platform::DlgType::Warning, platform::mbOK);
    return true;
}

void TFormMain::tbtnLogonClick()
{
    CommandLine* line = CommandLine::Existing();
    if (!line || !servicesCreated_) return;
    // The road reads the result of "Logon" right after posting it, so the post must run now.
    if (RefuseWhileBusy()) return;

    ui->PageControlMain->setCurrentIndex(static_cast<int>(MainPage::Analysis));
    SwitchPolling(false);

    waitProgress_ = true;
    TWait* wait = Wait();
    wait->ShowProgress(DataBase::Instance()->CountReadAllRequests() + 12);

    ui->tbtnLogon->setEnabled(false);
    ui->tbtnUpgrade->setEnabled(false);
    ui->tbtnComm->setEnabled(false);
    line->Post("Logon");

    if (ui->tbtnLogon->isEnabled() || !LastLogonSucceeded(*line) || ExitRequestedFlag()) {
        // Failed (the command has reported why), or the user chose to close the program.
        wait->hide();
        ui->tbtnUpgrade->setEnabled(true);
        ui->tbtnComm->setEnabled(true);
        ui->tbtnLogon->setEnabled(true);
        return;
    }

    wait->hide();
    TUpdModeDlg modeDialog(this);
    TfrmLogon passwordDialog(this);
    switch (ChooseLogonMode(modeDialog, passwordDialog)) {
    case UpdateModeAnswer::ReadOnly: ApplyReadOnlySetting(*this); break;
    case UpdateModeAnswer::Update: ApplyUpdateSetting(*this); break;
    case UpdateModeAnswer::Unchanged: break;
    }
    ShowTabsForMode();
    ui->mnuUpdateMode->setEnabled(true);

    switch (CurrentPage()) {
    case MainPage::Analysis:
        fraWW_->EnterPage();
        SwitchPolling(true);
        StateMgr::Instance().SetBusy();
        break;
    case MainPage::Alarms:
    case MainPage::AnalogInput:
    case MainPage::Status:
        SwitchPolling(true);
        break;
    default:
        for (QAction* a : {ui->tbtnPoll, ui->tbtnSave, ui->tbtnSaveAs, ui->tbtnOpen}) a->setEnabled(true);
        break;
    }
    wait->Progress()->setMaximum(100);
}

void TFormMain::tbtnLogoffClick()
{
    if (CurrentPage() == MainPage::Analysis) SwitchPolling(false);
    ReleaseDirectControl();
    ui->tbtnLogoff->setEnabled(false);
    Post("Logoff");
    SecurityChk::Instance().SetReadOnlyMode(1);
    StateMgr::Instance().SetReadOnly();
    if (servicesCreated_) DataBase::Instance()->AsWriteLogRecordsManager().Clear();
    ShowOffLineLook();
}

void TFormMain::mnuUpdateModeClick()
{
    // The menu item has already inverted its check mark.
    if (ui->mnuUpdateMode->isChecked()) {
        TfrmLogon dialog(this);
        switch (AskUpdateModePassword(dialog, false)) {
        case UpdateModeAnswer::ReadOnly: ApplyReadOnlySetting(*this); break;
        case UpdateModeAnswer::Update: ApplyUpdateSetting(*this); break;
        case UpdateModeAnswer::Unchanged: ui->mnuUpdateMode->setChecked(false); break;
        }
    } else {
        ApplyReadOnlySetting(*this);
    }
    ShowTabsForMode();
    if (CurrentPage() == MainPage::Analysis) StateMgr::Instance().SetBusy();
}

void TFormMain::mnuChangePasswordClick()
{
    TSetUpdPwdDlg dialog(this);
    ChangeUpdatePassword(dialog);
}

// ------------------------------------------------------------------------------------------------
// Tool buttons and menus

void TFormMain::tbtnPollClick() { Post("ExpressRead"); }

void TFormMain::tbtnWriteClick()
{
    Post("WriteMain");
    Post("ExpressRead");
}

void TFormMain::SetDefaultConfigClick()
{
    // The change list is looked at right after "WriteMain", so the post must run now.
    if (RefuseWhileBusy()) return;
    Post("WriteMain");
    // What was written to working memory is confirmed before it goes to flash. A cancelled
    // list keeps its entries for the next permanent write.
    bool cancelled = false;
    if (!DataBase::Instance()->AsWriteLogRecordsManager().IsEmpty()) {
        auto* changes = findChild<TfrmChanges*>();
        if (!changes) changes = new TfrmChanges(this);
        cancelled = changes->ShowModal() != platform::mrOk;
        changes->hide();
        if (cancelled)
            platform::ShowMessage(QStringLiteral("Operation cancelled. Data was written to the SRAM, but no data has "
                                                 "been written to the Flash."));
    }
    if (!cancelled) Post("WriteConfig");
    Post("ExpressRead");
    if (CurrentPage() != MainPage::Ports) return;
    const int answer = platform::MessageDlg(
        QStringLiteral("Changing the port setting requires the analyzer to be rebooted.\n"
                       "After pressing OK button, analyzer will automatically reboot, and GUI will restart.\n"
                       "After reboot, you can LOG ON again."),
        platform::DlgType::Warning, platform::mbOK | platform::mbCancel);
    if (answer != platform::mrOk) return;
    Post("Reboot");
    tbtnLogoffClick();
    ui->ModeDisp->setText(QStringLiteral("OFF LINE"));
    Restart();
}

void TFormMain::tbtnSyncClick()
{
    // The clock point is written by the command even before a page has read it.
    DataBase::Instance()->SetValid(DataBase::kClockDbId);
    const auto toToken = [this](double dateTime) {
        return ombrel_.DateToTimestampToken ? ombrel_.DateToTimestampToken(dateTime) : OMBREL_INVALID_TOKEN;
    };
    TTimeSyncDlg dialog(toToken, this);
    if (dialog.exec() != platform::mrOk) return;
    dialog.hide();
    if (SetSyncClockToken(CommandLine::Instance(), dialog.SyncToken())) Post("SyncClock");
}

void TFormMain::tbtnBypassClick() { Post("SetBypass"); }
void TFormMain::tbtnTapeAdvanceClick() { Post("TapeAdvance"); }
void TFormMain::tbtnAcknowledgeClick() { Post("ResetLatches"); }

void TFormMain::tbtnCommClick()
{
    if (servicesCreated_) Communications::Instance()->ShowCommSetup();
}

void TFormMain::tbtnExitClick()
{
    if (CurrentPage() == MainPage::Analysis) SwitchPolling(false);
    if (!AppFlags::RelaunchRequested && ui->tbtnLogoff->isEnabled()) {
        if (platform::MessageDlg(kCloseQuestion, platform::DlgType::Confirmation, platform::mbYes | platform::mbNo) !=
            platform::mrYes)
            return;
    }
    ReleaseDirectControl();
    ui->tbtnLogoff->setEnabled(false);
    SetExitRequestedFlag(true);
    if (servicesCreated_) Communications::Instance()->SetUserCancel(true);
    close();
}

ConfigFileRoads& TFormMain::ConfigFile()
{
    if (!configFile_) configFile_ = std::make_unique<ConfigFileRoads>(*this);
    return *configFile_;
}

void TFormMain::tbtnOpenClick() { ConfigFile().Open(); }
void TFormMain::tbtnSaveClick() { ConfigFile().Save(); }
void TFormMain::tbtnSaveAsClick() { ConfigFile().SaveAs(); }

namespace {

// The main window's side of the firmware upgrade.
class MainUpgradeHost : public IUpgradeHost {
public:
    explicit MainUpgradeHost(TFormMain& form) : form_(form) {}
    bool LoggedOn() override { return form_.LoggedOn(); }
    void LogOff() override { form_.tbtnLogoffClick(); }
    void SetModeDisp(const QString& text) override { form_.ModeDisp()->setText(text); }
    void EnableUpgradeButton(bool on) override { form_.Action("tbtnUpgrade")->setEnabled(on); }
    void SetPagesEnabled(bool on) override
    {
        form_.SetFlag(on ? CommandKeys::EnablePages : CommandKeys::DisablePages, true);
    }
    void SetWindowMenuChecked(bool on) override { form_.Action("UpgradeWindow")->setChecked(on); }
    void Restart() override { form_.Restart(); }
    void CloseMain() override { form_.close(); }

private:
    TFormMain& form_;
};

}  // namespace

void TFormMain::tbtnUpgradeClick()
{
    if (!fmUpgrade_) return;
    MainUpgradeHost host(*this);
    RunFirmwareUpgrade(host, CommandLine::Instance(), *fmUpgrade_);
}

void TFormMain::UpgradeWindowClick()
{
    // The menu item has already inverted its check mark.
    if (!fmUpgrade_) return;
    if (ui->UpgradeWindow->isChecked()) fmUpgrade_->ShowWithBack();
    else fmUpgrade_->HideWithBack();
}

void TFormMain::mnuRebootClick()
{
    SwitchPolling(false);
    platform::MessageBox(QStringLiteral("The analyzer will reboot. The GUI will LOG OFF.\nWhen analyzer is ready, please LOG ON again."),
                         QStringLiteral("Attention"));
    Post("Reboot");
    tbtnLogoffClick();
}

// ------------------------------------------------------------------------------------------------
// Components

QAction* TFormMain::Action(const char* name) const { return findChild<QAction*>(QString::fromLatin1(name)); }
QToolBar* TFormMain::ToolBar(const char* name) const { return findChild<QToolBar*>(QString::fromLatin1(name)); }
QTabWidget* TFormMain::PageControlMain() const { return ui->PageControlMain; }
QLabel* TFormMain::ModeDisp() const { return ui->ModeDisp; }
QLabel* TFormMain::StreamDisp() const { return ui->StreamDisp; }

TPageFrame* TFormMain::Frame(MainPage page) const
{
    if (!PageRegistry::Exists()) return nullptr;
    return qobject_cast<TPageFrame*>(PageRegistry::Instance().Frame(static_cast<int>(page)));
}
