// The user's actions at their home: each against dtusim's device in this
// process (virtual time), with the records in a file of the test's own.
// Which entry each keeps, that a device not reached keeps none, a stop
// between two exchanges, a snapshot taken before a change, a rollback, one
// device of a fleet, a fleet run undone and an inventory checked before any
// device is contacted. The front ends only gather inputs and render these
// outcomes; they keep one wiring check each.
#include "actions/DeviceActions.h"
#include "actions/FleetCheck.h"
#include "actions/FleetWorker.h"
#include "actions/ParamActions.h"
#include "actions/Rollback.h"
#include "actions/RunRollback.h"
#include "core/TextFile.h"
#include "ops/ChannelOpen.h"
#include "ops/ProfileLoader.h"
#include "session/ActionScope.h"
#include "support/RecordingFrontend.h"
#include "support/SimLine.h"
#include "support/StoreEntries.h"
#include "support/TestMain.h"
#include "support/WorkFolder.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTest>

#include <functional>

namespace {

const QString kLine = QStringLiteral("/dev/ttySIM0");

// The example device's own values, and others.
const RecordValue kPort8080{QStringLiteral("HEX:1F90"), QStringLiteral("8080")};
const RecordValue kPort5001{QStringLiteral("HEX:1389"), QStringLiteral("5001")};

// A copy of the example device in `dir` with other values: 中心地址
// 1.2.3.4, 中心端口 80, 设备编号 DTU0009, and the extended 轮询周期 30秒.
QStringList OtherDevice(const WorkFolder &dir)
{
    QDir().mkpath(dir.Path(QStringLiteral("other")));
    QString profile = TextFile::FromGbk(dir.Read(QStringLiteral("example_profile.txt")));
    profile.replace(QStringLiteral("HEX:31302E302E302E38"), QStringLiteral("HEX:312E322E332E34"));
    profile.replace(QStringLiteral("HEX:1F90"), QStringLiteral("HEX:0050"));
    profile.replace(QStringLiteral("HEX:44545530303031"), QStringLiteral("HEX:44545530303039"));
    profile.replace(QStringLiteral("\"example_ext.txt\""), QLatin1Char('"') + dir.Path(QStringLiteral("other/example_ext.txt")) + QLatin1Char('"'));
    dir.WriteGbk(QStringLiteral("other/example_profile.txt"), profile);
    dir.WriteGbk(QStringLiteral("other/example_ext.txt"), TextFile::FromGbk(dir.Read(QStringLiteral("example_ext.txt")))
                                                              .replace(QStringLiteral("HEX:000A"), QStringLiteral("HEX:001E")));
    return {QStringLiteral("--profile"), dir.Path(QStringLiteral("other/example_profile.txt"))};
}

// A session of the example profile and script on dtusim's device (its
// options `simArgs`), both on one virtual clock, the serial port open on
// the device unless told otherwise, its records in the bench's own file.
class ActionBench {
public:
    explicit ActionBench(const QStringList &simArgs = {}, bool open = true,
                         const QString &program = RecordProgram::Dtucfg)
        : line(clock, Resolve(simArgs)), recorder(program)
    {
        QVERIFY2(line.Error().isEmpty(), qPrintable(line.Error()));
        line.onWrite = [this](const QByteArray &frame) {
            words << QString::fromLatin1(frame.mid(4, 2).toHex().toUpper());
            if (!stopAt.isEmpty() && words.last() == stopAt)
                session.state.StopRequested = true;
        };
        session.serial.StandIn(&line);
        session.state.KeepProfileFile = true;
        session.script.LoadFile(dir.Path(QStringLiteral("script.js")));
        ProfileLoader::LoadProfile(session, dir.Path(QStringLiteral("example_profile.txt")));
        RecordLocation location;
        QString error;
        RecordLocation::Parse(store, &location, &error);
        recorder.SetLocation(location);
        if (open)
            QVERIFY(ChannelOpen::Open(session, Endpoint::Serial(kLine), {}).open);
        words.clear();
    }
    // Runs `action` as a front end runs it: one action, which a stop lasts through.
    template <typename F>
    auto Run(F action)
    {
        decltype(action()) result;
        RunAction(session, [&] { result = action(); });
        return result;
    }
    // The words of the frames that set a row (a row's number; the device's
    // own words are E0xx).
    QStringList Sets() const
    {
        QStringList sets;
        for (const QString &word : words)
            if (!word.startsWith(QLatin1String("E0")))
                sets << word;
        return sets;
    }
    QList<RecordEntry> Entries() const { return EntriesIn(store); }
    // A snapshot of this device kept in the store: `rows` read from it.
    qint64 KeepSnapshot(const QList<RecordRow> &rows, const QString &number = QStringLiteral("DTU0001"))
    {
        RecordEntry snapshot = TestEntry(RecordAction::Read, rows);
        snapshot.target = kLine;
        snapshot.device.number = number;
        return KeepEntries(store, {snapshot}).value(0);
    }

