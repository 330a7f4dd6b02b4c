// Every line dtucfg prints is in the language asked for (--lang, Chinese by
// default): each command in both languages, refusals and failures
// included, and the watched signal's lines. The profile's own texts (names,
// labels, values as its script shows them) are the profile's.
#include "support/SimLine.h"
#include "support/SimProcess.h"
#include "support/TestMain.h"
#include "support/TestPaths.h"
#include "support/WorkFolder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// The example device on a pseudo-terminal and a work folder with the
// example files.
class LanguageRig {
public:
    explicit LanguageRig(const QStringList &simArgs = {})
    {
        QVERIFY(dir_.IsValid());
        QVERIFY2(sim_.Start(SimProcess::ExampleArgs() + simArgs, TestPaths::Source(QStringLiteral("examples"))),
                 qPrintable(sim_.Error()));
    }
    ProgramRun Cfg(const QStringList &args) const { return StartCfg(args)->Finish(); }
    std::unique_ptr<StartedProgram> StartCfg(const QStringList &args) const
    {
        return std::make_unique<StartedProgram>(
            QStringLiteral("dtucfg"), QStringList{QStringLiteral("--profile"), TestPaths::kExampleProfile} + sim_.CfgChannel() + args,
            dir_.Path());
    }
    const WorkFolder &Dir() const { return dir_; }
    SimProcess &Sim() { return sim_; }

private:
    WorkFolder dir_{WorkFolder::kAllExamples};
    SimProcess sim_;
};

bool HasChinese(const QString &line)
{
    static const QRegularExpression han(QStringLiteral("\\p{Han}"));
    return han.match(line).hasMatch();
}

} // namespace

class DtucfgOneLanguageTest : public QObject {
    Q_OBJECT
private slots:
    // signal --watch speaks the language asked for: a value without a level
    // and a failed reading alike.
    void watchLinesFollowTheLanguage_data()
    {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
        QTest::newRow("no level") << QStringList{QStringLiteral("--signal"), QStringLiteral("99")}
                                  << QStringLiteral("CSQ=99 unknown") << QStringLiteral("CSQ=99 未知");
    }
    void watchLinesFollowTheLanguage()
    {
        QFETCH(QStringList, sim);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        // Both languages at once, each watching a device of its own.
        LanguageRig rigs[2]{LanguageRig(sim), LanguageRig(sim)};
        QProcess cfgs[2];
        for (int i = 0; i < 2; ++i) {
            const bool inEnglish = i == 0;
            cfgs[i].setWorkingDirectory(rigs[i].Dir().Path());
            QStringList args{QStringLiteral("--profile"), TestPaths::kExampleProfile};
            args += rigs[i].Sim().CfgChannel();
            if (inEnglish)
                args << QStringLiteral("--lang") << QStringLiteral("en");
            args << QStringLiteral("signal") << QStringLiteral("--watch") << QStringLiteral("1");
            cfgs[i].start(TestPaths::Program(QStringLiteral("dtucfg")), args);
            QVERIFY(cfgs[i].waitForStarted(5000));
        }
        for (int i = 0; i < 2; ++i) {
            const bool inEnglish = i == 0;
            QProcess &cfg = cfgs[i];
            QElapsedTimer t;
            t.start();
            while (!cfg.canReadLine() && t.elapsed() < 40000)
                cfg.waitForReadyRead(100);
            const QString line = QString::fromUtf8(cfg.readLine()).trimmed();
            cfg.terminate();
            QVERIFY(cfg.waitForFinished(15000));
            QVERIFY2(line.endsWith(inEnglish ? english : chinese), qPrintable(line));
        }
    }

