#include "tevrin/pages/io/fra_board_tester.h"

#include "brannix/qcheckbox.h"
#include "brannix/qimage.h"
#include "brannix/qlabel.h"
#include "brannix/qlabelededit.h"
#include "platform/prompter.h"
#include "tevrin/pages/alarm_icons.h"
#include "tevrin/pages/io/ao_calibration_frame.h"
#include "tevrin/pages/io/upgrade_flows.h"
#include "tevrin/pages/page_host.h"
#include "tevrin/pages/widgets/bound_controls.h"
#include "tevrin/rtdb/database.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace pagecontrols;

namespace {

// Per output frame: the six bound ids (zero mA, span mA, raw zero, raw span, fail-safe
// position, fail-safe mA) and the six command ids (raw bypass, raw output, scaling factor,
// zero offset, factory bypass, scaled output).
struct AOFrameIds {
    TfraAOCalibration::BoundIds bound;
    TfraAOCalibration::CommandIds commands;
};
const AOFrameIds kAOFrames[6] = {
    {{280, 281, 278, 279, 275, 544}, {342, 446, 282, 409, 447, 343}},
    {{288, 289, 286, 287, 283, 545}, {344, 448, 290, 445, 449, 345}},
    {{998, 999, 996, 997, 995, 1002}, {1059, 1060, 1000, 1001, 1061, 1062}},
    {{1006, 1007, 1004, 1005, 1003, 1010}, {1063, 1064, 1008, 1009, 1065, 1066}},
    {{1014, 1015, 1012, 1013, 1011, 1018}, {1067, 1068, 1016, 1017, 1069, 1070}},
    {{1022, 1023, 1020, 1021, 1019, 1026}, {1071, 1072, 1024, 1025, 1073, 1074}},
};

const QString kDirectControlWarning = QStringLiteral(
    "You have selected Direct Board Control Mode. In this mode WARNING light will blink.\n"
    "This mode gives control of the Relays, Solenoids and Analog Outputs to the user.\n"
    "It is the user's responsibility to ensure that this mode is used carefully and with understanding of its "
    "application.\n"
    "The user may temporarily force changes to any of the outputs mentioned above.\n"
    "(This option is provided for testing of the wiring, and is mostly used during installation of new tape analyzers.)\n"
    "Please make sure that Direct Board Control Mode is disabled before you exit the application.\n"
    "Do you wish to continue?\n");

}  // namespace

