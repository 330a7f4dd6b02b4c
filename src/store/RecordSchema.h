#pragma once
#include "store/StoreError.h"

#include <QString>
#include <QStringList>

class QSqlDatabase;

// The tables of the records, one definition for SQLite and PostgreSQL, and
// the steps that bring a store made by an older version up to date. A store
// knows its version from the table schema_version; the steps after it run in
// order inside one transaction that holds the store's write lock, so two
// programs opening a new or older store at once migrate it once.
namespace RecordSchema {

enum class Dialect { Sqlite, Postgres };

// The version this program brings a store to.
int Latest();

// The names of the tables and indexes the steps make, and schema_version:
// what a store of ours may hold.
QStringList Objects();

// Runs one statement; false with the driver's words in *error.
bool Run(QSqlDatabase &db, const QString &sql, QString *error);
// Begins a transaction. SQLite's takes the write lock at once, waiting for
// another writer, rather than fail half-way when a read turns into a write.
bool Begin(QSqlDatabase &db, Dialect dialect, QString *error);
// Brings the store to Latest(). The error (without its location) when a step
// failed (nothing of it stays) or the store is newer than this program knows.
StoreError Migrate(QSqlDatabase &db, Dialect dialect);
} // namespace RecordSchema
