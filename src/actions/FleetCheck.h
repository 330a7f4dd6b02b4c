#pragma once
#include "fleet/Inventory.h"
#include "ops/EditorLogic.h"

#include <QList>
#include <QString>

// Every column and cell of an inventory as the workers would take them,
// found before any device is contacted, so a fleet that could not run is
// refused whole: dtucfg fleet and audit, and the window's fleet, ask here.
namespace Actions {

struct InventoryRefusal {
    enum class Kind {
        CannotLoad,   // the profile or script: `text` says why
        NoSuchColumn, // the profile has no row `number`
        Cell,         // a device's cell its row would not take: `refusal`
        SameDevice,   // `target` reaches the device of the target on line `other`
    };
    Kind kind = Kind::Cell;
    int line = 0, column = 0; // in the inventory, from 1 (0: not from a file)
    int other = 0;            // SameDevice: the line of the other target
    QString number, target, text;
    EditResult refusal;
};

// The cells are tried on tables of a session of their own, loaded with the
// run's profile and script at its access level; no device receives them.
// Each TCP host is resolved first: two targets that reach one address and
// port are one device listed twice (a second connection would find it busy).
QList<InventoryRefusal> CheckInventory(const Inventory::Table &inventory, const QString &profilePath,
                                       const QString &scriptPath, int level);

} // namespace Actions
