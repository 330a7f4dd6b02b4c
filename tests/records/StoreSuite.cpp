#include "StoreSuite.h"

#include "core/Translation.h"
#include "store/RecordLocation.h"
#include "support/StoreEntries.h"

#include <QJsonArray>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <cstdio>

namespace {

const QDateTime kMonday(QDate(2024, 5, 6), QTime(8, 0, 0, 0), Qt::UTC);

// An entry of a device known by number, IMEI or only by its target, `minute`
// minutes into Monday, with two rows.
RecordEntry Entry(int minute, const QString &number, const QString &imei, const QString &target, const QString &action,
                  const QString &outcome = QStringLiteral("ok"))
{
    RecordEntry e = TestEntry(action,
                              {EntryRow("0030", "中心地址", {"HEX:31302E302E302E31", "10.0.0.1"}, "ok"),
                               EntryRow("0030", "串口波特率", {"HEX:2580", "9600"}, "ok", {}, "ext")},
                              minute);
    e.target = target;
    e.device = {number, imei, QString()};
    e.outcome = outcome;
    return e;
}

QList<qint64> Ids(const QList<RecordEntry> &entries)
{
    QList<qint64> ids;
    for (const RecordEntry &e : entries)
        ids << e.id;
    return ids;
}

QStringList Keys(const QList<DeviceSummary> &devices)
{
    QStringList keys;
    for (const DeviceSummary &d : devices)
        keys << d.key;
    return keys;
}

// The same five entries for the history and device tests, appended one by
// one: device 0137 three times (on two ports, its IMEI learnt last), a
// device known by IMEI, and one known only by its port.
struct FiveEntries {
    qint64 a1 = 0, b1 = 0, a2 = 0, c1 = 0, a3 = 0;
};

bool AppendFive(RecordStore &store, FiveEntries *ids)
{
    const QList<RecordEntry> entries{
        Entry(1, QStringLiteral("0137"), {}, QStringLiteral("/dev/ttyUSB0"), RecordAction::Read),
        Entry(2, {}, QStringLiteral("861234567890123"), QStringLiteral("tcp:10.0.0.7:8888"), RecordAction::Identify),
        Entry(3, QStringLiteral("0137"), {}, QStringLiteral("/dev/ttyUSB1"), RecordAction::Write,
              QStringLiteral("written-with-errors")),
        Entry(4, {}, {}, QStringLiteral("/dev/ttyUSB0"), RecordAction::Reset),
        Entry(5, QStringLiteral("0137"), QStringLiteral("861111111111111"), QStringLiteral("/dev/ttyUSB1"),
              RecordAction::Verify, QStringLiteral("verify-differs")),
    };
    qint64 *into[] = {&ids->a1, &ids->b1, &ids->a2, &ids->c1, &ids->a3};
    for (int i = 0; i < 5; ++i) {
        const StoreResult<qint64> added = store.Append(entries[i]);
        if (!added.Ok()) {
            qWarning("%s", qPrintable(added.error.message));
            return false;
        }
        *into[i] = added.value;
    }
    return true;
}

} // namespace

QString &StoreSuite::TestName()
{
    static QString name;
    return name;
}

int StoreSuite::Writer()
{
    const QStringList fields = qEnvironmentVariable(kWriterVariable).split(QLatin1Char('\t'));
    const int writer = fields.value(0).toInt();
    const int count = fields.value(1).toInt();
    RecordLocation location;
    QString why;
    if (fields.size() != 3 || !RecordLocation::Parse(fields[2], &location, &why)) {
        std::printf("failed usage %s\n", qPrintable(why));
        return 2;
    }
    const auto report = [](const StoreError &error) {
        std::printf("failed %d %s\n", static_cast<int>(error.kind), error.message.toUtf8().constData());
        return 1;
    };
    RecordStore store;
    if (const StoreError opened = store.Open(location); !opened.IsNone())
        return report(opened);
    for (int seq = 0; seq < count; ++seq) {
        RecordEntry e = RecordEntries::Begin(RecordProgram::Fleet, RecordAction::Provision);
        e.target = QStringLiteral("writer-%1").arg(writer);
        e.details = QJsonObject{{QStringLiteral("writer"), writer}, {QStringLiteral("seq"), seq}};
        for (int r = 0; r < 40; ++r)
            e.rows << EntryRow(QStringLiteral("%1").arg(0x30 + r, 4, 16, QLatin1Char('0')).toUpper(),
                               QStringLiteral("参数%1").arg(r),
                               {QStringLiteral("HEX:%1").arg(seq, 4, 16, QLatin1Char('0')), QString::number(seq)}, "ok");
        if (const StoreResult<qint64> added = store.Append(e); !added.Ok())
            return report(added.error);
    }
    return 0;
}

