#include "ops/ParamFile.h"

#include "core/DtuError.h"
#include "session/DtuSession.h"
#include "core/Frontend.h"
#include "ops/ParamWriter.h"
#include "ops/DeviceCommands.h"
#include "ops/Wording.h"
#include "ops/WriteLoop.h"
#include "protocol/ResultWording.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace ParamFile {
namespace {

// Restore and reset differ only in question, wording and command: ask first,
// then send; the result goes to panel 3 and Memo1, and a question answered
// Cancel repeats the panel's text there.
CommandOutcome AskAndRun(DtuSession &session, const QString &question, QString (*wording)(int),
                         CommandOutcome (*command)(DtuSession &))
{
    CommandOutcome outcome;
    if (!session.RequireChannel()) {
        outcome.channelOpen = false;
        return outcome;
    }
    Frontend &frontend = session.frontend();
    if (!frontend.AskOkCancel(question, QuestionCaption())) {
        frontend.RepeatResult(Frontend::Memo::Traffic);
        outcome.cancelled = true;
        return outcome;
    }
    outcome = command(session);
    const QString text = wording(outcome.result);
    if (text.isEmpty())
        frontend.RepeatResult(Frontend::Memo::Traffic);
    else
        ResultWording::Post(frontend, text);
    return outcome;
}

} // namespace

CommandOutcome RestoreDefaultsMenu(DtuSession &session)
{
    // The restore reports in the words of a parameter write.
    return AskAndRun(session, RestoreQuestion(), &Wording::RestoreResult, &DeviceCommands::RestoreDefaults);
}

CommandOutcome ResetMenu(DtuSession &session)
{
    return AskAndRun(session, ResetQuestion(), &Wording::ResetResult, &DeviceCommands::Reset);
}

int UpdateProfileValues(DtuSession &session)
{
    if (!session.profile)
        return 0;
    JsonValue *params = session.profile->Params();
    if (!params)
        return 0;
    int updated = 0;
    for (JsonValue &element : params->Items()) {
        if (!element.IsObject())
            continue;
        const JsonValue *id = element.Find(ProfileKeys::CMDID);
        const QString number = id ? id->Text() : QString();
        if (number.isEmpty())
            continue;
        // Same search as the writer's: rows sharing a number resolve alike.
        const int row = session.mainTable.FindByNumberFromSecond(number);
        if (row < 0)
            continue;
        element.Set(ProfileKeys::PVALUE, JsonValue::MakeString(session.mainTable.Cell(row, ColHex)));
        ++updated;
    }
    return updated;
}

SaveOutcome SaveParamFile(DtuSession &session)
{
    Frontend &frontend = session.frontend();
    SaveOutcome outcome;
    if (!session.profile) {
        frontend.ShowMessage(NothingToSaveText());
        outcome.kind = SaveOutcome::Kind::NoProfile;
        return outcome;
    }
    // The values go into the loaded profile itself and stay there even when
    // the dialog is cancelled, so a later re-save of the profile keeps them.
    UpdateProfileValues(session);

    QString path = frontend.AskSaveFile(QStringLiteral("*.txt"), QStringLiteral(".txt"));
    if (path.isEmpty()) {
        outcome.kind = SaveOutcome::Kind::Cancelled;
        return outcome;
    }
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".txt");
    outcome.path = path;
    try {
        // Renders first and writes through a temporary file: a character the
        // file's encoding cannot hold or a failed write leaves no file behind.
        session.profile->SaveAs(path);
    } catch (const DtuError &e) {
        const QString file = QFileInfo(path).absoluteFilePath();
        frontend.ShowMessage(
            QCoreApplication::translate("ParamFile", "参数文件 %1 保存失败。\n%2").arg(file, e.text()));
        outcome.kind = SaveOutcome::Kind::Failed;
        outcome.error = e.text();
    }
    return outcome;
}

namespace {

// A batch over tables, each on its own channel, as one write run. A channel
// lost on the way is also said in a message box, as the closed channel is
// at the start.
WriteReport Batch(DtuSession &session, const QList<WriteLoop::Part> &parts, const WriteLoop::Options &options = {})
{
    const WriteReport report = WriteLoop::Run(session, parts, options);
    if (report.channelLost)
        session.RequireChannel();
    return report;
}

WriteLoop::Part MainPart(DtuSession &session)
{
    return {&session.mainTable, WriteLoop::NumberedRows(session.mainTable), session.state.MainParamChannel};
}

WriteLoop::Part ExtendedPart(DtuSession &session)
{
    return {&session.extTable, WriteLoop::NumberedRows(session.extTable), DeviceCommands::kExtendedPageChannel};
}

// The file an extended table is saved in beside a backup: "b.txt" gives
// "b_ext.txt" in the same folder, named as the backup was named.
QString ExtendedPathFor(const QString &backupPath)
{
    const QFileInfo info(backupPath);
    const QString name = info.completeBaseName() + QStringLiteral("_ext.")
        + (info.suffix().isEmpty() ? QStringLiteral("txt") : info.suffix());
    const qsizetype slash = backupPath.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? name : backupPath.left(slash + 1) + name;
}

// Copies the hex cells of a table into PVALUE of the elements of a Params
// array whose CMDID names one of its rows.
void CopyValues(JsonValue *params, const ParamTableModel &table)
{
    if (!params)
        return;
    for (JsonValue &element : params->Items()) {
        if (!element.IsObject())
            continue;
        const JsonValue *id = element.Find(ProfileKeys::CMDID);
        const int row = id && !id->Text().isEmpty() ? table.FindByNumber(id->Text()) : -1;
        if (row >= 0)
            element.Set(ProfileKeys::PVALUE, JsonValue::MakeString(table.Cell(row, ColHex)));
    }
}

} // namespace

WriteReport BatchWrite(DtuSession &session)
{
    return Batch(session, {MainPart(session)});
}

WriteReport BatchWriteExtended(DtuSession &session)
{
    return Batch(session, {ExtendedPart(session)});
}

WriteReport BatchWriteAll(DtuSession &session, const WriteLoop::Options &options)
{
    if (!session.state.ExtPageVisible)
        return Batch(session, {MainPart(session)}, options);
    return Batch(session, {MainPart(session), ExtendedPart(session)}, options);
}

QString SaveFullBackup(DtuSession &session, const QString &path)
{
    if (!session.profile)
        throw DtuError(NothingToSaveText());
    UpdateProfileValues(session);
    const QString extFile = session.profile->Text(ProfileKeys::ExParamFile);
    if (!session.state.ExtPageVisible || extFile.isEmpty()) {
        session.profile->SaveAs(path);
        return {};
    }
    // The extended file first: the backup never names a file not yet there.
    DeviceProfile ext = DeviceProfile::FromFile(extFile);
    CopyValues(ext.Params(), session.extTable);
    const QString extPath = ExtendedPathFor(path);
    ext.SaveAs(extPath);
    DeviceProfile backup = *session.profile;
    backup.SetText(ProfileKeys::ExParamFile, extPath);
    backup.SaveAs(path);
    return extPath;
}

} // namespace ParamFile
