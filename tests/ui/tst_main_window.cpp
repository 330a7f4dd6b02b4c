#include "support/ScriptedDialogs.h"
#include "UiWorkspace.h"
#include "support/TestPaths.h"

#include "session/ActionScope.h"
#include "session/DtuSession.h"
#include "core/Frontend.h"
#include "channel/ReceivePoller.h"
#include "params/ParamRow.h"
#include "ui/MainWindow.h"
#include "ui/ParamEditors.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <QTcpServer>
#include <QTcpSocket>

#include <fcntl.h>
#include <memory>
#include <stdlib.h>
#include <unistd.h>

namespace {

template <typename T>
T *Child(QWidget &window, const char *name)
{
    return window.findChild<T *>(QLatin1String(name));
}

// Waits until the start-up restore has run.
void WaitRestored(TForm1 &window)
{
    auto *timer = window.findChild<QTimer *>(QStringLiteral("RestoreTimer"));
    QVERIFY(timer);
    QTRY_VERIFY(!timer->isActive());
}

int SelectNumber(TForm1 &window, const QString &number)
{
    ParamTableModel &table = window.session().mainTable;
    const int row = table.FindByNumber(number);
    if (row >= 0)
        Child<QTableView>(window, "ListView1")->selectRow(row);
    return row;
}

QRect ValueCell(QTableView *view, int row)
{
    return view->visualRect(view->model()->index(row, ColValue));
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    // Settings of a real run (fast mode) must not leak into the tests.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void startsEmptyWithoutLastFile_data();
    void startsEmptyWithoutLastFile();
    void restoresLastProfile();
    void namedControlsExist();
    void everyControlHasNameAndKeyboardAccess();
    void loginBox_data();
    void loginBox();
    void pickListsDiscardTypedKeys();
    void transparentInputHexMode();
    void editorsFollowSelectedRow();
    void editsChangeCells_data();
    void editsChangeCells();
    void choiceChangesCells();
    void protectedRowNeedsLevel2_data();
    void protectedRowNeedsLevel2();
    void modelCurrentRowMovesSelection();
    void tcpProfileHidesSignalButton();
    void loadMenuCancelAndErrors();
    void endlessSnippetEndsRowBuild();
    void tabSwitchAsksToWrite();
    void controlsLockedWhileActionRuns();
    void activationAndClosing();
    void factsDriveSerialControls();
    void serialButtonOpensAndClosesPty();
    void tcpBoxConnectsAndDisconnects();
};

void TestMainWindow::startsEmptyWithoutLastFile_data()
{
    QTest::addColumn<bool>("withScript");
    QTest::newRow("script present") << true;
    QTest::newRow("script missing") << false;
}

void TestMainWindow::startsEmptyWithoutLastFile()
{
    QFETCH(bool, withScript);
    Workspace ws(withScript);
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    window.show();
    WaitRestored(window);

    QCOMPARE(window.windowTitle(), QString());
    QCOMPARE(window.session().mainTable.Count(), 0);
    QCOMPARE(Child<QTableView>(window, "ListView1")->model()->rowCount(), 0);
    QVERIFY(!Child<QTabWidget>(window, "PageControl1")->isTabVisible(3));
    QVERIFY(Child<QLineEdit>(window, "MaskEdit3")->isHidden());
    QVERIFY(Child<QGroupBox>(window, "GroupBox16")->isHidden());
    QCOMPARE(Child<QLabel>(window, "StatusBar1Panel1")->text(), QStringLiteral("串口未打开"));
    if (withScript) {
        QVERIFY(dialogs.messages.isEmpty());
    } else {
        // One box naming the file, then the window carries on.
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].text.contains(QStringLiteral("script.js")));
        QCOMPARE(dialogs.messages[0].caption, QStringLiteral("参数配置程序"));
    }
}

