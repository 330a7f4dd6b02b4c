#include "session/ActionDispatcher.h"

#include "session/ActionScope.h"

#include <QScopeGuard>

ActionDispatcher::ActionDispatcher(DtuSession &session, QObject *parent) : QObject(parent), session_(session)
{
    // The next request runs from the event loop, not inside the end of the
    // action before it: that action's caller finishes first (the window gives
    // the focus back, the monitor records its reading).
    connect(&session_, &DtuSession::actionRunningChanged, this, [this](bool running) {
        if (!running && !queue_.isEmpty())
            QMetaObject::invokeMethod(this, &ActionDispatcher::RunNext, Qt::QueuedConnection);
    });
}

ActionDispatcher::Outcome ActionDispatcher::Submit(Request request)
{
    if (session_.ActionRunning() || !queue_.isEmpty()) {
        queue_.append(std::move(request));
        return Outcome::Waiting;
    }
    return RunNow(request);
}

void ActionDispatcher::Withdraw(Kind kind)
{
    queue_.removeIf([kind](const Request &request) { return request.kind == kind; });
}

ActionDispatcher::Outcome ActionDispatcher::RunNow(Request &request)
{
    if (request.before && !request.before())
        return Outcome::Dropped;
    bool began = false;
    if (!session_.ActionRunning()) {
        // Set before the action begins, so whoever watches its start already
        // knows it is a poll.
        polling_ = request.kind == Kind::Poll;
        const auto done = qScopeGuard([this] { polling_ = false; });
        began = RunAction(session_, request.action);
    }
    if (!began) {
        // Another action began first: this one keeps its place at the head.
        queue_.prepend(std::move(request));
        return Outcome::Waiting;
    }
    if (request.after)
        request.after();
    return Outcome::Ran;
}

void ActionDispatcher::RunNext()
{
    // One action per turn; a request dropped without an action lets the next
    // one go at once.
    while (!queue_.isEmpty() && !session_.ActionRunning()) {
        Request request = queue_.takeFirst();
        if (RunNow(request) != Outcome::Dropped)
            return;
    }
}

#include "moc_ActionDispatcher.cpp"
