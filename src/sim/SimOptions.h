#pragma once
#include "sim/SimMisbehaviour.h"
#include "sim/SimState.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// A parameter value a unit holds from the start (--value, --ext-value):
// raw bytes at once, or a text as the profile shows it, which only the
// profile's row and the script can turn into bytes (SimValues::Resolve).
struct SimGivenValue {
    bool extended = false; // the extended file's table
    quint16 number = 0;
    QString given;         // NUM=TEXT as on the command line
    QString text;          // TEXT
    std::optional<QByteArray> bytes;
};

// What one simulated unit may have of its own.
struct SimUnitSettings {
    QByteArray password = QByteArrayLiteral("480917");
    SimState state;
    SimMisbehaviour misbehaviour;
    QList<SimGivenValue> values;
};

// The command line of dtusim. Options before the first "--unit K" apply to
// every unit; those after it to unit K only, until the next --unit, laid
// over the shared ones.
struct SimOptions {
    static constexpr quint16 kDefaultTcpPort = 8888;
    static constexpr int kMaxCount = 1000;

    QString profilePath;
    QString scriptPath;   // empty: script.js beside the profile, else ./script.js
    bool tcp = false;     // false: a pseudo-terminal per unit
    // 0 picks a free port for each unit; otherwise unit K serves tcpPort + K - 1.
    quint16 tcpPort = kDefaultTcpPort;
    bool verbose = false;
    QList<SimUnitSettings> units{SimUnitSettings()}; // one per unit (--count)

    // Parses arguments (the program name first). Returns false with a
    // one-line reason in *error. With --help, sets *helpAsked and returns true
    // without filling *out.
    static bool Parse(const QStringList &arguments, SimOptions *out, QString *error, bool *helpAsked = nullptr);
    // "--version" with no text after it (last, or before another option)
    // asks for the program's version; with a text it sets the firmware's.
    static bool AsksProgramVersion(const QStringList &arguments);
    static QString Usage();
};
