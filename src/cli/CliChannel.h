#pragma once
#include "ops/Outcomes.h"

class DtuSession;
struct CliOptions;

// Opens the data channel the options name, through the window's own home
// for it (ChannelOpen): the serial port with the options' settings, or the
// TCP maintenance port with its password.
namespace CliChannel {
ChannelOutcome Open(DtuSession &session, const CliOptions &options);
} // namespace CliChannel
