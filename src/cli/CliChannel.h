#pragma once
#include "ops/Outcomes.h"

class DtuSession;
struct CliOptions;

// Opens the data channel the options name, through the window's own home
// for it (ChannelOpen): the serial port with the options' settings, or the
// TCP maintenance port with its password.
namespace CliChannel {
ChannelOutcome Open(DtuSession &session, const CliOptions &options);

// A channel that did not open, as dtucfg says it: a serial port that does
// not open is this computer's set-up (exit 2); a TCP connection that fails
// is the device's or the network's (exit 1), and a refused password says
// how to give it.
struct Failure {
    int status;
    QString text;
};
Failure Refused(const ChannelOutcome &channel);
} // namespace CliChannel
