#include "protocol/Hex.h"

namespace {
const char kDigits[] = "0123456789ABCDEF";

int DigitValue(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return 0;
}
} // namespace

QString ByteToHex(quint8 value)
{
    const QChar digits[2] = {QChar(kDigits[value >> 4]), QChar(kDigits[value & 0x0F])};
    return QString(digits, 2);
}

QString BytesToHex(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size() * 2);
    for (char b : bytes) {
        const auto v = static_cast<quint8>(b);
        out += QChar(kDigits[v >> 4]);
        out += QChar(kDigits[v & 0x0F]);
    }
    return out;
}

QString BytesToSpacedHex(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size() * 3);
    for (char b : bytes) {
        const auto v = static_cast<quint8>(b);
        out += QChar(kDigits[v >> 4]);
        out += QChar(kDigits[v & 0x0F]);
        out += QLatin1Char(' ');
    }
    return out;
}

qint32 HexToInt(const QString &text)
{
    quint32 result = 0;
    for (QChar c : text)
        result = result * 16u + static_cast<quint32>(DigitValue(c));
    return static_cast<qint32>(result);
}

QByteArray HexToBytes(const QString &text)
{
    QByteArray out;
    const qsizetype pairs = text.size() / 2;
    out.reserve(pairs);
    for (qsizetype i = 0; i < pairs; ++i)
        out.append(static_cast<char>(HexToInt(text.mid(2 * i, 2)) & 0xFF));
    return out;
}

QByteArray WordToBytes(quint16 word)
{
    QByteArray out(2, '\0');
    out[0] = static_cast<char>(word >> 8);
    out[1] = static_cast<char>(word & 0xFF);
    return out;
}

quint16 ScriptCommandWord(const QString &scriptResult)
{
    const int high = HexToInt(scriptResult.mid(0, 2)) & 0xFF;
    const int low = HexToInt(scriptResult.mid(2, 2)) & 0xFF;
    return static_cast<quint16>(high * 256 + low);
}
