#pragma once
#include <QString>

// What a serial port name means on this system. The port box, dtucfg's
// --port and a fleet inventory take the same names: a path
// ("/dev/ttyUSB0"), a bare name ("ttyUSB0"), or "COMn", which means
// /dev/ttyS(n-1) on systems without COM names.
namespace PortNames {

// The device the name opens: a path or a bare name as it is, a COM name
// translated.
QString DeviceFromName(const QString &name);
// The device file the name opens ("/dev/ttyUSB0" for "ttyUSB0"): what two
// spellings of one port have in common, and what an open failure names.
QString DevicePath(const QString &name);
// Two names that open the same device file.
bool SameDevice(const QString &a, const QString &b);

} // namespace PortNames
