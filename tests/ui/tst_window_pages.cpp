// The pages of the window: the transparent test page (hex input, the CRC
// box, a long paste, a window closed in the middle of a repeated send),
// what switching pages asks, and the interface tab as assistive technology
// sees it.
#include "support/TestMain.h"
#include "support/WindowFixture.h"

#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

namespace {

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

class WindowPagesTest : public QObject {
    Q_OBJECT

private slots:
    void transparentInputHexMode()
    {
        WindowFixture w;
        w.Create();
        auto *input = w.Child<QPlainTextEdit>("Memo3");
        auto *hex = w.Child<QCheckBox>("CheckBox2");
        auto *group = w.Child<QGroupBox>("GroupBox1");

        QTest::keyClicks(input, QStringLiteral("a z"));
        QCOMPARE(input->toPlainText(), QStringLiteral("a z"));
        input->clear();

        hex->click();
        QCOMPARE(group->title(), QStringLiteral("文字输入窗口[HEX模式]"));
        QVERIFY(w.State().HexDisplayOn);
        QTest::keyClicks(input, QStringLiteral("4g1 Z0d"));
        QTest::keyClick(input, Qt::Key_Return);
        QCOMPARE(input->toPlainText(), QStringLiteral("410d"));
        QTest::keyClick(input, Qt::Key_Backspace);
        QCOMPARE(input->toPlainText(), QStringLiteral("410"));

        hex->click();
        QCOMPARE(group->title(), QStringLiteral("文字输入窗口(文本模式)"));
        QVERIFY(!w.State().HexDisplayOn);

        // The CRC box acts on every click, checked or not.
        input->setPlainText(QStringLiteral("01 03 00 00 00 01"));
        w.Child<QCheckBox>("CheckBox8")->click();
        QCOMPARE(input->toPlainText(), QStringLiteral("010300000001840A"));
        w.Child<QCheckBox>("CheckBox8")->click();
        QVERIFY(input->toPlainText().startsWith(QStringLiteral("010300000001840A")));
        QCOMPARE(input->toPlainText().size(), 20);
    }

