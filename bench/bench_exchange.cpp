// One acknowledged exchange against the simulated device over a
// pseudo-terminal, repeated. Prints the time each took beyond the device's
// answer delay and the 410 ms quiet gap (the tool's own overhead), and the
// processor time the process used while waiting.
//
//   bench_exchange [REPETITIONS [DEVICE_DELAY_MS]] [--fast]
#include "session/ActionScope.h"
#include "session/DtuSession.h"
#include "core/SilentFrontend.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

double CpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool fast = args.removeAll(QStringLiteral("--fast")) > 0;
    const int repetitions = args.value(0, QStringLiteral("10")).toInt();
    const int deviceDelayMs = args.value(1, QStringLiteral("5")).toInt();
    if (repetitions <= 0 || deviceDelayMs < 0) {
        std::fprintf(stderr, "usage: bench_exchange [REPETITIONS [DEVICE_DELAY_MS]] [--fast]\n");
        return 2;
    }

    const QString script = QStringLiteral(DTU_SOURCE_DIR "/examples/script.js");
    // Main channel 1 and extended channel 0: both selections are acknowledged.
    const QString profile = QStringLiteral(DTU_SOURCE_DIR "/examples/example_profile.txt");

    QProcess sim;
    sim.start(QStringLiteral(DTU_BINARY_DIR "/src/dtusim"),
              {QStringLiteral("--profile"), profile, QStringLiteral("--script"), script, QStringLiteral("--delay"),
               QString::number(deviceDelayMs)});
    while (!sim.canReadLine()) {
        if (!sim.waitForReadyRead(5000)) {
            std::fprintf(stderr, "dtusim did not start\n");
            return 2;
        }
    }
    const QString pty = QString::fromUtf8(sim.readLine()).trimmed();

    SilentFrontend frontend;
    DtuSession session(frontend);
    if (!session.script.LoadFile(script) || !session.serial.Open(pty, QStringLiteral("57600"), QStringLiteral("8N1"))) {
        std::fprintf(stderr, "cannot set up the session\n");
        return 2;
    }
    session.exchange.SetFastCompletion(fast);

    // Channel 1, then 0, then 1...: each a new selection the device acknowledges.
    const double expectedMs = deviceDelayMs + (fast ? 30 : 410);
    QList<double> overheads;
    double waitCpuMs = 0;
    double wallMs = 0;
    int failures = 0;
    for (int i = 0; i < repetitions; ++i) {
        QElapsedTimer timer;
        const double cpuBefore = CpuMs();
        timer.start();
        int result = -1;
        RunAction(session, [&] { result = session.exchange.SetTypeExchange(0xE050, QByteArray(1, char(1 - i % 2))); });
        const double elapsed = timer.nsecsElapsed() / 1e6;
        waitCpuMs += CpuMs() - cpuBefore;
        wallMs += elapsed;
        if (result != 0)
            ++failures;
        overheads << elapsed - expectedMs;
    }
    sim.terminate();
    sim.waitForFinished(3000);

    std::sort(overheads.begin(), overheads.end());
    double sum = 0;
    for (double o : overheads)
        sum += o;
    std::printf("exchanges: %d (%d not acknowledged), device delay %d ms, quiet gap %s\n", repetitions, failures,
                deviceDelayMs, fast ? "fast completion (30 ms)" : "410 ms");
    std::printf("overhead per exchange: mean %.1f ms, median %.1f ms, min %.1f ms, max %.1f ms\n",
                sum / overheads.size(), overheads[overheads.size() / 2], overheads.first(), overheads.last());
    std::printf("CPU while waiting: %.2f ms per exchange (%.2f%% of wall time)\n", waitCpuMs / repetitions,
                100.0 * waitCpuMs / wallMs);
    return failures ? 1 : 0;
}
