#include "tevrin/pages/analysis/archive_csv.h"

#include "platform/save_file.h"

#include "tevrin/pages/analysis/archive_xml.h"
#include "tevrin/pages/analysis/csv_config_dlg.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/pages/widgets/csv_text.h"
#include "tevrin/pages/widgets/date_text.h"

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
// when all of it was written. Fields are bytes (UTF-8), quoted only when they hold the
// separator, a double quote or a line break.
class CsvOut {
public:
    explicit CsvOut(const QString& fileName) : file_(fileName) { buffer_.reserve((1 << 20) + 4096); }
    bool Open(QString* error)
    {
        if (file_.open(QIODevice::WriteOnly)) return true;
        if (error) *error = file_.errorString();
        return false;
    }
    void Field(const QString& text, bool first)
    {
        const QByteArray utf8 = text.toUtf8();
        Field(utf8.constData(), static_cast<size_t>(utf8.size()), first);
    }
    void Field(const char* text, size_t size, bool first)
    {
        if (!first) buffer_.append(',');
        bool quote = false;
        for (size_t i = 0; i < size && !quote; ++i)
            quote = text[i] == ',' || text[i] == '"' || text[i] == '\n' || text[i] == '\r';
        if (!quote) {
            buffer_.append(text, static_cast<qsizetype>(size));
            return;
        }
        buffer_.append('"');
        for (size_t i = 0; i < size; ++i) {
            if (text[i] == '"') buffer_.append('"');
            buffer_.append(text[i]);
        }
        buffer_.append('"');
    }
    // A sample's time stamp and a value, straight from the decoded archive.
    void Time(const datetext::Formats& dates, double when)
    {
        char text[datetext::Formats::kMaxText];
        Field(text, static_cast<size_t>(dates.Write(when, text) - text), true);
    }
    void Value(const LogDBManager& archive, const LogEntry& e, int j)
    {
        if (const std::string* held = archive.HeldText(e, j)) {
            Field(held->data(), held->size(), false);
            return;
        }
        char text[LogDBManager::kValueTextMax];
        Field(text, static_cast<size_t>(archive.WriteValue(e, j, text) - text), false);
    }
    void Empty() { buffer_.append(','); }
    void EndLine()
    {
        buffer_.append('\r');
        if (buffer_.size() > (1 << 20)) Flush();
    }
    // A write that fell short is refused by the commit, which says why.
    bool Commit(QString* error)
    {
        Flush();
        return platform::CommitWhole(file_, error) && good_;
    }

private:
    void Flush()
    {
        if (good_) good_ = file_.write(buffer_) == buffer_.size();
        buffer_.resize(0);
    }
    platform::SaveFile file_;
    QByteArray buffer_;
    bool good_ = true;
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
    const datetext::Formats& dates = datetext::Current();
    for (int k = 0; k < archive.EntryCount(); ++k) {
        const LogEntry* e = archive.Entry(k);
        out.Time(dates, e->Time);
        for (const Column& c : columns) {
            if (c.position == e->LogPosition)
                out.Value(archive, *e, c.index);
            else
                out.Empty();
        }
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

    const datetext::Formats& dates = datetext::Current();
    for (int k = 0; k < count; ++k) {
        const LogEntry* e = archive.Entry(k);
        if (e->LogPosition != master) continue;
        out.Time(dates, e->Time);
        for (const Column& c : columns) {
            const auto& from = provider[static_cast<size_t>(c.position)];
            int source = from.empty() ? -1 : from[static_cast<size_t>(k)];
            if (source < 0) source = k;
            const LogEntry* s = archive.Entry(source);
            if (s->LogPosition == c.position)
                out.Value(archive, *s, c.index);
            else
                out.Empty();
        }
        out.EndLine();
    }
    return out.Commit(error);
}
