// dtucfg history: the entries of a store this test fills, listed, shown and
// compared, with no device, profile or script (dtucfg in this process).
#include "store/RecordStore.h"
#include "support/SimLine.h"
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

    WorkFolder folder_;
    QString store_;
    VirtualDevice unused_; // history reaches no device: dtucfg runs in this process

    ProgramRun Cfg(const QStringList &args) { return unused_.Cfg(args, folder_.Path()); }

private slots:
    void initTestCase()
    {
        store_ = folder_.Path(QStringLiteral("records.sqlite"));
        QVERIFY(Fill(store_));
    }

    // What history prints of the store filled above, in Chinese and in
    // English; its refusals are in e2e/tst_dtucfg_refusals.
    void history_data()
    {
        QTest::addColumn<QStringList>("args"); // after history
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("zh");
        QTest::addColumn<QStringList>("en"); // empty: not run
        QTest::addColumn<QString>("said");   // standard error in Chinese, "" none
        using L = QStringList;
        const QString headZh = QStringLiteral("编号\t时间\t设备\t操作\t结果\t操作员");
        const QString headEn = QStringLiteral("id\ttime\tdevice\taction\toutcome\toperator");
        const QString e4 = QStringLiteral("4\t2024-05-06T08:04:00.007Z\t0137\tread\tok\twang");
        const QString e3 = QStringLiteral("3\t2024-05-06T08:03:00.007Z\t0137\twrite\tok\twang");
        const QString e2 = QStringLiteral("2\t2024-05-06T08:02:00.007Z\t861234567890123\tidentify\tok\tli");
        const QString e1 = QStringLiteral("1\t2024-05-06T08:01:00.007Z\t0137\tread\tok\twang");
        // Newest first; the names of actions and outcomes are the records' own.
        QTest::newRow("all") << L{} << 0 << L{headZh, e4, e3, e2, e1} << L{headEn, e4, e3, e2, e1} << QString();
        QTest::newRow("a device by number, at most 2") << L{"0137", "--limit", "2"} << 0 << L{headZh, e4, e3} << L{}
                                                      << QString();
        QTest::newRow("a device by its TCP target") << L{"tcp:10.0.0.7:8888"} << 0 << L{headZh, e2} << L{} << QString();
        QTest::newRow("a device by IMEI") << L{"861234567890123"} << 0 << L{headZh, e2} << L{} << QString();
        QTest::newRow("a device by port") << L{"/dev/ttyUSB0"} << 0 << L{headZh, e4, e3, e1} << L{} << QString();
        // Nothing found: not even a heading.
        QTest::newRow("no such device") << L{"0999"} << 0 << L{} << L{} << QStringLiteral("dtucfg: history：设备档案中没有 0999 的记录");
        QTest::newRow("one entry with its rows")
            << L{"--show", "3"} << 0
            << L{"记录：3", "时间：2024-05-06T08:03:00.007Z", "操作员：wang", "主机：bench-3", "程序：dtucfg",
                 "目标：/dev/ttyUSB0", "设备：0137，IMEI -，固件版本 -", "参数文件：示例设备（/p/示例设备.txt）sha256:ab12",
                 "操作：write", "结果：ok", "详情：{\"written\":1}", "参数行数：1", "0030\t中心地址\t10.0.0.1\t10.0.0.9\tok"}
            << L{} << QString();
        QTest::newRow("an identity read by version and IMEI")
            << L{"--show", "2"} << 0 << L{"*", "设备：-，IMEI 861234567890123，固件版本 V2.1.0", "*"}
            << L{"entry: 2", "time: 2024-05-06T08:02:00.007Z", "operator: li", "host: bench-3", "program: dtucfg",
                 "target: tcp:10.0.0.7:8888", "device: -, IMEI 861234567890123, firmware V2.1.0",
                 "profile: 示例设备 (/p/示例设备.txt) sha256:ab12", "action: identify", "outcome: ok", "rows: 0"}
            << QString();
        QTest::newRow("no such entry") << L{"--show", "99"} << 1 << L{} << L{} << QStringLiteral("dtucfg: history：没有编号为 99 的记录");
        // Two snapshots compared as verify compares.
        QTest::newRow("two snapshots that differ") << L{"--diff", "1", "4"} << 3
                                                   << L{"0030\t中心地址\t10.0.0.1\t10.0.0.9", "比较了3行，其中1行不同"} << L{}
                                                   << QString();
        QTest::newRow("a snapshot with itself") << L{"--diff", "4", "4"} << 0 << L{"比较了3行，没有差异"} << L{} << QString();
        // A write holds only what it sent: no snapshot; the one before it is named.
        QTest::newRow("a write is no snapshot")
            << L{"--diff", "4", "3"} << 2 << L{} << L{}
            << QStringLiteral("dtucfg: history：记录 3 是 write，不是从设备读出的快照；这台设备在它之前最近的快照是记录 1");
        QTest::newRow("a snapshot not there") << L{"--diff", "1", "77"} << 1 << L{} << L{}
                                              << QStringLiteral("dtucfg: history：没有编号为 77 的记录");
    }
    void history()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QStringList, zh);
        QFETCH(QStringList, en);
        QFETCH(QString, said);
        const auto compare = [](const QStringList &out, const QStringList &expected) {
            QCOMPARE(out.size(), expected.size());
            for (qsizetype i = 0; i < expected.size(); ++i)
                if (expected[i] != QLatin1String("*"))
                    QCOMPARE(out[i], expected[i]);
        };
        const QStringList history{QStringLiteral("--records"), store_, QStringLiteral("history")};
        const ProgramRun run = Cfg(history + args);
        QVERIFY2(run.exitCode == status, qPrintable(run.Describe()));
        if (zh.value(0) == QLatin1String("*"))
            QVERIFY(run.out.contains(zh[1]));
        else
            compare(run.out, zh);
        QCOMPARE(run.err.section(QLatin1Char('\n'), 0, 0), said);
        if (!en.isEmpty()) {
            const ProgramRun english = Cfg(QStringList{QStringLiteral("--lang"), QStringLiteral("en")} + history + args);
            QVERIFY2(english.exitCode == status, qPrintable(english.Describe()));
            compare(english.out, en);
        }
    }

    // --json: the entries as scripts read them, and why not in the error.
    void asJson()
    {
        const auto document = [this](const QStringList &args) {
            return QJsonDocument::fromJson(
                       Cfg(QStringList{QStringLiteral("--json"), QStringLiteral("--records"), store_, QStringLiteral("history")}
                           + args)
                           .out.join(QLatin1Char('\n'))
                           .toUtf8())
                .object();
        };
        const QJsonObject list = document({QStringLiteral("--limit"), QStringLiteral("1"), QStringLiteral("0137")});
        QCOMPARE(list.value("command").toString(), QStringLiteral("history"));
        const QJsonArray entries = list.value("entries").toArray();
        QCOMPARE(entries.size(), 1);
        const QJsonObject e = entries[0].toObject();
        for (const char *member : {"id", "time", "operator", "host", "program", "target", "device", "profile", "action",
                                   "outcome", "rows"})
            QVERIFY2(e.contains(QLatin1String(member)), member);
        QCOMPARE(e.value("id").toInteger(), 4);
        QCOMPARE(e.value("rows").toArray()[0].toObject().value("after").toObject().value("shown").toString(),
                 QStringLiteral("10.0.0.9"));
        const QJsonObject row = document({QStringLiteral("--show"), QStringLiteral("3")})
                                    .value("entry").toObject().value("rows").toArray()[0].toObject();
        QCOMPARE(row.value("before").toObject().value("raw").toString(), QStringLiteral("HEX:31302E302E302E31"));
        const QJsonObject error = document({QStringLiteral("--show"), QStringLiteral("99")}).value("error").toObject();
        QCOMPARE(error.value("exit_code").toInt(), 1);
        QCOMPARE(error.value("message").toString(), QStringLiteral("history：没有编号为 99 的记录"));
    }

    // At most 50 entries unless told; --limit 0 lists them all.
    void theDefaultLimit()
    {
        const QString many = folder_.Path(QStringLiteral("many.sqlite"));
        QCOMPARE(KeepEntries(many, QList<RecordEntry>(55, TestEntry(RecordAction::Read))).size(), 55);
        const QStringList history{QStringLiteral("--records"), many, QStringLiteral("history")};
        QCOMPARE(Cfg(history).out.size(), 1 + 50);
        QCOMPARE(Cfg(history + QStringList{QStringLiteral("--limit"), QStringLiteral("0")}).out.size(), 1 + 55);
    }

    // Without --records: the file in the data folder; none there yet is an
    // empty history, and reading makes none.
    void theDefaultStoreInTheDataFolder()
    {
        WorkFolder data;
        const QByteArray old = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(data.Path()));
        const QString path = data.Path(QStringLiteral("dtutools/records.sqlite"));
        const ProgramRun empty = Cfg({QStringLiteral("history")});
        const ProgramRun emptyJson = Cfg({QStringLiteral("history"), QStringLiteral("--json")});
        const bool made = QFile::exists(path);
        const bool filled = Fill(path);
        const ProgramRun byImei = Cfg({QStringLiteral("history"), QStringLiteral("861234567890123")});
        qputenv("XDG_DATA_HOME", old);
        QCOMPARE(empty.exitCode, 0);
        QCOMPARE(empty.out, QStringList());
        QCOMPARE(empty.err, QStringLiteral("dtucfg: history：%1 中还没有设备档案\n").arg(path));
        QCOMPARE(QJsonDocument::fromJson(emptyJson.out.join(QLatin1Char('\n')).toUtf8()).object().value("entries"),
                 QJsonValue(QJsonArray()));
        QVERIFY(!made && filled);
        QCOMPARE(byImei.out.size(), 2);
    }

    // A file that is no store: said, and left as it was.
    void aFileThatIsNoStore()
    {
        folder_.Write(QStringLiteral("notes.sqlite"), QByteArray("0137 写过\n").repeated(200));
        const ProgramRun run = Cfg({QStringLiteral("--records"), QStringLiteral("notes.sqlite"), QStringLiteral("history")});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.startsWith(QStringLiteral("dtucfg: history：%1：").arg(folder_.Path(QStringLiteral("notes.sqlite")))),
                 qPrintable(run.err));
        QCOMPARE(folder_.Read(QStringLiteral("notes.sqlite")), QByteArray("0137 写过\n").repeated(200));
    }
};

DTU_TEST_GUILESS(HistoryCommandTest)
#include "tst_history_command.moc"
