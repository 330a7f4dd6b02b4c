// dtucfg as a program, against dtusim as a program, on the real clock: the
// wiring the in-process tables cannot show (tst_dtucfg_refusals and
// tst_dtucfg_verdicts hold the rules). A pseudo-terminal at real reply
// timing, the TCP maintenance port and why a connection did not open, a
// device that vanishes, a silent device's real time-outs and the watch
// ended by SIGTERM. Each wait is bound at five times what it should take.
#include "support/RefusingPort.h"
#include "support/SimProcess.h"
#include "support/TestMain.h"
#include "support/TestPaths.h"
#include "support/WorkFolder.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A listening socket whose queue is full and never read: a connection
// attempt to it gets no answer.
class Deaf {
public:
    Deaf()
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (::bind(fd_, reinterpret_cast<sockaddr *>(&address), size) != 0 || ::listen(fd_, 0) != 0
            || ::getsockname(fd_, reinterpret_cast<sockaddr *>(&address), &size) != 0)
            return;
        port_ = ntohs(address.sin_port);
        for (int i = 0; i < 4; ++i) {
            const int client = ::socket(AF_INET, SOCK_STREAM, 0);
            ::fcntl(client, F_SETFL, O_NONBLOCK);
            (void)::connect(client, reinterpret_cast<sockaddr *>(&address), sizeof address);
            clients_ << client;
        }
    }
    ~Deaf()
    {
        for (int client : clients_)
            ::close(client);
        ::close(fd_);
    }
    QString Port() const { return port_ ? QString::number(port_) : QString(); }

private:
    int fd_ = -1;
    quint16 port_ = 0;
    QList<int> clients_;
};

QJsonObject JsonOf(const ProgramRun &run)
{
    return QJsonDocument::fromJson(run.out.join(QLatin1Char('\n')).toUtf8()).object();
}

ProgramRun Cfg(const WorkFolder &dir, const QStringList &args, int limitMs = 60000)
{
    return RunProgram(QStringLiteral("dtucfg"), QStringList{QStringLiteral("--profile"), TestPaths::kExampleProfile} + args,
                      dir.Path(), limitMs);
}

} // namespace

