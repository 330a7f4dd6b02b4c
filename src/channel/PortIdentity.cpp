#include "channel/PortIdentity.h"

#include "core/PortNames.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace PortIdentity {

std::optional<PortEntry> Find(const QString &name, const QList<PortEntry> &ports)
{
    for (const PortEntry &entry : ports)
        if (PortNames::SameDevice(entry.name, name))
            return entry;
    return std::nullopt;
}

QString FindAdapter(const PortEntry &remembered, const QList<PortEntry> &ports)
{
    const bool bySerial = remembered.HasUsbIdentity() && !remembered.serialNumber.isEmpty();
    for (const PortEntry &entry : ports) {
        const bool sameModel = entry.vendor == remembered.vendor && entry.product == remembered.product;
        // Found by name, the same name taken by another model is not the adapter that left.
        const bool found = bySerial ? sameModel && entry.serialNumber == remembered.serialNumber
                                    : PortNames::SameDevice(entry.name, remembered.name)
                                          && (sameModel || !remembered.HasUsbIdentity());
        if (found)
            return entry.name;
    }
    return {};
}

QList<PortEntry> SystemPorts(const QStringList &alsoCheck)
{
    QList<PortEntry> ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        PortEntry entry{info.portName(), std::nullopt, std::nullopt, info.serialNumber()};
        if (info.hasVendorIdentifier() && info.hasProductIdentifier()) {
            entry.vendor = info.vendorIdentifier();
            entry.product = info.productIdentifier();
        }
        ports << entry;
    }
    for (const QString &name : alsoCheck) {
        if (name.isEmpty() || Find(name, ports))
            continue;
        if (QFileInfo::exists(PortNames::DevicePath(name)))
            ports << PortEntry{name, std::nullopt, std::nullopt, QString()};
    }
    return ports;
}

} // namespace PortIdentity
