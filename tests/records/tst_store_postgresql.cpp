// The records on a PostgreSQL server that the test starts itself: the same
// tests as on a SQLite file (StoreSuite), through the same API.
#include "PgServer.h"
#include "StoreSuite.h"
#include "support/TestMain.h"

#include "store/RecordLocation.h"

#include <QSqlQuery>

class PostgresStoreTest : public StoreSuite {
    Q_OBJECT
protected:
    bool Prepare(QString *error) override { return server_.Start(error); }
    // Each test on a database of its own, which the store makes.
    QString NewLocation(const QString &name) override { return server_.Url(name.toLower()); }
    // No server listens in a folder that is not there.
    QString UnreachableLocation() override
    {
        return QStringLiteral("postgresql://postgres:secret@/records?host=/nonexistent/socket&port=%1")
            .arg(server_.Port());
    }
    QString Driver() const override { return QStringLiteral("QPSQL"); }
    void Configure(QSqlDatabase &db, const QString &location) override
    {
        RecordLocation where;
        QString why;
        RecordLocation::Parse(location, &where, &why);
        db.setHostName(where.host);
        db.setPort(where.port);
        db.setUserName(where.user);
        // The database made first, through the server's own one.
        {
            QSqlDatabase maker = QSqlDatabase::addDatabase(Driver(), QStringLiteral("maker"));
            maker.setHostName(where.host);
            maker.setPort(where.port);
            maker.setUserName(where.user);
            maker.setDatabaseName(QStringLiteral("postgres"));
            if (maker.open()) {
                QSqlQuery exists(maker);
                exists.exec(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = '%1'").arg(where.database));
                if (!exists.next())
                    QSqlQuery(maker).exec(QStringLiteral("CREATE DATABASE ") + where.database);
            }
            maker.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("maker"));
        db.setDatabaseName(where.database);
    }
    QStringList VersionOneTables() const override
    {
        return {
            QStringLiteral(
                "CREATE TABLE entries (id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY, time TEXT NOT NULL,"
                " operator TEXT NOT NULL, host TEXT NOT NULL, program TEXT NOT NULL, target TEXT NOT NULL,"
                " device_number TEXT NOT NULL, device_imei TEXT NOT NULL, device_firmware TEXT NOT NULL,"
                " profile_title TEXT NOT NULL, profile_path TEXT NOT NULL, profile_digest TEXT NOT NULL,"
                " action TEXT NOT NULL, outcome TEXT NOT NULL, details TEXT NOT NULL, fleet_run TEXT NOT NULL,"
                " restores BIGINT)"),
            QStringLiteral(
                "CREATE TABLE entry_rows (entry_id BIGINT NOT NULL REFERENCES entries (id), position INTEGER NOT NULL,"
                " param_table TEXT NOT NULL, number TEXT NOT NULL, name TEXT NOT NULL, before_raw TEXT NOT NULL,"
                " before_shown TEXT NOT NULL, after_raw TEXT NOT NULL, after_shown TEXT NOT NULL,"
                " result TEXT NOT NULL, PRIMARY KEY (entry_id, position))"),
            QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"),
        };
    }

private:
    PgServer server_;
};

namespace {
int PostgresStoreMain(int argc, char *argv[])
{
    return StoreSuite::Main<PostgresStoreTest>(argc, argv, __FILE__);
}
} // namespace

DTU_TEST_ENTRY(PostgresStoreMain)

#include "tst_store_postgresql.moc"
