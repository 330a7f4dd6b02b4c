// The command line of the simulated device.
#include "support/Hexes.h"
#include "support/TestMain.h"

// Built into the dtusim program only; compile what is tested.
#include "sim/SimOptions.h"
#include "sim/SimValues.h"
#include "protocol/Hex.h"
#include "script/ScriptHost.h"
#include "support/TestPaths.h"

#include <QTest>

class SimOptionsTest : public QObject {
    Q_OBJECT

    static QStringList Line(const QStringList &rest)
    {
        return QStringList{QStringLiteral("dtusim"), QStringLiteral("--profile"), QStringLiteral("p.txt")} + rest;
    }

private slots:
    void defaults()
    {
        SimOptions o;
        QString error;
        QVERIFY2(SimOptions::Parse(Line({}), &o, &error), qPrintable(error));
        QCOMPARE(o.profilePath, QStringLiteral("p.txt"));
        QVERIFY(o.scriptPath.isEmpty());
        QVERIFY(!o.tcp);
        QCOMPARE(o.units.size(), 1);
        const SimUnitSettings &u = o.units.first();
        QCOMPARE(u.password, QByteArray("480917"));
        QCOMPARE(u.state.status, quint8(5));
        QCOMPARE(u.state.signal, quint8(23));
        QVERIFY(u.state.signalSteps.isEmpty());
        QCOMPARE(u.misbehaviour.delayMs, 5);
        QVERIFY(!u.misbehaviour.silent && !u.misbehaviour.refuse && u.misbehaviour.onlyWords.isEmpty());
    }

    void values()
    {
        SimOptions o;
        QString error;
        QVERIFY2(SimOptions::Parse(Line({"--script", "s.js", "--tcp", "--verbose", "--password", "abc", "--status",
                                         "3", "--signal", "31", "--version", "版本1", "--imei", "12345",
                                         "--stray-before", "0a 0B", "--only", "E004", "--only", "0030"}),
                                   &o, &error),
                 qPrintable(error));
        QCOMPARE(o.scriptPath, QStringLiteral("s.js"));
        QVERIFY(o.tcp);
        QCOMPARE(o.tcpPort, quint16(8888)); // --tcp without a port
        QVERIFY(o.verbose);
        const SimUnitSettings &u = o.units.first();
        QCOMPARE(u.password, QByteArray("abc"));
        QCOMPARE(u.state.status, quint8(3));
        QCOMPARE(u.state.signal, quint8(31));
        QCOMPARE(u.state.version, Bytes("B0 E6 B1 BE 31")); // GBK, as the tool decodes it
        QCOMPARE(u.state.imei, QByteArray("12345"));
        QCOMPARE(u.misbehaviour.strayBefore, Bytes("0A 0B"));
        QCOMPARE(u.misbehaviour.onlyWords, (QList<quint16>{0xE004, 0x0030}));

        QVERIFY(SimOptions::Parse(Line({"--tcp", "0"}), &o, &error));
        QCOMPARE(o.tcpPort, quint16(0));
        QVERIFY(SimOptions::Parse(Line({"--tcp=9000", "--pieces", "4:25", "--signal-steps", "10, 14,99,22"}), &o,
                                  &error));
        QCOMPARE(o.tcpPort, quint16(9000));
        QCOMPARE(o.units.first().misbehaviour.pieces, 4);
        QCOMPARE(o.units.first().misbehaviour.pieceGapMs, 25);
        QCOMPARE(o.units.first().state.signalSteps, (QList<quint8>{10, 14, 99, 22}));
        QCOMPARE(o.units.first().state.signalPeriodMs, 1000);
        QVERIFY(!o.units.first().state.signalPerRequest);
        QVERIFY(SimOptions::Parse(Line({"--signal-steps", "1,2", "--signal-per-request"}), &o, &error));
        QVERIFY(o.units.first().state.signalPerRequest);
        // Per unit: only the unit that asks for it steps per request.
        QVERIFY(SimOptions::Parse(Line({"--count", "2", "--signal-steps", "1,2", "--unit", "2", "--signal-per-request"}),
                                  &o, &error));
        QVERIFY(!o.units[0].state.signalPerRequest);
        QVERIFY(o.units[1].state.signalPerRequest);
    }

