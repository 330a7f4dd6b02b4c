#pragma once
// Entries of the device records as tests make them and find them: rows and
// entries of a test's own, kept in a store, and every entry a store holds
// after the program under test ran.
#include "store/RecordLocation.h"
#include "store/RecordStore.h"

#include <algorithm>

// A row of an entry: `after` the value read (or sent), with its result.
inline RecordRow EntryRow(const QString &number, const QString &name, const RecordValue &after,
                          const QString &result = QStringLiteral("read"), const RecordValue &before = {},
                          const QString &table = QStringLiteral("main"))
{
    return RecordRow{table, number, name, before, after, result};
}

// An entry of device 0137 on /dev/ttyUSB0, kept by "wang" on "bench-3" with
// dtucfg `minute` minutes after 08:00 UTC on 6 May 2024, outcome ok.
inline RecordEntry TestEntry(const QString &action, const QList<RecordRow> &rows = {}, int minute = 0)
{
    RecordEntry e;
    e.time = QDateTime(QDate(2024, 5, 6), QTime(8, 0, 0, 7), Qt::UTC).addSecs(60 * minute);
    e.operatorName = QStringLiteral("wang");
    e.host = QStringLiteral("bench-3");
    e.program = RecordProgram::Dtucfg;
    e.target = QStringLiteral("/dev/ttyUSB0");
    e.device.number = QStringLiteral("0137");
    e.profile = {QStringLiteral("示例设备"), QStringLiteral("/p/示例设备.txt"), QStringLiteral("sha256:ab12")};
    e.action = action;
    e.outcome = QStringLiteral("ok");
    e.rows = rows;
    return e;
}

// Keeps the entries, in order, in the store at `path` (made when it is
// not there); their ids, none when the store could not take them.
inline QList<qint64> KeepEntries(const QString &path, const QList<RecordEntry> &entries)
{
    RecordStore store;
    RecordLocation location;
    QString error;
    if (!RecordLocation::Parse(path, &location, &error) || !store.Open(location).IsNone())
        return {};
    return store.Append(entries).value;
}

// Every entry of the store at `path`, oldest first, with their rows. Empty
// when the store cannot be opened.
inline QList<RecordEntry> EntriesIn(const QString &path)
{
    RecordStore store;
    RecordLocation location;
    QString error;
    if (!RecordLocation::Parse(path, &location, &error) || !store.Open(location).IsNone())
        return {};
    QList<RecordEntry> entries = store.Entries({}, 0, true).value;
    std::reverse(entries.begin(), entries.end());
    return entries;
}

// An entry's row by table and number; nullptr when it has none.
inline const RecordRow *FindRow(const RecordEntry &entry, const QString &table, const QString &number)
{
    for (const RecordRow &row : entry.rows)
        if (row.table == table && row.number == number)
            return &row;
    return nullptr;
}
