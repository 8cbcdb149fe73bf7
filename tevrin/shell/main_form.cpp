#include "tevrin/shell/main_form_internal.h"

using mainform::Safely;

namespace {

TFormMain* g_mainForm = nullptr;
QString g_libraryFolder;

const QString kPauseText = QStringLiteral("Temporarily paused for discontinuous communication...");
const QString kRegisterError = QStringLiteral("Error registering to database");

// The colours of the link icons: off line, idle, active, no response, paused.
QPixmap MakeLinkIcon(int index, bool receive)
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
    painter.end();
    return QPixmap::fromImage(image);
}

}  // namespace

// ------------------------------------------------------------------------------------------------
// Construction and start-up

TFormMain* TFormMain::Current() { return g_mainForm; }

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
    // Opaque, so that a repaint of one of its panels does not draw the window behind it again.
    statusLine_->setAutoFillBackground(true);

    // Every panel is one height, room for a line of the desktop's font in a frame; the two
    // made here have it before the bar lays them out.
    const int panelHeight = std::max(18, statusLine_->fontMetrics().height() + 4);
    specialPanel_ = new QLabel(statusLine_);
    specialPanel_->setObjectName(QStringLiteral("specialPanel"));
    specialPanel_->setFixedHeight(panelHeight);
    specialPanel_->setAutoFillBackground(true);
    specialPanel_->setAlignment(Qt::AlignCenter);
    statusProgress_ = new StatusProgressBar(statusLine_);
    statusProgress_->setObjectName(QStringLiteral("statusProgress"));
    statusProgress_->setFixedHeight(panelHeight);
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
    // Every exchange changes the link icons and the progress, the clock ticks every second: a
    // panel of fixed size asks for no new layout (which would draw the whole line again), and
    // an opaque one draws itself alone.
    for (int i = 0; i < statusLine_->PanelCount(); ++i) {
        QWidget* panel = statusLine_->Panel(i);
        panel->setFixedHeight(panelHeight);
        panel->setAutoFillBackground(true);
    }
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

    // A help file that is missing, or that nothing can open, is named with its folder.
    const auto openHelpFile = [](const QString& name) {
        const QString folder = QDir::toNativeSeparators(SecurityChk::Instance().GetFolder());
        const QString path = QDir(SecurityChk::Instance().GetFolder()).filePath(name);
        QString failure;
        if (!QFileInfo(path).isFile())
            failure = QStringLiteral("The file \"%1\" was not found in the folder \"%2\".").arg(name, folder);
        else if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
            failure = QStringLiteral("The file \"%1\" in the folder \"%2\" could not be opened.").arg(name, folder);
        if (!failure.isEmpty()) platform::MessageDlg(failure, platform::DlgType::Error, platform::mbOK);
    };
    connect(ui->WiringBook, &QAction::triggered, this, [openHelpFile] { openHelpFile(QStringLiteral("K41_WIRING_BOOK.pdf")); });
    connect(ui->Manual, &QAction::triggered, this, [openHelpFile] { openHelpFile(QStringLiteral("K41W manual_ rev1.pdf")); });
    connect(ui->About1, &QAction::triggered, this, [this] {
        TAboutForm about(this);
        platform::ExecUncovered(about);
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
        if (platform::MessageDlg(mainform::kCloseQuestion, platform::DlgType::Confirmation, platform::mbYes | platform::mbNo) !=
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
        // Not one the engine sends: the whole line is drawn again, every time.
        rxIcon_ = 0;
        txIcon_ = 0;
        UpdateLinkIcons();
        if (statusLine_) statusLine_->repaint();
        ++statusRepaints_;
        return;
    }
    const auto& s = kStates[state];
    if (rxIcon_ == s.rx && txIcon_ == s.tx) return;
    rxIcon_ = s.rx;
    txIcon_ = s.tx;
    // The line is repainted at once, as the exchange may keep the event loop busy for a while;
    // only the parts that changed are drawn (every exchange passes through here twice).
    // The notices clear only the pause text they put there themselves: a refusal or a result
    // (a field's range, "Configuration successfully saved ...") stays until the next message
    // or the user's next keystroke replaces it, however soon after the exchange the link falls idle.
    if (statusLine_ && s.text != 0 && (s.text == 2 || statusLine_->PanelText(0) == kPauseText)) {
        const QString text = s.text == 2 ? kPauseText : QString();
        if (statusLine_->PanelText(0) != text) {
            statusLine_->SetPanelText(0, text);
            statusLine_->Panel(0)->repaint();
        }
    }
    if (ShowLinkIcon(rxPanel_, imlRx_, rxIcon_)) rxPanel_->repaint();
    if (ShowLinkIcon(txPanel_, imlTx_, txIcon_)) txPanel_->repaint();
    ++statusRepaints_;
}

bool TFormMain::ShowLinkIcon(QLabel* panel, const std::array<QPixmap, 5>& icons, int index)
{
    if (!panel || index < 0 || index > 4) return false;
    const QPixmap& icon = icons[static_cast<size_t>(index)];
    if (panel->pixmap().cacheKey() == icon.cacheKey()) return false;
    panel->setPixmap(icon);
    return true;
}

void TFormMain::UpdateLinkIcons()
{
    ShowLinkIcon(rxPanel_, imlRx_, rxIcon_);
    ShowLinkIcon(txPanel_, imlTx_, txIcon_);
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
    // A page shut by the user level keeps its displays readable; only its editing controls go.
    if (TPageFrame* frame = Frame(page)) SetPageEditable(frame, on);
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
