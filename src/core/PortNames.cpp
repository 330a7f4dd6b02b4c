#include "core/PortNames.h"

#include <QRegularExpression>

namespace PortNames {

QString DeviceFromName(const QString &name)
{
#ifdef Q_OS_WIN
    // QSerialPort adds the device-namespace prefix itself, so COM10 and up open.
    return name;
#else
    static const QRegularExpression com(QStringLiteral("^COM([1-9][0-9]*)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const auto m = com.match(name);
    if (m.hasMatch()) {
        bool ok = false;
        const int n = m.captured(1).toInt(&ok);
        if (ok && n >= 1)
            return QStringLiteral("/dev/ttyS%1").arg(n - 1);
    }
    return name;
#endif
}

QString DevicePath(const QString &name)
{
    const QString device = DeviceFromName(name);
#ifdef Q_OS_WIN
    return device;
#else
    if (device.startsWith(u'/'))
        return device;
    return QStringLiteral("/dev/") + device;
#endif
}

bool SameDevice(const QString &a, const QString &b)
{
#ifdef Q_OS_WIN
    // COM names do not care about letter case.
    return DevicePath(a).compare(DevicePath(b), Qt::CaseInsensitive) == 0;
#else
    return DevicePath(a) == DevicePath(b);
#endif
}

} // namespace PortNames
