// Start-up and memory of the program, measured in one run (a timing executable, not a
// Google Benchmark loop: start-up happens once per process).
//
//  1. From the start of main to the main window shown: the application object, the splash,
//     the engine and shared-routine libraries loaded by file name, the database with every
//     catalogue point, the seventeen pages and the registration broadcast.
//  2. Peak resident memory after a logon (a full read of the database) through the real
//     engine library over TCP to the simulated analyzer served in this process.
//
// Runs offscreen in a temporary home, so it touches no user settings. Usage: startup_bench
#include "tests/common/engine_settings.h"
#include "tests/sim/core/analyzer_core.h"
#include "tests/sim/wire/wire_server.h"
#include "bench/main_window_bench.h"
#include "platform/prompter.h"
#include "tevrin/shell/main_form.h"
#include "tevrin/shell/upd_mode_dlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

long PeakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

}  // namespace

int main(int argc, char* argv[])
{
    QElapsedTimer sinceMain;
    sinceMain.start();

    QTemporaryDir home;
    benchsupport::UseFreshHome(home);

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tevrin"));
    benchsupport::YesPrompter prompter;
    platform::SetPrompter(&prompter);

    // The simulated analyzer on TCP, and the engine's settings pointing at it.
    sim::AnalyzerCore unit;
    sim::WireServer wire(unit);
    if (!wire.StartTcp(0)) {
        std::fprintf(stderr, "cannot serve the simulated analyzer\n");
        return 1;
    }
    testsupport::PointEngineAtTcp(wire.TcpPort());

    QElapsedTimer build;
    build.start();
    TFormMain::SetLibraryFolder(QCoreApplication::applicationDirPath());
    int exitCode = 0;
    {
        TFormMain form;
        form.show();
        QApplication::processEvents();
        const qint64 shownMs = sinceMain.elapsed();
        const qint64 buildMs = build.elapsed();
        const long afterStartKb = PeakResidentKb();

        QTimer answer;
        answer.setInterval(5);
        QObject::connect(&answer, &QTimer::timeout, [] {
            if (auto* dialog = qobject_cast<TUpdModeDlg*>(QApplication::activeModalWidget())) dialog->btnReadOnly()->click();
        });
        answer.start();
        QElapsedTimer logon;
        logon.start();
        form.tbtnLogonClick();
        answer.stop();
        const qint64 logonMs = logon.elapsed();
        const long afterLogonKb = PeakResidentKb();

        std::printf("start of main to main window shown: %lld ms (window and services: %lld ms; goal < 250 ms)\n",
                    static_cast<long long>(shownMs), static_cast<long long>(buildMs));
        std::printf("logon over TCP to the simulated analyzer: %s in %lld ms (%zu requests; the logon pauses 1 s before "
                    "it reads the log status)\n",
                    form.LoggedOn() ? "logged on" : "NOT logged on", static_cast<long long>(logonMs),
                    unit.Requests().size());
        std::printf("peak resident memory: %.1f MB after start-up, %.1f MB after logon (goal < 120 MB)\n",
                    afterStartKb / 1024.0, afterLogonKb / 1024.0);
        if (!form.LoggedOn()) exitCode = 1;
    }
    platform::SetPrompter(nullptr);
    return exitCode;
}
