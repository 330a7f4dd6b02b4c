
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleFrontend.h"
#include "core/WorkPaths.h"
#include "ops/ProfileCheck.h"
#include "ops/ProfileCheckWording.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>

namespace CliCheck {
namespace {

QJsonObject Json(const ProfileCheck::Finding &f)
{
    static const char *const tables[] = {"", "main", "extended"};
    return {{QStringLiteral("severity"),
             f.severity == ProfileCheck::Severity::Fault ? QStringLiteral("fault") : QStringLiteral("warning")},
            {QStringLiteral("kind"), ProfileCheck::KindName(f.kind)},
            {QStringLiteral("file"), f.file},
            {QStringLiteral("line"), f.line},
            {QStringLiteral("column"), f.column},
            {QStringLiteral("table"), QLatin1String(tables[int(f.table)])},
            {QStringLiteral("number"), f.number},
            {QStringLiteral("name"), f.name},
            {QStringLiteral("detail"), ProfileCheckWording::Detail(f)}};
}

} // namespace

CliVerdict Run(CliContext &c)
{
    // Found as every command finds them: the options, else lastfile.log and
    // the script's usual places.
    const QString profile = WorkPaths::StartProfile(c.options.profilePath);
    if (profile.isEmpty())
        return CliCommands::Refuse(c, CliVerdict::kUsage,
                                   QCoreApplication::translate("CliCheck", "没有参数文件可检查（用 --profile FILE 指定）"));
    const WorkPaths::ScriptLookup script = WorkPaths::LookUpScript(profile, c.options.scriptPath);
    // A profile that is not there is what is wrong, script or none.
    if (script.found.isEmpty() && QFileInfo(profile).isFile())
        return CliCommands::Refuse(c, CliVerdict::kUsage,
                                   QCoreApplication::translate("CliCheck", "找不到 %1；找过：%2（或用 --script FILE 指定）")
                                       .arg(WorkPaths::kScriptName, WorkPaths::Shown(script.tried).join(QStringLiteral(", "))));

    const ProfileCheck::Report report = ProfileCheck::Run(profile, script.found);
    QJsonArray findings;
    for (const ProfileCheck::Finding &f : report.findings) {
        c.frontend.AppendMemo(ProfileCheckWording::Line(f));
        findings << Json(f);
    }
    const QString summary = ProfileCheckWording::Summary(report);
    c.frontend.AppendMemo(summary);
    const int faults = report.Count(ProfileCheck::Severity::Fault);
    const int warnings = report.Count(ProfileCheck::Severity::Warning);
    // A profile repository's CI lets no warning through either.
    const bool failed = faults > 0 || (c.options.strict && warnings > 0);
    const int status = report.Unreadable() ? CliVerdict::kUsage : failed ? CliVerdict::kFailed : CliVerdict::kOk;
    return {status,
            {{QStringLiteral("profile"), profile},
             {QStringLiteral("script"), script.found},
             {QStringLiteral("rows"), report.rows},
             {QStringLiteral("faults"), faults},
             {QStringLiteral("warnings"), warnings},
             {QStringLiteral("strict"), c.options.strict},
             {QStringLiteral("findings"), findings}},
            summary};
}

} // namespace CliCheck
