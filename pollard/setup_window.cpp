#include "pollard/setup_window.h"

#include "platform/numtext.h"
#include "platform/prompter.h"
#include "pollard/dialer.h"
#include "pollard/engine.h"
#include "pollard/gateway.h"
#include "pollard/modem.h"
#include "pollard/notices.h"
#include "pollard/proxy_dlg.h"
#include "pollard/serial_port.h"
#include "pollard/tcp_port.h"
#include "pollard/transaction.h"
#include "pollard/usb_discovery.h"
#include "ui_setup_window.h"

#include <QCloseEvent>
#include <algorithm>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace pollard {

namespace {

const QString kBookFile = QStringLiteral("addrInfo.cfg");

// Sets a combo box to the entry with this text (none when there is no such entry).
void SelectText(QComboBox* box, const QString& text) { box->setCurrentIndex(box->findText(text)); }

QPixmap StatusImage(int image)
{
    QPixmap pix(16, 16);
    pix.fill(Qt::transparent);
    if (image == 0) return pix;
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(image == 2 ? QColor(0, 160, 0) : QColor(200, 0, 0));
    p.setPen(Qt::NoPen);
    p.drawEllipse(2, 2, 12, 12);
    return pix;
}

}  // namespace

std::unique_ptr<SetupWindow> CreateSetupWindow(Engine& engine) { return std::make_unique<CommSetupWindow>(engine); }

