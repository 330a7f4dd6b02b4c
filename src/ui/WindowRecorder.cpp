#include "ui/WindowRecorder.h"

#include "core/Frontend.h"
#include "ui/WindowSettings.h"

namespace {
// Where the device records are kept ("" for the default file, another SQLite
// file, or a postgresql:// URL) and whether the window keeps them.
const QString kRecordsLocationKey = QStringLiteral("store/location");
const QString kRecordsOffKey = QStringLiteral("store/off");

bool ParseLocation(const QString &text, RecordLocation *location, QString *error)
{
    return RecordLocation::Parse(text.trimmed().isEmpty() ? RecordLocation::DefaultPath() : text.trimmed(), location,
                                 error);
}
} // namespace

WindowRecorder::WindowRecorder(Frontend &frontend) : frontend_(frontend), recorder_(RecordProgram::Window)
{
    const QSettings settings = WindowSettings::Open();
    locationText_ = settings.value(kRecordsLocationKey).toString();
    on_ = !settings.value(kRecordsOffKey, false).toBool();
    Apply();
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
    WindowSettings::Open().setValue(kRecordsLocationKey, locationText_);
    Apply();
    return true;
}

void WindowRecorder::SetOn(bool on)
{
    on_ = on;
    WindowSettings::Open().setValue(kRecordsOffKey, !on);
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
