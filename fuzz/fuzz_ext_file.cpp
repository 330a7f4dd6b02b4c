// The extended parameter file loader: file bytes, encoding, JSON, rows.
#include "FuzzRig.h"

#include "core/DtuError.h"
#include "core/TextFile.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzRig::App();
    static FuzzRig rig(false);
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("ext.txt"));
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QFile file(path); // a plain write: the loader is under test, not the saver
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        __builtin_trap();
    file.close();
    try {
        ProfileLoader::LoadExtendedFile(rig.session, path);
    } catch (const DtuError &) {
    }
    if (rig.session.state.ExtParamIdList.size() % 2 != 0)
        __builtin_trap();
    return 0;
}
