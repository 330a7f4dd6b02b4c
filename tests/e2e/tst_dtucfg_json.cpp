// dtucfg --json: standard output holds exactly one JSON document, for every
// command and every outcome (the lines meant for people go to standard
// error), with the command's entry in the records where it keeps one.
#include "core/TextFile.h"
#include "support/SimLine.h"
#include "support/TestMain.h"
#include "support/WorkFolder.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

class DtucfgJsonTest : public QObject {
    Q_OBJECT
private slots:
    void oneDocumentWhateverHappens_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("sim"); // a fault of the device, "" none
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("records"); // the document names an entry
        const auto row = [](const char *name, QStringList args, const char *sim, int status, bool records) {
            QTest::newRow(name) << args << QString::fromLatin1(sim) << status << records;
        };
        row("read", {"read"}, "", 0, true);
        row("read, a device that answers nothing", {"read"}, "--silent", 1, true);
        row("write", {"write", "0031=9000"}, "", 0, true);
        row("write refused before anything is sent", {"write", "0031=70000"}, "", 2, false);
        row("verify, the same", {"verify", "same.txt"}, "", 0, true);
        row("verify, another port", {"verify", "other.txt"}, "", 3, true);
        row("history --diff of two snapshots (both tables, the main one)", {"history", "--diff", "1", "2"}, "", 3, false);
        row("rollback, an entry that is none", {"rollback", "99"}, "", 2, false);
        row("status", {"status"}, "--bad-checksum", 1, false);
        row("an unknown option", {"read", "--nosuch"}, "", 2, false);
    }
    void oneDocumentWhateverHappens()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, sim);
        QFETCH(int, status);
        QFETCH(bool, records);
        WorkFolder dir(WorkFolder::kAllExamples);
        VirtualDevice device(sim.isEmpty() ? QStringList() : QStringList{sim});
        const QStringList common{"--profile", "example_profile.txt", "--records", dir.Path("r.sqlite"), "--json"};
        // Two snapshots, and the files verify compares with.
        QCOMPARE(device.Cfg(common + QStringList{"save", "same.txt"}, dir.Path()).exitCode, sim.isEmpty() ? 0 : 1);
        if (sim.isEmpty()) {
            QCOMPARE(device.Cfg(common + QStringList{"read"}, dir.Path()).exitCode, 0);
            dir.WriteGbk("other.txt", TextFile::FromGbk(dir.Read("same.txt")).replace("HEX:1F90", "HEX:0050"));
        }
        // history reads the records alone: no profile, no port.
        const ProgramRun run = args.first() == QLatin1String("history")
            ? RunProgram(QStringLiteral("dtucfg"), common.mid(2) + args, dir.Path())
            : device.Cfg(common + args, dir.Path());
        QCOMPARE(run.exitCode, status);
        QJsonParseError error;
        const QJsonDocument json = QJsonDocument::fromJson(run.out.join(QLatin1Char('\n')).toUtf8(), &error);
        QVERIFY2(error.error == QJsonParseError::NoError && json.isObject(),
                 qPrintable(error.errorString() + QLatin1Char('\n') + run.out.join(QLatin1Char('\n'))));
        QCOMPARE(json.object().value(QStringLiteral("status")).toInt(), status);
        QCOMPARE(json.object().contains(QStringLiteral("record")), records);
        if (records)
            QVERIFY(json.object().value(QStringLiteral("record")).toInteger() > 0);
    }
};

DTU_TEST_GUILESS(DtucfgJsonTest)
#include "tst_dtucfg_json.moc"
