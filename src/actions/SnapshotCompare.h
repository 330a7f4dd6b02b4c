#pragma once
#include "ops/TableCompare.h"
#include "store/RecordEntry.h"

#include <QList>
#include <QString>

// Two entries of the device records compared as the values they leave on
// the device: row by row, the raw values (letter case ignored), the first
// entry taken as the expected values. dtucfg history --diff prints it; the
// records window shows it side by side.
namespace SnapshotCompare {
// Both tables of the first entry against the second's.
TableCompare::Outcome Compare(const RecordEntry &first, const RecordEntry &second);

// One row of both entries.
struct Pair {
    QString table, number, name;
    RecordValue first, second; // the empty value where an entry has no value for the row
    bool differs = false;      // by the comparison above; a row one entry lacks differs too
};
// The rows of both, the first entry's in its order, then those only the
// second has.
QList<Pair> SideBySide(const RecordEntry &first, const RecordEntry &second);
} // namespace SnapshotCompare
