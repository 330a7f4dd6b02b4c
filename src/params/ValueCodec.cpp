#include "params/ValueCodec.h"

#include "core/DtuError.h"
#include "core/TextFile.h"
#include "protocol/Hex.h"
#include "script/ScriptHost.h"

#include <QCoreApplication>
#include <QRegularExpression>
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

QString Encode(ScriptHost &script, const QString &onSet, const QString &text)
{
    QString hex;
    if (IsSetStr(onSet)) {
        hex = BytesToHex(TextFile::ToGbk(text));
    } else if (IsSetFloat(onSet)) {
        bool ok = false;
        const double number = text.trimmed().toDouble(&ok);
        if (!ok)
            throw DtuError(QCoreApplication::translate("ValueCodec", "“%1”不是数字").arg(text));
        const float single = static_cast<float>(number);
        quint32 bits = 0;
        std::memcpy(&bits, &single, sizeof bits);
        hex = QStringLiteral("%1").arg(bits, 8, 16, QLatin1Char('0')).toUpper();
    } else {
        script.SetGlobal(QStringLiteral("ascinput"), text);
        hex = script.Eval(onSet);
    }
    static const QRegularExpression nan(QStringLiteral("nan"), QRegularExpression::CaseInsensitiveOption);
    hex.replace(nan, QStringLiteral("00"));
    return hex;
}

} // namespace ValueCodec
