#include "tevrin/pages/analysis/archive_csv.h"

#include "tevrin/pages/analysis/archive_xml.h"
#include "tevrin/pages/analysis/csv_config_dlg.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/pages/widgets/csv_text.h"
#include "tevrin/pages/widgets/date_text.h"

#include <QSaveFile>

#include <algorithm>
#include <vector>

namespace {

struct Column {
    int position;
    int index;
};

bool Records(const LogConfigRecord& log) { return log.ParametersInLog != 0 && log.Enable != 0; }
int ValueCount(const LogConfigRecord& log) { return std::min(static_cast<int>(log.ParametersInLog) - 1, kLogValuesPerLog); }

std::vector<Column> ChosenColumns(const LogDBManager& archive, const LogConfigRecord (&logs)[kLogCount])
{
    std::vector<Column> columns;
    for (int p = 0; p < kLogCount; ++p) {
        if (!Records(logs[p])) continue;
        for (int j = 0; j < ValueCount(logs[p]); ++j)
            if (archive.CsvChoice[p][j]) columns.push_back({p, j});
    }
    return columns;
}

// Lines are made in memory a megabyte at a time and go to the file, which takes its name only
// when all of it was written.
class CsvOut {
public:
    explicit CsvOut(const QString& fileName) : file_(fileName) {}
    bool Open(QString* error)
    {
        if (file_.open(QIODevice::WriteOnly)) return true;
        if (error) *error = file_.errorString();
        return false;
    }
    void Field(const QString& text, bool first)
    {
        if (!first) line_ += QLatin1Char(',');
        line_ += CsvField(text);
    }
    void EndLine()
    {
        line_ += QLatin1Char('\r');
        buffer_ += line_.toUtf8();
        line_.clear();
        if (buffer_.size() > (1 << 20)) Flush();
    }
    bool Commit(QString* error)
    {
        Flush();
        if (file_.commit()) return true;
        if (error) *error = file_.errorString();
        return false;
    }

private:
    void Flush()
    {
        file_.write(buffer_);
        buffer_.clear();
    }
    QSaveFile file_;
    QString line_;
    QByteArray buffer_;
};

void Header(CsvOut& out, const std::vector<Column>& columns, const LogConfigRecord (&logs)[kLogCount])
{
    out.Field(QStringLiteral("TimeStamp"), true);
    for (const Column& c : columns) out.Field(ArchivePointName(logs[c.position].UniqueId[c.index + 1]), false);
    out.EndLine();
}

}  // namespace

bool ChooseCsvColumns(LogDBManager& archive, const LogConfigRecord (&logs)[kLogCount], QWidget* parent)
{
    for (auto& row : archive.CsvChoice) std::fill(std::begin(row), std::end(row), false);
    TfmCSVConfig dialog(parent);
    for (int p = 0; p < kLogCount; ++p) {
        if (!Records(logs[p])) continue;
        for (int j = 0; j < ValueCount(logs[p]); ++j)
            dialog.Items.push_back({ArchivePointName(logs[p].UniqueId[j + 1]), p, j, true});
    }
    if (dialog.ShowModal() != QDialog::Accepted) return false;
    for (const CsvColumnItem& item : dialog.Items) archive.CsvChoice[item.position][item.index] = item.enabled;
    return true;
}

bool WriteLegalCsv(const QString& fileName, const LogDBManager& archive, const LogConfigRecord (&logs)[kLogCount],
                   QString* error)
{
    CsvOut out(fileName);
    if (!out.Open(error)) return false;
    const std::vector<Column> columns = ChosenColumns(archive, logs);
    Header(out, columns, logs);
    for (int k = 0; k < archive.EntryCount(); ++k) {
        const LogEntry* e = archive.Entry(k);
        out.Field(datetext::DateTimeToStr(e->Time), true);
        for (const Column& c : columns)
            out.Field(c.position == e->LogPosition ? QString::fromStdString(archive.ValueText(*e, c.index)) : QString(), false);
        out.EndLine();
    }
    return out.Commit(error);
}

bool WritePacketCsv(const QString& fileName, const LogDBManager& archive, const LogConfigRecord (&logs)[kLogCount],
                    QString* error)
{
    CsvOut out(fileName);
    if (!out.Open(error)) return false;
    const std::vector<Column> columns = ChosenColumns(archive, logs);
    Header(out, columns, logs);

    // The master log has the most samples (the lowest position on a tie).
    int master = 0;
    for (int p = 1; p < kLogCount; ++p)
        if (archive.FrameCount(p) > archive.FrameCount(master)) master = p;
    const int count = archive.EntryCount();
    auto last = [&](int p) {
        for (int k = count - 1; k >= 0; --k)
            if (archive.Entry(k)->LogPosition == p) return k;
        return 0;
    };
    auto chosenEmpty = [&](int k, int p) {
        const LogEntry* e = archive.Entry(k);
        if (e->LogPosition != p) return true;
        for (const Column& c : columns)
            if (c.position == p && !archive.ValueText(*e, c.index).empty()) return false;
        return true;
    };

    // provider[p][k]: the entry whose values of log p entry k shows (-1: its own, or none).
    std::vector<std::vector<int>> provider(kLogCount);
    const int lastMaster = last(master);
    for (int p = 0; p < kLogCount; ++p) {
        if (p == master) continue;
        const int lastP = last(p);
        int anchor = lastP;
        if (lastMaster < lastP) {
            for (int k = lastMaster; k <= lastP; ++k)
                if (archive.Entry(k)->LogPosition == p) {
                    anchor = k;
                    break;
                }
        }
        if (anchor < 2) continue;
        // Walking back from the anchor, each sample takes the values of the next later
        // sample of log p; a sample of log p with values passes its own on.
        auto& from = provider[static_cast<size_t>(p)];
        from.assign(static_cast<size_t>(count), -1);
        int carry = anchor;
        for (int k = anchor - 1; k >= 0; --k) {
            if (chosenEmpty(k, p))
                from[static_cast<size_t>(k)] = carry;
            else
                carry = k;
        }
    }

    for (int k = 0; k < count; ++k) {
        const LogEntry* e = archive.Entry(k);
        if (e->LogPosition != master) continue;
        out.Field(datetext::DateTimeToStr(e->Time), true);
        for (const Column& c : columns) {
            const auto& from = provider[static_cast<size_t>(c.position)];
            int source = from.empty() ? -1 : from[static_cast<size_t>(k)];
            if (source < 0) source = k;
            const LogEntry* s = archive.Entry(source);
            out.Field(s->LogPosition == c.position ? QString::fromStdString(archive.ValueText(*s, c.index)) : QString(), false);
        }
        out.EndLine();
    }
    return out.Commit(error);
}