CommSetupWindow::CommSetupWindow(Engine& engine, const QString& bookFolder, const QString& bookFallback)
    : QWidget(nullptr, Qt::Window | Qt::WindowStaysOnTopHint),
      engine_(engine),
      ui_(std::make_unique<Ui::CommSetupForm>()),
      gateway_(std::make_unique<Gateway>(engine)),
      addrBook_(bookFolder, bookFallback)
{
    ui_->setupUi(this);
    Ui::CommSetupForm& f = *ui_;
    MakeSettingsScroll();

    // The design values are the defaults of a fresh installation; the engine has read the
    // stored settings already.
    ShowSettings(engine_.Settings());
    okIndex_ = engine_.Settings().connectType;
    ApplyRules();
    prevIndex_ = -1;
    if (engine_.Settings().connectType >= 0) SetUpConnectionType(engine_.Settings().connectType);
    FillComPortList();
    ShowPortParameters();
    FillDialUpEntries();
    ckCreateLogClick();
    // No counterpart here: the modem's own configuration dialog, and phonebook files with
    // entries edited from this window (the network manager keeps the connections).
    for (QWidget* w : {static_cast<QWidget*>(f.btnTapiCfg), static_cast<QWidget*>(f.edPhonebook),
                       static_cast<QWidget*>(f.btnPhonebook), static_cast<QWidget*>(f.btnPBAddEntry),
                       static_cast<QWidget*>(f.btnPBEditEntry), static_cast<QWidget*>(f.btnPBDeleteEntry)})
        w->setEnabled(false);

    connect(f.cbConnectType, QOverload<int>::of(&QComboBox::activated), this, &CommSetupWindow::cbConnectTypeSelect);
    f.cbComPortNum->installEventFilter(this);
    connect(f.cbComPortNum, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        if (index < 0 || index >= static_cast<int>(portTable_.size())) return;
        CommSettings& s = engine_.Settings();
        s.portName = portTable_[static_cast<size_t>(index)].systemLocation();
        s.comNumber = PortNumberFor(portTable_[static_cast<size_t>(index)], index);
    });
    connect(f.cbBaudRate, &QComboBox::textActivated, this,
            [this](const QString& t) { engine_.Settings().baud = numtext::AtoL(t.toStdString()); });
    connect(f.cbDataBits, &QComboBox::textActivated, this,
            [this](const QString& t) { engine_.Settings().dataBits = numtext::AtoL(t.toStdString()); });
    connect(f.cbStopBits, &QComboBox::textActivated, this,
            [this](const QString& t) { engine_.Settings().stopBits = numtext::AtoL(t.toStdString()); });
    connect(f.cbParity, QOverload<int>::of(&QComboBox::activated), this,
            [this](int index) { engine_.Settings().parity = index; });

    // Every text and check box takes effect as it changes (the engine reads them when used).
    for (QLineEdit* e : {static_cast<QLineEdit*>(f.edBackoffTimer), static_cast<QLineEdit*>(f.edRetries),
                         static_cast<QLineEdit*>(f.ledModbusNodeAddress), static_cast<QLineEdit*>(f.ledDialNumber),
                         static_cast<QLineEdit*>(f.ledMaxAttempts), static_cast<QLineEdit*>(f.ledTimeBtwnAttempts),
                         static_cast<QLineEdit*>(f.ledLogFileName), static_cast<QLineEdit*>(f.edMaxLogSize),
                         static_cast<QLineEdit*>(f.ledComment)})
        connect(e, &QLineEdit::textChanged, this, [this] { CollectSettings(); });
    for (QCheckBox* c : {static_cast<QCheckBox*>(f.ckAppend), static_cast<QCheckBox*>(f.ckWriteReset),
                         static_cast<QCheckBox*>(f.ckCreateTapiLog)})
        connect(c, &QCheckBox::toggled, this, [this] { CollectSettings(); });
    connect(f.ckCreateTapiLog, &QCheckBox::toggled, this, [this] { engine_.AttachCallLog(); });
    connect(f.ckAllStations, &QCheckBox::toggled, this, [this] {
        CollectSettings();
        ApplyRules();
    });
    connect(f.ckProxy, &QCheckBox::toggled, this, [this] {
        CollectSettings();
        ui_->btnProxy->setEnabled(ui_->ckProxy->isChecked());
    });
    connect(f.ckAllHex, &QCheckBox::toggled, this, [this](bool on) {
        CollectSettings();
        engine_.Trace().SetAllHex(on);
    });
    connect(f.ckCreateLog, &QCheckBox::toggled, this, [this] {
        CollectSettings();
        ckCreateLogClick();
        if (!ui_->ckCreateLog->isChecked()) engine_.Trace().SetState(TraceLog::Off);
    });
    connect(f.btnStartStopLog, &QPushButton::clicked, this, &CommSetupWindow::btnStartStopLogClick);
    connect(f.btnPauseLog, &QPushButton::clicked, this, &CommSetupWindow::btnPauseLogClick);
    connect(f.btnClearLog, &QPushButton::clicked, this, [this] { engine_.Trace().SetState(TraceLog::Clear); });
    connect(f.btnAddComment, &QPushButton::clicked, this, [this] {
        if (engine_.Trace().IsOn()) engine_.Trace().Add(ui_->ledComment->text());
        else platform::ShowMessage(QStringLiteral("Log file is not currently open."));
    });

    connect(f.btnOK, &QPushButton::clicked, this, &CommSetupWindow::btnOKClick);
    connect(f.btnResetDefaults, &QPushButton::clicked, this, &CommSetupWindow::btnResetDefaultsClick);
    connect(f.btnDiagnostics, &QPushButton::clicked, this, &CommSetupWindow::btnDiagnosticsClick);
    connect(f.btnProxy, &QPushButton::clicked, this, &CommSetupWindow::btnProxyClick);
    connect(f.btnSelDevice, &QPushButton::clicked, this, &CommSetupWindow::btnSelDeviceClick);

    // The address book.
    connect(f.comDesc, QOverload<int>::of(&QComboBox::activated), this, &CommSetupWindow::SelectAddress);
    connect(f.ethAddr, QOverload<int>::of(&QComboBox::activated), this, &CommSetupWindow::SelectAddress);
    connect(f.comDesc->lineEdit(), &QLineEdit::returnPressed, this, &CommSetupWindow::comDescEnter);
    connect(f.ethAddr->lineEdit(), &QLineEdit::returnPressed, this, &CommSetupWindow::ethAddrEnter);
    connect(f.ledPort, &QLineEdit::returnPressed, this, &CommSetupWindow::ledPortEnter);
    connect(f.btnDelete, &QPushButton::clicked, this, &CommSetupWindow::btnDeleteClick);
    f.comDesc->installEventFilter(this);

    // The gateway.
    connect(f.btnCCIDetect, &QPushButton::clicked, this, &CommSetupWindow::btnCCIDetectClick);
    connect(f.cbCCIConnInfo, QOverload<int>::of(&QComboBox::activated), this, &CommSetupWindow::cbCCIConnInfoSelect);
    connect(gateway_.get(), &Gateway::ConnectionsChanged, this, &CommSetupWindow::RefreshIndicators);
    connect(gateway_.get(), &Gateway::NodeAddressChanged, this,
            [this](const QString& address) { ui_->ledModbusNodeAddress->setText(address); });

    // The dial-up entry to bring up.
    connect(f.cbEntries, &QComboBox::textActivated, this, [this](const QString& t) { engine_.dialEntry = t; });

    connect(&engine_, &Engine::IndicatorsChanged, this, &CommSetupWindow::RefreshIndicators);
    RefreshIndicators();
}

