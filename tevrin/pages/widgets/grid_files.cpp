// The column grid's files and clipboard text.
//
// Grid file (UTF-8 text, one line per record, fields separated by tabs, a backslash escaping
// a tab, a line break or itself):
//   "TevrinGrid" 1 <columns> <rows>
//   the column headers
//   per row: the row's check box columns as a hexadecimal bit mask, then its cells
#include "tevrin/pages/widgets/adv_column_grid.h"

#include "tevrin/pages/widgets/csv_text.h"
#include "tevrin/pages/widgets/workbook_check.h"
#include "platform/file_mode.h"
#include "platform/save_file.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStringDecoder>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

const QByteArray kGridMagic = QByteArrayLiteral("TevrinGrid");
constexpr int kGridVersion = 1;
constexpr int kMaxGridRows = 10000000;
// A line holds at most 64 columns of cell texts; a megabyte is far beyond any the grid writes.
constexpr qint64 kMaxLineBytes = 1 << 20;
constexpr int kRowsReservedAhead = 65536;

void SetError(QString* error, const QString& text)
{
    if (error) *error = text;
}

// " (reason)" from errno when the system gave one.
QString SystemReason()
{
    return errno != 0 ? QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(std::strerror(errno))) : QString();
}

QString Escape(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar ch : text) {
        switch (ch.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '\t': out += QLatin1String("\\t"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        default: out += ch;
        }
    }
    return out;
}

bool Unescape(const QString& text, QString& out)
{
    out.clear();
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch != QLatin1Char('\\')) {
            out += ch;
            continue;
        }
        if (++i >= text.size()) return false;
        switch (text[i].unicode()) {
        case '\\': out += QLatin1Char('\\'); break;
        case 't': out += QLatin1Char('\t'); break;
        case 'n': out += QLatin1Char('\n'); break;
        case 'r': out += QLatin1Char('\r'); break;
        default: return false;
        }
    }
    return true;
}

// Writes through a save file: the target changes only when everything was written. fill(file)
// stops at a write that fell short and says whether every byte was handed over; the commit then
// refuses the file and says why.
template <typename Fill>
bool WriteWhole(const QString& fileName, QString* error, Fill fill)
{
    platform::SaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        SetError(error, file.errorString());
        return false;
    }
    const bool handed = fill(file);
    return platform::CommitWhole(file, error) && handed;
}

}  // namespace

bool QAdvColumnGrid::SaveToFile(const QString& fileName, QString* error) const
{
    return WriteWhole(fileName, error, [this](QIODevice& file) {
        const int columns = ColCount();
        const int rows = RowCount();
        QByteArray out = kGridMagic + '\t' + QByteArray::number(kGridVersion) + '\t' + QByteArray::number(columns) +
                         '\t' + QByteArray::number(rows) + '\n';
        QStringList fields;
        for (int c = 0; c < columns; ++c) fields << Escape(ColumnHeader(c));
        out += fields.join(QLatin1Char('\t')).toUtf8() + '\n';
        for (int r = 0; r < rows; ++r) {
            uint64_t mask = 0;
            fields.clear();
            for (int c = 0; c < columns; ++c) {
                if (HasCheckBox(c, r)) mask |= uint64_t(1) << c;
                fields << Escape(Cells(c, r));
            }
            out += QByteArray::number(static_cast<qulonglong>(mask), 16);
            if (columns > 0) out += '\t' + fields.join(QLatin1Char('\t')).toUtf8();
            out += '\n';
            if (out.size() > (1 << 20)) {
                if (file.write(out) != out.size()) return false;
                out.clear();
            }
        }
        return file.write(out) == out.size();
    });
}

