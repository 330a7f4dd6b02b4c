#include "ui/WindowRecorder.h"

#include "core/Frontend.h"
#include "ui/WindowSettings.h"


#include <QSettings>

namespace {
bool ParseLocation(const QString &text, RecordLocation *location, QString *error)
{
    return RecordLocation::Parse(text.trimmed().isEmpty() ? RecordLocation::DefaultPath() : text.trimmed(), location,
                                 error);
}
} // namespace

WindowRecorder::WindowRecorder(DtuSession &session, Frontend &frontend)
    : session_(session), frontend_(frontend), recorder_(RecordProgram::Window), actions_(recorder_, session)
{
    QSettings settings(WindowSettings::kOrganisation, WindowSettings::kApplication);
    locationText_ = settings.value(WindowSettings::kRecordsLocationKey).toString();
    on_ = !settings.value(WindowSettings::kRecordsOffKey, false).toBool();
    Apply();
}

void WindowRecorder::Read(const RecordEntry &entry, const ReadOutcome &outcome)
{
    actions_.Read(entry, outcome);
    WarnOnce();
}

void WindowRecorder::Write(const RecordEntry &entry, const WriteReport &report,
                          const QList<const ParamTableModel *> &tables)
{
    actions_.Write(entry, report, tables);
    WarnOnce();
}

void WindowRecorder::Command(const RecordEntry &entry, const CommandOutcome &outcome)
{
    actions_.Command(entry, outcome);
    WarnOnce();
}

Rollback::Outcome WindowRecorder::RollBack(const RecordEntry &snapshot)
{
    const Rollback::Outcome o = Rollback::Run(session_, recorder_, Begin(RecordAction::Rollback), snapshot);
    using Verdict = Rollback::Outcome::Verdict;
    const qint64 id = snapshot.id;
    QString text;
    switch (o.verdict) {
    case Verdict::Restored:
        text = tr("恢复到第 %1 条记录：完成，写入 %2 行，%3 行未变，%4 行因访问级别未写")
                   .arg(id).arg(o.written).arg(o.unchanged).arg(o.withheld);
        break;
    case Verdict::Differs:
        text = tr("恢复到第 %1 条记录：读回后 %2 行与快照不同").arg(id).arg(o.differences.size());
        break;
    case Verdict::ReadFailed:
        text = tr("恢复到第 %1 条记录：没能读出设备的参数，什么也没有写").arg(id);
        break;
    case Verdict::OtherDevice:
        text = tr("恢复到第 %1 条记录：该记录属于设备 %2，这台设备是 %3；什么也没有写")
                   .arg(id).arg(snapshot.device.number, o.deviceNumber);
        break;
    case Verdict::WriteFailed:
        text = tr("恢复到第 %1 条记录：写入没有完成（%2）").arg(id).arg(o.outcome);
        break;
    case Verdict::NotVerified:
        text = tr("恢复到第 %1 条记录：已写入，但读回失败，未能核对").arg(id);
        break;
    }
    frontend_.AppendMemo(o.entry > 0 ? text + tr("（记录 %1）").arg(o.entry) : text);
    for (const TableCompare::Difference &d : o.differences)
        frontend_.AppendMemo(TableCompare::Line(d));
    WarnOnce();
    return o;
}

void WindowRecorder::WarnOnce()
{
    const StoreError error = recorder_.TakeWarning();
    if (!error.IsNone())
        frontend_.AppendMemo(tr("设备档案未能保存（设备操作照常进行）：%1").arg(error.message));
}

bool WindowRecorder::SetLocationText(const QString &text, QString *error)
{
    RecordLocation location;
    if (!ParseLocation(text, &location, error))
        return false;
    locationText_ = text.trimmed();
    QSettings settings(WindowSettings::kOrganisation, WindowSettings::kApplication);
    settings.setValue(WindowSettings::kRecordsLocationKey, locationText_);
    Apply();
    return true;
}

void WindowRecorder::SetOn(bool on)
{
    on_ = on;
    QSettings settings(WindowSettings::kOrganisation, WindowSettings::kApplication);
    settings.setValue(WindowSettings::kRecordsOffKey, !on);
    Apply();
}

RecordLocation WindowRecorder::Location() const
{
    RecordLocation location;
    QString error;
    if (!ParseLocation(locationText_, &location, &error))
        ParseLocation(QString(), &location, &error);
    return location;
}

void WindowRecorder::Apply()
{
    if (!on_) {
        recorder_.Off();
        return;
    }
    recorder_.SetLocation(Location());
}
