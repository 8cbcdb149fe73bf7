#include "tevrin/pages/config/fra_analyzer_global.h"

#include "tevrin/pages/analysis/display_places.h"

#include <QComboBox>
#include <QVBoxLayout>

TfraAnalyzerGlobal::TfraAnalyzerGlobal(QWidget* owner) : TPageFrame(owner, 2, 0, 1)
{
    setObjectName(QStringLiteral("fraAnalyzerGlobal"));
    auto* layout = new QVBoxLayout(this);
    cbDispPlace_ = new QComboBox(this);
    cbDispPlace_->setObjectName(QStringLiteral("cbDispPlace"));
    for (int places = 0; places <= 4; ++places) cbDispPlace_->addItem(QString::number(places));
    layout->addWidget(cbDispPlace_);
    layout->addStretch(1);
}

std::vector<int> TfraAnalyzerGlobal::FixedPointsBefore() const
{
    return {0,   1,   2,   10,  19,  14,  11,  18,  15,  16,  13,   277,  284,  113,  157,  461,  488,
            508, 507, 500, 328, 514, 513, 34,  67,  142, 516, 517,  520,  3,    302,  303,  537,  85,
            603, 20,  180, 462, 515, 147, 538, 604, 17,  1439, 1440, 1441, 1442, 1433, 1434, 1435};
}

void TfraAnalyzerGlobal::EnterPage()
{
    TPageFrame::EnterPage();
    cbDispPlace_->setCurrentIndex(0);
    const int places = ReadDisplayPlaces();
    if (places >= 0) cbDispPlace_->setCurrentIndex(places);
}
