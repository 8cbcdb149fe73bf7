#include "tevrin/pages/widgets/file_prompts.h"

#include "platform/data_folder.h"
#include "platform/prompter.h"

#include <QFileInfo>

namespace fileprompts {

QString AskFile(bool save, const QString& caption, const QString& filter, const QString& suffix, const QString& directory)
{
    platform::FileRequest request;
    request.save = save;
    request.caption = caption;
    request.filter = filter;
    request.defaultSuffix = suffix;
    if (!directory.isEmpty()) request.directory = directory;
    const QString file = platform::Prompter().ChooseFile(request);
    platform::MakeUserDataFolderCurrent();
    return file;
}

QString AskFirmwareImage()
{
    platform::FileRequest request;
    request.caption = QStringLiteral("Open Sentrel Firmware File");
    request.filter = QStringLiteral("Sentrel Image (*.bin *.BIN)");
    request.defaultSuffix = QStringLiteral("bin");
    return platform::Prompter().ChooseFile(request);
}

void SaySaveFailed(const QString& fileName, const QString& why)
{
    platform::MessageDlg(QStringLiteral("The file \"%1\" could not be written: %2").arg(QFileInfo(fileName).fileName(), why),
                         platform::DlgType::Error, platform::mbOK);
}

}  // namespace fileprompts
