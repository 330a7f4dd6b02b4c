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

    // What makes a text no target.
    enum class Fault { None, Empty, BadTcpPort, NoHost };
    // False, with the fault, for an empty target, a TCP target without a
    // host or with a port outside 1 to 65535.
    static bool Parse(const QString &text, FleetTarget *out, Fault *fault = nullptr);
    // The dtucfg options that reach it.
    QStringList ChannelArgs() const;
};