void TestMainWindow::restoresLastProfile()
{
    Workspace ws;
    ws.RememberProfile(QStringLiteral("example_profile.txt"));
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    window.show();
    QTRY_COMPARE(window.windowTitle(), QStringLiteral("参数配置程序 示例GPRS DTU"));
    QVERIFY(window.session().mainTable.Count() > 5);
    QVERIFY(window.session().extTable.Count() > 0);
    QVERIFY(Child<QTabWidget>(window, "PageControl1")->isTabVisible(3));
    QCOMPARE(Child<QTableView>(window, "ListView2")->model()->rowCount(), window.session().extTable.Count());
    QCOMPARE(Child<QComboBox>(window, "ComboBox1")->currentText(), QStringLiteral("57600"));
    QCOMPARE(Child<QComboBox>(window, "ComboBox6")->currentText(), QStringLiteral("8N1"));
    QCOMPARE(Child<QComboBox>(window, "Edit1")->currentText(), QStringLiteral("COM1"));
    QVERIFY(dialogs.errors.isEmpty());

    // Table layout: only name, value and note show.
    auto *view = Child<QTableView>(window, "ListView1");
    for (int column : {0, 2, 4, 5, 6})
        QVERIFY(view->isColumnHidden(column));
    QCOMPARE(view->columnWidth(ColName), 210);
    QCOMPARE(view->columnWidth(ColValue), 180);
    auto *ext = Child<QTableView>(window, "ListView2");
    QCOMPARE(ext->model()->headerData(ColNote, Qt::Horizontal).toString(), QStringLiteral("参数相关说明"));
    QCOMPARE(ext->columnWidth(ColNote), 325);
}

void TestMainWindow::namedControlsExist()
{
    Workspace ws;
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    const char *widgets[] = {"PageControl1", "TabSheet1", "TabSheet2", "TabSheet3", "TabSheet5", "Memo1",
                             "StatusBar1", "MaskEdit3", "GroupBox2", "Edit1", "ComboBox1", "ComboBox6",
                             "Button3", "GroupBox16", "Edit8", "Edit9", "Button15", "Button18", "Label10",
                             "Panel16", "btRead", "btWrite", "ListView1", "Memo2", "GroupBox1", "Memo3",
                             "CheckBox2", "ComboBox2", "Button8", "Button7", "CheckBox8", "StatusBar2", "Memo4",
                             "GroupBox5", "Button6", "Button9", "Button14", "Button19", "Button20", "ListView2",
                             "Button16", "Button17", "GEdit", "GComboBox"};
    for (const char *name : widgets)
        QVERIFY2(window.findChild<QWidget *>(QLatin1String(name)), name);
    for (const char *name : {"N1", "N6", "N5", "ba1", "N4"})
        QVERIFY2(window.findChild<QAction *>(QLatin1String(name)), name);

    QCOMPARE(Child<QPushButton>(window, "btWrite")->toolTip(), QStringLiteral("设置当前选中参数"));
    QCOMPARE(Child<QLineEdit>(window, "Edit9")->text(), QStringLiteral("480917"));
    QCOMPARE(Child<QLineEdit>(window, "Edit9")->echoMode(), QLineEdit::Password);
    QCOMPARE(Child<QComboBox>(window, "ComboBox1")->count(), 15);
    QCOMPARE(Child<QComboBox>(window, "ComboBox6")->count(), 12);
    auto *tabs = Child<QTabWidget>(window, "PageControl1");
    QCOMPARE(tabs->tabPosition(), QTabWidget::South);
    QCOMPARE(tabs->tabText(1), QStringLiteral("  透明传输测试  "));
    QCOMPARE(window.size(), QSize(756, 768));
}

void TestMainWindow::everyControlHasNameAndKeyboardAccess()
{
    Workspace ws;
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    window.show();
    const QList<QWidget *> all = window.findChildren<QWidget *>();
    int checked = 0;
    for (QWidget *w : all) {
        if (w->objectName().isEmpty() || w->focusPolicy() == Qt::NoFocus)
            continue;
        if (qobject_cast<QTabBar *>(w))
            continue;
        ++checked;
        QVERIFY2(w->focusPolicy() & Qt::TabFocus, qPrintable(w->objectName()));
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(w);
        QVERIFY2(face && !face->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(w->objectName()));
    }
    QVERIFY(checked > 25);
    for (const char *name : {"N1", "N6", "N5", "ba1", "N4"})
        QVERIFY2(!window.findChild<QAction *>(QLatin1String(name))->shortcut().isEmpty(), name);
}

