// The scheduler every timer of the library runs on: the virtual one fires
// timers in time order and only when moved, the real one on the event loop,
// the timer handle on either, and the default a session takes.
#include "core/RealScheduler.h"
#include "core/ScheduledTimer.h"
#include "support/VirtualScheduler.h"
#include "session/DtuSession.h"
#include "support/RecordingFrontend.h"
#include "support/TestMain.h"

#include <QTest>
#include <QTimer>

class SchedulerTest : public QObject {
    Q_OBJECT
private slots:
    // Timers fire in the order they fall due, those due together in the
    // order they were armed, and none before its time.
    void virtualFiresInDueOrder()
    {
        VirtualScheduler s(1000);
        QStringList fired;
        s.Arm(30, [&] { fired << QStringLiteral("c30@%1").arg(s.NowMs()); });
        s.Arm(10, [&] { fired << QStringLiteral("a10@%1").arg(s.NowMs()); });
        s.Arm(10, [&] { fired << QStringLiteral("b10@%1").arg(s.NowMs()); });
        s.Arm(31, [&] { fired << QStringLiteral("d31"); });
        s.Advance(9);
        QVERIFY(fired.isEmpty());
        QCOMPARE(s.NowMs(), 1009);
        s.Advance(21);
        QCOMPARE(fired, (QStringList{"a10@1010", "b10@1010", "c30@1030"}));
        QCOMPARE(s.NowMs(), 1030);
        QCOMPARE(s.ArmedCount(), 1);
        s.Advance(1);
        QCOMPARE(fired.last(), QStringLiteral("d31"));
        QCOMPARE(s.ArmedCount(), 0);
        s.Advance(-5); // time never goes back
        QCOMPARE(s.NowMs(), 1031);
    }

    // A timer a callback arms fires in the same advance when it falls due
    // within it; one due later waits. A 0 ms timer fires at the next advance,
    // even of 0 ms.
    void virtualArmedDuringAdvance()
    {
        VirtualScheduler s;
        QList<qint64> at;
        s.Arm(10, [&] {
            at << s.NowMs();
            s.Arm(5, [&] { at << s.NowMs(); });
            s.Arm(50, [&] { at << s.NowMs(); });
        });
        s.Advance(20);
        QCOMPARE(at, (QList<qint64>{10, 15}));
        s.Arm(0, [&] { at << -1; });
        QCOMPARE(at.size(), 2);
        s.Advance(0);
        QCOMPARE(at.last(), -1);
        s.Advance(40);
        QCOMPARE(at.last(), 60);
    }

    // A repeating timer fires once per interval until cancelled, also from
    // its own callback; cancelling twice or a fired id is harmless.
    void virtualRepeatAndCancel()
    {
        VirtualScheduler s;
        QList<qint64> at;
        Scheduler::TimerId id = 0;
        id = s.Arm(100, [&] {
            at << s.NowMs();
            if (at.size() == 3)
                s.Cancel(id);
        }, true);
        s.Advance(1000);
        QCOMPARE(at, (QList<qint64>{100, 200, 300}));
        s.Cancel(id);
        const Scheduler::TimerId once = s.Arm(1, [&] { at << 0; });
        s.Advance(1);
        s.Cancel(once);
        s.Cancel(0);
        QCOMPARE(at.size(), 4);
        QCOMPARE(s.ArmedCount(), 0);

        // Cancelled before it is due: never fires.
        const Scheduler::TimerId gone = s.Arm(10, [&] { at << -1; });
        s.Advance(5);
        s.Cancel(gone);
        s.Advance(100);
        QCOMPARE(at.size(), 4);
    }

