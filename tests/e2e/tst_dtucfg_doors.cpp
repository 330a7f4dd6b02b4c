// dtucfg at its doors: every refusal and every failure names its cause, in
// the language asked for, and nothing reaches the device when dtucfg
// refuses. The simulated device logs every request it gets (--verbose), so
// "nothing sent" is what the device saw, not what dtucfg thinks it did.
#include "support/RefusingPort.h"
#include "support/SimLine.h"
#include "support/SimProcess.h"
#include "support/TestMain.h"
#include "support/TestPaths.h"
#include "support/WorkFolder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The example device on a pseudo-terminal (or TCP), logging every request,
// and a work folder with the example files.
class DoorRig {
public:
    explicit DoorRig(const QStringList &simArgs = {}, bool tcp = false)
    {
        QVERIFY(dir_.IsValid());
        QStringList args = SimProcess::ExampleArgs() + QStringList{QStringLiteral("--verbose")} + simArgs;
        if (tcp)
            args << QStringLiteral("--tcp") << QStringLiteral("0");
        QVERIFY2(sim_.Start(args, TestPaths::Source(QStringLiteral("examples"))), qPrintable(sim_.Error()));
    }

    // dtucfg with the example profile, on the device's channel.
    ProgramRun Cfg(const QStringList &args) const
    {
        return RunProgram(QStringLiteral("dtucfg"),
                          QStringList{QStringLiteral("--profile"), TestPaths::kExampleProfile} + sim_.CfgChannel() + args, dir_.Path());
    }
    // Whether the device got any request at all (it logs "rx ch..." for each).
    bool DeviceHeardAnything() { return sim_.WaitForLog(QStringLiteral("rx "), 400); }
    QString Log() const { return sim_.Log(); }
    const WorkFolder &Dir() const { return dir_; }
    SimProcess &Sim() { return sim_; }

private:
    WorkFolder dir_{WorkFolder::kAllExamples};
    SimProcess sim_;
};

QJsonObject JsonOf(const ProgramRun &run)
{
    return QJsonDocument::fromJson(run.out.join(QLatin1Char('\n')).toUtf8()).object();
}

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

} // namespace

class DtucfgDoorsTest : public QObject {
    Q_OBJECT
private slots:
    // Why a TCP connection did not open: each cause its own words, a
    // device that drops the connection after the password with advice on
    // the password; all are failed device operations (status 1).
    void tcpFailuresNameTheirCause()
    {
        WorkFolder dir(WorkFolder::kAllExamples);
        const auto cfg = [&dir](const QString &host, const QString &port, const QStringList &more = {}) {
            return RunProgram(QStringLiteral("dtucfg"),
                              QStringList{QStringLiteral("--profile"), TestPaths::kExampleProfile, QStringLiteral("--tcp"), host,
                                          QStringLiteral("--tcp-port"), port}
                                  + more + QStringList{QStringLiteral("status")},
                              dir.Path());
        };
        const RefusingPort refusing;
        const QString closed = refusing.Text();
        QVERIFY(!closed.isEmpty());
        ProgramRun run = cfg(QStringLiteral("127.0.0.1"), closed);
        QVERIFY2(run.exitCode == 1, qPrintable(run.Describe()));
        QVERIFY2(run.err.contains(QStringLiteral("TCP维护端口连接失败：127.0.0.1:%1 拒绝连接").arg(closed)),
                 qPrintable(run.err));
        run = cfg(QStringLiteral("127.0.0.1"), closed, {QStringLiteral("--lang"), QStringLiteral("en")});
        QVERIFY2(run.err.contains(QStringLiteral("refused")), qPrintable(run.err));

        run = cfg(QStringLiteral("no-such-host.invalid"), QStringLiteral("8888"));
        QVERIFY2(run.exitCode == 1, qPrintable(run.Describe()));
        QVERIFY2(run.err.contains(QStringLiteral("找不到主机 no-such-host.invalid")), qPrintable(run.err));
        QVERIFY(!run.err.contains(QStringLiteral("拒绝")));

        Deaf deaf;
        QVERIFY(!deaf.Port().isEmpty());
        run = cfg(QStringLiteral("127.0.0.1"), deaf.Port());
        QVERIFY2(run.exitCode == 1, qPrintable(run.Describe()));
        QVERIFY2(run.err.contains(QStringLiteral("没有应答")), qPrintable(run.err));
        QVERIFY(!run.err.contains(QStringLiteral("拒绝")) && !run.err.contains(QStringLiteral("找不到")));
    }

