#include "store/EntryJson.h"

namespace EntryJson {
namespace {

QJsonValue Text(const QString &text)
{
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

// {"raw": "HEX:..", "shown": "..."}, or null for a value not known.
QJsonValue Value(const RecordValue &value)
{
    if (!value.IsKnown())
        return QJsonValue();
    return QJsonObject{{QStringLiteral("raw"), value.raw}, {QStringLiteral("shown"), value.shown}};
}

QJsonObject Row(const RecordRow &row)
{
    return QJsonObject{
        {QStringLiteral("number"), row.number},
        {QStringLiteral("name"), row.name},
        {QStringLiteral("before"), Value(row.before)},
        {QStringLiteral("after"), Value(row.after)},
        {QStringLiteral("result"), Text(row.result)},
        {QStringLiteral("table"), row.table},
    };
}

} // namespace

QJsonObject Entry(const RecordEntry &e)
{
    QJsonArray rows;
    for (const RecordRow &row : e.rows)
        rows.append(Row(row));
    return QJsonObject{
        {QStringLiteral("id"), e.id},
        {QStringLiteral("time"), RecordEntries::TimeText(e.time)},
        {QStringLiteral("operator"), e.operatorName},
        {QStringLiteral("host"), e.host},
        {QStringLiteral("program"), e.program},
        {QStringLiteral("target"), e.target},
        {QStringLiteral("device"), QJsonObject{{QStringLiteral("number"), Text(e.device.number)},
                                               {QStringLiteral("imei"), Text(e.device.imei)},
                                               {QStringLiteral("firmware"), Text(e.device.firmware)}}},
        {QStringLiteral("profile"), QJsonObject{{QStringLiteral("title"), Text(e.profile.title)},
                                                {QStringLiteral("path"), Text(e.profile.path)},
                                                {QStringLiteral("digest"), Text(e.profile.digest)}}},
        {QStringLiteral("action"), e.action},
        {QStringLiteral("outcome"), e.outcome},
        {QStringLiteral("rows"), rows},
        {QStringLiteral("details"), e.details},
        {QStringLiteral("run"), Text(e.fleetRun)},
        {QStringLiteral("restores"), e.restores > 0 ? QJsonValue(e.restores) : QJsonValue()},
    };
}

QJsonArray Entries(const QList<RecordEntry> &entries)
{
    QJsonArray out;
    for (const RecordEntry &e : entries)
        out.append(Entry(e));
    return out;
}

} // namespace EntryJson
