// Whole parameter cycles as a technician runs them: dtucfg against dtusim
// over a real pseudo-terminal and a loopback TCP port, on copies of the
// example profile. Read, edit rows of every kind, read back; the extended
// table; back up one device into a file and clone it onto another, the
// extended table included.
#include "core/TextFile.h"
#include "support/SimProcess.h"
#include "support/TestPaths.h"
#include "support/WorkFolder.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTest>

namespace {

const QString kReadDone = QStringLiteral("[参数读取完毕]");
const QString kWriteOk = QStringLiteral("[参数设置成功]");

// The main table of the example profile as dtucfg prints it.
const QStringList kMainTable = {
    QStringLiteral("0030\t中心地址\tHEX:31302E302E302E38\t10.0.0.8"),
    QStringLiteral("0031\t中心端口\tHEX:1F90\t8080"),
    QStringLiteral("0032\t传输协议\tHEX:00\tTCP"),
    QStringLiteral("0033\t心跳间隔\tHEX:003C\t1分0秒"),
    QStringLiteral("0040\t接入点名称\tHEX:434D4E4554\tCMNET"),
    QStringLiteral("0041\t信号门限\tHEX:41200000\t10.000"),
    QStringLiteral("0042\t在线方式\tHEX:01\t永远在线"),
    QStringLiteral("0050\t串口波特率\tHEX:05\t38400"),
    QStringLiteral("0051\t调试信息\tHEX:00\t关"),
    QStringLiteral("0052\t网关地址\tHEX:C0A80101\t192.168.1.1"),
    QStringLiteral("0091\t设备编号\tHEX:44545530303031\tDTU0001"),
};
const QStringList kExtTable = {
    QStringLiteral("0100\t接口类型\tHEX:01\tRS485"),
    QStringLiteral("0101\t设备地址\tHEX:01\t1"),
    QStringLiteral("0102\t轮询周期\tHEX:000A\t10秒"),
};

// A table with some rows replaced; each replacement is a whole line whose
// number picks the row.
QStringList With(QStringList table, const QStringList &rows)
{
    for (const QString &row : rows) {
        bool found = false;
        for (QString &line : table) {
            if (line.left(4) == row.left(4)) {
                line = row;
                found = true;
            }
        }
        if (!found)
            qFatal("no row %s", qPrintable(row.left(4)));
    }
    return table;
}

// The technician's folder (script, profile, extended file) and, beside it,
// one folder per simulated device with its own copies, so what a read shows
// can only have come from the device.
class Workshop {
public:
    Workshop() { QVERIFY(CopyExamples(QString())); }

    // A device folder whose profile has the PVALUE texts in `values`
    // (old text -> new text) replaced; returns the profile's path.
    QString Device(const QString &name, const QMap<QByteArray, QByteArray> &values = {})
    {
        if (!CopyExamples(name + QLatin1Char('/')))
            return {};
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            // GBK; the PVALUE texts are ASCII
            if (!ReplaceIn(name + QLatin1Char('/') + TestPaths::kExampleProfile, "\"PVALUE\": \"" + it.key() + "\"",
                           "\"PVALUE\": \"" + it.value() + "\""))
                return {};
        }
        return root_.Path(name + QLatin1Char('/') + TestPaths::kExampleProfile);
    }

    ProgramRun Cfg(const SimProcess &sim, const QStringList &args, const QString &profile = TestPaths::kExampleProfile) const
    {
        return RunProgram(QStringLiteral("dtucfg"), QStringList{QStringLiteral("--profile"), profile} + sim.CfgChannel() + args,
                          root_.Path());
    }
    QString Path(const QString &name) const { return root_.Path(name); }
    QByteArray Read(const QString &name) const { return root_.Read(name); }
    // Replaces the one occurrence of `from` in a file of the workshop.
    bool ReplaceIn(const QString &name, const QByteArray &from, const QByteArray &to) const
    {
        QByteArray bytes = root_.Read(name);
        if (bytes.count(from) != 1)
            return false;
        root_.Write(name, bytes.replace(from, to));
        return !QTest::currentTestFailed();
    }

private:
    // Script, profile and extended file into `prefix` ("" or "folder/").
    bool CopyExamples(const QString &prefix) const
    {
        for (const QString &name : {QStringLiteral("script.js"), TestPaths::kExampleProfile, QStringLiteral("example_ext.txt")}) {
            if (!root_.CopyExample(prefix + name))
                return false;
        }
        return true;
    }

