#pragma once
#include "store/RecordEntry.h"
#include "store/RecordLocation.h"
#include "store/StoreError.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <optional>

class QThread;

template <typename T>
struct StoreResult {
    T value{};
    StoreError error;
    bool Ok() const { return error.IsNone(); }
};

// One device as the records know it, from its newest entry.
struct DeviceSummary {
    QString key; // RecordEntry::DeviceKey()
    DeviceIdentity identity;
    QString target;
    QDateTime lastSeen;
    QString lastAction, lastOutcome;
    qint64 lastEntry = 0;
    int entries = 0;
    QDateTime lastAudit;      // its newest audit (invalid: never audited)
    QString lastAuditOutcome; // "ok": it held what it should; "differs"...
};

// The device records in a SQLite file or on a PostgreSQL server, behind one
// API. Append-only: there is no way to change or remove an entry. Entries
// come back newest first (by id, the order they were kept in).
//
// A store belongs to the thread that made it (each has its own QtSql
// connection). Several programs may append to one file at once: SQLite runs
// in WAL mode and waits up to kBusyTimeoutMs for another writer.
class RecordStore {
public:
    // SQLite's wait for a lock is no queue: under load (sixteen writers
    // committing to disk, a sanitized build on busy cores) one writer was
    // passed over for more than ten seconds. A minute is still far less than
    // losing the entry.
    static constexpr int kBusyTimeoutMs = 60000;
    static constexpr int kConnectTimeoutS = 5;

    RecordStore();
    ~RecordStore();
    RecordStore(const RecordStore &) = delete;
    RecordStore &operator=(const RecordStore &) = delete;

    // Opens the store, making the file (and its folder) or the server's
    // database and the tables on first use, and bringing an older store's
    // tables up to date.
    StoreError Open(const RecordLocation &location);
    bool IsOpen() const { return open_; }
    const RecordLocation &Location() const { return location_; }

    // Keeps the entry with its rows, all or nothing; the new id. The time
    // is kept to the millisecond; details lose any password member.
    StoreResult<qint64> Append(const RecordEntry &entry);
    // Several entries in one transaction; their ids in order.
    StoreResult<QList<qint64>> Append(const QList<RecordEntry> &entries);

    // Newest first; only the device whose number, IMEI or target is
    // `device` when that is not empty; at most `limit` (0: all). Rows only
    // when asked for.
    StoreResult<QList<RecordEntry>> Entries(const QString &device = {}, int limit = 0, bool withRows = false);
    // One entry with its rows; no value when there is none of that id.
    StoreResult<std::optional<RecordEntry>> Entry(qint64 id);
    // Every device, the one seen last first; with a filter, those whose
    // number, IMEI, firmware or target holds it (letter case ignored).
    StoreResult<QList<DeviceSummary>> Devices(const QString &filter = {});
    // The entries of one fleet run in the order they were kept.
    StoreResult<QList<RecordEntry>> RunEntries(const QString &fleetRun, bool withRows = false);

private:
    StoreError Usable() const;
    StoreError OpenFile();
    StoreError OpenServer();
    // The error at this store's location, worded.
    StoreError Fail(StoreError error) const;
    StoreResult<QList<RecordEntry>> Select(const QString &where, const QVariantList &values, const QString &order,
                                           int limit, bool withRows);
    bool AddRows(QList<RecordEntry> &entries, QString *error);

    QString connection_;
    QSqlDatabase db_;
    RecordLocation location_;
    bool open_ = false;
    QThread *owner_;
};
