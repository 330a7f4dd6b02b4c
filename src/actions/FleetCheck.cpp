#include "actions/FleetCheck.h"

#include "actions/FleetWorker.h"
#include "core/DtuError.h"
#include "core/SilentFrontend.h"
#include "ops/ProfileLoader.h"
#include "session/DtuSession.h"

#include <QHash>
#include <QHostInfo>

namespace Actions {
namespace {

// Targets that reach one address and port under two names ("localhost"
// and "127.0.0.1"). A host that does not resolve is no one's twin: it stays
// one device out of reach.
QList<InventoryRefusal> SameDevices(const Inventory::Table &inventory)
{
    QList<InventoryRefusal> refusals;
    QHash<QString, const FleetDevice *> seen; // "address port" -> the first target
    QHash<QString, QList<QHostAddress>> resolved;
    for (const FleetDevice &device : inventory.devices) {
        if (!device.target.tcp)
            continue;
        const QString host = device.target.host.toLower();
        if (!resolved.contains(host))
            resolved.insert(host, QHostInfo::fromName(host).addresses());
        for (const QHostAddress &address : resolved.value(host)) {
            const QString key = address.toString() + QLatin1Char(' ') + QString::number(device.target.tcpPort);
            if (const FleetDevice *first = seen.value(key); first && first != &device) {
                refusals.append({InventoryRefusal::Kind::SameDevice, device.line, 1, first->line, {},
                                 device.target.Text(), first->target.Text(), {}});
                break;
            }
            seen.insert(key, &device);
        }
    }
    return refusals;
}

} // namespace

QList<InventoryRefusal> CheckInventory(const Inventory::Table &inventory, const QString &profilePath,
                                       const QString &scriptPath, int level)
{
    using Kind = InventoryRefusal::Kind;
    SilentFrontend quiet;
    DtuSession session(quiet);
    QString error;
    try {
        if (!session.script.LoadFile(scriptPath, &error))
            return {{Kind::CannotLoad, 0, 0, 0, {}, {}, error, {}}};
        ProfileLoader::LoadProfile(session, profilePath);
    } catch (const DtuError &e) {
        return {{Kind::CannotLoad, 0, 0, 0, {}, {}, e.text(), {}}};
    }
    session.state.AccessLevel = level;
    QList<InventoryRefusal> refusals = SameDevices(inventory);
    for (int i = 0; i < inventory.valueColumns.size(); ++i)
        if (!TableFor(session, inventory.valueColumns[i]))
            refusals.append({Kind::NoSuchColumn, 1, inventory.valueColumnAt.value(i), 0, inventory.valueColumns[i], {}, {}, {}});
    if (!refusals.isEmpty())
        return refusals;
    for (const FleetDevice &device : inventory.devices) {
        for (const auto &[number, text] : device.values) {
            const std::optional<EditResult> refused = CheckWorkerValues(session, {{number, text}});
            if (!refused)
                continue;
            const int column = inventory.valueColumnAt.value(int(inventory.valueColumns.indexOf(number)));
            refusals.append({Kind::Cell, device.line, column, 0, number, device.target.Text(), {}, *refused});
        }
    }
    return refusals;
}

} // namespace Actions
