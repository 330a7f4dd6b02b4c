#include "cli/CliCommands.h"

#include "actions/DeviceActions.h"
#include "cli/CliOptions.h"
#include "cli/CliPorts.h"
#include "cli/CliText.h"
#include "cli/ConsoleFrontend.h"
#include "ops/ChannelOpen.h"
#include "ops/ControlMode.h"
#include "ops/OutcomeJson.h"
#include "ops/Wording.h"
#include "session/DtuSession.h"

#include <QCoreApplication>

int CliVerdict::StatusOf(OutcomeId outcome)
{
    switch (outcome) {
    case OutcomeId::Ok:
        return kOk;
    case OutcomeId::Differs:
    case OutcomeId::RestoredExceptSecrets:
        return kDiffers;
    default:
        return kFailed;
    }
}

namespace CliCommands {
namespace {

CliVerdict Judge(const CommandOutcome &outcome)
{
    return CliVerdict::Of(outcome.Ok(), OutcomeJson::Command(outcome));
}

CliVerdict Status(CliContext &c) { return Judge(ControlMode::ReadStatus(c.session)); }
CliVerdict Signal(CliContext &c)
{
    return c.options.watchSeconds > 0 ? SignalWatch::Run(c) : Judge(ControlMode::ReadSignal(c.session));
}
CliVerdict Version(CliContext &c)
{
    const VersionOutcome outcome = ControlMode::ReadVersion(c.session);
    return CliVerdict::Of(outcome.Ok(), OutcomeJson::Version(outcome));
}
CliVerdict Clock(CliContext &c) { return Judge(ControlMode::ReadClock(c.session)); }
CliVerdict SetClock(CliContext &c) { return Judge(ControlMode::SetClock(c.session)); }

// The menu's restore and reset: the window asks first, the command line is
// the confirmation.
CliVerdict Recorded(const Actions::CommandResult &r)
{
    return CliVerdict::Of(r.verdict, OutcomeJson::Command(r.command), r.entry);
}
CliVerdict Reset(CliContext &c) { return Recorded(Actions::Reset(c.session, c.recorder)); }
CliVerdict Restore(CliContext &c) { return Recorded(Actions::Restore(c.session, c.recorder)); }

CliVerdict Identify(CliContext &c)
{
    const Actions::IdentifyResult r = Actions::Identify(c.session, c.recorder);
    c.frontend.PrintOut(QCoreApplication::translate("CliCommands", "固件版本：%1\nIMEI：%2\n")
                            .arg(CliText::OrDash(r.identity.firmware), CliText::OrDash(r.identity.imei)));
    return CliVerdict::Of(r.verdict, OutcomeJson::Version(r.version), r.entry);
}

} // namespace

const std::vector<CliCommand> &All()
{
    using enum CliCommand::Needs;
    static const std::vector<CliCommand> commands{
        {"status", "", "", QT_TRANSLATE_NOOP("CliCommands", "读DTU状态：设备的工作状态"), 0, 0, true, nullptr, &Status},
        {"signal", "", "watch", QT_TRANSLATE_NOOP("CliCommands", "读取信号强度（--watch N：每 N 秒再读一次）"), 0, 0, true, nullptr, &Signal},
        {"version", "", "", QT_TRANSLATE_NOOP("CliCommands", "查询DTU版本/IMEI：先固件版本，再IMEI"), 0, 0, true, nullptr, &Version},
        {"clock", "", "", QT_TRANSLATE_NOOP("CliCommands", "读取设备时钟"), 0, 0, true, nullptr, &Clock},
        {"set-clock", "", "", QT_TRANSLATE_NOOP("CliCommands", "设置设备时钟：设为这台计算机的时间"), 0, 0, true, nullptr, &SetClock},
        {"reset", "", "", QT_TRANSLATE_NOOP("CliCommands", "复位设备：重新启动设备"), 0, 0, true, nullptr, &Reset},
        {"restore", "", "", QT_TRANSLATE_NOOP("CliCommands", "恢复出厂默认设置"), 0, 0, true, nullptr, &Restore},
        {"read", "", "ext", QT_TRANSLATE_NOOP("CliCommands", "读取：读出参数表并打印"), 0, 0, true, &CheckRead, &Read, Tables},
        {"write", "NUM=TEXT...", "ext snapshot", QT_TRANSLATE_NOOP("CliCommands", "设置：修改给出的参数并写入（NUM=HEX:digits 给出原始字节）"),
         1, -1, true, &CheckWrite, &Write, Tables},
        {"save", "FILE", "", QT_TRANSLATE_NOOP("CliCommands", "读出两张表，再保存参数文件到 FILE（扩展参数表在它旁边）"), 1, 1,
         true, &CheckRead, &Save, TablesKept},
        {"batch", "", "ext snapshot", QT_TRANSLATE_NOOP("CliCommands", "批量写参数：写入参数文件及其扩展参数文件的每个参数（--ext：只写扩展的）"),
         0, 0, true, &CheckBatch, &Batch, Tables},
        {"verify", "FILE", "ignore", QT_TRANSLATE_NOOP("CliCommands", "比较设备与 FILE，打印每处不同（不同时退出状态为3）"), 1, 1,
         true, &CheckVerify, &Verify, TablesKept},
        {"provision", "", "set events verify ignore identify fleet-run write-all audit", QT_TRANSLATE_NOOP("CliCommands", "批量配置中的一台设备：先读出，再写入与 --set 值不同的参数，--verify 读回并比较"),
         0, 0, false, &CheckFleetWorker, &FleetWorker, TablesKept},
        {"fleet", "INVENTORY.csv", "records no-records jobs report ignore identify verify write-all", QT_TRANSLATE_NOOP("CliCommands", "写入清单中每台设备与之不同的参数（--jobs、--report、--verify、--write-all）"), 1, 1, false,
         &CheckFleet, &Fleet, Tables},
        {"audit", "INVENTORY.csv", "records no-records jobs report ignore identify", QT_TRANSLATE_NOOP("CliCommands", "核对清单中的每台设备是否保存着应有的参数，什么也不写（有不符时退出状态为3）"), 1, 1, false,
         &CheckFleet, &Fleet, Tables},
        {"ports", "[PATH...]", "", QT_TRANSLATE_NOOP("CliCommands", "列出串口（及给出的 PATH），以及你能否打开每一个"),
         0, -1, false, nullptr, &CliPorts::Run, Nothing},
        {"identify", "", "", QT_TRANSLATE_NOOP("CliCommands", "查询DTU版本/IMEI，作为设备的身份记入设备档案"), 0, 0, true, nullptr,
         &Identify},
        {"rollback", "ID", "run events dry-run", QT_TRANSLATE_NOOP("CliCommands", "把设备恢复到快照ID的值（--dry-run：只列出会写的参数；--run ID：整个批量运行）"), 0, 1,
         false, &CliRollback::Check, &CliRollback::Run, TablesKept},
        {"history", "[DEVICE]", "records no-records limit show diff", QT_TRANSLATE_NOOP("CliCommands", "设备档案，最新的在前（--show ID、--diff ID1 ID2、--limit N）"),
         0, 2, false, nullptr, &CliHistory::Run, Nothing},
        {"check", "", "profile script strict", QT_TRANSLATE_NOOP("CliCommands", "检查参数文件、扩展参数文件和脚本，不连接设备（--strict：警告也算错误）"),
         0, 0, false, nullptr, &CliCheck::Run, Nothing},
    };
    return commands;
}

bool Takes(const QString &command, const QString &option)
{
    // Option names written as the commands' own are: blank-separated.
    const auto listed = [&option](const char *names) {
        return QString::fromLatin1(names).split(QLatin1Char(' ')).contains(option);
    };
    if (listed("help version lang json"))
        return true;
    const CliCommand *c = Find(command);
    if (!c)
        return true; // refused for itself
    if (c->needs != CliCommand::Needs::Nothing && listed("profile script level fast"))
        return true;
    // Where the device is and where its records go: for every command that
    // reaches a device, the channel its own (provision, rollback) or not.
    if ((c->needsChannel || command == QLatin1String("provision") || command == QLatin1String("rollback"))
        && listed("port baud format tcp tcp-port password password-file keep-profile records no-records"))
        return true;
    return listed(c->options);
}

const CliCommand *Find(const QString &name)
{
    for (const CliCommand &c : All())
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("CliCommands", text);
}

QString RefusalText(const QString &prefix, const EditResult &r)
{
    using Kind = EditResult::Kind;
    switch (r.kind) {
    case Kind::Applied: return {};
    case Kind::NoSuchRow: return tr("%1：参数文件中没有参数 %2").arg(prefix, r.number);
    case Kind::Locked: return tr("%1：%2（%3）只有用 --level 2 才能修改").arg(prefix, r.number, r.name);
    case Kind::NotEditable: return tr("%1：%2 不能编辑").arg(prefix, r.number);
    case Kind::NotAChoice:
        return tr("%1：%2：请从这些值中选一个：%3").arg(prefix, r.number, r.choices.join(QStringLiteral(", ")));
    case Kind::TooLong: return tr("%1：%2：最多%3个字符").arg(prefix, r.number).arg(r.maxLength);
    case Kind::BadCharacter: return tr("%1：%2：只接受这些字符：“%3”").arg(prefix, r.number, r.allowed);
    case Kind::BadHex: return tr("%1：%2：HEX: 后面应是成对的十六进制数字").arg(prefix, r.number);
    default: return prefix + tr("：") + Wording::RefusedValue(r);
    }
}

QList<Actions::GivenValue> GivenValues(const QStringList &arguments, const QString &prefix)
{
    QList<Actions::GivenValue> values;
    for (const QString &argument : arguments) {
        const qsizetype eq = argument.indexOf(QLatin1Char('='));
        if (eq <= 0)
            throw CliUsageError{QCoreApplication::translate("CliCommands", "%1：“%2”不是 编号=值 的形式").arg(prefix, argument)};
        values.append({argument.left(eq), argument.mid(eq + 1)});
    }
    return values;
}

qint64 EntryId(const QString &command, const QString &text)
{
    bool ok = false;
    const qint64 id = text.toLongLong(&ok);
    if (!ok || id <= 0)
        throw CliUsageError{tr("%1：“%2”不是记录编号").arg(command, text)};
    return id;
}

CliVerdict Refuse(CliContext &c, int status, const QString &text, const QJsonObject &outcome)
{
    c.frontend.Say(text);
    return {status, outcome, text};
}

CliVerdict RefuseNamed(CliContext &c, int status, const QString &text)
{
    return Refuse(c, status, c.options.command + tr("：") + text);
}

std::optional<CliVerdict> OpenChannel(CliContext &c)
{
    const CliOptions &options = c.options;
    DtuSession &session = c.session;
    // Options override what the profile put into the serial boxes.
    if (!options.baud.isEmpty())
        session.facts.BaudText = options.baud;
    if (!options.format.isEmpty())
        session.facts.FormatText = options.format;
    const Endpoint target = options.Target();
    const ChannelOutcome channel = ChannelOpen::Open(
        session, target.tcp || !target.port.isEmpty() ? target : Endpoint::Serial(session.facts.PortText),
        options.password);
    // Opening the port raises the level to 1 as the window's button does;
    // the command line keeps the level it was given.
    session.state.AccessLevel = options.level;
    if (channel.open)
        return std::nullopt;
    if (channel.failure == ChannelOutcome::Failure::SerialPort)
        return Refuse(c, CliVerdict::kUsage, QCoreApplication::translate("Dtucfg", "数据通道没有打开：") + channel.reason,
                      OutcomeJson::Channel(channel));
    QString text = channel.reason;
    if (channel.failure == ChannelOutcome::Failure::PasswordRefused)
        text += QCoreApplication::translate("Dtucfg", "（密码用 --password 给出，默认 480917）");
    return Refuse(c, CliVerdict::kFailed, text, OutcomeJson::Channel(channel));
}

void Emit(CliContext &c, const QByteArray &line)
{
    if (c.options.events)
        c.frontend.PrintDocument(QString::fromUtf8(line));
}

} // namespace CliCommands
