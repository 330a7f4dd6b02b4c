// The signal meter on the control-mode page against dtusim whose signal
// changes over time: readings, dBm and "未知", a button pressed while a poll
// runs, and the ends of monitoring.
#include "support/SimWindow.h"
#include "support/TestMain.h"

#include "ops/SignalMonitor.h"

#include <QCheckBox>
#include <QLabel>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>

namespace {
constexpr int kControlPage = 2;

struct Shown {
    int csq;
    QString csqText, dbm, quality;
};

QStringList TraceLines(const QStringList &memo)
{
    QStringList out;
    for (const QString &line : memo)
        if (line.startsWith(QStringLiteral("下行：")) || line.startsWith(QStringLiteral("上行：")))
            out << line;
    return out;
}
} // namespace

class WindowSignalTest : public QObject {
    Q_OBJECT
private slots:
    // The device walks 12 (for 3 s: the window's start may take a while),
    // 99, 25; the meter shows each with its dBm, and the
    // plot's history holds them in order.
    void meterFollowsChangingSignal()
    {
        SimWindow w({QStringLiteral("--signal-steps"), QStringLiteral("12,12,12,12,12,12,99,25"),
                     QStringLiteral("--signal-period"), QStringLiteral("500")});
        w.Child<QTabWidget>("PageControl1")->setCurrentIndex(kControlPage);
        SignalMonitor &monitor = w.window->signalMonitor();
        monitor.SetIntervalMs(100);
        QList<Shown> shown;
        QObject::connect(&monitor, &SignalMonitor::reading, [&](int csq) {
            shown.append({csq, w.Child<QLabel>("SignalCsq")->text(), w.Child<QLabel>("SignalDbm")->text(),
                          w.Child<QLabel>("SignalQuality")->text()});
        });
        w.Child<QCheckBox>("SignalWatch")->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty() && shown.last().csq == 25, 8000);

