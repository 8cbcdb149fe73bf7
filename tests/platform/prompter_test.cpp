// The file dialogs as the program's requests set them up.
#include "platform/prompter.h"

#include <QFileDialog>
#include <gtest/gtest.h>

// A save dialog asks before it replaces a file unless its caller asks that question itself, so
// that no road asks it twice.
TEST(FileDialogs, ASaveDialogAsksAboutAnExistingFileOnlyWhenItsCallerDoesNot)
{
    for (bool callerAsks : {false, true}) {
        platform::FileRequest request;
        request.save = true;
        request.confirmOverwrite = !callerAsks;
        QFileDialog dialog;
        platform::SetUpFileDialog(dialog, request);
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog.testOption(QFileDialog::DontConfirmOverwrite), callerAsks);
    }
}
