// The profile check: every rule on a profile of its own, without a device.
#include "ops/ProfileCheck.h"
#include "support/TestPaths.h"
#include "support/WorkFolder.h"
#include "support/TestMain.h"

#include <QFile>
#include <QTest>

namespace {

QString CheckedProfile(const QString &name) { return TestPaths::Source(QStringLiteral("tests/profiles/") + name); }

// A file of rows: the opening lines put the first row on line 4.
QByteArray CheckedRows(const QString &members, const QString &more = {})
{
    return QStringLiteral("{\n\"Title\": \"t\",\n\"Params\": [\n{%1}\n]%2}\n").arg(members, more).toUtf8();
}
QString CheckedRow(const char *number, const char *list, const char *get = "GetWord()", const char *set = "SetWord()",
            const char *value = "HEX:1F90")
{
    return QStringLiteral("\"CMDID\": \"%1\", \"PNAME\": \"端口\", \"PVALUE\": \"%2\", \"ONLIST\": \"%3\", "
                          "\"ONGET\": \"%4\", \"ONSET\": \"%5\", \"PNOTE\": \"\"")
        .arg(QLatin1String(number), QLatin1String(value), QString::fromUtf8(list), QLatin1String(get),
             QLatin1String(set));
}
const char *const kDigitsList = R"(Length=5;Mask=\"0123456789\";)";

// "kind@line:column" for a file's finding, "kind@line:number" for a row's;
// a warning ends in "?".
QString Tag(const ProfileCheck::Finding &f)
{
    const QString where = f.index < 0 ? QString::number(f.column) : f.number;
    return QStringLiteral("%1@%2:%3%4")
        .arg(ProfileCheck::KindName(f.kind))
        .arg(f.line)
        .arg(where, f.severity == ProfileCheck::Severity::Warning ? QStringLiteral("?") : QString());
}

} // namespace

