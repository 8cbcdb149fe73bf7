// The communication engine against the simulated analyzer on a pseudo-terminal that paces
// its replies like a 19200 baud line. Figures: wall time over the wire time of the bytes
// exchanged (10 bits a byte, both directions; 1.0 is the line's own limit), and the share of
// one core that waiting for a silent unit costs.
#include "pollard/engine.h"
#include "pollard/exports.h"
#include "pollard/transaction.h"
#include "tests/sim/core/analyzer_core.h"
#include "tests/sim/wire/wire_server.h"

#include <QCoreApplication>
#include <QObject>
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

namespace {

constexpr int kBaud = 19200;

double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// A simulator on a pseudo-terminal and an engine connected to it.
struct Bench {
    sim::AnalyzerCore core;
    sim::WireServer wire{core};
    QObject form;   // takes the engine's notices like a main form would
    bool ok = false;

    explicit Bench(const char* backoffTicks)
    {
        if (!wire.StartPty()) return;
        wire.SetBaud(kBaud);
        Initialize();
        auto& s = pollard::Engine::Instance()->Settings();
        s.connectType = pollard::ctComPortDirect;
        s.portName = wire.PtyPath();
        s.baud = kBaud;
        s.retries = QStringLiteral("1");
        s.backoffTimer = QString::fromLatin1(backoffTicks);
        ok = CommConnect() == 0;
    }
    ~Bench()
    {
        Cleanup();
        wire.Stop();
    }
};

QByteArray Message(int type, const QByteArray& payload)
{
    QByteArray m;
    m.append(static_cast<char>(2 + payload.size()));
    m.append(static_cast<char>(type));
    return m + payload;
}

QByteArray ReadPoint(int row)
{
    QByteArray payload;
    payload.append(static_cast<char>(row & 0xFF));
    payload.append(static_cast<char>(row >> 8));
    return Message(1, payload);
}

QByteArray BlockRead(int firstRow, int count)
{
    QByteArray payload(1, static_cast<char>(count));
    for (int r = firstRow; r < firstRow + count; ++r) {
        payload.append(static_cast<char>(r & 0xFF));
        payload.append(static_cast<char>(r >> 8));
    }
    payload.append(QByteArray(41 - payload.size(), '\0'));
    return Message(50, payload);
}

// Runs `exchanges` exchanges of the request and reports wall time over wire time.
void RunReads(benchmark::State& state, const QByteArray& request, int exchanges)
{
    Bench bench("5");
    if (!bench.ok) {
        state.SkipWithError("no pseudo-terminal link");
        return;
    }
    unsigned char reply[1024];
    double wall = 0, wire = 0;
    int failures = 0;
    for (auto _ : state) {
        int64_t bytes = 0;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < exchanges; ++i) {
            int length = sizeof reply;
            const int r = SendReceive(reinterpret_cast<const unsigned char*>(request.constData()), request.size(), reply, &length, true);
            if (r != 0) {
                state.counters["last_failure_code"] = r;
                ++failures;
                continue;
            }
            bytes += (request.size() + 4) + (length + 4);
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        wall += seconds;
        wire += static_cast<double>(bytes) * 10.0 / kBaud;
    }
    state.counters["wall_over_wire"] = wire > 0 ? wall / wire : 0;
    state.counters["ms_per_exchange"] = 1000.0 * wall / (exchanges * static_cast<double>(state.iterations()));
    state.counters["failures"] = failures;
}

// The number of streams: a one-byte value, the shortest read there is.
void BM_SinglePointReads(benchmark::State& state) { RunReads(state, ReadPoint(sim::AnalyzerCore::RowOfDbId(20)), 200); }
void BM_BlockReads(benchmark::State& state) { RunReads(state, BlockRead(1, 20), 50); }

// Waits 10 s (182 ticks, one try) for a unit that never answers.
void BM_SilentUnitWait(benchmark::State& state)
{
    Bench bench("182");
    if (!bench.ok) {
        state.SkipWithError("no pseudo-terminal link");
        return;
    }
    sim::WireFaultRule silence;
    silence.fault = sim::WireFault::Silence;
    silence.times = -1;
    bench.wire.AddFault(silence);
    const QByteArray request = ReadPoint(1);
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        const double cpu0 = ThreadCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        const int result = SendReceive(reinterpret_cast<const unsigned char*>(request.constData()), request.size(),
                                       nullptr, nullptr, false);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        cpu += ThreadCpuSeconds() - cpu0;
        wall += seconds;
        if (result != 4) state.SkipWithError("the silent unit was not reported as silent");
    }
    state.counters["cpu_share_of_one_core"] = wall > 0 ? cpu / wall : 0;
    state.counters["wait_s"] = wall / static_cast<double>(state.iterations());
}

}  // namespace

BENCHMARK(BM_SinglePointReads)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlockReads)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SilentUnitWait)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