void TestMainWindow::loginBox_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("staysVisible");
    QTest::newRow("level 2") << QStringLiteral("mirandolex") << 2 << false;
    QTest::newRow("level 1") << QStringLiteral("vanto") << 1 << false;
    QTest::newRow("capitals refused") << QStringLiteral("MIRANDOLEX") << 0 << true;
    QTest::newRow("empty refused") << QString() << 0 << true;
}

void TestMainWindow::loginBox()
{
    QFETCH(QString, password);
    QFETCH(int, level);
    QFETCH(bool, staysVisible);
    Workspace ws;
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto *memo = Child<QPlainTextEdit>(window, "Memo1");
    auto *box = Child<QLineEdit>(window, "MaskEdit3");

    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_B, Qt::ControlModifier);
    QVERIFY(box->isHidden());
    QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(box->isVisible());
    QTRY_COMPARE(QApplication::focusWidget(), box);

    QTest::keyClicks(box, password);
    QTest::keyClick(box, Qt::Key_Return);
    QCOMPARE(window.session().state.AccessLevel, level);
    QCOMPARE(window.session().state.LoginFlag, level > 0);
    QCOMPARE(box->text(), QString());
    QCOMPARE(box->isVisible(), staysVisible);
    QVERIFY(dialogs.messages.isEmpty());
}

void TestMainWindow::pickListsDiscardTypedKeys()
{
    Workspace ws;
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    for (const char *name : {"ComboBox1", "ComboBox6", "ComboBox2"}) {
        auto *box = Child<QComboBox>(window, name);
        const QString before = box->currentText();
        QTest::keyClicks(box, QStringLiteral("19200"));
        if (box->lineEdit())
            QTest::keyClicks(box->lineEdit(), QStringLiteral("7E2"));
        QCOMPARE(box->currentText(), before);
    }
    // The port box takes any name.
    auto *port = Child<QComboBox>(window, "Edit1");
    port->lineEdit()->clear();
    QTest::keyClicks(port->lineEdit(), QStringLiteral("ttyUSB3"));
    QCOMPARE(window.session().facts.PortText, QStringLiteral("ttyUSB3"));
}

void TestMainWindow::transparentInputHexMode()
{
    Workspace ws;
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    auto *input = Child<QPlainTextEdit>(window, "Memo3");
    auto *hex = Child<QCheckBox>(window, "CheckBox2");
    auto *group = Child<QGroupBox>(window, "GroupBox1");

    QTest::keyClicks(input, QStringLiteral("a z"));
    QCOMPARE(input->toPlainText(), QStringLiteral("a z"));
    input->clear();

    hex->click();
    QCOMPARE(group->title(), QStringLiteral("文字输入窗口[HEX模式]"));
    QVERIFY(window.session().state.HexDisplayOn);
    QTest::keyClicks(input, QStringLiteral("4g1 Z0d"));
    QTest::keyClick(input, Qt::Key_Return);
    QCOMPARE(input->toPlainText(), QStringLiteral("410d"));
    QTest::keyClick(input, Qt::Key_Backspace);
    QCOMPARE(input->toPlainText(), QStringLiteral("410"));

    hex->click();
    QCOMPARE(group->title(), QStringLiteral("文字输入窗口(文本模式)"));
    QVERIFY(!window.session().state.HexDisplayOn);

    // The CRC box acts on every click, checked or not.
    input->setPlainText(QStringLiteral("01 03 00 00 00 01"));
    Child<QCheckBox>(window, "CheckBox8")->click();
    QCOMPARE(input->toPlainText(), QStringLiteral("010300000001840A"));
    Child<QCheckBox>(window, "CheckBox8")->click();
    QVERIFY(input->toPlainText().startsWith(QStringLiteral("010300000001840A")));
    QCOMPARE(input->toPlainText().size(), 20);
}

