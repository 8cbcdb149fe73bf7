#pragma once
// For tests that build the real main window: the shared routines from the build's own folder,
// and every message box answered by a fake that records it.
#include "tests/common/fake_prompter.h"
#include "tevrin/shell/main_form.h"

#include <QString>

#include <gtest/gtest.h>

class MainFormFixture : public ::testing::Test {
protected:
    void SetUp() override { TFormMain::SetLibraryFolder(QString()); }
    void TearDown() override { TFormMain::SetLibraryFolder(QString()); }

    FakePrompter prompter;
};
