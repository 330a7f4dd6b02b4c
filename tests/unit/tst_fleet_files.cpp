// The files of a fleet run: the inventory a technician writes (quoting,
// byte-order mark, its columns and the values it refuses, one port under
// two names) and the report (CSV and JSON), and the worker's event lines
// the runner reads back.
#include "core/DtuError.h"
#include "core/Translation.h"
#include "fleet/FleetReport.h"
#include "fleet/FleetWording.h"
#include "fleet/FleetRunner.h"
#include "fleet/Inventory.h"
#include "fleet/WorkerEvents.h"
#include "support/TestMain.h"
#include "support/WorkFolder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The reason a bad inventory is refused, as the English run words it (""
// when it is accepted).
QString Refusal(const QByteArray &csv, Language language = Language::English)
{
    QString text;
    try {
        Inventory::Parse(csv);
    } catch (const Inventory::ParseError &e) {
        Translation::Install(language);
        text = FleetWording::InventoryProblem(e.problem);
        Translation::Install(Language::Chinese);
    }
    return text;
}

} // namespace

class FleetFilesTest : public QObject {
    Q_OBJECT
private slots:
    void inventoryColumnsTargetsAndQuoting()
    {
        const Inventory::Table t = Inventory::Parse(
            "\xEF\xBB\xBFname,target,password,0091,0030\r\n"
            "\"柜1, 左\",tcp:10.0.0.7:4001,135790,DTU0007,\"10.0.0.\"\"9\"\r\n"
            "\r\n"
            "\"two\nlines\",/dev/ttyUSB0,,,HEX:0a0B\n"
            "plain,TCP:host.example\n");
        QCOMPARE(t.valueColumns, (QStringList{QStringLiteral("0091"), QStringLiteral("0030")}));
        QCOMPARE(t.devices.size(), 3);

        const FleetDevice &first = t.devices[0];
        QCOMPARE(first.name, QStringLiteral("柜1, 左"));
        QVERIFY(first.target.tcp);
        QCOMPARE(first.target.host, QStringLiteral("10.0.0.7"));
        QCOMPARE(first.target.tcpPort, quint16(4001));
        QCOMPARE(first.password, QStringLiteral("135790"));
        QCOMPARE(first.values.size(), 2);
        QCOMPARE(first.values[0], (QPair<QString, QString>(QStringLiteral("0091"), QStringLiteral("DTU0007"))));
        QCOMPARE(first.values[1].second, QStringLiteral("10.0.0.\"9"));

        // Empty cells keep the profile's value; a serial port is passed as given.
        const FleetDevice &second = t.devices[1];
        QCOMPARE(second.name, QStringLiteral("two\nlines"));
        QVERIFY(!second.target.tcp);
        QCOMPARE(second.target.Text(), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(second.values.size(), 1);
        QCOMPARE(second.values[0].first, QStringLiteral("0030"));
        QCOMPARE(second.values[0].second, QStringLiteral("HEX:0a0B"));

        // A short row: the missing cells are empty. "TCP:" in capitals is a
        // TCP target too, on the maintenance port by default.
        QVERIFY(t.devices[2].target.tcp);
        QCOMPARE(t.devices[2].target.host, QStringLiteral("host.example"));
        QCOMPARE(t.devices[2].target.Text(), QStringLiteral("tcp:host.example:8888"));
        QVERIFY(t.devices[2].values.isEmpty());
    }

    // An inventory saved by a spreadsheet in the Chinese Windows encoding
    // (GBK, no byte-order mark) reads as the same names and values.
    void inventoryInGbk()
    {
        // "name,target,0032\n柜1,tcp:10.0.0.7,中\n" with 柜 = B9F1, 中 = D6D0 in GBK.
        const Inventory::Table t = Inventory::Parse("name,target,0032\n\xB9\xF1" "1,tcp:10.0.0.7,\xD6\xD0\n");
        QCOMPARE(t.devices.size(), 1);
        QCOMPARE(t.devices[0].name, QStringLiteral("柜1"));
        QCOMPARE(t.devices[0].values.value(0).second, QStringLiteral("中"));
    }

    // How many workers run at once: --jobs when given, else every device,
    // at most 16; never none.
    void workersAtOnce()
    {
        QCOMPARE(FleetRunner::JobsFor(3, 0), 3);
        QCOMPARE(FleetRunner::JobsFor(40, 0), 16);
        QCOMPARE(FleetRunner::JobsFor(40, 20), 20);
        QCOMPARE(FleetRunner::JobsFor(3, 1), 1);
        QCOMPARE(FleetRunner::JobsFor(3, 8), 3);
        QCOMPARE(FleetRunner::JobsFor(0, 0), 1);
    }

    void inventoryRefusals()
    {
        QCOMPARE(Refusal("name,0091\nx,1\n"), QStringLiteral("line 1: no \"target\" column"));
        QCOMPARE(Refusal("target,colour\n/dev/ttyS0,red\n"),
                 QStringLiteral("line 1, column 2: unknown column \"colour\" (target, password, name or a parameter number)"));
        QCOMPARE(Refusal("target,0031\ntcp:a:1,HEX:1F9\n"), QStringLiteral("line 2, column 2: HEX:1F9: HEX: needs hex digits in pairs"));
        QCOMPARE(Refusal("target\ntcp:a:70000\n"), QStringLiteral("line 2, column 1: tcp:a:70000: the TCP port must be 1 to 65535"));
        QCOMPARE(Refusal("target\ntcp:a:0\n"), QStringLiteral("line 2, column 1: tcp:a:0: the TCP port must be 1 to 65535"));
        QCOMPARE(Refusal("target\ntcp:\n"), QStringLiteral("line 2, column 1: tcp:: no host"));
        QCOMPARE(Refusal("target,name\n,nobody\n"), QStringLiteral("line 2, column 1: empty target"));
        QCOMPARE(Refusal("target\n/dev/ttyS0,extra\n"), QStringLiteral("line 2, column 2: 2 cells, the header has 1"));
        // Two runs on one port would clash; host names compare without case.
        QCOMPARE(Refusal("target\ntcp:Host:9000\ntcp:host:9000\n"), QStringLiteral("line 3, column 1: tcp:host:9000 is listed twice (first on line 2)"));
        QCOMPARE(Refusal("target\n\"tcp:a:1\n"), QStringLiteral("line 2, column 1: a quoted field is not closed"));
        QCOMPARE(Refusal(""), QStringLiteral("the inventory is empty"));
        // Line numbers count the line breaks inside quoted fields.
        QCOMPARE(Refusal("target,name\n/dev/ttyS0,\"a\nb\"\n/dev/ttyS0,c\n"),
                 QStringLiteral("line 4, column 1: /dev/ttyS0 is listed twice (first on line 2)"));
        // The Chinese run's words, and a file that cannot be read.
        QCOMPARE(Refusal("target\ntcp:Host:9000\ntcp:host:9000\n", Language::Chinese),
                 QStringLiteral("第3行第1列：tcp:host:9000 已在第2行列出"));
        QCOMPARE(Refusal("target,0031\ntcp:a:1,HEX:1F9\n", Language::Chinese),
                 QStringLiteral("第2行第2列：HEX:1F9：HEX: 后面应是成对的十六进制数字"));
        try {
            Inventory::Read(QStringLiteral("/no/such/inventory.csv"));
            QFAIL("read a file that is not there");
        } catch (const Inventory::ParseError &e) {
            QCOMPARE(e.problem.kind, Inventory::Problem::Kind::Unreadable);
            QCOMPARE(e.problem.file, QStringLiteral("/no/such/inventory.csv"));
            QVERIFY(FleetWording::InventoryProblem(e.problem).startsWith(QStringLiteral("/no/such/inventory.csv：无法读取：")));
        }
    }

    // One port under two spellings is one device: two workers on it would clash.
    void inventorySerialPortUnderTwoNames_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::newRow("bare name and path") << QByteArray("ttyUSB0") << QByteArray("/dev/ttyUSB0");
        QTest::newRow("path and bare name") << QByteArray("/dev/ttyACM1") << QByteArray("ttyACM1");
        QTest::newRow("COM name and its device") << QByteArray("COM1") << QByteArray("/dev/ttyS0");
        QTest::newRow("COM names without case") << QByteArray("com3") << QByteArray("COM3");
    }
    void inventorySerialPortUnderTwoNames()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QCOMPARE(Refusal("target\n" + first + "\n" + second + "\n"),
                 QStringLiteral("line 3, column 1: %1 is listed twice (first on line 2)").arg(QString::fromLatin1(second)));
        // Different ports stay apart.
        QCOMPARE(Refusal("target\n" + first + "\n/dev/ttyUSB9\n"), QString());
    }

    // A column given twice leaves unclear which cell counts.
    void inventoryColumnTwice()
    {
        QCOMPARE(Refusal("target,name,target\n/dev/ttyS0,a,/dev/ttyS1\n"),
                 QStringLiteral("line 1, column 3: the column \"target\" appears twice"));
        QCOMPARE(Refusal("Target,0031,0030,0031\n/dev/ttyS0,1,2,3\n"),
                 QStringLiteral("line 1, column 4: the column \"0031\" appears twice"));
        QCOMPARE(Refusal("target,00a1,00A1\n/dev/ttyS0,1,2\n"),
                 QStringLiteral("line 1, column 3: the column \"00A1\" appears twice"));
        QCOMPARE(Refusal("target,password,PASSWORD\n/dev/ttyS0,1,2\n"),
                 QStringLiteral("line 1, column 3: the column \"PASSWORD\" appears twice"));
    }

    void inventoryRendersWhatItReads()
    {
        Inventory::Table t;
        t.valueColumns = {QStringLiteral("0031")};
        FleetDevice d;
        QString error;
        d.target = *Endpoint::Parse(QStringLiteral("tcp:127.0.0.1:5000"));
        d.name = QStringLiteral("a \"quoted\", name");
        d.password = QStringLiteral("=1+2"); // read back by the tool itself: kept as it is, formula or not
        d.values.append({QStringLiteral("0031"), QStringLiteral("9000")});
        t.devices << d;
        const QByteArray csv = Inventory::Render(t);
        QCOMPARE(csv, QByteArray("target,name,password,0031\r\ntcp:127.0.0.1:5000,\"a \"\"quoted\"\", name\",=1+2,9000\r\n"));
        const Inventory::Table back = Inventory::Parse(csv);
        QCOMPARE(back.devices.size(), 1);
        QCOMPARE(back.devices[0].name, d.name);
        QCOMPARE(back.devices[0].password, d.password);
        QCOMPARE(back.devices[0].values, d.values);
    }

    void reportsInCsvAndJson()
    {
        QList<DeviceReport> devices;
        devices.append({QStringLiteral("tcp:127.0.0.1:4001"), QStringLiteral("柜1"), OutcomeId::Ok, 13, {}, {}, 2.04, {}});
        DeviceReport refused{QStringLiteral("/dev/pts/4"), QStringLiteral("b,c"), OutcomeId::WrittenWithErrors, 12};
        refused.failed.append({QStringLiteral("0031"), QStringLiteral("中心端口"), QStringLiteral("[参数设置失败]")});
        refused.differences.append({QStringLiteral("0030"), QStringLiteral("中心地址"), QStringLiteral("10.0.0.8"),
                                    QStringLiteral("10.0.0.9")});
        refused.seconds = 7.24;
        refused.record = 812;
        devices << refused;
        devices.append({QStringLiteral("tcp:127.0.0.1:4003"), {}, OutcomeId::Unreachable, 0, {}, {}, 6,
                        DeviceWhy{DeviceWhy::Kind::NoAnswer}});

        QCOMPARE(FleetReport::Csv(devices),
                 QByteArray("target,name,outcome,rows_written,rows_unchanged,rows_failed,failures,differences,seconds,detail,record,own_number,not_compared\r\n"
                            "tcp:127.0.0.1:4001,柜1,ok,13,0,0,,,2.0,,,,0\r\n"
                            "/dev/pts/4,\"b,c\",written-with-errors,12,0,1,0031 中心端口 [参数设置失败],"
                            "0030 中心地址: 10.0.0.8 -> 10.0.0.9,7.2,,812,,0\r\n"
                            "tcp:127.0.0.1:4003,,unreachable,0,0,0,,,6.0,no answer from the device,,,0\r\n"));

        const QJsonObject root = QJsonDocument::fromJson(FleetReport::Json(devices)).object();
        QCOMPARE(root.value(QStringLiteral("total")).toInt(), 3);
        QCOMPARE(root.value(QStringLiteral("ok")).toInt(), 1);
        const QJsonObject second = root.value(QStringLiteral("devices")).toArray().at(1).toObject();
        QCOMPARE(second.value(QStringLiteral("outcome")).toString(), QStringLiteral("written-with-errors"));
        QCOMPARE(second.value(QStringLiteral("rows_written")).toInt(), 12);
        QCOMPARE(second.value(QStringLiteral("record")).toInteger(), 812);
        QVERIFY(root.value(QStringLiteral("devices")).toArray().at(0).toObject().value(QStringLiteral("record")).isNull());
        const QJsonObject failure = second.value(QStringLiteral("rows_failed")).toArray().at(0).toObject();
        QCOMPARE(failure.value(QStringLiteral("number")).toString(), QStringLiteral("0031"));
        QCOMPARE(failure.value(QStringLiteral("result")).toString(), QStringLiteral("[参数设置失败]"));
        const QJsonObject difference = second.value(QStringLiteral("differences")).toArray().at(0).toObject();
        QCOMPARE(difference.value(QStringLiteral("device")).toString(), QStringLiteral("10.0.0.9"));

        devices.append({QStringLiteral("tcp:127.0.0.1:4004"), {}, OutcomeId::Ok, 13, {}, {}, 1, {}});
        QCOMPARE(FleetReport::Counts(devices),
                 (QList<QPair<OutcomeId, int>>{{OutcomeId::Ok, 2}, {OutcomeId::WrittenWithErrors, 1}, {OutcomeId::Unreachable, 1}}));
        devices.removeLast();

        // By suffix, and written whole.
        WorkFolder dir;
        FleetReport::Write(dir.Path(QStringLiteral("r.JSON")), devices);
        QVERIFY(dir.Read(QStringLiteral("r.JSON")).startsWith('{'));
        FleetReport::Write(dir.Path(QStringLiteral("r.csv")), devices);
        QVERIFY(dir.Read(QStringLiteral("r.csv")).startsWith("target,"));
        bool refusedWrite = false;
        try {
            FleetReport::Write(dir.Path(QStringLiteral("no/such/folder/r.csv")), devices);
        } catch (const DtuError &) {
            refusedWrite = true;
        }
        QVERIFY(refusedWrite);
    }

    // A field holding a line break of either kind is quoted, so a
    // spreadsheet keeps it in its cell (as the inventory writes it).
    void reportQuotesLineBreaks()
    {
        DeviceReport crashed{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("cabinet\r7"), OutcomeId::Failed, 0};
        crashed.why = {DeviceWhy::Kind::WorkerStatus, 2, 0, QStringLiteral("first\r\nsecond")};
        const QByteArray csv = FleetReport::Csv({crashed});
        QCOMPARE(csv.mid(csv.indexOf("\r\n") + 2),
                 QByteArray("/dev/ttyUSB0,\"cabinet\r7\",failed,0,0,0,,,0.0,"
                            "\"the worker ended with status 2 without a result: first\r\nsecond\",,,0\r\n"));
        Inventory::Table t;
        FleetDevice d;
        d.target = *Endpoint::Parse(QStringLiteral("/dev/ttyUSB0"));
        d.name = QStringLiteral("cabinet\r7");
        t.devices << d;
        QCOMPARE(Inventory::Render(t), QByteArray("target,name,password\r\n/dev/ttyUSB0,\"cabinet\r7\",\r\n"));
    }

    void workerEventsSurviveTheTrip()
    {
        const WorkerEvents::Event progress
            = WorkerEvents::Parse(WorkerEvents::Progress(QStringLiteral("write"), 3, 13, QStringLiteral("中心端口")));
        QCOMPARE(progress.kind, WorkerEvents::Event::Kind::Progress);
        QCOMPARE(progress.done, 3);
        QCOMPARE(progress.total, 13);
        QCOMPARE(progress.row, QStringLiteral("中心端口"));

        DeviceReport r{{}, {}, OutcomeId::VerifyDiffers, 13};
        r.failed.append({QStringLiteral("0031"), QStringLiteral("中心端口"), QStringLiteral("[参数设置失败]")});
        r.differences.append({QStringLiteral("0091"), QStringLiteral("设备编号"), QStringLiteral("A"), QStringLiteral("B")});
        r.why = {DeviceWhy::Kind::WorkerStatus, 2, 13, QStringLiteral("第一行\n第二行")};
        r.record = 42;
        r.recordWarning = QStringLiteral("records.sqlite：无法写入：database is locked");
        const QByteArray line = WorkerEvents::Result(r);
        QVERIFY(line.endsWith('\n') && line.count('\n') == 1); // one line, whatever the texts hold
        const WorkerEvents::Event result = WorkerEvents::Parse(line);
        QCOMPARE(result.kind, WorkerEvents::Event::Kind::Result);
        QCOMPARE(result.result.outcome, OutcomeId::VerifyDiffers);
        QCOMPARE(result.result.written, 13);
        QCOMPARE(result.result.failed.at(0).text, QStringLiteral("[参数设置失败]"));
        QCOMPARE(result.result.differences.at(0).actual, QStringLiteral("B"));
        QCOMPARE(result.result.why, r.why);
        QCOMPARE(result.result.record, 42);
        QCOMPARE(result.result.recordWarning, r.recordWarning);

        // What a worker prints besides its events is no event.
        QCOMPARE(WorkerEvents::Parse("[参数设置成功]").kind, WorkerEvents::Event::Kind::Other);
        QCOMPARE(WorkerEvents::Parse("{\"event\":\"result\"}").kind, WorkerEvents::Event::Kind::Other);
    }
};

DTU_TEST_GUILESS(FleetFilesTest)
#include "tst_fleet_files.moc"
