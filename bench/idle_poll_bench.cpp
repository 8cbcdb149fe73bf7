// What the program costs while it only watches: the real main window (offscreen) logged on to
// the simulated analyzer over TCP, the Analysis page shown and polling every 2 s, nothing else
// happening. The simulated analyzer runs as a process of its own (analyzer-sim, from this
// executable's folder), so that the figure is the program's own CPU (every thread of it,
// engine included) over 20 s of wall time, as a share of one core in percent.
//
// Runs in a temporary home, so it touches no user settings. IDLE_POLL_SECONDS changes the
// measured time (default 20).
#include "bench/main_window_bench.h"
#include "platform/prompter.h"
#include "tests/common/engine_settings.h"
#include "tevrin/shell/main_form.h"
#include "tevrin/shell/upd_mode_dlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

namespace {

double ProcessCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop for ms milliseconds, as the program's own loop would.
void RunFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The simulated analyzer in its own process: its port, and the frames it has answered so far.
class SimProcess {
public:
    bool Start()
    {
        process_.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/analyzer-sim"));
        // A blank unit: its values stand still, so that the figure is the polling alone.
        process_.setArguments({QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--blank")});
        process_.start();
        if (!process_.waitForStarted(5000)) return false;
        QElapsedTimer clock;
        clock.start();
        while (port_ == 0 && clock.elapsed() < 5000) {
            process_.waitForReadyRead(200);
            Take();
        }
        return port_ != 0;
    }
    ~SimProcess()
    {
        if (process_.state() == QProcess::NotRunning) return;
        process_.terminate();
        if (!process_.waitForFinished(3000)) process_.kill();
    }
    uint16_t Port() const { return port_; }
    int Frames()
    {
        Take();
        return frames_;
    }

private:
    void Take()
    {
        out_ += process_.readAllStandardOutput();
        static const QRegularExpression portLine(QStringLiteral("TCP port: (\\d+)"));
        static const QRegularExpression framesLine(QStringLiteral("Frames answered: (\\d+)"));
        const QString text = QString::fromLatin1(out_);
        if (port_ == 0) {
            const auto m = portLine.match(text);
            if (m.hasMatch()) port_ = static_cast<uint16_t>(m.captured(1).toUInt());
        }
        auto all = framesLine.globalMatch(text);
        while (all.hasNext()) frames_ = all.next().captured(1).toInt();
    }

    QProcess process_;
    QByteArray out_;
    uint16_t port_ = 0;
    int frames_ = 0;
};

void BM_IdlePoll(benchmark::State& state)
{
    const char* env = std::getenv("IDLE_POLL_SECONDS");
    const int seconds = env && std::atoi(env) > 0 ? std::atoi(env) : 20;
    benchsupport::YesPrompter prompter;
    platform::SetPrompter(&prompter);
    SimProcess sim;
    if (!sim.Start()) {
        state.SkipWithError("analyzer-sim did not start beside this executable");
        return;
    }
    const QString ini = testsupport::PointEngineAtTcp(sim.Port());
    TFormMain::SetLibraryFolder(QCoreApplication::applicationDirPath());
    {
        TFormMain form;
        form.show();
        form.PageControlMain()->setCurrentIndex(static_cast<int>(MainPage::Analysis));
        QApplication::processEvents();

        QTimer answer;
        answer.setInterval(5);
        QObject::connect(&answer, &QTimer::timeout, [] {
            if (auto* dialog = qobject_cast<TUpdModeDlg*>(QApplication::activeModalWidget())) dialog->btnReadOnly()->click();
        });
        answer.start();
        form.tbtnLogonClick();
        answer.stop();
        if (!form.LoggedOn()) {
            state.SkipWithError("the logon to the simulated analyzer failed");
            platform::SetPrompter(nullptr);
            return;
        }
        // Let the first polls and their first paints pass before measuring.
        RunFor(4500);

        double cpu = 0, wall = 0;
        int frames = 0;
        for (auto _ : state) {
            const int frames0 = sim.Frames();
            const double cpu0 = ProcessCpuSeconds();
            QElapsedTimer clock;
            clock.start();
            RunFor(seconds * 1000);
            wall = static_cast<double>(clock.nsecsElapsed()) / 1e9;
            cpu = ProcessCpuSeconds() - cpu0;
            state.SetIterationTime(wall);
            frames = sim.Frames() - frames0;
        }
        if (frames == 0) state.SkipWithError("no poll reached the simulated analyzer");
        state.counters["idle_poll_cpu_share"] = wall > 0 ? 100.0 * cpu / wall : 0;   // percent of one core
        state.counters["cpu_ms_per_poll"] = 1000.0 * cpu / (wall / 2.0);            // one poll each 2 s
        state.counters["frames_answered"] = frames;
        std::printf("the program's CPU while the Analysis page polls: %.3f %% of one core (goal < 0.25 %%)\n",
                    wall > 0 ? 100.0 * cpu / wall : 0);
    }
    QFile::remove(ini);
    platform::SetPrompter(nullptr);
}

}  // namespace

BENCHMARK(BM_IdlePoll)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

int main(int argc, char** argv)
{
    QTemporaryDir home;
    benchsupport::UseFreshHome(home);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tevrin"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
