// The records in SQLite files: the tests of every back end (StoreSuite),
// and what only a file has: its default place, WAL and waiting for another
// writer, a file of another program, and a store the user may not write.
#include "StoreSuite.h"
#include "support/StoreEntries.h"
#include "support/EnvironmentVariable.h"
#include "support/TestMain.h"

#include "store/RecordLocation.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <pwd.h>
#include <unistd.h>

namespace {

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class SqliteStoreTest : public StoreSuite {
    Q_OBJECT
protected:
    bool Prepare(QString *error) override
    {
        if (!dir_.isValid())
            *error = QStringLiteral("no temporary folder");
        return dir_.isValid();
    }
    // In a folder not made yet: the store makes it.
    QString NewLocation(const QString &name) override
    {
        return dir_.filePath(QStringLiteral("stores/%1/records.sqlite").arg(name));
    }
    // Its folder would have to be made inside a plain file.
    QString UnreachableLocation() override
    {
        const QString file = dir_.filePath(QStringLiteral("plain-file"));
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write("not a folder");
        return file + QStringLiteral("/records.sqlite");
    }
    QString Driver() const override { return QStringLiteral("QSQLITE"); }
    void Configure(QSqlDatabase &db, const QString &location) override
    {
        QDir().mkpath(QFileInfo(location).absolutePath());
        db.setDatabaseName(location);
    }
    QStringList VersionOneTables() const override
    {
        return {
            QStringLiteral(
                "CREATE TABLE entries (id INTEGER PRIMARY KEY AUTOINCREMENT, time TEXT NOT NULL,"
                " operator TEXT NOT NULL, host TEXT NOT NULL, program TEXT NOT NULL, target TEXT NOT NULL,"
                " device_number TEXT NOT NULL, device_imei TEXT NOT NULL, device_firmware TEXT NOT NULL,"
                " profile_title TEXT NOT NULL, profile_path TEXT NOT NULL, profile_digest TEXT NOT NULL,"
                " action TEXT NOT NULL, outcome TEXT NOT NULL, details TEXT NOT NULL, fleet_run TEXT NOT NULL,"
                " restores INTEGER)"),
            QStringLiteral(
                "CREATE TABLE entry_rows (entry_id INTEGER NOT NULL REFERENCES entries (id), position INTEGER NOT NULL,"
                " param_table TEXT NOT NULL, number TEXT NOT NULL, name TEXT NOT NULL, before_raw TEXT NOT NULL,"
                " before_shown TEXT NOT NULL, after_raw TEXT NOT NULL, after_shown TEXT NOT NULL,"
                " result TEXT NOT NULL, PRIMARY KEY (entry_id, position))"),
            QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"),
        };
    }
    void CheckIntact(const QString &location) override
    {
        QCOMPARE(RawValue(location, QStringLiteral("PRAGMA integrity_check")), QStringLiteral("ok"));
    }

private slots:
    void defaultFileFollowsXdgDataHome()
    {
        {
            EnvironmentVariable data("XDG_DATA_HOME", QFile::encodeName(dir_.filePath(QStringLiteral("data"))));
            QCOMPARE(RecordLocation::DefaultPath(), dir_.filePath(QStringLiteral("data/dtutools/records.sqlite")));
            // Made on first use, folders and all.
            OPEN_STORE(store, RecordLocation::DefaultPath());
            QVERIFY(store.Append(TestEntry(RecordAction::Read)).Ok());
            QVERIFY(QFile::exists(dir_.filePath(QStringLiteral("data/dtutools/records.sqlite"))));
        }
        const QString home = QDir::homePath() + QStringLiteral("/.local/share/dtutools/records.sqlite");
        {
            // A relative one does not count.
            EnvironmentVariable data("XDG_DATA_HOME", "relative/data");
            QCOMPARE(RecordLocation::DefaultPath(), home);
        }
        {
            EnvironmentVariable data("XDG_DATA_HOME", {}, false);
            QCOMPARE(RecordLocation::DefaultPath(), home);
        }
    }

    void writeAheadLogAndWaitingForAnotherWriter()
    {
        const QString where = Fresh();
        OPEN_STORE(store, where);
        QCOMPARE(RawValue(where, QStringLiteral("PRAGMA journal_mode")), QStringLiteral("wal"));

        // Another program holds the write lock for a moment; the append
        // waits for it instead of failing.
        std::atomic<bool> locked{false};
        QThread *holder = QThread::create([&] {
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
                db.setDatabaseName(where);
                db.open();
                QSqlQuery q(db);
                q.exec(QStringLiteral("BEGIN IMMEDIATE"));
                locked = true;
                QThread::msleep(700);
                q.exec(QStringLiteral("COMMIT"));
                db.close();
            }
            QSqlDatabase::removeDatabase(QStringLiteral("holder"));
        });
        holder->start();
        QTRY_VERIFY(locked);
        QElapsedTimer waited;
        waited.start();
        const StoreResult<qint64> added = store.Append(TestEntry(RecordAction::Read));
        const qint64 ms = waited.elapsed();
        QVERIFY(holder->wait(10000));
        delete holder;
        QVERIFY2(added.Ok(), qPrintable(added.error.message));
        QVERIFY2(ms >= 300, qPrintable(QStringLiteral("appended after %1 ms, while the lock was held").arg(ms)));
    }

