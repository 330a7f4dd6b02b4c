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
namespace {

QList<Actions::GivenValue> OwnValues(const CliContext &c)
{
    QList<Actions::GivenValue> values;
    for (const QString &argument : c.options.set) {
        const auto [number, text] = SplitAssignment(argument, QStringLiteral("--set"));
        values.append({number, text});
    }
    return values;
}

} // namespace

bool CheckFleetWorker(CliContext &c, QString *error)
{
    try {
        if (const auto refused = Actions::CheckWorkerValues(c.session, OwnValues(c))) {
            *error = RefusalText(QStringLiteral("--set"), *refused);
            return false;
        }
    } catch (const CliUsageError &e) {
        *error = e.text;
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
    inputs.values = OwnValues(c);
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
