#pragma once
#include "sim/PtyServer.h"
#include "sim/SimDevice.h"
#include "sim/SimOptions.h"
#include "sim/TcpServer.h"

#include <QElapsedTimer>
#include <QStringList>
#include <memory>
#include <vector>

// The simulated units of one dtusim run: each a device with its own copy of
// the values, its own state and settings, on its own pseudo-terminal or TCP
// port. Readings that change over time count from the moment all endpoints
// are open.
class SimFleet {
public:
    // log receives every unit's log lines, prefixed "unit K: " when there
    // is more than one unit; empty: no logging.
    SimFleet(const SimOptions &options, const SimTables &tables, const SimCommandSet &words,
             const SimDevice::Logger &log = {});
    SimFleet(const SimFleet &) = delete;
    SimFleet &operator=(const SimFleet &) = delete;

    int Count() const { return static_cast<int>(units_.size()); }
    // Unit K's device, K from 1.
    SimDevice &Device(int unit) { return *units_.at(unit - 1).device; }

    // Opens every unit's endpoint, in unit order. False with *error naming
    // the unit (when there are several) that could not open.
    bool Open(QString *error);
    // One line per unit: the pseudo-terminal's path or "tcp 127.0.0.1:PORT".
    QStringList Endpoints() const { return endpoints_; }

private:
    struct Unit {
        SimUnitSettings settings;
        SimDevice::Logger log;
        std::unique_ptr<SimDevice> device;
        // Declared after the device they serve, so they go first.
        std::unique_ptr<PtyServer> pty;
        std::unique_ptr<TcpServer> tcp;
    };

    bool OpenUnit(Unit &unit, int index, QString *endpoint, QString *error);

    bool tcp_;
    quint16 tcpPort_;
    std::vector<Unit> units_;
    QStringList endpoints_;
    QElapsedTimer ready_;
};
