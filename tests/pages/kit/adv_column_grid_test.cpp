// The column grid's part in the control protocol and its reports, offscreen.
#include "tevrin/pages/widgets/adv_column_grid.h"

#include "brannix/qstatusbar.h"
#include "platform/help.h"
#include "platform/messages.h"
#include "tests/common/fake_prompter.h"

#include <QApplication>
#include <QComboBox>
#include <QMainWindow>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>
#include <QWhatsThis>
#include <gtest/gtest.h>

#include <memory>

namespace {

const QColor kWhite(255, 255, 255);
const QColor kAlarm(255, 0, 0);

// A form holding the grid, optionally on the second tab of a tab control, optionally with a
// status bar (with or without panels).
struct GridForm {
    enum Bar { NoBar, PanelBar, SimpleBar };
    explicit GridForm(Bar bar, bool onSecondTab = false)
    {
        form = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(form.get());
        if (onSecondTab) {
            tabs = new QTabWidget(form.get());
            tabs->addTab(new QWidget, QStringLiteral("First"));
            auto* page = new QWidget;
            grid = new QAdvColumnGrid(page);
            tabs->addTab(page, QStringLiteral("Second"));
            layout->addWidget(tabs);
        } else {
            grid = new QAdvColumnGrid(form.get());
            layout->addWidget(grid);
        }
        grid->setObjectName(QStringLiteral("gridLogs"));
        grid->SetColor(kWhite);
        grid->SetAlarmColor(kAlarm);
        if (bar == PanelBar) {
            panelBar = new TQStatusBar(form.get());
            panelBar->AddPanel(200);
            panelBar->AddPanel(100);
        } else if (bar == SimpleBar) {
            simpleBar = new QStatusBar(form.get());
        }
        form->resize(400, 300);
        form->show();
    }
    std::unique_ptr<QWidget> form;
    QTabWidget* tabs = nullptr;
    QAdvColumnGrid* grid = nullptr;
    TQStatusBar* panelBar = nullptr;
    QStatusBar* simpleBar = nullptr;
};

bool HelpPopupShown()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && QByteArray(w->metaObject()->className()) == "QWhatsThat") return true;
    return false;
}

const QString kNote = QStringLiteral(
    "* Note:  Error applies to an item that is currently disabled.\n\nItem name:  gridLogs\nItem type:  QAdvColumnGrid");

}  // namespace

TEST(AdvColumnGridTest, NewGridHasNoHelpAndItsOwnColourAsAlarmColour)
{
    QAdvColumnGrid grid;
    EXPECT_EQ(grid.GetHelpContextVESKA(), 0);
    EXPECT_EQ(grid.AlarmColor(), grid.Color());
    grid.SetHelpContextVESKA(412);
    auto* help = qobject_cast<IQVESKAHelp*>(&grid);
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->GetHelpContextVESKA(), 412);
    EXPECT_EQ(grid.property("HelpContextVESKA").toInt(), 412);
}

TEST(AdvColumnGridTest, ComboItemIndexOnlyForComboColumnsAndCellsInRange)
{
    QAdvColumnGrid grid;
    grid.SetColCount(3);
    grid.SetRowCount(2);
    const QStringList items{QStringLiteral("Off"), QStringLiteral("Hourly"), QStringLiteral("Daily")};
    grid.SetColumnEditor(0, QAdvColumnGrid::edComboList);
    grid.SetColumnEditor(1, QAdvColumnGrid::edComboEdit);
    for (int c = 0; c < 3; ++c) {
        grid.SetColumnComboItems(c, items);
        grid.SetCells(c, 0, QStringLiteral("Daily"));
        grid.SetCells(c, 1, QStringLiteral("Weekly"));
    }
    const struct {
        int column, row, index;
    } kCases[] = {
        {0, 0, 2},  {1, 0, 2},    // both combo kinds
        {0, 1, -1},               // text not among the items
        {2, 0, -1},               // plain editor
        {-1, 0, -1}, {0, -1, -1}, // negative column or row
        {0, 5, -1},               // no such row: an empty cell
    };
    for (const auto& c : kCases) EXPECT_EQ(grid.GetComboItemIndex(c.column, c.row), c.index) << c.column << "," << c.row;
}

