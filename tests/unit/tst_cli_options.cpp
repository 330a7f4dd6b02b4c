// dtucfg's command line: options before and after the command, their
// values inline or in the next argument, "--", which options each command
// takes; the usage text names every option and command; the exit status of
// a run of many devices. (What it refuses is e2e/tst_dtucfg_refusals.)
#include "cli/CliCommands.h"
#include "cli/CliOptions.h"
#include "core/Translation.h"
#include "support/TestMain.h"

#include <QRegularExpression>

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
    // The usage is checked in English; Chinese is the same text's other language.
    void initTestCase() { QVERIFY(Translation::Install(Language::English)); }
    void cleanupTestCase() { QVERIFY(Translation::Install(Language::Chinese)); }

    void defaults()
    {
        const Parsed p = Parse({QStringLiteral("status")});
        QVERIFY(p.ok);
        QCOMPARE(p.options.command, QStringLiteral("status"));
        QVERIFY(p.options.arguments.isEmpty());
        QVERIFY(!p.options.given.contains(QStringLiteral("profile")));
        QVERIFY(p.options.scriptPath.isEmpty()); // looked for at run time
        QCOMPARE(p.options.password, QStringLiteral("480917"));
        QVERIFY(!p.options.tcp && !p.options.tcpPort && p.options.port.isEmpty());
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
        QVERIFY(p.options.given.contains(QStringLiteral("profile")));
        QCOMPARE(p.options.level, 2);
        QVERIFY(p.options.fast && p.options.ext && p.options.json);
        QCOMPARE(p.options.Target().Text(), QStringLiteral("tcp:192.168.1.9:9000"));
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

    // --tcp takes a target as an inventory writes it, with or without
    // "tcp:" and its port, and --port takes one with "tcp:" (what a target
    // may be is tst_endpoint's); --tcp-port, given too, is the port.
    void tcpTargets_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("target"); // empty: refused
        using L = QStringList;
        QTest::newRow("host") << L{"--tcp", "192.168.1.9"} << "tcp:192.168.1.9:8888";
        QTest::newRow("host and port") << L{"--tcp", "192.168.1.9:9000"} << "tcp:192.168.1.9:9000";
        QTest::newRow("as listed") << L{"--tcp", "tcp:dtu-7.local:9000"} << "tcp:dtu-7.local:9000";
        QTest::newRow("--tcp-port over the port") << L{"--tcp-port", "1", "--tcp", "h:9000"} << "tcp:h:1";
        QTest::newRow("port 0") << L{"--tcp", "h:0"} << "";
        QTest::newRow("serial port") << L{"--port", "/dev/ttyUSB0"} << "/dev/ttyUSB0";
        QTest::newRow("--port as listed") << L{"--port", "tcp:[::1]:9000"} << "tcp:[::1]:9000";
        QTest::newRow("--port, port 0") << L{"--port", "tcp:h:0"} << "";
    }
    void tcpTargets()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, target);
        const Parsed p = Parse(args << QStringLiteral("status"));
        QCOMPARE(p.ok, !target.isEmpty());
        if (!p.ok)
            return;
        QCOMPARE(p.options.Target().Text(), target);
        QCOMPARE(p.options.Target().tcp, target.startsWith(QLatin1String("tcp:")));
    }

    // The edges of what the port takes: every speed the port knows (the box
    // offers fewer), a frame format in either case.
    void acceptedSettings()
    {
        for (const char *speed : {"300", "33600", "76800", "921600"}) {
            const Parsed p = Parse({QStringLiteral("--baud"), QString::fromLatin1(speed), QStringLiteral("status")});
            QVERIFY2(p.ok, qPrintable(p.error));
            QCOMPARE(p.options.baud, QString::fromLatin1(speed));
        }
        const Parsed p = Parse({"--format", "7e2", "--level", "2", "status"});
        QVERIFY2(p.ok, qPrintable(p.error));
        QCOMPARE(p.options.format, QStringLiteral("7E2"));
        QCOMPARE(p.options.level, 2);
        QVERIFY(Parse({"--level=0", "status"}).ok);
        QCOMPARE(Parse({"--ext", "read", "--json"}).options.given, (QStringList{"ext", "json"}));
    }

    // Which options mean something for which command.
    void optionsEachCommandTakes_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("option");
        QTest::addColumn<bool>("takes");
        const auto row = [](const char *command, const char *option, bool takes) {
            QTest::addRow("%s --%s", command, option) << QString::fromLatin1(command) << QString::fromLatin1(option) << takes;
        };
        for (const char *c : {"read", "write", "batch"})
            row(c, "ext", true);
        for (const char *c : {"status", "save", "verify", "provision", "fleet", "ports"})
            row(c, "ext", false);
        row("signal", "watch", true);
        row("status", "watch", false);
        for (const char *c : {"verify", "provision", "fleet"})
            row(c, "ignore", true);
        row("write", "ignore", false);
        row("read", "verify", false);
        row("provision", "verify", true);
        row("fleet", "verify", true);
        row("fleet", "jobs", true);
        row("batch", "jobs", false);
        row("fleet", "report", true);
        row("verify", "report", false);
        row("provision", "set", true);
        row("provision", "events", true);
        row("write", "set", false);
        row("batch", "events", false);
        row("status", "port", true);
        row("provision", "tcp", true);
        row("fleet", "port", false);
        row("fleet", "password", false);
        row("ports", "profile", false);
        row("ports", "level", false);
        row("ports", "json", true);
        row("ports", "lang", true);
        row("reset", "level", true);
        row("fleet", "fast", true);
        row("check", "strict", true);
        row("check", "profile", true);
        row("check", "port", false);
        row("read", "strict", false);
    }
    void optionsEachCommandTakes()
    {
        QFETCH(QString, command);
        QFETCH(QString, option);
        QFETCH(bool, takes);
        QCOMPARE(CliCommands::Takes(command, option), takes);
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
        // A list as people type it: blanks after the commas (or around them).
        QCOMPARE(Parse({"fleet", "--ignore", "0033, 0041"}).error, QString());
        QCOMPARE(Parse({"fleet", "--ignore", "0033, 0041"}).options.ignore, (QStringList{"0033", "0041"}));
        QCOMPARE(Parse({"fleet", "--ignore", " 0033 ,0041 "}).options.ignore, (QStringList{"0033", "0041"}));
        // A hard ceiling on workers at once, refused with the reason.
        QCOMPARE(Parse({"fleet", "--jobs", "64"}).options.jobs, 64);
        QVERIFY(!Parse({"fleet", "--jobs", "65"}).ok);
        // A password from a file, never with --password as well.
        QCOMPARE(Parse({"status", "--password-file", "pw.txt"}).options.passwordFile, QStringLiteral("pw.txt"));
    }

    void helpAndVersion()
    {
        QVERIFY(Parse({"--help"}).options.help);
        QVERIFY(Parse({"-h"}).options.help);
        QVERIFY(Parse({"status", "-h"}).options.help);
        // After "--" it is an argument like any other.
        QVERIFY(!Parse({"--", "-h"}).options.help);
        const Parsed p = Parse({"--version"});
        QVERIFY(p.ok && p.options.showVersion);
        QVERIFY(p.options.command.isEmpty());
    }

    // 0 all ok, 1 failed, 3 found differences: a script that checks for 1
    // must see a failure however the other devices ended.
    void exitStatusOfARun_data()
    {
        QTest::addColumn<QList<int>>("devices");
        QTest::addColumn<int>("status");
        QTest::newRow("no device") << QList<int>{} << 0;
        QTest::newRow("all ok") << QList<int>{0, 0} << 0;
        QTest::newRow("one differs") << QList<int>{0, 3, 0} << 3;
        QTest::newRow("one failed") << QList<int>{0, 1} << 1;
        QTest::newRow("failed, then differs") << QList<int>{1, 3} << 1;
        QTest::newRow("differs, then failed") << QList<int>{3, 1, 0} << 1;
    }
    void exitStatusOfARun()
    {
        QFETCH(QList<int>, devices);
        QTEST(CliVerdict::OfRun(devices), "status");
    }

    void usageNamesEveryOptionAndCommand()
    {
        const QString usage = CliOptions::Usage();
        QVERIFY(usage.startsWith(QStringLiteral("Usage: dtucfg [options] COMMAND [ARGS]\n")));
        for (const char *option : {"--profile FILE", "--script FILE", "--port NAME", "--baud TEXT", "--format TEXT",
                                   "--tcp HOST", "--tcp-port N", "--password TEXT", "--level N", "--ext", "--json",
                                   "--fast", "--help", "--version", "--keep-profile", "--ignore NUM,...",
                                   "--set NUM=TEXT", "--events", "--verify", "--jobs N", "--report FILE",
                                   "--write-all", "--dry-run", "--strict"})
            QVERIFY2(usage.contains(QStringLiteral("\n  ") + QLatin1String(option)), option);
        const QStringList commands{"status", "signal", "version", "clock", "set-clock", "reset", "restore",
                                   "read", "write NUM=TEXT...", "save FILE", "batch", "verify FILE",
                                   "provision", "fleet INVENTORY.csv", "audit INVENTORY.csv", "ports [PATH...]", "identify", "rollback ID", "history [DEVICE]",
                                   "check"};
        QCOMPARE(int(CliCommands::All().size()), int(commands.size()));
        for (const QString &command : commands)
            QVERIFY2(usage.contains(QStringLiteral("\n  ") + command + QLatin1Char(' ')), qPrintable(command));
    }

    // --help speaks the language of the run: Chinese by default, English
    // once the English texts are installed; one table gives both. (The
    // Chinese run's refusals are checked in e2e/tst_dtucfg_refusals.)
    void usageInTheChosenLanguage()
    {
        QVERIFY(Translation::Install(Language::Chinese));
        const QString chinese = CliOptions::Usage();
        QVERIFY(Translation::Install(Language::English)); // as this class runs
        const QString english = CliOptions::Usage();

        QVERIFY(chinese.contains(QStringLiteral("\n  --ext            操作扩展参数表\n")));
        QVERIFY(chinese.contains(QStringLiteral("\n  --password-file FILE\n                   从 FILE 的第一行读TCP密码")));
        QVERIFY(chinese.contains(QStringLiteral("\n  status                 读DTU状态：设备的工作状态\n")));
        QVERIFY(chinese.contains(QStringLiteral("\n退出状态：")));

        QVERIFY(english.startsWith(QStringLiteral("Usage: dtucfg [options] COMMAND [ARGS]\n")));
        QVERIFY(english.contains(QStringLiteral("\n  --ext            act on the extended parameter table\n")));
        QVERIFY(english.contains(QStringLiteral("\n  --password TEXT  TCP maintenance password (default 480917). Every user of\n"
                                                "                   this computer can read it in the process list: prefer\n")));
        QVERIFY(english.contains(QStringLiteral("\n  status                 the working state of the device\n")));
        QVERIFY(english.contains(QStringLiteral("\nExit status: ")));
        static const QRegularExpression han(QStringLiteral("\\p{Han}"));
        const QRegularExpressionMatch match = han.match(english);
        QVERIFY2(!match.hasMatch(), qPrintable(english.mid(match.capturedStart() - 40, 80)));
    }
};

DTU_TEST_GUILESS(CliOptionsTest)
#include "tst_cli_options.moc"
