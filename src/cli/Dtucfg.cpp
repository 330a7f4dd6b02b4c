// dtucfg's whole run after the program starts: options, script, profile,
// channel, command, exit status. A library function, so tests run it in
// their own process.
#include "cli/Dtucfg.h"

#include "core/DtuError.h"
#include "session/ActionScope.h"
#include "session/DtuSession.h"
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleFrontend.h"
#include "actions/Recorder.h"
#include "core/StopSignals.h"
#include "DtuVersion.h"
#include "ops/ProfileLoader.h"
#include "core/Translation.h"
#include "core/WorkPaths.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>

#include <optional>
#include <unistd.h>

namespace {

// Everything before the device is spoken to: script, profile, channel.
// Returns the refusal, said, when the command may not run; throws
// CliUsageError for arguments its check refuses.
std::optional<CliVerdict> Prepare(CliContext &context, const CliCommand &command)
{
    DtuSession &session = context.session;
    const CliOptions &options = context.options;
    const auto setUpError = [&context](const QString &reason) {
        return CliCommands::Refuse(context, CliVerdict::kUsage, reason);
    };

    // A profile that was asked for and is not there is what is wrong, even
    // when the script it would lead to cannot be found either.
    if (options.given.contains(QLatin1String("profile")) && !QFileInfo(options.profilePath).isFile())
        return setUpError(QCoreApplication::translate("Dtucfg", "找不到参数文件 %1").arg(options.profilePath));

    // The window's lookup: the profile lastfile.log names, the script of
    // the working folder, else beside the profile, else in the
    // configuration folder.
    const QString profilePath = WorkPaths::StartProfile(options.profilePath);
    if (profilePath.isEmpty() && command.needs >= CliCommand::Needs::Tables)
        return setUpError(
            QCoreApplication::translate("Dtucfg", "%1 需要参数文件（--profile FILE）").arg(options.command));
    const WorkPaths::ScriptLookup script = WorkPaths::LookUpScript(profilePath, options.scriptPath);
    const QString scriptPath = script.found;
    if (scriptPath.isEmpty()) {
        const QStringList tried = WorkPaths::Shown(script.tried);
        return setUpError(QCoreApplication::translate("Dtucfg", "找不到 %1；找过：%2（或用 --script FILE 指定）")
                              .arg(WorkPaths::kScriptName, tried.join(QStringLiteral(", "))));
    }
    context.scriptPath = scriptPath;
    QString error;
    ScriptFault fault;
    if (!session.script.LoadFile(scriptPath, &error, &fault))
        return setUpError(QCoreApplication::translate("Dtucfg", "无法读取脚本 %1：%2").arg(scriptPath, error));
    // Said at once, before anything it causes. A script that does not parse
    // defined nothing: the profile's rows could not be decoded and no
    // command word is known, so nothing else would make sense. One that
    // stopped part-way still serves with what it defined before.
    if (!fault.IsEmpty()) {
        const QString text = QCoreApplication::translate("Dtucfg", "脚本错误：%1").arg(fault.Text());
        if (fault.syntax)
            return setUpError(text);
        context.frontend.Say(text);
    }

    if (!profilePath.isEmpty()) {
        try {
            ProfileLoader::LoadProfile(session, profilePath);
        } catch (const DtuError &e) {
            return setUpError(QCoreApplication::translate("Dtucfg", "无法载入参数文件 %1：%2").arg(profilePath, e.text()));
        }
    }
    session.state.AccessLevel = options.level;
    session.state.KeepProfileFile = options.keepProfile || command.needs == CliCommand::Needs::TablesKept;

    if (command.check && !command.check(context, &error))
        throw CliUsageError{error};
    if (command.needsChannel)
        return CliCommands::OpenChannel(context);
    return std::nullopt;
}

// The one document of --json: what the command did, its entry in the
// records when it keeps one, and when it failed, an error member with the
// exit status and the reason.
void PrintJson(ConsoleFrontend &frontend, const QString &command, const CliVerdict &verdict, const QString &message)
{
    QJsonObject result{{QStringLiteral("command"), command},
                       {QStringLiteral("ok"), verdict.status == CliVerdict::kOk},
                       {QStringLiteral("status"), verdict.status},
                       {QStringLiteral("lines"), QJsonArray::fromStringList(frontend.Lines())}};
    if (!verdict.outcome.isEmpty())
        result.insert(QStringLiteral("outcome"), verdict.outcome);
    if (verdict.entry) {
        const EntryKept &entry = *verdict.entry;
        result.insert(QStringLiteral("record"), entry.Kept() ? QJsonValue(entry.id) : QJsonValue());
        if (!entry.Kept())
            result.insert(QStringLiteral("record_error"),
                          entry.recording ? entry.error : QStringLiteral("recording is off"));
    }
    for (auto it = verdict.members.begin(); it != verdict.members.end(); ++it)
        result.insert(it.key(), it.value());
    if (verdict.status != CliVerdict::kOk)
        result.insert(QStringLiteral("error"),
                      QJsonObject{{QStringLiteral("exit_code"), verdict.status}, {QStringLiteral("message"), message}});
    frontend.PrintDocument(QString::fromUtf8(QJsonDocument(result).toJson(QJsonDocument::Indented)));
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
    // With --json, standard output holds the one document and nothing else.
    frontend.SetOutputToStderr(json);
    if (!Translation::Install(language)) {
        frontend.Say(QStringLiteral("the English texts could not be loaded"));
        return CliVerdict::kUsage;
    }

    CliOptions options;
    QString command;
    // A command line refused before its command ran; a usage error is
    // followed by "Try 'dtucfg --help'.".
    const auto refuse = [&](const QString &reason, bool usageHint = true) {
        frontend.Say(reason);
        if (usageHint)
            frontend.Complain(QCoreApplication::translate("Dtucfg", "用法见 'dtucfg --help'。"));
        if (json)
            PrintJson(frontend, command, CliVerdict{CliVerdict::kUsage}, reason);
        return CliVerdict::kUsage;
    };

    QString error;
    if (!CliOptions::Parse(arguments, &options, &error))
        return refuse(error);
    command = options.command;
    if (options.help) {
        frontend.PrintDocument(CliOptions::Usage());
        return CliVerdict::kOk;
    }
    if (options.showVersion) {
        frontend.PrintDocument(QStringLiteral("dtucfg " DTU_VERSION "\n"));
        return CliVerdict::kOk;
    }
    if (options.command.isEmpty())
        return refuse(QCoreApplication::translate("Dtucfg", "没有给出命令"));
    const CliCommand *found = CliCommands::Find(options.command);
    if (!found)
        return refuse(QCoreApplication::translate("Dtucfg", "未知的命令“%1”").arg(options.command));
    for (const QString &option : options.given)
        if (!CliCommands::Takes(options.command, option))
            return refuse(QCoreApplication::translate("Dtucfg", "--%1 对 %2 命令没有意义").arg(option, options.command));
    if (!CliOptions::ReadPassword(&options, &error))
        return refuse(error, false);
    const int count = static_cast<int>(options.arguments.size());
    if (count < found->minArgs || (found->maxArgs >= 0 && count > found->maxArgs))
        return refuse(QCoreApplication::translate("Dtucfg", "%1 命令的参数个数不对").arg(options.command));

    frontend.SetShowTrace(options.level == 1);
    // Standard output is kept for what the program reads: the JSON document,
    // the worker's events, verify's differences.
    frontend.SetLinesToStderr(options.json || options.events || options.command == QLatin1String("verify"));
    DtuSession session(frontend, line.scheduler ? *line.scheduler : Scheduler::Default());
    if (line.serial)
        session.serial.StandIn(line.serial);
    session.exchange.SetFastCompletion(options.fast);
    // The fleet's worker records as the fleet.
    Recorder recorder(options.command == QLatin1String("provision") ? RecordProgram::Fleet : RecordProgram::Dtucfg);
    RecordLocation location;
    if (options.records.off)
        recorder.Off();
    else if (options.RecordsAt(&location, &error))
        recorder.SetLocation(location);
    else
        return refuse(error);
    CliContext context{session, frontend, options, recorder};

    // Ctrl+C or SIGTERM: the action ends after the exchange under way (it
    // keeps its entry, and says what it did); a second one ends the program
    // at once. Heard while this run lasts.
    QObject listening;
    OnStopSignals(
        [&session] {
            session.state.StopRequested = true;
            EndOnNextStopSignal(true);
        },
        &listening);
    const auto endWithRun = qScopeGuard([] { EndOnNextStopSignal(false); });

    CliVerdict verdict{CliVerdict::kFailed, {}};
    try {
        // The whole command is one device action, as a window's press is.
        RunAction(session, [&] {
            const std::optional<CliVerdict> refused =
                found->needs == CliCommand::Needs::Nothing ? std::nullopt : Prepare(context, *found);
            verdict = refused ? *refused : found->run(context);
        });
    } catch (const CliUsageError &e) {
        return refuse(e.text);
    } catch (const DtuError &e) {
        // The window's general error box.
        frontend.ShowError(e.text());
        verdict = {CliVerdict::kFailed, {}, e.text()};
    }
    if (const StoreError warning = recorder.TakeWarning(); !warning.IsNone())
        frontend.Say(QCoreApplication::translate("Dtucfg", "警告：这次操作没有记入设备档案：%1").arg(warning.message));

    if (options.json)
        PrintJson(frontend, options.command, verdict,
                  verdict.status == CliVerdict::kOk ? QString() : FailureMessage(verdict, frontend));
    return verdict.status;
}

} // namespace

namespace Dtucfg {

int Run(const QStringList &arguments, std::FILE *out, std::FILE *err, const Line &line)
{
    ConsoleFrontend frontend(out, err);
    frontend.SetProgressOnTerminal(::isatty(::fileno(err)) == 1);
    return ::Run(arguments, frontend, line);
}

} // namespace Dtucfg
