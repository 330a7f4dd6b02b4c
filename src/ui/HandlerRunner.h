#pragma once
#include <functional>

class ActionDispatcher;
class DtuSession;
class ParamEditors;

// How the window's handlers run.
class HandlerRunner {
public:
    HandlerRunner(DtuSession &session, ActionDispatcher &dispatcher, ParamEditors &editors);

    // An error that ends an operation is shown in the general error box and
    // the window goes on.
    void Guarded(const std::function<void()> &fn) const;
    // A handler that may talk to the device: one request in the window's one
    // queue, so it runs now as one device action, or, pressed while a signal
    // poll runs, right after that poll; its errors shown as Guarded does.
    // Then the editors follow the active table and the focus goes back.
    void RunDevice(std::function<void()> fn);
    // Called after each device action (the records' one warning).
    std::function<void()> afterDevice;

private:
    DtuSession &session_;
    ActionDispatcher &dispatcher_;
    ParamEditors &editors_;
};
