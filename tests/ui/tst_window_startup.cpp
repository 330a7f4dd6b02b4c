// The window at start-up: without a profile, with the one lastfile.log
// names, and what it says about its script.js.
#include "support/TestMain.h"
#include "support/WindowFixture.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTabWidget>

class WindowStartupTest : public QObject {
    Q_OBJECT
private slots:
    void startsEmptyWithoutLastFile_data()
    {
        QTest::addColumn<bool>("withScript");
        QTest::newRow("script present") << true;
        QTest::newRow("script missing") << false;
    }
    void startsEmptyWithoutLastFile()
    {
        QFETCH(bool, withScript);
        WindowFixture w(withScript ? WorkFolder::kAllExamples : WorkFolder::kProfiles);
        TForm1 &window = w.Show();

        QCOMPARE(window.windowTitle(), QString());
        QCOMPARE(w.Session().mainTable.Count(), 0);
        QCOMPARE(w.Child<QTableView>("ListView1")->model()->rowCount(), 0);
        QVERIFY(!w.Child<QTabWidget>("PageControl1")->isTabVisible(3));
        QVERIFY(w.Child<QLineEdit>("MaskEdit3")->isHidden());
        QVERIFY(w.Child<QGroupBox>("GroupBox16")->isHidden());
        QCOMPARE(w.Child<QLabel>("StatusBar1Panel1")->text(), QStringLiteral("串口未打开"));
        if (withScript) {
            QVERIFY(w.dialogs.messages.isEmpty());
        } else {
            // One box naming the file, then the window carries on.
            QCOMPARE(w.dialogs.messages.size(), 1);
            QVERIFY(w.dialogs.messages[0].text.contains(QStringLiteral("script.js")));
            QCOMPARE(w.dialogs.messages[0].caption, QStringLiteral("参数配置程序"));
        }
    }

    void restoresLastProfile()
    {
        WindowFixture w;
        w.ws.RememberProfile(QStringLiteral("example_profile.txt"));
        TForm1 &window = w.Show();
        QCOMPARE(window.windowTitle(), QStringLiteral("参数配置程序 示例GPRS DTU"));
        QVERIFY(w.Session().mainTable.Count() > 5);
        QVERIFY(w.Session().extTable.Count() > 0);
        QVERIFY(w.Child<QTabWidget>("PageControl1")->isTabVisible(3));
        QCOMPARE(w.Child<QTableView>("ListView2")->model()->rowCount(), w.Session().extTable.Count());
        QCOMPARE(w.Child<QComboBox>("ComboBox1")->currentText(), QStringLiteral("57600"));
        QCOMPARE(w.Child<QComboBox>("ComboBox6")->currentText(), QStringLiteral("8N1"));
        QCOMPARE(w.Child<QComboBox>("Edit1")->currentText(), QStringLiteral("COM1"));
        QVERIFY(w.dialogs.errors.isEmpty());

        // Table layout: only name, value and note show.
        auto *view = w.Child<QTableView>("ListView1");
        for (int column : {0, 2, 4, 5, 6})
            QVERIFY(view->isColumnHidden(column));
        QCOMPARE(view->columnWidth(ColName), 210);
        QCOMPARE(view->columnWidth(ColValue), 180);
        auto *ext = w.Child<QTableView>("ListView2");
        QCOMPARE(ext->model()->headerData(ColNote, Qt::Horizontal).toString(), QStringLiteral("参数相关说明"));
        QCOMPARE(ext->columnWidth(ColNote), 325);
    }

    // A script.js that does not run names its own error (file, line and the
    // engine's message) in one error box, instead of every command failing
    // later with "GetCmd is not defined". The window carries on.
    void scriptErrorShownOnce_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("start"); // "" when no box is expected
        QTest::addColumn<QString>("kind");
        QTest::newRow("healthy") << QByteArray("function GetCmd(n) { return 'E001'; }\nfunction PrevCmd() { return ''; }\n")
                                 << QString() << QString();
        QTest::newRow("syntax error on line 3")
            << QByteArray("function GetCmd(n) { return 'E001'; }\nfunction PrevCmd() { return ''; }\nvar x = ;\n")
            << QStringLiteral("脚本文件有错误，script.js 第3行：") << QStringLiteral("SyntaxError");
        QTest::newRow("thrown on line 2")
            << QByteArray("function GetCmd(n) { return 'E001'; }\nNoSuchHelper();\n")
            << QStringLiteral("脚本文件有错误，script.js 第2行：") << QStringLiteral("ReferenceError");
    }
    void scriptErrorShownOnce()
    {
        QFETCH(QByteArray, script);
        QFETCH(QString, start);
        QFETCH(QString, kind);
        WindowFixture w;
        w.ws.Write(QStringLiteral("script.js"), script);
        w.Show();

        QVERIFY(w.dialogs.messages.isEmpty());
        if (start.isEmpty()) {
            QVERIFY(w.dialogs.errors.isEmpty());
            return;
        }
        QCOMPARE(w.dialogs.errors.size(), 1);
        QCOMPARE(w.dialogs.errors[0].caption, QStringLiteral("参数配置程序"));
        QVERIFY2(w.dialogs.errors[0].text.startsWith(start + kind), qPrintable(w.dialogs.errors[0].text));
    }
};

DTU_TEST_WIDGETS(WindowStartupTest)
#include "tst_window_startup.moc"
