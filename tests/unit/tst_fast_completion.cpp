// Fast reply completion in virtual time. Every reply shape is collected once
// in the standard mode and once in the fast mode: the verdicts must agree,
// only the end of the wait moves, and the fast mode may only cut a reply at a
// complete, valid frame followed by a quiet gap.
#include "ops/ParamReader.h"
#include "protocol/CommandExchange.h"
#include "protocol/FrameCodec.h"
#include "support/Frames.h"
#include "support/ParamRows.h"
#include "support/VirtualRig.h"
#include "support/TestMain.h"

#include <QTest>

using Chunks = QList<QPair<int, QByteArray>>; // (ms after the request, bytes)
Q_DECLARE_METATYPE(Chunks)

namespace {

// A parameter reply: one record, 0031 = 1F 90.
const QByteArray kReadReply = TestFrames::Frame(0xE101, TestFrames::Record(0x0031, Bytes("1F 90")));

struct FastOutcome {
    QByteArray reply;    // what the exchange collected
    QByteArray leftover; // what stayed in the channel
    qint64 endsAt = 0;   // virtual ms after the request
};

struct FastRig : VirtualRig {
    FastRig(bool fast, const Chunks &chunks)
    {
        session.exchange.SetFastCompletion(fast);
        session.state.MainParamChannel = 1;
        session.state.CurrentParamChannel = 1;
        device.responder = [this, chunks](const QByteArray &) {
            for (const auto &c : chunks)
                device.Schedule(c.first, c.second);
        };
    }
    FastOutcome Exchange(int firstByteTimeoutMs = CommandExchange::kAckTimeoutMs)
    {
        FastOutcome o;
        o.reply = session.exchange.Transact(0xE003, {}, firstByteTimeoutMs);
        o.endsAt = clock.NowMs();
        clock.Advance(100000);
        o.leftover = device.ReadAvailable();
        return o;
    }
    // Reads row 0031 of a one-row table; returns the last memo line.
    QString Read()
    {
        session.mainTable.AppendRow(TestRow(QStringLiteral("0031"), QStringLiteral("中心端口")).Hex(QStringLiteral("HEX:00")));
        ParamReader::ReadParamGroup(session, session.mainTable, Bytes("00 31"));
        return fe.memo.value(fe.memo.size() - 1);
    }
};

} // namespace

