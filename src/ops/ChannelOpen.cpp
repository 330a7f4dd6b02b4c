#include "ops/ChannelOpen.h"

#include "ops/DeviceCommands.h"
#include "ops/SerialToggle.h"
#include "ops/Wording.h"
#include "session/DtuSession.h"

#include <QCoreApplication>

namespace ChannelOpen {

int SelectMainTable(DtuSession &session)
{
    AppState &state = session.state;
    state.CurrentParamChannel = state.ExtPageVisible ? -1 : state.MainParamChannel;
    return DeviceCommands::SelectParamChannel(session, state.MainParamChannel);
}

namespace {

ChannelOutcome::Failure AttemptFailure(const TcpTransport &tcp)
{
    using Failure = ChannelOutcome::Failure;
    switch (tcp.LastFailure()) {
    case TcpTransport::Failure::Refused: return Failure::Refused;
    case TcpTransport::Failure::HostNotFound: return Failure::HostNotFound;
    case TcpTransport::Failure::TimedOut: return Failure::TimedOut;
    case TcpTransport::Failure::Other: return Failure::Other;
    case TcpTransport::Failure::None: break;
    }
    // Still trying when the limit ran out.
    return Failure::TimedOut;
}

// Waits on the session's clock while `busy` holds, at most limitMs.
template <typename Busy>
void WaitWhile(DtuSession &session, int limitMs, Busy busy)
{
    Scheduler &clock = session.scheduler;
    const qint64 start = clock.NowMs();
    while (busy() && !session.state.ClosingFlag && clock.NowMs() - start < limitMs) {
        clock.Sleep(10);
        clock.ProcessEvents();
    }
}

// "连接": connects, sends the password, waits for the outcome with the window
// responsive (the session's clock), then selects the main table. A
// connection already active is used as it is. A device that closes the
// connection before saying anything, right after the password (watched for
// kPasswordSettleMs) or during the selection, refused the password.
ChannelOutcome ConnectTcp(DtuSession &session, const QString &host, quint16 port, const QString &password)
{
    ChannelOutcome outcome;
    TcpTransport &tcp = session.tcp;
    const auto fail = [&](ChannelOutcome::Failure failure) {
        outcome.open = false;
        outcome.failure = failure;
        outcome.detail = tcp.LastErrorText();
        outcome.reason = Wording::ChannelFailure(outcome, host, port);
        return outcome;
    };
    // Whether it connected, not whether it is still connected: a device that
    // drops the connection right after the password refused the password,
    // which is told apart from a device out of reach.
    const bool fresh = !tcp.IsOpen();
    if (fresh) {
        bool connected = false;
        const QMetaObject::Connection watch = QObject::connect(
            &tcp, &TcpTransport::stateChanged, &tcp, [&connected](TcpTransport::State state) {
                connected = connected || state == TcpTransport::State::Active;
            });
        tcp.SetPort(port);
        tcp.Connect(host, password);
        // The transport gives an attempt up after its own connect limit, on
        // the session's scheduler: the wait ends by then at the latest.
        WaitWhile(session, TcpTransport::kConnectLimitMs, [&tcp] { return tcp.state() == TcpTransport::State::Connecting; });
        QObject::disconnect(watch);
        if (!connected)
            return fail(AttemptFailure(tcp));
        // A device drops a peer that does not know the password as soon as
        // it has read it: given a moment, the drop is seen before any command.
        WaitWhile(session, kPasswordSettleMs, [&tcp] { return tcp.IsOpen(); });
        if (!tcp.IsOpen() && !tcp.ReceivedAny())
            return fail(ChannelOutcome::Failure::PasswordRefused);
    }
    outcome.open = true;
    outcome.selection = SelectMainTable(session);
    // Dropped during the selection without a word: the same refusal.
    if (fresh && !tcp.IsOpen() && !tcp.ReceivedAny())
        return fail(ChannelOutcome::Failure::PasswordRefused);
    return outcome;
}

} // namespace

ChannelOutcome Open(DtuSession &session, const Endpoint &endpoint, const QString &password)
{
    if (endpoint.tcp)
        return ConnectTcp(session, endpoint.host, endpoint.tcpPort, password);
    // The serial port with the speed and format of the session's facts: a
    // port that is open already is left open.
    session.facts.PortText = endpoint.port;
    ChannelOutcome outcome;
    outcome.open = session.serial.IsOpen() || SerialToggle::Toggle(session, &outcome.selection);
    if (!outcome.open) {
        outcome.failure = ChannelOutcome::Failure::SerialPort;
        outcome.reason = session.facts.SerialStateText;
        if (!session.serial.FailureReason().isEmpty())
            outcome.reason += QCoreApplication::translate("SerialToggle", "：") + session.serial.FailureReason();
    }
    return outcome;
}

} // namespace ChannelOpen
