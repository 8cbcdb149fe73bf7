// The living unit: what a simulated analyzer that has been running for days holds (identity,
// names, results, the five logs configured and their archive, the event log) and how it moves on
// as its clock runs (the analysis states of a run, the sequence of run types, new results,
// records and events). Everything follows from the start time and the run count; nothing is
// random, so two units made at the same moment hold the same bytes.
#include "tests/sim/core/analyzer_core.h"

#include "tests/sim/core/archive_frames.h"
#include "tests/sim/core/value_codec.h"
#include "tevrin/rtdb/catalogue/catalogue_rows.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace sim {

namespace {

// Point ids the living unit sets or moves.
enum : int {
    kUnitId = 0, kUnitSite = 1, kUnitLocation = 2,
    kGain = 21, kZero = 22, kCalibrationGas = 28, kReference1Gas = 33, kReference2Gas = 1272, kZeroGas = 38,
    kSampleName = 45, kTotalSulphurName = 611, kCalibrationName = 68, kReference1Name = 91,
    kReference2Name = 1269, kZeroName = 114, kUnits = 463,
    kRunCounter = 29, kTapeRemaining = 520, kClock = 388, kDayOfWeek = 460,
    kRunType = 391, kStream = 392, kRunNumber = 393, kTotalRuns = 394, kCurrentResult = 395,
    kSensorMv = 396, kDvDt = 397, kLiveZeroOffset = 398, kLiveGain = 399, kSensorTemperature = 400,
    kLedCurrent = 401, kAnalysisState = 402, kRawSensorMv = 482, kAnalysisTime = 506,
    kTimeAtCompletion = 8, kVoltageAtCompletion = 9, kTrendedReading = 39, kSequencerState = 1431,
    kSampleReading = 450, kCalibrationReading = 451, kReference1Reading = 452, kReference2Reading = 1411,
    kZeroReading = 453,
    kHourAverage = 489, kHourMinimum = 490, kHourMaximum = 491,
    kDayAverage = 492, kDayMinimum = 493, kDayMaximum = 494,
    kAnalogOutput1 = 486, kAnalogInput1 = 1532,
};

// The analysis states of one run, in order, with their lengths in seconds.
struct Phase {
    int state;
    int seconds;
};
constexpr Phase kPhases[] = {
    {2, 5},    // Purging
    {4, 3},    // Tape Advance Go
    {3, 2},    // Tape Advance Halt
    {7, 4},    // Auto Zero
    {8, 4},    // Sample Delay
    {9, 20},   // Sample Interval
    {10, 2},   // Update Stream
    {1, 5},    // Idle
};
constexpr int kSampleIntervalPhase = 5;
constexpr int kUpdatePhase = 6;

constexpr int PhaseStart(int phase)
{
    int start = 0;
    for (int k = 0; k < phase; ++k) start += kPhases[k].seconds;
    return start;
}
constexpr int kRunSeconds = PhaseStart(int(std::size(kPhases)));

// Run types by run count: five sample runs, then the checks reference 1, reference 2, zero and
// calibration.
constexpr int kSequence[] = {0, 0, 0, 0, 0, 2, 3, 4, 5};
constexpr int kSequenceLength = int(std::size(kSequence));
constexpr int kAutomaticSequencer = 1;
constexpr int kManualSequence1 = 3;

constexpr int kTotalAnalysisRuns = 3;
constexpr int kFirstRunCount = 12000;   // the run counter when the unit is made
constexpr int kHistoryRuns = 200;       // "On Run" records already in the archive
constexpr double kTapeFeet = 300.0;
constexpr double kTapePerRun = 0.05;

// The five logs a living unit records, with the ids of their values (the time stamp first).
struct LivingLog {
    uint8_t idCode;
    uint16_t frequency;
    std::vector<uint16_t> ids;
};
const LivingLog kLogs[] = {
    {9, 0, {kClock, kRunType, kCurrentResult, kVoltageAtCompletion, kSensorTemperature, kLedCurrent, kRunCounter}},   // On Run
    {17, 0, {kClock, kHourAverage, kHourMinimum, kHourMaximum, kSensorTemperature}},                      // Hourly
    {25, 0, {kClock, kDayAverage, kDayMinimum, kDayMaximum}},                 // Daily, taken at midnight
    {33, 900, {kClock, kSensorMv, kLedCurrent, kTapeRemaining}},             // Periodic 1, every 15 minutes
    {41, 3600, {kClock, kAnalogInput1, kAnalogOutput1, kTrendedReading}},    // Periodic 2, every hour
};
constexpr uint8_t kPeriodic3IdCode = 49;   // configured, not enabled

constexpr int kArchiveMemorySize = 16384;
constexpr int kEventMemorySize = 4000;
constexpr int kHistoryDays = 7;

// A number in [-1, 1] that follows from n alone.
double Noise(uint32_t n)
{
    uint64_t z = n + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return double(z % 20001) / 10000.0 - 1.0;
}

constexpr double kPi = 3.14159265358979323846;

// The result of run `count` of a run type.
double Result(int runType, int count)
{
    switch (runType) {
    case 0: return 4.2 + 0.8 * std::sin(count * 2 * kPi / 96) + 0.15 * Noise(uint32_t(count));
    case 2: return 5.0 + 0.05 * Noise(uint32_t(count) * 3 + 1);
    case 3: return 2.0 + 0.04 * Noise(uint32_t(count) * 5 + 2);
    case 4: return 0.02 + 0.015 * Noise(uint32_t(count) * 7 + 3);
    case 5: return 10.0 + 0.06 * Noise(uint32_t(count) * 11 + 4);
    default: return 0;
    }
}

int RunTypeOf(int count) { return kSequence[count % kSequenceLength]; }

int ResultPoint(int runType)
{
    switch (runType) {
    case 0: return kSampleReading;
    case 2: return kReference1Reading;
    case 3: return kReference2Reading;
    case 4: return kZeroReading;
    case 5: return kCalibrationReading;
    default: return -1;
    }
}

// The sensor's millivolts t seconds into the sample interval of a run that ends at `result`.
double SensorMv(double result, int t)
{
    const double full = 40.0 * result + 12.0;
    return full * (1.0 - std::exp(-0.15 * (t + 1)));
}

// Seconds since midnight.
int SecondOfDay(const QDateTime& t) { return t.time().msecsSinceStartOfDay() / 1000; }

struct Pending {
    QDateTime time;
    QByteArray bytes;
};

}  // namespace