class FastCompletionTest : public QObject {
    Q_OBJECT
private slots:
    // Acknowledgements: same verdict in both modes, the fast end where a
    // complete frame was followed by 30 ms of silence, the standard 410 ms
    // rule wherever the bytes are not (yet) a complete valid frame.
    void acknowledgement_data()
    {
        QTest::addColumn<Chunks>("chunks");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("standardEnd");
        QTest::addColumn<int>("fastEnd");
        QTest::addColumn<QByteArray>("fastLeaves");
        const QByteArray none;

        QTest::newRow("healthy") << Chunks{{20, TestFrames::kAck}} << 0 << 20 + 410 << 20 + 30 << none;
        QTest::newRow("refused") << Chunks{{20, Bytes("AA 55 00 04 00 F1 00 F5")}} << -1 << 430 << 50 << none;
        // Complete and valid although no acknowledgement: the judge decides.
        QTest::newRow("length 5") << Chunks{{20, Bytes("AA 55 00 05 00 F0 01 00 F6")}} << -2 << 430 << 50 << none;
        QTest::newRow("stray before, same piece") << Chunks{{20, Bytes("13 00") + TestFrames::kAck}} << 0 << 430 << 50 << none;
        QTest::newRow("stray before, own piece") << Chunks{{20, Bytes("13")}, {100, TestFrames::kAck}} << 0 << 510 << 130
                                                 << none;
        // A false header first: the length it announces is never reached.
        QTest::newRow("false header before") << Chunks{{20, Bytes("AA 55 FF")}, {40, TestFrames::kAck}} << -4 << 450 << 450
                                             << none;
        QTest::newRow("after, same piece") << Chunks{{20, TestFrames::kAck + Bytes("77")}} << 0 << 430 << 50 << none;
        QTest::newRow("after, 20 ms later") << Chunks{{20, TestFrames::kAck}, {40, Bytes("77")}} << 0 << 450 << 70 << none;
        QTest::newRow("after, 30 ms later") << Chunks{{20, TestFrames::kAck}, {50, Bytes("77")}} << 0 << 460 << 80 << none;
        QTest::newRow("after, 40 ms later") << Chunks{{20, TestFrames::kAck}, {60, Bytes("77")}} << 0 << 470 << 50
                                            << Bytes("77");
        QTest::newRow("after, 20 ms apart twice")
            << Chunks{{20, TestFrames::kAck}, {40, Bytes("77")}, {60, Bytes("88")}} << 0 << 470 << 90 << none;
        QTest::newRow("pieces 300 ms apart")
            << Chunks{{20, Bytes("AA 55 00")}, {320, Bytes("04 00 F0")}, {620, Bytes("00 F4")}} << 0 << 1030 << 650
            << none;
        QTest::newRow("byte by byte, 300 ms apart")
            << Chunks{{20, Bytes("AA")}, {320, Bytes("55")}, {620, Bytes("00 04 00 F0 00 F4")}} << 0 << 1030 << 650
            << none;
        QTest::newRow("cut short") << Chunks{{20, Bytes("AA 55 00 04 00 F0")}} << -4 << 430 << 430 << none;
        QTest::newRow("bad checksum") << Chunks{{20, Bytes("AA 55 00 04 00 F0 00 F5")}} << -4 << 430 << 430 << none;
        QTest::newRow("length beyond the bytes") << Chunks{{20, Bytes("AA 55 00 06 00 F0 00 F4")}} << -4 << 430
                                                 << 430 << none;
        QTest::newRow("garbage only") << Chunks{{20, Bytes("01 02 03")}} << -3 << 430 << 430 << none;
        QTest::newRow("swapped header") << Chunks{{20, Bytes("55 AA 00 04 00 F0 00 F4")}} << -3 << 430 << 430
                                        << none;
        QTest::newRow("silence") << Chunks{} << -2 << 3000 << 3000 << none;
        QTest::newRow("first byte after the time-out")
            << Chunks{{3100, TestFrames::kAck}} << -2 << 3000 << 3000 << TestFrames::kAck;
    }
    void acknowledgement()
    {
        QFETCH(Chunks, chunks);
        QFETCH(int, result);
        QFETCH(int, standardEnd);
        QFETCH(int, fastEnd);
        QFETCH(QByteArray, fastLeaves);

        FastRig standardRig(false, chunks);
        const FastOutcome standard = standardRig.Exchange();
        QCOMPARE(CommandExchange::JudgeAck(standard.reply), result);
        QCOMPARE(standard.endsAt, standardEnd);

        FastRig fastRig(true, chunks);
        const FastOutcome fast = fastRig.Exchange();
        QCOMPARE(CommandExchange::JudgeAck(fast.reply), result);
        QCOMPARE(fast.endsAt, fastEnd);
        QCOMPARE(fast.leftover, fastLeaves);
        // Nothing lost, nothing reordered: only the cut may differ.
        QCOMPARE(fast.reply + fast.leftover, standard.reply + standard.leftover);
    }

    // The first-byte time-outs of every reader stay as they are.
    void firstByteTimeouts_data()
    {
        QTest::addColumn<int>("timeout");
        QTest::newRow("ack") << int(CommandExchange::kAckTimeoutMs);
        QTest::newRow("data") << int(CommandExchange::kDataTimeoutMs);
        QTest::newRow("signal") << int(CommandExchange::kSignalTimeoutMs);
    }
    void firstByteTimeouts()
    {
        QFETCH(int, timeout);
        FastRig rig(true, {});
        rig.session.state.AccessLevel = 1;
        const FastOutcome o = rig.Exchange(timeout);
        QVERIFY(o.reply.isEmpty());
        QCOMPARE(o.endsAt, timeout);
        QCOMPARE(rig.fe.memo.size(), 1); // "下行：" only
        // A first byte just inside the time-out still starts a reply.
        FastRig late(true, {{timeout - 10, TestFrames::kAck}});
        QCOMPARE(late.Exchange(timeout).reply, TestFrames::kAck);
    }