CommSetupWindow::~CommSetupWindow()
{
    // The program may end with the window open: nothing set in it is lost.
    WriteSettings();
    gateway_->Stop();
}

// --- settings -----------------------------------------------------------------------

void CommSetupWindow::ShowSettings(const CommSettings& s)
{
    Ui::CommSetupForm& f = *ui_;
    showing_ = true;
    f.edBackoffTimer->setText(s.backoffTimer);
    f.edRetries->setText(s.retries);
    f.ckCreateLog->setChecked(s.createLog);
    f.ckAppend->setChecked(s.append);
    f.ckWriteReset->setChecked(s.writeReset);
    f.ckAllHex->setChecked(s.allHex);
    f.ledLogFileName->setText(s.logFileName);
    f.edMaxLogSize->setText(s.maxLogSize);
    f.ledComment->setText(s.comment);
    f.cbConnectType->setCurrentIndex(s.connectType);
    f.ckAllStations->setChecked(s.allStations);
    f.ledModbusNodeAddress->setText(s.modbusNodeAddress);
    f.ledDialNumber->setText(s.dialNum);
    f.ledMaxAttempts->setText(s.maxAttempts);
    f.ledTimeBtwnAttempts->setText(s.timeBtwnAttempts);
    f.ckCreateTapiLog->setChecked(s.createTapiLog);
    f.ckProxy->setChecked(s.useProxy);
    f.ethAddr->setEditText(s.winSock.address);
    f.ledPort->setText(s.winSock.port);
    showing_ = false;
    engine_.Trace().SetAllHex(s.allHex);
}

void CommSetupWindow::CollectSettings()
{
    if (showing_) return;
    Ui::CommSetupForm& f = *ui_;
    CommSettings& s = engine_.Settings();
    s.backoffTimer = f.edBackoffTimer->text();
    s.retries = f.edRetries->text();
    s.createLog = f.ckCreateLog->isChecked();
    s.append = f.ckAppend->isChecked();
    s.writeReset = f.ckWriteReset->isChecked();
    s.allHex = f.ckAllHex->isChecked();
    s.logFileName = f.ledLogFileName->text();
    s.maxLogSize = f.edMaxLogSize->text();
    s.comment = f.ledComment->text();
    s.allStations = f.ckAllStations->isChecked();
    s.modbusNodeAddress = f.ledModbusNodeAddress->text();
    s.dialNum = f.ledDialNumber->text();
    s.maxAttempts = f.ledMaxAttempts->text();
    s.timeBtwnAttempts = f.ledTimeBtwnAttempts->text();
    s.createTapiLog = f.ckCreateTapiLog->isChecked();
    s.useProxy = f.ckProxy->isChecked();
}

void CommSetupWindow::WriteSettings()
{
    CollectSettings();
    engine_.Settings().Save();
}

void CommSetupWindow::closeEvent(QCloseEvent* e)
{
    WriteSettings();
    QWidget::closeEvent(e);
}

void CommSetupWindow::ApplyRules()
{
    Ui::CommSetupForm& f = *ui_;
    f.ledModbusNodeAddress->setEnabled(!f.ckAllStations->isChecked());
    f.btnProxy->setEnabled(f.ckProxy->isChecked());
}

int CommSetupWindow::PortNumberFor(const QSerialPortInfo& info, int listIndex)
{
    static const QRegularExpression ttyS(QStringLiteral("^ttyS(\\d+)$"));
    const QRegularExpressionMatch m = ttyS.match(info.portName());
    if (m.hasMatch()) return m.captured(1).toInt() + 1;
    return listIndex + 1;
}

void CommSetupWindow::FillComPortList()
{
    QComboBox* list = ui_->cbComPortNum;
    list->clear();
    portTable_.clear();
    const QString current = engine_.Settings().SerialDevice();
    int selected = -1;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (portTable_.size() >= 256) break;
        if (info.systemLocation() == current) selected = static_cast<int>(portTable_.size());
        portTable_.push_back(info);
        list->addItem(info.portName());
    }
    // A stored port that is not present shows no selection and stays as it is.
    list->setCurrentIndex(selected);
}

void CommSetupWindow::ShowPortParameters()
{
    const CommSettings& s = engine_.Settings();
    SelectText(ui_->cbBaudRate, QString::number(s.baud));
    SelectText(ui_->cbDataBits, QString::number(s.dataBits));
    SelectText(ui_->cbStopBits, QString::number(s.stopBits));
    ui_->cbParity->setCurrentIndex(s.parity >= 0 && s.parity < ui_->cbParity->count() ? s.parity : -1);
}

