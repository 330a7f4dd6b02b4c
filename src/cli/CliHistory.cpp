
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleFrontend.h"
#include "store/EntryJson.h"
#include "store/RecordStore.h"
#include "actions/SnapshotCompare.h"
#include "actions/EntryExport.h"
#include "cli/CliText.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace CliHistory {
namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("CliHistory", text);
}

// The list's heading, in the run's language, over
// "id<TAB>time<TAB>device<TAB>action<TAB>outcome<TAB>operator".
QString Heading()
{
    return tr("编号\t时间\t设备\t操作\t结果\t操作员");
}

QString ListLine(const RecordEntry &e)
{
    return CliText::Line({QString::number(e.id), RecordEntries::TimeText(e.time), e.DeviceKey(), e.action, e.outcome,
                          e.operatorName});
}

// An entry as "name: value" lines (names in the run's language), then a line per row:
// "number<TAB>name<TAB>before<TAB>after<TAB>result" (values as shown).
QString ShowText(const RecordEntry &e)
{
    const bool noProfile = e.profile.title.isEmpty() && e.profile.path.isEmpty() && e.profile.digest.isEmpty();
    QStringList lines{
        tr("记录：%1").arg(e.id),
        tr("时间：%1").arg(RecordEntries::TimeText(e.time)),
        tr("操作员：%1").arg(e.operatorName),
        tr("主机：%1").arg(e.host),
        tr("程序：%1").arg(e.program),
        tr("目标：%1").arg(e.target),
        tr("设备：%1，IMEI %2，固件版本 %3")
            .arg(CliText::OrDash(e.device.number), CliText::OrDash(e.device.imei), CliText::OrDash(e.device.firmware)),
        noProfile ? tr("参数文件：-")
                  : tr("参数文件：%1（%2）%3").arg(e.profile.title, e.profile.path, e.profile.digest).trimmed(),
        tr("操作：%1").arg(e.action),
        tr("结果：%1").arg(e.outcome),
    };
    if (!e.details.isEmpty())
        lines << tr("详情：%1").arg(QString::fromUtf8(QJsonDocument(e.details).toJson(QJsonDocument::Compact)));
    if (!e.fleetRun.isEmpty())
        lines << tr("批量运行：%1").arg(e.fleetRun);
    if (e.restores > 0)
        lines << tr("恢复到记录：%1").arg(e.restores);
    lines << tr("参数行数：%1").arg(e.rows.size());
    for (const RecordRow &row : e.rows)
        lines << CliText::Line({row.number, row.name, EntryExport::Shown(row.before), EntryExport::Shown(row.after), row.result}).chopped(1);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

CliVerdict List(CliContext &c, RecordStore &store)
{
    const RecordOptions &o = c.options.records;
    const int limit = o.limit >= 0 ? o.limit : RecordOptions::kDefaultLimit;
    const QString device = c.options.arguments.value(0);
    const auto found = store.Entries(device, limit, c.options.json);
    if (!found.Ok())
        return CliCommands::RefuseNamed(c, CliVerdict::kFailed, found.error.message);
    QString text;
    if (found.value.isEmpty())
        c.frontend.Say(device.isEmpty() ? tr("history：设备档案中还没有记录")
                                        : tr("history：设备档案中没有 %1 的记录").arg(device));
    else
        text += Heading() + QLatin1Char('\n');
    for (const RecordEntry &e : found.value)
        text += ListLine(e);
    c.frontend.PrintOut(text);
    return CliVerdict::With(QStringLiteral("entries"), EntryJson::Entries(found.value));
}

CliVerdict Show(CliContext &c, RecordStore &store, qint64 id)
{
    const auto found = store.Entry(id);
    if (!found.Ok())
        return CliCommands::RefuseNamed(c, CliVerdict::kFailed, found.error.message);
    if (!found.value)
        return CliCommands::RefuseNamed(c, CliVerdict::kFailed, tr("没有编号为 %1 的记录").arg(id));
    c.frontend.PrintOut(ShowText(*found.value));
    return CliVerdict::With(QStringLiteral("entry"), EntryJson::Entry(*found.value));
}

CliVerdict Diff(CliContext &c, RecordStore &store, qint64 firstId, qint64 secondId)
{
    RecordEntry entries[2];
    const qint64 ids[2] = {firstId, secondId};
    for (int i = 0; i < 2; ++i) {
        const Actions::SnapshotLookup found = Actions::FindSnapshot(store, ids[i]);
        if (found.kind != Actions::SnapshotLookup::Kind::Found)
            return CliCommands::RefuseNamed(
                c, found.kind == Actions::SnapshotLookup::Kind::NotSnapshot ? CliVerdict::kUsage : CliVerdict::kFailed,
                CliRollback::Unfound(found, ids[i]));
        entries[i] = found.entry;
    }
    const TableCompare::Outcome outcome = SnapshotCompare::Compare(entries[0], entries[1]);
    QJsonArray rows;
    for (const TableCompare::Difference &d : outcome.differences)
        rows.append(QJsonObject{{QStringLiteral("number"), d.number}, {QStringLiteral("name"), d.name},
                                {QStringLiteral("first"), d.expected}, {QStringLiteral("second"), d.actual}});
    const QString summary = TableCompare::Summary(outcome);
    c.frontend.PrintOut(CliText::Differences(outcome.differences) + summary + QLatin1Char('\n'));
    CliVerdict verdict{outcome.differences.isEmpty() ? CliVerdict::kOk : CliVerdict::kDiffers,
                       {{QStringLiteral("compared"), outcome.compared},
                        {QStringLiteral("differences"), int(outcome.differences.size())},
                        {QStringLiteral("rows"), rows}}};
    if (!outcome.differences.isEmpty())
        verdict.message = summary;
    return verdict;
}

} // namespace

