// CRC-16/MODBUS: known vectors.
#include "support/Hexes.h"
#include "support/TestMain.h"
#include "protocol/ModbusCrc.h"

#include <QTest>

class ModbusCrcTest : public QObject {
    Q_OBJECT
private slots:
    void vectors_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("crc");
        QTest::newRow("check value") << QByteArray("123456789") << 0x4B37;
        QTest::newRow("nothing") << QByteArray() << 0xFFFF;
        QTest::newRow("read holding register") << Bytes("01 03 00 00 00 01") << 0x0A84;
        QTest::newRow("zero byte") << Bytes("00") << 0x40BF;
        QTest::newRow("frame with its crc") << Bytes("01 03 00 00 00 01 84 0A") << 0x0000;
    }
    void vectors()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, crc);
        QCOMPARE(ModbusCrc(bytes), quint16(crc));
    }

    void appendedLowByteFirst()
    {
        QCOMPARE(WithModbusCrc(Bytes("01 03 00 00 00 01")), Bytes("01 03 00 00 00 01 84 0A"));
        QCOMPARE(WithModbusCrc(QByteArray()), Bytes("FF FF"));
    }
};

DTU_TEST_GUILESS(ModbusCrcTest)
#include "tst_modbus_crc.moc"
