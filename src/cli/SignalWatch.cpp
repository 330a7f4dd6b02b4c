
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleFrontend.h"
#include "ops/OutcomeJson.h"
#include "core/Scheduler.h"
#include "core/StopSignals.h"
#include "ops/DeviceCommands.h"
#include "ops/SignalMeter.h"
#include "ops/Wording.h"
#include "session/DtuSession.h"

#include <QDateTime>
#include <QObject>

namespace SignalWatch {
namespace {

// "2026-12-08 13:05:00 CSQ=17 -79 dBm"; "CSQ=99 未知"; "信号读取失败" for -1.
QString Line(const QDateTime &when, int csq)
{
    const QString time = when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss "));
    if (csq < 0)
        return time + Wording::SignalLine(CommandOutcome{true, false, TransactionResult::NoAnswer, -1, {}});
    // DbmText says "未知" for a value without a level.
    return time + QStringLiteral("CSQ=%1 %2").arg(csq).arg(SignalMeter::DbmText(csq));
}

} // namespace

CliVerdict Run(CliContext &context)
{
    DtuSession &session = context.session;
    Scheduler &clock = session.scheduler;
    bool stop = false;
    // A signal during an exchange lets it finish; one during the pause ends
    // it. Heard while this run lasts.
    QObject listening;
    OnStopSignals(
        [&] {
            stop = true;
            clock.Wake();
        },
        &listening);

    // Only the last reading decides the exit status.
    CommandOutcome last;
    last.result = TransactionResult::NoAnswer; // a stop before the first reading read nothing
    // Readings keep to the clock, one every period from the first: the
    // exchange's own time comes out of the pause, and a reading that ran
    // past its successor's time waits for the next one after it.
    const qint64 period = qint64(context.options.watchSeconds) * 1000;
    qint64 due = clock.NowMs();
    while (!stop) {
        if (!session.channel.ChannelIsOpen()) {
            session.RequireChannel();
            last.channelOpen = false;
            break;
        }
        last = DeviceCommands::QuerySignal(session);
        context.frontend.AppendControlMemo(Line(QDateTime::currentDateTime(), last.Ok() ? last.value : -1));
        if (stop)
            break;
        while (due <= clock.NowMs())
            due += period;
        clock.SleepUntilWoken(static_cast<int>(due - clock.NowMs()));
    }
    return CliVerdict::Of(last.Ok(), OutcomeJson::Command(last));
}

} // namespace SignalWatch
