// dtucfg fleet against simulated fleets: every outcome a device can have,
// the report naming it, the values each device holds afterwards, the shared
// profile left byte for byte as it was, the read-back comparing what the
// run may write, and Ctrl+C (or a stop as a worker starts) ending a run
// with a report.
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

// "number<TAB>name<TAB>raw<TAB>shown" lines of a read: number -> shown.
QMap<QString, QString> ReadValues(const WorkFolder &dir, const QStringList &channel, bool ext = false)
{
    QStringList args{QStringLiteral("--profile"), QStringLiteral("example_profile.txt")};
    args += channel;
    if (ext)
        args << QStringLiteral("--ext");
    args << QStringLiteral("--fast") << QStringLiteral("read");
    const ProgramRun run = RunProgram(QStringLiteral("dtucfg"), args, dir.Path());
    QMap<QString, QString> values;
    if (run.exitCode != 0)
        return values;
    for (const QString &line : run.out) {
        const QStringList cells = line.split(QLatin1Char('\t'));
        if (cells.size() == 4)
            values.insert(cells[0], cells[3]);
    }
    return values;
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
    void everyOutcomeAndTheValuesWritten()
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
        const QByteArray profileBefore = dir.Read(QStringLiteral("example_profile.txt"));
        const QByteArray extBefore = dir.Read(QStringLiteral("example_ext.txt"));

        const ProgramRun run = RunProgram(
            QStringLiteral("dtucfg"),
            {"fleet", "fleet.csv", "--profile", "example_profile.txt", "--level", "2", "--fast", "--verify",
             "--report", "report.json"},
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

        // The healthy devices hold the profile's values and their own.
        const QMap<QString, QString> first = ReadValues(dir, tcp.CfgChannel(1));
        QCOMPARE(first.value(QStringLiteral("0030")), QStringLiteral("10.0.0.8"));
        QCOMPARE(first.value(QStringLiteral("0031")), QStringLiteral("8080"));
        QCOMPARE(first.value(QStringLiteral("0091")), QStringLiteral("DTU0101"));
        const QMap<QString, QString> sixth = ReadValues(dir, tcp.CfgChannel(6));
        QCOMPARE(sixth.value(QStringLiteral("0030")), QStringLiteral("10.9.9.6"));
        QCOMPARE(sixth.value(QStringLiteral("0031")), QStringLiteral("8080"));
        QCOMPARE(sixth.value(QStringLiteral("0091")), QStringLiteral("DTU0106"));
        QCOMPARE(ReadValues(dir, tcp.CfgChannel(6), true).value(QStringLiteral("0102")), QStringLiteral("60秒"));
        QCOMPARE(ReadValues(dir, tcp.CfgChannel(3), true).value(QStringLiteral("0102")), QStringLiteral("10秒"));
        const QMap<QString, QString> serial = ReadValues(dir, pty.CfgChannel(1));
        QCOMPARE(serial.value(QStringLiteral("0031")), QStringLiteral("8080"));
        QCOMPARE(serial.value(QStringLiteral("0091")), QStringLiteral("DTU0009")); // its own number

        // The refusing device took the rows after the refused one.
        const QMap<QString, QString> fourth = ReadValues(dir, tcp.CfgChannel(4));
        QCOMPARE(fourth.value(QStringLiteral("0030")), QStringLiteral("10.0.0.8"));
        QCOMPARE(fourth.value(QStringLiteral("0091")), QStringLiteral("DTU0009"));
    }

    void refusesWhatWouldGoWrongBeforeStarting()
    {
        WorkFolder dir(WorkFolder::kAllExamples);
        dir.Write(QStringLiteral("number.csv"), "target,0091\ntcp:127.0.0.1:1,DTU1\n");
        const ProgramRun level = RunProgram(QStringLiteral("dtucfg"),
                                            {"fleet", "number.csv", "--profile", "example_profile.txt"}, dir.Path());
        QCOMPARE(level.exitCode, 2);
        QVERIFY2(level.err.contains(QStringLiteral("清单给出了参数0091的值，它只在访问级别2写入")), qPrintable(level.err));
        dir.Write(QStringLiteral("twice.csv"), "target\ntcp:127.0.0.1:1\ntcp:127.0.0.1:1\n");
        const ProgramRun twice = RunProgram(QStringLiteral("dtucfg"),
                                            {"fleet", "twice.csv", "--profile", "example_profile.txt"}, dir.Path());
        QCOMPARE(twice.exitCode, 2);
        QVERIFY2(twice.err.contains(QStringLiteral("twice.csv：第3行第1列：tcp:127.0.0.1:1 已在第2行列出")), qPrintable(twice.err));
        // One port under two names, a column given twice: usage errors naming them.
        dir.Write(QStringLiteral("spellings.csv"), "target\nttyUSB0\n/dev/ttyUSB0\n");
        const ProgramRun spellings = RunProgram(
            QStringLiteral("dtucfg"), {"fleet", "spellings.csv", "--profile", "example_profile.txt"}, dir.Path());
        QCOMPARE(spellings.exitCode, 2);
        QVERIFY2(spellings.err.contains(QStringLiteral("第3行第1列：/dev/ttyUSB0 已在第2行列出")), qPrintable(spellings.err));
        dir.Write(QStringLiteral("columns.csv"), "target,0031,0031\ntcp:127.0.0.1:1,1,2\n");
        const ProgramRun columns = RunProgram(
            QStringLiteral("dtucfg"), {"fleet", "columns.csv", "--profile", "example_profile.txt"}, dir.Path());
        QCOMPARE(columns.exitCode, 2);
        QVERIFY2(columns.err.contains(QStringLiteral("第1行第3列：列“0031”出现了两次")), qPrintable(columns.err));
        // Every column and cell as the workers would take them, each
        // refusal naming its line and column; nothing is started.
        dir.Write(QStringLiteral("cells.csv"), "target,name,0032,0031\n"
                                               "tcp:127.0.0.1:1,a,SCTP,9000\n"
                                               "tcp:127.0.0.1:2,b,TCP,\n"
                                               "tcp:127.0.0.1:3,c,UDP,123456\n");
        const ProgramRun cells = RunProgram(QStringLiteral("dtucfg"),
                                            {"fleet", "cells.csv", "--profile", "example_profile.txt", "--report",
                                             "r.csv"},
                                            dir.Path());
        QCOMPARE(cells.exitCode, 2);
        // Each refusal names its line and column, the row and what it takes
        // (the reason in the run's language).
        QVERIFY2(cells.err.contains(QRegularExpression(QStringLiteral("清单第2行第3列.*0032.*TCP, UDP"))),
                 qPrintable(cells.err));
        QVERIFY2(cells.err.contains(QRegularExpression(QStringLiteral("清单第4行第4列.*0031.*5"))),
                 qPrintable(cells.err));
        QVERIFY2(!cells.err.contains(QStringLiteral("第3行")), qPrintable(cells.err));
        QVERIFY(!QFile::exists(dir.Path(QStringLiteral("r.csv"))));
        dir.Write(QStringLiteral("unknown.csv"), "target,0031,00EE\ntcp:127.0.0.1:1,9000,\n");
        const ProgramRun unknown = RunProgram(QStringLiteral("dtucfg"),
                                              {"fleet", "unknown.csv", "--profile", "example_profile.txt"}, dir.Path());
        QCOMPARE(unknown.exitCode, 2);
        QVERIFY2(unknown.err.contains(QRegularExpression(QStringLiteral("fleet：清单第1行第3列：参数文件中没有参数 00EE"))),
                 qPrintable(unknown.err));
        // A header and no device: nothing to do is a usage error, not "0 devices".
        dir.Write(QStringLiteral("empty.csv"), "target,name\n");
        const ProgramRun empty = RunProgram(QStringLiteral("dtucfg"),
                                            {"fleet", "empty.csv", "--profile", "example_profile.txt"}, dir.Path());
        QCOMPARE(empty.exitCode, 2);
        QVERIFY2(empty.err.contains(QStringLiteral("fleet：清单中没有设备")), qPrintable(empty.err));
        // More workers at once than the ceiling: refused with the reason.
        const ProgramRun jobs = RunProgram(QStringLiteral("dtucfg"),
                                           {"fleet", "twice.csv", "--profile", "example_profile.txt", "--jobs", "1000"},
                                           dir.Path());
        QCOMPARE(jobs.exitCode, 2);
        QVERIFY2(jobs.err.contains(QStringLiteral("--jobs：最多同时64台设备（每台一个进程），不能是1000")),
                 qPrintable(jobs.err));
    }

    // dtucfg fleet --verify at level 0: the devices keep their own device
    // numbers, which the level withholds, and are ok; rows given to
    // --ignore are left alone too (typed with a blank after the comma).
    void verifyComparesWhatTheRunMayWrite()
    {
        WorkFolder dir(WorkFolder::kAllExamples);
        WriteSimFolder(dir);
        SimProcess sim;
        QVERIFY2(sim.Start(FleetSimArgs(dir, {"--tcp", "0", "--count", "2"}), dir.Path(QStringLiteral("sim")), 2),
                 qPrintable(sim.Error()));
        dir.Write(QStringLiteral("fleet.csv"),
                  "target\n" + TcpTarget(sim, 1).toUtf8() + '\n' + TcpTarget(sim, 2).toUtf8() + '\n');
        const ProgramRun run = RunProgram(QStringLiteral("dtucfg"),
                                          {"fleet", "fleet.csv", "--profile", "example_profile.txt", "--fast",
                                           "--verify", "--ignore", "0033, 0041", "--report", "r.json", "--lang", "en"},
                                          dir.Path());
        QVERIFY2(run.exitCode == 0, qPrintable(run.Describe()));
        // The lines follow --lang; the report keeps its identifiers.
        QVERIFY2(run.err.contains(QStringLiteral("2 devices — Succeeded: 2")), qPrintable(run.err));
        // Only the three rows that differ are written (the device number is withheld).
        QVERIFY2(run.err.contains(QStringLiteral("Succeeded  3 rows written, 10 already right")), qPrintable(run.err));
        QVERIFY2(!run.err.contains(QStringLiteral("成功")), qPrintable(run.err));
        QCOMPARE(Outcomes(ReportDevices(dir, QStringLiteral("r.json"))), (QStringList{"ok", "ok"}));
        const QMap<QString, QString> first = ReadValues(dir, sim.CfgChannel(1));
        QCOMPARE(first.value(QStringLiteral("0091")), QStringLiteral("DTU0009"));
        QCOMPARE(first.value(QStringLiteral("0031")), QStringLiteral("8080"));
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
        for (int unit = 1; unit <= 2; ++unit)
            QCOMPARE(ReadValues(dir, sim.CfgChannel(unit)).value(QStringLiteral("0031")), QStringLiteral("80"));
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

    // dtucfg's own ways to a password no one else can read: a file (its
    // first line) and DTU_PASSWORD; --password beats the variable, and
    // with --password-file it is a usage error.
    void passwordFromFileOrEnvironment()
    {
        WorkFolder dir(WorkFolder::kAllExamples);
        WriteSimFolder(dir);
        SimProcess sim;
        QVERIFY2(sim.Start(FleetSimArgs(dir, {"--tcp", "0", "--password", "135790"}), dir.Path(QStringLiteral("sim"))),
                 qPrintable(sim.Error()));
        const QStringList status = QStringList{"--profile", "example_profile.txt"} + sim.CfgChannel(1)
            + QStringList{"--fast", "status"};
        dir.Write(QStringLiteral("pw.txt"), "135790\r\nsecond line\n");
        const ProgramRun fromFile
            = RunProgram(QStringLiteral("dtucfg"), QStringList{"--password-file", "pw.txt"} + status, dir.Path());
        QVERIFY2(fromFile.exitCode == 0, qPrintable(fromFile.Describe()));
        const ProgramRun missing
            = RunProgram(QStringLiteral("dtucfg"), QStringList{"--password-file", "nosuch.txt"} + status, dir.Path());
        QCOMPARE(missing.exitCode, 2);
        QVERIFY2(missing.err.contains(QStringLiteral("--password-file：无法读取 nosuch.txt")), qPrintable(missing.err));
        const ProgramRun both = RunProgram(
            QStringLiteral("dtucfg"), QStringList{"--password", "135790", "--password-file", "pw.txt"} + status, dir.Path());
        QCOMPARE(both.exitCode, 2);

        qputenv("DTU_PASSWORD", "135790");
        const ProgramRun fromEnvironment = RunProgram(QStringLiteral("dtucfg"), status, dir.Path());
        const ProgramRun overridden
            = RunProgram(QStringLiteral("dtucfg"), QStringList{"--password", "480917"} + status, dir.Path());
        qunsetenv("DTU_PASSWORD");
        QVERIFY2(fromEnvironment.exitCode == 0, qPrintable(fromEnvironment.Describe()));
        QVERIFY2(overridden.exitCode != 0, qPrintable(overridden.Describe())); // the device closes on the wrong one
        // The default password is not this device's.
        QVERIFY(RunProgram(QStringLiteral("dtucfg"), status, dir.Path()).exitCode != 0);

        const ProgramRun help = RunProgram(QStringLiteral("dtucfg"), {"--help"}, dir.Path());
        QVERIFY2(help.out.join(QLatin1Char('\n')).contains(QStringLiteral("这台计算机的每个用户\n"
                                                                          "                   都能在进程列表中看到它")),
                 qPrintable(help.out.join(QLatin1Char('\n'))));
        const ProgramRun english = RunProgram(QStringLiteral("dtucfg"), {"--lang", "en", "--help"}, dir.Path());
        QVERIFY2(english.out.join(QLatin1Char('\n')).contains(QStringLiteral("Every user of\n"
                                                                             "                   this computer can read it")),
                 qPrintable(english.out.join(QLatin1Char('\n'))));
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
        QCOMPARE(Outcomes(devices), (QStringList{"written-with-errors", "not-started", "not-started"}));
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
