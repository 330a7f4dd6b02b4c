// dtucfg refuses a value its row cannot hold before anything is sent: the
// "device" here is the far end of a pseudo-terminal that keeps every byte it
// gets, and must get none. The example profile and script give the rows:
// 0031 and 0033 two-byte numbers, 0041 a float, 0052 an IPv4 address, 0091
// the device number that only level 2 may change.
#include "support/PtyPeer.h"
#include "support/SimProcess.h"
#include "support/WorkFolder.h"
#include "support/TestMain.h"

#include <QTest>

namespace {

// A profile whose 0031 holds one and a half bytes: a batch would send half
// a byte nobody wrote.
const char kHalfByteProfile[] = R"json({"Title": "半字节", "Params": [
    {"CMDID": "0030", "PNAME": "中心地址", "PVALUE": "HEX:41", "ONGET": "GetStr()", "ONSET": "SetStr()"},
    {"CMDID": "0031", "PNAME": "中心端口", "PVALUE": "HEX:1F9", "ONGET": "GetUInt()", "ONSET": "SetUInt(2)"}]})json";

} // namespace

class DtucfgRefusalsTest : public QObject {
    Q_OBJECT
private slots:
    void refusedBeforeAnyFrame_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("named"); // what standard error must name
        auto L = [](std::initializer_list<const char *> items) {
            QStringList out;
            for (const char *item : items)
                out << QString::fromUtf8(item);
            return out;
        };
        QTest::newRow("octet over 255") << L({"write", "0052=192.168.1.256"}) << L({"0052", "192.168.1.256"});
        QTest::newRow("first octet over 255") << L({"write", "0052=300.1.1.1"}) << L({"0052", "300.1.1.1"});
        QTest::newRow("port over 16 bits") << L({"write", "0031=70000"}) << L({"0031", "70000"});
        QTest::newRow("in English") << L({"--lang", "en", "write", "0031=70000"}) << L({"outside what this parameter can hold"});
        QTest::newRow("heartbeat over 16 bits") << L({"write", "0033=99999"}) << L({"0033", "99999"});
        QTest::newRow("decimal comma") << L({"write", "0041=12,5"}) << L({"0041", "12,5", "“.”"});
        QTest::newRow("not a number") << L({"write", "0041=abc"}) << L({"0041", "abc"});
        QTest::newRow("number with a unit") << L({"write", "0041=12.5 dBm"}) << L({"0041", "12.5 dBm"});
        // One refusal among good values: none of them is sent either.
        QTest::newRow("last of three") << L({"write", "0030=10.0.0.9", "0031=9000", "0052=1.2.3"})
                                       << L({"0052", "1.2.3"});
        QTest::newRow("device number without level 2")
            << L({"write", "0030=10.0.0.9", "0091=X", "0031=9000"}) << L({"0091", "--level 2"});
        QTest::newRow("raw device number without level 2") << L({"write", "0091=HEX:41"}) << L({"0091", "--level 2"});
        QTest::newRow("provision --set") << L({"provision", "--set", "0031=70000"}) << L({"0031", "70000"});
        QTest::newRow("batch of half a byte") << L({"batch", "--profile", "half.txt"}) << L({"0031", "HEX:1F9"});
        // A fleet worker's batch is held to the same rule: a usage error,
        // not a device that never answered.
        QTest::newRow("provision of half a byte")
            << L({"provision", "--profile", "half.txt"}) << L({"provision：0031（中心端口）：“HEX:1F9”不是完整的十六进制字节"});
        QTest::newRow("provision --set of no parameter")
            << L({"provision", "--set", "0EEE=1"}) << L({"--set：参数文件中没有参数 0EEE"});
    }
    void refusedBeforeAnyFrame()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, named);
        WorkFolder dir(WorkFolder::kAllExamples);
        dir.Write(QStringLiteral("half.txt"), kHalfByteProfile);
        PtyPeer device;
        QVERIFY(device.Ok());
        QStringList all{QStringLiteral("--port"), device.Slave()};
        if (!args.contains(QStringLiteral("--profile")))
            all << QStringLiteral("--profile") << QStringLiteral("example_profile.txt");
        const ProgramRun run = RunProgram(QStringLiteral("dtucfg"), all + args, dir.Path());
        QVERIFY2(run.exitCode == 2, qPrintable(run.Describe()));
        for (const QString &name : named)
            QVERIFY2(run.err.contains(name), qPrintable(run.err));
        QCOMPARE(device.ReadAll(), QByteArray());
    }
};

DTU_TEST_GUILESS(DtucfgRefusalsTest)
#include "tst_dtucfg_refusals.moc"
