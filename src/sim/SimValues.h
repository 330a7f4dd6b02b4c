#pragma once
#include "sim/SimOptions.h"
#include "sim/SimProfile.h"

class ScriptHost;

// The values given with --value and --ext-value, laid over the profile's.
namespace SimValues {

// Turns each text given as the profile shows it into the row's bytes as the
// tool would: a label of the row's pick list, else the row's ONSET (SetStr,
// SetFloat or its script) through ValueCodec and the device script. False
// with a usage error naming the option and the row for a number the table
// lacks or a text the row cannot hold.
bool Resolve(QList<SimGivenValue> *values, const SimTables &tables, ScriptHost &script, QString *error);

// The tables holding those values (Resolve first: a text not turned into
// bytes is left out).
SimTables Laid(SimTables tables, const QList<SimGivenValue> &values);

} // namespace SimValues
