// Placeholder bodies; the command set is being built.
#include "protocol/DeviceCommands.h"

namespace DeviceCommands {
int SelectParamChannel(DtuSession &, int) { return 0; }
int QueryStatus(DtuSession &) { return -2; }
int QuerySignal(DtuSession &) { return -2; }
QString QueryVersion(DtuSession &) { return {}; }
QString QueryImei(DtuSession &) { return {}; }
QString ReadClock(DtuSession &) { return {}; }
int SetClock(DtuSession &, const QDateTime &) { return -2; }
int Reset(DtuSession &) { return -2; }
int RestoreDefaults(DtuSession &) { return -2; }
} // namespace DeviceCommands
