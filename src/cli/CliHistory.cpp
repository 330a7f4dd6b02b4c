#include "cli/CliHistory.h"

#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleFrontend.h"
#include "store/EntryJson.h"
#include "store/RecordStore.h"
#include "actions/Rollback.h"
#include "actions/SnapshotCompare.h"
#include "cli/CliText.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace CliHistory {
namespace {

constexpr int kExitFailed = CliVerdict::kFailed;
constexpr int kExitUsage = CliVerdict::kUsage;
constexpr int kExitDiffers = CliVerdict::kDiffers;

// A verdict whose --json document carries `member`.
CliVerdict With(const QString &member, const QJsonValue &value)
{
    CliVerdict verdict = CliVerdict::Of(true);
    verdict.members.insert(member, value);
    return verdict;
}

qint64 EntryId(const QString &text)
{
    bool ok = false;
    const qint64 id = text.toLongLong(&ok);
    if (!ok || id <= 0)
        throw CliUsageError{QCoreApplication::translate("CliHistory", "history：“%1”不是记录编号").arg(text)};
    return id;
}

QString NoEntry(qint64 id)
{
    return QCoreApplication::translate("CliHistory", "没有编号为 %1 的记录").arg(id);
}

CliVerdict Failed(CliContext &c, int status, const QString &text)
{
    const QString said = QCoreApplication::translate("CliHistory", "history：%1").arg(text);
    c.frontend.Complain(QStringLiteral("dtucfg: ") + said);
    return {status, {}, said};
}

CliVerdict List(CliContext &c, RecordStore &store)
{
    const RecordOptions &o = c.options.records;
    const int limit = o.limit >= 0 ? o.limit : RecordOptions::kDefaultLimit;
    const QString device = c.options.arguments.value(0);
    const auto found = store.Entries(device, limit, c.options.json);
    if (!found.Ok())
        return Failed(c, kExitFailed, found.error.message);
    if (found.value.isEmpty()) {
        c.frontend.Complain(QStringLiteral("dtucfg: ")
                            + (device.isEmpty() ? QCoreApplication::translate("CliHistory", "history：设备档案中还没有记录")
                                                : QCoreApplication::translate("CliHistory", "history：设备档案中没有 %1 的记录").arg(device)));
    }
    QString text;
    if (!found.value.isEmpty())
        text += Heading() + QLatin1Char('\n');
    for (const RecordEntry &e : found.value)
        text += ListLine(e);
    c.frontend.PrintOut(text);
    return With(QStringLiteral("entries"), EntryJson::Entries(found.value));
}

CliVerdict Show(CliContext &c, RecordStore &store, qint64 id)
{
    const auto found = store.Entry(id);
    if (!found.Ok())
        return Failed(c, kExitFailed, found.error.message);
    if (!found.value)
        return Failed(c, kExitFailed, NoEntry(id));
    c.frontend.PrintOut(ShowText(*found.value));
    return With(QStringLiteral("entry"), EntryJson::Entry(*found.value));
}

CliVerdict Diff(CliContext &c, RecordStore &store, qint64 firstId, qint64 secondId)
{
    RecordEntry entries[2];
    const qint64 ids[2] = {firstId, secondId};
    for (int i = 0; i < 2; ++i) {
        const Actions::SnapshotLookup found = Actions::FindSnapshot(store, ids[i]);
        switch (found.kind) {
        case Actions::SnapshotLookup::Kind::Found:
            break;
        case Actions::SnapshotLookup::Kind::StoreFailed:
            return Failed(c, kExitFailed, found.error);
        case Actions::SnapshotLookup::Kind::NoSuchEntry:
            return Failed(c, kExitFailed, NoEntry(ids[i]));
        case Actions::SnapshotLookup::Kind::NotSnapshot:
            return Failed(c, kExitUsage,
                          found.nearest > 0
                              ? QCoreApplication::translate("CliHistory", "记录 %1 是 %2，不是从设备读出的快照；这台设备在它之前最近的快照是记录 %3")
                                    .arg(ids[i]).arg(found.entry.action).arg(found.nearest)
                              : QCoreApplication::translate("CliHistory", "记录 %1 是 %2，不是从设备读出的快照；这台设备在它之前没有快照")
                                    .arg(ids[i]).arg(found.entry.action));
        }
        entries[i] = found.entry;
    }
    const TableCompare::Outcome outcome = SnapshotCompare::Compare(entries[0], entries[1]);
    QString text;
    QJsonArray rows;
    for (const TableCompare::Difference &d : outcome.differences) {
        text += CliText::Line(CliText::DifferenceCells(d));
        rows.append(QJsonObject{{QStringLiteral("number"), d.number}, {QStringLiteral("name"), d.name},
                                {QStringLiteral("first"), d.expected}, {QStringLiteral("second"), d.actual}});
    }
    const QString summary = TableCompare::Summary(outcome);
    c.frontend.PrintOut(text + summary + QLatin1Char('\n'));
    CliVerdict verdict{outcome.differences.isEmpty() ? CliVerdict::kOk : kExitDiffers,
                       {{QStringLiteral("compared"), outcome.compared},
                        {QStringLiteral("differences"), int(outcome.differences.size())},
                        {QStringLiteral("rows"), rows}}};
    if (!outcome.differences.isEmpty())
        verdict.message = summary;
    return verdict;
}

QString Shown(const RecordValue &value)
{
    return value.shown.isEmpty() ? value.raw : value.shown;
}

} // namespace