    Workspace dir; // the current folder, as the programs run in theirs
    QString store = dir.Path(QStringLiteral("records.sqlite"));
    VirtualScheduler clock;
    SimLine line;
    RecordingFrontend fe;
    DtuSession session{fe, clock};
    Recorder recorder;
    QStringList words;  // of every frame the device heard, in order
    QString stopAt;     // a stop is asked for as a frame of this word goes out

private:
    // "other" names the copy of other values (OtherDevice).
    QStringList Resolve(QStringList simArgs) const
    {
        if (simArgs.value(0) == QLatin1String("other"))
            simArgs = OtherDevice(dir) + simArgs.mid(1);
        return simArgs;
    }
};

// An entry's rows as "table/number result shown" (the value after).
QStringList Rows(const RecordEntry &entry)
{
    QStringList rows;
    for (const RecordRow &row : entry.rows)
        rows << QStringLiteral("%1/%2 %3 %4").arg(row.table, row.number, row.result, row.after.shown).trimmed();
    return rows;
}

bool Contains(const QStringList &all, const QStringList &some)
{
    for (const QString &one : some)
        if (!all.contains(one))
            return false;
    return true;
}

// The values given to a write or a fleet device: "NUM=TEXT".
QList<Actions::GivenValue> Given(const QStringList &cells)
{
    QList<Actions::GivenValue> values;
    for (const QString &cell : cells)
        values.append({cell.section(QLatin1Char('='), 0, 0), cell.section(QLatin1Char('='), 1)});
    return values;
}

// An action by name on the bench, as the front ends run it: its verdict.
OutcomeId Act(ActionBench &b, const QString &name, const QStringList &values = {})
{
    using namespace Actions;
    if (name == QLatin1String("read"))
        return b.Run([&] { return Read(b.session, b.recorder, Page::Main).verdict; });
    if (name == QLatin1String("ext read"))
        return b.Run([&] { return Read(b.session, b.recorder, Page::Extended).verdict; });
    if (name == QLatin1String("write"))
        return b.Run([&] { return Write(b.session, b.recorder, Page::Main, Given(values)).verdict; });
    if (name == QLatin1String("write --snapshot"))
        return b.Run([&] { return Write(b.session, b.recorder, Page::Main, Given(values), true).verdict; });
    if (name == QLatin1String("batch"))
        return b.Run([&] { return Batch(b.session, b.recorder, ParamFile::BatchTables::Both).verdict; });
    if (name == QLatin1String("batch --snapshot"))
        return b.Run([&] { return Batch(b.session, b.recorder, ParamFile::BatchTables::Both, true).verdict; });
    if (name == QLatin1String("save"))
        return b.Run([&] { return Save(b.session, b.recorder, b.dir.Path(QStringLiteral("backup.txt"))).verdict; });
    if (name == QLatin1String("verify")) {
        const Expected expected{TableCompare::Snapshot(b.session.mainTable), TableCompare::Snapshot(b.session.extTable),
                                {}, {}};
        return b.Run([&] { return Verify(b.session, b.recorder, expected).verdict; });
    }
    if (name == QLatin1String("restore"))
        return b.Run([&] { return Restore(b.session, b.recorder).verdict; });
    if (name == QLatin1String("reset"))
        return b.Run([&] { return Reset(b.session, b.recorder).verdict; });
    if (name == QLatin1String("identify"))
        return b.Run([&] { return Identify(b.session, b.recorder).verdict; });
    if (name == QLatin1String("snapshot"))
        return b.Run([&] { return Snapshot(b.session, b.recorder).verdict; });
    if (name == QLatin1String("rollback")) {
        const RecordEntry snapshot = b.Entries().first();
        return b.Run([&] { return Rollback(b.session, b.recorder, snapshot).verdict; });
    }
    if (name == QLatin1String("provision")) {
        b.session.serial.Close(); // the worker opens its own
        const WorkerInputs in{.endpoint = Endpoint::Serial(kLine), .values = Given(values)};
        return b.Run([&] { return FleetWorker(b.session, b.recorder, in).outcome; });
    }
    qFatal("no action %s", qPrintable(name));
}

} // namespace

