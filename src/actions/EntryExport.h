#pragma once
#include "store/RecordEntry.h"

#include <QByteArray>
#include <QList>

// Entries of the device records as files and as the records window shows
// them.
namespace EntryExport {
// CSV (UTF-8, a header line): one line per row of each entry, an entry
// without rows one line with the row's cells empty. Values as shown, the
// raw ones beside them.
QByteArray Csv(const QList<RecordEntry> &entries);
// The JSON array dtucfg history --json prints.
QByteArray Json(const QList<RecordEntry> &entries);
// A row the action did not leave as it meant to: refused, not answered, not
// reached, found differing on read-back. A value read, written and taken,
// already held, or kept back by the access level is no failure.
bool RowFailed(const RecordRow &row);
// A value as the user reads it: the shown text, else the raw one.
QString Shown(const RecordValue &value);
} // namespace EntryExport
