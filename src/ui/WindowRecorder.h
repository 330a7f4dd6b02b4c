#pragma once
#include "actions/ActionEntries.h"
#include "actions/Recorder.h"
#include "actions/Rollback.h"

#include <QCoreApplication>
#include <QString>

class DtuSession;
class Frontend;

// The window's device records: the recorder with the location and the
// switch kept in the window's settings, and the one warning, in the traffic
// memo, when an entry could not be kept. Each action begins its entry
// before it runs and hands its outcome after.
class WindowRecorder {
    Q_DECLARE_TR_FUNCTIONS(TForm1)
public:
    WindowRecorder(DtuSession &session, Frontend &frontend);

    RecordEntry Begin(const QString &action) { return actions_.Begin(action); }
    void Read(const RecordEntry &entry, const ReadOutcome &outcome);
    void Write(const RecordEntry &entry, const WriteReport &report, const QList<const ParamTableModel *> &tables);
    void Command(const RecordEntry &entry, const CommandOutcome &outcome);
    void Version(const VersionOutcome &outcome) { actions_.Version(outcome); }
    void ChannelChanged() { actions_.ChannelChanged(); }
    // 恢复到此快照: the connected device back to the snapshot, one rollback
    // entry; the outcome said in the traffic memo.
    Rollback::Outcome RollBack(const RecordEntry &snapshot);
    // Shows the first failure of the store, once.
    void WarnOnce();

    // The settings: the location as typed ("" for the default file).
    QString LocationText() const { return locationText_; }
    bool IsOn() const { return on_; }
    // Keeps a new location; false with the reason when it cannot be one.
    bool SetLocationText(const QString &text, QString *error);
    void SetOn(bool on);
    // Where the records are read from: the location set, on or off.
    RecordLocation Location() const;

    Recorder &recorder() { return recorder_; }

private:
    void Apply();

    DtuSession &session_;
    Frontend &frontend_;
    Recorder recorder_;
    SessionRecording actions_;
    QString locationText_;
    bool on_ = true;
};
