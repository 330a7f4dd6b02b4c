// Faults of the device and the line, end to end: the real dtusim program
// misbehaving on a pseudo-terminal and on a loopback TCP port, the session's
// real transports and real clock. In every case the exchange ends with one of
// the known verdicts, the event loop keeps running during the wait, and the
// channel serves a healthy command afterwards. Smoke tests on the real clock:
// every bound on a duration is at least five times what it should take, and
// the verdicts' timing rules are tested in virtual time by the unit tests.
#include "session/DtuSession.h"
#include "ops/DeviceCommands.h"
#include "protocol/TransactionResult.h"
#include "support/RecordingFrontend.h"
#include "support/SimProcess.h"
#include "support/TestPaths.h"
#include "support/WorkFolder.h"
#include "support/TestMain.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <QTest>

#include <memory>

namespace {

constexpr int kHealthyStatus = 5; // dtusim's default working state

// The example device on a pseudo-terminal or on a loopback TCP port,
// misbehaving as `faults` say.
QStringList FaultSimArgs(bool tcp, const QStringList &faults)
{
    QStringList args = SimProcess::ExampleArgs();
    if (tcp)
        args << QStringLiteral("--tcp") << QStringLiteral("0");
    return args + faults;
}

// Counts event-loop turns: the longest gap between two 50 ms ticks shows
// whether the window would have frozen.
class Heartbeat {
public:
    Heartbeat()
    {
        timer_.setInterval(50);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            maxGapMs_ = qMax(maxGapMs_, clock_.restart());
        });
        clock_.start();
        timer_.start();
    }
    qint64 MaxGapMs() const { return qMax(maxGapMs_, clock_.elapsed()); }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 maxGapMs_ = 0;
};

struct FaultRig {
    RecordingFrontend fe;
    DtuSession session{fe};

    FaultRig() { QVERIFY(session.script.LoadFile(TestPaths::Example(QStringLiteral("script.js")))); }

    bool Attach(const SimProcess &sim, bool tcp)
    {
        if (tcp) {
            session.tcp.SetPort(sim.TcpPort().toUShort());
            session.tcp.Connect(QStringLiteral("127.0.0.1"), TcpTransport::kPasswordDefault);
            QDeadlineTimer deadline(3000);
            while (!session.tcp.IsOpen() && !deadline.hasExpired())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            return session.tcp.IsOpen();
        }
        session.serial.Close();
        return session.serial.Open(sim.Pty(), QStringLiteral("57600"), QStringLiteral("8N1"));
    }
    // Lets the event loop run (the poller, socket notifications) for a while.
    static void Run(int ms) { QTest::qWait(ms); }
    // The status byte, or the failure's code.
    int Status()
    {
        const CommandOutcome status = DeviceCommands::QueryStatus(session);
        return status.Ok() ? status.value : status.result;
    }
};

bool IsFailure(int verdict)
{
    return verdict >= TransactionResult::WrongCommandWord && verdict <= TransactionResult::Refused;
}

void AddTransports()
{
    QTest::addColumn<bool>("tcp");
    QTest::newRow("pty") << false;
    QTest::newRow("tcp") << true;
}

} // namespace

class FaultsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(TestPaths::Program(QStringLiteral("dtusim"))), "build the dtusim target first");
    }

    // Killed while its reply trickles out: the pty hangs up, the TCP
    // connection closes (and a later write meets a reset). The verdict is a
    // failure, the dead channel answers nothing, and a new device on a fresh
    // port or connection answers.
    void deviceVanishesMidReply_data() { AddTransports(); }
    void deviceVanishesMidReply()
    {
        QFETCH(bool, tcp);
        FaultRig rig;
        auto sim = std::make_unique<SimProcess>();
        QVERIFY2(sim->Start(FaultSimArgs(tcp, {"--trickle", "100", "--only", "E004"})), qPrintable(sim->Error()));
        QVERIFY(rig.Attach(*sim, tcp));

        Heartbeat beat;
        QTimer::singleShot(350, [&] { sim->Kill(); });
        QElapsedTimer t;
        t.start();
        const int verdict = rig.Status();
        QVERIFY2(IsFailure(verdict), qPrintable(QString::number(verdict)));
        QVERIFY(t.elapsed() < 12000); // about 0.8 s: killed at 350 ms, then the quiet gap
        QVERIFY2(beat.MaxGapMs() < 5000, qPrintable(QString::number(beat.MaxGapMs())));

        // On the dead line nothing comes back, and nothing throws.
        FaultRig::Run(200);
        QVERIFY(IsFailure(rig.Status()));
        QVERIFY(rig.fe.errors.isEmpty());

        sim = std::make_unique<SimProcess>();
        QVERIFY2(sim->Start(FaultSimArgs(tcp, {})), qPrintable(sim->Error()));
        QVERIFY(rig.Attach(*sim, tcp));
        QCOMPARE(rig.Status(), kHealthyStatus);
    }

    // dtucfg, when the device vanishes half-way through its answer, ends
    // with exit status 1 (a failed operation) instead of hanging.
    void dtucfgEndsWhenDeviceVanishes_data() { AddTransports(); }
    void dtucfgEndsWhenDeviceVanishes()
    {
        QFETCH(bool, tcp);
        SimProcess sim;
        QVERIFY2(sim.Start(FaultSimArgs(tcp, {"--trickle", "100", "--only", "E004", "--verbose"})),
                 qPrintable(sim.Error()));
        // A copy: a successful port open writes the port back into the profile.
        WorkFolder dir(WorkFolder::kProfiles);
        QStringList args{"--profile", dir.Path(QStringLiteral("example_profile.txt")), "--script",
                         TestPaths::Example(QStringLiteral("script.js"))};
        if (tcp)
            args << "--tcp" << "127.0.0.1" << "--tcp-port" << sim.TcpPort();
        else
            args << "--port" << sim.Pty();
        QProcess cfg;
        cfg.start(TestPaths::Program(QStringLiteral("dtucfg")), args << "status");
        QVERIFY(cfg.waitForStarted(5000));
        QVERIFY(sim.WaitForLog(QStringLiteral(" E004 ["), 10000)); // the request arrived (--verbose)
        QTest::qWait(250); // the answer is trickling out
        sim.Kill();
        QVERIFY2(cfg.waitForFinished(8000), "dtucfg hangs");
        QCOMPARE(cfg.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cfg.exitCode(), 1);
    }

    // A byte every 300 ms that would go on for ever: the reply is cut by its
    // time bound (narrowed here to 2 s; the 15 s bound is shown in virtual
    // time by the unit tests), what follows is taken by the poller, and the
    // next command is answered.
    void replyThatNeverEnds_data() { AddTransports(); }
    void replyThatNeverEnds()
    {
        QFETCH(bool, tcp);
        FaultRig rig;
        SimProcess sim;
        QVERIFY2(sim.Start(FaultSimArgs(tcp, {"--trickle", "300", "--stray-before", "5A5A5A5A5A5A5A5A", "--only", "E003"})),
                 qPrintable(sim.Error()));
        QVERIFY(rig.Attach(sim, tcp));
        rig.session.exchange.SetReplyBounds(CommandExchange::kMaxReplyBytes, 2000);
        rig.session.poller.SetEnabled(true);
        rig.session.state.AccessLevel = 1; // the trace shows the bytes the reply took

        Heartbeat beat;
        QElapsedTimer t;
        t.start();
        const int verdict = DeviceCommands::Reset(rig.session).result;
        QVERIFY2(t.elapsed() < 5 * 2000 + 2000, qPrintable(QString::number(t.elapsed()))); // the bound, then a byte
        QVERIFY(rig.session.exchange.LastReplyCut());
        QCOMPARE(verdict, int(TransactionResult::NotAFrame)); // noise so far, no frame yet
        QVERIFY(rig.session.poller.IsEnabled());
        const QStringList replies = rig.fe.memo.filter(QStringLiteral("上行："));
        QCOMPARE(replies.size(), 1);
        const qsizetype taken = replies.first().count(QLatin1Char(' '));

        // The rest of the trickle (the acknowledgement among it: 16 bytes in
        // all) ends up on the transparent display; then the device answers.
        QTRY_COMPARE_WITH_TIMEOUT(qsizetype(rig.session.state.ReceivedByteCount), 16 - taken, 5 * 16 * 300);
        QVERIFY2(beat.MaxGapMs() < 5000, qPrintable(QString::number(beat.MaxGapMs())));
        QCOMPARE(rig.Status(), kHealthyStatus);
    }

    // The length field claims 100 bytes more than arrive: rule A cannot be
    // checked, so the verdict is a checksum error, and nothing reads past
    // the reply.
    void lengthFieldLargerThanReply_data() { AddTransports(); }
    void lengthFieldLargerThanReply()
    {
        QFETCH(bool, tcp);
        FaultRig rig;
        SimProcess sim;
        QVERIFY2(sim.Start(FaultSimArgs(tcp, {"--long-length", "100", "--only", "E003", "--only", "E024"})),
                 qPrintable(sim.Error()));
        QVERIFY(rig.Attach(sim, tcp));
        QCOMPARE(DeviceCommands::Reset(rig.session).result, int(TransactionResult::BadChecksum));
        QCOMPARE(DeviceCommands::QueryVersion(rig.session).text, QString());
        QCOMPARE(rig.Status(), kHealthyStatus);
    }

    // A megabyte of noise arrives 600 ms after an answer, while the tool is
    // idle: the poller takes it in without stalling the event loop, counts
    // every byte, and the next command is answered.
    void megabyteOfNoiseWhileIdle_data() { AddTransports(); }
    void megabyteOfNoiseWhileIdle()
    {
        QFETCH(bool, tcp);
        constexpr int kNoise = 1 << 20;
        FaultRig rig;
        SimProcess sim;
        QVERIFY2(sim.Start(FaultSimArgs(tcp, {"--flood", QString::number(kNoise) + ":600", "--only", "E003"})),
                 qPrintable(sim.Error()));
        QVERIFY(rig.Attach(sim, tcp));
        rig.session.poller.SetEnabled(true);

        QCOMPARE(DeviceCommands::Reset(rig.session).result, int(TransactionResult::Accepted));
        Heartbeat beat;
        QTRY_COMPARE_WITH_TIMEOUT(rig.session.state.ReceivedByteCount, kNoise, 20000);
        QVERIFY2(beat.MaxGapMs() < 5000, qPrintable(QString::number(beat.MaxGapMs())));
        QVERIFY(!rig.fe.transparent.isEmpty());
        QVERIFY(rig.session.channel.ChannelIsOpen());
        QCOMPARE(rig.Status(), kHealthyStatus);
    }

    // The status answer comes 4.5 s late, after its 4 s wait ended. With the
    // poller running (the window) it is taken as received data and the next
    // command succeeds; without it (the command line) it spoils at most the
    // next reply, and the one after succeeds.
    void lateAnswer_data()
    {
        QTest::addColumn<bool>("tcp");
        QTest::addColumn<bool>("poller");
        QTest::newRow("pty, poller on") << false << true;
        QTest::newRow("tcp, poller off") << true << false;
    }
    void lateAnswer()
    {
        QFETCH(bool, tcp);
        QFETCH(bool, poller);
        FaultRig rig;
        SimProcess sim;
        QVERIFY2(sim.Start(FaultSimArgs(tcp, {"--delay", "4500", "--only", "E004"})), qPrintable(sim.Error()));
        QVERIFY(rig.Attach(sim, tcp));
        rig.session.poller.SetEnabled(poller);

        QCOMPARE(rig.Status(), int(TransactionResult::NoAnswer));
        if (poller) // the late frame, taken as received data
            QTRY_COMPARE_WITH_TIMEOUT(rig.session.state.ReceivedByteCount, 9, 5 * 500);
        else // it comes 0.5 s after the wait ended: more than five times that
            FaultRig::Run(5 * 500);
        const int next = DeviceCommands::Reset(rig.session).result;
        if (poller) {
            QCOMPARE(next, int(TransactionResult::Accepted));
            QCOMPARE(rig.session.state.ReceivedByteCount, 9); // the late status frame
        } else {
            // The late status frame (AA 55 00 05 E0 04 05 00 EE) waits in the
            // channel and leads the next reply; a frame of length 5 is no
            // acknowledgement, so the reset reads as "no valid answer".
            QCOMPARE(next, int(TransactionResult::NoAnswer));
            QCOMPARE(DeviceCommands::Reset(rig.session).result, int(TransactionResult::Accepted));
        }
        QVERIFY(rig.fe.errors.isEmpty());
    }
};

DTU_TEST_GUILESS(FaultsTest)
#include "tst_faults.moc"
