#pragma once
// The file dialogs and the failed-write box of the pages that open and save their grids, and
// the firmware image prompt of both upgrade roads.
#include <QString>

namespace fileprompts {

// An open or save dialog (`directory`: where it starts, empty for the dialog's own choice);
// the user data folder is made current again afterwards. Empty when the user cancelled.
QString AskFile(bool save, const QString& caption, const QString& filter, const QString& suffix,
                const QString& directory = QString());

// The open dialog for a firmware image; empty when the user cancelled.
QString AskFirmwareImage();

// Error box: the file (named without its folder) could not be written, and why.
void SaySaveFailed(const QString& fileName, const QString& why);

}  // namespace fileprompts
