// The bound edit: key filter, validation texts and colours, reports in the form's status
// bars, and the edit/post protocol against a small database stand-in.
#include "brannix/qedit.h"
#include "brannix/qlabelededit.h"
#include "brannix/qstatusbar.h"
#include "platform/help.h"
#include "tests/brannix/fake_glue.h"
#include "tests/common/fake_prompter.h"

#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <gtest/gtest.h>

#include <clocale>
#include <string>

using platform::QM_BEFOREPOST;
using platform::QM_EDIT;
using platform::QM_GET;
using platform::QM_PUT;
using platform::QM_REGISTERDATABASE;
using platform::QM_REPORTCHANGES;
using platform::QM_RESET;

namespace {

// A form with a status bar and one bound edit on it.
struct EditForm {
    QMainWindow form;
    QWidget* central = new QWidget;
    TQEdit* edit = new TQEdit(central);
    QStatusBar* bar = new QStatusBar;
    EditForm()
    {
        form.setCentralWidget(central);
        form.setStatusBar(bar);
        form.setWindowTitle("Streams");
        form.show();
    }
    QString Status() const { return bar->currentMessage(); }
};

intptr_t SendTo(QWidget* w, unsigned msg, intptr_t lParam = 0)
{
    TMessage m(msg, 0, lParam);
    QCoreApplication::sendEvent(w, &m);
    return m.Result;
}

}  // namespace

TEST(Edit, KeyFilterKeepsOnlyTheCharactersOfItsDataType)
{
    struct Case { TDataType type; const char* typed; const char* shown; };
    const Case cases[] = {
        {dtText, "a-1.e+Z", "a-1.e+Z"},
        {dtSciNot, "-1.5e+3xE", "-1.5e+3E"},
        {dtFloat, "+1.5e-3x", "+1.5-3"},
        {dtPosFloat, "-1.5e3", "1.53"},
        {dtInt, "+-1.2a", "+-12"},
        {dtPosInt, "-12a.5", "125"},
    };
    for (const auto& c : cases) {
        EditForm f;
        f.edit->setDataType(c.type);
        QTest::keyClicks(f.edit, c.typed);
        EXPECT_EQ(f.edit->text(), QString(c.shown)) << c.typed;
    }
}

