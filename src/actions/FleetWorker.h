#pragma once
#include "actions/ParamActions.h"
#include "core/Endpoint.h"
#include "fleet/FleetReport.h"

#include <functional>

class DtuSession;
class ParamTableModel;

// One device of a fleet, whole: the worker process (dtucfg provision) runs
// it for the fleet runner. It reads the device first (kept as the snapshot a
// rollback of the run goes back to), then writes what the fleet wants of it
// (the profile's values with the device's own) where the device holds
// something else, or only compares (an audit), and tells one DeviceReport.
namespace Actions {

struct WorkerInputs {
    Endpoint endpoint;
    QString password;
    QList<GivenValue> values; // the device's own, over the profile's
    bool audit = false;       // read and compare; nothing is written
    bool writeAll = false;    // every row, also those the device holds already
    bool verify = false;      // read back after writing, and compare
    QStringList ignore;       // rows not compared
    bool identify = false;    // its version and IMEI asked first
    // Where the device stands: "open", "identify", "read", "verify" (the
    // write run's rows come through the front end's progress).
    std::function<void(const QString &phase)> onPhase;
};

// The table a value for `number` goes to: the main one, else the extended
// one when the profile has it; nullptr for neither.
ParamTableModel *TableFor(DtuSession &session, const QString &number);
// Why the first of the values would not be taken (NoSuchRow for a number
// in neither table); none when all would. Nothing changes.
std::optional<EditResult> CheckWorkerValues(DtuSession &session, const QList<GivenValue> &values);

// The session holds the profile, at the access level of the run. Every
// value must have passed CheckWorkerValues.
DeviceReport FleetWorker(DtuSession &session, Recorder &recorder, const WorkerInputs &inputs);

} // namespace Actions
