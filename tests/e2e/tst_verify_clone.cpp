// A full backup (both tables), a clone made of one save and one batch, and
// verify comparing a device with a file: exact difference lines, exit
// statuses 0/3/1, and the profile file left as it was.
#include "core/TextFile.h"
#include "support/SimProcess.h"
#include "support/TestMain.h"
#include "support/WorkFolder.h"

#include <QDir>
#include <QTest>

namespace {

// A second device that starts with other values in both tables: 设备编号
// DTU0002, 中心端口 80, 接口类型 RS232.
void WriteOtherDevice(const WorkFolder &dir)
{
    QVERIFY(QDir().mkpath(dir.Path(QStringLiteral("b"))));
    QString profile = TextFile::FromGbk(dir.Read(QStringLiteral("example_profile.txt")));
    profile.replace(QStringLiteral("HEX:44545530303031"), QStringLiteral("HEX:44545530303032"));
    profile.replace(QStringLiteral("HEX:1F90"), QStringLiteral("HEX:0050"));
    dir.WriteGbk(QStringLiteral("b/example_profile.txt"), profile);
    QString ext = TextFile::FromGbk(dir.Read(QStringLiteral("example_ext.txt")));
    const qsizetype row = ext.indexOf(QStringLiteral("\"PVALUE\": \"HEX:01\"")); // 0100, the first row
    ext.replace(row, 18, QStringLiteral("\"PVALUE\": \"HEX:00\""));
    dir.WriteGbk(QStringLiteral("b/example_ext.txt"), ext);
    dir.Write(QStringLiteral("b/script.js"), dir.Read(QStringLiteral("script.js")));
}

} // namespace

class VerifyCloneTest : public QObject {
    Q_OBJECT

    WorkFolder dir_{WorkFolder::kAllExamples};
    SimProcess first_, second_;

    ProgramRun Cfg(const QStringList &args, const QString &profile = QStringLiteral("example_profile.txt"))
    {
        return RunProgram(QStringLiteral("dtucfg"),
                          QStringList{QStringLiteral("--profile"), profile, QStringLiteral("--fast")} + args,
                          dir_.Path());
    }

private slots:
    void initTestCase()
    {
        WriteOtherDevice(dir_);
        QVERIFY2(dir_.Read(QStringLiteral("b/example_ext.txt")).contains("\"PVALUE\": \"HEX:00\""),
                 "the second device differs");
        QVERIFY2(first_.Start({"--profile", dir_.Path(QStringLiteral("example_profile.txt"))}, dir_.Path()),
                 qPrintable(first_.Error()));
        // The second device, and a silent one beside it.
        QVERIFY2(second_.Start({"--profile", dir_.Path(QStringLiteral("b/example_profile.txt")), "--count", "2",
                                "--unit", "2", "--silent"},
                               dir_.Path(QStringLiteral("b")), 2),
                 qPrintable(second_.Error()));
    }

    void cloneWithOneSaveAndOneBatch()
    {
        const QByteArray profileBefore = dir_.Read(QStringLiteral("example_profile.txt"));
        const ProgramRun save = Cfg(first_.CfgChannel() + QStringList{"save", "backup.txt"});
        QVERIFY2(save.exitCode == 0, qPrintable(save.Describe()));
        // The extended table beside the backup, named by it.
        QVERIFY(dir_.Read(QStringLiteral("backup.txt")).contains("\"ExParamFile\": \"backup_ext.txt\""));
        QVERIFY(dir_.Read(QStringLiteral("backup_ext.txt")).contains("\"PVALUE\": \"HEX:01\""));
        // Opening the port for a backup leaves the profile file alone.
        QCOMPARE(dir_.Read(QStringLiteral("example_profile.txt")), profileBefore);

        // Before the clone the devices differ in both tables.
        const ProgramRun before = Cfg(second_.CfgChannel(1) + QStringList{"verify", "backup.txt"});
        QCOMPARE(before.exitCode, 3);
        CompareLines(before.out, {"0031\t中心端口\t8080\t80", "0091\t设备编号\tDTU0001\tDTU0002",
                                  "0100\t接口类型\tRS485\tRS232", "比较了14行，其中3行不同"});

        const ProgramRun batch = Cfg(second_.CfgChannel(1) + QStringList{"batch"}, QStringLiteral("backup.txt"));
        QVERIFY2(batch.exitCode == 0, qPrintable(batch.Describe()));

        // Below level 2 the device keeps its own number, the one row meant to differ.
        const ProgramRun after = Cfg(second_.CfgChannel(1) + QStringList{"verify", "backup.txt", "--ignore", "0091"});
        QVERIFY2(after.exitCode == 0, qPrintable(after.Describe()));
        CompareLines(after.out, {"比较了13行，没有差异（忽略1行）"});
        const ProgramRun all = Cfg(second_.CfgChannel(1) + QStringList{"verify", "backup.txt"});
        QCOMPARE(all.exitCode, 3);
        CompareLines(all.out, {"0091\t设备编号\tDTU0001\tDTU0002", "比较了14行，其中1行不同"});
    }

    void verifyFindsAnInjectedDifference()
    {
        // 0041 a hair above 10: shown alike ("10.000"), so the raw values are printed.
        const ProgramRun write = Cfg(first_.CfgChannel() + QStringList{"write", "0033=120", "0041=HEX:41200001"});
        QVERIFY2(write.exitCode == 0, qPrintable(write.Describe()));
        const ProgramRun run = Cfg(first_.CfgChannel() + QStringList{"verify", "example_profile.txt"});
        QCOMPARE(run.exitCode, 3);
        CompareLines(run.out, {"0033\t心跳间隔\t1分0秒\t2分0秒", "0041\t信号门限\tHEX:41200000\tHEX:41200001",
                               "比较了14行，其中2行不同"});
        const ProgramRun ignored
            = Cfg(first_.CfgChannel() + QStringList{"verify", "example_profile.txt", "--ignore", "0033,0041"});
        QCOMPARE(ignored.exitCode, 0);
        CompareLines(ignored.out, {"比较了12行，没有差异（忽略2行）"});
    }

    void deviceAndUsageFailures()
    {
        const ProgramRun silent = Cfg(second_.CfgChannel(2) + QStringList{"verify", "example_profile.txt"});
        QCOMPARE(silent.exitCode, 1);
        QVERIFY(silent.out.filter(QStringLiteral("\t")).isEmpty()); // no difference lines from a failed read
        const ProgramRun missing = Cfg(first_.CfgChannel() + QStringList{"verify", "no-such-file.txt"});
        QCOMPARE(missing.exitCode, 2);
        QVERIFY2(missing.err.contains(QStringLiteral("verify：无法载入 no-such-file.txt")), qPrintable(missing.err));
    }
};

DTU_TEST_GUILESS(VerifyCloneTest)
#include "tst_verify_clone.moc"
