// dtucfg's whole run after the program starts: options, script, profile,
// channel, command, exit status. A library function, so tests run it in
// their own process.
#include "cli/Dtucfg.h"

#include "core/DtuError.h"
#include "session/ActionScope.h"
#include "session/DtuSession.h"
#include "cli/CliChannel.h"
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/CliRecording.h"
#include "recording/Recorder.h"
#include "cli/ConsoleFrontend.h"
#include "ops/Outcomes.h"
#include "DtuVersion.h"
#include "ops/ProfileLoader.h"
#include "core/Translation.h"
#include "core/WorkPaths.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <unistd.h>

namespace {

constexpr int kExitOk = CliVerdict::kOk;
constexpr int kExitFailed = CliVerdict::kFailed;
constexpr int kExitUsage = CliVerdict::kUsage;

// Exit status 2 without the usage hint: a file or channel problem.
int SetUpError(ConsoleFrontend &frontend, const QString &reason)
{
    frontend.Complain(QStringLiteral("dtucfg: ") + reason);
    return kExitUsage;
}

int UsageError(ConsoleFrontend &frontend, const QString &reason)
{
    frontend.Complain(QStringLiteral("dtucfg: ") + reason);
    frontend.Complain(QStringLiteral("Try 'dtucfg --help'."));
    return kExitUsage;
}

// Everything before the device is spoken to: script, profile, channel.
// Returns an exit status, or -1 when the command may run.
int Prepare(CliContext &context, const CliCommand &command)
{
    DtuSession &session = context.session;
    ConsoleFrontend &frontend = context.frontend;
    const CliOptions &options = context.options;

    // The window's lookup: the profile lastfile.log names, the script of
    // the working folder, else beside the profile, else in the
    // configuration folder.
    const QString profilePath = options.profileGiven ? options.profilePath : WorkPaths::StartProfile(QString());
    const WorkPaths::ScriptLookup script = WorkPaths::LookUpScript(profilePath, options.scriptPath);
    const QString scriptPath = script.found;
    if (scriptPath.isEmpty()) {
        const QStringList tried = WorkPaths::Shown(script.tried);
        return SetUpError(frontend, QStringLiteral("cannot find %1; tried %2 (or give --script FILE)")
                                        .arg(WorkPaths::kScriptName, tried.join(QStringLiteral(", "))));
    }
    context.scriptPath = scriptPath;
    QString error;
    ScriptFault fault;
    if (!session.script.LoadFile(scriptPath, &error, &fault))
        return SetUpError(frontend, QStringLiteral("cannot read the script %1: %2").arg(scriptPath, error));
    // Said at once: the commands that need the script then fail on their own.
    if (!fault.IsEmpty())
        frontend.Complain(QStringLiteral("dtucfg: script error: ") + fault.Text());

    if (!profilePath.isEmpty()) {
        try {
            ProfileLoader::LoadProfile(session, profilePath);
        } catch (const DtuError &e) {
            return SetUpError(frontend, QStringLiteral("cannot load the profile %1: %2").arg(profilePath, e.text()));
        }
    }
    session.state.AccessLevel = options.level;
    // These read the shared profile and must leave its file as it is.
    static const QStringList keeping{QStringLiteral("save"), QStringLiteral("verify"), QStringLiteral("provision")};
    session.state.KeepProfileFile = options.keepProfile || keeping.contains(options.command);

    if (command.check && !command.check(context, &error))
        return UsageError(frontend, error);
    if (command.needsChannel) {
        // Opening the channel talks to the device (the channel selection).
        ChannelOutcome channel;
        RunAction(session, [&] { channel = CliChannel::Open(session, options); });
        if (!channel.open)
            return SetUpError(frontend, QStringLiteral("the data channel did not open: ") + channel.reason);
        // Opening the port raises the level to 1 as the window's button
        // does; the command line keeps the level it was given.
        session.state.AccessLevel = options.level;
    }
    return -1;
}

} // namespace

namespace Dtucfg {

int Run(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    ConsoleFrontend frontend(out, err);

    CliOptions options;
    QString error;
    if (!CliOptions::Parse(arguments, &options, &error))
        return UsageError(frontend, error);
    if (options.help) {
        frontend.PrintOut(CliOptions::Usage());
        return kExitOk;
    }
    if (options.showVersion) {
        frontend.PrintOut(QStringLiteral("dtucfg " DTU_VERSION "\n"));
        return kExitOk;
    }
    if (options.command.isEmpty())
        return UsageError(frontend, QStringLiteral("no command given"));
    const CliCommand *command = CliCommands::Find(options.command);
    if (!command)
        return UsageError(frontend, QStringLiteral("unknown command \"%1\"").arg(options.command));
    const int count = static_cast<int>(options.arguments.size());
    if (count < command->minArgs || (command->maxArgs >= 0 && count > command->maxArgs))
        return UsageError(frontend, QStringLiteral("wrong number of arguments for %1").arg(options.command));

    if (!Translation::Install(options.language))
        return SetUpError(frontend, QStringLiteral("the English texts could not be loaded"));
    frontend.SetShowTrace(options.level == 1);
    // Standard output is kept for what the program reads: the JSON document,
    // the worker's events, verify's differences.
    frontend.SetLinesToStderr(options.json || options.events || options.command == QLatin1String("verify"));
    frontend.SetProgressOnTerminal(::isatty(::fileno(err)) == 1);
    DtuSession session(frontend);
    session.exchange.SetFastCompletion(options.fast);
    CliContext context{session, frontend, options};
    // The fleet's worker records as the fleet.
    Recorder recorder(options.command == QLatin1String("provision") ? RecordProgram::Fleet : RecordProgram::Dtucfg);
    if (!CliRecording::Configure(recorder, options, &error))
        return UsageError(frontend, error);
    context.recorder = &recorder;

    CliVerdict verdict{kExitFailed, {}};
    try {
        if (command->needsProfile)
            if (const int status = Prepare(context, *command); status >= 0)
                return status;
        // One device action, started as the window starts its own.
        RunAction(session, [&] { verdict = command->run(context); });
    } catch (const CliUsageError &e) {
        return UsageError(frontend, e.text);
    } catch (const DtuError &e) {
        // The window's general error box.
        frontend.ShowError(e.text());
        verdict = {kExitFailed, {{QStringLiteral("error"), e.text()}}};
    }
    CliRecording::WarnOnce(context);

    if (options.json && !context.jsonPrinted) {
        QJsonObject result{{QStringLiteral("command"), options.command},
                           {QStringLiteral("ok"), verdict.status == kExitOk},
                           {QStringLiteral("status"), verdict.status},
                           {QStringLiteral("lines"), QJsonArray::fromStringList(frontend.Lines())}};
        if (!verdict.outcome.isEmpty())
            result.insert(QStringLiteral("outcome"), verdict.outcome);
        frontend.PrintOut(QString::fromUtf8(QJsonDocument(result).toJson(QJsonDocument::Indented)));
    }
    return verdict.status;
}

} // namespace Dtucfg
