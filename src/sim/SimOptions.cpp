#include "sim/SimOptions.h"

#include "core/TextFile.h"
#include "protocol/Hex.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {

struct Spec {
    const char *name;
    const char *valueName; // nullptr: a switch
    const char *help;
};

const Spec kOptions[] = {
    {"profile", "FILE", "device profile whose parameters the device holds (required)"},
    {"script", "FILE", "device script (default: script.js beside the profile, else ./script.js)"},
    {"tcp", "PORT", "serve the TCP maintenance port on 127.0.0.1 instead of a pseudo-terminal (8888 when no port "
                    "follows; 0 picks a free one)"},
    {"password", "TEXT", "password expected first on each TCP connection (default 480917)"},
    {"status", "N", "working state reported (default 5)"},
    {"signal", "N", "signal strength reported (default 23)"},
    {"version", "TEXT", "firmware version text (alone: print dtusim's version)"},
    {"imei", "TEXT", "IMEI text"},
    {"silent", nullptr, "never answer"},
    {"refuse", nullptr, "answer every accepted command with a refusal"},
    {"delay", "MS", "answer delay (default 5)"},
    {"pieces", "N:MS", "send each answer in N pieces MS apart"},
    {"stray-before", "HEX", "bytes sent before each answer"},
    {"stray-after", "HEX", "bytes sent after each answer"},
    {"bad-checksum", nullptr, "answer with a wrong checksum"},
    {"not-frame", nullptr, "answer starting with 55 AA"},
    {"trickle", "MS", "send answers one byte every MS"},
    {"long-length", "N", "claim N bytes more in the length field than the answer holds"},
    {"flood", "N:MS", "send N bytes of noise MS after each answer"},
    {"only", "WORDHEX", "misbehave only when answering this request word (repeatable)"},
    {"verbose", nullptr, "log each request and answer to standard error"},
};

bool StandsWithoutValue(const QStringList &args, qsizetype i)
{
    return i + 1 == args.size() || args[i + 1].startsWith(QLatin1Char('-'));
}

// "--tcp" may stand without its port.
QStringList WithTcpPort(QStringList args)
{
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--tcp") && StandsWithoutValue(args, i))
            args.insert(i + 1, QString::number(SimOptions::kDefaultTcpPort));
    }
    return args;
}

bool ToInt(const QString &text, int min, int max, int *out)
{
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!ok || v < min || v > max)
        return false;
    *out = v;
    return true;
}

bool IsHex(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("^([0-9A-Fa-f]{2})*$"));
    return re.match(text).hasMatch();
}

void Add(QCommandLineParser &parser)
{
    for (const Spec &s : kOptions) {
        if (s.valueName)
            parser.addOption(QCommandLineOption(QLatin1String(s.name), QLatin1String(s.help), QLatin1String(s.valueName)));
        else
            parser.addOption(QCommandLineOption(QLatin1String(s.name), QLatin1String(s.help)));
    }
    parser.addHelpOption();
}

} // namespace

bool SimOptions::AsksProgramVersion(const QStringList &arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (arguments[i] == QLatin1String("--version") && StandsWithoutValue(arguments, i))
            return true;
    return false;
}

QString SimOptions::Usage()
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated DTU on a pseudo-terminal or a loopback TCP port."));
    Add(parser);
    return parser.helpText();
}

bool SimOptions::Parse(const QStringList &arguments, SimOptions *out, QString *error, bool *helpAsked)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    Add(parser);
    if (!parser.parse(WithTcpPort(arguments))) {
        *error = parser.errorText();
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        if (helpAsked)
            *helpAsked = true;
        return true;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first());
        return false;
    }
    SimOptions o;
    auto value = [&](const char *name) { return parser.value(QLatin1String(name)); };
    auto isSet = [&](const char *name) { return parser.isSet(QLatin1String(name)); };
    auto number = [&](const char *name, int min, int max, int *into) {
        if (!isSet(name) || ToInt(value(name), min, max, into))
            return true;
        *error = QStringLiteral("--%1 needs a number from %2 to %3, not \"%4\"")
                     .arg(QLatin1String(name)).arg(min).arg(max).arg(value(name));
        return false;
    };
    auto hex = [&](const char *name, QByteArray *into) {
        const QString text = value(name).remove(QLatin1Char(' '));
        if (!IsHex(text)) {
            *error = QStringLiteral("--%1 needs hex digits in pairs, not \"%2\"").arg(QLatin1String(name), value(name));
            return false;
        }
        *into = HexToBytes(text);
        return true;
    };

    o.profilePath = value("profile");
    if (o.profilePath.isEmpty()) {
        *error = QStringLiteral("--profile FILE is required");
        return false;
    }
    o.scriptPath = value("script");
    o.verbose = isSet("verbose");
    if (isSet("password"))
        o.password = value("password").toUtf8();
    o.tcp = isSet("tcp");
    int port = kDefaultTcpPort, status = o.state.status, signal = o.state.signal;
    if (!number("tcp", 0, 65535, &port) || !number("status", 0, 255, &status) || !number("signal", 0, 255, &signal))
        return false;
    o.tcpPort = static_cast<quint16>(port);
    o.state.status = static_cast<quint8>(status);
    o.state.signal = static_cast<quint8>(signal);
    if (isSet("version"))
        o.state.version = TextFile::ToGbk(value("version"));
    if (isSet("imei"))
        o.state.imei = TextFile::ToGbk(value("imei"));

    SimMisbehaviour &m = o.misbehaviour;
    m.silent = isSet("silent");
    m.refuse = isSet("refuse");
    m.badChecksum = isSet("bad-checksum");
    m.notFrame = isSet("not-frame");
    if (!number("delay", 0, 600000, &m.delayMs) || !number("trickle", 0, 60000, &m.trickleMs))
        return false;
    if (isSet("pieces")) {
        const QStringList parts = value("pieces").split(QLatin1Char(':'));
        if (parts.size() != 2 || !ToInt(parts[0], 1, 65535, &m.pieces) || !ToInt(parts[1], 0, 60000, &m.pieceGapMs)) {
            *error = QStringLiteral("--pieces needs N:MS, such as 3:100, not \"%1\"").arg(value("pieces"));
            return false;
        }
    }
    if (!number("long-length", 0, 65535, &m.lengthExcess))
        return false;
    if (isSet("flood")) {
        const QStringList parts = value("flood").split(QLatin1Char(':'));
        if (parts.size() != 2 || !ToInt(parts[0], 1, 64 << 20, &m.floodBytes)
            || !ToInt(parts[1], 0, 600000, &m.floodAfterMs)) {
            *error = QStringLiteral("--flood needs N:MS, such as 1048576:600, not \"%1\"").arg(value("flood"));
            return false;
        }
    }
    if ((isSet("stray-before") && !hex("stray-before", &m.strayBefore))
        || (isSet("stray-after") && !hex("stray-after", &m.strayAfter)))
        return false;
    for (const QString &word : parser.values(QStringLiteral("only"))) {
        static const QRegularExpression re(QStringLiteral("^[0-9A-Fa-f]{4}$"));
        if (!re.match(word).hasMatch()) {
            *error = QStringLiteral("--only needs a command word of four hex digits, not \"%1\"").arg(word);
            return false;
        }
        m.onlyWords.append(static_cast<quint16>(HexToInt(word)));
    }
    *out = o;
    return true;
}
