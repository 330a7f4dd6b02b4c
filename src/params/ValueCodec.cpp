#include "params/ValueCodec.h"

#include "core/DtuError.h"
#include "core/TextFile.h"
#include "protocol/Hex.h"
#include "script/ScriptHost.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <cmath>
#include <cstring>

namespace ValueCodec {

bool IsGetStr(const QString &onGet) { return onGet.contains(QLatin1String("GetStr()")); }
bool IsGetFloat(const QString &onGet) { return onGet.contains(QLatin1String("GetFloat()")); }
bool IsSetStr(const QString &onSet) { return onSet.contains(QLatin1String("SetStr()")); }
bool IsSetFloat(const QString &onSet) { return onSet.contains(QLatin1String("SetFloat()")); }

QString BytesAsText(const QString &hexDigits)
{
    return TextFile::FromGbk(HexToBytes(hexDigits));
}

QString BytesAsFloatText(const QString &hexDigits)
{
    QByteArray bytes = HexToBytes(hexDigits).left(4);
    while (bytes.size() < 4)
        bytes.append('\0');
    const quint32 bits = (static_cast<quint32>(static_cast<quint8>(bytes[0])) << 24)
        | (static_cast<quint32>(static_cast<quint8>(bytes[1])) << 16)
        | (static_cast<quint32>(static_cast<quint8>(bytes[2])) << 8)
        | static_cast<quint32>(static_cast<quint8>(bytes[3]));
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return QString::asprintf("%.3f", static_cast<double>(value));
}

QString Decode(ScriptHost &script, const QString &onGet, const QString &hexDigits)
{
    if (IsGetStr(onGet))
        return BytesAsText(hexDigits);
    if (IsGetFloat(onGet))
        return BytesAsFloatText(hexDigits);
    script.SetGlobal(QStringLiteral("hexinput"), hexDigits);
    return script.Eval(onGet);
}

bool IsPlainNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    return number.match(text.trimmed()).hasMatch();
}

namespace {

Encoded Refused(Encoded::Problem problem, const QString &detail = {})
{
    Encoded e;
    e.problem = problem;
    e.detail = detail;
    return e;
}

Encoded EncodeFloat(const QString &text)
{
    if (!IsPlainNumber(text)) {
        QString dotted = text;
        dotted.replace(QLatin1Char(','), QLatin1Char('.'));
        return Refused(text.contains(QLatin1Char(',')) && IsPlainNumber(dotted) ? Encoded::Problem::DecimalComma
                                                                                 : Encoded::Problem::NotANumber);
    }
    const float single = static_cast<float>(text.trimmed().toDouble());
    if (!std::isfinite(single))
        return Refused(Encoded::Problem::NotRepresentable);
    quint32 bits = 0;
    std::memcpy(&bits, &single, sizeof bits);
    Encoded e;
    e.hex = QStringLiteral("%1").arg(bits, 8, 16, QLatin1Char('0')).toUpper();
    return e;
}

} // namespace

Encoded Encode(ScriptHost &script, const QString &onSet, const QString &text)
{
    if (IsSetFloat(onSet))
        return EncodeFloat(text);
    Encoded e;
    if (IsSetStr(onSet)) {
        e.hex = BytesToHex(TextFile::ToGbk(text));
    } else {
        try {
            script.SetGlobal(QStringLiteral("ascinput"), text);
            e.hex = script.Eval(onSet);
        } catch (const DtuError &error) {
            return Refused(Encoded::Problem::ScriptError, error.text());
        }
    }
    static const QRegularExpression nan(QStringLiteral("nan"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression pairs(QStringLiteral("^([0-9A-Fa-f]{2})*$"));
    if (e.hex.contains(nan))
        return Refused(Encoded::Problem::NotRepresentable);
    if (e.hex.isEmpty() && !text.isEmpty())
        return Refused(Encoded::Problem::NothingEncoded);
    if (!pairs.match(e.hex).hasMatch())
        return Refused(Encoded::Problem::NotWholeBytes, e.hex);
    return e;
}

} // namespace ValueCodec
