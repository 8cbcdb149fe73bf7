// Cost of the real-time database's point set: making one typed point per catalogue row (what
// the database does at start-up) and a text round trip of every point's value (what every
// read, page poll and configuration file pass does per point).
#include "tevrin/rtdb/db_point_factory.h"
#include "tevrin/rtdb/rosetta.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::unique_ptr<DatabasePoint>> MakeAll()
{
    RosettaInterface* catalogue = RosettaManager::Instance()->Catalogue();
    std::vector<std::unique_ptr<DatabasePoint>> points;
    points.reserve(static_cast<size_t>(catalogue->Count()));
    for (int row = 0; row < catalogue->Count(); ++row)
        points.push_back(DBPointFactory::Create(static_cast<uint16_t>(row)));
    return points;
}

void BM_CreateAllPoints(benchmark::State& state)
{
    size_t made = 0;
    for (auto _ : state) {
        auto points = MakeAll();
        made = points.size();
        benchmark::DoNotOptimize(points.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * made));
    state.counters["points"] = static_cast<double>(made);
}
BENCHMARK(BM_CreateAllPoints)->Unit(benchmark::kMicrosecond);

void BM_TextRoundTripAllPoints(benchmark::State& state)
{
    auto points = MakeAll();
    // A value of each kind that exercises the parser: decimals, signs, bit masks, texts.
    int i = 0;
    for (auto& p : points) {
        if (!p) continue;
        const int code = p->GetTypeCode();
        p->SetInitialText(code == 0 ? "-1234.56" : code == 13 ? "Unit 7, Bay 3" : code == 8 ? "True"
                                                                                   : std::to_string(1000 + i * 37));
        ++i;
    }
    for (auto _ : state) {
        for (auto& p : points) {
            if (!p) continue;
            const std::string text = p->GetText();
            p->SetText(text);
            benchmark::DoNotOptimize(p->IsChanged());
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * points.size()));
}
BENCHMARK(BM_TextRoundTripAllPoints)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
