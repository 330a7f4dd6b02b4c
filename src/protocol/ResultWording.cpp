#include "protocol/ResultWording.h"

#include "core/Frontend.h"

#include <QCoreApplication>

namespace ResultWording {

QString Suffix(Family family, int result)
{
    QString suffix;
    switch (result) {
    case 0:
        if (family != Family::DataReply)
            suffix = QCoreApplication::translate("ResultWording", "成功");
        break;
    case -1:
        if (family != Family::DataReply)
            suffix = QCoreApplication::translate("ResultWording", "失败");
        break;
    case -2:
        suffix = QCoreApplication::translate("ResultWording", "失败，设备无响应！");
        break;
    case -3:
        suffix = family == Family::DataReply ? QCoreApplication::translate("ResultWording", "失败，返回数据包头非法！")
            : family == Family::ControlPanel ? QCoreApplication::translate("ResultWording", "失败，参数错误！")
                                             : QCoreApplication::translate("ResultWording", "失败，非法的返回串！");
        break;
    case -4:
        suffix = family == Family::DataReply ? QCoreApplication::translate("ResultWording", "失败，返回数据包校验错！")
                                             : QCoreApplication::translate("ResultWording", "失败，返回帧校验错误！");
        break;
    case kWrongCommandWord:
        if (family == Family::DataReply)
            suffix = QCoreApplication::translate("ResultWording", "失败，返回数据包命令字非法！");
        break;
    case kTableNotSwitched:
        suffix = QCoreApplication::translate("ResultWording", "失败，设备未切换参数表！");
        break;
    case TransactionResult::NothingReported:
        if (family == Family::DataReply)
            suffix = QCoreApplication::translate("ResultWording", "失败，设备没有报告任何参数！");
        break;
    default:
        break;
    }
    return suffix;
}

QString Text(const QString &word, Family family, int result)
{
    const QString suffix = Suffix(family, result);
    if (suffix.isEmpty())
        return {};
    return QLatin1Char('[') + word + suffix + QLatin1Char(']');
}

void Post(Frontend &frontend, const QString &text)
{
    frontend.SetResultPanel(text);
    frontend.AppendMemo(text);
}

} // namespace ResultWording
