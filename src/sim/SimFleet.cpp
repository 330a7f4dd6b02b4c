#include "sim/SimFleet.h"

#include "sim/SimValues.h"

namespace {

SimDevice::Logger UnitLogger(const SimDevice::Logger &log, int unit, int count)
{
    if (!log || count == 1)
        return log;
    return [log, unit](const QString &line) { log(QStringLiteral("unit %1: %2").arg(unit).arg(line)); };
}

} // namespace

SimFleet::SimFleet(const SimOptions &options, const SimTables &tables, const SimCommandSet &words,
                   const SimDevice::Logger &log)
    : tcp_(options.tcp), tcpPort_(options.tcpPort)
{
    const int count = static_cast<int>(options.units.size());
    units_.reserve(count);
    for (int i = 0; i < count; ++i) {
        Unit unit;
        unit.settings = options.units[i];
        unit.log = UnitLogger(log, i + 1, count);
        unit.device = std::make_unique<SimDevice>(SimValues::Laid(tables, unit.settings.values), words,
                                                  unit.settings.state, unit.settings.misbehaviour);
        unit.device->SetLogger(unit.log);
        // Before the endpoints are open nobody can ask.
        unit.device->SetUptime([this] { return ready_.isValid() ? ready_.elapsed() : 0; });
        units_.push_back(std::move(unit));
    }
}

bool SimFleet::Open(QString *error)
{
    endpoints_.clear();
    for (int i = 0; i < Count(); ++i) {
        QString endpoint;
        if (!OpenUnit(units_[i], i, &endpoint, error)) {
            if (Count() > 1)
                *error = QStringLiteral("unit %1: %2").arg(i + 1).arg(*error);
            return false;
        }
        endpoints_.append(endpoint);
    }
    ready_.start();
    return true;
}

bool SimFleet::OpenUnit(Unit &unit, int index, QString *endpoint, QString *error)
{
    if (tcp_) {
        unit.tcp = std::make_unique<TcpServer>(*unit.device, unit.settings.password, unit.log);
        const quint16 port = tcpPort_ == 0 ? 0 : static_cast<quint16>(tcpPort_ + index);
        if (!unit.tcp->Listen(port, error))
            return false;
        *endpoint = QStringLiteral("tcp 127.0.0.1:%1").arg(unit.tcp->Port());
        return true;
    }
    unit.pty = std::make_unique<PtyServer>(*unit.device);
    if (!unit.pty->Open(error))
        return false;
    *endpoint = unit.pty->SlavePath();
    return true;
}
