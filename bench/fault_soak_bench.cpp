// Fault soak: page reads of the real-time database through the communication engine over a
// pseudo-terminal against the simulated analyzer, with a random line or unit fault in some of
// the rounds (silence, late reply within and after the time-out, bad CRC, reject, wrong type,
// short reply, split and byte-by-byte replies, stray and over-long bytes, babble, garbage,
// disconnect). Every value the database accepts (marked valid) is compared with the simulator's.
// Figures: exchanges, wrong values accepted, hangs, failed reads, resident memory per 10,000
// exchanges. SOAK_EXCHANGES sets the number of exchanges (default 100,000).
//
// The simulator paces its line at the engine's baud (115200), so that the time of a round can
// be held against the wire time of its bytes (10 bits a byte, both directions, framing
// included): soak_over_wire, over the rounds that met no fault (nor a fault in the round
// before, whose late replies the engine waits out); 1.0 is the line's own limit.
#include "platform/numtext.h"
#include "platform/prompter.h"
#include "pollard/engine.h"
#include "pollard/exports.h"
#include "pollard/serial_port.h"
#include "tests/sim/core/analyzer_core.h"
#include "tests/sim/wire/wire_server.h"
#include "tevrin/rtdb/catalogue/catalogue_rows.h"
#include "tevrin/rtdb/communications.h"
#include "tevrin/rtdb/database.h"
#include "tevrin/rtdb/database_point.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <thread>
#include <unistd.h>

