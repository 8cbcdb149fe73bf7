// The largest archive: 500,000 frames of seven four-byte values (about 18.5 MB of archive
// memory) decoded into the archive database, in memory order and from a ring that wrapped
// half-way (half the frames arrive out of token order). Reports the decoding rate in MB/s of
// archive memory and the bytes the decoded archive holds. Targets: at least 200 MB/s, under
// 150 MB.
#include "tests/sim/core/archive_frames.h"
#include "tevrin/pages/analysis/archive_xml.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/rtdb/bounded_buffer.h"
#include "tevrin/rtdb/database.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstring>
#include <malloc.h>
#include <fstream>
#include <string>
#include <thread>

namespace {

constexpr int kFrames = 500000;

QByteArray MakeMemory(size_t wrapAt)
{
    DataBase* db = DataBase::Instance();
    for (int i = 0; i < kLogCount; ++i) {
        LogConfigRecord r{};
        r.Enable = 1;
        r.LogIdCode = static_cast<uint8_t>(i + 1);
        r.ParametersInLog = 8;
        // Floats and 32-bit counters.
        for (int k = 1; k < 8; ++k) r.UniqueId[k] = k % 2 ? 395 : 500;
        db->LogRecord(i) = r;
    }
    std::vector<sim::ArchiveFrame> frames(kFrames);
    for (int k = 0; k < kFrames; ++k) {
        sim::ArchiveFrame& f = frames[static_cast<size_t>(k)];
        f.id = static_cast<uint8_t>(1 + k % 5);
        f.token = 100000u + static_cast<uint32_t>(k) * 60u;
        for (int v = 0; v < 7; ++v)
            f.values.push_back({v % 2 ? 1000u + static_cast<uint32_t>(k) : sim::FloatBits(0.25f * static_cast<float>(k % 4000)), 4});
    }
    return sim::ArchiveMemory(frames, wrapAt);
}

long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        long value;
        if (key == "VmRSS:" && status >> value) return value;
    }
    return 0;
}

void Decode(benchmark::State& state, size_t wrapAt)
{
    const QByteArray memory = MakeMemory(wrapAt);
    LogDBManager* m = LogDBManager::Instance();
    for (auto _ : state) {
        m->Clear();
        m->Feed(reinterpret_cast<const uint8_t*>(memory.constData()), static_cast<size_t>(memory.size()));
        m->BuildLogLists();
        benchmark::DoNotOptimize(m->EntryCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * memory.size());
    state.counters["memory_MB"] = memory.size() / 1e6;
    state.counters["entries"] = m->EntryCount();
    state.counters["held_MB"] = m->MemoryBytes() / 1e6;
}

// The same through the bounded buffer and a second thread, as the archive read hands it over.
void DecodeThroughTheBuffer(benchmark::State& state)
{
    const QByteArray memory = MakeMemory(0);
    LogDBManager* m = LogDBManager::Instance();
    std::vector<unsigned char> area(static_cast<size_t>(memory.size()));
    for (auto _ : state) {
        m->Clear();
        boundedBuffer buffer(area.data(), static_cast<int>(area.size()));
        std::thread worker([&] {
            unsigned char chunk[4096];
            for (int got; (got = buffer.GetMany(chunk, sizeof chunk)) > 0;) m->Feed(chunk, static_cast<size_t>(got));
            m->BuildLogLists();
        });
        const auto* bytes = reinterpret_cast<const unsigned char*>(memory.constData());
        for (int at = 0; at < memory.size(); at += 200) buffer.PutMany(bytes + at, std::min<int>(200, static_cast<int>(memory.size()) - at));
        buffer.Close();
        worker.join();
        benchmark::DoNotOptimize(m->EntryCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * memory.size());
    state.counters["entries"] = m->EntryCount();
}

void DecodeInOrder(benchmark::State& state) { Decode(state, 0); }
void DecodeWrappedRing(benchmark::State& state) { Decode(state, kFrames / 2); }

// Growth of the resident memory over one decode of the largest archive (run first, after
// the memory that made the test data is handed back).
void ResidentGrowth(benchmark::State& state)
{
    const QByteArray memory = MakeMemory(kFrames / 2);
    LogDBManager* m = LogDBManager::Instance();
    m->Clear();
    long grown = 0;
    for (auto _ : state) {
        m->Clear();
        malloc_trim(0);
        const long before = ResidentKiB();
        m->Feed(reinterpret_cast<const uint8_t*>(memory.constData()), static_cast<size_t>(memory.size()));
        m->BuildLogLists();
        grown = std::max(grown, ResidentKiB() - before);
    }
    state.counters["rss_growth_MB"] = grown / 1024.0;
    state.counters["held_MB"] = m->MemoryBytes() / 1e6;
}

// The largest archive to the archive XML file and back (not a target; for reference).
void XmlFileRoundTrip(benchmark::State& state)
{
    const QByteArray memory = MakeMemory(0);
    LogDBManager* m = LogDBManager::Instance();
    m->Clear();
    m->Feed(reinterpret_cast<const uint8_t*>(memory.constData()), static_cast<size_t>(memory.size()));
    m->BuildLogLists();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("archive.xml"));
    for (auto _ : state) {
        WriteArchiveXml(path, *m, DataBase::Instance()->LogRecords());
        ArchiveFile file;
        ReadArchiveXml(path, file);
        benchmark::DoNotOptimize(file.entries.size());
    }
    state.counters["file_MB"] = QFileInfo(path).size() / 1e6;
}

}  // namespace

BENCHMARK(ResidentGrowth)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(XmlFileRoundTrip)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(DecodeInOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(DecodeWrappedRing)->Unit(benchmark::kMillisecond);
BENCHMARK(DecodeThroughTheBuffer)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
