#pragma once
// Every entry of a device records store, oldest first, with their rows:
// what a test finds in the store after the program under test ran. Empty
// when the store cannot be opened.
#include "store/RecordLocation.h"
#include "store/RecordStore.h"

#include <algorithm>

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
