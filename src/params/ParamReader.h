#pragma once
#include <QByteArray>

class DtuSession;

// Reading every parameter of a table from the device in one exchange.
namespace ParamReader {

// "读取" on the main page (btRead): channel check, channel selection, read.
void ReadMainPage(DtuSession &session);
// "读取" on the extended page (Button16).
void ReadExtendedPage(DtuSession &session);

void ReadAllParameters(DtuSession &session);
void ReadParamGroup(DtuSession &session, const QByteArray &idList);
void ApplyParamValue(DtuSession &session, quint16 number, const QByteArray &value);

} // namespace ParamReader