bool QAdvColumnGrid::LoadFromFile(const QString& fileName, QString* error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(error, file.errorString());
        return false;
    }
    auto fail = [error](const QString& why) {
        SetError(error, why);
        return false;
    };
    const QList<QByteArray> head = file.readLine(kMaxLineBytes).trimmed().split('\t');
    bool okColumns = false, okRows = false;
    if (head.size() != 4 || head[0] != kGridMagic || head[1] != QByteArray::number(kGridVersion))
        return fail(QStringLiteral("not a grid file"));
    const int columns = head[2].toInt(&okColumns);
    const int rows = head[3].toInt(&okRows);
    if (!okColumns || !okRows || columns < 0 || columns > TGridModel::kMaxColumns || rows < 0 || rows > kMaxGridRows)
        return fail(QStringLiteral("bad column or row count"));
    // Every line is bounded, so a file far larger than its rows can fill is no grid file.
    if (file.size() > (qint64(rows) + 2) * kMaxLineBytes)
        return fail(QStringLiteral("the file is larger than %1 rows can be").arg(rows));

    // The cells are UTF-8 text; bytes that are not are refused, never changed.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString why;
    auto readFields = [&file, &utf8, &why](int expected, QStringList& fields) {
        why.clear();
        if (file.atEnd()) return false;
        QByteArray line = file.readLine(kMaxLineBytes);
        if (!line.endsWith('\n') && !file.atEnd()) {
            why = QStringLiteral(": longer than %1 bytes").arg(kMaxLineBytes);
            return false;
        }
        if (!line.endsWith('\n')) return false;
        line.chop(1);
        utf8.resetState();
        const QString text = utf8.decode(line);
        if (utf8.hasError()) {
            why = QStringLiteral(": not UTF-8 text");
            return false;
        }
        const QStringList raw = text.split(QLatin1Char('\t'));
        if (raw.size() != expected) return false;
        fields.clear();
        for (const QString& f : raw) {
            QString text;
            if (!Unescape(f, text)) return false;
            fields << text;
        }
        return true;
    };
    QStringList headers;
    if (!readFields(columns == 0 ? 1 : columns, headers)) return fail(QStringLiteral("bad header line") + why);
    // The row count is the file's word: rows take room as their lines are read, so that a short
    // file announcing millions of rows costs nothing before it is refused.
    std::vector<std::vector<QString>> cells;
    std::vector<uint64_t> masks;
    cells.reserve(static_cast<size_t>(std::min(rows, kRowsReservedAhead)));
    masks.reserve(static_cast<size_t>(std::min(rows, kRowsReservedAhead)));
    QStringList fields;
    for (int r = 0; r < rows; ++r) {
        if (!readFields(columns + 1, fields)) return fail(QStringLiteral("bad line %1").arg(r + 3) + why);
        bool okMask = false;
        masks.push_back(fields[0].toULongLong(&okMask, 16));
        if (!okMask) return fail(QStringLiteral("bad line %1").arg(r + 3));
        cells.emplace_back(fields.begin() + 1, fields.end());
    }
    if (!file.atEnd()) return fail(QStringLiteral("more rows than the file says"));

    // The file was good: only now the grid changes.
    model_->SetColumnCount(columns);
    for (int c = 0; c < columns; ++c) model_->SetHeader(c, headers[c]);
    model_->ClearConditions();
    model_->SetAllTexts(std::move(cells));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            if ((masks[static_cast<size_t>(r)] >> c) & 1u) model_->AddCheckBox(r, c, Cells(c, r) == QLatin1String("Y"));
    return true;
}

bool QAdvColumnGrid::SaveToCSV(const QString& fileName, QChar separator, QString* error) const
{
    const std::vector<int> columns = ShownColumns();
    return WriteWhole(fileName, error, [&](QIODevice& file) {
        auto line = [&](auto cell) {
            QString text;
            for (size_t i = 0; i < columns.size(); ++i) {
                if (i) text += separator;
                text += CsvField(cell(columns[i]), separator);
            }
            text += QLatin1String("\r\n");
            return text.toUtf8();
        };
        QByteArray out = line([this](int c) { return ColumnHeader(c); });
        const int rows = ShownRowCount();
        for (int v = 0; v < rows; ++v) {
            const int r = ShownRow(v);
            out += line([this, r](int c) { return Cells(c, r); });
            if (out.size() > (1 << 20)) {
                if (file.write(out) != out.size()) return false;
                out.clear();
            }
        }
        return file.write(out) == out.size();
    });
}

