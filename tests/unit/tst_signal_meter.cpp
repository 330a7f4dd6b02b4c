// The signal meter's reading of CSQ values, its ten-minute history, and the
// monitor's polls against a scripted device: one action at a time, and an
// end when the channel closes.
#include "ops/SignalMeter.h"
#include "ops/SignalMonitor.h"
#include "session/ActionScope.h"
#include "support/Frames.h"
#include "support/TestMain.h"
#include "support/VirtualRig.h"

#include <QSignalSpy>
#include <QTest>

namespace {
const QByteArray kSignalRequest = Bytes("AA 55 00 04 E0 23 01 07");

// A poll's exchange ends 410 ms after the device's answer, which comes
// 20 ms after the request; the next poll is due an interval after that.
constexpr int kPollMs = 20 + 410;

// The monitor under test with its queue, on the kit's rig, whose device
// answers each signal request with the next CSQ given.
struct Monitored {
    Monitored(VirtualRig &rig, std::initializer_list<int> csq) : dispatcher(rig.session), monitor(rig.session, dispatcher)
    {
        rig.AnswerEveryFrame({}, 20);
        for (int value : csq)
            rig.next << TestFrames::ByteReply(0xE023, quint8(value));
    }
    ActionDispatcher dispatcher;
    SignalMonitor monitor;
};
} // namespace

class SignalMeterTest : public QObject {
    Q_OBJECT
private slots:
    void scale_data()
    {
        QTest::addColumn<int>("csq");
        QTest::addColumn<QString>("dbm");
        QTest::addColumn<QString>("word");
        QTest::newRow("0") << 0 << "-113 dBm" << "无信号";
        QTest::newRow("1") << 1 << "-111 dBm" << "无信号";
        QTest::newRow("2") << 2 << "-109 dBm" << "差";
        QTest::newRow("9") << 9 << "-95 dBm" << "差";
        QTest::newRow("10") << 10 << "-93 dBm" << "一般";
        QTest::newRow("14") << 14 << "-85 dBm" << "一般";
        QTest::newRow("15") << 15 << "-83 dBm" << "良好";
        QTest::newRow("19") << 19 << "-75 dBm" << "良好";
        QTest::newRow("20") << 20 << "-73 dBm" << "很好";
        QTest::newRow("31") << 31 << "-51 dBm" << "很好";
        QTest::newRow("99 unknown") << 99 << "未知" << "未知";
        QTest::newRow("32 out of range") << 32 << "未知" << "未知";
        QTest::newRow("255") << 255 << "未知" << "未知";
    }
    void scale()
    {
        QFETCH(int, csq);
        QFETCH(QString, dbm);
        QFETCH(QString, word);
        QCOMPARE(SignalMeter::DbmText(csq), dbm);
        QCOMPARE(SignalMeter::QualityWord(SignalMeter::QualityOf(csq)), word);
    }

