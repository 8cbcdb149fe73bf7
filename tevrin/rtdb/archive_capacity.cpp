#include "tevrin/rtdb/archive_capacity.h"

#include "tevrin/rtdb/sequencer.h"

#include "platform/errors.h"
#include "tevrin/rtdb/catalogue/catalogue_rows.h"
#include "tevrin/rtdb/unique_log_id.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>
#include <set>
#include <unordered_map>

namespace archive_capacity {

namespace {

constexpr int kLogsWithFigures = 5;
constexpr int kMaxParameters = 8;

// [run type as the sequencer codes it][stream]
constexpr RunTimePoints kRunTimePoints[kRunKinds][kStreams] = {
    {{25, 26, 46}, {138, 139, 159}, {665, 666, 669}, {815, 816, 819}},               // 0 Sample
    {{608, 609, 612}, {633, 634, 637}, {693, 694, 697}, {843, 844, 847}},            // 1 Total Sulphur
    {{404, 405, 92}, {526, 527, 205}, {748, 749, 752}, {898, 899, 902}},             // 2 Reference 1
    {{1266, 1267, 1270}, {1292, 1293, 1296}, {1318, 1319, 1322}, {1344, 1345, 1348}},  // 3 Reference 2
    {{510, 521, 115}, {529, 530, 228}, {778, 779, 782}, {928, 929, 932}},            // 4 Zero
    {{304, 305, 69}, {523, 524, 182}, {718, 719, 722}, {868, 869, 872}},             // 5 Calibrate
};

int ValueOf(const PointText& pointText, TDbId id) { return StrToInt(pointText(id)); }

// Value width of a point by DbId, from the built-in catalogue; -1 when no row has the DbId.
int WidthOfDbId(TDbId id)
{
    static const std::unordered_map<TDbId, int> widths = [] {
        std::unordered_map<TDbId, int> m;
        for (const auto& row : rosetta::kCatalogueRows)
            m.emplace(static_cast<TDbId>(row.dbId), rosetta::ValueWidthOfType(row.typeCode));
        return m;
    }();
    const auto it = widths.find(id);
    return it == widths.end() ? -1 : it->second;
}

// Whole number below x, ignoring a shortfall that is only rounding error of the divisions
// (a log that fills the memory exactly 100000 times must not show 99999).
uint32_t CutToRecords(long double x)
{
    if (!(x > 0)) return 0;
    const long double whole = std::floor(x * (1 + 1e-12L));
    if (whole >= static_cast<long double>(std::numeric_limits<uint32_t>::max()))
        return std::numeric_limits<uint32_t>::max();
    return static_cast<uint32_t>(whole);
}

// The class library's FormatFloat with the format "0": rounded to a whole number, halves
// away from zero.
std::string FormatWhole(long double x)
{
    const long double r = std::round(x);
    char text[64];
    std::snprintf(text, sizeof text, "%.0Lf", r == 0 ? 0.0L : r);
    return text;
}

}  // namespace

const RunTimePoints* RunTimePointsOf(int stream, int runKind)
{
    if (stream < 0 || stream >= kStreams || runKind < 0 || runKind >= kRunKinds) return nullptr;
    return &kRunTimePoints[runKind][stream];
}

float AverageOnRunPeriod(const uint8_t* sequencerBlock, const PointText& pointText)
{
    const int purge = ValueOf(pointText, kPurgeTimeDbId);
    double total = purge;
    int runs = 0;
    int analyses = 0;
    const SequencerBlock block = SequencerBlockOf(sequencerBlock);
    const int depth = std::min<int>(block.Depth, kSequencerAutomaticEntries);
    for (int e = 0; e < depth; ++e) {
        const int stream = block.Automatic[e].Stream;
        const int runKind = block.Automatic[e].Run;
        const RunTimePoints* points = RunTimePointsOf(stream, runKind);
        if (!points) continue;
        const double delay = ValueOf(pointText, points->sampleDelay);
        const double interval = ValueOf(pointText, points->sampleInterval);
        const int consecutive = ValueOf(pointText, points->consecutiveRuns);
        total += delay + interval;
        ++runs;
        if (runKind == 0 || runKind == 1) ++analyses;
        if (consecutive > 1) total += (delay + interval) * (consecutive - 1);
    }
    if (runs > 1) total += static_cast<double>(runs) * purge;
    if (analyses > 0) total /= analyses;
    return static_cast<float>(total);
}

int RecordSize(const LogConfigRecord& record)
{
    const int parameters = std::min<int>(record.ParametersInLog, kMaxParameters);
    int size = kRecordOverhead;
    for (int i = 0; i < parameters; ++i) size += std::max(0, WidthOfDbId(record.UniqueId[i]));
    return size;
}

int ComputeRunTimes(const LogConfigRecord (&records)[kLogCount], uint32_t memorySize, float onRunPeriod,
                    LogCapacities& out)
{
    long double period[kLogsWithFigures];
    long double rate[kLogsWithFigures];
    long double total = 0;
    for (int k = 0; k < kLogsWithFigures; ++k) {
        switch (k) {
        case 0: period[k] = onRunPeriod; break;
        case 1: period[k] = 3600; break;
        case 2: period[k] = 86400; break;
        default: period[k] = records[k].Frequency; break;
        }
        // A period of 0 or below (a sequencer without run time) records nothing.
        if (period[k] > 0 && records[k].ParametersInLog > 1) {
            rate[k] = RecordSize(records[k]) / period[k];
            total += rate[k];
        } else {
            rate[k] = 0;
        }
    }
    long long sum = 0;
    for (int k = 0; k < kLogsWithFigures; ++k) {
        out.records[k] = 0;
        out.days[k] = "0";
        if (rate[k] != 0) {
            out.records[k] = CutToRecords(memorySize / total / period[k]);
            out.days[k] = FormatWhole(memorySize / total / 86400);
        }
        sum += out.records[k];
    }
    return static_cast<int>(std::min<long long>(sum, std::numeric_limits<int>::max()));
}

bool LogIdsAreUnique(const LogConfigRecord (&records)[kLogCount], const LogRecordSet& among)
{
    // The logs the log window shows, 0 to 4; the sixth has no tab and is not compared.
    std::set<int> seen;
    for (int k = 0; k < kLogsWithFigures; ++k)
        if (among[static_cast<size_t>(k)] && !seen.insert(records[k].LogIdCode).second) return false;
    return true;
}

bool LogIdsAreUnique(const LogConfigRecord (&records)[kLogCount])
{
    return LogIdsAreUnique(records, EveryLogRecord());
}

void ResetLogIds(LogConfigRecord (&records)[kLogCount])
{
    UniqueLogID* ids = UniqueLogID::Instance();
    ids->Clear();
    for (int k = 0; k < kLogCount; ++k) {
        records[k].LogIdCode = static_cast<uint8_t>(k + 1);
        ids->Add(k + 1);
    }
}

int32_t StrToInt(const std::string& text)
{
    const auto fail = [&text]() -> int32_t { throw EConvertError("'" + text + "' is not a valid integer value"); };
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return fail();
    long long value = 0;
    for (; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int digit;
        if (std::isdigit(c))
            digit = c - '0';
        else if (base == 16 && std::isxdigit(c))
            digit = std::tolower(c) - 'a' + 10;
        else
            return fail();
        value = value * base + digit;
        if (value > 0xFFFFFFFFLL) return fail();
    }
    if (negative) value = -value;
    // Hex texts may give the full 32-bit pattern, decimal ones must fit a signed integer.
    if (base == 16 && value > std::numeric_limits<int32_t>::max() && value <= 0xFFFFFFFFLL)
        return static_cast<int32_t>(static_cast<uint32_t>(value));
    if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min()) return fail();
    return static_cast<int32_t>(value);
}

}  // namespace archive_capacity
