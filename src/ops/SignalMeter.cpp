#include "ops/SignalMeter.h"

#include <QCoreApplication>

namespace SignalMeter {

bool Known(int csq)
{
    return csq >= 0 && csq <= kMaxCsq;
}

QString DbmText(int csq)
{
    return Known(csq) ? QStringLiteral("%1 dBm").arg(-113 + 2 * csq) : QCoreApplication::translate("SignalMeter", "未知");
}

Quality QualityOf(int csq)
{
    if (!Known(csq))
        return Quality::Unknown;
    if (csq >= 20)
        return Quality::Excellent;
    if (csq >= 15)
        return Quality::Good;
    if (csq >= 10)
        return Quality::Fair;
    if (csq >= 2)
        return Quality::Poor;
    return Quality::NoSignal;
}

QString QualityWord(Quality quality)
{
    switch (quality) {
    case Quality::Excellent: return QCoreApplication::translate("SignalMeter", "很好");
    case Quality::Good: return QCoreApplication::translate("SignalMeter", "良好");
    case Quality::Fair: return QCoreApplication::translate("SignalMeter", "一般");
    case Quality::Poor: return QCoreApplication::translate("SignalMeter", "差");
    case Quality::NoSignal: return QCoreApplication::translate("SignalMeter", "无信号");
    case Quality::Unknown: break;
    }
    return QCoreApplication::translate("SignalMeter", "未知");
}

} // namespace SignalMeter

void SignalHistory::Add(qint64 msecs, int csq)
{
    samples_.push_back({msecs, csq});
    while (!samples_.empty() && samples_.front().msecs < msecs - kSpanMs)
        samples_.pop_front();
}