TEST(AdvColumnGridTest, BeforePostRefusalAnswersOneInTheMessage)
{
    QAdvColumnGrid grid;
    // No handler: accepted.
    EXPECT_EQ(platform::SendMessage(&grid, platform::QM_BEFOREPOST), 0);

    bool refuse = true;
    QObject* sender = nullptr;
    QObject::connect(&grid, &QAdvColumnGrid::BeforePost, [&](QAdvColumnGrid* s, bool& accept) {
        sender = s;
        if (refuse) accept = false;
    });
    EXPECT_EQ(platform::SendMessage(&grid, platform::QM_BEFOREPOST), 1);
    EXPECT_EQ(sender, &grid);
    refuse = false;
    EXPECT_EQ(platform::SendMessage(&grid, platform::QM_BEFOREPOST), 0);
    // Other messages of the protocol are not the grid's business.
    refuse = true;
    EXPECT_EQ(platform::SendMessage(&grid, platform::QM_PUT), 0);

    // A handler that throws counts as a refusal and the exception goes no further.
    QAdvColumnGrid throwing;
    QObject::connect(&throwing, &QAdvColumnGrid::BeforePost, [](QAdvColumnGrid*, bool&) { throw 5; });
    EXPECT_EQ(platform::SendMessage(&throwing, platform::QM_BEFOREPOST), 1);
}

TEST(AdvColumnGridTest, ErrorGoesToTheStatusBarOrABoxAndTheGridTurnsAlarmColour)
{
    FakePrompter prompter;
    {
        GridForm f(GridForm::PanelBar);
        f.grid->ReportError(QStringLiteral("Value out of range"));
        EXPECT_EQ(f.panelBar->PanelText(0), QStringLiteral("Value out of range"));
        EXPECT_EQ(f.grid->Color(), kAlarm);
        EXPECT_TRUE(prompter.prompts.empty());
        EXPECT_EQ(f.form->focusWidget(), f.grid);
    }
    {
        GridForm f(GridForm::SimpleBar);
        f.grid->ReportError(QStringLiteral("Bad id"));
        EXPECT_EQ(f.simpleBar->currentMessage(), QStringLiteral("Bad id"));
        EXPECT_TRUE(prompter.prompts.empty());
    }
    {
        GridForm f(GridForm::NoBar);
        f.grid->ReportError(QStringLiteral("Bad id"));
        ASSERT_EQ(prompter.prompts.size(), 1u);
        EXPECT_EQ(prompter.prompts[0].text, QStringLiteral("Bad id"));
        EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Error);
        EXPECT_EQ(prompter.prompts[0].buttons, platform::mbOK);
        // The alarm colour stays; a second report still restores to the original colour later.
        f.grid->ReportError(QStringLiteral("Again"));
        prompter.answers = {platform::mrYes};
        EXPECT_TRUE(f.grid->ReportWarning(QStringLiteral("Sure")));
        EXPECT_EQ(f.grid->Color(), kWhite);
    }
}

TEST(AdvColumnGridTest, ErrorOnADisabledGridAddsANoteNamingIt)
{
    FakePrompter prompter;
    {
        GridForm f(GridForm::PanelBar);
        f.grid->setEnabled(false);
        f.grid->ReportError(QStringLiteral("Too many parameters"));
        EXPECT_EQ(f.panelBar->PanelText(0), QStringLiteral("Too many parameters"));
        EXPECT_EQ(prompter.Texts(), QStringList{QStringLiteral("Too many parameters\n\n") + kNote});
    }
    prompter.prompts.clear();
    {
        GridForm f(GridForm::NoBar);
        f.grid->setEnabled(false);
        f.grid->ReportError(QStringLiteral("Too many parameters"));
        EXPECT_EQ(prompter.Texts(), (QStringList{QStringLiteral("Too many parameters"), kNote}));
    }
}

TEST(AdvColumnGridTest, ErrorBringsTheGridsTabToTheFront)
{
    FakePrompter prompter;
    GridForm f(GridForm::PanelBar, true);
    ASSERT_EQ(f.tabs->currentIndex(), 0);
    f.form->hide();
    f.grid->ReportError(QStringLiteral("Check the log"));
    EXPECT_TRUE(f.form->isVisible());
    EXPECT_EQ(f.tabs->currentIndex(), 1);
    EXPECT_TRUE(f.grid->isVisible());
    EXPECT_EQ(f.form->focusWidget(), f.grid);
    EXPECT_TRUE(prompter.prompts.empty());
}

