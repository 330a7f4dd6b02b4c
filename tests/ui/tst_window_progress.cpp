// A write run of several rows through the window against dtusim: the status
// bar's progress, and "停止", which ends the run after the row under way
// with the rows not reached still listed and blue.
#include "support/SimWindow.h"
#include "support/TestMain.h"

#include "core/ScheduledTimer.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

namespace {
const QVariant kBlue = QVariant(QColor(0, 0, 200));

// The first `count` numbered rows of the main table that a write at level 1 sends.
QStringList WritableRows(const ParamTableModel &table, int count)
{
    QStringList numbers;
    for (int i = 0; i < table.Count() && numbers.size() < count; ++i) {
        const QString number = table.Row(i).Number();
        if (!table.Row(i).IsHeading() && !number.isEmpty() && number != QLatin1String("0091"))
            numbers << number;
    }
    return numbers;
}
} // namespace

class WindowProgressTest : public QObject {
    Q_OBJECT
private slots:
    void stopDuringWriteRun()
    {
        SimWindow w({QStringLiteral("--delay"), QStringLiteral("150")});
        const ParamTableModel &table = w.Session().mainTable;
        const QStringList rows = WritableRows(table, 6);
        QCOMPARE(rows.size(), 6);
        for (const QString &number : rows)
            w.State().ModifiedParamList.Add(number);
        w.ClearMemo();

        auto *progress = w.Child<QWidget>("WriteProgress");
        auto *bar = w.Child<QProgressBar>("WriteProgressBar");
        auto *stop = w.Child<QPushButton>("btStop");
        QVERIFY(!progress->isVisible());
        QString rowShown;
        int maximum = 0;
        bool stopEnabled = false;
        // Looks every 5 ms of the window's time, so also while a row waits.
        ScheduledTimer watch(w.time);
        watch.OnTimeout([&] {
            if (!progress->isVisible() || bar->value() != 2)
                return;
            watch.Stop();
            rowShown = w.Child<QLabel>("WriteProgressRow")->text();
            maximum = bar->maximum();
            stopEnabled = stop->isEnabled();
            stop->click();
        });
        watch.Start(5);
        w.Child<QPushButton>("btWrite")->click();

        QCOMPARE(maximum, 6);
        QCOMPARE(rowShown, table.Cell(w.MainRow(rows[2]), ColName));
        QVERIFY(stopEnabled);
        QCOMPARE(w.Memo().filter(QStringLiteral("设置参数：")).size(), 3);
        QCOMPARE(w.Memo().last(), QStringLiteral("[参数设置已停止，已写入3个参数，3个参数未写入！]"));
        QCOMPARE(w.State().ModifiedParamList.Items(), rows.mid(3));
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(w.Colour(rows[i]), i >= 3 ? kBlue : QVariant());
        QVERIFY(!progress->isVisible());

        // The next run starts afresh and writes the rest.
        w.Child<QPushButton>("btWrite")->click();
        QVERIFY(w.State().ModifiedParamList.IsEmpty());
        QCOMPARE(w.Memo().filter(QStringLiteral("设置参数：")).size(), 6);
        QVERIFY(w.dialogs.errors.isEmpty());
    }
};

DTU_TEST_WIDGETS(WindowProgressTest)
#include "tst_window_progress.moc"
