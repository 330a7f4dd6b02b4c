#pragma once
#include "core/Endpoint.h"
#include "core/Translation.h"

#include <QString>
#include <QStringList>

struct RecordLocation;

// The options about the device records: where they are kept, and what the
// history command shows.
struct RecordOptions {
    static constexpr int kDefaultLimit = 50;

    QString location;  // --records PATH|URL; "" for the default file
    bool off = false;  // --no-records
    int limit = -1;    // history --limit N: at most N entries (0: all; -1: not given, kDefaultLimit)
    qint64 show = 0;   // history --show ID
    bool diff = false; // history --diff ID1 ID2
    bool snapshot = false; // write, batch: read and record the device first
    QString run;       // rollback --run ID: the fleet run to undo
    bool identify = false; // fleet: each worker queries version and IMEI first
    QString fleetRun;  // provision --fleet-run ID: the fleet run the worker's entries belong to
};

// The command line of dtucfg: options, then a command and its arguments.
// Options may also follow the command; "--" ends them.
struct CliOptions {
    QString profilePath;   // empty: the profile the lastfile.log in use names, if any
    QString scriptPath;    // empty: looked for as the window does (WorkPaths)
    QString port, baud, format; // empty: the profile's, else COM1 / 57600 / 8N1
    std::optional<Endpoint> tcp; // --tcp HOST[:PORT]: the TCP maintenance connection instead of the serial port
    std::optional<quint16> tcpPort; // --tcp-port, over a port in --tcp
    QString password = QStringLiteral("480917");
    QString passwordFile;       // --password-file: its first line ("-": standard input)
    int level = 0;         // AccessLevel
    bool ext = false;      // act on the extended table
    bool json = false;
    bool fast = false;
    // The lines are Chinese unless asked otherwise: scripts match them.
    Language language = Language::Chinese;
    bool help = false;
    bool showVersion = false; // --version, not the device's version command
    int watchSeconds = 0;  // signal --watch N: read every N seconds until stopped
    bool keepProfile = false; // opening the serial port leaves the profile file alone
    QStringList ignore;       // verify: parameter numbers not compared
    QStringList set;          // provision: NUM=TEXT values over the profile's
    bool events = false;      // provision: JSON lines on standard output
    bool verify = false;      // provision, fleet: read back and compare
    bool writeAll = false;    // provision, fleet: every row, also those the device holds
    bool audit = false;       // provision: read and compare only (the audit's worker)
    bool dryRun = false;      // rollback: list what it would write
    int jobs = 0;             // fleet: devices at once (0: all, at most 16)
    QString report;           // fleet: the report file (.csv or .json)
    bool strict = false;      // check: warnings count as faults
    RecordOptions records;    // --records, --no-records; history's options
    QString command;
    QStringList arguments;
    QStringList given;        // the options given, by name ("baud"), first use first

    // Where the device is: --tcp (with --tcp-port), else --port.
    Endpoint Target() const
    {
        if (!tcp)
            return Endpoint::Serial(port);
        return Endpoint::Tcp(tcp->host, tcpPort.value_or(tcp->tcpPort));
    }
    // Where the records are: --records, else the default file. False with a
    // reason for a URL that cannot be one.
    bool RecordsAt(RecordLocation *out, QString *error) const;

    // Parses the arguments after the program name. False with a one-line
    // reason in *error for an unknown option or a bad value (the reason says
    // what a valid one is).
    static bool Parse(const QStringList &args, CliOptions *out, QString *error);
    // The TCP password from --password-file, else from DTU_PASSWORD when
    // --password was not given. False with the reason when the file cannot
    // be read.
    static bool ReadPassword(CliOptions *out, QString *error);
    // Looks ahead for --lang and --json, so that a command line that does
    // not parse is refused in the language, and the form, it asked for.
    static void Peek(const QStringList &args, Language *language, bool *json);
    static QString Usage();
};