bool QAdvColumnGrid::SaveToXLSX(const QString& fileName, QString* error) const
{
    // The spreadsheet is made beside the target and takes its name only when it is complete.
    // The library keeps the sheet in temporary files of its own while it is written and does
    // not check those writes; they go beside the target too, so that a disk or a size limit
    // that cuts them is the one the workbook meets, and the workbook is checked before it is
    // taken.
    const QFileInfo target(fileName);
    QTemporaryFile temp(target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
    if (!temp.open()) {
        SetError(error, temp.errorString());
        return false;
    }
    const QByteArray tempName = QFile::encodeName(temp.fileName());
    temp.close();
    QByteArray tempFolder = QFile::encodeName(target.absolutePath());

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = tempFolder.data();
    errno = 0;
    lxw_workbook* book = workbook_new_opt(tempName.constData(), &options);
    if (!book) {
        SetError(error, QStringLiteral("cannot create the spreadsheet") + SystemReason());
        return false;
    }
    lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
    if (!sheet) {
        const QString why = QStringLiteral("cannot create the sheet") + SystemReason();
        workbook_close(book);
        SetError(error, why);
        return false;
    }
    const std::vector<int> columns = ShownColumns();
    // Numbers go in as numbers; a source that holds them hands them over without a text. A
    // row takes its place in the sheet when it has a cell; they are counted for the check.
    std::string text;
    long long rowsWithCells = 0;
    bool rowHasCell = false;
    auto write = [this, sheet, &text, &rowHasCell](lxw_row_t row, lxw_col_t col, int r, int c) {
        double number = 0;
        if (model_->SheetCell(r, c, number, text)) {
            rowHasCell = true;
            return worksheet_write_number(sheet, row, col, number, nullptr);
        }
        if (text.empty()) return LXW_NO_ERROR;
        rowHasCell = true;
        return worksheet_write_string(sheet, row, col, text.c_str(), nullptr);
    };
    lxw_error failed = LXW_NO_ERROR;
    for (size_t i = 0; i < columns.size() && !failed; ++i) {
        const QByteArray header = ColumnHeader(columns[i]).toUtf8();
        if (header.isEmpty()) continue;
        rowHasCell = true;
        failed = worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(i), header.constData(), nullptr);
    }
    rowsWithCells += rowHasCell ? 1 : 0;
    const int rows = ShownRowCount();
    for (int v = 0; v < rows && !failed; ++v) {
        const int r = ShownRow(v);
        rowHasCell = false;
        for (size_t i = 0; i < columns.size() && !failed; ++i)
            failed = write(static_cast<lxw_row_t>(v + 1), static_cast<lxw_col_t>(i), r, columns[i]);
        rowsWithCells += rowHasCell ? 1 : 0;
    }
    // The rows written so far are in the library's temporary file: a write to it that failed
    // has left its mark there, and the system's reason is had by trying the rest again.
    QString cut;
    if (!failed && sheet->optimize_tmpfile) {
        errno = 0;
        if (std::fflush(sheet->optimize_tmpfile) != 0 || std::ferror(sheet->optimize_tmpfile))
            cut = errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : QStringLiteral("the sheet could not be written whole");
    }
    errno = 0;
    const lxw_error closed = workbook_close(book);
    if (failed || closed) {
        // The library names the step that failed; the system's words say why.
        SetError(error, QString::fromUtf8(lxw_strerror(failed ? failed : closed)) + SystemReason());
        return false;  // the unfinished spreadsheet goes with the temporary file; the target is untouched
    }
    if (!cut.isEmpty()) {
        SetError(error, cut);
        return false;
    }
    // The last rows and the sheet's assembly happen inside the close: the packed sheet must
    // hold every row and end as a sheet ends.
    QString why;
    if (!workbook_check::SheetHoldsRows(temp.fileName(), "xl/worksheets/sheet1.xml", rowsWithCells, why)) {
        SetError(error, why);
        return false;
    }
    // The mode every other export gets: the old file's, or the user's usual one for a new file.
    const mode_t mode = platform::ReplacingMode(target.absoluteFilePath());
    if (::chmod(tempName.constData(), mode) != 0) {
        SetError(error, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (std::rename(tempName.constData(), QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
        SetError(error, QStringLiteral("cannot replace %1: %2").arg(fileName, QString::fromLocal8Bit(std::strerror(errno))));
        return false;
    }
    temp.setAutoRemove(false);
    return true;
}

QString QAdvColumnGrid::SelectionText() const
{
    const GridRect r = SelectionRect();
    if (r.top < 0) return {};
    QString text;
    for (int v = r.top; v <= r.bottom && v < ShownRowCount(); ++v) {
        const int row = ShownRow(v);
        bool first = true;
        for (int c = r.left; c <= r.right; ++c) {
            if (isColumnHidden(c)) continue;
            if (!first) text += QLatin1Char('\t');
            first = false;
            text += Cells(c, row);
        }
        text += QLatin1Char('\n');
    }
    return text;
}

void QAdvColumnGrid::CopySelectionToClipboard() const
{
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(SelectionText());
}
