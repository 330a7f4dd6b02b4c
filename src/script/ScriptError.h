#pragma once
#include "core/DtuError.h"

// Raised by ScriptHost::Eval: the calling operation ends with it.
class ScriptError : public DtuError {
public:
    // Why the evaluation failed: a checker treats a missing function and a
    // snippet that never ends apart from an error the script raised.
    enum class Cause { Thrown, MissingName, TimedOut };
    explicit ScriptError(const QString &message, Cause cause = Cause::Thrown) : DtuError(message), cause_(cause) {}
    Cause cause() const { return cause_; }

private:
    Cause cause_;
};
