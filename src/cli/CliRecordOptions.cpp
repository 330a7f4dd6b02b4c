#include "cli/CliRecordOptions.h"

#include "cli/CliOptions.h"
#include "records/RecordLocation.h"

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

// Which command takes which of these options is CliCommands::Takes's rule;
// here only what they say together.
bool Check(const CliOptions &options, QString *error)
{
    const RecordOptions &r = options.records;
    if (r.off && !r.location.isEmpty()) {
        *error = QStringLiteral("--records and --no-records exclude each other");
        return false;
    }
    if (r.off && (r.snapshot || options.command == QLatin1String("rollback"))) {
        *error = QStringLiteral("--snapshot and rollback need the records, which --no-records turns off");
        return false;
    }
    if (r.show > 0 && r.diff) {
        *error = QStringLiteral("--show and --diff exclude each other");
        return false;
    }
    return true;
}

bool Location(const RecordOptions &options, RecordLocation *out, QString *error)
{
    const QString where = options.location.isEmpty() ? RecordLocation::DefaultPath() : options.location;
    if (RecordLocation::Parse(where, out, error))
        return true;
    *error = QStringLiteral("--records: ") + *error;
    return false;
}

} // namespace CliRecordOptions
