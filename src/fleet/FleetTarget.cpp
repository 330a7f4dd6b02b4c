#include "fleet/FleetTarget.h"

bool FleetTarget::Parse(const QString &text, FleetTarget *out, Fault *fault)
{
    const auto fail = [fault](Fault why) {
        if (fault)
            *fault = why;
        return false;
    };
    FleetTarget target;
    target.text = text.trimmed();
    if (target.text.isEmpty()) {
        return fail(Fault::Empty);
    }
    if (target.text.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive)) {
        target.tcp = true;
        QString rest = target.text.mid(4);
        const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
        if (colon >= 0) {
            bool ok = false;
            const uint port = rest.mid(colon + 1).toUInt(&ok);
            if (!ok || port < 1 || port > 65535) {
                return fail(Fault::BadTcpPort);
            }
            target.port = static_cast<quint16>(port);
            rest.truncate(colon);
        }
        target.host = rest;
        if (target.host.isEmpty()) {
            return fail(Fault::NoHost);
        }
    }
    *out = target;
    if (fault)
        *fault = Fault::None;
    return true;
}

QStringList FleetTarget::ChannelArgs() const
{
    if (!tcp)
        return {QStringLiteral("--port"), text};
    return {QStringLiteral("--tcp"), host, QStringLiteral("--tcp-port"), QString::number(port)};
}