TEST(Edit, EnterValidatesAndOnlyAnAcceptedTextReachesThePage)
{
    FakePrompter prompter;
    EditForm f;
    f.edit->setDataType(dtPosInt);
    f.edit->setRangeEdit(true);
    f.edit->setRangeLow(0);
    f.edit->setRangeHigh(10);
    QSignalSpy pageSawEnter(f.edit, &QLineEdit::returnPressed);

    QTest::keyClicks(f.edit, "12");
    QTest::keyClick(f.edit, Qt::Key_Return);
    EXPECT_EQ(f.Status(), "Out of range.  Range is 0 to 10.");
    EXPECT_EQ(f.edit->Color(), clYellow());
    EXPECT_EQ(pageSawEnter.count(), 0);

    // The next accepted key leaves the alarm and clears the message.
    QTest::keyClick(f.edit, Qt::Key_Backspace);
    EXPECT_NE(f.edit->Color(), clYellow());
    EXPECT_EQ(f.Status(), "");
    QTest::keyClick(f.edit, Qt::Key_Backspace);
    QTest::keyClicks(f.edit, "5");
    QTest::keyClick(f.edit, Qt::Key_Return);
    EXPECT_EQ(f.Status(), "");
    EXPECT_EQ(pageSawEnter.count(), 1);
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST(Edit, ValidationTexts)
{
    const QString none;
    struct Case {
        TDataType type; bool required; bool range; float low; float high; const char* text; QString message;
    };
    const Case cases[] = {
        {dtText, true, false, 0, 0, "", "This field is required."},
        {dtText, true, false, 0, 0, "abc", none},
        {dtFloat, true, false, 0, 0, "", "This field is required."},
        {dtFloat, false, true, 0, 10, "", none},                 // empty: no number, no range check
        {dtFloat, false, false, 0, 0, "1,5", "Invalid number"},   // '.' only, whatever the locale
        {dtFloat, false, false, 0, 0, "1.5.", "Invalid number"},
        {dtSciNot, false, false, 0, 0, "1.5e3", none},
        {dtFloat, false, true, 0, 10, "0", none},                 // both bounds allowed
        {dtFloat, false, true, 0, 10, "10", none},
        {dtFloat, false, true, 0, 10, "10.01", "Out of range.  Range is 0 to 10."},
        {dtFloat, false, true, 0.1f, 1, "0.1", none},             // the typed bound is inside
        {dtFloat, false, true, 0.1f, 1, "0.09", "Out of range.  Range is 0.100000001490116 to 1."},
        {dtFloat, false, true, -2.5f, 2.5f, "-3", "Out of range.  Range is -2.5 to 2.5."},
        {dtInt, false, false, 0, 0, "1.5", "Invalid number"},     // no silent cut to 1
        {dtInt, false, false, 0, 0, "1e3", "Invalid number"},
        {dtInt, false, false, 0, 0, "-2147483648", none},
        {dtInt, false, false, 0, 0, "2147483648", "Out of range.  Range is -2147483648 to 2147483647."},
        {dtPosInt, false, false, 0, 0, "4294967295", none},
        {dtPosInt, false, false, 0, 0, "-1", "Out of range.  Range is 0 to 4294967295."},
        {dtPosInt, false, true, 1, 5, "7", "Out of range.  Range is 1 to 5."},
    };
    for (const auto& c : cases) {
        FakePrompter prompter;
        EditForm f;
        f.edit->setDataType(c.type);
        f.edit->setRequired(c.required);
        f.edit->setRangeEdit(c.range);
        f.edit->setRangeLow(c.low);
        f.edit->setRangeHigh(c.high);
        f.edit->setText(c.text);
        const intptr_t result = SendTo(f.edit, QM_EDIT);
        EXPECT_EQ(result, c.message.isEmpty() ? 0 : 1) << c.text;
        EXPECT_EQ(f.Status(), c.message) << c.text;
        EXPECT_EQ(f.edit->Color() == clYellow(), !c.message.isEmpty()) << c.text;
        EXPECT_TRUE(prompter.prompts.empty());
    }
}

TEST(Edit, NumbersAreReadAndShownWithAPointWhateverTheLocale)
{
    const QLocale before;
    const std::string numeric = std::setlocale(LC_NUMERIC, nullptr);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");   // where it exists
    struct Case { const char* text; QString message; };
    const Case cases[] = {
        {"1.5", ""},
        {"1,5", "Invalid number"},
        {"2.75", "Out of range.  Range is 0.5 to 2.5."},
    };
    for (const auto& c : cases) {
        FakePrompter prompter;
        EditForm f;
        f.edit->setDataType(dtFloat);
        f.edit->setRangeEdit(true);
        f.edit->setRangeLow(0.5f);
        f.edit->setRangeHigh(2.5f);
        f.edit->setText(c.text);
        EXPECT_EQ(SendTo(f.edit, QM_EDIT), c.message.isEmpty() ? 0 : 1) << c.text;
        EXPECT_EQ(f.Status(), c.message) << c.text;
    }
    std::setlocale(LC_NUMERIC, numeric.c_str());
    QLocale::setDefault(before);
}

TEST(Edit, IntegerFieldsTakeTheWidthOfTheirPoint)
{
    struct Case { TDataType type; int typeCode; const char* text; QString message; };
    const Case cases[] = {
        {dtInt, 6, "-128", ""},
        {dtInt, 6, "200", "Out of range.  Range is -128 to 127."},
        {dtPosInt, 3, "256", "Out of range.  Range is 0 to 255."},
        {dtInt, 5, "-32769", "Out of range.  Range is -32768 to 32767."},
        {dtPosInt, 2, "65535", ""},
        {dtInt, 2, "-1", "Out of range.  Range is 0 to 65535."},
        {dtPosInt, 1, "4294967295", ""},
        {dtPosInt, 1, "4294967296", "Out of range.  Range is 0 to 4294967295."},
        // A 32-bit bit set shows itself signed; its own text and the unsigned form both go back.
        {dtInt, 22, "-1", ""},
        {dtPosInt, 22, "-2147483648", ""},
        {dtPosInt, 22, "4294967295", ""},
        {dtInt, 22, "4294967296", "Out of range.  Range is -2147483648 to 4294967295."},
        {dtInt, 22, "-2147483649", "Out of range.  Range is -2147483648 to 4294967295."},
    };
    for (const auto& c : cases) {
        FakePrompter prompter;
        FakeGlue glue;
        glue.Add(40, c.typeCode);
        EditForm f;
        f.edit->setDbId(40);
        f.edit->setUseDatabase(true);
        f.edit->setDataType(c.type);
        RegisterAll(&f.form, &glue);
        f.edit->setText(c.text);
        EXPECT_EQ(SendTo(f.edit, QM_EDIT), c.message.isEmpty() ? 0 : 1) << c.text;
        EXPECT_EQ(f.Status(), c.message) << c.text;
    }
}

TEST(Edit, ErrorGoesToEveryStatusBarOfTheFormOrElseToABox)
{
    FakePrompter prompter;
    {
        QWidget form;
        auto* layout = new QVBoxLayout(&form);
        auto* edit = new TQEdit;
        auto* plain = new QStatusBar;
        auto* panels = new TQStatusBar;
        panels->AddPanel(100);
        panels->AddPanel(50);
        auto* nested = new QWidget;
        auto* deepBar = new QStatusBar(nested);   // not a direct child of the form
        layout->addWidget(edit);
        layout->addWidget(plain);
        layout->addWidget(panels);
        layout->addWidget(nested);
        form.show();
        edit->setRequired(true);
        EXPECT_EQ(SendTo(edit, QM_EDIT), 1);
        EXPECT_EQ(plain->currentMessage(), "This field is required.");
        EXPECT_EQ(panels->PanelText(0), "This field is required.");
        EXPECT_EQ(panels->PanelText(1), "");
        EXPECT_EQ(deepBar->currentMessage(), "");
        EXPECT_TRUE(prompter.prompts.empty());

        // The next validation clears them all.
        edit->setText("x");
        EXPECT_EQ(SendTo(edit, QM_EDIT), 0);
        EXPECT_EQ(plain->currentMessage(), "");
        EXPECT_EQ(panels->PanelText(0), "");
    }
    {
        QWidget form;
        auto* edit = new TQEdit(&form);
        form.show();
        edit->setDataType(dtFloat);
        edit->setText("x1");
        EXPECT_EQ(SendTo(edit, QM_EDIT), 1);
        ASSERT_EQ(prompter.prompts.size(), 1u);
        EXPECT_EQ(prompter.prompts[0].text, "Invalid number");
        EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Error);
        EXPECT_EQ(prompter.prompts[0].buttons, unsigned(platform::mbOK));
    }
}

