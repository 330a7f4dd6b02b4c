#include "actions/EntryRows.h"

#include "core/Endpoint.h"
#include "core/WriteRules.h"
#include "params/ParamRow.h"
#include "params/ParamTableModel.h"
#include "session/DtuSession.h"

#include <QCryptographicHash>
#include <QFileInfo>

namespace EntryRows {
namespace {

const QString kRead = OutcomeName(OutcomeId::Read);

// A row's value; "HEX:" alone is the empty value, which is a value too.
RecordValue ValueOf(const ParamRow &row)
{
    if (!row.cells[ColHex].startsWith(kHexPrefix))
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

// A row of the table as an entry keeps it, its value `after`.
RecordRow RowOf(const ParamTableModel &table, const ParamRow &cells)
{
    RecordRow row;
    row.table = TableName(table);
    row.number = cells.Number();
    row.name = cells.cells[ColName];
    row.after = ValueOf(cells);
    return row;
}

RecordRow RowOf(const ParamTableModel *table, const QString &number, const KnownValues &known)
{
    RecordRow row;
    if (table) {
        row = RowOf(*table, table->Row(table->FindByNumber(number)));
        row.before = known.Of(row.table, number);
    }
    row.number = number;
    return row;
}

} // namespace

QList<RecordRow> Read(const ParamTableModel &table, const QStringList &reported)
{
    QList<RecordRow> rows;
    for (int i = 0; i < table.Count(); ++i) {
        const ParamRow &cells = table.Row(i);
        if (cells.IsHeading() || !reported.contains(cells.Number(), Qt::CaseInsensitive))
            continue;
        RecordRow row = RowOf(table, cells);
        row.result = kRead;
        rows << row;
    }
    return rows;
}

QString TableName(const ParamTableModel &table)
{
    return table.kind() == ParamTableModel::Kind::Extended ? QStringLiteral("ext") : QStringLiteral("main");
}

QHash<QString, RecordRow> ByKey(const QList<RecordRow> &rows)
{
    QHash<QString, RecordRow> byKey;
    for (const RecordRow &row : rows)
        byKey.insert(Key(row.table, row.number), row);
    return byKey;
}

QString Target(const DtuSession &session)
{
    if (session.tcp.IsOpen())
        return Endpoint::Tcp(session.tcp.Host(), session.tcp.Port()).Text();
    if (session.serial.IsOpen())
        return Endpoint::Serial(session.serial.OpenedName()).Text();
    return {};
}

ProfileRef Profile(const DtuSession &session)
{
    ProfileRef ref;
    if (!session.profile)
        return ref;
    ref.title = session.profile->Text(QStringLiteral("Title"));
    const QString path = session.profilePath.isEmpty() ? session.profile->Path() : session.profilePath;
    ref.path = path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
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

QList<RecordRow> Read(const DtuSession &session, const ReadOutcome &outcome)
{
    return Read(session.mainTable, outcome.reportedMain) + Read(session.extTable, outcome.reportedExt);
}

QString DeviceNumber(const QList<RecordRow> &rows)
{
    for (const RecordRow &row : rows)
        if (row.table == QLatin1String("main") && WriteRules::IsProtected(row.number) && row.result == kRead) // the device number
            return row.after.shown.trimmed();
    return {};
}

bool HeldAfter(const RecordRow &row)
{
    static const QStringList held{kRead, OutcomeName(OutcomeId::Unchanged), OutcomeName(OutcomeId::Ok)};
    return row.after.IsKnown() && held.contains(row.result);
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
    const auto add = [&](const QString &number, bool extended, const QString &result) -> RecordRow & {
        rows << RowOf(TableOf(tables, number, extended), number, known);
        rows.last().result = result;
        return rows.last();
    };
    for (const RowResult &r : report.rows)
        add(r.number, r.extended, ResultId(r.result));
    for (const QString &number : report.notReached)
        add(number, false, OutcomeName(OutcomeId::NotReached));
    // Nothing was sent: the device keeps what it had.
    for (const QString &number : report.withheld)
        add(number, false, OutcomeName(OutcomeId::Withheld)).after = {};
    return rows;
}

} // namespace EntryRows
