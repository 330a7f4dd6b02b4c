// The store stands on core/ alone: they never reach a session.
#include "core/DtuError.h"
#include "session/DtuSession.h"
