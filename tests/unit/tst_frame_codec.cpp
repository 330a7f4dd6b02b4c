// Hex helpers, frame assembly and the received-frame checks.
#include "app/AppState.h"
#include "channel/DataChannel.h"
#include "protocol/CommandExchange.h"
#include "protocol/FrameCodec.h"
#include "protocol/Hex.h"
#include "script/ScriptHost.h"
#include "support/Hexes.h"
#include "support/RecordingFrontend.h"
#include "support/VirtualClock.h"

#include <QtTest>

class FrameCodecTest : public QObject {
    Q_OBJECT
private slots:
    void hexConversions()
    {
        QCOMPARE(ByteToHex(0), QStringLiteral("00"));
        QCOMPARE(ByteToHex(10), QStringLiteral("0A"));
        QCOMPARE(ByteToHex(255), QStringLiteral("FF"));
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

QTEST_GUILESS_MAIN(FrameCodecTest)
#include "tst_frame_codec.moc"
