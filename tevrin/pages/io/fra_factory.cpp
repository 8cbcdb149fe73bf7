#include "tevrin/pages/io/fra_factory.h"
#include "tevrin/rtdb/database.h"

#include "brannix/qcheckbox.h"
#include "brannix/qcombobox.h"
#include "brannix/qlabel.h"
#include "brannix/qlabelededit.h"
#include "platform/prompter.h"
#include "tevrin/pages/io/port_frame.h"
#include "tevrin/pages/io/supply_cal_frame.h"
#include "tevrin/pages/page_host.h"
#include "tevrin/pages/widgets/bound_controls.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

using namespace pagecontrols;

namespace {
constexpr TDbId kLowTape = 511;
constexpr TDbId kLowTapeActions = 512;
const char* const kManufacturerOnly = "This function is for manufacturer use only";
}  // namespace

TfraFactory::TfraFactory(QWidget* owner) : TPageFrame(owner, 8, 0, 1)
{
    setObjectName(QStringLiteral("fraFactory"));
    auto* page = new QVBoxLayout(this);
    lblNotice_ = new QLabel(QStringLiteral("This page is for authorised users only."), this);
    lblNotice_->setObjectName(QStringLiteral("lblNotice"));
    page->addWidget(lblNotice_);
    auto* columns = new QHBoxLayout;
    page->addLayout(columns);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);

    // Sensor and diode.
    auto* sensor = new QGroupBox(QStringLiteral("Sensor"), this);
    sensor->setObjectName(QStringLiteral("gbSensor"));
    left->addWidget(sensor);
    auto* sensorColumn = new QVBoxLayout(sensor);
    LabeledEdit(sensor, sensorColumn, "edtSampleBoxCarSize", QStringLiteral("Sample Box Car Size"), 386, dtInt);
    LabeledEdit(sensor, sensorColumn, "edtADCSampelRate", QStringLiteral("ADC Sample Rate"), 285, dtFloat);
    sensorColumn->addWidget(CheckBox(sensor, "chkDiffEnable", QStringLiteral("Differential Enable"), 470));
    LabeledEdit(sensor, sensorColumn, "edtTargetDiodVolt", QStringLiteral("Target Diode Voltage"), 471, dtFloat);
    LabeledEdit(sensor, sensorColumn, "edtMaxDiodeCurrent", QStringLiteral("Max Diode Current"), 472, dtFloat);

    // The sensor port: serial port 2, its baud rate shown but never edited here.
    auto* portGroup = new QGroupBox(QStringLiteral("Sensor Port (RS-485)"), this);
    portGroup->setObjectName(QStringLiteral("gbSensorPort"));
    left->addWidget(portGroup);
    auto* portColumn = new QVBoxLayout(portGroup);
    fraPortX_ = new TfraPort(portGroup);
    fraPortX_->setObjectName(QStringLiteral("fraPortX"));
    fraPortX_->SetPortNumber(0);
    fraPortX_->SetPoints({311, 312, 313, 314, 315}, {true, false, false, false, false});
    portColumn->addWidget(fraPortX_);

    auto* counters = new QGroupBox(QStringLiteral("Run Counter"), this);
    counters->setObjectName(QStringLiteral("gbRunCounter"));
    left->addWidget(counters);
    auto* counterColumn = new QVBoxLayout(counters);
    LabeledEdit(counters, counterColumn, "RunCounter", QStringLiteral("Total Run Counter"), 29, dtInt);

    auto* colour = new QGroupBox(QStringLiteral("Colour Card"), this);
    colour->setObjectName(QStringLiteral("gbColourCard"));
    left->addWidget(colour);
    auto* colourColumn = new QVBoxLayout(colour);
    LabeledEdit(colour, colourColumn, "txtColorCardMV", QStringLiteral("Colour Card Cal. Voltage Difference (mV)"), 1688,
                dtFloat);
    LabeledEdit(colour, colourColumn, "txtColorCardPDG", QStringLiteral("Colour Card Peak Detect Gain"), 1689, dtFloat);

    // The two analog supplies.
    auto* supplies = new QGroupBox(QStringLiteral("Analog Supply Calibration"), this);
    supplies->setObjectName(QStringLiteral("gbAnalogSupply"));
    right->addWidget(supplies);
    auto* supplyColumn = new QVBoxLayout(supplies);
    supply1_ = new TfmAnalogSupply(1, supplies);
    supply2_ = new TfmAnalogSupply(2, supplies);
    supplyColumn->addWidget(supply1_);
    supplyColumn->addWidget(supply2_);

    // The low-tape alarm and the relays and solenoids it drives (bits 0-5 and 8-15 of 512).
    auto* tape = new QGroupBox(QStringLiteral("Tape Alarm"), this);
    tape->setObjectName(QStringLiteral("gbTapeAlarm"));
    right->addWidget(tape);
    auto* tapeColumn = new QVBoxLayout(tape);
    chkLowTape_ = CheckBox(tape, "LowTape", QStringLiteral("Low Tape"), kLowTape);
    tapeColumn->addWidget(chkLowTape_);
    auto* actions = new QGroupBox(QStringLiteral("Actions"), tape);
    actions->setObjectName(QStringLiteral("gbActions"));
    tapeColumn->addWidget(actions);
    auto* actionGrid = new QGridLayout(actions);
    actionGrid->addWidget(new QLabel(QStringLiteral("Relays"), actions), 0, 0);
    actionGrid->addWidget(new QLabel(QStringLiteral("Solenoids"), actions), 1, 0);
    for (int k = 0; k < 14; ++k) {
        const bool relay = k < 6;
        const int number = relay ? k + 1 : k - 5;
        const QByteArray name = QStringLiteral("ckLowTap%1%2").arg(relay ? 'R' : 'S').arg(number).toLatin1();
        TQCheckBox* box = CheckBox(actions, name.constData(), QString::number(number), kLowTapeActions,
                                   relay ? k : 8 + (k - 6));
        actionGrid->addWidget(box, relay ? 0 : 1, number);
        actions_[static_cast<size_t>(k)] = box;
    }

    // The service actions.
    auto* buttons = new QHBoxLayout;
    page->addLayout(buttons);
    const auto action = [&](const char* name, const char* caption) {
        QToolButton* b = ToolButton(this, name, QString::fromLatin1(caption));
        b->setToolTip(QString::fromLatin1(kManufacturerOnly));
        buttons->addWidget(b);
        return b;
    };
    butWriteConfigFlash_ = action("butWriteConfigFlash", "Reset to default Config.");
    btnWipe_ = action("btnWipe", "Wipe Archive");
    btnWipeLog_ = action("btnWipeLog", "Wipe Event Log");
    btnResetPw_ = action("btnResetPw", "Reset Password");
    buttons->addStretch(1);
    page->addStretch(1);

    // The stream count: a hidden combo and a hidden label that sets the caption only.
    lblStreams_ = new QLabel(QStringLiteral("Streams:"), this);
    lblStreams_->setObjectName(QStringLiteral("QLabel1"));
    cbStreams_ = new TQComboBox(this);
    cbStreams_->setObjectName(QStringLiteral("cbStreams"));
    cbStreams_->addItems({QStringLiteral("1-Stream"), QStringLiteral("2-Streams"), QStringLiteral("3-Streams"),
                          QStringLiteral("4-Streams")});
    cbStreams_->setDbId(DataBase::kStreamsDbId);
    cbStreams_->setUseDatabase(true);
    lblStream2_ = NewStreamCountLabel();
    lblStream2_->setText(QStringLiteral("Stream 2"));
    WatchStreamCount(lblStream2_, StreamCaptionRule::Streams);

    connect(butWriteConfigFlash_, &QToolButton::clicked, this, [this] { butResetDefaultConfigClick(); });
    connect(btnWipe_, &QToolButton::clicked, this, [this] { btnWipeClick(); });
    connect(btnWipeLog_, &QToolButton::clicked, this, [this] { btnWipeLogClick(); });
    connect(btnResetPw_, &QToolButton::clicked, this, [this] { btnResetPwClick(); });
    // The alarm on: its actions are fixed. The rule follows the value arriving.
    connect(chkLowTape_, &TQCheckBox::OnDBPointValueChanged, this, [this](const QString& value, bool&) {
        const bool on = value == chkLowTape_->TrueValue();
        for (TQCheckBox* box : actions_) box->setEnabled(!on);
    });
    // The user's click (never a value read) writes the alarm enable while the page is current.
    connect(chkLowTape_, &QCheckBox::clicked, this, [this](bool checked) {
        if (!IsCurrentPage()) return;
        WriteSinglePoint(kLowTape, checked ? "True" : "False");
    });

    ShowContents(false);
}

