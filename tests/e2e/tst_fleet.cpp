// dtucfg fleet against simulated fleets, a worker process per device: every
// outcome a device can have and the report naming it, the shared profile
// left byte for byte as it was, the password kept off the command line, and
// Ctrl+C (or a stop as a worker starts) ending a run with a report. What one
// device's worker does is e2e/tst_actions (fleetWorker); what an inventory
// may hold, e2e/tst_dtucfg_refusals.
#include "core/TextFile.h"
#include "fleet/FleetRunner.h"
#include "support/SimProcess.h"
#include "support/TestMain.h"
#include "support/TestPaths.h"
#include "support/WorkFolder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QDir>
#include <QTest>

#include <csignal>

namespace {

// The simulated devices start with values other than the profile's, so a
// value read back was written by the fleet: 中心地址 1.2.3.4, 中心端口 80,
// 设备编号 DTU0009, 轮询周期 30秒.
void WriteSimFolder(const WorkFolder &dir)
{
    QVERIFY(QDir().mkpath(dir.Path(QStringLiteral("sim"))));
    QString profile = TextFile::FromGbk(dir.Read(QStringLiteral("example_profile.txt")));
    profile.replace(QStringLiteral("HEX:31302E302E302E38"), QStringLiteral("HEX:312E322E332E34"));
    profile.replace(QStringLiteral("HEX:1F90"), QStringLiteral("HEX:0050"));
    profile.replace(QStringLiteral("HEX:44545530303031"), QStringLiteral("HEX:44545530303039"));
    dir.WriteGbk(QStringLiteral("sim/example_profile.txt"), profile);
    QString ext = TextFile::FromGbk(dir.Read(QStringLiteral("example_ext.txt")));
    ext.replace(QStringLiteral("HEX:000A"), QStringLiteral("HEX:001E"));
    dir.WriteGbk(QStringLiteral("sim/example_ext.txt"), ext);
    dir.Write(QStringLiteral("sim/script.js"), dir.Read(QStringLiteral("script.js")));
}

QStringList FleetSimArgs(const WorkFolder &dir, const QStringList &more)
{
    return QStringList{QStringLiteral("--profile"), dir.Path(QStringLiteral("sim/example_profile.txt"))} + more;
}

QString TcpTarget(const SimProcess &sim, int unit)
{
    return QStringLiteral("tcp:127.0.0.1:") + sim.TcpPort(unit);
}

QJsonArray ReportDevices(const WorkFolder &dir, const QString &name)
{
    return QJsonDocument::fromJson(dir.Read(name)).object().value(QStringLiteral("devices")).toArray();
}

QStringList Outcomes(const QJsonArray &devices)
{
    QStringList outcomes;
    for (const QJsonValue &d : devices)
        outcomes << d.toObject().value(QStringLiteral("outcome")).toString();
    return outcomes;
}

// The command lines of this process's children, as any user may read them.
QStringList ChildCommandLines()
{
    QStringList lines;
    const QString me = QString::number(QCoreApplication::applicationPid());
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // pid (name) state ppid ...: the name may hold blanks, so count from its end.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> after = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (after.size() < 2 || QString::fromLatin1(after[1]) != me)
            continue;
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (cmdline.open(QIODevice::ReadOnly))
            lines << QString::fromUtf8(cmdline.readAll().replace('\0', ' '));
    }
    return lines;
}

} // namespace

