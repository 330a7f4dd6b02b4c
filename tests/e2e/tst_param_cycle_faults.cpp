// Parameter reads and writes by dtucfg against a misbehaving dtusim over a
// real pseudo-terminal: what the technician sees, the exit status, and that
// a failed read neither prints nor saves values the device did not send.
// A fault that only costs the device's time (silence, answers in pieces)
// runs dtucfg in this process against dtusim's device on virtual time.
#include "support/SimLine.h"
#include "support/SimProcess.h"
#include "support/TestPaths.h"
#include "support/WorkFolder.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <memory>

namespace {

// dtucfg's folder holds copies (it re-saves its profile when the port
// opens); the device reads the examples themselves. `onVirtualTime`: the
// device in this process and dtucfg run here, on virtual time.
class FaultBench {
public:
    explicit FaultBench(const QStringList &faults, bool onVirtualTime = false)
    {
        QVERIFY(dir_.CopyExample(TestPaths::kExampleProfile) && dir_.CopyExample(QStringLiteral("example_ext.txt")));
        if (onVirtualTime) {
            device_ = std::make_unique<VirtualDevice>(faults);
            return;
        }
        QVERIFY2(sim_.Start(QStringList{QStringLiteral("--profile"), TestPaths::Example(TestPaths::kExampleProfile)} + faults,
                            TestPaths::Source(QStringLiteral("examples"))),
                 qPrintable(sim_.Error()));
    }
    ProgramRun Cfg(const QStringList &args) const
    {
        if (device_)
            return device_->Cfg(QStringList{QStringLiteral("--profile"), TestPaths::kExampleProfile} + args, dir_.Path());
        return RunProgram(QStringLiteral("dtucfg"),
                          QStringList{QStringLiteral("--profile"), TestPaths::kExampleProfile} + sim_.CfgChannel() + args, dir_.Path());
    }
    QString Path(const QString &name) const { return dir_.Path(name); }

private:
    WorkFolder dir_{WorkFolder::kScript};
    SimProcess sim_;
    std::unique_ptr<VirtualDevice> device_;
};

} // namespace

class ParamCycleFaultsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(TestPaths::Program(QStringLiteral("dtucfg"))), "build the dtucfg target first");
        QVERIFY2(QFile::exists(TestPaths::Program(QStringLiteral("dtusim"))), "build the dtusim target first");
    }

    // `head` are the first lines of standard output, `count` all of them: a
    // read prints its status line, then the table only when it succeeded.
    // Faults of a write hit row 0031 only; row 0032 is written after it.
    void readAndWrite_data()
    {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<QStringList>("cfg");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("head");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("waits"); // only the device's time: on virtual time

        const QStringList read{QStringLiteral("read")};
        const QStringList readOk{QStringLiteral("[参数读取完毕]"),
                                 QStringLiteral("0030\t中心地址\tHEX:31302E302E302E38\t10.0.0.8")};
        const int table = 12;
        const QStringList onRead{QStringLiteral("--only"), QStringLiteral("E001")};
        QTest::newRow("read, silent") << QStringList{QStringLiteral("--silent")} + onRead << read << 1
                                      << QStringList{QStringLiteral("[参数读取失败，设备无响应！]")} << 1 << true;
        QTest::newRow("read, stray bytes before") << QStringList{QStringLiteral("--stray-before"), QStringLiteral("0102FF")} + onRead
                                                  << read << 0 << readOk << table << false;
        QTest::newRow("read, stray bytes after") << QStringList{QStringLiteral("--stray-after"), QStringLiteral("00")} + onRead
                                                 << read << 1
                                                 << QStringList{QStringLiteral("[参数读取失败，返回数据包校验错！]")} << 1 << false;
        QTest::newRow("read, bad checksum") << QStringList{QStringLiteral("--bad-checksum")} + onRead << read << 1
                                            << QStringList{QStringLiteral("[参数读取失败，返回数据包校验错！]")} << 1 << false;
        QTest::newRow("read, not a frame") << QStringList{QStringLiteral("--not-frame")} + onRead << read << 1
                                           << QStringList{QStringLiteral("[参数读取失败，返回数据包头非法！]")} << 1 << false;
        QTest::newRow("read, pieces 300 ms apart") << QStringList{QStringLiteral("--pieces"), QStringLiteral("3:300")}
                                                   << read << 0 << readOk << table << true;

        const QStringList write{QStringLiteral("write"), QStringLiteral("0032=UDP"), QStringLiteral("0031=9000")};
        const QStringList onWrite{QStringLiteral("--only"), QStringLiteral("0031")};
        auto writeLines = [](const char *first) {
            return QStringList{QStringLiteral("设置参数：中心端口=9000"), QString::fromUtf8(first),
                               QStringLiteral("设置参数：传输协议=UDP"), QStringLiteral("[参数设置成功]")};
        };
        QTest::newRow("write, silent") << QStringList{QStringLiteral("--silent")} + onWrite << write << 1
                                       << writeLines("[参数设置失败，设备无响应！]") << 4 << true;
        QTest::newRow("write, bad checksum") << QStringList{QStringLiteral("--bad-checksum")} + onWrite << write << 1
                                             << writeLines("[参数设置失败，返回帧校验错误！]") << 4 << false;
        QTest::newRow("write, refused") << QStringList{QStringLiteral("--refuse")} + onWrite << write << 1
                                        << writeLines("[参数设置失败]") << 4 << false;
        QTest::newRow("write, not a frame") << QStringList{QStringLiteral("--not-frame")} + onWrite << write << 1
                                            << writeLines("[参数设置失败，输入了非法内容！]") << 4 << false;
        QTest::newRow("write, stray bytes before")
            << QStringList{QStringLiteral("--stray-before"), QStringLiteral("13")} + onWrite << write << 0
            << writeLines("[参数设置成功]") << 4 << false;
        // An acknowledgement is judged by its own length: bytes after it do
        // not spoil it (unlike a read reply).
        QTest::newRow("write, stray bytes after")
            << QStringList{QStringLiteral("--stray-after"), QStringLiteral("00")} + onWrite << write << 0
            << writeLines("[参数设置成功]") << 4 << false;
        QTest::newRow("write, pieces 300 ms apart") << QStringList{QStringLiteral("--pieces"), QStringLiteral("3:300")}
                                                    << write << 0 << writeLines("[参数设置成功]") << 4 << true;

        // The device refuses every channel selection: nothing is read from or
        // written to whichever table it is on, and the run fails.
        const QStringList refuseSelect{QStringLiteral("--refuse"), QStringLiteral("--only"), QStringLiteral("E050")};
        const QStringList readNotSwitched{QStringLiteral("[参数读取失败，设备未切换参数表！]")};
        const QStringList writeNotSwitched{QStringLiteral("[参数设置失败，设备未切换参数表！]")};
        QTest::newRow("read, selection refused") << refuseSelect << read << 1 << readNotSwitched << 1 << false;
        QTest::newRow("ext read, selection refused") << refuseSelect << QStringList{QStringLiteral("--ext"), QStringLiteral("read")}
                                                     << 1 << readNotSwitched << 1 << false;
        QTest::newRow("ext write, selection refused")
            << refuseSelect << QStringList{QStringLiteral("--ext"), QStringLiteral("write"), QStringLiteral("0100=RS232")} << 1
            << writeNotSwitched << 1 << false;
        QTest::newRow("ext batch, selection refused")
            << refuseSelect << QStringList{QStringLiteral("--ext"), QStringLiteral("batch")} << 1 << writeNotSwitched << 1 << false;
        QTest::newRow("batch, selection refused") << refuseSelect << QStringList{QStringLiteral("batch")} << 1
                                                  << writeNotSwitched << 1 << false;
    }
    void readAndWrite()
    {
        QFETCH(QStringList, faults);
        QFETCH(QStringList, cfg);
        QFETCH(int, exitCode);
        QFETCH(QStringList, head);
        QFETCH(int, count);
        QFETCH(bool, waits);
        FaultBench bench(faults, waits);
        const ProgramRun run = bench.Cfg(cfg);
        QVERIFY2(run.exitCode == exitCode, qPrintable(run.Describe()));
        QVERIFY2(run.out.size() == count, qPrintable(run.out.join(QLatin1Char('\n'))));
        CompareLines(run.out.mid(0, head.size()), head);
    }

    // --json: a failed read gives the result object, not a table.
    void failedReadAsJson()
    {
        FaultBench bench({QStringLiteral("--stray-after"), QStringLiteral("00"), QStringLiteral("--only"), QStringLiteral("E001")});
        const ProgramRun run = bench.Cfg({QStringLiteral("--json"), QStringLiteral("read")});
        QVERIFY2(run.exitCode == 1, qPrintable(run.Describe()));
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(run.out.join(QLatin1Char('\n')).toUtf8(), &error);
        QVERIFY2(doc.isObject(), qPrintable(error.errorString()));
        const QJsonObject result = doc.object();
        QCOMPARE(result.value(QStringLiteral("command")).toString(), QStringLiteral("read"));
        QCOMPARE(result.value(QStringLiteral("ok")).toBool(true), false);
        QCOMPARE(result.value(QStringLiteral("lines")).toArray(),
                 QJsonArray{QStringLiteral("[参数读取失败，返回数据包校验错！]")});
    }

    // A backup from a device that does not answer saves nothing and leaves
    // an older backup of that name as it was.
    void saveFromSilentDevice()
    {
        FaultBench bench({QStringLiteral("--silent"), QStringLiteral("--only"), QStringLiteral("E001")}, true);
        QFile old(bench.Path(QStringLiteral("backup.txt")));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the backup of last week\r\n");
        old.close();
        const ProgramRun run = bench.Cfg({QStringLiteral("save"), QStringLiteral("backup.txt")});
        QVERIFY2(run.exitCode == 1, qPrintable(run.Describe()));
        CompareLines(run.out, {QStringLiteral("[参数读取失败，设备无响应！]")});
        QVERIFY(run.err.contains(QStringLiteral("什么也没有保存")));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("the backup of last week\r\n"));
        QCOMPARE(QDir(bench.Path(QString())).entryList({QStringLiteral("*.txt")}, QDir::Files).size(), 3);
    }
};

DTU_TEST_GUILESS(ParamCycleFaultsTest)
#include "tst_param_cycle_faults.moc"
