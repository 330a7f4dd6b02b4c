// Hex helpers, frame assembly and the received-frame checks.
#include "core/AppState.h"
#include "channel/DataChannel.h"
#include "protocol/CommandExchange.h"
#include "protocol/FrameCodec.h"
#include "protocol/Hex.h"
#include "script/ScriptHost.h"
#include "support/Hexes.h"
#include "support/RecordingFrontend.h"
#include "support/VirtualClock.h"
#include "support/TestMain.h"

#include <QTest>

class FrameCodecTest : public QObject {
    Q_OBJECT
private slots:
    void hexConversions()
    {
        QCOMPARE(WordToHex(0x0031), QStringLiteral("0031"));
        QCOMPARE(WordToHex(0xE00D), QStringLiteral("E00D"));
        QCOMPARE(WordAt(Bytes("00 E0 0D"), 1), quint16(0xE00D));
        QCOMPARE(HexToInt(QString()), 0);
        QCOMPARE(HexToInt(QStringLiteral("e00d")), 57357);
        QCOMPARE(HexToInt(QStringLiteral("0091")), 145);
        QCOMPARE(HexToInt(QStringLiteral(" 5")), 5);
        QCOMPARE(HexToInt(QStringLiteral("FFFFFFFF")), -1);
        QCOMPARE(HexToInt(QStringLiteral("100000000")), 0); // wraps at 32 bits
        QCOMPARE(BytesToHex(Bytes("31 0A")), QStringLiteral("310A"));
        QCOMPARE(BytesToSpacedHex(Bytes("31 0A")), QStringLiteral("31 0A "));
        QCOMPARE(BytesToHex(QByteArray()), QString());
        QCOMPARE(HexToBytes(QStringLiteral("AA55")), Bytes("AA 55"));
        QCOMPARE(HexToBytes(QStringLiteral("ABC")), Bytes("AB"));
        QCOMPARE(HexToBytes(QStringLiteral("0 ")), QByteArray(1, '\0'));
        QCOMPARE(WordToBytes(0xE00D), Bytes("E0 0D"));
        // Whole bytes of hex digits, nothing after them.
        for (const char *bytes : {"", "0aF1"})
            QVERIFY(IsHexBytes(QString::fromUtf8(bytes)));
        for (const char *notBytes : {"0A1", "0G", "0A\n", "0A ", "０Ａ"})
            QVERIFY2(!IsHexBytes(QString::fromUtf8(notBytes)), notBytes);
        QCOMPARE(ScriptCommandWord(QStringLiteral("E00D")), quint16(0xE00D));
        QCOMPARE(ScriptCommandWord(QStringLiteral("E0")), quint16(0xE000));
        QCOMPARE(ScriptCommandWord(QStringLiteral("E00D99")), quint16(0xE00D));
    }

