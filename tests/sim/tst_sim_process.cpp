// The dtusim program itself, over a real pseudo-terminal and a real loopback
// TCP port.
#include "support/Hexes.h"
#include "support/SimProcess.h"
#include "support/TestPaths.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSerialPort>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QByteArray kStatusRequest = Bytes("AA 55 00 04 E0 04 00 E8");
const QByteArray kStatusReply = Bytes("AA 55 00 05 E0 04 05 00 EE");

// Starts dtusim on the example profile and returns its first line of output.
std::unique_ptr<QProcess> StartSim(const QStringList &extra, QString *firstLine)
{
    auto process = std::make_unique<QProcess>();
    process->setProcessChannelMode(QProcess::SeparateChannels);
    process->start(TestPaths::Program(QStringLiteral("dtusim")),
                   QStringList{QStringLiteral("--profile"), TestPaths::Example(QStringLiteral("example_profile.txt")),
                               QStringLiteral("--script"), TestPaths::Example(QStringLiteral("script.js"))}
                       + extra);
    QElapsedTimer t;
    t.start();
    while (!process->canReadLine() && process->state() != QProcess::NotRunning && t.elapsed() < 5000)
        process->waitForReadyRead(100);
    *firstLine = QString::fromLocal8Bit(process->readLine()).trimmed();
    return process;
}

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

void StopCleanly(QProcess &process)
{
    process.terminate(); // SIGTERM
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
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
        QString path;
        auto sim = StartSim({}, &path);
        QVERIFY2(path.startsWith(QLatin1String("/dev/")), qPrintable(path + sim->readAllStandardError()));

        QSerialPort port(path);
        port.setBaudRate(57600);
        QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
        port.write(kStatusRequest);
        QCOMPARE(ReadSome(port, kStatusReply.size()), kStatusReply);

        // A read of the extended table after selecting its channel: the
        // extended file is found beside the profile.
        port.write(Bytes("AA 55 00 05 E0 50 00 01 35"));
        QCOMPARE(ReadSome(port, 8), Bytes("AA 55 00 04 00 F0 00 F4"));
        port.write(Bytes("AA 55 00 06 E0 01 01 00 00 E8"));
        QCOMPARE(ReadSome(port, 13), Bytes("AA 55 00 09 E1 01 00 03 01 00 01 00 F0"));

        // A frame cut short is forgotten after a second of silence instead
        // of swallowing the next request.
        port.write(Bytes("AA 55 01 00 E0"));
        QTest::qWait(1200);
        port.write(kStatusRequest);
        QCOMPARE(ReadSome(port, kStatusReply.size()), kStatusReply);
        port.close();

        StopCleanly(*sim);
    }

    void tcpWithPassword()
    {
        QString line;
        auto sim = StartSim({"--tcp", "0", "--password", "secret", "--trickle", "20", "--only", "E004"}, &line);
        QVERIFY2(line.startsWith(QLatin1String("tcp 127.0.0.1:")), qPrintable(line + sim->readAllStandardError()));
        const quint16 port = line.section(QLatin1Char(':'), 1).toUShort();

        // The tool sends the password and its first frame back to back.
        QTcpSocket tool;
        tool.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(tool.waitForConnected(3000));
        tool.write("secret" + Bytes("AA 55 00 04 E0 03 00 E7"));
        QCOMPARE(ReadSome(tool, 8), Bytes("AA 55 00 04 00 F0 00 F4")); // not trickled: another word

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

        StopCleanly(*sim);
    }

    void badStartIsReported()
    {
        QString line;
        auto sim = StartSim({"--profile", "/nonexistent/profile.txt"}, &line);
        QVERIFY(sim->state() == QProcess::NotRunning || sim->waitForFinished(5000));
        QCOMPARE(sim->exitCode(), 2);
        QVERIFY(line.isEmpty());
        QVERIFY(!sim->readAllStandardError().isEmpty());
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

QTEST_GUILESS_MAIN(SimProcessTest)
#include "tst_sim_process.moc"
