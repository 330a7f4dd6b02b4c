// What the window says at start-up about its script.js.
#include "support/ScriptedDialogs.h"
#include "UiWorkspace.h"

#include "ui/MainWindow.h"

#include <QStandardPaths>
#include <QTest>
#include <QTimer>

class WindowStartupTest : public QObject {
    Q_OBJECT
private slots:
    // Settings of a real run (fast mode) must not leak into the tests.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

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
        Workspace ws;
        ws.Write(QStringLiteral("script.js"), script);
        ScriptedDialogs dialogs;
        TForm1 window(dialogs);
        window.show();
        auto *restore = window.findChild<QTimer *>(QStringLiteral("RestoreTimer"));
        QVERIFY(restore);
        QTRY_VERIFY(!restore->isActive());

        QVERIFY(dialogs.messages.isEmpty());
        if (start.isEmpty()) {
            QVERIFY(dialogs.errors.isEmpty());
            return;
        }
        QCOMPARE(dialogs.errors.size(), 1);
        QCOMPARE(dialogs.errors[0].caption, QStringLiteral("参数配置程序"));
        QVERIFY2(dialogs.errors[0].text.startsWith(start + kind), qPrintable(dialogs.errors[0].text));
    }
};

QTEST_MAIN(WindowStartupTest)
#include "tst_window_startup.moc"
