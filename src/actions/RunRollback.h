#pragma once
#include "actions/Recorder.h"
#include "fleet/FleetReport.h"

#include <functional>

class DtuSession;

// A fleet run undone: every device the run changed put back to the
// snapshot its worker took before writing, one after another, each reached
// over the port or address the run used. A stop ends the device under way
// between two rows, and no other device begins (not-started).
namespace Actions {

struct RunRollbackResult {
    QString error;              // the run could not be looked up: why ("" when it was)
    QList<DeviceReport> devices; // outcome, record (the rollback entry), and per device:
    QList<qint64> restores;      // the snapshot each was put back to (0: none)
    QList<int> differences;      // rows still differing after the read-back
};

// `onDevice` hears each device as its turn comes (index, count, target),
// `onDone` each report as it ends. The serial settings are the session's.
RunRollbackResult RunRollback(DtuSession &session, Recorder &recorder, const QString &run, const QString &password,
                              const std::function<void(int index, int count, const QString &target)> &onDevice,
                              const std::function<void(const DeviceReport &report)> &onDone);

} // namespace Actions