int AnalyzerCore::LivingRunSeconds() { return kRunSeconds; }

bool AnalyzerCore::IsLiving() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return living_;
}

void AnalyzerCore::PutReading(int dbId, double value, Copy which)
{
    const int row = RowOfDbId(dbId);
    const QByteArray raw = EncodeNumber(row, value);
    if (which != Copy::Flash) working_.values[size_t(row)] = raw;
    if (which != Copy::Working) flash_.values[size_t(row)] = raw;
}

double AnalyzerCore::Reading(int dbId) const
{
    const int row = RowOfDbId(dbId);
    return DecodeNumber(row, working_.values[size_t(row)]);
}

uint32_t AnalyzerCore::ClockToken() const
{
    return uint32_t(Reading(kClock));
}

QByteArray AnalyzerCore::LogFrame(int log, uint32_t token) const
{
    const LogConfigRecord& record = working_.logs[size_t(log)];
    if (!record.Enable || record.ParametersInLog < 1) return {};
    ArchiveFrame frame;
    frame.id = record.LogIdCode;
    frame.token = token;
    int payload = 4;
    for (int j = 1; j < std::min<int>(record.ParametersInLog, 8); ++j) {
        const int row = RowOfDbId(record.UniqueId[j]);
        const int type = row >= 0 ? rosetta::kCatalogueRows[row].typeCode : 0;
        // The archive's widths: 4 bytes for floats and unsigned longs, 2 for words, 1 for the rest.
        const int width = type == 0 || type == 1 ? 4 : type == 2 ? 2 : 1;
        if (payload + width > 32) break;
        payload += width;
        uint32_t bits = 0;
        if (row >= 0 && !IsTextType(type)) {
            const QByteArray& raw = working_.values[size_t(row)];
            std::memcpy(&bits, raw.constData(), size_t(std::min<qsizetype>(raw.size(), 4)));
        }
        if (width < 4) bits &= (1u << (8 * width)) - 1;
        frame.values.push_back({bits, width});
    }
    return ArchiveFrameBytes(frame);
}