class ActionsTest : public QObject {
    Q_OBJECT
private slots:
    // Each action keeps one entry: its name, its outcome and its rows.
    void keepsItsEntry_data()
    {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<int>("count");       // of rows
        QTest::addColumn<QStringList>("rows"); // some of them
        using L = QStringList;
        QTest::newRow("read") << L{} << "read" << L{} << "read" << "ok" << 11
                              << L{"main/0031 read 8080", "main/0040 read CMNET", "main/0091 read DTU0001"};
        QTest::newRow("read of the extended table") << L{} << "ext read" << L{} << "read" << "ok" << 3 << L{"ext/0100 read RS485"};
        QTest::newRow("read, device silent") << L{"--silent", "--only", "E001"} << "read" << L{} << "read" << "no-answer" << 0 << L{};
        QTest::newRow("write") << L{} << "write" << L{"0033=90", "0031=5001"} << "write" << "ok" << 2
                               << L{"main/0031 ok 5001", "main/0033 ok 90"};
        QTest::newRow("write, a row refused") << L{"--refuse", "--only", "0031"} << "write" << L{"0033=90", "0031=5001"}
                                              << "write" << "written-with-errors" << 2
                                              << L{"main/0031 refused 5001", "main/0033 ok 90"};
        QTest::newRow("write, every row refused") << L{"--refuse", "--only", "0031"} << "write" << L{"0031=5001"}
                                                  << "write" << "failed" << 1 << L{"main/0031 refused 5001"};
        // Both tables; the device number withheld below level 2 keeps no value.
        QTest::newRow("batch") << L{} << "batch" << L{} << "batch" << "ok" << 14
                               << L{"main/0031 ok 8080", "main/0091 withheld", "ext/0100 ok RS485"};
        QTest::newRow("save") << L{} << "save" << L{} << "save" << "ok" << 14 << L{"main/0031 read 8080", "ext/0100 read RS485"};
        QTest::newRow("save, device silent") << L{"--silent", "--only", "E001"} << "save" << L{} << "save" << "no-answer"
                                             << 0 << L{};
        QTest::newRow("verify") << L{} << "verify" << L{} << "verify" << "ok" << 14 << L{"ext/0102 read 10秒"};
        QTest::newRow("restore") << L{} << "restore" << L{} << "restore" << "ok" << 0 << L{};
        QTest::newRow("reset, refused") << L{"--refuse"} << "reset" << L{} << "reset" << "refused" << 0 << L{};
        QTest::newRow("identify") << L{} << "identify" << L{} << "identify" << "ok" << 0 << L{};
        QTest::newRow("snapshot") << L{} << "snapshot" << L{} << "read" << "ok" << 14 << L{"main/0091 read DTU0001"};
    }
    void keepsItsEntry()
    {
        QFETCH(QStringList, sim);
        QFETCH(QString, action);
        QFETCH(QStringList, values);
        QFETCH(QString, outcome);
        QFETCH(QStringList, rows);
        ActionBench b(sim);
        QCOMPARE(OutcomeName(Act(b, action, values)), outcome);
        const QList<RecordEntry> entries = b.Entries();
        QCOMPARE(entries.size(), 1);
        const RecordEntry &e = entries[0];
        QTEST(e.action, "entry");
        QCOMPARE(e.outcome, outcome);
        QCOMPARE(e.program, RecordProgram::Dtucfg);
        QCOMPARE(e.target, kLine);
        QCOMPARE(e.profile.title, QStringLiteral("示例GPRS DTU"));
        QTEST(int(e.rows.size()), "count");
        QVERIFY2(Contains(Rows(e), rows), qPrintable(Rows(e).join(QLatin1Char('\n'))));
        QVERIFY(e.profile.path.endsWith(QLatin1String("/example_profile.txt")) && !e.profile.digest.isEmpty());
        // A backup is written only from values the device gave.
        if (action == QLatin1String("save"))
            QCOMPARE(QFile::exists(b.dir.Path(QStringLiteral("backup.txt"))), outcome == QLatin1String("ok"));
        // The device is known by the number it reported, or by the
        // version query's IMEI.
        if (action == QLatin1String("identify")) {
            QCOMPARE(e.device.imei, QStringLiteral("860000000000018"));
            QCOMPARE(e.device.firmware, QStringLiteral("SIM-DTU V1.0"));
            QCOMPARE(e.DeviceKey(), e.device.imei);
        } else if (Rows(e).contains(QStringLiteral("main/0091 read DTU0001"))) {
            QCOMPARE(e.DeviceKey(), QStringLiteral("DTU0001"));
        }
    }

