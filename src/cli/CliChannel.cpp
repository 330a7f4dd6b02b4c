#include "cli/CliChannel.h"

#include "cli/CliOptions.h"
#include "ops/ChannelOpen.h"
#include "session/DtuSession.h"

namespace CliChannel {

ChannelOutcome Open(DtuSession &session, const CliOptions &options)
{
    if (!options.tcpHost.isEmpty())
        return ChannelOpen::ConnectTcp(session, options.tcpHost, options.tcpPort, options.password,
                                       ChannelOpen::kPasswordSettleMs);
    // Options override what the profile put into the serial boxes.
    if (!options.port.isEmpty())
        session.facts.PortText = options.port;
    if (!options.baud.isEmpty())
        session.facts.BaudText = options.baud;
    if (!options.format.isEmpty())
        session.facts.FormatText = options.format;
    return ChannelOpen::OpenSerial(session);
}

} // namespace CliChannel
