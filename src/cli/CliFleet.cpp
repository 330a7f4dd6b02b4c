// fleet INVENTORY: every device of an inventory written with the profile's
// values and its own, by the fleet runner, with a report.
#include "cli/CliCommands.h"

#include "core/DtuError.h"
#include "core/WriteRules.h"
#include "session/DtuSession.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleFrontend.h"
#include "cli/FleetProgress.h"
#include "core/StopSignals.h"
#include "fleet/FleetRunner.h"
#include "fleet/Inventory.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QEventLoop>
#include <QFileInfo>

#include <unistd.h>

namespace CliCommands {

bool CheckFleet(CliContext &c, QString *error)
{
    if (!c.session.profile) {
        *error = QStringLiteral("fleet needs a device profile (--profile FILE)");
        return false;
    }
    try {
        const Inventory::Table inventory = Inventory::Read(c.options.arguments.value(0));
        // The device number is written only from level 2: without it the
        // column would be dropped silently by every worker.
        if (inventory.valueColumns.contains(WriteRules::kProtectedNumber)
            && !WriteRules::MayWrite(c.options.level, WriteRules::kProtectedNumber)) {
            *error = QStringLiteral("fleet: the inventory sets 0091, which is written only with --level 2");
            return false;
        }
    } catch (const DtuError &e) {
        *error = QStringLiteral("fleet: ") + e.text();
        return false;
    }
    return true;
}

CliVerdict Fleet(CliContext &c)
{
    const Inventory::Table inventory = Inventory::Read(c.options.arguments.value(0));
    FleetRunner::Settings settings;
    settings.profilePath = QFileInfo(c.session.profile->Path()).absoluteFilePath();
    settings.scriptPath = QFileInfo(c.scriptPath).absoluteFilePath();
    settings.workDir = QDir::currentPath();
    settings.jobs = c.options.jobs;
    settings.fast = c.options.fast;
    settings.verify = c.options.verify;
    settings.level = c.options.level;
    // Every worker records into the same store, under one run id.
    const QString runId = QStringLiteral("%1-%2")
                              .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmsszzz")))
                              .arg(QCoreApplication::applicationPid());
    if (c.options.records.off) {
        settings.recordArgs = {QStringLiteral("--no-records")};
    } else {
        if (!c.options.records.location.isEmpty())
            settings.recordArgs << QStringLiteral("--records") << c.options.records.location;
        settings.recordArgs << QStringLiteral("--fleet-run") << runId;
        if (c.options.records.identify)
            settings.recordArgs << QStringLiteral("--identify");
    }

    QStringList targets;
    for (const FleetDevice &d : inventory.devices)
        targets << d.target.text;
    FleetProgress progress(stderr, ::isatty(STDERR_FILENO) == 1, targets);
    FleetRunner runner;
    QObject::connect(&runner, &FleetRunner::deviceStarted, [&](int i) { progress.Started(i); });
    QObject::connect(&runner, &FleetRunner::deviceProgress,
                     [&](int i, const QString &phase, int done, int total) { progress.Progress(i, phase, done, total); });
    QObject::connect(&runner, &FleetRunner::deviceFinished,
                     [&](int i) { progress.Finished(i, runner.Reports().at(i)); });
    OnStopSignals([&] {
        if (runner.StopRequested())
            return;
        progress.Note(QStringLiteral("stopping: no new devices; running ones end after their current exchange"));
        runner.Stop();
    });

    QEventLoop loop;
    QObject::connect(&runner, &FleetRunner::finished, &loop, &QEventLoop::quit);
    runner.Start(inventory.devices, settings);
    if (runner.Running())
        loop.exec();
    progress.Flush();

    const QList<DeviceReport> &reports = runner.Reports();
    bool allOk = true;
    for (const DeviceReport &r : reports)
        allOk = allOk && r.outcome == Outcome::Ok;
    progress.Note(FleetReport::Totals(reports));
    if (!c.options.records.off)
        progress.Note(QStringLiteral("device records: fleet run %1 (dtucfg rollback --run %1 undoes it)").arg(runId));
    bool reportWritten = true;
    if (!c.options.report.isEmpty()) {
        try {
            FleetReport::Write(c.options.report, reports);
        } catch (const DtuError &e) {
            c.frontend.Complain(QStringLiteral("fleet: the report was not written: ") + e.text());
            reportWritten = false;
        }
    }
    QJsonObject json = QJsonDocument::fromJson(FleetReport::Json(reports)).object();
    if (!c.options.records.off)
        json.insert(QStringLiteral("run"), runId);
    return CliVerdict::Of(allOk && reportWritten, json);
}

} // namespace CliCommands
