// verify FILE: the device's values against a file's.
#include "cli/CliCommands.h"

#include "core/DtuError.h"
#include "core/SilentFrontend.h"
#include "session/DtuSession.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleFrontend.h"
#include "ops/ParamReader.h"
#include "ops/ProfileLoader.h"

namespace CliCommands {
namespace {
constexpr int kExitSame = 0;
constexpr int kExitDiffers = 3;
} // namespace

bool CheckVerify(CliContext &c, QString *error)
{
    if (!c.session.profile) {
        *error = QStringLiteral("verify needs a device profile (--profile FILE)");
        return false;
    }
    // The file is read as a profile of its own, decoded by its own rows, so
    // its values are shown as the window would show them after loading it.
    const QString path = c.options.arguments.value(0);
    SilentFrontend silent;
    DtuSession file(silent);
    QString scriptError;
    if (!file.script.LoadFile(c.scriptPath, &scriptError)) {
        *error = scriptError;
        return false;
    }
    try {
        ProfileLoader::LoadProfile(file, path);
    } catch (const DtuError &e) {
        *error = QStringLiteral("verify: cannot load %1: %2").arg(path, e.text());
        return false;
    }
    c.expectedMain = TableCompare::Snapshot(file.mainTable);
    if (file.state.ExtPageVisible)
        c.expectedExt = TableCompare::Snapshot(file.extTable);
    return true;
}

bool ReadAndCompare(CliContext &c, TableCompare::Outcome *outcome)
{
    DtuSession &s = c.session;
    TableCompare::ForgetValues(s.mainTable);
    TableCompare::ForgetValues(s.extTable);
    ParamReader::ReadWholeDevice(s);
    if (c.frontend.FailureSeen())
        return false;
    TableCompare::Compare(c.expectedMain, TableCompare::Snapshot(s.mainTable), c.options.ignore, outcome);
    if (s.state.ExtPageVisible)
        TableCompare::Compare(c.expectedExt, TableCompare::Snapshot(s.extTable), c.options.ignore, outcome);
    else if (!c.expectedExt.isEmpty())
        TableCompare::Compare(c.expectedExt, {}, c.options.ignore, outcome);
    return true;
}

bool Verify(CliContext &c)
{
    TableCompare::Outcome outcome;
    if (!ReadAndCompare(c, &outcome)) {
        c.frontend.Complain(QStringLiteral("verify: the parameters could not be read"));
        return false;
    }
    QString text;
    for (const TableCompare::Difference &d : outcome.differences)
        text += TableCompare::Line(d) + QLatin1Char('\n');
    text += TableCompare::Summary(outcome) + QLatin1Char('\n');
    c.frontend.PrintOut(text);
    c.exitStatus = outcome.differences.isEmpty() ? kExitSame : kExitDiffers;
    return true;
}

} // namespace CliCommands
