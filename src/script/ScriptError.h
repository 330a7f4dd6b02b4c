#pragma once
#include "core/DtuError.h"

// Raised by ScriptHost::Eval: the calling operation ends with it.
class ScriptError : public DtuError {
public:
    using DtuError::DtuError;
};
