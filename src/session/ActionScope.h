#pragma once
#include "session/DtuSession.h"

#include <type_traits>
#include <utility>

// The one guard of the rule "one device action at a time". While a scope
// that began an action lives, no other can begin: a second start is refused
// (the scope is false) and sends nothing. The window locks its controls from
// DtuSession::actionRunningChanged, which the scope's start and end emit.
class ActionScope {
public:
    explicit ActionScope(DtuSession &session) : session_(session), began_(session.TryBeginAction()) {}
    ~ActionScope()
    {
        if (began_)
            session_.EndAction();
    }
    ActionScope(const ActionScope &) = delete;
    ActionScope &operator=(const ActionScope &) = delete;
    explicit operator bool() const { return began_; }

private:
    DtuSession &session_;
    bool began_;
};

// How every front end starts device work: runs fn as one action, or not at
// all while another runs. Returns false when refused; otherwise true, or
// what fn returned when it returns a bool (the command line's verdict).
template <typename F>
bool RunAction(DtuSession &session, F &&fn)
{
    ActionScope scope(session);
    if (!scope)
        return false;
    if constexpr (std::is_same_v<std::invoke_result_t<F>, bool>) {
        return std::forward<F>(fn)();
    } else {
        std::forward<F>(fn)();
        return true;
    }
}
