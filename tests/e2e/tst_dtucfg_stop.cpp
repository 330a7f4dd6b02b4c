// Ctrl+C or SIGTERM during a dtucfg action that writes rows: it ends after
// the exchange under way, says so, keeps its entry as stopped with the rows
// written and not reached, and the device holds exactly the rows reported
// written. A second signal ends dtucfg at once.
#include "support/SimProcess.h"
#include "support/StoreEntries.h"
#include "support/TestMain.h"
#include "support/TestPaths.h"
#include "support/WorkFolder.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <csignal>

namespace {
// The simulated device starts with values the profile does not have, so a
// row written (to the profile's value) and a row not reached tell apart.
const QStringList kDrift{"--value", "0030=1.1.1.1", "--value", "0031=81", "--value", "0033=91", "--value",
                         "0040=ABC", "--value", "0050=9600"};

QMap<QString, QString> Values(const WorkFolder &dir, const SimProcess &sim)
{
    const ProgramRun run = RunProgram(QStringLiteral("dtucfg"),
                                      QStringList{"--profile", "example_profile.txt", "--fast", "--no-records"}
                                          + sim.CfgChannel(1) + QStringList{"read"},
                                      dir.Path());
    QMap<QString, QString> values;
    for (const QString &line : run.out)
        if (const QStringList cells = line.split(QLatin1Char('\t')); cells.size() == 4)
            values.insert(cells[0], cells[2]);
    return values;
}

// The log from `from` on holding `text`, within limitMs.
bool LogAfter(SimProcess &sim, qsizetype from, const QString &text, int limitMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!sim.Log().mid(from).contains(text)) {
        if (waited.elapsed() > limitMs)
            return false;
        sim.WaitForLog(QStringLiteral("\n-"), 100); // reads what came meanwhile
    }
    return true;
}
} // namespace

class DtucfgStopTest : public QObject {
    Q_OBJECT
private slots:
    void stopsBetweenRows_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("signal");
        QTest::newRow("batch, SIGINT") << QStringList{"batch"} << SIGINT;
        QTest::newRow("write, SIGTERM") << QStringList{"write", "0030=10.0.0.8", "0031=8080", "0033=60", "0040=CMNET"}
                                        << SIGTERM;
        // Entry 1 is the drifted device's snapshot; the batch before it puts
        // the profile's values on, so the rollback has rows to write.
        QTest::newRow("rollback, SIGINT") << QStringList{"rollback", "1"} << SIGINT;
    }
    void stopsBetweenRows()
    {
        QFETCH(QStringList, args);
        QFETCH(int, signal);
        WorkFolder dir(WorkFolder::kAllExamples);
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs() + kDrift + QStringList{"--delay", "200", "--verbose"}, dir.Path()),
                 qPrintable(sim.Error()));
        const QStringList common = QStringList{"--profile", "example_profile.txt", "--fast", "--records", "r.sqlite"}
                                 + sim.CfgChannel(1);
        if (args.first() == QLatin1String("rollback")) {
            QCOMPARE(RunProgram(QStringLiteral("dtucfg"), common + QStringList{"read"}, dir.Path()).exitCode, 0);
            QCOMPARE(RunProgram(QStringLiteral("dtucfg"), common + QStringList{"batch"}, dir.Path()).exitCode, 0);
        }
        const QMap<QString, QString> before = Values(dir, sim);
        sim.WaitForLog(QStringLiteral("\n-"), 300); // the log of the runs before, read
        const qsizetype logged = sim.Log().size();

        QProcess cfg;
        cfg.setWorkingDirectory(dir.Path());
        cfg.start(TestPaths::Program(QStringLiteral("dtucfg")), common + args);
        QVERIFY(cfg.waitForStarted());
        // Once its second row is asked for, the first is written.
        QVERIFY2(LogAfter(sim, logged, QStringLiteral("rx ch1 0031"), 30000), qPrintable(sim.Log().mid(logged)));
        ::kill(static_cast<pid_t>(cfg.processId()), signal);
        QVERIFY(cfg.waitForFinished(20000));
        QCOMPARE(cfg.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cfg.exitCode(), 1);
        const QString out = QString::fromUtf8(cfg.readAllStandardOutput());
        const QRegularExpressionMatch said
            = QRegularExpression(QStringLiteral("\\[参数设置已停止，已写入(\\d+)个参数，(\\d+)个参数未写入！\\]")).match(out);
        QVERIFY2(said.hasMatch(), qPrintable(out));

        const RecordEntry entry = EntriesIn(dir.Path(QStringLiteral("r.sqlite"))).last();
        QCOMPARE(entry.outcome, QStringLiteral("stopped"));
        QStringList written, notReached;
        for (const RecordRow &row : entry.rows) {
            if (row.result == QLatin1String("ok"))
                written << row.number;
            else if (row.result == QLatin1String("not-reached"))
                notReached << row.number;
        }
        QCOMPARE(written.size(), said.captured(1).toInt());
        QVERIFY(!notReached.isEmpty());
        // The device holds exactly the rows reported written.
        const QMap<QString, QString> after = Values(dir, sim);
        for (const RecordRow &row : entry.rows) {
            if (row.result == QLatin1String("ok"))
                QVERIFY2(after.value(row.number) == row.after.raw, qPrintable(row.number));
            else if (row.result == QLatin1String("not-reached"))
                QVERIFY2(after.value(row.number) == before.value(row.number), qPrintable(row.number));
        }
    }

    void aSecondSignalEndsAtOnce()
    {
        WorkFolder dir(WorkFolder::kAllExamples);
        SimProcess sim;
        // Silent to every write: a stop alone would wait out the reply's time-out and exit 1.
        QVERIFY2(sim.Start(SimProcess::ExampleArgs() + QStringList{"--silent", "--only", "0030", "--verbose"}, dir.Path()),
                 qPrintable(sim.Error()));
        QProcess cfg;
        cfg.setWorkingDirectory(dir.Path());
        cfg.start(TestPaths::Program(QStringLiteral("dtucfg")),
                  QStringList{"--profile", "example_profile.txt", "--no-records"} + sim.CfgChannel(1)
                      + QStringList{"batch"});
        QVERIFY(cfg.waitForStarted());
        QVERIFY2(sim.WaitForLog(QStringLiteral("rx ch1 0030"), 30000), qPrintable(sim.Log()));
        ::kill(static_cast<pid_t>(cfg.processId()), SIGINT);
        QTest::qWait(200); // heard: the first one only asks the action to stop
        ::kill(static_cast<pid_t>(cfg.processId()), SIGINT);
        QVERIFY(cfg.waitForFinished(20000));
        // Ended by the signal itself, not by the stop between two rows.
        QCOMPARE(cfg.exitStatus(), QProcess::CrashExit);
        QCOMPARE(cfg.exitCode(), SIGINT);
    }
};

DTU_TEST_GUILESS(DtucfgStopTest)
#include "tst_dtucfg_stop.moc"
