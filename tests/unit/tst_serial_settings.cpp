// The rules that turn the serial boxes' texts into port settings, and what
// a port name means.
#include "support/TestMain.h"
#include "channel/SerialSettings.h"
#include "core/PortNames.h"
#include "ops/SerialToggle.h"

#include <QTest>

// The types by their own names, the functions by their full ones.
using SerialSettings::FrameFormat;
using SerialSettings::Parity;

class SerialSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void speeds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("speed");
        const int table[] = {300,   600,   1200,  2400,  4800,   9600,   14400,  19200, 28800,
                             33600, 38400, 57600, 76800, 115200, 230400, 460800, 921600};
        for (int s : table)
            QTest::addRow("%d", s) << QString::number(s) << s;
        // Only the exact text counts.
        QTest::newRow("unknown") << "12345" << 9600;
        QTest::newRow("leading blank") << " 57600" << 9600;
        QTest::newRow("leading zero") << "057600" << 9600;
        QTest::newRow("trailing blank") << "57600 " << 9600;
        QTest::newRow("empty") << "" << 9600;
        QTest::newRow("56000 is not in the table") << "56000" << 9600;
    }
    void speeds()
    {
        QFETCH(QString, text);
        QFETCH(int, speed);
        QCOMPARE(SerialSettings::SpeedFromText(text), speed);
    }

    void formats_data()
    {
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("dataBits");
        QTest::addColumn<int>("parity"); // 0 none, 1 even, 2 odd
        QTest::addColumn<int>("stopBits");
        QTest::newRow("7E2") << "8N1" << "7E2" << 7 << 1 << 2;
        QTest::newRow("8O1") << "7E2" << "8O1" << 8 << 2 << 1;
        QTest::newRow("unknown parity keeps it") << "8N1" << "7X1" << 7 << 0 << 1;
        QTest::newRow("unknown parity keeps even") << "7E2" << "8X1" << 8 << 1 << 1;
        QTest::newRow("every position unknown") << "7O2" << "9Z3" << 7 << 2 << 2;
        QTest::newRow("short text") << "7E2" << "8" << 8 << 1 << 2;
        QTest::newRow("empty") << "7O2" << "" << 7 << 2 << 2;
        QTest::newRow("lower case is unknown") << "8N1" << "7e2" << 7 << 0 << 2;
        QTest::newRow("extra characters ignored") << "8N1" << "7E2X" << 7 << 1 << 2;
    }
    void formats()
    {
        QFETCH(QString, previous);
        QFETCH(QString, text);
        QFETCH(int, dataBits);
        QFETCH(int, parity);
        QFETCH(int, stopBits);
        const FrameFormat before = SerialSettings::ApplyFormat(previous, FrameFormat{});
        const FrameFormat f = SerialSettings::ApplyFormat(text, before);
        QCOMPARE(f.dataBits, dataBits);
        QCOMPARE(int(f.parity), parity);
        QCOMPARE(f.stopBits, stopBits);
    }

    void firstOpenStartsFrom8N1()
    {
        QCOMPARE(SerialSettings::ApplyFormat(QStringLiteral("?"), FrameFormat{}), (FrameFormat{8, Parity::None, 1}));
    }

    void deviceNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("path");
        QTest::newRow("COM1") << "COM1" << "/dev/ttyS0" << "/dev/ttyS0";
        QTest::newRow("COM12") << "COM12" << "/dev/ttyS11" << "/dev/ttyS11";
        QTest::newRow("com3") << "com3" << "/dev/ttyS2" << "/dev/ttyS2";
        QTest::newRow("COM0 is no COM name") << "COM0" << "COM0" << "/dev/COM0";
        QTest::newRow("COMx") << "COMx" << "COMx" << "/dev/COMx";
        QTest::newRow("bare name") << "ttyUSB0" << "ttyUSB0" << "/dev/ttyUSB0";
        QTest::newRow("path") << "/dev/ttyACM1" << "/dev/ttyACM1" << "/dev/ttyACM1";
        QTest::newRow("pty") << "/dev/pts/7" << "/dev/pts/7" << "/dev/pts/7";
    }
    void deviceNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, device);
        QFETCH(QString, path);
        QCOMPARE(PortNames::DeviceFromName(name), device);
        QCOMPARE(PortNames::DevicePath(name), path);
    }

    void offeredLists()
    {
        QCOMPARE(SerialSettings::OfferedSpeeds().size(), 15);
        QCOMPARE(SerialSettings::OfferedFormats().size(), 12);
        // The box never offers the speeds only a profile may name.
        QVERIFY(!SerialSettings::OfferedSpeeds().contains(QStringLiteral("33600")));
        QVERIFY(!SerialSettings::OfferedSpeeds().contains(QStringLiteral("76800")));
        for (const QString &s : SerialSettings::OfferedSpeeds())
            QCOMPARE(QString::number(SerialSettings::SpeedFromText(s)), s);
        for (const QString &f : SerialSettings::OfferedFormats()) {
            const FrameFormat a = SerialSettings::ApplyFormat(f, FrameFormat{7, Parity::Odd, 2});
            const FrameFormat b = SerialSettings::ApplyFormat(f, FrameFormat{8, Parity::Even, 1});
            QVERIFY2(a == b, qPrintable(f)); // every offered item sets all three
        }
    }

    void openedText()
    {
        QCOMPARE(SerialToggle::OpenedText(QStringLiteral("COM1"), QStringLiteral("57600"), QStringLiteral("8N1")),
                 QStringLiteral("COM1打开成功,BaudRate=57600,参数=8N1"));
    }
};

DTU_TEST_GUILESS(SerialSettingsTest)
#include "tst_serial_settings.moc"