TEST(Edit, AlarmColourComesBackToTheColourBeforeIt)
{
    FakePrompter prompter;
    EditForm f;
    const QColor own(200, 220, 240);
    f.edit->SetColor(own);
    f.edit->setAlarmColor(QColor(255, 0, 0));
    f.edit->setRequired(true);
    EXPECT_EQ(SendTo(f.edit, QM_EDIT), 1);
    EXPECT_EQ(f.edit->Color(), QColor(255, 0, 0));
    EXPECT_EQ(SendTo(f.edit, QM_EDIT), 1);   // a second alarm keeps the colour to come back to
    f.edit->setText("x");
    EXPECT_EQ(SendTo(f.edit, QM_EDIT), 0);
    EXPECT_EQ(f.edit->Color(), own);

    // A warning answered Yes comes back at once; No stays in alarm.
    prompter.answers = {platform::mrYes, platform::mrNo};
    EXPECT_TRUE(f.edit->ReportWarning("Value is high"));
    EXPECT_EQ(prompter.prompts.back().text, "Value is high\n\nContinue?");
    EXPECT_EQ(f.edit->Color(), own);
    EXPECT_FALSE(f.edit->ReportWarning("Value is high"));
    EXPECT_EQ(f.edit->Color(), QColor(255, 0, 0));
}

