#pragma once
#include "fleet/FleetRunner.h"
#include "fleet/Inventory.h"

#include <QString>
#include <QStringList>

// The settings of a fleet run, made in one place for dtucfg fleet and the
// window from what the technician chose, and what would make every worker
// fail, found before any starts.
namespace FleetSetup {

// What the technician chose: the workers' settings as Make takes them (the
// script in use, dtucfg's loaded one, or "" to look it up as the window
// does: the working folder, beside the profile, the configuration folder),
// and the records. Make sets workDir and adds the records to recordArgs.
struct Choices : FleetRunner::Settings {
    // The device records: every worker keeps its device's entries in the
    // one store ("" the default one) under the run's id, unless off.
    bool recordsOff = false;
    QString recordsLocation;
    bool identify = false; // each device's version and IMEI asked first
};

enum class Refusal {
    None,
    NoDevices,      // the inventory lists no device: a run would do nothing
    NoProfile,      // the profile file does not exist
    NoScript,       // no script.js anywhere it was looked for
    ColumnWithheld, // the inventory gives a value to a row the level does not write
};

struct Plan {
    Refusal refusal = Refusal::None;
    QString column;          // ColumnWithheld: that row's number
    QStringList scriptTried; // NoScript: every path looked at, in order
    FleetRunner::Settings settings; // the workers' settings: absolute paths, run in the current folder
    QString runId; // the run's id in the device records ("" when not recording)
};

Plan Make(const Choices &choices, const Inventory::Table &inventory);

} // namespace FleetSetup
