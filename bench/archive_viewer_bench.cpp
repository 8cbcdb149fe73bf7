// The Archive page with the largest log: 500,000 samples of seven values. First paint: the
// table filled with all of them (ShowArchive) and its first paint; scrolling to the end: the
// jump to the last row and its paint. Targets: under 0.2 s and under 50 ms.
#include "tests/sim/core/archive_frames.h"
#include "tevrin/pages/analysis/fra_archive_viewer.h"
#include "tevrin/pages/analysis/log_db_manager.h"
#include "tevrin/rtdb/database.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr int kSamples = 500000;

void FillArchive()
{
    DataBase* db = DataBase::Instance();
    LogConfigRecord r{};
    r.Enable = 1;
    r.LogIdCode = 1;
    r.ParametersInLog = 8;
    for (int k = 1; k < 8; ++k) r.UniqueId[k] = k % 2 ? 395 : 500;
    db->LogRecord(0) = r;
    std::vector<sim::ArchiveFrame> frames(kSamples);
    for (int k = 0; k < kSamples; ++k) {
        sim::ArchiveFrame& f = frames[static_cast<size_t>(k)];
        f.id = 1;
        f.token = static_cast<uint32_t>(k) * 60u;
        for (int v = 0; v < 7; ++v) f.values.push_back({v % 2 ? static_cast<uint32_t>(k) : sim::FloatBits(0.25f * static_cast<float>(k % 4000)), 4});
    }
    const QByteArray memory = sim::ArchiveMemory(frames);
    LogDBManager* m = LogDBManager::Instance();
    m->SetTokenToDate([](uint32_t token) { return 46000.0 + token / 86400.0; });
    m->Clear();
    m->Feed(reinterpret_cast<const uint8_t*>(memory.constData()), static_cast<size_t>(memory.size()));
    m->BuildLogLists();
}

struct Page {
    Page()
    {
        owner = std::make_unique<QWidget>();
        page = new TfraArchiveViewer(owner.get());
        owner->resize(1000, 700);
        owner->show();
        QCoreApplication::processEvents();
    }
    std::unique_ptr<QWidget> owner;
    TfraArchiveViewer* page = nullptr;
};

void FirstPaint(benchmark::State& state)
{
    Page p;
    for (auto _ : state) {
        p.page->edtDispRange()->setText(QString::number(kSamples));
        p.page->ShowArchive(0);
        p.page->gridArchive()->viewport()->repaint();
        p.page->gridArchive()->horizontalHeader()->viewport()->repaint();
    }
    state.counters["rows"] = p.page->gridArchive()->RowCount();
}

void ScrollToTheEnd(benchmark::State& state)
{
    Page p;
    p.page->edtDispRange()->setText(QString::number(kSamples));
    p.page->ShowArchive(0);
    QAdvColumnGrid* grid = p.page->gridArchive();
    grid->viewport()->repaint();
    for (auto _ : state) {
        grid->scrollToBottom();
        grid->viewport()->repaint();
        state.PauseTiming();
        grid->scrollToTop();
        grid->viewport()->repaint();
        state.ResumeTiming();
    }
}

}  // namespace

BENCHMARK(FirstPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(ScrollToTheEnd)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    FillArchive();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
