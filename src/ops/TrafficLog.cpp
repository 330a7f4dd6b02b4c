#include "ops/TrafficLog.h"

#include "core/TextFile.h"
#include "session/DtuSession.h"

namespace TrafficLog {
namespace {

QString Section(const QString &title, const QString &text)
{
    QString section = QStringLiteral("==== %1 ====\n").arg(title);
    if (!text.isEmpty())
        section += text.endsWith(QLatin1Char('\n')) ? text : text + QLatin1Char('\n');
    return section + QLatin1Char('\n');
}

QString OnOff(bool on)
{
    return on ? QStringLiteral("开") : QStringLiteral("关");
}

} // namespace

QString Compose(const DtuSession &session, const QString &toolVersion, const QDateTime &now, const Texts &texts)
{
    const WindowFacts &facts = session.facts;
    QString log = QStringLiteral("DTU 通信记录\n");
    log += QStringLiteral("日期：%1\n").arg(now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    log += QStringLiteral("程序版本：%1\n").arg(toolVersion);
    log += QStringLiteral("参数文件：%1\n")
               .arg(session.profilePath.isEmpty() ? QStringLiteral("(未调入)") : session.profilePath);
    log += QStringLiteral("串口：%1，波特率=%2，数据格式=%3，%4\n")
               .arg(facts.PortText, facts.BaudText, facts.FormatText, facts.SerialStateText);
    if (facts.TcpBoxVisible)
        log += QStringLiteral("TCP：%1，%2\n").arg(facts.TcpAddress, facts.TcpStatusText);
    log += QStringLiteral("快速应答模式：%1\n\n").arg(OnOff(session.exchange.FastCompletion()));
    log += Section(QStringLiteral("通信记录"), texts.traffic);
    log += Section(QStringLiteral("控制模式显示"), texts.control);
    log += Section(QStringLiteral("透明传输对话"), texts.transparent);
    return log;
}

void Save(const QString &path, const QString &log)
{
    TextFile::WriteAtomically(path, log.toUtf8());
}

QString SuggestedName(const QDateTime &now)
{
    return QStringLiteral("通信记录-%1.txt").arg(now.toString(QStringLiteral("yyyyMMdd-HHmmss")));
}

} // namespace TrafficLog