        QList<int> walk;
        for (const Shown &s : shown) {
            if (walk.isEmpty() || walk.last() != s.csq)
                walk << s.csq;
            if (s.csq == 12)
                QCOMPARE(s.dbm, QStringLiteral("-89 dBm"));
            if (s.csq == 99) {
                QCOMPARE(s.csqText, QStringLiteral("99"));
                QCOMPARE(s.dbm, QStringLiteral("未知"));
                QCOMPARE(s.quality, QStringLiteral("未知"));
            }
        }
        QCOMPARE(walk, (QList<int>{12, 99, 25}));
        QCOMPARE(shown.last().dbm, QStringLiteral("-63 dBm"));
        QCOMPARE(shown.last().quality, QStringLiteral("很好"));
        QCOMPARE(int(monitor.History().Samples().size()), int(shown.size()));
        QVERIFY(w.dialogs.errors.isEmpty() && w.dialogs.messages.isEmpty());
    }

    // "读DTU状态" and "读取设备时钟" pressed while a poll waits for its answer
    // run right after that poll, one after the other: every request's answer
    // comes before the next request.
    void pressDuringPollRunsAfterIt()
    {
        SimWindow w({QStringLiteral("--delay"), QStringLiteral("250")});
        w.Child<QTabWidget>("PageControl1")->setCurrentIndex(kControlPage);
        SignalMonitor &monitor = w.window->signalMonitor();
        monitor.SetIntervalMs(50);
        w.ClearMemo();
        auto *statusButton = w.Child<QPushButton>("Button9");
        bool pressedInPoll = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (!monitor.Polling() || !statusButton->isEnabled())
                return;
            watch.stop();
            pressedInPoll = true;
            statusButton->click();
            w.Child<QPushButton>("Button19")->click();
        });
        watch.start(5);
        w.Child<QCheckBox>("SignalWatch")->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(pressedInPoll, 5000);
        auto *display = w.Child<QPlainTextEdit>("Memo4");
        QTRY_VERIFY_WITH_TIMEOUT(display->toPlainText().contains(QStringLiteral("设备时钟读取成功")), 5000);
        QTest::qWait(400); // one more poll after the press
        w.Child<QCheckBox>("SignalWatch")->setChecked(false);
        QTRY_VERIFY(!w.Session().ActionRunning());

        const QStringList shown = display->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(shown.mid(0, 2), (QStringList{QStringLiteral("DTU状态=5,在线状态，已登录到数据中心"),
                                               QStringLiteral("设备时钟读取成功")}));
        const QStringList trace = TraceLines(w.Memo());
        const QString statusRequest = QStringLiteral("下行：AA 55 00 04 E0 04 00 E8 ");
        const qsizetype at = trace.indexOf(statusRequest);
        QVERIFY2(at >= 2, qPrintable(trace.join(QLatin1Char('\n'))));
        QCOMPARE(trace[at - 2], QStringLiteral("下行：AA 55 00 04 E0 23 01 07 ")); // the poll it waited for
        for (qsizetype i = 0; i < trace.size(); ++i)
            QVERIFY2(trace[i].startsWith(i % 2 == 0 ? QStringLiteral("下行：") : QStringLiteral("上行：")),
                     qPrintable(trace.join(QLatin1Char('\n'))));
    }

    // A press waiting for a poll's end when the window closes never reaches
    // the device, and no poll follows the close.
    void closeForgetsWaitingPress()
    {
        SimWindow w({QStringLiteral("--delay"), QStringLiteral("250")});
        w.Child<QTabWidget>("PageControl1")->setCurrentIndex(kControlPage);
        SignalMonitor &monitor = w.window->signalMonitor();
        monitor.SetIntervalMs(50);
        w.ClearMemo();
        auto *statusButton = w.Child<QPushButton>("Button9");
        bool closed = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (!monitor.Polling() || !statusButton->isEnabled())
                return;
            watch.stop();
            statusButton->click();
            w.window->close();
            closed = true;
        });
        watch.start(5);
        w.Child<QCheckBox>("SignalWatch")->setChecked(true);
        QTRY_VERIFY_WITH_TIMEOUT(closed, 5000);
        QTRY_VERIFY(!w.Session().ActionRunning());
        QTest::qWait(400); // time for the press and for further polls

        const QStringList sent = TraceLines(w.Memo()).filter(QRegularExpression(QStringLiteral("^下行：")));
        QCOMPARE(sent, QStringList{QStringLiteral("下行：AA 55 00 04 E0 23 01 07 ")}); // the poll under way, alone
        QVERIFY(!monitor.IsRunning());
        QVERIFY(!w.Child<QCheckBox>("SignalWatch")->isChecked());
        QVERIFY(!w.Child<QPlainTextEdit>("Memo4")->toPlainText().contains(QStringLiteral("DTU状态")));
    }

    // Leaving the page, or the port closing, turns monitoring off.
    void monitoringEnds()
    {
        SimWindow w({});
        auto *tabs = w.Child<QTabWidget>("PageControl1");
        auto *watchBox = w.Child<QCheckBox>("SignalWatch");
        SignalMonitor &monitor = w.window->signalMonitor();
        monitor.SetIntervalMs(50);
        tabs->setCurrentIndex(kControlPage);
        watchBox->setChecked(true);
        QTRY_VERIFY(!monitor.History().Samples().empty());
        tabs->setCurrentIndex(0);
        QVERIFY(!watchBox->isChecked());
        QVERIFY(!monitor.IsRunning());

        tabs->setCurrentIndex(kControlPage);
        watchBox->setChecked(true);
        QTRY_VERIFY(monitor.History().Samples().size() >= 2);
        w.Child<QPushButton>("Button3")->click(); // close the port
        QTRY_VERIFY(!w.Session().channel.ChannelIsOpen());
        QTRY_VERIFY(!watchBox->isChecked());
        QVERIFY(!monitor.IsRunning());
        QVERIFY(w.dialogs.messages.isEmpty());
    }
};

DTU_TEST_WIDGETS(WindowSignalTest)
#include "tst_window_signal.moc"
