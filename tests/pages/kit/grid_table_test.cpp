// The column grid as a table: filters, check boxes, moved rows, hidden columns, a row source,
// and its files (grid file, CSV, spreadsheet) and clipboard text.
#include "tests/common/file_size_limit.h"
#include "tests/pages/kit/file_bytes.h"
#include "tests/pages/kit/grid_rows.h"
#include "tevrin/pages/widgets/adv_column_grid.h"
#include "tevrin/pages/widgets/date_text.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLocale>
#include <QProcess>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QStyle>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using filetest::ReadAll;
using gridtest::ShownColumn;

void Fill(QAdvColumnGrid& grid, const std::vector<std::vector<QString>>& rows)
{
    grid.SetColCount(static_cast<int>(rows.front().size()));
    grid.SetAllTexts(rows);
}

// A source of n rows: column 0 the row number, column 1 its square.
class SquaresSource : public IGridRowSource {
public:
    explicit SquaresSource(int n) : n_(n) {}
    int RowCount() const override { return n_; }
    QString Text(int row, int column) const override
    {
        return QString::number(column == 0 ? row : static_cast<qint64>(row) * row);
    }
    bool Number(int row, int column, double& value) const override
    {
        value = column == 0 ? row : double(row) * row;
        return true;
    }

private:
    int n_;
};

}  // namespace

TEST(GridFilterTest, ConditionsOnNumbersTextsAndDates)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const struct {
        const char* condition;
        const char* cell;
        bool passes;
    } kCases[] = {
        {"", "anything", true},          {"*", "", true},
        {">5", "5", false},              {">5", "5.5", true},          {">=5", "5", true},
        {"<10 & >2", "3", true},         {"<10 & >2", "10", false},    {"<2 ^ >8", "9", true},
        {"<2 ^ >8", "5", false},         {"=7", "7.0", true},          {"<>7", "7", false},
        {">5", "", false},               {">5", "abc", false},          {"<>5", "abc", true},
        {"10", "10", true},              {"1*", "123", true},           {"1*", "213", false},
        {"?b?", "ABC", true},            {"!a*", "abc", false},         {"!a*", "bcd", true},
        {"=hourly", "Hourly", true},     {">NAN", "1", false},
        // Dates in the user's short format; a cell at midnight shows the date alone.
        {">=12/10/2026 & <12/11/2026", "12/10/2026", true},
        {">12/10/2026 & <12/11/2026", "12/10/2026", false},
        {">=12/10/2026 & <12/11/2026", "12/10/2026 11:59:59 PM", true},
        {">=12/10/2026 & <12/11/2026", "12/11/2026", false},
        {">=12/10/2026 & <12/11/2026", "12/9/2026 11:59:59 PM", false},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(GridCondition(QString::fromLatin1(c.condition)).Matches(QString::fromLatin1(c.cell), nullptr), c.passes)
            << c.condition << " on " << c.cell;
    QLocale::setDefault(QLocale::system());
}

TEST(GridTableTest, FilterSelectMayRewriteTheConditionAndFiltersCombineAcrossColumns)
{
    QAdvColumnGrid grid;
    Fill(grid, {{"1", "a"}, {"2", "b"}, {"3", "a"}, {"4", "b"}});
    grid.SetFilterDropDown(true);
    grid.SetColumnFilterList(0, {{"[All]", "*"}, {"[Custom]", "*"}});
    QObject::connect(&grid, &QAdvColumnGrid::FilterSelect, [](int column, int item, const QString& name, QString& cond) {
        if (column == 0 && item == 1 && name == "[Custom]") cond = ">1";
    });
    grid.SelectFilter(0, 1);
    EXPECT_EQ(grid.ColumnFilter(0), ">1");
    EXPECT_EQ(ShownColumn(grid, 0), (QStringList{"2", "3", "4"}));
    grid.ApplyFilter(1, "b");
    EXPECT_EQ(ShownColumn(grid, 0), (QStringList{"2", "4"}));
    grid.SelectFilter(0, 0);
    EXPECT_EQ(ShownColumn(grid, 0), (QStringList{"2", "4"}));
    grid.RemoveAllFilters();
    EXPECT_EQ(grid.ShownRowCount(), 4);
    grid.SelectFilter(0, 7);   // no such item: nothing happens
    EXPECT_EQ(grid.ShownRowCount(), 4);
}

