#include "sim/SimOptions.h"

#include "sim/SimUnitOptions.h"

#include <QCommandLineParser>
#include <algorithm>
#include <memory>

namespace {

struct Spec {
    const char *name;
    const char *valueName; // nullptr: a switch
    bool perUnit;          // may follow --unit K
    const char *help;
};

const Spec kOptions[] = {
    {"profile", "FILE", false, "device profile whose parameters the device holds (required)"},
    {"script", "FILE", false, "device script (default: script.js beside the profile, else ./script.js, else "
                              "~/.config/dtutools/script.js)"},
    {"tcp", "PORT", false, "serve the TCP maintenance port on 127.0.0.1 instead of a pseudo-terminal (8888 when no "
                           "port follows; 0 picks a free one; with --count, units take PORT, PORT+1, ...)"},
    {"count", "N", false, "simulate N independent devices, each on its own pseudo-terminal or TCP port (default 1)"},
    {"unit", "K", false, "the options that follow apply to unit K (1 to N) only, until the next --unit"},
    {"password", "TEXT", true, "password expected first on each TCP connection (default 480917)"},
    {"status", "N", true, "working state reported (default 5)"},
    {"signal", "N", true, "signal strength reported (default 23)"},
    {"signal-steps", "LIST", true, "signal strengths reported in turn, one per --signal-period from when dtusim is "
                                   "ready, the last one kept (such as 10,14,99,22)"},
    {"signal-period", "MS", true, "how long each of --signal-steps is reported (default 1000)"},
    {"signal-per-request", nullptr, true, "step through --signal-steps one value per signal request instead of one "
                                          "per --signal-period (the first request gets the first value)"},
    {"version", "TEXT", true, "firmware version text (alone: print dtusim's version)"},
    {"imei", "TEXT", true, "IMEI text"},
    {"silent", nullptr, true, "never answer"},
    {"refuse", nullptr, true, "answer every accepted command with a refusal"},
    {"delay", "MS", true, "answer delay (default 5)"},
    {"pieces", "N:MS", true, "send each answer in N pieces MS apart"},
    {"stray-before", "HEX", true, "bytes sent before each answer"},
    {"stray-after", "HEX", true, "bytes sent after each answer"},
    {"bad-checksum", nullptr, true, "answer with a wrong checksum"},
    {"not-frame", nullptr, true, "answer starting with 55 AA"},
    {"trickle", "MS", true, "send answers one byte every MS"},
    {"long-length", "N", true, "claim N bytes more in the length field than the answer holds"},
    {"flood", "N:MS", true, "send N bytes of noise MS after each answer"},
    {"value", "NUM=TEXT", true, "the main table holds TEXT in parameter NUM from the start: HEX:digits, or the "
                                "value as the profile shows it (repeatable)"},
    {"ext-value", "NUM=TEXT", true, "the same for the extended file's table (repeatable)"},
    {"only", "WORDHEX", true, "misbehave only when answering this request word (repeatable; a parameter's write "
                              "has its number as word)"},
    {"verbose", nullptr, false, "log each request and answer to standard error"},
};

// The option a token names ("--delay=5" and "-delay" name delay); "" for a
// token that is no option.
QString OptionName(const QString &token)
{
    if (!token.startsWith(QLatin1Char('-')))
        return {};
    const qsizetype start = token.startsWith(QLatin1String("--")) ? 2 : 1;
    return token.mid(start).section(QLatin1Char('='), 0, 0);
}

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

// One stretch of the command line: the shared options, or those after
// "--unit K". args starts with the program name, as the parser wants.
struct Stretch {
    bool shared = true;
    QString unitText; // K as given
    QStringList args;
    std::unique_ptr<QCommandLineParser> parser;
};

// Cuts the arguments at each "--unit K". Values are stepped over, so a
// password that reads "--unit" stays a password.
bool CutAtUnits(const QStringList &args, std::vector<Stretch> *stretches, QString *error)
{
    stretches->push_back({true, {}, {args.value(0)}, nullptr});
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &token = args[i];
        const QString name = OptionName(token);
        const bool inlineValue = token.contains(QLatin1Char('='));
        if (name == QLatin1String("unit")) {
            if (!inlineValue && i + 1 == args.size()) {
                *error = QStringLiteral("--unit needs a unit number");
                return false;
            }
            const QString k = inlineValue ? token.section(QLatin1Char('='), 1) : args[++i];
            stretches->push_back({false, k, {args.value(0)}, nullptr});
            continue;
        }
        stretches->back().args.append(token);
        const Spec *spec = std::find_if(std::begin(kOptions), std::end(kOptions),
                                        [&](const Spec &s) { return name == QLatin1String(s.name); });
        if (spec != std::end(kOptions) && spec->valueName && !inlineValue && i + 1 < args.size())
            stretches->back().args.append(args[++i]);
    }
    return true;
}

