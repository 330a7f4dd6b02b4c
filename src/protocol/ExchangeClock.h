#pragma once
#include "core/Scheduler.h"

// The exchange waits on the session's scheduler; the old name stays for
// code written against it.
using ExchangeClock = Scheduler;