void TestMainWindow::editorsFollowSelectedRow()
{
    Workspace ws;
    ws.RememberProfile(QStringLiteral("example_profile.txt"));
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    window.resize(756, 520);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.session().mainTable.Count() > 5);
    auto *view = Child<QTableView>(window, "ListView1");
    auto *edit = Child<QLineEdit>(window, "GEdit");
    auto *choice = Child<QComboBox>(window, "GComboBox");

    // A heading row gets no editor.
    view->selectRow(0);
    QVERIFY(edit->isHidden() && choice->isHidden());

    const int row = SelectNumber(window, QStringLiteral("0052"));
    QVERIFY(row > 0);
    QCOMPARE(window.session().mainTable.CurrentRow(), row);
    QTRY_VERIFY(edit->isVisible());
    QCOMPARE(edit->parentWidget(), view->viewport());
    QTRY_COMPARE(edit->geometry(), ValueCell(view, row));

    view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    QTRY_COMPARE(edit->geometry(), ValueCell(view, row));
    view->setColumnWidth(ColName, 150);
    QTRY_COMPARE(edit->geometry(), ValueCell(view, row));
    window.resize(900, 600);
    QTRY_COMPARE(edit->geometry(), ValueCell(view, row));

    // A choice row swaps the editors.
    const int listRow = SelectNumber(window, QStringLiteral("0042"));
    QTRY_VERIFY(choice->isVisible());
    QVERIFY(edit->isHidden());
    QTRY_COMPARE(choice->geometry(), ValueCell(view, listRow));

    // A double click focuses the visible editor.
    QVERIFY(QTest::qWaitForWindowActive(&window));
    view->setFocus();
    emit view->doubleClicked(view->model()->index(listRow, ColValue));
    QTRY_COMPARE(QApplication::focusWidget(), choice);
}

void TestMainWindow::editsChangeCells_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("hex");
    QTest::newRow("SetStr") << QStringLiteral("0030") << QStringLiteral("AB") << QStringLiteral("HEX:4142");
    QTest::newRow("SetFloat") << QStringLiteral("0041") << QStringLiteral("1") << QStringLiteral("HEX:3F800000");
}

void TestMainWindow::editsChangeCells()
{
    QFETCH(QString, number);
    QFETCH(QString, typed);
    QFETCH(QString, hex);
    Workspace ws;
    ws.RememberProfile(QStringLiteral("example_profile.txt"));
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    window.show();
    QTRY_VERIFY(window.session().mainTable.Count() > 5);
    auto *edit = Child<QLineEdit>(window, "GEdit");

    const int row = SelectNumber(window, number);
    QTRY_VERIFY(edit->isVisible());
    QVERIFY(!edit->text().isEmpty()); // filled from the row, not counted as an edit
    QVERIFY(window.session().state.ModifiedParamList.IsEmpty());

    edit->selectAll();
    QTest::keyClicks(edit, typed);
    const ParamTableModel &table = window.session().mainTable;
    QCOMPARE(table.Cell(row, ColHex), hex);
    QCOMPARE(table.Cell(row, ColValue), typed);
    QVERIFY(window.session().state.ModifiedParamList.Contains(number));
    QVERIFY(dialogs.errors.isEmpty());
}

void TestMainWindow::choiceChangesCells()
{
    Workspace ws;
    ws.RememberProfile(QStringLiteral("example_profile.txt"));
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    window.show();
    QTRY_VERIFY(window.session().mainTable.Count() > 5);
    auto *choice = Child<QComboBox>(window, "GComboBox");

    const int row = SelectNumber(window, QStringLiteral("0032"));
    QTRY_VERIFY(choice->isVisible());
    QCOMPARE(choice->currentText(), QStringLiteral("TCP"));
    QTest::keyClick(choice, Qt::Key_U); // typed keys are discarded
    QCOMPARE(choice->currentText(), QStringLiteral("TCP"));
    QVERIFY(window.session().state.ModifiedParamList.IsEmpty());

    QTest::keyClick(choice, Qt::Key_Down);
    const ParamTableModel &table = window.session().mainTable;
    QCOMPARE(table.Cell(row, ColHex), QStringLiteral("HEX:01"));
    QCOMPARE(table.Cell(row, ColValue), QStringLiteral("UDP"));
    QVERIFY(window.session().state.ModifiedParamList.Contains(QStringLiteral("0032")));
}

