// The serial side of the data channel over a real pseudo-terminal: the test
// holds the master side and plays the device; the session opens the slave.
#include "support/VirtualScheduler.h"
#include "session/DtuSession.h"
#include "channel/SerialSettings.h"
#include "ops/SerialToggle.h"
#include "profile/DeviceProfile.h"
#include "support/Hexes.h"
#include "support/PtyPeer.h"
#include "support/RecordingFrontend.h"
#include "support/TestPaths.h"
#include "support/TestMain.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>

#include <asm/ioctls.h>   // TCGETS2
#include <asm/termbits.h> // termios2: the speed as a number, custom ones included
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace {

// The master side of a pty. Termios requests on the master act on the slave,
// so the speed and frame format the port was given can be read back here.
class PtyDevice : public PtyPeer {
public:
    termios2 Settings() const
    {
        termios2 t{};
        ::ioctl(Fd(), TCGETS2, &t);
        return t;
    }
};

QString FormatOf(const termios2 &t)
{
    QString s = (t.c_cflag & CSIZE) == CS7 ? QStringLiteral("7") : (t.c_cflag & CSIZE) == CS8 ? QStringLiteral("8") : QStringLiteral("?");
    s += !(t.c_cflag & PARENB) ? u'N' : (t.c_cflag & PARODD) ? u'O' : u'E';
    s += (t.c_cflag & CSTOPB) ? u'2' : u'1';
    return s;
}

// Handles the events pending and those they bring: what the port or the
// device side would report has been reported after it.
void Settle()
{
    for (int i = 0; i < 8; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// Runs `polls` polls of the receive poller on the session's virtual time,
// with the event loop's events between them.
void Poll(VirtualScheduler &time, int polls)
{
    for (int i = 0; i < polls; ++i) {
        Settle();
        time.Advance(ReceivePoller::kIntervalMs);
    }
}

void Open(DtuSession &session, const QString &port, const QString &speed, const QString &format)
{
    session.facts.PortText = port;
    session.facts.BaudText = speed;
    session.facts.FormatText = format;
    SerialToggle::Toggle(session);
}

} // namespace

class SerialChannelTest : public QObject {
    Q_OBJECT
private slots:
    void opensAtTheSpeedAsked_data()
    {
        QTest::addColumn<QString>("speedText");
        QTest::addColumn<int>("baud");
        QTest::newRow("76800 from a profile") << "76800" << 76800;
        QTest::newRow("57600") << "57600" << 57600;
        QTest::newRow("14400") << "14400" << 14400;
        QTest::newRow("28800") << "28800" << 28800;
        QTest::newRow("33600") << "33600" << 33600;
        QTest::newRow("unknown text") << "12345" << 9600;
    }
    void opensAtTheSpeedAsked()
    {
        QFETCH(QString, speedText);
        QFETCH(int, baud);
        PtyDevice pty;
        QVERIFY(pty.Ok());
        RecordingFrontend fe;
        DtuSession session(fe);
        Open(session, pty.Slave(), speedText, QStringLiteral("8N1"));
        QVERIFY(session.serial.IsOpen());
        const termios2 t = pty.Settings();
        QCOMPARE(int(t.c_ospeed), baud);
        QCOMPARE(int(t.c_ispeed), baud);
        QCOMPARE(FormatOf(t), QStringLiteral("8N1"));
        QCOMPARE(t.c_cflag & CRTSCTS, 0u);
        QCOMPARE(t.c_iflag & (IXON | IXOFF), 0u);
        // The panel shows the text as typed, the speed text as given.
        QCOMPARE(session.facts.SerialStateText,
                 pty.Slave() + QStringLiteral("打开成功,BaudRate=") + speedText + QStringLiteral(",参数=8N1"));
        QCOMPARE(session.facts.SerialButtonCaption, QStringLiteral("关闭串口"));
        QVERIFY(session.facts.SerialOpenColour);
        QVERIFY(fe.messages.isEmpty());
        QVERIFY(fe.errors.isEmpty());
    }

    // A pty forces 8 data bits and no parity on every setting (the kernel
    // keeps only the stop bits), so data bits and parity are read from the
    // port's configuration and the stop bits from the driver.
    void frameFormatRememberedBetweenOpens()
    {
        PtyDevice pty;
        QVERIFY(pty.Ok());
        RecordingFrontend fe;
        DtuSession session(fe);
        const QSerialPort &port = session.serial.Port();
        Open(session, pty.Slave(), QStringLiteral("9600"), QStringLiteral("7E2"));
        QVERIFY(session.serial.IsOpen());
        QCOMPARE(port.dataBits(), QSerialPort::Data7);
        QCOMPARE(port.parity(), QSerialPort::EvenParity);
        QCOMPARE(port.stopBits(), QSerialPort::TwoStop);
        QVERIFY(pty.Settings().c_cflag & CSTOPB);

        SerialToggle::Toggle(session); // close
        QVERIFY(!session.serial.IsOpen());
        QCOMPARE(session.facts.SerialStateText, QStringLiteral("串口未打开"));
        QCOMPARE(session.facts.SerialButtonCaption, QStringLiteral("打开串口"));
        QVERIFY(!session.facts.SerialOpenColour);

        Open(session, pty.Slave(), QStringLiteral("9600"), QStringLiteral("8N1"));
        QCOMPARE(FormatOf(pty.Settings()), QStringLiteral("8N1"));
        SerialToggle::Toggle(session);
        // 'X' is no parity letter: parity stays as at the previous open.
        Open(session, pty.Slave(), QStringLiteral("9600"), QStringLiteral("7X1"));
        QVERIFY(session.serial.IsOpen());
        QCOMPARE(port.dataBits(), QSerialPort::Data7);
        QCOMPARE(port.parity(), QSerialPort::NoParity);
        QCOMPARE(port.stopBits(), QSerialPort::OneStop);
        QVERIFY(!(pty.Settings().c_cflag & CSTOPB));
        QVERIFY(session.facts.SerialStateText.endsWith(QStringLiteral(",参数=7X1")));
    }

    // Each toggle raises the level to 1 and, with the extended page shown,
    // forgets the device's channel so the open re-selects it for the main
    // table; a close selects nothing.
    void toggleReselectsTheMainChannel()
    {
        PtyDevice pty;
        QVERIFY(pty.Ok());
        RecordingFrontend fe;
        DtuSession session(fe);
        QVERIFY(session.script.LoadFile(TestPaths::Example(QStringLiteral("script.js"))));
        session.state.AccessLevel = 2;
        session.state.ExtPageVisible = true;
        session.state.MainParamChannel = 1;
        session.state.CurrentParamChannel = 1;
        QSocketNotifier device(pty.Fd(), QSocketNotifier::Read);
        QByteArray heard;
        connect(&device, &QSocketNotifier::activated, this, [&] {
            heard += pty.Receive(0);
            if (heard.size() >= 9)
                pty.Send(Bytes("AA 55 00 04 00 F0 00 F4"));
        });
        Open(session, pty.Slave(), QStringLiteral("57600"), QStringLiteral("8N1"));
        QVERIFY(session.serial.IsOpen());
        QCOMPARE(heard, Bytes("AA 55 00 05 E0 50 01 01 36"));
        QCOMPARE(session.state.AccessLevel, 1);
        QCOMPARE(session.state.CurrentParamChannel, 1);
        // Level 1 traces the selection frame and its answer.
        QVERIFY(fe.memo.contains(QStringLiteral("下行：AA 55 00 05 E0 50 01 01 36 ")));

        heard.clear();
        session.state.AccessLevel = 0;
        SerialToggle::Toggle(session);
        QCOMPARE(session.state.AccessLevel, 1);
        QCOMPARE(session.state.CurrentParamChannel, -1);
        Settle(); // a write would have reached the device side before the toggle returned
        heard += pty.Receive(0);
        QVERIFY(heard.isEmpty());
    }

    void savesTheSettingsIntoTheProfile()
    {
        PtyDevice pty;
        QVERIFY(pty.Ok());
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("profile.txt"));
        QVERIFY(QFile::copy(TestPaths::Example(QStringLiteral("example_profile.txt")), path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        RecordingFrontend fe;
        DtuSession session(fe);
        session.profile = DeviceProfile::FromFile(path);
        Open(session, pty.Slave(), QStringLiteral("76800"), QStringLiteral("8E1"));
        QVERIFY(session.serial.IsOpen());

        const DeviceProfile saved = DeviceProfile::FromFile(path);
        QCOMPARE(saved.Text(ProfileKeys::Comport), pty.Slave());
        QCOMPARE(saved.Text(ProfileKeys::Baudrate), QStringLiteral("76800"));
        QCOMPARE(saved.Text(ProfileKeys::ComOption), QStringLiteral("8E1"));
        QCOMPARE(saved.Text(ProfileKeys::Title), session.profile->Text(ProfileKeys::Title));
        QCOMPARE(saved.Encoding(), TextFile::Encoding::Gbk);
        QVERIFY(fe.memo.isEmpty());
    }

    void failedOpenSaysWhyWithoutADialog_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("device");
        QTest::newRow("COM name") << "COM300" << "/dev/ttyS299";
        QTest::newRow("bare name") << "ttyDTU_NOT_THERE" << "/dev/ttyDTU_NOT_THERE";
        QTest::newRow("path") << "/dev/ttyDTU_NOT_THERE" << "/dev/ttyDTU_NOT_THERE";
    }
    void failedOpenSaysWhyWithoutADialog()
    {
        QFETCH(QString, name);
        QFETCH(QString, device);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("profile.txt"));
        QVERIFY(QFile::copy(TestPaths::Example(QStringLiteral("example_profile.txt")), path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        const QByteArray before = [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();

        RecordingFrontend fe;
        DtuSession session(fe);
        session.profile = DeviceProfile::FromFile(path);
        Open(session, name, QStringLiteral("57600"), QStringLiteral("8N1"));
        QVERIFY(!session.serial.IsOpen());
        QCOMPARE(session.facts.SerialStateText, name + QStringLiteral("打开失败"));
        QCOMPARE(session.facts.SerialButtonCaption, QStringLiteral("打开串口"));
        QCOMPARE(fe.memo.size(), 1);
        QVERIFY2(fe.memo[0].startsWith(name + QStringLiteral("打开失败：")), qPrintable(fe.memo[0]));
        QVERIFY2(fe.memo[0].contains(QStringLiteral("没有这个串口")), qPrintable(fe.memo[0]));
        QVERIFY2(fe.memo[0].contains(device), qPrintable(fe.memo[0]));
        QVERIFY(fe.messages.isEmpty());
        QVERIFY(fe.errors.isEmpty());
        // Nothing is written back after a failed open.
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    void portHeldByAnotherProgram()
    {
        PtyDevice pty;
        QVERIFY(pty.Ok());
        RecordingFrontend fe1, fe2;
        DtuSession first(fe1), second(fe2);
        Open(first, pty.Slave(), QStringLiteral("9600"), QStringLiteral("8N1"));
        QVERIFY(first.serial.IsOpen());
        Open(second, pty.Slave(), QStringLiteral("9600"), QStringLiteral("8N1"));
        QVERIFY(!second.serial.IsOpen());
        QCOMPARE(fe2.memo.size(), 1);
        QVERIFY2(fe2.memo[0].contains(QStringLiteral("占用")), qPrintable(fe2.memo[0]));
        QVERIFY(fe2.messages.isEmpty());
    }

    void missingPermissionNamesTheDialoutGroup()
    {
        if (::geteuid() == 0)
            QSKIP("file modes do not bind the super-user");
        PtyDevice pty;
        QVERIFY(pty.Ok());
        QVERIFY(QFile::setPermissions(pty.Slave(), QFileDevice::Permissions()));
        RecordingFrontend fe;
        DtuSession session(fe);
        Open(session, pty.Slave(), QStringLiteral("9600"), QStringLiteral("8N1"));
        QVERIFY(!session.serial.IsOpen());
        QCOMPARE(fe.memo.size(), 1);
        QVERIFY2(fe.memo[0].contains(QStringLiteral("dialout")), qPrintable(fe.memo[0]));
    }

    void bytesBothWaysWithZeros()
    {
        PtyDevice pty;
        QVERIFY(pty.Ok());
        // Whatever waited in the port before the open is discarded.
        const int early = ::open(QFile::encodeName(pty.Slave()).constData(), O_RDWR | O_NOCTTY);
        QVERIFY(early >= 0);
        pty.Send("stale");
        pty.Receive(50); // the early opener's echo
        RecordingFrontend fe;
        DtuSession session(fe);
        Open(session, pty.Slave(), QStringLiteral("115200"), QStringLiteral("8N1"));
        ::close(early);
        QVERIFY(session.serial.IsOpen());
        Settle();
        QByteArray stale;
        QVERIFY(!session.channel.ChannelRead(&stale));

        const QByteArray frame = Bytes("AA 55 00 05 E0 50 00 01 35");
        session.channel.ChannelWrite(frame);
        QCOMPARE(pty.Receive(), frame);

        pty.Send(Bytes("41 00 42"));
        // Read without the event loop: the bytes are collected straight
        // from the driver, as a reply wait does between its sleeps.
        QByteArray got, part;
        QDeadlineTimer deadline(2000);
        while (got.size() < 3 && !deadline.hasExpired()) {
            if (session.channel.ChannelRead(&part))
                got += part;
            else
                QThread::msleep(5);
        }
        QCOMPARE(got, Bytes("41 00 42"));

        // A long write goes out whole, in pieces.
        QByteArray big(5000, '\0');
        for (int i = 0; i < big.size(); ++i)
            big[i] = char(i * 7);
        session.channel.ChannelWrite(big);
        QCOMPARE(pty.Receive(1000), big);
    }

    void pollerShowsIdleDataAndCounts()
    {
        PtyDevice pty;
        QVERIFY(pty.Ok());
        RecordingFrontend fe;
        VirtualScheduler time;
        DtuSession session(fe, time);
        Open(session, pty.Slave(), QStringLiteral("57600"), QStringLiteral("8N1"));
        QVERIFY(session.serial.IsOpen());
        session.state.AccessLevel = 0;
        session.state.HexDisplayOn = true;
        QSignalSpy counters(&session.poller, &ReceivePoller::countersChanged);
        session.poller.SetEnabled(true);

        pty.Send(Bytes("41 00 42"));
        Poll(time, 1);
        QCOMPARE(fe.transparent.size(), 2);
        static const QRegularExpression stamp(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d 收到数据：\\{41 00 42 \\}A\x01" "B$"));
        QVERIFY2(stamp.match(fe.transparent[0]).hasMatch(), qPrintable(fe.transparent[0]));
        QCOMPARE(fe.transparent[1], QString::fromLatin1("A\0B", 3));
        QVERIFY(fe.memo.isEmpty()); // no trace below level 1
        QCOMPARE(session.state.ReceivedByteCount, 3);
        QVERIFY(!counters.isEmpty());
        QCOMPARE(counters.last().at(0).toString(), QStringLiteral("收：3字节，发:0字节"));

        session.state.AccessLevel = 1;
        pty.Send(Bytes("AA 55"));
        Poll(time, 1);
        QCOMPARE(fe.transparent.size(), 4);
        QCOMPARE(fe.memo, QStringList{QStringLiteral("上行：AA 55 ")});
    }

    void vanishedDeviceClosesOnceAndReopens()
    {
        RecordingFrontend fe;
        VirtualScheduler time;
        DtuSession session(fe, time);
        // The hang-up reaches the port as a lost resource or as a failed read
        // with a stale reason, whichever the timing gives: both are a lost
        // device, closed quietly. Several rounds meet both.
        for (int round = 0; round < 8; ++round) {
            PtyDevice pty;
            QVERIFY(pty.Ok());
            Open(session, pty.Slave(), QStringLiteral("57600"), QStringLiteral("8N1"));
            QVERIFY(session.serial.IsOpen());
            session.poller.SetEnabled(true);
            QSignalSpy lost(&session.serial, &SerialTransport::lost);
            pty.Close(); // the adapter is pulled
            QTRY_VERIFY((Poll(time, 1), !session.serial.IsOpen()));
            Poll(time, 3); // more polls: said once
            QCOMPARE(lost.size(), 1);
        }
        // Quietly: the texts still say open, so the next toggle opens again.
        // However the line ends (a failed read, or one that finds the end
        // of the line with the device node gone), no read error is told.
        QVERIFY(session.facts.SerialStateText.contains(QStringLiteral("打开成功")));
        QVERIFY2(fe.memo.isEmpty(), qPrintable(fe.memo.join(QLatin1Char('\n'))));
        QVERIFY(fe.messages.isEmpty());
        QVERIFY(fe.errors.isEmpty());

        PtyDevice again;
        QVERIFY(again.Ok());
        Open(session, again.Slave(), QStringLiteral("57600"), QStringLiteral("8N1"));
        QVERIFY(session.serial.IsOpen());
        session.channel.ChannelWrite(QByteArrayLiteral("hi"));
        QCOMPARE(again.Receive(), QByteArrayLiteral("hi"));
    }

    // A read the port itself rejects (not a vanished device): the port is
    // closed and the memo says so once, instead of the port signalling the
    // failure for ever while it stays open. Its texts stay, so the next
    // toggle opens it again. Harmless errors stay harmless: a pty has no
    // modem lines and refuses the RTS/DTR requests of every open.
    void readErrorClosesThePortAndSaysSoOnce()
    {
        PtyDevice pty;
        QVERIFY(pty.Ok());
        RecordingFrontend fe;
        VirtualScheduler time;
        DtuSession session(fe, time);
        Open(session, pty.Slave(), QStringLiteral("57600"), QStringLiteral("8N1"));
        session.state.AccessLevel = 0;
        session.poller.SetEnabled(true);
        Poll(time, 3);
        QVERIFY(session.serial.IsOpen());
        QVERIFY(fe.memo.isEmpty());

        // The port's descriptor now reads a folder: every read fails with
        // EISDIR, which is neither "no data" nor "device gone".
        QTemporaryDir dir;
        const int folder = ::open(QFile::encodeName(dir.path()).constData(), O_RDONLY | O_DIRECTORY);
        QVERIFY(folder >= 0);
        QVERIFY(::dup2(folder, int(session.serial.Port().handle())) >= 0);
        ::close(folder);

        QTRY_VERIFY((Poll(time, 1), !session.serial.IsOpen()));
        Poll(time, 3);
        QCOMPARE(fe.memo.size(), 1);
        QVERIFY2(fe.memo[0].startsWith(QStringLiteral("串口读取出错（")), qPrintable(fe.memo[0]));
        QVERIFY(fe.memo[0].endsWith(QStringLiteral("），串口已关闭")));
        QVERIFY(fe.messages.isEmpty() && fe.errors.isEmpty());
        QVERIFY(session.facts.SerialStateText.contains(QStringLiteral("打开成功")));

        Open(session, pty.Slave(), QStringLiteral("57600"), QStringLiteral("8N1"));
        QVERIFY(session.serial.IsOpen());
        pty.Send(QByteArrayLiteral("ok"));
        QTRY_COMPARE((Poll(time, 1), session.state.ReceivedByteCount), 2);
    }

    // The port tells when bytes come: a wait sleeping towards a far deadline
    // ends when the device sends, and a reply sent in two pieces is one.
    void arrivingBytesWakeTheWait()
    {
        PtyDevice pty;
        QVERIFY(pty.Ok());
        RecordingFrontend fe;
        DtuSession session(fe, Scheduler::Real());
        Open(session, pty.Slave(), QStringLiteral("57600"), QStringLiteral("8N1"));
        QVERIFY(session.serial.IsOpen());
        session.poller.SetEnabled(false);
        QVERIFY(session.channel.TellsArrival());

        int told = 0;
        session.channel.SetArrivalHook([&] {
            ++told;
            Scheduler::Real().Wake();
        });
        pty.Send(Bytes("AA 55"));
        QVERIFY(Scheduler::Real().SleepUntilWoken(30000));
        QVERIFY(told > 0);
        QByteArray got;
        QVERIFY(session.channel.ChannelRead(&got));
        QCOMPARE(got, Bytes("AA 55"));
        session.channel.SetArrivalHook({});

        QTimer::singleShot(50, [&] { pty.Send(Bytes("AA 55 00 04")); });
        QTimer::singleShot(250, [&] { pty.Send(Bytes("00 F0 00 F4")); });
        QCOMPARE(session.exchange.ReceiveReply(3000), Bytes("AA 55 00 04 00 F0 00 F4"));
    }
};

DTU_TEST_GUILESS(SerialChannelTest)
#include "tst_serial_channel.moc"
