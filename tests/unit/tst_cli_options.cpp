// dtucfg's command line: options before and after the command, their
// values inline or in the next argument, "--", and the one-line reasons for
// what it refuses; the usage text names every option and command.
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "support/TestMain.h"

namespace {

struct Parsed {
    bool ok = false;
    CliOptions options;
    QString error;
};

Parsed Parse(const QStringList &args)
{
    Parsed p;
    p.ok = CliOptions::Parse(args, &p.options, &p.error);
    return p;
}

} // namespace

class CliOptionsTest : public QObject {
    Q_OBJECT
private slots:
    void defaults()
    {
        const Parsed p = Parse({QStringLiteral("status")});
        QVERIFY(p.ok);
        QCOMPARE(p.options.command, QStringLiteral("status"));
        QVERIFY(p.options.arguments.isEmpty());
        QVERIFY(!p.options.profileGiven);
        QVERIFY(p.options.scriptPath.isEmpty()); // looked for at run time
        QCOMPARE(p.options.password, QStringLiteral("480917"));
        QCOMPARE(p.options.tcpPort, quint16(8888));
        QVERIFY(p.options.tcpHost.isEmpty() && p.options.port.isEmpty());
        QCOMPARE(p.options.level, 0);
        QVERIFY(!p.options.ext && !p.options.json && !p.options.fast && !p.options.help && !p.options.showVersion);
        QCOMPARE(p.options.language, Language::Chinese); // whatever the locale: scripts match the lines
    }

    // Options may stand anywhere; the first other word is the command and
    // the rest are its arguments, in order.
    void optionsAroundTheCommand()
    {
        const Parsed p = Parse({"--profile", "dev.txt", "write", "--level=2", "0031=9000", "--fast", "0032=UDP",
                                "--tcp", "192.168.1.9", "--tcp-port=9000", "--ext", "--json", "--lang", "en"});
        QVERIFY2(p.ok, qPrintable(p.error));
        QCOMPARE(p.options.command, QStringLiteral("write"));
        QCOMPARE(p.options.arguments, (QStringList{"0031=9000", "0032=UDP"}));
        QCOMPARE(p.options.profilePath, QStringLiteral("dev.txt"));
        QVERIFY(p.options.profileGiven);
        QCOMPARE(p.options.level, 2);
        QVERIFY(p.options.fast && p.options.ext && p.options.json);
        QCOMPARE(p.options.tcpHost, QStringLiteral("192.168.1.9"));
        QCOMPARE(p.options.tcpPort, quint16(9000));
        QCOMPARE(p.options.language, Language::English);
    }

    // After "--" every word is an argument, even one that looks like an
    // option; a value may itself begin with "--" or hold "=".
    void doubleDashEndsOptions()
    {
        Parsed p = Parse({"--password", "--x=y", "write", "--", "--ext", "0040=a=b"});
        QVERIFY2(p.ok, qPrintable(p.error));
        QCOMPARE(p.options.password, QStringLiteral("--x=y"));
        QCOMPARE(p.options.arguments, (QStringList{"--ext", "0040=a=b"}));
        QVERIFY(!p.options.ext);
        p = Parse({"--", "--help"});
        QVERIFY(p.ok);
        QCOMPARE(p.options.command, QStringLiteral("--help"));
        QVERIFY(!p.options.help);
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");
        QTest::newRow("unknown option") << QStringList{"--speed", "9600", "status"}
                                        << QStringLiteral("unknown option --speed");
        QTest::newRow("value missing at the end") << QStringList{"status", "--profile"}
                                                  << QStringLiteral("--profile needs a value");
        QTest::newRow("flag given a value") << QStringList{"--ext=1", "read"} << QStringLiteral("--ext takes no value");
        QTest::newRow("port 0") << QStringList{"--tcp-port", "0"} << QStringLiteral("--tcp-port: invalid value \"0\"");
        QTest::newRow("port 65536") << QStringList{"--tcp-port=65536"}
                                    << QStringLiteral("--tcp-port: invalid value \"65536\"");
        QTest::newRow("port not a number") << QStringList{"--tcp-port", "http"}
                                           << QStringLiteral("--tcp-port: invalid value \"http\"");
        QTest::newRow("level not a number") << QStringList{"--level=x"} << QStringLiteral("--level: invalid value \"x\"");
        QTest::newRow("language not known") << QStringList{"--lang=fr", "status"}
                                            << QStringLiteral("--lang: invalid value \"fr\"");
        QTest::newRow("empty host") << QStringList{"--tcp=", "status"} << QStringLiteral("--tcp: invalid value \"\"");
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        const Parsed p = Parse(args);
        QVERIFY(!p.ok);
        QCOMPARE(p.error, error);
    }

