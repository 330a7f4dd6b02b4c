#include "ops/ControlMode.h"

#include "core/Frontend.h"
#include "ops/DeviceCommands.h"
#include "ops/Wording.h"
#include "session/DtuSession.h"

#include <QDateTime>

namespace ControlMode {

CommandOutcome ReadSignal(DtuSession &session)
{
    const CommandOutcome signal = DeviceCommands::QuerySignal(session);
    session.frontend().AppendControlMemo(Wording::SignalLine(signal));
    return signal;
}

CommandOutcome ReadStatus(DtuSession &session)
{
    const CommandOutcome status = DeviceCommands::QueryStatus(session);
    const QString line = Wording::StatusLine(status);
    if (!line.isEmpty())
        session.frontend().AppendControlMemo(line);
    return status;
}

VersionOutcome ReadVersion(DtuSession &session)
{
    // Each answer is shown before the next question goes out.
    VersionOutcome outcome;
    outcome.version = DeviceCommands::QueryVersion(session);
    for (const QString &line : Wording::VersionLines(outcome.version))
        session.frontend().AppendControlMemo(line);
    if (session.state.StopRequested) {
        outcome.stopped = true;
        outcome.imei.result = TransactionResult::NoAnswer;
        return outcome;
    }
    outcome.imei = DeviceCommands::QueryImei(session);
    for (const QString &line : Wording::ImeiLines(outcome.imei))
        session.frontend().AppendControlMemo(line);
    return outcome;
}

CommandOutcome ReadClock(DtuSession &session)
{
    Frontend &frontend = session.frontend();
    const CommandOutcome clock = DeviceCommands::ReadClock(session);
    const QString result = Wording::ClockResult(clock);
    frontend.SetResultPanel(result);
    frontend.AppendControlMemo(result);
    frontend.AppendControlMemo(clock.text);
    return clock;
}

CommandOutcome SetClock(DtuSession &session)
{
    Frontend &frontend = session.frontend();
    const CommandOutcome outcome = DeviceCommands::SetClock(session, QDateTime::currentDateTime());
    const QString text = Wording::SetClockResult(outcome.result);
    if (!text.isEmpty()) {
        frontend.SetResultPanel(text);
        frontend.AppendControlMemo(text);
    } else {
        frontend.RepeatResult(Frontend::Memo::Control);
    }
    return outcome;
}

} // namespace ControlMode
