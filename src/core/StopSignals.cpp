#include "core/StopSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_pipe[2] = {-1, -1};

void OnSignal(int)
{
    // Only async-signal-safe work here: wake the event loop.
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
}
} // namespace

void OnStopSignals(std::function<void()> onStop, QObject *context)
{
    // One pipe for the process: a second call adds a listener, not a pipe.
    if (g_pipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0)
        return;
    // The listener goes with its context: one left behind would call a
    // handler whose run has ended.
    auto *notifier
        = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, context ? context : QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [onStop = std::move(onStop)] {
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(g_pipe[0], &byte, 1);
        onStop();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

void QuitOnSignals()
{
    OnStopSignals([] { QCoreApplication::quit(); });
}
