#include "sim/SimOptionReader.h"

#include "protocol/Hex.h"

#include <QRegularExpression>

bool SimOptionReader::ToInt(const QString &text, int min, int max, int *out)
{
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!ok || v < min || v > max)
        return false;
    *out = v;
    return true;
}

bool SimOptionReader::Fail(const QString &reason) const
{
    *error_ = reason;
    return false;
}

bool SimOptionReader::NumberInto(const char *name, int min, int max, int *into) const
{
    if (!IsSet(name) || ToInt(Value(name), min, max, into))
        return true;
    return Fail(QStringLiteral("--%1 needs a number from %2 to %3, not \"%4\"")
                    .arg(QLatin1String(name)).arg(min).arg(max).arg(Value(name)));
}

bool SimOptionReader::Pair(const char *name, int firstMin, int firstMax, int secondMax, const char *example,
                           int *first, int *second) const
{
    if (!IsSet(name))
        return true;
    const QStringList parts = Value(name).split(QLatin1Char(':'));
    int a = 0, b = 0;
    if (parts.size() != 2 || !ToInt(parts[0], firstMin, firstMax, &a) || !ToInt(parts[1], 0, secondMax, &b))
        return Fail(QStringLiteral("--%1 needs N:MS, such as %2, not \"%3\"")
                        .arg(QLatin1String(name), QLatin1String(example), Value(name)));
    *first = a;
    *second = b;
    return true;
}

bool SimOptionReader::Hex(const char *name, QByteArray *into) const
{
    if (!IsSet(name))
        return true;
    static const QRegularExpression pairs(QStringLiteral("^([0-9A-Fa-f]{2})*$"));
    const QString text = Value(name).remove(QLatin1Char(' '));
    if (!pairs.match(text).hasMatch())
        return Fail(QStringLiteral("--%1 needs hex digits in pairs, not \"%2\"").arg(QLatin1String(name), Value(name)));
    *into = HexToBytes(text);
    return true;
}