bool CommSetupWindow::eventFilter(QObject* watched, QEvent* e)
{
    // The port list is made afresh each time it is opened.
    if (watched == ui_->cbComPortNum && e->type() == QEvent::MouseButtonPress) FillComPortList();
    if (watched == ui_->comDesc && e->type() == QEvent::FocusIn) addrIndex_ = ui_->comDesc->currentIndex();
    return QWidget::eventFilter(watched, e);
}

// --- connection type ----------------------------------------------------------------

bool CommSetupWindow::ExchangeRunning()
{
    if (!engine_.Exchange().Running()) return false;
    platform::MessageDlg(QStringLiteral("An exchange with the analyzer is in progress. Please wait for it to finish."),
                         platform::DlgType::Warning, platform::mbOK);
    return true;
}

void CommSetupWindow::TakeDownConnectionType(int index)
{
    switch (index) {
    case ctComPortDirect:
    case ctEthernet:
        engine_.Serial().Close();
        engine_.Tcp().Close();
        break;
    case ctModem: engine_.ModemLine().HangUp(); break;
    case ctDialUp: engine_.DialUp().HangUp(); break;
    default: break;
    }
}

void CommSetupWindow::SetUpConnectionType(int index)
{
    Ui::CommSetupForm& f = *ui_;
    CommSettings& s = engine_.Settings();
    showing_ = true;
    f.cbConnectType->setCurrentIndex(index);
    showing_ = false;
    const bool addresses = index == ctEthernet;
    f.gbPortSetup->setVisible(index == ctComPortDirect);
    f.gbModemSetup->setVisible(index == ctModem);
    f.gbWinsock->setVisible(index == ctDialUp || index == ctEthernet);
    for (QWidget* w : {static_cast<QWidget*>(f.lblEthAddr), static_cast<QWidget*>(f.ethAddr),
                       static_cast<QWidget*>(f.lblComDesc), static_cast<QWidget*>(f.comDesc),
                       static_cast<QWidget*>(f.lblPort), static_cast<QWidget*>(f.ledPort),
                       static_cast<QWidget*>(f.btnDelete)})
        w->setEnabled(addresses);
    f.gbRAS->setEnabled(index == ctDialUp);
    if (index == ctEthernet) {
        f.ethAddr->setEditText(s.winSock.address);
        f.ledPort->setText(s.winSock.port);
    }
    f.btnCCIDetect->setEnabled(index == ctEthernet);
    f.cbCCIConnInfo->setEnabled(false);
    wsImage_ = index == ctDialUp || index == ctEthernet ? 1 : 0;
    f.StatusPanel1->setText(index == ctDialUp || index == ctEthernet ? QStringLiteral("Winsock Status:") : QString());
    f.StatusPanel2->setPixmap(StatusImage(wsImage_));
    s.connectType = index;
    prevIndex_ = index;
    FitToContent();
}

void CommSetupWindow::cbConnectTypeSelect(int index)
{
    if (index == prevIndex_) {
        if (index == ctEthernet) ui_->btnCCIDetect->setEnabled(true);
        return;
    }
    if (ExchangeRunning()) {   // its port stays open under it
        ui_->cbConnectType->setCurrentIndex(prevIndex_);
        return;
    }
    ui_->lblModemInfo->setText(QStringLiteral("Not Connected"));
    TakeDownConnectionType(prevIndex_);
    SetUpConnectionType(index);
}

void CommSetupWindow::EnableSettingsGroups(bool enable)
{
    Ui::CommSetupForm& f = *ui_;
    f.gbPortSetup->setEnabled(enable);
    f.gbModemSetup->setEnabled(enable);
    f.gbWinsock->setEnabled(enable);
    f.lblModemInfo->setEnabled(true);
    f.cbConnectType->setEnabled(enable);
}

