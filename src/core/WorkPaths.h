#pragma once
#include <QString>
#include <QStringList>

// Where the tool finds its device script and remembers the last profile.
// A work folder set up for a device (one holding script.js or lastfile.log)
// is used exactly as it is: ./script.js, ./lastfile.log. Started from the
// desktop menu the working folder is the home folder, which holds neither:
// then lastfile.log lives in the user's configuration folder, and script.js
// is looked for beside the last profile and in that configuration folder.
namespace WorkPaths {

inline const QString kScriptName = QStringLiteral("script.js");
inline const QString kLastFileName = QStringLiteral("lastfile.log");

// $XDG_CONFIG_HOME/dtutools, or ~/.config/dtutools when that is unset or
// not an absolute path. It may not exist yet.
QString ConfigFolder();

// True when the working folder holds script.js or lastfile.log.
bool WorkingFolderIsSetUp();

// The first line of the lastfile.log in use (./lastfile.log in a set-up
// working folder, else the one in the configuration folder): the last
// profile's path ("" when there is none).
QString ReadLastFile();
// Writes path and CR LF to that lastfile.log, making the configuration folder
// when needed. Throws DtuError when it cannot be written.
void WriteLastFile(const QString &path);

// Where a run's script was looked for and what was found: the one home of
// that rule for the window, dtucfg and the fleet. A path given (--script)
// is taken as it is; otherwise ./script.js, script.js beside the profile
// (when one is named) and script.js in the configuration folder are tried
// in order.
struct ScriptLookup {
    QString found;     // "" when nothing was found
    QStringList tried; // every path looked at, in order
};
ScriptLookup LookUpScript(const QString &profilePath, const QString &given = QString());
// The profile a run starts with: the one given, else the one lastfile.log names.
QString StartProfile(const QString &given);
// Paths as a message shows them: absolute, in the system's own notation.
QStringList Shown(const QStringList &paths);
// The window's message for a script found nowhere, naming every path tried.
QString ScriptNotFoundText(const QStringList &tried);

} // namespace WorkPaths