    // Options before the first --unit go to every unit; after "--unit K",
    // to unit K only, laid over the shared ones.
    void unitScoping()
    {
        SimOptions o;
        QString error;
        QVERIFY2(SimOptions::Parse(Line({"--count", "4", "--delay", "50", "--status", "3", "--only", "E004",
                                         "--signal-steps", "5,6", "--unit", "2", "--silent", "--delay", "7",
                                         "--unit", "3", "--refuse", "--only", "0030", "--password", "--unit",
                                         "--signal-steps", "1,2", "--signal-period", "250", "--unit=4",
                                         "--signal", "9", "--unit", "2", "--status", "1"}),
                                   &o, &error),
                 qPrintable(error));
        QCOMPARE(o.units.size(), 4);
        const SimUnitSettings &u1 = o.units[0], &u2 = o.units[1], &u3 = o.units[2], &u4 = o.units[3];
        const QList<quint16> statusWord{0xE004};

        QCOMPARE(u1.misbehaviour.delayMs, 50);
        QVERIFY(!u1.misbehaviour.silent && !u1.misbehaviour.refuse);
        QCOMPARE(u1.misbehaviour.onlyWords, statusWord);
        QCOMPARE(u1.password, QByteArray("480917"));
        QCOMPARE(u1.state.status, quint8(3));
        QCOMPARE(u1.state.signalSteps, (QList<quint8>{5, 6}));

        // Named twice: both stretches count.
        QVERIFY(u2.misbehaviour.silent && !u2.misbehaviour.refuse);
        QCOMPARE(u2.misbehaviour.delayMs, 7);
        QCOMPARE(u2.state.status, quint8(1));
        QCOMPARE(u2.misbehaviour.onlyWords, statusWord);

        // Its own word list replaces the shared one; a value that reads
        // like --unit is still the password.
        QVERIFY(u3.misbehaviour.refuse && !u3.misbehaviour.silent);
        QCOMPARE(u3.misbehaviour.delayMs, 50);
        QCOMPARE(u3.misbehaviour.onlyWords, QList<quint16>{0x0030});
        QCOMPARE(u3.password, QByteArray("--unit"));
        QCOMPARE(u3.state.signalSteps, (QList<quint8>{1, 2}));
        QCOMPARE(u3.state.signalPeriodMs, 250);
        QCOMPARE(u3.state.status, quint8(3));

        // A fixed signal of its own ends the shared steps.
        QCOMPARE(u4.state.signal, quint8(9));
        QVERIFY(u4.state.signalSteps.isEmpty());
        QCOMPARE(u4.state.signalPeriodMs, 1000);
    }

