#pragma once
#include "ops/Outcomes.h"
#include "store/RecordEntry.h"

#include <QJsonObject>
#include <QList>
#include <QString>

struct CliContext;
struct CliOptions;
class ParamTableModel;
class Recorder;

// dtucfg's side of the device records: each command that reads or writes a
// device's parameters hands its outcome values here, and one entry is kept.
// Nothing here sends a frame; a store that fails is one warning at the end.
namespace CliRecording {
// --records and --no-records into the recorder. False with a reason for a
// location that cannot be one.
bool Configure(Recorder &recorder, const CliOptions &options, QString *error);
// An entry begun for the command's device ("" action: the command's name).
RecordEntry Begin(CliContext &context, const QString &action);
// The rows of the tables a read left: the main table, then the extended one
// when two were read (only tables read whole).
QList<RecordRow> ReadRows(CliContext &context, const ReadOutcome &outcome, const ParamTableModel *only = nullptr);
// Learns the identity the rows tell, and keeps the entry with the outcome
// and its values; the entry's id (0: not kept, or no records).
qint64 Keep(CliContext &context, RecordEntry &entry, const QString &outcome, const QJsonObject &details);
// Records a write run's rows against the values last read.
qint64 KeepWrite(CliContext &context, const QString &action, const WriteReport &report,
                 const QList<const ParamTableModel *> &tables, const QJsonObject &details);
// A read of its own (the snapshot before a change): the entry's id.
qint64 KeepRead(CliContext &context, const ReadOutcome &outcome, const QJsonObject &details);
// The one warning when an entry could not be kept; the store's reason
// ("" when every entry was kept).
QString WarnOnce(CliContext &context);
} // namespace CliRecording
