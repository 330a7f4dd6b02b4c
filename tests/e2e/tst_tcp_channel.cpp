// The TCP maintenance connection over a real loopback server playing the
// device, and its precedence over an open serial port.
#include "support/VirtualScheduler.h"
#include "session/DtuSession.h"
#include "ops/SerialToggle.h"
#include "support/RefusingPort.h"
#include "support/Hexes.h"
#include "support/PtyPeer.h"
#include "support/RecordingFrontend.h"
#include "support/TestMain.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

QByteArray ReadFromPeer(QTcpSocket *peer, int atLeast, int waitMs = 2000)
{
    QByteArray got;
    QDeadlineTimer deadline(waitMs);
    while (got.size() < atLeast && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        got += peer->readAll();
    }
    return got;
}

} // namespace

class TcpChannelTest : public QObject {
    Q_OBJECT

    QTcpServer server_;
    RecordingFrontend fe_;
    VirtualScheduler time_; // the session's: its poller polls when advanced
    std::unique_ptr<DtuSession> session_;

    // Connects the session and returns the device side of the connection.
    QTcpSocket *ConnectDevice(const QString &password = TcpTransport::kPasswordDefault)
    {
        session_->tcp.Connect(QStringLiteral("127.0.0.1"), password);
        if (!server_.waitForNewConnection(2000))
            return nullptr;
        QTcpSocket *peer = server_.nextPendingConnection();
        QDeadlineTimer deadline(2000);
        while (session_->tcp.state() != TcpTransport::State::Active && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return session_->tcp.IsOpen() ? peer : nullptr;
    }

private slots:
    void init()
    {
        QVERIFY(server_.listen(QHostAddress::LocalHost, 0));
        session_ = std::make_unique<DtuSession>(fe_, time_);
        session_->tcp.SetPort(server_.serverPort());
        fe_ = RecordingFrontend();
    }
    void cleanup()
    {
        session_.reset();
        server_.close();
    }

    void passwordFirstThenTraffic()
    {
        QSignalSpy texts(&session_->tcp, &TcpTransport::statusTextChanged);
        QSignalSpy facts(session_.get(), &DtuSession::factsChanged);
        session_->tcp.Connect(QStringLiteral("127.0.0.1"), QStringLiteral("480917"));
        QCOMPARE(session_->facts.TcpStatusText, TcpTransport::ConnectingText());
        QVERIFY(!session_->channel.ChannelIsOpen()); // connecting is not open
        QVERIFY(server_.waitForNewConnection(2000));
        QTcpSocket *peer = server_.nextPendingConnection();
        QTRY_COMPARE(session_->facts.TcpStatusText, TcpTransport::ConnectedText());
        QVERIFY(session_->channel.ChannelIsOpen());
        QVERIFY(!facts.isEmpty());

        session_->state.AccessLevel = 1;
        session_->channel.ChannelWrite(Bytes("AA 55 00 04 E0 0E 00 F2"));
        // The password's bytes alone come first: no frame, no terminator.
        QCOMPARE(ReadFromPeer(peer, 14), QByteArray("480917") + Bytes("AA 55 00 04 E0 0E 00 F2"));
        QVERIFY(!fe_.memo.join(u'\n').contains(QStringLiteral("34 38 30"))); // password never traced

        // A zero byte arrives intact.
        peer->write(Bytes("41 00 42"));
        peer->flush();
        QByteArray got;
        QTRY_VERIFY(!(got += [&] { QByteArray b; session_->channel.ChannelRead(&b); return b; }()).isEmpty()
                    && got.size() == 3);
        QCOMPARE(got, Bytes("41 00 42"));

        QCOMPARE(texts.size(), 2);
        QCOMPARE(texts[0].at(0).toString(), QStringLiteral("TCP维护端口连接中..."));
        QCOMPARE(texts[1].at(0).toString(), QStringLiteral("TCP维护端口连接成功"));
        QVERIFY(fe_.messages.isEmpty());
    }

    void secondConnectWhileActiveIsIgnored()
    {
        QTcpSocket *peer = ConnectDevice();
        QVERIFY(peer);
        session_->tcp.Connect(QStringLiteral("127.0.0.1"), QStringLiteral("480917"));
        QVERIFY(!server_.waitForNewConnection(200));
        QCOMPARE(session_->facts.TcpStatusText, TcpTransport::ConnectedText());
    }

    void disconnectAndPeerCloseBothReadFailed()
    {
        QTcpSocket *peer = ConnectDevice();
        QVERIFY(peer);
        session_->tcp.Disconnect();
        QTRY_COMPARE(session_->tcp.state(), TcpTransport::State::Inactive);
        QCOMPARE(session_->facts.TcpStatusText, QStringLiteral("TCP维护端口连接失败"));
        QVERIFY(!session_->channel.ChannelIsOpen());

        peer = ConnectDevice();
        QVERIFY(peer);
        QCOMPARE(session_->facts.TcpStatusText, TcpTransport::ConnectedText());
        peer->close();
        QTRY_COMPARE(session_->facts.TcpStatusText, TcpTransport::FailedText());
        QVERIFY(!session_->channel.ChannelIsOpen());
        QVERIFY(fe_.messages.isEmpty());
        QVERIFY(fe_.errors.isEmpty());
    }

    void refusedAttemptKeepsConnectingText()
    {
        const RefusingPort nobody;
        QVERIFY(nobody.Port() != 0);
        session_->tcp.SetPort(nobody.Port());
        session_->tcp.Connect(QStringLiteral("127.0.0.1"), QStringLiteral("480917"));
        QTRY_COMPARE(session_->tcp.state(), TcpTransport::State::Inactive);
        for (int i = 0; i < 8; ++i) // the events the refusal may still bring
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCOMPARE(session_->facts.TcpStatusText, QStringLiteral("TCP维护端口连接中..."));
        QVERIFY(fe_.messages.isEmpty());
        QVERIFY(fe_.errors.isEmpty());
    }

    // An attempt still pending after the connect limit is given up as a
    // refused one is: inactive, the text still "连接中...", and nothing comes
    // of it later. One that connects in time is not cut.
    void unansweredAttemptGivenUpAtTheLimit()
    {
        VirtualScheduler time;
        TcpTransport tcp(time);
        tcp.SetPort(server_.serverPort());
        // A host name is looked up first: the attempt stays pending until
        // the event loop turns, which it does not here.
        tcp.Connect(QStringLiteral("localhost"), QStringLiteral("480917"));
        QCOMPARE(tcp.state(), TcpTransport::State::Connecting);
        time.Advance(TcpTransport::kConnectLimitMs - 1);
        QCOMPARE(tcp.state(), TcpTransport::State::Connecting);
        time.Advance(1);
        QCOMPARE(tcp.state(), TcpTransport::State::Inactive);
        QCOMPARE(tcp.StatusText(), TcpTransport::ConnectingText());
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCOMPARE(tcp.state(), TcpTransport::State::Inactive);
        QVERIFY(!tcp.IsOpen());

        tcp.Connect(QStringLiteral("127.0.0.1"), QStringLiteral("480917"));
        QTRY_COMPARE(tcp.state(), TcpTransport::State::Active);
        time.Advance(10 * TcpTransport::kConnectLimitMs);
        QCOMPARE(tcp.state(), TcpTransport::State::Active);
        QCOMPARE(tcp.StatusText(), TcpTransport::ConnectedText());
    }

    void unknownHostReadsFailed()
    {
        session_->tcp.Connect(QStringLiteral("no-such-host.invalid"), QStringLiteral("480917"));
        QTRY_COMPARE_WITH_TIMEOUT(session_->facts.TcpStatusText, TcpTransport::FailedText(), 15000);
        QCOMPARE(session_->tcp.state(), TcpTransport::State::Inactive);
        QVERIFY(fe_.messages.isEmpty());
    }

    // With both open, TCP carries everything; once TCP drops, the serial
    // port carries the traffic again.
    void tcpTakesPrecedenceOverSerial()
    {
        PtyPeer pty;
        QVERIFY(pty.Ok());
        session_->facts.PortText = pty.Slave();
        SerialToggle::Toggle(*session_);
        QVERIFY(session_->serial.IsOpen());
        QTcpSocket *peer = ConnectDevice(QString());
        QVERIFY(peer);

        session_->state.AccessLevel = 0;
        session_->poller.SetEnabled(true);
        pty.Send("serial");
        peer->write("tcp");
        peer->flush();
        session_->channel.ChannelWrite("frame");
        QCOMPARE(ReadFromPeer(peer, 5), QByteArray("frame"));
        QTRY_COMPARE((time_.Advance(ReceivePoller::kIntervalMs), fe_.transparent.size()), 2);
        QCOMPARE(fe_.transparent[1], QStringLiteral("tcp"));
        for (int i = 0; i < 3; ++i) { // more polls: the serial bytes stay in the port
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            time_.Advance(ReceivePoller::kIntervalMs);
        }
        QCOMPARE(fe_.transparent.size(), 2);
        QCOMPARE(pty.ReadAll(), QByteArray());

        peer->close();
        QTRY_VERIFY(!session_->tcp.IsOpen());
        QTRY_COMPARE((time_.Advance(ReceivePoller::kIntervalMs), fe_.transparent.size()), 4);
        QCOMPARE(fe_.transparent[3], QStringLiteral("serial"));
        session_->channel.ChannelWrite("again");
        QByteArray onSerial;
        QTRY_COMPARE((onSerial += pty.ReadAll()), QByteArray("again"));
    }

    // The connection tells when bytes come: a wait sleeping towards a far
    // deadline ends when the device sends.
    void arrivingBytesWakeTheWait()
    {
        QTcpSocket *peer = ConnectDevice(QString());
        QVERIFY(peer);
        QVERIFY(session_->channel.TellsArrival());
        int told = 0;
        session_->channel.SetArrivalHook([&] {
            ++told;
            Scheduler::Real().Wake();
        });
        peer->write("\x01\x00\x02", 3);
        peer->flush();
        QVERIFY(Scheduler::Real().SleepUntilWoken(30000));
        QVERIFY(told > 0);
        QByteArray got;
        QVERIFY(session_->channel.ChannelRead(&got));
        QCOMPARE(got, Bytes("01 00 02"));
        session_->channel.SetArrivalHook({});
    }
};

DTU_TEST_GUILESS(TcpChannelTest)
#include "tst_tcp_channel.moc"
