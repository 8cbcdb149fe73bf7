#include "tevrin/pages/config/fra_analyzer_streams.h"

#include "tevrin/rtdb/analog_output_collection.h"

#include <QComboBox>
#include <QTabWidget>
#include <QVBoxLayout>

TfraAnalyzerStreams::TfraAnalyzerStreams(QWidget* owner) : TPageFrame(owner, 3, 0, 1)
{
    setObjectName(QStringLiteral("fraAnalyzerStreams"));
    auto* layout = new QVBoxLayout(this);
    streamTabs_ = new QTabWidget(this);
    streamTabs_->setObjectName(QStringLiteral("streamTabs"));
    for (int s = 1; s <= 4; ++s) {
        auto* tab = new QWidget(streamTabs_);
        tab->setObjectName(QStringLiteral("tabStream%1").arg(s));
        streamTabs_->addTab(tab, QStringLiteral("Stream %1").arg(s));
        if (s == 1) {
            stream1_ = tab;
            auto* tabLayout = new QVBoxLayout(tab);
            // Two analog-output function combos in each of the five set definitions.
            for (int i = 0; i < 10; ++i) {
                auto* combo = new QComboBox(tab);
                combo->setObjectName(QStringLiteral("cbAOFunction%1").arg(i + 1));
                combo->setVisible(false);
                tabLayout->addWidget(combo);
                aoCombos_.push_back(combo);
            }
            tabLayout->addStretch(1);
        }
    }
    for (int s = 1; s < 4; ++s) streamTabs_->setTabVisible(s, false);
    layout->addWidget(streamTabs_);
}

void TfraAnalyzerStreams::EnableStreamEditing(bool on)
{
    editing_ = on;
    stream1_->setEnabled(on);
}

void TfraAnalyzerStreams::FillAOManagerFunctions()
{
    const AnalogOutputCollection* list = AnalogOutputCollection::Instance();
    for (QComboBox* combo : aoCombos_) {
        combo->clear();
        for (int i = 0; i < list->Count(); ++i) combo->addItem(list->At(i)->name);
    }
}

std::vector<int> TfraAnalyzerStreams::FixedPointsAfter() const
{
    // Stream 1's run requests, then the stream count.
    return {474, 1137, 475, 476, 1423, 477, 20};
}
