#include "ops/ParamFile.h"

#include "core/DtuError.h"
#include "session/DtuSession.h"
#include "core/Frontend.h"
#include "ops/ParamWriter.h"
#include "ops/DeviceCommands.h"
#include "ops/WriteRun.h"
#include "protocol/ResultWording.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace ParamFile {
namespace {

// Restore and reset differ only in question, word and command: ask first,
// then send, then the panel's text goes to Memo1 whatever the answer was.
void AskAndRun(DtuSession &session, const QString &question, const QString &word,
               int (*command)(DtuSession &))
{
    if (!session.RequireChannel())
        return;
    Frontend &frontend = session.frontend();
    if (!frontend.AskOkCancel(question, QuestionCaption())) {
        frontend.AppendMemo(frontend.ResultPanel());
        return;
    }
    // Post also appends the text to Memo1; a code without text repeats the panel.
    ResultWording::PostResult(frontend, word, ResultWording::Family::Ack, command(session));
}

} // namespace

void RestoreDefaultsMenu(DtuSession &session)
{
    // The restore reports in the words of a parameter write.
    AskAndRun(session, RestoreQuestion(), ParamWriter::WriteWord(), &DeviceCommands::RestoreDefaults);
}

void ResetMenu(DtuSession &session)
{
    AskAndRun(session, ResetQuestion(), ResetWord(), &DeviceCommands::Reset);
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

// Lists every numbered row from `first` on, so the next "设置" writes the
// rows a batch did not reach; returns how many there are.
int KeepFrom(DtuSession &session, const ParamTableModel &table, int first)
{
    int kept = 0;
    for (int k = first; k < table.Count(); ++k) {
        if (table.Row(k).IsHeading())
            continue;
        session.state.ModifiedParamList.Add(table.Row(k).Number());
        ++kept;
    }
    session.state.NotifyModifiedChanged();
    return kept;
}

int RowsToWrite(const DtuSession &session, const ParamTableModel &table)
{
    int total = 0;
    for (int i = 0; i < table.Count(); ++i)
        total += WillBeWritten(session, table.Row(i).Number()) ? 1 : 0;
    return total;
}

// One WriteModified per numbered row, each after listing its row. The device
// is put on the table's channel first: the rows must not go to the table of
// whichever page was shown last. False when the run ended before the table's
// last row (closed channel, no selection, a stop).
bool BatchWriteTable(DtuSession &session, WriteRun &run, ParamTableModel &table, int channel)
{
    AppState &state = session.state;
    if (!session.channel.ChannelIsOpen()) {
        // One message for the whole run, not one per row.
        KeepFrom(session, table, 0);
        session.RequireChannel();
        return false;
    }
    if (!DeviceCommands::SelectTableFor(session, channel, ParamWriter::WriteWord())) {
        KeepFrom(session, table, 0);
        return false;
    }
    for (int i = 0; i < table.Count(); ++i) {
        if (state.ClosingFlag) {
            KeepFrom(session, table, i);
            return false;
        }
        const QString number = table.Row(i).Number();
        if (number.isEmpty())
            continue;
        if (!session.channel.ChannelIsOpen()) {
            ResultWording::Post(session.frontend(), ParamWriter::ChannelLostText(KeepFrom(session, table, i)));
            session.RequireChannel();
            return false;
        }
        if (WillBeWritten(session, number) && !run.BeginRow(table.Cell(i, ColName), number)) {
            ParamWriter::PostEndOfStoppedRun(session, run.Done(), KeepFrom(session, table, i));
            return false;
        }
        state.ModifiedParamList.Add(number);
        state.NotifyModifiedChanged();
        table.SetCurrentRow(i);
        ParamWriter::WriteModified(session, /*rowOfLongerRun=*/true);
    }
    return true;
}

void BatchWriteOne(DtuSession &session, ParamTableModel &table, int channel)
{
    WriteRun run(session, RowsToWrite(session, table));
    BatchWriteTable(session, run, table, channel);
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

void BatchWrite(DtuSession &session)
{
    BatchWriteOne(session, session.mainTable, session.state.MainParamChannel);
}

void BatchWriteExtended(DtuSession &session)
{
    BatchWriteOne(session, session.extTable, DeviceCommands::kExtendedPageChannel);
}

void BatchWriteAll(DtuSession &session)
{
    if (!session.state.ExtPageVisible) {
        BatchWrite(session);
        return;
    }
    WriteRun run(session, RowsToWrite(session, session.mainTable) + RowsToWrite(session, session.extTable));
    if (BatchWriteTable(session, run, session.mainTable, session.state.MainParamChannel))
        BatchWriteTable(session, run, session.extTable, DeviceCommands::kExtendedPageChannel);
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
