#pragma once
#include "store/RecordStore.h"

#include <QObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QTest>

// The tests every back end of the records must pass, one body for SQLite
// files and a PostgreSQL server: a back end's test class derives from this
// and says how to make a fresh store. Its program also serves as the
// concurrent writer the tests start (see Main).
class StoreSuite : public QObject {
    Q_OBJECT
public:
    // The test class Suite, or, in a child that a test started, a writer
    // that appends entries and says how it went.
    template <typename Suite>
    static int Main(int argc, char *argv[], const char *sourceFile)
    {
        QCoreApplication app(argc, argv);
        TestName() = QFileInfo(QString::fromUtf8(sourceFile)).completeBaseName();
        if (qEnvironmentVariableIsSet(kWriterVariable))
            return Writer();
        if (qEnvironmentVariableIsSet(kMakerVariable))
            return Maker();
        Suite suite;
        return QTest::qExec(&suite, argc, argv);
    }

    // DTU_RECORDS_WRITER="N<TAB>COUNT<TAB>LOCATION": appends COUNT entries
    // of writer N (target "writer-N", 40 rows each). Exit 0 when all were
    // kept; else 1 after a line "failed KIND MESSAGE" on standard output.
    static constexpr const char *kWriterVariable = "DTU_RECORDS_WRITER";
    // The name this program runs the suite under (see TestMain.h).
    static QString &TestName();
    static int Writer();
    // DTU_RECORDS_MAKER=FILE: another program of ours making the SQLite file FILE:
    // it takes the file's write lock before WAL mode, makes schema_version, says
    // "locked" on standard output, holds the lock half a second, commits.
    static constexpr const char *kMakerVariable = "DTU_RECORDS_MAKER";
    static int Maker();
    // The writer as a child process of this program, for `location`.
    static void StartWriter(QProcess &process, int writer, int count, const QString &location,
                            const QStringList &runAs = {});

protected:
    // Sets the back end up once (a server to start); false with a reason.
    virtual bool Prepare(QString *error) = 0;
    // A location no store has been opened at yet.
    virtual QString NewLocation(const QString &name) = 0;
    // A location that cannot be opened.
    virtual QString UnreachableLocation() = 0;
    // A plain connection to the store at `location` (made empty first when
    // needed), for writing what an older or newer program left there.
    virtual void Configure(QSqlDatabase &db, const QString &location) = 0;
    virtual QString Driver() const = 0;
    // The older program's tables (version 1), in this back end's words.
    virtual QStringList VersionOneTables() const = 0;
    // Checks the store's own consistency after many writers.
    virtual void CheckIntact(const QString &location) { Q_UNUSED(location); }

    // Runs statements on a plain connection; false (with a test failure
    // message) on an error.
    bool RawExec(const QString &location, const QStringList &statements);
    // The first value the query returns ("" when none).
    QString RawValue(const QString &location, const QString &query);
    // A fresh location for the test that runs now.
    QString Fresh();

private slots:
    void initTestCase();
    void keepsAnEntryAsGiven();
    void historyNewestFirstPerDevice();
    void devicesWithTheirNewestEntry();
    void fleetRunsAndRollbacks();
    void reopenedAndSharedStores();
    void failuresComeBackAsValues();
    void failedAppendKeepsNothing();
    void olderStoreIsBroughtUpToDate();
    void newerStoreIsRefused();
    void sixteenWritersAtOnce();

private:
    int fresh_ = 0;
};

// A store opened at `location`; fails the test when it does not open.
#define OPEN_STORE(store, location)                                                                             \
    RecordStore store;                                                                                          \
    do {                                                                                                        \
        RecordLocation where_;                                                                                  \
        QString why_;                                                                                           \
        QVERIFY2(RecordLocation::Parse(location, &where_, &why_), qPrintable(why_));                            \
        const StoreError opened_ = store.Open(where_);                                                          \
        QVERIFY2(opened_.IsNone(), qPrintable(opened_.message));                                               \
    } while (false)
