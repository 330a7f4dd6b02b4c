#pragma once
#include <QByteArray>
#include <QList>

// Readings the simulated device reports.
struct SimState {
    static constexpr int kDefaultSignalPeriodMs = 1000;

    quint8 status = 5; // online and logged in to the data centre
    quint8 signal = 23;
    // A signal that changes over time: signalSteps[i] is reported from
    // i * signalPeriodMs after the device came up, the last one for ever
    // after. Empty: the fixed signal.
    QList<quint8> signalSteps;
    int signalPeriodMs = kDefaultSignalPeriodMs;
    // Steps at each signal request instead of each period: request n (from
    // 0) is answered with signalSteps[n], the last one for ever after.
    bool signalPerRequest = false;
    QByteArray version = QByteArrayLiteral("SIM-DTU V1.0");
    QByteArray imei = QByteArrayLiteral("860000000000018");

    // The signal reported sinceUpMs milliseconds after the device came up.
    quint8 SignalAt(qint64 sinceUpMs) const { return SignalForRequest(sinceUpMs / qMax(1, signalPeriodMs)); }
    // The signal reported to the signal request numbered `request` (from 0).
    quint8 SignalForRequest(qint64 request) const
    {
        return signalSteps.isEmpty() ? signal : signalSteps.at(qBound<qint64>(0, request, signalSteps.size() - 1));
    }
};
