#include "tevrin/pages/analysis/log_setup.h"

#include "tevrin/rtdb/unique_log_id.h"

#include <algorithm>

namespace logsetup {

int EntriesInUse(const LogConfigRecord& record) { return std::min<int>(record.ParametersInLog, kMaxEntries); }

std::vector<int> PointPositions(const LogConfigRecord& record)
{
    std::vector<int> positions;
    for (int i = 1; i < EntriesInUse(record); ++i)
        if (record.UniqueId[i] != 0) positions.push_back(i);
    return positions;
}

int DrawLogId(const LogConfigRecord (&records)[kLogCount], int log)
{
    UniqueLogID* ids = UniqueLogID::Instance();
    for (const LogConfigRecord& r : records) ids->Add(r.LogIdCode);
    const int id = ids->NextFree(records[log].LogIdCode);
    if (id >= UniqueLogID::kNoFreeId || id > UniqueLogID::kHighestId) return UniqueLogID::kNoFreeId;
    ids->Add(id);
    return id;
}

bool AppendPoint(LogConfigRecord& record, int log, TDbId point, int frequency, int idCode)
{
    const int position = std::max(1, EntriesInUse(record));
    if (static_cast<int>(PointPositions(record).size()) >= kMaxPoints || position >= kMaxEntries) return false;
    record.LOG_NUMBER = static_cast<uint8_t>(log);
    record.Enable = 1;
    record.Frequency = static_cast<uint16_t>(frequency);
    record.LogIdCode = static_cast<uint8_t>(idCode);
    record.UniqueId[position] = point;
    record.ParametersInLog = static_cast<uint8_t>(position + 1);
    return true;
}

bool RemovePoint(LogConfigRecord& record, int log, int position)
{
    const int entries = EntriesInUse(record);
    if (position < 1 || position >= entries || record.UniqueId[position] == 0) return false;
    record.LOG_NUMBER = static_cast<uint8_t>(log);
    for (int i = position; i + 1 < entries; ++i) record.UniqueId[i] = record.UniqueId[i + 1];
    record.UniqueId[entries - 1] = 0;
    record.ParametersInLog = static_cast<uint8_t>(entries - 1);
    return true;
}

FrequencyCheck CheckFrequency(const QString& text, bool daily, int& value)
{
    const QString t = text.trimmed();
    if (text.isEmpty()) return FrequencyCheck::Empty;
    bool ok = false;
    const int v = t.toInt(&ok);
    if (!ok) return FrequencyCheck::NotNumber;
    if (daily) {
        if (v < 0 || v > 23) return FrequencyCheck::OutOfRange;
    } else {
        if (v < 0) return FrequencyCheck::Negative;
        if (v > 0xFFFF) return FrequencyCheck::OutOfRange;
    }
    value = v;
    return FrequencyCheck::Ok;
}

QString FrequencyMessage(FrequencyCheck check, const QString& text)
{
    switch (check) {
    case FrequencyCheck::OutOfRange: return QStringLiteral("The value is out of range.");
    case FrequencyCheck::Negative: return QStringLiteral("The value should be positive.");
    case FrequencyCheck::NotNumber: return QStringLiteral("'%1' is not a valid integer value").arg(text);
    case FrequencyCheck::Empty:
    case FrequencyCheck::Ok: break;
    }
    return QString();
}

}  // namespace logsetup
