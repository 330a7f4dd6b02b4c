#include "actions/ActionRecord.h"

#include "params/ParamRow.h"
#include "params/ParamTableModel.h"
#include "session/DtuSession.h"

#include <QCryptographicHash>

namespace ActionRecord {
namespace {

QString Key(const QString &table, const QString &number)
{
    return table + QLatin1Char('/') + number;
}

RecordValue ValueOf(const ParamRow &row)
{
    if (!row.HasValue())
        return {};
    return {row.cells[ColHex], row.cells[ColValue]};
}

// Where a row of a write run is: the table flagged, else the first of the
// run's tables that has the number.
const ParamTableModel *TableOf(const QList<const ParamTableModel *> &tables, const QString &number, bool extended)
{
    for (const ParamTableModel *t : tables)
        if ((t->kind() == ParamTableModel::Kind::Extended) == extended && t->FindByNumber(number) >= 0)
            return t;
    for (const ParamTableModel *t : tables)
        if (t->FindByNumber(number) >= 0)
            return t;
    return nullptr;
}

RecordRow RowOf(const ParamTableModel *table, const QString &number, const KnownValues &known)
{
    RecordRow row;
    row.number = number;
    if (!table)
        return row;
    row.table = TableName(*table);
    const ParamRow &cells = table->Row(table->FindByNumber(number));
    row.name = cells.cells[ColName];
    row.after = ValueOf(cells);
    row.before = known.Of(row.table, number);
    return row;
}

} // namespace

QString TableName(const ParamTableModel &table)
{
    return table.kind() == ParamTableModel::Kind::Extended ? QStringLiteral("ext") : QStringLiteral("main");
}

QString Target(const DtuSession &session)
{
    if (session.tcp.IsOpen())
        return QStringLiteral("tcp:%1:%2").arg(session.tcp.Host()).arg(session.tcp.Port());
    // The port as the user named it ("/dev/ttyUSB0"), not Qt's short name.
    if (session.serial.IsOpen())
        return session.facts.PortText;
    return {};
}

ProfileRef Profile(const DtuSession &session)
{
    ProfileRef ref;
    if (!session.profile)
        return ref;
    ref.title = session.profile->Text(QStringLiteral("Title"));
    ref.path = session.profilePath.isEmpty() ? session.profile->Path() : session.profilePath;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const ParamTableModel *table : {&session.mainTable, &session.extTable}) {
        for (int i = 0; i < table->Count(); ++i) {
            const ParamRow &row = table->Row(i);
            if (row.IsHeading())
                continue;
            hash.addData(QStringList{TableName(*table), row.Number(), row.cells[ColName]}
                             .join(QLatin1Char('\t'))
                             .toUtf8());
            hash.addData("\n");
        }
    }
    ref.digest = QString::fromLatin1(hash.result().toHex().left(16));
    return ref;
}

QList<RecordRow> Snapshot(const ParamTableModel &table)
{
    QList<RecordRow> rows;
    for (int i = 0; i < table.Count(); ++i) {
        const ParamRow &cells = table.Row(i);
        if (cells.IsHeading() || !cells.HasValue())
            continue;
        RecordRow row;
        row.table = TableName(table);
        row.number = cells.Number();
        row.name = cells.cells[ColName];
        row.after = ValueOf(cells);
        row.result = kRead;
        rows << row;
    }
    return rows;
}

QString DeviceNumber(const QList<RecordRow> &rows)
{
    for (const RecordRow &row : rows)
        if (row.table == QLatin1String("main") && row.number == kDeviceNumberRow && row.result == kRead)
            return row.after.shown.trimmed();
    return {};
}

bool HeldAfter(const RecordRow &row)
{
    return row.after.IsKnown()
        && (row.result == kRead || row.result == kUnchanged || row.result == ResultId(TransactionResult::Accepted));
}

QString Outcome(const ReadOutcome &outcome)
{
    if (!outcome.channelOpen)
        return QStringLiteral("channel-closed");
    return ResultId(outcome.result);
}

QString Outcome(const WriteReport &report)
{
    if (!report.channelOpen)
        return QStringLiteral("channel-closed");
    if (report.tableNotSwitched)
        return ResultId(TransactionResult::TableNotSwitched);
    if (report.channelLost)
        return QStringLiteral("channel-lost");
    if (report.stopped || report.closing)
        return QStringLiteral("stopped");
    if (!report.Failed().isEmpty())
        return report.Written() > 0 ? QStringLiteral("written-with-errors") : QStringLiteral("failed");
    if (!report.notReached.isEmpty())
        return QStringLiteral("not-reached");
    return ResultId(TransactionResult::Accepted);
}

QString Outcome(const CommandOutcome &outcome)
{
    if (!outcome.channelOpen)
        return QStringLiteral("channel-closed");
    if (outcome.cancelled)
        return QStringLiteral("cancelled");
    return ResultId(outcome.result);
}

void KnownValues::Learn(const QList<RecordRow> &rows)
{
    for (const RecordRow &row : rows)
        if (row.result == kRead && row.after.IsKnown())
            values_.insert(Key(row.table, row.number), row.after);
}

void KnownValues::LearnFrom(const QList<RecordEntry> &newestFirst)
{
    for (const RecordEntry &entry : newestFirst)
        for (const RecordRow &row : entry.rows) {
            // A rollback's rows hold what it read back afterwards.
            const bool read = row.result == kRead || (entry.action == RecordAction::Rollback && HeldAfter(row));
            if (read && row.after.IsKnown() && !values_.contains(Key(row.table, row.number)))
                values_.insert(Key(row.table, row.number), row.after);
        }
}

RecordValue KnownValues::Of(const QString &table, const QString &number) const
{
    return values_.value(Key(table, number));
}

QList<RecordRow> Written(const WriteReport &report, const QList<const ParamTableModel *> &tables,
                         const KnownValues &known)
{
    QList<RecordRow> rows;
    for (const RowResult &r : report.rows) {
        RecordRow row = RowOf(TableOf(tables, r.number, r.extended), r.number, known);
        row.result = ResultId(r.result);
        rows << row;
    }
    for (const QString &number : report.notReached) {
        RecordRow row = RowOf(TableOf(tables, number, false), number, known);
        row.result = kNotReached;
        rows << row;
    }
    for (const QString &number : report.withheld) {
        RecordRow row = RowOf(TableOf(tables, number, false), number, known);
        // Nothing was sent: the device keeps what it had.
        row.after = {};
        row.result = kWithheld;
        rows << row;
    }
    return rows;
}

} // namespace ActionRecord
