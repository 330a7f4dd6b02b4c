#pragma once
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What the system says about serial ports, and whether this user may open
// each: the facts behind `dtucfg ports`.
namespace PortSurvey {

enum class Access {
    Yes,          // read and write allowed
    Missing,      // no such device file
    NoPermission, // the file's owner or group excludes this user
    Other,        // another reason, in `problem`
};

struct Port {
    QString path;          // "/dev/ttyUSB0"
    bool reported = false; // listed by the system (not only named by the user)
    std::optional<quint16> vendorId, productId; // USB adapters only
    QString description, manufacturer, serialNumber;
    Access access = Access::Missing;
    QString group;   // the device file's group, when it can be read ("dialout")
    QString owner;   // the device file's owner, when it can be read ("root")
    bool groupMayUse = false; // the file's mode lets its group read and write it
    QString problem; // the system's text for Access::Other
};

// The ports the system reports, identity only (access not yet checked).
QList<Port> SystemPorts();

// The reported ports, then each path not among them (the same file under
// another name counts as the same port), each with its access checked.
QList<Port> Survey(QList<Port> reported, const QStringList &paths);

// Whether this user may read and write the device file at path.
void CheckAccess(Port &port);

} // namespace PortSurvey