    // A failed reading of the watch in each language, run in this process on
    // virtual time (the reading waits 10 s for the silent device).
    void failedWatchLineFollowsTheLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("said");
        QTest::newRow("en") << QStringLiteral("en") << QStringLiteral("Signal read failed");
        QTest::newRow("zh") << QStringLiteral("zh") << QStringLiteral("信号读取失败");
    }
    void failedWatchLineFollowsTheLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, said);
        WorkFolder dir(WorkFolder::kAllExamples);
        VirtualDevice device({QStringLiteral("--silent")});
        StopWatchAtFirstReading(device);
        const ProgramRun run = device.Cfg({QStringLiteral("--profile"), TestPaths::kExampleProfile, QStringLiteral("--lang"),
                                           language, QStringLiteral("signal"), QStringLiteral("--watch"), QStringLiteral("1")},
                                          dir.Path());
        QVERIFY2(run.exitCode == 1, qPrintable(run.Describe()));
        QVERIFY2(run.out.size() == 1 && run.out.first().endsWith(said), qPrintable(run.out.join(QLatin1Char('\n'))));
    }

    // Every command, in each language: no line in the other one. The
    // profile's own texts (names, labels) are the profile's.
    void oneLanguageAtATime_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("zh") << QStringLiteral("zh");
        QTest::newRow("en") << QStringLiteral("en");
    }
    void oneLanguageAtATime()
    {
        QFETCH(QString, language);
        // The device's commands run in this process against dtusim's device
        // on virtual time; the fleet and the records run as programs.
        WorkFolder folder(WorkFolder::kAllExamples);
        VirtualDevice device;
        struct {
            WorkFolder &folder;
            VirtualDevice &device;
            const WorkFolder &Dir() const { return folder; }
            ProgramRun Cfg(const QStringList &args)
            {
                return device.Cfg(QStringList{QStringLiteral("--profile"), TestPaths::kExampleProfile} + args, folder.Path());
            }
        } healthy{folder, device};
        healthy.Dir().Write(QStringLiteral("other.txt"),
                            "{\"Params\": [{\"CMDID\": \"0031\", \"PNAME\": \"中心端口\", \"PVALUE\": \"HEX:0050\"},"
                            " {\"CMDID\": \"0777\", \"PNAME\": \"别的\", \"PVALUE\": \"HEX:01\"}]}\n");
        // The values as the profile's script shows them are the profile's
        // too ("1分0秒"): what a read prints, field by field.
        QStringList profileTexts = ProfileTexts();
        for (const QStringList &read : {QStringList{QStringLiteral("read")},
                                        QStringList{QStringLiteral("--ext"), QStringLiteral("read")}}) {
            const ProgramRun run = healthy.Cfg(QStringList{QStringLiteral("--fast")} + read);
            QVERIFY2(run.exitCode == 0, qPrintable(run.Describe()));
            for (const QString &line : run.out)
                profileTexts += line.split(QLatin1Char('\t'));
        }
        // And the profile's title, as the records keep it.
        const ProgramRun first = RunProgram(
            QStringLiteral("dtucfg"), {QStringLiteral("history"), QStringLiteral("--show"), QStringLiteral("1"), QStringLiteral("--json")},
            healthy.Dir().Path());
        profileTexts << QJsonDocument::fromJson(first.out.join(QLatin1Char('\n')).toUtf8())
                            .object()
                            .value(QStringLiteral("entry"))
                            .toObject()
                            .value(QStringLiteral("profile"))
                            .toObject()
                            .value(QStringLiteral("title"))
                            .toString();
        QVERIFY2(!profileTexts.last().isEmpty(), qPrintable(first.Describe()));
        profileTexts.removeAll(QString());
        std::sort(profileTexts.begin(), profileTexts.end(),
                  [](const QString &a, const QString &b) { return a.size() > b.size(); });
        const QList<QStringList> commands{
            {QStringLiteral("status")},
            {QStringLiteral("signal")},
            {QStringLiteral("version")},
            {QStringLiteral("clock")},
            {QStringLiteral("set-clock")},
            {QStringLiteral("reset")},
            {QStringLiteral("restore")},
            {QStringLiteral("read")},
            {QStringLiteral("--ext"), QStringLiteral("read")},
            {QStringLiteral("write"), QStringLiteral("0031=9000"), QStringLiteral("0032=UDP")},
            {QStringLiteral("write"), QStringLiteral("0091=X")},
            {QStringLiteral("save"), QStringLiteral("backup.txt")},
            {QStringLiteral("batch")},
            {QStringLiteral("verify"), QStringLiteral("other.txt")},
            {QStringLiteral("verify"), QStringLiteral("backup.txt")},
            {QStringLiteral("ports"), QStringLiteral("/dev/no-such-tty")},
            {QStringLiteral("write"), QStringLiteral("0999=1")},
            {QStringLiteral("write"), QStringLiteral("0032=SCTP")},
            {QStringLiteral("write"), QStringLiteral("0031=70000")},
            {QStringLiteral("status"), QStringLiteral("--ext")},
            {QStringLiteral("--baud"), QStringLiteral("1"), QStringLiteral("status")},
            {QStringLiteral("--frob"), QStringLiteral("status")},
            {QStringLiteral("frob")},
            {QStringLiteral("--help")},
            {QStringLiteral("-h")},
            // The device records: the identity query, a write that reads
            // first, and a rollback refused for an entry that is not there.
            {QStringLiteral("identify")},
            {QStringLiteral("write"), QStringLiteral("--snapshot"), QStringLiteral("0031=9000")},
            {QStringLiteral("rollback"), QStringLiteral("99999")},
            {QStringLiteral("rollback"), QStringLiteral("x")},
        };
        // The records as they are, with no device or profile: the entries
        // the commands above left.
        const QList<QStringList> records{
            {QStringLiteral("history")},
            {QStringLiteral("history"), QStringLiteral("--show"), QStringLiteral("1")},
            {QStringLiteral("history"), QStringLiteral("--diff"), QStringLiteral("1"), QStringLiteral("2")},
            {QStringLiteral("history"), QStringLiteral("--show"), QStringLiteral("99999")},
            {QStringLiteral("history"), QStringLiteral("--limit"), QStringLiteral("-1")},
            {QStringLiteral("--no-records"), QStringLiteral("history")},
        };
        const QStringList asked{QStringLiteral("--fast"), QStringLiteral("--lang"), language};
        for (const QStringList &command : commands) {
            CheckLines(healthy.Cfg(asked + command), language, command, profileTexts);
            if (QTest::currentTestFailed())
                return;
        }
        // A silent device's failures: a few stand for the rest. Each is run
        // in this process on virtual time, its silence waited out at once.
        static const QStringList failing{QStringLiteral("status"), QStringLiteral("read"), QStringLiteral("save")};
        for (const QStringList &command : commands) {
            if (!failing.contains(command.first()))
                continue;
            VirtualDevice silent({QStringLiteral("--silent")});
            const ProgramRun run = silent.Cfg(QStringList{QStringLiteral("--profile"), TestPaths::kExampleProfile} + asked + command,
                                              healthy.Dir().Path());
            CheckLines(run, language, command, profileTexts);
            if (QTest::currentTestFailed())
                return;
        }
        // The fleet: inventories it refuses (each problem named by line and
        // column), and a run whose device cannot be reached, with the
        // workers' own words.
        healthy.Dir().Write(QStringLiteral("columns.csv"), "target,colour\n/dev/ttyS0,red\n");
        healthy.Dir().Write(QStringLiteral("twice.csv"), "target\ntcp:127.0.0.1:1\ntcp:127.0.0.1:1\n");
        healthy.Dir().Write(QStringLiteral("hex.csv"), "target,0031\ntcp:127.0.0.1:1,HEX:1F9\n");
        healthy.Dir().Write(QStringLiteral("quote.csv"), "target\n\"tcp:127.0.0.1:1\n");
        healthy.Dir().Write(QStringLiteral("cells.csv"), "target,0032,00EE\ntcp:127.0.0.1:1,SCTP,1\n");
        healthy.Dir().Write(QStringLiteral("gone.csv"), "target\n/dev/no-such-tty\n");
        for (const char *inventory : {"columns.csv", "twice.csv", "hex.csv", "quote.csv", "cells.csv", "nosuch.csv",
                                      "gone.csv"}) {
            const QStringList command{QStringLiteral("fleet"), QLatin1String(inventory)};
            const ProgramRun run
                = RunProgram(QStringLiteral("dtucfg"),
                             QStringList{QStringLiteral("--profile"), TestPaths::kExampleProfile, QStringLiteral("--lang"), language}
                                 + command,
                             healthy.Dir().Path());
            QVERIFY2(run.exitCode == (QLatin1String(inventory) == QLatin1String("gone.csv") ? 1 : 2),
                     qPrintable(run.Describe()));
            CheckLines(run, language, command, profileTexts);
            if (QTest::currentTestFailed())
                return;
        }
        for (const QStringList &command : records) {
            const ProgramRun run = RunProgram(QStringLiteral("dtucfg"),
                                              QStringList{QStringLiteral("--lang"), language} + command,
                                              healthy.Dir().Path());
            QVERIFY2(run.exitCode >= 0, qPrintable(run.Describe()));
            // Each says something: a list, an entry, or why not.
            QVERIFY2(!run.out.isEmpty() || !run.err.isEmpty(), qPrintable(command.join(QLatin1Char(' '))));
            CheckLines(run, language, command, profileTexts);
            if (QTest::currentTestFailed())
                return;
        }
    }

