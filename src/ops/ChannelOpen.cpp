#include "ops/ChannelOpen.h"

#include "ops/DeviceCommands.h"
#include "ops/SerialToggle.h"
#include "session/DtuSession.h"

#include <QCoreApplication>

namespace ChannelOpen {

int SelectMainTable(DtuSession &session)
{
    AppState &state = session.state;
    state.CurrentParamChannel = state.ExtPageVisible ? -1 : state.MainParamChannel;
    return DeviceCommands::SelectParamChannel(session, state.MainParamChannel);
}

ChannelOutcome OpenSerial(DtuSession &session)
{
    ChannelOutcome outcome;
    if (session.serial.IsOpen()) {
        outcome.open = true;
        return outcome;
    }
    outcome.open = SerialToggle::Toggle(session, &outcome.selection);
    if (!outcome.open) {
        outcome.reason = session.facts.SerialStateText;
        if (!session.serial.FailureReason().isEmpty())
            outcome.reason += QCoreApplication::translate("SerialToggle", "：") + session.serial.FailureReason();
    }
    return outcome;
}

ChannelOutcome ConnectTcp(DtuSession &session, const QString &host, quint16 port, const QString &password)
{
    ChannelOutcome outcome;
    TcpTransport &tcp = session.tcp;
    // Whether it connected, not whether it is still connected: a device that
    // drops the connection right after the password refused the password,
    // which the caller may tell from a device out of reach.
    bool connected = tcp.IsOpen();
    if (!connected) {
        const QMetaObject::Connection watch = QObject::connect(
            &tcp, &TcpTransport::stateChanged, &tcp, [&connected](TcpTransport::State state) {
                connected = connected || state == TcpTransport::State::Active;
            });
        tcp.SetPort(port);
        tcp.Connect(host, password);
        ExchangeClock &clock = session.exchange.Clock();
        const qint64 start = clock.NowMs();
        while (tcp.state() == TcpTransport::State::Connecting && !session.state.ClosingFlag
               && clock.NowMs() - start < kTcpConnectLimitMs) {
            clock.Sleep(10);
            clock.ProcessEvents();
        }
        QObject::disconnect(watch);
    }
    outcome.open = connected;
    if (!outcome.open) {
        outcome.reason = QStringLiteral("%1 %2:%3").arg(TcpTransport::FailedText(), host).arg(port);
        return outcome;
    }
    outcome.selection = SelectMainTable(session);
    return outcome;
}

void DisconnectTcp(DtuSession &session)
{
    session.tcp.Disconnect();
}

} // namespace ChannelOpen
