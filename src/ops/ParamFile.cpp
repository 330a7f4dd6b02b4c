#include "ops/ParamFile.h"

#include "core/DtuError.h"
#include "session/DtuSession.h"
#include "core/Frontend.h"
#include "core/WriteRules.h"
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
CommandOutcome AskAndRun(DtuSession &session, const QString &question, const QString &word,
                         CommandOutcome (*command)(DtuSession &))
{
    if (!session.RequireChannel())
        return {.channelOpen = false};
    Frontend &frontend = session.frontend();
    if (!frontend.AskOkCancel(question, QuestionCaption())) {
        frontend.RepeatResult(Frontend::Memo::Traffic);
        return {.cancelled = true};
    }
    const CommandOutcome outcome = command(session);
    const QString text = ResultWording::Text(word, ResultWording::Family::Ack, outcome.result);
    if (text.isEmpty())
        frontend.RepeatResult(Frontend::Memo::Traffic);
    else
        ResultWording::Post(frontend, text);
    return outcome;
}

// Copies the hex cells of a table into PVALUE of the elements of a Params
// array whose CMDID names one of its rows (found by `find`).
void CopyValues(JsonValue *params, const ParamTableModel &table, int (ParamTableModel::*find)(const QString &) const)
{
    if (!params)
        return;
    for (JsonValue &element : params->Items()) {
        if (!element.IsObject())
            continue;
        const JsonValue *id = element.Find(ProfileKeys::CMDID);
        const int row = id && !id->Text().isEmpty() ? (table.*find)(id->Text()) : -1;
        if (row >= 0)
            element.Set(ProfileKeys::PVALUE, JsonValue::MakeString(table.Cell(row, ColHex)));
    }
}

// The main table's values into the loaded profile's own Params, found by the
// writer's search: rows sharing a number resolve alike.
void UpdateProfileValues(DtuSession &session)
{
    CopyValues(session.profile->Params(), session.mainTable, &ParamTableModel::FindByNumberFromSecond);
}

} // namespace

CommandOutcome RestoreDefaultsMenu(DtuSession &session)
{
    // The restore reports in the words of a parameter write.
    return AskAndRun(session, RestoreQuestion(), Wording::WriteWord(), &DeviceCommands::RestoreDefaults);
}

CommandOutcome ResetMenu(DtuSession &session)
{
    return AskAndRun(session, ResetQuestion(), Wording::ResetWord(), &DeviceCommands::Reset);
}

void SaveParamFile(DtuSession &session)
{
    Frontend &frontend = session.frontend();
    if (!session.profile) {
        frontend.ShowMessage(NothingToSaveText());
        return;
    }
    // The values go into the loaded profile itself and stay there even when
    // the dialog is cancelled, so a later re-save of the profile keeps them.
    UpdateProfileValues(session);

    QString path = frontend.AskSaveFile(QStringLiteral("*.txt"), QStringLiteral(".txt"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".txt");
    try {
        // Renders first and writes through a temporary file: a character the
        // file's encoding cannot hold or a failed write leaves no file behind.
        session.profile->SaveAs(path);
    } catch (const DtuError &e) {
        const QString file = QFileInfo(path).absoluteFilePath();
        frontend.ShowMessage(
            QCoreApplication::translate("ParamFile", "参数文件 %1 保存失败。\n%2").arg(file, e.text()));
    }
}

namespace {

// Whether a batch of `tables` sends the extended table (with Both only when
// the profile has an extended page); it sends the main one unless Extended.
bool SendsExtended(const DtuSession &session, BatchTables tables)
{
    return tables == BatchTables::Extended || (tables == BatchTables::Both && session.state.ExtPageVisible);
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

} // namespace

QList<UnsendableRow> UnsendableRows(const DtuSession &session, BatchTables tables)
{
    QList<const ParamTableModel *> sent;
    if (tables != BatchTables::Extended)
        sent << &session.mainTable;
    if (SendsExtended(session, tables))
        sent << &session.extTable;
    QList<UnsendableRow> rows;
    for (const ParamTableModel *table : sent) {
        for (int i = 0; i < table->Count(); ++i) {
            const ParamRow &row = table->Row(i);
            if (row.IsHeading() || !WriteRules::MayWrite(session.state.AccessLevel, row.Number())
                || row.HexIsWholeBytes())
                continue;
            rows.append({row.Number(), row.cells[ColName], row.cells[ColHex]});
        }
    }
    return rows;
}

WriteReport BatchWrite(DtuSession &session, BatchTables tables, bool giveUpWhenSilent)
{
    if (QList<UnsendableRow> refused = UnsendableRows(session, tables); !refused.isEmpty()) {
        WriteReport report;
        report.refused = std::move(refused);
        return report;
    }
    // Each table on its own channel, in one write run.
    QList<WriteLoop::Part> parts;
    if (tables != BatchTables::Extended)
        parts.append({&session.mainTable, WriteLoop::NumberedRows(session.mainTable), session.state.MainParamChannel});
    if (SendsExtended(session, tables))
        parts.append({&session.extTable, WriteLoop::NumberedRows(session.extTable), DeviceCommands::kExtendedPageChannel});
    const WriteReport report = WriteLoop::Run(session, parts, giveUpWhenSilent);
    // A channel lost on the way is said in a message box too, as a closed
    // channel is at the start.
    if (report.channelLost)
        session.RequireChannel();
    return report;
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
    CopyValues(ext.Params(), session.extTable, &ParamTableModel::FindByNumber);
    const QString extPath = ExtendedPathFor(path);
    ext.SaveAs(extPath);
    DeviceProfile backup = *session.profile;
    backup.SetText(ProfileKeys::ExParamFile, extPath);
    backup.SaveAs(path);
    return extPath;
}

} // namespace ParamFile
