#include "protocol/ResultWording.h"

#include "core/Frontend.h"

#include <QCoreApplication>

namespace ResultWording {

QString Suffix(Family family, int result)
{
    const bool data = family == Family::DataReply;
    switch (result) {
    case 0:
        return data ? QString() : QCoreApplication::translate("ResultWording", "成功");
    case -1:
        return data ? QString() : QCoreApplication::translate("ResultWording", "失败");
    case -2:
        return QCoreApplication::translate("ResultWording", "失败，设备无响应！");
    case -3:
        if (data)
            return QCoreApplication::translate("ResultWording", "失败，返回数据包头非法！");
        return family == Family::ControlPanel ? QCoreApplication::translate("ResultWording", "失败，参数错误！")
                                              : QCoreApplication::translate("ResultWording", "失败，非法的返回串！");
    case -4:
        return data ? QCoreApplication::translate("ResultWording", "失败，返回数据包校验错！")
                    : QCoreApplication::translate("ResultWording", "失败，返回帧校验错误！");
    case TransactionResult::WrongCommandWord:
        return data ? QCoreApplication::translate("ResultWording", "失败，返回数据包命令字非法！") : QString();
    case TransactionResult::TableNotSwitched:
        return QCoreApplication::translate("ResultWording", "失败，设备未切换参数表！");
    case TransactionResult::NothingReported:
        return data ? QCoreApplication::translate("ResultWording", "失败，设备没有报告任何参数！") : QString();
    default:
        return {};
    }
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
