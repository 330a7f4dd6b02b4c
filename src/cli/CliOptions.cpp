#include "cli/CliOptions.h"

#include "cli/CliCommands.h"
#include "channel/SerialSettings.h"
#include "core/Translation.h"
#include "core/WriteRules.h"
#include "fleet/FleetRunner.h"
#include "store/RecordLocation.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <limits>
#include <type_traits>

namespace {

template <typename T>
T &Field(CliOptions &out, T CliOptions::*field)
{
    return out.*field;
}
template <typename T>
T &Field(CliOptions &out, T RecordOptions::*field)
{
    return out.records.*field;
}

// How an option takes its value: false for a bad one.
template <auto field>
bool On(CliOptions &out, const QString &)
{
    Field(out, field) = true;
    return true;
}
template <auto field, bool required = false>
bool Text(CliOptions &out, const QString &value)
{
    Field(out, field) = value;
    return !required || !value.isEmpty();
}
template <auto field, qint64 min, qint64 max>
bool Number(CliOptions &out, const QString &value)
{
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    Field(out, field) = static_cast<std::remove_reference_t<decltype(Field(out, field))>>(number);
    return ok && number >= min && number <= max;
}
constexpr qint64 kIntMax = std::numeric_limits<int>::max();

// The one table of dtucfg's options: the parser reads its names and takes
// their values, --help prints its arguments and descriptions (translated
// where shown; a "\n" in a description continues it on the next line).
struct OptionEntry {
    const char *name;
    const char *argument; // what --help shows after the name; "" for an option without a value
    const char *description;
    bool (*take)(CliOptions &out, const QString &value);
    // What a good value is, for the refusal of a bad one, with the values
    // offered in place of its %1.
    const char *valid = nullptr;
    QStringList (*offered)() = nullptr;
};

const OptionEntry kOptions[] = {
    {"profile", "FILE",
     QT_TRANSLATE_NOOP("CliOptions", "设备参数文件（默认：./lastfile.log 记下的那个，\n否则 ~/.config/dtutools/lastfile.log 记下的那个）"),
     &Text<&CliOptions::profilePath>},
    {"script", "FILE",
     QT_TRANSLATE_NOOP("CliOptions", "设备脚本（默认：./script.js，否则参数文件旁的\nscript.js，否则 ~/.config/dtutools/script.js）"),
     &Text<&CliOptions::scriptPath>},
    {"port", "NAME", QT_TRANSLATE_NOOP("CliOptions", "串口（默认：参数文件中的，否则 COM1）；\ntcp:HOST:PORT 与 --tcp 相同"),
     // A target copied from history or an inventory reaches its device
     // however it is reached.
     [](CliOptions &out, const QString &value) {
         Endpoint::Fault fault = Endpoint::Fault::None;
         const std::optional<Endpoint> target = Endpoint::Parse(value, &fault);
         if (target && target->tcp)
             out.tcp = target;
         else
             out.port = value;
         return target || fault == Endpoint::Fault::Empty;
     },
     QT_TRANSLATE_NOOP("CliOptions", "应为串口名，或 tcp:主机:端口（端口1到65535）")},
    {"baud", "TEXT", QT_TRANSLATE_NOOP("CliOptions", "速率（默认：参数文件中的，否则 57600）"),
     // A speed the port does not know would be stored into the profile
     // and opened as 9600.
     [](CliOptions &out, const QString &value) {
         out.baud = value;
         return SerialSettings::KnownSpeeds().contains(value);
     },
     QT_TRANSLATE_NOOP("CliOptions", "可用的速率：%1"), &SerialSettings::KnownSpeeds},
    {"format", "TEXT", QT_TRANSLATE_NOOP("CliOptions", "帧格式，如 8N1（默认：参数文件中的，否则 8N1）"),
     [](CliOptions &out, const QString &value) {
         out.format = value.toUpper();
         return SerialSettings::OfferedFormats().contains(out.format);
     },
     QT_TRANSLATE_NOOP("CliOptions", "可用的格式：%1"), [] { return SerialSettings::OfferedFormats(); }},
    {"tcp", "HOST[:PORT]", QT_TRANSLATE_NOOP("CliOptions", "用TCP维护连接代替串口\n（HOST:PORT 同时给出端口）"),
     // As the targets of an inventory: "tcp:" may stand before it, and an
     // IPv6 address with a port is written [::1]:8888.
     [](CliOptions &out, const QString &value) {
         const std::optional<Endpoint> target = Endpoint::Parse(value);
         out.tcp = target && target->tcp ? target : Endpoint::ParseAddress(value);
         return out.tcp.has_value();
     },
     QT_TRANSLATE_NOOP("CliOptions", "应为主机名或IP地址，可带端口（1到65535），如 192.168.1.10:8888")},
    {"tcp-port", "N", QT_TRANSLATE_NOOP("CliOptions", "TCP端口（默认：--tcp 中给出的，否则 8888）"),
     &Number<&CliOptions::tcpPort, 1, 65535>, QT_TRANSLATE_NOOP("CliOptions", "应为1到65535的整数")},
    {"password", "TEXT",
     QT_TRANSLATE_NOOP("CliOptions", "TCP维护密码（默认 480917）。这台计算机的每个用户\n都能在进程列表中看到它：请用 --password-file 或 DTU_PASSWORD"),
     &Text<&CliOptions::password>},
    {"password-file", "FILE", QT_TRANSLATE_NOOP("CliOptions", "从 FILE 的第一行读TCP密码（- 表示标准输入）"),
     &Text<&CliOptions::passwordFile, true>},
    {"level", "N", QT_TRANSLATE_NOOP("CliOptions", "访问级别：1 打印通信记录，2 解锁 0091"), &Number<&CliOptions::level, 0, 2>,
     QT_TRANSLATE_NOOP("CliOptions", "应为0、1或2")},
    {"ext", "", QT_TRANSLATE_NOOP("CliOptions", "操作扩展参数表"), &On<&CliOptions::ext>},
    {"json", "", QT_TRANSLATE_NOOP("CliOptions", "在标准输出给出机器可读的结果；窗口会显示的那些行\n这时写到标准错误"),
     &On<&CliOptions::json>},
    {"fast", "", QT_TRANSLATE_NOOP("CliOptions", "应答一旦是完整的一帧就结束"), &On<&CliOptions::fast>},
    {"help", "", QT_TRANSLATE_NOOP("CliOptions", "显示本说明（也可写 -h）"), &On<&CliOptions::help>},
    {"version", "", QT_TRANSLATE_NOOP("CliOptions", "打印 dtucfg 的版本"), &On<&CliOptions::showVersion>},
    {"lang", "zh|en", QT_TRANSLATE_NOOP("CliOptions", "打印的语言（默认 zh，与系统语言无关）"),
     [](CliOptions &out, const QString &value) { return Translation::FromCode(value, &out.language); },
     QT_TRANSLATE_NOOP("CliOptions", "应为zh或en")},
    {"watch", "N",
     QT_TRANSLATE_NOOP("CliOptions", "与 signal 一起：每 N 秒（1-3600）读一次信号，每次一行\n（时间、CSQ、dBm），直到 Ctrl+C 或 SIGTERM"),
     &Number<&CliOptions::watchSeconds, 1, 3600>, QT_TRANSLATE_NOOP("CliOptions", "应为1到3600的整数（秒）")},
    {"keep-profile", "",
     QT_TRANSLATE_NOOP("CliOptions", "打开串口时不把串口设置存入参数文件\n（save、verify、provision 和 fleet 从不存）"),
     &On<&CliOptions::keepProfile>},
    {"ignore", "NUM,...", QT_TRANSLATE_NOOP("CliOptions", "verify：不比较的参数（如 0091）"),
     [](CliOptions &out, const QString &value) {
         // "0033,0041" or, as a list is often typed, "0033, 0041".
         bool ok = true;
         for (const QString &item : value.split(QLatin1Char(','))) {
             ok = ok && WriteRules::IsParamNumber(item.trimmed());
             out.ignore << item.trimmed().toUpper();
         }
         return ok;
     },
     QT_TRANSLATE_NOOP("CliOptions", "应为以逗号分隔的四位参数编号，例如0091,0033")},
    {"set", "NUM=TEXT", QT_TRANSLATE_NOOP("CliOptions", "provision：这台设备某个参数的值（可重复；\nNUM=HEX:digits 给出原始字节）"),
     [](CliOptions &out, const QString &value) {
         out.set << value;
         return true;
     }},
    {"events", "", QT_TRANSLATE_NOOP("CliOptions", "provision、rollback --run：在标准输出给出 JSON 行（进度、结果）"),
     &On<&CliOptions::events>},
    {"verify", "", QT_TRANSLATE_NOOP("CliOptions", "provision、fleet：写完后读回并比较"), &On<&CliOptions::verify>},
    {"write-all", "", QT_TRANSLATE_NOOP("CliOptions", "provision、fleet：写入每个参数，也写设备已经保存着的"),
     &On<&CliOptions::writeAll>},
    {"audit", "", QT_TRANSLATE_NOOP("CliOptions", "provision：只读出并核对，什么也不写"), &On<&CliOptions::audit>},
    {"dry-run", "", QT_TRANSLATE_NOOP("CliOptions", "rollback：只列出会写入的参数，什么也不写"), &On<&CliOptions::dryRun>},
    {"jobs", "N", QT_TRANSLATE_NOOP("CliOptions", "fleet：同时配置的设备数（默认：全部，最多 16；\n不能超过 64）"),
     &Number<&CliOptions::jobs, 1, kIntMax>, QT_TRANSLATE_NOOP("CliOptions", "应为1或更大的整数")},
    {"report", "FILE", QT_TRANSLATE_NOOP("CliOptions", "fleet：写出报告（FILE.csv 或 FILE.json）"),
     &Text<&CliOptions::report, true>, QT_TRANSLATE_NOOP("CliOptions", "需要文件名")},
    {"records", "WHERE",
     QT_TRANSLATE_NOOP("CliOptions", "设备档案：一个SQLite文件，或\npostgresql://USER@HOST:PORT/DATABASE（默认：\n~/.local/share/dtutools/records.sqlite）"),
     &Text<&RecordOptions::location, true>,
     QT_TRANSLATE_NOOP("CliOptions", "需要SQLite文件名或 postgresql://USER@HOST:PORT/DATABASE")},
    {"no-records", "", QT_TRANSLATE_NOOP("CliOptions", "这次调用不记入设备档案"), &On<&RecordOptions::off>},
    {"limit", "N", QT_TRANSLATE_NOOP("CliOptions", "history：最多列出N条（默认50，0：全部）"),
     &Number<&RecordOptions::limit, 0, kIntMax>, QT_TRANSLATE_NOOP("CliOptions", "应为0或更大的整数（0表示全部）")},
    {"show", "ID", QT_TRANSLATE_NOOP("CliOptions", "history：显示一条记录及其各行"),
     &Number<&RecordOptions::show, 1, std::numeric_limits<qint64>::max()>,
     QT_TRANSLATE_NOOP("CliOptions", "应为记录编号（1或更大的整数）")},
    {"diff", "", QT_TRANSLATE_NOOP("CliOptions", "history --diff ID1 ID2：像 verify 那样比较两个快照"), &On<&RecordOptions::diff>},
    {"snapshot", "", QT_TRANSLATE_NOOP("CliOptions", "write、batch：先读出并记下设备的参数"), &On<&RecordOptions::snapshot>},
    {"identify", "", QT_TRANSLATE_NOOP("CliOptions", "fleet：先查询每台设备的固件版本和IMEI，\n记入设备档案"),
     &On<&RecordOptions::identify>},
    {"run", "ID", QT_TRANSLATE_NOOP("CliOptions", "rollback：恢复批量运行ID改动过的每台设备"), &Text<&RecordOptions::run, true>,
     QT_TRANSLATE_NOOP("CliOptions", "需要批量运行的编号")},
    {"fleet-run", "ID", QT_TRANSLATE_NOOP("CliOptions", "provision：设备的记录所属的批量运行"),
     &Text<&RecordOptions::fleetRun, true>, QT_TRANSLATE_NOOP("CliOptions", "需要批量运行的编号")},
    {"strict", "", QT_TRANSLATE_NOOP("CliOptions", "check：警告也算错误（退出状态1）"), &On<&CliOptions::strict>},
};

const OptionEntry *FindOption(const QString &name)
{
    for (const OptionEntry &o : kOptions)
        if (name == QLatin1String(o.name))
            return &o;
    return nullptr;
}

bool Apply(CliOptions *out, const OptionEntry &option, const QString &value, QString *error)
{
    const QString name = QLatin1String(option.name);
    if (!option.take(*out, value)) {
        QString valid = QCoreApplication::translate("CliOptions", option.valid);
        if (option.offered)
            valid = valid.arg(option.offered().join(QStringLiteral(", ")));
        *error = QCoreApplication::translate("CliOptions", "--%1：无效的值“%2”，%3").arg(name, value, valid);
        return false;
    }
    if (name == QLatin1String("jobs") && out->jobs > FleetRunner::kMaxJobs) {
        // Each device is a process of its own with its own script engine.
        *error = QCoreApplication::translate("CliOptions", "--jobs：最多同时%1台设备（每台一个进程），不能是%2")
                     .arg(FleetRunner::kMaxJobs)
                     .arg(value);
        return false;
    }
    if (!out->given.contains(name))
        out->given << name;
    return true;
}

} // namespace

