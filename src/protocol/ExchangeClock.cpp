#include "protocol/ExchangeClock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QElapsedTimer>

void RealClock::Sleep(int ms)
{
    // Wait inside the event dispatcher rather than in a bare sleep: the
    // window repaints and sockets deliver data while a reply is awaited, and
    // no processor time is burnt.
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

void RealClock::ProcessEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

qint64 RealClock::NowMs() const
{
    static QElapsedTimer timer = [] { QElapsedTimer t; t.start(); return t; }();
    return timer.elapsed();
}