QString Heading()
{
    return QCoreApplication::translate("CliHistory", "编号\t时间\t设备\t操作\t结果\t操作员");
}

QString ListLine(const RecordEntry &e)
{
    return CliText::Line({QString::number(e.id), RecordEntries::TimeText(e.time), e.DeviceKey(), e.action, e.outcome,
                          e.operatorName});
}

QString ShowText(const RecordEntry &e)
{
    const auto orDash = [](const QString &text) { return text.isEmpty() ? QStringLiteral("-") : text; };
    const bool noProfile = e.profile.title.isEmpty() && e.profile.path.isEmpty() && e.profile.digest.isEmpty();
    QStringList lines{
        QCoreApplication::translate("CliHistory", "记录：%1").arg(e.id),
        QCoreApplication::translate("CliHistory", "时间：%1").arg(RecordEntries::TimeText(e.time)),
        QCoreApplication::translate("CliHistory", "操作员：%1").arg(e.operatorName),
        QCoreApplication::translate("CliHistory", "主机：%1").arg(e.host),
        QCoreApplication::translate("CliHistory", "程序：%1").arg(e.program),
        QCoreApplication::translate("CliHistory", "目标：%1").arg(e.target),
        QCoreApplication::translate("CliHistory", "设备：%1，IMEI %2，固件版本 %3").arg(orDash(e.device.number), orDash(e.device.imei), orDash(e.device.firmware)),
        noProfile ? QCoreApplication::translate("CliHistory", "参数文件：-")
                  : QCoreApplication::translate("CliHistory", "参数文件：%1（%2）%3").arg(e.profile.title, e.profile.path, e.profile.digest).trimmed(),
        QCoreApplication::translate("CliHistory", "操作：%1").arg(e.action),
        QCoreApplication::translate("CliHistory", "结果：%1").arg(e.outcome),
    };
    if (!e.details.isEmpty())
        lines << QCoreApplication::translate("CliHistory", "详情：%1").arg(QString::fromUtf8(QJsonDocument(e.details).toJson(QJsonDocument::Compact)));
    if (!e.fleetRun.isEmpty())
        lines << QCoreApplication::translate("CliHistory", "批量运行：%1").arg(e.fleetRun);
    if (e.restores > 0)
        lines << QCoreApplication::translate("CliHistory", "恢复到记录：%1").arg(e.restores);
    lines << QCoreApplication::translate("CliHistory", "参数行数：%1").arg(e.rows.size());
    for (const RecordRow &row : e.rows)
        lines << CliText::Line({row.number, row.name, Shown(row.before), Shown(row.after), row.result}).chopped(1);
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

CliVerdict Run(CliContext &c)
{
    const CliOptions &o = c.options;
    if (o.records.off)
        throw CliUsageError{QCoreApplication::translate("CliHistory", "history 读取设备档案，而 --no-records 关闭了设备档案")};
    const qsizetype wanted = o.records.diff ? 2 : o.records.show > 0 ? 0 : -1;
    if (wanted >= 0 && o.arguments.size() != wanted)
        throw CliUsageError{o.records.diff ? QCoreApplication::translate("CliHistory", "history --diff 需要两个记录编号")
                                           : QCoreApplication::translate("CliHistory", "history --show 不能再指定设备")};
    if (wanted < 0 && o.arguments.size() > 1)
        throw CliUsageError{QCoreApplication::translate("CliHistory", "history 最多指定一台设备")};
    const qint64 first = o.records.diff ? EntryId(o.arguments[0]) : o.records.show;
    const qint64 second = o.records.diff ? EntryId(o.arguments[1]) : 0;

    RecordLocation location;
    QString error;
    if (!CliRecordOptions::Location(o.records, &location, &error))
        throw CliUsageError{error};
    // Reading makes no store: none yet is an empty history.
    if (location.kind == RecordLocation::Kind::File && !QFileInfo::exists(location.path)) {
        if (first > 0)
            return Failed(c, kExitFailed,
                          QCoreApplication::translate("CliHistory", "没有编号为 %1 的记录（%2 中还没有设备档案）")
                              .arg(first)
                              .arg(location.path));
        // A path that cannot become one: its folder is a file, or is not there.
        const QFileInfo folder(QFileInfo(location.path).absolutePath());
        if (folder.exists() && !folder.isDir())
            return Failed(c, kExitUsage,
                          QCoreApplication::translate("CliHistory", "%1 不是文件夹，那里不会有设备档案 %2")
                              .arg(folder.filePath(), location.path));
        c.frontend.Complain(QStringLiteral("dtucfg: ")
                            + QCoreApplication::translate("CliHistory", "history：%1 中还没有设备档案").arg(location.path));
        return With(QStringLiteral("entries"), QJsonArray());
    }
    RecordStore store;
    if (const StoreError opened = store.Open(location); !opened.IsNone())
        return Failed(c, kExitUsage, opened.message);
    if (o.records.diff)
        return Diff(c, store, first, second);
    if (first > 0)
        return Show(c, store, first);
    return List(c, store);
}

} // namespace CliHistory
