#pragma once
#include <QString>

class DtuSession;
struct CliOptions;

// Opens the data channel the options name, with the side effects of the
// window's controls: the serial open button (settings saved into the
// profile, the main parameter channel selected) or the TCP connect button.
namespace CliChannel {
// False with a reason when the channel did not open.
bool Open(DtuSession &session, const CliOptions &options, QString *reason);
} // namespace CliChannel
