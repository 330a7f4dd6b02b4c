// The reading side of RecordStore: entries, one entry, devices, a fleet run.
#include "store/RecordStore.h"

#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

const QString kEntryColumns = QStringLiteral(
    "e.id, e.time, e.operator, e.host, e.program, e.target, e.device_number, e.device_imei, e.device_firmware,"
    " e.profile_title, e.profile_path, e.profile_digest, e.action, e.outcome, e.details, e.fleet_run,"
    " e.restores, e.device_key");
constexpr int kEntryColumnCount = 18;

// A read query, its values bound in order; false when it failed (the
// query holds why).
bool RunRead(QSqlQuery &query, const QString &sql, const QVariantList &values)
{
    query.setForwardOnly(true);
    query.prepare(sql);
    for (const QVariant &v : values)
        query.addBindValue(v);
    return query.exec();
}

RecordEntry EntryAt(const QSqlQuery &q)
{
    RecordEntry e;
    e.id = q.value(0).toLongLong();
    e.time = RecordEntries::TimeFromText(q.value(1).toString());
    e.operatorName = q.value(2).toString();
    e.host = q.value(3).toString();
    e.program = q.value(4).toString();
    e.target = q.value(5).toString();
    e.device = {q.value(6).toString(), q.value(7).toString(), q.value(8).toString()};
    e.profile = {q.value(9).toString(), q.value(10).toString(), q.value(11).toString()};
    e.action = q.value(12).toString();
    e.outcome = q.value(13).toString();
    e.details = QJsonDocument::fromJson(q.value(14).toString().toUtf8()).object();
    e.fleetRun = q.value(15).toString();
    e.restores = q.value(16).isNull() ? 0 : q.value(16).toLongLong();
    return e;
}

// '%', '_' and '\' in a filter stand for themselves.
QString LikePattern(const QString &text)
{
    QString escaped = text.toLower();
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    escaped.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

} // namespace

StoreResult<QList<RecordEntry>> RecordStore::Select(const QString &where, const QVariantList &values,
                                                    const QString &order, int limit, bool withRows)
{
    if (StoreError error = Usable(); !error.IsNone())
        return {{}, error};
    QString sql = QStringLiteral("SELECT %1 FROM entries e").arg(kEntryColumns);
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where;
    sql += QStringLiteral(" ORDER BY ") + order;
    if (limit > 0)
        sql += QStringLiteral(" LIMIT %1").arg(limit);
    QSqlQuery query(db_);
    if (!RunRead(query, sql, values))
        return {{}, Fail({.kind = StoreError::Kind::CannotRead, .reason = query.lastError().text()})};
    QList<RecordEntry> entries;
    while (query.next())
        entries.append(EntryAt(query));
    QString why;
    if (withRows && !AddRows(entries, &why))
        return {{}, Fail({.kind = StoreError::Kind::CannotRead, .reason = why})};
    return {entries, {}};
}

bool RecordStore::AddRows(QList<RecordEntry> &entries, QString *error)
{
    if (entries.isEmpty())
        return true;
    QHash<qint64, qsizetype> at;
    QStringList ids;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        at.insert(entries[i].id, i);
        ids << QString::number(entries[i].id);
    }
    QSqlQuery query(db_);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT entry_id, param_table, number, name, before_raw, before_shown, after_raw,"
                                   " after_shown, result FROM entry_rows WHERE entry_id IN (%1)"
                                   " ORDER BY entry_id, position")
                        .arg(ids.join(QLatin1Char(','))))) {
        *error = query.lastError().text();
        return false;
    }
    while (query.next()) {
        RecordRow row;
        row.table = query.value(1).toString();
        row.number = query.value(2).toString();
        row.name = query.value(3).toString();
        row.before = {query.value(4).toString(), query.value(5).toString()};
        row.after = {query.value(6).toString(), query.value(7).toString()};
        row.result = query.value(8).toString();
        entries[at.value(query.value(0).toLongLong())].rows.append(row);
    }
    return true;
}

StoreResult<QList<RecordEntry>> RecordStore::Entries(const QString &device, int limit, bool withRows)
{
    if (device.isEmpty())
        return Select({}, {}, QStringLiteral("e.id DESC"), limit, withRows);
    return Select(QStringLiteral("e.device_number = ? OR e.device_imei = ? OR e.target = ?"),
                  {device, device, device}, QStringLiteral("e.id DESC"), limit, withRows);
}

StoreResult<std::optional<RecordEntry>> RecordStore::Entry(qint64 id)
{
    StoreResult<QList<RecordEntry>> found = Select(QStringLiteral("e.id = ?"), {id}, QStringLiteral("e.id"), 1, true);
    if (!found.Ok() || found.value.isEmpty())
        return {std::nullopt, found.error};
    return {found.value.first(), {}};
}

StoreResult<QList<RecordEntry>> RecordStore::RunEntries(const QString &fleetRun, bool withRows)
{
    if (fleetRun.isEmpty())
        return {{}, {}};
    return Select(QStringLiteral("e.fleet_run = ?"), {fleetRun}, QStringLiteral("e.id"), 0, withRows);
}

StoreResult<QList<DeviceSummary>> RecordStore::Devices(const QString &filter)
{
    if (StoreError error = Usable(); !error.IsNone())
        return {{}, error};
    // Each device's newest entry, how many it has, and its newest audit.
    QString sql = QStringLiteral("SELECT %1, g.n, a.time, a.outcome FROM (SELECT device_key, COUNT(*) AS n,"
                                 " MAX(id) AS last_id, MAX(CASE WHEN action = 'audit' THEN id END) AS audit_id"
                                 " FROM entries GROUP BY device_key) g JOIN entries e ON e.id = g.last_id"
                                 " LEFT JOIN entries a ON a.id = g.audit_id")
                      .arg(kEntryColumns);
    QVariantList values;
    if (!filter.isEmpty()) {
        QStringList matches;
        for (const char *column : {"device_key", "device_number", "device_imei", "device_firmware", "target"}) {
            matches << QStringLiteral("LOWER(e.%1) LIKE ? ESCAPE '\\'").arg(QLatin1String(column));
            values << LikePattern(filter);
        }
        sql += QStringLiteral(" WHERE ") + matches.join(QStringLiteral(" OR "));
    }
    sql += QStringLiteral(" ORDER BY e.id DESC");
    QSqlQuery query(db_);
    if (!RunRead(query, sql, values))
        return {{}, Fail({.kind = StoreError::Kind::CannotRead, .reason = query.lastError().text()})};
    QList<DeviceSummary> devices;
    while (query.next()) {
        const RecordEntry last = EntryAt(query);
        DeviceSummary d;
        d.key = query.value(kEntryColumnCount - 1).toString();
        d.identity = last.device;
        d.target = last.target;
        d.lastSeen = last.time;
        d.lastAction = last.action;
        d.lastOutcome = last.outcome;
        d.lastEntry = last.id;
        d.entries = query.value(kEntryColumnCount).toInt();
        if (!query.value(kEntryColumnCount + 1).isNull()) {
            d.lastAudit = RecordEntries::TimeFromText(query.value(kEntryColumnCount + 1).toString());
            d.lastAuditOutcome = query.value(kEntryColumnCount + 2).toString();
        }
        devices.append(d);
    }
    return {devices, {}};
}
