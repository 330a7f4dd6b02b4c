#include "store/RecordStore.h"

#include "store/RecordSchema.h"
#include "store/StoreFileCheck.h"
#include "store/StoreWording.h"

#include <QAtomicInteger>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>

namespace {

const QString kSqliteDriver = QStringLiteral("QSQLITE");
const QString kPostgresDriver = QStringLiteral("QPSQL");

QString NewConnectionName()
{
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("dturecords-%1").arg(counter.fetchAndAddRelaxed(1));
}

// A null text would be bound as SQL NULL; the columns hold '' instead.
QVariant Text(const QString &text)
{
    return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
}

RecordSchema::Dialect DialectOf(const RecordLocation &location)
{
    return location.kind == RecordLocation::Kind::File ? RecordSchema::Dialect::Sqlite
                                                       : RecordSchema::Dialect::Postgres;
}

// A store not yet in WAL mode is switched under its write lock. When another
// program holds that lock (it is making the same store at this moment),
// SQLite fails at once as "locked" rather than wait, as waiting there could
// deadlock; the switch is tried again until the busy timeout, as any other
// lock is waited for.
bool SwitchToWriteAheadLog(QSqlDatabase &db, QString *error)
{
    constexpr int kSqliteBusy = 5;
    constexpr int kRetryMs = 5;
    const QDeadlineTimer deadline(RecordStore::kBusyTimeoutMs);
    for (;;) {
        QSqlQuery mode(db);
        if (mode.exec(QStringLiteral("PRAGMA journal_mode=WAL")) && mode.next())
            return true;
        *error = mode.lastError().text();
        if (mode.lastError().nativeErrorCode() != QString::number(kSqliteBusy) || deadline.hasExpired())
            return false;
        mode.finish();
        QThread::msleep(kRetryMs);
    }
}

QString QuotedIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

RecordStore::RecordStore() : connection_(NewConnectionName()), owner_(QThread::currentThread()) {}

RecordStore::~RecordStore()
{
    if (db_.isValid())
        db_.close();
    db_ = QSqlDatabase();
    if (QSqlDatabase::contains(connection_))
        QSqlDatabase::removeDatabase(connection_);
}

StoreError RecordStore::Fail(StoreError error) const
{
    error.location = location_.Shown();
    return StoreWording::Worded(error);
}

StoreError RecordStore::Usable() const
{
    if (QThread::currentThread() != owner_)
        return Fail({.kind = StoreError::Kind::WrongThread});
    if (!open_)
        return Fail({.kind = StoreError::Kind::NotOpen});
    return {};
}

StoreError RecordStore::Open(const RecordLocation &location)
{
    if (owner_ != QThread::currentThread())
        return Fail({.kind = StoreError::Kind::WrongThread});
    // A fresh connection each time: the driver may differ.
    open_ = false;
    db_ = QSqlDatabase();
    if (QSqlDatabase::contains(connection_))
        QSqlDatabase::removeDatabase(connection_);
    location_ = location;
    StoreError error = location.kind == RecordLocation::Kind::File ? OpenFile() : OpenServer();
    if (!error.IsNone()) {
        db_.close();
        return error;
    }
    if (error = RecordSchema::Migrate(db_, DialectOf(location)); !error.IsNone()) {
        db_.close();
        return Fail(error);
    }
    open_ = true;
    return {};
}

StoreError RecordStore::OpenFile()
{
    using Kind = StoreError::Kind;
    if (!QSqlDatabase::isDriverAvailable(kSqliteDriver))
        return Fail({.kind = Kind::NoDriver, .driver = kSqliteDriver});
    // Another program's file is refused before anything is written to it.
    if (StoreError error = StoreFileCheck::Check(location_.path, kBusyTimeoutMs); !error.IsNone())
        return Fail(error);
    const QString folder = QFileInfo(location_.path).absolutePath();
    if (!QDir().mkpath(folder))
        return Fail({.kind = Kind::FolderNotMade, .folder = folder});
    // Said plainly rather than in the driver's words. The folder counts
    // too: WAL keeps two files beside the store.
    const QFileInfo file(location_.path);
    if (file.exists() && !file.isWritable())
        return Fail({.kind = Kind::FileReadOnly});
    if (!QFileInfo(folder).isWritable())
        return Fail({.kind = Kind::FolderReadOnly});
    db_ = QSqlDatabase::addDatabase(kSqliteDriver, connection_);
    db_.setDatabaseName(location_.path);
    // Another program appending holds the write lock for a few milliseconds:
    // wait for it rather than fail.
    db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db_.open())
        return Fail({.kind = Kind::CannotOpen, .reason = db_.lastError().text()});
    QString why;
    // Readers never wait for a writer, and a writer that dies leaves the
    // file whole. Each commit reaches the disk before Append returns.
    if (!SwitchToWriteAheadLog(db_, &why) || !RecordSchema::Run(db_, QStringLiteral("PRAGMA synchronous=FULL"), &why))
        return Fail({.kind = Kind::CannotOpen, .reason = why});
    return {};
}

