// The living unit: what a new simulated analyzer holds (its logs configured, an archive of the
// past days that decodes record by record, an event log of every kind) and how it moves on with
// its clock (the analysis states of a run, the sequence of run types, results that change, new
// records and events); and the blank unit that stands still.
#include "tests/sim/core/analyzer_core.h"
#include "tests/sim/core/archive_frames.h"
#include "tevrin/rtdb/catalogue/catalogue_rows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <vector>

using sim::AnalyzerCore;
using sim::DbId;

namespace {

const QDateTime kNow(QDate(2026, 12, 10), QTime(14, 37, 20), Qt::UTC);

// Reads stuffed records out of a memory: 0xDE, then `size` bytes in which 0xDE travels as
// 0xDE 0xAD. A record whose stuffing breaks is counted as broken.
struct Unstuffed {
    std::vector<QByteArray> records;   // the bytes after the start byte
    int broken = 0;
};

Unstuffed Records(const QByteArray& memory, bool archive)
{
    Unstuffed out;
    int i = 0;
    const int n = int(memory.size());
    while (i < n) {
        if (uint8_t(memory[i++]) != 0xDE) continue;
        QByteArray body;
        bool ok = true;
        int want = archive ? 2 : 9;   // an archive frame's length comes in its second byte
        while (ok && body.size() < want && i < n) {
            uint8_t b = uint8_t(memory[i++]);
            if (b == 0xDE) {
                if (i < n && uint8_t(memory[i]) == 0xAD) {
                    ++i;
                } else {
                    ok = false;   // the 0xDE may start the next record
                    --i;
                }
            }
            body.append(char(b));
            if (archive && body.size() == 2) want = uint8_t(body[1]) + 2;   // id, L, payload, CRC
        }
        if (!ok || body.size() < want) {
            ++out.broken;
            continue;
        }
        const uint16_t crc = uint16_t(uint8_t(body[want - 2]) | (uint8_t(body[want - 1]) << 8));
        if (sim::ArchiveCrc(body.left(want - 2)) != crc) {
            ++out.broken;
            continue;
        }
        out.records.push_back(body.left(want - 2));
    }
    return out;
}

uint32_t U32(const QByteArray& b, int at)
{
    uint32_t v;
    std::memcpy(&v, b.constData() + at, 4);
    return v;
}

struct Sample {
    int log;
    QDateTime time;
    std::vector<uint32_t> values;
};

// Decodes the archive with the unit's own log configurations.
std::vector<Sample> Archive(const AnalyzerCore& unit, int* broken = nullptr)
{
    std::map<int, int> logOfId;
    for (int log = 0; log < 5; ++log) logOfId[unit.LogConfig(log).LogIdCode] = log;
    std::vector<Sample> out;
    const Unstuffed u = Records(unit.ArchiveMemory(), true);
    if (broken) *broken = u.broken;
    for (const QByteArray& r : u.records) {
        const auto it = logOfId.find(uint8_t(r[0]));
        EXPECT_NE(it, logOfId.end()) << "a record of no configured log: id " << int(uint8_t(r[0]));
        if (it == logOfId.end()) continue;
        const LogConfigRecord cfg = unit.LogConfig(it->second);
        Sample s{it->second, sim::TokenTime(U32(r, 2)), {}};
        int at = 6;
        for (int j = 1; j < cfg.ParametersInLog; ++j) {
            const int type = rosetta::kCatalogueRows[AnalyzerCore::RowOfDbId(cfg.UniqueId[j])].typeCode;
            const int width = type <= 1 ? 4 : type == 2 ? 2 : 1;
            uint32_t v = 0;
            std::memcpy(&v, r.constData() + at, size_t(width));
            s.values.push_back(v);
            at += width;
        }
        EXPECT_EQ(at, r.size()) << "the record is as long as its log's values";
        out.push_back(s);
    }
    return out;
}

struct Event {
    QDateTime time;
    int type, detail, value;
};

std::vector<Event> Events(const AnalyzerCore& unit)
{
    std::vector<Event> out;
    for (const QByteArray& r : Records(unit.EventMemory(), false).records)
        out.push_back({sim::TokenTime(U32(r, 0)), uint8_t(r[4]), uint8_t(r[5]), uint8_t(r[6])});
    return out;
}

int Int(const AnalyzerCore& unit, int dbId) { return int(unit.Value(DbId{dbId})); }

}  // namespace

