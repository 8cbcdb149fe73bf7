#include "tevrin/pages/io/fra_output.h"

#include "tevrin/rtdb/analog_output_collection.h"

#include <QComboBox>
#include <QVBoxLayout>

TfraOutput::TfraOutput(QWidget* owner) : TPageFrame(owner, 5, 0, 1)
{
    setObjectName(QStringLiteral("fraOutput"));
    auto* layout = new QVBoxLayout(this);
    for (int i = 1; i <= 6; ++i) {
        auto* combo = new QComboBox(this);
        combo->setObjectName(QStringLiteral("cbAOParameter%1").arg(i));
        layout->addWidget(combo);
        aoCombos_.push_back(combo);
    }
    layout->addStretch(1);
}

void TfraOutput::FillAOManagerFunctions()
{
    const AnalogOutputCollection* list = AnalogOutputCollection::Instance();
    for (QComboBox* combo : aoCombos_) {
        combo->clear();
        for (int i = 0; i < list->Count(); ++i) combo->addItem(list->At(i)->name);
    }
}

void TfraOutput::AfterEnter()
{
    ShowPageWarning(QStringLiteral("Changing parameters in Outputs Page may affect operation of the analyzer.\n"));
}
