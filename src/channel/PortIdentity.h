#pragma once
#include <QList>
#include <QString>
#include <optional>

// A serial port as the system lists it, with the USB identity of the
// adapter behind it where the system reports one.
struct PortEntry {
    QString name;                  // as the port box shows it: "ttyUSB0", or a path
    std::optional<quint16> vendor; // USB vendor and product id
    std::optional<quint16> product;
    QString serialNumber;          // the adapter's own serial number; often empty

    bool HasUsbIdentity() const { return vendor && product; }
};

// Finding an adapter again after it was pulled, possibly under a new name.
// An adapter with a serial number is the port with the same vendor, product
// and serial number, whatever its name. Without a serial number two adapters
// of one model cannot be told apart, so it must also come back under its
// old name. A port without USB identity (a built-in port, a pseudo-terminal)
// is known by its name alone.
namespace PortIdentity {

// The entry for the device `name` opens; nullopt when it is not listed.
std::optional<PortEntry> Find(const QString &name, const QList<PortEntry> &ports);
// The name under which the remembered adapter is listed now; empty when it is absent.
QString FindAdapter(const PortEntry &remembered, const QList<PortEntry> &ports);

// The ports the system lists now; a device file named in `alsoCheck` that
// exists but is not listed (a pseudo-terminal, a link of its own) is added
// without identity.
QList<PortEntry> SystemPorts(const QStringList &alsoCheck);

} // namespace PortIdentity
