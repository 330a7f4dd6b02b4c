#pragma once
#include "ops/Outcomes.h"
#include "store/RecordEntry.h"

#include <QHash>
#include <QList>
#include <QString>

class DtuSession;
class ParamTableModel;

// The rows and the references an entry of the device records takes from a
// session (its tables, profile and channel) and an operation's outcome.
// Nothing here talks to the device: recording adds no exchange.
namespace EntryRows {

QString TableName(const ParamTableModel &table); // "main" or "ext"
// A row's key among both tables' rows: "main/0031".
inline QString Key(const QString &table, const QString &number)
{
    return table + QLatin1Char('/') + number;
}
// Rows by their Key.
QHash<QString, RecordRow> ByKey(const QList<RecordRow> &rows);
// Where the device was reached (Endpoint's text); "" when no channel is open.
QString Target(const DtuSession &session);
// The loaded profile: its title, its absolute path and a digest of its rows
// (number and name of each, in order), so two copies match.
ProfileRef Profile(const DtuSession &session);
// Every row a read found the device reporting, each table it read, an
// empty value included: the value is `after`, the result `read`. A row it
// did not report is no value of the device's and is left out.
QList<RecordRow> Read(const DtuSession &session, const ReadOutcome &outcome);
// The same for one table and the numbers reported of it.
QList<RecordRow> Read(const ParamTableModel &table, const QStringList &reported);
// The device number among rows read (row 0091 of the main table), as shown.
QString DeviceNumber(const QList<RecordRow> &rows);
// Whether a row's `after` is what the device held once the action was over:
// read, written and taken, or found already holding it.
bool HeldAfter(const RecordRow &row);

// The values last read from one device, by table and number.
class KnownValues {
public:
    // Rows read now (their `after`) replace what was known.
    void Learn(const QList<RecordRow> &rows);
    // Entries newest first: the rows they read fill in what is not known yet.
    void LearnFrom(const QList<RecordEntry> &newestFirst);
    RecordValue Of(const QString &table, const QString &number) const;
    void Clear() { values_.clear(); }

private:
    QHash<QString, RecordValue> values_;
};

// The rows of a write run: `after` the value the run sent (or meant to),
// `before` the value last read when known, the result of each row, rows not
// reached and rows withheld included. `tables` are those the run wrote.
QList<RecordRow> Written(const WriteReport &report, const QList<const ParamTableModel *> &tables,
                         const KnownValues &known);
} // namespace EntryRows
