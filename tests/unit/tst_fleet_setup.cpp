// A fleet run's settings as dtucfg fleet and the window make them (the
// script found as the window finds it, a value the level withholds refused
// before any worker starts), and what the runner hands a worker and makes
// of one: a stand-in "dtucfg" (a shell script) records its command line,
// or ends without a result.
#include "fleet/FleetRunner.h"
#include "fleet/FleetSetup.h"
#include "support/TestMain.h"
#include "support/WorkFolder.h"

#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>

namespace {

Inventory::Table OneDevice(const QString &target, const QList<QPair<QString, QString>> &values = {})
{
    Inventory::Table table;
    FleetDevice device;
    if (const auto parsed = Endpoint::Parse(target)) device.target = *parsed; else
        qFatal("bad target %s", qPrintable(target));
    device.values = values;
    for (const auto &value : values)
        table.valueColumns << value.first;
    table.devices << device;
    return table;
}

// A stand-in worker program for the runner, in a folder of its own, made
// the worker folder (DTU_BIN_DIR) for its life.
class StandInWorker {
public:
    explicit StandInWorker(const QByteArray &body) : old_(qgetenv(FleetRunner::kBinDirVariable))
    {
        folder_.Write(QStringLiteral("dtucfg"), "#!/bin/sh\n" + body);
        QFile::setPermissions(folder_.Path(QStringLiteral("dtucfg")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv(FleetRunner::kBinDirVariable, QFile::encodeName(folder_.Path()));
    }
    ~StandInWorker() { qputenv(FleetRunner::kBinDirVariable, old_); }

private:
    WorkFolder folder_;
    QByteArray old_;
};

// Records its arguments, one a line, in args.txt of its working folder,
// what it was given on standard input in stdin.txt, and the password its
// environment holds in environment.txt.
const QByteArray kRecorder = "printf '%s\\n' \"$@\" > args.txt\n"
                             "cat > stdin.txt\n"
                             "echo \"${DTU_PASSWORD:-none}\" > environment.txt\n"
                             "echo '{\"event\":\"result\",\"outcome\":\"ok\",\"written\":1,\"failed\":[],"
                             "\"differences\":[],\"detail\":\"\"}'\n";

// Runs the fleet to its end.
void RunToEnd(FleetRunner &runner, const QList<FleetDevice> &devices, const FleetRunner::Settings &settings)
{
    QSignalSpy ended(&runner, &FleetRunner::finished);
    QVERIFY(runner.Start(devices, settings));
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 10000);
}

} // namespace

class FleetSetupTest : public QObject {
    Q_OBJECT
private slots:
    // The script: the one dtucfg loaded as it is; else the working
    // folder's, the one beside the profile, the configuration folder's, in
    // that order; none is refused with every path tried.
    void scriptAsTheWindowFindsIt()
    {
        ConfigHome config;
        Workspace here(WorkFolder::kNoExamples);
        WorkFolder device(WorkFolder::kProfiles);
        FleetSetup::Choices choices;
        choices.profilePath = device.Path(QStringLiteral("example_profile.txt"));
        const Inventory::Table table = OneDevice(QStringLiteral("tcp:127.0.0.1:4001"));

        FleetSetup::Plan plan = FleetSetup::Make(choices, table);
        QCOMPARE(plan.refusal, FleetSetup::Refusal::NoScript);
        QCOMPARE(plan.scriptTried, (QStringList{QStringLiteral("script.js"), device.Path(QStringLiteral("script.js")),
                                                config.Tool(QStringLiteral("script.js"))}));

        config.Write(config.Tool(QStringLiteral("script.js")), "// config\n");
        QCOMPARE(FleetSetup::Make(choices, table).settings.scriptPath, config.Tool(QStringLiteral("script.js")));
        device.Write(QStringLiteral("script.js"), "// beside\n");
        QCOMPARE(FleetSetup::Make(choices, table).settings.scriptPath, device.Path(QStringLiteral("script.js")));
        here.Write(QStringLiteral("script.js"), "// here\n");
        plan = FleetSetup::Make(choices, table);
        QCOMPARE(plan.refusal, FleetSetup::Refusal::None);
        QCOMPARE(plan.settings.scriptPath, here.Path(QStringLiteral("script.js"))); // absolute for the workers

        // dtucfg's loaded script, whatever lies elsewhere.
        choices.scriptPath = QStringLiteral("other.js");
        QCOMPARE(FleetSetup::Make(choices, table).settings.scriptPath, here.Path(QStringLiteral("other.js")));
    }