    // A callback that sleeps (an exchange waiting for its reply) moves time
    // on inside the advance: what falls due meanwhile fires inside it, late
    // timers fire late, and the outer advance ends no earlier than asked.
    void virtualNestedSleep()
    {
        VirtualScheduler s;
        QStringList fired;
        s.Arm(10, [&] {
            fired << QStringLiteral("wait@%1").arg(s.NowMs());
            s.Sleep(100);
            fired << QStringLiteral("woke@%1").arg(s.NowMs());
        });
        s.Arm(50, [&] { fired << QStringLiteral("during@%1").arg(s.NowMs()); });
        s.Arm(60, [&] { fired << QStringLiteral("late@%1").arg(s.NowMs()); });
        s.Advance(20);
        QCOMPARE(fired, (QStringList{"wait@10", "during@50", "late@60", "woke@110"}));
        QCOMPARE(s.NowMs(), 110);
        s.Sleep(15);
        QCOMPARE(s.NowMs(), 125);
    }

    // The handle: single shot is inactive once fired and may start again
    // from its callback; Start restarts the wait; a repeating one keeps its
    // interval; a destroyed one never fires.
    void timerHandle()
    {
        VirtualScheduler s;
        int shots = 0;
        ScheduledTimer once(s, QStringLiteral("once"));
        once.SetSingleShot(true);
        once.OnTimeout([&] {
            ++shots;
            QVERIFY(!once.IsActive());
            if (shots == 1)
                once.Start(40);
        });
        once.Start(20);
        QVERIFY(once.IsActive());
        s.Advance(15);
        once.Start(); // restarts: due 20 ms from now
        s.Advance(10);
        QCOMPARE(shots, 0);
        s.Advance(10);
        QCOMPARE(shots, 1);
        QVERIFY(once.IsActive());
        s.Advance(40);
        QCOMPARE(shots, 2);
        QVERIFY(!once.IsActive());
        QCOMPARE(once.Name(), QStringLiteral("once"));

        int ticks = 0;
        ScheduledTimer repeating(s);
        repeating.OnTimeout([&] { ++ticks; });
        repeating.Start(25);
        s.Advance(100);
        QCOMPARE(ticks, 4);
        QCOMPARE(repeating.Interval(), 25);
        repeating.Stop();
        s.Advance(100);
        QCOMPARE(ticks, 4);

        int orphan = 0;
        {
            ScheduledTimer gone(s);
            gone.OnTimeout([&] { ++orphan; });
            gone.Start(10);
        }
        s.Advance(100);
        QCOMPARE(orphan, 0);
        QCOMPARE(s.ArmedCount(), 0);
    }

    // The owner of a timer may go away inside the timer's own callback.
    void ownerDestroyedInCallback()
    {
        VirtualScheduler s;
        auto owned = std::make_unique<ScheduledTimer>(s);
        bool ran = false;
        owned->OnTimeout([&] {
            owned.reset();
            ran = true;
        });
        owned->Start(10);
        s.Advance(50);
        QVERIFY(ran);
        QCOMPARE(s.ArmedCount(), 0);
    }

    // The real scheduler fires on the event loop: a single shot once, a
    // repeating one until stopped, and its Sleep lets other timers fire
    // while it waits. (Only lower bounds on real time: they hold however
    // busy the machine is.)
    void realOnTheEventLoop()
    {
        RealScheduler s;
        int once = 0, ticks = 0;
        s.Arm(1, [&] { ++once; });
        const Scheduler::TimerId repeat = s.Arm(1, [&] { ++ticks; }, true);
        QTRY_VERIFY(once == 1 && ticks >= 3);
        s.Cancel(repeat);
        const int stoppedAt = ticks;
        int during = 0;
        s.Arm(1, [&] { ++during; });
        const qint64 before = s.NowMs();
        s.Sleep(30);
        QVERIFY(s.NowMs() - before >= 30);
        QCOMPARE(during, 1);
        QCOMPARE(ticks, stoppedAt);
        QCOMPARE(once, 1);

        ScheduledTimer handle(s);
        handle.SetSingleShot(true);
        int fired = 0;
        handle.OnTimeout([&] { ++fired; });
        handle.Start(1);
        QTRY_COMPARE(fired, 1);
        QVERIFY(!handle.IsActive());
        handle.Start(1);
        handle.Stop();
        s.Sleep(20);
        QCOMPARE(fired, 1);
    }

