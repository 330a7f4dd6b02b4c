#include "core/StopSignals.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {
int g_pipe[2] = {-1, -1};
volatile std::sig_atomic_t g_endAtOnce = 0;

struct StopListener {
    std::function<void()> onStop;
    bool tied = false;          // heard only while its context lives
    QPointer<QObject> context;
};
std::vector<StopListener> g_listeners;

void OnSignal(int signal)
{
    if (g_endAtOnce) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
        return;
    }
    // Only async-signal-safe work here: wake the event loop.
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
}

// One byte per signal: every listener whose context still lives hears it,
// in the order they were added; those whose context has gone are dropped.
void HeardStop()
{
    char byte;
    [[maybe_unused]] const ssize_t n = ::read(g_pipe[0], &byte, 1);
    std::erase_if(g_listeners, [](const StopListener &l) { return l.tied && !l.context; });
    // A copy: a listener may add another.
    const std::vector<StopListener> listeners = g_listeners;
    for (const StopListener &l : listeners)
        if (!l.tied || l.context)
            l.onStop();
}
} // namespace

void OnStopSignals(std::function<void()> onStop, QObject *context)
{
    // One pipe and one notifier for the process: a second call adds a
    // listener.
    if (g_pipe[0] < 0) {
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0)
            return;
        auto *notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, QCoreApplication::instance());
        QObject::connect(notifier, &QSocketNotifier::activated, [] { HeardStop(); });
    }
    g_listeners.push_back({std::move(onStop), context != nullptr, context});
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

void EndOnNextStopSignal(bool on)
{
    g_endAtOnce = on ? 1 : 0;
}
