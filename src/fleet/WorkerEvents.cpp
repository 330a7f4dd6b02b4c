#include "fleet/WorkerEvents.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace WorkerEvents {
namespace {
QByteArray Line(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}
} // namespace

QByteArray Progress(const QString &phase, int done, int total, const QString &row)
{
    return Line({{QStringLiteral("event"), QStringLiteral("progress")},
                 {QStringLiteral("phase"), phase},
                 {QStringLiteral("done"), done},
                 {QStringLiteral("total"), total},
                 {QStringLiteral("row"), row}});
}

QByteArray Result(const DeviceReport &report)
{
    QJsonArray failed;
    for (const RowFailure &f : report.failed)
        failed.append(QJsonArray{f.number, f.name, f.text});
    QJsonArray differences;
    for (const VerifyDifference &d : report.differences)
        differences.append(QJsonArray{d.number, d.name, d.expected, d.actual});
    return Line({{QStringLiteral("event"), QStringLiteral("result")},
                 {QStringLiteral("outcome"), OutcomeName(report.outcome)},
                 {QStringLiteral("written"), report.written},
                 {QStringLiteral("unchanged"), report.unchanged},
                 {QStringLiteral("notCompared"), report.notCompared},
                 {QStringLiteral("ownNumberKept"), report.ownNumberKept},
                 {QStringLiteral("failed"), failed},
                 {QStringLiteral("differences"), differences},
                 {QStringLiteral("why"), FleetReport::WhyName(report.why.kind)},
                 {QStringLiteral("count"), report.why.count},
                 {QStringLiteral("of"), report.why.total},
                 {QStringLiteral("text"), report.why.text},
                 {QStringLiteral("detail"), FleetReport::DetailText(report.why)},
                 {QStringLiteral("record"), report.record},
                 {QStringLiteral("recordWarning"), report.recordWarning}});
}

Event Parse(const QByteArray &line)
{
    Event event;
    const QJsonObject o = QJsonDocument::fromJson(line).object();
    const QString kind = o.value(QStringLiteral("event")).toString();
    if (kind == QLatin1String("progress")) {
        event.kind = Event::Kind::Progress;
        event.phase = o.value(QStringLiteral("phase")).toString();
        event.done = o.value(QStringLiteral("done")).toInt();
        event.total = o.value(QStringLiteral("total")).toInt();
        event.row = o.value(QStringLiteral("row")).toString();
    } else if (kind == QLatin1String("result")) {
        event.kind = Event::Kind::Result;
        DeviceReport &r = event.result;
        const std::optional<OutcomeId> outcome = OutcomeFromName(o.value(QStringLiteral("outcome")).toString());
        r.outcome = outcome.value_or(OutcomeId::Failed);
        r.written = o.value(QStringLiteral("written")).toInt();
        r.unchanged = o.value(QStringLiteral("unchanged")).toInt();
        r.notCompared = o.value(QStringLiteral("notCompared")).toInt();
        r.ownNumberKept = o.value(QStringLiteral("ownNumberKept")).toBool();
        r.why.kind = FleetReport::WhyKind(o.value(QStringLiteral("why")).toString());
        r.why.count = o.value(QStringLiteral("count")).toInt();
        r.why.total = o.value(QStringLiteral("of")).toInt();
        r.why.text = o.value(QStringLiteral("text")).toString();
        r.record = o.value(QStringLiteral("record")).toInteger();
        r.recordWarning = o.value(QStringLiteral("recordWarning")).toString();
        for (const QJsonValue &v : o.value(QStringLiteral("failed")).toArray()) {
            const QJsonArray a = v.toArray();
            r.failed.append({a.at(0).toString(), a.at(1).toString(), a.at(2).toString()});
        }
        for (const QJsonValue &v : o.value(QStringLiteral("differences")).toArray()) {
            const QJsonArray a = v.toArray();
            r.differences.append({a.at(0).toString(), a.at(1).toString(), a.at(2).toString(), a.at(3).toString()});
        }
        if (!outcome)
            event.kind = Event::Kind::Other;
    }
    return event;
}

QString Complaint(const QByteArray &errors)
{
    const QStringList lines = QString::fromUtf8(errors).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QString said = lines.isEmpty() ? QString() : lines.last();
    for (const QString &line : lines)
        if (line.startsWith(QLatin1String("dtucfg: ")))
            said = line.mid(8);
    return said;
}

} // namespace WorkerEvents
