#include "core/Endpoint.h"

namespace {
constexpr QLatin1StringView kTcpPrefix("tcp:");

bool ParsePort(const QString &text, quint16 *port)
{
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (!ok || value < 1 || value > 65535)
        return false;
    *port = static_cast<quint16>(value);
    return true;
}
} // namespace

std::optional<Endpoint> Endpoint::Parse(const QString &given, Fault *fault)
{
    const QString text = given.trimmed();
    if (text.startsWith(kTcpPrefix, Qt::CaseInsensitive))
        return ParseAddress(text.mid(kTcpPrefix.size()), fault);
    if (fault)
        *fault = text.isEmpty() ? Fault::Empty : Fault::None;
    if (text.isEmpty())
        return std::nullopt;
    return Serial(text);
}

std::optional<Endpoint> Endpoint::ParseAddress(const QString &given, Fault *fault)
{
    const auto fail = [fault](Fault why) -> std::optional<Endpoint> {
        if (fault)
            *fault = why;
        return std::nullopt;
    };
    if (fault)
        *fault = Fault::None;
    const QString rest = given.trimmed();
    Endpoint endpoint = Tcp(QString());
    QString portText;
    bool hasPort = false;
    if (rest.startsWith(QLatin1Char('['))) {
        // [IPv6]:PORT
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        if (close < 0)
            return fail(Fault::NoHost);
        endpoint.host = rest.mid(1, close - 1);
        const QString after = rest.mid(close + 1);
        if (!after.isEmpty() && !after.startsWith(QLatin1Char(':')))
            return fail(Fault::BadTcpPort);
        hasPort = !after.isEmpty();
        portText = after.mid(1);
    } else if (rest.count(QLatin1Char(':')) > 1) {
        // A bare IPv6 address: no port can be told from it.
        endpoint.host = rest;
    } else {
        const qsizetype colon = rest.indexOf(QLatin1Char(':'));
        endpoint.host = colon < 0 ? rest : rest.left(colon);
        hasPort = colon >= 0;
        portText = rest.mid(colon + 1);
    }
    if (hasPort && portText.isEmpty())
        return fail(Fault::BadTcpPort);
    if (endpoint.host.isEmpty())
        return fail(Fault::NoHost);
    if (hasPort && !ParsePort(portText, &endpoint.tcpPort))
        return fail(Fault::BadTcpPort);
    return endpoint;
}

QString Endpoint::Text() const
{
    if (!tcp)
        return port;
    const QString shownHost = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return kTcpPrefix + shownHost + QLatin1Char(':') + QString::number(tcpPort);
}
