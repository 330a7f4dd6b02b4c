// dtusim: a simulated DTU for trying the configuration tool and for its
// end-to-end tests. It plays the device on a new pseudo-terminal, or on a
// loopback TCP maintenance port, from a device profile and its script.
#include "core/DtuError.h"
#include "script/ScriptHost.h"
#include "sim/PtyServer.h"
#include "sim/QuitOnSignals.h"
#include "sim/SimOptions.h"
#include "sim/TcpServer.h"
#include "DtuVersion.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

void ErrorLine(const QString &line)
{
    std::fprintf(stderr, "dtusim: %s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

// The first line of standard output tells the caller where the device is;
// flushed at once, since the caller waits for it while we serve.
void AnnounceLine(const QString &line)
{
    std::fprintf(stdout, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

SimCommandSet CommandsFrom(const SimOptions &options)
{
    ScriptHost script;
    const QString path = options.scriptPath.isEmpty() ? SimProfile::DefaultScript(options.profilePath)
                                                      : options.scriptPath;
    QString error;
    ScriptFault fault;
    if (!script.LoadFile(path, &error, &fault))
        throw DtuError(error);
    if (!fault.IsEmpty())
        ErrorLine(QStringLiteral("script error: ") + fault.Text());
    return SimCommandSet::FromScript(script);
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
    try {
        tables = SimProfile::Load(options.profilePath);
        words = CommandsFrom(options);
    } catch (const DtuError &e) {
        ErrorLine(e.text());
        return 2;
    }

    SimDevice device(tables, words, options.state, options.misbehaviour);
    SimDevice::Logger log;
    if (options.verbose)
        log = [](const QString &line) { ErrorLine(line); };
    device.SetLogger(log);
    QuitOnSignals();

    std::unique_ptr<TcpServer> tcp;
    std::unique_ptr<PtyServer> pty;
    if (options.tcp) {
        tcp = std::make_unique<TcpServer>(device, options.password, log);
        if (!tcp->Listen(options.tcpPort, &error)) {
            ErrorLine(error);
            return 1;
        }
        AnnounceLine(QStringLiteral("tcp 127.0.0.1:%1").arg(tcp->Port()));
    } else {
        pty = std::make_unique<PtyServer>(device);
        if (!pty->Open(&error)) {
            ErrorLine(error);
            return 1;
        }
        AnnounceLine(pty->SlavePath());
    }
    return app.exec();
}
