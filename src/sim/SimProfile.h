#pragma once
#include <QByteArray>
#include <QList>
#include <QString>

// What the simulated device knows from a device profile: the parameter
// numbers with their stored values, per table, and the channel that serves
// the main table.
struct SimParam {
    quint16 number = 0;
    QByteArray value;
    QString onList, onSet; // how the tool turns a shown text into bytes
};

struct SimTables {
    int mainChannel = 1;
    bool hasExtended = false;
    QList<SimParam> main;     // served on mainChannel
    QList<SimParam> extended; // served on channel 0
};

namespace SimProfile {

// Value bytes of a PVALUE text: "HEX:" and two digits per byte; four
// characters or fewer mean no value.
QByteArray ValueOf(const QString &pvalue);

// Reads the profile and, when it names one, the extended parameter file
// (taken from the current directory, else from the profile's folder).
// Throws DtuError when a file cannot be read or parsed.
SimTables Load(const QString &profilePath);
// Same from texts already read; extendedText is used only when the profile
// names an extended file.
SimTables FromTexts(const QString &profileText, const QString &extendedText = {});

// The default script: script.js beside the profile, else ./script.js, else
// script.js in the configuration folder (WorkPaths).
QString DefaultScript(const QString &profilePath);

} // namespace SimProfile
