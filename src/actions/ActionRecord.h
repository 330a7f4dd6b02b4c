#pragma once
#include "ops/Outcomes.h"
#include "store/RecordEntry.h"

#include <QHash>
#include <QList>
#include <QString>

class DtuSession;
class ParamTableModel;

// What a device action leaves in the device records, taken from the session
// (its tables, profile and channel) and the operation's outcome values.
// Nothing here talks to the device: recording adds no exchange.
namespace ActionRecord {
// Row results beside the exchange results (ResultId).
inline const QString kRead = QStringLiteral("read");              // the value was read from the device
inline const QString kNotReached = QStringLiteral("not-reached"); // the run ended before the row
inline const QString kWithheld = QStringLiteral("withheld");      // the access level keeps it from the device
inline const QString kUnchanged = QStringLiteral("unchanged");    // the device held the value already
inline const QString kDiffers = QStringLiteral("differs");        // read back, the device holds another value

// The row that holds the device number.
inline const QString kDeviceNumberRow = QStringLiteral("0091");

QString TableName(const ParamTableModel &table); // "main" or "ext"
// Where the device was reached: "tcp:HOST:PORT" over the maintenance port,
// else the serial port; "" when no channel is open.
QString Target(const DtuSession &session);
// The loaded profile: its title, its path and a digest of its rows
// (number, name and value of each, in order), so two copies match.
ProfileRef Profile(const DtuSession &session);
// Every numbered row of a table that holds a value, as a read left it:
// the value is `after`, the result kRead.
QList<RecordRow> Snapshot(const ParamTableModel &table);
// The device number among rows read (row 0091 of the main table), as shown.
QString DeviceNumber(const QList<RecordRow> &rows);
// Whether a row's `after` is what the device held once the action was over:
// read, written and taken, or found already holding it.
bool HeldAfter(const RecordRow &row);

// Outcome identifiers, stable for files and scripts.
QString Outcome(const ReadOutcome &outcome);
QString Outcome(const WriteReport &report);
QString Outcome(const CommandOutcome &outcome);

// The values last read from one device, by table and number.
class KnownValues {
public:
    // Rows read now (their `after`) replace what was known.
    void Learn(const QList<RecordRow> &rows);
    // Entries newest first: the rows they read fill in what is not known yet.
    void LearnFrom(const QList<RecordEntry> &newestFirst);
    RecordValue Of(const QString &table, const QString &number) const;
    bool IsEmpty() const { return values_.isEmpty(); }
    void Clear() { values_.clear(); }

private:
    QHash<QString, RecordValue> values_;
};

// The rows of a write run: `after` the value the run sent (or meant to),
// `before` the value last read when known, the result of each row, rows not
// reached and rows withheld included. `tables` are those the run wrote, in
// the order written.
QList<RecordRow> Written(const WriteReport &report, const QList<const ParamTableModel *> &tables,
                         const KnownValues &known);
} // namespace ActionRecord
