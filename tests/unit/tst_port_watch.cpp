// Finding a pulled adapter again in the system's port list, and the watcher
// that closes a vanished port and points the port box at its return; the
// list here is a fake one the test changes between looks.
#include "ops/PortWatcher.h"
#include "session/ActionScope.h"
#include "support/RecordingFrontend.h"
#include "support/TestMain.h"

#include <QSignalSpy>
#include <QTest>

namespace {
PortEntry Usb(const QString &name, quint16 vendor, quint16 product, const QString &serial = {})
{
    return PortEntry{name, vendor, product, serial};
}
PortEntry Plain(const QString &name)
{
    return PortEntry{name, std::nullopt, std::nullopt, QString()};
}

// Two adapters of one model with serial numbers, one without, and a built-in port.
const PortEntry kFirst = Usb(QStringLiteral("ttyUSB0"), 0x1a86, 0x7523, QStringLiteral("A1"));
const PortEntry kSecond = Usb(QStringLiteral("ttyUSB1"), 0x1a86, 0x7523, QStringLiteral("B2"));
const PortEntry kNoSerial = Usb(QStringLiteral("ttyUSB2"), 0x0403, 0x6001);
const PortEntry kBuiltIn = Plain(QStringLiteral("ttyS0"));

// A session whose window shows `name` open, watched over a fake list.
struct Watch {
    RecordingFrontend fe;
    DtuSession session{fe};
    QList<PortEntry> ports;
    QStringList asked;
    PortWatcher watcher{session, [this](const QStringList &alsoCheck) {
                            asked = alsoCheck;
                            return ports;
                        }};

    explicit Watch(const QString &name, QList<PortEntry> present) : ports(std::move(present))
    {
        session.facts.PortText = name;
        session.facts.SerialOpenColour = true;
        session.facts.SerialButtonCaption = QStringLiteral("关闭串口");
        session.NotifyFactsChanged();
    }
};
} // namespace

class PortWatchTest : public QObject {
    Q_OBJECT
private slots:
    void findAdapter_data()
    {
        QTest::addColumn<PortEntry>("remembered");
        QTest::addColumn<QList<PortEntry>>("ports");
        QTest::addColumn<QString>("found");
        const PortEntry firstMoved = Usb(QStringLiteral("ttyUSB3"), 0x1a86, 0x7523, QStringLiteral("A1"));
        QTest::newRow("serial number, new name among several")
            << kFirst << QList<PortEntry>{kSecond, kNoSerial, kBuiltIn, firstMoved} << "ttyUSB3";
        QTest::newRow("serial number, same name") << kFirst << QList<PortEntry>{kSecond, kFirst} << "ttyUSB0";
        QTest::newRow("serial number, only its twin is there")
            << kFirst << QList<PortEntry>{kSecond, Usb(QStringLiteral("ttyUSB0"), 0x1a86, 0x7523, QStringLiteral("C3"))}
            << "";
        QTest::newRow("no serial number, same name") << kNoSerial << QList<PortEntry>{kFirst, kNoSerial} << "ttyUSB2";
        QTest::newRow("no serial number, new name is not taken")
            << kNoSerial << QList<PortEntry>{Usb(QStringLiteral("ttyUSB4"), 0x0403, 0x6001)} << "";
        QTest::newRow("no serial number, its name taken by another model")
            << kNoSerial << QList<PortEntry>{Usb(QStringLiteral("ttyUSB2"), 0x1a86, 0x7523, QStringLiteral("A1"))}
            << "";
        QTest::newRow("no identity: by name, path or bare")
            << Plain(QStringLiteral("/dev/ttyS0")) << QList<PortEntry>{kFirst, kBuiltIn} << "ttyS0";
        QTest::newRow("no identity, absent") << Plain(QStringLiteral("/dev/pts/7")) << QList<PortEntry>{kBuiltIn} << "";
    }
    void findAdapter()
    {
        QFETCH(PortEntry, remembered);
        QFETCH(QList<PortEntry>, ports);
        QFETCH(QString, found);
        QCOMPARE(PortIdentity::FindAdapter(remembered, ports), found);
    }

    // Pulled: closed once, said once; back under another name: the port box
    // shows it and the window is told.
    void pulledAndBackUnderNewName()
    {
        Watch w(QStringLiteral("ttyUSB0"), {kBuiltIn, kFirst, kSecond});
        QSignalSpy returned(&w.watcher, &PortWatcher::returned);
        w.watcher.Check();
        QVERIFY(w.fe.memo.isEmpty());
        QVERIFY(!w.watcher.AwaitingReturn());

        w.ports = {kBuiltIn, kSecond};
        w.watcher.Check();
        w.watcher.Check();
        QCOMPARE(w.fe.memo, QStringList{QStringLiteral("串口ttyUSB0已断开（设备已拔出），串口已关闭")});
        QCOMPARE(w.session.facts.SerialButtonCaption, QStringLiteral("打开串口"));
        QCOMPARE(w.session.facts.SerialStateText, QStringLiteral("串口未打开"));
        QVERIFY(!w.session.facts.SerialOpenColour);
        QVERIFY(w.watcher.AwaitingReturn());
        QCOMPARE(w.watcher.Remembered().serialNumber, QStringLiteral("A1"));
        QVERIFY(returned.isEmpty());

        w.ports = {kBuiltIn, kSecond, Usb(QStringLiteral("ttyUSB5"), 0x1a86, 0x7523, QStringLiteral("A1"))};
        w.watcher.Check();
        QCOMPARE(returned.size(), 1);
        QCOMPARE(returned.first().first().toString(), QStringLiteral("ttyUSB5"));
        QCOMPARE(w.session.facts.PortText, QStringLiteral("ttyUSB5"));
        QCOMPARE(w.fe.memo.last(), QStringLiteral("串口设备已重新接入：ttyUSB5"));
        w.watcher.Check();
        QCOMPARE(returned.size(), 1);
    }

    // The port closed itself because its device went away, and the name is
    // listed again before the next look: lost all the same, then back.
    void lostSignalWithNameStillListed()
    {
        Watch w(QStringLiteral("/dev/ttyS0"), {kBuiltIn});
        QSignalSpy returned(&w.watcher, &PortWatcher::returned);
        w.watcher.Check();
        emit w.session.serial.lost();
        w.watcher.Check();
        QCOMPARE(w.fe.memo.size(), 1);
        QVERIFY(!w.session.facts.SerialOpenColour);
        w.watcher.Check();
        QCOMPARE(returned.size(), 1);
        QCOMPARE(w.session.facts.PortText, QStringLiteral("ttyS0"));
    }

    // A port the system does not list (a pseudo-terminal) is looked for by
    // its own name; nothing is looked at while a device action runs.
    void asksForUnlistedNamesAndWaitsForActions()
    {
        Watch w(QStringLiteral("/dev/pts/9"), {Plain(QStringLiteral("/dev/pts/9"))});
        w.watcher.Check();
        QCOMPARE(w.asked, QStringList{QStringLiteral("/dev/pts/9")});
        w.ports.clear();
        w.asked.clear();
        {
            ActionScope busy(w.session);
            w.watcher.Check();
        }
        QVERIFY(w.asked.isEmpty());
        QVERIFY(w.fe.memo.isEmpty());
        w.watcher.Check();
        QCOMPARE(w.fe.memo.size(), 1);
    }
};

DTU_TEST_GUILESS(PortWatchTest)
#include "tst_port_watch.moc"
