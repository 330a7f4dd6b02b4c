#pragma once
#include "channel/TcpTransport.h"
#include "core/Endpoint.h"
#include "ops/Outcomes.h"

#include <QString>

class DtuSession;

// The one home of opening the data channel, for the window's buttons and
// dtucfg alike. Each is one device action (front ends start it through
// RunAction): after opening, the device is put on the main table's channel,
// as the serial open button always did, and the table it served before is
// forgotten, since another program may have left it on the extended one.
namespace ChannelOpen {

// How long a TCP connect may take before it counts as failed: the
// transport's own limit.
inline constexpr int kTcpConnectLimitMs = TcpTransport::kConnectLimitMs;
// How long a fresh connection is watched for the device dropping it after
// the password, before anything is sent.
inline constexpr int kPasswordSettleMs = 300;

// Opens the serial port named in the session's facts (port box, speed,
// format) when it is closed: SerialToggle, with its texts. A port that is
// open already is left open.
ChannelOutcome OpenSerial(DtuSession &session);
// "连接": connects to host:port, sends the password, waits for the outcome
// with the window responsive (the session's clock), then selects the main
// table. A connection already active is used as it is. It did not open
// when the attempt failed (refused, host not found, no answer within the
// limit: the outcome says which), or when the device closed the connection
// before saying anything, right after the password (watched for
// kPasswordSettleMs) or during the selection: a refused password.
ChannelOutcome ConnectTcp(DtuSession &session, const QString &host, quint16 port, const QString &password);
// The endpoint's channel: its serial port (with the speed and format the
// session's facts hold) or its TCP maintenance port.
ChannelOutcome Open(DtuSession &session, const Endpoint &endpoint, const QString &password);
// "断开".
void DisconnectTcp(DtuSession &session);

// After a channel opened: the parameter channel is not known (with an
// extended page) and the main table's is selected. The selection's result.
int SelectMainTable(DtuSession &session);

} // namespace ChannelOpen