    void wrongPasswordIsNamed_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("status") << QStringLiteral("status");
        QTest::newRow("read") << QStringLiteral("read");
    }
    void wrongPasswordIsNamed()
    {
        QFETCH(QString, command);
        DoorRig rig({QStringLiteral("--password"), QStringLiteral("135790")}, true);
        ProgramRun run = rig.Cfg({command});
        QVERIFY2(run.exitCode == 1, qPrintable(run.Describe()));
        QVERIFY2(run.err.contains(QStringLiteral("密码")) && run.err.contains(QStringLiteral("--password")),
                 qPrintable(run.err));
        // Not a silent device, not a closed channel.
        QVERIFY2(!run.err.contains(QStringLiteral("设备无响应")) && !run.err.contains(QStringLiteral("数据通道未打开")),
                 qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        QVERIFY(!rig.DeviceHeardAnything());

        run = rig.Cfg({QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("--json"), command});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(QStringLiteral("password")), qPrintable(run.err));
        const QJsonObject json = JsonOf(run);
        QCOMPARE(json.value(QStringLiteral("error")).toObject().value(QStringLiteral("exit_code")).toInt(), 1);
        QVERIFY(json.value(QStringLiteral("error")).toObject().value(QStringLiteral("message")).toString().contains(
            QStringLiteral("password")));
        QCOMPARE(json.value(QStringLiteral("outcome")).toObject().value(QStringLiteral("failure")).toString(),
                 QStringLiteral("password-refused"));

        // The right password works on the same device.
        run = rig.Cfg({QStringLiteral("--password"), QStringLiteral("135790"), command});
        QVERIFY2(run.exitCode == 0, qPrintable(run.Describe()));
    }

    // A device that says nothing to the table selection does not answer:
    // that is what a read or write says. One that answers and refuses did
    // not switch.
    void silentSelectionIsNoAnswer_data()
    {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<QStringList>("cfg");
        QTest::addColumn<QString>("line");
        const QStringList selection{QStringLiteral("--only"), QStringLiteral("E050")};
        QTest::newRow("read, silent") << QStringList{QStringLiteral("--silent")} << QStringList{QStringLiteral("read")}
                                      << QStringLiteral("[参数读取失败，设备无响应！]");
        QTest::newRow("ext read, silent to the selection")
            << QStringList{QStringLiteral("--silent")} + selection
            << QStringList{QStringLiteral("--ext"), QStringLiteral("read")} << QStringLiteral("[参数读取失败，设备无响应！]");
        QTest::newRow("ext write, silent to the selection")
            << QStringList{QStringLiteral("--silent")} + selection
            << QStringList{QStringLiteral("--ext"), QStringLiteral("write"), QStringLiteral("0100=RS232")}
            << QStringLiteral("[参数设置失败，设备无响应！]");
        QTest::newRow("batch, silent") << QStringList{QStringLiteral("--silent")} << QStringList{QStringLiteral("batch")}
                                       << QStringLiteral("[参数设置失败，设备无响应！]");
        QTest::newRow("read, refused") << QStringList{QStringLiteral("--refuse")} + selection
                                       << QStringList{QStringLiteral("read")}
                                       << QStringLiteral("[参数读取失败，设备未切换参数表！]");
    }
    void silentSelectionIsNoAnswer()
    {
        QFETCH(QStringList, sim);
        QFETCH(QStringList, cfg);
        QFETCH(QString, line);
        // On virtual time: the device's silence is waited out in no time.
        WorkFolder dir(WorkFolder::kAllExamples);
        VirtualDevice device(sim);
        const ProgramRun run = device.Cfg(
            QStringList{QStringLiteral("--profile"), TestPaths::kExampleProfile, QStringLiteral("--fast")} + cfg,
            dir.Path());
        QVERIFY2(run.exitCode == 1, qPrintable(run.Describe()));
        QVERIFY2(run.out.contains(line), qPrintable(run.out.join(QLatin1Char('\n'))));
        QVERIFY2(run.out.last() == line, qPrintable(run.out.join(QLatin1Char('\n'))));
    }

    // real-clock smoke: a silent device over a real pseudo-terminal and over
    // TCP, on the real clock. The channel selection goes unanswered for 3 s
    // and the status request for 4 s; the bound is five times that.
    void silentDeviceOnTheRealClock_data()
    {
        QTest::addColumn<bool>("tcp");
        QTest::newRow("pty") << false;
        QTest::newRow("tcp") << true;
    }
    void silentDeviceOnTheRealClock()
    {
        QFETCH(bool, tcp);
        DoorRig rig({QStringLiteral("--silent")}, tcp);
        const ProgramRun run = RunProgram(
            QStringLiteral("dtucfg"),
            QStringList{QStringLiteral("--profile"), TestPaths::kExampleProfile} + rig.Sim().CfgChannel()
                + QStringList{QStringLiteral("--json"), QStringLiteral("status")},
            rig.Dir().Path(), 35000);
        QVERIFY2(run.exitCode == 1, qPrintable(run.Describe()));
        const QJsonObject json = JsonOf(run);
        QCOMPARE(json.value(QStringLiteral("status")).toInt(), 1);
        QVERIFY2(json.value(QStringLiteral("lines")).toArray().contains(QStringLiteral("DTU状态读取失败，设备无响应！")),
                 qPrintable(run.out.join(QLatin1Char('\n'))));
        QVERIFY(rig.DeviceHeardAnything());
    }

    // Refusals before the device: each says what is wrong and what would be
    // right, exits 2, and the device hears nothing.
    void refusalsNameTheirCause_data()
    {
        QTest::addColumn<QStringList>("cfg");
        QTest::addColumn<QStringList>("said"); // each must be in standard error
        const auto L = [](std::initializer_list<const char *> items) {
            QStringList list;
            for (const char *item : items)
                list << QString::fromUtf8(item);
            return list;
        };
        QTest::newRow("unknown speed") << L({"--baud", "12345", "status"}) << L({"--baud", "12345", "57600", "921600"});
        QTest::newRow("unknown format") << L({"--format", "9Z3", "status"}) << L({"--format", "9Z3", "8N1", "7O2"});
        QTest::newRow("--ext for status") << L({"--ext", "status"}) << L({"--ext", "status"});
        QTest::newRow("--verify for read") << L({"read", "--verify"}) << L({"--verify", "read"});
        QTest::newRow("--ignore for write") << L({"write", "0031=9000", "--ignore", "0091"}) << L({"--ignore", "write"});
        QTest::newRow("--jobs for batch") << L({"batch", "--jobs", "2"}) << L({"--jobs", "batch"});
        QTest::newRow("--set for write") << L({"write", "0031=9000", "--set", "0030=1"}) << L({"--set", "write"});
        QTest::newRow("--watch for status") << L({"status", "--watch", "5"}) << L({"--watch", "status"});
        QTest::newRow("--watch 0") << L({"signal", "--watch", "0"}) << L({"--watch", "“0”", "1", "3600"});
        QTest::newRow("--lang xx") << L({"--lang", "xx", "status"}) << L({"--lang", "“xx”", "zh", "en"});
        QTest::newRow("--level 7") << L({"--level", "7", "status"}) << L({"--level", "“7”", "0", "1", "2"});
        QTest::newRow("--tcp-port 0") << L({"--tcp-port", "0", "status"}) << L({"--tcp-port", "1", "65535"});
        QTest::newRow("--ignore 91") << L({"verify", "x.txt", "--ignore", "91"}) << L({"--ignore", "0091"});
        QTest::newRow("--jobs 0") << L({"status", "--jobs", "0"}) << L({"--jobs", "“0”", "1"});
    }
    void refusalsNameTheirCause()
    {
        QFETCH(QStringList, cfg);
        QFETCH(QStringList, said);
        // In this process, so that what reached the device is every byte
        // written to its line, not what it logged within a wait.
        WorkFolder dir(WorkFolder::kAllExamples);
        VirtualDevice device;
        const QByteArray profileBefore = dir.Read(TestPaths::kExampleProfile);
        const ProgramRun run
            = device.Cfg(QStringList{QStringLiteral("--profile"), TestPaths::kExampleProfile} + cfg, dir.Path());
        QVERIFY2(run.exitCode == 2, qPrintable(run.Describe()));
        for (const QString &part : said)
            QVERIFY2(run.err.contains(part), qPrintable(part + QStringLiteral(" not in: ") + run.err));
        QVERIFY(run.out.isEmpty());
        QVERIFY2(device.Line().heard.isEmpty(), device.Line().heard.toHex(' ').constData());
        // Nothing stored either: the profile file keeps its serial settings.
        QCOMPARE(dir.Read(TestPaths::kExampleProfile), profileBefore);
    }

    // A profile that is not there is named, not the script it would lead to;
    // a script not found lists where it was looked for.
    void missingFilesAreNamed()
    {
        WorkFolder dir; // no script.js, no profile
        ProgramRun run = RunProgram(QStringLiteral("dtucfg"),
                                    {QStringLiteral("--profile"), QStringLiteral("nosuch.txt"), QStringLiteral("status")},
                                    dir.Path());
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(QStringLiteral("nosuch.txt")), qPrintable(run.err));
        QVERIFY2(!run.err.contains(QStringLiteral("script.js")), qPrintable(run.err));

        dir.CopyExample(TestPaths::kExampleProfile);
        run = RunProgram(QStringLiteral("dtucfg"), {QStringLiteral("--profile"), TestPaths::kExampleProfile, QStringLiteral("status")},
                         dir.Path());
        QCOMPARE(run.exitCode, 2);
        // The work folder's script.js is one of the places tried.
        QVERIFY2(run.err.contains(QStringLiteral("script.js")) && run.err.contains(dir.Path()), qPrintable(run.err));
    }

    // verify says how many of the device's rows the file does not list, and
    // refuses a file that lists none of them.
    void verifyCountsRowsTheFileLacks()
    {
        DoorRig rig;
        // Two rows of the example profile with its values, and one it has not.
        rig.Dir().Write(QStringLiteral("other.txt"),
                        "{\"Params\": [\n"
                        " {\"CMDID\": \"0031\", \"PNAME\": \"中心端口\", \"PVALUE\": \"HEX:1F90\", \"ONGET\": \"GetUInt()\", \"ONSET\": \"SetUInt(2)\"},\n"
                        " {\"CMDID\": \"0032\", \"PNAME\": \"协议\", \"PVALUE\": \"HEX:00\"},\n"
                        " {\"CMDID\": \"0777\", \"PNAME\": \"别的\", \"PVALUE\": \"HEX:01\"}\n"
                        "]}\n");
        ProgramRun run = rig.Cfg({QStringLiteral("--fast"), QStringLiteral("verify"), QStringLiteral("other.txt")});
        QVERIFY2(run.exitCode == 3, qPrintable(run.Describe()));
        // 14 rows on the device, 12 of them not in the file.
        QVERIFY2(run.out.last().contains(QStringLiteral("文件缺少设备的12行")), qPrintable(run.out.join(QLatin1Char('\n'))));
        run = rig.Cfg({QStringLiteral("--fast"), QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("verify"),
                       QStringLiteral("other.txt")});
        QVERIFY2(run.out.last().contains(QStringLiteral("12")) && run.out.last().contains(QStringLiteral("lacks")),
                 qPrintable(run.out.join(QLatin1Char('\n'))));

        DoorRig quiet;
        quiet.Dir().Write(QStringLiteral("alien.txt"),
                          "{\"Params\": [{\"CMDID\": \"0777\", \"PNAME\": \"别的\", \"PVALUE\": \"HEX:01\"}]}\n");
        run = quiet.Cfg({QStringLiteral("verify"), QStringLiteral("alien.txt")});
        QVERIFY2(run.exitCode == 2, qPrintable(run.Describe()));
        QVERIFY2(run.err.contains(QStringLiteral("alien.txt")), qPrintable(run.err));
        QVERIFY(!quiet.DeviceHeardAnything());
    }

    // A script that does not run is the first thing said, before anything
    // the missing script causes.
    void scriptErrorComesFirst()
    {
        DoorRig rig;
        rig.Dir().Write(QStringLiteral("broken.js"), "function GetCmd(name) {\n  return 'E004' +;\n}\n");
        const ProgramRun run = rig.Cfg({QStringLiteral("--script"), QStringLiteral("broken.js"), QStringLiteral("write"),
                                        QStringLiteral("0031=9000")});
        QVERIFY2(run.exitCode == 2, qPrintable(run.Describe()));
        const QStringList lines = run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(!lines.isEmpty());
        QVERIFY2(lines.first().contains(QStringLiteral("broken.js")) && lines.first().contains(QStringLiteral("SyntaxError")),
                 qPrintable(run.err));
        // Not the row the broken script kept out of the table.
        QVERIFY2(!run.err.contains(QStringLiteral("0031")), qPrintable(run.err));
        QVERIFY(!rig.DeviceHeardAnything());

        // A script that stops part-way still serves with what it defined.
        rig.Dir().Write(QStringLiteral("odd.js"),
                        "function GetCmd(n) { return 'E004'; }\nfunction PrevCmd() { return ''; }\nNoSuchHelper();\n");
        const ProgramRun partial
            = rig.Cfg({QStringLiteral("--script"), QStringLiteral("odd.js"), QStringLiteral("status")});
        QVERIFY2(partial.exitCode == 0, qPrintable(partial.Describe()));
        QVERIFY(partial.err.contains(QStringLiteral("ReferenceError")));
    }

    // --json answers every time: one object, with an error member naming
    // the exit status and the reason when it failed.
    void jsonAnswersEveryTime_data()
    {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<QStringList>("cfg");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("waits"); // a silent device: run in this process, on virtual time
        QTest::newRow("ok") << QStringList{} << QStringList{QStringLiteral("status")} << 0 << false;
        QTest::newRow("device silent") << QStringList{QStringLiteral("--silent")} << QStringList{QStringLiteral("status")} << 1 << true;
        QTest::newRow("read failed") << QStringList{QStringLiteral("--silent")} << QStringList{QStringLiteral("read")} << 1 << true;
        QTest::newRow("usage") << QStringList{} << QStringList{QStringLiteral("status"), QStringLiteral("--ext")} << 2 << false;
        QTest::newRow("bad option") << QStringList{} << QStringList{QStringLiteral("--baud"), QStringLiteral("1"), QStringLiteral("status")} << 2 << false;
        QTest::newRow("unknown option") << QStringList{} << QStringList{QStringLiteral("--frob"), QStringLiteral("status")} << 2 << false;
        QTest::newRow("no such row") << QStringList{} << QStringList{QStringLiteral("write"), QStringLiteral("0999=1")} << 2 << false;
        QTest::newRow("serial port") << QStringList{} << QStringList{QStringLiteral("--port"), QStringLiteral("/dev/no-such-tty"), QStringLiteral("status")} << 2 << false;
    }
    void jsonAnswersEveryTime()
    {
        QFETCH(QStringList, sim);
        QFETCH(QStringList, cfg);
        QFETCH(int, exitCode);
        QFETCH(bool, waits);
        ProgramRun run;
        if (waits) {
            WorkFolder dir(WorkFolder::kAllExamples);
            VirtualDevice device(sim);
            run = device.Cfg(QStringList{QStringLiteral("--profile"), TestPaths::kExampleProfile, QStringLiteral("--json")} + cfg,
                             dir.Path());
        } else {
            DoorRig rig(sim);
            run = rig.Cfg(QStringList{QStringLiteral("--json")} + cfg);
        }
        QVERIFY2(run.exitCode == exitCode, qPrintable(run.Describe()));
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(run.out.join(QLatin1Char('\n')).toUtf8(), &error);
        QVERIFY2(error.error == QJsonParseError::NoError && document.isObject(), qPrintable(run.out.join(QLatin1Char('\n'))));
        const QJsonObject json = document.object();
        QCOMPARE(json.value(QStringLiteral("status")).toInt(), exitCode);
        QCOMPARE(json.value(QStringLiteral("ok")).toBool(), exitCode == 0);
        const QJsonObject failure = json.value(QStringLiteral("error")).toObject();
        QCOMPARE(failure.isEmpty(), exitCode == 0);
        if (exitCode != 0) {
            QCOMPARE(failure.value(QStringLiteral("exit_code")).toInt(), exitCode);
            QVERIFY(!failure.value(QStringLiteral("message")).toString().isEmpty());
        }
    }

};

DTU_TEST_GUILESS(DtucfgDoorsTest)
#include "tst_dtucfg_doors.moc"
