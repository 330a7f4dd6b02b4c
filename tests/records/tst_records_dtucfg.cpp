// What dtucfg leaves in the device records, against the simulated device:
// every action that reads or writes the parameters is one entry with the
// device's identity, the profile and the rows; a write's rows say what the
// device held before; rollback puts a snapshot back and says so; a store that
// cannot be written never stops the work.
#include "core/TextFile.h"
#include "store/RecordStore.h"
#include "support/SimProcess.h"
#include "support/TestMain.h"
#include "support/WorkFolder.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>

namespace {

// The example device's values, as the profile gives them to dtusim.
const RecordValue kNumber{QStringLiteral("HEX:44545530303031"), QStringLiteral("DTU0001")};
const RecordValue kPort8080{QStringLiteral("HEX:1F90"), QStringLiteral("8080")};
const RecordValue kPort5001{QStringLiteral("HEX:1389"), QStringLiteral("5001")};
const RecordValue kHeartbeat60{QStringLiteral("HEX:003C"), QStringLiteral("1分0秒")};
const QString kHeartbeat90 = QStringLiteral("HEX:005A");

const RecordRow *FindRow(const RecordEntry &entry, const QString &table, const QString &number)
{
    for (const RecordRow &row : entry.rows)
        if (row.table == table && row.number == number)
            return &row;
    return nullptr;
}

} // namespace

class RecordsDtucfgTest : public QObject {
    Q_OBJECT

    WorkFolder dir_{WorkFolder::kAllExamples};
    SimProcess sim_;
    int stores_ = 0;

    QString NewStore() { return dir_.Path(QStringLiteral("records-%1.sqlite").arg(++stores_)); }

    ProgramRun Cfg(const QString &store, const QStringList &args)
    {
        QStringList all{QStringLiteral("--profile"), QStringLiteral("example_profile.txt"), QStringLiteral("--fast")};
        if (!store.isEmpty())
            all << QStringLiteral("--records") << store;
        return RunProgram(QStringLiteral("dtucfg"), all + sim_.CfgChannel() + args, dir_.Path());
    }

    static QList<RecordEntry> Entries(const QString &store)
    {
        RecordLocation where;
        QString why;
        RecordStore records;
        if (!RecordLocation::Parse(store, &where, &why) || !records.Open(where).IsNone())
            return {};
        QList<RecordEntry> entries;
        for (const RecordEntry &e : records.Entries({}, 0, false).value) {
            const auto one = records.Entry(e.id);
            if (one.Ok() && one.value)
                entries.prepend(*one.value); // oldest first
        }
        return entries;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(sim_.Start(SimProcess::ExampleArgs(), dir_.Path()), qPrintable(sim_.Error()));
    }

    void aReadIsASnapshotOfTheDevice()
    {
        const QString store = NewStore();
        const ProgramRun read = Cfg(store, {QStringLiteral("read")});
        QVERIFY2(read.exitCode == 0, qPrintable(read.Describe()));
        const QList<RecordEntry> entries = Entries(store);
        QCOMPARE(entries.size(), 1);
        const RecordEntry &e = entries[0];
        QCOMPARE(e.action, QStringLiteral("read"));
        QCOMPARE(e.outcome, QStringLiteral("ok"));
        QCOMPARE(e.program, QStringLiteral("dtucfg"));
        QCOMPARE(e.target, sim_.Pty());
        // Row 0091 was read: the device is filed under its number.
        QCOMPARE(e.device.number, QStringLiteral("DTU0001"));
        QCOMPARE(e.DeviceKey(), QStringLiteral("DTU0001"));
        QVERIFY(e.profile.path.endsWith(QLatin1String("example_profile.txt")));
        QVERIFY(!e.profile.digest.isEmpty());
        QCOMPARE(e.profile.title, QStringLiteral("示例GPRS DTU"));
        // Every row of the main table with its value, raw and shown.
        QCOMPARE(e.rows.size(), 11);
        QCOMPARE(FindRow(e, "main", "0031")->after, kPort8080);
        QCOMPARE(FindRow(e, "main", "0091")->after, kNumber);
        QCOMPARE(FindRow(e, "main", "0091")->result, QStringLiteral("read"));
        QVERIFY(!FindRow(e, "main", "0031")->before.IsKnown());
    }