TEST(LivingUnit, FiveLogsConfiguredWithLoggablePointsAndAnArchiveOfThePastDays)
{
    const AnalyzerCore unit(kNow);
    EXPECT_TRUE(unit.IsLiving());
    std::set<int> ids;
    for (int log = 0; log < 6; ++log) {
        SCOPED_TRACE(log);
        const LogConfigRecord cfg = unit.LogConfig(log);
        EXPECT_EQ(cfg.LOG_NUMBER, log);
        EXPECT_EQ(cfg.UniqueId[0], 388) << "the time stamp first";
        EXPECT_TRUE(ids.insert(cfg.LogIdCode).second) << "id codes differ";
        EXPECT_EQ(cfg.LogIdCode % 8, 1) << "the codes the program hands out";
        if (log == 5) {
            EXPECT_EQ(cfg.Enable, 0);
            continue;
        }
        EXPECT_EQ(cfg.Enable, 1);
        EXPECT_GE(cfg.ParametersInLog, 4);
        for (int j = 1; j < cfg.ParametersInLog; ++j)
            EXPECT_TRUE(rosetta::kCatalogueRows[AnalyzerCore::RowOfDbId(cfg.UniqueId[j])].flags & 0x01) << cfg.UniqueId[j];
    }
    EXPECT_EQ(unit.LogConfig(3).Frequency, 900);

    int broken = -1;
    const std::vector<Sample> archive = Archive(unit, &broken);
    EXPECT_EQ(broken, 0);
    EXPECT_GE(archive.size(), 300u);
    EXPECT_LE(archive.size(), 600u);
    std::map<int, std::vector<Sample>> byLog;
    for (size_t k = 0; k < archive.size(); ++k) {
        const Sample& s = archive[k];
        ASSERT_TRUE(s.time.isValid());
        EXPECT_LE(s.time, kNow);
        EXPECT_GE(s.time, kNow.addDays(-8));
        if (k > 0) {
            EXPECT_LE(archive[k - 1].time, s.time) << "oldest first";
        }
        byLog[s.log].push_back(s);
    }
    for (int log = 0; log < 5; ++log) {
        SCOPED_TRACE(log);
        ASSERT_GE(byLog[log].size(), 7u);
        // Every value of the log varies over its records but the run counter climbs.
        for (size_t j = 0; j < byLog[log].front().values.size(); ++j) {
            std::set<uint32_t> seen;
            for (const Sample& s : byLog[log]) seen.insert(s.values[j]);
            EXPECT_GT(seen.size(), 1u) << "value " << j;
        }
    }
    // The hourly and periodic logs cover days, "On Run" the last runs, "Daily" the past week.
    EXPECT_LE(byLog[1].front().time, kNow.addDays(-2));
    EXPECT_EQ(byLog[2].size(), 7u);
    EXPECT_EQ(byLog[2].back().time, QDateTime(kNow.date(), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(byLog[0].back().values.back(), uint32_t(Int(unit, 29))) << "the last run's counter";
    // The memory is not full: room follows the records.
    EXPECT_EQ(unit.CurrentLogStatus().value[1], uint32_t(unit.ArchiveMemory().size()));
    EXPECT_EQ(unit.ArchiveMemory().right(100), QByteArray(100, char(0xFF)));
}

TEST(LivingUnit, EventLogHoldsEveryKindOverThePastWeekAndResultsAreSet)
{
    const AnalyzerCore unit(kNow);
    const std::vector<Event> events = Events(unit);
    EXPECT_GE(events.size(), 80u);
    std::set<int> types, alarms, runValues;
    for (size_t k = 0; k < events.size(); ++k) {
        const Event& e = events[k];
        ASSERT_TRUE(e.time.isValid());
        EXPECT_LE(e.time, kNow);
        EXPECT_GE(e.time, kNow.addDays(-8));
        if (k > 0) {
            EXPECT_LE(events[k - 1].time, e.time);
        }
        types.insert(e.type);
        if (e.type == 4) alarms.insert(e.detail);
        if (e.type == 9) runValues.insert(e.value);
    }
    EXPECT_EQ(types, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_GE(alarms.size(), 10u);
    EXPECT_EQ(runValues, (std::set<int>{0, 2, 3, 4, 5}));
    const QByteArray memory = unit.EventMemory();
    EXPECT_EQ(memory.right(1000), QByteArray(1000, char(0xFF))) << "an event memory with room";

    for (int id : {450, 451, 452, 453, 1411, 395, 39, 400, 401, 520, 21})
        EXPECT_NE(unit.Value(DbId{id}), 0) << id;
    EXPECT_EQ(Int(unit, 20), 0) << "one stream: the logon asks nothing";
    EXPECT_EQ(unit.Text(DbId{463}), "ppm");
    EXPECT_EQ(sim::TokenTime(uint32_t(unit.Value(DbId{388}))), kNow);
}

// One second at a time through nine runs: the states of each run in order, the run types of
// the sequence under their sequencer states, new results, one event and one record a run.
TEST(LivingUnit, RunsStepThroughTheAnalysisStatesAndTheSequenceWithNewResults)
{
    AnalyzerCore unit(kNow);
    const int runSeconds = AnalyzerCore::LivingRunSeconds();
    const size_t events0 = Events(unit).size();
    const size_t records0 = Archive(unit).size();
    const int counter0 = Int(unit, 29);
    std::vector<int> runTypes, sequencer;
    std::vector<double> samples;
    for (int run = 0; run < 9; ++run) {
        std::vector<int> states;
        for (int s = 0; s < runSeconds; ++s) {
            unit.AdvanceTime(1.0);
            const int state = Int(unit, 402);
            if (states.empty() || states.back() != state) states.push_back(state);
            if (state == 9) {
                EXPECT_GT(unit.Value(DbId{396}), 0) << "the sensor rises in the sample interval";
            }
        }
        EXPECT_EQ(states, (std::vector<int>{2, 4, 3, 7, 8, 9, 10, 1})) << "run " << run;
        runTypes.push_back(Int(unit, 391));
        sequencer.push_back(Int(unit, 1431));
        if (runTypes.back() == 0) samples.push_back(unit.Value(DbId{450}));
    }
    EXPECT_EQ(runTypes, (std::vector<int>{0, 0, 2, 3, 4, 5, 0, 0, 0}));
    EXPECT_EQ(sequencer, (std::vector<int>{1, 1, 3, 3, 3, 3, 1, 1, 1}));
    ASSERT_EQ(samples.size(), 5u);
    for (size_t k = 1; k < samples.size(); ++k) EXPECT_NE(samples[k], samples[k - 1]) << "a new result every run";
    EXPECT_EQ(Int(unit, 29), counter0 + 9);
    EXPECT_EQ(sim::TokenTime(uint32_t(unit.Value(DbId{388}))), kNow.addSecs(9 * runSeconds));

    const std::vector<Event> events = Events(unit);
    ASSERT_EQ(events.size(), events0 + 9);
    for (size_t k = events0; k < events.size(); ++k) {
        EXPECT_EQ(events[k].type, 9);
        EXPECT_EQ(events[k].value, runTypes[k - events0]);
    }
    const std::vector<Sample> archive = Archive(unit);
    ASSERT_EQ(archive.size(), records0 + 9) << "an On Run record a run, no hour passed";
    EXPECT_EQ(archive.back().log, 0);
    EXPECT_EQ(archive.back().values.back(), uint32_t(counter0 + 9));

    // Fractions add up to whole seconds; a blank unit does not move.
    const uint32_t clock = uint32_t(unit.Value(DbId{388}));
    for (int k = 0; k < 4; ++k) unit.AdvanceTime(0.25);
    EXPECT_EQ(sim::TokenTime(uint32_t(unit.Value(DbId{388}))), sim::TokenTime(clock).addSecs(1));
    AnalyzerCore blank(sim::Contents::Blank);
    EXPECT_FALSE(blank.IsLiving());
    blank.AdvanceTime(3600);
    for (int row = 0; row < rosetta::kCatalogueRowCount; ++row)
        ASSERT_EQ(blank.Raw(sim::Row{row}), AnalyzerCore(sim::Contents::Blank).Raw(sim::Row{row})) << row;
    EXPECT_TRUE(blank.ArchiveMemory().isEmpty());
    EXPECT_TRUE(blank.EventMemory().isEmpty());
    EXPECT_EQ(blank.LogConfig(0).Enable, 0);
}

// The clock-driven logs record on the hour and the quarter, and the memory is a ring: hours of
// running keep it at its size with the newest records in it.
TEST(LivingUnit, ClockDrivenLogsRecordOnTimeAndTheArchiveIsARing)
{
    AnalyzerCore unit(QDateTime(QDate(2026, 12, 10), QTime(23, 59, 50), Qt::UTC));
    const size_t before = Archive(unit).size();
    unit.AdvanceTime(15);
    std::vector<Sample> archive = Archive(unit);
    std::set<int> atMidnight;
    for (const Sample& s : archive)
        if (s.time == QDateTime(QDate(2026, 12, 11), QTime(0, 0), Qt::UTC)) atMidnight.insert(s.log);
    EXPECT_EQ(atMidnight, (std::set<int>{1, 2, 3, 4})) << "hourly, daily and both periodic logs";
    EXPECT_GE(archive.size(), before + 4);

    const int size = int(unit.ArchiveMemory().size());
    unit.AdvanceTime(8 * 3600);
    EXPECT_EQ(unit.ArchiveMemory().size(), size);
    archive = Archive(unit);
    const QDateTime clock = sim::TokenTime(uint32_t(unit.Value(DbId{388})));
    EXPECT_EQ(clock, QDateTime(QDate(2026, 12, 11), QTime(8, 0, 5), Qt::UTC));
    QDateTime newest;
    std::set<int> at8;
    for (const Sample& s : archive) {
        newest = std::max(newest, s.time);
        if (s.time == QDateTime(QDate(2026, 12, 11), QTime(8, 0), Qt::UTC)) at8.insert(s.log);
    }
    EXPECT_LE(newest, clock);
    EXPECT_GE(newest, clock.addSecs(-AnalyzerCore::LivingRunSeconds())) << "the last run's record";
    EXPECT_EQ(at8, (std::set<int>{1, 3, 4}));
    EXPECT_GT(archive.size(), 300u);
}