private:
    // Every line of a run, the profile's own texts taken out, in the
    // language asked for.
    static void CheckLines(const ProgramRun &run, const QString &language, const QStringList &command,
                           const QStringList &profileTexts)
    {
        const bool english = language == QLatin1String("en");
        QVERIFY2(run.exitCode >= 0, qPrintable(run.Describe()));
        QStringList lines = run.out;
        lines += run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (QString line : lines) {
            const QString shown = line;
            for (const QString &text : profileTexts)
                line.remove(text);
            const bool wrong = english ? HasChinese(line) : LooksEnglish(line);
            QVERIFY2(!wrong, qPrintable(QStringLiteral("%1: \"%2\" (%3)").arg(language, shown, command.join(QLatin1Char(' ')))));
        }
    }

    // The texts the example profile and its extended file give the window:
    // every run of Chinese characters in them, and the ASCII labels.
    static QStringList ProfileTexts()
    {
        QStringList texts;
        for (const QString &name : {QStringLiteral("example_profile.txt"), QStringLiteral("example_ext.txt")}) {
            QFile file(TestPaths::Example(name));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString text = QString::fromUtf8(file.readAll());
            static const QRegularExpression quoted(QStringLiteral("\"([^\"\\\\]*)\""));
            for (auto it = quoted.globalMatch(text); it.hasNext();)
                texts << it.next().captured(1);
        }
        texts << QStringLiteral("中心端口") << QStringLiteral("别的") << QStringLiteral("协议");
        texts.removeAll(QString());
        // Longer first, so that a text inside another goes with it.
        std::sort(texts.begin(), texts.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
        return texts;
    }

    // Two English words in a row, apart from the names and codes a Chinese
    // line uses too.
    static bool LooksEnglish(QString line)
    {
        static const QRegularExpression kept(QStringLiteral(
            "--[a-z-]+|dtucfg|DTU|CSQ|IMEI|HEX|dBm|TCP|sudo usermod -aG \\S+ \\$USER|root|/\\S+|\\S+\\.(txt|js)\\b"
            "|\"[^\"]*\"|\\([^)]*\\)")); // a port's description and maker are the system's
        line.remove(kept);
        static const QRegularExpression words(QStringLiteral("[A-Za-z]{3,}[ ,:]+[A-Za-z]{2,}"));
        return words.match(line).hasMatch() && !HasChinese(line);
    }
};


DTU_TEST_GUILESS(DtucfgOneLanguageTest)
#include "tst_dtucfg_one_language.moc"
