// The commands on the parameter tables: read, write, save, batch.
#include "cli/CliCommands.h"

#include "session/DtuSession.h"
#include "ops/PageEntry.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleFrontend.h"
#include "ops/EditorLogic.h"
#include "ops/ParamFile.h"
#include "ops/ParamReader.h"
#include "ops/ParamWriter.h"
#include "ops/DeviceCommands.h"
#include "protocol/Hex.h"
#include "core/DtuError.h"
#include "core/WriteRules.h"
#include "ops/OutcomeJson.h"
#include "cli/CliRecording.h"
#include "actions/ActionRecord.h"
#include "ops/TableCompare.h"
#include "ops/Wording.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>

namespace CliCommands {
namespace {

ParamTableModel &ChosenTable(CliContext &c)
{
    return c.options.ext ? c.session.extTable : c.session.mainTable;
}

// --ext acts as a visit to the extended page: pending edits, then the
// channel selection of that page (channel 0).
void EnterChosenPage(CliContext &c)
{
    if (c.options.ext)
        PageEntry::OnPageShown(c.session, Page::Extended);
}

// The rows as --json gives them, in table order, inside the one document.
QJsonArray TableJson(const ParamTableModel &table)
{
    QJsonArray rows;
    for (int i = 0; i < table.Count(); ++i) {
        const ParamRow &row = table.Row(i);
        if (row.IsHeading())
            continue;
        rows.append(QJsonObject{{QStringLiteral("number"), row.cells[ColNumber]},
                                {QStringLiteral("name"), row.cells[ColName]},
                                {QStringLiteral("hex"), row.cells[ColHex]},
                                {QStringLiteral("value"), row.cells[ColValue]}});
    }
    return rows;
}

void PrintTable(CliContext &c, const ParamTableModel &table)
{
    QString text;
    for (int i = 0; i < table.Count(); ++i) {
        const ParamRow &row = table.Row(i);
        if (row.IsHeading())
            continue;
        text += row.cells[ColNumber] + QLatin1Char('\t') + row.cells[ColName] + QLatin1Char('\t')
            + row.cells[ColHex] + QLatin1Char('\t') + row.cells[ColValue] + QLatin1Char('\n');
    }
    c.frontend.PrintOut(text);
}

struct Assignment {
    QString number;
    QString text;
    bool raw = false; // NUM=HEX:digits
};

Assignment ParseAssignment(const QString &argument)
{
    const qsizetype eq = argument.indexOf(QLatin1Char('='));
    if (eq <= 0)
        throw CliUsageError{QCoreApplication::translate("CliParamCommands", "write：“%1”不是 编号=值 的形式").arg(argument)};
    Assignment a{argument.left(eq), argument.mid(eq + 1)};
    if (a.text.startsWith(QLatin1String("HEX:"), Qt::CaseInsensitive)) {
        a.raw = true;
        a.text = a.text.mid(4).toUpper();
        static const QRegularExpression hexPairs(QStringLiteral("^([0-9A-F]{2})*$"));
        if (!hexPairs.match(a.text).hasMatch())
            throw CliUsageError{QCoreApplication::translate("CliParamCommands", "write：%1：HEX: 后面应是成对的十六进制数字").arg(a.number)};
    }
    return a;
}

// The reason a text was not taken, as a usage error names it.
QString RefusalText(const QString &prefix, const EditResult &r)
{
    using Kind = EditResult::Kind;
    switch (r.kind) {
    case Kind::Applied: return {};
    case Kind::NoSuchRow: return QCoreApplication::translate("CliParamCommands", "%1：没有参数 %2").arg(prefix, r.number);
    case Kind::Locked:
        return QCoreApplication::translate("CliParamCommands", "%1：%2（%3）只有用 --level 2 才能修改").arg(prefix, r.number, r.name);
    case Kind::NotEditable: return QCoreApplication::translate("CliParamCommands", "%1：%2 不能编辑").arg(prefix, r.number);
    case Kind::NotAChoice:
        return QCoreApplication::translate("CliParamCommands", "%1：%2：请从这些值中选一个：%3").arg(prefix, r.number, r.choices.join(QStringLiteral(", ")));
    case Kind::TooLong: return QCoreApplication::translate("CliParamCommands", "%1：%2：最多%3个字符").arg(prefix, r.number).arg(r.maxLength);
    case Kind::BadCharacter:
        return QCoreApplication::translate("CliParamCommands", "%1：%2：只接受这些字符：“%3”").arg(prefix, r.number, r.allowed);
    case Kind::ControlCharacter:
    case Kind::CannotHold: return prefix + QCoreApplication::translate("CliParamCommands", "：") + Wording::RefusedValue(r);
    }
    return {};
}

// Edits one row the way the in-place editors would with that text (the one
// home of that rule, EditorLogic), on the table given.
EditResult EditRow(CliContext &c, ParamTableModel &table, const Assignment &a)
{
    if (a.raw)
        return EditorLogic::ApplyRaw(c.session, table, a.number, HexToBytes(a.text));
    const EditResult result = EditorLogic::ApplyText(c.session, table, a.number, a.text);
    if (!result.listError.isEmpty())
        c.frontend.ShowMessage(result.listError);
    return result;
}

// What EditRow would make of an assignment, without changing anything.
EditResult CheckAssignment(CliContext &c, const ParamTableModel &table, const Assignment &a)
{
    if (!a.raw)
        return EditorLogic::CheckGiven(c.session, table, a.number, a.text);
    EditResult result;
    result.number = a.number;
    result.text = a.text;
    const int row = table.FindByNumber(a.number);
    if (row < 0)
        result.kind = EditResult::Kind::NoSuchRow;
    else if (!WriteRules::MayWrite(c.session.state.AccessLevel, a.number))
        result.kind = EditResult::Kind::Locked;
    if (row >= 0)
        result.name = table.Cell(row, ColName);
    return result;
}

// The table chosen must be the one the device channel now serves.
bool ChosenTableActive(CliContext &c)
{
    if (c.session.ActiveTable() == &ChosenTable(c))
        return true;
    c.frontend.Complain(QCoreApplication::translate("CliParamCommands", "设备的参数通道不是这张表的"));
    return false;
}

// A numbered row the write would send (0091 only from level 2).
bool HasWritableRow(CliContext &c)
{
    const ParamTableModel &table = ChosenTable(c);
    for (int i = 0; i < table.Count(); ++i) {
        const QString &number = table.Row(i).Number();
        if (WriteRules::MayWrite(c.session.state.AccessLevel, number))
            return true;
    }
    return false;
}

// Puts back the values a table held before a read.
void RestoreValues(ParamTableModel &table, const QList<TableCompare::RowValue> &values)
{
    for (const TableCompare::RowValue &v : values) {
        const int i = table.FindByNumber(v.number);
        if (i < 0)
            continue;
        table.SetCell(i, ColHex, v.hex);
        table.SetCell(i, ColValue, v.shown);
    }
}

// Every value a batch would send must be whole bytes as it stands: half a
// byte would go out as something nobody wrote.
bool CheckBatchValues(CliContext &c, QString *error)
{
    const QList<UnsendableRow> refused
        = ParamFile::UnsendableRows(c.session, c.options.ext ? ParamFile::BatchTables::Extended : ParamFile::BatchTables::Both);
    if (refused.isEmpty())
        return true;
    *error = QCoreApplication::translate("CliParamCommands", "batch：") + Wording::Unsendable(refused.first());
    return false;
}

} // namespace

bool CheckTableOption(CliContext &c, QString *error)
{
    if (!c.session.profile) {
        *error = QCoreApplication::translate("CliParamCommands", "%1 需要参数文件（--profile FILE）").arg(c.options.command);
        return false;
    }
    if (c.options.ext && !c.session.state.ExtPageVisible) {
        *error = QCoreApplication::translate("CliParamCommands", "--ext：参数文件没有指定扩展参数文件");
        return false;
    }
    if (c.options.ext && c.options.command == QLatin1String("save")) {
        *error = QCoreApplication::translate("CliParamCommands", "save 总是保存两张表，--ext 对它没有意义");
        return false;
    }
    // A batch that could send nothing must not pass for one that wrote the table.
    if (c.options.command == QLatin1String("batch") && !HasWritableRow(c)) {
        *error = (c.options.ext ? QCoreApplication::translate("CliParamCommands", "batch：在这个访问级别下，扩展参数表没有可写的参数")
                                : QCoreApplication::translate("CliParamCommands", "batch：在这个访问级别下，主参数表没有可写的参数"));
        return false;
    }
    if (c.options.command == QLatin1String("batch"))
        return CheckBatchValues(c, error);
    return true;
}

bool CheckWrite(CliContext &c, QString *error)
{
    if (!CheckTableOption(c, error))
        return false;
    // Every value is checked before the first frame: a refusal sends nothing.
    try {
        for (const QString &argument : c.options.arguments) {
            const Assignment a = ParseAssignment(argument);
            if (ChosenTable(c).FindByNumber(a.number) < 0) {
                *error = (c.options.ext ? QCoreApplication::translate("CliParamCommands", "write：扩展参数表中没有参数 %1") : QCoreApplication::translate("CliParamCommands", "write：主参数表中没有参数 %1"))
                             .arg(a.number);
                return false;
            }
            const EditResult check = CheckAssignment(c, ChosenTable(c), a);
            if (!check.Applied()) {
                *error = RefusalText(QStringLiteral("write"), check);
                return false;
            }
        }
    } catch (const CliUsageError &e) {
        *error = e.text;
        return false;
    }
    return true;
}

CliVerdict Read(CliContext &c)
{
    EnterChosenPage(c);
    const ReadOutcome outcome
        = c.options.ext ? ParamReader::ReadExtendedPage(c.session) : ParamReader::ReadMainPage(c.session);
    // After a failed read the table still holds the profile's values;
    // printed, they would pass for the device's.
    QJsonObject json = OutcomeJson::Read(outcome);
    if (outcome.Ok()) {
        if (c.options.json)
            json.insert(QStringLiteral("rows"), TableJson(ChosenTable(c)));
        else
            PrintTable(c, ChosenTable(c));
    }
    RecordEntry entry = CliRecording::Begin(c, RecordAction::Read);
    entry.rows = CliRecording::ReadRows(c, outcome, &ChosenTable(c));
    CliRecording::Keep(c, entry, ActionRecord::Outcome(outcome), OutcomeJson::Read(outcome));
    return CliVerdict::Of(outcome.Ok(), json);
}

CliVerdict Write(CliContext &c)
{
    if (c.options.records.snapshot && !Snapshot(c))
        return CliVerdict::Of(false, OutcomeJson::Read({true, TransactionResult::NoAnswer, 0}));
    EnterChosenPage(c);
    // The edits are made on the active table: the device is put on the
    // chosen one first, as the page's "设置" does before writing.
    const int channel = c.options.ext ? DeviceCommands::kExtendedPageChannel : c.session.state.MainParamChannel;
    if (const int selected = DeviceCommands::SelectTableFor(c.session, channel, Wording::WriteWord());
        selected != TransactionResult::Accepted) {
        const QJsonObject json = OutcomeJson::Read({true, selected, 0});
        RecordEntry entry = CliRecording::Begin(c, RecordAction::Write);
        CliRecording::Keep(c, entry, ResultId(selected), json);
        return CliVerdict::Of(false, json);
    }
    if (!ChosenTableActive(c))
        return CliVerdict::Of(false);
    ParamTableModel &table = ChosenTable(c);
    bool allEdited = true;
    for (const QString &argument : c.options.arguments) {
        // Every value passed CheckWrite; a refusal now is the same usage error.
        const EditResult edit = EditRow(c, table, ParseAssignment(argument));
        if (!edit.Applied())
            throw CliUsageError{RefusalText(QStringLiteral("write"), edit)};
        if (!edit.listError.isEmpty())
            allEdited = false;
    }
    const WriteReport report = ParamWriter::WriteModified(c.session);
    const QJsonObject json = OutcomeJson::Write(report);
    CliRecording::KeepWrite(c, RecordAction::Write, report, {&table}, json);
    return CliVerdict::Of(allEdited && report.Ok(), json);
}

CliVerdict Save(CliContext &c)
{
    // A backup of the device: its values first (both tables), then the files.
    const ReadOutcome read = ParamReader::ReadWholeDevice(c.session);
    RecordEntry entry = CliRecording::Begin(c, RecordAction::Save);
    entry.rows = CliRecording::ReadRows(c, read);
    if (!read.Ok()) {
        c.frontend.Complain(QCoreApplication::translate("CliParamCommands", "save：没能读出设备的参数，什么也没有保存"));
        CliRecording::Keep(c, entry, ActionRecord::Outcome(read), OutcomeJson::Read(read));
        return CliVerdict::Of(false, OutcomeJson::Read(read));
    }
    QString path = c.options.arguments.value(0);
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".txt");
    try {
        const QString extPath = ParamFile::SaveFullBackup(c.session, path);
        if (!extPath.isEmpty())
            c.frontend.Complain(QCoreApplication::translate("CliParamCommands", "save：扩展参数表保存在 %1").arg(extPath));
    } catch (const DtuError &e) {
        c.frontend.ShowMessage(QCoreApplication::translate("CliParamCommands", "参数文件 %1 保存失败。\n%2").arg(QFileInfo(path).absoluteFilePath(), e.text()));
        QJsonObject json = OutcomeJson::Read(read);
        json.insert(QStringLiteral("file"), QFileInfo(path).absoluteFilePath());
        CliRecording::Keep(c, entry, QStringLiteral("file-not-written"), json);
        return CliVerdict::Of(false, OutcomeJson::Read(read));
    }
    QJsonObject json = OutcomeJson::Read(read);
    json.insert(QStringLiteral("file"), QFileInfo(path).absoluteFilePath());
    CliRecording::Keep(c, entry, ActionRecord::Outcome(read), json);
    return CliVerdict::Of(true, OutcomeJson::Read(read));
}

