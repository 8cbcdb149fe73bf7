// CPU cost of the database's reads against the in-process simulated analyzer: one full read
// (what logon does) and one read of the busiest page, through the same engine seam the tests
// use (Communications bound to entry points that hand each request to the simulator core). The
// simulator's own share is measured alone by replaying the same requests into it, so that the
// difference is the cost of our stack (points, block loop, message layer, engine binding).
//
// Then the full read as the program makes it: through the real communication engine over a
// pseudo-terminal to the simulator serving on its own thread; the figure is the CPU of the
// program's thread per full read (readall_engine_cpu_ms), waiting for the line included.
#include "pollard/engine.h"
#include "pollard/exports.h"
#include "tests/sim/core/analyzer_core.h"
#include "tests/sim/wire/wire_server.h"
#include "tevrin/rtdb/comm_db_point_facade.h"
#include "tevrin/rtdb/communications.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/rtdb/rosetta.h"

#include <QByteArray>
#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

namespace {

sim::AnalyzerCore* g_unit = nullptr;

int SendReceive(const unsigned char* request, int requestLength, unsigned char* reply, int* replyLength, bool)
{
    const std::optional<QByteArray> answer =
        g_unit->Handle(QByteArray(reinterpret_cast<const char*>(request), requestLength));
    if (!answer) return pollard_api::crNoResponse;
    const int n = std::min<int>(static_cast<int>(answer->size()), *replyLength);
    std::memcpy(reply, answer->constData(), static_cast<size_t>(n));
    *replyLength = n;
    return pollard_api::crSuccess;
}

void Nothing() {}
int Connected() { return 0; }
void Ignore(bool) {}
bool Online() { return true; }

// A connected database over a fresh simulator; torn down at the end of the benchmark.
struct Bench {
    Bench()
    {
        g_unit = &unit;
        PollardApi api;
        api.Initialize = Nothing;
        api.Cleanup = Nothing;
        api.CommConnect = Connected;
        api.SendReceive = SendReceive;
        api.SetUserCancel = Ignore;
        api.IsOnline = Online;
        Communications::InstanceWithApi(api);
        db = DataBase::Instance();
        db->Connect();
        unit.ClearLog();
    }
    ~Bench()
    {
        DataBase::DestroyInstance();
        CommDBPointFacade::DestroyInstance();
        Communications::DestroyInstance();
        g_unit = nullptr;
    }

    sim::AnalyzerCore unit;
    DataBase* db = nullptr;
};

// The busiest page: the four streams' settings, as the streams page holds them (stream groups
// 0x20 to 0x56 of configuration points).
void ShowBusiestPage(DataBase& db)
{
    ExpressScan& scan = db.AsExpressScan();
    scan.Clear();
    for (int row = 0; row < db.PointCount(); ++row) {
        DatabasePoint* p = db.PointByIndex(row);
        if (!p || !p->GetGroup()) continue;
        const int g = p->GetGroup()->code;
        if (g >= 0x20 && g <= 0x56) scan.Add(p->GetDbId());
    }
    scan.SetPage(3, 0, 1);
}

void BM_ReadAll(benchmark::State& state)
{
    Bench b;
    for (auto _ : state) {
        b.db->ReadAll();
        state.PauseTiming();
        b.unit.ClearLog();
        state.ResumeTiming();
    }
    state.counters["requests"] = b.db->CountReadAllRequests();
}
BENCHMARK(BM_ReadAll)->Unit(benchmark::kMicrosecond);

void BM_ExpressReadBusiestPage(benchmark::State& state)
{
    Bench b;
    ShowBusiestPage(*b.db);
    for (auto _ : state) {
        b.db->ExpressRead(false);
        state.PauseTiming();
        b.unit.ClearLog();
        state.ResumeTiming();
    }
    state.counters["points"] = b.db->AsExpressScan().Count();
    state.counters["requests"] = b.db->CountExpressReadRequests();
}
BENCHMARK(BM_ExpressReadBusiestPage)->Unit(benchmark::kMicrosecond);

// The simulator alone: the requests of one full read replayed straight into the core.
void BM_SimulatorShareOfReadAll(benchmark::State& state)
{
    Bench b;
    b.db->ReadAll();
    const std::vector<QByteArray> requests = b.unit.Requests();
    for (auto _ : state) {
        for (const QByteArray& r : requests) benchmark::DoNotOptimize(b.unit.Handle(r));
        state.PauseTiming();
        b.unit.ClearLog();
        state.ResumeTiming();
    }
    state.counters["requests"] = static_cast<double>(requests.size());
}
BENCHMARK(BM_SimulatorShareOfReadAll)->Unit(benchmark::kMicrosecond);

void BM_SimulatorShareOfBusiestPage(benchmark::State& state)
{
    Bench b;
    ShowBusiestPage(*b.db);
    b.db->ExpressRead(false);
    const std::vector<QByteArray> requests = b.unit.Requests();
    for (auto _ : state) {
        for (const QByteArray& r : requests) benchmark::DoNotOptimize(b.unit.Handle(r));
        state.PauseTiming();
        b.unit.ClearLog();
        state.ResumeTiming();
    }
    state.counters["requests"] = static_cast<double>(requests.size());
}
BENCHMARK(BM_SimulatorShareOfBusiestPage)->Unit(benchmark::kMicrosecond);

double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// The full read through the engine library's entry points, the port a pseudo-terminal.
void BM_ReadAllThroughEngine(benchmark::State& state)
{
    sim::AnalyzerCore unit;
    sim::WireServer wire(unit);
    if (!wire.StartPty()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    PollardApi api;
    api.Initialize = ::Initialize;
    api.Cleanup = ::Cleanup;
    api.GetCommErrText = ::GetCommErrText;
    api.CommConnect = ::CommConnect;
    api.CommDisconnect = ::CommDisconnect;
    api.SendReceive = ::SendReceive;   // the engine's, not the in-process seam above
    api.SetUserCancel = ::SetUserCancel;
    api.IsOnline = ::IsOnline;
    Communications* comms = Communications::InstanceWithApi(api);
    pollard::CommSettings& settings = pollard::Engine::Instance()->Settings();
    settings.connectType = pollard::ctComPortDirect;
    settings.portName = wire.PtyPath();
    settings.baud = 115200;
    if (comms->CommConnect() != 0) {
        state.SkipWithError("no connection to the simulated analyzer");
        return;
    }
    DataBase* db = DataBase::Instance();
    double cpu = 0, wall = 0;
    int failures = 0;
    try {
        db->Connect();   // the catalogue of the unit's version
        for (auto _ : state) {
            const double cpu0 = ThreadCpuSeconds();
            const auto start = std::chrono::steady_clock::now();
            if (db->ReadAll() != 0) ++failures;
            wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            cpu += ThreadCpuSeconds() - cpu0;
            state.PauseTiming();
            unit.ClearLog();
            wire.ClearLog();
            state.ResumeTiming();
        }
    } catch (int code) {
        state.SkipWithError("a full read failed");
    }
    const double reads = static_cast<double>(state.iterations());
    state.counters["readall_engine_cpu_ms"] = reads > 0 ? 1000.0 * cpu / reads : 0;
    state.counters["wall_ms"] = reads > 0 ? 1000.0 * wall / reads : 0;
    state.counters["requests"] = db->CountReadAllRequests();
    state.counters["failures"] = failures;
    DataBase::DestroyInstance();
    CommDBPointFacade::DestroyInstance();
    Communications::DestroyInstance();
    wire.Stop();
}
BENCHMARK(BM_ReadAllThroughEngine)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);   // the engine's timers and notices
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
