#pragma once
#include <QString>

class DtuSession;

// Loading a device profile into a session: tables, channels, caption, serial
// boxes, TCP box, extended page; and remembering it in lastfile.log
// (WorkPaths says which one).
namespace ProfileLoader {

// Loads the profile at path. Callers empty the main table first. Throws
// DtuError when the profile or its extended parameter file cannot be read or
// is not a JSON object; entries after a bad entry or a script error are
// skipped silently.
void LoadProfile(DtuSession &session, const QString &path);
// Loads the extended parameter file into the extended table.
void LoadExtendedFile(DtuSession &session, const QString &path);

// The menu's "调入参数文件" after the dialog: remember the path in
// lastfile.log, empty the main table, load, and say in the status bar when
// the profile's structure has faults. Throws as LoadProfile.
void LoadChosenProfile(DtuSession &session, const QString &path);
// Start-up: load the profile named in lastfile.log unless one is loaded
// already. Any failure is silent; returns whether a profile was loaded.
bool RestoreLastProfile(DtuSession &session);

// The initial name for the open dialog of "调入参数文件": "*.txt" in the
// folder of the loaded profile, else of the one lastfile.log names, else in
// fallbackFolder when that folder is gone or no profile is known.
QString OpenDialogStart(const DtuSession &session, const QString &fallbackFolder);

} // namespace ProfileLoader
