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
        DeviceReport differs{QStringLiteral("tcp:127.0.0.1:4001"), {}, OutcomeId::VerifyDiffers, 13};
        differs.differences.append({QStringLiteral("0030"), QStringLiteral("中心地址"), QStringLiteral("10.0.0.8"),
                                    QStringLiteral("10.0.0.9")});
        differs.differences.append({QStringLiteral("0031"), QStringLiteral("中心端口"), QStringLiteral("8080"),
                                    QStringLiteral("(not reported)")});
        DeviceReport refused{QStringLiteral("tcp:127.0.0.1:4002"), {}, OutcomeId::WrittenWithErrors, 12};
        refused.failed.append({QStringLiteral("0031"), QStringLiteral("中心端口"), QStringLiteral("[参数设置失败]")});
        DeviceReport crashed{QStringLiteral("/dev/ttyUSB0"), {}, OutcomeId::Failed, 0};
        crashed.why = {DeviceWhy::Kind::WorkerCrashed};
        return {differs, refused, crashed, {QStringLiteral("/dev/ttyUSB1"), {}, OutcomeId::Ok, 13},
                {QStringLiteral("/dev/ttyUSB2"), {}, OutcomeId::VerifyDiffers, 13}};
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
        QTest::newRow("refused-password") << "refused-password" << "密码错误或设备正忙" << "Wrong password or device busy";
        QTest::newRow("not-started") << "not-started" << "未开始" << "Not started";
        QTest::newRow("failed") << "failed" << "失败" << "Failed";
    }
    void wordsForEveryOutcome()
    {
        QFETCH(QString, outcome);
        QFETCH(QString, chinese);
        QFETCH(QString, english);
        QCOMPARE(OutcomeWord(outcome), chinese);
        QVERIFY(Translation::Install(Language::English));
        QCOMPARE(OutcomeWord(outcome), english);
    }

    void resultsSayWhy()
    {
        const QList<DeviceReport> fleet = Fleet();
        QCOMPARE(FleetWording::Result(fleet[0]),
                 QStringLiteral("校验不符 (0030 中心地址: 10.0.0.8 -> 10.0.0.9; 0031 中心端口: 8080 -> (not reported))"));
        QCOMPARE(FleetWording::Result(fleet[1]), QStringLiteral("部分失败 (0031 [参数设置失败])"));
        QCOMPARE(FleetWording::Result(fleet[2]), QStringLiteral("失败 (没有结果：工作进程崩溃了)"));
        QCOMPARE(FleetWording::Result(fleet[3]), QStringLiteral("成功"));
    }

    // Why a device ended as it did, in the run's language; the report file
    // keeps its fixed words whatever the language.
    void detailsInTheRunsLanguage_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<QString>("english");
        using Kind = DeviceWhy::Kind;
        QTest::newRow("password") << int(Kind::ClosedAfterPassword)
                                  << "设备在收到密码后断开了连接：密码不对，或设备正忙于另一个连接"
                                  << "the device closed the connection after the password: a wrong password, or a "
                                     "device busy with another connection";
        QTest::newRow("silent") << int(Kind::NoAnswer) << "设备无响应" << "no answer from the device";
        QTest::newRow("not reached") << int(Kind::RowsNotReached) << "13行中有3行未写到" << "3 of 13 rows not reached";
        QTest::newRow("read-back") << int(Kind::NoReadBack) << "无法读回参数" << "the parameters could not be read back";
        QTest::newRow("stopped") << int(Kind::StoppedBeforeFirstRow) << "在写第一行之前停止" << "stopped before the first row";
        QTest::newRow("not begun") << int(Kind::StoppedBeforeStart) << "在这台设备开始之前停止"
                                   << "stopped before this device began";
        QTest::newRow("no program") << int(Kind::WorkerDidNotStart) << "没有结果：/x/dtucfg 没能启动"
                                    << "no result: /x/dtucfg did not start";
        QTest::newRow("crashed") << int(Kind::WorkerCrashed) << "没有结果：工作进程崩溃了" << "no result: the worker crashed";
        QTest::newRow("status") << int(Kind::WorkerStatus) << "没有结果，工作进程以状态3结束：/x/dtucfg"
                                << "no result, the worker ended with status 3: /x/dtucfg";
        QTest::newRow("none") << int(Kind::None) << "" << "";
    }
    void detailsInTheRunsLanguage()
    {
        QFETCH(int, kind);
        QFETCH(QString, chinese);
        QFETCH(QString, english);
        const DeviceWhy why{DeviceWhy::Kind(kind), 3, 13, QStringLiteral("/x/dtucfg")};
        const QString file = FleetReport::DetailText(why);
        QCOMPARE(FleetWording::Detail(why), chinese);
        QVERIFY(Translation::Install(Language::English));
        QCOMPARE(FleetWording::Detail(why), english);
        QCOMPARE(FleetReport::DetailText(why), file);
        QCOMPARE(FleetReport::WhyKind(FleetReport::WhyName(why.kind)), why.kind);
    }

    // An audit's ok is 相符 in the result cell and in the totals alike.
    void totalsInTheWindowsWords()
    {
        QCOMPARE(FleetWording::Totals(Fleet()), QStringLiteral("共5台设备：校验不符 2台，部分失败 1台，失败 1台，成功 1台"));
        QCOMPARE(FleetWording::Totals(Fleet(), true), QStringLiteral("共5台设备：校验不符 2台，部分失败 1台，失败 1台，相符 1台"));
        QCOMPARE(FleetWording::Result(Fleet()[3], true), QStringLiteral("相符"));
        QVERIFY(Translation::Install(Language::English));
        QCOMPARE(FleetWording::Totals(Fleet()),
                 QStringLiteral("5 devices — Verify mismatch: 2, Partly failed: 1, Failed: 1, Succeeded: 1"));
        QCOMPARE(FleetWording::Totals(Fleet(), true),
                 QStringLiteral("5 devices — Verify mismatch: 2, Partly failed: 1, Failed: 1, Matches: 1"));
    }
};

DTU_TEST_GUILESS(FleetWordingTest)
#include "tst_fleet_wording.moc"
