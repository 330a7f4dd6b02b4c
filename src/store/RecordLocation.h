#pragma once
#include <QString>

// Where the records are kept: a SQLite file, or a team's PostgreSQL server
// given as postgresql://[USER[:PASSWORD]@][HOST][:PORT][/DATABASE][?KEY=VALUE&...]
// (postgres:// too). HOST may be a socket folder, percent-encoded
// (%2Frun%2Fpostgresql) or as ?host=/run/postgresql; other KEY=VALUE pairs
// (sslmode, connect_timeout...) go to the client library as they are.
struct RecordLocation {
    enum class Kind { File, Server };

    static constexpr quint16 kDefaultServerPort = 5432;
    static constexpr const char *kDefaultDatabase = "dtutools";

    Kind kind = Kind::File;
    QString path; // Kind::File: absolute
    QString user, password, host, database;
    quint16 port = kDefaultServerPort;
    QString clientOptions; // "key=value;key=value" for the client library

    // A file path (made absolute) or a server URL. False with a reason for
    // a URL that cannot be one.
    static bool Parse(const QString &text, RecordLocation *out, QString *error);
    // $XDG_DATA_HOME/dtutools/records.sqlite, or
    // ~/.local/share/dtutools/records.sqlite when that is unset or relative.
    static QString DefaultPath();

    // For messages: the file, or the URL without its password.
    QString Shown() const;
};
