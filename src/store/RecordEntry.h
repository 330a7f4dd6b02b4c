#pragma once
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>

// One entry of the device records: what one action did to one device, as
// plain values. Entries are only ever added; a rollback is a new entry that
// names the snapshot it restores.

// A parameter's value: the raw bytes as the table shows them ("HEX:0A0B")
// and the text shown for them. A value not known (no read before a write)
// is the empty value.
struct RecordValue {
    QString raw;
    QString shown;
    bool IsKnown() const { return !raw.isEmpty() || !shown.isEmpty(); }
    friend bool operator==(const RecordValue &, const RecordValue &) = default;
};

// One parameter row: for a read, `after` is the value read; for a write,
// `before` is the last value read from the device (when known) and `after`
// the value written.
struct RecordRow {
    QString table = QStringLiteral("main"); // "main" or "ext": numbers may repeat across tables
    QString number;
    QString name;
    RecordValue before;
    RecordValue after;
    QString result; // a stable identifier ("ok", "refused", "not-reached"...)
    friend bool operator==(const RecordRow &, const RecordRow &) = default;
};

// The device number is row 0091's value when it was read; IMEI and
// firmware when they were queried.
struct DeviceIdentity {
    QString number;
    QString imei;
    QString firmware;
    friend bool operator==(const DeviceIdentity &, const DeviceIdentity &) = default;
};

struct ProfileRef {
    QString title;
    QString path;
    QString digest; // of the profile's rows, so two copies of one profile match
    friend bool operator==(const ProfileRef &, const ProfileRef &) = default;
};

// Who recorded an entry.
namespace RecordProgram {
inline const QString Window = QStringLiteral("window");
inline const QString Dtucfg = QStringLiteral("dtucfg");
inline const QString Fleet = QStringLiteral("fleet");
} // namespace RecordProgram

namespace RecordAction {
inline const QString Read = QStringLiteral("read");
inline const QString Write = QStringLiteral("write");
inline const QString Batch = QStringLiteral("batch");
inline const QString Save = QStringLiteral("save");
inline const QString Verify = QStringLiteral("verify");
inline const QString Provision = QStringLiteral("provision");
inline const QString Restore = QStringLiteral("restore");
inline const QString Reset = QStringLiteral("reset");
inline const QString Rollback = QStringLiteral("rollback");
inline const QString Identify = QStringLiteral("identify");
inline const QString Audit = QStringLiteral("audit");
} // namespace RecordAction

struct RecordEntry {
    qint64 id = 0;   // given by the store; 0 before it is appended
    QDateTime time;  // UTC, kept to the millisecond
    QString operatorName; // the login name
    QString host;
    QString program; // RecordProgram
    QString target;  // a serial port, or "tcp:HOST:PORT"
    DeviceIdentity device;
    ProfileRef profile;
    QString action;  // RecordAction
    QString outcome; // a stable identifier: "ok", "failed", "written-with-errors"...
    QJsonObject details; // what the outcome value holds beyond its identifier
    QString fleetRun;    // shared by the entries of one fleet run; "" outside one
    qint64 restores = 0; // a rollback: the id of the snapshot it restores
    QList<RecordRow> rows;

    // What the entry files the device under: its number, else its IMEI,
    // else the target it was reached on.
    QString DeviceKey() const;

    friend bool operator==(const RecordEntry &, const RecordEntry &) = default;
};

namespace RecordEntries {
// An entry begun now by this user on this computer: time, operator, host,
// program and action filled in.
RecordEntry Begin(const QString &program, const QString &action);
// A time as entries keep it: UTC, ISO 8601 with milliseconds
// ("2024-05-01T08:30:00.250Z"), so that text order is time order.
QString TimeText(const QDateTime &time);
QDateTime TimeFromText(const QString &text);
// The details without any member that could hold a password, at any depth:
// the store never keeps one.
QJsonObject WithoutPasswords(const QJsonObject &details);
// A parameter whose name says it holds a password ("密码", "口令",
// "password" in any letter case): its values are never kept, only that it
// was read or written and how that went.
bool IsSecretRow(const QString &name);
// The row as the store keeps it: a secret row without its values.
RecordRow Kept(RecordRow row);
} // namespace RecordEntries
