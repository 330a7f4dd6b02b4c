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
#include "actions/Recorder.h"
#include "cli/ConsoleFrontend.h"
#include "ops/OutcomeJson.h"
#include "ops/Outcomes.h"
#include "DtuVersion.h"
#include "ops/ProfileLoader.h"
#include "core/Translation.h"
#include "core/WorkPaths.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>
#include <unistd.h>

namespace {

constexpr int kExitOk = CliVerdict::kOk;
constexpr int kExitFailed = CliVerdict::kFailed;
constexpr int kExitUsage = CliVerdict::kUsage;

// A run that ends before its command ran, or because of it: the status and
// what to say.
struct Refusal {
    int status = kExitUsage;
    QString message;
    bool usageHint = false; // "Try 'dtucfg --help'." follows
    QJsonObject outcome;
};

Refusal SetUpError(const QString &reason)
{
    return {kExitUsage, reason, false, {}};
}

Refusal UsageError(const QString &reason)
{
    return {kExitUsage, reason, true, {}};
}

// Everything before the device is spoken to: script, profile, channel.
// Returns the refusal when the command may not run.
std::optional<Refusal> Prepare(CliContext &context, const CliCommand &command)
{
    DtuSession &session = context.session;
    ConsoleFrontend &frontend = context.frontend;
    const CliOptions &options = context.options;

    // A profile that was asked for and is not there is what is wrong, even
    // when the script it would lead to cannot be found either.
    if (options.profileGiven && !QFileInfo(options.profilePath).isFile())
        return SetUpError(QCoreApplication::translate("Dtucfg", "找不到参数文件 %1").arg(options.profilePath));

    // The window's lookup: the profile lastfile.log names, the script of
    // the working folder, else beside the profile, else in the
    // configuration folder.
    const QString profilePath = options.profileGiven ? options.profilePath : WorkPaths::StartProfile(QString());
    const WorkPaths::ScriptLookup script = WorkPaths::LookUpScript(profilePath, options.scriptPath);
    const QString scriptPath = script.found;
    if (scriptPath.isEmpty()) {
        const QStringList tried = WorkPaths::Shown(script.tried);
        return SetUpError(QCoreApplication::translate("Dtucfg", "找不到 %1；找过：%2（或用 --script FILE 指定）")
                              .arg(WorkPaths::kScriptName, tried.join(QStringLiteral(", "))));
    }
    context.scriptPath = scriptPath;
    QString error;
    ScriptFault fault;
    if (!session.script.LoadFile(scriptPath, &error, &fault))
        return SetUpError(QCoreApplication::translate("Dtucfg", "无法读取脚本 %1：%2").arg(scriptPath, error));
    // Said at once, before anything it causes. A script that does not parse
    // defined nothing: the profile's rows could not be decoded and no
    // command word is known, so nothing else would make sense. One that
    // stopped part-way still serves with what it defined before.
    if (!fault.IsEmpty()) {
        const QString text = QCoreApplication::translate("Dtucfg", "脚本错误：%1").arg(fault.Text());
        if (fault.syntax)
            return SetUpError(text);
        frontend.Complain(QStringLiteral("dtucfg: ") + text);
    }

    if (!profilePath.isEmpty()) {
        try {
            ProfileLoader::LoadProfile(session, profilePath);
        } catch (const DtuError &e) {
            return SetUpError(QCoreApplication::translate("Dtucfg", "无法载入参数文件 %1：%2").arg(profilePath, e.text()));
        }
    }
    session.state.AccessLevel = options.level;
    // These read the shared profile and must leave its file as it is.
    static const QStringList keeping{QStringLiteral("save"), QStringLiteral("verify"), QStringLiteral("provision")};
    session.state.KeepProfileFile = options.keepProfile || keeping.contains(options.command);

    if (command.check && !command.check(context, &error))
        return UsageError(error);
    if (command.needsChannel) {
        // Opening the channel talks to the device (the channel selection).
        ChannelOutcome channel;
        RunAction(session, [&] { channel = CliChannel::Open(session, options); });
        if (!channel.open) {
            const CliChannel::Failure failure = CliChannel::Refused(channel);
            return Refusal{failure.status, failure.text, false, OutcomeJson::Channel(channel)};
        }
        // Opening the port raises the level to 1 as the window's button
        // does; the command line keeps the level it was given.
        session.state.AccessLevel = options.level;
    }
    return std::nullopt;
}

// The one document of --json: what the command did, and when it failed, an
// error member with the exit status and the reason.
void PrintJson(ConsoleFrontend &frontend, const QString &command, int status, const QJsonObject &outcome,
               const QString &message)
{
    QJsonObject result{{QStringLiteral("command"), command},
                       {QStringLiteral("ok"), status == kExitOk},
                       {QStringLiteral("status"), status},
                       {QStringLiteral("lines"), QJsonArray::fromStringList(frontend.Lines())}};
    if (!outcome.isEmpty())
        result.insert(QStringLiteral("outcome"), outcome);
    if (status != kExitOk)
        result.insert(QStringLiteral("error"),
                      QJsonObject{{QStringLiteral("exit_code"), status}, {QStringLiteral("message"), message}});
    frontend.PrintOut(QString::fromUtf8(QJsonDocument(result).toJson(QJsonDocument::Indented)));
}

// Why a command that ran did not succeed, for --json: what it said about
// it, else its last complaint, else the last line it printed (its result
// line).
QString FailureMessage(const CliVerdict &verdict, const ConsoleFrontend &frontend)
{
    if (!verdict.message.isEmpty())
        return verdict.message;
    if (!frontend.LastComplaint().isEmpty())
        return frontend.LastComplaint();
    if (!frontend.Lines().isEmpty())
        return frontend.Lines().last();
    return QCoreApplication::translate("Dtucfg", "命令没有成功");
}

int Run(const QStringList &arguments, ConsoleFrontend &frontend, const Dtucfg::Line &line)
{
    // The language and the form of the answer come first: a command line
    // that does not parse is refused in them too.
    Language language = Language::Chinese;
    bool json = false;
    CliOptions::Peek(arguments, &language, &json);
    if (!Translation::Install(language)) {
        frontend.Complain(QStringLiteral("dtucfg: the English texts could not be loaded"));
        return kExitUsage;
    }

    CliOptions options;
    QString command;
    const auto refuse = [&](const Refusal &r) {
        frontend.Complain(QStringLiteral("dtucfg: ") + r.message);
        if (r.usageHint)
            frontend.Complain(QCoreApplication::translate("Dtucfg", "用法见 'dtucfg --help'。"));
        if (json)
            PrintJson(frontend, command, r.status, r.outcome, r.message);
        return r.status;
    };

    QString error;
    if (!CliOptions::Parse(arguments, &options, &error))
        return refuse(UsageError(error));
    command = options.command;
    if (options.help) {
        frontend.PrintOut(CliOptions::Usage());
        return kExitOk;
    }
    if (options.showVersion) {
        frontend.PrintOut(QStringLiteral("dtucfg " DTU_VERSION "\n"));
        return kExitOk;
    }
    if (options.command.isEmpty())
        return refuse(UsageError(QCoreApplication::translate("Dtucfg", "没有给出命令")));
    const CliCommand *found = CliCommands::Find(options.command);
    if (!found)
        return refuse(UsageError(QCoreApplication::translate("Dtucfg", "未知的命令“%1”").arg(options.command)));
    for (const QString &option : options.given)
        if (!CliCommands::Takes(options.command, option))
            return refuse(UsageError(QCoreApplication::translate("Dtucfg", "--%1 对 %2 命令没有意义").arg(option, options.command)));
    if (!CliOptions::ReadPassword(&options, &error))
        return refuse(SetUpError(error));
    const int count = static_cast<int>(options.arguments.size());
    if (count < found->minArgs || (found->maxArgs >= 0 && count > found->maxArgs))
        return refuse(UsageError(QCoreApplication::translate("Dtucfg", "%1 命令的参数个数不对").arg(options.command)));

    frontend.SetShowTrace(options.level == 1);
    // Standard output is kept for what the program reads: the JSON document,
    // the worker's events, verify's differences.
    frontend.SetLinesToStderr(options.json || options.events || options.command == QLatin1String("verify"));
    DtuSession session(frontend, line.scheduler ? *line.scheduler : Scheduler::Default());
    if (line.serial)
        session.serial.StandIn(line.serial);
    session.exchange.SetFastCompletion(options.fast);
    CliContext context{session, frontend, options};
    // The fleet's worker records as the fleet.
    Recorder recorder(options.command == QLatin1String("provision") ? RecordProgram::Fleet : RecordProgram::Dtucfg);
    if (!CliRecording::Configure(recorder, options, &error))
        return refuse(UsageError(error));
    context.recorder = &recorder;

    CliVerdict verdict{kExitFailed, {}};
    try {
        if (found->needsProfile)
            if (const std::optional<Refusal> refusal = Prepare(context, *found))
                return refuse(*refusal);
        // One device action, started as the window starts its own.
        RunAction(session, [&] { verdict = found->run(context); });
    } catch (const CliUsageError &e) {
        return refuse(UsageError(e.text));
    } catch (const DtuError &e) {
        // The window's general error box.
        frontend.ShowError(e.text());
        verdict = {kExitFailed, {}};
    }
    CliRecording::WarnOnce(context);

    if (options.json && !context.jsonPrinted)
        PrintJson(frontend, options.command, verdict.status, verdict.outcome,
                  verdict.status == kExitOk ? QString() : FailureMessage(verdict, frontend));
    return verdict.status;
}

} // namespace

namespace Dtucfg {

int Run(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    return Run(arguments, out, err, Line{});
}

int Run(const QStringList &arguments, std::FILE *out, std::FILE *err, const Line &line)
{
    ConsoleFrontend frontend(out, err);
    frontend.SetProgressOnTerminal(::isatty(::fileno(err)) == 1);
    return ::Run(arguments, frontend, line);
}

} // namespace Dtucfg