// Writes at the memory's write position, over what was there; a record that would pass the end
// of the memory starts again at its beginning (the memory is a ring). A memory that a test set
// or a wipe emptied grows up to the ring's size.
static void WriteRing(QByteArray& memory, int& at, const QByteArray& bytes, int ringSize)
{
    at = std::min<int>(at, int(memory.size()));
    if (at + bytes.size() > ringSize) at = 0;
    if (at + bytes.size() > memory.size()) memory.resize(at + bytes.size());
    std::memcpy(memory.data() + at, bytes.constData(), size_t(bytes.size()));
    at += int(bytes.size());
}

void AnalyzerCore::AppendArchive(const QByteArray& bytes)
{
    if (!bytes.isEmpty()) WriteRing(archive_, archiveWrite_, bytes, kArchiveMemorySize);
}

void AnalyzerCore::AppendEvent(uint32_t token, uint8_t type, uint8_t detail, uint8_t value)
{
    WriteRing(events_, eventWrite_, EventRecordBytes({token, type, detail, value}), kEventMemorySize);
}

void AnalyzerCore::MakeLiving(const QDateTime& start)
{
    living_ = true;
    // The analyzer's clock has whole seconds and no time zone.
    const QDateTime now(start.date(), QTime(start.time().hour(), start.time().minute(), start.time().second()), Qt::UTC);

    // Who and what the unit is.
    for (Config* config : {&working_, &flash_}) {
        Config& c = *config;
        auto text = [&](int dbId, const char* t) { c.values[size_t(RowOfDbId(dbId))] = QByteArray(t); };
        text(kUnitId, "AN-0417");
        text(kUnitSite, "North Terminal");
        text(kUnitLocation, "Line 2 Sampler");
        // Run kind names as short as the unit's display takes them.
        text(kSampleName, "Sample");
        text(kTotalSulphurName, "TS");
        text(kCalibrationName, "Cal");
        text(kReference1Name, "Ref 1");
        text(kReference2Name, "Ref 2");
        text(kZeroName, "Zero");
        text(kUnits, "ppm");
        for (int log = 0; log < kLogCount; ++log) {
            LogConfigRecord& r = c.logs[size_t(log)];
            r = LogConfigRecord{};
            r.LOG_NUMBER = uint8_t(log);
            r.UniqueId[0] = kClock;
            if (log < int(std::size(kLogs))) {
                const LivingLog& l = kLogs[log];
                r.Enable = 1;
                r.Frequency = l.frequency;
                r.LogIdCode = l.idCode;
                r.ParametersInLog = uint8_t(l.ids.size());
                for (size_t j = 0; j < l.ids.size(); ++j) r.UniqueId[j] = l.ids[j];
            } else {
                r.LogIdCode = kPeriodic3IdCode;
                r.ParametersInLog = 1;
            }
        }
    }
    PutReading(kGain, 1.04, Copy::Both);
    PutReading(kZero, 0.018, Copy::Both);
    PutReading(kCalibrationGas, 10.0, Copy::Both);
    PutReading(kReference1Gas, 5.0, Copy::Both);
    PutReading(kReference2Gas, 2.0, Copy::Both);
    PutReading(kTotalRuns, kTotalAnalysisRuns, Copy::Both);
    PutReading(kLiveZeroOffset, 0.018, Copy::Both);
    PutReading(kLiveGain, 1.04, Copy::Both);
    PutReading(kSequencerState, kAutomaticSequencer, Copy::Both);
    PutReading(kAnalysisState, kPhases[std::size(kPhases) - 1].state, Copy::Both);
    PutReading(kClock, TimeToken(now), Copy::Both);
    PutReading(kDayOfWeek, now.date().dayOfWeek() % 7 + 1, Copy::Both);

    // The archive, oldest first: the values of each record are set in the points, then the
    // record is made from the log's configuration as the unit would make it.
    std::vector<Pending> records;
    auto record = [&](int log, const QDateTime& t) { records.push_back({t, LogFrame(log, TimeToken(t))}); };
    for (int k = kHistoryRuns; k >= 1; --k) {
        const int count = kFirstRunCount - k;
        const int type = RunTypeOf(count);
        const double result = Result(type, count);
        const QDateTime t = now.addSecs(-qint64(k) * kRunSeconds - (kRunSeconds - PhaseStart(kUpdatePhase)));
        PutReading(kRunType, type, Copy::Both);
        PutReading(kCurrentResult, result, Copy::Both);
        if (ResultPoint(type) >= 0) PutReading(ResultPoint(type), result, Copy::Both);
        if (type == 0) PutReading(kTrendedReading, result, Copy::Both);
        PutReading(kAnalysisTime, kPhases[kSampleIntervalPhase].seconds, Copy::Both);
        PutReading(kTimeAtCompletion, kPhases[kSampleIntervalPhase].seconds, Copy::Both);
        PutReading(kVoltageAtCompletion, SensorMv(result, kPhases[kSampleIntervalPhase].seconds - 1), Copy::Both);
        PutReading(kSensorTemperature, 45.0 + 0.3 * Noise(uint32_t(count) * 13), Copy::Both);
        PutReading(kLedCurrent, 18.5 + 0.2 * Noise(uint32_t(count) * 47), Copy::Both);
        PutReading(kRunCounter, count + 1, Copy::Both);
        record(0, t);
    }
    const QDateTime lastHour(now.date(), QTime(now.time().hour(), 0), Qt::UTC);
    for (int h = 72; h >= 0; --h) {
        const QDateTime t = lastHour.addSecs(-3600LL * h);
        const double wave = 4.2 + 0.6 * std::sin(h * 2 * kPi / 24);
        PutReading(kHourAverage, wave + 0.05 * Noise(uint32_t(h) * 17), Copy::Both);
        PutReading(kHourMinimum, wave - 0.3 - 0.1 * std::abs(Noise(uint32_t(h) * 19)), Copy::Both);
        PutReading(kHourMaximum, wave + 0.3 + 0.1 * std::abs(Noise(uint32_t(h) * 23)), Copy::Both);
        PutReading(kSensorTemperature, 45.0 + 0.8 * std::sin(h * 2 * kPi / 24 + 1), Copy::Both);
        record(1, t);
        PutReading(kAnalogInput1, 12.0 + 2.0 * Noise(uint32_t(h) * 29), Copy::Both);
        PutReading(kAnalogOutput1, 4.0 + 16.0 * wave / 10.0, Copy::Both);
        PutReading(kTrendedReading, wave, Copy::Both);
        record(4, t);
    }
    for (int d = kHistoryDays; d >= 1; --d) {
        const QDateTime t(now.date().addDays(1 - d), QTime(0, 0), Qt::UTC);
        const double average = 4.2 + 0.2 * Noise(uint32_t(d) * 31);
        PutReading(kDayAverage, average, Copy::Both);
        PutReading(kDayMinimum, average - 0.8 - 0.1 * std::abs(Noise(uint32_t(d) * 37)), Copy::Both);
        PutReading(kDayMaximum, average + 0.8 + 0.1 * std::abs(Noise(uint32_t(d) * 41)), Copy::Both);
        record(2, t);
    }
    const QDateTime lastQuarter = lastHour.addSecs(SecondOfDay(now) % 3600 / 900 * 900);
    for (int q = 96; q >= 0; --q) {
        const QDateTime t = lastQuarter.addSecs(-900LL * q);
        PutReading(kSensorMv, 180.0 + 60.0 * std::sin(q * 2 * kPi / 96) + 20.0 * Noise(uint32_t(q) * 43), Copy::Both);
        PutReading(kLedCurrent, 18.5 + 0.2 * Noise(uint32_t(q) * 47), Copy::Both);
        PutReading(kTapeRemaining, kTapeFeet + kTapePerRun * 20 * q, Copy::Both);
        record(3, t);
    }
    std::stable_sort(records.begin(), records.end(), [](const Pending& a, const Pending& b) { return a.time < b.time; });
    archive_.clear();
    for (const Pending& r : records) archive_.append(r.bytes);
    archiveWrite_ = int(archive_.size());
    archive_.append(QByteArray(std::max(0, kArchiveMemorySize - int(archive_.size())), char(0xFF)));

    // The present readings: the last result of every run type, the sensor at rest.
    for (int type : {0, 2, 3, 4, 5}) {
        int count = kFirstRunCount - 1;
        while (RunTypeOf(count) != type) --count;
        PutReading(ResultPoint(type), Result(type, count), Copy::Both);
    }
    const int last = kFirstRunCount - 1;
    PutReading(kRunType, RunTypeOf(last), Copy::Both);
    PutReading(kCurrentResult, Result(RunTypeOf(last), last), Copy::Both);
    PutReading(kRunCounter, kFirstRunCount, Copy::Both);
    PutReading(kSensorTemperature, 45.0, Copy::Both);
    PutReading(kLedCurrent, 18.5, Copy::Both);
    PutReading(kSensorMv, 0.0, Copy::Both);
    PutReading(kRawSensorMv, 35.0, Copy::Both);
    PutReading(kTapeRemaining, kTapeFeet, Copy::Both);
    runSecond_ = kRunSeconds - 1;   // the last history run is at its end: the next second starts one
    runs_ = 0;
    hourCount_ = dayCount_ = 0;

    // The event log: a week of the unit's life, every kind of event, oldest first.
    struct Event {
        QDateTime time;
        uint8_t type, detail, value;
    };
    std::vector<Event> events;
    const uint8_t alarms[] = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 30, 34, 38, 42,
                              50, 51, 52, 56, 57, 58, 59, 60, 61, 62, 63, 64};
    int alarm = 0;
    for (int d = kHistoryDays; d >= 0; --d) {
        const QDate day = now.date().addDays(-d);
        auto at = [&](int hour, int minute, uint8_t type, uint8_t detail, uint8_t value) {
            events.push_back({QDateTime(day, QTime(hour, minute, (hour * 7 + minute) % 60), Qt::UTC), type, detail, value});
        };
        if (d == kHistoryDays) {
            at(0, 5, 0, 0, 0);    // Power Up
            at(0, 7, 1, 0, 0);    // Time Changed
            at(0, 12, 3, 0, 0);   // Configuration Changed
        }
        for (int k = 0; k < 2; ++k) {   // alarms that come and go
            const uint8_t code = alarms[size_t(alarm++ % int(std::size(alarms)))];
            at(2 + 9 * k, 14, 4, code, 0);
            at(2 + 9 * k, 41, 4, code, 1);
        }
        at(4, 0, 2, 0, 0);             // Bypass on and off
        at(4, 25, 2, 0, 1);
        at(5, 30, 8, 0, 0);            // Bypass Timeout
        at(6, 2, 9, 0, 2);             // the checks: Reference 1, Reference 2, Zero, Calibrate
        at(6, 3, 9, 0, 3);
        at(6, 4, 9, 0, 4);
        at(6, 5, 9, 0, 5);
        at(7, 45, 10, uint8_t(d % 16), 0);   // a latch set and cleared
        at(7, 50, 10, uint8_t(d % 16), 1);
        at(8, 10, 7, 0, 0);            // Direct Control on and off
        at(8, 18, 7, 0, 1);
        at(10, 0, 9, 0, 0);            // a sample run
        at(13, 20, 5, 0, 0);           // below the low temperature limit, then back
        at(13, 55, 5, 0, 1);
        at(15, 5, 6, 0, 0);            // above the high temperature limit, then back
        at(15, 40, 6, 0, 1);
        at(17, 30, 11, 0, 0);          // Automatic Temperature Calibrate
        if (d == 3) {
            at(19, 0, 0, 0, 0);        // a power failure and the clock set again
            at(19, 1, 1, 0, 0);
            at(19, 10, 3, 0, 0);
        }
        at(20, 0, 9, 0, 0);
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.time < b.time; });
    events_.clear();
    eventWrite_ = 0;
    for (const Event& e : events)
        if (e.time <= now) AppendEvent(TimeToken(e.time), e.type, e.detail, e.value);
    events_.append(QByteArray(std::max(0, kEventMemorySize - int(events_.size())), char(0xFF)));
}

