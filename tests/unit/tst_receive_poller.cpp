// The receive poller, its trace and line assembler, the raw send, the hold
// during a command exchange, and the steps run when a page is shown.
#include "session/DtuSession.h"
#include "ops/PageEntry.h"
#include "core/DtuError.h"
#include "channel/ReceivePoller.h"
#include "support/Hexes.h"
#include "support/ParamRows.h"
#include "support/RecordingFrontend.h"
#include "support/ScriptedTransport.h"
#include "support/TestPaths.h"
#include "support/VirtualClock.h"
#include "support/TestMain.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// A port that fails when read, as a vanished adapter does.
class FailingTransport : public ScriptedTransport {
public:
    using ScriptedTransport::ScriptedTransport;
    QByteArray ReadAvailable() override { throw DtuError(QStringLiteral("read failed")); }
};

ParamRow Row(const QString &number)
{
    return TestRow(number, QStringLiteral("p") + number);
}

} // namespace

class ReceivePollerTest : public QObject {
    Q_OBJECT

    VirtualClock clock_;
    AppState state_;
    DataChannel channel_;
    RecordingFrontend fe_;

private slots:
    void init()
    {
        state_.AccessLevel = 0;
        state_.HexDisplayOn = false;
        state_.ReceivedByteCount = state_.SentByteCount = 0;
        fe_ = RecordingFrontend();
        channel_ = DataChannel();
    }

