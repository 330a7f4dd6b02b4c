// The window's one queue of device work, without a window: a request runs at
// once when nothing runs, waits while an action (a poll) runs and then runs
// after it, in the order the requests came, one action at a time; nothing
// waiting is lost when another action gets in first, and what waits can be
// forgotten (the monitor stopping, the window closing).
#include "session/ActionDispatcher.h"
#include "session/ActionScope.h"
#include "support/TestMain.h"
#include "support/VirtualRig.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// A session and its queue; every request logs its steps, with "(poll)" when
// the queue says a poll runs, and "!" when its action ran while no action
// was marked running (it must always run inside one).
struct QueueRig {
    VirtualRig rig{false};
    DtuSession &session = rig.session;
    ActionDispatcher queue{session};
    QStringList log;

    ActionDispatcher::Request Request(const QString &name, ActionDispatcher::Kind kind = ActionDispatcher::Kind::Press,
                                      std::function<void()> inside = {})
    {
        return {
            .kind = kind,
            .action =
                [this, name, inside] {
                    QString step = name;
                    if (queue.Polling())
                        step += QStringLiteral("(poll)");
                    if (!session.ActionRunning())
                        step += QStringLiteral("!");
                    log << step;
                    if (inside)
                        inside();
                },
            .before =
                [this, name] {
                    log << name + QStringLiteral(":before");
                    return true;
                },
            .after = [this, name] { log << name + QStringLiteral(":after"); },
        };
    }
    ActionDispatcher::Request Poll(const QString &name, std::function<void()> inside = {})
    {
        return Request(name, ActionDispatcher::Kind::Poll, std::move(inside));
    }
    // Lets the event loop turn until nothing waits and nothing runs (or a
    // second passes).
    bool Drained()
    {
        return QTest::qWaitFor([this] { return queue.Waiting() == 0 && !session.ActionRunning(); }, 1000);
    }
};

} // namespace

class ActionDispatcherTest : public QObject {
    Q_OBJECT
private slots:
    // Nothing runs: the request runs at once, inside one action, with its
    // before and after steps outside it.
    void runsAtOnceWhenIdle()
    {
        QueueRig q;
        bool runningBefore = true, runningAfter = true;
        auto request = q.Request(QStringLiteral("read"));
        request.before = [&] { return !(runningBefore = q.session.ActionRunning()); };
        request.after = [&] { runningAfter = q.session.ActionRunning(); };
        QCOMPARE(q.queue.Submit(request), ActionDispatcher::Outcome::Ran);
        QCOMPARE(q.log, QStringList{QStringLiteral("read")});
        QVERIFY(!runningBefore && !runningAfter);
        QVERIFY(!q.session.ActionRunning());
        QVERIFY(!q.queue.Polling());
        QCOMPARE(q.queue.Waiting(), 0);
    }

    // Two presses during a poll wait for its end, then run in the order
    // they came, each as its own action and each only after the one before
    // it has finished, its after step included.
    void pressesDuringPollRunAfterItInOrder()
    {
        QueueRig q;
        QSignalSpy running(&q.session, &DtuSession::actionRunningChanged);
        const auto outcome = q.queue.Submit(q.Poll(QStringLiteral("poll"), [&] {
            QCOMPARE(q.queue.Submit(q.Request(QStringLiteral("status"))), ActionDispatcher::Outcome::Waiting);
            QCOMPARE(q.queue.Submit(q.Request(QStringLiteral("clock"))), ActionDispatcher::Outcome::Waiting);
        }));
        QCOMPARE(outcome, ActionDispatcher::Outcome::Ran);
        // Not inside the poll, nor in the poll's own call: from the event loop.
        QCOMPARE(q.log, (QStringList{"poll:before", "poll(poll)", "poll:after"}));
        QCOMPARE(q.queue.Waiting(), 2);
        QVERIFY(q.Drained());
        QCOMPARE(q.log, (QStringList{"poll:before", "poll(poll)", "poll:after", "status:before", "status",
                                     "status:after", "clock:before", "clock", "clock:after"}));
        QCOMPARE(running.size(), 6); // three actions, each started and ended once
    }

    // A poll that falls due while a press's action runs waits for its end
    // and then runs as a poll; a press that came before the poll goes first.
    void pollDueDuringActionRunsAfterIt()
    {
        QueueRig q;
        {
            ActionScope press(q.session);
            QCOMPARE(q.queue.Submit(q.Request(QStringLiteral("write"))), ActionDispatcher::Outcome::Waiting);
            QCOMPARE(q.queue.Submit(q.Poll(QStringLiteral("poll"))), ActionDispatcher::Outcome::Waiting);
            QTest::qWait(20);
            QVERIFY(q.log.isEmpty());
        }
        QVERIFY(q.log.isEmpty()); // the end of an action starts nothing in its own call
        QVERIFY(q.Drained());
        QCOMPARE(q.log, (QStringList{"write:before", "write", "write:after", "poll:before", "poll(poll)",
                                     "poll:after"}));
        QVERIFY(!q.queue.Polling());
    }