void CommSetupWindow::RefreshIndicators()
{
    Ui::CommSetupForm& f = *ui_;
    if (engine_.SettingsLocked() != locked_) {
        locked_ = engine_.SettingsLocked();
        EnableSettingsGroups(!locked_);
        if (locked_) gateway_->Stop();   // the exchange reads the port now
    }
    if (prevIndex_ == ctDialUp || prevIndex_ == ctEthernet) wsImage_ = engine_.Tcp().IsOpen() ? 2 : 1;
    f.StatusPanel0->setText(engine_.StatusText());
    f.StatusPanel2->setPixmap(StatusImage(wsImage_));
    f.lblModemInfo->setText(engine_.ModemInfo());
    if (f.ledModbusNodeAddress->text() != engine_.Settings().modbusNodeAddress)
        f.ledModbusNodeAddress->setText(engine_.Settings().modbusNodeAddress);
    QStringList shown;
    for (int i = 0; i < f.cbCCIConnInfo->count(); ++i) shown << f.cbCCIConnInfo->itemText(i);
    if (shown != engine_.gatewayConnections) {
        f.cbCCIConnInfo->clear();
        f.cbCCIConnInfo->addItems(engine_.gatewayConnections);
        f.cbCCIConnInfo->setCurrentIndex(-1);
    }
}

// --- showing, OK, defaults ----------------------------------------------------------

void CommSetupWindow::Show()
{
    Ui::CommSetupForm& f = *ui_;
    f.btnCCIDetect->setEnabled(f.cbConnectType->currentIndex() == ctEthernet);
    f.lblTapiDevice->setText(engine_.Settings().SerialDevice());
    f.foundUSBport->setText(UsbFoundText(FindUSBPort(PresentSerialPorts())));
    FillComPortList();
    LoadAddressBook();
    RefreshIndicators();
    FitToContent();
    show();
    raise();
    activateWindow();
}

void CommSetupWindow::btnOKClick()
{
    if (ExchangeRunning()) return;   // its port is not closed under it
    Ui::CommSetupForm& f = *ui_;
    // A modem call ends with its port: hung up properly, so nothing shows it as still up.
    if (engine_.ModemLine().InCall()) engine_.ModemLine().HangUp();
    engine_.Serial().Close();
    engine_.Tcp().Close();
    engine_.CommDisconnect(true);   // offline, WM_COMM_STATUS 0, the settings unlocked
    locked_ = false;
    EnableSettingsGroups(true);
    okIndex_ = f.cbConnectType->currentIndex();
    if (okIndex_ == ctEthernet) {
        f.gbPortSetup->setEnabled(false);
        f.gbModemSetup->setEnabled(false);
        CommSettings& s = engine_.Settings();
        s.winSock.address = f.ethAddr->currentText();
        s.winSock.port = f.ledPort->text();
        // The book is matched on addresses: an address it has already is not added again.
        if (addrBook_.FindAddress(s.winSock.address) < 0 && !s.winSock.address.trimmed().isEmpty())
            InsertAddressEntry(s.winSock.address, PortFieldValue());
    }
    hide();
    WriteSettings();
    close();
}

void CommSetupWindow::btnResetDefaultsClick()
{
    CommSettings& s = engine_.Settings();
    const QString modbusAddress = ui_->ledModbusNodeAddress->text();
    CommSettings restored = defaults_;
    restored.modbusNodeAddress = modbusAddress;
    restored.connectType = okIndex_;
    restored.winSock = s.winSock;
    restored.winSock2 = s.winSock2;
    restored.portName.clear();
    // The port's parameters and the SOCKS settings go back with the rest.
    s.comNumber = restored.comNumber;
    s.portName.clear();
    s.baud = restored.baud;
    s.dataBits = restored.dataBits;
    s.parity = restored.parity;
    s.stopBits = restored.stopBits;
    s.proxyPort = restored.proxyPort;
    s.socksVersion = restored.socksVersion;
    s.proxyAddress = restored.proxyAddress;
    s.proxyUsername = restored.proxyUsername;
    s.proxyPassword = restored.proxyPassword;
    ShowSettings(restored);
    CollectSettings();
    ApplyRules();
    prevIndex_ = -1;
    if (okIndex_ >= 0) SetUpConnectionType(okIndex_);
    else {
        showing_ = true;
        ui_->cbConnectType->setCurrentIndex(-1);
        showing_ = false;
        s.connectType = -1;
    }
    FillComPortList();
    ShowPortParameters();
}

void CommSetupWindow::btnDiagnosticsClick()
{
    const bool show = ui_->gbLogging->isHidden();
    ui_->gbLogging->setVisible(show);
    ui_->btnDiagnostics->setText(show ? QStringLiteral("Hide Diagnostics") : QStringLiteral("Diagnostics"));
    FitToContent();
}

void CommSetupWindow::btnProxyClick() { EditProxySettings(this, engine_.Settings()); }