    // A wakeable sleep ends at the moment a callback wakes it, the timers due
    // later still armed; unwoken it runs its full length. A wake outside such
    // a sleep is not kept for the next one, a plain Sleep is never cut, and
    // a wake ends only the innermost of two wakeable sleeps.
    void virtualSleepUntilWoken()
    {
        VirtualScheduler s;
        QStringList fired;
        s.Arm(30, [&] { fired << QStringLiteral("wake@%1").arg(s.NowMs()); s.Wake(); });
        s.Arm(60, [&] { fired << QStringLiteral("later@%1").arg(s.NowMs()); });
        QVERIFY(s.SleepUntilWoken(100));
        QCOMPARE(s.NowMs(), 30);
        QCOMPARE(fired, QStringList{"wake@30"});
        QVERIFY(!s.SleepUntilWoken(100));
        QCOMPARE(s.NowMs(), 130);
        QCOMPARE(fired.last(), QStringLiteral("later@60"));

        s.Wake();
        QVERIFY(!s.SleepUntilWoken(10));
        QCOMPARE(s.NowMs(), 140);
        s.Arm(5, [&] { s.Wake(); });
        s.Sleep(20);
        QCOMPARE(s.NowMs(), 160);

        s.Arm(10, [&] {
            const bool inner = s.SleepUntilWoken(50);
            fired << QStringLiteral("inner %1@%2").arg(int(inner)).arg(s.NowMs());
        });
        s.Arm(40, [&] { s.Wake(); });
        QVERIFY(!s.SleepUntilWoken(100));
        QCOMPARE(s.NowMs(), 260);
        QCOMPARE(fired.last(), QStringLiteral("inner 1@200"));
    }

    // On the event loop a wake ends the sleep before a timer due long after
    // it; paced virtual time is woken by the real loop's events the same way.
    // (Orders of events only, no durations.)
    void realSleepUntilWoken()
    {
        RealScheduler s;
        bool lateFired = false;
        const Scheduler::TimerId late = s.Arm(20000, [&] { lateFired = true; });
        QTimer::singleShot(0, [&] { s.Wake(); });
        QVERIFY(s.SleepUntilWoken(30000));
        QVERIFY(!lateFired);
        s.Cancel(late);

        VirtualScheduler paced;
        paced.SetPaced(true);
        paced.Arm(20000, [&] { lateFired = true; });
        QTimer::singleShot(0, [&] { paced.Wake(); });
        QVERIFY(paced.SleepUntilWoken(30000));
        QVERIFY(!lateFired);
        QCOMPARE(paced.ArmedCount(), 1);
    }

    // A session takes the default scheduler when built, the real one unless
    // a test has put another in its place; one given explicitly wins.
    void sessionsTakeTheDefault()
    {
        RecordingFrontend fe;
        VirtualScheduler virt;
        {
            DefaultSchedulerScope scope(virt);
            QCOMPARE(&Scheduler::Default(), static_cast<Scheduler *>(&virt));
            DtuSession session(fe);
            QCOMPARE(&session.scheduler, static_cast<Scheduler *>(&virt));
            // The poller ticks on it.
            session.poller.SetEnabled(true);
            QCOMPARE(virt.ArmedCount(), 1);
        }
        QCOMPARE(&Scheduler::Default(), &Scheduler::Real());
        DtuSession real(fe);
        QCOMPARE(&real.scheduler, &Scheduler::Real());
        VirtualScheduler other;
        DtuSession given(fe, other);
        QCOMPARE(&given.scheduler, static_cast<Scheduler *>(&other));
    }
};

DTU_TEST_GUILESS(SchedulerTest)
#include "tst_scheduler.moc"
