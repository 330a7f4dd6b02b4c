#include "channel/PortSurvey.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace PortSurvey {
namespace {

// Two names of one file (a /dev/serial/by-id link and its target) match.
QString Identity(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QFileInfo(path).absoluteFilePath() : canonical;
}

} // namespace

QList<Port> SystemPorts()
{
    QList<Port> ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        Port port{.path = info.systemLocation(),
                  .reported = true,
                  .description = info.description(),
                  .manufacturer = info.manufacturer(),
                  .serialNumber = info.serialNumber()};
        if (info.hasVendorIdentifier())
            port.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            port.productId = info.productIdentifier();
        ports << port;
    }
    return ports;
}

QList<Port> Survey(QList<Port> reported, const QStringList &paths)
{
    QStringList known;
    for (const Port &port : reported)
        known << Identity(port.path);
    for (const QString &path : paths) {
        const QString identity = Identity(path);
        if (known.contains(identity))
            continue;
        known << identity;
        reported << Port{.path = path};
    }
    for (Port &port : reported)
        CheckAccess(port);
    return reported;
}

void CheckAccess(Port &port)
{
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(port.path);
    struct stat facts {};
    if (::stat(native.constData(), &facts) != 0) {
        port.access = errno == ENOENT || errno == ENOTDIR ? Access::Missing : Access::Other;
        port.problem = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    if (const group *owner = ::getgrgid(facts.st_gid))
        port.group = QString::fromLocal8Bit(owner->gr_name);
    if (const passwd *user = ::getpwuid(facts.st_uid))
        port.owner = QString::fromLocal8Bit(user->pw_name);
    port.groupMayUse = (facts.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (::access(native.constData(), R_OK | W_OK) == 0) {
        port.access = Access::Yes;
    } else if (errno == EACCES || errno == EPERM) {
        port.access = Access::NoPermission;
    } else {
        port.access = Access::Other;
        port.problem = QString::fromLocal8Bit(std::strerror(errno));
    }
#else
    port.access = QFileInfo::exists(port.path) ? Access::Yes : Access::Missing;
#endif
}

} // namespace PortSurvey