class FleetTest : public QObject {
    Q_OBJECT
private slots:
    void everyOutcomeInTheReport()
    {
        WorkFolder dir(WorkFolder::kAllExamples);
        WriteSimFolder(dir);
        // Six on TCP: the second silent, the fourth refusing 0031, the
        // fifth with a password the inventory does not know. The seventh
        // on a pseudo-terminal, where opening the port would store the port
        // settings into the profile.
        SimProcess tcp;
        QVERIFY2(tcp.Start(FleetSimArgs(dir, {"--tcp", "0", "--count", "6", "--unit", "2", "--silent", "--unit", "4",
                                         "--refuse", "--only", "0031", "--unit", "5", "--password", "135790"}),
                           dir.Path(QStringLiteral("sim")), 6),
                 qPrintable(tcp.Error()));
        SimProcess pty;
        QVERIFY2(pty.Start(FleetSimArgs(dir, {}), dir.Path(QStringLiteral("sim"))), qPrintable(pty.Error()));

        QByteArray inventory = "target,name,0091,0030,0102\n";
        for (int unit = 1; unit <= 6; ++unit) {
            inventory += TcpTarget(tcp, unit).toUtf8() + ",unit " + QByteArray::number(unit);
            if (unit == 1)
                inventory += ",DTU0101,,";
            else if (unit == 6)
                inventory += ",DTU0106,10.9.9.6,60秒"; // the extended table's 轮询周期, by its label
            else
                inventory += ",,,";
            inventory += '\n';
        }
        inventory += pty.Pty().toUtf8() + ",serial,,,\n";
        dir.Write(QStringLiteral("fleet.csv"), inventory);
        dir.Write(QStringLiteral("blocker"), "a file where the store's folder would be");
        const QByteArray profileBefore = dir.Read(QStringLiteral("example_profile.txt"));
        const QByteArray extBefore = dir.Read(QStringLiteral("example_ext.txt"));

        const ProgramRun run = RunProgram(
            QStringLiteral("dtucfg"),
            {"fleet", "fleet.csv", "--profile", "example_profile.txt", "--level", "2", "--fast", "--verify",
             "--report", "report.json", "--records", "blocker/records.sqlite"},
            dir.Path(), 120000);
        QCOMPARE(run.exitCode, 1); // not every device is ok
        QVERIFY2(run.err.contains(QStringLiteral("共7台设备：成功 4台，无法连接 1台，部分失败 1台，密码错误或设备正忙 1台")),
                 qPrintable(run.err));

        const QJsonArray devices = ReportDevices(dir, QStringLiteral("report.json"));
        QCOMPARE(Outcomes(devices),
                 (QStringList{"ok", "unreachable", "ok", "written-with-errors", "refused-password", "ok", "ok"}));
        const QJsonObject refusing = devices.at(3).toObject();
        QCOMPARE(refusing.value(QStringLiteral("target")).toString(), TcpTarget(tcp, 4));
        QCOMPARE(refusing.value(QStringLiteral("name")).toString(), QStringLiteral("unit 4"));
        // Only what differs is written: 0030 and the extended 0102; 0031 is
        // refused, and the device keeps its own number (no cell gave one).
        QCOMPARE(refusing.value(QStringLiteral("rows_written")).toInt(), 2);
        QCOMPARE(refusing.value(QStringLiteral("rows_unchanged")).toInt(), 10);
        QCOMPARE(refusing.value(QStringLiteral("own_number_kept")).toBool(), true);
        const QJsonArray failed = refusing.value(QStringLiteral("rows_failed")).toArray();
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed.at(0).toObject().value(QStringLiteral("number")).toString(), QStringLiteral("0031"));
        QCOMPARE(failed.at(0).toObject().value(QStringLiteral("result")).toString(), QStringLiteral("[参数设置失败]"));
        QCOMPARE(devices.at(0).toObject().value(QStringLiteral("rows_written")).toInt(), 4);
        QCOMPARE(devices.at(0).toObject().value(QStringLiteral("own_number_kept")).toBool(), false);
        QCOMPARE(devices.at(1).toObject().value(QStringLiteral("rows_written")).toInt(), 0);
        QVERIFY(devices.at(0).toObject().value(QStringLiteral("seconds")).toDouble() > 0);

        // Nothing shared was modified.
        QCOMPARE(dir.Read(QStringLiteral("example_profile.txt")), profileBefore);
        QCOMPARE(dir.Read(QStringLiteral("example_ext.txt")), extBefore);

