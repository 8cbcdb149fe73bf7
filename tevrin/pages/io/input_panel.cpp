#include "tevrin/pages/io/input_panel.h"

#include "brannix/qcheckbox.h"
#include "brannix/qlabelededit.h"
#include "brannix/qradiobutton.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

const std::array<DiscreteInputPoints, 8> kDiscreteInputs = {{
    {263, 540, 533, 264, 265, 442},
    {266, 541, 534, 267, 268, 443},
    {269, 542, 535, 270, 271, 444},
    {272, 543, 536, 273, 274, 458},
    {971, 972, 973, 974, 975, 976},
    {977, 978, 979, 980, 981, 982},
    {983, 984, 985, 986, 987, 988},
    {989, 990, 991, 992, 993, 994},
}};

const std::array<RunSelectorBit, 23> kRunSelectorBits = {{
    {0, "Sample Reading", "SNR1"},
    {2, "Ref1 Reading", "SRR1"},
    {3, "Ref2 Reading", "SRR21"},
    {4, "Zero Reading", "SZR1"},
    {5, "Cal Reading", "SCR1"},
    {6, "Stream 2 Sample Reading", "SNR2"},
    {7, "Stream 2 TS Reading", "STS2"},
    {8, "Stream 2 Ref1 Reading", "SRR2"},
    {9, "Stream 2 Ref2 Reading", "SRR22"},
    {10, "Stream 2 Zero Reading", "SZR2"},
    {11, "Stream 2 Cal Reading", "SCR2"},
    {12, "Stream 3 Sample Reading", "SNR3"},
    {13, "Stream 3 TS Reading", "STS3"},
    {14, "Stream 3 Ref1 Reading", "SRR3"},
    {15, "Stream 3 Ref2 Reading", "SRR23"},
    {16, "Stream 3 Zero Reading", "SZR3"},
    {17, "Stream 3 Cal Reading", "SCR3"},
    {18, "Stream 4 H2S Reading", "SNR4"},
    {19, "Stream 4 TS Reading", "STS4"},
    {20, "Stream 4 Ref1 Reading", "SRR4"},
    {21, "Stream 4 Ref2 Reading", "SRR24"},
    {22, "Stream 4 Zero Reading", "SZR4"},
    {23, "Stream 4 Cal Reading", "SCR4"},
}};

namespace {

// The stream (1..4) whose run a Triggers bit asks for.
int StreamOfBit(int bit) { return bit < 6 ? 1 : 2 + (bit - 6) / 6; }
// The total-sulphur boxes, which no stream count shows.
bool IsTotalSulphurBit(int bit) { return bit == 7 || bit == 13 || bit == 19; }

template <typename Box>
Box* MakeBox(QWidget* parent, const QString& name, const QString& caption, int dbId, int bit)
{
    auto* box = new Box(parent);
    box->setObjectName(name);
    box->setText(caption);
    box->setDbId(static_cast<TDbId>(dbId));
    box->setUseDatabase(true);
    box->setTrueValue(QStringLiteral("True"));
    box->setWatchBitNumber(bit < 0 ? Brannix::bnNone : static_cast<TBitNum>(bit + 1));
    return box;
}

}  // namespace

