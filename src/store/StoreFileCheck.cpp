#include "store/StoreFileCheck.h"

#include "store/RecordSchema.h"

#include <QAtomicInteger>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace StoreFileCheck {
namespace {

using Kind = StoreError::Kind;

const QByteArray kSqliteMagic("SQLite format 3\0", 16);
// Byte 18 of the header: 2 when the database is in WAL mode.
constexpr int kReadVersionAt = 18;
constexpr char kWalMode = 2;

struct Contents {
    QStringList objects; // tables, indexes, views, triggers; not SQLite's own
    int version = 0;     // schema_version's, when it is there
};

// Reads the names it holds on a connection that cannot write. A WAL file
// without its -wal file beside it holds everything, and is read as
// immutable: a read-only connection would otherwise make -wal and -shm
// files and leave them there. Any other file is read under SQLite's locks,
// which make no file for reading.
bool Read(const QString &path, bool wal, int busyTimeoutMs, Contents *out, QString *error)
{
    static QAtomicInteger<quint64> counter;
    const QString name = QStringLiteral("dturecords-check-%1").arg(counter.fetchAndAddRelaxed(1));
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        const bool whole = wal && !QFileInfo::exists(path + QStringLiteral("-wal"));
        db.setDatabaseName(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)
                           + (whole ? QStringLiteral("?immutable=1") : QStringLiteral("?mode=ro")));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
        if (!db.open()) {
            *error = db.lastError().text();
        } else {
            QSqlQuery query(db);
            ok = query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE name NOT LIKE 'sqlite\\_%' ESCAPE '\\'"));
            while (ok && query.next())
                out->objects << query.value(0).toString();
            if (ok && out->objects.contains(QStringLiteral("schema_version"))) {
                ok = query.exec(QStringLiteral("SELECT MAX(version) FROM schema_version"));
                if (ok && query.next())
                    out->version = query.value(0).toInt();
            }
            if (!ok)
                *error = query.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

StoreError Check(const QString &path, int busyTimeoutMs)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || file.size() == 0)
        return {};
    if (!file.open(QIODevice::ReadOnly))
        return {.kind = Kind::CannotOpen, .reason = file.errorString()};
    const QByteArray header = file.read(100);
    file.close();
    if (!header.startsWith(kSqliteMagic))
        return {.kind = Kind::NotOurs};
    Contents contents;
    QString why;
    if (!Read(path, header.size() > kReadVersionAt && header[kReadVersionAt] == kWalMode, busyTimeoutMs, &contents,
              &why))
        return {.kind = Kind::CannotOpen, .reason = why};
    if (contents.objects.isEmpty())
        return {};
    if (!contents.objects.contains(QStringLiteral("schema_version")))
        return {.kind = Kind::NotOurs};
    // A newer version may have tables this one does not know.
    if (contents.version > RecordSchema::Latest())
        return {.kind = Kind::Newer, .version = contents.version, .known = RecordSchema::Latest()};
    const QStringList ours = RecordSchema::Objects();
    for (const QString &object : contents.objects)
        if (!ours.contains(object))
            return {.kind = Kind::NotOurs};
    return {};
}

} // namespace StoreFileCheck