TEST(Edit, ProtocolAgainstTheDatabase)
{
    FakePrompter prompter;
    FakeGlue glue;
    glue.Add(30, 0);
    EditForm f;
    f.edit->setDbId(30);
    f.edit->setUseDatabase(true);
    f.edit->setDataType(dtFloat);
    QSignalSpy registered(f.edit, &TQEdit::AfterRegisterDatabase);

    EXPECT_EQ(SendTo(f.edit, QM_REGISTERDATABASE, reinterpret_cast<intptr_t>(static_cast<IDatabaseGlue*>(&glue))), 0);
    EXPECT_EQ(registered.count(), 1);
    EXPECT_EQ(glue.ObserverCount(30), 1u);

    glue.Announce(30, "12.5");
    EXPECT_EQ(f.edit->text(), "12.5");

    // Get marks the start of an edit, Reset goes back to it.
    EXPECT_EQ(SendTo(f.edit, QM_GET), 0);
    EXPECT_EQ(f.edit->Color(), clLime());
    f.edit->setText("13");
    EXPECT_TRUE(f.edit->Modified());
    EXPECT_EQ(SendTo(f.edit, QM_RESET), 0);
    EXPECT_EQ(f.edit->text(), "12.5");
    EXPECT_FALSE(f.edit->Modified());

    // Put hands the text over whether it changed or not.
    EXPECT_EQ(SendTo(f.edit, QM_PUT), 0);
    f.edit->setText("14");
    EXPECT_EQ(SendTo(f.edit, QM_PUT), 0);
    EXPECT_EQ(glue.PutsOf(30), (std::vector<std::string>{"12.5", "14"}));

    // A second registration replaces the first attachment.
    RegisterAll(&f.form, &glue);
    EXPECT_EQ(glue.ObserverCount(30), 1u);
    EXPECT_EQ(registered.count(), 2);
}

TEST(Edit, WhenNothingIsWritten)
{
    FakePrompter prompter;
    FakeGlue glue;
    glue.Add(30, 0);
    struct Case { const char* what; bool useDatabase; TDbId id; bool readOnly; bool veto; bool withGlue; };
    const Case cases[] = {
        {"UseDatabase off", false, 30, false, false, true},
        {"point not available", true, 99, false, false, true},
        {"read-only edit", true, 30, true, false, true},
        {"page vetoes", true, 30, false, true, true},
        {"no database", true, 30, false, false, false},
    };
    for (const auto& c : cases) {
        EditForm f;
        f.edit->setDbId(c.id);
        f.edit->setUseDatabase(c.useDatabase);
        f.edit->setReadOnly(c.readOnly);
        QSignalSpy registered(f.edit, &TQEdit::AfterRegisterDatabase);
        int vetoAsked = 0;
        QObject::connect(f.edit, &TQEdit::OnPutToDatabase, [&](bool& doDefault, char z) {
            ++vetoAsked;
            EXPECT_EQ(z, 1);
            if (c.veto) doDefault = false;
        });
        RegisterAll(&f.form, c.withGlue ? &glue : nullptr);
        EXPECT_EQ(registered.count(), 1) << c.what;
        f.edit->setText("5");
        EXPECT_EQ(Send(&f.form, QM_EDIT), 0) << c.what;   // read-only still validates, and accepts
        EXPECT_EQ(Send(&f.form, QM_PUT), 0) << c.what;
        EXPECT_EQ(vetoAsked, c.veto ? 1 : 0) << c.what;
    }
    EXPECT_TRUE(glue.puts.empty());
}

