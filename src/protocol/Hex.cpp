#include "protocol/Hex.h"

#include <algorithm>
#include <cctype>

namespace {
// Any character but a hex digit counts as 0.
quint32 DigitValue(QChar c)
{
    static const QString digits = QStringLiteral("0123456789abcdef");
    return static_cast<quint32>(qMax<qsizetype>(0, digits.indexOf(c, 0, Qt::CaseInsensitive)));
}
} // namespace

bool IsHexBytes(QStringView digits)
{
    return digits.size() % 2 == 0
        && std::all_of(digits.begin(), digits.end(), [](QChar c) { return isxdigit(c.toLatin1()); });
}

QString BytesToHex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QString BytesToSpacedHex(const QByteArray &bytes)
{
    return bytes.isEmpty() ? QString() : QString::fromLatin1(bytes.toHex(' ').toUpper() + ' ');
}

qint32 HexToInt(const QString &text)
{
    quint32 result = 0;
    for (QChar c : text)
        result = result * 16u + DigitValue(c);
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
    const char bytes[] = {static_cast<char>(word >> 8), static_cast<char>(word & 0xFF)};
    return QByteArray(bytes, 2);
}

quint16 ScriptCommandWord(const QString &scriptResult)
{
    const int high = HexToInt(scriptResult.mid(0, 2)) & 0xFF;
    const int low = HexToInt(scriptResult.mid(2, 2)) & 0xFF;
    return static_cast<quint16>(high * 256 + low);
}