void CommSetupWindow::btnSelDeviceClick()
{
    // The modem is a serial device: choose it among the ports present.
    QMenu menu(this);
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports) menu.addAction(info.portName() + QStringLiteral("  ") + info.description());
    QAction* chosen = menu.exec(ui_->btnSelDevice->mapToGlobal(QPoint(0, ui_->btnSelDevice->height())));
    if (!chosen) return;
    const int index = static_cast<int>(menu.actions().indexOf(chosen));
    CommSettings& s = engine_.Settings();
    s.portName = ports.at(index).systemLocation();
    s.comNumber = PortNumberFor(ports.at(index), index);
    ui_->lblTapiDevice->setText(ports.at(index).portName());
    FillComPortList();
}

void CommSetupWindow::FillDialUpEntries()
{
    QComboBox* list = ui_->cbEntries;
    list->clear();
    list->addItems(engine_.DialUp().Entries());
    if (list->count() > 0) {
        list->setCurrentIndex(0);
        if (engine_.dialEntry.isEmpty()) engine_.dialEntry = list->itemText(0);
    }
}

// --- trace log ----------------------------------------------------------------------

void CommSetupWindow::ckCreateLogClick()
{
    Ui::CommSetupForm& f = *ui_;
    const bool on = f.ckCreateLog->isChecked();
    for (QWidget* w : {static_cast<QWidget*>(f.btnStartStopLog), static_cast<QWidget*>(f.ckAppend),
                       static_cast<QWidget*>(f.ckAllHex), static_cast<QWidget*>(f.ckWriteReset),
                       static_cast<QWidget*>(f.edMaxLogSize), static_cast<QWidget*>(f.lblMaxLogSize),
                       static_cast<QWidget*>(f.lblBytes), static_cast<QWidget*>(f.ledLogFileName),
                       static_cast<QWidget*>(f.lblLogFileName), static_cast<QWidget*>(f.ledComment),
                       static_cast<QWidget*>(f.lblComment)})
        w->setEnabled(on);
    f.btnStartStopLog->setText(QStringLiteral("Start Logging"));
    f.btnPauseLog->setText(QStringLiteral("Pause"));
    f.btnPauseLog->setStyleSheet(QString());
    paused_ = false;
    for (QWidget* w : {static_cast<QWidget*>(f.btnPauseLog), static_cast<QWidget*>(f.btnClearLog),
                       static_cast<QWidget*>(f.btnAddComment)})
        w->setEnabled(false);
}

void CommSetupWindow::btnStartStopLogClick()
{
    Ui::CommSetupForm& f = *ui_;
    const bool starting = f.btnStartStopLog->text() == QStringLiteral("Start Logging");
    for (QWidget* w : {static_cast<QWidget*>(f.ckAppend), static_cast<QWidget*>(f.ckAllHex),
                       static_cast<QWidget*>(f.ckWriteReset), static_cast<QWidget*>(f.edMaxLogSize),
                       static_cast<QWidget*>(f.lblMaxLogSize), static_cast<QWidget*>(f.lblBytes),
                       static_cast<QWidget*>(f.ledLogFileName), static_cast<QWidget*>(f.lblLogFileName)})
        w->setEnabled(!starting);
    for (QWidget* w : {static_cast<QWidget*>(f.btnClearLog), static_cast<QWidget*>(f.btnPauseLog),
                       static_cast<QWidget*>(f.btnAddComment)})
        w->setEnabled(starting);
    f.ledComment->setEnabled(true);
    TraceLog& trace = engine_.Trace();
    trace.SetFileName(f.ledLogFileName->text().trimmed());
    if (starting) {
        trace.SetMaxBytes(numtext::AtoL(f.edMaxLogSize->text().toStdString()));
        trace.SetState(TraceLog::On);
        f.btnStartStopLog->setText(QStringLiteral("Send Log to File"));
        return;
    }
    f.btnPauseLog->setText(QStringLiteral("Pause"));
    f.btnPauseLog->setStyleSheet(QString());
    paused_ = false;
    f.btnStartStopLog->setText(QStringLiteral("Start Logging"));
    if (!trace.SetState(f.ckAppend->isChecked() ? TraceLog::Append : TraceLog::Dump))
        platform::MessageDlg(
            QStringLiteral("Error saving the log file.\n\nMake sure the directory exists and that you can write to it.\n\n%1")
                .arg(trace.LastError()),
            platform::DlgType::Error, platform::mbOK);
}

