// dtucfg history as a technician runs it: the entries of a store this test
// fills, listed, shown and compared, with no device, profile or script.
#include "store/RecordStore.h"
#include "support/StoreEntries.h"
#include "support/SimProcess.h"
#include "support/TestMain.h"
#include "support/WorkFolder.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const RecordValue kFirstAddress{QStringLiteral("HEX:31302E302E302E31"), QStringLiteral("10.0.0.1")};
const RecordValue kSecondAddress{QStringLiteral("HEX:31302E302E302E39"), QStringLiteral("10.0.0.9")};
const RecordValue kPort{QStringLiteral("HEX:1389"), QStringLiteral("5001")};
const RecordValue kBaud{QStringLiteral("HEX:2580"), QStringLiteral("9600")};

RecordEntry HistoryEntry(int minute, const QString &who, const QString &action, const QList<RecordRow> &rows = {})
{
    RecordEntry e = TestEntry(action, rows, minute);
    e.operatorName = who;
    return e;
}

// 1: unit 0137 read; 2: another unit identified over TCP; 3: 0137's
// centre address changed; 4: 0137 read again.
bool Fill(const QString &path)
{
    RecordEntry read = HistoryEntry(1, QStringLiteral("wang"), RecordAction::Read,
                                    {EntryRow("0030", "中心地址", kFirstAddress, "ok"), EntryRow("0031", "中心端口", kPort, "ok"),
                                     EntryRow("0030", "串口波特率", kBaud, "ok", {}, "ext")});
    RecordEntry identify = HistoryEntry(2, QStringLiteral("li"), RecordAction::Identify);
    identify.target = QStringLiteral("tcp:10.0.0.7:8888");
    identify.device = {QString(), QStringLiteral("861234567890123"), QStringLiteral("V2.1.0")};
    RecordEntry write = HistoryEntry(3, QStringLiteral("wang"), RecordAction::Write);
    write.details = QJsonObject{{QStringLiteral("written"), 1}};
    write.rows = {EntryRow("0030", "中心地址", kSecondAddress, "ok", kFirstAddress)};
    RecordEntry again = read;
    again.time = again.time.addSecs(180);
    again.rows[0].after = kSecondAddress;

    RecordLocation where;
    QString why;
    RecordStore store;
    return RecordLocation::Parse(path, &where, &why) && store.Open(where).IsNone()
        && store.Append(QList<RecordEntry>{read, identify, write, again}).Ok();
}

} // namespace

class HistoryCommandTest : public QObject {
    Q_OBJECT
private:
    WorkFolder folder_;
    QString store_;

    // Chinese unless the arguments ask for English.
    ProgramRun History(const QStringList &args)
    {
        return RunProgram(QStringLiteral("dtucfg"),
                          QStringList{QStringLiteral("--records"), store_, QStringLiteral("history")} + args,
                          folder_.Path());
    }
    ProgramRun HistoryEn(const QStringList &args)
    {
        return History(QStringList{QStringLiteral("--lang"), QStringLiteral("en")} + args);
    }

private slots:
    void initTestCase()
    {
        store_ = folder_.Path(QStringLiteral("records.sqlite"));
        QVERIFY(Fill(store_));
    }

    void listsNewestFirst()
    {
        const ProgramRun all = History({});
        QVERIFY2(all.exitCode == 0, qPrintable(all.Describe()));
        CompareLines(all.out, {"编号\t时间\t设备\t操作\t结果\t操作员",
                               "4\t2024-05-06T08:04:00.007Z\t0137\tread\tok\twang",
                               "3\t2024-05-06T08:03:00.007Z\t0137\twrite\tok\twang",
                               "2\t2024-05-06T08:02:00.007Z\t861234567890123\tidentify\tok\tli",
                               "1\t2024-05-06T08:01:00.007Z\t0137\tread\tok\twang"});
        QCOMPARE(all.err, QString());

        // One device, by number, port or IMEI; at most N.
        const ProgramRun two = History({QStringLiteral("0137"), QStringLiteral("--limit"), QStringLiteral("2")});
        QCOMPARE(two.exitCode, 0);
        CompareLines(two.out, {"编号\t时间\t设备\t操作\t结果\t操作员",
                               "4\t2024-05-06T08:04:00.007Z\t0137\tread\tok\twang",
                               "3\t2024-05-06T08:03:00.007Z\t0137\twrite\tok\twang"});
        // The heading and the entries.
        QCOMPARE(History({QStringLiteral("tcp:10.0.0.7:8888")}).out.size(), 2);
        QCOMPARE(History({QStringLiteral("861234567890123")}).out.size(), 2);
        QCOMPARE(History({QStringLiteral("/dev/ttyUSB0")}).out.size(), 4);
        // Nothing found: not even a heading.
        const ProgramRun none = History({QStringLiteral("0999")});
        QCOMPARE(none.exitCode, 0);
        QCOMPARE(none.out, QStringList());

        // In English the heading is English; the entries' names for actions
        // and outcomes are the records' own either way.
        const ProgramRun en = HistoryEn({QStringLiteral("--limit"), QStringLiteral("1")});
        QCOMPARE(en.exitCode, 0);
        CompareLines(en.out, {"id\ttime\tdevice\taction\toutcome\toperator",
                              "4\t2024-05-06T08:04:00.007Z\t0137\tread\tok\twang"});
    }

