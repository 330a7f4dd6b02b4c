#pragma once
#include "store/RecordEntry.h"

#include <QJsonArray>
#include <QJsonObject>

// An entry as scripts read it: the members id, time, operator, host,
// program, target, device {number, imei, firmware}, profile, action,
// outcome and rows (each number, name, before, after, result), then
// details, run and restores. A value not known is null; so are run and
// restores outside a fleet run or a rollback.
namespace EntryJson {
QJsonObject Entry(const RecordEntry &entry);
QJsonArray Entries(const QList<RecordEntry> &entries);
} // namespace EntryJson
