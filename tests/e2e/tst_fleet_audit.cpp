// A fleet with one unit drifted, end to end: the audit names that unit and
// its row and writes nothing; the fleet then writes that one row; a second
// fleet finds nothing to write.
#include "support/SimProcess.h"
#include "support/TestMain.h"
#include "support/WorkFolder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>

namespace {
// The requests in a log that change a device: a parameter write (its
// number as the word), restore (E002), reset (E003), set the clock (E00D).
int ChangesIn(const QString &log)
{
    static const QRegularExpression change(QStringLiteral("rx ch\\d ((?!E0)[0-9A-F]{4}|E00[23D])\\b"));
    return int(log.count(change));
}

QJsonObject Document(const ProgramRun &run)
{
    return QJsonDocument::fromJson(run.out.join(QLatin1Char('\n')).toUtf8()).object();
}
} // namespace

class FleetAuditTest : public QObject {
    Q_OBJECT
private slots:
    void auditFindsTheDriftAndTheFleetMendsOnlyIt()
    {
        WorkFolder dir(WorkFolder::kAllExamples);
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs() + QStringList{"--tcp", "0", "--count", "3", "--verbose", "--unit", "2",
                                                                   "--value", "0031=9001"},
                           dir.Path(), 3),
                 qPrintable(sim.Error()));
        QByteArray inventory = "target\n";
        for (int unit = 1; unit <= 3; ++unit)
            inventory += "tcp:127.0.0.1:" + sim.TcpPort(unit).toUtf8() + '\n';
        dir.Write(QStringLiteral("fleet.csv"), inventory);
        const QStringList common{"fleet.csv", "--profile", "example_profile.txt", "--fast", "--json"};

        qsizetype logged = sim.Log().size();
        const ProgramRun audit = RunProgram(QStringLiteral("dtucfg"), QStringList{"audit"} + common, dir.Path());
        QCOMPARE(audit.exitCode, 3);
        const QJsonArray devices = Document(audit).value(QStringLiteral("outcome")).toObject().value(QStringLiteral("devices")).toArray();
        QCOMPARE(devices.size(), 3);
        QCOMPARE(devices[0].toObject().value(QStringLiteral("outcome")).toString(), QStringLiteral("ok"));
        const QJsonObject drifted = devices[1].toObject();
        QCOMPARE(drifted.value(QStringLiteral("outcome")).toString(), QStringLiteral("differs"));
        const QJsonArray rows = drifted.value(QStringLiteral("differences")).toArray();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0].toObject().value(QStringLiteral("number")).toString(), QStringLiteral("0031"));
        QCOMPARE(rows[0].toObject().value(QStringLiteral("expected")).toString(), QStringLiteral("8080"));
        QCOMPARE(rows[0].toObject().value(QStringLiteral("device")).toString(), QStringLiteral("9001"));
        // 0091 at level 0 is not compared.
        QCOMPARE(drifted.value(QStringLiteral("not_compared")).toInt(), 1);
        QVERIFY(sim.WaitForLog(QStringLiteral("unit 3: rx ch0 E001"), 5000));
        QCOMPARE(ChangesIn(sim.Log().mid(logged)), 0);

        logged = sim.Log().size();
        const ProgramRun mend = RunProgram(QStringLiteral("dtucfg"), QStringList{"fleet"} + common, dir.Path());
        QCOMPARE(mend.exitCode, 0);
        const QJsonArray mended = Document(mend).value(QStringLiteral("outcome")).toObject().value(QStringLiteral("devices")).toArray();
        QCOMPARE(mended[1].toObject().value(QStringLiteral("rows_written")).toInt(), 1);
        QCOMPARE(mended[0].toObject().value(QStringLiteral("rows_written")).toInt(), 0);
        QCOMPARE(mended[0].toObject().value(QStringLiteral("rows_unchanged")).toInt(), 13);
        QVERIFY(sim.WaitForLog(QStringLiteral("unit 2: rx ch1 0031 [1F 90]"), 5000));
        QCOMPARE(ChangesIn(sim.Log().mid(logged)), 1);

        const ProgramRun again = RunProgram(QStringLiteral("dtucfg"), QStringList{"audit"} + common, dir.Path());
        QCOMPARE(again.exitCode, 0);

        // One device under two names would meet itself busy: refused before any is contacted.
        dir.Write(QStringLiteral("twins.csv"), "target\ntcp:127.0.0.1:" + sim.TcpPort(1).toUtf8() + "\ntcp:localhost:"
                                                  + sim.TcpPort(1).toUtf8() + "\n");
        const ProgramRun twins = RunProgram(QStringLiteral("dtucfg"), {"fleet", "twins.csv", "--profile", "example_profile.txt"},
                                            dir.Path());
        QCOMPARE(twins.exitCode, 2);
        QVERIFY2(twins.err.contains(QStringLiteral("清单第3行第1列：tcp:localhost:%1 与第2行的 tcp:127.0.0.1:%1 是同一台设备")
                                        .arg(sim.TcpPort(1))),
                 qPrintable(twins.err));
    }
};

DTU_TEST_GUILESS(FleetAuditTest)
#include "tst_fleet_audit.moc"
