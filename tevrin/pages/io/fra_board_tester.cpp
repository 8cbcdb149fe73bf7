#include "tevrin/pages/io/fra_board_tester.h"

#include <QCheckBox>
#include <QPushButton>
#include <QVBoxLayout>

TfraBoardTester::TfraBoardTester(QWidget* owner) : TPageFrame(owner, 9, 0, 1)
{
    setObjectName(QStringLiteral("fraBoardTester"));
    auto* layout = new QVBoxLayout(this);
    directControlEnable_ = new QCheckBox(QStringLiteral("Direct Control Enable"), this);
    directControlEnable_->setObjectName(QStringLiteral("DirectControlEnable"));
    layout->addWidget(directControlEnable_);
    auto makeButton = [&](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setEnabled(false);
        layout->addWidget(b);
        return b;
    };
    btnReadOldConfig_ = makeButton("btnReadOldConfig", "Read Old Configuration");
    btnWriteFirmware_ = makeButton("btnWriteFirmware", "Write Firmware");
    btnMergeFirmware_ = makeButton("btnMergeFirmware", "Merge Firmware");
    layout->addStretch(1);
}

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
    ids.push_back(327);
    for (int id : {342, 344, 1059, 1063, 1067, 1071, 282, 290, 1000, 1008, 1016, 1024, 343, 345, 1062, 1066, 1070, 1074})
        ids.push_back(id);
    for (int id : {0, 1, 2, 20}) ids.push_back(id);
    return ids;
}