TEST(Edit, MissingPointShowsNotAvailableAndDoesNotBlockTheWrite)
{
    FakePrompter prompter;
    FakeGlue glue;
    glue.Add(31, 0);
    QMainWindow form;
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    auto* missing = new TQEdit;
    auto* present = new TQEdit;
    layout->addWidget(missing);
    layout->addWidget(present);
    form.setCentralWidget(central);
    form.setStatusBar(new QStatusBar);
    form.show();
    for (auto* e : {missing, present}) {
        e->setUseDatabase(true);
        e->setDataType(dtFloat);
        e->setRequired(true);
        e->setRangeEdit(true);
        e->setRangeHigh(100);
    }
    missing->setDbId(77);
    present->setDbId(31);
    RegisterAll(&form, &glue);
    EXPECT_EQ(missing->text(), "not available");
    EXPECT_EQ(missing->Color(), clOlive());
    EXPECT_TRUE(missing->Common().NotAvailable());

    present->setText("42");
    EXPECT_EQ(Send(&form, QM_EDIT), 0);
    EXPECT_EQ(Send(&form, QM_BEFOREPOST), 0);
    EXPECT_EQ(Send(&form, QM_PUT), 0);
    EXPECT_EQ(glue.puts, (std::vector<std::pair<TDbId, std::string>>{{31, "42"}}));
}

TEST(Edit, BeforePostVetoAndPageTakingOverTheValue)
{
    FakeGlue glue;
    glue.Add(30, 0);
    EditForm f;
    f.edit->setDbId(30);
    f.edit->setUseDatabase(true);
    RegisterAll(&f.form, &glue);

    bool allow = true;
    QObject::connect(f.edit, &TQEdit::BeforePost, [&](bool& canPost) {
        EXPECT_TRUE(canPost);
        canPost = allow;
    });
    EXPECT_EQ(SendTo(f.edit, QM_BEFOREPOST), 0);
    allow = false;
    EXPECT_EQ(SendTo(f.edit, QM_BEFOREPOST), 1);

    QString seen;
    bool takeOver = false;
    QObject::connect(f.edit, &TQEdit::OnDBPointValueChanged, [&](const QString& value, bool& doDefault) {
        seen = value;
        if (takeOver) doDefault = false;
    });
    glue.Announce(30, "1.25");
    EXPECT_EQ(f.edit->text(), "1.25");
    takeOver = true;
    glue.Announce(30, "7");
    EXPECT_EQ(seen, "7");
    EXPECT_EQ(f.edit->text(), "1.25");
}

TEST(Edit, ConversionErrorOfTheDatabaseIsReportedLikeAValidationError)
{
    FakePrompter prompter;
    FakeGlue glue;
    glue.Add(30, 0);
    glue.throwOn = 30;
    EditForm f;
    f.edit->setDbId(30);
    f.edit->setUseDatabase(true);
    RegisterAll(&f.form, &glue);
    f.edit->setText("abc");
    EXPECT_EQ(Send(&f.form, QM_PUT), 1);
    EXPECT_EQ(f.Status(), "'abc' is not a valid floating point value");
    EXPECT_EQ(f.edit->Color(), clYellow());
}

TEST(Edit, DetachesWhenDestroyedAndFollowsANewDbId)
{
    FakeGlue glue;
    glue.Add(30, 0);
    glue.Add(31, 0);
    auto* edit = new TQEdit;
    edit->setDbId(30);
    edit->setUseDatabase(true);
    RegisterAll(edit, &glue);
    EXPECT_EQ(glue.ObserverCount(30), 1u);
    edit->setDbId(31);
    EXPECT_EQ(glue.ObserverCount(30), 0u);
    EXPECT_EQ(glue.ObserverCount(31), 1u);
    delete edit;
    EXPECT_EQ(glue.ObserverCount(31), 0u);

    // A database that goes first is forgotten, not called, when the control goes.
    auto* glue2 = new FakeGlue;
    glue2->Add(30, 0);
    auto* other = new TQEdit;
    other->setDbId(30);
    other->setUseDatabase(true);
    RegisterAll(other, glue2);
    delete glue2;
    EXPECT_FALSE(other->Common().Registered());
    delete other;   // must not touch the deleted database
}

