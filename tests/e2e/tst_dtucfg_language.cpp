// dtucfg's language: Chinese lines whatever the locale (scripts match them),
// English ones with --lang en, with the same exit statuses; the profile's
// own texts stay as the profile has them.
#include "support/SimLine.h"
#include "support/SimProcess.h"
#include "support/TestMain.h"
#include "support/WorkFolder.h"

#include <QTest>

namespace {

const char kLanguageProfile[] =
    "{\n"
    "    \"Title\": \"测试终端\",\n"
    "    \"Comport\": \"COM1\",\n"
    "    \"Baudrate\": \"57600\",\n"
    "    \"ComOption\": \"8N1\",\n"
    "    \"Params\": [\n"
    "        {\"CMDID\": \"0031\", \"PNAME\": \"中心端口\", \"PVALUE\": \"HEX:1F90\", \"ONLIST\": \"Length=5;\",\n"
    "         \"ONGET\": \"GetUInt()\", \"ONSET\": \"SetUInt(2)\", \"PNOTE\": \"\"}\n"
    "    ]\n"
    "}\n";

} // namespace

class DtucfgLanguageTest : public QObject {
    Q_OBJECT
private slots:
    // An English desktop: a technician's scripts still see Chinese.
    void initTestCase()
    {
        qputenv("LANG", "en_US.UTF-8");
        qputenv("LC_ALL", "en_US.UTF-8");
        qputenv("LANGUAGE", "en_US:en");
    }

    void lines_data()
    {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<QStringList>("cfg");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("lines");
        auto S = [](const char *s) { return QString::fromUtf8(s); };
        const QStringList en{"--lang", "en"};

        QTest::newRow("reset, locale en") << QStringList{} << QStringList{"reset"} << 0
                                          << QStringList{S("[复位设备成功]")};
        QTest::newRow("reset, --lang zh") << QStringList{} << QStringList{"--lang", "zh", "reset"} << 0
                                          << QStringList{S("[复位设备成功]")};
        QTest::newRow("reset") << QStringList{} << en + QStringList{"reset"} << 0
                               << QStringList{"[Device reset succeeded]"};
        QTest::newRow("reset refused") << QStringList{"--refuse"} << en + QStringList{"reset"} << 1
                                       << QStringList{"[Device reset failed]"};
        QTest::newRow("status") << QStringList{"--status", "2"} << en + QStringList{"status"} << 0
                                << QStringList{"DTU status=2, standby"};
        // The row's name is the profile's; the write's outcome is English,
        // and a failure found in English lines still exits 1.
        QTest::newRow("write") << QStringList{} << en + QStringList{"write", "0031=9000"} << 0
                               << QStringList{S("Set parameter: 中心端口=9000"), "[Parameter write succeeded]"};
        QTest::newRow("read") << QStringList{} << en + QStringList{"read"} << 0
                              << QStringList{"[Parameters read]", S("0031\t中心端口\tHEX:1F90\t8080")};
        QTest::newRow("status traced") << QStringList{} << en + QStringList{"--level", "1", "status"} << 0
                                       << QStringList{"Down: AA 55 00 04 E0 04 00 E8 ", "Up: AA 55 00 05 E0 04 05 00 EE ",
                                                      "DTU status=5, online, logged in to the data centre"};
    }
    void lines()
    {
        QFETCH(QStringList, sim);
        QFETCH(QStringList, cfg);
        QFETCH(int, exitCode);
        QFETCH(QStringList, lines);

        WorkFolder dir(WorkFolder::kScript);
        dir.Write(QStringLiteral("dev.txt"), kLanguageProfile);
        SimProcess device;
        QVERIFY2(device.Start(QStringList{QStringLiteral("--profile"), dir.Path(QStringLiteral("dev.txt"))} + sim,
                              dir.Path()),
                 qPrintable(device.Error()));
        const ProgramRun run = RunProgram(
            QStringLiteral("dtucfg"),
            QStringList{QStringLiteral("--profile"), QStringLiteral("dev.txt"), QStringLiteral("--port"), device.Pty()}
                + cfg,
            dir.Path());
        QVERIFY2(run.exitCode == exitCode, qPrintable(run.Describe() + run.out.join(QLatin1Char('\n'))));
        QStringList out = run.out;
        out.removeAll(QString());
        QCOMPARE(out, lines);
    }

    // A silent device's failures in English, run in this process on virtual
    // time: the device's silence costs no real time.
    void silentLines_data()
    {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<QStringList>("cfg");
        QTest::addColumn<QStringList>("lines");
        auto S = [](const char *s) { return QString::fromUtf8(s); };
        const QStringList en{"--lang", "en"};
        QTest::newRow("status silent") << QStringList{"--silent"} << en + QStringList{"status"}
                                       << QStringList{"DTU status read failed: no response from the device!"};
        QTest::newRow("write silent") << QStringList{"--silent", "--only", "0031"}
                                      << en + QStringList{"write", "0031=9000"}
                                      << QStringList{S("Set parameter: 中心端口=9000"),
                                                     "[Parameter write failed: no response from the device!]"};
    }
    void silentLines()
    {
        QFETCH(QStringList, sim);
        QFETCH(QStringList, cfg);
        QFETCH(QStringList, lines);
        WorkFolder dir(WorkFolder::kScript);
        dir.Write(QStringLiteral("dev.txt"), kLanguageProfile);
        VirtualDevice device(QStringList{QStringLiteral("--profile"), dir.Path(QStringLiteral("dev.txt"))} + sim);
        const ProgramRun run = device.Cfg(QStringList{QStringLiteral("--profile"), QStringLiteral("dev.txt")} + cfg, dir.Path());
        QVERIFY2(run.exitCode == 1, qPrintable(run.Describe() + run.out.join(QLatin1Char('\n'))));
        QStringList out = run.out;
        out.removeAll(QString());
        QCOMPARE(out, lines);
    }
};

DTU_TEST_GUILESS(DtucfgLanguageTest)
#include "tst_dtucfg_language.moc"
