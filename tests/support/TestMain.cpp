// The main of the test programs: runs the registered test its first
// argument names (see TestMain.h).
#include "support/TestMain.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QMap>
#include <QSettings>

#include <cstdio>
#include <cstring>
#include <vector>

namespace TestRegistry {
namespace {
QMap<QString, Entry> &Entries()
{
    static QMap<QString, Entry> entries;
    return entries;
}
} // namespace

bool Add(const char *sourceFile, Entry entry)
{
    Entries().insert(QFileInfo(QString::fromUtf8(sourceFile)).completeBaseName(), entry);
    return true;
}

} // namespace TestRegistry

int main(int argc, char *argv[])
{
    const auto &entries = TestRegistry::Entries();
    const auto found = argc > 1 ? entries.constFind(QString::fromLocal8Bit(argv[1])) : entries.cend();
    if (found == entries.cend()) {
        std::fprintf(stderr, "usage: %s TEST [QtTest options]\ntests:\n", argv[0]);
        for (auto it = entries.cbegin(); it != entries.cend(); ++it)
            std::fprintf(stderr, "  %s\n", qPrintable(it.key()));
        return 2;
    }
    // The tool keeps files in the user's configuration folder: every test,
    // and every program a test starts, gets an empty one of its own.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    // And an empty data folder, where the device records are kept by
    // default: no test reads or adds to the user's own.
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
    // The window's settings go there too: QtTest's test mode would keep them
    // in ~/.qttest, which every checkout on the machine shares.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configHome.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configHome.path());
    // QtTest sees the program name and its own options only.
    std::vector<char *> args{argv[0]};
    args.insert(args.end(), argv + 2, argv + argc);
    args.push_back(nullptr);
    return found.value()(argc - 1, args.data());
}
