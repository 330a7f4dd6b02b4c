#include "ops/ControlMode.h"

#include "session/DtuSession.h"
#include "core/Frontend.h"
#include "ops/DeviceCommands.h"
#include "protocol/ResultWording.h"

#include <QCoreApplication>
#include <QDateTime>

namespace ControlMode {
namespace {

using ResultWording::Family;

// "DTU状态=4,在线状态，未登录到数据中心"; empty for a value the device
// documentation does not name.
QString StatusLine(int status)
{
    static const char *const kStates[] = {
        QT_TRANSLATE_NOOP("ControlMode", "睡眠状态"),
        QT_TRANSLATE_NOOP("ControlMode", "未注册状态"),
        QT_TRANSLATE_NOOP("ControlMode", "待机状态"),
        QT_TRANSLATE_NOOP("ControlMode", "PPP拨号状态"),
        QT_TRANSLATE_NOOP("ControlMode", "在线状态，未登录到数据中心"),
        QT_TRANSLATE_NOOP("ControlMode", "在线状态，已登录到数据中心"),
    };
    if (status >= 0 && status < 6)
        return QCoreApplication::translate("ControlMode", "DTU状态=%1,").arg(status)
            + QCoreApplication::translate("ControlMode", kStates[status]);
    // Failures read like the other control-page outcomes, without brackets.
    const QString suffix = ResultWording::Suffix(Family::ControlPanel, status);
    if (status < 0 && !suffix.isEmpty())
        return QCoreApplication::translate("ControlMode", "DTU状态读取") + suffix;
    return {};
}

// Appends "<label>读取失败" on an empty text, then always "<label>=<text>".
bool ShowText(Frontend &frontend, const QString &failureLine, const QString &label, const QString &text)
{
    if (text.isEmpty())
        frontend.AppendControlMemo(failureLine);
    frontend.AppendControlMemo(label + QLatin1Char('=') + text);
    return !text.isEmpty();
}

} // namespace

bool ReadSignal(DtuSession &session)
{
    const int value = DeviceCommands::QuerySignal(session);
    if (value < 0)
        session.frontend().AppendControlMemo(QCoreApplication::translate("ControlMode", "信号读取失败"));
    else
        session.frontend().AppendControlMemo(QStringLiteral("DTU CSQ=%1").arg(value));
    return value >= 0;
}

bool ReadStatus(DtuSession &session)
{
    const int status = DeviceCommands::QueryStatus(session);
    const QString line = StatusLine(status);
    if (!line.isEmpty())
        session.frontend().AppendControlMemo(line);
    return status >= 0;
}

bool ReadVersion(DtuSession &session)
{
    Frontend &frontend = session.frontend();
    const bool versionOk
        = ShowText(frontend, QCoreApplication::translate("ControlMode", "DTU版本号读取失败"),
                   QCoreApplication::translate("ControlMode", "DTU版本号"), DeviceCommands::QueryVersion(session));
    const bool imeiOk = ShowText(frontend, QCoreApplication::translate("ControlMode", "IMEI读取失败"),
                                 QStringLiteral("IMEI"), DeviceCommands::QueryImei(session));
    return versionOk && imeiOk;
}

bool ReadClock(DtuSession &session)
{
    Frontend &frontend = session.frontend();
    const QString clock = DeviceCommands::ReadClock(session);
    frontend.SetResultPanel(clock.isEmpty() ? QCoreApplication::translate("ControlMode", "设备时钟读取失败")
                                            : QCoreApplication::translate("ControlMode", "设备时钟读取成功"));
    frontend.AppendControlMemo(frontend.ResultPanel());
    frontend.AppendControlMemo(clock);
    return !clock.isEmpty();
}

bool SetClock(DtuSession &session)
{
    Frontend &frontend = session.frontend();
    const int result = DeviceCommands::SetClock(session, QDateTime::currentDateTime());
    const QString text
        = ResultWording::Text(QCoreApplication::translate("ControlMode", "设备时钟设置"), Family::ControlPanel, result);
    if (!text.isEmpty())
        frontend.SetResultPanel(text);
    frontend.AppendControlMemo(frontend.ResultPanel());
    return result == 0;
}

} // namespace ControlMode