void TestMainWindow::protectedRowNeedsLevel2_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("editor");
    QTest::newRow("level 0") << 0 << false;
    QTest::newRow("level 1") << 1 << false;
    QTest::newRow("level 2") << 2 << true;
}

void TestMainWindow::protectedRowNeedsLevel2()
{
    QFETCH(int, level);
    QFETCH(bool, editor);
    Workspace ws;
    ws.RememberProfile(QStringLiteral("example_profile.txt"));
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    window.show();
    QTRY_VERIFY(window.session().mainTable.Count() > 5);
    window.session().state.AccessLevel = level;
    auto *edit = Child<QLineEdit>(window, "GEdit");

    SelectNumber(window, QStringLiteral("0091"));
    QCOMPARE(edit->isVisible(), editor);
    if (editor) {
        QVERIFY(!edit->isReadOnly());
        QCOMPARE(edit->text(), QStringLiteral("DTU0001"));
    }
}

void TestMainWindow::modelCurrentRowMovesSelection()
{
    Workspace ws;
    ws.RememberProfile(QStringLiteral("example_profile.txt"));
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    window.show();
    QTRY_VERIFY(window.session().mainTable.Count() > 5);
    auto *view = Child<QTableView>(window, "ListView1");
    ParamTableModel &table = window.session().mainTable;

    // A write run walks the rows through the model; the view follows.
    table.SetCurrentRow(3);
    QCOMPARE(view->selectionModel()->selectedRows().value(0).row(), 3);
    view->selectRow(5);
    QCOMPARE(table.CurrentRow(), 5);
    table.SetCurrentRow(-1);
    QVERIFY(view->selectionModel()->selectedRows().isEmpty());
}

void TestMainWindow::tcpProfileHidesSignalButton()
{
    Workspace ws;
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    window.show();
    WaitRestored(window);
    auto *signal = Child<QPushButton>(window, "Button6");
    auto *tcpBox = Child<QGroupBox>(window, "GroupBox16");
    QVERIFY(!signal->isHidden());

    dialogs.files.push_back(ws.Path(QStringLiteral("example_tcp_profile.txt")));
    window.findChild<QAction *>(QStringLiteral("N5"))->trigger();
    QVERIFY(signal->isHidden());
    QVERIFY(!tcpBox->isHidden());
    QCOMPARE(Child<QLineEdit>(window, "Edit8")->text(), QStringLiteral("127.0.0.1"));

    dialogs.files.push_back(ws.Path(QStringLiteral("example_profile.txt")));
    window.findChild<QAction *>(QStringLiteral("N5"))->trigger();
    QVERIFY(!signal->isHidden());
    QVERIFY(tcpBox->isHidden());
    QCOMPARE(Child<QLineEdit>(window, "Edit8")->text(), QString());
    QVERIFY(dialogs.errors.isEmpty());
}

