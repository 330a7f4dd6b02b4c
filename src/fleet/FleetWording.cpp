#include "fleet/FleetWording.h"

#include <QCoreApplication>
#include <QStringList>

namespace FleetWording {
QString Word(const QString &outcome)
{
    struct Entry {
        const QString &outcome;
        const char *text;
    };
    static const Entry words[] = {
        {Outcome::Ok, QT_TRANSLATE_NOOP("FleetWording", "成功")},
        {Outcome::WrittenWithErrors, QT_TRANSLATE_NOOP("FleetWording", "部分失败")},
        {Outcome::VerifyDiffers, QT_TRANSLATE_NOOP("FleetWording", "校验不符")},
        {Outcome::Unreachable, QT_TRANSLATE_NOOP("FleetWording", "无法连接")},
        {Outcome::RefusedPassword, QT_TRANSLATE_NOOP("FleetWording", "密码错误")},
        {Outcome::NotStarted, QT_TRANSLATE_NOOP("FleetWording", "未开始")},
        {Outcome::Failed, QT_TRANSLATE_NOOP("FleetWording", "失败")},
    };
    for (const Entry &w : words)
        if (w.outcome == outcome)
            return QCoreApplication::translate("FleetWording", w.text);
    return outcome;
}

QString Result(const DeviceReport &r)
{
    QString why;
    if (!r.failed.isEmpty()) {
        why = r.failed.first().number + QLatin1Char(' ') + r.failed.first().text;
    } else if (!r.differences.isEmpty()) {
        // Every row that differs: the technician decides from these.
        QStringList rows;
        for (const VerifyDifference &d : r.differences)
            rows << QStringLiteral("%1 %2: %3 -> %4").arg(d.number, d.name, d.expected, d.actual);
        why = rows.join(QStringLiteral("; "));
    } else {
        why = r.detail;
    }
    const QString word = Word(r.outcome);
    return why.isEmpty() ? word : word + QStringLiteral(" (") + why + QLatin1Char(')');
}

QString Totals(const QList<DeviceReport> &reports)
{
    QStringList parts;
    for (const auto &[outcome, count] : FleetReport::Counts(reports))
        parts << QCoreApplication::translate("FleetWording", "%1 %2台").arg(Word(outcome)).arg(count);
    return QCoreApplication::translate("FleetWording", "共%1台设备：%2")
        .arg(reports.size())
        .arg(parts.join(QCoreApplication::translate("FleetWording", "，")));
}

} // namespace FleetWording