CliVerdict Batch(CliContext &c)
{
    if (c.options.records.snapshot && !Snapshot(c))
        return CliVerdict::Of(false, OutcomeJson::Read({true, TransactionResult::NoAnswer, 0}));
    EnterChosenPage(c);
    const WriteReport report
        = c.options.ext ? ParamFile::BatchWriteExtended(c.session) : ParamFile::BatchWriteAll(c.session);
    const QJsonObject json = OutcomeJson::Write(report);
    QList<const ParamTableModel *> tables{&c.session.extTable};
    if (!c.options.ext)
        tables = {&c.session.mainTable, &c.session.extTable};
    CliRecording::KeepWrite(c, RecordAction::Batch, report, tables, json);
    return CliVerdict::Of(report.Ok(), json);
}

bool Snapshot(CliContext &c)
{
    DtuSession &s = c.session;
    // The values the write is about to send are the ones set now; the read
    // goes into copies of the tables' values and puts them back.
    const QList<TableCompare::RowValue> mainValues = TableCompare::Snapshot(s.mainTable);
    const QList<TableCompare::RowValue> extValues = TableCompare::Snapshot(s.extTable);
    TableCompare::ForgetValues(s.mainTable);
    TableCompare::ForgetValues(s.extTable);
    const ReadOutcome read = ParamReader::ReadWholeDevice(s);
    const qint64 id = CliRecording::KeepRead(c, read, OutcomeJson::Read(read));
    RestoreValues(s.mainTable, mainValues);
    RestoreValues(s.extTable, extValues);
    if (!read.Ok()) {
        c.frontend.Complain(
            QCoreApplication::translate("CliParamCommands", "%1 --snapshot：没能读出设备的参数，什么也没有写")
                .arg(c.options.command));
        return false;
    }
    if (id > 0)
        c.frontend.Complain(
            QCoreApplication::translate("CliParamCommands", "%1：写入前设备的参数值已存为记录 %2").arg(c.options.command).arg(id));
    return true;
}

QString NoParameterText(const QString &prefix, const QString &number)
{
    return QCoreApplication::translate("CliParamCommands", "%1：参数文件中没有参数 %2").arg(prefix, number);
}

void SetRowValue(CliContext &c, const QString &argument, const QString &prefix)
{
    const Assignment a = ParseAssignment(argument);
    DtuSession &s = c.session;
    const bool inMain = s.mainTable.FindByNumber(a.number) >= 0;
    if (!inMain && (!s.state.ExtPageVisible || s.extTable.FindByNumber(a.number) < 0))
        throw CliUsageError{NoParameterText(prefix, a.number)};
    ParamTableModel &table = inMain ? s.mainTable : s.extTable;
    const EditResult check = CheckAssignment(c, table, a);
    if (!check.Applied())
        throw CliUsageError{RefusalText(prefix, check)};
    const EditResult edit = EditRow(c, table, a);
    if (!edit.Applied())
        throw CliUsageError{RefusalText(prefix, edit)};
}

} // namespace CliCommands
