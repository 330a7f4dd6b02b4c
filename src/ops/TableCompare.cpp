#include "ops/TableCompare.h"

#include "params/ParamTableModel.h"

namespace TableCompare {

QList<RowValue> Snapshot(const ParamTableModel &table)
{
    QList<RowValue> rows;
    for (int i = 0; i < table.Count(); ++i) {
        const QString number = table.Cell(i, ColNumber);
        if (!number.isEmpty())
            rows.append({number, table.Cell(i, ColName), table.Cell(i, ColHex), table.Cell(i, ColValue)});
    }
    return rows;
}

void ForgetValues(ParamTableModel &table)
{
    for (int i = 0; i < table.Count(); ++i) {
        if (table.Cell(i, ColNumber).isEmpty())
            continue;
        table.SetCell(i, ColHex, QString());
        table.SetCell(i, ColValue, QString());
    }
}

namespace {
bool Listed(const QStringList &numbers, const QString &number)
{
    return numbers.contains(number, Qt::CaseInsensitive);
}

const RowValue *Find(const QList<RowValue> &rows, const QString &number)
{
    for (const RowValue &row : rows)
        if (row.number.compare(number, Qt::CaseInsensitive) == 0)
            return &row;
    return nullptr;
}
} // namespace

void Compare(const QList<RowValue> &expected, const QList<RowValue> &actual, const QStringList &ignore,
             Outcome *into)
{
    Outcome &outcome = *into;
    for (const RowValue &want : expected) {
        if (Listed(ignore, want.number)) {
            ++outcome.ignored;
            continue;
        }
        ++outcome.compared;
        const RowValue *got = Find(actual, want.number);
        // A read fills every row it reports with "HEX:" and the digits.
        if (!got || got->hex.isEmpty()) {
            outcome.differences.append({want.number, want.name, want.shown, kNotReported});
            continue;
        }
        if (got->hex.compare(want.hex, Qt::CaseInsensitive) == 0)
            continue;
        if (got->shown == want.shown)
            outcome.differences.append({want.number, want.name, want.hex, got->hex});
        else
            outcome.differences.append({want.number, want.name, want.shown, got->shown});
    }
}

QString Line(const Difference &d)
{
    return d.number + QLatin1Char('\t') + d.name + QLatin1Char('\t') + d.expected + QLatin1Char('\t') + d.actual;
}

QString Summary(const Outcome &outcome)
{
    QString text = outcome.differences.isEmpty()
        ? QStringLiteral("no differences in %1 rows compared").arg(outcome.compared)
        : QStringLiteral("%1 of %2 rows compared differ").arg(outcome.differences.size()).arg(outcome.compared);
    if (outcome.ignored > 0)
        text += QStringLiteral(" (%1 ignored)").arg(outcome.ignored);
    return text;
}

} // namespace TableCompare
