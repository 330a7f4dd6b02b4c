// A transport that knows the session: the layer check must refuse it.
#include "channel/Transport.h"
#include "session/DtuSession.h"