    void transparentInputKeepsLongPaste()
    {
        WindowFixture w;
        w.Create();
        auto *input = w.Child<QPlainTextEdit>("Memo3");
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
        WindowFixture w;
        TForm1 &window = w.Create();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        w.Child<QTabWidget>("PageControl1")->setCurrentIndex(1);
        auto *input = w.Child<QPlainTextEdit>("Memo3");
        auto *box = w.Child<QCheckBox>("CheckBox8");
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(box);
        QVERIFY(face && face->actionInterface());

        const QString message = QStringLiteral("01 03 00 00 00 01");
        const QString once = QStringLiteral("010300000001840A"); // one CRC, low byte first
        // The input after one change of the box's state made by `change`.
        const auto afterChange = [&](const std::function<void()> &change) {
            input->setPlainText(message);
            const bool before = box->isChecked();
            change();
            (void)QTest::qWaitFor([&] { return box->isChecked() != before; }, 2000);
            w.Settle(); // a second append would have landed by now
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
        QVERIFY(w.dialogs.errors.isEmpty());
    }

    void hiddenInterfaceTabIsNotAnnounced()
    {
        WindowFixture w;
        TForm1 &window = w.Create();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *tabs = w.Child<QTabWidget>("PageControl1");
        const QStringList threePages{QStringLiteral("通信参数设置"), QStringLiteral("透明传输测试"),
                                     QStringLiteral("控制模式测试")};
        QCOMPARE(TabNamesHeard(tabs->tabBar()), threePages);

        QAction *load = w.Action("N5");
        w.dialogs.files.push_back(w.ws.Path(QStringLiteral("example_profile.txt")));
        load->trigger();
        QCOMPARE(TabNamesHeard(tabs->tabBar()), threePages + QStringList{QStringLiteral("接口参数设置")});
        tabs->setCurrentIndex(3);
        QCOMPARE(tabs->currentWidget()->objectName(), QStringLiteral("TabSheet5"));

        // A profile without an interface file takes the page away again,
        // also when it is the page shown.
        w.dialogs.files.push_back(w.ws.Path(QStringLiteral("example_tcp_profile.txt")));
        load->trigger();
        QCOMPARE(TabNamesHeard(tabs->tabBar()), threePages);
        QVERIFY(tabs->currentWidget()->objectName() != QStringLiteral("TabSheet5"));
        QVERIFY(w.dialogs.errors.isEmpty());
    }

    void tabSwitchAsksToWrite()
    {
        WindowFixture w;
        w.ws.RememberProfile(QStringLiteral("example_profile.txt"));
        w.Show();
        QVERIFY(w.Session().mainTable.Count() > 5);
        auto *tabs = w.Child<QTabWidget>("PageControl1");
        AppState &state = w.State();

        state.ModifiedParamList.Add(QStringLiteral("0030"));
        w.dialogs.answers = {false, false};
        tabs->setCurrentIndex(1);
        QCOMPARE(w.dialogs.questions.size(), 1);
        QCOMPARE(w.dialogs.questions[0].text, QStringLiteral("您修改了参数，请问需要写入吗？"));
        QCOMPARE(w.dialogs.questions[0].caption, QStringLiteral("参数设置"));
        QVERIFY(!state.ModifiedParamList.IsEmpty());

        tabs->setCurrentIndex(0);
        QCOMPARE(w.dialogs.questions.size(), 2);
        QVERIFY(state.ModifiedParamList.IsEmpty());
        QCOMPARE(w.Session().mainTable.CurrentRow(), 0);

        // A load that hides the page on show moves to another page; that
        // page's entry steps run once the load is over.
        tabs->setCurrentIndex(3);
        QCOMPARE(w.dialogs.questions.size(), 2);
        state.ModifiedParamList.Add(QStringLiteral("0001"));
        w.dialogs.answers = {false};
        w.dialogs.files.push_back(w.ws.Path(QStringLiteral("example_tcp_profile.txt")));
        w.Action("N5")->trigger();
        QVERIFY(!tabs->isTabVisible(3));
        QTRY_COMPARE(w.dialogs.questions.size(), 3);
        w.Settle(); // the steps run once, not again on a later turn
        QCOMPARE(w.dialogs.questions.size(), 3);
    }

    void closingDuringRepeatedSend()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        WindowFixture w;
        w.ws.RememberProfile(QStringLiteral("example_tcp_profile.txt"));
        TForm1 &window = w.Show();
        QTRY_VERIFY(w.Child("GroupBox16")->isVisible());
        DtuSession &session = w.Session();
        session.tcp.SetPort(server.serverPort());
        w.Child<QPushButton>("Button15")->click();
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
        w.Child<QTabWidget>("PageControl1")->setCurrentIndex(1);
        w.Child<QPlainTextEdit>("Memo3")->setPlainText(QStringLiteral("AB"));
        auto *repeats = w.Child<QComboBox>("ComboBox2");
        repeats->setCurrentIndex(repeats->findText(QStringLiteral("10000")));
        w.Child<QPushButton>("Button8")->click();

        QVERIFY(session.state.ClosingFlag);
        const int sent = session.state.SentByteCount / 2;
        QVERIFY2(sent >= 10 && sent < 10000, qPrintable(QString::number(sent)));
        // The line names the repeats really sent.
        const QString shown = w.Child<QPlainTextEdit>("Memo2")->toPlainText();
        QVERIFY2(shown.endsWith(QStringLiteral(" 发送数据：AB[%1次]").arg(sent)), qPrintable(shown));
        // And nothing follows them: the password, then exactly those repeats.
        // Every write was handed to the socket before the click returned, so
        // once the peer holds that many bytes, more would be there too.
        const QByteArray expected = QByteArray("480917") + QByteArray("AB").repeated(sent);
        QTRY_VERIFY(received.size() >= expected.size());
        w.Settle();
        received += peer->readAll();
        QCOMPARE(received, expected);
        QVERIFY(w.dialogs.errors.isEmpty());
    }
};

DTU_TEST_WIDGETS(WindowPagesTest)
#include "tst_window_pages.moc"