int StoreSuite::Maker()
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("maker"));
        db.setDatabaseName(qEnvironmentVariable(kMakerVariable));
        if (!db.open())
            return 1;
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")) || !q.exec(QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)")))
            return 1;
        std::printf("locked\n");
        std::fflush(stdout);
        QThread::msleep(500);
        if (!q.exec(QStringLiteral("COMMIT")))
            return 1;
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("maker"));
    return 0;
}

void StoreSuite::StartWriter(QProcess &process, int writer, int count, const QString &location,
                             const QStringList &runAs)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kWriterVariable), QStringLiteral("%1\t%2\t%3").arg(writer).arg(count).arg(location));
    process.setProcessEnvironment(env);
    const QStringList self{QCoreApplication::applicationFilePath(), TestName()};
    if (runAs.isEmpty())
        process.start(self[0], self.mid(1));
    else
        process.start(runAs[0], runAs.mid(1) + self);
}

QString StoreSuite::Fresh()
{
    return NewLocation(QStringLiteral("%1_%2").arg(QString::fromLatin1(QTest::currentTestFunction())).arg(++fresh_));
}

bool StoreSuite::RawExec(const QString &location, const QStringList &statements)
{
    const QString name = QStringLiteral("raw-%1").arg(++fresh_);
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(Driver(), name);
        Configure(db, location);
        if (!db.open()) {
            qWarning("cannot open %s: %s", qPrintable(location), qPrintable(db.lastError().text()));
            ok = false;
        }
        for (const QString &sql : statements) {
            if (!ok)
                break;
            QSqlQuery q(db);
            if (!q.exec(sql)) {
                qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
                ok = false;
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

QString StoreSuite::RawValue(const QString &location, const QString &query)
{
    const QString name = QStringLiteral("raw-%1").arg(++fresh_);
    QString value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(Driver(), name);
        Configure(db, location);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(query) && q.next())
                value = q.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return value;
}

void StoreSuite::initTestCase()
{
    QString why;
    QVERIFY2(Prepare(&why), qPrintable(why));
}

void StoreSuite::keepsAnEntryAsGiven()
{
    OPEN_STORE(store, Fresh());
    RecordEntry e;
    e.time = QDateTime(QDate(2024, 5, 1), QTime(8, 30, 0, 250), Qt::UTC);
    e.operatorName = QStringLiteral("wang");
    e.host = QStringLiteral("bench-3");
    e.program = RecordProgram::Dtucfg;
    e.target = QStringLiteral("tcp:10.0.0.7:8888");
    e.device = {QStringLiteral("0137"), QStringLiteral("861234567890123"), QStringLiteral("V2.1.0")};
    e.profile = {QStringLiteral("示例设备"), QStringLiteral("/home/wang/示例设备.txt"), QStringLiteral("sha256:00ff")};
    e.action = RecordAction::Write;
    e.outcome = QStringLiteral("written-with-errors");
    // The maintenance password, wherever it hides, is never kept.
    e.details = QJsonObject{
        {QStringLiteral("written"), 1},
        {QStringLiteral("failed"), QJsonArray{QStringLiteral("0041")}},
        {QStringLiteral("password"), QStringLiteral("480917")},
        {QStringLiteral("channel"), QJsonObject{{QStringLiteral("tcpPassword"), QStringLiteral("135790")},
                                                {QStringLiteral("port"), 8888}}},
        {QStringLiteral("devices"), QJsonArray{QJsonObject{{QStringLiteral("Password"), QStringLiteral("1")},
                                                           {QStringLiteral("name"), QStringLiteral("柜1")}}}},
    };
    e.rows = {EntryRow("0030", "中心地址", {"HEX:31302E302E302E39", "10.0.0.9"}, "ok", {"HEX:31302E302E302E31", "10.0.0.1"}),
              EntryRow("0041", "心跳间隔", {"HEX:003C", "60"}, "refused", {}, "ext"),
              EntryRow("0050", "APN", {}, "not-reached")};

    const StoreResult<qint64> added = store.Append(e);
    QVERIFY2(added.Ok(), qPrintable(added.error.message));
    QVERIFY(added.value > 0);

    const StoreResult<std::optional<RecordEntry>> found = store.Entry(added.value);
    QVERIFY2(found.Ok(), qPrintable(found.error.message));
    QVERIFY(found.value.has_value());
    const RecordEntry &got = *found.value;
    QCOMPARE(got.id, added.value);
    QCOMPARE(got.time, e.time);
    QCOMPARE(RecordEntries::TimeText(got.time), QStringLiteral("2024-05-01T08:30:00.250Z"));
    QCOMPARE(got.details, (QJsonObject{
                              {QStringLiteral("written"), 1},
                              {QStringLiteral("failed"), QJsonArray{QStringLiteral("0041")}},
                              {QStringLiteral("channel"), QJsonObject{{QStringLiteral("port"), 8888}}},
                              {QStringLiteral("devices"), QJsonArray{QJsonObject{{QStringLiteral("name"), QStringLiteral("柜1")}}}},
                          }));
    QCOMPARE(got.rows.size(), 3);
    QCOMPARE(got.rows[0], e.rows[0]);
    QCOMPARE(got.rows[1], e.rows[1]);
    QVERIFY(!got.rows[1].before.IsKnown());
    QCOMPARE(got.rows[2], e.rows[2]);
    RecordEntry expected = e;
    expected.id = added.value;
    expected.details = got.details;
    QVERIFY(got == expected);

    // No such entry is an answer, not a failure.
    const StoreResult<std::optional<RecordEntry>> none = store.Entry(added.value + 1000);
    QVERIFY(none.Ok());
    QVERIFY(!none.value.has_value());
}

void StoreSuite::historyNewestFirstPerDevice()
{
    OPEN_STORE(store, Fresh());
    FiveEntries n;
    QVERIFY(AppendFive(store, &n));
    const auto ids = [&](const QString &device, int limit = 0) {
        const StoreResult<QList<RecordEntry>> found = store.Entries(device, limit);
        if (!found.Ok())
            qWarning("%s", qPrintable(found.error.message));
        return Ids(found.value);
    };
    // By number, by port, by either IMEI: newest first.
    QCOMPARE(ids(QStringLiteral("0137")), (QList<qint64>{n.a3, n.a2, n.a1}));
    QCOMPARE(ids(QStringLiteral("/dev/ttyUSB0")), (QList<qint64>{n.c1, n.a1}));
    QCOMPARE(ids(QStringLiteral("861234567890123")), (QList<qint64>{n.b1}));
    QCOMPARE(ids(QStringLiteral("861111111111111")), (QList<qint64>{n.a3}));
    QCOMPARE(ids(QStringLiteral("tcp:10.0.0.7:8888")), (QList<qint64>{n.b1}));
    QCOMPARE(ids(QStringLiteral("0138")), QList<qint64>());
    QCOMPARE(ids(QStringLiteral("013")), QList<qint64>());
    // The limit keeps the newest.
    QCOMPARE(ids(QStringLiteral("0137"), 2), (QList<qint64>{n.a3, n.a2}));
    QCOMPARE(ids(QString()), (QList<qint64>{n.a3, n.c1, n.a2, n.b1, n.a1}));
    QCOMPARE(ids(QString(), 1), (QList<qint64>{n.a3}));

    // Rows only when asked for, in their order.
    const StoreResult<QList<RecordEntry>> bare = store.Entries(QStringLiteral("0137"));
    QVERIFY(bare.Ok());
    QVERIFY(bare.value[0].rows.isEmpty());
    const StoreResult<QList<RecordEntry>> full = store.Entries(QStringLiteral("0137"), 0, true);
    QVERIFY(full.Ok());
    QCOMPARE(full.value.size(), 3);
    for (const RecordEntry &e : full.value) {
        QCOMPARE(e.rows.size(), 2);
        QCOMPARE(e.rows[0].table, QStringLiteral("main"));
        QCOMPARE(e.rows[1].name, QStringLiteral("串口波特率"));
    }
    QCOMPARE(full.value[1].outcome, QStringLiteral("written-with-errors"));
    QCOMPARE(full.value[1].time, kMonday.addSecs(180).addMSecs(7));
}

void StoreSuite::devicesWithTheirNewestEntry()
{
    OPEN_STORE(store, Fresh());
    FiveEntries n;
    QVERIFY(AppendFive(store, &n));
    RecordEntry plant = Entry(6, {}, {}, QStringLiteral("tcp:plant_7:8888"), RecordAction::Read);
    QVERIFY(store.Append(plant).Ok());

    const StoreResult<QList<DeviceSummary>> all = store.Devices();
    QVERIFY2(all.Ok(), qPrintable(all.error.message));
    // The one seen last first; a device known by its number is one device
    // whatever port it was on.
    QCOMPARE(Keys(all.value), (QStringList{QStringLiteral("tcp:plant_7:8888"), QStringLiteral("0137"),
                                           QStringLiteral("/dev/ttyUSB0"), QStringLiteral("861234567890123")}));
    const DeviceSummary &unit = all.value[1];
    QCOMPARE(unit.entries, 3);
    QCOMPARE(unit.lastEntry, n.a3);
    QCOMPARE(unit.lastAction, RecordAction::Verify);
    QCOMPARE(unit.lastOutcome, QStringLiteral("verify-differs"));
    QCOMPARE(unit.lastSeen, kMonday.addSecs(300).addMSecs(7));
    QCOMPARE(unit.identity.number, QStringLiteral("0137"));
    QCOMPARE(unit.identity.imei, QStringLiteral("861111111111111"));
    QCOMPARE(unit.target, QStringLiteral("/dev/ttyUSB1"));
    QCOMPARE(all.value[2].entries, 1);
    QCOMPARE(all.value[2].lastAction, RecordAction::Reset);

    const auto keys = [&](const QString &filter) {
        const StoreResult<QList<DeviceSummary>> found = store.Devices(filter);
        if (!found.Ok())
            qWarning("%s", qPrintable(found.error.message));
        return Keys(found.value);
    };
    // Part of a number, IMEI or port, whatever the letter case.
    QCOMPARE(keys(QStringLiteral("TTYusb1")), QStringList{QStringLiteral("0137")});
    QCOMPARE(keys(QStringLiteral("8612")), QStringList{QStringLiteral("861234567890123")});
    QCOMPARE(keys(QStringLiteral("usb")), (QStringList{QStringLiteral("0137"), QStringLiteral("/dev/ttyUSB0")}));
    QCOMPARE(keys(QStringLiteral("0999")), QStringList());
    // Wildcards of SQL stand for themselves.
    QCOMPARE(keys(QStringLiteral("%")), QStringList());
    QCOMPARE(keys(QStringLiteral("_")), QStringList{QStringLiteral("tcp:plant_7:8888")});
    QCOMPARE(keys(QString()).size(), 4);
}

void StoreSuite::fleetRunsAndRollbacks()
{
    OPEN_STORE(store, Fresh());
    RecordEntry first = Entry(1, QStringLiteral("0201"), {}, QStringLiteral("/dev/ttyUSB0"), RecordAction::Provision);
    first.program = RecordProgram::Fleet;
    first.fleetRun = QStringLiteral("run-7");
    RecordEntry other = Entry(2, QStringLiteral("0301"), {}, QStringLiteral("/dev/ttyUSB5"), RecordAction::Provision);
    other.fleetRun = QStringLiteral("run-8");
    RecordEntry second = Entry(3, QStringLiteral("0202"), {}, QStringLiteral("tcp:10.0.0.8:8888"), RecordAction::Provision);
    second.fleetRun = QStringLiteral("run-7");
    const StoreResult<QList<qint64>> added = store.Append(QList<RecordEntry>{first, other, second});
    QVERIFY2(added.Ok(), qPrintable(added.error.message));
    QCOMPARE(added.value.size(), 3);
    QVERIFY(added.value[0] < added.value[1] && added.value[1] < added.value[2]);

    // A rollback names the snapshot it puts back.
    RecordEntry rollback = Entry(4, QStringLiteral("0201"), {}, QStringLiteral("/dev/ttyUSB0"), RecordAction::Rollback);
    rollback.restores = added.value[0];
    const StoreResult<qint64> back = store.Append(rollback);
    QVERIFY(back.Ok());

    const StoreResult<QList<RecordEntry>> run = store.RunEntries(QStringLiteral("run-7"), true);
    QVERIFY2(run.Ok(), qPrintable(run.error.message));
    QCOMPARE(Ids(run.value), (QList<qint64>{added.value[0], added.value[2]}));
    QCOMPARE(run.value[0].rows.size(), 2);
    QCOMPARE(run.value[0].program, RecordProgram::Fleet);
    QCOMPARE(store.RunEntries(QStringLiteral("run-9")).value.size(), 0);
    QCOMPARE(store.RunEntries(QString()).value.size(), 0);

    const StoreResult<std::optional<RecordEntry>> got = store.Entry(back.value);
    QVERIFY(got.Ok() && got.value);
    QCOMPARE(got.value->restores, added.value[0]);
    QCOMPARE(got.value->fleetRun, QString());
    QCOMPARE(store.Entry(added.value[1]).value->restores, qint64(0));
}

void StoreSuite::reopenedAndSharedStores()
{
    const QString where = Fresh();
    qint64 firstId = 0;
    {
        OPEN_STORE(writer, where);
        OPEN_STORE(reader, where);
        const StoreResult<qint64> added = writer.Append(Entry(1, QStringLiteral("0137"), {}, QStringLiteral("COM1"),
                                                              RecordAction::Read));
        QVERIFY(added.Ok());
        firstId = added.value;
        // Another connection sees it at once.
        QCOMPARE(Ids(reader.Entries().value), QList<qint64>{firstId});
        QVERIFY(reader.Append(Entry(2, QStringLiteral("0137"), {}, QStringLiteral("COM1"), RecordAction::Write)).Ok());
        QCOMPARE(writer.Entries().value.size(), 2);
    }
    OPEN_STORE(again, where);
    const StoreResult<QList<RecordEntry>> kept = again.Entries(QStringLiteral("0137"), 0, true);
    QVERIFY(kept.Ok());
    QCOMPARE(kept.value.size(), 2);
    QCOMPARE(kept.value[1].id, firstId);
    QCOMPARE(kept.value[1].rows.size(), 2);
}

void StoreSuite::failuresComeBackAsValues()
{
    RecordStore unopened;
    QCOMPARE(unopened.Append(Entry(1, QStringLiteral("0137"), {}, QStringLiteral("COM1"), RecordAction::Read)).error.kind,
             StoreError::Kind::NotOpen);
    QCOMPARE(unopened.Entries().error.kind, StoreError::Kind::NotOpen);
    QCOMPARE(unopened.Entry(1).error.kind, StoreError::Kind::NotOpen);
    QCOMPARE(unopened.Devices().error.kind, StoreError::Kind::NotOpen);
    QCOMPARE(unopened.RunEntries(QStringLiteral("run-1")).error.kind, StoreError::Kind::NotOpen);

    RecordLocation nowhere;
    QString why;
    QVERIFY(RecordLocation::Parse(UnreachableLocation(), &nowhere, &why));
    RecordStore store;
    const StoreError opened = store.Open(nowhere);
    QVERIFY(opened.kind == StoreError::Kind::FolderNotMade || opened.kind == StoreError::Kind::CannotOpen); // file, server
    QVERIFY2(opened.message.startsWith(nowhere.Shown() + QStringLiteral("：")), qPrintable(opened.message));
    QVERIFY2(!opened.message.contains(QLatin1String("secret")), qPrintable(opened.message));
    QVERIFY(!store.IsOpen());
    QCOMPARE(store.Append(Entry(1, QStringLiteral("0137"), {}, QStringLiteral("COM1"), RecordAction::Read)).error.kind,
             StoreError::Kind::NotOpen);

    // A store belongs to its thread: another one gets an answer, not a
    // connection used from two threads.
    OPEN_STORE(mine, Fresh());
    StoreError fromThere;
    QThread *other = QThread::create([&] {
        fromThere = mine.Append(Entry(1, QStringLiteral("0137"), {}, QStringLiteral("COM1"), RecordAction::Read)).error;
    });
    other->start();
    QVERIFY(other->wait(10000));
    delete other;
    QCOMPARE(fromThere.kind, StoreError::Kind::WrongThread);
    QCOMPARE(mine.Entries().value.size(), 0);
}

void StoreSuite::failedAppendKeepsNothing()
{
    const QString where = Fresh();
    OPEN_STORE(store, where);
    QVERIFY(store.Append(Entry(1, QStringLiteral("0137"), {}, QStringLiteral("COM1"), RecordAction::Read)).Ok());
    // The rows' table goes away under the open store: the entry itself
    // could be written, its rows cannot.
    QVERIFY(RawExec(where, {QStringLiteral("DROP TABLE entry_rows")}));
    const StoreResult<QList<qint64>> added = store.Append(
        QList<RecordEntry>{Entry(2, QStringLiteral("0137"), {}, QStringLiteral("COM1"), RecordAction::Write),
                           Entry(3, QStringLiteral("0138"), {}, QStringLiteral("COM2"), RecordAction::Write)});
    QCOMPARE(added.error.kind, StoreError::Kind::CannotWrite);
    QVERIFY2(added.error.message.startsWith(store.Location().Shown() + QStringLiteral("：无法写入：")),
             qPrintable(added.error.message));
    QVERIFY(added.value.isEmpty());
    QCOMPARE(RawValue(where, QStringLiteral("SELECT COUNT(*) FROM entries")), QStringLiteral("1"));
    // The store still answers.
    QCOMPARE(store.Entries().value.size(), 1);
}

void StoreSuite::olderStoreIsBroughtUpToDate()
{
    // What the first version of the tool left: its tables, three entries
    // and a row, and no device key.
    const QString where = Fresh();
    const QString columns = QStringLiteral(
        "INSERT INTO entries (time, operator, host, program, target, device_number, device_imei, device_firmware,"
        " profile_title, profile_path, profile_digest, action, outcome, details, fleet_run, restores) VALUES ");
    QVERIFY(RawExec(where, VersionOneTables() + QStringList{
        QStringLiteral("INSERT INTO schema_version (version) VALUES (1)"),
        columns + QStringLiteral("('2024-03-01T09:00:00.000Z', 'wang', 'bench-1', 'window', '/dev/ttyUSB0', '0137', '',"
                                 " 'V2.0', '示例设备', '/p/示例设备.txt', '', 'read', 'ok', '{}', '', NULL)"),
        columns + QStringLiteral("('2024-03-02T09:00:00.000Z', 'li', 'bench-2', 'dtucfg', 'tcp:10.0.0.7:8888', '',"
                                 " '861234567890123', 'V2.0', '', '', '', 'identify', 'ok', '{\"imei\":true}', '', NULL)"),
        columns + QStringLiteral("('2024-03-03T09:00:00.000Z', 'li', 'bench-2', 'dtucfg', '/dev/ttyUSB3', '', '', '',"
                                 " '', '', '', 'reset', 'failed', '{}', '', NULL)"),
        QStringLiteral("INSERT INTO entry_rows (entry_id, position, param_table, number, name, before_raw, before_shown,"
                       " after_raw, after_shown, result) VALUES (1, 0, 'main', '0091', '设备编号', '', '',"
                       " 'HEX:30313337', '0137', 'ok')"),
    }));

    OPEN_STORE(store, where);
    // Its entries are found by the device views as new ones are.
    QCOMPARE(Ids(store.Entries(QStringLiteral("0137")).value), QList<qint64>{1});
    QCOMPARE(Ids(store.Entries(QStringLiteral("861234567890123")).value), QList<qint64>{2});
    QCOMPARE(Ids(store.Entries(QStringLiteral("/dev/ttyUSB3")).value), QList<qint64>{3});
    QCOMPARE(Keys(store.Devices().value), (QStringList{QStringLiteral("/dev/ttyUSB3"), QStringLiteral("861234567890123"),
                                                      QStringLiteral("0137")}));
    const StoreResult<std::optional<RecordEntry>> first = store.Entry(1);
    QVERIFY(first.Ok() && first.value);
    QCOMPARE(first.value->time, QDateTime(QDate(2024, 3, 1), QTime(9, 0), Qt::UTC));
    QCOMPARE(first.value->profile.title, QStringLiteral("示例设备"));
    QCOMPARE(first.value->rows.size(), 1);
    QCOMPARE(first.value->rows[0].after, (RecordValue{QStringLiteral("HEX:30313337"), QStringLiteral("0137")}));
    QCOMPARE(store.Entry(2).value->details, (QJsonObject{{QStringLiteral("imei"), true}}));
    // And new ones go after them.
    const StoreResult<qint64> added = store.Append(Entry(1, QStringLiteral("0137"), {}, QStringLiteral("COM1"),
                                                         RecordAction::Write));
    QVERIFY2(added.Ok(), qPrintable(added.error.message));
    QCOMPARE(Ids(store.Entries(QStringLiteral("0137")).value), (QList<qint64>{added.value, 1}));
    QVERIFY(added.value > 3);
    // The store now says it has the second version's tables, once.
    QCOMPARE(RawValue(where, QStringLiteral("SELECT MAX(version) FROM schema_version")), QStringLiteral("2"));
    OPEN_STORE(again, where);
    QCOMPARE(RawValue(where, QStringLiteral("SELECT COUNT(*) FROM schema_version")), QStringLiteral("2"));
    QCOMPARE(again.Entries().value.size(), 4);
}

void StoreSuite::newerStoreIsRefused()
{
    const QString where = Fresh();
    QVERIFY(RawExec(where, {QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"),
                            QStringLiteral("INSERT INTO schema_version (version) VALUES (99)")}));
    RecordLocation location;
    QString why;
    QVERIFY(RecordLocation::Parse(where, &location, &why));
    RecordStore store;
    const StoreError opened = store.Open(location);
    QCOMPARE(opened.kind, StoreError::Kind::Newer);
    QVERIFY(Translation::Install(Language::English));
    const StoreError inEnglish = RecordStore().Open(location);
    Translation::Install(Language::Chinese);
    QCOMPARE(inEnglish.message, location.Shown() + QStringLiteral(": these device records were written by a newer "
                                                                  "version of this tool (records version 99; this "
                                                                  "program knows up to version 2); they were left "
                                                                  "unchanged"));
    QCOMPARE(store.Append(Entry(1, QStringLiteral("0137"), {}, QStringLiteral("COM1"), RecordAction::Read)).error.kind,
             StoreError::Kind::NotOpen);
    // Left as it was.
    QCOMPARE(RawValue(where, QStringLiteral("SELECT COUNT(*) FROM schema_version")), QStringLiteral("1"));
}

void StoreSuite::sixteenWritersAtOnce()
{
    constexpr int kWriters = 16;
    constexpr int kEach = 50;
    // A store nobody opened yet: the writers also race to make it.
    const QString where = Fresh();
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.push_back(std::make_unique<QProcess>());
        StartWriter(*writers.back(), w, kEach, where);
    }
    for (int w = 0; w < kWriters; ++w) {
        QProcess &p = *writers[w];
        QVERIFY2(p.waitForFinished(240000), qPrintable(QStringLiteral("writer %1 did not finish").arg(w)));
        QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0,
                 qPrintable(QStringLiteral("writer %1: status %2: %3 %4")
                                .arg(w)
                                .arg(p.exitCode())
                                .arg(QString::fromUtf8(p.readAllStandardOutput()),
                                     QString::fromUtf8(p.readAllStandardError()))));
    }

    OPEN_STORE(store, where);
    const StoreResult<QList<RecordEntry>> all = store.Entries(QString(), 0, true);
    QVERIFY2(all.Ok(), qPrintable(all.error.message));
    QCOMPARE(all.value.size(), kWriters * kEach);
    QSet<QString> seen;
    for (const RecordEntry &e : all.value) {
        const int writer = e.details.value(QStringLiteral("writer")).toInt(-1);
        const int seq = e.details.value(QStringLiteral("seq")).toInt(-1);
        QCOMPARE(e.target, QStringLiteral("writer-%1").arg(writer));
        seen.insert(QStringLiteral("%1/%2").arg(writer).arg(seq));
        QCOMPARE(e.rows.size(), 40);
        QCOMPARE(e.rows[39].number, QStringLiteral("0057"));
        QCOMPARE(e.rows[39].after.shown, QString::number(seq));
    }
    QCOMPARE(seen.size(), kWriters * kEach);
    // Each writer's entries in the order it kept them.
    const StoreResult<QList<RecordEntry>> one = store.Entries(QStringLiteral("writer-3"));
    QCOMPARE(one.value.size(), kEach);
    QCOMPARE(one.value.first().details.value(QStringLiteral("seq")).toInt(), kEach - 1);
    QCOMPARE(one.value.last().details.value(QStringLiteral("seq")).toInt(), 0);
    CheckIntact(where);
}

#include "moc_StoreSuite.cpp"