    void historyKeepsTenMinutes()
    {
        SignalHistory history;
        history.Add(0, 10);
        history.Add(300'000, 99);
        history.Add(600'000, 12); // exactly ten minutes after the first: kept
        QCOMPARE(history.Samples().size(), size_t(3));
        history.Add(600'001, 14);
        QCOMPARE(history.Samples().size(), size_t(3));
        QCOMPARE(history.Samples().front().msecs, 300'000);
        QCOMPARE(history.Samples().back().csq, 14);
    }

    // Each poll sends the button's signal request and records what came
    // back, a failed poll as -1; the first poll runs as soon as time moves,
    // each next one an interval (5 s) after the previous one ended, with the
    // time it ended in the history.
    void pollsRecordReadings()
    {
        VirtualRig rig;
        Monitored m(rig, {17, 99, 5});
        QSignalSpy readings(&m.monitor, &SignalMonitor::reading);
        QObject::connect(&m.monitor, &SignalMonitor::reading, [&] {
            if (readings.size() == 4) // the fourth finds the device silent
                m.monitor.Stop();
        });
        QCOMPARE(m.monitor.IntervalSeconds(), 5);
        m.monitor.Start();
        QVERIFY(readings.isEmpty());
        // The queue hands the waiting poll on from the event loop.
        rig.clock.Advance(0);
        QTRY_COMPARE(readings.size(), 1);
        QCOMPARE(rig.clock.NowMs(), kPollMs);
        rig.clock.Advance(4999);
        QCOMPARE(readings.size(), 1);
        rig.clock.Advance(1);
        QCOMPARE(readings.size(), 2);
        rig.clock.Advance(2 * (5000 + 10000));
        QCOMPARE(readings.size(), 4);
        rig.clock.Advance(10 * 60 * 1000); // stopped: nothing more, however long
        QCOMPARE(readings.size(), 4);
        QCOMPARE(rig.device.written.first(), kSignalRequest);
        QCOMPARE(rig.device.written.size(), 4);
        QList<int> csqs;
        QList<qint64> times;
        for (const SignalSample &s : m.monitor.History().Samples()) {
            csqs << s.csq;
            times << s.msecs;
        }
        QCOMPARE(csqs, (QList<int>{17, 99, 5, -1}));
        // Each reading when its poll ended; the silent one after its 10 s wait.
        const qint64 p = kPollMs;
        QCOMPARE(times, (QList<qint64>{p, 5000 + 2 * p, 10000 + 3 * p, 15000 + 3 * p + 10000}));
    }

    // The interval is 2 to 60 seconds; a value outside is taken to the
    // nearest end, and it counts from the end of the previous poll.
    void intervalBounds()
    {
        VirtualRig rig;
        Monitored m(rig, {20, 21, 22, 23});
        QSignalSpy readings(&m.monitor, &SignalMonitor::reading);
        m.monitor.SetIntervalSeconds(1);
        QCOMPARE(m.monitor.IntervalSeconds(), 2);
        m.monitor.Start();
        rig.clock.Advance(0);
        rig.clock.Advance(1999);
        QCOMPARE(readings.size(), 1);
        rig.clock.Advance(1);
        QCOMPARE(readings.size(), 2);
        m.monitor.SetIntervalSeconds(61);
        QCOMPARE(m.monitor.IntervalSeconds(), 60);
        rig.clock.Advance(1999); // the wait under way keeps its 2 s
        QCOMPARE(readings.size(), 2);
        rig.clock.Advance(1);
        QCOMPARE(readings.size(), 3);
        rig.clock.Advance(59'999);
        QCOMPARE(readings.size(), 3);
        rig.clock.Advance(1);
        QCOMPARE(readings.size(), 4);
    }

    // A poll due while another action runs waits for its end, however long
    // it takes, and runs as soon as it ends.
    void pollWaitsForRunningAction()
    {
        VirtualRig rig;
        Monitored m(rig, {20});
        QSignalSpy readings(&m.monitor, &SignalMonitor::reading);
        {
            ActionScope other(rig.session);
            m.monitor.Start();
            rig.clock.Advance(60'000);
            QVERIFY(rig.device.written.isEmpty());
            QVERIFY(readings.isEmpty());
        }
        QVERIFY(readings.isEmpty());
        // The queue hands the waiting poll on from the event loop.
        rig.clock.Advance(0);
        QTRY_COMPARE(readings.size(), 1);
        QCOMPARE(readings.first().first().toInt(), 20);
    }

    // The polls share the window's queue with presses: a press that came
    // before the poll fell due runs before it, one that came after runs
    // after it.
    void pollKeepsItsPlaceInTheQueue()
    {
        VirtualRig rig;
        Monitored m(rig, {20});
        QStringList order;
        QObject::connect(&m.monitor, &SignalMonitor::reading, [&] {
            order << QStringLiteral("poll");
            m.monitor.Stop();
        });
        {
            ActionScope other(rig.session);
            m.dispatcher.Submit({.action = [&] { order << QStringLiteral("earlier press"); }});
            m.monitor.Start();
            rig.clock.Advance(0);
            QTRY_COMPARE(m.dispatcher.Waiting(), 2); // the poll fell due and waits
            m.dispatcher.Submit({.action = [&] { order << QStringLiteral("later press"); }});
        }
        QTRY_COMPARE(order.size(), 3);
        QCOMPARE(order, (QStringList{"earlier press", "poll", "later press"}));
        QCOMPARE(rig.device.written, QList<QByteArray>{kSignalRequest});
    }

    // A waiting poll is forgotten when monitoring stops (so a restart polls
    // once, not twice); one whose channel closed while it waited ends
    // monitoring without sending or asking anything.
    void waitingPollChecksAgainAtItsTurn()
    {
        VirtualRig rig;
        Monitored m(rig, {20, 20, 20});
        QSignalSpy readings(&m.monitor, &SignalMonitor::reading);
        QSignalSpy stopped(&m.monitor, &SignalMonitor::stopped);
        {
            ActionScope other(rig.session);
            m.monitor.Start();
            rig.clock.Advance(0);
            QTRY_COMPARE(m.dispatcher.Waiting(), 1);
            m.monitor.Stop();
            QCOMPARE(m.dispatcher.Waiting(), 0);
        }
        QTest::qWait(30);
        QVERIFY(rig.device.written.isEmpty());

        // Stopped and started again while its poll waited: one poll, not two.
        m.monitor.SetIntervalMs(60'000);
        {
            ActionScope other(rig.session);
            m.monitor.Start();
            rig.clock.Advance(0);
            QTRY_COMPARE(m.dispatcher.Waiting(), 1);
            m.monitor.Stop();
            m.monitor.Start();
            rig.clock.Advance(0);
            QTRY_COMPARE(m.dispatcher.Waiting(), 1);
        }
        QTRY_COMPARE(readings.size(), 1);
        QTest::qWait(30);
        QCOMPARE(readings.size(), 1);
        QCOMPARE(rig.device.written.size(), 1);
        m.monitor.Stop();
        rig.device.written.clear();
        readings.clear();

        {
            ActionScope other(rig.session);
            m.monitor.Start();
            rig.clock.Advance(0);
            QTRY_COMPARE(m.dispatcher.Waiting(), 1);
            rig.device.open = false;
        }
        QTRY_COMPARE(stopped.size(), 1);
        QCOMPARE(stopped.first().first().toString(), DtuSession::ChannelClosedText());
        QVERIFY(!m.monitor.IsRunning());
        QVERIFY(rig.device.written.isEmpty());
        QVERIFY(readings.isEmpty());
        QVERIFY(rig.fe.messages.isEmpty());
    }

    void stopsWhenChannelCloses()
    {
        VirtualRig rig;
        Monitored m(rig, {20, 20, 20});
        QSignalSpy readings(&m.monitor, &SignalMonitor::reading);
        QSignalSpy stopped(&m.monitor, &SignalMonitor::stopped);
        m.monitor.Start();
        rig.clock.Advance(0);
        QCOMPARE(readings.size(), 1);
        rig.device.open = false;
        rig.clock.Advance(5000);
        QCOMPARE(stopped.size(), 1);
        QCOMPARE(stopped.first().first().toString(), DtuSession::ChannelClosedText());
        QVERIFY(!m.monitor.IsRunning());
        rig.clock.Advance(60'000);
        QCOMPARE(readings.size(), 1);
        QCOMPARE(rig.device.written.size(), 1);
    }
};

DTU_TEST_GUILESS(SignalMeterTest)
#include "tst_signal_meter.moc"
