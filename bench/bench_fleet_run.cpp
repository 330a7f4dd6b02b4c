// A fleet run as a technician starts it: dtucfg fleet over 32 simulated TCP
// devices (one dtusim --count 32 --tcp 0) with the example profile, one
// device at a time and 16 at once, in the standard and the fast reply mode.
// Prints the time of each run, the speed-up of --jobs 16 over --jobs 1, and
// the peak memory of the whole run: dtucfg fleet and all its workers,
// sampled from /proc every 50 ms, as the sum of their resident sizes (RSS:
// shared library pages counted once per process) and of their proportional
// sizes (PSS: shared pages divided among the processes sharing them, which
// is what the run really costs).
//
//   bench_fleet_run [DEVICES [DEVICE_DELAY_MS]]     (defaults 32 and 20)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

// The programs of this build, or of DTU_BIN_DIR (which the fleet's workers follow too).
QString Program(const char *name)
{
    const QByteArray dir = qgetenv("DTU_BIN_DIR");
    return (dir.isEmpty() ? QStringLiteral(DTU_BINARY_DIR "/src") : QString::fromLocal8Bit(dir)) + QLatin1Char('/')
        + QLatin1String(name);
}

// kB of a "Name:   123 kB" line of a /proc file.
qint64 Field(const QByteArray &text, const QByteArray &name)
{
    const qsizetype at = text.indexOf("\n" + name);
    if (at < 0)
        return 0;
    const QByteArray rest = text.mid(at + name.size() + 1).trimmed();
    return rest.left(rest.indexOf(' ')).toLongLong();
}

QByteArray ReadProc(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? "\n" + f.readAll() : QByteArray();
}

// The process and all its descendants.
QList<qint64> Tree(qint64 root)
{
    QMultiMap<qint64, qint64> children;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        if (!ok)
            continue;
        const QByteArray stat = ReadProc(QStringLiteral("/proc/%1/stat").arg(pid));
        const qsizetype close = stat.lastIndexOf(')');
        if (close < 0)
            continue;
        const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
        if (fields.size() > 1)
            children.insert(fields[1].toLongLong(), pid);
    }
    QList<qint64> tree{root};
    for (int i = 0; i < tree.size(); ++i)
        tree += children.values(tree[i]);
    return tree;
}

struct Memory {
    qint64 rssKb = 0, pssKb = 0;
    int processes = 0;
};

Memory Sample(qint64 root)
{
    Memory m;
    for (const qint64 pid : Tree(root)) {
        m.rssKb += Field(ReadProc(QStringLiteral("/proc/%1/status").arg(pid)), "VmRSS:");
        m.pssKb += Field(ReadProc(QStringLiteral("/proc/%1/smaps_rollup").arg(pid)), "Pss:");
        ++m.processes;
    }
    return m;
}

struct Run {
    double seconds = 0;
    Memory peak;
    int peakProcesses = 0;
    QString totals;
    bool allOk = false;
};

Run RunFleet(const QString &dir, int jobs, bool fast)
{
    QStringList args{QStringLiteral("fleet"), QStringLiteral("fleet.csv"), QStringLiteral("--profile"),
                     QStringLiteral("example_profile.txt"), QStringLiteral("--jobs"), QString::number(jobs),
                     QStringLiteral("--report"), QStringLiteral("report.csv")};
    if (fast)
        args << QStringLiteral("--fast");
    QProcess fleet;
    fleet.setWorkingDirectory(dir);
    QEventLoop loop;
    QTimer sampler;
    Run run;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const Memory m = Sample(fleet.processId());
        run.peak.rssKb = qMax(run.peak.rssKb, m.rssKb);
        run.peak.pssKb = qMax(run.peak.pssKb, m.pssKb);
        run.peakProcesses = qMax(run.peakProcesses, m.processes);
    });
    QObject::connect(&fleet, &QProcess::finished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    fleet.start(Program("dtucfg"), args);
    fleet.waitForStarted();
    sampler.start(50);
    loop.exec();
    run.seconds = clock.elapsed() / 1000.0;
    const QList<QByteArray> lines = fleet.readAllStandardError().trimmed().split('\n');
    run.totals = QString::fromUtf8(lines.last());
    run.allOk = fleet.exitCode() == 0;
    return run;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    const int devices = a.size() > 1 ? a[1].toInt() : 32;
    const int delayMs = a.size() > 2 ? a[2].toInt() : 20;

    QTemporaryDir dir;
    for (const char *name : {"example_profile.txt", "example_ext.txt", "script.js"})
        QFile::copy(QStringLiteral(DTU_SOURCE_DIR "/examples/") + QLatin1String(name), dir.filePath(QLatin1String(name)));
    QDir(dir.path()).mkdir(QStringLiteral("sim"));
    for (const char *name : {"example_profile.txt", "example_ext.txt", "script.js"})
        QFile::copy(dir.filePath(QLatin1String(name)), dir.filePath(QStringLiteral("sim/") + QLatin1String(name)));

    QProcess sim;
    sim.setWorkingDirectory(dir.filePath(QStringLiteral("sim")));
    sim.start(Program("dtusim"), {QStringLiteral("--profile"), QStringLiteral("example_profile.txt"),
                                  QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--count"),
                                  QString::number(devices), QStringLiteral("--delay"), QString::number(delayMs)});
    QByteArray endpoints;
    while (endpoints.count('\n') < devices && sim.waitForReadyRead(5000))
        endpoints += sim.readAllStandardOutput();
    if (endpoints.count('\n') < devices) {
        std::fprintf(stderr, "dtusim did not start its %d devices\n", devices);
        return 1;
    }
    QByteArray inventory = "target\n";
    for (const QByteArray &line : endpoints.trimmed().split('\n'))
        inventory += "tcp:127.0.0.1:" + line.mid(line.lastIndexOf(':') + 1) + '\n';
    QFile csv(dir.filePath(QStringLiteral("fleet.csv")));
    csv.open(QIODevice::WriteOnly);
    csv.write(inventory);
    csv.close();

    std::printf("dtucfg fleet: %d simulated TCP devices (device delay %d ms), the example profile (13 rows each)\n\n",
                devices, delayMs);
    std::printf("| Mode | --jobs | Time | Speed-up | Peak RSS, summed | Peak PSS, summed | Processes | Outcome |\n");
    std::printf("|---|---|---|---|---|---|---|---|\n");
    for (const bool fast : {false, true}) {
        double sequential = 0;
        for (const int jobs : {1, 16}) {
            const Run run = RunFleet(dir.path(), jobs, fast);
            if (jobs == 1)
                sequential = run.seconds;
            std::printf("| %s | %d | %.1f s | %s | %.0f MB | %.0f MB | %d | %s |\n", fast ? "fast" : "standard", jobs,
                        run.seconds, jobs == 1 ? "1.0x" : qPrintable(QStringLiteral("%1x").arg(sequential / run.seconds, 0, 'f', 1)),
                        run.peak.rssKb / 1024.0, run.peak.pssKb / 1024.0, run.peakProcesses,
                        qPrintable(run.totals));
            std::fflush(stdout);
        }
    }
    sim.terminate();
    sim.waitForFinished(3000);
    return 0;
}
