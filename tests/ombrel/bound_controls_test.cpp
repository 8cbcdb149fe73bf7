// The broadcaster and the help-context query, resolved by name from the loaded library, over
// a window of real data-bound controls: the control protocol as the main window drives it.
#include "brannix/qcheckbox.h"
#include "brannix/qedit.h"
#include "brannix/qstatusbar.h"
#include "ombrel/ombrel_api.h"
#include "tests/brannix/fake_glue.h"
#include "tests/common/fake_prompter.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

class BoundWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        lib.setFileName(QCoreApplication::applicationDirPath() + "/" + kOmbrelLibraryFile);
        ASSERT_TRUE(lib.load()) << lib.errorString().toStdString();
        broadcast = reinterpret_cast<OmbrelFn_DoMyBroadcast>(lib.resolve("DoMyBroadcast"));
        helpContext = reinterpret_cast<OmbrelFn_GetHelpContextVESKA>(lib.resolve("GetHelpContextVESKA"));
        ASSERT_TRUE(broadcast && helpContext);

        auto* central = new QWidget;
        auto* layout = new QVBoxLayout(central);
        auto* group = new QWidget;   // the second edit sits one level deeper
        new QVBoxLayout(group);
        for (TDbId id : {30, 31}) {
            auto* e = new TQEdit;
            e->setDbId(id);
            e->setUseDatabase(true);
            e->setDataType(dtFloat);
            e->setRequired(true);
            edits.push_back(e);
        }
        box->setDbId(80);
        box->setUseDatabase(true);
        box->setWatchBitNumber(bnBit2);
        layout->addWidget(edits[0]);
        group->layout()->addWidget(edits[1]);
        layout->addWidget(group);
        layout->addWidget(box);
        window.setCentralWidget(central);
        window.setStatusBar(bar);
        window.show();
        glue.Add(30, 0);
        glue.Add(80, 21);   // 31 is missing: refused
    }
    intptr_t Send(unsigned msg, intptr_t lParam = 0)
    {
        TMessage m(msg, 0, lParam);
        broadcast(&window, &m, true, true);
        return m.Result;
    }

    QLibrary lib;
    OmbrelFn_DoMyBroadcast broadcast = nullptr;
    OmbrelFn_GetHelpContextVESKA helpContext = nullptr;
    FakePrompter prompter;
    FakeGlue glue;
    QMainWindow window;
    std::vector<TQEdit*> edits;
    TQCheckBox* box = new TQCheckBox;
    QStatusBar* bar = new QStatusBar;
};

TEST_F(BoundWindow, TheWriteSequenceOverTheWholeWindow)
{
    // A refused point never stops the registration.
    EXPECT_EQ(Send(platform::QM_REGISTERDATABASE, reinterpret_cast<intptr_t>(static_cast<IDatabaseGlue*>(&glue))), 0);
    EXPECT_EQ(glue.ObserverCount(30), 1u);
    EXPECT_EQ(glue.ObserverCount(80), 1u);
    EXPECT_EQ(edits[1]->text(), "not available");

    // Only the first rejecting control reports; the write stops there.
    edits[0]->clear();
    EXPECT_EQ(Send(platform::QM_EDIT), 1);
    EXPECT_EQ(bar->currentMessage(), "This field is required.");
    EXPECT_EQ(edits[0]->Color(), clYellow());
    EXPECT_TRUE(prompter.prompts.empty());

    // Accepted everywhere (the refused edit is not validated): every bound control writes.
    glue.Announce(30, "2.5");
    glue.Announce(80, "4");
    EXPECT_EQ(Send(platform::QM_EDIT), 0);
    EXPECT_EQ(bar->currentMessage(), "");
    EXPECT_EQ(Send(platform::QM_BEFOREPOST), 0);
    EXPECT_EQ(Send(platform::QM_PUT), 0);
    EXPECT_EQ(glue.puts, (std::vector<std::pair<TDbId, std::string>>{{30, "2.5"}, {80, "4"}}));

    // A page that forbids the write answers for the whole window.
    QObject::connect(edits[0], &TQEdit::BeforePost, [](bool& canPost) { canPost = false; });
    EXPECT_EQ(Send(platform::QM_BEFOREPOST), 1);
}

TEST_F(BoundWindow, HelpContextOfTheControlsAcrossTheLibrary)
{
    edits[0]->setHelpContextVESKA(120);
    auto* panels = new TQStatusBar(&window);
    panels->setHelpContextVESKA(7);
    QPushButton plain;
    EXPECT_EQ(helpContext(edits[0]), 120);
    EXPECT_EQ(helpContext(edits[1]), 0);
    EXPECT_EQ(helpContext(panels), 7);
    EXPECT_EQ(helpContext(&plain), 0);
}

}  // namespace
