#include "cli/CliChannel.h"

#include "session/DtuSession.h"
#include "ops/PageEntry.h"
#include "ops/SerialToggle.h"
#include "cli/CliOptions.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace CliChannel {
namespace {

bool OpenSerial(DtuSession &session, const CliOptions &options, QString *reason)
{
    // Options override what the profile put into the serial boxes.
    if (!options.port.isEmpty())
        session.facts.PortText = options.port;
    if (!options.baud.isEmpty())
        session.facts.BaudText = options.baud;
    if (!options.format.isEmpty())
        session.facts.FormatText = options.format;
    // Whether the port opened, not whether it is still open: a device that
    // vanishes during the channel selection is a failed device operation.
    if (SerialToggle::Toggle(session))
        return true;
    *reason = session.facts.SerialStateText;
    if (!session.serial.FailureReason().isEmpty())
        *reason += QCoreApplication::translate("SerialToggle", "：") + session.serial.FailureReason();
    return false;
}

bool OpenTcp(DtuSession &session, const CliOptions &options, QString *reason)
{
    TcpTransport &tcp = session.tcp;
    tcp.SetPort(options.tcpPort);
    // The transport gives up an attempt after its connect limit.
    QEventLoop loop;
    QObject::connect(&tcp, &TcpTransport::stateChanged, &loop, [&loop](TcpTransport::State state) {
        if (state != TcpTransport::State::Connecting)
            loop.quit();
    });
    tcp.Connect(options.tcpHost, options.password);
    if (tcp.state() == TcpTransport::State::Connecting)
        loop.exec();
    if (!tcp.IsOpen()) {
        *reason = QStringLiteral("%1 %2:%3").arg(TcpTransport::FailedText(), options.tcpHost).arg(options.tcpPort);
        return false;
    }
    // The device keeps its parameter channel from one connection to the
    // next, and an earlier run may have left it on the extended table's:
    // select the main channel afresh, as opening the serial port does.
    if (session.state.ExtPageVisible)
        session.state.CurrentParamChannel = -1;
    // The window stands on its main page: its parameter channel is the one
    // a read or write there uses.
    PageEntry::OnPageShown(session, Page::Main);
    return true;
}

} // namespace

bool Open(DtuSession &session, const CliOptions &options, QString *reason)
{
    return options.tcpHost.isEmpty() ? OpenSerial(session, options, reason) : OpenTcp(session, options, reason);
}

} // namespace CliChannel
