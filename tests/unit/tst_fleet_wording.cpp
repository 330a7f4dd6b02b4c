// The fleet window's words for each device's outcome, in both languages:
// every stable outcome has its word, a device whose read-back differs
// names every row that differs, and the totals count in the window's words.
#include "core/Translation.h"
#include "fleet/FleetReport.h"
#include "support/TestMain.h"
#include "fleet/FleetWording.h"

class FleetWordingTest : public QObject {
    Q_OBJECT

    static QList<DeviceReport> Fleet()
    {
        DeviceReport differs{QStringLiteral("tcp:127.0.0.1:4001"), {}, Outcome::VerifyDiffers, 13};
        differs.differences.append({QStringLiteral("0030"), QStringLiteral("中心地址"), QStringLiteral("10.0.0.8"),
                                    QStringLiteral("10.0.0.9")});
        differs.differences.append({QStringLiteral("0031"), QStringLiteral("中心端口"), QStringLiteral("8080"),
                                    QStringLiteral("(not reported)")});
        DeviceReport refused{QStringLiteral("tcp:127.0.0.1:4002"), {}, Outcome::WrittenWithErrors, 12};
        refused.failed.append({QStringLiteral("0031"), QStringLiteral("中心端口"), QStringLiteral("[参数设置失败]")});
        DeviceReport crashed{QStringLiteral("/dev/ttyUSB0"), {}, Outcome::Failed, 0};
        crashed.detail = QStringLiteral("the worker ended without a result (crashed)");
        return {differs, refused, crashed, {QStringLiteral("/dev/ttyUSB1"), {}, Outcome::Ok, 13},
                {QStringLiteral("/dev/ttyUSB2"), {}, Outcome::VerifyDiffers, 13}};
    }

private slots:
    void cleanup() { Translation::Install(Language::Chinese); }

    void wordsForEveryOutcome_data()
    {
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("english");
        QTest::newRow("ok") << "ok" << "成功" << "Succeeded";
        QTest::newRow("written-with-errors") << "written-with-errors" << "部分失败" << "Partly failed";
        QTest::newRow("verify-differs") << "verify-differs" << "校验不符" << "Verify mismatch";
        QTest::newRow("unreachable") << "unreachable" << "无法连接" << "Unreachable";
        QTest::newRow("refused-password") << "refused-password" << "密码错误" << "Wrong password";
        QTest::newRow("not-started") << "not-started" << "未开始" << "Not started";
        QTest::newRow("failed") << "failed" << "失败" << "Failed";
    }
    void wordsForEveryOutcome()
    {
        QFETCH(QString, outcome);
        QFETCH(QString, chinese);
        QFETCH(QString, english);
        QCOMPARE(FleetWording::Word(outcome), chinese);
        QVERIFY(Translation::Install(Language::English));
        QCOMPARE(FleetWording::Word(outcome), english);
    }

    void resultsSayWhy()
    {
        const QList<DeviceReport> fleet = Fleet();
        QCOMPARE(FleetWording::Result(fleet[0]),
                 QStringLiteral("校验不符 (0030 中心地址: 10.0.0.8 -> 10.0.0.9; 0031 中心端口: 8080 -> (not reported))"));
        QCOMPARE(FleetWording::Result(fleet[1]), QStringLiteral("部分失败 (0031 [参数设置失败])"));
        QCOMPARE(FleetWording::Result(fleet[2]), QStringLiteral("失败 (the worker ended without a result (crashed))"));
        QCOMPARE(FleetWording::Result(fleet[3]), QStringLiteral("成功"));
    }

    void totalsInTheWindowsWords()
    {
        QCOMPARE(FleetWording::Totals(Fleet()), QStringLiteral("共5台设备：校验不符 2台，部分失败 1台，失败 1台，成功 1台"));
        QVERIFY(Translation::Install(Language::English));
        QCOMPARE(FleetWording::Totals(Fleet()),
                 QStringLiteral("5 devices — Verify mismatch: 2, Partly failed: 1, Failed: 1, Succeeded: 1"));
    }
};

DTU_TEST_GUILESS(FleetWordingTest)
#include "tst_fleet_wording.moc"
