#pragma once
#include <QByteArray>
#include <QString>

// "AA 55 00 04" -> bytes; blanks ignored. Keeps test vectors readable.
inline QByteArray Bytes(const char *spacedHex)
{
    return QByteArray::fromHex(QByteArray(spacedHex).replace(' ', ""));
}
