// analyzer-sim: the simulated analyzer on a pseudo-terminal or on TCP, for a person to point
// the program at. It prints where it serves and runs until interrupted.
#include "tests/sim/core/analyzer_core.h"
#include "tests/sim/wire/wire_server.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>
#include <vector>

namespace {
std::atomic<bool> gStop{false};
void OnSignal(int) { gStop = true; }
}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("analyzer-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated analyzer. Serves frames on a pseudo-terminal (open the printed path as the serial port, "
        "\"Com Port Direct\" or \"Modem\") or on TCP (\"Ethernet (TCP)\" at 127.0.0.1 and the printed port)."));
    parser.addHelpOption();
    const QCommandLineOption tcp(QStringLiteral("tcp"), QStringLiteral("Serve on TCP at 127.0.0.1:<port> (0: any free port)."),
                                 QStringLiteral("port"));
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  QStringLiteral("Pace replies like a serial line of <bits/s> (default: no pacing)."),
                                  QStringLiteral("bits/s"), QStringLiteral("0"));
    const QCommandLineOption modem(QStringLiteral("modem"),
                                   QStringLiteral("Put a Hayes modem in front of the analyzer (AT commands, dial, hang-up)."));
    parser.addOption(tcp);
    parser.addOption(baud);
    parser.addOption(modem);
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Print every request message as it arrives (hex)."));
    parser.addOption(log);
    const QCommandLineOption packed(QStringLiteral("packed-block-replies"),
                                    QStringLiteral("Answer block reads with the used bytes only instead of the whole "
                                                   "81-byte reply."));
    parser.addOption(packed);
    const QCommandLineOption blank(
        QStringLiteral("blank"),
        QStringLiteral("Start as a blank unit: every value zero, no logs configured, empty archive and event log, "
                       "nothing moving (by default the unit has been running for days and goes on analysing)."));
    parser.addOption(blank);
    parser.process(app);

    sim::AnalyzerCore core(parser.isSet(blank) ? sim::Contents::Blank : sim::Contents::Living);
    core.SetPackedBlockReplies(parser.isSet(packed));
    sim::WireServer wire(core);
    wire.SetBaud(parser.value(baud).toInt());
    wire.SetModem(parser.isSet(modem));

    if (parser.isSet(tcp)) {
        bool ok = false;
        const uint port = parser.value(tcp).toUInt(&ok);
        if (!ok || port > 65535 || !wire.StartTcp(static_cast<uint16_t>(port))) {
            std::fprintf(stderr, "Cannot listen on TCP port %s.\n", qPrintable(parser.value(tcp)));
            return 1;
        }
        std::printf("Serving on TCP port: %u\n", static_cast<unsigned>(wire.TcpPort()));
    } else {
        if (!wire.StartPty()) {
            std::fprintf(stderr, "Cannot open a pseudo-terminal.\n");
            return 1;
        }
        std::printf("Serving on pseudo-terminal: %s\n", qPrintable(wire.PtyPath()));
    }
    std::printf("Press Ctrl+C to stop.\n");
    std::fflush(stdout);

    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    int lastFrames = 0;
    size_t logged = 0;
    auto last = std::chrono::steady_clock::now();
    while (!gStop) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        const auto now = std::chrono::steady_clock::now();
        core.AdvanceTime(std::chrono::duration<double>(now - last).count());
        last = now;
        if (parser.isSet(log)) {
            const std::vector<QByteArray> requests = core.Requests();
            for (; logged < requests.size(); ++logged)
                std::printf("Request: %s\n", requests[logged].toHex(' ').constData());
            std::fflush(stdout);
        }
        const int frames = wire.FramesReceived();
        if (frames != lastFrames) {
            std::printf("Frames answered: %d (bad CRC: %d)\n", frames, wire.BadFramesReceived());
            std::fflush(stdout);
            lastFrames = frames;
        }
    }
    wire.Stop();
    return 0;
}
