// The serial and TCP boxes of the main page: the pick lists, the open and
// close button on a real pseudo-terminal, a failed open, the colours and
// texts the session's facts give, and the TCP box on a loopback server.
#include "support/Hexes.h"
#include "support/PtyPeer.h"
#include "support/TestMain.h"
#include "support/WindowFixture.h"

#include "core/Frontend.h"
#include "session/DtuSession.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

// A profile without an interface file: opening the port sends nothing, so
// a pty that never answers costs no wait.
const QByteArray kPlainProfile = R"json({"Title": "串口", "Params": [
    {"CMDID": "0031", "PNAME": "端口", "PVALUE": "HEX:1F90", "ONGET": "GetUInt()", "ONSET": "SetUInt(2)"}]})json";

// A network DTU with an interface page: after connecting, the main table's
// channel (1) is selected.
const QByteArray kTcpTwoTables = R"json({"Title": "网络", "TcpConfigIP": "127.0.0.1",
    "ExParamFile": "example_ext.txt", "ExParamChannel": 1, "Params": [
    {"CMDID": "0031", "PNAME": "端口", "PVALUE": "HEX:1F90", "ONGET": "GetUInt()", "ONSET": "SetUInt(2)"}]})json";

} // namespace

class WindowChannelsTest : public QObject {
    Q_OBJECT
private slots:
    void pickListsDiscardTypedKeys()
    {
        WindowFixture w;
        w.Create();
        for (const char *name : {"ComboBox1", "ComboBox6", "ComboBox2"}) {
            auto *box = w.Child<QComboBox>(name);
            const QString before = box->currentText();
            QTest::keyClicks(box, QStringLiteral("19200"));
            if (box->lineEdit())
                QTest::keyClicks(box->lineEdit(), QStringLiteral("7E2"));
            QCOMPARE(box->currentText(), before);
        }
        // The port box takes any name.
        auto *port = w.Child<QComboBox>("Edit1");
        port->lineEdit()->clear();
        QTest::keyClicks(port->lineEdit(), QStringLiteral("ttyUSB3"));
        QCOMPARE(w.Session().facts.PortText, QStringLiteral("ttyUSB3"));
    }

    void factsDriveSerialControls()
    {
        WindowFixture w;
        w.Create();
        DtuSession &session = w.Session();
        auto *group = w.Child<QGroupBox>("GroupBox2");
        auto *panel = w.Child("Panel16");
        QCOMPARE(w.Child<QPushButton>("Button3")->text(), QStringLiteral("打开串口"));

        session.facts.SerialOpenColour = true;
        session.facts.SerialButtonCaption = QStringLiteral("关闭串口");
        session.facts.SerialStateText = QStringLiteral("COM1打开成功,BaudRate=57600,参数=8N1");
        session.facts.BaudText = QStringLiteral("76800"); // from a profile, not in the list
        session.NotifyFactsChanged();
        QCOMPARE(group->palette().color(QPalette::Window), QColor(180, 220, 240));
        QCOMPARE(panel->palette().color(QPalette::Window), QColor(180, 220, 240));
        QCOMPARE(w.Child<QPushButton>("Button3")->text(), QStringLiteral("关闭串口"));
        QCOMPARE(w.Child<QLabel>("StatusBar1Panel1")->text(), session.facts.SerialStateText);
        QCOMPARE(w.Child<QComboBox>("ComboBox1")->currentText(), QStringLiteral("76800"));

        session.facts.SerialOpenColour = false;
        session.NotifyFactsChanged();
        QCOMPARE(group->palette().color(QPalette::Window), QColor(172, 196, 213));

        // Panel 3 shows what operations report.
        session.frontend().SetResultPanel(QStringLiteral("[参数读取完毕]"));
        QCOMPARE(w.Panel(), QStringLiteral("[参数读取完毕]"));
        session.frontend().AppendMemo(QStringLiteral("[参数读取完毕]"));
        QCOMPARE(w.Memo(), QStringList{QStringLiteral("[参数读取完毕]")});

        if (const QByteArray shot = qgetenv("DTU_UI_SNAPSHOT"); !shot.isEmpty()) {
            WindowFixture filled;
            filled.ws.RememberProfile(QStringLiteral("example_profile.txt"));
            filled.Show();
            filled.SelectNumber(QStringLiteral("0030"));
            auto *tabs = filled.Child<QTabWidget>("PageControl1");
            for (int page = 3; page >= 0; --page) {
                tabs->setCurrentIndex(page);
                QTest::qWait(50);
                filled.window->grab().save(QString::fromLocal8Bit(shot) + QStringLiteral("-%1.png").arg(page));
            }
        }
    }

