// The window as a whole and its menu: the named controls and what assistive
// technology sees of them, the hidden login, loading profiles from the menu,
// the lock while a device action runs, activation and closing.
#include "support/TestMain.h"
#include "support/WindowFixture.h"

#include "session/ActionScope.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void namedControlsExist()
    {
        WindowFixture w;
        TForm1 &window = w.Create();
        const char *widgets[] = {"PageControl1", "TabSheet1", "TabSheet2", "TabSheet3", "TabSheet5", "Memo1",
                                 "StatusBar1", "MaskEdit3", "GroupBox2", "Edit1", "ComboBox1", "ComboBox6",
                                 "Button3", "GroupBox16", "Edit8", "Edit9", "Button15", "Button18", "Label10",
                                 "Panel16", "btRead", "btWrite", "ListView1", "Memo2", "GroupBox1", "Memo3",
                                 "CheckBox2", "ComboBox2", "Button8", "Button7", "CheckBox8", "StatusBar2", "Memo4",
                                 "GroupBox5", "Button6", "Button9", "Button14", "Button19", "Button20", "ListView2",
                                 "Button16", "Button17", "GEdit", "GComboBox"};
        for (const char *name : widgets)
            QVERIFY2(w.Child(name), name);
        for (const char *name : {"N1", "N6", "N5", "ba1", "N4"})
            QVERIFY2(w.Action(name), name);

        QCOMPARE(w.Child<QPushButton>("btWrite")->toolTip(), QStringLiteral("设置当前选中参数"));
        QCOMPARE(w.Child<QLineEdit>("Edit9")->text(), QStringLiteral("480917"));
        QCOMPARE(w.Child<QLineEdit>("Edit9")->echoMode(), QLineEdit::Password);
        QCOMPARE(w.Child<QComboBox>("ComboBox1")->count(), 15);
        QCOMPARE(w.Child<QComboBox>("ComboBox6")->count(), 12);
        auto *tabs = w.Child<QTabWidget>("PageControl1");
        QCOMPARE(tabs->tabPosition(), QTabWidget::South);
        QCOMPARE(tabs->tabText(1), QStringLiteral("  透明传输测试  "));
        QCOMPARE(window.size(), QSize(756, 768));
    }

    void everyControlHasNameAndKeyboardAccess()
    {
        WindowFixture w;
        TForm1 &window = w.Create();
        window.show();
        const QList<QWidget *> all = window.findChildren<QWidget *>();
        int checked = 0;
        for (QWidget *widget : all) {
            if (widget->objectName().isEmpty() || widget->focusPolicy() == Qt::NoFocus)
                continue;
            if (qobject_cast<QTabBar *>(widget))
                continue;
            ++checked;
            QVERIFY2(widget->focusPolicy() & Qt::TabFocus, qPrintable(widget->objectName()));
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
            QVERIFY2(face && !face->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(widget->objectName()));
        }
        QVERIFY(checked > 25);
        for (const char *name : {"N1", "N6", "N5", "ba1", "N4"})
            QVERIFY2(!w.Action(name)->shortcut().isEmpty(), name);
    }

    void loginBox_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("staysVisible");
        QTest::newRow("level 2") << QStringLiteral("mirandolex") << 2 << false;
        QTest::newRow("level 1") << QStringLiteral("vanto") << 1 << false;
        QTest::newRow("capitals refused") << QStringLiteral("MIRANDOLEX") << 0 << true;
        QTest::newRow("empty refused") << QString() << 0 << true;
    }
    void loginBox()
    {
        QFETCH(QString, password);
        QFETCH(int, level);
        QFETCH(bool, staysVisible);
        WindowFixture w;
        TForm1 &window = w.Create();
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *memo = w.Child<QPlainTextEdit>("Memo1");
        auto *box = w.Child<QLineEdit>("MaskEdit3");

        memo->setFocus();
        QTest::keyClick(memo, Qt::Key_B, Qt::ControlModifier);
        QVERIFY(box->isHidden());
        QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(box->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), box);

        QTest::keyClicks(box, password);
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(w.State().AccessLevel, level);
        QCOMPARE(w.State().LoginFlag, level > 0);
        QCOMPARE(box->text(), QString());
        QCOMPARE(box->isVisible(), staysVisible);
        QVERIFY(w.dialogs.messages.isEmpty());
    }

    void loadMenuCancelAndErrors()
    {
        WindowFixture w;
        w.Show();
        QAction *load = w.Action("N5");

        load->trigger(); // cancelled
        QCOMPARE(w.dialogs.openRequests.size(), 1);
        QVERIFY(w.dialogs.openRequests[0].endsWith(QStringLiteral("/*.txt")));
        QVERIFY(!QFile::exists(w.ws.Path(QStringLiteral("lastfile.log"))));
        QVERIFY(w.dialogs.errors.isEmpty());

        w.ws.Write(QStringLiteral("broken.txt"), "[1, 2");
        w.dialogs.files.push_back(w.ws.Path(QStringLiteral("broken.txt")));
        w.dialogs.files.push_back(w.ws.Path(QStringLiteral("missing.txt")));
        load->trigger();
        load->trigger();
        QCOMPARE(w.dialogs.errors.size(), 2);
        QVERIFY(w.dialogs.errors[0].text.contains(QStringLiteral("broken.txt")));
        QVERIFY(w.dialogs.errors[1].text.contains(QStringLiteral("missing.txt")));
        QCOMPARE(w.dialogs.errors[1].caption, QStringLiteral("参数配置程序"));
        QCOMPARE(w.Session().mainTable.Count(), 0);
        // The window is usable afterwards.
        QVERIFY(load->isEnabled());
        QVERIFY(w.Child<QPushButton>("btRead")->isEnabled());
    }

    void endlessSnippetEndsRowBuild()
    {
        WindowFixture w;
        w.ws.Write(QStringLiteral("endless.txt"), R"json({"Title": "loop", "Params": [
            {"CMDID": "0001", "PNAME": "first", "PVALUE": "HEX:4142", "ONGET": "GetStr()", "ONSET": "SetStr()"},
            {"CMDID": "0002", "PNAME": "endless", "PVALUE": "HEX:01", "ONGET": "while (true) {}"},
            {"CMDID": "0003", "PNAME": "after", "PVALUE": "HEX:01", "ONGET": "GetStr()"}]})json");
        TForm1 &window = w.Show();
        QAction *load = w.Action("N5");

        w.dialogs.files.push_back(w.ws.Path(QStringLiteral("endless.txt")));
        QElapsedTimer clock;
        clock.start();
        load->trigger();
        // The script watchdog runs on the real clock (its own thread): a
        // bound five times its 2 s limit.
        QVERIFY2(clock.elapsed() < 5 * ScriptHost::kDefaultTimeLimitMs, qPrintable(QString::number(clock.elapsed())));
        const ParamTableModel &table = w.Session().mainTable;
        QCOMPARE(table.FindByNumber(QStringLiteral("0001")), 0);
        QCOMPARE(table.FindByNumber(QStringLiteral("0003")), -1);
        QCOMPARE(window.windowTitle(), QStringLiteral("参数配置程序 loop"));

        // Still alive and working: the next load goes through.
        w.dialogs.files.push_back(w.ws.Path(QStringLiteral("example_profile.txt")));
        load->trigger();
        QCOMPARE(window.windowTitle(), QStringLiteral("参数配置程序 示例GPRS DTU"));
        QVERIFY(table.Count() > 5);
    }

    void controlsLockedWhileActionRuns()
    {
        WindowFixture w;
        w.Show();
        DtuSession &session = w.Session();
        auto *tabs = w.Child<QTabWidget>("PageControl1");
        const char *buttons[] = {"btRead", "btWrite", "Button3", "Button8", "Button9", "Button16"};

        // The controls follow the session's one guard, whoever holds it.
        auto running = std::make_unique<ActionScope>(session);
        QVERIFY(*running);
        for (const char *name : buttons)
            QVERIFY2(!w.Child<QPushButton>(name)->isEnabled(), name);
        QVERIFY(!w.Action("N1")->isEnabled());
        QVERIFY(!tabs->tabBar()->isEnabled());
        // A second start through the window is refused while the first runs.
        w.Child<QPushButton>("btRead")->click();
        w.Action("N6")->trigger();
        QVERIFY(w.dialogs.messages.isEmpty() && w.dialogs.questions.isEmpty());

        running.reset();
        for (const char *name : buttons)
            QVERIFY2(w.Child<QPushButton>(name)->isEnabled(), name);
        QVERIFY(tabs->tabBar()->isEnabled());
        QVERIFY(w.Action("N1")->isEnabled());

        // With no channel open the device buttons only tell so.
        w.Child<QPushButton>("btRead")->click();
        QCOMPARE(w.dialogs.messages.size(), 1);
        QCOMPARE(w.dialogs.messages[0].text, DtuSession::ChannelClosedText());
        QCOMPARE(w.dialogs.messages[0].caption, QStringLiteral("参数配置程序"));
    }

    void activationAndClosing()
    {
        WindowFixture w;
        TForm1 &window = w.Create();
        window.show();
        // Each activation switches the receive poller on.
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTRY_VERIFY(w.Session().poller.IsEnabled());
        QVERIFY(!w.State().ClosingFlag);
        window.close();
        QVERIFY(w.State().ClosingFlag);
    }
};

DTU_TEST_WIDGETS(TestMainWindow)
#include "tst_main_window.moc"
