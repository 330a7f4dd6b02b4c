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

#include <QFileInfo>

#include <QJsonArray>
#include <QJsonDocument>
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

QString JsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2)); // drop [ ]
}

void PrintTable(CliContext &c, const ParamTableModel &table)
{
    if (c.options.json) {
        // Members in table order (QJsonObject would sort them).
        QStringList objects;
        for (int i = 0; i < table.Count(); ++i) {
            const ParamRow &row = table.Row(i);
            if (row.IsHeading())
                continue;
            objects << QStringLiteral("  {\"number\": %1, \"name\": %2, \"hex\": %3, \"value\": %4}")
                           .arg(JsonString(row.cells[ColNumber]), JsonString(row.cells[ColName]),
                                JsonString(row.cells[ColHex]), JsonString(row.cells[ColValue]));
        }
        c.frontend.PrintOut(objects.isEmpty() ? QStringLiteral("[]\n")
                                              : QStringLiteral("[\n") + objects.join(QStringLiteral(",\n"))
                                                    + QStringLiteral("\n]\n"));
        c.jsonPrinted = true;
        return;
    }
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
        throw CliUsageError{QStringLiteral("write: \"%1\" is not NUM=TEXT").arg(argument)};
    Assignment a{argument.left(eq), argument.mid(eq + 1)};
    if (a.text.startsWith(QLatin1String("HEX:"), Qt::CaseInsensitive)) {
        a.raw = true;
        a.text = a.text.mid(4).toUpper();
        static const QRegularExpression hexPairs(QStringLiteral("^([0-9A-F]{2})*$"));
        if (!hexPairs.match(a.text).hasMatch())
            throw CliUsageError{QStringLiteral("write: %1: HEX: needs hex digits in pairs").arg(a.number)};
    }
    return a;
}

// Edits one row the way the in-place editors would with that text.
// Returns false when the row may not be edited (0091 below level 2).
bool EditRow(CliContext &c, ParamTableModel &table, const Assignment &a)
{
    DtuSession &s = c.session;
    const int row = table.FindByNumber(a.number);
    table.SetCurrentRow(row);
    if (EditorLogic::RowReadOnly(s, row)) {
        c.frontend.Complain(QStringLiteral("write: %1 (%2) may not be changed at this access level")
                                .arg(a.number, table.Cell(row, ColName)));
        return false;
    }
    if (a.raw) {
        ParamReader::ApplyParamValue(s, table, static_cast<quint16>(HexToInt(a.number)), HexToBytes(a.text));
        s.state.ModifiedParamList.Add(table.Cell(row, ColNumber));
        s.state.NotifyModifiedChanged();
        return true;
    }
    const EditorPlan plan = EditorLogic::Plan(s, row);
    if (!plan.listError.isEmpty())
        c.frontend.ShowMessage(plan.listError);
    if (plan.kind == EditorPlan::Kind::Choice) {
        if (!plan.items.contains(a.text))
            throw CliUsageError{QStringLiteral("write: %1: choose one of: %2")
                                    .arg(a.number, plan.items.join(QStringLiteral(", ")))};
        EditorLogic::ApplyChoice(s, a.text);
        return true;
    }
    if (plan.kind != EditorPlan::Kind::Edit || plan.readOnly)
        throw CliUsageError{QStringLiteral("write: %1 cannot be edited").arg(a.number)};
    if (plan.maxLength > 0 && a.text.size() > plan.maxLength)
        throw CliUsageError{QStringLiteral("write: %1: at most %2 characters").arg(a.number).arg(plan.maxLength)};
    for (const QChar ch : a.text)
        if (!plan.charFilter.isEmpty() && !plan.charFilter.contains(ch))
            throw CliUsageError{QStringLiteral("write: %1: only the characters \"%2\" are accepted")
                                    .arg(a.number, plan.charFilter)};
    EditorLogic::ConvertTyped(s, a.text);
    return true;
}

// The table chosen must be the one the device channel now serves.
bool ChosenTableActive(CliContext &c)
{
    if (c.session.ActiveTable() == &ChosenTable(c))
        return true;
    c.frontend.Complain(QStringLiteral("the device's parameter channel does not serve this table"));
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

} // namespace