    void listsAsJson()
    {
        const ProgramRun run = History({QStringLiteral("--json"), QStringLiteral("--limit"), QStringLiteral("1"),
                                        QStringLiteral("0137")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.Describe()));
        const QJsonObject doc = QJsonDocument::fromJson(run.out.join(QLatin1Char('\n')).toUtf8()).object();
        QCOMPARE(doc.value("command").toString(), QStringLiteral("history"));
        QCOMPARE(doc.value("ok").toBool(), true);
        const QJsonArray entries = doc.value("entries").toArray();
        QCOMPARE(entries.size(), 1);
        const QJsonObject e = entries[0].toObject();
        for (const char *member : {"id", "time", "operator", "host", "program", "target", "device", "profile",
                                   "action", "outcome", "rows"})
            QVERIFY2(e.contains(QLatin1String(member)), member);
        QCOMPARE(e.value("id").toInteger(), 4);
        QCOMPARE(e.value("device").toObject().value("number").toString(), QStringLiteral("0137"));
        QCOMPARE(e.value("rows").toArray().size(), 3);
        QCOMPARE(e.value("rows").toArray()[0].toObject().value("after").toObject().value("shown").toString(),
                 QStringLiteral("10.0.0.9"));
    }

    void showsOneEntryWithItsRows()
    {
        const ProgramRun run = History({QStringLiteral("--show"), QStringLiteral("3")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.Describe()));
        CompareLines(run.out, {"记录：3",
                               "时间：2024-05-06T08:03:00.007Z",
                               "操作员：wang",
                               "主机：bench-3",
                               "程序：dtucfg",
                               "目标：/dev/ttyUSB0",
                               "设备：0137，IMEI -，固件版本 -",
                               "参数文件：示例设备（/p/示例设备.txt）sha256:ab12",
                               "操作：write",
                               "结果：ok",
                               "详情：{\"written\":1}",
                               "参数行数：1",
                               "0030\t中心地址\t10.0.0.1\t10.0.0.9\tok"});

        // An identity read by version and IMEI, in English.
        const ProgramRun en = HistoryEn({QStringLiteral("--show"), QStringLiteral("2")});
        QVERIFY2(en.exitCode == 0, qPrintable(en.Describe()));
        CompareLines(en.out, {"entry: 2",
                              "time: 2024-05-06T08:02:00.007Z",
                              "operator: li",
                              "host: bench-3",
                              "program: dtucfg",
                              "target: tcp:10.0.0.7:8888",
                              "device: -, IMEI 861234567890123, firmware V2.1.0",
                              "profile: 示例设备 (/p/示例设备.txt) sha256:ab12",
                              "action: identify",
                              "outcome: ok",
                              "rows: 0"});

        const ProgramRun json = History({QStringLiteral("--show"), QStringLiteral("3"), QStringLiteral("--json")});
        QCOMPARE(json.exitCode, 0);
        const QJsonObject entry =
            QJsonDocument::fromJson(json.out.join(QLatin1Char('\n')).toUtf8()).object().value("entry").toObject();
        const QJsonObject row = entry.value("rows").toArray()[0].toObject();
        QCOMPARE(row.value("before").toObject().value("raw").toString(), QStringLiteral("HEX:31302E302E302E31"));
        QCOMPARE(row.value("after").toObject().value("raw").toString(), QStringLiteral("HEX:31302E302E302E39"));

        const ProgramRun missing = History({QStringLiteral("--show"), QStringLiteral("99")});
        QCOMPARE(missing.exitCode, 1);
        QCOMPARE(missing.out, QStringList());
        QCOMPARE(missing.err, QStringLiteral("dtucfg: history：没有编号为 99 的记录\n"));
        const ProgramRun missingEn = HistoryEn({QStringLiteral("--show"), QStringLiteral("99")});
        QCOMPARE(missingEn.exitCode, 1);
        QCOMPARE(missingEn.err, QStringLiteral("dtucfg: history: no entry 99\n"));

        // --json says why in the one error member, with the exit status.
        const ProgramRun missingJson = History({QStringLiteral("--show"), QStringLiteral("99"), QStringLiteral("--json")});
        QCOMPARE(missingJson.exitCode, 1);
        const QJsonObject error = QJsonDocument::fromJson(missingJson.out.join(QLatin1Char('\n')).toUtf8())
                                      .object()
                                      .value("error")
                                      .toObject();
        QCOMPARE(error.value("exit_code").toInt(), 1);
        QCOMPARE(error.value("message").toString(), QStringLiteral("history：没有编号为 99 的记录"));
    }

