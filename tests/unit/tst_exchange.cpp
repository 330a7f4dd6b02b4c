// The command exchange in virtual time: reply collection, the quiet gap,
// acknowledgement verdicts, trace lines, the poller switch and re-entry.
#include "core/DtuError.h"
#include "session/DtuSession.h"
#include "protocol/CommandExchange.h"
#include "support/Frames.h"
#include "support/TestPaths.h"

#include "support/VirtualRig.h"
#include "support/TestMain.h"

#include <QTest>

#include <utility>

namespace {

struct ExchangeRig : VirtualRig {
    QList<bool> pollerCalls;

    ExchangeRig()
    {
        session.exchange.SetPollerSwitch([this](bool on) { pollerCalls << on; });
    }
    // Every write is answered with these pieces, each at its own delay.
    void AnswerWith(QList<QPair<int, QByteArray>> pieces)
    {
        device.responder = [this, pieces](const QByteArray &) {
            for (const auto &p : pieces)
                device.Schedule(p.first, p.second);
        };
    }
    QStringList Lines(const QString &prefix) const
    {
        QStringList out;
        for (const QString &l : fe.memo)
            if (l.startsWith(prefix))
                out << l;
        return out;
    }
};

class ThrowingTransport : public Transport {
public:
    bool IsOpen() const override { return true; }
    void Write(const QByteArray &) override {}
    QByteArray ReadAvailable() override { throw DtuError(QStringLiteral("端口读取出错")); }
};
} // namespace