    void aWriteSaysWhatTheDeviceHeldBefore()
    {
        const QString store = NewStore();
        // Without a read first, nothing is known of the device but its port.
        const ProgramRun blind = Cfg(store, {QStringLiteral("write"), QStringLiteral("0031=5001")});
        QVERIFY2(blind.exitCode == 0, qPrintable(blind.Describe()));
        QCOMPARE(Cfg(store, {QStringLiteral("read")}).exitCode, 0);
        const ProgramRun write = Cfg(store, {QStringLiteral("write"), QStringLiteral("0031=8080"),
                                             QStringLiteral("0033=90")});
        QVERIFY2(write.exitCode == 0, qPrintable(write.Describe()));

        const QList<RecordEntry> entries = Entries(store);
        QCOMPARE(entries.size(), 3);
        const RecordEntry &first = entries[0];
        QCOMPARE(first.action, QStringLiteral("write"));
        QCOMPARE(first.DeviceKey(), sim_.Pty());
        QCOMPARE(first.rows.size(), 1);
        QVERIFY(!first.rows[0].before.IsKnown());
        QCOMPARE(first.rows[0].after, kPort5001);
        QCOMPARE(first.rows[0].result, QStringLiteral("ok"));

        // The read in between found 5001; the write is filed under the port,
        // its rows' before taken from that read.
        const RecordEntry &second = entries[2];
        QCOMPARE(second.outcome, QStringLiteral("ok"));
        QCOMPARE(second.rows.size(), 2);
        QCOMPARE(FindRow(second, "main", "0031")->before, kPort5001);
        QCOMPARE(FindRow(second, "main", "0031")->after, kPort8080);
        QCOMPARE(FindRow(second, "main", "0033")->before, kHeartbeat60);
        QCOMPARE(FindRow(second, "main", "0033")->after.raw, kHeartbeat90);
        QCOMPARE(Cfg(store, {QStringLiteral("write"), QStringLiteral("0033=60")}).exitCode, 0);
    }

    void everyActionIsOneEntry()
    {
        const QString store = NewStore();
        const QStringList actions{"batch", "save", "verify", "restore", "reset", "identify"};
        for (const QString &command : actions) {
            QStringList args{command};
            if (command == QLatin1String("save") || command == QLatin1String("verify"))
                args << QStringLiteral("backup.txt");
            const ProgramRun run = Cfg(store, args);
            QVERIFY2(run.exitCode == 0, qPrintable(command + QStringLiteral(": ") + run.Describe()));
        }
        const QList<RecordEntry> entries = Entries(store);
        QCOMPARE(entries.size(), actions.size());
        for (int i = 0; i < actions.size(); ++i) {
            QCOMPARE(entries[i].action, actions[i]);
            QCOMPARE(entries[i].outcome, QStringLiteral("ok"));
        }
        // Both tables written by the batch, each row with its result.
        const RecordEntry &batch = entries[0];
        QCOMPARE(FindRow(batch, "ext", "0100")->after.shown, QStringLiteral("RS485"));
        QCOMPARE(FindRow(batch, "ext", "0100")->result, QStringLiteral("ok"));
        // Below level 2 the number is withheld: the device keeps its own.
        QCOMPARE(FindRow(batch, "main", "0091")->result, QStringLiteral("withheld"));
        QVERIFY(!FindRow(batch, "main", "0091")->after.IsKnown());
        // save and verify read both tables.
        QCOMPARE(FindRow(entries[1], "ext", "0100")->after.shown, QStringLiteral("RS485"));
        QCOMPARE(entries[2].rows.size(), entries[1].rows.size());
        QCOMPARE(entries[2].device.number, QStringLiteral("DTU0001"));
        QVERIFY(entries[3].rows.isEmpty());
        // identify queried the firmware and IMEI.
        const RecordEntry &identify = entries[5];
        QVERIFY(!identify.device.imei.isEmpty());
        QVERIFY(!identify.device.firmware.isEmpty());
        QCOMPARE(identify.DeviceKey(), identify.device.imei);

        // What identify prints is the identity it kept, in the run's language.
        const ProgramRun zh = Cfg(store, {QStringLiteral("identify")});
        QVERIFY2(zh.out.contains(QStringLiteral("固件版本：") + identify.device.firmware)
                     && zh.out.contains(QStringLiteral("IMEI：") + identify.device.imei),
                 qPrintable(zh.Describe()));
        const ProgramRun en = Cfg(store, {QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("identify")});
        QVERIFY2(en.out.contains(QStringLiteral("firmware: ") + identify.device.firmware)
                     && en.out.contains(QStringLiteral("IMEI: ") + identify.device.imei),
                 qPrintable(en.Describe()));
    }