TEST(Edit, ConfirmationRow)
{
    FakePrompter prompter;
    EditForm f;
    f.edit->setDbId(30);
    f.edit->setConfirmChanges(true);
    f.edit->setFieldName("Span Gas");
    f.edit->setText("10");
    SendTo(f.edit, QM_GET);
    QTreeWidget list;
    const auto lp = reinterpret_cast<intptr_t>(&list);

    EXPECT_EQ(SendTo(f.edit, QM_REPORTCHANGES, lp), 0);   // unchanged: no row
    EXPECT_EQ(list.topLevelItemCount(), 0);
    f.edit->setText("12");
    SendTo(f.edit, QM_REPORTCHANGES, lp);
    ASSERT_EQ(list.topLevelItemCount(), 1);
    const QTreeWidgetItem* row = list.topLevelItem(0);
    EXPECT_EQ(row->text(0), "Streams");
    EXPECT_EQ(row->text(1), "Span Gas");
    EXPECT_EQ(row->text(2), "10");
    EXPECT_EQ(row->text(3), "12");
    EXPECT_EQ(row->text(4), "?");

    f.edit->setConfirmChanges(false);
    SendTo(f.edit, QM_REPORTCHANGES, lp);
    f.edit->setConfirmChanges(true);
    f.edit->setDbId(0);
    SendTo(f.edit, QM_REPORTCHANGES, lp);
    EXPECT_EQ(list.topLevelItemCount(), 1);

    SendTo(f.edit, QM_REPORTCHANGES, 0);
    EXPECT_TRUE(prompter.Saw("Invalid ListView passed to ReportChanges."));

    // The labeled edit names the row by its label.
    TQLabeledEdit labeled(f.central);
    labeled.setEditLabelCaption("Zero Gas");
    labeled.setDbId(31);
    labeled.setConfirmChanges(true);
    labeled.setFieldName("ignored");
    SendTo(&labeled, QM_GET);
    labeled.setText("3");
    SendTo(&labeled, QM_REPORTCHANGES, lp);
    ASSERT_EQ(list.topLevelItemCount(), 2);
    EXPECT_EQ(list.topLevelItem(1)->text(1), "Zero Gas");
}

TEST(Edit, DataTypeAndRangeSetters)
{
    FakePrompter prompter;
    TQEdit edit;
    edit.setRangeEdit(true);   // text edit: refused
    EXPECT_FALSE(edit.RangeEdit());
    EXPECT_TRUE(prompter.Saw("RangeEdit only valid for numeric DataType"));

    edit.setDataType(dtFloat);
    edit.setRangeEdit(true);
    EXPECT_TRUE(edit.RangeEdit());

    prompter.answers = {platform::mrCancel, platform::mrOk};
    edit.setDataType(dtText);
    EXPECT_EQ(prompter.prompts.back().text, "Must turn off RangeEdit for non-numeric DataType.  Continue?");
    EXPECT_EQ(prompter.prompts.back().buttons, unsigned(platform::mbOKCancel));
    EXPECT_EQ(edit.DataType(), dtFloat);
    EXPECT_TRUE(edit.RangeEdit());
    edit.setDataType(dtText);
    EXPECT_EQ(edit.DataType(), dtText);
    EXPECT_FALSE(edit.RangeEdit());
    EXPECT_EQ(prompter.prompts.size(), 3u);
}

