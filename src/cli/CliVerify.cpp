// verify FILE: the device's values against a file's.
#include "cli/CliCommands.h"

#include "core/DtuError.h"
#include "core/SilentFrontend.h"
#include "session/DtuSession.h"
#include "cli/CliOptions.h"
#include "cli/CliRecording.h"
#include "actions/ActionRecord.h"
#include "cli/ConsoleFrontend.h"
#include "ops/OutcomeJson.h"
#include "ops/ParamReader.h"
#include "ops/ProfileLoader.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace CliCommands {
namespace {

// The numbered rows the profile gives the device, both tables.
QList<TableCompare::RowValue> ProfileRows(CliContext &c)
{
    QList<TableCompare::RowValue> rows = TableCompare::Snapshot(c.session.mainTable);
    if (c.session.state.ExtPageVisible)
        rows += TableCompare::Snapshot(c.session.extTable);
    return rows;
}

} // namespace

bool CheckVerify(CliContext &c, QString *error)
{
    if (!c.session.profile) {
        *error = QCoreApplication::translate("CliVerify", "verify 需要参数文件（--profile FILE）");
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
        *error = QCoreApplication::translate("CliVerify", "verify：无法载入 %1：%2").arg(path, e.text());
        return false;
    }
    c.expectedMain = TableCompare::Snapshot(file.mainTable);
    if (file.state.ExtPageVisible)
        c.expectedExt = TableCompare::Snapshot(file.extTable);
    // A file of another kind of device would compare nothing and pass.
    const QList<TableCompare::RowValue> profileRows = ProfileRows(c);
    if (TableCompare::Shared(c.expectedMain + c.expectedExt, profileRows) == 0) {
        *error = QCoreApplication::translate("CliVerify", "verify：%1 与参数文件 %2 没有一个相同的参数")
                     .arg(path, c.session.profile->Path());
        return false;
    }
    return true;
}

ReadOutcome ReadAndCompare(CliContext &c, TableCompare::Outcome *outcome)
{
    DtuSession &s = c.session;
    TableCompare::ForgetValues(s.mainTable);
    TableCompare::ForgetValues(s.extTable);
    const ReadOutcome read = ParamReader::ReadWholeDevice(s);
    if (!read.Ok())
        return read;
    TableCompare::Compare(c.expectedMain, TableCompare::Snapshot(s.mainTable), c.options.ignore, outcome);
    if (s.state.ExtPageVisible)
        TableCompare::Compare(c.expectedExt, TableCompare::Snapshot(s.extTable), c.options.ignore, outcome);
    else if (!c.expectedExt.isEmpty())
        TableCompare::Compare(c.expectedExt, {}, c.options.ignore, outcome);
    return read;
}

CliVerdict Verify(CliContext &c)
{
    TableCompare::Outcome outcome;
    const ReadOutcome read = ReadAndCompare(c, &outcome);
    RecordEntry entry = CliRecording::Begin(c, RecordAction::Verify);
    entry.rows = CliRecording::ReadRows(c, read);
    if (!read.Ok()) {
        c.frontend.Complain(QCoreApplication::translate("CliVerify", "verify：没能读出设备的参数"));
        CliRecording::Keep(c, entry, ActionRecord::Outcome(read), OutcomeJson::Read(read));
        return CliVerdict::Of(false, OutcomeJson::Read(read));
    }
    TableCompare::CountUnlisted(c.expectedMain + c.expectedExt, ProfileRows(c), c.options.ignore, &outcome);
    QString text;
    for (const TableCompare::Difference &d : outcome.differences)
        text += TableCompare::Line(d) + QLatin1Char('\n');
    const QString summary = TableCompare::Summary(outcome);
    text += summary + QLatin1Char('\n');
    c.frontend.PrintOut(text);
    QJsonObject json = OutcomeJson::Read(read);
    json.insert(QStringLiteral("compared"), outcome.compared);
    json.insert(QStringLiteral("ignored"), outcome.ignored);
    json.insert(QStringLiteral("differences"), static_cast<int>(outcome.differences.size()));
    json.insert(QStringLiteral("not_in_file"), outcome.unlisted);
    json.insert(QStringLiteral("file"), QFileInfo(c.options.arguments.value(0)).absoluteFilePath());
    CliRecording::Keep(c, entry, outcome.differences.isEmpty() ? ActionRecord::Outcome(read) : ActionRecord::kDiffers,
                       json);
    json.remove(QStringLiteral("file"));
    return {outcome.differences.isEmpty() ? CliVerdict::kOk : CliVerdict::kDiffers, json, summary};
}

} // namespace CliCommands
