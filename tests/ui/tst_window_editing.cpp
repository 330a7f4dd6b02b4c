// The window as a user drives it with keys and clicks: the in-place edit box
// and its typing limits, the serial pick lists, the transparent test page,
// what assistive technology sees of the pages, a failed port open and a
// window closed in the middle of a repeated send.
#include "support/ScriptedDialogs.h"
#include "UiWorkspace.h"

#include "session/DtuSession.h"
#include "params/ParamRow.h"
#include "ui/MainWindow.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QtTest>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

// Rows whose values and limits the tests below rely on: 0035 holds six
// characters though only three may be typed, 0036 takes four digits.
const QByteArray kEditProfile = R"json({"Title": "编辑测试", "Params": [
    {"CMDID": "", "PNAME": "编辑"},
    {"CMDID": "0035", "PNAME": "短码", "PVALUE": "HEX:616263646566", "ONLIST": "Length=3;",
     "ONGET": "GetStr()", "ONSET": "SetStr()"},
    {"CMDID": "0036", "PNAME": "端口", "PVALUE": "HEX:1F90", "ONLIST": "Length=4;Mask='0123456789';",
     "ONGET": "GetUInt()", "ONSET": "SetUInt(2)"},
    {"CMDID": "0037", "PNAME": "十六进制", "PVALUE": "HEX:4142", "ONLIST": "Mask='0123456789ABCDEF';",
     "ONGET": "GetStr()", "ONSET": "SetStr()"}]})json";

template <typename T>
T *Child(QWidget &window, const char *name)
{
    return window.findChild<T *>(QLatin1String(name));
}

// The far end of a pseudo-terminal: the window opens the slave as its port.
struct PtyPeer {
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    PtyPeer()
    {
        if (master >= 0 && (grantpt(master) != 0 || unlockpt(master) != 0)) {
            ::close(master);
            master = -1;
        }
    }
    ~PtyPeer()
    {
        if (master >= 0)
            ::close(master);
    }
    QString Path() const { return QString::fromLocal8Bit(ptsname(master)); }
    QByteArray ReadAll() const
    {
        QByteArray all;
        char buffer[256];
        ssize_t n;
        while ((n = ::read(master, buffer, sizeof buffer)) > 0)
            all.append(buffer, n);
        return all;
    }
};

// A window on the edit profile with its port open on a pty, so the main
// table is the active one and "设置" really reaches a device.
struct EditWindow {
    Workspace ws;
    ScriptedDialogs dialogs;
    PtyPeer peer;
    std::unique_ptr<TForm1> window;

    EditWindow()
    {
        ws.Write(QStringLiteral("edit.txt"), kEditProfile);
        ws.RememberProfile(QStringLiteral("edit.txt"));
        window = std::make_unique<TForm1>(dialogs);
        window->show();
    }
    bool Open()
    {
        if (peer.master < 0 || !QTest::qWaitFor([this] { return Session().mainTable.Count() == 4; }))
            return false;
        Child<QComboBox>(*window, "Edit1")->setEditText(peer.Path());
        Child<QPushButton>(*window, "Button3")->click();
        return Session().channel.ChannelIsOpen() && Session().ActiveTable() == &Session().mainTable;
    }
    DtuSession &Session() { return window->session(); }
    QLineEdit *Edit() { return Child<QLineEdit>(*window, "GEdit"); }
    // Selects the row as a click would and returns its index.
    int Select(const QString &number)
    {
        const int row = Session().mainTable.FindByNumber(number);
        Child<QTableView>(*window, "ListView1")->selectRow(row);
        return row;
    }
    QString Hex(int row) { return Session().mainTable.Cell(row, ColHex); }
    QVariant Colour(int row)
    {
        const ParamTableModel &t = Session().mainTable;
        return t.data(t.index(row, ColValue), Qt::ForegroundRole);
    }
};

// The tabs a screen reader is told about. (Qt keeps the interface of a
// removed tab, marked invalid, in the place of the first scroll button.)
QStringList TabNamesHeard(QTabBar *bar)
{
    QStringList names;
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(bar);
    for (int i = 0; face && i < face->childCount(); ++i) {
        QAccessibleInterface *tab = face->child(i);
        if (tab && tab->isValid() && !tab->state().invalid && tab->role() == QAccessible::PageTab)
            names << tab->text(QAccessible::Name).trimmed();
    }
    return names;
}

} // namespace

class WindowEditingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void longValueShownWholeAndKeysChangeNothing()
    {
        EditWindow w;
        QVERIFY(w.Open());
        const int row = w.Select(QStringLiteral("0035"));
        QTRY_VERIFY(w.Edit()->isVisible());
        QCOMPARE(w.Edit()->text(), QStringLiteral("abcdef"));

        // Moving about and selecting is no edit.
        for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End, Qt::Key_Shift})
            QTest::keyClick(w.Edit(), key);
        QTest::keyClick(w.Edit(), Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(w.Edit(), Qt::Key_End);
        // Nor is a character refused because the text is already too long.
        QTest::keyClick(w.Edit(), Qt::Key_X);
        QCOMPARE(w.Edit()->text(), QStringLiteral("abcdef"));
        QVERIFY(w.Session().state.ModifiedParamList.IsEmpty());
        QVERIFY(!w.Colour(row).isValid());

        Child<QPushButton>(*w.window, "btWrite")->click();
        QTest::qWait(50);
        QCOMPARE(w.peer.ReadAll(), QByteArray());
        QCOMPARE(w.Hex(row), QStringLiteral("HEX:616263646566"));
        QVERIFY(!Child<QPlainTextEdit>(*w.window, "Memo1")->toPlainText().contains(QStringLiteral("设置参数")));
        QVERIFY(!w.Colour(row).isValid());

        // Shortening is an edit, however far above the limit the text is.
        QTest::keyClick(w.Edit(), Qt::Key_Backspace);
        QCOMPARE(w.Edit()->text(), QStringLiteral("abcde"));
        QCOMPARE(w.Hex(row), QStringLiteral("HEX:6162636465"));
        QCOMPARE(w.Colour(row).value<QColor>(), QColor(0, 0, 200));
        // Undo brings the device's value back, and the limit still holds.
        QTest::keyClick(w.Edit(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.Edit()->text(), QStringLiteral("abcdef"));
        QTest::keyClick(w.Edit(), Qt::Key_X);
        QCOMPARE(w.Edit()->text(), QStringLiteral("abcdef"));
        QCOMPARE(w.Hex(row), QStringLiteral("HEX:616263646566"));
        // Typed text obeys the limit.
        w.Edit()->selectAll();
        QTest::keyClicks(w.Edit(), QStringLiteral("wxyz"));
        QCOMPARE(w.Edit()->text(), QStringLiteral("wxy"));
        QCOMPARE(w.Hex(row), QStringLiteral("HEX:777879"));
        QVERIFY(w.dialogs.errors.isEmpty() && w.dialogs.messages.isEmpty());
    }

    void emptiedBoxIsAnEdit()
    {
        EditWindow w;
        QVERIFY(w.Open());
        const int row = w.Select(QStringLiteral("0037"));
        QTRY_VERIFY(w.Edit()->isVisible());
        QTest::keyClick(w.Edit(), Qt::Key_End);
        QTest::keyClick(w.Edit(), Qt::Key_Backspace);
        QTest::keyClick(w.Edit(), Qt::Key_Backspace);
        QCOMPARE(w.Edit()->text(), QString());
        QCOMPARE(w.Hex(row), QStringLiteral("HEX:"));
        QVERIFY(w.Session().state.ModifiedParamList.Contains(QStringLiteral("0037")));
    }

    void maskLetsThroughOnlyItsCharacters_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hex");
        QTest::newRow("digits, at most four") << "0036" << "12a3b4 56" << "1234" << "HEX:04D2";
        QTest::newRow("no sign, no point") << "0036" << "-7.5" << "75" << "HEX:004B";
        QTest::newRow("letters of the mask only") << "0037" << "0aF9g" << "0F9" << "HEX:304639";
        QTest::newRow("mask is case exact") << "0037" << "abc" << "" << "HEX:";
    }
    void maskLetsThroughOnlyItsCharacters()
    {
        QFETCH(QString, number);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(QString, hex);
        EditWindow w;
        QVERIFY(w.Open());
        const int row = w.Select(number);
        QTRY_VERIFY(w.Edit()->isVisible());
        QTest::keyClick(w.Edit(), Qt::Key_End);
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(w.Edit(), Qt::Key_Backspace);
        QCOMPARE(w.Edit()->text(), QString());
        QTest::keyClicks(w.Edit(), typed);
        QCOMPARE(w.Edit()->text(), text);
        QCOMPARE(w.Hex(row), hex);

        // A paste is held to the same rule: refused whole when any of it is.
        QGuiApplication::clipboard()->setText(QStringLiteral("9x"));
        QTest::keyClick(w.Edit(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.Edit()->text(), text);
    }

    void samePickKeepsPortOpen()
    {
        EditWindow w;
        QVERIFY(w.Open());
        auto *panel = Child<QLabel>(*w.window, "StatusBar1Panel1");
        auto *toggle = Child<QPushButton>(*w.window, "Button3");
        const QString opened = w.peer.Path() + QStringLiteral("打开成功,BaudRate=57600,参数=8N1");
        QCOMPARE(panel->text(), opened);

        // Re-picking the item shown, from the drop-down list.
        for (const char *name : {"ComboBox1", "ComboBox6"}) {
            auto *box = Child<QComboBox>(*w.window, name);
            box->showPopup();
            QTRY_VERIFY(box->view()->isVisible());
            QTest::keyClick(box->view(), Qt::Key_Return);
            QVERIFY2(w.Session().channel.ChannelIsOpen(), name);
            QCOMPARE(panel->text(), opened);
            QCOMPARE(toggle->text(), QStringLiteral("关闭串口"));
        }

        // Another item runs the toggle: the open port closes.
        auto *format = Child<QComboBox>(*w.window, "ComboBox6");
        format->showPopup();
        QTRY_VERIFY(format->view()->isVisible());
        QTest::keyClick(format->view(), Qt::Key_Down);
        QTest::keyClick(format->view(), Qt::Key_Return);
        QCOMPARE(format->currentText(), QStringLiteral("8E1"));
        QVERIFY(!w.Session().channel.ChannelIsOpen());
        QCOMPARE(panel->text(), QStringLiteral("串口未打开"));
    }

    void transparentInputKeepsLongPaste()
    {
        Workspace ws;
        ScriptedDialogs dialogs;
        TForm1 window(dialogs);
        auto *input = Child<QPlainTextEdit>(window, "Memo3");
        QStringList lines;
        for (int i = 0; i < 12000; ++i)
            lines << QStringLiteral("第%1行").arg(i);
        QGuiApplication::clipboard()->setText(lines.join(QLatin1Char('\n')));
        input->setFocus();
        QTest::keyClick(input, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(input->blockCount(), 12000);
        QVERIFY(input->toPlainText().startsWith(QStringLiteral("第0行\n第1行\n")));
        QVERIFY(input->toPlainText().endsWith(QStringLiteral("第11999行")));
    }

    void crcBoxActsOnEveryStateChange()
    {
        Workspace ws;
        ScriptedDialogs dialogs;
        TForm1 window(dialogs);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        Child<QTabWidget>(window, "PageControl1")->setCurrentIndex(1);
        auto *input = Child<QPlainTextEdit>(window, "Memo3");
        auto *box = Child<QCheckBox>(window, "CheckBox8");
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(box);
        QVERIFY(face && face->actionInterface());

        const QString message = QStringLiteral("01 03 00 00 00 01");
        const QString once = QStringLiteral("010300000001840A"); // one CRC, low byte first
        // The input after one change of the box's state made by `change`.
        const auto afterChange = [&](const std::function<void()> &change) {
            input->setPlainText(message);
            const bool before = box->isChecked();
            change();
            QTest::qWaitFor([&] { return box->isChecked() != before; }, 2000);
            QTest::qWait(150); // a second append would have landed by now
            return input->toPlainText();
        };
        QAccessibleActionInterface *actions = face->actionInterface();
        QCOMPARE(afterChange([&] { QTest::mouseClick(box, Qt::LeftButton); }), once);
        QCOMPARE(afterChange([&] { QTest::mouseClick(box, Qt::LeftButton); }), once);
        QCOMPARE(afterChange([&] { QTest::keyClick(box, Qt::Key_Space); }), once);
        // A screen reader's toggle and press actions.
        QCOMPARE(afterChange([&] { actions->doAction(QAccessibleActionInterface::toggleAction()); }), once);
        QCOMPARE(afterChange([&] { actions->doAction(QAccessibleActionInterface::pressAction()); }), once);
        // Desktop automation setting the state.
        QCOMPARE(afterChange([&] { box->setChecked(!box->isChecked()); }), once);

        // Setting the state it already has is no change.
        input->setPlainText(message);
        box->setChecked(box->isChecked());
        QCOMPARE(input->toPlainText(), message);
        QVERIFY(dialogs.errors.isEmpty());
    }

    void hiddenInterfaceTabIsNotAnnounced()
    {
        Workspace ws;
        ScriptedDialogs dialogs;
        TForm1 window(dialogs);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *tabs = Child<QTabWidget>(window, "PageControl1");
        const QStringList threePages{QStringLiteral("通信参数设置"), QStringLiteral("透明传输测试"),
                                     QStringLiteral("控制模式测试")};
        QCOMPARE(TabNamesHeard(tabs->tabBar()), threePages);

        QAction *load = window.findChild<QAction *>(QStringLiteral("N5"));
        dialogs.files.push_back(ws.Path(QStringLiteral("example_profile.txt")));
        load->trigger();
        QCOMPARE(TabNamesHeard(tabs->tabBar()), threePages + QStringList{QStringLiteral("接口参数设置")});
        tabs->setCurrentIndex(3);
        QCOMPARE(tabs->currentWidget()->objectName(), QStringLiteral("TabSheet5"));

        // A profile without an interface file takes the page away again,
        // also when it is the page shown.
        dialogs.files.push_back(ws.Path(QStringLiteral("example_tcp_profile.txt")));
        load->trigger();
        QCOMPARE(TabNamesHeard(tabs->tabBar()), threePages);
        QVERIFY(tabs->currentWidget()->objectName() != QStringLiteral("TabSheet5"));
        QVERIFY(dialogs.errors.isEmpty());
    }

    void failedOpenWithInterfacePage()
    {
        Workspace ws;
        ws.RememberProfile(QStringLiteral("example_profile.txt"));
        ScriptedDialogs dialogs;
        TForm1 window(dialogs);
        window.show();
        QTRY_VERIFY(window.session().extTable.Count() > 0);
        auto *tabs = Child<QTabWidget>(window, "PageControl1");
        QVERIFY(tabs->isTabVisible(3));
        auto *toggle = Child<QPushButton>(window, "Button3");
        auto *memo = Child<QPlainTextEdit>(window, "Memo1");

        Child<QComboBox>(window, "Edit1")->setEditText(QStringLiteral("/dev/dtu-no-such-port"));
        toggle->click();
        QCOMPARE(Child<QLabel>(window, "StatusBar1Panel1")->text(), QStringLiteral("/dev/dtu-no-such-port打开失败"));
        QCOMPARE(toggle->text(), QStringLiteral("打开串口"));
        QVERIFY(memo->toPlainText().contains(QStringLiteral("/dev/dtu-no-such-port打开失败：系统里没有这个串口")));
        QVERIFY(!window.session().channel.ChannelIsOpen());
        QVERIFY(dialogs.messages.isEmpty() && dialogs.errors.isEmpty());
        QVERIFY(tabs->isTabVisible(3));

        // The window goes on: both pages' reads say there is no channel.
        tabs->setCurrentIndex(3);
        Child<QPushButton>(window, "Button16")->click();
        tabs->setCurrentIndex(0);
        Child<QPushButton>(window, "btRead")->click();
        QCOMPARE(dialogs.messages.size(), 2);
        for (const ScriptedDialogs::Box &box : std::as_const(dialogs.messages))
            QCOMPARE(box.text, QStringLiteral("数据通道未打开，请先打开串口或建立TCP链接"));
        QVERIFY(dialogs.errors.isEmpty() && dialogs.questions.isEmpty());
    }

    void closingDuringRepeatedSend()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        Workspace ws;
        ws.RememberProfile(QStringLiteral("example_tcp_profile.txt"));
        ScriptedDialogs dialogs;
        TForm1 window(dialogs);
        window.show();
        QTRY_VERIFY(Child<QWidget>(window, "GroupBox16")->isVisible());
        DtuSession &session = window.session();
        session.tcp.SetPort(server.serverPort());
        Child<QPushButton>(window, "Button15")->click();
        QTRY_VERIFY(session.channel.ChannelIsOpen());
        QTRY_VERIFY(server.hasPendingConnections());
        QTcpSocket *peer = server.nextPendingConnection();

        // The user closes the window once the device has seen a few repeats.
        QByteArray received;
        connect(peer, &QTcpSocket::readyRead, &window, [&] {
            received += peer->readAll();
            if (received.size() >= 6 + 20 && window.isVisible())
                window.close();
        });
        Child<QTabWidget>(window, "PageControl1")->setCurrentIndex(1);
        Child<QPlainTextEdit>(window, "Memo3")->setPlainText(QStringLiteral("AB"));
        auto *repeats = Child<QComboBox>(window, "ComboBox2");
        repeats->setCurrentIndex(repeats->findText(QStringLiteral("10000")));
        Child<QPushButton>(window, "Button8")->click();

        QVERIFY(session.state.ClosingFlag);
        const int sent = session.state.SentByteCount / 2;
        QVERIFY2(sent >= 10 && sent < 10000, qPrintable(QString::number(sent)));
        // The line names the repeats really sent.
        const QString shown = Child<QPlainTextEdit>(window, "Memo2")->toPlainText();
        QVERIFY2(shown.endsWith(QStringLiteral(" 发送数据：AB[%1次]").arg(sent)), qPrintable(shown));
        // And nothing follows them: the password, then exactly those repeats.
        QTest::qWait(200);
        QCOMPARE(received, QByteArray("480917") + QByteArray("AB").repeated(sent));
        QVERIFY(dialogs.errors.isEmpty());
    }
};

QTEST_MAIN(WindowEditingTest)
#include "tst_window_editing.moc"