TEST(Edit, LeavingARejectedEditKeepsTheFocusAndRaisesOneBoxOnly)
{
    // No status bar: the report is a message box. Opening it takes the focus from the edit,
    // which must not validate (and report) a second time.
    struct FocusStealingPrompter : FakePrompter {
        QWidget* elsewhere = nullptr;
        int Ask(const platform::Prompt& p) override
        {
            if (elsewhere) elsewhere->setFocus(Qt::OtherFocusReason);
            return FakePrompter::Ask(p);
        }
    } prompter;
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* first = new TQEdit;
    auto* second = new TQEdit;
    layout->addWidget(first);
    layout->addWidget(second);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    first->setRequired(true);
    second->setRequired(true);   // would report too if it were validated on the way
    first->setFocus();
    QSignalSpy pageSawExit(first, &QLineEdit::editingFinished);
    prompter.elsewhere = second;

    second->setFocus(Qt::TabFocusReason);   // the user tabs away from the empty required edit
    EXPECT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.Texts(), QStringList{"This field is required."});
    EXPECT_TRUE(first->hasFocus());
    EXPECT_EQ(pageSawExit.count(), 0);

    // Losing the window (another application) is not leaving the control.
    prompter.elsewhere = nullptr;
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(first, &out);
    EXPECT_EQ(prompter.prompts.size(), 1u);
}

TEST(Edit, F1OpensTheContextHelpWhenTheControlHasOne)
{
    platform::SetContextHelpText(120, "Span gas concentration");
    EditForm f;
    f.edit->setHelpContextVESKA(120);
    EXPECT_EQ(qobject_cast<IQVESKAHelp*>(f.edit)->GetHelpContextVESKA(), 120);
    EXPECT_EQ(f.edit->property("HelpContextVESKA").toInt(), 120);
    QTest::keyClick(f.edit, Qt::Key_F1);
    auto popupShown = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && QByteArray(w->metaObject()->className()) == "QWhatsThat") return true;
        return false;
    };
    EXPECT_TRUE(popupShown());
    QWhatsThis::hideText();
    QCoreApplication::processEvents();

    f.edit->setHelpContextVESKA(0);
    QTest::keyClick(f.edit, Qt::Key_F1);
    EXPECT_FALSE(popupShown());
    f.edit->setHelpContextVESKA(121);   // a context without a text: nothing
    QTest::keyClick(f.edit, Qt::Key_F1);
    EXPECT_FALSE(popupShown());
    platform::ClearContextHelpTexts();
}

TEST(Edit, ARejectedValueOnAHiddenTabBringsItsTabForward)
{
    FakePrompter prompter;
    QMainWindow form;
    auto* tabs = new QTabWidget;
    auto* first = new QWidget;
    auto* second = new QWidget;
    auto* inner = new QWidget(second);
    auto* edit = new TQEdit(inner);
    tabs->addTab(first, "General");
    tabs->addTab(second, "Streams");
    form.setCentralWidget(tabs);
    auto* bar = new TQStatusBar;   // a panelled bar whose panels are not set up: simple text
    form.setStatusBar(bar);
    form.show();
    ASSERT_EQ(tabs->currentWidget(), first);
    edit->setDataType(dtPosInt);
    edit->setText("1.5");
    EXPECT_EQ(SendTo(edit, QM_EDIT), 1);
    EXPECT_EQ(tabs->currentWidget(), second);
    EXPECT_EQ(bar->currentMessage(), "Invalid number");
    EXPECT_TRUE(prompter.prompts.empty());

    // A control without a form of its own reports in a box.
    TQEdit alone;
    alone.setRequired(true);
    EXPECT_EQ(SendTo(&alone, QM_EDIT), 1);
    EXPECT_TRUE(prompter.Saw("This field is required."));
}

TEST(LabeledEdit, PlacedFreelyTheCaptionFollowsAboveTheEdit)
{
    QWidget form;
    auto* edit = new TQLabeledEdit(&form);
    edit->setEditLabelCaption("Password");
    edit->move(40, 100);
    form.show();
    QLabel* caption = edit->EditLabel();
    EXPECT_EQ(caption->parentWidget(), &form);
    EXPECT_EQ(caption->x(), 40);
    EXPECT_EQ(caption->geometry().bottom() + 1 + 3, 100);
    edit->move(60, 200);
    EXPECT_EQ(caption->x(), 60);
    edit->hide();
    EXPECT_FALSE(caption->isVisible());
    edit->setDataType(dtText);   // the logon flow switches it at run time
    EXPECT_EQ(edit->DataType(), dtText);
}
