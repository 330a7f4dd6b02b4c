// Where dtucfg finds its script and profile when not told: as the window
// does, so it works from any folder, such as the home folder.
#include "support/SimProcess.h"
#include "support/TestMain.h"
#include "support/WorkFolder.h"

#include <QTest>

namespace {
const QString kPortRow = QStringLiteral("0031\t中心端口\tHEX:1F90\t8080");
} // namespace

class DtucfgFilesTest : public QObject {
    Q_OBJECT
private slots:
    // The profile lives with its script.js in a folder of its own; dtucfg
    // runs in a bare folder, told the profile or finding it through the
    // configuration folder's lastfile.log.
    void scriptBesideTheProfile_data()
    {
        QTest::addColumn<bool>("profileGiven");
        QTest::newRow("--profile") << true;
        QTest::newRow("remembered in the configuration folder") << false;
    }
    void scriptBesideTheProfile()
    {
        QFETCH(bool, profileGiven);
        ConfigHome config;
        WorkFolder device(WorkFolder::kAllExamples);
        WorkFolder bare;
        const QString profile = device.Path(QStringLiteral("example_profile.txt"));
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs()), qPrintable(sim.Error()));

        QStringList args{QStringLiteral("--port"), sim.Pty(), QStringLiteral("read")};
        if (profileGiven)
            args = QStringList{QStringLiteral("--profile"), profile} + args;
        else
            config.RememberLastProfile(profile);
        const ProgramRun run = RunProgram(QStringLiteral("dtucfg"), args, bare.Path());
        QVERIFY2(run.exitCode == 0, qPrintable(run.Describe()));
        QVERIFY2(run.out.contains(kPortRow), qPrintable(run.out.join(QLatin1Char('\n'))));
    }

    void scriptFromConfigFolder()
    {
        ConfigHome config;
        QVERIFY(config.CopyExample(QStringLiteral("dtutools/script.js")));
        WorkFolder device(WorkFolder::kProfiles);
        WorkFolder bare;
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs()), qPrintable(sim.Error()));
        const ProgramRun run = RunProgram(
            QStringLiteral("dtucfg"),
            {QStringLiteral("--profile"), device.Path(QStringLiteral("example_profile.txt")), QStringLiteral("--port"),
             sim.Pty(), QStringLiteral("read")},
            bare.Path());
        QVERIFY2(run.exitCode == 0, qPrintable(run.Describe()));
        QVERIFY(run.out.contains(kPortRow));
    }

    // Found nowhere: a set-up error naming every place looked in.
    void noScriptNamesThePathsTried()
    {
        ConfigHome config;
        WorkFolder device(WorkFolder::kProfiles);
        WorkFolder bare;
        const ProgramRun run = RunProgram(
            QStringLiteral("dtucfg"),
            {QStringLiteral("--profile"), device.Path(QStringLiteral("example_profile.txt")), QStringLiteral("status")},
            bare.Path());
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.err.trimmed(), QStringLiteral("dtucfg: 找不到 script.js；找过：%1, %2, %3"
                                                   "（或用 --script FILE 指定）")
                                        .arg(bare.Path(QStringLiteral("script.js")),
                                             device.Path(QStringLiteral("script.js")),
                                             config.Tool(QStringLiteral("script.js"))));
    }
};

DTU_TEST_GUILESS(DtucfgFilesTest)
#include "tst_dtucfg_files.moc"
