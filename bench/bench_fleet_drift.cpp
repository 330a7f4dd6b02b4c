// A fleet where a few units drifted from what they should hold, as a
// technician audits and mends it: 32 simulated TCP devices (one dtusim
// --count 32 --tcp 0), three of them holding other values from the start.
//   1. dtucfg audit: names the three and their rows, writes nothing;
//   2. dtucfg fleet: writes the differing rows only;
//   3. dtucfg fleet again: nothing differs, nothing is written;
//   4. dtucfg fleet --write-all: every row of every device, as before;
// then 3 and 4 again in the standard reply mode.
// Prints each run's time, its exit status and the parameter writes the
// devices received (counted from dtusim's log), so the second fleet's time
// can be set against the write-all run's: what is left is the reads.
//
//   bench_fleet_drift [DEVICES [DEVICE_DELAY_MS]]     (defaults 32 and 20)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QString Program(const char *name)
{
    return QStringLiteral(DTU_BINARY_DIR "/src/") + QLatin1String(name);
}

struct Run {
    int status = -1;
    double seconds = 0;
    int writes = 0; // parameter writes the devices received meanwhile
};

// A parameter write's request word is the row's number; the device's own
// words (selection, reads, restore, reset, clock) are E0xx.
int WritesIn(const QString &log)
{
    static const QRegularExpression write(QStringLiteral("rx ch\\d (?!E0)[0-9A-F]{4}"));
    return int(log.count(write));
}

// The simulator's log is read all the while: a full pipe would stall it.
Run Fleet(QProcess &sim, QByteArray &log, const QString &dir, const QStringList &args)
{
    QProcess cfg;
    cfg.setWorkingDirectory(dir);
    cfg.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QEventLoop loop;
    QObject::connect(&cfg, &QProcess::finished, &loop, &QEventLoop::quit);
    log.clear();
    QElapsedTimer timer;
    timer.start();
    cfg.start(Program("dtucfg"), args);
    loop.exec();
    Run run;
    run.seconds = timer.elapsed() / 1000.0;
    run.status = cfg.exitCode();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 300)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    run.writes = WritesIn(QString::fromUtf8(log));
    return run;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int devices = args.size() > 1 ? args[1].toInt() : 32;
    const QString delay = args.size() > 2 ? args[2] : QStringLiteral("20");
    qputenv("DTU_BIN_DIR", QByteArray(DTU_BINARY_DIR "/src"));
    QTemporaryDir dir;
    for (const char *file : {"example_profile.txt", "example_ext.txt", "script.js"})
        QFile::copy(QStringLiteral(DTU_SOURCE_DIR "/examples/") + QLatin1String(file), dir.filePath(QLatin1String(file)));

    // Three units drifted: another port, another address and interface
    // period, another heartbeat.
    QProcess sim;
    sim.start(Program("dtusim"),
              {"--profile", dir.filePath("example_profile.txt"), "--tcp", "0", "--count", QString::number(devices),
               "--delay", delay, "--verbose", "--unit", "5", "--value", "0031=9001", "--unit", "17", "--value",
               "0030=10.9.9.9", "--ext-value", "0102=60秒", "--unit", "29", "--value", "0033=90"});
    QByteArray log;
    QObject::connect(&sim, &QProcess::readyReadStandardError, [&] { log += sim.readAllStandardError(); });
    QByteArray endpoints;
    while (endpoints.count('\n') < devices && sim.waitForReadyRead(10000))
        endpoints += sim.readAllStandardOutput();
    QByteArray inventory = "target\n";
    for (const QByteArray &line : endpoints.split('\n'))
        if (line.startsWith("tcp "))
            inventory += "tcp:" + line.mid(4) + '\n';
    QFile csv(dir.filePath("fleet.csv"));
    csv.open(QIODevice::WriteOnly);
    csv.write(inventory);
    csv.close();

    const QStringList common{"--profile", "example_profile.txt", "--fast", "--jobs", "16", "--records", "r.sqlite"};
    const Run audit = Fleet(sim, log, dir.path(), QStringList{"audit", "fleet.csv"} + common);
    const Run first = Fleet(sim, log, dir.path(), QStringList{"fleet", "fleet.csv"} + common);
    const Run second = Fleet(sim, log, dir.path(), QStringList{"fleet", "fleet.csv"} + common);
    const Run all = Fleet(sim, log, dir.path(), QStringList{"fleet", "fleet.csv", "--write-all"} + common);
    // In the standard reply mode each write waits out the quiet gap.
    QStringList standard = common;
    standard.removeOne(QStringLiteral("--fast"));
    const Run secondStandard = Fleet(sim, log, dir.path(), QStringList{"fleet", "fleet.csv"} + standard);
    const Run allStandard = Fleet(sim, log, dir.path(), QStringList{"fleet", "fleet.csv", "--write-all"} + standard);
    sim.kill();
    sim.waitForFinished();

    std::printf("%d devices, 3 drifted, device delay %s ms, fast reply mode, 16 at once\n", devices, qPrintable(delay));
    std::printf("%-28s %8s %7s %8s\n", "run", "seconds", "status", "writes");
    const auto row = [](const char *name, const Run &r) {
        std::printf("%-28s %8.1f %7d %8d\n", name, r.seconds, r.status, r.writes);
    };
    row("audit", audit);
    row("fleet (what differs)", first);
    row("fleet again (nothing differs)", second);
    row("fleet --write-all", all);
    row("standard mode: fleet again", secondStandard);
    row("standard mode: --write-all", allStandard);
    return 0;
}