void CommSetupWindow::btnPauseLogClick()
{
    paused_ = !paused_;
    ui_->btnPauseLog->setText(paused_ ? QStringLiteral("Paused") : QStringLiteral("Pause"));
    ui_->btnPauseLog->setStyleSheet(paused_ ? QStringLiteral("color: red; font-weight: bold;") : QString());
    engine_.Trace().SetState(paused_ ? TraceLog::Pause : TraceLog::On);
}

// --- gateway ------------------------------------------------------------------------

void CommSetupWindow::btnCCIDetectClick()
{
    if (ExchangeRunning()) return;
    Ui::CommSetupForm& f = *ui_;
    EnableSettingsGroups(false);
    f.lblModemInfo->setEnabled(false);
    f.cbCCIConnInfo->setEnabled(true);
    f.cbCCIConnInfo->clear();
    gateway_->Detect(f.ethAddr->currentText(), f.ledPort->text());   // a failure is dropped
}

void CommSetupWindow::cbCCIConnInfoSelect(int index)
{
    Ui::CommSetupForm& f = *ui_;
    if (index < 0 || index >= f.cbCCIConnInfo->count()) return;
    if (ExchangeRunning()) return;
    gateway_->Select(f.cbCCIConnInfo->itemText(index));   // a failure is dropped
    EnableSettingsGroups(true);
    f.cbConnectType->setEnabled(false);
    f.btnCCIDetect->setEnabled(false);
    engine_.SetLinkState(lsOffline);
}

// --- address book -------------------------------------------------------------------

void CommSetupWindow::LoadAddressBook()
{
    Ui::CommSetupForm& f = *ui_;
    addrBook_.Load(kBookFile);
    const QString address = engine_.Settings().winSock.address;
    const QString port = f.ledPort->text();
    f.comDesc->clear();
    f.ethAddr->clear();
    for (int i = 0; i < addrBook_.Count(); ++i) {
        f.comDesc->addItem(addrBook_.GetAt(i).description);
        f.ethAddr->addItem(addrBook_.GetAt(i).address);
    }
    addrIndex_ = addrBook_.FindAddress(address);
    f.comDesc->setCurrentIndex(addrIndex_);
    f.ethAddr->setCurrentIndex(addrIndex_);
    if (addrIndex_ < 0) f.ethAddr->setEditText(address);
    f.ledPort->setText(port);
}

void CommSetupWindow::SelectAddress(int index)
{
    Ui::CommSetupForm& f = *ui_;
    addrIndex_ = index;
    f.comDesc->setCurrentIndex(index);
    f.ethAddr->setCurrentIndex(index);
    if (index >= 0 && index < addrBook_.Count()) f.ledPort->setText(QString::number(addrBook_.GetAt(index).port));
}

void CommSetupWindow::SaveAddressBook()
{
    if (!addrBook_.Save(kBookFile))
        platform::MessageDlg(QStringLiteral("The address book could not be saved to %1: %2")
                                 .arg(addrBook_.SavedPath(), addrBook_.LastError()),
                             platform::DlgType::Error, platform::mbOK);
}

bool CommSetupWindow::FieldsFilled(bool description, bool address, bool port)
{
    Ui::CommSetupForm& f = *ui_;
    QString text;
    if (description && f.comDesc->currentText().isEmpty())
        text = QStringLiteral("Description should not be empty, please input valid Description");
    else if (address && f.ethAddr->currentText().isEmpty())
        text = QStringLiteral("IP Address should not be empty, please input valid IP Address");
    else if (port && f.ledPort->text().isEmpty())
        text = QStringLiteral("Port should not be empty, please input valid Port Value");
    if (text.isEmpty()) return true;
    platform::MessageBox(text, QStringLiteral("Attention"), platform::DlgType::Warning, platform::mbOK);
    return false;
}

int32_t CommSetupWindow::PortFieldValue() const
{
    // A service name ("telnet") stands for its number.
    const QString text = ui_->ledPort->text();
    const quint16 named = TcpPort::PortNumber(text);
    return named ? named : numtext::AtoL(text.toStdString());
}

void CommSetupWindow::InsertAddressEntry(const QString& address, int32_t port)
{
    Ui::CommSetupForm& f = *ui_;
    if (addrIndex_ < 0 || addrIndex_ > addrBook_.Count()) addrIndex_ = 0;
    addrBook_.InsertAt(addrIndex_, address, address, port);
    f.comDesc->insertItem(addrIndex_, address);
    f.ethAddr->insertItem(addrIndex_, address);
    f.comDesc->setCurrentIndex(addrIndex_);
    f.ethAddr->setCurrentIndex(addrIndex_);
    SaveAddressBook();
}

