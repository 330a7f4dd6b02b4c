#pragma once
#include <QList>
#include <QObject>
#include <functional>

class DtuSession;

// The one queue of device work in a window. A request runs at once, as one
// action through RunAction, when no action runs and nothing waits before
// it; otherwise it waits, and the waiting requests run in the order they
// came, one at a time, each once the action before it has ended. Presses
// and the signal monitor's polls share it: a press during a poll runs after
// the poll, never inside it, and a poll that falls due during another action
// runs once that one ends.
class ActionDispatcher : public QObject {
    Q_OBJECT
public:
    enum class Kind {
        Press, // started by a person (or for one): the controls lock meanwhile
        Poll,  // a signal poll: short and by itself, the controls stay live
    };
    struct Request {
        Kind kind = Kind::Press;
        // The device work, run inside the action.
        std::function<void()> action;
        // Called just before the action would begin (the window notes its
        // focus); false drops the request: a poll no longer due.
        std::function<bool()> before = {};
        // Called once the action has ended.
        std::function<void()> after = {};
    };
    enum class Outcome { Ran, Waiting, Dropped };

    explicit ActionDispatcher(DtuSession &session, QObject *parent = nullptr);

    // Runs the request now or puts it at the end of the queue.
    Outcome Submit(Request request);
    // True while a poll's action runs: the window leaves its controls live
    // and queues a press.
    bool Polling() const { return polling_; }
    qsizetype Waiting() const { return queue_.size(); }
    // Forgets the waiting requests of one kind (the monitor stopped).
    void Withdraw(Kind kind);
    // Forgets every waiting request: the window is closing, and nothing a
    // person asked for before may reach the device after that.
    void Clear() { queue_.clear(); }

private:
    // Runs the request now unless an action runs; then it goes back to the
    // head of the queue. False when it did not run.
    Outcome RunNow(Request &request);
    // Runs the first waiting request, after the action that ended.
    void RunNext();

    DtuSession &session_;
    QList<Request> queue_;
    bool polling_ = false;
};