void AnalyzerCore::AdvanceTime(double seconds)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!living_ || !(seconds > 0)) return;
    pendingSeconds_ += std::min(seconds, 86400.0);
    while (pendingSeconds_ >= 1.0) {
        pendingSeconds_ -= 1.0;
        LiveOneSecond();
    }
}

void AnalyzerCore::StartRun()
{
    const int count = kFirstRunCount + runs_;
    ++runs_;
    runType_ = RunTypeOf(count);
    PutReading(kRunType, runType_);
    PutReading(kStream, 0);
    PutReading(kRunNumber, runType_ == 0 ? count % kTotalAnalysisRuns : 0);
    PutReading(kSequencerState, runType_ == 0 ? kAutomaticSequencer : kManualSequence1);
    PutReading(kAnalysisTime, 0);
    PutReading(kSensorMv, 0);
    PutReading(kDvDt, 0);
    PutReading(kRawSensorMv, 35.0);
    AppendEvent(ClockToken(), 9, 0, uint8_t(runType_));   // "Run initiated", stream 1
}

void AnalyzerCore::FinishRun()
{
    const int count = kFirstRunCount + runs_ - 1;
    const double result = Result(runType_, count);
    if (ResultPoint(runType_) >= 0) PutReading(ResultPoint(runType_), result);
    PutReading(kCurrentResult, result);
    PutReading(kTimeAtCompletion, kPhases[kSampleIntervalPhase].seconds);
    PutReading(kVoltageAtCompletion, Reading(kSensorMv));
    PutReading(kRunCounter, Reading(kRunCounter) + 1);
    PutReading(kTapeRemaining, std::max(0.0, Reading(kTapeRemaining) - kTapePerRun));
    PutReading(kSensorTemperature, 45.0 + 0.3 * Noise(uint32_t(count) * 13));
    PutReading(kLedCurrent, 18.5 + 0.2 * Noise(uint32_t(count) * 47));
    if (runType_ == 0) {
        const double trended = 0.7 * Reading(kTrendedReading) + 0.3 * result;
        PutReading(kTrendedReading, trended);
        PutReading(kAnalogOutput1, 4.0 + 16.0 * std::clamp(trended / 10.0, 0.0, 1.0));
        hourSum_ += result;
        hourMin_ = hourCount_ == 0 ? result : std::min(hourMin_, result);
        hourMax_ = hourCount_ == 0 ? result : std::max(hourMax_, result);
        ++hourCount_;
        daySum_ += result;
        dayMin_ = dayCount_ == 0 ? result : std::min(dayMin_, result);
        dayMax_ = dayCount_ == 0 ? result : std::max(dayMax_, result);
        ++dayCount_;
        PutReading(kHourAverage, hourSum_ / hourCount_);
        PutReading(kHourMinimum, hourMin_);
        PutReading(kHourMaximum, hourMax_);
        PutReading(kDayAverage, daySum_ / dayCount_);
        PutReading(kDayMinimum, dayMin_);
        PutReading(kDayMaximum, dayMax_);
    }
    AppendArchive(LogFrame(0, ClockToken()));   // "On Run"
}

