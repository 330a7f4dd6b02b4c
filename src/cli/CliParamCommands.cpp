// The commands on the parameter tables: read, write, save, batch, verify.
#include "cli/CliCommands.h"

#include "actions/ParamActions.h"
#include "cli/CliOptions.h"
#include "cli/CliText.h"
#include "cli/ConsoleFrontend.h"
#include "core/DtuError.h"
#include "core/SilentFrontend.h"
#include "core/WriteRules.h"
#include "ops/OutcomeJson.h"
#include "ops/ProfileLoader.h"
#include "ops/Wording.h"
#include "session/DtuSession.h"

#include <QJsonArray>

namespace CliCommands {
namespace {

Actions::Page ChosenPage(const CliContext &c)
{
    return c.options.ext ? Actions::Page::Extended : Actions::Page::Main;
}

ParamTableModel &ChosenTable(CliContext &c)
{
    return c.options.ext ? c.session.extTable : c.session.mainTable;
}

// The rows printed, one line a row: number, name, raw value, value as
// shown (a row the device did not report says so in place of its values);
// and as --json gives them, in table order, inside the one document.
QJsonArray PrintTable(CliContext &c, const ParamTableModel &table)
{
    QString text;
    QJsonArray rows;
    for (int i = 0; i < table.Count(); ++i) {
        const ParamRow &row = table.Row(i);
        if (row.IsHeading())
            continue;
        QJsonObject json{{QStringLiteral("number"), row.cells[ColNumber]},
                         {QStringLiteral("name"), row.cells[ColName]},
                         {QStringLiteral("reported"), !row.unreported}};
        if (row.unreported) {
            text += CliText::Line({row.Number(), row.cells[ColName], QString(), ParamTableModel::NotReportedText()});
        } else {
            text += CliText::Line({row.Number(), row.cells[ColName], row.cells[ColHex], row.cells[ColValue]});
            json.insert(QStringLiteral("hex"), row.cells[ColHex]);
            json.insert(QStringLiteral("value"), row.cells[ColValue]);
        }
        rows.append(json);
    }
    c.frontend.PrintOut(text);
    return rows;
}

// A batch that could send nothing must not pass for one that wrote the table.
bool HasWritableRow(CliContext &c)
{
    const ParamTableModel &table = ChosenTable(c);
    for (int i = 0; i < table.Count(); ++i)
        if (WriteRules::MayWrite(c.session.state.AccessLevel, table.Row(i).Number()))
            return true;
    return false;
}

// A write that asked for a snapshot first: said when it was not kept.
void SaySnapshot(CliContext &c, const Actions::WriteResult &r, CliVerdict &verdict)
{
    if (!r.snapshot)
        return;
    const Actions::SnapshotResult &snapshot = *r.snapshot;
    if (snapshot.verdict == OutcomeId::Ok) {
        c.frontend.Complain(tr("%1：写入前设备的参数值已存为记录 %2").arg(c.options.command).arg(snapshot.entry.id));
        verdict.outcome.insert(QStringLiteral("snapshot"), snapshot.entry.id);
        return;
    }
    const QString why = snapshot.read.Ok()
        ? tr("%1 --snapshot：写入前的参数值没能存入设备档案（%2），什么也没有写").arg(c.options.command, snapshot.entry.error)
        : tr("%1 --snapshot：没能读出设备的参数，什么也没有写").arg(c.options.command);
    c.frontend.Complain(why);
    verdict.message = why;
    verdict.entry = snapshot.entry;
}

CliVerdict WriteVerdict(CliContext &c, const Actions::WriteResult &r)
{
    CliVerdict verdict{r.Ok() ? CliVerdict::kOk : CliVerdict::kFailed, OutcomeJson::Write(r.report)};
    verdict.entry = r.entry;
    SaySnapshot(c, r, verdict);
    return verdict;
}

} // namespace

bool CheckRead(CliContext &c, QString *error)
{
    if (c.options.ext && !c.session.state.ExtPageVisible) {
        *error = tr("--ext：参数文件没有指定扩展参数文件");
        return false;
    }
    return true;
}

bool CheckWrite(CliContext &c, QString *error)
{
    if (!CheckRead(c, error))
        return false;
    // Every value is checked before the first frame: a refusal sends nothing.
    for (const Actions::GivenValue &v : GivenValues(c.options.arguments, QStringLiteral("write"))) {
        if (ChosenTable(c).FindByNumber(v.number) < 0) {
            *error = (c.options.ext ? tr("write：扩展参数表中没有参数 %1") : tr("write：主参数表中没有参数 %1")).arg(v.number);
            // The usual slip: the row is in the other table.
            if ((c.options.ext ? c.session.mainTable : c.session.extTable).FindByNumber(v.number) >= 0)
                *error += c.options.ext ? tr("（它在主参数表中：去掉 --ext）") : tr("（它在扩展参数表中：加上 --ext）");
            return false;
        }
        if (const auto refused = Actions::CheckValues(c.session, ChosenPage(c), {v})) {
            *error = RefusalText(QStringLiteral("write"), *refused);
            return false;
        }
    }
    return true;
}

bool CheckBatch(CliContext &c, QString *error)
{
    if (!CheckRead(c, error))
        return false;
    if (!HasWritableRow(c)) {
        *error = c.options.ext ? tr("batch：在这个访问级别下，扩展参数表没有可写的参数")
                               : tr("batch：在这个访问级别下，主参数表没有可写的参数");
        return false;
    }
    // Every value a batch would send must be whole bytes as it stands: half
    // a byte would go out as something nobody wrote.
    const QList<UnsendableRow> refused = ParamFile::UnsendableRows(
        c.session, c.options.ext ? ParamFile::BatchTables::Extended : ParamFile::BatchTables::Both);
    if (!refused.isEmpty())
        *error = tr("batch：") + Wording::Unsendable(refused.first());
    return refused.isEmpty();
}

CliVerdict Read(CliContext &c)
{
    const Actions::ReadResult r = Actions::Read(c.session, c.recorder, ChosenPage(c));
    CliVerdict verdict = CliVerdict::Of(r.verdict, OutcomeJson::Read(r.read), r.entry);
    // A read that failed printed its failure line: the table would show the
    // profile's values as if they were the device's.
    if (r.Ok())
        verdict.outcome.insert(QStringLiteral("rows"), PrintTable(c, ChosenTable(c)));
    return verdict;
}

CliVerdict Write(CliContext &c)
{
    return WriteVerdict(c, Actions::Write(c.session, c.recorder, ChosenPage(c), GivenValues(c.options.arguments, QStringLiteral("write")),
                                          c.options.records.snapshot));
}

CliVerdict Batch(CliContext &c)
{
    const ParamFile::BatchTables tables = c.options.ext ? ParamFile::BatchTables::Extended : ParamFile::BatchTables::Both;
    return WriteVerdict(c, Actions::Batch(c.session, c.recorder, tables, c.options.records.snapshot));
}

CliVerdict Save(CliContext &c)
{
    const Actions::SaveResult r = Actions::Save(c.session, c.recorder, c.options.arguments.value(0));
    CliVerdict verdict = CliVerdict::Of(r.verdict, OutcomeJson::Read(r.read), r.entry);
    if (!r.read.Ok()) {
        verdict.message = tr("save：没能读出设备的参数，什么也没有保存");
        c.frontend.Complain(verdict.message);
        return verdict;
    }
    verdict.outcome.insert(QStringLiteral("file"), r.file);
    verdict.outcome.insert(QStringLiteral("profile_values"), r.profileValues);
    if (r.verdict == OutcomeId::FileNotWritten) {
        verdict.message = tr("参数文件 %1 保存失败。\n%2").arg(r.file, r.error);
        c.frontend.Complain(verdict.message);
        return verdict;
    }
    if (!r.extFile.isEmpty())
        c.frontend.Complain(tr("save：扩展参数表保存在 %1").arg(r.extFile));
    if (r.profileValues > 0)
        c.frontend.Complain(tr("save：设备没有报告%1个参数，文件中是参数文件原来的值").arg(r.profileValues));
    return verdict;
}

namespace {
// What the file says a device holds: the file read as a profile of its own,
// decoded by its own rows, so its values are shown as the window would show
// them after loading it. Throws CliUsageError.
Actions::Expected FileValues(CliContext &c)
{
    const QString path = c.options.arguments.value(0);
    SilentFrontend silent;
    DtuSession file(silent);
    QString error;
    if (!file.script.LoadFile(c.scriptPath, &error))
        throw CliUsageError{error};
    try {
        ProfileLoader::LoadProfile(file, path);
    } catch (const DtuError &e) {
        throw CliUsageError{tr("verify：无法载入 %1：%2").arg(path, e.text())};
    }
    Actions::Expected expected;
    expected.main = TableCompare::Snapshot(file.mainTable);
    if (file.state.ExtPageVisible)
        expected.ext = TableCompare::Snapshot(file.extTable);
    expected.ignore = c.options.ignore;
    expected.file = path;
    return expected;
}
} // namespace

bool CheckVerify(CliContext &c, QString *error)
{
    const Actions::Expected expected = FileValues(c);
    // A file of another kind of device would compare nothing and pass.
    QList<TableCompare::RowValue> profileRows = TableCompare::Snapshot(c.session.mainTable);
    if (c.session.state.ExtPageVisible)
        profileRows += TableCompare::Snapshot(c.session.extTable);
    if (TableCompare::Shared(expected.main + expected.ext, profileRows) == 0) {
        *error = tr("verify：%1 与参数文件 %2 没有一个相同的参数").arg(expected.file, c.session.profile->Path());
        return false;
    }
    return true;
}

CliVerdict Verify(CliContext &c)
{
    const Actions::VerifyResult r = Actions::Verify(c.session, c.recorder, FileValues(c));
    CliVerdict verdict = CliVerdict::Of(r.verdict, OutcomeJson::Read(r.read), r.entry);
    if (!r.read.Ok()) {
        verdict.message = tr("verify：没能读出设备的参数");
        c.frontend.Complain(verdict.message);
        return verdict;
    }
    const QString summary = TableCompare::Summary(r.compare);
    c.frontend.PrintOut(CliText::Differences(r.compare.differences) + summary + QLatin1Char('\n'));
    r.CountsInto(verdict.outcome);
    QJsonArray rows;
    for (const TableCompare::Difference &d : r.compare.differences)
        rows.append(QJsonObject{{QStringLiteral("number"), d.number}, {QStringLiteral("name"), d.name},
                                {QStringLiteral("expected"), d.expected},
                                {QStringLiteral("device"), d.actual == TableCompare::kNotReported ? QJsonValue() : QJsonValue(d.actual)}});
    verdict.outcome.insert(QStringLiteral("rows"), rows);
    if (r.verdict == OutcomeId::Differs)
        verdict.message = summary;
    return verdict;
}

} // namespace CliCommands
