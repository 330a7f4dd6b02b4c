// `dtucfg check`: the profile check's exit statuses, its lines and its one
// JSON document.
#include "support/SimProcess.h"
#include "support/TestPaths.h"
#include "support/TestMain.h"
#include "support/WorkFolder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {
QString TestProfile(const char *name) { return TestPaths::Source(QStringLiteral("tests/profiles/")) + QLatin1String(name); }
} // namespace

class DtucfgCheckTest : public QObject {
    Q_OBJECT
private slots:
    void exitStatus_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        const QStringList wrapping{QStringLiteral("--profile"), TestProfile("wrapping.txt"), QStringLiteral("--script"),
                                   TestProfile("script.js")};
        // The work folder's lastfile.log and script.js, as every command finds them.
        QTest::newRow("examples") << QStringList{QStringLiteral("check")} << 0;
        QTest::newRow("a fault") << wrapping + QStringList{QStringLiteral("check")} << 1;
        QTest::newRow("a warning") << QStringList{QStringLiteral("check"), QStringLiteral("--profile"), QStringLiteral("warn.txt")} << 0;
        QTest::newRow("a warning, strict") << QStringList{QStringLiteral("check"), QStringLiteral("--strict"),
                                                          QStringLiteral("--profile"), QStringLiteral("warn.txt")} << 1;
        QTest::newRow("profile missing") << QStringList{QStringLiteral("check"), QStringLiteral("--profile"),
                                                        QStringLiteral("gone.txt")} << 2;
    }
    void exitStatus()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        Workspace ws;
        ws.RememberProfile(TestPaths::kExampleProfile);
        ws.Write(QStringLiteral("warn.txt"),
                 ws.Read(TestPaths::kExampleProfile).replace("\"PNOTE\": \"APN\"", "\"NOTE\": \"APN\""));
        const ProgramRun run = RunProgram(QStringLiteral("dtucfg"), args, ws.Path());
        QVERIFY2(run.exitCode == status, qPrintable(run.Describe()));
    }

    // The finding in the run's language, and as the one JSON document.
    void wordsAndJson()
    {
        WorkFolder dir;
        const QStringList args{QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("check"),
                               QStringLiteral("--profile"), TestProfile("wrapping.txt"),
                               QStringLiteral("--script"), TestProfile("script.js")};
        const ProgramRun text = RunProgram(QStringLiteral("dtucfg"), args, dir.Path());
        QCOMPARE(text.out, (QStringList{
            TestProfile("wrapping.txt") + QStringLiteral(":5:140: fault: 0030 (中心端口): 65536 is written as 00 00, which reads back as 0"),
            QStringLiteral("rows checked: 1; faults: 1; warnings: 0")}));

        const ProgramRun json = RunProgram(QStringLiteral("dtucfg"), QStringList{QStringLiteral("--json")} + args, dir.Path());
        QCOMPARE(json.exitCode, 1);
        QJsonParseError error;
        const QJsonObject document = QJsonDocument::fromJson(json.out.join(QLatin1Char('\n')).toUtf8(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonArray findings = document.value(QStringLiteral("outcome")).toObject().value(QStringLiteral("findings")).toArray();
        QCOMPARE(findings.size(), 1);
        const QJsonObject finding = findings.first().toObject();
        QCOMPARE(finding.value(QStringLiteral("kind")).toString(), QStringLiteral("wrapped"));
        QCOMPARE(finding.value(QStringLiteral("line")).toInt(), 5);
        QCOMPARE(finding.value(QStringLiteral("number")).toString(), QStringLiteral("0030"));
        QVERIFY2(json.err.contains(QStringLiteral("which reads back as 0")), qPrintable(json.err));
    }
};

DTU_TEST_GUILESS(DtucfgCheckTest)
#include "tst_dtucfg_check.moc"