void AnalyzerCore::LiveOneSecond()
{
    // The clock, unless it was set to a time that is none.
    QDateTime clock = TokenTime(ClockToken());
    if (clock.isValid()) {
        clock = clock.addSecs(1);
        if (const uint32_t token = TimeToken(clock)) {
            PutReading(kClock, token);
            PutReading(kDayOfWeek, clock.date().dayOfWeek() % 7 + 1);
        } else {
            clock = QDateTime();
        }
    }

    // The run.
    runSecond_ = (runSecond_ + 1) % kRunSeconds;
    if (runSecond_ == 0) StartRun();
    int phase = 0;
    while (runSecond_ >= PhaseStart(phase + 1)) ++phase;
    PutReading(kAnalysisState, kPhases[phase].state);
    if (phase == kSampleIntervalPhase) {
        const int t = runSecond_ - PhaseStart(phase);
        const double result = Result(runType_, kFirstRunCount + runs_ - 1);
        const double mv = SensorMv(result, t);
        PutReading(kDvDt, mv - Reading(kSensorMv));
        PutReading(kSensorMv, mv);
        PutReading(kRawSensorMv, mv + 35.0);
        PutReading(kAnalysisTime, t + 1);
    }
    if (runSecond_ == PhaseStart(kUpdatePhase)) FinishRun();

    // The logs the clock drives, when their time comes.
    if (!clock.isValid()) return;
    const int second = SecondOfDay(clock);
    const uint32_t token = TimeToken(clock);
    for (int log = 1; log < int(std::size(kLogs)); ++log) {
        const LogConfigRecord& r = working_.logs[size_t(log)];
        bool due = false;
        if (log == 1) due = second % 3600 == 0;
        else if (log == 2) due = second == (r.Frequency % 24) * 3600;
        else due = r.Frequency > 0 && second % r.Frequency == 0;
        if (due) AppendArchive(LogFrame(log, token));
    }
    if (second % 3600 == 0) hourCount_ = 0, hourSum_ = 0;
    if (second == 0) dayCount_ = 0, daySum_ = 0;
}

}  // namespace sim
