#include "profile/DeviceProfile.h"

#include "core/DtuError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

bool ProfileParam::FromJson(const JsonValue &element, ProfileParam *out)
{
    if (!element.IsObject())
        return false;
    auto text = [&](const QString &key) {
        const JsonValue *v = element.Find(key);
        return v ? v->Text() : QString();
    };
    out->CMDID = text(ProfileKeys::CMDID);
    out->PNAME = text(ProfileKeys::PNAME);
    out->PVALUE = text(ProfileKeys::PVALUE);
    out->ONLIST = text(ProfileKeys::ONLIST);
    out->ONGET = text(ProfileKeys::ONGET);
    out->ONSET = text(ProfileKeys::ONSET);
    out->PNOTE = text(ProfileKeys::PNOTE);
    return true;
}

DeviceProfile DeviceProfile::FromDecoded(const TextFile::Decoded &decoded, const QString &path)
{
    DeviceProfile profile = FromText(decoded.text, path);
    profile.encoding_ = decoded.encoding;
    return profile;
}

DeviceProfile DeviceProfile::FromText(const QString &text, const QString &path)
{
    DeviceProfile profile;
    QString error;
    if (!JsonValue::Parse(text, &profile.root_, &error))
        throw DtuError(QCoreApplication::translate("DeviceProfile", "参数文件 %1 无法解析：%2").arg(path, error));
    if (!profile.root_.IsObject())
        throw DtuError(QCoreApplication::translate("DeviceProfile", "参数文件 %1 不是JSON对象").arg(path));
    profile.path_ = path;
    return profile;
}

QString DeviceProfile::Text(const QString &key) const
{
    const JsonValue *v = root_.Find(key);
    return v ? v->Text() : QString();
}

JsonValue *DeviceProfile::Params()
{
    JsonValue *v = root_.Find(ProfileKeys::Params);
    return v && v->IsArray() ? v : nullptr;
}

int DeviceProfile::MainChannel() const
{
    if (Text(ProfileKeys::ExParamFile).isEmpty())
        return 1;
    const JsonValue *channel = root_.Find(ProfileKeys::ExParamChannel);
    return channel ? channel->ToInt(0) : 0;
}

QString DeviceProfile::ExtendedFilePath(const QString &name, const QString &profilePath)
{
    const QFileInfo info(name);
    if (info.isAbsolute() || info.exists())
        return name;
    const QString beside = QFileInfo(profilePath).dir().filePath(name);
    return QFileInfo::exists(beside) ? beside : name;
}

QByteArray DeviceProfile::Render() const
{
    QString text = root_.ToIndentedText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    text += QLatin1String("\r\n");
    return TextFile::Encode(text, encoding_);
}

void DeviceProfile::SaveAs(const QString &path) const
{
    if (path.isEmpty())
        throw DtuError(QCoreApplication::translate("DeviceProfile", "没有可保存的参数文件"));
    TextFile::WriteAtomically(path, Render());
}
