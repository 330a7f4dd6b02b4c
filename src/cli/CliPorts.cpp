#include "cli/CliPorts.h"

#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleFrontend.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>

namespace CliPorts {
namespace {

using PortSurvey::Access;
using PortSurvey::Port;

QString Hex4(quint16 id)
{
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

// Joining the group helps only when the group may use the file and is not
// root's own (joining root is no advice); otherwise only root, or the
// owner, may open it.
QString PermissionHint(const Port &port)
{
    if (!port.group.isEmpty() && port.group != QLatin1String("root") && port.groupMayUse)
        return QCoreApplication::translate("CliPorts", "加入 %1 组：sudo usermod -aG %1 $USER，然后重新登录").arg(port.group);
    if (port.owner.isEmpty() || port.owner == QLatin1String("root"))
        return QCoreApplication::translate("CliPorts", "只有 root 能打开它");
    return QCoreApplication::translate("CliPorts", "只有 %1 和 root 能打开它").arg(port.owner);
}

QString AccessText(const Port &port)
{
    switch (port.access) {
    case Access::Yes:
        return QCoreApplication::translate("CliPorts", "可以打开");
    case Access::Missing:
        return QCoreApplication::translate("CliPorts", "不能打开：没有这个设备");
    case Access::NoPermission:
        return QCoreApplication::translate("CliPorts", "不能打开：没有权限（%1）").arg(PermissionHint(port));
    case Access::Other:
        break;
    }
    return QCoreApplication::translate("CliPorts", "不能打开：") + port.problem;
}

QString AccessWord(Access access)
{
    switch (access) {
    case Access::Yes:
        return QStringLiteral("yes");
    case Access::Missing:
        return QStringLiteral("missing");
    case Access::NoPermission:
        return QStringLiteral("permission");
    case Access::Other:
        break;
    }
    return QStringLiteral("error");
}

QJsonValue OptionalId(const std::optional<quint16> &id)
{
    return id ? QJsonValue(Hex4(*id)) : QJsonValue();
}

} // namespace

QString Line(const Port &port)
{
    QStringList fields{port.path};
    if (!port.reported)
        fields << QCoreApplication::translate("CliPorts", "系统没有列出");
    if (port.vendorId || port.productId)
        fields << QStringLiteral("usb %1:%2").arg(port.vendorId ? Hex4(*port.vendorId) : QStringLiteral("?"),
                                                   port.productId ? Hex4(*port.productId) : QStringLiteral("?"));
    if (!port.serialNumber.isEmpty())
        fields << QCoreApplication::translate("CliPorts", "序列号 ") + port.serialNumber;
    QString what;
    if (!port.description.isEmpty())
        what = QLatin1Char('"') + port.description + QLatin1Char('"');
    if (!port.manufacturer.isEmpty())
        what += (what.isEmpty() ? QString() : QStringLiteral(" ")) + QLatin1Char('(') + port.manufacturer + QLatin1Char(')');
    if (!what.isEmpty())
        fields << what;
    fields << AccessText(port);
    return fields.join(QStringLiteral("  "));
}

QJsonArray Entries(const QList<Port> &ports)
{
    QJsonArray list;
    for (const Port &port : ports) {
        list.append(QJsonObject{
            {QStringLiteral("path"), port.path},
            {QStringLiteral("reported"), port.reported},
            {QStringLiteral("vendorId"), OptionalId(port.vendorId)},
            {QStringLiteral("productId"), OptionalId(port.productId)},
            {QStringLiteral("serialNumber"), port.serialNumber},
            {QStringLiteral("description"), port.description},
            {QStringLiteral("manufacturer"), port.manufacturer},
            {QStringLiteral("canOpen"), port.access == Access::Yes},
            {QStringLiteral("access"), AccessWord(port.access)},
            {QStringLiteral("group"), port.group},
            {QStringLiteral("hint"), port.access == Access::NoPermission ? PermissionHint(port) : QString()},
        });
    }
    return list;
}

CliVerdict Run(CliContext &context)
{
    const QList<Port> ports = PortSurvey::Survey(PortSurvey::SystemPorts(), context.options.arguments);
    for (const Port &port : ports)
        context.frontend.PrintOut(Line(port) + QLatin1Char('\n'));
    if (ports.isEmpty())
        context.frontend.Say(QCoreApplication::translate("CliPorts", "系统没有报告任何串口"));
    return CliVerdict::With(QStringLiteral("ports"), Entries(ports));
}

} // namespace CliPorts