    void snapshotBeforeAWrite()
    {
        const QString store = NewStore();
        const ProgramRun write = Cfg(store, {QStringLiteral("write"), QStringLiteral("--snapshot"),
                                             QStringLiteral("0031=5001")});
        QVERIFY2(write.exitCode == 0, qPrintable(write.Describe()));
        QVERIFY2(write.err.contains(QStringLiteral("write：写入前设备的参数值已存为记录 1\n")), qPrintable(write.err));
        const QList<RecordEntry> entries = Entries(store);
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries[0].action, QStringLiteral("read"));
        QCOMPARE(FindRow(entries[0], "ext", "0100")->after.shown, QStringLiteral("RS485"));
        // The write knows the device by the number the snapshot read.
        QCOMPARE(entries[1].device.number, QStringLiteral("DTU0001"));
        QCOMPARE(FindRow(entries[1], "main", "0031")->before, kPort8080);

        // The values the batch sends are the profile's, not those just read.
        const ProgramRun batch = Cfg(store, {QStringLiteral("batch"), QStringLiteral("--snapshot")});
        QVERIFY2(batch.exitCode == 0, qPrintable(batch.Describe()));
        const QList<RecordEntry> after = Entries(store);
        QCOMPARE(after.size(), 4);
        QCOMPARE(FindRow(after[2], "main", "0031")->after, kPort5001);
        QCOMPARE(FindRow(after[3], "main", "0031")->before, kPort5001);
        QCOMPARE(FindRow(after[3], "main", "0031")->after, kPort8080);
    }

    void rollbackPutsASnapshotBack()
    {
        const QString store = NewStore();
        QCOMPARE(Cfg(store, {QStringLiteral("read")}).exitCode, 0); // entry 1: the snapshot
        QCOMPARE(Cfg(store, {QStringLiteral("write"), QStringLiteral("0031=5001"), QStringLiteral("0033=90")}).exitCode, 0);
        const ProgramRun back = Cfg(store, {QStringLiteral("rollback"), QStringLiteral("1"), QStringLiteral("--json")});
        QVERIFY2(back.exitCode == 0, qPrintable(back.Describe()));
        const QJsonObject json = QJsonDocument::fromJson(back.out.join(QLatin1Char('\n')).toUtf8()).object();
        const QJsonObject outcome = json.value(QStringLiteral("outcome")).toObject();
        QCOMPARE(outcome.value(QStringLiteral("written")).toInt(), 2);
        QCOMPARE(outcome.value(QStringLiteral("restores")).toInt(), 1);
        QCOMPARE(json.value(QStringLiteral("record")).toInt(), 3);

        const QList<RecordEntry> entries = Entries(store);
        QCOMPARE(entries.size(), 3);
        const RecordEntry &rollback = entries[2];
        QCOMPARE(rollback.action, QStringLiteral("rollback"));
        QCOMPARE(rollback.restores, 1);
        QCOMPARE(rollback.outcome, QStringLiteral("ok"));
        // Only the rows that differed were written; the others were found as they were.
        QCOMPARE(FindRow(rollback, "main", "0031")->before, kPort5001);
        QCOMPARE(FindRow(rollback, "main", "0031")->after, kPort8080);
        QCOMPARE(FindRow(rollback, "main", "0031")->result, QStringLiteral("ok"));
        QCOMPARE(FindRow(rollback, "main", "0033")->after, kHeartbeat60);
        QCOMPARE(FindRow(rollback, "main", "0030")->result, QStringLiteral("unchanged"));
        QCOMPARE(FindRow(rollback, "main", "0091")->result, QStringLiteral("unchanged"));

        // The device holds the snapshot's values again.
        const ProgramRun read = Cfg({}, {QStringLiteral("read")});
        QVERIFY(read.out.contains(QStringLiteral("0031\t中心端口\tHEX:1F90\t8080")));

        // Nothing differs now: a second rollback writes nothing.
        const ProgramRun again = Cfg(store, {QStringLiteral("rollback"), QStringLiteral("1")});
        QVERIFY2(again.exitCode == 0, qPrintable(again.Describe()));
        QVERIFY2(again.out.last().startsWith(QStringLiteral("rollback：ok（写入0行，")), qPrintable(again.out.join('\n')));

        // An entry that is not there, or holds no values read.
        const ProgramRun none = Cfg(store, {QStringLiteral("rollback"), QStringLiteral("99")});
        QCOMPARE(none.exitCode, 2); // refused before anything was sent
        QCOMPARE(none.err, QStringLiteral("dtucfg: rollback：没有编号为 99 的记录\n"));
        const ProgramRun noneEn = Cfg(store, {QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("rollback"),
                                              QStringLiteral("99")});
        QCOMPARE(noneEn.exitCode, 2);
        QCOMPARE(noneEn.err, QStringLiteral("dtucfg: rollback: no entry 99\n"));
        QCOMPARE(Cfg(store, {QStringLiteral("rollback")}).exitCode, 2);
    }

    void aRollbackTheDeviceRefusesIsAFailure()
    {
        // A snapshot that holds 中心端口 5001, on a device that answers a refusal
        // when it is set (and keeps the value all the same).
        const QString store = NewStore();
        RecordEntry snapshot = RecordEntries::Begin(QStringLiteral("dtucfg"), RecordAction::Read);
        snapshot.target = QStringLiteral("/dev/ttyUSB7");
        RecordRow row;
        row.number = QStringLiteral("0031");
        row.name = QStringLiteral("中心端口");
        row.after = kPort5001;
        row.result = QStringLiteral("read");
        snapshot.rows = {row};
        RecordLocation where;
        QString why;
        RecordStore records;
        QVERIFY(RecordLocation::Parse(store, &where, &why) && records.Open(where).IsNone());
        QCOMPARE(records.Append(snapshot).value, 1);

        SimProcess refusing;
        QVERIFY2(refusing.Start(SimProcess::ExampleArgs() + QStringList{"--refuse", "--only", "0031"}, dir_.Path()),
                 qPrintable(refusing.Error()));
        const ProgramRun back = RunProgram(QStringLiteral("dtucfg"),
                                           QStringList{"--profile", "example_profile.txt", "--fast", "--records", store}
                                               + refusing.CfgChannel() + QStringList{"rollback", "1"},
                                           dir_.Path());
        QCOMPARE(back.exitCode, 1);
        QCOMPARE(back.out.last(), QStringLiteral("rollback：failed（写入0行，0行未变，0行因访问级别未写）；记录 2"));
        const RecordEntry rollback = Entries(store).last();
        QCOMPARE(rollback.restores, 1);
        QCOMPARE(rollback.outcome, QStringLiteral("failed"));
        QCOMPARE(rollback.rows.size(), 1);
        QCOMPARE(rollback.rows[0].result, QStringLiteral("refused"));
        QCOMPARE(rollback.rows[0].before, kPort8080);
        // What the read-back found, whatever the device answered.
        QCOMPARE(rollback.rows[0].after, kPort5001);
        QCOMPARE(rollback.details.value(QStringLiteral("differences")).toInt(), 0);

        // The device kept the value it refused: in English, a second
        // rollback finds nothing to write.
        const ProgramRun backEn = RunProgram(QStringLiteral("dtucfg"),
                                             QStringList{"--lang", "en", "--profile", "example_profile.txt", "--fast",
                                                         "--records", store}
                                                 + refusing.CfgChannel() + QStringList{"rollback", "1"},
                                             dir_.Path());
        QCOMPARE(backEn.exitCode, 0);
        QCOMPARE(backEn.out.last(),
                 QStringLiteral("rollback: ok (0 written, 1 unchanged, 0 withheld by the access level); entry 3"));
        QVERIFY(refusing.Stop());
    }

    // A snapshot of unit DTU9999 is never put onto unit DTU0001: refused,
    // said in the run's language, nothing written, and the refusal kept.
    void aSnapshotOfAnotherDeviceIsNotWritten()
    {
        const QString store = NewStore();
        RecordEntry snapshot = RecordEntries::Begin(QStringLiteral("dtucfg"), RecordAction::Read);
        snapshot.target = sim_.Pty();
        snapshot.device.number = QStringLiteral("DTU9999");
        RecordRow row;
        row.number = QStringLiteral("0031");
        row.name = QStringLiteral("中心端口");
        row.after = kPort5001;
        row.result = QStringLiteral("read");
        snapshot.rows = {row};
        RecordLocation where;
        QString why;
        RecordStore records;
        QVERIFY(RecordLocation::Parse(store, &where, &why) && records.Open(where).IsNone());
        QCOMPARE(records.Append(snapshot).value, 1);

        const ProgramRun back = Cfg(store, {QStringLiteral("rollback"), QStringLiteral("1")});
        QCOMPARE(back.exitCode, 1);
        QVERIFY2(back.err.contains(QStringLiteral("dtucfg: rollback：记录 1 是设备 DTU9999 的，这台设备是 DTU0001；什么也没有写\n")),
                 qPrintable(back.err));
        const ProgramRun en = Cfg(store, {QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("rollback"),
                                          QStringLiteral("1")});
        QCOMPARE(en.exitCode, 1);
        QVERIFY2(en.err.contains(QStringLiteral("dtucfg: rollback: entry 1 is of device DTU9999; this device is DTU0001; nothing written\n")),
                 qPrintable(en.err));
        const ProgramRun read = Cfg({}, {QStringLiteral("read")});
        QVERIFY(read.out.contains(QStringLiteral("0031\t中心端口\tHEX:1F90\t8080")));
        const QList<RecordEntry> entries = Entries(store);
        QCOMPARE(entries.size(), 3);
        QCOMPARE(entries[1].outcome, QStringLiteral("other-device"));
    }

    // A connection that is refused is the network's failure, as for every
    // command: exit 1, said in the run's language, no entry kept.
    void aRollbackWhoseConnectionFailsIsADeviceFailure()
    {
        const QString store = NewStore();
        QCOMPARE(Cfg(store, {QStringLiteral("read")}).exitCode, 0);
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString port = QString::number(closed.serverPort());
        closed.close();
        const ProgramRun back = Cfg(store, {QStringLiteral("--tcp"), QStringLiteral("127.0.0.1"), QStringLiteral("--tcp-port"),
                                            port, QStringLiteral("rollback"), QStringLiteral("1")});
        QCOMPARE(back.exitCode, 1);
        QVERIFY2(back.err.contains(QStringLiteral("dtucfg: TCP维护端口连接失败：127.0.0.1:%1 拒绝连接（该端口没有程序在监听）\n")
                                       .arg(port)),
                 qPrintable(back.err));
        QCOMPARE(Entries(store).size(), 1);
    }

    void aStoreThatCannotBeWrittenIsOneWarning()
    {
        // A folder where the file should be: it cannot be opened.
        const QString store = dir_.Path(QStringLiteral("a-folder.sqlite"));
        QVERIFY(QDir().mkpath(store));
        const ProgramRun run = Cfg(store, {QStringLiteral("write"), QStringLiteral("0033=60")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.Describe()));
        QCOMPARE(run.err.count(QStringLiteral("dtucfg: 警告：这次操作没有记入设备档案：")), 1);
        const ProgramRun en = Cfg(store, {QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("write"),
                                          QStringLiteral("0033=60")});
        QVERIFY2(en.exitCode == 0, qPrintable(en.Describe()));
        QCOMPARE(en.err.count(QStringLiteral("dtucfg: warning: the device record was not kept: ")), 1);

        const ProgramRun off = Cfg({}, {QStringLiteral("--no-records"), QStringLiteral("read")});
        QCOMPARE(off.exitCode, 0);
        QVERIFY(!QFile::exists(QDir(qEnvironmentVariable("XDG_DATA_HOME")).filePath("dtutools/records.sqlite"))
                || off.err.isEmpty());
    }

    void aFleetRunIsRecordedAndRolledBack()
    {
        // Two devices that start with 中心端口 80, where the profile has 8080.
        QVERIFY(QDir().mkpath(dir_.Path(QStringLiteral("fleet"))));
        QString profile = TextFile::FromGbk(dir_.Read(QStringLiteral("example_profile.txt")));
        profile.replace(QStringLiteral("HEX:1F90"), QStringLiteral("HEX:0050"));
        dir_.WriteGbk(QStringLiteral("fleet/example_profile.txt"), profile);
        dir_.Write(QStringLiteral("fleet/example_ext.txt"), dir_.Read(QStringLiteral("example_ext.txt")));
        dir_.Write(QStringLiteral("fleet/script.js"), dir_.Read(QStringLiteral("script.js")));
        SimProcess fleet;
        QVERIFY2(fleet.Start({"--profile", dir_.Path(QStringLiteral("fleet/example_profile.txt")), "--tcp", "0",
                              "--count", "2"},
                             dir_.Path(QStringLiteral("fleet")), 2),
                 qPrintable(fleet.Error()));
        const QString first = QStringLiteral("tcp:127.0.0.1:") + fleet.TcpPort(1);
        const QString second = QStringLiteral("tcp:127.0.0.1:") + fleet.TcpPort(2);
        dir_.Write(QStringLiteral("fleet.csv"), ("target,name\n" + first + ",a\n" + second + ",b\n").toUtf8());

        const QString store = NewStore();
        const ProgramRun run = RunProgram(QStringLiteral("dtucfg"),
                                          {"fleet", "fleet.csv", "--profile", "example_profile.txt", "--fast",
                                           "--identify", "--records", store, "--report", "report.json", "--json"},
                                          dir_.Path(), 120000);
        QVERIFY2(run.exitCode == 0, qPrintable(run.Describe()));
        const QString runId = QJsonDocument::fromJson(run.out.join(QLatin1Char('\n')).toUtf8())
                                  .object()
                                  .value(QStringLiteral("outcome"))
                                  .toObject()
                                  .value(QStringLiteral("run"))
                                  .toString();
        QVERIFY2(!runId.isEmpty(), qPrintable(run.out.join(QLatin1Char('\n'))));
        QVERIFY(run.err.contains(QStringLiteral("dtucfg rollback --run ") + runId));

        // Per device a snapshot read, then the provision; the report names the provision.
        const QJsonArray devices = QJsonDocument::fromJson(dir_.Read(QStringLiteral("report.json")))
                                       .object()
                                       .value(QStringLiteral("devices"))
                                       .toArray();
        QCOMPARE(devices.size(), 2);
        const QList<RecordEntry> entries = Entries(store);
        QVERIFY2(entries.size() == 4, qPrintable(QStringLiteral("%1 entries; %2\n%3")
                                                     .arg(entries.size())
                                                     .arg(run.Describe(),
                                                          QString::fromUtf8(dir_.Read(QStringLiteral("report.json"))))));
        for (const QJsonValue &d : devices) {
            const qint64 id = d.toObject().value(QStringLiteral("record")).toInteger();
            const RecordEntry *provision = nullptr;
            for (const RecordEntry &e : entries)
                if (e.id == id)
                    provision = &e;
            QVERIFY(provision);
            QCOMPARE(provision->action, QStringLiteral("provision"));
            QCOMPARE(provision->program, QStringLiteral("fleet"));
            QCOMPARE(provision->fleetRun, runId);
            QCOMPARE(provision->target, d.toObject().value(QStringLiteral("target")).toString());
            QCOMPARE(provision->outcome, QStringLiteral("ok"));
            QVERIFY(!provision->device.imei.isEmpty());
            QCOMPARE(provision->device.number, QStringLiteral("DTU0001"));
            QCOMPARE(FindRow(*provision, "main", "0031")->before, (RecordValue{"HEX:0050", "80"}));
            QCOMPARE(FindRow(*provision, "main", "0031")->after, kPort8080);
        }
        int snapshots = 0;
        for (const RecordEntry &e : entries)
            snapshots += e.action == QLatin1String("read") && e.fleetRun == runId ? 1 : 0;
        QCOMPARE(snapshots, 2);

        // The whole run undone: each device back to its snapshot.
        const ProgramRun back = RunProgram(QStringLiteral("dtucfg"),
                                           {"rollback", "--run", runId, "--profile", "example_profile.txt", "--fast",
                                            "--records", store},
                                           dir_.Path(), 120000);
        QVERIFY2(back.exitCode == 0, qPrintable(back.Describe()));
        // One line per device (after the lines of the reads and writes), then the sum.
        QCOMPARE(back.out.last(), QStringLiteral("批量运行 %1 的恢复：2台设备").arg(runId));
        QStringList lines = back.out.filter(QRegularExpression(QStringLiteral("^tcp:.*\t")));
        QCOMPARE(lines.size(), 2);
        lines.sort();
        QStringList targets{first, second};
        targets.sort();
        for (int i = 0; i < 2; ++i)
            QVERIFY2(lines[i].startsWith(targets[i] + QStringLiteral("\tok\t")), qPrintable(back.out.join('\n')));
        for (int unit = 1; unit <= 2; ++unit) {
            const ProgramRun read = RunProgram(QStringLiteral("dtucfg"),
                                               QStringList{"--profile", "example_profile.txt", "--fast", "--no-records"}
                                                   + fleet.CfgChannel(unit) + QStringList{"read"},
                                               dir_.Path());
            QVERIFY2(read.out.contains(QStringLiteral("0031\t中心端口\tHEX:0050\t80")), qPrintable(read.Describe()));
        }

        // A store the workers cannot write: each device is still written,
        // and the run says, per device, that its entries were not kept.
        dir_.Write(QStringLiteral("blocker"), "a file, not a folder");
        const ProgramRun unkept = RunProgram(QStringLiteral("dtucfg"),
                                             {"fleet", "fleet.csv", "--profile", "example_profile.txt", "--fast",
                                              "--records", dir_.Path(QStringLiteral("blocker/records.sqlite"))},
                                             dir_.Path(), 120000);
        QVERIFY2(unkept.exitCode == 0, qPrintable(unkept.Describe()));
        for (const QString &target : {first, second})
            QVERIFY2(unkept.err.count(QStringLiteral("dtucfg: 警告：%1 的操作没有记入设备档案：").arg(target)) == 1,
                     qPrintable(unkept.Describe()));
        QVERIFY(fleet.Stop());
    }

    void cleanupTestCase() { QVERIFY(sim_.Stop()); }
};

DTU_TEST_GUILESS(RecordsDtucfgTest)

#include "tst_records_dtucfg.moc"