void CommSetupWindow::comDescEnter()
{
    Ui::CommSetupForm& f = *ui_;
    if (!FieldsFilled(true, true, true)) return;
    const QString description = f.comDesc->currentText();
    const QString address = f.ethAddr->currentText();
    if (addrIndex_ >= 0 && addrIndex_ < addrBook_.Count()) {
        f.comDesc->setItemText(addrIndex_, description);
        f.ethAddr->setItemText(addrIndex_, address);
        addrBook_.ReplaceAt(addrIndex_, description, address, PortFieldValue());
    } else {
        addrIndex_ = 0;
        addrBook_.InsertAt(0, description, address, PortFieldValue());
        f.comDesc->insertItem(0, description);
        f.ethAddr->insertItem(0, address);
        f.comDesc->setCurrentIndex(0);
        f.ethAddr->setCurrentIndex(0);
    }
    SaveAddressBook();
}

void CommSetupWindow::ethAddrEnter()
{
    if (!FieldsFilled(false, true, true)) return;
    const QString address = ui_->ethAddr->currentText();
    if (addrBook_.FindAddress(address) >= 0) return;
    InsertAddressEntry(address, PortFieldValue());
}

void CommSetupWindow::ledPortEnter()
{
    Ui::CommSetupForm& f = *ui_;
    if (!FieldsFilled(true, true, true)) return;
    if (addrIndex_ < 0) addrIndex_ = 0;
    if (addrIndex_ >= addrBook_.Count()) return;
    const QString description = f.comDesc->currentText();
    const QString address = f.ethAddr->currentText();
    addrBook_.ReplaceAt(addrIndex_, description, address, PortFieldValue());
    f.comDesc->setItemText(addrIndex_, description);
    f.ethAddr->setItemText(addrIndex_, address);
    SaveAddressBook();
}

void CommSetupWindow::btnDeleteClick()
{
    Ui::CommSetupForm& f = *ui_;
    const int index = f.ethAddr->currentIndex();
    if (f.ethAddr->count() == 0 || index < 0) return;
    addrBook_.Delete(index);
    f.comDesc->removeItem(index);
    f.ethAddr->removeItem(index);
    const int next = index < f.ethAddr->count() ? index : -1;
    f.comDesc->setCurrentIndex(next);
    f.ethAddr->setCurrentIndex(next);
    addrIndex_ = next;
    SaveAddressBook();
}

// With every group showing, the settings are taller than many screens: they scroll, and the
// window opens no taller than the screen, with OK and "Reset Defaults" always in view.
void CommSetupWindow::MakeSettingsScroll()
{
    auto* main = qobject_cast<QVBoxLayout*>(layout());
    QLayout* middle = ui_->hlMiddle;
    const int index = main ? main->indexOf(middle) : -1;
    if (index < 0) return;
    const QSize natural = sizeHint();
    main->removeItem(middle);
    middle->setParent(nullptr);
    auto* page = new QWidget;
    page->setLayout(middle);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("settingsScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(page);
    const int bar = scroll->verticalScrollBar()->sizeHint().width();
    scroll->setMinimumWidth(page->sizeHint().width() + bar);
    main->insertWidget(index, scroll, 1);

    resize(natural.width() + bar, natural.height());
    FitToContent();
}

namespace {
// A layout and every item under it measure their sizes again (a layout's own invalidation
// leaves its inner layouts' sizes as they were).
void ForgetSizes(QLayoutItem* item)
{
    item->invalidate();
    if (QLayout* inner = item->layout())
        for (int i = 0; i < inner->count(); ++i) ForgetSizes(inner->itemAt(i));
}
}  // namespace

void CommSetupWindow::FitToContent()
{
    auto* scroll = findChild<QScrollArea*>(QStringLiteral("settingsScroll"));
    QWidget* page = scroll ? scroll->widget() : nullptr;
    if (!page || !page->layout() || !layout()) return;
    // Only the groups that show count: a group hidden for the connection type leaves no gap.
    ForgetSizes(page->layout());
    ForgetSizes(layout());
    const int settings = page->layout()->sizeHint().height() + 2 * scroll->frameWidth();
    const int rest = layout()->sizeHint().height() - scroll->sizeHint().height();
    int height = rest + settings;
    if (const QScreen* screen = this->screen()) height = std::min(height, screen->availableGeometry().height() - 60);
    resize(width(), std::max(height, 200));
}

}  // namespace pollard