    void comparesTwoSnapshotsAsVerifyDoes()
    {
        const ProgramRun changed = History({QStringLiteral("--diff"), QStringLiteral("1"), QStringLiteral("4")});
        QCOMPARE(changed.exitCode, 3);
        CompareLines(changed.out, {"0030\t中心地址\t10.0.0.1\t10.0.0.9", "比较了3行，其中1行不同"});

        const ProgramRun same = History({QStringLiteral("--diff"), QStringLiteral("4"), QStringLiteral("4")});
        QCOMPARE(same.exitCode, 0);
        CompareLines(same.out, {"比较了3行，没有差异"});

        // A write holds only the rows it wrote, what it sent: no snapshot.
        // Refused, naming its action and the snapshot before it.
        const ProgramRun write = History({QStringLiteral("--diff"), QStringLiteral("4"), QStringLiteral("3")});
        QCOMPARE(write.exitCode, 2);
        QVERIFY2(write.err.contains(QStringLiteral("记录 3 是 write，不是从设备读出的快照")), qPrintable(write.err));

        const ProgramRun missing = History({QStringLiteral("--diff"), QStringLiteral("1"), QStringLiteral("77")});
        QCOMPARE(missing.exitCode, 1);
        QCOMPARE(missing.err, QStringLiteral("dtucfg: history：没有编号为 77 的记录\n"));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("reason");
        QTest::newRow("diff with one id") << QStringList{"--records", "r.sqlite", "history", "--diff", "1"}
                                          << "history --diff 需要两个记录编号";
        QTest::newRow("diff with a word") << QStringList{"--records", "r.sqlite", "history", "--diff", "1", "x"}
                                          << "history：“x”不是记录编号";
        QTest::newRow("show zero") << QStringList{"history", "--show", "0"}
                                   << "--show：无效的值“0”，应为记录编号（1或更大的整数）";
        QTest::newRow("show and a device") << QStringList{"--records", "r.sqlite", "history", "--show", "1", "0137"}
                                           << "history --show 不能再指定设备";
        QTest::newRow("show and diff") << QStringList{"history", "--show", "1", "--diff", "1", "2"}
                                       << "--show 与 --diff 不能同时使用";
        QTest::newRow("two devices") << QStringList{"--records", "r.sqlite", "history", "0137", "0138"}
                                     << "history 最多指定一台设备";
        QTest::newRow("negative limit") << QStringList{"history", "--limit", "-1"}
                                        << "--limit：无效的值“-1”，应为0或更大的整数（0表示全部）";
        QTest::newRow("limit with read") << QStringList{"read", "--limit", "5"} << "--limit 对 read 命令没有意义";
        QTest::newRow("records turned off") << QStringList{"--no-records", "history"}
                                            << "history 读取设备档案，而 --no-records 关闭了设备档案";
        QTest::newRow("on and off") << QStringList{"--records", "r.sqlite", "--no-records", "history"}
                                    << "--records 与 --no-records 不能同时使用";
        QTest::newRow("bad server URL") << QStringList{"--records", "postgresql://h:99999/d", "history"}
                                        << "--records：端口“99999”应为1到65535的整数";
        QTest::newRow("snapshot without records") << QStringList{"--no-records", "write", "--snapshot", "0031=1"}
                                                  << "--snapshot 和 rollback 要用设备档案，而 --no-records 关闭了设备档案";
    }
    void usageErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, reason);
        const ProgramRun run = RunProgram(QStringLiteral("dtucfg"), args, folder_.Path());
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QStringList());
        QCOMPARE(run.err, QStringLiteral("dtucfg: %1\n用法见 'dtucfg --help'。\n").arg(reason));
    }

    // The same refusals with --lang en: English only.
    void usageErrorsInEnglish_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("reason");
        QTest::newRow("diff with a word") << QStringList{"--records", "r.sqlite", "history", "--diff", "1", "x"}
                                          << "history: \"x\" is not an entry id";
        QTest::newRow("negative limit") << QStringList{"history", "--limit", "-1"}
                                        << "--limit: invalid value \"-1\"; a whole number of 0 or more is needed (0: all)";
        QTest::newRow("on and off") << QStringList{"--records", "r.sqlite", "--no-records", "history"}
                                    << "--records and --no-records exclude each other";
        QTest::newRow("bad server URL") << QStringList{"--records", "postgresql://h:99999/d", "history"}
                                        << "--records: the port \"99999\" is not a number from 1 to 65535";
    }
    void usageErrorsInEnglish()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, reason);
        const ProgramRun run
            = RunProgram(QStringLiteral("dtucfg"), QStringList{QStringLiteral("--lang"), QStringLiteral("en")} + args,
                         folder_.Path());
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QStringList());
        QCOMPARE(run.err, QStringLiteral("dtucfg: %1\nTry 'dtucfg --help'.\n").arg(reason));
    }

    // Without --records: the file in the data folder; none there yet is
    // an empty history, and reading makes none.
    void defaultStoreInTheDataFolder()
    {
        WorkFolder data;
        const QByteArray old = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(data.Path()));
        const QString path = data.Path(QStringLiteral("dtutools/records.sqlite"));

        const ProgramRun empty = RunProgram(QStringLiteral("dtucfg"), {QStringLiteral("history")}, folder_.Path());
        const ProgramRun emptyJson =
            RunProgram(QStringLiteral("dtucfg"), {QStringLiteral("history"), QStringLiteral("--json")}, folder_.Path());
        const bool made = QFile::exists(path);
        const bool filled = Fill(path);
        const ProgramRun full = RunProgram(QStringLiteral("dtucfg"), {QStringLiteral("history"), QStringLiteral("li")},
                                           folder_.Path());
        const ProgramRun byImei = RunProgram(QStringLiteral("dtucfg"),
                                             {QStringLiteral("history"), QStringLiteral("861234567890123")},
                                             folder_.Path());
        qputenv("XDG_DATA_HOME", old);

        QCOMPARE(empty.exitCode, 0);
        QCOMPARE(empty.out, QStringList());
        QCOMPARE(empty.err, QStringLiteral("dtucfg: history：%1 中还没有设备档案\n").arg(path));
        QCOMPARE(emptyJson.exitCode, 0);
        QCOMPARE(QJsonDocument::fromJson(emptyJson.out.join(QLatin1Char('\n')).toUtf8()).object().value("entries"),
                 QJsonValue(QJsonArray()));
        QVERIFY(!made);
        QVERIFY(filled);
        QCOMPARE(full.out, QStringList());
        CompareLines(byImei.out, {"编号\t时间\t设备\t操作\t结果\t操作员",
                                  "2\t2024-05-06T08:02:00.007Z\t861234567890123\tidentify\tok\tli"});
    }

    void storeThatCannotBeOpened()
    {
        folder_.Write(QStringLiteral("notes.sqlite"), QByteArray("0137 写过\n").repeated(200));
        const ProgramRun run = RunProgram(QStringLiteral("dtucfg"),
                                          {QStringLiteral("--records"), QStringLiteral("notes.sqlite"),
                                           QStringLiteral("history")},
                                          folder_.Path());
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QStringList());
        QVERIFY2(run.err.startsWith(QStringLiteral("dtucfg: history：%1：").arg(folder_.Path(QStringLiteral("notes.sqlite")))),
                 qPrintable(run.err));
        QCOMPARE(folder_.Read(QStringLiteral("notes.sqlite")), QByteArray("0137 写过\n").repeated(200));
    }
};

DTU_TEST_GUILESS(HistoryCommandTest)

#include "tst_history_command.moc"
