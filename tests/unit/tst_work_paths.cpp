// Where the tool looks for its own files, and how it reads and writes the
// text in them: the configuration folder by the XDG rule, a work folder
// set up by lastfile.log alone, the script's places up to the one found,
// lastfile.log in either encoding, and GBK's refusal of a character.
#include "core/DtuError.h"
#include "core/TextFile.h"
#include "core/WorkPaths.h"
#include "support/EnvironmentVariable.h"
#include "support/TestMain.h"
#include "support/WorkFolder.h"

#include <QDir>
#include <QTest>

class WorkPathsTest : public QObject {
    Q_OBJECT
private slots:
    // $XDG_CONFIG_HOME/dtutools; a relative one is not valid and ~/.config
    // is used instead, as is an unset one.
    void configFolderFollowsTheXdgRule_data()
    {
        QTest::addColumn<QByteArray>("xdg");
        QTest::addColumn<QString>("expected");
        QTest::newRow("absolute") << QByteArray("/srv/cfg") << QStringLiteral("/srv/cfg/dtutools");
        QTest::newRow("relative") << QByteArray("cfg") << QStringLiteral("/home/tech/.config/dtutools");
        QTest::newRow("dot") << QByteArray("./cfg") << QStringLiteral("/home/tech/.config/dtutools");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("/home/tech/.config/dtutools");
    }
    void configFolderFollowsTheXdgRule()
    {
        QFETCH(QByteArray, xdg);
        QFETCH(QString, expected);
        EnvironmentVariable home("HOME", "/home/tech");
        EnvironmentVariable config("XDG_CONFIG_HOME", xdg);
        QCOMPARE(WorkPaths::ConfigFolder(), expected);
    }

    // A working folder holding lastfile.log and no script.js is a work
    // folder: its own lastfile.log is the one read and written, not the
    // configuration folder's.
    void lastFileAloneSetsUpTheFolder()
    {
        ConfigHome config;
        config.RememberLastProfile(QStringLiteral("/elsewhere/other.txt"));
        Workspace ws(WorkFolder::kNoExamples);
        ws.Write(QStringLiteral("lastfile.log"), "/work/site/dtu.txt\r\n");
        QVERIFY(WorkPaths::WorkingFolderIsSetUp());
        QCOMPARE(WorkPaths::ReadLastFile(), QStringLiteral("/work/site/dtu.txt"));
        WorkPaths::WriteLastFile(QStringLiteral("/work/site/new.txt"));
        QCOMPARE(ws.Read(QStringLiteral("lastfile.log")), QByteArray("/work/site/new.txt\r\n"));
        QCOMPARE(config.Read(config.Tool(QStringLiteral("lastfile.log"))), QByteArray("/elsewhere/other.txt\r\n"));
    }

    // The places tried are named up to the one where the script was found,
    // and no further.
    void scriptLookupStopsAtTheOneFound()
    {
        ConfigHome config;
        Workspace ws(WorkFolder::kNoExamples);
        ws.Write(QStringLiteral("site/script.js"), "function PrevCmd() { return ''; }\n");
        const QString profile = ws.Path(QStringLiteral("site/dtu.txt"));
        const WorkPaths::ScriptLookup lookup = WorkPaths::LookUpScript(profile);
        QCOMPARE(lookup.found, ws.Path(QStringLiteral("site/script.js")));
        QCOMPARE(lookup.tried, (QStringList{QStringLiteral("script.js"), ws.Path(QStringLiteral("site/script.js"))}));
        // Found nowhere: every place, the configuration folder's last.
        const WorkPaths::ScriptLookup none = WorkPaths::LookUpScript(ws.Path(QStringLiteral("bare/dtu.txt")));
        QVERIFY(none.found.isEmpty());
        QCOMPARE(none.tried.size(), 3);
        QCOMPARE(none.tried.last(), config.Tool(QStringLiteral("script.js")));
    }

    // lastfile.log is the tool's own file, written as UTF-8; one left by an
    // older program in GBK is read as GBK.
    void lastFileInEitherEncoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("UTF-8") << QByteArray("/现场/设备.txt\r\n");
        // 现场/设备 in GBK: CF D6 B3 A1 / C9 E8 B1 B8.
        QTest::newRow("GBK") << QByteArray("/\xCF\xD6\xB3\xA1/\xC9\xE8\xB1\xB8.txt\r\n");
    }
    void lastFileInEitherEncoding()
    {
        QFETCH(QByteArray, bytes);
        Workspace ws(WorkFolder::kNoExamples);
        ws.Write(QStringLiteral("lastfile.log"), bytes);
        QCOMPARE(WorkPaths::ReadLastFile(), QStringLiteral("/现场/设备.txt"));
    }

    // Text made of full-width punctuation and digits alone (（１）：，) is
    // text a profile holds: valid UTF-8 of it is read as UTF-8.
    void fullWidthFormsAreProfileText()
    {
        const QString text = QStringLiteral("（１）：，");
        const TextFile::Decoded decoded = TextFile::Decode(text.toUtf8());
        QCOMPARE(decoded.encoding, TextFile::Encoding::Utf8);
        QCOMPARE(decoded.text, text);
    }

    // A character GBK cannot hold stops the save, and the message names it.
    void gbkRefusalNamesTheCharacter()
    {
        const QString smile = QString::fromUcs4(U"\U0001F600");
        try {
            TextFile::Encode(QStringLiteral("温度") + smile + QStringLiteral("湿度"), TextFile::Encoding::Gbk);
            QFAIL("GBK took a character it cannot hold");
        } catch (const DtuError &e) {
            QVERIFY2(e.text().contains(QStringLiteral("“") + smile + QStringLiteral("”")), qPrintable(e.text()));
        }
    }
};

DTU_TEST_GUILESS(WorkPathsTest)
#include "tst_work_paths.moc"
