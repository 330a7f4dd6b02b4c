// The data readers of the device commands (status, signal, version, IMEI,
// clock) over a session whose device answers with the fuzz input.
#include "FuzzRig.h"

#include "ops/DeviceCommands.h"

namespace {
// A byte read is a byte; a failure is one of the exchange's codes.
void CheckByte(const CommandOutcome &outcome)
{
    if (outcome.value > 255 || outcome.result < -6 || outcome.result > 0)
        __builtin_trap();
}

// Bits 1-3 of the mode byte pick the command.
void QueryOne(DtuSession &s, quint8 mode)
{
    switch ((mode >> 1) % 5) {
    case 0:
        CheckByte(DeviceCommands::QueryStatus(s));
        break;
    case 1:
        CheckByte(DeviceCommands::QuerySignal(s));
        break;
    case 2:
        (void)DeviceCommands::QueryVersion(s);
        break;
    case 3:
        (void)DeviceCommands::QueryImei(s);
        break;
    default:
        (void)DeviceCommands::ReadClock(s);
        break;
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzRig::App();
    static FuzzRig rig(false);
    const FuzzInput in(data, size);
    // Mode bit 0: a well-framed reply; bits 1-3 pick the command.
    const QByteArray reply = (in.mode & 1) ? FuzzRig::Framed(in.rest) : in.rest;
    rig.Answer(in.control, reply);
    DtuSession &s = rig.session;
    RunAction(s, [&] { QueryOne(s, in.mode); });
    return 0;
}