bool CliOptions::Parse(const QStringList &args, CliOptions *out, QString *error)
{
    bool optionsEnded = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (!optionsEnded && arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        // -h, the one short spelling, is --help.
        if (!optionsEnded && arg == QLatin1String("-h")) {
            Apply(out, *FindOption(QStringLiteral("help")), QString(), error);
            continue;
        }
        if (optionsEnded || !arg.startsWith(QLatin1String("--"))) {
            if (out->command.isEmpty())
                out->command = arg;
            else
                out->arguments << arg;
            continue;
        }
        QString name = arg.mid(2);
        QString value;
        bool inlineValue = false;
        if (const qsizetype eq = name.indexOf(QLatin1Char('=')); eq >= 0) {
            value = name.mid(eq + 1);
            name.truncate(eq);
            inlineValue = true;
        }
        const OptionEntry *entry = FindOption(name);
        if (!entry) {
            *error = QCoreApplication::translate("CliOptions", "未知的选项 --%1").arg(name);
            return false;
        }
        if (*entry->argument && !inlineValue) {
            if (i + 1 >= args.size()) {
                *error = QCoreApplication::translate("CliOptions", "--%1 需要一个值").arg(name);
                return false;
            }
            value = args[++i];
        } else if (!*entry->argument && inlineValue) {
            *error = QCoreApplication::translate("CliOptions", "--%1 不带值").arg(name);
            return false;
        }
        if (!Apply(out, *entry, value, error))
            return false;
    }
    if (out->given.contains(QLatin1String("password")) && !out->passwordFile.isEmpty()) {
        *error = QCoreApplication::translate("CliOptions", "--password 和 --password-file：只能给出其中一个");
        return false;
    }
    // Which command takes which of these is CliCommands::Takes's rule; here
    // only what they say together.
    const RecordOptions &r = out->records;
    if (r.off && !r.location.isEmpty()) {
        *error = QCoreApplication::translate("CliOptions", "--records 与 --no-records 不能同时使用");
        return false;
    }
    if (r.off && (r.snapshot || out->command == QLatin1String("rollback"))) {
        *error = QCoreApplication::translate("CliOptions", "--snapshot 和 rollback 要用设备档案，而 --no-records 关闭了设备档案");
        return false;
    }
    if (r.show > 0 && r.diff) {
        *error = QCoreApplication::translate("CliOptions", "--show 与 --diff 不能同时使用");
        return false;
    }
    return true;
}

