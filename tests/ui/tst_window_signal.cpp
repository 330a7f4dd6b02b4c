// The signal meter on the control-mode page against dtusim whose signal
// changes at each request: readings, dBm and "未知", the polls' interval on
// the window's time, a button pressed while a poll runs, and the ends of
// monitoring.
#include "support/SimWindow.h"
#include "support/TestMain.h"

#include "core/ScheduledTimer.h"
#include "ops/SignalMonitor.h"

#include <QCheckBox>
#include <QLabel>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

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
    // The device walks 12, 99, 25, one value per signal request; the meter
    // shows each with its dBm, one poll per interval (5 s by default) after
    // the previous one ended, and the plot's history holds them in order.
    void meterFollowsChangingSignal()
    {
        SimWindow w({QStringLiteral("--signal-steps"), QStringLiteral("12,99,25"),
                     QStringLiteral("--signal-per-request")});
        w.Child<QTabWidget>("PageControl1")->setCurrentIndex(kControlPage);
        SignalMonitor &monitor = w.window->signalMonitor();
        QCOMPARE(monitor.IntervalSeconds(), SignalMonitor::kDefaultSeconds);
        QList<Shown> shown;
        QObject::connect(&monitor, &SignalMonitor::reading, [&](int csq) {
            shown.append({csq, w.Child<QLabel>("SignalCsq")->text(), w.Child<QLabel>("SignalDbm")->text(),
                          w.Child<QLabel>("SignalQuality")->text()});
        });
        w.Child<QCheckBox>("SignalWatch")->setChecked(true);
        QVERIFY(shown.isEmpty());
        w.Advance(0); // the first poll runs at once
        QCOMPARE(shown.size(), 1);
        for (int poll = 2; poll <= 4; ++poll) {
            w.Advance(SignalMonitor::kDefaultSeconds * 1000 - 1);
            QCOMPARE(shown.size(), poll - 1);
            w.Advance(1);
            QCOMPARE(shown.size(), poll);
        }

        QList<int> walk;
        for (const Shown &s : shown)
            walk << s.csq;
        QCOMPARE(walk, (QList<int>{12, 99, 25, 25}));
        QCOMPARE(shown[0].csqText, QStringLiteral("12"));
        QCOMPARE(shown[0].dbm, QStringLiteral("-89 dBm"));
        QCOMPARE(shown[0].quality, QStringLiteral("一般"));
        QCOMPARE(shown[1].csqText, QStringLiteral("99"));
        QCOMPARE(shown[1].dbm, QStringLiteral("未知"));
        QCOMPARE(shown[1].quality, QStringLiteral("未知"));
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
        w.ClearMemo();
        auto *statusButton = w.Child<QPushButton>("Button9");
        bool pressedInPoll = false;
        // Looks every millisecond of the window's time, so within the poll's
        // first wait: the device takes 250 ms to answer.
        ScheduledTimer watch(w.time);
        watch.OnTimeout([&] {
            if (!monitor.Polling() || !statusButton->isEnabled())
                return;
            watch.Stop();
            pressedInPoll = true;
            statusButton->click();
            w.Child<QPushButton>("Button19")->click();
        });
        watch.Start(1);
        w.Child<QCheckBox>("SignalWatch")->setChecked(true);
        w.Advance(0);
        QVERIFY(pressedInPoll);
        auto *display = w.Child<QPlainTextEdit>("Memo4");
        // The queued presses run on the window's event loop after the poll.
        QTRY_VERIFY(display->toPlainText().contains(QStringLiteral("设备时钟读取成功")));
        w.Advance(SignalMonitor::kDefaultSeconds * 1000); // one more poll after the presses
        w.Child<QCheckBox>("SignalWatch")->setChecked(false);
        QVERIFY(!w.Session().ActionRunning());

        const QStringList shown = display->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(shown.mid(0, 2), (QStringList{QStringLiteral("DTU状态=5,在线状态，已登录到数据中心"),
                                               QStringLiteral("设备时钟读取成功")}));
        const QStringList trace = TraceLines(w.Memo());
        const QString signalRequest = QStringLiteral("下行：AA 55 00 04 E0 23 01 07 ");
        const QString statusRequest = QStringLiteral("下行：AA 55 00 04 E0 04 00 E8 ");
        const qsizetype at = trace.indexOf(statusRequest);
        QVERIFY2(at >= 2, qPrintable(trace.join(QLatin1Char('\n'))));
        QCOMPARE(trace[at - 2], signalRequest); // the poll it waited for
        QCOMPARE(trace.count(signalRequest), 2);
        QCOMPARE(trace.lastIndexOf(signalRequest), trace.size() - 2); // the poll after the presses
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
        // Looks every millisecond of the window's time, within the poll's
        // first wait: the device takes 250 ms to answer.
        ScheduledTimer watch(w.time);
        watch.OnTimeout([&] {
            if (!monitor.Polling() || !statusButton->isEnabled())
                return;
            watch.Stop();
            statusButton->click();
            w.window->close();
            closed = true;
        });
        watch.Start(1);
        w.Child<QCheckBox>("SignalWatch")->setChecked(true);
        w.Advance(0);
        QVERIFY(closed);
        QTRY_VERIFY(!w.Session().ActionRunning());
        w.Advance(400); // time for the press and for further polls
        QCoreApplication::processEvents();

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
        tabs->setCurrentIndex(kControlPage);
        watchBox->setChecked(true);
        w.Advance(0);
        QCOMPARE(monitor.History().Samples().size(), size_t(1));
        tabs->setCurrentIndex(0);
        QVERIFY(!watchBox->isChecked());
        QVERIFY(!monitor.IsRunning());
        w.Advance(60'000);
        QCOMPARE(monitor.History().Samples().size(), size_t(1));

        tabs->setCurrentIndex(kControlPage);
        watchBox->setChecked(true);
        w.Advance(0);
        w.Advance(SignalMonitor::kDefaultSeconds * 1000);
        QCOMPARE(monitor.History().Samples().size(), size_t(3));
        w.Child<QPushButton>("Button3")->click(); // close the port
        QVERIFY(!w.Session().channel.ChannelIsOpen());
        w.Advance(SignalMonitor::kDefaultSeconds * 1000); // the next poll finds it closed
        QVERIFY(!watchBox->isChecked());
        QVERIFY(!monitor.IsRunning());
        QCOMPARE(monitor.History().Samples().size(), size_t(3));
        QVERIFY(w.dialogs.messages.isEmpty());
    }
};

DTU_TEST_WIDGETS(WindowSignalTest)
#include "tst_window_signal.moc"
