// `dtucfg ports`: the serial ports of this computer, and the paths named,
// with whether this user may open each. It needs no script and no profile.
#include "support/SimProcess.h"
#include "support/TestMain.h"
#include "support/WorkFolder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

class DtucfgPortsTest : public QObject {
    Q_OBJECT
private slots:
    // A simulated device's pseudo-terminal is no port the system reports;
    // named, it is listed after those that are, in text and in JSON.
    void listsNamedPseudoTerminal()
    {
        WorkFolder bare; // no script.js, no profile
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs()), qPrintable(sim.Error()));

        const ProgramRun text = RunProgram(QStringLiteral("dtucfg"), {QStringLiteral("--lang"), QStringLiteral("en"),
                                                               QStringLiteral("ports"), sim.Pty()},
                                           bare.Path());
        QVERIFY2(text.exitCode == 0, qPrintable(text.Describe()));
        QVERIFY(!text.out.isEmpty());
        QCOMPARE(text.out.last(), sim.Pty() + QStringLiteral("  not reported by the system  access: yes"));
        for (const QString &line : text.out)
            QVERIFY2(line.startsWith(QStringLiteral("/dev/")), qPrintable(line));

        const ProgramRun json = RunProgram(QStringLiteral("dtucfg"),
                                           {QStringLiteral("--json"), QStringLiteral("ports"), sim.Pty()}, bare.Path());
        QVERIFY2(json.exitCode == 0, qPrintable(json.Describe()));
        const QJsonArray ports =
            QJsonDocument::fromJson(json.out.join(QLatin1Char('\n')).toUtf8()).object().value(QStringLiteral("ports")).toArray();
        QVERIFY(!ports.isEmpty());
        const QJsonObject pty = ports.last().toObject();
        QCOMPARE(pty.value(QStringLiteral("path")).toString(), sim.Pty());
        QCOMPARE(pty.value(QStringLiteral("reported")).toBool(), false);
        QCOMPARE(pty.value(QStringLiteral("canOpen")).toBool(), true);
    }

    // Whatever this machine has: exit status 0, one port a line; a device
    // file that is not there is said to be missing.
    void systemPortsAndMissingPath()
    {
        WorkFolder bare;
        const ProgramRun all = RunProgram(QStringLiteral("dtucfg"),
                                          {QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("ports")}, bare.Path());
        QVERIFY2(all.exitCode == 0, qPrintable(all.Describe()));
        for (const QString &line : all.out)
            QVERIFY2(line.startsWith(QStringLiteral("/dev/")) && line.contains(QStringLiteral("access: ")),
                     qPrintable(line));
        if (all.out.isEmpty())
            QCOMPARE(all.err.trimmed(), QStringLiteral("dtucfg: the system reports no serial ports"));

        const QString missing = bare.Path(QStringLiteral("ttyGONE0"));
        const ProgramRun named = RunProgram(QStringLiteral("dtucfg"),
                                            {QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("ports"), missing},
                                            bare.Path());
        QVERIFY2(named.exitCode == 0, qPrintable(named.Describe()));
        QCOMPARE(named.out.last(), missing + QStringLiteral("  not reported by the system  access: no, no such device"));
        // The same in the default language.
        const ProgramRun chinese = RunProgram(QStringLiteral("dtucfg"), {QStringLiteral("ports"), missing}, bare.Path());
        QCOMPARE(chinese.out.last(), missing + QStringLiteral("  系统没有列出  不能打开：没有这个设备"));
    }
};

DTU_TEST_GUILESS(DtucfgPortsTest)
#include "tst_dtucfg_ports.moc"
