#include "cli/CliOptions.h"

#include "cli/CliCommands.h"
#include "channel/SerialSettings.h"
#include "core/Translation.h"
#include "fleet/FleetRunner.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

#include <cstdio>

namespace {

enum class Takes { Nothing, Value };

struct OptionSpec {
    const char *name;
    Takes takes;
};

const OptionSpec kOptions[] = {
    {"profile", Takes::Value}, {"script", Takes::Value},   {"port", Takes::Value},
    {"baud", Takes::Value},    {"format", Takes::Value},   {"tcp", Takes::Value},
    {"tcp-port", Takes::Value}, {"password", Takes::Value}, {"password-file", Takes::Value},
    {"level", Takes::Value},
    {"ext", Takes::Nothing},   {"json", Takes::Nothing},   {"fast", Takes::Nothing},
    {"help", Takes::Nothing},  {"version", Takes::Nothing}, {"lang", Takes::Value},
    {"watch", Takes::Value},
    {"keep-profile", Takes::Nothing},
    {"ignore", Takes::Value},  {"set", Takes::Value},      {"events", Takes::Nothing},
    {"verify", Takes::Nothing}, {"jobs", Takes::Value},    {"report", Takes::Value},
    {"records", Takes::Value}, {"no-records", Takes::Nothing},
    {"limit", Takes::Value},   {"show", Takes::Value},     {"diff", Takes::Nothing},
    {"snapshot", Takes::Nothing}, {"identify", Takes::Nothing}, {"run", Takes::Value},
    {"fleet-run", Takes::Value},
};

const OptionSpec *FindOption(const QString &name)
{
    for (const OptionSpec &o : kOptions)
        if (name == QLatin1String(o.name))
            return &o;
    return nullptr;
}

// What a value of the option may be, for the refusal of one that is not.
QString ValidValues(const QString &name)
{
    if (name == QLatin1String("tcp"))
        return QCoreApplication::translate("CliOptions", "需要主机名或IP地址");
    if (name == QLatin1String("tcp-port"))
        return QCoreApplication::translate("CliOptions", "应为1到65535的整数");
    if (name == QLatin1String("level"))
        return QCoreApplication::translate("CliOptions", "应为0、1或2");
    if (name == QLatin1String("lang"))
        return QCoreApplication::translate("CliOptions", "应为zh或en");
    if (name == QLatin1String("watch"))
        return QCoreApplication::translate("CliOptions", "应为1到3600的整数（秒）");
    if (name == QLatin1String("ignore"))
        return QCoreApplication::translate("CliOptions", "应为以逗号分隔的四位参数编号，例如0091,0033");
    if (name == QLatin1String("jobs"))
        return QCoreApplication::translate("CliOptions", "应为1或更大的整数");
    if (name == QLatin1String("report"))
        return QCoreApplication::translate("CliOptions", "需要文件名");
    if (name == QLatin1String("baud"))
        return QCoreApplication::translate("CliOptions", "可用的速率：%1").arg(SerialSettings::KnownSpeeds().join(QStringLiteral(", ")));
    if (name == QLatin1String("format"))
        return QCoreApplication::translate("CliOptions", "可用的格式：%1").arg(SerialSettings::OfferedFormats().join(QStringLiteral(", ")));
    return CliRecordOptions::ValidValues(name);
}

bool Apply(CliOptions *out, const QString &name, const QString &value, QString *error)
{
    bool ok = true;
    if (CliRecordOptions::Apply(&out->records, name, value, &ok)) {
    } else if (name == QLatin1String("profile")) {
        out->profilePath = value;
        out->profileGiven = true;
    } else if (name == QLatin1String("script")) {
        out->scriptPath = value;
    } else if (name == QLatin1String("port")) {
        out->port = value;
    } else if (name == QLatin1String("baud")) {
        // A speed the port does not know would be stored into the profile
        // and opened as 9600.
        ok = SerialSettings::KnownSpeeds().contains(value);
        out->baud = value;
    } else if (name == QLatin1String("format")) {
        out->format = value.toUpper();
        ok = SerialSettings::OfferedFormats().contains(out->format);
    } else if (name == QLatin1String("tcp")) {
        out->tcpHost = value;
        ok = !value.isEmpty();
    } else if (name == QLatin1String("tcp-port")) {
        const uint port = value.toUInt(&ok);
        ok = ok && port >= 1 && port <= 65535;
        out->tcpPort = static_cast<quint16>(port);
    } else if (name == QLatin1String("password")) {
        out->password = value;
        out->passwordGiven = true;
    } else if (name == QLatin1String("password-file")) {
        out->passwordFile = value;
        ok = !value.isEmpty();
    } else if (name == QLatin1String("level")) {
        out->level = value.toInt(&ok);
        ok = ok && out->level >= 0 && out->level <= 2;
    } else if (name == QLatin1String("ext")) {
        out->ext = true;
    } else if (name == QLatin1String("json")) {
        out->json = true;
    } else if (name == QLatin1String("fast")) {
        out->fast = true;
    } else if (name == QLatin1String("help")) {
        out->help = true;
    } else if (name == QLatin1String("version")) {
        out->showVersion = true;
    } else if (name == QLatin1String("lang")) {
        ok = Translation::FromCode(value, &out->language);
    } else if (name == QLatin1String("watch")) {
        out->watchSeconds = value.toInt(&ok);
        ok = ok && out->watchSeconds >= 1 && out->watchSeconds <= 3600;
    } else if (name == QLatin1String("keep-profile")) {
        out->keepProfile = true;
    } else if (name == QLatin1String("ignore")) {
        // "0033,0041" or, as a list is often typed, "0033, 0041".
        static const QRegularExpression number(QStringLiteral("^[0-9A-Fa-f]{4}$"));
        for (const QString &item : value.split(QLatin1Char(','))) {
            ok = ok && number.match(item.trimmed()).hasMatch();
            out->ignore << item.trimmed().toUpper();
        }
    } else if (name == QLatin1String("set")) {
        out->set << value;
    } else if (name == QLatin1String("events")) {
        out->events = true;
    } else if (name == QLatin1String("verify")) {
        out->verify = true;
    } else if (name == QLatin1String("jobs")) {
        out->jobs = value.toInt(&ok);
        ok = ok && out->jobs >= 1;
        if (ok && out->jobs > FleetRunner::kMaxJobs) {
            // Each device is a process of its own with its own script engine.
            *error = QStringLiteral("--jobs: at most %1 devices at once (each is a process of its own), not %2")
                         .arg(FleetRunner::kMaxJobs)
                         .arg(value);
            return false;
        }
    } else if (name == QLatin1String("report")) {
        out->report = value;
        ok = !value.isEmpty();
    }
    if (!ok)
        *error = QCoreApplication::translate("CliOptions", "--%1：无效的值“%2”，%3").arg(name, value, ValidValues(name));
    return ok;
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
        const OptionSpec *spec = FindOption(name);
        if (!spec) {
            *error = QCoreApplication::translate("CliOptions", "未知的选项 --%1").arg(name);
            return false;
        }
        if (spec->takes == Takes::Value && !inlineValue) {
            if (i + 1 >= args.size()) {
                *error = QCoreApplication::translate("CliOptions", "--%1 需要一个值").arg(name);
                return false;
            }
            value = args[++i];
        } else if (spec->takes == Takes::Nothing && inlineValue) {
            *error = QCoreApplication::translate("CliOptions", "--%1 不带值").arg(name);
            return false;
        }
        if (!Apply(out, name, value, error))
            return false;
        if (!out->given.contains(name))
            out->given << name;
    }
    if (out->passwordGiven && !out->passwordFile.isEmpty()) {
        *error = QStringLiteral("--password and --password-file: give one of them");
        return false;
    }
    return CliRecordOptions::Check(*out, error);
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
        else if (const OptionSpec *spec = arg.startsWith(QLatin1String("--")) && !arg.contains(QLatin1Char('='))
                     ? FindOption(arg.mid(2))
                     : nullptr;
                 spec && spec->takes == Takes::Value)
            ++i; // its value, whatever it looks like
    }
}

