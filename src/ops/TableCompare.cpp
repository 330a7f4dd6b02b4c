#include "ops/TableCompare.h"

#include "params/ParamTableModel.h"

#include <QCoreApplication>

namespace TableCompare {

QList<RowValue> Snapshot(const ParamTableModel &table)
{
    QList<RowValue> rows;
    for (int i = 0; i < table.Count(); ++i) {
        const ParamRow &row = table.Row(i);
        if (row.IsHeading())
            continue;
        // A row the last read did not find holds no value of the device's.
        if (row.unreported)
            rows.append({row.Number(), row.cells[ColName], {}, {}});
        else
            rows.append({row.Number(), row.cells[ColName], row.cells[ColHex], row.cells[ColValue]});
    }
    return rows;
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

void CountUnlisted(const QList<RowValue> &expected, const QList<RowValue> &actual, const QStringList &ignore,
                   Outcome *outcome)
{
    for (const RowValue &row : actual)
        if (!Listed(ignore, row.number) && !Find(expected, row.number))
            ++outcome->unlisted;
}

int Shared(const QList<RowValue> &a, const QList<RowValue> &b)
{
    int n = 0;
    for (const RowValue &row : a)
        n += Find(b, row.number) ? 1 : 0;
    return n;
}

QString Line(const Difference &d)
{
    const QString actual = d.actual == kNotReported ? ParamTableModel::NotReportedText() : d.actual;
    return d.number + QLatin1Char('\t') + d.name + QLatin1Char('\t') + d.expected + QLatin1Char('\t') + actual;
}

QString Summary(const Outcome &outcome)
{
    QString text = outcome.differences.isEmpty()
        ? QCoreApplication::translate("TableCompare", "比较了%1行，没有差异").arg(outcome.compared)
        : QCoreApplication::translate("TableCompare", "比较了%2行，其中%1行不同")
              .arg(outcome.differences.size())
              .arg(outcome.compared);
    if (outcome.ignored > 0)
        text += QCoreApplication::translate("TableCompare", "（忽略%1行）").arg(outcome.ignored);
    if (outcome.unlisted > 0)
        text += QCoreApplication::translate("TableCompare", "；文件缺少设备的%1行，未比较").arg(outcome.unlisted);
    return text;
}

} // namespace TableCompare