    // A value the level withholds would be every such worker's usage
    // error: refused before the run, naming the row. An empty cell sets
    // nothing and passes.
    void valueTheLevelWithholds()
    {
        Workspace here(WorkFolder::kAllExamples);
        FleetSetup::Choices choices;
        choices.profilePath = QStringLiteral("example_profile.txt");
        Inventory::Table table = OneDevice(QStringLiteral("/dev/ttyUSB0"),
                                           {{QStringLiteral("0030"), QStringLiteral("10.0.0.9")},
                                            {QStringLiteral("0091"), QStringLiteral("DTU0007")}});
        FleetSetup::Plan plan = FleetSetup::Make(choices, table);
        QCOMPARE(plan.refusal, FleetSetup::Refusal::ColumnWithheld);
        QCOMPARE(plan.column, QStringLiteral("0091"));
        choices.level = 1;
        QCOMPARE(FleetSetup::Make(choices, table).refusal, FleetSetup::Refusal::ColumnWithheld);
        choices.level = 2;
        plan = FleetSetup::Make(choices, table);
        QCOMPARE(plan.refusal, FleetSetup::Refusal::None);
        QCOMPARE(plan.settings.level, 2);

        choices.level = 0;
        table.devices[0].values.removeLast(); // the 0091 column stays, empty
        QCOMPARE(FleetSetup::Make(choices, table).refusal, FleetSetup::Refusal::None);

        choices.profilePath = QStringLiteral("no_such_profile.txt");
        QCOMPARE(FleetSetup::Make(choices, table).refusal, FleetSetup::Refusal::NoProfile);
    }

    // Everything chosen reaches the worker's command line, except the
    // device's password, which comes on its standard input.
    void workerGetsEverySetting()
    {
        Workspace here(WorkFolder::kAllExamples);
        StandInWorker worker(kRecorder);
        FleetSetup::Choices choices;
        choices.profilePath = QStringLiteral("example_profile.txt");
        choices.level = 2;
        choices.fast = true;
        choices.verify = true;
        choices.ignore = {QStringLiteral("0033"), QStringLiteral("0041")};
        choices.language = QStringLiteral("en"); // the workers' own words in the run's language
        choices.recordsLocation = QStringLiteral("team.sqlite");
        choices.identify = true;
        Inventory::Table table = OneDevice(QStringLiteral("tcp:127.0.0.1:4001"), {{"0091", "DTU0007"}});
        table.devices[0].password = QStringLiteral("135790");
        const FleetSetup::Plan plan = FleetSetup::Make(choices, table);
        QCOMPARE(plan.refusal, FleetSetup::Refusal::None);
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d{8}T\\d{9}-\\d+$")).match(plan.runId).hasMatch(),
                 qPrintable(plan.runId));

        FleetRunner runner;
        RunToEnd(runner, table.devices, plan.settings);
        QCOMPARE(runner.Reports().at(0).outcome, OutcomeId::Ok);
        QCOMPARE(QString::fromUtf8(here.Read(QStringLiteral("args.txt"))).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
                 (QStringList{"--profile", here.Path(QStringLiteral("example_profile.txt")), "--script",
                              here.Path(QStringLiteral("script.js")), "--level", "2", "--tcp", "127.0.0.1",
                              "--tcp-port", "4001", "--lang", "en", "--password-file", "-", "--fast", "--records",
                              "team.sqlite", "--fleet-run", plan.runId, "--identify", "provision", "--events",
                              "--verify", "--ignore", "0033,0041", "--set", "0091=DTU0007"}));
        QCOMPARE(here.Read(QStringLiteral("stdin.txt")), QByteArray("135790\n"));

        // A device without a password of its own: nothing on standard
        // input, and the default password (not this program's DTU_PASSWORD).
        qputenv("DTU_PASSWORD", "246810");
        table.devices[0].password.clear();
        FleetRunner second;
        RunToEnd(second, table.devices, plan.settings);
        qunsetenv("DTU_PASSWORD");
        const QString args = QString::fromUtf8(here.Read(QStringLiteral("args.txt")));
        QVERIFY2(!args.contains(QStringLiteral("--password")), qPrintable(args));
        QVERIFY2(args.contains(QStringLiteral("\n--records\nteam.sqlite\n--fleet-run\n")), qPrintable(args));
        QCOMPARE(here.Read(QStringLiteral("stdin.txt")), QByteArray());
        QCOMPARE(here.Read(QStringLiteral("environment.txt")), QByteArray("none\n"));
    }

