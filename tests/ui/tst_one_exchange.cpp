// One device exchange at a time in the window: a second button clicked while
// a reply is awaited starts nothing, and the first exchange gets its reply.
#include "support/SimProcess.h"
#include "support/TestMain.h"
#include "support/WindowFixture.h"

#include <QComboBox>
#include <QPushButton>

class OneExchangeTest : public QObject {
    Q_OBJECT
private slots:
    void secondClickWhileWaitingStartsNothing()
    {
        SimProcess device;
        WindowFixture w;
        QVERIFY2(device.Start({QStringLiteral("--profile"), w.ws.Path(QStringLiteral("example_profile.txt")),
                               QStringLiteral("--delay"), QStringLiteral("600")}),
                 qPrintable(device.Error()));
        w.ws.RememberProfile(QStringLiteral("example_profile.txt"));
        w.Show();
        DtuSession &session = w.Session();
        QVERIFY(session.mainTable.Count() > 0);

        w.Child<QComboBox>("Edit1")->setEditText(device.Pty());
        w.Child<QPushButton>("Button3")->click();
        QVERIFY(session.channel.ChannelIsOpen());
        QCOMPARE(session.state.AccessLevel, 1); // the trace shows every frame sent

        auto *memo1 = w.Child<QPlainTextEdit>("Memo1");
        auto *memo4 = w.Child<QPlainTextEdit>("Memo4");
        auto *status = w.Child<QPushButton>("Button9");
        auto *version = w.Child<QPushButton>("Button14");
        const int sentBefore = memo1->toPlainText().count(QStringLiteral("下行："));

        bool versionClicked = false;
        bool versionEnabledDuringWait = true;
        // 150 ms into the wait for the answer, which the device gives after 600 ms.
        w.time.Arm(150, [&] {
            versionEnabledDuringWait = version->isEnabled();
            version->click(); // refused: the status reply is still awaited
            versionClicked = true;
        });
        status->click();

        QVERIFY(versionClicked);
        QVERIFY(!versionEnabledDuringWait);
        QCOMPARE(memo1->toPlainText().count(QStringLiteral("下行：")) - sentBefore, 1);
        const QStringList lines = memo4->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines, QStringList{QStringLiteral("DTU状态=5,在线状态，已登录到数据中心")});
        QVERIFY(w.dialogs.errors.isEmpty());
        QVERIFY(version->isEnabled());
    }
};

DTU_TEST_WIDGETS(OneExchangeTest)
#include "tst_one_exchange.moc"
