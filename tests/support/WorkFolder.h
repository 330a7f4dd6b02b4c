#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A fresh temporary folder for the files a test reads and writes: device
// profiles, script.js, extended parameter files, lastfile.log. It goes with
// everything in it when the test ends. Writers fail the test (QVERIFY) when
// a file cannot be written.
class WorkFolder {
public:
    // Which of the example files (examples/) are copied in.
    enum Examples {
        kNoExamples = 0,
        kScript = 1,   // script.js
        kProfiles = 2, // example_profile.txt, example_ext.txt, example_tcp_profile.txt
        kAllExamples = kScript | kProfiles,
    };

    explicit WorkFolder(int examples = kNoExamples);
    WorkFolder(const WorkFolder &) = delete;
    WorkFolder &operator=(const WorkFolder &) = delete;

    bool IsValid() const { return dir_.isValid(); }
    // The folder itself, or a file (or sub-folder) in it. The file
    // functions below take these names, or absolute paths as they are.
    QString Path(const QString &name = {}) const;

    // Copies examples/<name> to <name> here (or into a sub-folder given as
    // "sub/name", which is made); false when it could not.
    bool CopyExample(const QString &name) const;
    void Write(const QString &name, const QByteArray &bytes) const;
    // Text as a profile made on Windows holds it: GBK.
    void WriteGbk(const QString &name, const QString &text) const;
    // The file's bytes; empty when it cannot be read.
    QByteArray Read(const QString &name) const;
    // lastfile.log naming a profile of this folder, as the window leaves it.
    void RememberProfile(const QString &name) const;

private:
    QTemporaryDir dir_;
};

// A work folder that is the current folder for its life: the window and
// the command line read ./script.js and ./lastfile.log.
class Workspace : public WorkFolder {
public:
    explicit Workspace(int examples = kAllExamples);
    ~Workspace();

private:
    QString oldCwd_;
};

// A configuration home (XDG_CONFIG_HOME) of its own for its life: the tool
// keeps lastfile.log, and may find script.js, in Tool(). The test programs
// start with an empty one, so no test sees the user's real files.
class ConfigHome : public WorkFolder {
public:
    ConfigHome();
    ~ConfigHome();
    // The tool's folder in it (dtutools/), or a file there.
    QString Tool(const QString &name = {}) const { return Path(QStringLiteral("dtutools/") + name); }
    // The lastfile.log kept there, naming profilePath.
    void RememberLastProfile(const QString &profilePath) const;

private:
    QByteArray old_;
};
