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

// How long a fresh connection is watched for the device dropping it after
// the password, before anything is sent.
inline constexpr int kPasswordSettleMs = 300;

// The endpoint's channel: its serial port (with the speed and format the
// session's facts hold; SerialToggle, with its texts) or its TCP maintenance
// port ("连接"). It did not open when the attempt failed (the serial port's
// text; for TCP refused, host not found, no answer within the limit), or
// when the device closed the connection right after the password.
ChannelOutcome Open(DtuSession &session, const Endpoint &endpoint, const QString &password);

// After a channel opened: the parameter channel is not known (with an
// extended page) and the main table's is selected. The selection's result.
int SelectMainTable(DtuSession &session);

} // namespace ChannelOpen