class DtucfgProgramTest : public QObject {
    Q_OBJECT
private slots:
    // Write a row of each kind, read back, at the device's real reply
    // timing: a new dtucfg knows only the profile, so the values read come
    // from the device.
    void writeAndReadBackOverAPseudoTerminal()
    {
        WorkFolder dir(WorkFolder::kAllExamples);
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs()), qPrintable(sim.Error()));
        ProgramRun run = Cfg(dir, sim.CfgChannel() + QStringList{"write", "0041=12.5", "0042=数据触发"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.Describe()));
        CompareLines(run.out, {"设置参数：信号门限=12.5", "[参数设置成功]", "设置参数：在线方式=数据触发", "[参数设置成功]"});
        run = Cfg(dir, sim.CfgChannel() + QStringList{"read"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.Describe()));
        QVERIFY(run.out.contains(QStringLiteral("0041\t信号门限\tHEX:41480000\t12.500")));
        QVERIFY(run.out.contains(QStringLiteral("0042\t在线方式\tHEX:02\t数据触发")));
        QVERIFY(dir.Read(TestPaths::kExampleProfile).contains("HEX:41200000")); // the profile's value stays
    }

    // Over TCP: the password first, the document on standard output and the
    // lines on standard error.
    void readOverTcpAsJson()
    {
        WorkFolder dir(WorkFolder::kAllExamples);
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs() + QStringList{"--tcp", "0"}), qPrintable(sim.Error()));
        const ProgramRun run = Cfg(dir, sim.CfgChannel() + QStringList{"--fast", "--json", "read"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.Describe()));
        const QJsonArray rows = JsonOf(run).value(QStringLiteral("outcome")).toObject().value(QStringLiteral("rows")).toArray();
        QCOMPARE(rows.size(), 11);
        QCOMPARE(rows.at(1).toObject().value(QStringLiteral("value")).toString(), QStringLiteral("8080"));
        QVERIFY(run.err.contains(QStringLiteral("[参数读取完毕]")));
    }

    // Why a TCP connection did not open, each cause in its own words, a
    // failed device operation (status 1); a device that drops the
    // connection after the password, with advice on the password.
    void aTcpConnectionThatDoesNotOpen_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("port"); // "refusing", "deaf", "wrong password", or a number
        QTest::addColumn<QString>("said");
        QTest::newRow("refused") << "127.0.0.1" << "refusing" << "TCP维护端口连接失败：127.0.0.1:%1 拒绝连接（该端口没有程序在监听）";
        QTest::newRow("no such host") << "no-such-host.invalid" << "8888" << "找不到主机 no-such-host.invalid";
        QTest::newRow("no answer") << "127.0.0.1" << "deaf" << "TCP维护端口连接失败：127.0.0.1:%1 在5秒内没有应答";
        QTest::newRow("wrong password") << "127.0.0.1" << "wrong password" << "（密码用 --password 给出，默认 480917）";
    }
    void aTcpConnectionThatDoesNotOpen()
    {
        QFETCH(QString, host);
        QFETCH(QString, port);
        QFETCH(QString, said);
        WorkFolder dir(WorkFolder::kAllExamples);
        const RefusingPort refusing;
        const Deaf deaf;
        SimProcess sim;
        if (port == QLatin1String("refusing"))
            port = refusing.Text();
        else if (port == QLatin1String("deaf"))
            port = deaf.Port();
        else if (port == QLatin1String("wrong password")) {
            QVERIFY2(sim.Start(SimProcess::ExampleArgs() + QStringList{"--tcp", "0", "--password", "135790", "--verbose"}),
                     qPrintable(sim.Error()));
            port = sim.TcpPort();
        }
        const ProgramRun run = Cfg(dir, {"--tcp", host, "--tcp-port", port, "--json", "status"}, 35000);
        QVERIFY2(run.exitCode == 1, qPrintable(run.Describe()));
        QVERIFY2(run.err.contains(said.arg(port)), qPrintable(run.err));
        QCOMPARE(JsonOf(run).value(QStringLiteral("error")).toObject().value(QStringLiteral("exit_code")).toInt(), 1);
        if (sim.Where().isEmpty())
            return;
        QCOMPARE(JsonOf(run).value(QStringLiteral("outcome")).toObject().value(QStringLiteral("failure")).toString(),
                 QStringLiteral("password-refused"));
        QVERIFY(!sim.WaitForLog(QStringLiteral("rx "), 400)); // the device heard nothing it took
        QCOMPARE(Cfg(dir, sim.CfgChannel() + QStringList{"--password", "135790", "status"}).exitCode, 0);
    }

    // A password no other user can read: a file's first line, or
    // DTU_PASSWORD, which --password beats.
    void aPasswordFromAFileOrTheEnvironment()
    {
        WorkFolder dir(WorkFolder::kAllExamples);
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs() + QStringList{"--tcp", "0", "--password", "135790"}),
                 qPrintable(sim.Error()));
        const QStringList status = sim.CfgChannel() + QStringList{"--fast", "status"};
        dir.Write(QStringLiteral("pw.txt"), "135790\r\nsecond line\n");
        QCOMPARE(Cfg(dir, QStringList{"--password-file", "pw.txt"} + status).exitCode, 0);
        QCOMPARE(Cfg(dir, status).exitCode, 1); // the default one is not this device's
        qputenv("DTU_PASSWORD", "135790");
        const int fromEnvironment = Cfg(dir, status).exitCode;
        const int overridden = Cfg(dir, QStringList{"--password", "480917"} + status).exitCode;
        qunsetenv("DTU_PASSWORD");
        QCOMPARE(fromEnvironment, 0);
        QCOMPARE(overridden, 1);
    }

    // A serial port that does not open is a set-up error (status 2).
    void aSerialPortThatDoesNotOpen()
    {
        WorkFolder dir(WorkFolder::kAllExamples);
        const ProgramRun run = Cfg(dir, {"--port", dir.Path(QStringLiteral("no-such-tty")), "status"});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(QStringLiteral("打开失败")), qPrintable(run.err));
    }

    // The device vanishes during the selection that follows the port's
    // opening: a failed device operation (status 1), not a channel that did
    // not open, and no table that did not come from the device.
    void theDeviceVanishesAfterOpening()
    {
        WorkFolder dir(WorkFolder::kAllExamples);
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs() + QStringList{"--silent", "--only", "E050", "--verbose"}),
                 qPrintable(sim.Error()));
        QProcess cfg;
        cfg.setWorkingDirectory(dir.Path());
        cfg.start(TestPaths::Program(QStringLiteral("dtucfg")),
                  {QStringLiteral("--profile"), TestPaths::kExampleProfile, QStringLiteral("--port"), sim.Pty(), QStringLiteral("read")});
        QVERIFY(cfg.waitForStarted(5000));
        QVERIFY(sim.WaitForLog(QStringLiteral("E050"), 10000));
        sim.Stop();
        QVERIFY2(cfg.waitForFinished(10000), "dtucfg hangs");
        QCOMPARE(cfg.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cfg.exitCode(), 1);
        QVERIFY(!cfg.readAllStandardOutput().contains("0030\t"));
    }

    // A silent device over a pseudo-terminal and over TCP, on the real
    // clock: the selection waits 3 s, the status 4 s.
    void aSilentDeviceOnTheRealClock_data()
    {
        QTest::addColumn<bool>("tcp");
        QTest::newRow("pty") << false;
        QTest::newRow("tcp") << true;
    }
    void aSilentDeviceOnTheRealClock()
    {
        QFETCH(bool, tcp);
        WorkFolder dir(WorkFolder::kAllExamples);
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs() + (tcp ? QStringList{"--silent", "--tcp", "0"} : QStringList{"--silent"})),
                 qPrintable(sim.Error()));
        const ProgramRun run = Cfg(dir, sim.CfgChannel() + QStringList{"--json", "status"}, 35000);
        QVERIFY2(run.exitCode == 1, qPrintable(run.Describe()));
        QVERIFY(JsonOf(run).value(QStringLiteral("lines")).toArray().contains(QStringLiteral("DTU状态读取失败，设备无响应！")));
    }

    // signal --watch: a line a reading until SIGTERM, then status 0 for a
    // last reading that succeeded.
    void watchUntilTerminated()
    {
        WorkFolder dir(WorkFolder::kAllExamples);
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs() + QStringList{"--signal-steps", "10,99", "--signal-per-request"}),
                 qPrintable(sim.Error()));
        QProcess cfg;
        cfg.setWorkingDirectory(dir.Path());
        cfg.start(TestPaths::Program(QStringLiteral("dtucfg")), {"--profile", TestPaths::kExampleProfile, "--port", sim.Pty(),
                                                                 "signal", "--watch", "1"});
        QString text;
        QElapsedTimer waited;
        waited.start();
        while (text.count(QLatin1Char('\n')) < 2 && waited.elapsed() < 15000) {
            cfg.waitForReadyRead(200);
            text += QString::fromUtf8(cfg.readAllStandardOutput());
        }
        cfg.terminate();
        QVERIFY(cfg.waitForFinished(5000));
        QCOMPARE(cfg.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cfg.exitCode(), 0);
        const QStringList lines = (text + QString::fromUtf8(cfg.readAllStandardOutput())).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QString time = QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d ");
        QVERIFY2(lines.size() >= 2, qPrintable(text));
        QVERIFY2(QRegularExpression(time + QStringLiteral("CSQ=10 -93 dBm$")).match(lines[0]).hasMatch(), qPrintable(lines[0]));
        QVERIFY2(QRegularExpression(time + QStringLiteral("CSQ=99 未知$")).match(lines[1]).hasMatch(), qPrintable(lines[1]));
    }
};

DTU_TEST_GUILESS(DtucfgProgramTest)
#include "tst_dtucfg_program.moc"
