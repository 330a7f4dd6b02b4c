#pragma once
#include "sim/SimDevice.h"
#include "sim/SimMisbehaviour.h"

#include <QString>
#include <QStringList>

// The command line of dtusim.
struct SimOptions {
    static constexpr quint16 kDefaultTcpPort = 8888;

    QString profilePath;
    QString scriptPath;   // empty: script.js beside the profile, else ./script.js
    bool tcp = false;     // false: a pseudo-terminal
    quint16 tcpPort = kDefaultTcpPort; // 0 picks a free port
    QByteArray password = QByteArrayLiteral("480917");
    bool verbose = false;
    SimState state;
    SimMisbehaviour misbehaviour;

    // Parses arguments (the program name first). Returns false with a
    // one-line reason in *error. With --help, sets *helpAsked and returns true
    // without filling *out.
    static bool Parse(const QStringList &arguments, SimOptions *out, QString *error, bool *helpAsked = nullptr);
    // "--version" with no text after it (last, or before another option)
    // asks for the program's version; with a text it sets the firmware's.
    static bool AsksProgramVersion(const QStringList &arguments);
    static QString Usage();
};
