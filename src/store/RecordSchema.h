#pragma once
#include "store/StoreError.h"

#include <QList>
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

struct Step {
    int version; // the version the store has after this step
    QStringList sqlite;
    QStringList postgres;
};

// Every step, oldest first. The last one's version is Latest().
const QList<Step> &Steps();
int Latest();

// The names of the tables and indexes the steps make, and schema_version:
// what a store of ours may hold.
QStringList Objects();

// The store's version: 0 for a store without tables. False with a message
// when it cannot be read.
bool Version(QSqlDatabase &db, int *version, QString *error);
// Brings the store to Latest(). The error (without its location) when a step
// failed (nothing of it stays) or the store is newer than this program knows.
StoreError Migrate(QSqlDatabase &db, Dialect dialect);
} // namespace RecordSchema
