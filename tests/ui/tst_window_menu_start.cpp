// The window started from the desktop menu: its working folder is the home
// folder, which holds no script.js and no lastfile.log. The last profile is
// remembered in the configuration folder, and script.js is found beside
// that profile or in the configuration folder. A work folder set up with
// its own files keeps using them.
#include "support/TestMain.h"
#include "support/WindowFixture.h"

#include "script/ScriptHost.h"

#include <QFile>

class WindowMenuStartTest : public QObject {
    Q_OBJECT

    static QString Value(const WindowFixture &w, const char *number)
    {
        const int row = w.Session().mainTable.FindByNumber(QLatin1String(number));
        return row < 0 ? QStringLiteral("<no row>") : w.Session().mainTable.Cell(row, ColValue);
    }
    static QByteArray LastFileNaming(const QString &path) { return path.toUtf8() + "\r\n"; }

private slots:
    void remembersAndFindsThroughConfigFolder()
    {
        ConfigHome config;
        WorkFolder device(WorkFolder::kAllExamples); // a profile with its script.js beside it
        config.RememberLastProfile(device.Path(QStringLiteral("example_profile.txt")));
        WindowFixture w(WorkFolder::kNoExamples);
        TForm1 &window = w.Show();

        QVERIFY(w.dialogs.messages.isEmpty());
        QVERIFY(w.dialogs.errors.isEmpty());
        QCOMPARE(window.windowTitle(), QStringLiteral("参数配置程序 示例GPRS DTU"));
        // Values the profile's snippets compute with the script's helpers.
        QCOMPARE(Value(w, "0030"), QStringLiteral("10.0.0.8"));
        QCOMPARE(Value(w, "0031"), QStringLiteral("8080"));

        // 调入参数文件 opens in the last profile's folder; the choice is
        // remembered in the configuration folder, the home folder stays clean.
        w.dialogs.files.push_back(device.Path(QStringLiteral("example_tcp_profile.txt")));
        w.Action("N5")->trigger();
        QCOMPARE(w.dialogs.openRequests, QStringList{device.Path() + QStringLiteral("/*.txt")});
        QCOMPARE(window.windowTitle(), QStringLiteral("参数配置程序 示例网络DTU"));
        QCOMPARE(config.Read(config.Tool(QStringLiteral("lastfile.log"))),
                 LastFileNaming(device.Path(QStringLiteral("example_tcp_profile.txt"))));
        QVERIFY(!QFile::exists(w.ws.Path(QStringLiteral("lastfile.log"))));
    }

    // Nothing remembered yet: the first menu load makes the configuration
    // folder and keeps lastfile.log there; the next start restores it.
    void firstLoadMakesConfigFolder()
    {
        ConfigHome config;
        WorkFolder device(WorkFolder::kAllExamples);
        {
            WindowFixture w(WorkFolder::kNoExamples);
            w.Show();
            w.dialogs.files.push_back(device.Path(QStringLiteral("example_profile.txt")));
            w.Action("N5")->trigger();
            QVERIFY(w.dialogs.errors.isEmpty());
            QVERIFY(!QFile::exists(w.ws.Path(QStringLiteral("lastfile.log"))));
        }
        QCOMPARE(config.Read(config.Tool(QStringLiteral("lastfile.log"))),
                 LastFileNaming(device.Path(QStringLiteral("example_profile.txt"))));
        WindowFixture again(WorkFolder::kNoExamples);
        QCOMPARE(again.Show().windowTitle(), QStringLiteral("参数配置程序 示例GPRS DTU"));
        QVERIFY(again.dialogs.messages.isEmpty());
    }

    void scriptFromConfigFolder()
    {
        ConfigHome config;
        config.Write(config.Tool(QStringLiteral("script.js")),
                     "function GetCmd(n) { return n == 'CMD_GETPARAM' ? 'E0C1' : '0000'; }\n");
        WindowFixture w(WorkFolder::kNoExamples);
        w.Show();
        QVERIFY(w.dialogs.messages.isEmpty());
        QCOMPARE(w.Session().script.Eval(QStringLiteral("GetCmd('CMD_GETPARAM')")), QStringLiteral("E0C1"));
    }

    // One box names every place looked in, in order; the window carries on
    // with the remembered profile.
    void noScriptNamesEveryPathTried()
    {
        ConfigHome config;
        WorkFolder device(WorkFolder::kProfiles);
        config.RememberLastProfile(device.Path(QStringLiteral("example_profile.txt")));
        WindowFixture w(WorkFolder::kNoExamples);
        TForm1 &window = w.Show();

        QCOMPARE(w.dialogs.messages.size(), 1);
        QCOMPARE(w.dialogs.messages[0].caption, QStringLiteral("参数配置程序"));
        QCOMPARE(w.dialogs.messages[0].text, QStringLiteral("找不到脚本文件script.js，已查找：\n")
                                                 + w.ws.Path(QStringLiteral("script.js")) + QLatin1Char('\n')
                                                 + device.Path(QStringLiteral("script.js")) + QLatin1Char('\n')
                                                 + config.Tool(QStringLiteral("script.js")));
        QCOMPARE(window.windowTitle(), QStringLiteral("参数配置程序 示例GPRS DTU"));
    }

    // A work folder holding script.js is used as it always was, whatever
    // the configuration folder holds: its own script, its own lastfile.log
    // (made there by the first load when it has none).
    void workFolderKeepsItsOwnFiles_data()
    {
        QTest::addColumn<bool>("hasLastFile");
        QTest::newRow("script.js and lastfile.log") << true;
        QTest::newRow("script.js only") << false;
    }
    void workFolderKeepsItsOwnFiles()
    {
        QFETCH(bool, hasLastFile);
        ConfigHome config;
        WorkFolder elsewhere(WorkFolder::kProfiles);
        config.RememberLastProfile(elsewhere.Path(QStringLiteral("example_tcp_profile.txt")));
        config.Write(config.Tool(QStringLiteral("script.js")), "var broken = ;\n");
        WindowFixture w;
        if (hasLastFile)
            w.ws.RememberProfile(QStringLiteral("example_profile.txt"));
        TForm1 &window = w.Show();

        QVERIFY(w.dialogs.messages.isEmpty());
        QVERIFY(w.dialogs.errors.isEmpty()); // the configuration folder's script is not read
        QCOMPARE(window.windowTitle(), hasLastFile ? QStringLiteral("参数配置程序 示例GPRS DTU") : QString());

        w.dialogs.files.push_back(w.ws.Path(QStringLiteral("example_tcp_profile.txt")));
        w.Action("N5")->trigger();
        QCOMPARE(w.ws.Read(QStringLiteral("lastfile.log")),
                 LastFileNaming(w.ws.Path(QStringLiteral("example_tcp_profile.txt"))));
        QCOMPARE(config.Read(config.Tool(QStringLiteral("lastfile.log"))),
                 LastFileNaming(elsewhere.Path(QStringLiteral("example_tcp_profile.txt"))));
    }
};

DTU_TEST_WIDGETS(WindowMenuStartTest)
#include "tst_window_menu_start.moc"
