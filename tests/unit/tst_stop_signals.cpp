// SIGINT and SIGTERM reach the program in its event loop: every listener
// hears each signal, and one tied to a context is heard only while that
// context lives, so a run inside a longer process (a test, the fleet's
// worker) leaves no handler behind that would call into a run that ended.
#include "core/StopSignals.h"
#include "support/TestMain.h"

#include <QCoreApplication>
#include <QTest>

#include <csignal>

namespace {
// Raises the signal and lets the event loop take it.
void Stop(int signal)
{
    ::raise(signal);
    QCoreApplication::processEvents();
}
} // namespace

class StopSignalsTest : public QObject {
    Q_OBJECT
private slots:
    void everyLiveListenerHearsEachSignal()
    {
        QObject run;
        int first = 0;
        int second = 0;
        OnStopSignals([&first] { ++first; }, &run);
        OnStopSignals([&second] { ++second; }, &run);
        Stop(SIGTERM);
        QCOMPARE(first, 1);
        QCOMPARE(second, 1);
        Stop(SIGINT);
        QCOMPARE(first, 2);
        QCOMPARE(second, 2);
    }

    void aListenerGoesWithItsContext()
    {
        int ended = 0;
        int running = 0;
        {
            QObject earlierRun;
            OnStopSignals([&ended] { ++ended; }, &earlierRun);
        }
        QObject run;
        OnStopSignals([&running] { ++running; }, &run);
        Stop(SIGTERM);
        QCOMPARE(running, 1);
        QCOMPARE(ended, 0);
    }
};

DTU_TEST_GUILESS(StopSignalsTest)
#include "tst_stop_signals.moc"
