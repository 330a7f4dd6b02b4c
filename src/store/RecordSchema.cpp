#include "store/RecordSchema.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace RecordSchema {
namespace {

// Any number, the same in every program: PostgreSQL's lock for migrations.
constexpr qint64 kMigrationLock = 0x44545552; // "DTUR"

// Version 1: the entries and their rows. A value not known is ''.
const QString kEntryColumns = QStringLiteral(
    "time TEXT NOT NULL, operator TEXT NOT NULL, host TEXT NOT NULL, program TEXT NOT NULL,"
    " target TEXT NOT NULL, device_number TEXT NOT NULL, device_imei TEXT NOT NULL,"
    " device_firmware TEXT NOT NULL, profile_title TEXT NOT NULL, profile_path TEXT NOT NULL,"
    " profile_digest TEXT NOT NULL, action TEXT NOT NULL, outcome TEXT NOT NULL, details TEXT NOT NULL,"
    " fleet_run TEXT NOT NULL, restores %1");
const QString kRowColumns = QStringLiteral(
    "position INTEGER NOT NULL, param_table TEXT NOT NULL, number TEXT NOT NULL, name TEXT NOT NULL,"
    " before_raw TEXT NOT NULL, before_shown TEXT NOT NULL, after_raw TEXT NOT NULL,"
    " after_shown TEXT NOT NULL, result TEXT NOT NULL, PRIMARY KEY (entry_id, position)");

// Version 2: the key a device is filed under (its number, else its IMEI,
// else its target), filled in for the entries already there, and the
// indexes the device views read by.
const QString kFillDeviceKey = QStringLiteral(
    "UPDATE entries SET device_key = CASE WHEN device_number <> '' THEN device_number"
    " WHEN device_imei <> '' THEN device_imei ELSE target END");
const QStringList kDeviceKeyStep{
    QStringLiteral("ALTER TABLE entries ADD COLUMN device_key TEXT NOT NULL DEFAULT ''"),
    kFillDeviceKey,
    QStringLiteral("CREATE INDEX entries_by_key ON entries (device_key, id)"),
    QStringLiteral("CREATE INDEX entries_by_number ON entries (device_number, id)"),
    QStringLiteral("CREATE INDEX entries_by_imei ON entries (device_imei, id)"),
    QStringLiteral("CREATE INDEX entries_by_target ON entries (target, id)"),
    QStringLiteral("CREATE INDEX entries_by_run ON entries (fleet_run, id)"),
};

struct Step {
    int version; // the version the store has after this step
    QStringList sqlite;
    QStringList postgres;
};

// Every step, oldest first. The last one's version is Latest().
const QList<Step> &Steps()
{
    static const QList<Step> steps{
        {1,
         {QStringLiteral("CREATE TABLE entries (id INTEGER PRIMARY KEY AUTOINCREMENT, %1)")
              .arg(kEntryColumns.arg(QStringLiteral("INTEGER"))),
          QStringLiteral("CREATE TABLE entry_rows (entry_id INTEGER NOT NULL REFERENCES entries (id), %1)")
              .arg(kRowColumns)},
         {QStringLiteral("CREATE TABLE entries (id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY, %1)")
              .arg(kEntryColumns.arg(QStringLiteral("BIGINT"))),
          QStringLiteral("CREATE TABLE entry_rows (entry_id BIGINT NOT NULL REFERENCES entries (id), %1)")
              .arg(kRowColumns)}},
        {2, kDeviceKeyStep, kDeviceKeyStep},
    };
    return steps;
}

// Takes the store's write lock until the transaction ends: SQLite's
// IMMEDIATE transaction, PostgreSQL's advisory lock.
bool BeginLocked(QSqlDatabase &db, Dialect dialect, QString *error)
{
    if (!Begin(db, dialect, error))
        return false;
    if (dialect == Dialect::Sqlite
        || Run(db, QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kMigrationLock), error))
        return true;
    db.rollback();
    return false;
}

StoreError Failed(QSqlDatabase &db, StoreError error)
{
    db.rollback();
    return error;
}

// The store's version: 0 for a store without tables. False with a message
// when it cannot be read.
bool Version(QSqlDatabase &db, int *version, QString *error)
{
    *version = 0;
    if (!db.tables().contains(QStringLiteral("schema_version")))
        return true;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT MAX(version) FROM schema_version"))) {
        *error = query.lastError().text();
        return false;
    }
    if (query.next())
        *version = query.value(0).toInt();
    return true;
}

} // namespace

bool Run(QSqlDatabase &db, const QString &sql, QString *error)
{
    QSqlQuery query(db);
    if (query.exec(sql))
        return true;
    *error = query.lastError().text();
    return false;
}

bool Begin(QSqlDatabase &db, Dialect dialect, QString *error)
{
    if (dialect == Dialect::Sqlite)
        return Run(db, QStringLiteral("BEGIN IMMEDIATE"), error);
    if (db.transaction())
        return true;
    *error = db.lastError().text();
    return false;
}

int Latest()
{
    return Steps().constLast().version;
}

QStringList Objects()
{
    static const QRegularExpression made(QStringLiteral("^CREATE (?:TABLE|INDEX) (\\w+)"));
    QStringList names{QStringLiteral("schema_version")};
    for (const Step &step : Steps())
        for (const QString &sql : step.sqlite)
            if (const QRegularExpressionMatch m = made.match(sql); m.hasMatch())
                names << m.captured(1);
    return names;
}

StoreError Migrate(QSqlDatabase &db, Dialect dialect)
{
    using Kind = StoreError::Kind;
    int version = 0;
    QString error;
    if (Version(db, &version, &error) && version == Latest())
        return {};
    if (!BeginLocked(db, dialect, &error))
        return {.kind = Kind::CannotOpen, .reason = error};
    // Another program may have migrated while this one waited for the lock.
    const bool versioned = db.tables().contains(QStringLiteral("schema_version"));
    if ((!versioned && !Run(db, QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"), &error))
        || !Version(db, &version, &error))
        return Failed(db, {.kind = Kind::CannotOpen, .reason = error});
    if (version > Latest())
        return Failed(db, {.kind = Kind::Newer, .version = version, .known = Latest()});
    for (const Step &step : Steps()) {
        if (step.version <= version)
            continue;
        for (const QString &sql : dialect == Dialect::Sqlite ? step.sqlite : step.postgres)
            if (!Run(db, sql, &error))
                return Failed(db, {.kind = Kind::CannotUpgrade, .reason = error, .version = step.version});
        if (!Run(db, QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)").arg(step.version), &error))
            return Failed(db, {.kind = Kind::CannotUpgrade, .reason = error, .version = step.version});
    }
    if (!db.commit())
        return Failed(db, {.kind = Kind::CannotOpen, .reason = db.lastError().text()});
    return {};
}

} // namespace RecordSchema