    // A request arriving while others wait goes behind them, even when no
    // action runs at that moment.
    void newcomerWaitsBehindTheQueue()
    {
        QueueRig q;
        {
            ActionScope other(q.session);
            q.queue.Submit(q.Request(QStringLiteral("first")));
        }
        QCOMPARE(q.queue.Submit(q.Request(QStringLiteral("second"))), ActionDispatcher::Outcome::Waiting);
        QVERIFY(q.Drained());
        QCOMPARE(q.log.filter(QRegularExpression(QStringLiteral("^\\w+$"))), (QStringList{"first", "second"}));
    }

    // Another action gets in before a waiting request's turn: the request
    // keeps its place and runs after that action, and so does the one
    // behind it.
    void nothingLostWhenRefused()
    {
        QueueRig q;
        auto blocker = std::make_unique<ActionScope>(q.session);
        q.queue.Submit(q.Request(QStringLiteral("a")));
        q.queue.Submit(q.Request(QStringLiteral("b")));
        blocker.reset();
        blocker = std::make_unique<ActionScope>(q.session); // in before the queue's turn
        QTest::qWait(20);
        QCOMPARE(q.queue.Waiting(), 2);
        QVERIFY(q.log.isEmpty());
        blocker.reset();
        QVERIFY(q.Drained());
        QCOMPARE(q.log.filter(QRegularExpression(QStringLiteral("^\\w+$"))), (QStringList{"a", "b"}));

        // An action that begins between a request's before step and its
        // start: the request goes back to the head of the queue and runs
        // once that action ends, still ahead of the one behind it.
        q.log.clear();
        std::unique_ptr<ActionScope> late;
        auto request = q.Request(QStringLiteral("c"));
        int befores = 0;
        request.before = [&] {
            if (++befores == 1)
                late = std::make_unique<ActionScope>(q.session);
            return true;
        };
        blocker = std::make_unique<ActionScope>(q.session);
        q.queue.Submit(request);
        q.queue.Submit(q.Request(QStringLiteral("d")));
        blocker.reset();
        QTRY_VERIFY(late);
        QTest::qWait(20);
        QCOMPARE(q.queue.Waiting(), 2);
        QVERIFY(q.log.isEmpty());
        late.reset();
        QVERIFY(q.Drained());
        QCOMPARE(q.log, (QStringList{"c", "c:after", "d:before", "d", "d:after"}));
        QCOMPARE(befores, 2);
    }

    // A request whose before step declines (a poll no longer due) runs no
    // action, and the one behind it still runs.
    void declinedRequestLetsTheNextRun()
    {
        QueueRig q;
        {
            ActionScope other(q.session);
            auto poll = q.Poll(QStringLiteral("poll"));
            poll.before = [] { return false; };
            q.queue.Submit(poll);
            q.queue.Submit(q.Request(QStringLiteral("read")));
        }
        QVERIFY(q.Drained());
        QCOMPARE(q.log, (QStringList{"read:before", "read", "read:after"}));

        auto idle = q.Poll(QStringLiteral("idle"));
        idle.before = [] { return false; };
        QSignalSpy running(&q.session, &DtuSession::actionRunningChanged);
        QCOMPARE(q.queue.Submit(idle), ActionDispatcher::Outcome::Dropped);
        QVERIFY(running.isEmpty());
    }

    // Withdrawing the polls leaves the presses waiting; clearing forgets
    // everything, and nothing cleared runs afterwards.
    void withdrawAndClear()
    {
        QueueRig q;
        {
            ActionScope other(q.session);
            q.queue.Submit(q.Poll(QStringLiteral("poll")));
            q.queue.Submit(q.Request(QStringLiteral("read")));
            q.queue.Submit(q.Poll(QStringLiteral("again")));
            q.queue.Withdraw(ActionDispatcher::Kind::Poll);
            QCOMPARE(q.queue.Waiting(), 1);
        }
        QVERIFY(q.Drained());
        QCOMPARE(q.log, (QStringList{"read:before", "read", "read:after"}));

        q.log.clear();
        {
            ActionScope other(q.session);
            q.queue.Submit(q.Request(QStringLiteral("write")));
            q.queue.Submit(q.Poll(QStringLiteral("poll")));
            q.queue.Clear();
        }
        QTest::qWait(20);
        QVERIFY(q.log.isEmpty());
        // The queue works on afterwards.
        QCOMPARE(q.queue.Submit(q.Request(QStringLiteral("next"))), ActionDispatcher::Outcome::Ran);
    }

    // The polling mark is reset when a poll's action ends with an error.
    void pollingEndsWithAThrowingPoll()
    {
        QueueRig q;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 q.queue.Submit(q.Poll(QStringLiteral("poll"), [] { throw std::runtime_error("x"); })));
        QVERIFY(!q.queue.Polling());
        QVERIFY(!q.session.ActionRunning());
    }
};

DTU_TEST_GUILESS(ActionDispatcherTest)
#include "tst_action_dispatcher.moc"
