// A serial device that goes away and comes back, through the window: dtusim
// on a pseudo-terminal reached through a link of its own (as a udev link
// names a USB adapter), killed and started again behind the same link. The
// port watcher looks on the window's time: one look per period advanced.
#include "support/SimWindow.h"
#include "support/TestMain.h"

#include "ops/PortWatcher.h"

#include <QFile>
#include <QLabel>
#include <QTest>

class WindowReplugTest : public QObject {
    Q_OBJECT
private slots:
    void lostThenBackAndReopened()
    {
        SimWindow w({}, false);
        const QString link = w.ws.Path(QStringLiteral("ttyDTU"));
        QVERIFY(QFile::link(w.sim.Pty(), link));
        w.Child<QComboBox>("Edit1")->setEditText(link);
        w.OpenPort();
        w.Action("AutoReopen")->setChecked(true);
        auto *button = w.Child<QPushButton>("Button3");
        QCOMPARE(button->text(), QStringLiteral("关闭串口"));
        w.ClearMemo();

        // Unplugged: the device goes, and so does its link, as udev removes
        // it (the old pseudo-terminal's number is free for another test's
        // device at once, and must not pass for this one).
        w.sim.Kill();
        QVERIFY(QFile::remove(link));
        const QString lostLine = QStringLiteral("串口%1已断开（设备已拔出），串口已关闭").arg(link);
        w.Advance(PortWatcher::kPeriodMs); // the watcher's next look
        QVERIFY2(w.Memo().contains(lostLine), qPrintable(w.Memo().join(QLatin1Char('\n'))));
        QCOMPARE(button->text(), QStringLiteral("打开串口"));
        QCOMPARE(w.Child<QLabel>("StatusBar1Panel1")->text(), QStringLiteral("串口未打开"));
        QVERIFY(!w.Session().channel.ChannelIsOpen());
        w.Settle();
        w.Advance(60 * PortWatcher::kPeriodMs); // said once, however long it stays away
        QCOMPARE(w.Memo().filter(QStringLiteral("已断开")).size(), 1);
        QVERIFY(!w.Session().channel.ChannelIsOpen());

        SimProcess again;
        QVERIFY2(again.Start({QStringLiteral("--profile"), w.ws.Path(QStringLiteral("example_profile.txt"))}),
                 qPrintable(again.Error()));
        QVERIFY(QFile::link(again.Pty(), link));
        w.Advance(PortWatcher::kPeriodMs); // found again at the next look, and reopened
        QVERIFY(w.Session().channel.ChannelIsOpen());
        QVERIFY(w.Memo().contains(QStringLiteral("串口设备已重新接入：%1").arg(link)));
        QCOMPARE(button->text(), QStringLiteral("关闭串口"));
        QCOMPARE(w.Child<QComboBox>("Edit1")->currentText(), link);

        w.Child<QPushButton>("btRead")->click();
        QVERIFY2(w.Memo().filter(QStringLiteral("失败")).isEmpty(), qPrintable(w.Memo().join(QLatin1Char('\n'))));
        w.window.reset();
    }
};

DTU_TEST_WIDGETS(WindowReplugTest)
#include "tst_window_replug.moc"
