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
// Each kind of why: its stable name and the fixed words of the report files,
// with %1 the count, %2 the total and %3 the text.
struct WhyEntry {
    DeviceWhy::Kind kind;
    const char *name;
    const char *words;
};
const WhyEntry kWhys[] = {
    {DeviceWhy::Kind::None, "", ""},
    {DeviceWhy::Kind::ClosedAfterPassword, "closed-after-password",
     "the device closed the connection after the password"},
    {DeviceWhy::Kind::NoAnswer, "no-answer", "no answer from the device"},
    {DeviceWhy::Kind::RowsNotReached, "rows-not-reached", "%1 of %2 rows not reached"},
    {DeviceWhy::Kind::NoReadBack, "no-read-back", "the parameters could not be read back"},
    {DeviceWhy::Kind::NoSnapshot, "no-snapshot",
     "the device's values could not be read before writing; nothing written"},
    {DeviceWhy::Kind::StoppedBeforeFirstRow, "stopped-before-first-row", "stopped before the first row"},
    {DeviceWhy::Kind::StoppedBeforeStart, "stopped-before-start", "stopped before the worker began"},
    {DeviceWhy::Kind::WorkerDidNotStart, "worker-did-not-start",
     "the worker ended without a result (%3 did not start)"},
    {DeviceWhy::Kind::WorkerCrashed, "worker-crashed", "the worker ended without a result (crashed)"},
    {DeviceWhy::Kind::WorkerStatus, "worker-status", "the worker ended with status %1 without a result: %3"},
    {DeviceWhy::Kind::Channel, "channel", "%3"},
};
} // namespace

QString WhyName(DeviceWhy::Kind kind)
{
    for (const WhyEntry &e : kWhys)
        if (e.kind == kind)
            return QLatin1String(e.name);
    return {};
}

DeviceWhy::Kind WhyKind(const QString &name)
{
    for (const WhyEntry &e : kWhys)
        if (name == QLatin1String(e.name))
            return e.kind;
    return DeviceWhy::Kind::None;
}

QString DetailText(const DeviceWhy &why)
{
    // The text goes in last, so a % in it is never taken for a figure's place.
    for (const WhyEntry &e : kWhys)
        if (e.kind == why.kind)
            return QString::fromLatin1(e.words)
                .replace(QLatin1String("%1"), QString::number(why.count))
                .replace(QLatin1String("%2"), QString::number(why.total))
                .replace(QLatin1String("%3"), why.text);
    return {};
}

} // namespace FleetReport