    // Two programs making the same store at once (two fleet workers whose
    // first entries come together): the one that finds the other switching
    // the new file to WAL waits for it, as for any writer, instead of
    // giving up on the records.
    void makingAStoreAnotherIsMaking()
    {
        const QString where = Fresh();
        QVERIFY(QDir().mkpath(QFileInfo(where).absolutePath()));
        QProcess maker;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kMakerVariable), where);
        maker.setProcessEnvironment(env);
        maker.start(QCoreApplication::applicationFilePath(), {TestName()});
        QVERIFY(maker.waitForReadyRead(30000));
        QCOMPARE(maker.readLine().trimmed(), QByteArray("locked"));
        RecordLocation location;
        QString why;
        QVERIFY(RecordLocation::Parse(where, &location, &why));
        RecordStore store;
        const StoreError opened = store.Open(location);
        QVERIFY(maker.waitForFinished(30000));
        QCOMPARE(maker.exitCode(), 0);
        QVERIFY2(opened.IsNone(), qPrintable(opened.message));
        QVERIFY(store.Append(TestEntry(RecordAction::Read)).Ok());
        QCOMPARE(RawValue(where, QStringLiteral("PRAGMA journal_mode")), QStringLiteral("wal"));
    }

    // A file that is not a store of ours is refused before anything is written to it: its bytes and its
    // folder stay as they were (no journal mode switched, no -wal or -shm file). Ours, or an empty file, opens.
    void anotherProgramsFileIsLeftAlone_data()
    {
        QTest::addColumn<QStringList>("statements"); // on a plain connection; none: the file holds `bytes`
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("said");          // the refusal after the location; empty: it opens
        const QString theirs = QStringLiteral("这个文件属于另一个程序，不是本工具的设备档案；文件未作任何改动");
        QTest::newRow("its own tables") << QStringList{"CREATE TABLE orders (item TEXT)"} << QByteArray() << theirs;
        QTest::newRow("its own entries table") << QStringList{"CREATE TABLE entries (note TEXT)"} << QByteArray() << theirs;
        QTest::newRow("its own tables, in WAL mode")
            << QStringList{"PRAGMA journal_mode=WAL", "CREATE TABLE readings (at TEXT)", "INSERT INTO readings VALUES ('08:00')"}
            << QByteArray() << theirs;
        QTest::newRow("its own schema_version beside its tables")
            << QStringList{"CREATE TABLE schema_version (version INTEGER)", "CREATE TABLE users (name TEXT)"}
            << QByteArray() << theirs;
        QTest::newRow("a view, no table") << QStringList{"CREATE VIEW answer AS SELECT 42"} << QByteArray() << theirs;
        QTest::newRow("no database") << QStringList() << QByteArray("0137 写过\n").repeated(300) << theirs;
        QTest::newRow("ours, newer") << QStringList{"CREATE TABLE schema_version (version INTEGER)",
                                                    "INSERT INTO schema_version VALUES (99)"} << QByteArray()
                                     << "这份设备档案由更新版本的本工具写成（档案版本99，本程序只认识到版本2）；档案未作任何改动";
        QTest::newRow("ours, first version") << VersionOneTables() + QStringList{"INSERT INTO schema_version VALUES (1)"}
                                             << QByteArray() << QString();
        QTest::newRow("an empty file") << QStringList() << QByteArray() << QString();
    }
    void anotherProgramsFileIsLeftAlone()
    {
        QFETCH(QStringList, statements);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        const QString where = Fresh();
        const QDir folder = QFileInfo(where).dir();
        QVERIFY(statements.isEmpty() ? QDir().mkpath(folder.path()) && WriteFile(where, bytes) : RawExec(where, statements));
        const auto state = [&] {
            QFile f(where);
            f.open(QIODevice::ReadOnly);
            return folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System).join(' ').toUtf8() + f.readAll();
        };
        const QByteArray before = state();
        RecordLocation location;
        QString why;
        QVERIFY(RecordLocation::Parse(where, &location, &why));
        RecordStore store;
        const StoreError opened = store.Open(location);
        if (said.isEmpty()) {
            QVERIFY2(opened.IsNone() && store.Append(TestEntry(RecordAction::Read)).Ok(), qPrintable(opened.message));
            return;
        }
        QCOMPARE(opened.message, where + QStringLiteral("：") + said);
        QCOMPARE(state(), before);
    }

    // A store the user may only read (the file, then its folder too): the
    // writer is told why nothing was kept, and nothing is thrown. Run as a
    // user who is not root, since root may write anywhere.
    void storeTheUserMayNotWrite()
    {
        const QString where = Fresh();
        {
            OPEN_STORE(store, where);
            QVERIFY(store.Append(TestEntry(RecordAction::Read)).Ok());
        }
        const QString folder = QFileInfo(where).absolutePath();
        QStringList runAs;
        if (::geteuid() == 0) {
            const passwd *nobody = ::getpwnam("nobody");
            QVERIFY2(nobody, "no user nobody to run the writer as");
            runAs = {QStringLiteral("setpriv"), QStringLiteral("--reuid=%1").arg(nobody->pw_uid),
                     QStringLiteral("--regid=%1").arg(nobody->pw_gid), QStringLiteral("--clear-groups")};
            // It may reach the store; the folder is its own.
            for (QString up = QFileInfo(folder).absolutePath(); up.startsWith(dir_.path());
                 up = QFileInfo(up).absolutePath())
                QVERIFY(QFile::setPermissions(up, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                      | QFile::ReadOther | QFile::ExeOther));
            QVERIFY(::chown(QFile::encodeName(folder).constData(), nobody->pw_uid, nobody->pw_gid) == 0);
        }
        const auto tryAppend = [&] {
            QProcess writer;
            StartWriter(writer, 1, 1, where, runAs);
            writer.waitForFinished(60000);
            if (writer.exitStatus() != QProcess::NormalExit || writer.exitCode() != 1)
                return QStringLiteral("status %1: %2").arg(writer.exitCode()).arg(QString::fromUtf8(writer.readAll()));
            return QString::fromUtf8(writer.readAllStandardOutput()).trimmed();
        };
        QVERIFY(QFile::setPermissions(where, QFile::ReadOwner | QFile::ReadOther));
        QCOMPARE(tryAppend(), QStringLiteral("failed %1 %2：当前用户无权写这个文件")
                                  .arg(int(StoreError::Kind::FileReadOnly)).arg(where));
        QVERIFY(QFile::setPermissions(where, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther));
        QCOMPARE(tryAppend(),
                 QStringLiteral("failed %1 %2：当前用户无权在它的文件夹中写文件")
                     .arg(int(StoreError::Kind::FolderReadOnly)).arg(where));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        // The entry there before is still there, and alone.
        OPEN_STORE(store, where);
        QCOMPARE(store.Entries().value.size(), 1);
    }

private:
    QTemporaryDir dir_;
};

namespace {
int SqliteStoreMain(int argc, char *argv[])
{
    return StoreSuite::Main<SqliteStoreTest>(argc, argv, __FILE__);
}
} // namespace

DTU_TEST_ENTRY(SqliteStoreMain)

#include "tst_store_sqlite.moc"
