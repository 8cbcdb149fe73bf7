// Check boxes on true/false points and on single bits of 16- and 32-bit points.
#include "brannix/qcheckbox.h"
#include "tests/brannix/fake_glue.h"

#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using platform::QM_EDIT;
using platform::QM_GET;
using platform::QM_PUT;
using platform::QM_REPORTCHANGES;
using platform::QM_RESET;

namespace {
intptr_t SendTo(QWidget* w, unsigned msg, intptr_t lParam = 0)
{
    TMessage m(msg, 0, lParam);
    QCoreApplication::sendEvent(w, &m);
    return m.Result;
}

template <class Box> std::unique_ptr<Box> Bound(FakeGlue& glue, TDbId id, TBitNum bit)
{
    auto box = std::make_unique<Box>();
    box->setDbId(id);
    box->setUseDatabase(true);
    box->setWatchBitNumber(bit);
    RegisterAll(box.get(), &glue);
    return box;
}
}  // namespace

TEST(CheckBox, ShowsTheWatchedBit)
{
    FakeGlue glue;
    glue.Add(80, 21);
    glue.Add(81, 22);
    struct Case { bool wide; TBitNum bit; const char* value; bool checked; };
    const Case cases[] = {
        {false, bnBit4, "48", true},
        {false, bnBit3, "48", false},
        {false, bnBit15, "32768", true},
        {false, bnBit0, "abc", false},
        {true, bnBit23, "8388608", true},
        {true, bnBit31, "-2147483648", true},   // a 32-bit bit set shows itself signed
        {true, bnBit31, "2147483648", true},    // an unsigned point shows it unsigned
        {true, bnBit30, "-2147483648", false},
        {true, bnBit0, "-1", true},
        {true, bnBit31, "4294967295", true},
    };
    for (const auto& c : cases) {
        std::unique_ptr<TQCheckBoxBase> box;
        if (c.wide)
            box = Bound<TQCheckBox32>(glue, 81, c.bit);
        else
            box = Bound<TQCheckBox>(glue, 80, c.bit);
        box->setChecked(!c.checked);
        glue.Announce(c.wide ? 81 : 80, c.value);
        EXPECT_EQ(box->isChecked(), c.checked) << c.value << " bit " << Brannix::BitIndex(c.bit);
    }
}

TEST(CheckBox, WritesTheBitOrItsFullWidthMask)
{
    FakeGlue glue;
    glue.Add(80, 21);
    struct Case { bool wide; TBitNum bit; bool checked; const char* text; };
    const Case cases[] = {
        {false, bnNone, true, "True"},
        {false, bnNone, false, "False"},
        {false, bnBit3, true, "8"},
        {false, bnBit3, false, "65527"},
        {false, bnBit15, false, "32767"},
        {true, bnBit23, false, "4286578687"},
        {true, bnBit23, true, "8388608"},
        {true, bnBit31, true, "2147483648"},
        {true, bnBit31, false, "2147483647"},
        {true, bnBit0, false, "4294967294"},
    };
    for (const auto& c : cases) {
        glue.puts.clear();
        std::unique_ptr<TQCheckBoxBase> box;
        if (c.wide)
            box = Bound<TQCheckBox32>(glue, 80, c.bit);
        else
            box = Bound<TQCheckBox>(glue, 80, c.bit);
        box->setChecked(c.checked);
        EXPECT_EQ(SendTo(box.get(), QM_PUT), 0);
        EXPECT_EQ(glue.PutsOf(80), std::vector<std::string>{c.text}) << c.text;
    }
}

TEST(CheckBox, TrueValueIsReadButTheLiteralsAreWritten)
{
    FakeGlue glue;
    glue.Add(82, 3);
    auto box = Bound<TQCheckBox>(glue, 82, bnNone);
    box->setTrueValue("1");
    glue.Announce(82, "1");
    EXPECT_TRUE(box->isChecked());
    SendTo(box.get(), QM_PUT);
    glue.Announce(82, "True");
    EXPECT_FALSE(box->isChecked());
    SendTo(box.get(), QM_PUT);
    EXPECT_EQ(glue.PutsOf(82), (std::vector<std::string>{"True", "False"}));
    EXPECT_EQ(SendTo(box.get(), QM_EDIT), 0);
}

TEST(CheckBox, AValueItCannotShowIsNotWrittenBack)
{
    FakeGlue glue;
    glue.Add(80, 21);
    // A non-number on a bit, and a 16-bit box asked for a bit above 15.
    auto bitBox = Bound<TQCheckBox>(glue, 80, bnBit2);
    auto highBox = Bound<TQCheckBox>(glue, 80, bnBit20);
    glue.Announce(80, "abc");
    EXPECT_FALSE(bitBox->isChecked());
    EXPECT_TRUE(bitBox->ValueUnknown());
    SendTo(bitBox.get(), QM_PUT);
    SendTo(highBox.get(), QM_PUT);
    EXPECT_TRUE(glue.puts.empty());

    // The user's click settles it.
    QTest::mouseClick(bitBox.get(), Qt::LeftButton, {}, QPoint(5, bitBox->height() / 2));
    EXPECT_TRUE(bitBox->isChecked());
    EXPECT_FALSE(bitBox->ValueUnknown());
    SendTo(bitBox.get(), QM_PUT);
    EXPECT_EQ(glue.PutsOf(80), std::vector<std::string>{"4"});
}

TEST(CheckBox, AnArrivingValueChangesTheStateWithoutAClickOrAWrite)
{
    FakeGlue glue;
    glue.Add(80, 21);
    auto box = Bound<TQCheckBox>(glue, 80, bnBit1);
    QSignalSpy clicked(box.get(), &QAbstractButton::clicked);
    QSignalSpy toggled(box.get(), &QAbstractButton::toggled);
    glue.Announce(80, "2");
    EXPECT_TRUE(box->isChecked());
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(toggled.count(), 1);
    EXPECT_TRUE(glue.puts.empty());

    // A page that takes the value over leaves the box alone.
    QObject::connect(box.get(), &TQCheckBoxBase::OnDBPointValueChanged, [](const QString&, bool& d) { d = false; });
    glue.Announce(80, "0");
    EXPECT_TRUE(box->isChecked());
}

TEST(CheckBox, GetResetAndConfirmationRow)
{
    QWidget form;
    form.setWindowTitle("Inputs");
    TQCheckBox box(&form);
    box.setDbId(85);
    box.setConfirmChanges(true);
    box.setFieldName("Input 1 Enabled");
    SendTo(&box, QM_GET);
    box.setChecked(true);
    QTreeWidget list;
    SendTo(&box, QM_REPORTCHANGES, reinterpret_cast<intptr_t>(&list));
    ASSERT_EQ(list.topLevelItemCount(), 1);
    const auto* row = list.topLevelItem(0);
    EXPECT_EQ(row->text(0), "Inputs");
    EXPECT_EQ(row->text(1), "Input 1 Enabled");
    EXPECT_EQ(row->text(2), "Off");
    EXPECT_EQ(row->text(3), "On");
    SendTo(&box, QM_RESET);
    EXPECT_FALSE(box.isChecked());
}
