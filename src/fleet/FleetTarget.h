#pragma once
#include <QString>
#include <QStringList>

// Where one device of a fleet is reached: a serial port as the window's port
// box takes it (/dev/ttyUSB0, ttyUSB0, COM1), or "tcp:HOST[:PORT]".
struct FleetTarget {
    static constexpr quint16 kDefaultTcpPort = 8888;

    QString text; // as given
    bool tcp = false;
    QString host;
    quint16 port = kDefaultTcpPort;

    // False with a reason for an empty target or a bad TCP port.
    static bool Parse(const QString &text, FleetTarget *out, QString *error);
    // The dtucfg options that reach it.
    QStringList ChannelArgs() const;
};
