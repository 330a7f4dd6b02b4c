#include "sim/SimState.h"

quint8 SimState::SignalAt(qint64 sinceUpMs) const
{
    if (signalSteps.isEmpty())
        return signal;
    const qint64 step = sinceUpMs / qMax(1, signalPeriodMs);
    return signalSteps.at(qBound<qint64>(0, step, signalSteps.size() - 1));
}

quint8 SimState::SignalForRequest(qint64 request) const
{
    if (signalSteps.isEmpty())
        return signal;
    return signalSteps.at(qBound<qint64>(0, request, signalSteps.size() - 1));
}
