// The bounds on one reply, in virtual time: a device that never stops
// sending ends the reply after 15 s or 64 KiB; every reply that falls silent
// before them is collected exactly as before.
#include "session/DtuSession.h"
#include "protocol/CommandExchange.h"
#include "protocol/TransactionResult.h"
#include "support/Frames.h"
#include "support/VirtualRig.h"
#include "support/TestMain.h"

#include <QTest>

namespace {

struct BoundsRig : VirtualRig {
    QList<bool> pollerCalls;
    qint64 firstByteAt = -1;

    BoundsRig()
    {
        session.exchange.SetPollerSwitch([this](bool on) { pollerCalls << on; });
    }
    // The answer to the next write: `count` pieces of `piece`, `gapMs` apart,
    // the first 50 ms after the write.
    void Trickle(const QByteArray &head, const QByteArray &piece, int count, int gapMs)
    {
        device.responder = [=, this, answered = false](const QByteArray &) mutable {
            if (answered)
                return;
            answered = true;
            firstByteAt = clock.NowMs() + 50;
            device.Schedule(50, head);
            for (int i = 1; i <= count; ++i)
                device.Schedule(50 + qint64(i) * gapMs, piece);
        };
    }
    // What the poller would do after the exchange: take whatever is left.
    void DrainAfter(qint64 ms)
    {
        clock.Advance(ms);
        (void)device.ReadAvailable();
    }
};
} // namespace

class ReplyBoundsTest : public QObject {
    Q_OBJECT
private slots:
    // Replies that end in silence are not touched by the bounds: the reply
    // still ends 410 ms after its last byte and holds every byte.
    void silentEndUnchanged_data()
    {
        QTest::addColumn<int>("pieces");
        QTest::addColumn<int>("gapMs");
        QTest::addColumn<int>("pieceSize");
        QTest::newRow("one frame") << 0 << 0 << 1;
        QTest::newRow("bytes 300 ms apart") << 8 << 300 << 1;
        QTest::newRow("just under 15 s") << 49 << 300 << 1;
        QTest::newRow("just under 64 KiB") << 63 << 20 << 1024;
        QTest::newRow("gaps of 400 ms") << 30 << 400 << 3;
    }
    void silentEndUnchanged()
    {
        QFETCH(int, pieces);
        QFETCH(int, gapMs);
        QFETCH(int, pieceSize);
        BoundsRig rig;
        rig.Trickle(TestFrames::kAck, QByteArray(pieceSize, '\x77'), pieces, gapMs);
        const qint64 start = rig.clock.NowMs();
        const QByteArray reply = rig.session.exchange.Transact(0xE003, {}, CommandExchange::kAckTimeoutMs);
        QCOMPARE(reply.size(), TestFrames::kAck.size() + qsizetype(pieces) * pieceSize);
        QVERIFY(!rig.session.exchange.LastReplyCut());
        // Last byte, then 41 empty polls of 10 ms.
        const qint64 lastByte = rig.firstByteAt + qint64(pieces) * gapMs;
        QVERIFY2(qAbs(rig.clock.NowMs() - (lastByte + 410)) <= 10,
                 qPrintable(QString::number(rig.clock.NowMs() - start)));
        QCOMPARE(CommandExchange::JudgeAck(reply), TransactionResult::Accepted);
    }

    // A byte every 300 ms for a whole minute: without a bound the quiet gap
    // would never come. The reply ends 15 s after its first byte, is judged
    // as usual, the poller is switched on again, and once the device has
    // stopped a healthy command goes through.
    void endlessTrickleEndsAt15s_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<int>("verdict");
        QTest::newRow("ack then garbage") << TestFrames::kAck << int(TransactionResult::Accepted);
        QTest::newRow("garbage only") << Bytes("13") << int(TransactionResult::NotAFrame);
        QTest::newRow("frame never finished") << Bytes("AA 55 01 00 00 F0") << int(TransactionResult::BadChecksum);
    }
    void endlessTrickleEndsAt15s()
    {
        QFETCH(QByteArray, head);
        QFETCH(int, verdict);
        BoundsRig rig;
        rig.Trickle(head, Bytes("5A"), 60 * 1000 / 300, 300);
        const int result = rig.session.exchange.SetTypeExchange(0xE003, {});
        QCOMPARE(result, verdict);
        QVERIFY(rig.session.exchange.LastReplyCut());
        const qint64 held = rig.clock.NowMs() - rig.firstByteAt;
        QVERIFY2(held >= CommandExchange::kMaxReplyMs && held <= CommandExchange::kMaxReplyMs + 20,
                 qPrintable(QString::number(held)));
        QCOMPARE(rig.pollerCalls, (QList<bool>{false, true}));
        QVERIFY(rig.device.HasPending()); // the rest stays in the channel

        rig.DrainAfter(60 * 1000);
        rig.device.responder = [&rig](const QByteArray &) { rig.device.Schedule(20, TestFrames::kAck); };
        QCOMPARE(rig.session.exchange.SetTypeExchange(0xE003, {}), int(TransactionResult::Accepted));
        QVERIFY(!rig.session.exchange.LastReplyCut());
    }

    // A megabyte arriving in 4 KiB pieces every 10 ms (a flood, not a
    // reply): the collector stops at 64 KiB, long before 15 s.
    void floodEndsAt64KiB()
    {
        BoundsRig rig;
        rig.Trickle(TestFrames::kAck, QByteArray(4096, '\xEE'), 256, 10);
        const QByteArray reply = rig.session.exchange.Transact(0xE003, {}, CommandExchange::kAckTimeoutMs);
        QVERIFY(rig.session.exchange.LastReplyCut());
        QVERIFY(reply.size() >= CommandExchange::kMaxReplyBytes);
        QVERIFY(reply.size() < CommandExchange::kMaxReplyBytes + 4096 + TestFrames::kAck.size());
        QVERIFY(rig.clock.NowMs() < 1000);
        QCOMPARE(CommandExchange::JudgeAck(reply), int(TransactionResult::Accepted));
    }

    // One read that already holds more than the bound ends the reply at once.
    void oversizedFirstRead()
    {
        BoundsRig rig;
        rig.Trickle(QByteArray(CommandExchange::kMaxReplyBytes + 1, '\x00'), {}, 0, 0);
        const QByteArray reply = rig.session.exchange.Transact(0xE003, {}, CommandExchange::kAckTimeoutMs);
        QCOMPARE(reply.size(), CommandExchange::kMaxReplyBytes + 1);
        QVERIFY(rig.session.exchange.LastReplyCut());
        QCOMPARE(rig.clock.NowMs(), rig.firstByteAt);
    }

    // Narrower bounds (what the end-to-end tests use) apply the same way.
    void narrowedBounds()
    {
        BoundsRig rig;
        rig.session.exchange.SetReplyBounds(CommandExchange::kMaxReplyBytes, 2000);
        rig.Trickle(TestFrames::kAck, Bytes("5A"), 100, 300);
        (void)rig.session.exchange.SetTypeExchange(0xE003, {});
        QVERIFY(rig.session.exchange.LastReplyCut());
        QVERIFY(rig.clock.NowMs() - rig.firstByteAt <= 2000 + 300); // the first byte past the bound cuts
    }
};

DTU_TEST_GUILESS(ReplyBoundsTest)
#include "tst_reply_bounds.moc"
