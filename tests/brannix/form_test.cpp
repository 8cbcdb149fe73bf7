// A page laid out in Designer with promoted controls: setupUi sets their bindings, and the
// main window's write sequence runs over the whole page.
#include "tests/brannix/fake_glue.h"
#include "tests/common/fake_prompter.h"
#include "ui_bound_page.h"

#include <QMainWindow>
#include <gtest/gtest.h>

using platform::QM_BEFOREPOST;
using platform::QM_EDIT;
using platform::QM_PUT;

namespace {
struct Page {
    QMainWindow window;
    Ui::BoundPage ui;
    Page()
    {
        ui.setupUi(&window);
        window.show();
    }
};

FakeGlue MakeDatabase()
{
    FakeGlue glue;
    glue.Add(20, 3);
    glue.Add(30, 0);
    glue.Add(31, 2);
    glue.Add(50, 3);
    glue.Add(60, 3);
    glue.Add(81, 22);
    glue.Add(70, 3);
    glue.Add(407, 21);
    return glue;
}
}  // namespace

TEST(DesignedPage, SetupUiSetsThePublishedProperties)
{
    FakePrompter prompter;
    Page p;
    EXPECT_EQ(p.ui.edtSpan->DataType(), dtFloat);
    EXPECT_EQ(p.ui.edtSpan->DbId(), 30);
    EXPECT_TRUE(p.ui.edtSpan->RangeEdit());
    EXPECT_FLOAT_EQ(p.ui.edtSpan->RangeLow(), 0.1f);
    EXPECT_FLOAT_EQ(p.ui.edtSpan->RangeHigh(), 100.0f);
    EXPECT_EQ(p.ui.edtSpan->FieldName(), "Span Gas");
    EXPECT_EQ(p.ui.edtSpan->GetHelpContextVESKA(), 120);
    EXPECT_EQ(p.ui.edtCycle->DataType(), dtPosInt);
    EXPECT_EQ(p.ui.edtCycle->EditLabelCaption(), "Cycle Time");
    EXPECT_EQ(p.ui.edtCycle->maxLength(), 5);
    // The caption sits in the page's layout just above its edit.
    QLabel* caption = p.ui.edtCycle->EditLabel();
    EXPECT_TRUE(caption->isVisible());
    EXPECT_EQ(caption->text(), "Cycle Time");
    EXPECT_LE(caption->geometry().bottom(), p.ui.edtCycle->geometry().top());
    EXPECT_GE(caption->geometry().top(), p.ui.edtSpan->geometry().bottom());
    EXPECT_EQ(p.ui.chkHighBit->WatchBitNumber(), bnBit31);
    EXPECT_EQ(p.ui.rgUnits->Items(), (QStringList{"ppm", "ppb"}));
    EXPECT_EQ(p.ui.lblStreams->UnitType(), utMoleComposition);
    EXPECT_EQ(p.ui.rbHigh->DbId(), 70);
    EXPECT_EQ(p.ui.rbHigh->TrueValue(), "2");
    EXPECT_TRUE(p.ui.rbHigh->UseDatabase());
    EXPECT_EQ(p.ui.imgAlarm->DbId(), 407);
    EXPECT_EQ(p.ui.imgAlarm->WatchBitNumber(), bnBit3);
    EXPECT_EQ(p.ui.imgAlarm->TrueValue(), "True");   // not set: the initial value
    EXPECT_EQ(p.ui.imgAlarm->GetHelpContextVESKA(), 310);
    EXPECT_TRUE(prompter.prompts.empty());   // DataType came before RangeEdit: no dialog
}

TEST(DesignedPage, ReadValidateAndWriteThePage)
{
    FakePrompter prompter;
    FakeGlue glue = MakeDatabase();
    Page p;
    RegisterAll(&p.window, &glue);
    for (TDbId id : {20, 30, 31, 50, 60, 81, 70, 407}) EXPECT_EQ(glue.ObserverCount(id), 1u) << id;

    glue.Announce(20, "0");
    glue.Announce(30, "25.5");
    glue.Announce(31, "60");
    glue.Announce(50, "1");
    glue.Announce(60, "0");
    glue.Announce(81, "-2147483648");
    glue.Announce(70, "2");
    glue.Announce(407, "12");
    EXPECT_EQ(p.ui.lblStreams->text(), "0");
    EXPECT_TRUE(p.ui.chkHighBit->isChecked());
    EXPECT_EQ(p.ui.cmbMode->currentText(), "On");
    EXPECT_TRUE(p.ui.rbHigh->isChecked());
    EXPECT_EQ(p.ui.imgAlarm->State(), 1);

    // A value out of range stops the write at the first refusing control, which the status
    // line names (by its field name, or its caption) with the reason.
    p.ui.edtSpan->setText("0.05");
    EXPECT_EQ(Send(&p.window, QM_EDIT), 1);
    EXPECT_EQ(p.ui.statusbar->currentMessage(), "Span Gas: Out of range.  Range is 0.100000001490116 to 100.");
    EXPECT_TRUE(glue.puts.empty());
    p.ui.edtSpan->setText("0.1");
    p.ui.edtCycle->setText("1.5");
    EXPECT_EQ(Send(&p.window, QM_EDIT), 1);
    EXPECT_EQ(p.ui.statusbar->currentMessage(), "Cycle Time: Invalid number");
    p.ui.edtCycle->setText("60");

    p.ui.edtSpan->setText("0.1");
    p.ui.chkHighBit->setChecked(false);
    EXPECT_EQ(Send(&p.window, QM_EDIT), 0);
    EXPECT_EQ(Send(&p.window, QM_BEFOREPOST), 0);
    EXPECT_EQ(Send(&p.window, QM_PUT), 0);
    EXPECT_EQ(glue.puts, (std::vector<std::pair<TDbId, std::string>>{
                             {30, "0.1"}, {31, "60"}, {81, "2147483647"}, {50, "1"}, {60, "0"}, {70, "2"}}));
}

TEST(DesignedPage, APageCanForbidTheWrite)
{
    FakeGlue glue = MakeDatabase();
    Page p;
    RegisterAll(&p.window, &glue);
    QObject::connect(p.ui.edtCycle, &TQEdit::BeforePost, [](bool& canPost) { canPost = false; });
    p.ui.edtSpan->setText("5");
    EXPECT_EQ(Send(&p.window, QM_EDIT), 0);
    EXPECT_EQ(Send(&p.window, QM_BEFOREPOST), 1);
    EXPECT_TRUE(glue.puts.empty());
}
