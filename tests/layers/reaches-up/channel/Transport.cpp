// A transport that knows the session, and compiles moc's code for its own
// header (allowed) and another's (refused): the layer check must refuse it.
#include "channel/Transport.h"
#include "session/DtuSession.h"

#include "moc_Transport.cpp"
#include "moc_SerialTransport.cpp"
