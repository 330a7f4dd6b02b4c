#pragma once
#include "support/TestPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// A working folder holding copies of the examples, made current for the
// test's life: the window reads script.js and lastfile.log from there.
class Workspace {
public:
    explicit Workspace(bool withScript = true) : oldCwd_(QDir::currentPath())
    {
        const QStringList names = {QStringLiteral("example_profile.txt"), QStringLiteral("example_ext.txt"),
                                   QStringLiteral("example_tcp_profile.txt"), QStringLiteral("script.js")};
        for (const QString &name : names)
            if (withScript || name != QLatin1String("script.js"))
                QFile::copy(TestPaths::Example(name), Path(name));
        QDir::setCurrent(dir_.path());
    }
    ~Workspace() { QDir::setCurrent(oldCwd_); }
    QString Path(const QString &name) const { return dir_.filePath(name); }
    void RememberProfile(const QString &name) const
    {
        QFile log(Path(QStringLiteral("lastfile.log")));
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.write(Path(name).toUtf8() + "\r\n");
    }
    void Write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(Path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private:
    QTemporaryDir dir_;
    QString oldCwd_;
};