TEST(GridTableTest, CheckBoxesMovedRowsAndEditRights)
{
    QAdvColumnGrid grid;
    Fill(grid, {{"1", "A", ""}, {"2", "B", ""}, {"3", "C", ""}});
    for (int r = 0; r < 3; ++r) grid.AddCheckBox(2, r, r != 1);
    EXPECT_EQ(grid.Cells(2, 0), "Y");
    EXPECT_EQ(grid.Cells(2, 1), "N");
    QSignalSpy clicks(&grid, &QAdvColumnGrid::CheckBoxClick);
    grid.model()->setData(grid.model()->index(1, 2), Qt::Checked, Qt::CheckStateRole);
    EXPECT_TRUE(grid.GetCheckBoxState(2, 1));
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_EQ(clicks[0], (QList<QVariant>{2, 1, true}));

    QSignalSpy moves(&grid, &QAdvColumnGrid::RowMoved);
    grid.MoveRow(0, 2);
    EXPECT_EQ(ShownColumn(grid, 1), (QStringList{"B", "C", "A"}));
    EXPECT_TRUE(grid.HasCheckBox(2, 2));   // the check box moves with its row
    EXPECT_EQ(moves.size(), 1);

    // Nothing editable by default; an editable column asks CanEditCell.
    const QModelIndex cell = grid.model()->index(0, 1);
    EXPECT_FALSE(grid.model()->flags(cell) & Qt::ItemIsEditable);
    grid.SetColumnEditable(1, true);
    EXPECT_TRUE(grid.model()->flags(cell) & Qt::ItemIsEditable);
    QObject::connect(&grid, &QAdvColumnGrid::CanEditCell, [](int, int, bool& can) { can = false; });
    EXPECT_FALSE(grid.model()->flags(cell) & Qt::ItemIsEditable);
}

TEST(GridTableTest, ARowSourceMakesTextsOnDemandAndFiltersOnItsNumbers)
{
    QAdvColumnGrid grid;
    grid.SetColCount(2);
    grid.SetRowSource(std::make_shared<SquaresSource>(500000));
    EXPECT_EQ(grid.RowCount(), 500000);
    EXPECT_EQ(grid.model()->index(499999, 1).data().toString(), "249999000001");
    grid.ApplyFilter(1, ">=100 & <=400");
    EXPECT_EQ(ShownColumn(grid, 0), (QStringList{"10", "11", "12", "13", "14", "15", "16", "17", "18", "19", "20"}));
}

TEST(GridTableTest, SelectionRectAndTextFollowTheShownRowsAndSkipHiddenColumns)
{
    QAdvColumnGrid grid;
    Fill(grid, {{"1", "a", "x"}, {"2", "b", "y"}, {"3", "c", "z"}});
    QSignalSpy spy(&grid, &QAdvColumnGrid::SelectionChanged);
    grid.SelectRange(0, 1, 2, 2);
    ASSERT_GE(spy.size(), 1);
    EXPECT_EQ(spy.last(), (QList<QVariant>{0, 1, 2, 2}));
    grid.HideColumn(1);
    EXPECT_EQ(grid.SelectionText(), "2\ty\n3\tz\n");
    grid.CopySelectionToClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "2\ty\n3\tz\n");
    grid.UnHideColumnsAll();
    EXPECT_FALSE(grid.IsHiddenColumn(1));
}