bool CliOptions::RecordsAt(RecordLocation *out, QString *error) const
{
    const QString where = records.location.isEmpty() ? RecordLocation::DefaultPath() : records.location;
    if (RecordLocation::Parse(where, out, error))
        return true;
    *error = QCoreApplication::translate("CliOptions", "--records：%1").arg(*error);
    return false;
}

void CliOptions::Peek(const QStringList &args, Language *language, bool *json)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == QLatin1String("--"))
            break;
        if (arg == QLatin1String("--json"))
            *json = true;
        else if (arg.startsWith(QLatin1String("--lang=")))
            Translation::FromCode(arg.mid(7), language);
        else if (arg == QLatin1String("--lang") && i + 1 < args.size())
            Translation::FromCode(args[++i], language);
        else if (const OptionEntry *entry = arg.startsWith(QLatin1String("--")) && !arg.contains(QLatin1Char('='))
                     ? FindOption(arg.mid(2))
                     : nullptr;
                 entry && *entry->argument)
            ++i; // its value, whatever it looks like
    }
}

bool CliOptions::ReadPassword(CliOptions *out, QString *error)
{
    if (out->passwordFile.isEmpty()) {
        if (!out->given.contains(QLatin1String("password")) && qEnvironmentVariableIsSet("DTU_PASSWORD"))
            out->password = qEnvironmentVariable("DTU_PASSWORD");
        return true;
    }
    QFile file(out->passwordFile);
    const bool opened = out->passwordFile == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                                 : file.open(QIODevice::ReadOnly);
    if (!opened) {
        *error = QCoreApplication::translate("CliOptions", "--password-file：无法读取 %1：%2").arg(out->passwordFile, file.errorString());
        return false;
    }
    // The first line, without its line end; the rest of the file is not read.
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    out->password = QString::fromUtf8(line);
    return true;
}

