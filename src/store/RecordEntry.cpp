#include "store/RecordEntry.h"

#include <QJsonArray>
#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>

QString RecordEntry::DeviceKey() const
{
    if (!device.number.isEmpty())
        return device.number;
    if (!device.imei.isEmpty())
        return device.imei;
    return target;
}

namespace RecordEntries {
namespace {
// The login name of this process's user ("" when the system knows none).
QString LoginName()
{
    // The account the process runs as, which is who acts on the device;
    // the environment only when the account has no entry (some containers).
    if (const passwd *account = ::getpwuid(::geteuid()); account && account->pw_name)
        return QString::fromLocal8Bit(account->pw_name);
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? qEnvironmentVariable("LOGNAME") : user;
}
} // namespace

RecordEntry Begin(const QString &program, const QString &action)
{
    RecordEntry entry;
    entry.time = QDateTime::currentDateTimeUtc();
    entry.operatorName = LoginName();
    entry.host = QSysInfo::machineHostName();
    entry.program = program;
    entry.action = action;
    return entry;
}

QString TimeText(const QDateTime &time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QDateTime TimeFromText(const QString &text)
{
    return QDateTime::fromString(text, Qt::ISODateWithMs).toUTC();
}

namespace {
QJsonValue Cleaned(const QJsonValue &value)
{
    if (value.isObject())
        return WithoutPasswords(value.toObject());
    if (!value.isArray())
        return value;
    QJsonArray out;
    for (const QJsonValue &v : value.toArray())
        out.append(Cleaned(v));
    return out;
}
} // namespace

QJsonObject WithoutPasswords(const QJsonObject &details)
{
    QJsonObject out;
    for (auto it = details.begin(); it != details.end(); ++it)
        if (!it.key().contains(QLatin1String("password"), Qt::CaseInsensitive))
            out.insert(it.key(), Cleaned(it.value()));
    return out;
}

bool IsSecretRow(const QString &name)
{
    return name.contains(QStringLiteral("密码")) || name.contains(QStringLiteral("口令"))
        || name.contains(QLatin1String("password"), Qt::CaseInsensitive);
}

RecordRow Kept(RecordRow row)
{
    if (IsSecretRow(row.name))
        row.before = row.after = {};
    return row;
}

} // namespace RecordEntries