TEST(GridTableTest, AutoSizeFitsTheWidestTextPlusPadding)
{
    QAdvColumnGrid grid;
    Fill(grid, {{"1", "a"}, {"a much longer text", "b"}});
    grid.SetColumnHeader(1, "Header");
    grid.SetFixedCols(1);
    const QFontMetrics fm(grid.font());
    // The style's margins around a cell's text and a header's text.
    const int cell = 2 * (grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1);
    const int header = 2 * grid.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, grid.horizontalHeader());
    grid.AutoSizeColumns(false, 12);
    EXPECT_NE(grid.columnWidth(0), fm.horizontalAdvance("a much longer text") + cell + 12);   // fixed left alone
    grid.AutoSizeColumns(true, 12);
    EXPECT_EQ(grid.columnWidth(0), fm.horizontalAdvance("a much longer text") + cell + 12);
    EXPECT_EQ(grid.columnWidth(1), QFontMetrics(grid.horizontalHeader()->font()).horizontalAdvance("Header") + header + 12);
    EXPECT_EQ(gridtest::CutTexts(grid).join(" | ").toStdString(), "");
    // A column with neither header nor text keeps its width.
    grid.SetColCount(3);
    grid.setColumnWidth(2, 77);
    grid.AutoSizeColumns(true, 12);
    EXPECT_EQ(grid.columnWidth(2), 77);
}

TEST(GridTableTest, GridFileKeepsEverythingAndABadFileChangesNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.vkar");
    QAdvColumnGrid grid;
    Fill(grid, {{"1", "tab\there", "Y"}, {"2", "back\\slash\nline", "N"}});
    grid.SetColumnHeader(0, "Seq");
    grid.AddCheckBox(2, 0, true);
    grid.HideColumn(1);
    ASSERT_TRUE(grid.SaveToFile(path));

    QAdvColumnGrid back;
    ASSERT_TRUE(back.LoadFromFile(path));
    EXPECT_EQ(back.ColCount(), 3);
    EXPECT_EQ(back.ColumnHeader(0), "Seq");
    EXPECT_EQ(back.Cells(1, 0), "tab\there");
    EXPECT_EQ(back.Cells(1, 1), "back\\slash\nline");
    EXPECT_TRUE(back.HasCheckBox(2, 0));
    EXPECT_FALSE(back.HasCheckBox(2, 1));

    const QByteArray good = ReadAll(path);
    const QByteArray bad[] = {
        "",                                   // empty
        "something else\n",                   // not a grid file
        good.left(good.size() - 3),           // cut short
        good + "0\tx\ty\tz\n",                // more rows than it says
        QByteArray(good).replace("TevrinGrid\t1\t3\t2", "TevrinGrid\t1\t3\t99999999"),
        QByteArray(good).replace("\\t", "\\q"),   // a broken escape
    };
    for (const QByteArray& b : bad) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(b);
        f.close();
        QString error;
        EXPECT_FALSE(back.LoadFromFile(path, &error)) << b.left(40).constData();
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(back.RowCount(), 2);
        EXPECT_EQ(back.Cells(1, 0), "tab\there");
    }
    EXPECT_FALSE(back.LoadFromFile(dir.filePath("missing.vkar")));
}

// The cells are UTF-8: a cell whose bytes are not is refused, never loaded with its bytes
// changed; any text that is round trips byte for byte.
TEST(GridTableTest, GridFileCellsAreUtf8TextOrTheFileIsRefused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.vkar");
    const auto file = [](const QByteArray& header, const QByteArray& cell) {
        return "TevrinGrid\t1\t1\t1\n" + header + "\n0\t" + cell + "\n";
    };
    const struct {
        const char* name;
        QByteArray header, cell;
        bool loads;
    } cases[] = {
        {"plain", "H", "Alarm", true},
        {"accents and CJK", "T\xC3\xA9mp", "\xE4\xB8\xAD\xE6\x96\x87", true},
        {"four bytes", "H", "\xF0\x9F\x98\x80", true},
        {"a byte-order mark in a cell", "H", "\xEF\xBB\xBFx", true},
        {"a byte that never starts a character", "H", "bad \xFF byte", false},
        {"a sequence cut short", "H", "cut \xC3", false},
        {"an overlong slash", "H", "\xC0\xAF", false},
        {"a surrogate half", "H", "\xED\xA0\x80", false},
        {"past the last character", "H", "\xF4\x90\x80\x80", false},
        {"Latin-1 in the header", "Temp\xE9rature", "x", false},
    };
    QAdvColumnGrid grid;
    Fill(grid, {{"kept"}});
    QString lastGood = QStringLiteral("kept");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        filetest::WriteAll(path, file(c.header, c.cell));
        QString error;
        EXPECT_EQ(grid.LoadFromFile(path, &error), c.loads) << error.toStdString();
        if (c.loads) {
            EXPECT_EQ(grid.Cells(0, 0).toUtf8(), c.cell);
            EXPECT_EQ(grid.ColumnHeader(0).toUtf8(), c.header);
            const QString copy = dir.filePath("copy.vkar");
            ASSERT_TRUE(grid.SaveToFile(copy));
            EXPECT_EQ(filetest::ReadAll(copy), file(c.header, c.cell));
            lastGood = grid.Cells(0, 0);
        } else {
            EXPECT_TRUE(error.contains(QLatin1String("not UTF-8"))) << error.toStdString();
            EXPECT_EQ(grid.Cells(0, 0), lastGood);   // the last good load stays
        }
    }
}