QString CliOptions::Usage()
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("CliOptions", text); };
    constexpr int kDescriptionColumn = 19;
    const QString indent(kDescriptionColumn, QLatin1Char(' '));
    QString text = tr("用法：dtucfg [选项] 命令 [参数]\n"
                      "\n"
                      "通过串口或TCP维护端口与DTU通信，并打印配置窗口\n"
                      "对同一操作会显示的每一行。\n"
                      "\n"
                      "选项：\n");
    for (const OptionEntry &o : kOptions) {
        QString head = QStringLiteral("  --") + QLatin1String(o.name);
        if (*o.argument)
            head += QLatin1Char(' ') + QLatin1String(o.argument);
        const QStringList lines = tr(o.description).split(QLatin1Char('\n'));
        // A head too wide for its column has its description on the lines below.
        text += head.size() < kDescriptionColumn - 1 ? head.leftJustified(kDescriptionColumn) + lines.first()
                                                     : head + QLatin1Char('\n') + indent + lines.first();
        text += QLatin1Char('\n');
        for (qsizetype i = 1; i < lines.size(); ++i)
            text += indent + lines[i] + QLatin1Char('\n');
    }
    text += tr("\n"
               "环境变量：\n"
               "  DTU_PASSWORD     没有给出 --password 和 --password-file 时的TCP密码\n"
               "\n"
               "命令：\n");
    for (const CliCommand &c : CliCommands::All()) {
        QString head = QStringLiteral("  ") + QLatin1String(c.name);
        if (*c.arguments)
            head += QLatin1Char(' ') + QLatin1String(c.arguments);
        text += head.leftJustified(24) + QLatin1Char(' ') + QCoreApplication::translate("CliCommands", c.summary)
            + QLatin1Char('\n');
    }
    text += tr("\n"
               "退出状态：0 每个设备操作都成功；1 有操作失败或被拒绝；\n"
               "2 用法错误、参数文件或脚本无法读取、数据通道没有打开。\n"
               "verify：0 设备与文件相符，3 有不同，1 设备出错。\n"
               "fleet：0 每台设备都成功，1 其他情况（报告说明是哪台、为什么）。\n"
               "audit：0 每台设备都相符，3 有不符（没有失败的），1 其他情况。\n"
               "rollback：0 已恢复，3 仍有不同或有密码类参数未恢复；--dry-run：0 无需写入，3 有要写的。\n"
               "history：0 已列出，1 没有这条记录；--diff：0 相同，3 不同。\n"
               "check：0 没有错误，1 有错误（--strict：或有警告），2 文件无法读取。\n");
    return text;
}