    // Records off: no worker keeps anything, and the run has no id. On
    // without a place: the default store, under the run's id.
    void workersRecordOnlyWhenAsked()
    {
        Workspace here(WorkFolder::kAllExamples);
        FleetSetup::Choices choices;
        choices.profilePath = QStringLiteral("example_profile.txt");
        const Inventory::Table table = OneDevice(QStringLiteral("tcp:127.0.0.1:4001"));
        choices.recordsOff = true;
        choices.recordsLocation = QStringLiteral("team.sqlite");
        FleetSetup::Plan plan = FleetSetup::Make(choices, table);
        QCOMPARE(plan.settings.recordArgs, QStringList{"--no-records"});
        QVERIFY(plan.runId.isEmpty());
        choices.recordsOff = false;
        choices.recordsLocation.clear();
        plan = FleetSetup::Make(choices, table);
        QVERIFY(!plan.runId.isEmpty());
        QCOMPARE(plan.settings.recordArgs, (QStringList{"--fleet-run", plan.runId}));
    }

    // An inventory without a device: nothing to run, refused as such.
    void inventoryWithoutDevices()
    {
        Workspace here(WorkFolder::kAllExamples);
        FleetSetup::Choices choices;
        choices.profilePath = QStringLiteral("example_profile.txt");
        Inventory::Table table = OneDevice(QStringLiteral("tcp:127.0.0.1:4001"));
        table.devices.clear();
        QCOMPARE(FleetSetup::Make(choices, table).refusal, FleetSetup::Refusal::NoDevices);
    }

    // A worker that ends without a result failed: the device was never
    // judged, so it is not called unreachable. Its own complaint explains.
    void workerWithoutResultFailed()
    {
        Workspace here(WorkFolder::kAllExamples);
        StandInWorker worker("echo 'dtucfg: --set: 0032: choose one of: TCP, UDP' >&2\n"
                             "echo \"Try 'dtucfg --help'.\" >&2\nexit 2\n");
        FleetSetup::Choices choices;
        choices.profilePath = QStringLiteral("example_profile.txt");
        const Inventory::Table table = OneDevice(QStringLiteral("tcp:127.0.0.1:4001"));
        FleetRunner runner;
        RunToEnd(runner, table.devices, FleetSetup::Make(choices, table).settings);
        const DeviceReport &r = runner.Reports().at(0);
        QCOMPARE(r.outcome, OutcomeId::Failed);
        QCOMPARE(r.why, (DeviceWhy{DeviceWhy::Kind::WorkerStatus, 2, 0,
                                   QStringLiteral("--set: 0032: choose one of: TCP, UDP")}));
    }

    // A stop asked as a device starts: that worker and the ones after it
    // never run.
    void stopAsADeviceStarts()
    {
        Workspace here(WorkFolder::kAllExamples);
        StandInWorker worker(kRecorder);
        FleetSetup::Choices choices;
        choices.profilePath = QStringLiteral("example_profile.txt");
        Inventory::Table table = OneDevice(QStringLiteral("tcp:127.0.0.1:4001"));
        table.devices << OneDevice(QStringLiteral("tcp:127.0.0.1:4002")).devices;
        FleetRunner runner;
        QList<int> started, finished;
        connect(&runner, &FleetRunner::deviceStarted, &runner, [&](int i) {
            started << i;
            runner.Stop();
        });
        connect(&runner, &FleetRunner::deviceFinished, &runner, [&](int i) { finished << i; });
        RunToEnd(runner, table.devices, FleetSetup::Make(choices, table).settings);
        QCOMPARE(started, QList<int>{0});
        QCOMPARE(finished, QList<int>{0});
        QCOMPARE(runner.Reports().at(0).outcome, OutcomeId::NotStarted);
        QCOMPARE(runner.Reports().at(1).outcome, OutcomeId::NotStarted);
        QVERIFY(!runner.Running());
        QTest::qWait(300); // a worker started anyway would have recorded by now
        QVERIFY(!QFile::exists(here.Path(QStringLiteral("args.txt"))));
    }
};

DTU_TEST_GUILESS(FleetSetupTest)
#include "tst_fleet_setup.moc"
