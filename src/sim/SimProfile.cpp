#include "sim/SimProfile.h"

#include "core/DtuError.h"
#include "core/WorkPaths.h"
#include "profile/DeviceProfile.h"
#include "protocol/Hex.h"

#include <QDir>
#include <QFileInfo>

namespace SimProfile {
namespace {

// Rows without a number are group headings; non-object entries are skipped
// so one bad entry does not hide the rest of the device.
QList<SimParam> ParamsOf(const DeviceProfile &profile)
{
    QList<SimParam> out;
    const JsonValue *params = profile.Params();
    if (!params)
        return out;
    for (const JsonValue &element : params->Items()) {
        ProfileParam p;
        if (!ProfileParam::FromJson(element, &p) || p.CMDID.trimmed().isEmpty())
            continue;
        out.append({static_cast<quint16>(HexToInt(p.CMDID.trimmed()) & 0xFFFF), ValueOf(p.PVALUE), p.ONLIST, p.ONSET});
    }
    return out;
}

SimTables Build(const DeviceProfile &profile, const DeviceProfile *extended)
{
    SimTables tables;
    tables.mainChannel = profile.MainChannel();
    tables.main = ParamsOf(profile);
    if (extended) {
        tables.hasExtended = true;
        tables.extended = ParamsOf(*extended);
    }
    return tables;
}

} // namespace

QByteArray ValueOf(const QString &pvalue)
{
    if (pvalue.size() <= 4)
        return {};
    return HexToBytes(pvalue.mid(4));
}

SimTables Load(const QString &profilePath)
{
    const DeviceProfile profile = DeviceProfile::FromFile(profilePath);
    const QString name = profile.Text(ProfileKeys::ExParamFile);
    if (name.isEmpty())
        return Build(profile, nullptr);
    const QString path = DeviceProfile::ExtendedFilePath(name, profilePath);
    if (!QFileInfo::exists(path))
        throw DtuError(QStringLiteral("extended parameter file %1 not found").arg(name));
    const DeviceProfile extended = DeviceProfile::FromFile(path);
    return Build(profile, &extended);
}

SimTables FromTexts(const QString &profileText, const QString &extendedText)
{
    const DeviceProfile profile = DeviceProfile::FromText(profileText);
    if (profile.Text(ProfileKeys::ExParamFile).isEmpty())
        return Build(profile, nullptr);
    const DeviceProfile extended = DeviceProfile::FromText(extendedText);
    return Build(profile, &extended);
}

QString DefaultScript(const QString &profilePath)
{
    const QString beside = QFileInfo(profilePath).dir().filePath(WorkPaths::kScriptName);
    if (QFileInfo::exists(beside))
        return beside;
    // Then the window's places without a profile: ./script.js, then the
    // configuration folder. Found nowhere: the error names ./script.js.
    const QString found = WorkPaths::LookUpScript(QString()).found;
    return found.isEmpty() ? WorkPaths::kScriptName : found;
}

} // namespace SimProfile
