#include "fleet/FleetReport.h"

#include "core/TextFile.h"
#include "core/CsvText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <algorithm>

namespace FleetReport {
namespace {

QString Seconds(double seconds)
{
    return QString::number(seconds, 'f', 1);
}

} // namespace

QByteArray Csv(const QList<DeviceReport> &devices)
{
    QString text = QStringLiteral(
        "target,name,outcome,rows_written,rows_unchanged,rows_failed,failures,differences,seconds,detail,record,"
        "own_number,not_compared\r\n");
    for (const DeviceReport &d : devices) {
        QStringList failures;
        for (const RowFailure &f : d.failed)
            failures << f.number + QLatin1Char(' ') + f.name + QLatin1Char(' ') + f.text;
        QStringList differences;
        for (const VerifyDifference &v : d.differences)
            differences << QStringLiteral("%1 %2: %3 -> %4").arg(v.number, v.name, v.expected, v.actual);
        const QStringList cells{CsvText::Cell(d.target),
                                CsvText::Cell(d.name),
                                OutcomeName(d.outcome),
                                QString::number(d.written),
                                QString::number(d.unchanged),
                                QString::number(d.failed.size()),
                                CsvText::Cell(failures.join(QStringLiteral("; "))),
                                CsvText::Cell(differences.join(QStringLiteral("; "))),
                                Seconds(d.seconds),
                                CsvText::Cell(DetailText(d.why)),
                                d.record > 0 ? QString::number(d.record) : QString(),
                                d.ownNumberKept ? QStringLiteral("kept") : QString(),
                                QString::number(d.notCompared)};
        text += cells.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

QByteArray Json(const QList<DeviceReport> &devices)
{
    QJsonArray list;
    int ok = 0;
    for (const DeviceReport &d : devices) {
        QJsonArray failures;
        for (const RowFailure &f : d.failed)
            failures.append(QJsonObject{{QStringLiteral("number"), f.number},
                                        {QStringLiteral("name"), f.name},
                                        {QStringLiteral("result"), f.text}});
        QJsonArray differences;
        for (const VerifyDifference &v : d.differences)
            differences.append(QJsonObject{{QStringLiteral("number"), v.number},
                                           {QStringLiteral("name"), v.name},
                                           {QStringLiteral("expected"), v.expected},
                                           {QStringLiteral("device"), v.actual}});
        list.append(QJsonObject{{QStringLiteral("target"), d.target},
                                {QStringLiteral("name"), d.name},
                                {QStringLiteral("outcome"), OutcomeName(d.outcome)},
                                {QStringLiteral("rows_written"), d.written},
                                {QStringLiteral("rows_unchanged"), d.unchanged},
                                {QStringLiteral("own_number_kept"), d.ownNumberKept},
                                {QStringLiteral("not_compared"), d.notCompared},
                                {QStringLiteral("rows_failed"), failures},
                                {QStringLiteral("differences"), differences},
                                {QStringLiteral("seconds"), Seconds(d.seconds).toDouble()},
                                {QStringLiteral("detail"), DetailText(d.why)},
                                {QStringLiteral("record"), d.record > 0 ? QJsonValue(d.record) : QJsonValue()}});
        ok += d.outcome == OutcomeId::Ok ? 1 : 0;
    }
    const QJsonObject root{{QStringLiteral("devices"), list},
                           {QStringLiteral("total"), static_cast<int>(devices.size())},
                           {QStringLiteral("ok"), ok}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

void Write(const QString &path, const QList<DeviceReport> &devices)
{
    const bool json = path.endsWith(QLatin1String(".json"), Qt::CaseInsensitive);
    TextFile::WriteAtomically(path, json ? Json(devices) : Csv(devices));
}

QList<QPair<OutcomeId, int>> Counts(const QList<DeviceReport> &devices)
{
    QList<QPair<OutcomeId, int>> counts;
    for (const DeviceReport &d : devices) {
        auto it = std::find_if(counts.begin(), counts.end(), [&](const auto &c) { return c.first == d.outcome; });
        if (it == counts.end())
            counts.append({d.outcome, 1});
        else
            ++it->second;
    }
    return counts;
}

namespace {
struct WhyEntry {
    DeviceWhy::Kind kind;
    const char *name;
};
const WhyEntry kWhyNames[] = {
    {DeviceWhy::Kind::None, ""},
    {DeviceWhy::Kind::ClosedAfterPassword, "closed-after-password"},
    {DeviceWhy::Kind::NoAnswer, "no-answer"},
    {DeviceWhy::Kind::RowsNotReached, "rows-not-reached"},
    {DeviceWhy::Kind::NoReadBack, "no-read-back"},
    {DeviceWhy::Kind::NoSnapshot, "no-snapshot"},
    {DeviceWhy::Kind::StoppedBeforeFirstRow, "stopped-before-first-row"},
    {DeviceWhy::Kind::StoppedBeforeStart, "stopped-before-start"},
    {DeviceWhy::Kind::WorkerDidNotStart, "worker-did-not-start"},
    {DeviceWhy::Kind::WorkerCrashed, "worker-crashed"},
    {DeviceWhy::Kind::WorkerStatus, "worker-status"},
    {DeviceWhy::Kind::Channel, "channel"},
};
} // namespace

QString WhyName(DeviceWhy::Kind kind)
{
    for (const WhyEntry &e : kWhyNames)
        if (e.kind == kind)
            return QLatin1String(e.name);
    return {};
}

DeviceWhy::Kind WhyKind(const QString &name)
{
    for (const WhyEntry &e : kWhyNames)
        if (name == QLatin1String(e.name))
            return e.kind;
    return DeviceWhy::Kind::None;
}

QString DetailText(const DeviceWhy &why)
{
    using Kind = DeviceWhy::Kind;
    switch (why.kind) {
    case Kind::None: return {};
    case Kind::ClosedAfterPassword: return QStringLiteral("the device closed the connection after the password");
    case Kind::NoAnswer: return QStringLiteral("no answer from the device");
    case Kind::RowsNotReached: return QStringLiteral("%1 of %2 rows not reached").arg(why.count).arg(why.total);
    case Kind::NoReadBack: return QStringLiteral("the parameters could not be read back");
    case Kind::NoSnapshot: return QStringLiteral("the device's values could not be read before writing; nothing written");
    case Kind::StoppedBeforeFirstRow: return QStringLiteral("stopped before the first row");
    case Kind::StoppedBeforeStart: return QStringLiteral("stopped before the worker began");
    case Kind::WorkerDidNotStart:
        return QStringLiteral("the worker ended without a result (%1 did not start)").arg(why.text);
    case Kind::WorkerCrashed: return QStringLiteral("the worker ended without a result (crashed)");
    case Kind::WorkerStatus:
        return QStringLiteral("the worker ended with status %1 without a result: %2").arg(why.count).arg(why.text);
    case Kind::Channel: return why.text;
    }
    return {};
}

QString Totals(const QList<DeviceReport> &devices)
{
    QStringList parts;
    for (const auto &[outcome, count] : Counts(devices))
        parts << QStringLiteral("%1 %2").arg(count).arg(OutcomeName(outcome));
    return QStringLiteral("%1 devices: %2").arg(devices.size()).arg(parts.join(QStringLiteral(", ")));
}

} // namespace FleetReport