TInputPanel::TInputPanel(int input, int place, QWidget* parent) : QGroupBox(parent), input_(input)
{
    setObjectName(QStringLiteral("grpInput%1").arg(input));
    setTitle(QStringLiteral("Discrete Input #%1").arg(input));
    const DiscreteInputPoints& p = Points();
    const QString n = QString::number(input);
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    enable_ = MakeBox<TQCheckBox>(this, QStringLiteral("chkDIEnable") + n, QStringLiteral("Enable"), p.enable, -1);
    alarm_ = MakeBox<TQCheckBox>(this, QStringLiteral("DiscreteInputAudit") + n, QStringLiteral("Alarm"), p.audit, -1);
    top->addWidget(enable_);
    top->addWidget(alarm_);
    name_ = new TQLabeledEdit(this);
    name_->setObjectName(QStringLiteral("edDI%1Name").arg(input));
    name_->setDbId(static_cast<TDbId>(p.name));
    name_->setUseDatabase(true);
    name_->setMaxLength(6);
    top->addWidget(name_);
    name_->setEditLabelCaption(QStringLiteral("Discrete Input %1 Name:").arg(place));
    top->addStretch(1);
    layout->addLayout(top);

    polarityGroup_ = new QGroupBox(QStringLiteral("Polarity"), this);
    polarityGroup_->setObjectName(QStringLiteral("grpPolarity") + n);
    auto* polarity = new QHBoxLayout(polarityGroup_);
    polarityOn_ = new TQRadioButton(polarityGroup_);
    polarityOff_ = new TQRadioButton(polarityGroup_);
    for (auto [button, name, caption, trueValue] :
         {std::tuple{polarityOn_, "PolarityOn", "Active On", "True"}, std::tuple{polarityOff_, "PolarityOff", "Active Off", "False"}}) {
        button->setObjectName(QString::fromLatin1(name) + n);
        button->setText(QString::fromLatin1(caption));
        button->setDbId(static_cast<TDbId>(p.polarity));
        button->setUseDatabase(true);
        button->setTrueValue(QString::fromLatin1(trueValue));
        polarity->addWidget(button);
        const bool on = button == polarityOn_;
        TQRadioButton* const clicked = button;   // a structured binding cannot be captured in C++17
        connect(button, &QRadioButton::clicked, this, [this, clicked, on] { emit PolarityClicked(clicked, on); });
    }
    polarityGroup_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    layout->addWidget(polarityGroup_);

    runSelectorGroup_ = new QGroupBox(QStringLiteral("Run Selector"), this);
    runSelectorGroup_->setObjectName(QStringLiteral("grpRunSelector") + n);
    auto* runs = new QGridLayout(runSelectorGroup_);
    for (const RunSelectorBit& b : kRunSelectorBits) {
        auto* box = MakeBox<TQCheckBox32>(runSelectorGroup_, QStringLiteral("chkRunSelector%1_%2").arg(QString::fromLatin1(b.stem)).arg(input),
                                          QString::fromLatin1(b.caption), p.triggers, b.bit);
        const int stream = StreamOfBit(b.bit);
        runs->addWidget(box, b.bit < 6 ? b.bit : (b.bit - 6) % 6, stream - 1);
        // As laid out: stream 1 and stream 4 shown, streams 2 and 3 hidden until a count.
        box->setVisible(stream == 1 || stream == 4);
        runSelectors_.push_back(box);
        const int bit = b.bit;
        connect(box, &QCheckBox::clicked, this, [this, box, bit] { emit BitClicked(Points().triggers, bit, box->isChecked()); });
    }
    layout->addWidget(runSelectorGroup_);

    actionsGroup_ = new QGroupBox(QStringLiteral("Actions"), this);
    actionsGroup_->setObjectName(QStringLiteral("grpActions") + n);
    auto* acts = new QGridLayout(actionsGroup_);
    for (int k = 0; k < 14; ++k) {
        const bool relay = k < 6;
        const int number = relay ? k + 1 : k - 5;
        const int bit = relay ? k : 8 + (k - 6);
        auto* box = MakeBox<TQCheckBox>(actionsGroup_, QStringLiteral("chkDIA%1%2_%3").arg(relay ? 'R' : 'S').arg(number).arg(input),
                                        QStringLiteral("%1 %2").arg(relay ? QStringLiteral("Relay") : QStringLiteral("Solenoid")).arg(number),
                                        p.actions, bit);
        acts->addWidget(box, relay ? k : k - 6, relay ? 0 : 1);
        actions_.push_back(box);
        connect(box, &QCheckBox::clicked, this, [this, box, bit] { emit BitClicked(Points().actions, bit, box->isChecked()); });
    }
    layout->addWidget(actionsGroup_);
    layout->addStretch(1);

    connect(enable_, &QCheckBox::clicked, this, [this] { emit EnableClicked(enable_); });
    connect(alarm_, &QCheckBox::clicked, this, [this] { emit EnableClicked(alarm_); });
    // The settings follow the Enable value that arrives.
    connect(enable_, &TQCheckBoxBase::OnDBPointValueChanged, this,
            [this](const QString& value, bool&) { ShowEnabled(value == enable_->TrueValue()); });
}

std::vector<int> TInputPanel::RegisteredPoints() const
{
    const DiscreteInputPoints& p = Points();
    return {p.name, p.enable, p.audit, p.polarity, p.triggers, p.actions};
}

void TInputPanel::ShowEnabled(bool enabled)
{
    for (QGroupBox* group : {polarityGroup_, runSelectorGroup_, actionsGroup_}) group->setEnabled(!enabled);
    alarm_->setEnabled(!enabled);
    const QColor colour = enabled ? QColor(128, 128, 128) : QColor(Qt::black);
    std::vector<QWidget*> greyed = {alarm_, polarityOn_, polarityOff_};
    greyed.insert(greyed.end(), runSelectors_.begin(), runSelectors_.end());
    greyed.insert(greyed.end(), actions_.begin(), actions_.end());
    for (QWidget* w : greyed) {
        QPalette palette = w->palette();
        palette.setColor(QPalette::WindowText, colour);
        palette.setColor(QPalette::ButtonText, colour);
        w->setPalette(palette);
    }
}

void TInputPanel::ShowStreams(int streams)
{
    if (streams < 0 || streams > 3) return;
    for (TQCheckBox32* box : runSelectors_) {
        const int bit = Brannix::BitIndex(box->WatchBitNumber());
        const int stream = StreamOfBit(bit);
        if (stream == 1) continue;
        const bool exists = stream <= streams + 1;
        // A total-sulphur box is hidden with its stream but never shown by a count.
        if (IsTotalSulphurBit(bit)) {
            if (!exists) box->setVisible(false);
        } else {
            box->setVisible(exists);
        }
    }
}