    // Parameter reads check the checksum over everything received, so bytes
    // after the frame fail them; in the fast mode too, as long as the bytes
    // come within the quiet gap.
    void parameterRead_data()
    {
        QTest::addColumn<Chunks>("chunks");
        QTest::addColumn<QString>("standardLine");
        QTest::addColumn<QString>("fastLine");
        const QString done = QStringLiteral("[参数读取完毕]");
        const QString badSum = QStringLiteral("[参数读取失败，返回数据包校验错！]");
        const QByteArray head = kReadReply.left(5);
        const QByteArray tail = kReadReply.mid(5);

        QTest::newRow("healthy") << Chunks{{20, kReadReply}} << done << done;
        QTest::newRow("stray before") << Chunks{{20, Bytes("13 00") + kReadReply}} << done << done;
        QTest::newRow("after, same piece") << Chunks{{20, kReadReply + Bytes("77")}} << badSum << badSum;
        QTest::newRow("after, 20 ms later") << Chunks{{20, kReadReply}, {40, Bytes("77")}} << badSum << badSum;
        // Past the quiet gap the byte is no longer part of this reply; it
        // stays in the channel for the poller or the next exchange.
        QTest::newRow("after, 100 ms later") << Chunks{{20, kReadReply}, {120, Bytes("77")}} << badSum << done;
        QTest::newRow("pieces 300 ms apart") << Chunks{{20, head}, {320, tail}} << done << done;
        QTest::newRow("silence") << Chunks{} << QStringLiteral("[参数读取失败，设备无响应！]")
                                 << QStringLiteral("[参数读取失败，设备无响应！]");
        QTest::newRow("garbage only") << Chunks{{20, Bytes("01 02 03")}}
                                      << QStringLiteral("[参数读取失败，返回数据包头非法！]")
                                      << QStringLiteral("[参数读取失败，返回数据包头非法！]");
    }
    void parameterRead()
    {
        QFETCH(Chunks, chunks);
        QFETCH(QString, standardLine);
        QFETCH(QString, fastLine);
        FastRig standard(false, chunks);
        QCOMPARE(standard.Read(), standardLine);
        FastRig fast(true, chunks);
        QCOMPARE(fast.Read(), fastLine);
        if (fastLine == QLatin1String("[参数读取完毕]"))
            QCOMPARE(fast.session.mainTable.Cell(0, ColHex), QStringLiteral("HEX:1F90"));
    }

    // A complete frame already waiting before the request (a late second
    // frame of an earlier answer) must not end the reply early: the answer
    // to this request would then pass for the answer to the next one, and a
    // refusal would be reported against the wrong row.
    void frameLeftFromBefore_data()
    {
        QTest::addColumn<bool>("fast");
        QTest::newRow("standard") << false;
        QTest::newRow("fast") << true;
    }
    void frameLeftFromBefore()
    {
        QFETCH(bool, fast);
        const QByteArray refuse = Bytes("AA 55 00 04 00 F1 00 F5");
        FastRig rig(fast, {});
        QList<QByteArray> answers{refuse, TestFrames::kAck};
        rig.device.responder = [&](const QByteArray &) { rig.device.Schedule(40, answers.takeFirst()); };
        rig.device.Schedule(0, TestFrames::kAck); // left over
        const int first = rig.session.exchange.SetTypeExchange(0xE003, {});
        const qint64 firstEnd = rig.clock.NowMs();
        const int second = rig.session.exchange.SetTypeExchange(0xE003, {});
        // The leftover and this request's answer are one reply, as in the
        // standard mode; the next exchange gets its own answer.
        QCOMPARE(first, 0);
        QCOMPARE(firstEnd, 40 + 410);
        QCOMPARE(second, 0);
        QCOMPARE(rig.clock.NowMs() - firstEnd, fast ? 40 + 30 : 40 + 410);
        QVERIFY(!rig.device.HasPending());
    }

    // Switching the mode between exchanges takes effect at the next one.
    void switchedBetweenExchanges()
    {
        FastRig rig(false, {{20, TestFrames::kAck}});
        QCOMPARE(rig.Exchange().endsAt, 430);
        rig.session.exchange.SetFastCompletion(true);
        const qint64 start = rig.clock.NowMs();
        rig.session.exchange.SetTypeExchange(0xE003, {});
        QCOMPARE(rig.clock.NowMs() - start, 50);
        rig.session.exchange.SetFastCompletion(false);
        const qint64 again = rig.clock.NowMs();
        rig.session.exchange.SetTypeExchange(0xE003, {});
        QCOMPARE(rig.clock.NowMs() - again, 430);
    }
};

DTU_TEST_GUILESS(FastCompletionTest)
#include "tst_fast_completion.moc"
