#include "cli/CliChannel.h"

#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "ops/ChannelOpen.h"
#include "session/DtuSession.h"

#include <QCoreApplication>

namespace CliChannel {

ChannelOutcome Open(DtuSession &session, const CliOptions &options)
{
    // Options override what the profile put into the serial boxes.
    if (!options.baud.isEmpty())
        session.facts.BaudText = options.baud;
    if (!options.format.isEmpty())
        session.facts.FormatText = options.format;
    const Endpoint target = options.Target();
    const ChannelOutcome outcome = ChannelOpen::Open(
        session, target.tcp || !target.port.isEmpty() ? target : Endpoint::Serial(session.facts.PortText),
        options.password);
    // Opening the port raises the level to 1 as the window's button does;
    // the command line keeps the level it was given.
    session.state.AccessLevel = options.level;
    return outcome;
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