TfraBoardTester::TfraBoardTester(QWidget* owner) : TPageFrame(owner, 9, 0, 1)
{
    setObjectName(QStringLiteral("fraBoardTester"));
    auto* page = new QVBoxLayout(this);

    auto* top = new QHBoxLayout();
    page->addLayout(top);
    directControlEnable_ = CheckBox(this, "DirectControlEnable", QStringLiteral("Direct Board Control Enable"), kDirectControl);
    top->addWidget(directControlEnable_);
    auto* pulseRow = new QHBoxLayout();
    top->addLayout(pulseRow);
    pulseCount_ = LabeledEdit(this, pulseRow, "PulseCount", QStringLiteral("Tape Encoder Test"), 327, dtInt);
    pulseCount_->setReadOnly(true);

    // Relays above solenoids and one output frame to a row, so that the page needs no
    // sideways scrolling at the window's designed width.
    auto* outputs = new QVBoxLayout();
    page->addLayout(outputs);
    auto* relays = new QGroupBox(QStringLiteral("Relays"), this);
    relays->setObjectName(QStringLiteral("QPanel9"));
    auto* solenoids = new QGroupBox(QStringLiteral("Solenoids"), this);
    solenoids->setObjectName(QStringLiteral("QPanel13"));
    outputs->addWidget(relays);
    outputs->addWidget(solenoids);
    auto* relayGrid = new QGridLayout(relays);
    auto* solenoidGrid = new QGridLayout(solenoids);
    for (int i = 0; i < 14; ++i) {
        const bool relay = i < 6;
        const int number = relay ? i + 1 : i - 5;
        QGroupBox* parent = relay ? relays : solenoids;
        const QByteArray boxName = (relay ? QStringLiteral("ckRelay%1") : QStringLiteral("ckSolenoid%1")).arg(number).toLatin1();
        auto* box = CheckBox(parent, boxName.constData(), QString::number(number), 0);
        box->setDbId(OutputPoint(i));   // the point it commands; the box itself is not bound
        auto* image = new TQImage(parent);
        image->setObjectName((relay ? QStringLiteral("imRelay%1") : QStringLiteral("imSolenoid%1")).arg(number));
        image->setFixedSize(17, 17);
        image->setDbId(OutputPoint(i));
        image->setUseDatabase(true);
        alarmicons::SetIcon(image, alarmicons::List::Alarms, 3);
        QGridLayout* grid = relay ? relayGrid : solenoidGrid;
        grid->addWidget(image, 0, number - 1);
        grid->addWidget(box, 1, number - 1);
        boxes_[static_cast<size_t>(i)] = box;
        images_[static_cast<size_t>(i)] = image;
        connect(box, &QCheckBox::clicked, this, [this, i] { OutputClick(i); });
        connect(image, &TQImageBase::OnDBPointValueChanged, this, [this, image](const QString&) { ShowImage(image); });
    }

    auto* frames = new QGridLayout();
    page->addLayout(frames, 1);
    for (int n = 1; n <= 6; ++n) {
        auto* frame = new TfraAOCalibration(n, kAOFrames[n - 1].bound, this);
        frame->SetCommandIds(kAOFrames[n - 1].commands);
        // Counts here are never negative.
        for (TQEdit* e : {static_cast<TQEdit*>(frame->edScaledZero()), frame->edScaledSpan(),
                          static_cast<TQEdit*>(frame->edFailSafePos())})
            e->setDataType(dtPosInt);
        frame->ledCalTestPercent()->setDataType(dtPosInt);
        frame->ledCalTestPercent()->setRangeEdit(true);
        frames->addWidget(frame, n - 1, 0);
        frames_[static_cast<size_t>(n - 1)] = frame;
    }

    firmware_ = new QGroupBox(QStringLiteral("Firmware Upgrade (Push Buttons Below to Initiate)"), this);
    firmware_->setObjectName(QStringLiteral("QGroupBox3"));
    page->addWidget(firmware_);
    auto* firmwareRow = new QHBoxLayout(firmware_);
    auto makeButton = [&](const char* name, const char* caption, const char* hint) {
        auto* b = new QPushButton(QString::fromLatin1(caption), firmware_);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(QString::fromLatin1(hint));
        b->setEnabled(false);
        firmwareRow->addWidget(b);
        return b;
    };
    btnReadOldConfig_ = makeButton("btnReadOldConfig", "Read Configuration", "Upgrade Step 1: Read Old Configuration");
    btnWriteFirmware_ = makeButton("btnWriteFirmware", "Write Firmware", "Upgrade Step 2: Write New Firmware");
    btnMergeFirmware_ = makeButton("btnMergeFirmware", "Merge Firmware", "Upgrade Step 3: Merge Firmware");
    flows_ = std::make_unique<TUpgradeFlows>(btnReadOldConfig_, btnWriteFirmware_, btnMergeFirmware_);
    connect(btnReadOldConfig_, &QPushButton::clicked, this, [this] { btnReadOldConfigClick(); });
    connect(btnWriteFirmware_, &QPushButton::clicked, this, [this] { btnWriteFirmwareClick(); });
    connect(btnMergeFirmware_, &QPushButton::clicked, this, [this] { btnMergeFirmwareClick(); });

    lblStream2_ = NewStreamCountLabel();
    lblStream2_->setText(QStringLiteral("Stream 2"));
    WatchStreamCount(lblStream2_, StreamCaptionRule::Streams);

    connect(directControlEnable_, &QCheckBox::clicked, this, [this] { DirectControlEnableClick(); });
    // The analyzer's report of direct control. The box follows it: a report of "on" once the
    // page has been shown asks the user as checking the box does (Yes switches direct control
    // on and reads the page again, No switches it off); a report of "off" only makes the
    // controls unusable.
    connect(directControlEnable_, &TQCheckBoxBase::OnDBPointValueChanged, this, [this](const QString& v, bool& DoDefault) {
        DoDefault = false;
        const bool on = v == directControlEnable_->TrueValue();
        EnableOutputs(directControlEnable_->isChecked());
        if (on == directControlEnable_->isChecked()) return;
        directControlEnable_->setChecked(on);
        if (!on) {
            SwitchOff(false);
            return;
        }
        if (!ShownOnce()) {
            EnableOutputs(true);
            return;
        }
        DirectControlEnableClick();
    });
}

TfraBoardTester::~TfraBoardTester() = default;

bool TfraBoardTester::btnReadOldConfigClick() { return flows_->ReadConfiguration(); }
bool TfraBoardTester::btnWriteFirmwareClick() { return flows_->WriteFirmware(); }
bool TfraBoardTester::btnMergeFirmwareClick() { return flows_->MergeConfiguration(); }

