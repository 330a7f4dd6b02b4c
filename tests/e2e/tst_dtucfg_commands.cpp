// dtucfg against the simulated device: every device command, with a
// healthy device and with misbehaving ones, and the exit statuses (in this
// process on virtual time); writes, reads, TCP, set-up failures and a
// device that vanishes over a real pseudo-terminal or socket.
#include "support/SimLine.h"
#include "support/SimProcess.h"
#include "support/TestPaths.h"
#include "support/WorkFolder.h"
#include "support/TestMain.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

namespace {

// Written by the test; the simulated device reads the same file.
const char kCommandProfile[] =
    "{\n"
    "    \"Title\": \"测试终端\",\n"
    "    \"Comport\": \"COM1\",\n"
    "    \"Baudrate\": \"57600\",\n"
    "    \"ComOption\": \"8N1\",\n"
    "    \"Params\": [\n"
    "        {\"CMDID\": \"\", \"PNAME\": \"网络设置\", \"PVALUE\": \"\", \"ONLIST\": \"\", \"ONGET\": \"\", \"ONSET\": \"\", \"PNOTE\": \"\"},\n"
    "        {\"CMDID\": \"0031\", \"PNAME\": \"中心端口\", \"PVALUE\": \"HEX:1F90\", \"ONLIST\": \"Length=5;Mask=\\\"0123456789\\\";\",\n"
    "         \"ONGET\": \"GetUInt()\", \"ONSET\": \"SetUInt(2)\", \"PNOTE\": \"端口号\"},\n"
    "        {\"CMDID\": \"0032\", \"PNAME\": \"传输协议\", \"PVALUE\": \"HEX:00\", \"ONLIST\": \"[[\\\"TCP\\\",\\\"UDP\\\"],[\\\"00\\\",\\\"01\\\"]]\",\n"
    "         \"ONGET\": \"\", \"ONSET\": \"\", \"PNOTE\": \"\"}\n"
    "    ]\n"
    "}\n";

// A working directory with the script and a profile, and the simulated
// device on a pseudo-terminal.
class CommandBench {
public:
    explicit CommandBench(const QStringList &simArgs)
    {
        QVERIFY(dir_.IsValid());
        dir_.Write(QStringLiteral("dev.txt"), kCommandProfile);
        QVERIFY2(sim_.Start(QStringList{QStringLiteral("--profile"), dir_.Path(QStringLiteral("dev.txt"))} + simArgs,
                            dir_.Path()),
                 qPrintable(sim_.Error()));
        QVERIFY(!sim_.Pty().isEmpty());
    }

    ProgramRun Cfg(const QStringList &args, const QStringList &options = {}) const
    {
        return RunProgram(QStringLiteral("dtucfg"),
                          QStringList{QStringLiteral("--profile"), QStringLiteral("dev.txt"), QStringLiteral("--port"),
                                      sim_.Pty()}
                              + options + args,
                          dir_.Path());
    }
    QString Path(const QString &name) const { return dir_.Path(name); }
    void Write(const QString &name, const QByteArray &bytes) const { dir_.Write(name, bytes); }

private:
    WorkFolder dir_{WorkFolder::kScript};
    SimProcess sim_;
};

const QString kTimeAtEnd = QStringLiteral("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$");

} // namespace

class DtucfgCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void commands_data()
    {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<QStringList>("cfg");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("lines");
        const QStringList none;
        auto S = [](const char *s) { return QString::fromUtf8(s); };

        QTest::newRow("status") << none << QStringList{"status"} << 0
                                << QStringList{S("DTU状态=5,在线状态，已登录到数据中心")};
        QTest::newRow("status 2") << QStringList{"--status", "2"} << QStringList{"status"} << 0
                                  << QStringList{S("DTU状态=2,待机状态")};
        QTest::newRow("status 7") << QStringList{"--status", "7"} << QStringList{"status"} << 0 << QStringList();
        QTest::newRow("status not a frame") << QStringList{"--not-frame"} << QStringList{"status"} << 1
                                            << QStringList{S("DTU状态读取失败，参数错误！")};
        QTest::newRow("status bad sum") << QStringList{"--bad-checksum"} << QStringList{"status"} << 1
                                        << QStringList{S("DTU状态读取失败，返回帧校验错误！")};
        QTest::newRow("status traced") << none << QStringList{"--level", "1", "status"} << 0
                                       << QStringList{S("下行：AA 55 00 04 E0 04 00 E8 "),
                                                      S("上行：AA 55 00 05 E0 04 05 00 EE "),
                                                      S("DTU状态=5,在线状态，已登录到数据中心")};
        QTest::newRow("signal") << QStringList{"--signal", "17"} << QStringList{"signal"} << 0
                                << QStringList{S("DTU CSQ=17")};
        QTest::newRow("signal bad sum") << QStringList{"--bad-checksum"} << QStringList{"signal"} << 1
                                        << QStringList{S("信号读取失败")};
        QTest::newRow("version") << QStringList{"--version", "V9.1", "--imei", "861111111111111"}
                                 << QStringList{"version"} << 0
                                 << QStringList{S("DTU版本号=V9.1"), S("IMEI=861111111111111")};
        QTest::newRow("version not a frame")
            << QStringList{"--not-frame"} << QStringList{"version"} << 1
            << QStringList{S("DTU版本号读取失败"), S("DTU版本号="), S("IMEI读取失败"), S("IMEI=")};
        QTest::newRow("clock") << none << QStringList{"clock"} << 0
                               << QStringList{S("设备时钟读取成功"), S("~^") + kTimeAtEnd};
        QTest::newRow("clock bad sum") << QStringList{"--bad-checksum"} << QStringList{"clock"} << 1
                                       << QStringList{S("设备时钟读取失败"), QString()};
        QTest::newRow("set-clock") << QStringList{"--delay", "300"} << QStringList{"set-clock"} << 0
                                   << QStringList{S("~^设置设备时钟=") + kTimeAtEnd, S("[设备时钟设置成功]")};
        QTest::newRow("set-clock refused") << QStringList{"--refuse"} << QStringList{"set-clock"} << 1
                                           << QStringList{S("~^设置设备时钟=") + kTimeAtEnd, S("[设备时钟设置失败]")};
        QTest::newRow("reset") << none << QStringList{"reset"} << 0 << QStringList{S("[复位设备成功]")};
        QTest::newRow("reset refused") << QStringList{"--refuse"} << QStringList{"reset"} << 1
                                       << QStringList{S("[复位设备失败]")};
        QTest::newRow("restore") << none << QStringList{"restore"} << 0 << QStringList{S("[参数设置成功]")};
        // A checksum failure is named like the others rather than repeating
        // the panel's previous text: the restore must not look like nothing.
        QTest::newRow("restore bad sum") << QStringList{"--bad-checksum"} << QStringList{"restore"} << 1
                                         << QStringList{S("[参数设置失败，返回帧校验错误！]")};
        QTest::newRow("restore not a frame") << QStringList{"--not-frame"} << QStringList{"restore"} << 1
                                             << QStringList{S("[参数设置失败，非法的返回串！]")};
    }
    void commands()
    {
        QFETCH(QStringList, sim);
        QFETCH(QStringList, cfg);
        QFETCH(int, exitCode);
        QFETCH(QStringList, lines);
        // In this process against dtusim's device on virtual time: the same
        // frames, lines and statuses, without two programs to start.
        WorkFolder dir(WorkFolder::kScript);
        dir.Write(QStringLiteral("dev.txt"), kCommandProfile);
        VirtualDevice device(QStringList{QStringLiteral("--profile"), dir.Path(QStringLiteral("dev.txt"))} + sim);
        const ProgramRun run = device.Cfg(QStringList{QStringLiteral("--profile"), QStringLiteral("dev.txt")} + cfg, dir.Path());
        QVERIFY2(run.exitCode == exitCode, qPrintable(run.Describe()));
        CompareLines(run.out, lines);
    }

    // A silent device, run in this process on virtual time: each command
    // waits out its own time-out for the answer (the status 4 s, an
    // acknowledgement 3 s, the signal 10 s), and no more (this profile has
    // no extended table, so opening selects nothing).
    void silentDevice_data()
    {
        QTest::addColumn<QStringList>("cfg");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("waitMs");
        auto S = [](const char *s) { return QString::fromUtf8(s); };
        QTest::newRow("status") << QStringList{"status"} << QStringList{S("DTU状态读取失败，设备无响应！")} << 4000;
        QTest::newRow("reset") << QStringList{"reset"} << QStringList{S("[复位设备失败，设备无响应！]")} << 3000;
        QTest::newRow("signal") << QStringList{"signal"} << QStringList{S("信号读取失败")} << 10000;
    }
    void silentDevice()
    {
        QFETCH(QStringList, cfg);
        QFETCH(QStringList, lines);
        QFETCH(int, waitMs);
        WorkFolder dir(WorkFolder::kScript);
        dir.Write(QStringLiteral("dev.txt"), kCommandProfile);
        VirtualDevice device({QStringLiteral("--profile"), dir.Path(QStringLiteral("dev.txt")), QStringLiteral("--silent")});
        const ProgramRun run
            = device.Cfg(QStringList{QStringLiteral("--profile"), QStringLiteral("dev.txt")} + cfg, dir.Path());
        QVERIFY2(run.exitCode == 1, qPrintable(run.Describe()));
        CompareLines(run.out, lines);
        QCOMPARE(device.Clock().NowMs(), qint64(waitMs));
    }

    void writeThenRead()
    {
        CommandBench bench({});
        ProgramRun run = bench.Cfg({QStringLiteral("write"), QStringLiteral("0031=9000"), QStringLiteral("0032=UDP")});
        QCOMPARE(run.exitCode, 0);
        CompareLines(run.out, {QStringLiteral("设置参数：中心端口=9000"), QStringLiteral("[参数设置成功]"),
                               QStringLiteral("设置参数：传输协议=UDP"), QStringLiteral("[参数设置成功]")});
        run = bench.Cfg({QStringLiteral("read")});
        QCOMPARE(run.exitCode, 0);
        CompareLines(run.out, {QStringLiteral("[参数读取完毕]"), QStringLiteral("0031\t中心端口\tHEX:2328\t9000"),
                               QStringLiteral("0032\t传输协议\tHEX:01\tUDP")});
        // A label the choice box does not offer is a usage error; nothing is written.
        run = bench.Cfg({QStringLiteral("write"), QStringLiteral("0032=SCTP")});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY(run.err.contains(QStringLiteral("TCP, UDP")));
    }

    void overTcpWithJson()
    {
        WorkFolder dir(WorkFolder::kScript);
        dir.Write(QStringLiteral("dev.txt"), kCommandProfile);
        SimProcess sim;
        QVERIFY2(sim.Start({QStringLiteral("--profile"), dir.Path(QStringLiteral("dev.txt")), QStringLiteral("--tcp"),
                            QStringLiteral("0")}),
                 qPrintable(sim.Error()));
        const QString port = sim.TcpPort();
        QVERIFY(port.toInt() > 0);

        QProcess cfg;
        cfg.setWorkingDirectory(dir.Path());
        cfg.start(TestPaths::Program(QStringLiteral("dtucfg")),
                  {QStringLiteral("--profile"), QStringLiteral("dev.txt"), QStringLiteral("--tcp"),
                   QStringLiteral("127.0.0.1"), QStringLiteral("--tcp-port"), port, QStringLiteral("--json"),
                   QStringLiteral("read")});
        QVERIFY(cfg.waitForFinished(30000));
        QCOMPARE(cfg.exitCode(), 0);
        // One object, the rows in table order inside its outcome.
        const QJsonDocument doc = QJsonDocument::fromJson(cfg.readAllStandardOutput());
        QVERIFY(doc.isObject());
        const QJsonArray rows = doc.object().value(QStringLiteral("outcome")).toObject().value(QStringLiteral("rows")).toArray();
        QCOMPARE(rows.size(), 2);
        const QJsonObject first = rows.at(0).toObject();
        QCOMPARE(first.value(QStringLiteral("number")).toString(), QStringLiteral("0031"));
        QCOMPARE(first.value(QStringLiteral("hex")).toString(), QStringLiteral("HEX:1F90"));
        QCOMPARE(first.value(QStringLiteral("value")).toString(), QStringLiteral("8080"));
        // The window's lines moved to standard error.
        QVERIFY(QString::fromUtf8(cfg.readAllStandardError()).contains(QStringLiteral("[参数读取完毕]")));

        // Nobody listening: the connection is refused, a failed device
        // operation like any device out of reach.
        sim.Stop();
        cfg.start(TestPaths::Program(QStringLiteral("dtucfg")),
                  {QStringLiteral("--profile"), QStringLiteral("dev.txt"), QStringLiteral("--tcp"),
                   QStringLiteral("127.0.0.1"), QStringLiteral("--tcp-port"), port, QStringLiteral("status")});
        QVERIFY(cfg.waitForFinished(30000));
        QCOMPARE(cfg.exitCode(), 1);
    }

    // A script.js with an error is named on standard error when it loads
    // (file, line, the engine's message); what it defined before the error
    // still serves the command.
    void scriptErrorNamedOnStandardError()
    {
        CommandBench bench({});
        bench.Write(QStringLiteral("odd.js"),
                    "function GetCmd(n) { return 'E004'; }\nfunction PrevCmd() { return ''; }\nNoSuchHelper();\n");
        const ProgramRun run = bench.Cfg({QStringLiteral("status")}, {QStringLiteral("--script"), QStringLiteral("odd.js")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.Describe()));
        QVERIFY2(run.err.startsWith(QStringLiteral("dtucfg: 脚本错误：odd.js 第3行：ReferenceError")),
                 qPrintable(run.Describe()));
        CompareLines(run.out, {QStringLiteral("DTU状态=5,在线状态，已登录到数据中心")});
    }

    void setUpFailures()
    {
        CommandBench bench({});
        ProgramRun run = bench.Cfg({QStringLiteral("status")}, {QStringLiteral("--port"), bench.Path(QStringLiteral("no-such-tty"))});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains(QStringLiteral("打开失败")));
        run = bench.Cfg({QStringLiteral("status")}, {QStringLiteral("--script"), QStringLiteral("missing.js")});
        QCOMPARE(run.exitCode, 2);
        run = bench.Cfg({QStringLiteral("frobnicate")});
        QCOMPARE(run.exitCode, 2);
        run = bench.Cfg({QStringLiteral("status"), QStringLiteral("extra")});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        run = bench.Cfg({QStringLiteral("status")}, {QStringLiteral("--level=x")});
        QCOMPARE(run.exitCode, 2);
        run = bench.Cfg({}, {QStringLiteral("--help")});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.join(QLatin1Char('\n')).contains(QStringLiteral("set-clock")));

        // A batch with no row it may send would succeed having written
        // nothing: refused before the channel opens.
        bench.Write(QStringLiteral("headings.txt"),
                    "{\"Params\": [{\"CMDID\": \"\", \"PNAME\": \"group\"},"
                    " {\"CMDID\": \"0091\", \"PNAME\": \"number\", \"PVALUE\": \"HEX:01\"}]}\n");
        run = bench.Cfg({QStringLiteral("batch")}, {QStringLiteral("--profile"), QStringLiteral("headings.txt")});
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QVERIFY2(run.err.contains(QStringLiteral("没有可写的参数")), qPrintable(run.err));
    }

    // The device vanishes during the channel selection that follows the
    // port's opening: a failed device operation (status 1), not a channel
    // that did not open (status 2).
    void deviceVanishesAfterOpening()
    {
        WorkFolder dir(WorkFolder::kAllExamples);
        SimProcess sim;
        QVERIFY2(sim.Start({QStringLiteral("--profile"), TestPaths::Example(QStringLiteral("example_profile.txt")),
                            QStringLiteral("--silent"), QStringLiteral("--only"), QStringLiteral("E050"),
                            QStringLiteral("--verbose")},
                           TestPaths::Source(QStringLiteral("examples"))),
                 qPrintable(sim.Error()));
        QProcess cfg;
        cfg.setWorkingDirectory(dir.Path());
        cfg.start(TestPaths::Program(QStringLiteral("dtucfg")),
                  {QStringLiteral("--profile"), QStringLiteral("example_profile.txt"), QStringLiteral("--port"),
                   sim.Pty(), QStringLiteral("read")});
        QVERIFY(cfg.waitForStarted(5000));
        QVERIFY(sim.WaitForLog(QStringLiteral("E050"), 10000)); // the selection on opening
        sim.Stop();
        QVERIFY2(cfg.waitForFinished(10000), "dtucfg hangs");
        const QString err = QString::fromUtf8(cfg.readAllStandardError());
        QCOMPARE(cfg.exitStatus(), QProcess::NormalExit);
        QVERIFY2(cfg.exitCode() == 1, qPrintable(err));
        QVERIFY2(!err.contains(QStringLiteral("did not open")), qPrintable(err));
        QVERIFY(!cfg.readAllStandardOutput().contains("0030\t")); // no table that did not come from the device
    }
};

DTU_TEST_GUILESS(DtucfgCommandsTest)
#include "tst_dtucfg_commands.moc"