        // The cells reach their workers: the sixth device's address, number
        // and the extended 轮询周期 by its label, with the port that differs.
        QCOMPARE(devices.at(5).toObject().value(QStringLiteral("rows_written")).toInt(), 4);
        QCOMPARE(devices.at(5).toObject().value(QStringLiteral("own_number_kept")).toBool(), false);
        // The store the workers could not keep their entries in: each device
        // reached was written all the same, and the run says so per device.
        QVERIFY2(run.err.contains(QStringLiteral("dtucfg: 警告：%1 的操作没有记入设备档案：").arg(TcpTarget(tcp, 1))),
                 qPrintable(run.err));
    }

    // A stop asked while a worker is still starting reaches it: no device
    // is written after the stop.
    void stopReachesWorkersStillStarting()
    {
        WorkFolder dir(WorkFolder::kAllExamples);
        WriteSimFolder(dir);
        SimProcess sim;
        QVERIFY2(sim.Start(FleetSimArgs(dir, {"--tcp", "0", "--count", "2"}), dir.Path(QStringLiteral("sim")), 2),
                 qPrintable(sim.Error()));
        QList<FleetDevice> devices;
        for (int unit = 1; unit <= 2; ++unit) {
            FleetDevice device;
            device.target = *Endpoint::Parse(TcpTarget(sim, unit));
            devices << device;
        }
        FleetRunner::Settings settings;
        settings.profilePath = dir.Path(QStringLiteral("example_profile.txt"));
        settings.scriptPath = dir.Path(QStringLiteral("script.js"));
        settings.workDir = dir.Path();
        settings.fast = true;
        FleetRunner runner;
        // The first worker is being made when the second device's turn comes.
        QObject::connect(&runner, &FleetRunner::deviceStarted, &runner, [&](int index) {
            if (index == 1)
                runner.Stop();
        });
        QSignalSpy ended(&runner, &FleetRunner::finished);
        QVERIFY(runner.Start(devices, settings));
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 20000);
        for (const DeviceReport &r : runner.Reports()) {
            QVERIFY2(r.outcome != OutcomeId::Ok && r.written == 0, qPrintable(OutcomeName(r.outcome) + QLatin1Char(' ') + FleetReport::DetailText(r.why)));
        }
        QCOMPARE(runner.Reports().at(1).outcome, OutcomeId::NotStarted);
    }

    // A device's password reaches its worker on standard input: the
    // worker's command line, which every user can read, holds none.
    void workerCommandLineHoldsNoPassword()
    {
        WorkFolder dir(WorkFolder::kAllExamples);
        WriteSimFolder(dir);
        SimProcess sim;
        QVERIFY2(sim.Start(FleetSimArgs(dir, {"--tcp", "0", "--password", "135790"}), dir.Path(QStringLiteral("sim"))),
                 qPrintable(sim.Error()));
        FleetDevice device;
        device.target = *Endpoint::Parse(TcpTarget(sim, 1));
        device.password = QStringLiteral("135790");
        FleetRunner::Settings settings;
        settings.profilePath = dir.Path(QStringLiteral("example_profile.txt"));
        settings.scriptPath = dir.Path(QStringLiteral("script.js"));
        settings.workDir = dir.Path();
        FleetRunner runner;
        // While the worker writes, its command line as ps shows it.
        QStringList commandLines;
        QObject::connect(&runner, &FleetRunner::deviceProgress, &runner, [&] {
            if (commandLines.isEmpty())
                commandLines = ChildCommandLines();
        });
        QSignalSpy ended(&runner, &FleetRunner::finished);
        QVERIFY(runner.Start({device}, settings));
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 60000);
        // The simulated device is a child too, with its password on its own command line.
        const QStringList workers = commandLines.filter(QStringLiteral(" provision --events"));
        QVERIFY2(workers.size() == 1, qPrintable(commandLines.join(QLatin1Char('\n'))));
        QVERIFY2(workers[0].contains(QStringLiteral("--password-file -")), qPrintable(workers[0]));
        QVERIFY2(!workers[0].contains(QStringLiteral("135790")), qPrintable(workers[0]));
        // The device took it: what differed is written.
        QCOMPARE(runner.Reports().at(0).outcome, OutcomeId::Ok);
        QCOMPARE(runner.Reports().at(0).written, 3);
    }

    void interruptStopsBetweenRowsAndStillReports()
    {
        WorkFolder dir(WorkFolder::kAllExamples);
        WriteSimFolder(dir);
        // Slow devices in the standard reply mode: a device takes seconds.
        SimProcess sim;
        QVERIFY2(sim.Start(FleetSimArgs(dir, {"--tcp", "0", "--count", "3", "--delay", "100", "--verbose"}),
                           dir.Path(QStringLiteral("sim")), 3),
                 qPrintable(sim.Error()));
        QByteArray inventory = "target\n";
        for (int unit = 1; unit <= 3; ++unit)
            inventory += TcpTarget(sim, unit).toUtf8() + '\n';
        dir.Write(QStringLiteral("fleet.csv"), inventory);

        QProcess fleet;
        fleet.setWorkingDirectory(dir.Path());
        fleet.start(TestPaths::Program(QStringLiteral("dtucfg")),
                    {"fleet", "fleet.csv", "--profile", "example_profile.txt", "--jobs", "1", "--report", "r.json"});
        QVERIFY(fleet.waitForStarted());
        // Under way on the first device: its second row asked for, so one
        // row is written whenever the worker got going.
        QVERIFY2(sim.WaitForLog(QStringLiteral("unit 1: rx ch1 0031"), 30000), qPrintable(sim.Log()));
        QElapsedTimer stopping;
        stopping.start();
        ::kill(static_cast<pid_t>(fleet.processId()), SIGINT);
        QVERIFY(fleet.waitForFinished(20000));
        // A smoke test on the real clock: the current exchange ends (a reply
        // time, ~0.5 s), then the worker and the run; the bound is over five
        // times that.
        QVERIFY2(stopping.elapsed() < 8000, qPrintable(QString::number(stopping.elapsed())));
        QCOMPARE(fleet.exitStatus(), QProcess::NormalExit);
        QCOMPARE(fleet.exitCode(), 1);

        const QJsonArray devices = ReportDevices(dir, QStringLiteral("r.json"));
        QCOMPARE(Outcomes(devices), (QStringList{"stopped", "not-started", "not-started"}));
        const QJsonObject first = devices.at(0).toObject();
        const int written = first.value(QStringLiteral("rows_written")).toInt();
        // Three rows differ (0030, 0031 and the extended 0102).
        QVERIFY2(written >= 1 && written < 3, qPrintable(QString::number(written)));
        QCOMPARE(first.value(QStringLiteral("detail")).toString(),
                 QStringLiteral("%1 of 3 rows not reached").arg(3 - written));
    }
};

DTU_TEST_GUILESS(FleetTest)
#include "tst_fleet.moc"
