#include "fleet/FleetSetup.h"

#include "core/WorkPaths.h"
#include "core/WriteRules.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace FleetSetup {

Plan Make(const Choices &choices, const Inventory::Table &inventory)
{
    if (inventory.devices.isEmpty())
        return {Refusal::NoDevices};
    if (!QFileInfo(choices.profilePath).isFile())
        return {Refusal::NoProfile};
    // A worker refuses a value the level withholds as a usage error: every
    // device given one would fail alike. An empty cell sets nothing.
    for (const FleetDevice &device : inventory.devices)
        for (const auto &value : device.values)
            if (!WriteRules::MayWrite(choices.level, value.first))
                return {Refusal::ColumnWithheld, value.first};
    const WorkPaths::ScriptLookup script = WorkPaths::LookUpScript(choices.profilePath, choices.scriptPath);
    if (script.found.isEmpty())
        return {Refusal::NoScript, {}, script.tried};
    Plan plan;
    FleetRunner::Settings &s = plan.settings;
    s = choices;
    // The workers run in this folder too, but absolute paths say the same
    // to any reader of their command lines.
    s.profilePath = QFileInfo(choices.profilePath).absoluteFilePath();
    s.scriptPath = QFileInfo(script.found).absoluteFilePath();
    s.workDir = QDir::currentPath();
    if (choices.recordsOff) {
        s.recordArgs = {QStringLiteral("--no-records")};
        return plan;
    }
    // Unique on this host: the moment to the millisecond and this process.
    plan.runId = QStringLiteral("%1-%2")
                     .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmsszzz")))
                     .arg(QCoreApplication::applicationPid());
    if (!choices.recordsLocation.isEmpty())
        s.recordArgs << QStringLiteral("--records") << choices.recordsLocation;
    s.recordArgs << QStringLiteral("--fleet-run") << plan.runId;
    if (choices.identify)
        s.recordArgs << QStringLiteral("--identify");
    return plan;
}

} // namespace FleetSetup
