#include "fleet/FleetTarget.h"

bool FleetTarget::Parse(const QString &text, FleetTarget *out, QString *error)
{
    FleetTarget target;
    target.text = text.trimmed();
    if (target.text.isEmpty()) {
        *error = QStringLiteral("empty target");
        return false;
    }
    if (target.text.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive)) {
        target.tcp = true;
        QString rest = target.text.mid(4);
        const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
        if (colon >= 0) {
            bool ok = false;
            const uint port = rest.mid(colon + 1).toUInt(&ok);
            if (!ok || port < 1 || port > 65535) {
                *error = QStringLiteral("%1: the TCP port must be 1 to 65535").arg(target.text);
                return false;
            }
            target.port = static_cast<quint16>(port);
            rest.truncate(colon);
        }
        target.host = rest;
        if (target.host.isEmpty()) {
            *error = QStringLiteral("%1: no host").arg(target.text);
            return false;
        }
    }
    *out = target;
    return true;
}

QStringList FleetTarget::ChannelArgs() const
{
    if (!tcp)
        return {QStringLiteral("--port"), text};
    return {QStringLiteral("--tcp"), host, QStringLiteral("--tcp-port"), QString::number(port)};
}
