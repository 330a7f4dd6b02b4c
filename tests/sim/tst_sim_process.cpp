// The dtusim program itself, over a real pseudo-terminal and a real loopback
// TCP port.
#include "support/Frames.h"
#include "support/SimProcess.h"
#include "support/TestPaths.h"
#include "support/TestMain.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QByteArray kStatusRequest = Bytes("AA 55 00 04 E0 04 00 E8");
const QByteArray kStatusReply = Bytes("AA 55 00 05 E0 04 05 00 EE");

// Write 1F 90 into 0031 (中心端口), read it back, and the two readings.
const QByteArray kWrite0031 = Bytes("AA 55 00 06 00 31 00 50 00 87");
const QByteArray kRead0031 = Bytes("AA 55 00 06 E0 01 00 31 01 18");
const QByteArray kRead0031Written = Bytes("AA 55 00 0A E1 01 00 04 00 31 00 50 01 71");
const QByteArray kRead0031Default = Bytes("AA 55 00 0A E1 01 00 04 00 31 1F 90 01 D0");
const QByteArray kSignalRequest = Bytes("AA 55 00 04 E0 23 01 07");

// Reads until `size` bytes came or the wait ran out.
QByteArray ReadSome(QIODevice &io, qsizetype size, int timeoutMs = 3000)
{
    QByteArray got;
    QElapsedTimer t;
    t.start();
    while (got.size() < size && t.elapsed() < timeoutMs) {
        if (io.bytesAvailable() == 0)
            io.waitForReadyRead(50);
        got += io.readAll();
    }
    return got;
}

bool ConnectTo(QTcpSocket &socket, const QString &port)
{
    socket.connectToHost(QHostAddress::LocalHost, port.toUShort());
    return socket.waitForConnected(3000);
}

} // namespace

class SimProcessTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(TestPaths::Program(QStringLiteral("dtusim"))), "build the dtusim target first");
    }

    void pseudoTerminal()
    {
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs() << QStringLiteral("--verbose")), qPrintable(sim.Error()));
        QVERIFY2(sim.Pty().startsWith(QLatin1String("/dev/")), qPrintable(sim.Where()));

        QSerialPort port(sim.Pty());
        port.setBaudRate(57600);
        QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
        port.write(kStatusRequest);
        QCOMPARE(ReadSome(port, kStatusReply.size()), kStatusReply);

        // A read of the extended table after selecting its channel: the
        // extended file is found beside the profile.
        port.write(Bytes("AA 55 00 05 E0 50 00 01 35"));
        QCOMPARE(ReadSome(port, 8), TestFrames::kAck);
        port.write(Bytes("AA 55 00 06 E0 01 01 00 00 E8"));
        QCOMPARE(ReadSome(port, 13), Bytes("AA 55 00 09 E1 01 00 03 01 00 01 00 F0"));

        // A frame cut short is forgotten after a second of silence instead
        // of swallowing the next request (the log says when: a smoke test on
        // the real clock, waiting at most five times that second).
        port.write(Bytes("AA 55 01 00 E0"));
        QVERIFY(port.waitForBytesWritten(5000)); // the log wait below turns no event loop
        QVERIFY2(sim.WaitForLog(QStringLiteral("dropped an unfinished frame of 5 byte(s)"), 5000), qPrintable(sim.Log()));
        port.write(kStatusRequest);
        QCOMPARE(ReadSome(port, kStatusReply.size()), kStatusReply);
        port.close();

        QVERIFY(sim.Stop()); // SIGTERM ends it with status 0
    }

    void tcpWithPassword()
    {
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs()
                           + QStringList{"--tcp", "0", "--password", "secret", "--trickle", "20", "--only", "E004",
                                         "--value", "0031=80"}),
                 qPrintable(sim.Error()));
        QVERIFY2(sim.Where().startsWith(QLatin1String("tcp 127.0.0.1:")), qPrintable(sim.Where()));
        const quint16 port = sim.TcpPort().toUShort();

        // The tool sends the password and its first frame back to back.
        QTcpSocket tool;
        tool.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(tool.waitForConnected(3000));
        tool.write("secret" + Bytes("AA 55 00 04 E0 03 00 E7"));
        QCOMPARE(ReadSome(tool, 8), TestFrames::kAck); // not trickled: another word
        tool.write(kRead0031); // the value given
        QCOMPARE(ReadSome(tool, kRead0031Written.size()), kRead0031Written);

        // Trickled status: a byte every 20 ms, so the reply is spread out.
        QElapsedTimer t;
        t.start();
        tool.write(kStatusRequest);
        QCOMPARE(ReadSome(tool, kStatusReply.size()), kStatusReply);
        QVERIFY2(t.elapsed() >= 8 * 20 - 10, qPrintable(QString::number(t.elapsed())));

        // A peer that does not know the password is shown the door.
        QTcpSocket stranger;
        stranger.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(stranger.waitForConnected(3000));
        stranger.write(kStatusRequest);
        QVERIFY(stranger.state() == QAbstractSocket::UnconnectedState || stranger.waitForDisconnected(3000));
        QVERIFY(stranger.readAll().isEmpty());

        QVERIFY(sim.Stop()); // SIGTERM ends it with status 0
    }

    // Three units on free TCP ports: values, silence and password are each
    // unit's own.
    void fleetOverTcp()
    {
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs()
                               + QStringList{"--count", "3", "--tcp", "0", "--unit", "2", "--silent", "--unit", "3",
                                             "--password", "other"},
                           {}, 3),
                 qPrintable(sim.Error()));
        QStringList ports{sim.TcpPort(1), sim.TcpPort(2), sim.TcpPort(3)};
        QVERIFY2(!ports.contains(QString()), qPrintable(sim.Endpoints().join(QLatin1Char(' '))));
        QCOMPARE(ports.removeDuplicates(), 0);

        QTcpSocket one, two, three;
        QVERIFY(ConnectTo(one, sim.TcpPort(1)) && ConnectTo(two, sim.TcpPort(2)) && ConnectTo(three, sim.TcpPort(3)));
        one.write("480917" + kWrite0031);
        QCOMPARE(ReadSome(one, TestFrames::kAck.size()), TestFrames::kAck);
        one.write(kRead0031);
        QCOMPARE(ReadSome(one, kRead0031Written.size()), kRead0031Written);

        three.write("other" + kRead0031);
        QCOMPARE(ReadSome(three, kRead0031Default.size()), kRead0031Default);

        // Let in, but never answering.
        two.write("480917" + kStatusRequest);
        QCOMPARE(ReadSome(two, 1, 700), QByteArray());
        QCOMPARE(two.state(), QAbstractSocket::ConnectedState);
    }

    void fleetOverPseudoTerminals()
    {
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs() + QStringList{"--count", "2"}, {}, 2), qPrintable(sim.Error()));
        QVERIFY(!sim.Pty(1).isEmpty() && !sim.Pty(2).isEmpty() && sim.Pty(1) != sim.Pty(2));

        QSerialPort one(sim.Pty(1)), two(sim.Pty(2));
        QVERIFY2(one.open(QIODevice::ReadWrite) && two.open(QIODevice::ReadWrite), qPrintable(one.errorString()));
        one.write(kWrite0031);
        QCOMPARE(ReadSome(one, TestFrames::kAck.size()), TestFrames::kAck);
        two.write(kRead0031);
        QCOMPARE(ReadSome(two, kRead0031Default.size()), kRead0031Default);
        one.write(kRead0031);
        QCOMPARE(ReadSome(one, kRead0031Written.size()), kRead0031Written);
    }

    // The reported signal walks through its steps while the device runs.
    void signalStepsOverTime()
    {
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs() + QStringList{"--tcp", "0", "--signal-steps", "7,31", "--signal-period", "1500"}),
                 qPrintable(sim.Error()));
        QTcpSocket tool;
        QVERIFY(ConnectTo(tool, sim.TcpPort()));
        tool.write("480917" + kSignalRequest);
        QCOMPARE(ReadSome(tool, 9), Bytes("AA 55 00 05 E0 23 07 01 0F"));

        const QByteArray later = Bytes("AA 55 00 05 E0 23 1F 01 27");
        QByteArray reply;
        QElapsedTimer t;
        t.start();
        while (reply != later && t.elapsed() < 5 * 1500) { // real clock: five times the period
            QTest::qWait(200);
            tool.write(kSignalRequest);
            reply = ReadSome(tool, 9);
        }
        QCOMPARE(reply, later);
    }

    void badStartIsReported()
    {
        const ProgramRun cannotHold =
            RunProgram(QStringLiteral("dtusim"), SimProcess::ExampleArgs() + QStringList{"--value", "0031=x"}, {});
        QCOMPARE(cannotHold.exitCode, 2);
        QVERIFY2(cannotHold.err.startsWith(QLatin1String("dtusim: --value 0031=x: parameter 0031")), qPrintable(cannotHold.err));

        const ProgramRun unitTcp =
            RunProgram(QStringLiteral("dtusim"), SimProcess::ExampleArgs() + QStringList{"--unit", "1", "--tcp", "0"}, {});
        QCOMPARE(unitTcp.exitCode, 2);
        QVERIFY2(unitTcp.err.contains(QLatin1String("--tcp applies to the whole run")), qPrintable(unitTcp.err));
        QVERIFY(unitTcp.out.isEmpty());


        SimProcess sim;
        QVERIFY(!sim.Start(SimProcess::ExampleArgs() + QStringList{"--profile", "/nonexistent/profile.txt"}));
        QCOMPARE(sim.WaitForExit(), 2);
        QVERIFY(sim.Where().isEmpty());
        QVERIFY(!sim.Log().isEmpty());
    }

    // A script that does not run: its own error (file, line, message) comes
    // first, before the failure it causes.
    void scriptErrorIsNamed()
    {
        QTemporaryDir dir;
        const QString script = dir.filePath(QStringLiteral("broken.js"));
        QFile file(script);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("function PrevCmd() { return ''; }\nvar x = ;\n");
        file.close();
        const ProgramRun run = RunProgram(
            QStringLiteral("dtusim"),
            {QStringLiteral("--profile"), TestPaths::Example(QStringLiteral("example_profile.txt")),
             QStringLiteral("--script"), script},
            dir.path(), 10000);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.startsWith(QStringLiteral("dtusim: script error: ") + script + QStringLiteral(" 第2行：SyntaxError")),
                 qPrintable(run.Describe()));
    }
};

DTU_TEST_GUILESS(SimProcessTest)
#include "tst_sim_process.moc"