TQCheckBox* TfraFactory::LowTapeAction(int k) const
{
    return k >= 0 && k < 14 ? actions_[static_cast<size_t>(k)] : nullptr;
}

TQLabeledEdit* TfraFactory::Edit(const char* name) const { return findChild<TQLabeledEdit*>(QString::fromLatin1(name)); }

void TfraFactory::ShowContents(bool show)
{
    const QList<QWidget*> children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) child->setVisible(show);
    lblNotice_->setEnabled(!show);
    lblNotice_->setVisible(!show);
    for (QWidget* w : {static_cast<QWidget*>(lblStream2_), static_cast<QWidget*>(lblStreams_),
                       static_cast<QWidget*>(cbStreams_)})
        w->setVisible(false);
}

std::vector<int> TfraFactory::FixedPointsBefore() const
{
    // Sensor and diode, the sensor port, the run counter, the stream count, supply 1, supply 2,
    // the low-tape alarm and the colour card; then the low-tape actions, so that they are read
    // with the page and the boxes' edits are taken while it is current.
    return {386,  285,  470,  471,  472,  311,  312,  313,  314, 315, 29,   20,   1031,
            1029, 1030, 1027, 1203, 1039, 1037, 1038, 1035, 1204, 511, 1688, 1689, kLowTapeActions};
}

void TfraFactory::AfterEnter()
{
    // The sensor port is shown, never edited here.
    fraPortX_->setEnabled(false);
}

void TfraFactory::butResetDefaultConfigClick()
{
    const int answer = platform::MessageDlg(
        QStringLiteral("Are you sure you want to reset the configuration on the unit?\n"
                       "If YES, please Write Configuration to Flash if you want to keep these changes."),
        platform::DlgType::Warning, platform::mbYes | platform::mbNo);
    if (answer != platform::mrYes) return;
    PostCommand("SetDefaultConfig");
}

void TfraFactory::btnWipeClick() { PostCommand("WipeAL"); }

void TfraFactory::btnWipeLogClick() { PostCommand("WipeLog"); }

void TfraFactory::btnResetPwClick()
{
    const int answer = platform::MessageDlg(
        QStringLiteral("This will reset the \"Update Mode\" Password to the factory default setting.\n\nContinue?"),
        platform::DlgType::Warning, platform::mbYes | platform::mbNo);
    if (answer != platform::mrYes) return;
    IPageHost* host = PageHost();
    if (!host) return;
    // Done quietly; a password file that could not be written is said.
    QString why;
    if (!host->ResetUpdatePassword(&why))
        platform::MessageDlg(QStringLiteral("The \"Update Mode\" Password could not be reset: the password file "
                                            "could not be written: %1").arg(why),
                             platform::DlgType::Error, platform::mbOK);
}