    // A write's rows say what the device held before: what this run read,
    // else the newest read the records hold for the device.
    void aWriteKnowsWhatWasThereBefore()
    {
        ActionBench b;
        QCOMPARE(Act(b, "write", {"0031=5001"}), OutcomeId::Ok);
        QVERIFY(!b.Entries()[0].rows[0].before.IsKnown()); // nothing read yet
        QCOMPARE(Act(b, "read"), OutcomeId::Ok);
        QCOMPARE(Act(b, "write", {"0031=8080"}), OutcomeId::Ok);
        QCOMPARE(b.Entries()[2].rows[0].before, kPort5001);
        QCOMPARE(b.Entries()[2].device.number, QStringLiteral("DTU0001"));
        // Another run on the same device learns it from the records.
        ActionBench later;
        later.store = b.store;
        RecordLocation location;
        QString error;
        RecordLocation::Parse(b.store, &location, &error);
        later.recorder.SetLocation(location);
        QCOMPARE(Act(later, "write", {"0031=5001"}), OutcomeId::Ok);
        // The newest read kept: the write since is no read of the device.
        QCOMPARE(later.Entries()[3].rows[0].before, kPort5001);
    }

    // A device not reached keeps no entry: no channel open, or a question
    // answered Cancel.
    void aDeviceNotReachedKeepsNone_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("cancelled");
        for (const char *action : {"read", "ext read", "write", "batch", "save", "verify", "restore", "reset", "snapshot"})
            QTest::addRow("%s, no channel", action) << QString::fromLatin1(action) << false;
        QTest::newRow("restore, cancelled") << QStringLiteral("restore") << true;
        QTest::newRow("reset, cancelled") << QStringLiteral("reset") << true;
    }
    void aDeviceNotReachedKeepsNone()
    {
        QFETCH(QString, action);
        QFETCH(bool, cancelled);
        ActionBench b({}, cancelled);
        b.fe.answers = {false};
        const OutcomeId verdict = Act(b, action, {"0031=5001"});
        QCOMPARE(verdict, cancelled ? OutcomeId::Cancelled : OutcomeId::ChannelClosed);
        QVERIFY(b.words.isEmpty());
        QVERIFY(b.Entries().isEmpty());
    }

    // 设置 with nothing listed sends nothing and keeps nothing.
    void aWriteOfNothingKeepsNone()
    {
        ActionBench b;
        QCOMPARE(Act(b, "write"), OutcomeId::Ok);
        QVERIFY(b.words.isEmpty() && b.Entries().isEmpty());
    }

    // A stop asked for while an exchange waits: that exchange ends, nothing
    // more is sent, and the entry says stopped, with the rows not reached.
    void aStopEndsItBetweenTwoExchanges_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("stopAt"); // the word of the frame under way
        QTest::addColumn<QStringList>("rows");
        using L = QStringList;
        QTest::newRow("write") << "write" << "0030" << L{"main/0030 ok 10.0.0.9", "main/0031 not-reached 5001",
                                                         "main/0033 not-reached 90"};
        QTest::newRow("batch") << "batch" << "0031" << L{"main/0031 ok 8080", "main/0032 not-reached TCP",
                                                         "ext/0100 not-reached RS485"};
        QTest::newRow("rollback") << "rollback" << "0031" << L{"main/0031 ok 5001", "main/0033 not-reached"};
        QTest::newRow("provision") << "provision" << "0030" << L{"main/0030 ok 10.0.0.9", "main/0031 not-reached 5001",
                                                                 "main/0033 not-reached 90"};
        QTest::newRow("identify") << "identify" << "E024" << L{};
        QTest::newRow("save, during the main table") << "save" << "E001" << L{};
    }
    void aStopEndsItBetweenTwoExchanges()
    {
        QFETCH(QString, action);
        QFETCH(QString, stopAt);
        QFETCH(QStringList, rows);
        ActionBench b;
        b.KeepSnapshot({EntryRow("0031", "中心端口", kPort5001), EntryRow("0033", "心跳间隔", {"HEX:005A", "1分30秒"})});
        b.stopAt = stopAt;
        QCOMPARE(Act(b, action, {"0031=5001", "0033=90", "0030=10.0.0.9"}), OutcomeId::Stopped);
        QCOMPARE(b.words.last(), stopAt);
        const RecordEntry kept = b.Entries().last();
        QCOMPARE(kept.outcome, QStringLiteral("stopped"));
        QVERIFY2(Contains(Rows(kept), rows), qPrintable(Rows(kept).join(QLatin1Char('\n'))));
        // The stop ends with the action: the next one runs whole.
        b.stopAt.clear();
        QCOMPARE(Act(b, "read"), OutcomeId::Ok);
    }

    // --snapshot: both tables read and kept first; a snapshot that could not
    // be kept is no way back, and nothing is written.
    void aSnapshotFirst()
    {
        ActionBench b;
        QCOMPARE(Act(b, "write --snapshot", {"0031=5001"}), OutcomeId::Ok);
        const QList<RecordEntry> entries = b.Entries();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].action, RecordAction::Read);
        QVERIFY(Rows(entries[0]).contains(QStringLiteral("ext/0100 read RS485")));
        QCOMPARE(entries[1].rows[0].before, kPort8080);
        QCOMPARE(b.Sets(), QStringList{"0031"});
        // A batch after its snapshot sends the tables' values, not those read.
        ActionBench other({QStringLiteral("other")});
        QCOMPARE(Act(other, "batch --snapshot"), OutcomeId::Ok);
        QCOMPARE(FindRow(other.Entries().last(), "main", "0031")->before, (RecordValue{"HEX:0050", "80"}));
        QCOMPARE(FindRow(other.Entries().last(), "main", "0031")->after, kPort8080);

        ActionBench unkept;
        QDir().mkpath(unkept.store); // a folder where the file should be
        QCOMPARE(Act(unkept, "write --snapshot", {"0031=5001"}), OutcomeId::Failed);
        QVERIFY(unkept.Sets().isEmpty());
        QVERIFY(!unkept.recorder.TakeWarning().IsNone());
        QVERIFY(unkept.recorder.TakeWarning().IsNone()); // one warning a run
    }

    // A rollback reads the device, writes only what differs from the
    // snapshot, reads back, and keeps one entry naming the snapshot.
    void rollback_data()
    {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<QList<RecordRow>>("snapshot");
        QTest::addColumn<QString>("number"); // the snapshot's device
        QTest::addColumn<bool>("dryRun");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QStringList>("sets");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("notRestored");
        using L = QStringList;
        const RecordRow address = EntryRow("0030", "中心地址", {"HEX:31302E302E302E38", "10.0.0.8"});
        const RecordRow port = EntryRow("0031", "中心端口", kPort5001);
        const RecordRow heartbeat = EntryRow("0033", "心跳间隔", {"HEX:005A", "1分30秒"});
        const RecordRow secret = EntryRow("0043", "接入密码", {});
        const QString device = QStringLiteral("DTU0001");
        QTest::newRow("only what differs") << L{} << QList<RecordRow>{address, port, heartbeat} << device << false << "ok"
                                           << L{"0031", "0033"}
                                           << L{"main/0030 unchanged 10.0.0.8", "main/0031 ok 5001", "main/0033 ok 1分30秒"}
                                           << L{};
        QTest::newRow("an empty value") << L{} << QList<RecordRow>{EntryRow("0040", "接入点名称", {"HEX:", ""})} << device
                                        << false << "ok" << L{"0040"} << L{"main/0040 ok"} << L{};
        QTest::newRow("a secret row is not restored") << L{} << QList<RecordRow>{port, secret} << device << false
                                                      << "restored-except-secrets" << L{"0031"} << L{"main/0031 ok 5001"}
                                                      << L{"0043"};
        QTest::newRow("another device's snapshot") << L{} << QList<RecordRow>{port} << "DTU9999" << false
                                                   << "other-device" << L{} << L{} << L{};
        QTest::newRow("refused by the device") << L{"--refuse", "--only", "0031"} << QList<RecordRow>{port} << device
                                               << false << "failed" << L{"0031"} << L{"main/0031 refused 5001"} << L{};
        QTest::newRow("dry run") << L{} << QList<RecordRow>{address, port} << device << true << "differs" << L{} << L{}
                                 << L{};
    }
    void rollback()
    {
        QFETCH(QStringList, sim);
        QFETCH(QList<RecordRow>, snapshot);
        QFETCH(QString, number);
        QFETCH(bool, dryRun);
        QFETCH(QString, outcome);
        QFETCH(QStringList, rows);
        ActionBench b(sim);
        const qint64 id = b.KeepSnapshot(snapshot, number);
        const RecordEntry entry = b.Entries().first();
        const Actions::RollbackResult r
            = b.Run([&] { return Actions::Rollback(b.session, b.recorder, entry, dryRun); });
        QCOMPARE(OutcomeName(r.verdict), outcome);
        QTEST(b.Sets(), "sets");
        QStringList notRestored;
        for (const RecordRow &row : r.notRestored)
            notRestored << row.number;
        QTEST(notRestored, "notRestored");
        const QList<RecordEntry> entries = b.Entries();
        if (dryRun) {
            QCOMPARE(entries.size(), 1); // nothing kept
            QCOMPARE(r.differing.size(), 1);
            QCOMPARE(r.differing[0].before, kPort8080);
            // The table still shows what the device holds: a preview edits no row.
            const ParamTableModel &table = b.session.mainTable;
            QCOMPARE(table.Cell(table.FindByNumber(QStringLiteral("0031")), ColHex), kPort8080.raw);
            return;
        }
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[1].action, RecordAction::Rollback);
        QCOMPARE(entries[1].restores, id);
        QCOMPARE(entries[1].outcome, outcome);
        QVERIFY2(Contains(Rows(entries[1]), rows), qPrintable(Rows(entries[1]).join(QLatin1Char('\n'))));
        if (outcome == QLatin1String("ok")) // the device holds the snapshot's values again
            QCOMPARE(Actions::Rollback(b.session, b.recorder, entry, true).differing.size(), 0);
    }

    // A snapshot is an entry with values read from a device.
    void whatIsASnapshot_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("result"); // of its one row
        QTest::addColumn<bool>("snapshot");
        for (const QString &action : {RecordAction::Read, RecordAction::Save, RecordAction::Verify, RecordAction::Audit})
            QTest::addRow("%s", qPrintable(action)) << action << "read" << true;
        QTest::newRow("rollback, read back") << RecordAction::Rollback << "ok" << true;
        QTest::newRow("rollback, row refused") << RecordAction::Rollback << "refused" << false;
        for (const QString &action : {RecordAction::Write, RecordAction::Batch, RecordAction::Provision})
            QTest::addRow("%s", qPrintable(action)) << action << "ok" << false;
        QTest::newRow("read of a secret row only") << RecordAction::Read << "secret" << false;
    }
    void whatIsASnapshot()
    {
        QFETCH(QString, action);
        QFETCH(QString, result);
        const RecordRow row = result == QLatin1String("secret") ? EntryRow("0043", "接入密码", kPort5001)
                                                               : EntryRow("0031", "中心端口", kPort5001, result);
        QTEST(Actions::IsSnapshot(TestEntry(action, {row})), "snapshot");
    }

    // An entry asked for as a snapshot: one with values read from the
    // device, else refused naming the newest snapshot before it.
    void findingASnapshot()
    {
        ActionBench b;
        QCOMPARE(Act(b, "read"), OutcomeId::Ok);
        QCOMPARE(Act(b, "write", {"0031=5001"}), OutcomeId::Ok);
        QCOMPARE(Act(b, "reset"), OutcomeId::Ok);
        RecordStore &store = *b.recorder.Store();
        QCOMPARE(Actions::FindSnapshot(store, 1).kind, Actions::SnapshotLookup::Kind::Found);
        const Actions::SnapshotLookup write = Actions::FindSnapshot(store, 2);
        QCOMPARE(write.kind, Actions::SnapshotLookup::Kind::NotSnapshot);
        QCOMPARE(write.nearest, qint64(1));
        QCOMPARE(Actions::FindSnapshot(store, 3).nearest, qint64(1));
        QCOMPARE(Actions::FindSnapshot(store, 99).kind, Actions::SnapshotLookup::Kind::NoSuchEntry);
    }

    // One device of a fleet: the device read first (the run's way back),
    // then only the rows that differ written; the device number is its own
    // unless a cell gives one; an audit only compares.
    void fleetWorker_data()
    {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<int>("level");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<bool>("audit");
        QTest::addColumn<bool>("writeAll");
        QTest::addColumn<bool>("verify");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QStringList>("sets");
        QTest::addColumn<int>("unchanged");
        QTest::addColumn<bool>("ownNumberKept");
        QTest::addColumn<int>("notCompared");
        QTest::addColumn<QStringList>("entries");
        using L = QStringList;
        const L kept{"read", "provision"};
        QTest::newRow("only what differs") << L{"other"} << 0 << L{} << false << false << false << "ok"
                                           << L{"0030", "0031", "0102"} << 10 << false << 0 << kept;
        QTest::newRow("level 2: its own number kept") << L{"other"} << 2 << L{} << false << false << false << "ok"
                                                      << L{"0030", "0031", "0102"} << 10 << true << 0 << kept;
        QTest::newRow("level 2: a cell gives the number") << L{"other"} << 2 << L{"0091=DTU0101"} << false << false
                                                          << false << "ok" << L{"0030", "0031", "0091", "0102"} << 10 << false
                                                          << 0 << kept;
        QTest::newRow("a cell over the profile") << L{"other"} << 0 << L{"0031=80"} << false << false << false << "ok"
                                                 << L{"0030", "0102"} << 11 << false << 0 << kept;
        QTest::newRow("every row when asked") << L{} << 0 << L{} << false << true << false << "ok"
                                              << L{"0030", "0031", "0032", "0033", "0040", "0041", "0042", "0050",
                                                   "0051", "0052", "0100", "0101", "0102"}
                                              << 0 << false << 0 << kept;
        // Read back after writing: only the rows the run may write are compared.
        QTest::newRow("verified") << L{"other"} << 0 << L{} << false << false << true << "ok" << L{"0030", "0031", "0102"}
                                  << 10 << false << 0 << kept;
        QTest::newRow("a row refused") << L{"other", "--refuse", "--only", "0031"} << 0 << L{} << false << false
                                       << false << "written-with-errors" << L{"0030", "0031", "0102"} << 10 << false << 0 << kept;
        // Not compared: the device number the level withholds, and 0033 ignored.
        QTest::newRow("audit") << L{"other"} << 0 << L{} << true << false << false << "differs" << L{} << 0 << false << 2
                               << L{"audit"};
        QTest::newRow("audit of a device as it should be") << L{} << 0 << L{} << true << false << false << "ok" << L{} << 0
                                                           << false << 2 << L{"audit"};
        QTest::newRow("silent") << L{"--silent"} << 0 << L{} << false << false << false << "unreachable" << L{} << 0 << false
                                << 0 << L{};
    }
    void fleetWorker()
    {
        QFETCH(QStringList, sim);
        QFETCH(int, level);
        QFETCH(QStringList, cells);
        QFETCH(bool, audit);
        QFETCH(bool, writeAll);
        QFETCH(bool, verify);
        QFETCH(QString, outcome);
        ActionBench b(sim, false, RecordProgram::Fleet);
        b.recorder.SetFleetRun(QStringLiteral("run-7"));
        b.session.state.AccessLevel = level;
        Actions::WorkerInputs in;
        in.endpoint = Endpoint::Serial(kLine);
        in.values = Given(cells);
        in.audit = audit;
        in.writeAll = writeAll;
        in.verify = verify;
        in.ignore = audit ? QStringList{"0033"} : QStringList{};
        QVERIFY(!Actions::CheckWorkerValues(b.session, in.values));
        const DeviceReport report = b.Run([&] { return Actions::FleetWorker(b.session, b.recorder, in); });
        QCOMPARE(OutcomeName(report.outcome), outcome);
        QTEST(b.Sets(), "sets");
        QTEST(report.unchanged, "unchanged");
        QTEST(report.ownNumberKept, "ownNumberKept");
        QTEST(report.notCompared, "notCompared");
        QStringList kept;
        for (const RecordEntry &e : b.Entries()) {
            kept << e.action;
            QCOMPARE(e.fleetRun, QStringLiteral("run-7"));
            QCOMPARE(e.program, RecordProgram::Fleet);
        }
        QTEST(kept, "entries");
        if (!kept.isEmpty())
            QCOMPARE(report.record, b.Entries().last().id);
    }

    // A fleet run undone: each device the run changed back to the snapshot
    // its worker took, one after another; a stop ends the device under way
    // between two rows and begins no other.
    void aFleetRunUndone_data()
    {
        QTest::addColumn<QString>("stopAt");
        QTest::addColumn<QStringList>("outcomes");
        QTest::newRow("whole") << QString() << QStringList{"ok", "ok"};
        QTest::newRow("stopped") << QStringLiteral("0031") << QStringList{"stopped", "not-started"};
    }
    void aFleetRunUndone()
    {
        QFETCH(QString, stopAt);
        ActionBench b({}, false);
        // Three devices of run-3 (all on the bench's device): two changed
        // from 5001 to 8080, the third found as it should be.
        QList<RecordEntry> run;
        for (const QString &target : {QStringLiteral("/dev/ttySIM1"), QStringLiteral("/dev/ttySIM2"),
                                      QStringLiteral("/dev/ttySIM3")}) {
            const bool changed = !target.endsWith(QLatin1Char('3'));
            RecordEntry snapshot = TestEntry(RecordAction::Read, {EntryRow("0031", "中心端口", changed ? kPort5001 : kPort8080)});
            RecordEntry provision = TestEntry(RecordAction::Provision,
                                              {EntryRow("0031", "中心端口", kPort8080, changed ? "ok" : "unchanged")});
            for (RecordEntry *e : {&snapshot, &provision}) {
                e->target = target;
                e->device.number = QStringLiteral("DTU0001");
                e->fleetRun = QStringLiteral("run-3");
                run << *e;
            }
        }
        QCOMPARE(KeepEntries(b.store, run).size(), 6);
        b.stopAt = stopAt;
        QStringList devices;
        const Actions::RunRollbackResult r = b.Run([&] {
            return Actions::RunRollback(b.session, b.recorder, QStringLiteral("run-3"), {},
                                        [&](int, int, const QString &target) { devices << target; }, {});
        });
        QCOMPARE(devices, (QStringList{"/dev/ttySIM1", "/dev/ttySIM2"}));
        QStringList outcomes;
        for (const DeviceReport &d : r.devices)
            outcomes << OutcomeName(d.outcome);
        QTEST(outcomes, "outcomes");
        QCOMPARE(r.restores.value(0), qint64(1));
        // One device behind both names: the second found it restored already.
        QCOMPARE(b.Sets(), QStringList{"0031"});
        QVERIFY(Actions::RunRollback(b.session, b.recorder, QStringLiteral("run-9"), {}, {}, {}).error.contains(
            QStringLiteral("run-9")));
    }

    // An inventory's columns and cells tried as the workers would take
    // them, and its targets, before any device is contacted.
    void inventoryChecked_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<int>("level");
        QTest::addColumn<QStringList>("refusals"); // "kind line:column number/target"
        QTest::newRow("fine") << QByteArray("target,0031,0100\ntcp:127.0.0.1:1,9000,RS232\n") << 0 << QStringList{};
        QTest::newRow("cells their rows would not take")
            << QByteArray("target,name,0032,0031\ntcp:127.0.0.1:1,a,SCTP,9000\ntcp:127.0.0.1:2,b,TCP,\n"
                          "tcp:127.0.0.1:3,c,UDP,123456\n")
            << 0 << QStringList{"cell 2:3 0032", "cell 4:4 0031"};
        QTest::newRow("a column the profile lacks") << QByteArray("target,0031,00EE\ntcp:127.0.0.1:1,9000,\n") << 0
                                                    << QStringList{"column 1:3 00EE"};
        QTest::newRow("the device number below level 2") << QByteArray("target,0091\ntcp:127.0.0.1:1,DTU1\n") << 0
                                                         << QStringList{"cell 2:2 0091"};
        QTest::newRow("the device number at level 2") << QByteArray("target,0091\ntcp:127.0.0.1:1,DTU1\n") << 2
                                                      << QStringList{};
        QTest::newRow("one device under two names") << QByteArray("target\ntcp:localhost:9\ntcp:127.0.0.1:9\n") << 0
                                                    << QStringList{"same 3:1 tcp:127.0.0.1:9 (line 2)"};
    }
    void inventoryChecked()
    {
        QFETCH(QByteArray, csv);
        QFETCH(int, level);
        const WorkFolder dir(WorkFolder::kAllExamples);
        QStringList refusals;
        for (const Actions::InventoryRefusal &r : Actions::CheckInventory(Inventory::Parse(csv),
                                                                         dir.Path(QStringLiteral("example_profile.txt")),
                                                                         dir.Path(QStringLiteral("script.js")), level)) {
            using Kind = Actions::InventoryRefusal::Kind;
            const QString where = QStringLiteral("%1:%2").arg(r.line).arg(r.column);
            refusals << (r.kind == Kind::Cell           ? QStringLiteral("cell %1 %2").arg(where, r.number)
                         : r.kind == Kind::NoSuchColumn ? QStringLiteral("column %1 %2").arg(where, r.number)
                         : r.kind == Kind::SameDevice   ? QStringLiteral("same %1 %2 (line %3)").arg(where, r.target).arg(r.other)
                                                        : QStringLiteral("cannot load: ") + r.text);
        }
        QTEST(refusals, "refusals");
    }
};

DTU_TEST_GUILESS(ActionsTest)
#include "tst_actions.moc"
