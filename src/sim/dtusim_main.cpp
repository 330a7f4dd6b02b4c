// dtusim: a simulated DTU for trying the configuration tool and for its
// end-to-end tests. It plays the device on a new pseudo-terminal, or on a
// loopback TCP maintenance port, from a device profile and its script;
// with --count, several independent devices at once.
#include "core/DtuError.h"
#include "core/StopSignals.h"
#include "sim/SimFleet.h"
#include "sim/SimOptions.h"
#include "sim/SimValues.h"
#include "script/ScriptHost.h"
#include "DtuVersion.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

void ErrorLine(const QString &line)
{
    std::fprintf(stderr, "dtusim: %s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

// Standard output tells the caller where the devices are, one line per
// unit; flushed at once, since the caller waits for it while we serve.
void AnnounceLines(const QStringList &lines)
{
    for (const QString &line : lines)
        std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);

    if (SimOptions::AsksProgramVersion(app.arguments())) {
        std::puts("dtusim " DTU_VERSION);
        return 0;
    }
    SimOptions options;
    QString error;
    bool help = false;
    if (!SimOptions::Parse(app.arguments(), &options, &error, &help)) {
        ErrorLine(error + QStringLiteral(" (see --help)"));
        return 2;
    }
    if (help) {
        std::fputs(SimOptions::Usage().toLocal8Bit().constData(), stdout);
        return 0;
    }

    SimTables tables;
    SimCommandSet words;
    {
        ScriptHost script; // the rows' encoders, until the given values are bytes
        try {
            tables = SimProfile::Load(options.profilePath);
            const QString path = options.scriptPath.isEmpty() ? SimProfile::DefaultScript(options.profilePath)
                                                              : options.scriptPath;
            words = SimCommandSet::FromScriptFile(
                script, path, [](const QString &fault) { ErrorLine(QStringLiteral("script error: ") + fault); });
        } catch (const DtuError &e) {
            ErrorLine(e.text());
            return 2;
        }
        // A given value's row is known only now: a wrong one is a usage error.
        for (SimUnitSettings &unit : options.units) {
            if (!SimValues::Resolve(&unit.values, tables, script, &error)) {
                ErrorLine(error + QStringLiteral(" (see --help)"));
                return 2;
            }
        }
    }

    SimDevice::Logger log;
    if (options.verbose)
        log = [](const QString &line) { ErrorLine(line); };
    SimFleet fleet(options, tables, words, log);
    OnStopSignals([] { QCoreApplication::quit(); });

    if (!fleet.Open(&error)) {
        ErrorLine(error);
        return 1;
    }
    AnnounceLines(fleet.Endpoints());
    return app.exec();
}
