// One device exchange at a time in the window: a second button clicked while
// a reply is awaited starts nothing, and the first exchange gets its reply.
#include "support/ScriptedDialogs.h"
#include "UiWorkspace.h"
#include "support/SimProcess.h"

#include "session/DtuSession.h"
#include "ui/MainWindow.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>

class OneExchangeTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void secondClickWhileWaitingStartsNothing()
    {
        Workspace ws;
        SimProcess device;
        QVERIFY2(device.Start({QStringLiteral("--profile"), ws.Path(QStringLiteral("example_profile.txt")),
                               QStringLiteral("--delay"), QStringLiteral("600")}),
                 qPrintable(device.Error()));
        ws.RememberProfile(QStringLiteral("example_profile.txt"));

        ScriptedDialogs dialogs;
        TForm1 window(dialogs);
        window.show();
        DtuSession &session = window.session();
        QTRY_COMPARE(session.mainTable.Count() > 0, true);

        window.findChild<QComboBox *>(QStringLiteral("Edit1"))->setEditText(device.Pty());
        window.findChild<QPushButton *>(QStringLiteral("Button3"))->click();
        QVERIFY(session.channel.ChannelIsOpen());
        QCOMPARE(session.state.AccessLevel, 1); // the trace shows every frame sent

        auto *memo1 = window.findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
        auto *memo4 = window.findChild<QPlainTextEdit *>(QStringLiteral("Memo4"));
        auto *status = window.findChild<QPushButton *>(QStringLiteral("Button9"));
        auto *version = window.findChild<QPushButton *>(QStringLiteral("Button14"));
        const int sentBefore = memo1->toPlainText().count(QStringLiteral("下行："));

        bool versionClicked = false;
        bool versionEnabledDuringWait = true;
        QTimer::singleShot(150, [&] {
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
        QVERIFY(dialogs.errors.isEmpty());
        QVERIFY(version->isEnabled());
    }
};

QTEST_MAIN(OneExchangeTest)
#include "tst_one_exchange.moc"
