#include "ui/WindowRecords.h"

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

WindowRecords::WindowRecords(DtuSession &session, Frontend &frontend)
    : frontend_(frontend), recorder_(RecordProgram::Window), actions_(recorder_, session)
{
    QSettings settings(WindowSettings::kOrganisation, WindowSettings::kApplication);
    locationText_ = settings.value(WindowSettings::kRecordsLocationKey).toString();
    on_ = !settings.value(WindowSettings::kRecordsOffKey, false).toBool();
    Apply();
}

void WindowRecords::Read(const RecordEntry &entry, const ReadOutcome &outcome)
{
    actions_.Read(entry, outcome);
    WarnOnce();
}

void WindowRecords::Write(const RecordEntry &entry, const WriteReport &report,
                          const QList<const ParamTableModel *> &tables)
{
    actions_.Write(entry, report, tables);
    WarnOnce();
}

void WindowRecords::Command(const RecordEntry &entry, const CommandOutcome &outcome)
{
    actions_.Command(entry, outcome);
    WarnOnce();
}

void WindowRecords::WarnOnce()
{
    const StoreError error = recorder_.TakeWarning();
    if (!error.IsNone())
        frontend_.AppendMemo(tr("设备档案未能保存（设备操作照常进行）：%1").arg(error.message));
}

bool WindowRecords::SetLocationText(const QString &text, QString *error)
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

void WindowRecords::SetOn(bool on)
{
    on_ = on;
    QSettings settings(WindowSettings::kOrganisation, WindowSettings::kApplication);
    settings.setValue(WindowSettings::kRecordsOffKey, !on);
    Apply();
}

RecordLocation WindowRecords::Location() const
{
    RecordLocation location;
    QString error;
    if (!ParseLocation(locationText_, &location, &error))
        ParseLocation(QString(), &location, &error);
    return location;
}

void WindowRecords::Apply()
{
    if (!on_) {
        recorder_.Off();
        return;
    }
    recorder_.SetLocation(Location());
}
