#include "actions/SnapshotCompare.h"

#include <QSet>

namespace SnapshotCompare {
namespace {

const QString kTables[] = {QStringLiteral("main"), QStringLiteral("ext")};

RecordValue Of(const RecordEntry &entry, const QString &table, const QString &number)
{
    for (const RecordRow &row : entry.rows)
        if (row.table == table && row.number == number && row.after.IsKnown())
            return row.after;
    return {};
}

// The values an entry leaves on the device in one table ("main", "ext"):
// each row's value after the action, where known.
QList<TableCompare::RowValue> Values(const RecordEntry &entry, const QString &table)
{
    QList<TableCompare::RowValue> rows;
    for (const RecordRow &row : entry.rows)
        if (row.table == table && row.after.IsKnown())
            rows.append({row.number, row.name, row.after.raw, row.after.shown});
    return rows;
}

} // namespace

TableCompare::Outcome Compare(const RecordEntry &first, const RecordEntry &second)
{
    TableCompare::Outcome outcome;
    for (const QString &table : kTables)
        TableCompare::Compare(Values(first, table), Values(second, table), {}, &outcome);
    return outcome;
}

QList<Pair> SideBySide(const RecordEntry &first, const RecordEntry &second)
{
    QList<Pair> pairs;
    for (const QString &table : kTables) {
        const QList<TableCompare::RowValue> a = Values(first, table);
        const QList<TableCompare::RowValue> b = Values(second, table);
        TableCompare::Outcome outcome;
        TableCompare::Compare(a, b, {}, &outcome);
        QSet<QString> differing;
        for (const TableCompare::Difference &d : outcome.differences)
            differing.insert(d.number);
        QSet<QString> listed;
        for (const TableCompare::RowValue &row : a) {
            listed.insert(row.number);
            pairs.append({table, row.number, row.name, Of(first, table, row.number), Of(second, table, row.number),
                          differing.contains(row.number)});
        }
        for (const TableCompare::RowValue &row : b)
            if (!listed.contains(row.number))
                pairs.append({table, row.number, row.name, {}, Of(second, table, row.number), true});
    }
    return pairs;
}

} // namespace SnapshotCompare