void TfraBoardTester::FirstEntry()
{
    btnReadOldConfig_->setEnabled(true);
    btnWriteFirmware_->setEnabled(true);
    btnMergeFirmware_->setEnabled(true);
}

std::vector<int> TfraBoardTester::FixedPointsBefore() const
{
    std::vector<int> ids = {334, 332};
    AddRange(ids, 334, 339);   // 334 is already present and is not added twice
    AddRange(ids, 1051, 1058);
    for (const AOFrameIds& f : kAOFrames) {
        const auto& b = f.bound;
        const auto& c = f.commands;
        ids.insert(ids.end(), {b.zeroMA, b.spanMA, b.rawZero, b.rawSpan, b.failSafePos, b.failSafeMA, c.rawBypass,
                               c.rawOutput, c.scalingFactor, c.zeroOffset, c.factoryBypass, c.scaledOutput});
    }
    ids.push_back(327);
    for (int id : {342, 344, 1059, 1063, 1067, 1071, 282, 290, 1000, 1008, 1016, 1024, 343, 345, 1062, 1066, 1070, 1074})
        ids.push_back(id);
    for (int id : {0, 1, 2}) ids.push_back(id);
    for (int i = 0; i < 14; ++i) ids.push_back(OutputPoint(i));
    ids.push_back(20);
    return ids;
}

void TfraBoardTester::WriteBoolPoint(TDbId id, const QString& text)
{
    WriteSinglePoint(id, text == QStringLiteral("True") ? "True" : "False");
}

void TfraBoardTester::DirectControlEnableClick()
{
    if (!directControlEnable_->isChecked()) {
        SwitchOff(true);
        return;
    }
    if (ShownOnce() &&
        platform::MessageDlg(kDirectControlWarning, platform::DlgType::Warning, platform::mbYes | platform::mbNo) !=
            platform::mrYes) {
        directControlEnable_->setChecked(false);
        SwitchOff(true);
        return;
    }
    SwitchOn();
}

void TfraBoardTester::SwitchOn()
{
    EnableOutputs(true);
    WriteSinglePoint(kDirectControl, "True");
    PostCommand("ExpressRead");
}

void TfraBoardTester::SwitchOff(bool write)
{
    if (write) {
        WriteSinglePoint(kDirectControl, "False");
        PostCommand("ExpressRead");
    }
    for (TQCheckBox* box : boxes_) box->setEnabled(false);
    // Every output calibration is released: its button comes up and the frame greys.
    for (TfraAOCalibration* frame : frames_) {
        frame->btnCalibrate()->setEnabled(false);
        frame->btnCalibrate()->setChecked(false);
        frame->btnCalibrateAO1Click();
    }
}

void TfraBoardTester::EnableOutputs(bool on)
{
    for (TQCheckBox* box : boxes_) box->setEnabled(on);
    for (TfraAOCalibration* frame : frames_) frame->btnCalibrate()->setEnabled(on);
}

void TfraBoardTester::OutputClick(int i)
{
    if (NotShown()) return;
    TQCheckBox* box = boxes_.at(static_cast<size_t>(i));
    TQImage* image = images_.at(static_cast<size_t>(i));
    const QString text = box->isChecked() ? QStringLiteral("True") : QStringLiteral("False");
    image->SetState(box->isChecked() ? 1 : 0);
    if (!directControlEnable_->isChecked()) return;
    WriteBoolPoint(OutputPoint(i), text);
    PostCommand("DirectControlConfirm");
    if (IPageHost* host = PageHost()) host->ReadSinglePoint(image->DbId());
}

void TfraBoardTester::ShowImage(TQImage* image)
{
    const bool controlled = directControlEnable_->isChecked();
    alarmicons::SetIcon(image, alarmicons::List::Alarms, controlled && image->State() == 1 ? 2 : 3);
    // The boxes show what the analyzer reports; setting them writes nothing.
    for (size_t k = 0; k < boxes_.size(); ++k) boxes_[k]->setChecked(images_[k]->State() == 1);
}

void TfraBoardTester::LeavePage()
{
    if (!directControlEnable_->isChecked()) return;
    directControlEnable_->setChecked(false);
    SwitchOff(true);
}

bool TfraBoardTester::DirectControlMayBeOn() const
{
    if (directControlEnable_->isChecked()) return true;
    return DataBase::Exists() && DataBase::Instance()->GetPointText(kDirectControl) == "True";
}

void TfraBoardTester::ReleaseControls()
{
    directControlEnable_->setChecked(false);
    SwitchOff(false);
}