    void serialButtonOpensAndClosesPty()
    {
        PtyPeer pty;
        QVERIFY(pty.Ok());
        WindowFixture w;
        w.Show();
        auto *port = w.Child<QComboBox>("Edit1");
        auto *toggle = w.Child<QPushButton>("Button3");
        auto *panel = w.Child<QLabel>("StatusBar1Panel1");

        port->setEditText(QStringLiteral("/dev/dtu-no-such-port"));
        toggle->click();
        QCOMPARE(panel->text(), QStringLiteral("/dev/dtu-no-such-port打开失败"));
        QCOMPARE(toggle->text(), QStringLiteral("打开串口"));
        QCOMPARE(w.State().AccessLevel, 1);

        port->setEditText(pty.Slave());
        toggle->click();
        QCOMPARE(panel->text(), pty.Slave() + QStringLiteral("打开成功,BaudRate=57600,参数=8N1"));
        QCOMPARE(toggle->text(), QStringLiteral("关闭串口"));
        QCOMPARE(w.Child<QGroupBox>("GroupBox2")->palette().color(QPalette::Window), QColor(180, 220, 240));

        // Another speed while open closes the port and leaves it closed.
        auto *speed = w.Child<QComboBox>("ComboBox1");
        speed->setCurrentIndex(speed->findText(QStringLiteral("9600")));
        emit speed->activated(speed->currentIndex());
        QCOMPARE(panel->text(), QStringLiteral("串口未打开"));
        QCOMPARE(toggle->text(), QStringLiteral("打开串口"));
        QCOMPARE(w.Session().facts.BaudText, QStringLiteral("9600"));
        QVERIFY(w.dialogs.errors.isEmpty() && w.dialogs.messages.isEmpty());
    }

    void samePickKeepsPortOpen()
    {
        PtyPeer pty;
        QVERIFY(pty.Ok());
        WindowFixture w;
        w.ws.Write(QStringLiteral("plain.txt"), kPlainProfile);
        w.ws.RememberProfile(QStringLiteral("plain.txt"));
        w.Show();
        QCOMPARE(w.Session().mainTable.Count(), 1);
        w.Child<QComboBox>("Edit1")->setEditText(pty.Slave());
        w.Child<QPushButton>("Button3")->click();
        QVERIFY(w.Session().channel.ChannelIsOpen());
        auto *panel = w.Child<QLabel>("StatusBar1Panel1");
        auto *toggle = w.Child<QPushButton>("Button3");
        const QString opened = pty.Slave() + QStringLiteral("打开成功,BaudRate=57600,参数=8N1");
        QCOMPARE(panel->text(), opened);

        // Re-picking the item shown, from the drop-down list.
        for (const char *name : {"ComboBox1", "ComboBox6"}) {
            auto *box = w.Child<QComboBox>(name);
            box->showPopup();
            QTRY_VERIFY(box->view()->isVisible());
            QTest::keyClick(box->view(), Qt::Key_Return);
            QVERIFY2(w.Session().channel.ChannelIsOpen(), name);
            QCOMPARE(panel->text(), opened);
            QCOMPARE(toggle->text(), QStringLiteral("关闭串口"));
        }

        // Another item runs the toggle: the open port closes.
        auto *format = w.Child<QComboBox>("ComboBox6");
        format->showPopup();
        QTRY_VERIFY(format->view()->isVisible());
        QTest::keyClick(format->view(), Qt::Key_Down);
        QTest::keyClick(format->view(), Qt::Key_Return);
        QCOMPARE(format->currentText(), QStringLiteral("8E1"));
        QVERIFY(!w.Session().channel.ChannelIsOpen());
        QCOMPARE(panel->text(), QStringLiteral("串口未打开"));
    }

    void failedOpenWithInterfacePage()
    {
        WindowFixture w;
        w.ws.RememberProfile(QStringLiteral("example_profile.txt"));
        w.Show();
        QVERIFY(w.Session().extTable.Count() > 0);
        auto *tabs = w.Child<QTabWidget>("PageControl1");
        QVERIFY(tabs->isTabVisible(3));
        auto *toggle = w.Child<QPushButton>("Button3");

        w.Child<QComboBox>("Edit1")->setEditText(QStringLiteral("/dev/dtu-no-such-port"));
        toggle->click();
        QCOMPARE(w.Child<QLabel>("StatusBar1Panel1")->text(), QStringLiteral("/dev/dtu-no-such-port打开失败"));
        QCOMPARE(toggle->text(), QStringLiteral("打开串口"));
        QVERIFY(w.Memo().join(QLatin1Char('\n')).contains(QStringLiteral("/dev/dtu-no-such-port打开失败：系统里没有这个串口")));
        QVERIFY(!w.Session().channel.ChannelIsOpen());
        QVERIFY(w.dialogs.messages.isEmpty() && w.dialogs.errors.isEmpty());
        QVERIFY(tabs->isTabVisible(3));

        // The window goes on: both pages' reads say there is no channel.
        tabs->setCurrentIndex(3);
        w.Child<QPushButton>("Button16")->click();
        tabs->setCurrentIndex(0);
        w.Child<QPushButton>("btRead")->click();
        QCOMPARE(w.dialogs.messages.size(), 2);
        for (const ScriptedDialogs::Box &box : std::as_const(w.dialogs.messages))
            QCOMPARE(box.text, QStringLiteral("数据通道未打开，请先打开串口或建立TCP链接"));
        QVERIFY(w.dialogs.errors.isEmpty() && w.dialogs.questions.isEmpty());
    }

