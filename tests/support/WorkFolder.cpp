#include "support/WorkFolder.h"

#include "core/TextFile.h"
#include "support/TestPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

WorkFolder::WorkFolder(int examples)
{
    if (examples & kScript)
        CopyExample(QStringLiteral("script.js"));
    if (examples & kProfiles) {
        for (const char *name : {"example_profile.txt", "example_ext.txt", "example_tcp_profile.txt"})
            CopyExample(QLatin1String(name));
    }
}

QString WorkFolder::Path(const QString &name) const
{
    if (name.isEmpty())
        return dir_.path();
    return QDir::isAbsolutePath(name) ? name : dir_.filePath(name);
}

bool WorkFolder::CopyExample(const QString &name) const
{
    const QString target = Path(name);
    return QDir().mkpath(QFileInfo(target).path())
        && QFile::copy(TestPaths::Example(QFileInfo(name).fileName()), target);
}

void WorkFolder::Write(const QString &name, const QByteArray &bytes) const
{
    QFile file(Path(name));
    QDir().mkpath(QFileInfo(file.fileName()).path());
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(file.fileName()));
    QCOMPARE(file.write(bytes), bytes.size());
}

void WorkFolder::WriteGbk(const QString &name, const QString &text) const
{
    Write(name, TextFile::Encode(text, TextFile::Encoding::Gbk));
}

QByteArray WorkFolder::Read(const QString &name) const
{
    QFile file(Path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WorkFolder::RememberProfile(const QString &name) const
{
    Write(QStringLiteral("lastfile.log"), Path(name).toUtf8() + "\r\n");
}

Workspace::Workspace(int examples) : WorkFolder(examples), oldCwd_(QDir::currentPath())
{
    QDir::setCurrent(Path());
}

Workspace::~Workspace()
{
    QDir::setCurrent(oldCwd_);
}

ConfigHome::ConfigHome() : WorkFolder(kNoExamples), old_(qgetenv("XDG_CONFIG_HOME"))
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(Path()));
}

ConfigHome::~ConfigHome()
{
    qputenv("XDG_CONFIG_HOME", old_);
}

void ConfigHome::RememberLastProfile(const QString &profilePath) const
{
    Write(Tool(QStringLiteral("lastfile.log")), profilePath.toUtf8() + "\r\n");
}