    WorkFolder root_;
};

#define EXPECT_RUN(run, code, lines)                                                                                   \
    do {                                                                                                               \
        const ProgramRun &r_ = (run);                                                                                  \
        QVERIFY2(r_.exitCode == (code), qPrintable(r_.Describe() + QLatin1Char('\n') + r_.out.join(QLatin1Char('\n')))); \
        CompareLines(r_.out, (lines));                                                                                 \
        if (QTest::currentTestFailed())                                                                                \
            return;                                                                                                    \
    } while (false)

} // namespace

class ParamCycleTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(TestPaths::Program(QStringLiteral("dtucfg"))), "build the dtucfg target first");
        QVERIFY2(QFile::exists(TestPaths::Program(QStringLiteral("dtusim"))), "build the dtusim target first");
    }

    // Read, write one row of each kind, read back; then the extended table,
    // and back to the main table. Real reply timing (no --fast).
    void fullCycleOverPty()
    {
        Workshop shop;
        const QString device = shop.Device(QStringLiteral("device"));
        QVERIFY(!device.isEmpty());
        SimProcess sim;
        QVERIFY2(sim.Start({QStringLiteral("--profile"), device}, QFileInfo(device).path()), qPrintable(sim.Error()));

        EXPECT_RUN(shop.Cfg(sim, {QStringLiteral("read")}), 0, QStringList{kReadDone} + kMainTable);

        // Given out of table order; written in table order. A string row, a
        // float row, a choice by its label and a script-encoded address.
        EXPECT_RUN(shop.Cfg(sim, {QStringLiteral("write"), QStringLiteral("0052=10.1.2.3"),
                                  QStringLiteral("0042=数据触发"), QStringLiteral("0040=INTERNET"),
                                  QStringLiteral("0041=12.5")}),
                   0,
                   (QStringList{QStringLiteral("设置参数：接入点名称=INTERNET"), kWriteOk,
                                QStringLiteral("设置参数：信号门限=12.5"), kWriteOk,
                                QStringLiteral("设置参数：在线方式=数据触发"), kWriteOk,
                                QStringLiteral("设置参数：网关地址=10.1.2.3"), kWriteOk}));
        const QStringList written = With(kMainTable, {QStringLiteral("0040\t接入点名称\tHEX:494E5445524E4554\tINTERNET"),
                                                      QStringLiteral("0041\t信号门限\tHEX:41480000\t12.500"),
                                                      QStringLiteral("0042\t在线方式\tHEX:02\t数据触发"),
                                                      QStringLiteral("0052\t网关地址\tHEX:0A010203\t10.1.2.3")});
        // A new dtucfg knows only the profile, whose values did not change:
        // the new values come from the device.
        EXPECT_RUN(shop.Cfg(sim, {QStringLiteral("read")}), 0, QStringList{kReadDone} + written);
        QVERIFY(shop.Read(TestPaths::kExampleProfile).contains("HEX:434D4E4554"));

        // The extended table on channel 0.
        EXPECT_RUN(shop.Cfg(sim, {QStringLiteral("--ext"), QStringLiteral("read")}), 0, QStringList{kReadDone} + kExtTable);
        EXPECT_RUN(shop.Cfg(sim, {QStringLiteral("--ext"), QStringLiteral("write"), QStringLiteral("0102=60秒"),
                                  QStringLiteral("0100=RS232")}),
                   0,
                   (QStringList{QStringLiteral("设置参数：接口类型=RS232"), kWriteOk,
                                QStringLiteral("设置参数：轮询周期=60秒"), kWriteOk}));
        EXPECT_RUN(shop.Cfg(sim, {QStringLiteral("--ext"), QStringLiteral("read")}), 0,
                   QStringList{kReadDone}
                       + With(kExtTable, {QStringLiteral("0100\t接口类型\tHEX:00\tRS232"),
                                          QStringLiteral("0102\t轮询周期\tHEX:003C\t60秒")}));
        // The device was left on channel 0; the main table is still its own.
        EXPECT_RUN(shop.Cfg(sim, {QStringLiteral("read")}), 0, QStringList{kReadDone} + written);
    }

    // The same over the TCP maintenance port. The extended table is written
    // first, so every later connection finds the device on channel 0.
    void fullCycleOverTcp()
    {
        Workshop shop;
        const QString device = shop.Device(QStringLiteral("device"));
        QVERIFY(!device.isEmpty());
        SimProcess sim;
        QVERIFY2(sim.Start({QStringLiteral("--profile"), device, QStringLiteral("--tcp"), QStringLiteral("0")},
                           QFileInfo(device).path()),
                 qPrintable(sim.Error()));
        QVERIFY(!sim.TcpPort().isEmpty());
        const QString fast = QStringLiteral("--fast");

        EXPECT_RUN(shop.Cfg(sim, {fast, QStringLiteral("--ext"), QStringLiteral("write"), QStringLiteral("0101=3")}), 0,
                   (QStringList{QStringLiteral("设置参数：设备地址=3"), kWriteOk}));
        EXPECT_RUN(shop.Cfg(sim, {fast, QStringLiteral("read")}), 0, QStringList{kReadDone} + kMainTable);
        EXPECT_RUN(shop.Cfg(sim, {fast, QStringLiteral("write"), QStringLiteral("0031=9000"), QStringLiteral("0051=开"),
                                  QStringLiteral("0030=dtu.example.net")}),
                   0,
                   (QStringList{QStringLiteral("设置参数：中心地址=dtu.example.net"), kWriteOk,
                                QStringLiteral("设置参数：中心端口=9000"), kWriteOk,
                                QStringLiteral("设置参数：调试信息=开"), kWriteOk}));
        EXPECT_RUN(shop.Cfg(sim, {fast, QStringLiteral("read")}), 0,
                   QStringList{kReadDone}
                       + With(kMainTable,
                              {QStringLiteral("0030\t中心地址\tHEX:6474752E6578616D706C652E6E6574\tdtu.example.net"),
                               QStringLiteral("0031\t中心端口\tHEX:2328\t9000"),
                               QStringLiteral("0051\t调试信息\tHEX:01\t开")}));
        EXPECT_RUN(shop.Cfg(sim, {fast, QStringLiteral("--ext"), QStringLiteral("read")}), 0,
                   QStringList{kReadDone} + With(kExtTable, {QStringLiteral("0101\t设备地址\tHEX:03\t3")}));
    }

    // Back up device A into a file, write the file onto device B, and B
    // reads as A did, except its own factory number (0091 is written only
    // at access level 2).
    void backupAndClone()
    {
        Workshop shop;
        const QString deviceA = shop.Device(QStringLiteral("a"), {{"HEX:31302E302E302E38", "HEX:31302E392E382E37"},
                                                                  {"HEX:003C", "HEX:0078"},
                                                                  {"HEX:41200000", "HEX:3FC00000"}});
        const QString deviceB = shop.Device(QStringLiteral("b"), {{"HEX:1F90", "HEX:0050"},
                                                                  {"HEX:434D4E4554", "HEX:3344"},
                                                                  {"HEX:C0A80101", "HEX:0A000001"},
                                                                  {"HEX:44545530303031", "HEX:44545530303032"}});
        QVERIFY(!deviceA.isEmpty() && !deviceB.isEmpty());
        QVERIFY(shop.ReplaceIn(QStringLiteral("b/example_ext.txt"), "HEX:000A", "HEX:001E"));
        SimProcess simA, simB;
        QVERIFY2(simA.Start({QStringLiteral("--profile"), deviceA}, QFileInfo(deviceA).path()), qPrintable(simA.Error()));
        QVERIFY2(simB.Start({QStringLiteral("--profile"), deviceB}, QFileInfo(deviceB).path()), qPrintable(simB.Error()));
        const QString fast = QStringLiteral("--fast");

        const QStringList tableA = With(kMainTable, {QStringLiteral("0030\t中心地址\tHEX:31302E392E382E37\t10.9.8.7"),
                                                     QStringLiteral("0033\t心跳间隔\tHEX:0078\t2分0秒"),
                                                     QStringLiteral("0041\t信号门限\tHEX:3FC00000\t1.500")});
        // Both tables are read: the extended one goes beside the backup.
        EXPECT_RUN(shop.Cfg(simA, {fast, QStringLiteral("save"), QStringLiteral("saved.txt")}), 0,
                   (QStringList{kReadDone, kReadDone}));

        // The backup is a profile in the tool's own file form: GBK, CR LF,
        // and the device's values in PVALUE.
        const QByteArray saved = shop.Read(QStringLiteral("saved.txt"));
        QVERIFY(!saved.isEmpty());
        QCOMPARE(saved.count("\n"), saved.count("\r\n"));
        QVERIFY(saved.endsWith("}\r\n"));
        QVERIFY(saved.contains(TextFile::ToGbk(QStringLiteral("\"PNAME\": \"中心地址\""))));
        QCOMPARE(TextFile::Decode(saved).encoding, TextFile::Encoding::Gbk);
        QVERIFY(saved.contains("\"PVALUE\": \"HEX:31302E392E382E37\""));
        QVERIFY(saved.contains("\"ExParamFile\": \"saved_ext.txt\""));
        QVERIFY(shop.Read(QStringLiteral("saved_ext.txt")).contains("\"PVALUE\": \"HEX:000A\""));

        // It loads back as a profile.
        EXPECT_RUN(shop.Cfg(simA, {fast, QStringLiteral("read")}, QStringLiteral("saved.txt")), 0,
                   QStringList{kReadDone} + tableA);

        // Clone onto B: every row but 0091 of both tables, in table order.
        QStringList batchLines;
        for (const QString &row : tableA) {
            const QStringList cells = row.split(QLatin1Char('\t'));
            if (cells[0] == QLatin1String("0091"))
                continue;
            batchLines << QStringLiteral("设置参数：%1=%2").arg(cells[1], cells[3]) << kWriteOk;
        }
        QStringList extLines;
        for (const QString &row : kExtTable) {
            const QStringList cells = row.split(QLatin1Char('\t'));
            extLines << QStringLiteral("设置参数：%1=%2").arg(cells[1], cells[3]) << kWriteOk;
        }
        EXPECT_RUN(shop.Cfg(simB, {QStringLiteral("batch")}, QStringLiteral("saved.txt")), 0, batchLines + extLines);

        EXPECT_RUN(shop.Cfg(simB, {fast, QStringLiteral("read")}), 0,
                   QStringList{kReadDone}
                       + With(tableA, {QStringLiteral("0091\t设备编号\tHEX:44545530303032\tDTU0002")}));
        EXPECT_RUN(shop.Cfg(simB, {fast, QStringLiteral("--ext"), QStringLiteral("read")}), 0,
                   QStringList{kReadDone} + kExtTable);

        // --ext batch writes the extended table alone, every row on channel 0.
        EXPECT_RUN(shop.Cfg(simB, {fast, QStringLiteral("--ext"), QStringLiteral("batch")}, QStringLiteral("saved.txt")),
                   0, extLines);
    }
};

#undef EXPECT_RUN

DTU_TEST_GUILESS(ParamCycleTest)
#include "tst_param_cycle.moc"
