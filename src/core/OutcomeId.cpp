#include "core/OutcomeId.h"

#include <QCoreApplication>

#include <iterator>
#include <utility>

namespace {
// The one table of names.
constexpr std::pair<OutcomeId, const char *> kNames[] = {
    {OutcomeId::Ok, "ok"},
    {OutcomeId::Refused, "refused"},
    {OutcomeId::NoAnswer, "no-answer"},
    {OutcomeId::NotAFrame, "not-a-frame"},
    {OutcomeId::BadChecksum, "bad-checksum"},
    {OutcomeId::WrongCommandWord, "wrong-command-word"},
    {OutcomeId::TableNotSwitched, "table-not-switched"},
    {OutcomeId::NothingReported, "nothing-reported"},
    {OutcomeId::ChannelClosed, "channel-closed"},
    {OutcomeId::ChannelLost, "channel-lost"},
    {OutcomeId::Stopped, "stopped"},
    {OutcomeId::Cancelled, "cancelled"},
    {OutcomeId::NotReached, "not-reached"},
    {OutcomeId::WrittenWithErrors, "written-with-errors"},
    {OutcomeId::Failed, "failed"},
    {OutcomeId::FileNotWritten, "file-not-written"},
    {OutcomeId::Differs, "differs"},
    {OutcomeId::VerifyDiffers, "verify-differs"},
    {OutcomeId::NotVerified, "not-verified"},
    {OutcomeId::OtherDevice, "other-device"},
    {OutcomeId::RestoredExceptSecrets, "restored-except-secrets"},
    {OutcomeId::NotSnapshot, "not-a-snapshot"},
    {OutcomeId::NoSnapshot, "no-snapshot"},
    {OutcomeId::Unreachable, "unreachable"},
    {OutcomeId::RefusedPassword, "refused-password"},
    {OutcomeId::NotStarted, "not-started"},
    {OutcomeId::Read, "read"},
    {OutcomeId::Unchanged, "unchanged"},
    {OutcomeId::Withheld, "withheld"},
    {OutcomeId::NoSuchRow, "no-such-row"},
};
// The words, marked for translation where they are listed.
constexpr std::pair<OutcomeId, const char *> kWords[] = {
    {OutcomeId::Ok, QT_TRANSLATE_NOOP("OutcomeId", "成功")},
    {OutcomeId::Refused, QT_TRANSLATE_NOOP("OutcomeId", "被设备拒绝")},
    {OutcomeId::NoAnswer, QT_TRANSLATE_NOOP("OutcomeId", "设备无响应")},
    {OutcomeId::NotAFrame, QT_TRANSLATE_NOOP("OutcomeId", "非法的返回串")},
    {OutcomeId::BadChecksum, QT_TRANSLATE_NOOP("OutcomeId", "返回帧校验错误")},
    {OutcomeId::WrongCommandWord, QT_TRANSLATE_NOOP("OutcomeId", "返回数据包命令字非法")},
    {OutcomeId::TableNotSwitched, QT_TRANSLATE_NOOP("OutcomeId", "设备未切换参数表")},
    {OutcomeId::NothingReported, QT_TRANSLATE_NOOP("OutcomeId", "设备没有报告任何参数")},
    {OutcomeId::ChannelClosed, QT_TRANSLATE_NOOP("OutcomeId", "数据通道未打开")},
    {OutcomeId::ChannelLost, QT_TRANSLATE_NOOP("OutcomeId", "数据通道已关闭")},
    {OutcomeId::Stopped, QT_TRANSLATE_NOOP("OutcomeId", "已停止")},
    {OutcomeId::Cancelled, QT_TRANSLATE_NOOP("OutcomeId", "已取消")},
    {OutcomeId::NotReached, QT_TRANSLATE_NOOP("OutcomeId", "未写到")},
    {OutcomeId::WrittenWithErrors, QT_TRANSLATE_NOOP("OutcomeId", "部分失败")},
    {OutcomeId::Failed, QT_TRANSLATE_NOOP("OutcomeId", "失败")},
    {OutcomeId::FileNotWritten, QT_TRANSLATE_NOOP("OutcomeId", "文件没有写出")},
    {OutcomeId::Differs, QT_TRANSLATE_NOOP("OutcomeId", "不符")},
    {OutcomeId::VerifyDiffers, QT_TRANSLATE_NOOP("OutcomeId", "校验不符")},
    {OutcomeId::NotVerified, QT_TRANSLATE_NOOP("OutcomeId", "已写入，未能读回核对")},
    {OutcomeId::OtherDevice, QT_TRANSLATE_NOOP("OutcomeId", "另一台设备")},
    {OutcomeId::RestoredExceptSecrets, QT_TRANSLATE_NOOP("OutcomeId", "已恢复，密码类参数除外")},
    {OutcomeId::NotSnapshot, QT_TRANSLATE_NOOP("OutcomeId", "不是快照")},
    {OutcomeId::NoSnapshot, QT_TRANSLATE_NOOP("OutcomeId", "没有运行前的快照")},
    {OutcomeId::Unreachable, QT_TRANSLATE_NOOP("OutcomeId", "无法连接")},
    {OutcomeId::RefusedPassword, QT_TRANSLATE_NOOP("OutcomeId", "密码错误或设备正忙")},
    {OutcomeId::NotStarted, QT_TRANSLATE_NOOP("OutcomeId", "未开始")},
    {OutcomeId::Read, QT_TRANSLATE_NOOP("OutcomeId", "已读出")},
    {OutcomeId::Unchanged, QT_TRANSLATE_NOOP("OutcomeId", "未变")},
    {OutcomeId::Withheld, QT_TRANSLATE_NOOP("OutcomeId", "访问级别不允许")},
    {OutcomeId::NoSuchRow, QT_TRANSLATE_NOOP("OutcomeId", "没有这个参数")},
};
} // namespace

QString OutcomeWord(OutcomeId id)
{
    for (const auto &[value, word] : kWords)
        if (value == id)
            return QCoreApplication::translate("OutcomeId", word);
    return OutcomeName(id);
}

QString OutcomeWord(const QString &name)
{
    const std::optional<OutcomeId> id = OutcomeFromName(name);
    return id ? OutcomeWord(*id) : name;
}

QString OutcomeName(OutcomeId id)
{
    for (const auto &[value, name] : kNames)
        if (value == id)
            return QLatin1String(name);
    return {};
}

std::optional<OutcomeId> OutcomeFromName(const QString &name)
{
    for (const auto &[value, text] : kNames)
        if (name == QLatin1String(text))
            return value;
    return std::nullopt;
}
