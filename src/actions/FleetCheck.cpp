#include "actions/FleetCheck.h"

#include "actions/FleetWorker.h"
#include "core/DtuError.h"
#include "core/SilentFrontend.h"
#include "ops/ProfileLoader.h"
#include "session/DtuSession.h"

namespace Actions {

QList<InventoryRefusal> CheckInventory(const Inventory::Table &inventory, const QString &profilePath,
                                       const QString &scriptPath, int level)
{
    using Kind = InventoryRefusal::Kind;
    SilentFrontend quiet;
    DtuSession session(quiet);
    QString error;
    try {
        if (!session.script.LoadFile(scriptPath, &error))
            return {{Kind::CannotLoad, 0, 0, {}, {}, error, {}}};
        ProfileLoader::LoadProfile(session, profilePath);
    } catch (const DtuError &e) {
        return {{Kind::CannotLoad, 0, 0, {}, {}, e.text(), {}}};
    }
    session.state.AccessLevel = level;
    QList<InventoryRefusal> refusals;
    for (int i = 0; i < inventory.valueColumns.size(); ++i)
        if (!TableFor(session, inventory.valueColumns[i]))
            refusals.append({Kind::NoSuchColumn, 1, inventory.valueColumnAt.value(i), inventory.valueColumns[i], {}, {}, {}});
    if (!refusals.isEmpty())
        return refusals;
    for (const FleetDevice &device : inventory.devices) {
        for (const auto &[number, text] : device.values) {
            const std::optional<EditResult> refused = CheckWorkerValues(session, {{number, text}});
            if (!refused)
                continue;
            const int column = inventory.valueColumnAt.value(int(inventory.valueColumns.indexOf(number)));
            refusals.append({Kind::Cell, device.line, column, number, device.target.Text(), {}, *refused});
        }
    }
    return refusals;
}

} // namespace Actions
