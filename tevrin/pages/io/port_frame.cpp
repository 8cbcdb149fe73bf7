#include "tevrin/pages/io/port_frame.h"

#include "brannix/qcombobox.h"
#include "brannix/qradiogroup.h"
#include "tevrin/rtdb/database.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include <exception>

namespace {

TQComboBox* AddCombo(QFormLayout* form, QWidget* parent, const char* name, const char* label, const QStringList& items)
{
    auto* combo = new TQComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setRequired(true);
    combo->setFieldName(QString::fromLatin1(label));
    combo->addItems(items);
    combo->setMaxVisibleItems(static_cast<int>(items.size()));
    form->addRow(QString::fromLatin1(label), combo);
    return combo;
}

}  // namespace

const QStringList& TfraPort::BaudItems()
{
    static const QStringList kItems = {QStringLiteral("300"),  QStringLiteral("600"),  QStringLiteral("1200"),
                                       QStringLiteral("2400"), QStringLiteral("4800"), QStringLiteral("9600"),
                                       QStringLiteral("19200")};
    return kItems;
}

TfraPort::TfraPort(QWidget* owner) : QFrame(owner)
{
    // Every port frame gets a name of its own.
    static int made = 0;
    setObjectName(QStringLiteral("fraPort%1").arg(++made));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    group_ = new QGroupBox(QStringLiteral("Port Setup"), this);
    group_->setObjectName(QStringLiteral("gbPortSetup"));
    outer->addWidget(group_);
    auto* form = new QFormLayout(group_);
    cbBaudRate_ = AddCombo(form, group_, "cbBaudRate", "Baud Rate", BaudItems());
    cbDataBits_ = AddCombo(form, group_, "cbDataBits", "Data Bits",
                           {QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8")});
    cbParity_ = AddCombo(form, group_, "cbParity", "Parity",
                         {QStringLiteral("None"), QStringLiteral("Odd"), QStringLiteral("Even")});
    cbStopBits_ = AddCombo(form, group_, "cbStopBits", "Stop Bits", {QStringLiteral("1"), QStringLiteral("2")});
    rgEnvelope_ = new TQRadioGroup(group_);
    rgEnvelope_->setObjectName(QStringLiteral("rgEnvelope"));
    rgEnvelope_->setTitle(QStringLiteral("Envelope"));
    rgEnvelope_->setFieldName(QStringLiteral("Envelope"));
    rgEnvelope_->setItems({QStringLiteral("RTU"), QStringLiteral("ASCII")});
    rgEnvelope_->setVisible(false);
    form->addRow(rgEnvelope_);

    // 19200 baud, 8 data bits, no parity, 1 stop bit until the analyzer says otherwise.
    cbBaudRate_->setCurrentIndex(6);
    cbDataBits_->setCurrentIndex(3);
    cbParity_->setCurrentIndex(0);
    cbStopBits_->setCurrentIndex(0);

    ShowAndStoreByText(cbDataBits_);
    ShowAndStoreByText(cbStopBits_);
}

void TfraPort::ShowAndStoreByText(TQComboBox* combo)
{
    connect(combo, &TQComboBox::OnDBPointValueChanged, this, [combo](const QString& value, bool& DoDefault) {
        DoDefault = false;
        combo->SelectItemText(value);
    });
    connect(combo, &TQComboBox::OnPutToDatabase, this, [combo](bool& DoDefault, char) {
        DoDefault = false;
        // A value the box could not show is left as the analyzer has it, not written as 0.
        if (combo->currentIndex() < 0) return;
        try {
            DataBase::Instance()->SetPointText(combo->DbId(), combo->currentText().toStdString());
        } catch (const std::exception&) {
            // The point's parser refused the text: the point keeps its value.
        }
    });
}

void TfraPort::SetPoints(const PortIds& ids, const std::array<bool, 5>& bound)
{
    TQComboBox* const combos[] = {cbBaudRate_, cbDataBits_, cbParity_, cbStopBits_};
    for (size_t i = 0; i < 4; ++i) {
        combos[i]->setDbId(static_cast<TDbId>(ids[i]));
        combos[i]->setUseDatabase(bound[i]);
    }
    rgEnvelope_->setDbId(static_cast<TDbId>(ids[4]));
    rgEnvelope_->setUseDatabase(bound[4]);
}

void TfraPort::SetBaudItems(const QStringList& items)
{
    const int index = cbBaudRate_->currentIndex();
    cbBaudRate_->clear();
    cbBaudRate_->addItems(items);
    cbBaudRate_->setCurrentIndex(index);
}

void TfraPort::LimitToBaudRate()
{
    for (QWidget* w : {static_cast<QWidget*>(cbDataBits_), static_cast<QWidget*>(cbParity_),
                       static_cast<QWidget*>(cbStopBits_), static_cast<QWidget*>(rgEnvelope_)})
        w->setEnabled(false);
}