    void lineText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("hexOn");
        QTest::addColumn<QString>("line");
        QTest::newRow("hex shown") << Bytes("41 42") << true << QStringLiteral("10:15:02 收到数据：{41 42 }AB");
        QTest::newRow("hex hidden") << Bytes("41 42") << false << QStringLiteral("10:15:02 收到数据：AB");
        QTest::newRow("zero shown as 01") << Bytes("41 00 42") << true
                                          << QStringLiteral("10:15:02 收到数据：{41 00 42 }A\u0001B");
        QTest::newRow("GBK text") << Bytes("D6 D0 CE C4") << false << QStringLiteral("10:15:02 收到数据：中文");
    }
    void lineText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, hexOn);
        QFETCH(QString, line);
        QCOMPARE(TLineGet::Line(bytes, hexOn, QTime(10, 15, 2)), line);
    }

    void tickShowsTracesAndCounts_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("traced");
        QTest::newRow("level 0") << 0 << false;
        QTest::newRow("level 1") << 1 << true;
        QTest::newRow("level 2") << 2 << false;
    }
    void tickShowsTracesAndCounts()
    {
        QFETCH(int, level);
        QFETCH(bool, traced);
        ScriptedTransport serial(clock_);
        channel_.SetSerial(&serial);
        ReceivePoller poller(state_, channel_, fe_);
        QSignalSpy counters(&poller, &ReceivePoller::countersChanged);
        state_.AccessLevel = level;
        state_.HexDisplayOn = true;
        state_.SentByteCount = 30;

        serial.Schedule(0, Bytes("AA 55"));
        poller.Tick();
        QCOMPARE(fe_.memo, traced ? QStringList{QStringLiteral("上行：AA 55 ")} : QStringList{});
        QCOMPARE(fe_.transparent.size(), 2);
        QVERIFY(fe_.transparent[0].endsWith(QStringLiteral(" 收到数据：{AA 55 }") + TextFile::FromGbk(Bytes("AA 55"))));
        QCOMPARE(fe_.transparent[1], TextFile::FromGbk(Bytes("AA 55")));

        serial.Schedule(0, QByteArray(10, 'x'));
        poller.Tick();
        QCOMPARE(state_.ReceivedByteCount, 12);
        QCOMPARE(counters.last().at(0).toString(), QStringLiteral("收：12字节，发:30字节"));
        QCOMPARE(poller.LineGet().Buffer(), QByteArray()); // nothing kept
    }

    // The counter is a 32-bit signed number: past 2147483647 it wraps round
    // to the negative range (as the sent counter does) instead of overflowing.
    void receivedCounterWrapsRound()
    {
        ScriptedTransport serial(clock_);
        channel_.SetSerial(&serial);
        ReceivePoller poller(state_, channel_, fe_);
        QSignalSpy counters(&poller, &ReceivePoller::countersChanged);
        state_.ReceivedByteCount = 2147483646;
        serial.Schedule(0, Bytes("41 42 43"));
        poller.Tick();
        QCOMPARE(state_.ReceivedByteCount, -2147483647);
        QCOMPARE(counters.last().at(0).toString(), QStringLiteral("收：-2147483647字节，发:0字节"));
    }

    void quietTickOnlyRefreshesCounters()
    {
        ScriptedTransport serial(clock_);
        channel_.SetSerial(&serial);
        ReceivePoller poller(state_, channel_, fe_);
        QSignalSpy counters(&poller, &ReceivePoller::countersChanged);
        poller.Tick();
        serial.open = false;
        serial.Schedule(0, Bytes("41"));
        poller.Tick(); // closed channel: nothing read
        QVERIFY(fe_.transparent.isEmpty());
        QVERIFY(serial.HasPending());
        QCOMPARE(counters.size(), 2);
        QCOMPARE(counters.last().at(0).toString(), QStringLiteral("收：0字节，发:0字节"));
    }

    void readFailureClosesQuietly()
    {
        FailingTransport serial(clock_);
        channel_.SetSerial(&serial);
        ReceivePoller poller(state_, channel_, fe_);
        int failures = 0;
        poller.SetReadFailureHandler([&] {
            ++failures;
            serial.open = false;
        });
        poller.Tick();
        poller.Tick();
        QCOMPARE(failures, 1);
        QVERIFY(fe_.messages.isEmpty());
        QVERIFY(fe_.errors.isEmpty());
        QVERIFY(fe_.transparent.isEmpty());
    }

    void tcpDataWhileSerialClosed()
    {
        ScriptedTransport serial(clock_), tcp(clock_);
        serial.open = false;
        channel_.SetSerial(&serial);
        channel_.SetTcp(&tcp);
        ReceivePoller poller(state_, channel_, fe_);
        tcp.Schedule(0, "ok");
        poller.Tick();
        QCOMPARE(fe_.transparent.value(1), QStringLiteral("ok"));
    }

    void sendRawTracesAtLevelOneOnly_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("memoLines");
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("1") << 1 << 1;
        QTest::newRow("2") << 2 << 0;
    }
    void sendRawTracesAtLevelOneOnly()
    {
        QFETCH(int, level);
        QFETCH(int, memoLines);
        ScriptedTransport serial(clock_);
        channel_.SetSerial(&serial);
        ReceivePoller poller(state_, channel_, fe_);
        state_.AccessLevel = level;
        poller.SendRaw(Bytes("31 00 0D"));
        QCOMPARE(serial.written, QList<QByteArray>{Bytes("31 00 0D")});
        QCOMPARE(fe_.memo.size(), memoLines);
        if (memoLines)
            QCOMPARE(fe_.memo[0], QStringLiteral("下行：31 00 0D "));
        QCOMPARE(state_.SentByteCount, 0); // callers count
    }

    // The exchange holds the poller for its wait; an activation during the
    // wait takes effect only when the wait ends.
    void exchangeHoldsThePoller()
    {
        VirtualClock clock;
        DtuSession session(fe_, clock);
        QVERIFY(session.script.LoadFile(TestPaths::Example(QStringLiteral("script.js"))));
        ScriptedTransport device(clock);
        device.responder = [&](const QByteArray &) { device.Schedule(20, Bytes("AA 55 00 04 00 F0 00 F4")); };
        session.channel.SetSerial(&device);

        bool enabledDuringWait = false;
        clock.onEvents = [&] { enabledDuringWait |= session.poller.IsEnabled(); };
        QVERIFY(!session.poller.IsEnabled());
        QCOMPARE(session.exchange.SetTypeExchange(0x0030, Bytes("31")), 0);
        QVERIFY(!enabledDuringWait);
        QVERIFY(!session.poller.IsEnabled()); // never enabled: stays off

        session.poller.SetEnabled(true);
        QCOMPARE(session.exchange.SetTypeExchange(0x0030, Bytes("31")), 0);
        QVERIFY(!enabledDuringWait);
        QVERIFY(session.poller.IsEnabled());

        session.poller.SetEnabled(false);
        clock.onEvents = [&] {
            session.poller.SetEnabled(true); // the window activates meanwhile
            enabledDuringWait |= session.poller.IsEnabled();
        };
        QCOMPARE(session.exchange.SetTypeExchange(0x0030, Bytes("31")), 0);
        QVERIFY(!enabledDuringWait);
        QVERIFY(session.poller.IsEnabled());
        QCOMPARE(session.poller.Timer().Interval(), 100);
        QCOMPARE(session.poller.Timer().Name(), QStringLiteral("Timer1"));
    }

    void pageSteps_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("listEmptied");
        QTest::addColumn<int>("mainRow");
        QTest::addColumn<int>("extRow");
        QTest::addColumn<int>("channel");
        QTest::newRow("main, cancel") << int(Page::Main) << false << true << 0 << -1 << 1;
        QTest::newRow("transparent, cancel") << int(Page::Transparent) << false << false << -1 << -1 << 1;
        QTest::newRow("control, cancel") << int(Page::Control) << false << false << -1 << -1 << 1;
        QTest::newRow("extended, cancel") << int(Page::Extended) << false << true << -1 << 0 << 0;
        QTest::newRow("main, OK") << int(Page::Main) << true << true << 0 << -1 << 1;
        QTest::newRow("transparent, OK") << int(Page::Transparent) << true << false << -1 << -1 << 1;
    }
    void pageSteps()
    {
        QFETCH(int, page);
        QFETCH(bool, answer);
        QFETCH(bool, listEmptied);
        QFETCH(int, mainRow);
        QFETCH(int, extRow);
        QFETCH(int, channel);
        DtuSession session(fe_);
        session.mainTable.AppendRow(Row(QStringLiteral("0030")));
        session.mainTable.AppendRow(Row(QStringLiteral("0031")));
        session.extTable.AppendRow(Row(QStringLiteral("0100")));
        session.state.ExtPageVisible = true;
        session.state.MainParamChannel = 1;
        session.state.CurrentParamChannel = -1;
        session.state.ModifiedParamList.Add(QStringLiteral("0031"));
        QSignalSpy modified(&session.state, &AppState::modifiedChanged);
        fe_.answers.push_back(answer);

        PageEntry::OnPageShown(session, Page(page));
        QCOMPARE(fe_.questions, QStringList{QStringLiteral("您修改了参数，请问需要写入吗？")});
        QCOMPARE(session.state.ModifiedParamList.IsEmpty(), listEmptied);
        QCOMPARE(modified.isEmpty(), !listEmptied);
        QCOMPARE(session.mainTable.CurrentRow(), mainRow);
        QCOMPARE(session.extTable.CurrentRow(), extRow);
        // The channel is remembered even though nothing can be sent.
        QCOMPARE(session.state.CurrentParamChannel, channel);
        // OK runs the write, which finds the channel closed and says so.
        QCOMPARE(fe_.messages, answer ? QStringList{DtuSession::ChannelClosedText()} : QStringList{});
    }

    void noQuestionWithoutEdits()
    {
        DtuSession session(fe_);
        PageEntry::OnPageShown(session, Page::Main);
        QVERIFY(fe_.questions.isEmpty());
        QCOMPARE(session.mainTable.CurrentRow(), -1); // an empty table has no row to select
    }
};

DTU_TEST_GUILESS(ReceivePollerTest)
#include "tst_receive_poller.moc"