void TestMainWindow::loadMenuCancelAndErrors()
{
    Workspace ws;
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    window.show();
    WaitRestored(window);
    QAction *load = window.findChild<QAction *>(QStringLiteral("N5"));

    load->trigger(); // cancelled
    QCOMPARE(dialogs.openRequests.size(), 1);
    QVERIFY(dialogs.openRequests[0].endsWith(QStringLiteral("/*.txt")));
    QVERIFY(!QFile::exists(ws.Path(QStringLiteral("lastfile.log"))));
    QVERIFY(dialogs.errors.isEmpty());

    ws.Write(QStringLiteral("broken.txt"), "[1, 2");
    dialogs.files.push_back(ws.Path(QStringLiteral("broken.txt")));
    dialogs.files.push_back(ws.Path(QStringLiteral("missing.txt")));
    load->trigger();
    load->trigger();
    QCOMPARE(dialogs.errors.size(), 2);
    QVERIFY(dialogs.errors[0].text.contains(QStringLiteral("broken.txt")));
    QVERIFY(dialogs.errors[1].text.contains(QStringLiteral("missing.txt")));
    QCOMPARE(dialogs.errors[1].caption, QStringLiteral("参数配置程序"));
    QCOMPARE(window.session().mainTable.Count(), 0);
    // The window is usable afterwards.
    QVERIFY(load->isEnabled());
    QVERIFY(Child<QPushButton>(window, "btRead")->isEnabled());
}

void TestMainWindow::endlessSnippetEndsRowBuild()
{
    Workspace ws;
    ws.Write(QStringLiteral("endless.txt"), R"json({"Title": "loop", "Params": [
        {"CMDID": "0001", "PNAME": "first", "PVALUE": "HEX:4142", "ONGET": "GetStr()", "ONSET": "SetStr()"},
        {"CMDID": "0002", "PNAME": "endless", "PVALUE": "HEX:01", "ONGET": "while (true) {}"},
        {"CMDID": "0003", "PNAME": "after", "PVALUE": "HEX:01", "ONGET": "GetStr()"}]})json");
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    window.show();
    WaitRestored(window);
    QAction *load = window.findChild<QAction *>(QStringLiteral("N5"));

    dialogs.files.push_back(ws.Path(QStringLiteral("endless.txt")));
    QElapsedTimer clock;
    clock.start();
    load->trigger();
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    const ParamTableModel &table = window.session().mainTable;
    QCOMPARE(table.FindByNumber(QStringLiteral("0001")), 0);
    QCOMPARE(table.FindByNumber(QStringLiteral("0003")), -1);
    QCOMPARE(window.windowTitle(), QStringLiteral("参数配置程序 loop"));

    // Still alive and working: the next load goes through.
    dialogs.files.push_back(ws.Path(QStringLiteral("example_profile.txt")));
    load->trigger();
    QCOMPARE(window.windowTitle(), QStringLiteral("参数配置程序 示例GPRS DTU"));
    QVERIFY(table.Count() > 5);
}

void TestMainWindow::tabSwitchAsksToWrite()
{
    Workspace ws;
    ws.RememberProfile(QStringLiteral("example_profile.txt"));
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    window.show();
    QTRY_VERIFY(window.session().mainTable.Count() > 5);
    auto *tabs = Child<QTabWidget>(window, "PageControl1");
    AppState &state = window.session().state;

    state.ModifiedParamList.Add(QStringLiteral("0030"));
    dialogs.answers = {false, false};
    tabs->setCurrentIndex(1);
    QCOMPARE(dialogs.questions.size(), 1);
    QCOMPARE(dialogs.questions[0].text, QStringLiteral("您修改了参数，请问需要写入吗？"));
    QCOMPARE(dialogs.questions[0].caption, QStringLiteral("参数设置"));
    QVERIFY(!state.ModifiedParamList.IsEmpty());

    tabs->setCurrentIndex(0);
    QCOMPARE(dialogs.questions.size(), 2);
    QVERIFY(state.ModifiedParamList.IsEmpty());
    QCOMPARE(window.session().mainTable.CurrentRow(), 0);

    // A load that hides the page on show moves to another page; that
    // page's entry steps run once the load is over.
    tabs->setCurrentIndex(3);
    QCOMPARE(dialogs.questions.size(), 2);
    state.ModifiedParamList.Add(QStringLiteral("0001"));
    dialogs.answers = {false};
    dialogs.files.push_back(ws.Path(QStringLiteral("example_tcp_profile.txt")));
    window.findChild<QAction *>(QStringLiteral("N5"))->trigger();
    QVERIFY(!tabs->isTabVisible(3));
    QTRY_COMPARE(dialogs.questions.size(), 3);
    QTest::qWait(20);
    QCOMPARE(dialogs.questions.size(), 3);
}

