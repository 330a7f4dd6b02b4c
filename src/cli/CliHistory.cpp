#include "cli/CliHistory.h"

#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleFrontend.h"
#include "records/EntryJson.h"
#include "records/RecordStore.h"
#include "recording/SnapshotCompare.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace CliHistory {
namespace {

constexpr int kExitFailed = CliVerdict::kFailed;
constexpr int kExitUsage = CliVerdict::kUsage;
constexpr int kExitDiffers = CliVerdict::kDiffers;

// Prints the --json document; main() prints its own only for a failure.
void PrintJson(CliContext &c, const QString &member, const QJsonValue &value)
{
    const QJsonObject result{{QStringLiteral("command"), QStringLiteral("history")},
                             {QStringLiteral("ok"), true},
                             {member, value}};
    c.frontend.PrintOut(QString::fromUtf8(QJsonDocument(result).toJson(QJsonDocument::Indented)));
    c.jsonPrinted = true;
}

qint64 EntryId(const QString &text)
{
    bool ok = false;
    const qint64 id = text.toLongLong(&ok);
    if (!ok || id <= 0)
        throw CliUsageError{QStringLiteral("history: \"%1\" is no entry id").arg(text)};
    return id;
}

CliVerdict Failed(CliContext &c, int status, const QString &text)
{
    c.frontend.Complain(QStringLiteral("dtucfg: history: ") + text);
    return {status, {{QStringLiteral("error"), text}}};
}

CliVerdict List(CliContext &c, RecordStore &store)
{
    const RecordOptions &o = c.options.records;
    const int limit = o.limit >= 0 ? o.limit : RecordOptions::kDefaultLimit;
    const auto found = store.Entries(c.options.arguments.value(0), limit, c.options.json);
    if (!found.Ok())
        return Failed(c, kExitFailed, found.error.message);
    if (c.options.json) {
        PrintJson(c, QStringLiteral("entries"), EntryJson::Entries(found.value));
        return CliVerdict::Of(true);
    }
    QString text;
    for (const RecordEntry &e : found.value)
        text += ListLine(e) + QLatin1Char('\n');
    c.frontend.PrintOut(text);
    return CliVerdict::Of(true);
}

CliVerdict Show(CliContext &c, RecordStore &store, qint64 id)
{
    const auto found = store.Entry(id);
    if (!found.Ok())
        return Failed(c, kExitFailed, found.error.message);
    if (!found.value)
        return Failed(c, kExitFailed, QStringLiteral("no entry %1").arg(id));
    if (c.options.json)
        PrintJson(c, QStringLiteral("entry"), EntryJson::Entry(*found.value));
    else
        c.frontend.PrintOut(ShowText(*found.value));
    return CliVerdict::Of(true);
}

CliVerdict Diff(CliContext &c, RecordStore &store, qint64 firstId, qint64 secondId)
{
    RecordEntry entries[2];
    const qint64 ids[2] = {firstId, secondId};
    for (int i = 0; i < 2; ++i) {
        const auto found = store.Entry(ids[i]);
        if (!found.Ok())
            return Failed(c, kExitFailed, found.error.message);
        if (!found.value)
            return Failed(c, kExitFailed, QStringLiteral("no entry %1").arg(ids[i]));
        entries[i] = *found.value;
    }
    const TableCompare::Outcome outcome = SnapshotCompare::Compare(entries[0], entries[1]);
    QString text;
    for (const TableCompare::Difference &d : outcome.differences)
        text += TableCompare::Line(d) + QLatin1Char('\n');
    text += TableCompare::Summary(outcome) + QLatin1Char('\n');
    c.frontend.PrintOut(text);
    return {outcome.differences.isEmpty() ? CliVerdict::kOk : kExitDiffers, {}};
}

QString Shown(const RecordValue &value)
{
    return value.shown.isEmpty() ? value.raw : value.shown;
}

} // namespace

QString ListLine(const RecordEntry &e)
{
    return QStringList{QString::number(e.id), RecordEntries::TimeText(e.time), e.DeviceKey(), e.action,
                       e.outcome, e.operatorName}
        .join(QLatin1Char('\t'));
}

QString ShowText(const RecordEntry &e)
{
    QStringList lines{
        QStringLiteral("entry: %1").arg(e.id),
        QStringLiteral("time: ") + RecordEntries::TimeText(e.time),
        QStringLiteral("operator: ") + e.operatorName,
        QStringLiteral("host: ") + e.host,
        QStringLiteral("program: ") + e.program,
        QStringLiteral("target: ") + e.target,
        QStringLiteral("device: %1, IMEI %2, firmware %3")
            .arg(e.device.number.isEmpty() ? QStringLiteral("-") : e.device.number,
                 e.device.imei.isEmpty() ? QStringLiteral("-") : e.device.imei,
                 e.device.firmware.isEmpty() ? QStringLiteral("-") : e.device.firmware),
        QStringLiteral("profile: %1 (%2) %3").arg(e.profile.title, e.profile.path, e.profile.digest).trimmed(),
        QStringLiteral("action: ") + e.action,
        QStringLiteral("outcome: ") + e.outcome,
    };
    if (!e.details.isEmpty())
        lines << QStringLiteral("details: ") + QString::fromUtf8(QJsonDocument(e.details).toJson(QJsonDocument::Compact));
    if (!e.fleetRun.isEmpty())
        lines << QStringLiteral("fleet run: ") + e.fleetRun;
    if (e.restores > 0)
        lines << QStringLiteral("restores: %1").arg(e.restores);
    lines << QStringLiteral("rows: %1").arg(e.rows.size());
    for (const RecordRow &row : e.rows)
        lines << QStringList{row.number, row.name, Shown(row.before), Shown(row.after), row.result}.join(QLatin1Char('\t'));
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

CliVerdict Run(CliContext &c)
{
    const CliOptions &o = c.options;
    if (o.records.off)
        throw CliUsageError{QStringLiteral("history reads the records, which --no-records turns off")};
    const qsizetype wanted = o.records.diff ? 2 : o.records.show > 0 ? 0 : -1;
    if (wanted >= 0 && o.arguments.size() != wanted)
        throw CliUsageError{o.records.diff ? QStringLiteral("history --diff needs two entry ids")
                                           : QStringLiteral("history --show takes no device")};
    if (wanted < 0 && o.arguments.size() > 1)
        throw CliUsageError{QStringLiteral("history takes one device at most")};
    const qint64 first = o.records.diff ? EntryId(o.arguments[0]) : o.records.show;
    const qint64 second = o.records.diff ? EntryId(o.arguments[1]) : 0;

    RecordLocation location;
    QString error;
    if (!CliRecordOptions::Location(o.records, &location, &error))
        throw CliUsageError{error};
    // Reading makes no store: none yet is an empty history.
    if (location.kind == RecordLocation::Kind::File && !QFileInfo::exists(location.path)) {
        if (first > 0)
            return Failed(c, kExitFailed, QStringLiteral("no entry %1 (no records yet in %2)").arg(first).arg(location.path));
        c.frontend.Complain(QStringLiteral("dtucfg: history: no records yet in ") + location.path);
        if (o.json)
            PrintJson(c, QStringLiteral("entries"), QJsonArray());
        return CliVerdict::Of(true);
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
