#pragma once
#include "sim/SimOptionReader.h"
#include "sim/SimOptions.h"

// The options a unit may have of its own: password, readings, values and
// faults.
namespace SimUnitOptions {

// Lays the options set on reader over *unit: a value replaces the one
// there, a switch turns its fault on, a --only list replaces the list,
// --signal and --signal-steps replace each other, and a --value or
// --ext-value replaces the one given for that parameter. False with the
// reason.
bool Apply(const SimOptionReader &reader, SimUnitSettings *unit);

} // namespace SimUnitOptions