void TestMainWindow::controlsLockedWhileActionRuns()
{
    Workspace ws;
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    window.show();
    WaitRestored(window);
    DtuSession &session = window.session();
    auto *tabs = Child<QTabWidget>(window, "PageControl1");
    const char *buttons[] = {"btRead", "btWrite", "Button3", "Button8", "Button9", "Button16"};

    // The controls follow the session's one guard, whoever holds it.
    auto running = std::make_unique<ActionScope>(session);
    QVERIFY(*running);
    for (const char *name : buttons)
        QVERIFY2(!Child<QPushButton>(window, name)->isEnabled(), name);
    QVERIFY(!window.findChild<QAction *>(QStringLiteral("N1"))->isEnabled());
    QVERIFY(!tabs->tabBar()->isEnabled());
    // A second start through the window is refused while the first runs.
    Child<QPushButton>(window, "btRead")->click();
    window.findChild<QAction *>(QStringLiteral("N6"))->trigger();
    QVERIFY(dialogs.messages.isEmpty() && dialogs.questions.isEmpty());

    running.reset();
    for (const char *name : buttons)
        QVERIFY2(Child<QPushButton>(window, name)->isEnabled(), name);
    QVERIFY(tabs->tabBar()->isEnabled());
    QVERIFY(window.findChild<QAction *>(QStringLiteral("N1"))->isEnabled());

    // With no channel open the device buttons only tell so.
    Child<QPushButton>(window, "btRead")->click();
    QCOMPARE(dialogs.messages.size(), 1);
    QCOMPARE(dialogs.messages[0].text, DtuSession::kChannelClosedText);
    QCOMPARE(dialogs.messages[0].caption, QStringLiteral("参数配置程序"));
}

void TestMainWindow::activationAndClosing()
{
    Workspace ws;
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    window.show();
    // Each activation switches the receive poller on.
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTRY_VERIFY(window.session().poller.IsEnabled());
    QVERIFY(!window.session().state.ClosingFlag);
    window.close();
    QVERIFY(window.session().state.ClosingFlag);
}

void TestMainWindow::factsDriveSerialControls()
{
    Workspace ws;
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    DtuSession &session = window.session();
    auto *group = Child<QGroupBox>(window, "GroupBox2");
    auto *panel = Child<QWidget>(window, "Panel16");
    QCOMPARE(Child<QPushButton>(window, "Button3")->text(), QStringLiteral("打开串口"));

    session.facts.SerialOpenColour = true;
    session.facts.SerialButtonCaption = QStringLiteral("关闭串口");
    session.facts.SerialStateText = QStringLiteral("COM1打开成功,BaudRate=57600,参数=8N1");
    session.facts.BaudText = QStringLiteral("76800"); // from a profile, not in the list
    session.NotifyFactsChanged();
    QCOMPARE(group->palette().color(QPalette::Window), QColor(180, 220, 240));
    QCOMPARE(panel->palette().color(QPalette::Window), QColor(180, 220, 240));
    QCOMPARE(Child<QPushButton>(window, "Button3")->text(), QStringLiteral("关闭串口"));
    QCOMPARE(Child<QLabel>(window, "StatusBar1Panel1")->text(), session.facts.SerialStateText);
    QCOMPARE(Child<QComboBox>(window, "ComboBox1")->currentText(), QStringLiteral("76800"));

    session.facts.SerialOpenColour = false;
    session.NotifyFactsChanged();
    QCOMPARE(group->palette().color(QPalette::Window), QColor(172, 196, 213));

    // Panel 3 shows what operations report.
    session.frontend().SetResultPanel(QStringLiteral("[参数读取完毕]"));
    QCOMPARE(Child<QLabel>(window, "StatusBar1Panel3")->text(), QStringLiteral("[参数读取完毕]"));
    session.frontend().AppendMemo(QStringLiteral("[参数读取完毕]"));
    QCOMPARE(Child<QPlainTextEdit>(window, "Memo1")->toPlainText(), QStringLiteral("[参数读取完毕]"));

    if (const QByteArray shot = qgetenv("DTU_UI_SNAPSHOT"); !shot.isEmpty()) {
        ws.RememberProfile(QStringLiteral("example_profile.txt"));
        ScriptedDialogs more;
        TForm1 filled(more);
        filled.show();
        QTRY_VERIFY(filled.session().mainTable.Count() > 5);
        SelectNumber(filled, QStringLiteral("0030"));
        auto *tabs = Child<QTabWidget>(filled, "PageControl1");
        for (int page = 3; page >= 0; --page) {
            tabs->setCurrentIndex(page);
            QTest::qWait(50);
            filled.grab().save(QString::fromLocal8Bit(shot) + QStringLiteral("-%1.png").arg(page));
        }
    }
}

