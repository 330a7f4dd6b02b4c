#include "ops/Wording.h"

#include "ops/ChannelOpen.h"

namespace Wording {

using ResultWording::Family;

namespace {

QString ControlCode(char16_t ch)
{
    return QStringLiteral("U+%1").arg(int(ch), 4, 16, QLatin1Char('0')).toUpper();
}

QString EditRefusal(const EditResult &r)
{
    using Kind = EditResult::Kind;
    using Problem = ValueCodec::Encoded::Problem;
    // lupdate files these texts under Wording, the namespace they are in.
    const auto tr = [](const char *text) { return QCoreApplication::translate("Wording", text); };
    switch (r.kind) {
    case Kind::Applied: return {};
    case Kind::NoSuchRow: return tr("没有这个参数");
    case Kind::Locked: return tr("此参数只能在访问级别2下修改");
    case Kind::NotEditable: return tr("此参数不能编辑");
    case Kind::NotAChoice: return tr("只能选择：%1").arg(r.choices.join(QStringLiteral(", ")));
    case Kind::TooLong: return tr("最多%1个字符").arg(r.maxLength);
    case Kind::BadCharacter: return tr("只接受这些字符：%1").arg(r.allowed);
    case Kind::BadHex: return tr("HEX: 后面应是成对的十六进制数字");
    case Kind::ControlCharacter: return tr("不能含有控制字符（%1）").arg(ControlCode(r.control));
    case Kind::CannotHold: break;
    }
    switch (r.problem) {
    case Problem::None: return {};
    case Problem::ScriptError: return tr("编码脚本出错：%1").arg(r.detail);
    case Problem::NotANumber: return tr("不是数字");
    case Problem::DecimalComma: return tr("不是数字（小数点请用“.”，不用“,”）");
    case Problem::NotRepresentable: return tr("超出此参数能保存的范围");
    case Problem::NothingEncoded: return tr("编码脚本没有给出任何字节");
    case Problem::NotWholeBytes: return tr("编码脚本给出的不是完整的十六进制字节（%1）").arg(r.detail);
    case Problem::NotGbk: return tr("字符“%1”无法用GBK编码").arg(r.detail);
    }
    return {};
}

} // namespace

QString RowLine(const QString &name, const QString &value)
{
    return QCoreApplication::translate("ParamWriter", "设置参数：") + name + QLatin1Char('=')
        + (value.isEmpty() ? QCoreApplication::translate("ParamWriter", "(空)") : value);
}

QString RowResultText(int result)
{
    // A reply that is not a frame at all: the device rejected what was typed.
    if (result == TransactionResult::NotAFrame)
        return QCoreApplication::translate("ParamWriter", "[参数设置失败，输入了非法内容！]");
    return ResultWording::Text(WriteWord(), Family::Ack, result);
}

QString WriteEnd(const WriteReport &report, int tried)
{
    const int unwritten = static_cast<int>(report.notReached.size());
    if (report.closing)
        return {};
    if (report.channelLost)
        return QCoreApplication::translate("ParamWriter", "[参数设置失败，数据通道已关闭，%1个参数未写入！]")
            .arg(unwritten);
    if (report.stopped)
        return QCoreApplication::translate("ParamWriter", "[参数设置已停止，已写入%1个参数，%2个参数未写入！]")
            .arg(tried)
            .arg(unwritten);
    return {};
}

QString Unsendable(const UnsendableRow &row)
{
    return QCoreApplication::translate("ParamFile", "%1（%2）：“%3”不是完整的十六进制字节，什么也没有发送")
        .arg(row.number, row.name, row.hex);
}

QString RefusedValue(const EditResult &r)
{
    // The refusal stays on one line: a control character is shown by its code.
    QString shown;
    for (const QChar ch : r.text)
        shown += EditorLogic::IsControl(ch) ? QLatin1Char('<') + ControlCode(ch.unicode()) + QLatin1Char('>') : QString(ch);
    return QCoreApplication::translate("EditorLogic", "参数%1（%2）不能取值“%3”：%4")
        .arg(r.number, r.name, shown, EditRefusal(r));
}

QString StatusLine(const CommandOutcome &status)
{
    static const char *const kStates[] = {
        QT_TRANSLATE_NOOP("ControlMode", "睡眠状态"),
        QT_TRANSLATE_NOOP("ControlMode", "未注册状态"),
        QT_TRANSLATE_NOOP("ControlMode", "待机状态"),
        QT_TRANSLATE_NOOP("ControlMode", "PPP拨号状态"),
        QT_TRANSLATE_NOOP("ControlMode", "在线状态，未登录到数据中心"),
        QT_TRANSLATE_NOOP("ControlMode", "在线状态，已登录到数据中心"),
    };
    if (status.Ok()) {
        if (status.value >= 0 && status.value < 6)
            return QCoreApplication::translate("ControlMode", "DTU状态=%1,").arg(status.value)
                + QCoreApplication::translate("ControlMode", kStates[status.value]);
        return {};
    }
    // A reply with the wrong word reads as a refusal here; its own line is
    // in the traffic memo.
    const int code = status.result == TransactionResult::WrongCommandWord ? TransactionResult::Refused : status.result;
    const QString suffix = ResultWording::Suffix(Family::ControlPanel, code);
    if (suffix.isEmpty())
        return {};
    return QCoreApplication::translate("ControlMode", "DTU状态读取") + suffix;
}

QString SignalLine(const CommandOutcome &signal)
{
    if (!signal.Ok())
        return QCoreApplication::translate("ControlMode", "信号读取失败");
    return QStringLiteral("DTU CSQ=%1").arg(signal.value);
}

QStringList VersionLines(const CommandOutcome &version)
{
    QStringList lines;
    if (!version.Ok())
        lines << QCoreApplication::translate("ControlMode", "DTU版本号读取失败");
    lines << QCoreApplication::translate("ControlMode", "DTU版本号") + QLatin1Char('=') + version.text;
    return lines;
}

QStringList ImeiLines(const CommandOutcome &imei)
{
    QStringList lines;
    if (!imei.Ok())
        lines << QCoreApplication::translate("ControlMode", "IMEI读取失败");
    lines << QStringLiteral("IMEI=") + imei.text;
    return lines;
}

QString ClockResult(const CommandOutcome &clock)
{
    return clock.Ok() ? QCoreApplication::translate("ControlMode", "设备时钟读取成功")
                      : QCoreApplication::translate("ControlMode", "设备时钟读取失败");
}

QString SetClockLine(const QString &text)
{
    return QCoreApplication::translate("DeviceCommands", "设置设备时钟=") + text;
}

QString SetClockResult(int result)
{
    return ResultWording::Text(QCoreApplication::translate("ControlMode", "设备时钟设置"), Family::ControlPanel, result);
}

QString ChannelFailure(const ChannelOutcome &outcome, const QString &host, quint16 port)
{
    using Failure = ChannelOutcome::Failure;
    const QString address = Endpoint::Tcp(host, port).Text().mid(4);
    const auto failed = [](const QString &cause) {
        return QCoreApplication::translate("TcpTransport", "TCP维护端口连接失败")
            + QCoreApplication::translate("ChannelOpen", "：") + cause;
    };
    switch (outcome.failure) {
    case Failure::None:
    case Failure::SerialPort:
        return outcome.reason;
    case Failure::Refused:
        return failed(QCoreApplication::translate("ChannelOpen", "%1 拒绝连接（该端口没有程序在监听）").arg(address));
    case Failure::HostNotFound:
        return failed(QCoreApplication::translate("ChannelOpen", "找不到主机 %1").arg(host));
    case Failure::TimedOut:
        return failed(QCoreApplication::translate("ChannelOpen", "%1 在%2秒内没有应答").arg(address).arg(TcpTransport::kConnectLimitMs / 1000));
    case Failure::PasswordRefused:
        // A device drops a peer whose password is wrong, and one that comes
        // while another peer holds its maintenance port.
        return failed(QCoreApplication::translate("ChannelOpen", "设备收到密码后立即关闭了连接：密码不对，或设备正忙于另一个连接"));
    case Failure::Other:
        return failed(address + QLatin1Char(' ') + outcome.detail);
    }
    return {};
}

} // namespace Wording
