// Placeholder; being built.
#include "tools/ControlMode.h"
namespace ControlMode {
void ReadSignal(DtuSession &) {}
void ReadStatus(DtuSession &) {}
void ReadVersion(DtuSession &) {}
void ReadClock(DtuSession &) {}
void SetClock(DtuSession &) {}
} // namespace ControlMode
