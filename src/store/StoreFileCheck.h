#pragma once
#include "store/StoreError.h"

// Whether a SQLite file may be opened as a store of ours, found without
// changing it: no journal mode switched, no side file left behind. A file
// that does not exist yet, an empty one and a database without tables may
// become a store; a store of ours may be opened. A database holding anything
// else is another program's (NotOurs), as is a file that is no database; a
// store of a newer version is refused (Newer). The error without its
// location; None when the file may be opened.
namespace StoreFileCheck {
StoreError Check(const QString &path, int busyTimeoutMs);
}