void Add(QCommandLineParser &parser)
{
    // No value name (nullptr) makes a switch.
    for (const Spec &s : kOptions)
        parser.addOption(QCommandLineOption(QLatin1String(s.name), QLatin1String(s.help), QLatin1String(s.valueName)));
    parser.addHelpOption();
}

bool ParseStretch(Stretch &stretch, QString *error)
{
    stretch.parser = std::make_unique<QCommandLineParser>();
    QCommandLineParser &parser = *stretch.parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    Add(parser);
    if (!parser.parse(stretch.args)) {
        *error = parser.errorText();
        return false;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first());
        return false;
    }
    return true;
}

bool RefuseRunOptions(const SimOptionReader &reader)
{
    for (const Spec &s : kOptions) {
        if (!s.perUnit && reader.IsSet(s.name))
            return reader.Fail(QStringLiteral("--%1 applies to the whole run, not to one unit: give it before the "
                                              "first --unit")
                                   .arg(QLatin1String(s.name)));
    }
    return true;
}

bool ApplyRunOptions(const SimOptionReader &reader, SimOptions *o, int *count)
{
    o->profilePath = reader.Value("profile");
    if (o->profilePath.isEmpty())
        return reader.Fail(QStringLiteral("--profile FILE is required"));
    o->scriptPath = reader.Value("script");
    o->verbose = reader.IsSet("verbose");
    o->tcp = reader.IsSet("tcp");
    if (!reader.Number("tcp", 0, 65535, &o->tcpPort) || !reader.Number("count", 1, SimOptions::kMaxCount, count))
        return false;
    if (o->tcp && o->tcpPort != 0 && o->tcpPort + *count - 1 > 65535)
        return reader.Fail(QStringLiteral("--tcp %1 with --count %2 needs ports up to %3, past 65535")
                               .arg(o->tcpPort).arg(*count).arg(o->tcpPort + *count - 1));
    return true;
}

bool UnitNumber(const SimOptionReader &reader, const QString &text, int count, int *k)
{
    if (!SimOptionReader::ToInt(text, 1, SimOptions::kMaxCount, k))
        return reader.Fail(QStringLiteral("--unit needs a unit number from 1, not \"%1\"").arg(text));
    if (*k > count)
        return reader.Fail(QStringLiteral("--unit %1 names no unit: there are %2 (give --count N before the first "
                                          "--unit)")
                               .arg(*k).arg(count));
    return true;
}

// --signal-period or --signal-per-request alone steps nothing: say so
// rather than ignore it.
bool StepOptionHasSteps(const Stretch &stretch, const SimOptions &o, int unitIndex, QLatin1String option,
                        QString *error)
{
    if (!stretch.parser->isSet(option))
        return true;
    for (int i = 0; i < o.units.size(); ++i) {
        if ((stretch.shared || i == unitIndex) && !o.units[i].state.signalSteps.isEmpty())
            return true;
    }
    *error = stretch.shared ? QStringLiteral("--%1 needs --signal-steps").arg(option)
                            : QStringLiteral("--%1 of unit %2 needs --signal-steps for that unit")
                                  .arg(option).arg(unitIndex + 1);
    return false;
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
    parser.setApplicationDescription(
        QStringLiteral("Simulated DTU on a pseudo-terminal or a loopback TCP port. Options before the first --unit "
                       "apply to every unit; --password, the readings, the values and the faults may follow --unit K."));
    Add(parser);
    return parser.helpText();
}

bool SimOptions::Parse(const QStringList &arguments, SimOptions *out, QString *error, bool *helpAsked)
{
    std::vector<Stretch> stretches;
    if (!CutAtUnits(WithTcpPort(arguments), &stretches, error))
        return false;
    for (Stretch &s : stretches) {
        if (!ParseStretch(s, error))
            return false;
    }
    for (const Stretch &s : stretches) {
        if (s.parser->isSet(QStringLiteral("help"))) {
            if (helpAsked)
                *helpAsked = true;
            return true;
        }
    }

    SimOptions o;
    int count = 1;
    SimUnitSettings shared;
    const SimOptionReader sharedReader(*stretches.front().parser, error);
    if (!ApplyRunOptions(sharedReader, &o, &count) || !SimUnitOptions::Apply(sharedReader, &shared))
        return false;
    o.units = QList<SimUnitSettings>(count, shared);

    std::vector<int> unitOf(stretches.size(), -1);
    for (size_t i = 1; i < stretches.size(); ++i) {
        const SimOptionReader reader(*stretches[i].parser, error);
        int k = 0;
        if (!RefuseRunOptions(reader) || !UnitNumber(reader, stretches[i].unitText, count, &k)
            || !SimUnitOptions::Apply(reader, &o.units[k - 1]))
            return false;
        unitOf[i] = k - 1;
    }
    for (size_t i = 0; i < stretches.size(); ++i) {
        for (const char *option : {"signal-period", "signal-per-request"})
            if (!StepOptionHasSteps(stretches[i], o, unitOf[i], QLatin1String(option), error))
                return false;
    }
    *out = o;
    return true;
}
