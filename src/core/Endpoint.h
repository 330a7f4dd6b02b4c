#pragma once
#include <QString>
#include <optional>

// Where a device is reached: a serial port, named as the port box takes it
// (/dev/ttyUSB0, ttyUSB0, COM1), or the TCP maintenance port of a host,
// written "tcp:HOST[:PORT]" ("tcp:[::1]:8888" for an IPv6 address). The one
// parser and formatter of that text: options, inventories, the records'
// target column and the window all go through here.
struct Endpoint {
    static constexpr quint16 kDefaultTcpPort = 8888;

    bool tcp = false;
    QString port; // serial: the name as given
    QString host; // tcp
    quint16 tcpPort = kDefaultTcpPort;

    static Endpoint Serial(const QString &port) { return {false, port, {}, kDefaultTcpPort}; }
    static Endpoint Tcp(const QString &host, quint16 port = kDefaultTcpPort) { return {true, {}, host, port}; }

    // What makes a text no endpoint.
    enum class Fault { None, Empty, BadTcpPort, NoHost };
    static std::optional<Endpoint> Parse(const QString &text, Fault *fault = nullptr);
    // "HOST[:PORT]" (a TCP box's text, without "tcp:") as a TCP endpoint.
    static std::optional<Endpoint> ParseAddress(const QString &text, Fault *fault = nullptr);
    // "tcp:HOST:PORT" (the host in brackets when it holds a colon), or the
    // port's name.
    QString Text() const;

    friend bool operator==(const Endpoint &, const Endpoint &) = default;
};
