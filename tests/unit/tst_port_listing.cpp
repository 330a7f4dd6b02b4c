// What `dtucfg ports` says about each serial port: its identity as the
// system reports it, whether this user may open it, and what to do if not;
// and which ports make the list.
#include "cli/CliPorts.h"
#include "core/Translation.h"
#include "support/TestMain.h"
#include "support/WorkFolder.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <unistd.h>

using PortSurvey::Access;
using PortSurvey::Port;

namespace {

Port UsbAdapter()
{
    Port port;
    port.path = QStringLiteral("/dev/ttyUSB0");
    port.reported = true;
    port.vendorId = 0x0a1b;
    port.productId = 0x00c2;
    port.serialNumber = QStringLiteral("SN0042");
    port.description = QStringLiteral("Serial Bridge");
    port.manufacturer = QStringLiteral("Test Works");
    port.access = Access::Yes;
    port.group = QStringLiteral("dialout");
    return port;
}

} // namespace

class PortListingTest : public QObject {
    Q_OBJECT
private slots:
    // The lines are compared in English (e2e/tst_dtucfg_verdicts runs both
    // languages).
    void initTestCase() { QVERIFY(Translation::Install(Language::English)); }
    void cleanupTestCase() { QVERIFY(Translation::Install(Language::Chinese)); }

    void lines_data()
    {
        QTest::addColumn<int>("variant");
        QTest::addColumn<QString>("line");
        QTest::newRow("usb adapter, open") << 0
            << QStringLiteral("/dev/ttyUSB0  usb 0a1b:00c2  serial SN0042  \"Serial Bridge\" (Test Works)  access: yes");
        QTest::newRow("built-in port, dialout") << 1
            << QStringLiteral("/dev/ttyS0  access: no, permission (add yourself to the dialout group: "
                              "sudo usermod -aG dialout $USER, then log in again)");
        QTest::newRow("another group") << 2
            << QStringLiteral("/dev/ttyACM0  \"Modem Port\"  access: no, permission (add yourself to the uucp group: "
                              "sudo usermod -aG uucp $USER, then log in again)");
        QTest::newRow("named, missing") << 3
            << QStringLiteral("/dev/ttyUSB7  not reported by the system  access: no, no such device");
        QTest::newRow("named, other fault") << 4
            << QStringLiteral("/dev/pts/9  not reported by the system  access: no, Input/output error");
        // Joining root's group is no advice, nor a group the file keeps out.
        QTest::newRow("group root") << 5 << QStringLiteral("/dev/ttyS1  access: no, permission (only root may open it)");
        QTest::newRow("group without access, owner root")
            << 6 << QStringLiteral("/dev/ttyS2  access: no, permission (only root may open it)");
        QTest::newRow("group without access, another owner")
            << 7 << QStringLiteral("/dev/ttyS3  access: no, permission (only tech and root may open it)");
    }
    void lines()
    {
        QFETCH(int, variant);
        QFETCH(QString, line);
        Port port;
        switch (variant) {
        case 0:
            port = UsbAdapter();
            break;
        case 1:
            port.path = QStringLiteral("/dev/ttyS0");
            port.reported = true;
            port.access = Access::NoPermission;
            port.group = QStringLiteral("dialout");
            port.groupMayUse = true;
            break;
        case 2:
            port.path = QStringLiteral("/dev/ttyACM0");
            port.reported = true;
            port.description = QStringLiteral("Modem Port");
            port.access = Access::NoPermission;
            port.group = QStringLiteral("uucp");
            port.groupMayUse = true;
            break;
        case 3:
            port.path = QStringLiteral("/dev/ttyUSB7");
            port.access = Access::Missing;
            break;
        case 4:
            port.path = QStringLiteral("/dev/pts/9");
            port.access = Access::Other;
            port.problem = QStringLiteral("Input/output error");
            break;
        case 5:
            port.path = QStringLiteral("/dev/ttyS1");
            port.reported = true;
            port.access = Access::NoPermission;
            port.group = QStringLiteral("root");
            port.owner = QStringLiteral("root");
            port.groupMayUse = true;
            break;
        case 6:
        case 7:
            port.path = variant == 6 ? QStringLiteral("/dev/ttyS2") : QStringLiteral("/dev/ttyS3");
            port.reported = true;
            port.access = Access::NoPermission;
            port.group = QStringLiteral("dialout");
            port.owner = variant == 6 ? QStringLiteral("root") : QStringLiteral("tech");
            port.groupMayUse = false;
            break;
        }
        QCOMPARE(CliPorts::Line(port), line);
    }