    void tcpProfileHidesSignalButton()
    {
        WindowFixture w;
        w.Show();
        auto *signal = w.Child<QPushButton>("Button6");
        auto *tcpBox = w.Child<QGroupBox>("GroupBox16");
        QVERIFY(!signal->isHidden());

        w.dialogs.files.push_back(w.ws.Path(QStringLiteral("example_tcp_profile.txt")));
        w.Action("N5")->trigger();
        QVERIFY(signal->isHidden());
        QVERIFY(!tcpBox->isHidden());
        QCOMPARE(w.Child<QLineEdit>("Edit8")->text(), QStringLiteral("127.0.0.1"));

        w.dialogs.files.push_back(w.ws.Path(QStringLiteral("example_profile.txt")));
        w.Action("N5")->trigger();
        QVERIFY(!signal->isHidden());
        QVERIFY(tcpBox->isHidden());
        QCOMPARE(w.Child<QLineEdit>("Edit8")->text(), QString());
        QVERIFY(w.dialogs.errors.isEmpty());
    }

    // "连接" is one device action, as opening the serial port is: nothing
    // else starts meanwhile, and once connected the main table's channel is
    // selected (after the password) and known.
    void tcpConnectIsOneActionThatSelectsTheTable()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QByteArray heard;
        connect(&server, &QTcpServer::newConnection, &server, [&] {
            QTcpSocket *peer = server.nextPendingConnection();
            connect(peer, &QTcpSocket::readyRead, peer, [&heard, peer] {
                heard += peer->readAll();
                if (heard.endsWith(Bytes("E0 50 01 01 36")))
                    peer->write(Bytes("AA 55 00 04 00 F0 00 F4"));
            });
        });
        WindowFixture w;
        w.ws.Write(QStringLiteral("tcp_ext.txt"), kTcpTwoTables);
        w.Show();
        w.Session().tcp.SetPort(server.serverPort());
        w.dialogs.files.push_back(w.ws.Path(QStringLiteral("tcp_ext.txt")));
        w.Action("N5")->trigger();
        QVERIFY(w.Session().state.ExtPageVisible);

        QSignalSpy actions(&w.Session(), &DtuSession::actionRunningChanged);
        w.Child<QPushButton>("Button15")->click(); // returns once the action is over
        QCOMPARE(actions.size(), 2);
        QCOMPARE(actions[0][0].toBool(), true);
        QCOMPARE(actions[1][0].toBool(), false);
        QCOMPARE(heard, QByteArray("480917") + Bytes("AA 55 00 05 E0 50 01 01 36"));
        QCOMPARE(w.Session().state.CurrentParamChannel, 1);
        QVERIFY(w.dialogs.errors.isEmpty() && w.dialogs.messages.isEmpty());
    }

    void tcpBoxConnectsAndDisconnects()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        WindowFixture w;
        w.Show();
        w.Session().tcp.SetPort(server.serverPort());
        auto *status = w.Child<QLabel>("Label10");

        w.dialogs.files.push_back(w.ws.Path(QStringLiteral("example_tcp_profile.txt")));
        w.Action("N5")->trigger();
        w.Child<QPushButton>("Button15")->click();
        QTRY_COMPARE(status->text(), QStringLiteral("TCP维护端口连接成功"));
        QTRY_VERIFY(server.hasPendingConnections());
        QTcpSocket *peer = server.nextPendingConnection();
        QTRY_COMPARE(peer->bytesAvailable(), qint64(6));
        QCOMPARE(peer->readAll(), QByteArray("480917")); // the password comes first

        w.Child<QPushButton>("Button18")->click();
        QTRY_COMPARE(status->text(), QStringLiteral("TCP维护端口连接失败"));
        QVERIFY(w.dialogs.errors.isEmpty() && w.dialogs.messages.isEmpty());
    }
};

DTU_TEST_WIDGETS(WindowChannelsTest)
#include "tst_window_channels.moc"