class ExchangeTest : public QObject {
    Q_OBJECT
private slots:
    void verdicts_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("result");
        QTest::newRow("accepted") << TestFrames::kAck << 0;
        QTest::newRow("refused") << Bytes("AA 55 00 04 00 F1 00 F5") << -1;
        QTest::newRow("stray byte first") << Bytes("13 AA 55 00 04 00 F0 00 F4") << 0;
        QTest::newRow("swapped header") << Bytes("55 AA 00 04 00 F0 00 F4") << -3;
        QTest::newRow("no header at all") << Bytes("01 02 03") << -3;
        QTest::newRow("bad checksum") << Bytes("AA 55 00 04 00 F0 00 F5") << -4;
        QTest::newRow("cut short") << Bytes("AA 55 00 04 00 F0") << -4;
        QTest::newRow("length 5") << Bytes("AA 55 00 05 00 F0 01 00 F6") << -2;
        QTest::newRow("unknown code") << Bytes("AA 55 00 04 00 F2 00 F6") << -1;
        QTest::newRow("trailing byte ignored") << (TestFrames::kAck + Bytes("77")) << 0;
        // Length boundaries of the 8-byte acknowledgement.
        QTest::newRow("one byte short") << Bytes("AA 55 00 04 00 F0 00") << -4;
        QTest::newRow("one byte") << Bytes("AA") << -3;
        QTest::newRow("header only") << Bytes("AA 55") << -4;
        QTest::newRow("length field 3") << Bytes("AA 55 00 03 00 00 03") << -2;
        QTest::newRow("refusal of length 5") << Bytes("AA 55 00 05 00 F1 00 00 F6") << -2;
        // Only 00 F0 accepts; 00 F1 and every other code refuse.
        QTest::newRow("code 00 00") << Bytes("AA 55 00 04 00 00 00 04") << -1;
        QTest::newRow("code 00 EF") << Bytes("AA 55 00 04 00 EF 00 F3") << -1;
        QTest::newRow("code 01 F0") << Bytes("AA 55 00 04 01 F0 00 F5") << -1;
        QTest::newRow("code F0 00") << Bytes("AA 55 00 04 F0 00 00 F4") << -1;
        QTest::newRow("code 80 F0") << Bytes("AA 55 00 04 80 F0 01 74") << -1;
        QTest::newRow("code FF FF") << Bytes("AA 55 00 04 FF FF 02 02") << -1;
    }
    void verdicts()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, result);
        ExchangeRig rig;
        rig.AnswerWith({{50, reply}});
        QCOMPARE(rig.session.exchange.SetTypeExchange(0xE003, {}), result);
        QCOMPARE(rig.device.written, QList<QByteArray>{Bytes("AA 55 00 04 E0 03 00 E7")});
        // Device time plus the 410 ms quiet gap, not the 3000 ms time-out.
        QCOMPARE(rig.clock.NowMs(), 50 + 410);
        QCOMPARE(CommandExchange::JudgeAck(reply), result);
    }

    void noReply()
    {
        ExchangeRig rig;
        rig.session.state.AccessLevel = 1;
        QCOMPARE(rig.session.exchange.SetTypeExchange(0xE00E, {}), -2);
        QCOMPARE(rig.clock.NowMs(), 3000);
        QCOMPARE(rig.Lines(QStringLiteral("下行：")).size(), 1);
        QVERIFY(rig.Lines(QStringLiteral("上行：")).isEmpty());
        QCOMPARE(rig.pollerCalls, (QList<bool>{false, true}));
    }

    void closedChannelTimesOut()
    {
        ExchangeRig rig;
        rig.device.open = false;
        rig.AnswerWith({{10, TestFrames::kAck}});
        QCOMPARE(rig.session.exchange.SetTypeExchange(0xE003, {}), -2);
        QVERIFY(rig.device.written.isEmpty());
        QCOMPARE(rig.clock.NowMs(), 3000);
    }

    void quietGap_data()
    {
        QTest::addColumn<int>("gap");
        QTest::addColumn<bool>("joined");
        QTest::newRow("300 ms") << 300 << true;
        QTest::newRow("410 ms") << 410 << true;
        QTest::newRow("420 ms") << 420 << false;
        QTest::newRow("1 s") << 1000 << false;
    }
    void quietGap()
    {
        QFETCH(int, gap);
        QFETCH(bool, joined);
        ExchangeRig rig;
        rig.session.state.AccessLevel = 1;
        rig.AnswerWith({{20, Bytes("AA 55 00")}, {20 + gap, Bytes("04 00 F0 00 F4")}});
        const int result = rig.session.exchange.SetTypeExchange(0xE003, {});
        const QStringList up = rig.Lines(QStringLiteral("上行："));
        QCOMPARE(up.size(), 1);
        if (joined) {
            QCOMPARE(result, 0);
            QCOMPARE(up.first(), QStringLiteral("上行：AA 55 00 04 00 F0 00 F4 "));
            QVERIFY(!rig.device.HasPending());
        } else {
            QCOMPARE(result, -4);
            QCOMPARE(up.first(), QStringLiteral("上行：AA 55 00 "));
            QVERIFY(rig.device.HasPending()); // left for the poller or the next exchange
        }
    }

    void piecesCollectedIntoOneReply()
    {
        ExchangeRig rig;
        rig.AnswerWith({{100, Bytes("AA")}, {400, Bytes("55 00 04")}, {700, Bytes("00 F0")}, {1000, Bytes("00 F4")}});
        QCOMPARE(rig.session.exchange.SetTypeExchange(0xE003, {}), 0);
        QCOMPARE(rig.clock.NowMs(), 1000 + 410);
    }

    void bytesWaitingBeforeTheWriteStartTheReply()
    {
        ExchangeRig rig;
        rig.device.Schedule(0, Bytes("AA 55 00 04"));
        rig.AnswerWith({{30, Bytes("00 F0 00 F4")}});
        QCOMPARE(rig.session.exchange.SetTypeExchange(0xE003, {}), 0);
    }

    void traceLines_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("level 0") << 0 << QStringList();
        QTest::newRow("level 1") << 1
                                 << QStringList{QStringLiteral("下行：AA 55 00 04 E0 0E 00 F2 "),
                                                QStringLiteral("上行：AA 55 00 04 00 F0 00 F4 ")};
        QTest::newRow("level 2") << 2 << QStringList();
    }
    void traceLines()
    {
        QFETCH(int, level);
        QFETCH(QStringList, lines);
        ExchangeRig rig;
        rig.session.state.AccessLevel = level;
        rig.AnswerWith({{30, TestFrames::kAck}});
        QCOMPARE(rig.session.exchange.SetTypeExchange(0xE00E, {}), 0);
        QCOMPARE(rig.fe.memo, lines);
    }

    void prefixFromScript()
    {
        ExchangeRig rig;
        rig.session.script.Eval(QStringLiteral("PrevCmd = function() { return \"0102\"; };"));
        rig.AnswerWith({{30, TestFrames::kAck}});
        QCOMPARE(rig.session.exchange.SetTypeExchange(0x0030, Bytes("31 32")), 0);
        QCOMPARE(rig.device.written.first(), Bytes("AA 55 00 08 01 02 00 30 31 32 00 9E"));
        QCOMPARE(rig.session.exchange.CommandPrefix(), Bytes("01 02"));
    }

    void scriptErrorSendsNothing()
    {
        ExchangeRig rig;
        rig.session.script.Eval(QStringLiteral("PrevCmd = function() { throw new Error(\"x\"); };"));
        QVERIFY_THROWS_EXCEPTION(DtuError, rig.session.exchange.SetTypeExchange(0xE003, {}));
        QVERIFY(rig.device.written.isEmpty());
        QVERIFY(rig.pollerCalls.isEmpty());
    }

    void pollerBackOnAfterEveryExchange()
    {
        ExchangeRig rig;
        bool pollerOn = false; // off before the exchange began
        rig.session.exchange.SetPollerSwitch([&](bool on) { pollerOn = on; rig.pollerCalls << on; });
        QVERIFY(rig.session.exchange.ReceiveReply(100).isEmpty());
        QVERIFY(pollerOn);
        pollerOn = false;
        rig.device.Schedule(0, TestFrames::kAck);
        QCOMPARE(rig.session.exchange.ReceiveReply(100), TestFrames::kAck);
        QVERIFY(pollerOn);
        QCOMPARE(rig.pollerCalls, (QList<bool>{false, true, false, true}));
        // The poller stays off for the whole wait.
        bool offDuringWait = true;
        rig.clock.onEvents = [&] { offDuringWait = offDuringWait && !pollerOn; };
        rig.session.exchange.ReceiveReply(50);
        QVERIFY(offDuringWait);
        QVERIFY(pollerOn);
    }

    void pollerBackOnWhenTheChannelThrows()
    {
        ExchangeRig rig;
        ThrowingTransport broken;
        rig.session.channel.SetSerial(&broken);
        QVERIFY_THROWS_EXCEPTION(DtuError, rig.session.exchange.ReceiveReply(3000));
        QCOMPARE(rig.pollerCalls, (QList<bool>{false, true}));
        QVERIFY(!rig.session.exchange.Waiting());
        QVERIFY(!broken.HasArrivalHook());
    }

    void shortTimeouts()
    {
        ExchangeRig rig;
        rig.device.Schedule(0, TestFrames::kAck);
        // Below one poll interval there is no first-byte phase at all.
        QVERIFY(rig.session.exchange.ReceiveReply(5).isEmpty());
        QCOMPARE(rig.clock.NowMs(), 0);
    }

    void closingEndsTheWait_data()
    {
        QTest::addColumn<int>("closeAt");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("before any byte") << 50 << QByteArray();
        QTest::newRow("in the quiet gap") << 150 << Bytes("AA 55 00");
    }
    void closingEndsTheWait()
    {
        QFETCH(int, closeAt);
        QFETCH(QByteArray, reply);
        ExchangeRig rig;
        rig.AnswerWith({{100, Bytes("AA 55 00")}, {300, Bytes("04 00 F0 00 F4")}});
        rig.clock.onEvents = [&] {
            if (rig.clock.NowMs() >= closeAt)
                rig.session.state.ClosingFlag = true;
        };
        rig.session.channel.ChannelWrite(rig.session.exchange.BuildFrame(0xE003, {}));
        QCOMPARE(rig.session.exchange.ReceiveReply(3000), reply);
        QVERIFY(rig.clock.NowMs() <= closeAt + 10);
        QCOMPARE(rig.pollerCalls, (QList<bool>{false, true}));
        // Already closing: no wait at all.
        const qint64 before = rig.clock.NowMs();
        QCOMPARE(rig.session.exchange.AwaitAck(), -2);
        QCOMPARE(rig.clock.NowMs(), before);
    }

    void nestedWaitGetsNothing()
    {
        ExchangeRig rig;
        rig.AnswerWith({{200, TestFrames::kAck}});
        int nestedCalls = 0;
        QByteArray nestedReply = "untouched";
        rig.clock.onEvents = [&] {
            if (rig.clock.NowMs() == 250 && nestedCalls++ == 0) {
                QVERIFY(rig.session.exchange.Waiting());
                nestedReply = rig.session.exchange.ReceiveReply(3000);
            }
        };
        QCOMPARE(rig.session.exchange.SetTypeExchange(0xE003, {}), 0);
        QCOMPARE(nestedCalls, 1);
        QVERIFY(nestedReply.isEmpty());
        // The nested call neither waited nor touched the poller switch.
        QCOMPARE(rig.clock.NowMs(), 200 + 410);
        QCOMPARE(rig.pollerCalls, (QList<bool>{false, true}));
    }

    void nestedExchangeSendsNothing()
    {
        ExchangeRig rig;
        rig.AnswerWith({{200, TestFrames::kAck}});
        int nestedResult = 1;
        rig.clock.onEvents = [&] {
            if (rig.clock.NowMs() == 100)
                nestedResult = rig.session.exchange.SetTypeExchange(0xE002, {});
        };
        QCOMPARE(rig.session.exchange.SetTypeExchange(0xE003, {}), 0);
        QCOMPARE(nestedResult, -2);
        QCOMPARE(rig.device.written.size(), 1);
    }

    // On a line that tells when bytes come (a serial port, a socket) the wait
    // ends at the byte and the quiet gap counts from it, to the millisecond:
    // pieces each within 410 ms of the one before join, one later does not.
    // The first byte still counts only before the first-byte deadline.
    void lineThatTells_data()
    {
        QTest::addColumn<QByteArrayList>("pieces");
        QTest::addColumn<QList<int>>("at");
        QTest::addColumn<bool>("fast");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("endsAt");
        QTest::addColumn<QList<qint64>>("reads");
        const QByteArrayList thirds{Bytes("AA 55 00"), Bytes("04 00 F0"), Bytes("00 F4")};
        QTest::newRow("each piece within the gap")
            << thirds << QList<int>{23, 433, 843} << false << 0 << 843 + 410 << QList<qint64>{23, 433, 843};
        QTest::newRow("last piece 1 ms late")
            << thirds << QList<int>{23, 433, 844} << false << -4 << 433 + 410 << QList<qint64>{23, 433};
        QTest::newRow("second piece 1 ms late")
            << thirds << QList<int>{23, 434, 500} << false << -4 << 23 + 410 << QList<qint64>{23};
        QTest::newRow("odd times") << thirds << QList<int>{7, 251, 555} << false << 0 << 555 + 410
                                   << QList<qint64>{7, 251, 555};
        QTest::newRow("fast reply mode") << QByteArrayList{TestFrames::kAck} << QList<int>{17} << true << 0 << 17 + 30
                                         << QList<qint64>{17};
        QTest::newRow("first byte just before the time-out")
            << QByteArrayList{TestFrames::kAck} << QList<int>{2999} << false << 0 << 2999 + 410 << QList<qint64>{2999};
        QTest::newRow("first byte at the time-out")
            << QByteArrayList{TestFrames::kAck} << QList<int>{3000} << false << -2 << 3000 << QList<qint64>{};
    }
    void lineThatTells()
    {
        QFETCH(QByteArrayList, pieces);
        QFETCH(QList<int>, at);
        QFETCH(bool, fast);
        QFETCH(int, result);
        QFETCH(int, endsAt);
        QFETCH(QList<qint64>, reads);
        ExchangeRig rig;
        rig.device.tells = true;
        rig.session.exchange.SetFastCompletion(fast);
        QList<QPair<int, QByteArray>> answer;
        for (int i = 0; i < pieces.size(); ++i)
            answer << qMakePair(at[i], pieces[i]);
        rig.AnswerWith(answer);
        QCOMPARE(rig.session.exchange.SetTypeExchange(0xE003, {}), result);
        QCOMPARE(rig.clock.NowMs(), endsAt);
        QCOMPARE(rig.device.readAt, reads);
    }

    // A byte seen only after a busy round of events (the window repainting
    // for 7 ms after the wake) is timed from when it came: the reply ends
    // 410 ms after that, and a piece 4 ms later than that is not joined.
    void gapCountsFromTheByteNotTheRead()
    {
        ExchangeRig rig;
        rig.device.tells = true;
        rig.session.state.AccessLevel = 1;
        bool busy = true;
        rig.clock.onEvents = [&] {
            if (std::exchange(busy, false))
                rig.clock.Advance(7);
        };
        rig.AnswerWith({{23, Bytes("AA 55 00")}, {23 + 414, Bytes("04 00 F0 00 F4")}});
        QCOMPARE(rig.session.exchange.SetTypeExchange(0xE003, {}), -4);
        QCOMPARE(rig.device.readAt, (QList<qint64>{30}));
        QCOMPARE(rig.clock.NowMs(), 23 + 410);
        QCOMPARE(rig.Lines(QStringLiteral("上行：")), QStringList{QStringLiteral("上行：AA 55 00 ")});
    }

    // A silent line that tells sleeps to the first-byte deadline, looking
    // at the channel only every 100 ms in case a wake goes astray, instead
    // of every 10 ms; the deadline is whole polls as always.
    void silentLineSleepsToTheDeadline_data()
    {
        QTest::addColumn<int>("timeout");
        QTest::addColumn<int>("endsAt");
        QTest::addColumn<int>("mostRounds");
        QTest::newRow("3000 ms") << 3000 << 3000 << 30;
        QTest::newRow("1234 ms") << 1234 << 1230 << 13;
        QTest::newRow("below one poll") << 5 << 0 << 0;
    }
    void silentLineSleepsToTheDeadline()
    {
        QFETCH(int, timeout);
        QFETCH(int, endsAt);
        QFETCH(int, mostRounds);
        ExchangeRig rig;
        rig.device.tells = true;
        QVERIFY(rig.session.exchange.ReceiveReply(timeout).isEmpty());
        QCOMPARE(rig.clock.NowMs(), endsAt);
        QVERIFY2(rig.clock.eventRounds <= mostRounds, qPrintable(QString::number(rig.clock.eventRounds)));
    }

    // A line that claims to tell but whose wake never comes is still read
    // every 100 ms: the reply is found at the next look and judged as ever.
    void lostWakeFoundByTheNextLook()
    {
        ExchangeRig rig;
        rig.device.tells = true;
        rig.device.wakeLost = true;
        rig.AnswerWith({{50, TestFrames::kAck}});
        QCOMPARE(rig.session.exchange.SetTypeExchange(0xE003, {}), 0);
        QCOMPARE(rig.device.readAt, (QList<qint64>{100}));
        QCOMPARE(rig.clock.NowMs(), 100 + 410);
    }

    // The exchange listens for arriving bytes only while it waits: bytes
    // that come afterwards wake nothing and stay for the poller.
    void listensOnlyWhileWaiting()
    {
        ExchangeRig rig;
        rig.device.tells = true;
        QVERIFY(!rig.device.HasArrivalHook());
        bool heardDuringWait = false;
        rig.clock.onEvents = [&] { heardDuringWait = heardDuringWait || rig.device.HasArrivalHook(); };
        rig.AnswerWith({{50, TestFrames::kAck}});
        QCOMPARE(rig.session.exchange.SetTypeExchange(0xE003, {}), 0);
        QVERIFY(heardDuringWait);
        QVERIFY(!rig.device.HasArrivalHook());
        rig.device.Schedule(10, Bytes("01"));
        rig.clock.Advance(20);
        QVERIFY(rig.device.HasPending());
    }
};

DTU_TEST_GUILESS(ExchangeTest)
#include "tst_exchange.moc"
