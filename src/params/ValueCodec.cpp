#include "params/ValueCodec.h"

#include "core/DtuError.h"
#include "core/TextFile.h"
#include "protocol/Hex.h"
#include "script/ScriptHost.h"

#include <QRegularExpression>
#include <QtEndian>
#include <bit>
#include <cmath>

namespace ValueCodec {

bool IsGetFloat(const QString &onGet) { return onGet.contains(QLatin1String("GetFloat()")); }
bool IsSetStr(const QString &onSet) { return onSet.contains(QLatin1String("SetStr()")); }
bool IsSetFloat(const QString &onSet) { return onSet.contains(QLatin1String("SetFloat()")); }

QString Decode(ScriptHost &script, const QString &onGet, const QString &hexDigits)
{
    if (onGet.contains(QLatin1String("GetStr()"))) {
        // Devices pad a text field with zero bytes; the text ends at the
        // first, or the editor would hold characters no one can see or type.
        const QByteArray bytes = HexToBytes(hexDigits);
        const qsizetype zero = bytes.indexOf('\0');
        return TextFile::FromGbk(zero < 0 ? bytes : bytes.left(zero));
    }
    if (IsGetFloat(onGet)) {
        // The first four bytes, big-endian; missing low bytes count as 00.
        const QByteArray bytes = HexToBytes(hexDigits).leftJustified(4, '\0', true);
        const float value = std::bit_cast<float>(qFromBigEndian<quint32>(bytes.constData()));
        return QString::asprintf("%.3f", static_cast<double>(value));
    }
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
    return Encoded{QString(), problem, detail};
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
    return Encoded{QStringLiteral("%1").arg(std::bit_cast<quint32>(single), 8, 16, QLatin1Char('0')).toUpper()};
}

} // namespace

Encoded Encode(ScriptHost &script, const QString &onSet, const QString &text)
{
    if (IsSetFloat(onSet))
        return EncodeFloat(text);
    Encoded e;
    if (IsSetStr(onSet)) {
        // The device would get "?" for it.
        if (const QString lost = TextFile::NotInGbk(text); !lost.isEmpty())
            return Refused(Encoded::Problem::NotGbk, lost);
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
    if (e.hex.contains(nan))
        return Refused(Encoded::Problem::NotRepresentable);
    if (e.hex.isEmpty() && !text.isEmpty())
        return Refused(Encoded::Problem::NothingEncoded);
    if (!IsHexBytes(e.hex))
        return Refused(Encoded::Problem::NotWholeBytes, e.hex);
    return e;
}

} // namespace ValueCodec