CliVerdict Run(CliContext &c)
{
    const CliOptions &o = c.options;
    if (o.records.off)
        throw CliUsageError{tr("history 读取设备档案，而 --no-records 关闭了设备档案")};
    const qsizetype wanted = o.records.diff ? 2 : o.records.show > 0 ? 0 : -1;
    if (wanted >= 0 && o.arguments.size() != wanted)
        throw CliUsageError{o.records.diff ? tr("history --diff 需要两个记录编号") : tr("history --show 不能再指定设备")};
    if (wanted < 0 && o.arguments.size() > 1)
        throw CliUsageError{tr("history 最多指定一台设备")};
    const QString history = QStringLiteral("history");
    const qint64 first = o.records.diff ? CliCommands::EntryId(history, o.arguments[0]) : o.records.show;
    const qint64 second = o.records.diff ? CliCommands::EntryId(history, o.arguments[1]) : 0;

    RecordLocation location;
    QString error;
    if (!o.RecordsAt(&location, &error))
        throw CliUsageError{error};
    // Reading makes no store: none yet is an empty history.
    if (location.kind == RecordLocation::Kind::File && !QFileInfo::exists(location.path)) {
        if (first > 0)
            return CliCommands::RefuseNamed(c, CliVerdict::kFailed,
                                            tr("没有编号为 %1 的记录（%2 中还没有设备档案）").arg(first).arg(location.path));
        // A path that cannot become one: its folder is a file, or is not there.
        const QFileInfo folder(QFileInfo(location.path).absolutePath());
        if (folder.exists() && !folder.isDir())
            return CliCommands::RefuseNamed(c, CliVerdict::kUsage,
                                            tr("%1 不是文件夹，那里不会有设备档案 %2").arg(folder.filePath(), location.path));
        c.frontend.Say(tr("history：%1 中还没有设备档案").arg(location.path));
        return CliVerdict::With(QStringLiteral("entries"), QJsonArray());
    }
    RecordStore store;
    if (const StoreError opened = store.Open(location); !opened.IsNone())
        return CliCommands::RefuseNamed(c, CliVerdict::kUsage, opened.message);
    if (o.records.diff)
        return Diff(c, store, first, second);
    if (first > 0)
        return Show(c, store, first);
    return List(c, store);
}

} // namespace CliHistory
