// dtucfg signal --watch against dtusim whose signal changes at each request:
// one line per reading until SIGTERM, and the exit status of the last
// reading. linesUntilTerminated is a real-clock smoke test (a reading a
// second): the wait for the lines is bounded at over five times the time
// they take. A failed reading waits 10 s for the device: that runs in this
// process, on virtual time.
#include "support/SimLine.h"
#include "support/SimProcess.h"
#include "support/TestMain.h"
#include "support/TestPaths.h"
#include "support/WorkFolder.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {
const QString kTimeAtStart = QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d ");

// Starts the watch, lets it print `lines` lines, ends it with SIGTERM.
struct Watch {
    WorkFolder dir{WorkFolder::kAllExamples};
    SimProcess sim;
    QProcess cfg;
    QStringList out;

    bool Run(const QStringList &simArgs, int lines)
    {
        if (!sim.Start(QStringList{QStringLiteral("--profile"), dir.Path(QStringLiteral("example_profile.txt"))}
                       + simArgs))
            return false;
        cfg.setWorkingDirectory(dir.Path());
        cfg.start(TestPaths::Program(QStringLiteral("dtucfg")),
                  {QStringLiteral("--profile"), QStringLiteral("example_profile.txt"), QStringLiteral("--port"),
                   sim.Pty(), QStringLiteral("signal"), QStringLiteral("--watch"), QStringLiteral("1")});
        QString text;
        QElapsedTimer waited;
        waited.start();
        while (text.count(QLatin1Char('\n')) < lines && waited.elapsed() < 15000) {
            cfg.waitForReadyRead(200);
            text += QString::fromUtf8(cfg.readAllStandardOutput());
        }
        cfg.terminate();
        cfg.waitForFinished(5000);
        text += QString::fromUtf8(cfg.readAllStandardOutput());
        out = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return true;
    }
};
} // namespace

class DtucfgWatchTest : public QObject {
    Q_OBJECT
private slots:
    void linesUntilTerminated()
    {
        Watch w;
        QVERIFY(w.Run({QStringLiteral("--signal-steps"), QStringLiteral("10,99"),
                       QStringLiteral("--signal-per-request")},
                      3));
        QCOMPARE(w.cfg.exitStatus(), QProcess::NormalExit);
        QCOMPARE(w.cfg.exitCode(), 0);
        QVERIFY2(w.out.size() >= 3, qPrintable(w.out.join(QLatin1Char('\n'))));
        QVERIFY2(QRegularExpression(kTimeAtStart + QStringLiteral("CSQ=10 -93 dBm$")).match(w.out.first()).hasMatch(),
                 qPrintable(w.out.first()));
        for (const QString &line : w.out.mid(1))
            QVERIFY2(QRegularExpression(kTimeAtStart + QStringLiteral("CSQ=99 未知$")).match(line).hasMatch(),
                     qPrintable(line));
    }

    // A device that stopped answering: the last reading failed, exit status
    // 1. The stop comes while the first reading waits out its 10 s.
    void lastReadingFailed()
    {
        WorkFolder dir(WorkFolder::kAllExamples);
        VirtualDevice device({QStringLiteral("--silent"), QStringLiteral("--only"), QStringLiteral("E023")});
        StopWatchAtFirstReading(device);
        const ProgramRun run = device.Cfg({QStringLiteral("--profile"), TestPaths::kExampleProfile, QStringLiteral("signal"),
                                           QStringLiteral("--watch"), QStringLiteral("1")},
                                          dir.Path());
        QVERIFY2(run.exitCode == 1, qPrintable(run.Describe()));
        QVERIFY2(run.out.size() == 1, qPrintable(run.out.join(QLatin1Char('\n'))));
        QVERIFY2(QRegularExpression(kTimeAtStart + QStringLiteral("信号读取失败$")).match(run.out.value(0)).hasMatch(),
                 qPrintable(run.out.join(QLatin1Char('\n'))));
        // The reading was waited out on the device's time, not cut short.
        QVERIFY2(device.Clock().NowMs() >= 10000, qPrintable(QString::number(device.Clock().NowMs())));
    }
};

DTU_TEST_GUILESS(DtucfgWatchTest)
#include "tst_dtucfg_watch.moc"
