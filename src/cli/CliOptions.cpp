#include "cli/CliOptions.h"

#include "cli/CliCommands.h"
#include "core/Translation.h"

#include <QRegularExpression>

namespace {

enum class Takes { Nothing, Value };

struct OptionSpec {
    const char *name;
    Takes takes;
};

const OptionSpec kOptions[] = {
    {"profile", Takes::Value}, {"script", Takes::Value},   {"port", Takes::Value},
    {"baud", Takes::Value},    {"format", Takes::Value},   {"tcp", Takes::Value},
    {"tcp-port", Takes::Value}, {"password", Takes::Value}, {"level", Takes::Value},
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
        out->baud = value;
    } else if (name == QLatin1String("format")) {
        out->format = value;
    } else if (name == QLatin1String("tcp")) {
        out->tcpHost = value;
        ok = !value.isEmpty();
    } else if (name == QLatin1String("tcp-port")) {
        const uint port = value.toUInt(&ok);
        ok = ok && port >= 1 && port <= 65535;
        out->tcpPort = static_cast<quint16>(port);
    } else if (name == QLatin1String("password")) {
        out->password = value;
    } else if (name == QLatin1String("level")) {
        out->level = value.toInt(&ok);
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
        static const QRegularExpression numbers(QStringLiteral("^[0-9A-Fa-f]{4}(,[0-9A-Fa-f]{4})*$"));
        ok = numbers.match(value).hasMatch();
        out->ignore += value.toUpper().split(QLatin1Char(','));
    } else if (name == QLatin1String("set")) {
        out->set << value;
    } else if (name == QLatin1String("events")) {
        out->events = true;
    } else if (name == QLatin1String("verify")) {
        out->verify = true;
    } else if (name == QLatin1String("jobs")) {
        out->jobs = value.toInt(&ok);
        ok = ok && out->jobs >= 1;
    } else if (name == QLatin1String("report")) {
        out->report = value;
        ok = !value.isEmpty();
    }
    if (!ok)
        *error = QStringLiteral("--%1: invalid value \"%2\"").arg(name, value);
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
            *error = QStringLiteral("unknown option --%1").arg(name);
            return false;
        }
        if (spec->takes == Takes::Value && !inlineValue) {
            if (i + 1 >= args.size()) {
                *error = QStringLiteral("--%1 needs a value").arg(name);
                return false;
            }
            value = args[++i];
        } else if (spec->takes == Takes::Nothing && inlineValue) {
            *error = QStringLiteral("--%1 takes no value").arg(name);
            return false;
        }
        if (!Apply(out, name, value, error))
            return false;
    }
    if (out->watchSeconds > 0 && out->command != QLatin1String("signal") && !out->command.isEmpty()) {
        *error = QStringLiteral("--watch goes with the signal command only");
        return false;
    }
    return CliRecordOptions::Check(*out, error);
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
        "  --password TEXT  TCP maintenance password (default 480917)\n"
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
        "  --jobs N         fleet: devices at once (default: all, at most 16)\n"
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
