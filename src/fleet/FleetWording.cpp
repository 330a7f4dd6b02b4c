#include "fleet/FleetWording.h"

#include "core/WorkPaths.h"
#include "core/WriteRules.h"

#include <QCoreApplication>
#include <QStringList>

namespace FleetWording {
namespace {
// lupdate files these tr() texts under the namespace's name.
QString tr(const char *text)
{
    return QCoreApplication::translate("FleetWording", text);
}
} // namespace

QString Outcome(OutcomeId outcome, bool audit)
{
    return audit && outcome == OutcomeId::Ok ? tr("相符") : OutcomeWord(outcome);
}

QString Result(const DeviceReport &r, bool audit)
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
        why = Detail(r.why);
    }
    const QString word = Outcome(r.outcome, audit);
    return why.isEmpty() ? word : word + QStringLiteral(" (") + why + QLatin1Char(')');
}

QString Phase(const QString &phase)
{
    return phase == QLatin1String("verify") ? tr("校验中")
         : phase == QLatin1String("read")   ? tr("读取中")
         : phase == QLatin1String("write")  ? tr("写入中")
                                            : tr("连接中");
}

QString Detail(const DeviceWhy &why)
{
    using Kind = DeviceWhy::Kind;
    switch (why.kind) {
    case Kind::None: return {};
    case Kind::ClosedAfterPassword: return tr("设备在收到密码后断开了连接：密码不对，或设备正忙于另一个连接");
    case Kind::NoAnswer: return tr("设备无响应");
    case Kind::RowsNotReached: return tr("%2行中有%1行未写到").arg(why.count).arg(why.total);
    case Kind::NoReadBack: return tr("无法读回参数");
    case Kind::NoSnapshot: return tr("写入前没能读出设备的参数，什么也没有写");
    case Kind::StoppedBeforeFirstRow: return tr("在写第一行之前停止");
    case Kind::StoppedBeforeStart: return tr("在这台设备开始之前停止");
    case Kind::WorkerDidNotStart: return tr("没有结果：%1 没能启动").arg(why.text);
    case Kind::WorkerCrashed: return tr("没有结果：工作进程崩溃了");
    case Kind::WorkerStatus: return tr("没有结果，工作进程以状态%1结束：%2").arg(why.count).arg(why.text);
    case Kind::Channel: return why.text;
    }
    return {};
}

QString Totals(const QList<DeviceReport> &reports, bool audit)
{
    QStringList parts;
    for (const auto &[outcome, count] : FleetReport::Counts(reports))
        parts << tr("%1 %2台").arg(Outcome(outcome, audit)).arg(count);
    return tr("共%1台设备：%2").arg(reports.size()).arg(parts.join(tr("，")));
}

QString TargetFault(Endpoint::Fault fault, const QString &text)
{
    switch (fault) {
    case Endpoint::Fault::None: return {};
    case Endpoint::Fault::Empty: return tr("没有给出设备地址");
    case Endpoint::Fault::BadTcpPort: return tr("%1：TCP端口应为1到65535").arg(text);
    case Endpoint::Fault::NoHost: return tr("%1：没有主机名").arg(text);
    }
    return {};
}

QString SetupRefusal(const FleetSetup::Plan &plan, const QString &profilePath)
{
    switch (plan.refusal) {
    case FleetSetup::Refusal::None: return {};
    case FleetSetup::Refusal::NoDevices: return tr("清单中没有设备");
    case FleetSetup::Refusal::NoProfile: return tr("参数文件 %1 不存在").arg(profilePath);
    case FleetSetup::Refusal::NoScript: return WorkPaths::ScriptNotFoundText(plan.scriptTried);
    case FleetSetup::Refusal::ColumnWithheld:
        // Every worker would refuse the column.
        return tr("清单给出了参数%1的值，它只在访问级别%2写入：请用访问级别%2，或清空这一列")
            .arg(plan.column)
            .arg(WriteRules::kUnlockLevel);
    }
    return {};
}

QString InventoryProblem(const Inventory::Problem &p)
{
    using Kind = Inventory::Problem::Kind;
    QString what;
    switch (p.kind) {
    case Kind::Unreadable: what = tr("无法读取：%1").arg(p.detail); break;
    case Kind::Empty: what = tr("清单是空的"); break;
    case Kind::QuoteNotClosed: what = tr("引号中的字段直到文件末尾都没有结束"); break;
    case Kind::ColumnTwice: what = tr("列“%1”出现了两次").arg(p.text); break;
    case Kind::UnknownColumn: what = tr("未知的列“%1”（应为 target、password、name 或四位参数编号）").arg(p.text); break;
    case Kind::NoTargetColumn: what = tr("没有“target”列"); break;
    case Kind::TooManyCells: what = tr("有%1个单元格，表头只有%2列").arg(p.count).arg(p.expected); break;
    case Kind::EmptyTarget: what = TargetFault(Endpoint::Fault::Empty, p.text); break;
    case Kind::BadTcpPort: what = TargetFault(Endpoint::Fault::BadTcpPort, p.text); break;
    case Kind::NoHost: what = TargetFault(Endpoint::Fault::NoHost, p.text); break;
    case Kind::HexNotPairs: what = tr("%1：HEX: 后面应是成对的十六进制数字").arg(p.text); break;
    case Kind::ListedTwice: what = tr("%1 已在第%2行列出").arg(p.text).arg(p.expected); break;
    }
    QString place;
    if (p.line > 0 && p.column > 0)
        place = tr("第%1行第%2列：").arg(p.line).arg(p.column);
    else if (p.line > 0)
        place = tr("第%1行：").arg(p.line);
    const QString file = p.file.isEmpty() ? QString() : p.file + tr("：");
    return file + place + what;
}

} // namespace FleetWording
