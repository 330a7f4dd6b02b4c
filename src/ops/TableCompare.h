#pragma once
#include <QList>
#include <QString>
#include <QStringList>

class ParamTableModel;

// The values a device should hold against the values it reported: rows are
// matched by number, and their raw values compared (letter case ignored).
namespace TableCompare {

// Shown for a row the device did not report.
inline const QString kNotReported = QStringLiteral("(not reported)");

struct RowValue {
    QString number, name, hex, shown;
};

struct Difference {
    QString number, name;
    QString expected; // as shown; the raw hex when both shown texts are equal
    QString actual;
};

struct Outcome {
    QList<Difference> differences;
    int compared = 0;
    int ignored = 0;
    int unlisted = 0; // rows the device has that the expected values do not list: never compared
};

// The numbered rows of a table with their raw and shown values (none for a
// row the last read did not report).
QList<RowValue> Snapshot(const ParamTableModel &table);
// Every expected row not in `ignore` against the row of that number in
// `actual`; a row missing there or left without a value counts as one the
// device did not report.
// Adds what it finds to *outcome, so that several tables add up.
void Compare(const QList<RowValue> &expected, const QList<RowValue> &actual, const QStringList &ignore,
             Outcome *outcome);

// Counts into outcome->unlisted the rows of `actual` that `expected` does not
// list (ignored ones aside).
void CountUnlisted(const QList<RowValue> &expected, const QList<RowValue> &actual, const QStringList &ignore,
                   Outcome *outcome);
// How many numbers the two lists have in common.
int Shared(const QList<RowValue> &a, const QList<RowValue> &b);

// "number<TAB>name<TAB>expected<TAB>actual".
QString Line(const Difference &difference);
// The last line of a comparison: how many rows differ, of how many compared,
// and how many the expected values did not list.
QString Summary(const Outcome &outcome);

} // namespace TableCompare