void TestMainWindow::serialButtonOpensAndClosesPty()
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master >= 0);
    QVERIFY(grantpt(master) == 0 && unlockpt(master) == 0);
    const QString device = QString::fromLocal8Bit(ptsname(master));

    Workspace ws;
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    window.show();
    WaitRestored(window);
    auto *port = Child<QComboBox>(window, "Edit1");
    auto *toggle = Child<QPushButton>(window, "Button3");
    auto *panel = Child<QLabel>(window, "StatusBar1Panel1");

    port->setEditText(QStringLiteral("/dev/dtu-no-such-port"));
    toggle->click();
    QCOMPARE(panel->text(), QStringLiteral("/dev/dtu-no-such-port打开失败"));
    QCOMPARE(toggle->text(), QStringLiteral("打开串口"));
    QCOMPARE(window.session().state.AccessLevel, 1);

    port->setEditText(device);
    toggle->click();
    QCOMPARE(panel->text(), device + QStringLiteral("打开成功,BaudRate=57600,参数=8N1"));
    QCOMPARE(toggle->text(), QStringLiteral("关闭串口"));
    QCOMPARE(Child<QGroupBox>(window, "GroupBox2")->palette().color(QPalette::Window), QColor(180, 220, 240));

    // Another speed while open closes the port and leaves it closed.
    auto *speed = Child<QComboBox>(window, "ComboBox1");
    speed->setCurrentIndex(speed->findText(QStringLiteral("9600")));
    emit speed->activated(speed->currentIndex());
    QCOMPARE(panel->text(), QStringLiteral("串口未打开"));
    QCOMPARE(toggle->text(), QStringLiteral("打开串口"));
    QCOMPARE(window.session().facts.BaudText, QStringLiteral("9600"));
    QVERIFY(dialogs.errors.isEmpty() && dialogs.messages.isEmpty());
    ::close(master);
}

void TestMainWindow::tcpBoxConnectsAndDisconnects()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    Workspace ws;
    ScriptedDialogs dialogs;
    TForm1 window(dialogs);
    window.show();
    WaitRestored(window);
    window.session().tcp.SetPort(server.serverPort());
    auto *status = Child<QLabel>(window, "Label10");

    dialogs.files.push_back(ws.Path(QStringLiteral("example_tcp_profile.txt")));
    window.findChild<QAction *>(QStringLiteral("N5"))->trigger();
    Child<QPushButton>(window, "Button15")->click();
    QTRY_COMPARE(status->text(), QStringLiteral("TCP维护端口连接成功"));
    QTRY_VERIFY(server.hasPendingConnections());
    QTcpSocket *peer = server.nextPendingConnection();
    QTRY_COMPARE(peer->bytesAvailable(), qint64(6));
    QCOMPARE(peer->readAll(), QByteArray("480917")); // the password comes first

    Child<QPushButton>(window, "Button18")->click();
    QTRY_COMPARE(status->text(), QStringLiteral("TCP维护端口连接失败"));
    QVERIFY(dialogs.errors.isEmpty() && dialogs.messages.isEmpty());
}

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
