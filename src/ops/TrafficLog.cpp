#include "ops/TrafficLog.h"

#include "core/TextFile.h"
#include "session/DtuSession.h"

#include <QCoreApplication>

namespace TrafficLog {
namespace {

QString Section(const QString &title, const QString &text)
{
    QString section = QStringLiteral("==== %1 ====\n").arg(title);
    if (!text.isEmpty())
        section += text.endsWith(QLatin1Char('\n')) ? text : text + QLatin1Char('\n');
    return section + QLatin1Char('\n');
}

} // namespace

QString Compose(const DtuSession &session, const QString &toolVersion, const QDateTime &now, const Texts &texts)
{
    const WindowFacts &facts = session.facts;
    QString log = QCoreApplication::translate("TrafficLog", "DTU 通信记录\n");
    log += QCoreApplication::translate("TrafficLog", "日期：%1\n").arg(now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    log += QCoreApplication::translate("TrafficLog", "程序版本：%1\n").arg(toolVersion);
    log += QCoreApplication::translate("TrafficLog", "参数文件：%1\n")
               .arg(session.profilePath.isEmpty() ? QCoreApplication::translate("TrafficLog", "(未调入)") : session.profilePath);
    log += QCoreApplication::translate("TrafficLog", "串口：%1，波特率=%2，数据格式=%3，%4\n")
               .arg(facts.PortText, facts.BaudText, facts.FormatText, facts.SerialStateText);
    if (facts.TcpBoxVisible)
        log += QCoreApplication::translate("TrafficLog", "TCP：%1，%2\n").arg(facts.TcpAddress, facts.TcpStatusText);
    log += QCoreApplication::translate("TrafficLog", "快速应答模式：%1\n\n")
               .arg(session.exchange.FastCompletion() ? QCoreApplication::translate("TrafficLog", "开")
                                                      : QCoreApplication::translate("TrafficLog", "关"));
    log += Section(QCoreApplication::translate("TrafficLog", "通信记录"), texts.traffic);
    log += Section(QCoreApplication::translate("TrafficLog", "控制模式显示"), texts.control);
    log += Section(QCoreApplication::translate("TrafficLog", "透明传输对话"), texts.transparent);
    return log;
}

void Save(const QString &path, const QString &log)
{
    TextFile::WriteAtomically(path, log.toUtf8());
}

QString SuggestedName(const QDateTime &now)
{
    return QCoreApplication::translate("TrafficLog", "通信记录-%1.txt").arg(now.toString(QStringLiteral("yyyyMMdd-HHmmss")));
}

} // namespace TrafficLog