class ProfileCheckTest : public QObject {
    Q_OBJECT
private slots:
    void findings_data()
    {
        QTest::addColumn<QString>("profile"); // a file, else a row's members
        QTest::addColumn<QString>("ext");     // the extended file's row ("-": named, not there)
        QTest::addColumn<QString>("script");  // a file, else the script's text
        QTest::addColumn<QStringList>("expected");
        const QString testScript = CheckedProfile(QStringLiteral("script.js"));
        const auto file = [&](const char *name, const QStringList &expected) {
            QTest::newRow(name) << CheckedProfile(QLatin1String(name) + QStringLiteral(".txt")) << QString() << testScript
                                << expected;
        };
        const auto row = [&](const char *name, const QString &members, const QStringList &expected) {
            QTest::newRow(name) << members << QString() << testScript << expected;
        };
        const QString examples = TestPaths::Example(QStringLiteral("script.js"));
        QTest::newRow("example") << TestPaths::Example(QStringLiteral("example_profile.txt")) << QString() << examples
                                 << QStringList();
        QTest::newRow("tcp example") << TestPaths::Example(QStringLiteral("example_tcp_profile.txt")) << QString()
                                     << examples << QStringList();
        file("clean", {});
        file("wrapping", {QStringLiteral("wrapped@5:0030")});
        file("throwing-decoder", {QStringLiteral("value-undecodable@5:0030")});
        file("repeated-number", {QStringLiteral("repeated-number@5:0030")});
        file("broken-json", {QStringLiteral("bad-json@5:9")});
        // Said once for two rows: the second never runs it.
        file("endless", {QStringLiteral("snippet-timeout@4:0030")});
        file("missing-function", {QStringLiteral("missing-function@4:0030")});
        file("rows-not-a-list", {QStringLiteral("not-a-list@3:11?")});

        // Its bytes read back as "0", which is written as 30.
        row("decoder and encoder at odds", CheckedRow("0030", "Length=5;", "GetWord()", "SetStr()"),
            {QStringLiteral("no-round-trip@4:0030")});
        row("encoder endless for a sample", CheckedRow("0030", kDigitsList, "GetWord()", "SetWordHanging()"),
            {QStringLiteral("snippet-timeout@4:0030")});
        row("number of three digits", CheckedRow("031", kDigitsList), {QStringLiteral("bad-number@4:031")});
        row("heading exempt", CheckedRow("", "Length=five;", "Nowhere()"), {});
        row("limits that do not parse", CheckedRow("0030", "Length=five;"), {QStringLiteral("bad-list@4:0030")});
        row("list that does not parse", CheckedRow("0030", R"([[\"A\"],)", "", "", "HEX:00"),
            {QStringLiteral("bad-list@4:0030")});
        row("code not in capitals", CheckedRow("0030", R"([[\"A\",\"B\"],[\"0a\",\"01\"]])", "", "", "HEX:01"),
            {QStringLiteral("bad-choice-code@4:0030")});
        row("code twice", CheckedRow("0030", R"([[\"A\",\"B\"],[\"01\",\"01\"]])", "", "", "HEX:01"),
            {QStringLiteral("repeated-code@4:0030")});
        row("half a byte", CheckedRow("0030", kDigitsList, "GetWord()", "SetWord()", "HEX:1F9"), {QStringLiteral("bad-value@4:0030")});
        row("member missing", CheckedRow("0030", kDigitsList).remove(QStringLiteral(", \"PNOTE\": \"\"")),
            {QStringLiteral("missing-member@4:0030?")});
        row("value too long to type", CheckedRow("0030", R"(Length=2;Mask=\"0123456789\";)"),
            {QStringLiteral("value-too-long@4:0030?")});
        row("bytes that are no text", CheckedRow("0030", kDigitsList).replace(QStringLiteral("端口"), QStringLiteral("\\x81")),
            {QStringLiteral("not-text@4:29")});
        // The fault is the escape's letter, column 14, not the character after it.
        row("escape that is none", QStringLiteral(R"("CMDID": "0\q30")"), {QStringLiteral("bad-json@4:14")});
        QTest::newRow("extended list that is none") << CheckedRow("0030", kDigitsList) << CheckedRow("0100", kDigitsList) << testScript
                                                    << QStringList{QStringLiteral("bad-list@4:0100")};
        QTest::newRow("extended file missing") << CheckedRow("0030", kDigitsList) << QStringLiteral("-") << testScript
                                               << QStringList{QStringLiteral("file-unreadable@0:0")};
        QFile script(testScript);
        QVERIFY(script.open(QIODevice::ReadOnly));
        QTest::newRow("command word missing")
            << CheckedRow("0030", kDigitsList) << QString()
            << QString::fromUtf8(script.readAll()).remove(QStringLiteral("CMD_RESET: \"E003\","))
            << QStringList{QStringLiteral("bad-command-word@0:0")};
        QTest::newRow("script that does not parse") << CheckedRow("0030", kDigitsList) << QString()
                                                    << QStringLiteral("function (") << QStringList{QStringLiteral("script-load@1:10")};
    }
    void findings()
    {
        QFETCH(QString, profile);
        QFETCH(QString, ext);
        QFETCH(QString, script);
        QFETCH(QStringList, expected);
        WorkFolder dir;
        if (!profile.endsWith(QLatin1String(".txt"))) {
            // \x81 in the text: a byte that begins no GBK character here.
            dir.Write(QStringLiteral("p.txt"),
                      CheckedRows(profile, ext.isEmpty() ? QString() : QStringLiteral(", \"ExParamFile\": \"e.txt\""))
                          .replace("\\x81", "\x81"));
            profile = dir.Path(QStringLiteral("p.txt"));
        }
        if (!ext.isEmpty() && ext != QLatin1String("-"))
            dir.Write(QStringLiteral("e.txt"), CheckedRows(ext));
        if (!script.endsWith(QLatin1String(".js"))) {
            dir.Write(QStringLiteral("s.js"), script.toUtf8());
            script = dir.Path(QStringLiteral("s.js"));
        }
        QStringList tags;
        for (const ProfileCheck::Finding &f : ProfileCheck::Run(profile, script).findings)
            tags << Tag(f);
        QCOMPARE(tags, expected);
    }

    // What a load runs: nothing of the script, so no snippet's fault.
    void structureRunsNoSnippet()
    {
        for (const char *name : {"wrapping.txt", "endless.txt"})
            QVERIFY(ProfileCheck::Run(CheckedProfile(QLatin1String(name)), QString(), ProfileCheck::Depth::Structure)
                        .findings.empty());
    }
};

DTU_TEST_GUILESS(ProfileCheckTest)
#include "tst_profile_check.moc"