StoreError RecordStore::OpenServer()
{
    if (!QSqlDatabase::isDriverAvailable(kPostgresDriver))
        return Fail({.kind = StoreError::Kind::NoDriver, .driver = kPostgresDriver});
    const auto connect = [this](const QString &database) {
        if (!db_.isValid())
            db_ = QSqlDatabase::addDatabase(kPostgresDriver, connection_);
        db_.close();
        db_.setHostName(location_.host);
        db_.setPort(location_.port);
        db_.setUserName(location_.user);
        db_.setPassword(location_.password);
        db_.setDatabaseName(database);
        QString options = QStringLiteral("connect_timeout=%1").arg(kConnectTimeoutS);
        if (!location_.clientOptions.isEmpty())
            options += QLatin1Char(';') + location_.clientOptions;
        db_.setConnectOptions(options);
        return db_.open();
    };
    if (connect(location_.database))
        return {};
    const QString firstError = db_.lastError().text();
    // A database not there yet is made through the server's own one. When
    // it exists (or another program made it meanwhile) the first error
    // stands.
    if (!connect(QStringLiteral("postgres")))
        return Fail({.kind = StoreError::Kind::CannotOpen, .reason = firstError});
    const auto exists = [this] {
        QSqlQuery query(db_);
        query.prepare(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = ?"));
        query.addBindValue(location_.database);
        return query.exec() && query.next();
    };
    QString why;
    // Made by another program at the same moment: then it is there now.
    const QString create = QStringLiteral("CREATE DATABASE ") + QuotedIdentifier(location_.database);
    if (!exists() && !RecordSchema::Run(db_, create, &why) && !exists())
        return Fail({.kind = StoreError::Kind::CannotOpen, .reason = why});
    if (!connect(location_.database))
        return Fail({.kind = StoreError::Kind::CannotOpen, .reason = db_.lastError().text()});
    return {};
}

StoreResult<qint64> RecordStore::Append(const RecordEntry &entry)
{
    StoreResult<QList<qint64>> all = Append(QList<RecordEntry>{entry});
    return {all.value.value(0), all.error};
}

StoreResult<QList<qint64>> RecordStore::Append(const QList<RecordEntry> &entries)
{
    if (StoreError error = Usable(); !error.IsNone())
        return {{}, error};
    QString why;
    if (!RecordSchema::Begin(db_, DialectOf(location_), &why))
        return {{}, Fail({.kind = StoreError::Kind::CannotWrite, .reason = why})};
    const auto failed = [&](const QString &text) {
        db_.rollback();
        return StoreResult<QList<qint64>>{{}, Fail({.kind = StoreError::Kind::CannotWrite, .reason = text})};
    };

    QSqlQuery addEntry(db_);
    addEntry.prepare(QStringLiteral(
        "INSERT INTO entries (time, operator, host, program, target, device_number, device_imei, device_firmware,"
        " profile_title, profile_path, profile_digest, action, outcome, details, fleet_run, restores, device_key)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id"));
    QSqlQuery addRow(db_);
    addRow.prepare(QStringLiteral(
        "INSERT INTO entry_rows (entry_id, position, param_table, number, name, before_raw, before_shown,"
        " after_raw, after_shown, result) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));

    QList<qint64> ids;
    for (const RecordEntry &e : entries) {
        const QByteArray details =
            QJsonDocument(RecordEntries::WithoutPasswords(e.details)).toJson(QJsonDocument::Compact);
        const QVariantList values{
            Text(RecordEntries::TimeText(e.time.isValid() ? e.time : QDateTime::currentDateTimeUtc())),
            Text(e.operatorName), Text(e.host), Text(e.program), Text(e.target),
            Text(e.device.number), Text(e.device.imei), Text(e.device.firmware),
            Text(e.profile.title), Text(e.profile.path), Text(e.profile.digest),
            Text(e.action), Text(e.outcome), Text(QString::fromUtf8(details)), Text(e.fleetRun),
            e.restores > 0 ? QVariant(e.restores) : QVariant(QMetaType::fromType<qint64>()),
            Text(e.DeviceKey())};
        for (const QVariant &v : values)
            addEntry.addBindValue(v);
        if (!addEntry.exec() || !addEntry.next())
            return failed(addEntry.lastError().text());
        const qint64 id = addEntry.value(0).toLongLong();
        // SQLite keeps a statement with RETURNING open until it is reset.
        addEntry.finish();
        for (qsizetype i = 0; i < e.rows.size(); ++i) {
            const RecordRow row = RecordEntries::Kept(e.rows[i]);
            const QVariantList rowValues{id, static_cast<int>(i), Text(row.table), Text(row.number), Text(row.name),
                                         Text(row.before.raw), Text(row.before.shown), Text(row.after.raw),
                                         Text(row.after.shown), Text(row.result)};
            for (const QVariant &v : rowValues)
                addRow.addBindValue(v);
            if (!addRow.exec())
                return failed(addRow.lastError().text());
        }
        ids.append(id);
    }
    if (!db_.commit())
        return failed(db_.lastError().text());
    return {ids, {}};
}
