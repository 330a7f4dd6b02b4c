// dtucfg fleet against simulated fleets: every outcome a device can have,
// the report naming it, the values each device holds afterwards, the shared
// profile left byte for byte as it was, and Ctrl+C ending a run with a
// report.
#include "core/TextFile.h"
#include "support/SimProcess.h"
#include "support/TestMain.h"
#include "support/TestPaths.h"
#include "support/WorkFolder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QDir>
#include <QtTest>

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

QStringList SimArgs(const WorkFolder &dir, const QStringList &more)
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
        QVERIFY2(tcp.Start(SimArgs(dir, {"--tcp", "0", "--count", "6", "--unit", "2", "--silent", "--unit", "4",
                                         "--refuse", "--only", "0031", "--unit", "5", "--password", "135790"}),
                           dir.Path(QStringLiteral("sim")), 6),
                 qPrintable(tcp.Error()));
        SimProcess pty;
        QVERIFY2(pty.Start(SimArgs(dir, {}), dir.Path(QStringLiteral("sim"))), qPrintable(pty.Error()));

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
        QVERIFY2(run.err.contains(QStringLiteral("7 devices: 4 ok, 1 unreachable, 1 written-with-errors, "
                                                 "1 refused-password")),
                 qPrintable(run.err));

        const QJsonArray devices = ReportDevices(dir, QStringLiteral("report.json"));
        QCOMPARE(Outcomes(devices),
                 (QStringList{"ok", "unreachable", "ok", "written-with-errors", "refused-password", "ok", "ok"}));
        const QJsonObject refusing = devices.at(3).toObject();
        QCOMPARE(refusing.value(QStringLiteral("target")).toString(), TcpTarget(tcp, 4));
        QCOMPARE(refusing.value(QStringLiteral("name")).toString(), QStringLiteral("unit 4"));
        QCOMPARE(refusing.value(QStringLiteral("rows_written")).toInt(), 13); // 14 rows at level 2, one refused
        const QJsonArray failed = refusing.value(QStringLiteral("rows_failed")).toArray();
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed.at(0).toObject().value(QStringLiteral("number")).toString(), QStringLiteral("0031"));
        QCOMPARE(failed.at(0).toObject().value(QStringLiteral("result")).toString(), QStringLiteral("[参数设置失败]"));
        QCOMPARE(devices.at(0).toObject().value(QStringLiteral("rows_written")).toInt(), 14);
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
        QCOMPARE(serial.value(QStringLiteral("0091")), QStringLiteral("DTU0001"));
        // The refusing device took the rows after the refused one.
        const QMap<QString, QString> fourth = ReadValues(dir, tcp.CfgChannel(4));
        QCOMPARE(fourth.value(QStringLiteral("0030")), QStringLiteral("10.0.0.8"));
        QCOMPARE(fourth.value(QStringLiteral("0091")), QStringLiteral("DTU0001"));
    }

    void refusesWhatWouldGoWrongBeforeStarting()
    {
        WorkFolder dir(WorkFolder::kAllExamples);
        dir.Write(QStringLiteral("number.csv"), "target,0091\ntcp:127.0.0.1:1,DTU1\n");
        const ProgramRun level = RunProgram(QStringLiteral("dtucfg"),
                                            {"fleet", "number.csv", "--profile", "example_profile.txt"}, dir.Path());
        QCOMPARE(level.exitCode, 2);
        QVERIFY2(level.err.contains(QStringLiteral("0091, which is written only with --level 2")), qPrintable(level.err));
        dir.Write(QStringLiteral("twice.csv"), "target\ntcp:127.0.0.1:1\ntcp:127.0.0.1:1\n");
        const ProgramRun twice = RunProgram(QStringLiteral("dtucfg"),
                                            {"fleet", "twice.csv", "--profile", "example_profile.txt"}, dir.Path());
        QCOMPARE(twice.exitCode, 2);
        QVERIFY2(twice.err.contains(QStringLiteral("line 3: tcp:127.0.0.1:1 is listed twice")), qPrintable(twice.err));
        // A value the row cannot take is the worker's usage error, for that device alone.
        dir.Write(QStringLiteral("label.csv"), "target,0032\ntcp:127.0.0.1:1,SCTP\n");
        const ProgramRun label = RunProgram(QStringLiteral("dtucfg"),
                                            {"fleet", "label.csv", "--profile", "example_profile.txt", "--report",
                                             "r.csv"},
                                            dir.Path());
        QCOMPARE(label.exitCode, 1);
        QVERIFY2(dir.Read(QStringLiteral("r.csv")).contains("unreachable"), dir.Read(QStringLiteral("r.csv")).constData());
        QVERIFY2(dir.Read(QStringLiteral("r.csv")).contains("0032: choose one of: TCP, UDP"),
                 dir.Read(QStringLiteral("r.csv")).constData());
    }

    void interruptStopsBetweenRowsAndStillReports()
    {
        WorkFolder dir(WorkFolder::kAllExamples);
        WriteSimFolder(dir);
        // Slow devices in the standard reply mode: a device takes seconds.
        SimProcess sim;
        QVERIFY2(sim.Start(SimArgs(dir, {"--tcp", "0", "--count", "3", "--delay", "100"}),
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
        // Under way on the first device, a few rows in (after the snapshot
        // read of both tables, about two seconds at this pace).
        QByteArray said;
        QTRY_VERIFY2_WITH_TIMEOUT((said += fleet.readAllStandardError()).contains("started"), said.constData(), 10000);
        QTest::qWait(4000);
        QElapsedTimer stopping;
        stopping.start();
        ::kill(static_cast<pid_t>(fleet.processId()), SIGINT);
        QVERIFY(fleet.waitForFinished(10000));
        // The current exchange ends (at most a reply time), nothing more.
        QVERIFY2(stopping.elapsed() < 4000, qPrintable(QString::number(stopping.elapsed())));
        QCOMPARE(fleet.exitStatus(), QProcess::NormalExit);
        QCOMPARE(fleet.exitCode(), 1);

        const QJsonArray devices = ReportDevices(dir, QStringLiteral("r.json"));
        QCOMPARE(Outcomes(devices), (QStringList{"written-with-errors", "not-started", "not-started"}));
        const QJsonObject first = devices.at(0).toObject();
        const int written = first.value(QStringLiteral("rows_written")).toInt();
        QVERIFY2(written >= 1 && written < 13, qPrintable(QString::number(written)));
        QCOMPARE(first.value(QStringLiteral("detail")).toString(),
                 QStringLiteral("%1 of 13 rows not reached").arg(13 - written));
    }
};

DTU_TEST_GUILESS(FleetTest)
#include "tst_fleet.moc"