bool CliOptions::ReadPassword(CliOptions *out, QString *error)
{
    if (out->passwordFile.isEmpty()) {
        if (!out->passwordGiven && qEnvironmentVariableIsSet("DTU_PASSWORD"))
            out->password = qEnvironmentVariable("DTU_PASSWORD");
        return true;
    }
    QFile file(out->passwordFile);
    const bool opened = out->passwordFile == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                                 : file.open(QIODevice::ReadOnly);
    if (!opened) {
        *error = QStringLiteral("--password-file: cannot read %1: %2").arg(out->passwordFile, file.errorString());
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
    QString text = QStringLiteral(
        "Usage: dtucfg [options] COMMAND [ARGS]\n"
        "\n"
        "Talks to a DTU over its serial port or its TCP maintenance port and prints\n"
        "every line the configuration window would show for the same action.\n"
        "\n"
        "Options:\n"
        "  --profile FILE   device profile (default: the one named in ./lastfile.log,\n"
        "                   else in ~/.config/dtutools/lastfile.log)\n"
        "  --script FILE    device script (default: ./script.js, else script.js beside\n"
        "                   the profile, else ~/.config/dtutools/script.js)\n"
        "  --port NAME      serial port (default: the profile's, else COM1)\n"
        "  --baud TEXT      speed (default: the profile's, else 57600)\n"
        "  --format TEXT    frame format such as 8N1 (default: the profile's, else 8N1)\n"
        "  --tcp HOST       use the TCP maintenance connection instead of the serial port\n"
        "  --tcp-port N     TCP port (default 8888)\n"
        "  --password TEXT  TCP maintenance password (default 480917). Every user of\n"
        "                   this computer can read it in the process list: prefer\n"
        "                   --password-file or DTU_PASSWORD\n"
        "  --password-file FILE\n"
        "                   read the TCP password from the first line of FILE\n"
        "                   (- for standard input)\n"
        "  --level N        access level: 1 prints the traffic trace, 2 unlocks 0091\n"
        "  --ext            act on the extended parameter table\n"
        "  --json           machine-readable result on standard output; the window's\n"
        "                   lines then go to standard error\n"
        "  --fast           end a reply as soon as it holds a complete frame\n"
        "  --lang zh|en     language of the printed lines (default zh, whatever the locale)\n"
        "  --watch N        with signal: read the signal every N seconds (1-3600), one\n"
        "                   line each (time, CSQ, dBm), until Ctrl+C or SIGTERM\n"
        "  --keep-profile   opening the serial port does not store the port settings\n"
        "                   into the profile file (save, verify, provision and fleet\n"
        "                   never do)\n"
        "  --ignore NUM,... verify: rows not compared (such as 0091)\n"
        "  --set NUM=TEXT   provision: this device's value of a row (repeatable;\n"
        "                   NUM=HEX:digits for raw bytes)\n"
        "  --events         provision: JSON lines on standard output (progress, result)\n"
        "  --verify         provision, fleet: read back and compare after writing\n"
        "  --jobs N         fleet: devices at once (default: all, at most 16; never\n"
        "                   more than 64)\n"
        "  --report FILE    fleet: write the report (FILE.csv or FILE.json)\n"
        "  --records WHERE  the device records: a SQLite file, or\n"
        "                   postgresql://USER@HOST:PORT/DATABASE (default:\n"
        "                   ~/.local/share/dtutools/records.sqlite)\n"
        "  --no-records     keep no record of this call\n"
        "  --limit N        history: at most N entries (default 50, 0: all)\n"
        "  --show ID        history: one entry with its rows\n"
        "  --diff           history --diff ID1 ID2: compare two snapshots as verify does\n"
        "  --snapshot       write, batch: read and record the device's values first\n"
        "  --identify       fleet: each device's firmware version and IMEI are queried\n"
        "                   first, for the records\n"
        "  --run ID         rollback: put back every device the fleet run ID changed\n"
        "  --fleet-run ID   provision: the fleet run the device's entries belong to\n"
        "  --help           this text\n"
        "  --version        print dtucfg's version\n"
        "\n"
        "Environment:\n"
        "  DTU_PASSWORD     the TCP password when --password and --password-file are\n"
        "                   not given\n"
        "\n"
        "Commands:\n");
    for (const CliCommand &c : CliCommands::All()) {
        QString head = QStringLiteral("  ") + QLatin1String(c.name);
        if (*c.arguments)
            head += QLatin1Char(' ') + QLatin1String(c.arguments);
        text += head.leftJustified(24) + QLatin1Char(' ') + QString::fromUtf8(c.summary) + QLatin1Char('\n');
    }
    text += QStringLiteral(
        "\n"
        "Exit status: 0 every device operation succeeded; 1 one failed or was refused;\n"
        "2 usage error, unreadable profile or script, or a channel that did not open.\n"
        "verify: 0 the device matches the file, 3 it differs, 1 a device failure.\n"
        "fleet: 0 every device ok, 1 otherwise (the report says which and why).\n"
        "history: 0 listed, 1 no such entry; --diff: 0 the same, 3 they differ.\n");
    return text;
}