// A grid file's lines are bounded, and so is the file by the rows it announces: a huge file
// (sparse, so the test costs no disk) is refused after reading at most a line of it.
TEST(GridTableTest, GridFileFarLargerThanItsRowsOrWithAHugeLineIsRefused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("huge.vkar");
    const qint64 kHuge = qint64(3) << 30;
    const struct {
        const char* name;
        QByteArray start;
        const char* reason;
    } cases[] = {
        {"two rows and gigabytes", "TevrinGrid\t1\t1\t2\n", "larger than 2 rows"},
        {"millions of rows, a header line of gigabytes", "TevrinGrid\t1\t1\t10000000\n", "bad header line: longer than"},
        {"a row of gigabytes", "TevrinGrid\t1\t1\t10000000\nH\n0\tx", "bad line 3: longer than"},
    };
    QAdvColumnGrid grid;
    Fill(grid, {{"kept"}});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        filetest::WriteAll(path, c.start);
        {
            QFile f(path);
            ASSERT_TRUE(f.resize(kHuge));
        }
        QString error;
        EXPECT_FALSE(grid.LoadFromFile(path, &error));
        EXPECT_TRUE(error.contains(QLatin1String(c.reason))) << error.toStdString();
        EXPECT_EQ(grid.Cells(0, 0), QStringLiteral("kept"));
    }
}

