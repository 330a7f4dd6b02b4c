// provision: one device of a fleet, for the fleet runner (FleetWorker);
// with --events its progress and result as JSON lines on standard output.
#include "cli/CliCommands.h"

#include "actions/FleetWorker.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleFrontend.h"
#include "fleet/FleetWording.h"
#include "fleet/WorkerEvents.h"
#include "ops/ParamFile.h"
#include "ops/Wording.h"
#include "session/DtuSession.h"

#include <QCoreApplication>
#include <QJsonDocument>

namespace CliCommands {

bool CheckFleetWorker(CliContext &c, QString *error)
{
    if (const auto refused = Actions::CheckWorkerValues(c.session, GivenValues(c.options.set, QStringLiteral("--set")))) {
        *error = RefusalText(QStringLiteral("--set"), *refused);
        return false;
    }
    // A cell the batch could not send refuses the whole batch: said now, as
    // the usage error it is, not as a device that never answered.
    if (const QList<UnsendableRow> refused = ParamFile::UnsendableRows(c.session, ParamFile::BatchTables::Both);
        !refused.isEmpty()) {
        *error = QCoreApplication::translate("CliFleetWorker", "provision：") + Wording::Unsendable(refused.first());
        return false;
    }
    return true;
}

CliVerdict FleetWorker(CliContext &c)
{
    const CliOptions &o = c.options;
    Actions::WorkerInputs inputs;
    inputs.endpoint = o.Target();
    inputs.password = o.password;
    inputs.values = GivenValues(o.set, QStringLiteral("--set"));
    inputs.audit = o.audit;
    inputs.writeAll = o.writeAll;
    inputs.verify = o.verify;
    inputs.ignore = o.ignore;
    inputs.identify = o.records.identify;
    inputs.onPhase = [&c](const QString &phase) { Emit(c, WorkerEvents::Progress(phase, 0, 0, QString())); };
    c.frontend.onWriteRun = [&c](const WriteRunStatus &status) {
        if (status.running)
            Emit(c, WorkerEvents::Progress(QStringLiteral("write"), status.done, status.total, status.currentName));
    };
    c.recorder.SetFleetRun(o.records.fleetRun);
    DeviceReport report = Actions::FleetWorker(c.session, c.recorder, inputs);
    c.frontend.onWriteRun = nullptr;
    // The one warning of this worker travels with its result.
    report.recordWarning = c.recorder.TakeWarning().message;
    Emit(c, WorkerEvents::Result(report));
    if (!o.events) {
        QString text = OutcomeName(report.outcome);
        if (const QString why = FleetWording::Detail(report.why); !why.isEmpty())
            text += QStringLiteral(": ") + why;
        c.frontend.PrintOut(text + QLatin1Char('\n'));
    }
    return {CliVerdict::StatusOf(report.outcome), QJsonDocument::fromJson(WorkerEvents::Result(report)).object()};
}

} // namespace CliCommands