    void assembly_data()
    {
        QTest::addColumn<QByteArray>("prefix");
        QTest::addColumn<int>("word");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("clock read") << QByteArray() << 0xE00E << QByteArray() << Bytes("AA 55 00 04 E0 0E 00 F2");
        QTest::newRow("param write") << QByteArray() << 0x0030 << Bytes("31 32") << Bytes("AA 55 00 06 00 30 31 32 00 99");
        QTest::newRow("with prefix") << Bytes("01 02") << 0x0030 << Bytes("31 32")
                                     << Bytes("AA 55 00 08 01 02 00 30 31 32 00 9E");
        QTest::newRow("select ch 0") << QByteArray() << 0xE050 << Bytes("00") << Bytes("AA 55 00 05 E0 50 00 01 35");
        QTest::newRow("ack") << QByteArray() << 0x00F0 << QByteArray() << Bytes("AA 55 00 04 00 F0 00 F4");
        QTest::newRow("refuse") << QByteArray() << 0x00F1 << QByteArray() << Bytes("AA 55 00 04 00 F1 00 F5");
    }
    void assembly()
    {
        QFETCH(QByteArray, prefix);
        QFETCH(int, word);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, frame);
        QCOMPARE(FrameCodec::Assemble(static_cast<quint16>(word), prefix, data), frame);
    }

    void tooLongFrameIsRefused()
    {
        QVERIFY(FrameCodec::Assemble(1, QByteArray(), QByteArray(FrameCodec::kMaxPayload + 1, 'x')).isEmpty());
        QCOMPARE(FrameCodec::Assemble(1, QByteArray(), QByteArray(FrameCodec::kMaxPayload, 'x')).size(),
                 FrameCodec::kMaxPayload + 8);
    }

    void checks()
    {
        const QByteArray located = FrameCodec::Locate(Bytes("00 13 AA 55 00 04 00 F0 00 F4"));
        QCOMPARE(located, Bytes("AA 55 00 04 00 F0 00 F4"));
        QVERIFY(FrameCodec::HasHeader(located));
        QVERIFY(FrameCodec::ChecksumByLength(located));

        const QByteArray trailing = Bytes("AA 55 00 04 00 F0 00 F4 77");
        QVERIFY(FrameCodec::ChecksumByLength(trailing));
        QVERIFY(!FrameCodec::ChecksumBySize(trailing));
        QVERIFY(FrameCodec::ChecksumBySize(Bytes("AA 55 00 04 00 F0 00 F4")));

        // No AA 55 anywhere: nothing dropped, header test fails.
        QCOMPARE(FrameCodec::Locate(Bytes("55 AA 00")), Bytes("55 AA 00"));
        QVERIFY(!FrameCodec::HasHeader(Bytes("55 AA 00 04 00 F0 00 F4")));
    }

    // Hex text at its length boundaries and in either letter case.
    void hexTextBoundaries()
    {
        QCOMPARE(HexToBytes(QString()), QByteArray());
        QCOMPARE(HexToBytes(QStringLiteral("A")), QByteArray()); // one digit short of a byte
        QCOMPARE(HexToBytes(QStringLiteral("AA5")), Bytes("AA")); // one digit over
        QCOMPARE(HexToBytes(QStringLiteral("aa55")), Bytes("AA 55"));
        QCOMPARE(HexToBytes(QStringLiteral("aA5b")), Bytes("AA 5B"));
        QCOMPARE(HexToInt(QStringLiteral("00a1")), 161);
        QCOMPARE(HexToInt(QStringLiteral("00A1")), 161);
        QCOMPARE(HexToInt(QStringLiteral("7FFFFFFF")), 2147483647); // 8 digits: the last that fits
        QCOMPARE(HexToInt(QStringLiteral("80000000")), -2147483647 - 1);
        QCOMPARE(ScriptCommandWord(QString()), quint16(0));
        QCOMPARE(ScriptCommandWord(QStringLiteral("E00")), quint16(0xE000)); // one character short
        QCOMPARE(ScriptCommandWord(QStringLiteral("e00d")), quint16(0xE00D));
    }

    // The received-frame checks on a frame one byte short and one byte long.
    void receivedFrameBoundaries_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("header");
        QTest::addColumn<bool>("ruleA");
        QTest::addColumn<bool>("ruleB");
        QTest::newRow("exact") << Bytes("AA 55 00 04 00 F0 00 F4") << true << true << true;
        QTest::newRow("one byte short") << Bytes("AA 55 00 04 00 F0 00") << true << false << false;
        QTest::newRow("one byte long") << Bytes("AA 55 00 04 00 F0 00 F4 00") << true << true << false;
        QTest::newRow("one byte") << Bytes("AA") << false << false << false;
        QTest::newRow("header only") << Bytes("AA 55") << true << false << false;
        QTest::newRow("three bytes") << Bytes("AA 55 00") << true << false << false;
        // L = 0: no bytes to add, and the "checksum" is the length field 00 00.
        QTest::newRow("length field 0") << Bytes("AA 55 00 00") << true << true << true;
        QTest::newRow("length field 3") << Bytes("AA 55 00 03 00 00 03") << true << true << true;
        QTest::newRow("header swapped") << Bytes("55 AA 00 04 00 F0 00 F4") << false << true << true;
    }
    void receivedFrameBoundaries()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, header);
        QFETCH(bool, ruleA);
        QFETCH(bool, ruleB);
        QCOMPARE(FrameCodec::HasHeader(bytes), header);
        QCOMPARE(FrameCodec::ChecksumByLength(bytes), ruleA);
        QCOMPARE(FrameCodec::ChecksumBySize(bytes), ruleB);
    }

    void locateBoundaries()
    {
        QCOMPARE(FrameCodec::Locate(Bytes("AA")), Bytes("AA"));
        QCOMPARE(FrameCodec::Locate(Bytes("00 AA 55")), Bytes("AA 55"));
        QCOMPARE(FrameCodec::Locate(Bytes("AA AA 55 00")), Bytes("AA 55 00"));
        QCOMPARE(FrameCodec::Locate(Bytes("55 AA 55")), Bytes("AA 55"));
        QCOMPARE(FrameCodec::LengthField(Bytes("AA 55 01")), 0);
        QCOMPARE(FrameCodec::LengthField(Bytes("AA 55 01 02")), 0x0102);
    }

    void ruleANeverReadsPastTheEnd()
    {
        // The length field promises 0x40 bytes; only a few are there.
        QVERIFY(!FrameCodec::ChecksumByLength(Bytes("AA 55 00 40 00 F0")));
        QVERIFY(!FrameCodec::ChecksumByLength(Bytes("AA 55 00")));
        QVERIFY(!FrameCodec::ChecksumByLength(Bytes("AA 55 FF FF")));
        QVERIFY(!FrameCodec::ChecksumBySize(Bytes("AA 55")));
    }

    void buildFrameTracesAtLevelOneOnly()
    {
        AppState state;
        ScriptHost script;
        script.Eval(QStringLiteral("function PrevCmd(){ return ''; }"));
        DataChannel channel;
        RecordingFrontend ui;
        VirtualClock clock;
        CommandExchange exchange(state, script, channel, ui, clock);

        state.AccessLevel = 2;
        QCOMPARE(exchange.BuildFrame(0xE00E, {}), Bytes("AA 55 00 04 E0 0E 00 F2"));
        QVERIFY(ui.memo.isEmpty());

        state.AccessLevel = 1;
        exchange.BuildFrame(0xE00E, {});
        QCOMPARE(ui.memo, QStringList{QStringLiteral("下行：AA 55 00 04 E0 0E 00 F2 ")});

        script.Eval(QStringLiteral("function PrevCmd(){ return '0102'; }"));
        QCOMPARE(exchange.BuildFrame(0x0030, Bytes("31 32")), Bytes("AA 55 00 08 01 02 00 30 31 32 00 9E"));
        QCOMPARE(exchange.CommandPrefix(), Bytes("01 02"));
    }
};

DTU_TEST_GUILESS(FrameCodecTest)
#include "tst_frame_codec.moc"