TEST(GridTableTest, CsvKeepsACellWithTheSeparatorInItsColumnAndAFailedWriteSaysSo)
{
    QTemporaryDir dir;
    QAdvColumnGrid grid;
    Fill(grid, {{"1", "a,b", "say \"hi\""}, {"2", "plain", ""}});
    grid.SetColumnHeader(0, "Seq");
    grid.SetColumnHeader(1, "Name");
    grid.SetColumnHeader(2, "Note");
    grid.ApplyFilter(0, ">=1");
    const QString path = dir.filePath("t.csv");
    ASSERT_TRUE(grid.SaveToCSV(path));
    EXPECT_EQ(ReadAll(path), "Seq,Name,Note\r\n1,\"a,b\",\"say \"\"hi\"\"\"\r\n2,plain,\r\n");

    // A file that cannot be written: false, a reason, nothing left behind.
    QString error;
    EXPECT_FALSE(grid.SaveToCSV(dir.filePath("no/such/folder/t.csv"), QLatin1Char(','), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(GridTableTest, SpreadsheetHoldsTheShownCellsWithNumbersAsNumbers)
{
    QTemporaryDir dir;
    QAdvColumnGrid grid;
    Fill(grid, {{"1", "On Run", "1.5"}, {"2", "Hourly", "NAN"}, {"3", "Daily", "-7"}});
    for (int c = 0; c < 3; ++c) grid.SetColumnHeader(c, QStringList{"Seq", "Log", "Value"}[c]);
    grid.ApplyFilter(0, "<>2");
    const QString path = dir.filePath("t.xlsx");
    ASSERT_TRUE(grid.SaveToXLSX(path));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"t.xlsx"});   // no temporary left

    QProcess unzip;
    unzip.start("unzip", {"-p", path, "xl/worksheets/sheet1.xml"});
    ASSERT_TRUE(unzip.waitForFinished());
    const QString sheet = QString::fromUtf8(unzip.readAllStandardOutput());
    // Numbers are numbers, texts are texts; the filtered row is not there.
    EXPECT_TRUE(sheet.contains("<c r=\"A2\"><v>1</v></c>")) << sheet.toStdString();
    EXPECT_TRUE(sheet.contains("<c r=\"C2\"><v>1.5</v></c>"));
    EXPECT_TRUE(sheet.contains("<c r=\"C3\"><v>-7</v></c>"));
    EXPECT_TRUE(sheet.contains("<c r=\"B3\" t=\"inlineStr\"><is><t>Daily</t></is></c>"));
    EXPECT_TRUE(sheet.contains("<c r=\"C1\" t=\"inlineStr\"><is><t>Value</t></is></c>"));
    EXPECT_FALSE(sheet.contains("r=\"A4\""));
    EXPECT_FALSE(sheet.contains("Hourly"));

    // An existing file is replaced only by a complete spreadsheet.
    EXPECT_FALSE(grid.SaveToXLSX(dir.filePath("no/such/t.xlsx")));
}

// The sheet of a spreadsheet of many rows is many times the size of the packed workbook, so a
// file-size limit that the workbook fits under cuts the sheet while it is written, either among
// its rows or at its very end: the export fails with the reason, the old file stays and nothing
// is left beside it.
TEST(GridTableTest, SpreadsheetWhoseSheetOnlyPartlyFitsIsNotSaved)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("rows.xlsx");
    constexpr int kRows = 4000;
    QAdvColumnGrid grid;
    grid.SetColCount(2);
    grid.SetColumnHeader(0, "Row");
    grid.SetColumnHeader(1, "Square");
    grid.SetRowSource(std::make_shared<SquaresSource>(kRows));

    // With room, the workbook holds every row.
    QString why;
    ASSERT_TRUE(grid.SaveToXLSX(path, &why)) << why.toStdString();
    const qint64 workbook = QFileInfo(path).size();
    QProcess unzip;
    unzip.start("unzip", {"-p", path, "xl/worksheets/sheet1.xml"});
    ASSERT_TRUE(unzip.waitForFinished());
    const QByteArray sheet = unzip.readAllStandardOutput();
    EXPECT_EQ(sheet.count("<row "), kRows + 1);
    EXPECT_TRUE(sheet.endsWith("</worksheet>"));
    ASSERT_GT(sheet.size(), 4 * workbook);

    const struct {
        const char* kind;
        qint64 limit;
        const char* reason;
    } cases[] = {
        {"cut among the rows", 2 * workbook, "File too large"},
        {"cut in the sheet's last line", sheet.size() - 20, "cut short"},
    };
    const QByteArray old = "the old workbook";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            ASSERT_EQ(file.write(old), old.size());
        }
        bool saved = true;
        why.clear();
        {
            testsupport::FileSizeLimit limit(static_cast<rlim_t>(c.limit));
            saved = grid.SaveToXLSX(path, &why);
        }
        EXPECT_FALSE(saved);
        EXPECT_TRUE(why.contains(QLatin1String(c.reason))) << why.toStdString();
        EXPECT_EQ(ReadAll(path), old);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"rows.xlsx"});
    }
}

// The spreadsheet is given the mode every other export gets: the user's usual one for a new
// file, the old file's own when it replaces one.
TEST(GridTableTest, SpreadsheetGetsTheModeOfTheOtherExports)
{
    QTemporaryDir dir;
    QAdvColumnGrid grid;
    Fill(grid, {{"1", "On Run"}});
    const mode_t mask = umask(0);
    umask(mask);
    const struct {
        const char* kind;
        mode_t old;   // 0: no file there before
        mode_t expected;
    } cases[] = {
        {"new file", 0, 0666 & ~mask},
        {"over a file of its owner and group", 0640, 0640},
        {"over a file everyone may read", 0644, 0644},
    };
    auto mode = [](const QString& path) {
        struct stat st {};
        return stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : mode_t(01000);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        const QString csv = dir.filePath("t.csv");
        const QString xlsx = dir.filePath("t.xlsx");
        QFile::remove(csv);
        QFile::remove(xlsx);
        if (c.old) {
            for (const QString& path : {csv, xlsx}) {
                QFile file(path);
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                file.close();
                ASSERT_EQ(chmod(QFile::encodeName(path).constData(), c.old), 0);
            }
        }
        ASSERT_TRUE(grid.SaveToCSV(csv));
        ASSERT_TRUE(grid.SaveToXLSX(xlsx));
        EXPECT_EQ(mode(csv), c.expected);
        EXPECT_EQ(mode(xlsx), c.expected);
    }
}

