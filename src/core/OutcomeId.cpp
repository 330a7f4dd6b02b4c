#include "core/OutcomeId.h"

#include <QCoreApplication>

namespace {
struct Outcome {
    OutcomeId id;
    const char *name;
    const char *word; // marked for translation where it is listed
};
// The one table of names and words.
constexpr Outcome kOutcomes[] = {
    {OutcomeId::Ok, "ok", QT_TRANSLATE_NOOP("OutcomeId", "成功")},
    {OutcomeId::Refused, "refused", QT_TRANSLATE_NOOP("OutcomeId", "被设备拒绝")},
    {OutcomeId::NoAnswer, "no-answer", QT_TRANSLATE_NOOP("OutcomeId", "设备无响应")},
    {OutcomeId::NotAFrame, "not-a-frame", QT_TRANSLATE_NOOP("OutcomeId", "非法的返回串")},
    {OutcomeId::BadChecksum, "bad-checksum", QT_TRANSLATE_NOOP("OutcomeId", "返回帧校验错误")},
    {OutcomeId::WrongCommandWord, "wrong-command-word", QT_TRANSLATE_NOOP("OutcomeId", "返回数据包命令字非法")},
    {OutcomeId::TableNotSwitched, "table-not-switched", QT_TRANSLATE_NOOP("OutcomeId", "设备未切换参数表")},
    {OutcomeId::NothingReported, "nothing-reported", QT_TRANSLATE_NOOP("OutcomeId", "设备没有报告任何参数")},
    {OutcomeId::ChannelClosed, "channel-closed", QT_TRANSLATE_NOOP("OutcomeId", "数据通道未打开")},
    {OutcomeId::ChannelLost, "channel-lost", QT_TRANSLATE_NOOP("OutcomeId", "数据通道已关闭")},
    {OutcomeId::Stopped, "stopped", QT_TRANSLATE_NOOP("OutcomeId", "已停止")},
    {OutcomeId::Cancelled, "cancelled", QT_TRANSLATE_NOOP("OutcomeId", "已取消")},
    {OutcomeId::NotReached, "not-reached", QT_TRANSLATE_NOOP("OutcomeId", "未写到")},
    {OutcomeId::WrittenWithErrors, "written-with-errors", QT_TRANSLATE_NOOP("OutcomeId", "部分失败")},
    {OutcomeId::Failed, "failed", QT_TRANSLATE_NOOP("OutcomeId", "失败")},
    {OutcomeId::FileNotWritten, "file-not-written", QT_TRANSLATE_NOOP("OutcomeId", "文件没有写出")},
    {OutcomeId::Differs, "differs", QT_TRANSLATE_NOOP("OutcomeId", "不符")},
    {OutcomeId::VerifyDiffers, "verify-differs", QT_TRANSLATE_NOOP("OutcomeId", "校验不符")},
    {OutcomeId::NotVerified, "not-verified", QT_TRANSLATE_NOOP("OutcomeId", "已写入，未能读回核对")},
    {OutcomeId::OtherDevice, "other-device", QT_TRANSLATE_NOOP("OutcomeId", "另一台设备")},
    {OutcomeId::RestoredExceptSecrets, "restored-except-secrets", QT_TRANSLATE_NOOP("OutcomeId", "已恢复，密码类参数除外")},
    {OutcomeId::NotSnapshot, "not-a-snapshot", QT_TRANSLATE_NOOP("OutcomeId", "不是快照")},
    {OutcomeId::NoSnapshot, "no-snapshot", QT_TRANSLATE_NOOP("OutcomeId", "没有运行前的快照")},
    {OutcomeId::Unreachable, "unreachable", QT_TRANSLATE_NOOP("OutcomeId", "无法连接")},
    {OutcomeId::RefusedPassword, "refused-password", QT_TRANSLATE_NOOP("OutcomeId", "密码错误或设备正忙")},
    {OutcomeId::NotStarted, "not-started", QT_TRANSLATE_NOOP("OutcomeId", "未开始")},
    {OutcomeId::Read, "read", QT_TRANSLATE_NOOP("OutcomeId", "已读出")},
    {OutcomeId::Unchanged, "unchanged", QT_TRANSLATE_NOOP("OutcomeId", "未变")},
    {OutcomeId::Withheld, "withheld", QT_TRANSLATE_NOOP("OutcomeId", "访问级别不允许")},
    {OutcomeId::NoSuchRow, "no-such-row", QT_TRANSLATE_NOOP("OutcomeId", "没有这个参数")},
};
} // namespace

QString OutcomeWord(OutcomeId id)
{
    for (const Outcome &o : kOutcomes)
        if (o.id == id)
            return QCoreApplication::translate("OutcomeId", o.word);
    return OutcomeName(id);
}

QString OutcomeWord(const QString &name)
{
    const std::optional<OutcomeId> id = OutcomeFromName(name);
    return id ? OutcomeWord(*id) : name;
}

QString OutcomeName(OutcomeId id)
{
    for (const Outcome &o : kOutcomes)
        if (o.id == id)
            return QLatin1String(o.name);
    return {};
}

std::optional<OutcomeId> OutcomeFromName(const QString &name)
{
    for (const Outcome &o : kOutcomes)
        if (name == QLatin1String(o.name))
            return o.id;
    return std::nullopt;
}
