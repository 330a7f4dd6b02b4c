// dtucfg --fast against the simulated device over a pseudo-terminal: for a
// healthy device and for misbehaving ones, the same lines, exit statuses and
// device state as without --fast. Each mode gets a fresh device.
#include "support/SimProcess.h"
#include "support/TestPaths.h"
#include "support/WorkFolder.h"
#include "support/TestMain.h"

#include <QElapsedTimer>
#include <QTest>

namespace {

// Written by the test; the simulated device reads the same file.
const char kFastProfile[] =
    "{\n"
    "    \"Title\": \"快速应答测试\",\n"
    "    \"Comport\": \"COM1\",\n"
    "    \"Baudrate\": \"57600\",\n"
    "    \"ComOption\": \"8N1\",\n"
    "    \"Params\": [\n"
    "        {\"CMDID\": \"0031\", \"PNAME\": \"中心端口\", \"PVALUE\": \"HEX:1F90\", \"ONLIST\": \"Length=5;\",\n"
    "         \"ONGET\": \"GetUInt()\", \"ONSET\": \"SetUInt(2)\", \"PNOTE\": \"\"},\n"
    "        {\"CMDID\": \"0032\", \"PNAME\": \"传输协议\", \"PVALUE\": \"HEX:00\", \"ONLIST\": \"[[\\\"TCP\\\",\\\"UDP\\\"],[\\\"00\\\",\\\"01\\\"]]\",\n"
    "         \"ONGET\": \"\", \"ONSET\": \"\", \"PNOTE\": \"\"}\n"
    "    ]\n"
    "}\n";

// One dtucfg run and what it must print.
struct Call {
    QStringList args;
    int exitCode = 0;
    QStringList lines;
};
using Calls = QList<Call>;

} // namespace

Q_DECLARE_METATYPE(Calls)

class FastModeE2eTest : public QObject {
    Q_OBJECT
private slots:
    void sameOutcomes_data()
    {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<Calls>("calls");
        auto S = [](const char *s) { return QString::fromUtf8(s); };
        const QStringList write = {S("write"), S("0031=9000"), S("0032=UDP")};
        const QStringList writeOk = {S("设置参数：中心端口=9000"), S("[参数设置成功]"), S("设置参数：传输协议=UDP"),
                                     S("[参数设置成功]")};
        const QStringList readNew = {S("[参数读取完毕]"), S("0031\t中心端口\tHEX:2328\t9000"),
                                     S("0032\t传输协议\tHEX:01\tUDP")};
        const Call read{{S("read")}, 0, readNew};
        const Call status{{S("status")}, 0, {S("DTU状态=5,在线状态，已登录到数据中心")}};

        QTest::newRow("healthy") << QStringList{} << Calls{{write, 0, writeOk}, read, status};
        // The status reader wants the header first and the exact length.
        QTest::newRow("stray before") << QStringList{S("--stray-before"), S("13 00")}
                                      << Calls{{write, 0, writeOk}, read,
                                               {{S("status")}, 1, {S("DTU状态读取失败，参数错误！")}}};
        // Acknowledgements ignore bytes after the frame; the parameter read
        // sums everything received and fails.
        QTest::newRow("stray after") << QStringList{S("--stray-after"), S("77")}
                                     << Calls{{write, 0, writeOk},
                                              {{S("read")}, 1, {S("[参数读取失败，返回数据包校验错！]")}},
                                              {{S("status")}, 1, {S("DTU状态读取失败，设备无响应！")}}};
        // Gaps longer than the fast mode's 30 ms, and (on the real clock, with
        // room for a busy machine) a fifth of the 410 ms quiet gap.
        QTest::newRow("pieces 80 ms apart") << QStringList{S("--pieces"), S("3:80")}
                                            << Calls{{write, 0, writeOk}, read};
        // The device takes the value but never says so.
        QTest::newRow("silent on one write")
            << QStringList{S("--silent"), S("--only"), S("0032")}
            << Calls{{write, 1, {S("设置参数：中心端口=9000"), S("[参数设置成功]"), S("设置参数：传输协议=UDP"),
                                 S("[参数设置失败，设备无响应！]")}},
                     read};
    }
    void sameOutcomes()
    {
        QFETCH(QStringList, sim);
        QFETCH(Calls, calls);
        qint64 elapsed[2] = {};
        for (const bool fast : {false, true}) {
            WorkFolder dir(WorkFolder::kScript);
            QVERIFY(dir.IsValid());
            dir.Write(QStringLiteral("dev.txt"), kFastProfile);
            SimProcess device;
            QVERIFY2(device.Start(QStringList{QStringLiteral("--profile"), dir.Path(QStringLiteral("dev.txt"))} + sim,
                                  dir.Path()),
                     qPrintable(device.Error()));

            QElapsedTimer timer;
            timer.start();
            for (const Call &call : calls) {
                QStringList args = QStringList{QStringLiteral("--profile"), QStringLiteral("dev.txt")}
                    + device.CfgChannel();
                if (fast)
                    args << QStringLiteral("--fast");
                const ProgramRun run = RunProgram(QStringLiteral("dtucfg"), args + call.args, dir.Path());
                const QString what = QStringLiteral("%1 %2: %3")
                                         .arg(fast ? QStringLiteral("--fast") : QStringLiteral("standard"),
                                              call.args.join(QLatin1Char(' ')), run.Describe());
                QVERIFY2(run.exitCode == call.exitCode, qPrintable(what));
                CompareLines(run.out, call.lines);
                if (QTest::currentTestFailed()) {
                    qWarning("%s\n%s", qPrintable(what), qPrintable(run.out.join(QLatin1Char('\n'))));
                    return;
                }
            }
            elapsed[fast] = timer.elapsed();
        }
        qInfo("standard %lld ms, fast %lld ms", elapsed[0], elapsed[1]);
    }
};

DTU_TEST_GUILESS(FastModeE2eTest)
#include "tst_fast_mode_e2e.moc"