bool CheckTableOption(CliContext &c, QString *error)
{
    if (!c.session.profile) {
        *error = QStringLiteral("%1 needs a device profile (--profile FILE)").arg(c.options.command);
        return false;
    }
    if (c.options.ext && !c.session.state.ExtPageVisible) {
        *error = QStringLiteral("--ext: the profile names no extended parameter file");
        return false;
    }
    if (c.options.ext && c.options.command == QLatin1String("save")) {
        *error = QStringLiteral("save writes both tables; --ext does not apply");
        return false;
    }
    // A batch that could send nothing must not pass for one that wrote the table.
    if (c.options.command == QLatin1String("batch") && !HasWritableRow(c)) {
        *error = QStringLiteral("batch: the %1 table has no parameter to write at this access level")
                     .arg(c.options.ext ? QStringLiteral("extended") : QStringLiteral("main"));
        return false;
    }
    return true;
}

bool CheckWrite(CliContext &c, QString *error)
{
    if (!CheckTableOption(c, error))
        return false;
    try {
        for (const QString &argument : c.options.arguments) {
            const Assignment a = ParseAssignment(argument);
            if (ChosenTable(c).FindByNumber(a.number) < 0) {
                *error = QStringLiteral("write: no parameter %1 in the %2 table")
                             .arg(a.number, c.options.ext ? QStringLiteral("extended") : QStringLiteral("main"));
                return false;
            }
        }
    } catch (const CliUsageError &e) {
        *error = e.text;
        return false;
    }
    return true;
}

bool Read(CliContext &c)
{
    EnterChosenPage(c);
    if (c.options.ext)
        ParamReader::ReadExtendedPage(c.session);
    else
        ParamReader::ReadMainPage(c.session);
    // After a failed read the table still holds the profile's values;
    // printed, they would pass for the device's.
    if (c.frontend.FailureSeen())
        return false;
    PrintTable(c, ChosenTable(c));
    return true;
}

bool Write(CliContext &c)
{
    EnterChosenPage(c);
    // The edits are made on the active table: the device is put on the
    // chosen one first, as the page's "设置" does before writing.
    const int channel = c.options.ext ? DeviceCommands::kExtendedPageChannel : c.session.state.MainParamChannel;
    if (!DeviceCommands::SelectTableFor(c.session, channel, ParamWriter::WriteWord()))
        return false;
    if (!ChosenTableActive(c))
        return false;
    ParamTableModel &table = ChosenTable(c);
    bool allEdited = true;
    for (const QString &argument : c.options.arguments)
        allEdited = EditRow(c, table, ParseAssignment(argument)) && allEdited;
    ParamWriter::WriteModified(c.session);
    return allEdited && !c.frontend.FailureSeen();
}

bool Save(CliContext &c)
{
    // A backup of the device: its values first (both tables), then the files.
    ParamReader::ReadWholeDevice(c.session);
    if (c.frontend.FailureSeen()) {
        c.frontend.Complain(QStringLiteral("save: the parameters could not be read; nothing saved"));
        return false;
    }
    QString path = c.options.arguments.value(0);
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".txt");
    try {
        const QString extPath = ParamFile::SaveFullBackup(c.session, path);
        if (!extPath.isEmpty())
            c.frontend.Complain(QStringLiteral("save: the extended table is in %1").arg(extPath));
    } catch (const DtuError &e) {
        c.frontend.ShowMessage(QStringLiteral("参数文件 %1 保存失败。\n%2").arg(QFileInfo(path).absoluteFilePath(), e.text()));
        return false;
    }
    return true;
}

bool Batch(CliContext &c)
{
    EnterChosenPage(c);
    if (c.options.ext)
        ParamFile::BatchWriteExtended(c.session);
    else
        ParamFile::BatchWriteAll(c.session);
    return !c.frontend.FailureSeen();
}

void SetRowValue(CliContext &c, const QString &argument)
{
    const Assignment a = ParseAssignment(argument);
    DtuSession &s = c.session;
    const bool inMain = s.mainTable.FindByNumber(a.number) >= 0;
    if (!inMain && (!s.state.ExtPageVisible || s.extTable.FindByNumber(a.number) < 0))
        throw CliUsageError{QStringLiteral("--set: no parameter %1 in the profile").arg(a.number)};
    // The editors act on the active table: make it the one holding the row
    // for the edit. Opening the channel selects the device's table afresh.
    const int channel = s.state.CurrentParamChannel;
    s.state.CurrentParamChannel = inMain ? s.state.MainParamChannel : DeviceCommands::kExtendedPageChannel;
    const bool edited = EditRow(c, inMain ? s.mainTable : s.extTable, a);
    s.state.CurrentParamChannel = channel;
    if (!edited)
        throw CliUsageError{QStringLiteral("--set: %1 may not be changed at this access level").arg(a.number)};
}

} // namespace CliCommands
