#include "tevrin/pages/analysis/fra_archive_viewer.h"

#include "platform/data_folder.h"
#include "platform/prompter.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TfraArchiveViewer::TfraArchiveViewer(QWidget* owner) : TPageFrame(owner, 1, 0, 1)
{
    setObjectName(QStringLiteral("fraArchiveViewer"));
    auto* layout = new QVBoxLayout(this);
    lblStatus_ = new QLabel(QStringLiteral("Select an archive to view"), this);
    lblStatus_->setObjectName(QStringLiteral("lblStatus"));
    lstArchives_ = new QListWidget(this);
    lstArchives_->setObjectName(QStringLiteral("lstArchives"));
    for (const char* name : {"On Run", "Hourly", "Daily", "Periodic"}) lstArchives_->addItem(QString::fromLatin1(name));
    lstArchives_->setEnabled(false);
    btnLogSetup_ = new QPushButton(QStringLiteral("Log Setup"), this);
    btnLogSetup_->setObjectName(QStringLiteral("btnLogSetup"));
    layout->addWidget(lblStatus_);
    layout->addWidget(lstArchives_, 1);
    layout->addWidget(btnLogSetup_);
}

void TfraArchiveViewer::SetReadOnly(bool readOnly)
{
    readOnly_ = readOnly;
    btnLogSetup_->setEnabled(!readOnly);
}

void TfraArchiveViewer::UpdateLogView()
{
    lblStatus_->setText(QStringLiteral("Preparing Display..."));
    displayRange_ = 50;
    lstArchives_->setEnabled(true);
    if (lstArchives_->count() > 0) lstArchives_->setCurrentRow(0);
}

bool TfraArchiveViewer::ReadArchiveFile()
{
    platform::FileRequest request;
    request.save = false;
    request.filter = QStringLiteral("Archive (*.xml)");
    const QString file = platform::Prompter().ChooseFile(request);
    platform::MakeUserDataFolderCurrent();
    if (file.isEmpty()) return false;
    // Archive files are read by the archive pages; until they are in place nothing is loaded.
    platform::MessageDlg(QStringLiteral("Reading archive files is not available yet."), platform::DlgType::Information,
                         platform::mbOK);
    return false;
}

void TfraArchiveViewer::SaveLogFile()
{
    platform::FileRequest request;
    request.save = true;
    request.filter = QStringLiteral("Archive (*.xml)");
    request.defaultSuffix = QStringLiteral("xml");
    const QString file = platform::Prompter().ChooseFile(request);
    platform::MakeUserDataFolderCurrent();
    if (file.isEmpty()) return;
    platform::MessageDlg(QStringLiteral("Writing archive files is not available yet."), platform::DlgType::Information,
                         platform::mbOK);
}