namespace {

class SilentPrompter : public platform::IPrompter {
public:
    int Ask(const platform::Prompt&) override { return platform::mrCancel; }
    QString ChooseFile(const platform::FileRequest&) override { return QString(); }
};

constexpr int kBaud = 115200;
constexpr int kFrameBytes = 4;   // address, frame type and CRC around each message

std::atomic<long> gExchanges{0};
long gWireBytes = 0;   // bytes of the answered exchanges, both directions

int CountedSendReceive(const unsigned char* request, int length, unsigned char* reply, int* replyLength, bool notify)
{
    ++gExchanges;
    const int result = SendReceive(request, length, reply, replyLength, notify);
    if (result == 0 && replyLength) gWireBytes += length + kFrameBytes + *replyLength + kFrameBytes;
    return result;
}

double ResidentMb()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

enum class Kind { Float, U8, U16, U32, Bool, Text };

struct Candidate {
    int row;
    Kind kind;
};

std::vector<Candidate> Candidates(DataBase& db)
{
    std::vector<Candidate> out;
    for (int row = 0; row < rosetta::kCatalogueRowCount; ++row) {
        DatabasePoint* p = db.PointByIndex(row);
        if (!p || p->GetDbId() == 0) continue;
        const std::string t = p->GetTypeName();
        const int width = rosetta::ValueWidthOfType(rosetta::kCatalogueRows[row].typeCode);
        if (t == "float" && width == 4) out.push_back({row, Kind::Float});
        else if (t == "unsigned char" && width == 1) out.push_back({row, Kind::U8});
        else if (t == "unsigned short" && width == 2) out.push_back({row, Kind::U16});
        else if (t == "unsigned long" && width == 4) out.push_back({row, Kind::U32});
        else if (t == "boolean" && width == 1) out.push_back({row, Kind::Bool});
        else if (t == "text") out.push_back({row, Kind::Text});
    }
    return out;
}

// A line or unit fault for one of the round's frames.
void AddRandomFault(std::mt19937& rng, sim::AnalyzerCore& core, sim::WireServer& wire, int backoffMs)
{
    std::uniform_int_distribution<int> pick(0, 14), skip(0, 1);
    sim::WireFaultRule r;
    r.skip = skip(rng);
    switch (pick(rng)) {
    case 0: r.fault = sim::WireFault::Silence; break;
    case 1: r.fault = sim::WireFault::LateReply; r.delayMs = backoffMs / 3; break;
    case 2: r.fault = sim::WireFault::LateReply; r.delayMs = backoffMs + 20 + static_cast<int>(rng() % 100); break;
    case 3: r.fault = sim::WireFault::BadCrc; break;
    case 4: r.fault = sim::WireFault::Reject; break;
    case 5: r.fault = sim::WireFault::StrayByte; break;
    case 6: r.fault = sim::WireFault::ByteByByte; r.gapMs = 1; break;
    case 7: r.fault = sim::WireFault::Split; r.gapMs = backoffMs / 4; break;
    case 8: r.fault = sim::WireFault::OverLong; r.extra = 1 + static_cast<int>(rng() % 5); break;
    case 9: r.fault = sim::WireFault::Babble; r.delayMs = 30 + static_cast<int>(rng() % 100); break;
    case 10: r.fault = sim::WireFault::Disconnect; break;
    case 11: {
        r.fault = sim::WireFault::RawReply;
        const int n = static_cast<int>(rng() % 40);
        for (int i = 0; i < n; ++i) r.bytes.append(static_cast<char>(rng() & 0xFF));
        break;
    }
    case 12: core.AddFault({sim::Fault::WrongType, sim::kAnyType, 1, r.skip, 99}); return;
    case 13: core.AddFault({sim::Fault::ShortReply, sim::kAnyType, 1, r.skip, 1 + static_cast<int>(rng() % 3)}); return;
    default: core.AddFault({sim::Fault::LongReply, sim::kAnyType, 1, r.skip, 1 + static_cast<int>(rng() % 3)}); return;
    }
    wire.AddFault(r);
}

void BM_FaultSoak(benchmark::State& state)
{
    const long target = std::getenv("SOAK_EXCHANGES") ? std::atol(std::getenv("SOAK_EXCHANGES")) : 100000;
    SilentPrompter prompter;
    platform::SetPrompter(&prompter);
    sim::AnalyzerCore core;
    auto wire = std::make_unique<sim::WireServer>(core);
    if (!wire->StartPty()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    wire->SetBaud(kBaud);
    PollardApi api;
    api.Initialize = Initialize;
    api.Cleanup = Cleanup;
    api.GetCommErrText = GetCommErrText;
    api.CommConnect = CommConnect;
    api.CommDisconnect = CommDisconnect;
    api.SendReceive = CountedSendReceive;
    api.SetUserCancel = SetUserCancel;
    api.IsOnline = IsOnline;
    Communications* comms = Communications::InstanceWithApi(api);
    pollard::CommSettings& settings = pollard::Engine::Instance()->Settings();
    settings.connectType = pollard::ctComPortDirect;
    settings.portName = wire->PtyPath();
    settings.baud = kBaud;
    settings.retries = QStringLiteral("2");
    settings.backoffTimer = QStringLiteral("1");
    const int backoffMs = 55;
    if (comms->CommConnect() != 0) {
        state.SkipWithError("no connection");
        return;
    }
    DataBase* db = DataBase::Instance();
    try {
        db->Connect();   // the logon: the catalogue of the unit's version and a full read
    } catch (int code) {
        state.SkipWithError("the logon read failed");
        return;
    }
    const std::vector<Candidate> candidates = Candidates(*db);

    std::mt19937 rng(12345);
    long wrong = 0, failedReads = 0, rounds = 0, reconnects = 0, faults = 0;
    double slowestRoundS = 0;
    double cleanSeconds = 0;   // rounds without a fault, and their wire time
    double cleanWireSeconds = 0;
    long cleanExchanges = 0;
    bool faultBefore = false;
    std::vector<double> rss;
    std::atomic<long> lastProgress{0};
    std::atomic<bool> done{false};
    // A round that takes more than a minute is a hang: the soak stops there and says so.
    std::thread watchdog([&] {
        long seen = -1;
        int idle = 0;
        while (!done) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            const long now = lastProgress;
            idle = now == seen ? idle + 1 : 0;
            seen = now;
            if (idle >= 60) {
                std::fprintf(stderr, "HANG: no round finished for 60 s after %ld exchanges\n", gExchanges.load());
                std::_Exit(2);
            }
        }
    });

    for (auto _ : state) {
        long nextSample = 0;
        while (gExchanges < target) {
            if (gExchanges >= nextSample) {
                rss.push_back(ResidentMb());
                nextSample += 10000;
                core.ClearLog();
                wire->ClearLog();
            }
            // A page of 1 to 25 points with new values.
            std::vector<Candidate> page;
            const int n = 1 + static_cast<int>(rng() % 25);
            ExpressScan& scan = db->AsExpressScan();
            scan.Clear();
            for (int k = 0; k < n; ++k) {
                const Candidate& c = candidates[rng() % candidates.size()];
                page.push_back(c);
                scan.Add(db->PointByIndex(c.row)->GetDbId());
                const sim::Row row{c.row};
                switch (c.kind) {
                case Kind::Float: core.SetValue(row, static_cast<int>(rng() % 4001) / 2.0 - 1000); break;
                case Kind::U8: core.SetValue(row, rng() % 256); break;
                case Kind::U16: core.SetValue(row, rng() % 65536); break;
                case Kind::U32: core.SetValue(row, rng() % 0x7FFFFFFF); break;
                case Kind::Bool: core.SetValue(row, rng() % 2); break;
                case Kind::Text: {
                    QByteArray text;
                    const int len = static_cast<int>(rng() % 21);
                    for (int i = 0; i < len; ++i) text.append(static_cast<char>('A' + rng() % 26));
                    core.SetText(row, text);
                    break;
                }
                }
            }
            scan.SetPage(5, 0, 1);
            db->ClearValid();
            const bool fault = rng() % 100 < 6;
            if (fault) {
                AddRandomFault(rng, core, *wire, backoffMs);
                ++faults;
            }

            const long bytesBefore = gWireBytes;
            const long exchangesBefore = gExchanges;
            bool failed = false;
            const auto start = std::chrono::steady_clock::now();
            try {
                db->ExpressRead(false);
            } catch (int) {
                ++failedReads;
                failed = true;
            }
            const double roundS = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            slowestRoundS = std::max(slowestRoundS, roundS);
            if (!fault && !faultBefore && !failed) {
                cleanSeconds += roundS;
                cleanWireSeconds += static_cast<double>(gWireBytes - bytesBefore) * 10.0 / kBaud;
                cleanExchanges += gExchanges - exchangesBefore;
            }
            faultBefore = fault;
            ++rounds;
            lastProgress = rounds;
            wire->ClearFaults();
            core.ClearFaults();

            for (const Candidate& c : page) {
                DatabasePoint* p = db->PointByIndex(c.row);
                if (!p->IsValid()) continue;
                const std::string text = p->GetText();
                bool same;
                if (c.kind == Kind::Text) {
                    same = QByteArray::fromStdString(text) == core.Text(sim::Row{c.row});
                } else if (c.kind == Kind::Bool) {
                    same = (text == "True") == (core.Value(sim::Row{c.row}) != 0) && (text == "True" || text == "False");
                } else {
                    same = std::strtod(text.c_str(), nullptr) == core.Value(sim::Row{c.row});
                }
                if (!same) {
                    if (wrong < 10)
                        std::fprintf(stderr, "wrong value accepted: row %d \"%s\", unit has %s\n", c.row, text.c_str(),
                                     core.ValueText(sim::Row{c.row}).constData());
                    ++wrong;
                }
            }

            // A unit that hung up: a new line, and the program connects to it again.
            if (!pollard::Engine::Instance()->Serial().IsOpen()) {
                wire = std::make_unique<sim::WireServer>(core);
                if (!wire->StartPty()) break;
                wire->SetBaud(kBaud);
                settings.portName = wire->PtyPath();
                comms->CommConnect();
                ++reconnects;
            }
        }
    }
    done = true;
    watchdog.join();
    rss.push_back(ResidentMb());

    state.counters["exchanges"] = static_cast<double>(gExchanges.load());
    state.counters["rounds"] = static_cast<double>(rounds);
    state.counters["faults"] = static_cast<double>(faults);
    state.counters["wrong_values"] = static_cast<double>(wrong);
    state.counters["failed_reads"] = static_cast<double>(failedReads);
    state.counters["reconnects"] = static_cast<double>(reconnects);
    state.counters["hangs"] = 0;   // a hang stops the soak with "HANG" (exit code 2)
    state.counters["slowest_round_s"] = slowestRoundS;
    state.counters["soak_over_wire"] = cleanWireSeconds > 0 ? cleanSeconds / cleanWireSeconds : 0;
    state.counters["ms_per_exchange"] = cleanExchanges > 0 ? 1000.0 * cleanSeconds / cleanExchanges : 0;
    state.counters["wire_ms_per_exchange"] = cleanExchanges > 0 ? 1000.0 * cleanWireSeconds / cleanExchanges : 0;
    state.counters["rss_first_mb"] = rss.size() > 1 ? rss[1] : rss.front();
    state.counters["rss_last_mb"] = rss.back();
    std::fprintf(stderr, "resident MB per 10,000 exchanges:");
    for (double mb : rss) std::fprintf(stderr, " %.1f", mb);
    std::fprintf(stderr, "\n");

    DataBase::DestroyInstance();
    Communications::DestroyInstance();
    wire->Stop();
    platform::SetPrompter(nullptr);
}

}  // namespace

BENCHMARK(BM_FaultSoak)->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
