// The transparent transmission test: message bytes, the hex key filter,
// repeated sends with their counters and lines, and the CRC appender.
#include "ops/TransparentTest.h"
#include "support/TestMain.h"
#include "support/VirtualRig.h"

#include <QRegularExpression>
#include <QTest>

class TransparentTestTest : public QObject {
    Q_OBJECT
private slots:
    void messageBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("hex");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("text") << QStringLiteral("AB") << false << Bytes("41 42");
        QTest::newRow("lines joined by CR LF") << QStringLiteral("A\nB") << false << Bytes("41 0D 0A 42");
        QTest::newRow("CR LF kept single") << QStringLiteral("A\r\nB") << false << Bytes("41 0D 0A 42");
        QTest::newRow("GBK") << QStringLiteral("中文") << false << Bytes("D6 D0 CE C4");
        QTest::newRow("empty text") << QString() << false << QByteArray();
        QTest::newRow("hex, last single digit ignored") << QStringLiteral("41 4") << true << Bytes("41");
        QTest::newRow("hex lower case") << QStringLiteral("0d0a") << true << Bytes("0D 0A");
        QTest::newRow("hex spaces inside pairs") << QStringLiteral("4 1 4 2") << true << Bytes("41 42");
        QTest::newRow("hex one digit") << QStringLiteral(" 4 ") << true << QByteArray();
        QTest::newRow("hex empty") << QString() << true << QByteArray();
    }
    void messageBytes()
    {
        QFETCH(QString, text);
        QFETCH(bool, hex);
        QFETCH(QByteArray, bytes);
        QCOMPARE(TransparentTest::MessageBytes(text, hex), bytes);
    }

    void hexKeys()
    {
        for (QChar c : QStringLiteral("0123456789abcdefABCDEF\b"))
            QVERIFY2(TransparentTest::HexKeyAccepted(c), qPrintable(QString(c)));
        for (QChar c : QStringLiteral(" gGzZ\r\n-x中"))
            QVERIFY2(!TransparentTest::HexKeyAccepted(c), qPrintable(QString(c)));
    }

    void crcAppend_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::newRow("spaced") << QStringLiteral("01 03 00 00 00 01") << QStringLiteral("010300000001840A");
        QTest::newRow("nothing") << QString() << QStringLiteral("FFFF");
        QTest::newRow("second click") << QStringLiteral("010300000001840A") << QStringLiteral("010300000001840A0000");
        QTest::newRow("odd digit dropped") << QStringLiteral("0103000000010") << QStringLiteral("010300000001840A");
    }
    void crcAppend()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        QCOMPARE(TransparentTest::AppendModbusCrc(input), output);
    }

    void hexSendShowsBytes()
    {
        VirtualRig b{false};
        QVERIFY(TransparentTest::Send(b.session, QStringLiteral("0d0a"), QStringLiteral("1"), true));
        QCOMPARE(b.device.written, QList<QByteArray>{Bytes("0D 0A")});
        QCOMPARE(b.session.state.SentByteCount, 2);
        QCOMPARE(b.fe.transparent.size(), 1);
        const QRegularExpression line(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d 发送数据：\\{0D 0A \\}\r\n\\[1次\\]$"));
        QVERIFY2(line.match(b.fe.transparent.first()).hasMatch(), qPrintable(b.fe.transparent.first()));
    }

    void repeatedSend()
    {
        VirtualRig b{false};
        b.session.state.SentByteCount = 5;
        QVERIFY(TransparentTest::Send(b.session, QStringLiteral("AB"), QStringLiteral("10"), false));
        QCOMPARE(b.device.written.size(), 10);
        for (const QByteArray &w : b.device.written)
            QCOMPARE(w, Bytes("41 42"));
        QCOMPARE(b.session.state.SentByteCount, 25);
        QCOMPARE(b.fe.transparent.size(), 1);
        QVERIFY(b.fe.transparent.first().endsWith(QStringLiteral(" 发送数据：AB[10次]")));
        QVERIFY(b.clock.eventRounds >= 10); // the window ran between repeats
        QVERIFY(b.fe.memo.isEmpty()); // no trace below level 1
    }

    void traceAtLevelOne()
    {
        VirtualRig b{false};
        b.session.state.AccessLevel = 1;
        QVERIFY(TransparentTest::Send(b.session, QStringLiteral("41 42"), QStringLiteral("10"), true));
        QCOMPARE(b.fe.memo.size(), 10);
        QCOMPARE(b.fe.memo.first(), QStringLiteral("下行：41 42 "));
    }

    void portClosedMidRun()
    {
        VirtualRig b{false};
        int rounds = 0;
        b.clock.onEvents = [&] {
            if (++rounds == 3)
                b.device.open = false;
        };
        QVERIFY(TransparentTest::Send(b.session, QStringLiteral("AB"), QStringLiteral("1000"), false));
        QCOMPARE(b.device.written.size(), 3);
        QCOMPARE(b.session.state.SentByteCount, 6);
        QVERIFY(b.fe.transparent.first().endsWith(QStringLiteral("AB[3次]")));
    }

    void nothingToSend_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("hex");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("closed channel") << false << QStringLiteral("AB") << false
                                        << QStringList{DtuSession::ChannelClosedText()};
        QTest::newRow("empty text") << true << QString() << false << QStringList{};
        QTest::newRow("one hex digit") << true << QStringLiteral("4") << true << QStringList{};
    }
    void nothingToSend()
    {
        QFETCH(bool, open);
        QFETCH(QString, text);
        QFETCH(bool, hex);
        QFETCH(QStringList, messages);
        VirtualRig b{false};
        b.device.open = open;
        QVERIFY(!TransparentTest::Send(b.session, text, QStringLiteral("10"), hex)); // the input is kept
        QVERIFY(b.device.written.isEmpty());
        QVERIFY(b.fe.transparent.isEmpty());
        QCOMPARE(b.session.state.SentByteCount, 0);
        QCOMPARE(b.fe.messages, messages);
    }
};

DTU_TEST_GUILESS(TransparentTestTest)
#include "tst_transparent.moc"
