#pragma once
#include "sim/SimOptionReader.h"
#include "sim/SimOptions.h"

// The options a unit may have of its own: password, readings and faults.
namespace SimUnitOptions {

// Lays the options set on reader over *unit: a value replaces the one
// there, a switch turns its fault on, a --only list replaces the list, and
// --signal and --signal-steps replace each other. False with the reason.
bool Apply(const SimOptionReader &reader, SimUnitSettings *unit);

} // namespace SimUnitOptions