    void edgesOfTheTcpPort()
    {
        for (const quint16 port : {quint16(1), quint16(65535)}) {
            const Parsed p = Parse({QStringLiteral("--tcp-port"), QString::number(port)});
            QVERIFY2(p.ok, qPrintable(p.error));
            QCOMPARE(p.options.tcpPort, port);
        }
    }

    void fleetOptions()
    {
        const Parsed p = Parse({"verify", "b.txt", "--ignore", "0091,00a1", "--ignore=0030", "--set", "0031=9000",
                                "--set=0030=HEX:0A", "--jobs", "4", "--keep-profile"});
        QVERIFY2(p.ok, qPrintable(p.error));
        QCOMPARE(p.options.ignore, (QStringList{"0091", "00A1", "0030"}));
        QCOMPARE(p.options.set, (QStringList{"0031=9000", "0030=HEX:0A"}));
        QCOMPARE(p.options.jobs, 4);
        QVERIFY(p.options.keepProfile);
        QCOMPARE(Parse({"verify", "--ignore", "91"}).error, QStringLiteral("--ignore: invalid value \"91\""));
        QCOMPARE(Parse({"verify", "--ignore", "0091,"}).error, QStringLiteral("--ignore: invalid value \"0091,\""));
        QCOMPARE(Parse({"fleet", "--jobs", "0"}).error, QStringLiteral("--jobs: invalid value \"0\""));
        QCOMPARE(Parse({"fleet", "--report="}).error, QStringLiteral("--report: invalid value \"\""));
    }

    void helpAndVersion()
    {
        QVERIFY(Parse({"--help"}).options.help);
        const Parsed p = Parse({"--version"});
        QVERIFY(p.ok && p.options.showVersion);
        QVERIFY(p.options.command.isEmpty());
    }

    void usageNamesEveryOptionAndCommand()
    {
        const QString usage = CliOptions::Usage();
        QVERIFY(usage.startsWith(QStringLiteral("Usage: dtucfg [options] COMMAND [ARGS]\n")));
        for (const char *option : {"--profile FILE", "--script FILE", "--port NAME", "--baud TEXT", "--format TEXT",
                                   "--tcp HOST", "--tcp-port N", "--password TEXT", "--level N", "--ext", "--json",
                                   "--fast", "--help", "--version", "--keep-profile", "--ignore NUM,...",
                                   "--set NUM=TEXT", "--events", "--verify", "--jobs N", "--report FILE"})
            QVERIFY2(usage.contains(QStringLiteral("\n  ") + QLatin1String(option)), option);
        const QStringList commands{"status", "signal", "version", "clock", "set-clock", "reset", "restore",
                                   "read", "write NUM=TEXT...", "save FILE", "batch", "verify FILE",
                                   "provision", "fleet INVENTORY.csv", "ports [PATH...]", "identify", "rollback ID", "history [DEVICE]"};
        QCOMPARE(int(CliCommands::All().size()), int(commands.size()));
        for (const QString &command : commands)
            QVERIFY2(usage.contains(QStringLiteral("\n  ") + command + QLatin1Char(' ')), qPrintable(command));
    }
};

DTU_TEST_GUILESS(CliOptionsTest)
#include "tst_cli_options.moc"
