// The command line of the simulated device.
#include "support/Hexes.h"
#include "support/TestMain.h"

// Built into the dtusim program only; compile what is tested.
#include "sim/SimOptions.h"

#include <QtTest>

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
        QCOMPARE(o.password, QByteArray("480917"));
        QCOMPARE(o.state.status, quint8(5));
        QCOMPARE(o.state.signal, quint8(23));
        QCOMPARE(o.misbehaviour.delayMs, 5);
        QVERIFY(!o.misbehaviour.silent && !o.misbehaviour.refuse && o.misbehaviour.onlyWords.isEmpty());
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
        QCOMPARE(o.password, QByteArray("abc"));
        QCOMPARE(o.state.status, quint8(3));
        QCOMPARE(o.state.signal, quint8(31));
        QCOMPARE(o.state.version, Bytes("B0 E6 B1 BE 31")); // GBK, as the tool decodes it
        QCOMPARE(o.state.imei, QByteArray("12345"));
        QCOMPARE(o.misbehaviour.strayBefore, Bytes("0A 0B"));
        QCOMPARE(o.misbehaviour.onlyWords, (QList<quint16>{0xE004, 0x0030}));

        QVERIFY(SimOptions::Parse(Line({"--tcp", "0"}), &o, &error));
        QCOMPARE(o.tcpPort, quint16(0));
        QVERIFY(SimOptions::Parse(Line({"--tcp=9000", "--pieces", "4:25"}), &o, &error));
        QCOMPARE(o.tcpPort, quint16(9000));
        QCOMPARE(o.misbehaviour.pieces, 4);
        QCOMPARE(o.misbehaviour.pieceGapMs, 25);
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
