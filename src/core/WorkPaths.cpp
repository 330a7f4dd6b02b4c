#include "core/WorkPaths.h"

#include "core/TextFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace WorkPaths {

QString ConfigFolder()
{
    // The XDG rule: a relative XDG_CONFIG_HOME is invalid and ignored.
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(base + QStringLiteral("/dtutools"));
}

bool WorkingFolderIsSetUp()
{
    return QFileInfo::exists(kScriptName) || QFileInfo::exists(kLastFileName);
}

namespace {
// The lastfile.log in use: ./lastfile.log in a set-up working folder, else
// the one in the configuration folder.
QString LastFilePath()
{
    if (WorkingFolderIsSetUp())
        return kLastFileName;
    return ConfigFolder() + QLatin1Char('/') + kLastFileName;
}

// The places script.js is looked for, in order: ./script.js, script.js
// beside the profile (when one is named), script.js in the configuration
// folder. The first is the relative name, so messages about a work folder's
// script read as they always did.
QStringList ScriptCandidates(const QString &profilePath)
{
    QStringList candidates{kScriptName};
    QStringList seen{QFileInfo(kScriptName).absoluteFilePath()};
    const auto add = [&](const QString &path) {
        const QString absolute = QFileInfo(path).absoluteFilePath();
        if (!seen.contains(absolute)) {
            seen << absolute;
            candidates << path;
        }
    };
    if (!profilePath.isEmpty())
        add(QFileInfo(profilePath).absoluteDir().filePath(kScriptName));
    add(ConfigFolder() + QLatin1Char('/') + kScriptName);
    return candidates;
}
} // namespace

QString ReadLastFile()
{
    QFile file(LastFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = TextFile::FromUtf8OrGbk(file.readAll());
    return text.section(QLatin1Char('\n'), 0, 0).remove(QLatin1Char('\r'));
}

void WriteLastFile(const QString &path)
{
    const QString target = LastFilePath();
    QDir().mkpath(QFileInfo(target).absolutePath()); // a failure shows in the write
    TextFile::WriteAtomically(target, path.toUtf8() + "\r\n");
}

ScriptLookup LookUpScript(const QString &profilePath, const QString &given)
{
    if (!given.isEmpty())
        return {given, {given}};
    const QStringList candidates = ScriptCandidates(profilePath);
    for (const QString &candidate : candidates)
        if (QFileInfo(candidate).isFile())
            return {candidate, candidates.mid(0, candidates.indexOf(candidate) + 1)};
    return {QString(), candidates};
}

QString StartProfile(const QString &given)
{
    return given.isEmpty() ? ReadLastFile() : given;
}

QStringList Shown(const QStringList &paths)
{
    QStringList shown;
    for (const QString &path : paths)
        shown << QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    return shown;
}

QString ScriptNotFoundText(const QStringList &tried)
{
    return QCoreApplication::translate("WorkPaths", "找不到脚本文件%1，已查找：\n").arg(kScriptName) + Shown(tried).join(QLatin1Char('\n'));
}

} // namespace WorkPaths
