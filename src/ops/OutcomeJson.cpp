#include "ops/OutcomeJson.h"

#include <QJsonArray>

namespace OutcomeJson {

QJsonObject Command(const CommandOutcome &outcome)
{
    QJsonObject json{{QStringLiteral("ok"), outcome.Ok()}, {QStringLiteral("result"), ResultId(outcome.result)}};
    if (!outcome.channelOpen)
        json.insert(QStringLiteral("channel_open"), false);
    if (outcome.cancelled)
        json.insert(QStringLiteral("cancelled"), true);
    if (outcome.value >= 0)
        json.insert(QStringLiteral("value"), outcome.value);
    if (!outcome.text.isEmpty())
        json.insert(QStringLiteral("text"), outcome.text);
    return json;
}

QJsonObject Version(const VersionOutcome &outcome)
{
    return {{QStringLiteral("ok"), outcome.Ok()},
            {QStringLiteral("version"), Command(outcome.version)},
            {QStringLiteral("imei"), Command(outcome.imei)}};
}

QJsonObject Read(const ReadOutcome &outcome)
{
    QJsonObject json{{QStringLiteral("ok"), outcome.Ok()},
                     {QStringLiteral("result"), ResultId(outcome.result)},
                     {QStringLiteral("tables_read"), outcome.tablesRead}};
    if (!outcome.channelOpen)
        json.insert(QStringLiteral("channel_open"), false);
    return json;
}

QJsonObject Write(const WriteReport &report)
{
    QJsonArray rows;
    for (const RowResult &r : report.rows)
        rows.append(QJsonObject{{QStringLiteral("number"), r.number},
                                {QStringLiteral("name"), r.name},
                                {QStringLiteral("result"), ResultId(r.result)},
                                {QStringLiteral("bytes"), static_cast<qint64>(r.bytesSent)}});
    QJsonObject json{{QStringLiteral("ok"), report.Ok()},
                     {QStringLiteral("total"), report.total},
                     {QStringLiteral("written"), report.Written()},
                     {QStringLiteral("failed"), static_cast<int>(report.Failed().size())},
                     {QStringLiteral("rows"), rows},
                     {QStringLiteral("not_reached"), QJsonArray::fromStringList(report.notReached)},
                     {QStringLiteral("withheld"), QJsonArray::fromStringList(report.withheld)}};
    const auto flag = [&json](const char *name, bool on) {
        if (on)
            json.insert(QLatin1String(name), true);
    };
    flag("channel_closed", !report.channelOpen);
    flag("table_not_switched", report.tableNotSwitched);
    flag("selection_unanswered", report.selectionUnanswered);
    flag("stopped", report.stopped);
    flag("channel_lost", report.channelLost);
    return json;
}

QJsonObject Channel(const ChannelOutcome &outcome)
{
    QJsonObject json{{QStringLiteral("open"), outcome.open}};
    if (!outcome.reason.isEmpty())
        json.insert(QStringLiteral("reason"), outcome.reason);
    if (outcome.open)
        json.insert(QStringLiteral("selection"), ResultId(outcome.selection));
    else
        json.insert(QStringLiteral("failure"), outcome.FailureId());
    return json;
}

} // namespace OutcomeJson