TEST(GridTableTest, ColumnWidthsAreKeptInTheUsersSettingsUnderTheirKey)
{
    {
        QAdvColumnGrid grid;
        grid.SetColCount(3);
        grid.SetColumnWidthsKey("SenR27Test", "ArchReader");
        grid.setColumnWidth(0, 64);
        grid.setColumnWidth(1, 123);
        grid.setColumnWidth(2, 77);
    }   // saved when the grid goes
    QAdvColumnGrid again;
    again.SetColCount(3);
    again.SetColumnWidthsKey("SenR27Test", "ArchReader");
    again.LoadColumnWidths();
    EXPECT_EQ(again.columnWidth(1), 123);
    EXPECT_EQ(again.columnWidth(2), 77);
    QSettings ini(QSettings::IniFormat, QSettings::UserScope, "SenR27Test");
    EXPECT_EQ(ini.value("ArchReader/Col1").toInt(), 123);
}

// A last column that fills the view takes the width the view leaves it: kept, it would make the
// next, smaller window scroll sideways.
TEST(GridTableTest, ALastColumnThatFillsTheViewKeepsNoWidthOfItsOwn)
{
    {
        QAdvColumnGrid grid;
        grid.SetColCount(3);
        grid.setColumnWidth(0, 64);
        grid.setColumnWidth(1, 123);
        grid.setColumnWidth(2, 77);
        grid.horizontalHeader()->setStretchLastSection(true);
        grid.SetColumnWidthsKey("SenR27Stretch", "ArchReader");
        grid.resize(1200, 300);
        grid.show();
        QApplication::processEvents();
        ASSERT_GT(grid.columnWidth(2), 900);
    }   // saved when the grid goes
    QAdvColumnGrid again;
    again.SetColCount(3);
    again.setColumnWidth(2, 77);
    again.horizontalHeader()->setStretchLastSection(true);
    again.SetColumnWidthsKey("SenR27Stretch", "ArchReader");
    again.LoadColumnWidths();
    again.resize(400, 300);
    again.show();
    QApplication::processEvents();
    EXPECT_EQ(again.columnWidth(1), 123);
    EXPECT_LT(again.columnWidth(2), 400);
    EXPECT_FALSE(again.horizontalScrollBar()->isVisible());
}

TEST(GridTableTest, FixedColumnsStayInPlaceWhileTheOthersScroll)
{
    QAdvColumnGrid grid;
    grid.SetColCount(23);
    grid.SetRowCount(200);
    for (int r = 0; r < 200; ++r) grid.SetCells(0, r, QString::number(r));
    for (int c = 0; c < 23; ++c) grid.setColumnWidth(c, 80);
    grid.resize(600, 300);
    grid.show();
    auto* fixed = grid.findChild<QTableView*>("fixedColumns");
    ASSERT_NE(fixed, nullptr);
    EXPECT_FALSE(fixed->isVisible());   // no fixed columns yet
    grid.SetFixedCols(3);
    EXPECT_TRUE(fixed->isVisible());
    EXPECT_EQ(fixed->width(), 240);
    const int left = fixed->x();
    grid.horizontalScrollBar()->setValue(grid.horizontalScrollBar()->maximum());
    grid.verticalScrollBar()->setValue(150);
    EXPECT_EQ(fixed->x(), left);
    EXPECT_EQ(fixed->verticalScrollBar()->value(), 150);   // the rows go along
    EXPECT_EQ(fixed->rowAt(0), grid.rowAt(0));
    grid.setColumnWidth(1, 100);
    EXPECT_EQ(fixed->width(), 260);
    grid.HideColumn(2);
    EXPECT_EQ(fixed->width(), 180);
    grid.UnHideColumnsAll();
    EXPECT_EQ(fixed->width(), 260);
}
