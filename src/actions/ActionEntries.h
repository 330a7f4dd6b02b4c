#pragma once
#include "ops/Outcomes.h"
#include "store/RecordEntry.h"

#include <QJsonObject>
#include <QList>
#include <QString>

class DtuSession;
class ParamTableModel;
class Recorder;

// The entries both front ends keep after an action, built from its outcome
// values and the session's tables. Nothing here sends a frame.
namespace ActionEntries {
// The rows of the tables a read left: the main table, then the extended one
// when two were read (only tables read whole); with `only`, that table when
// the read succeeded.
QList<RecordRow> ReadRows(const DtuSession &session, const ReadOutcome &outcome,
                          const ParamTableModel *only = nullptr);
// The rows of a page's read (the window's 读取): the tables the current
// channel made it ask for, both when a main channel of 0 made both active.
// Nothing when the read failed: a table that was not read still holds the
// values it had, which would pass for the device's.
QList<RecordRow> PageReadRows(const DtuSession &session, const ReadOutcome &outcome);
// Learns the identity the rows tell, and keeps the entry with the outcome
// and its details; the entry's id (0: not kept, or recording is off).
qint64 Keep(Recorder &recorder, RecordEntry &entry, const QString &outcome, const QJsonObject &details);
// A write run's rows against the values last read from the device, kept in
// the begun entry.
qint64 KeepWrite(Recorder &recorder, RecordEntry entry, const WriteReport &report,
                 const QList<const ParamTableModel *> &tables, const QJsonObject &details);
} // namespace ActionEntries

// The window's side of the device records: each of its actions on the
// connected device begins an entry before it runs (the target and identity
// it started on) and hands its outcome here after. A device that was not
// reached (no channel open, a question answered Cancel, nothing to send)
// leaves no entry.
class SessionRecording {
public:
    SessionRecording(Recorder &recorder, const DtuSession &session);

    // An entry begun now, before the action.
    RecordEntry Begin(const QString &action);
    // 读取 on either page.
    qint64 Read(RecordEntry entry, const ReadOutcome &outcome);
    // 设置 on a page, 批量写参数: `tables` are those the run wrote, the
    // page's own first.
    qint64 Write(RecordEntry entry, const WriteReport &report, const QList<const ParamTableModel *> &tables);
    // 恢复出厂默认设置, 复位设备.
    qint64 Command(RecordEntry entry, const CommandOutcome &outcome);
    // 查询DTU版本/IMEI: the identity of later entries; no entry of its own.
    void Version(const VersionOutcome &outcome);
    // The channel may have closed or opened on another device: a new target
    // (or none) forgets what was known of the old one.
    void ChannelChanged();

private:
    bool Reached(const RecordEntry &entry, bool channelOpen) const;

    Recorder &recorder_;
    const DtuSession &session_;
    QString target_;
};
