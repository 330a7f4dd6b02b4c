#include "cli/CliChannel.h"

#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "ops/ChannelOpen.h"
#include "session/DtuSession.h"

#include <QCoreApplication>

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

Failure Refused(const ChannelOutcome &channel)
{
    if (channel.failure == ChannelOutcome::Failure::SerialPort)
        return {CliVerdict::kUsage, QCoreApplication::translate("Dtucfg", "数据通道没有打开：") + channel.reason};
    QString text = channel.reason;
    if (channel.failure == ChannelOutcome::Failure::PasswordRefused)
        text += QCoreApplication::translate("Dtucfg", "（密码用 --password 给出，默认 480917）");
    return {CliVerdict::kFailed, text};
}

} // namespace CliChannel