    void json()
    {
        Port denied;
        denied.path = QStringLiteral("/dev/ttyS0");
        denied.reported = true;
        denied.access = Access::NoPermission;
        denied.group = QStringLiteral("dialout");
        denied.groupMayUse = true;
        const QJsonArray ports = CliPorts::Entries({UsbAdapter(), denied});
        QCOMPARE(ports.size(), 2);
        const QJsonObject usb = ports[0].toObject();
        QCOMPARE(usb.value(QStringLiteral("path")).toString(), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(usb.value(QStringLiteral("vendorId")).toString(), QStringLiteral("0a1b"));
        QCOMPARE(usb.value(QStringLiteral("productId")).toString(), QStringLiteral("00c2"));
        QCOMPARE(usb.value(QStringLiteral("serialNumber")).toString(), QStringLiteral("SN0042"));
        QCOMPARE(usb.value(QStringLiteral("manufacturer")).toString(), QStringLiteral("Test Works"));
        QCOMPARE(usb.value(QStringLiteral("canOpen")).toBool(), true);
        const QJsonObject ttyS = ports[1].toObject();
        QVERIFY(ttyS.value(QStringLiteral("vendorId")).isNull());
        QCOMPARE(ttyS.value(QStringLiteral("canOpen")).toBool(), false);
        QCOMPARE(ttyS.value(QStringLiteral("access")).toString(), QStringLiteral("permission"));
        QVERIFY(ttyS.value(QStringLiteral("hint")).toString().contains(QStringLiteral("usermod -aG dialout")));
    }

    // A machine without serial ports: an empty list.
    void emptyListing() { QCOMPARE(CliPorts::Entries({}).size(), 0); }

    // The named paths follow the reported ports; one that is a reported
    // port under another name (a link) is not listed twice.
    void surveyMergesNamedPaths()
    {
        WorkFolder dir;
        dir.Write(QStringLiteral("ttyFAKE0"), "");
        QVERIFY(QFile::link(dir.Path(QStringLiteral("ttyFAKE0")), dir.Path(QStringLiteral("by-id-link"))));
        dir.Write(QStringLiteral("ttyFAKE1"), "");
        Port reported;
        reported.path = dir.Path(QStringLiteral("ttyFAKE0"));
        reported.reported = true;

        const QList<Port> ports = PortSurvey::Survey(
            {reported}, {dir.Path(QStringLiteral("by-id-link")), dir.Path(QStringLiteral("ttyFAKE1")),
                         dir.Path(QStringLiteral("gone"))});
        QCOMPARE(ports.size(), 3);
        QCOMPARE(ports[0].path, dir.Path(QStringLiteral("ttyFAKE0")));
        QVERIFY(ports[0].reported);
        QCOMPARE(ports[0].access, Access::Yes);
        QCOMPARE(ports[1].path, dir.Path(QStringLiteral("ttyFAKE1")));
        QVERIFY(!ports[1].reported);
        QCOMPARE(ports[1].access, Access::Yes);
        QCOMPARE(ports[2].access, Access::Missing);
    }

    void unreadableFileIsNoPermission()
    {
        if (::geteuid() == 0)
            QSKIP("the superuser may open every file");
        WorkFolder dir;
        dir.Write(QStringLiteral("ttyLOCKED"), "");
        QVERIFY(QFile::setPermissions(dir.Path(QStringLiteral("ttyLOCKED")), QFile::ReadOwner));
        Port port;
        port.path = dir.Path(QStringLiteral("ttyLOCKED"));
        PortSurvey::CheckAccess(port);
        QCOMPARE(port.access, Access::NoPermission);
        QVERIFY(!port.group.isEmpty());
    }
};

DTU_TEST_GUILESS(PortListingTest)
#include "tst_port_listing.moc"
