#include "cli/CliRecordOptions.h"

#include "cli/CliOptions.h"
#include "store/RecordLocation.h"

#include <QCoreApplication>

namespace CliRecordOptions {

bool Apply(RecordOptions *out, const QString &name, const QString &value, bool *ok)
{
    *ok = true;
    if (name == QLatin1String("records")) {
        out->location = value;
        *ok = !value.isEmpty();
    } else if (name == QLatin1String("no-records")) {
        out->off = true;
    } else if (name == QLatin1String("limit")) {
        out->limit = value.toInt(ok);
        *ok = *ok && out->limit >= 0;
    } else if (name == QLatin1String("show")) {
        out->show = value.toLongLong(ok);
        *ok = *ok && out->show > 0;
    } else if (name == QLatin1String("diff")) {
        out->diff = true;
    } else if (name == QLatin1String("snapshot")) {
        out->snapshot = true;
    } else if (name == QLatin1String("fleet-run")) {
        out->fleetRun = value;
        *ok = !value.isEmpty();
    } else if (name == QLatin1String("identify")) {
        out->identify = true;
    } else if (name == QLatin1String("run")) {
        out->run = value;
        *ok = !value.isEmpty();
    } else {
        return false;
    }
    return true;
}

QString ValidValues(const QString &name)
{
    if (name == QLatin1String("records"))
        return QCoreApplication::translate("CliRecordOptions", "需要SQLite文件名或 postgresql://USER@HOST:PORT/DATABASE");
    if (name == QLatin1String("limit"))
        return QCoreApplication::translate("CliRecordOptions", "应为0或更大的整数（0表示全部）");
    if (name == QLatin1String("show"))
        return QCoreApplication::translate("CliRecordOptions", "应为记录编号（1或更大的整数）");
    if (name == QLatin1String("run") || name == QLatin1String("fleet-run"))
        return QCoreApplication::translate("CliRecordOptions", "需要批量运行的编号");
    return {};
}

// Which command takes which of these options is CliCommands::Takes's rule;
// here only what they say together.
bool Check(const CliOptions &options, QString *error)
{
    const RecordOptions &r = options.records;
    if (r.off && !r.location.isEmpty()) {
        *error = QCoreApplication::translate("CliRecordOptions", "--records 与 --no-records 不能同时使用");
        return false;
    }
    if (r.off && (r.snapshot || options.command == QLatin1String("rollback"))) {
        *error = QCoreApplication::translate("CliRecordOptions", "--snapshot 和 rollback 要用设备档案，而 --no-records 关闭了设备档案");
        return false;
    }
    if (r.show > 0 && r.diff) {
        *error = QCoreApplication::translate("CliRecordOptions", "--show 与 --diff 不能同时使用");
        return false;
    }
    return true;
}

bool Location(const RecordOptions &options, RecordLocation *out, QString *error)
{
    const QString where = options.location.isEmpty() ? RecordLocation::DefaultPath() : options.location;
    if (RecordLocation::Parse(where, out, error))
        return true;
    *error = QCoreApplication::translate("CliRecordOptions", "--records：%1").arg(*error);
    return false;
}

} // namespace CliRecordOptions
