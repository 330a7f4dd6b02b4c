#pragma once
#include "channel/PortSurvey.h"

#include <QJsonArray>
#include <QString>

struct CliContext;
struct CliVerdict;

// `dtucfg ports [PATH...]`: the serial ports the system reports, and the
// paths named, one line each (or a JSON document with --json).
namespace CliPorts {

// One line: path, USB identity, serial number, description and maker when
// known, then whether this user can open it and, if not, what to do.
QString Line(const PortSurvey::Port &port);
// The ports as the "ports" member of --json holds them.
QJsonArray Entries(const QList<PortSurvey::Port> &ports);

// The command: surveys the system's ports and the arguments' paths.
CliVerdict Run(CliContext &context);

} // namespace CliPorts