    // Texts become the bytes the example profile's rows and script make; a unit's own value replaces the
    // shared one of that parameter only; a row missing or a text it cannot hold is refused, naming both.
    void valuesAgainstTheProfile_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("outcome"); // the last unit's bytes, or the refusal
        QTest::newRow("a unit's own") << QStringList{"--value", "0030=a", "--value", "0031=1", "--ext-value", "0100=hex:00",
                                                     "--count", "2", "--unit", "2", "--value", "0031=8080", "--ext-value",
                                                     "0100=RS485"}
                                      << "61 1F90 01";
        QTest::newRow("no such row") << QStringList{"--value", "0099=HEX:01"}
                                     << "--value 0099=HEX:01: the profile has no parameter 0099";
        QTest::newRow("no such extended row") << QStringList{"--ext-value", "0030=1"}
                                              << "--ext-value 0030=1: the extended file has no parameter 0030";
        QTest::newRow("cannot hold") << QStringList{"--value", "0041=12,5"}
                                     << "--value 0041=12,5: parameter 0041 cannot hold \"12,5\": not a number (the decimal point is \".\")";
        QTest::newRow("a unit's label not offered") << QStringList{"--count", "2", "--unit", "2", "--value", "0042=常在线"}
            << "--value 0042=常在线: parameter 0042 cannot hold \"常在线\": it takes one of: 永远在线, 数据触发, 短信唤醒";
    }
    void valuesAgainstTheProfile()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, outcome);
        SimOptions o;
        QString error;
        QVERIFY2(SimOptions::Parse(QStringList{"dtusim", "--profile", TestPaths::Example("example_profile.txt")}
                                       + arguments, &o, &error),
                 qPrintable(error));
        ScriptHost script;
        QVERIFY(script.LoadFile(TestPaths::Example(QStringLiteral("script.js"))));
        const SimTables tables = SimProfile::Load(o.profilePath);
        for (SimUnitSettings &unit : o.units)
            SimValues::Resolve(&unit.values, tables, script, &error);
        QStringList bytes;
        for (const SimGivenValue &v : o.units.last().values)
            bytes << BytesToHex(v.bytes.value_or("?"));
        QCOMPARE(error.isEmpty() ? bytes.join(' ') : error, outcome);
    }

    void refused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("mentioned");
        QTest::newRow("no profile") << QStringList{"dtusim", "--tcp", "1"} << "--profile";
        QTest::newRow("unknown option") << Line({"--loud"}) << "loud";
        QTest::newRow("stray argument") << Line({"extra"}) << "extra";
        QTest::newRow("port too big") << Line({"--tcp", "70000"}) << "--tcp";
        QTest::newRow("status too big") << Line({"--status", "256"}) << "--status";
        QTest::newRow("negative delay") << Line({"--delay", "-1"}) << "--delay";
        QTest::newRow("pieces without gap") << Line({"--pieces", "3"}) << "--pieces";
        QTest::newRow("zero pieces") << Line({"--pieces", "0:10"}) << "--pieces";
        QTest::newRow("odd stray digits") << Line({"--stray-after", "ABC"}) << "--stray-after";
        QTest::newRow("not hex stray") << Line({"--stray-before", "ZZ"}) << "--stray-before";
        QTest::newRow("short only word") << Line({"--only", "E0"}) << "--only";
        QTest::newRow("zero units") << Line({"--count", "0"}) << "--count";
        QTest::newRow("too many units") << Line({"--count", "1001"}) << "--count";
        QTest::newRow("ports past 65535") << Line({"--tcp", "65534", "--count", "3"}) << "65536";
        QTest::newRow("unit past count") << Line({"--count", "2", "--unit", "3", "--silent"}) << "--unit 3";
        QTest::newRow("unit without count") << Line({"--unit", "2", "--silent"}) << "--unit 2";
        QTest::newRow("unit zero") << Line({"--unit", "0", "--silent"}) << "--unit";
        QTest::newRow("unit without number") << Line({"--silent", "--unit"}) << "--unit";
        QTest::newRow("value, short number") << Line({"--value", "31=1"}) << "--value needs NUM=TEXT";
        QTest::newRow("value, odd hex") << Line({"--unit", "1", "--ext-value", "0100=HEX:1"}) << "--ext-value 0100=HEX:1";
        for (const char *option : {"--tcp", "--profile", "--script", "--count", "--verbose"}) {
            QStringList after{"--count", "2", "--unit", "2", option};
            if (QLatin1String(option) != QLatin1String("--verbose"))
                after << "2";
            QTest::addRow("%s after --unit", option) << Line(after) << QString::fromLatin1(option) + " applies";
        }
        QTest::newRow("bad value after unit") << Line({"--unit", "1", "--delay", "x"}) << "--delay";
        QTest::newRow("stray argument after unit") << Line({"--unit", "1", "extra"}) << "extra";
        QTest::newRow("signal and steps") << Line({"--signal", "5", "--signal-steps", "1,2"}) << "--signal-steps";
        QTest::newRow("empty step") << Line({"--signal-steps", "1,,2"}) << "--signal-steps";
        QTest::newRow("step too big") << Line({"--signal-steps", "1,256"}) << "--signal-steps";
        QTest::newRow("zero period") << Line({"--signal-steps", "1", "--signal-period", "0"}) << "--signal-period";
        QTest::newRow("period without steps") << Line({"--signal-period", "500"}) << "--signal-period";
        QTest::newRow("per request without steps") << Line({"--signal-per-request"}) << "--signal-per-request";
        QTest::newRow("per request and period")
            << Line({"--signal-steps", "1,2", "--signal-period", "500", "--signal-per-request"}) << "not both";
        QTest::newRow("unit's period without its steps")
            << Line({"--count", "2", "--unit", "1", "--signal-steps", "1,2", "--unit", "2", "--signal-period", "500"})
            << "unit 2";
    }
    void refused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, mentioned);
        SimOptions o;
        QString error;
        QVERIFY(!SimOptions::Parse(arguments, &o, &error));
        QVERIFY2(error.contains(mentioned), qPrintable(error));
    }

    void help()
    {
        SimOptions o;
        QString error;
        bool help = false;
        QVERIFY(SimOptions::Parse({"dtusim", "--help"}, &o, &error, &help));
        QVERIFY(help);
        help = false;
        QVERIFY(SimOptions::Parse(Line({"--count", "2", "--unit", "2", "--help"}), &o, &error, &help));
        QVERIFY(help);
        QVERIFY(SimOptions::Usage().contains(QLatin1String("--stray-before")));
    }

    // --version alone asks for the program's version; with a text after it,
    // it still sets the firmware version the device reports.
    void programVersion()
    {
        QVERIFY(SimOptions::AsksProgramVersion({"dtusim", "--version"}));
        QVERIFY(SimOptions::AsksProgramVersion(Line({"--version"})));
        QVERIFY(SimOptions::AsksProgramVersion(Line({"--version", "--verbose"})));
        QVERIFY(!SimOptions::AsksProgramVersion(Line({"--version", "V9.1"})));
        QVERIFY(!SimOptions::AsksProgramVersion(Line({"--version=V9.1"})));
        QVERIFY(!SimOptions::AsksProgramVersion(Line({"--verbose"})));
    }
};

DTU_TEST_GUILESS(SimOptionsTest)
#include "tst_sim_options.moc"