TEST(AdvColumnGridTest, WarningAsksToContinueAndNoKeepsTheAlarmColour)
{
    FakePrompter prompter;
    GridForm f(GridForm::PanelBar);
    prompter.answers = {platform::mrNo};
    EXPECT_FALSE(f.grid->ReportWarning(QStringLiteral("Archive will be short")));
    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].text, QStringLiteral("Archive will be short\n\nContinue?"));
    EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Warning);
    EXPECT_EQ(prompter.prompts[0].buttons, platform::mbYesNo);
    EXPECT_EQ(f.grid->Color(), kAlarm);
    EXPECT_EQ(f.form->focusWidget(), f.grid);

    prompter.answers = {platform::mrYes};
    EXPECT_TRUE(f.grid->ReportWarning(QStringLiteral("Archive will be short")));
    EXPECT_EQ(f.grid->Color(), kWhite);
}

TEST(AdvColumnGridTest, F1OpensTheHelpOfANonZeroContextAndTheKeyGoesOn)
{
    platform::SetContextHelpText(731, QStringLiteral("Log columns"));
    GridForm f(GridForm::NoBar);
    f.grid->SetColCount(2);
    f.grid->SetRowCount(3);
    f.grid->setCurrentIndex(f.grid->model()->index(0, 0));

    // Context 0: no help, only the grid's own handling of the key.
    QTest::keyClick(f.grid, Qt::Key_F1);
    EXPECT_FALSE(HelpPopupShown());

    f.grid->SetHelpContextVESKA(731);
    QTest::keyClick(f.grid, Qt::Key_F1);
    EXPECT_TRUE(HelpPopupShown());
    QWhatsThis::hideText();
    QCoreApplication::processEvents();

    // The inherited handling still runs: the arrow keys move the current cell.
    QTest::keyClick(f.grid, Qt::Key_Down);
    EXPECT_EQ(f.grid->currentIndex().row(), 1);
    platform::ClearContextHelpTexts();
}

TEST(AdvColumnGridTest, ComboColumnsEditWithADropDownOfTheirItems)
{
    GridForm f(GridForm::NoBar);
    QAdvColumnGrid& grid = *f.grid;
    grid.SetColCount(3);
    grid.SetRowCount(1);
    const QStringList items{QStringLiteral("Off"), QStringLiteral("Hourly"), QStringLiteral("Daily")};
    grid.SetColumnEditor(0, QAdvColumnGrid::edComboList);
    grid.SetColumnEditor(1, QAdvColumnGrid::edComboEdit);
    grid.SetColumnEditable(2, true);
    for (int c = 0; c < 3; ++c) {
        grid.SetColumnComboItems(c, items);
        grid.SetCells(c, 0, QStringLiteral("Hourly"));
    }
    const struct {
        int column;
        bool combo;
        bool editable;
    } kCases[] = {{0, true, false}, {1, true, true}, {2, false, false}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.column);
        const QModelIndex cell = grid.model()->index(0, c.column);
        grid.setCurrentIndex(cell);
        grid.edit(cell);
        QWidget* editor = grid.indexWidget(cell);
        ASSERT_NE(editor, nullptr);
        auto* combo = qobject_cast<QComboBox*>(editor);
        ASSERT_EQ(combo != nullptr, c.combo);
        if (!combo) {
            grid.closePersistentEditor(cell);
            continue;
        }
        EXPECT_EQ(combo->isEditable(), c.editable);
        EXPECT_EQ(combo->count(), 3);
        EXPECT_EQ(combo->currentText(), QStringLiteral("Hourly"));
        combo->setCurrentIndex(2);
        grid.setCurrentIndex(grid.model()->index(0, 2));   // leaving the cell commits the choice
        EXPECT_EQ(grid.Cells(c.column, 0), QStringLiteral("Daily"));
        EXPECT_EQ(grid.GetComboItemIndex(c.column, 0), 2);
    }
}
