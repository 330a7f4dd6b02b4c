// Takes the README's pictures from the real window, offscreen, against
// dtusim: the signal meter after a minute of real readings (a poll every
// 2 s from a device whose signal wanders), a batch write under way, and a
// value the row cannot hold refused in the edit box; the records window
// comparing the read before a change with the one after.
// Not a test: run it by hand, with the folder for the pictures, and a
// picture's name to take that one only:
//   QT_QPA_PLATFORM=offscreen build/tests/take_screenshots docs [value-refused | records-window]
#include "support/ScriptedDialogs.h"
#include "support/SimProcess.h"
#include "support/WorkFolder.h"

#include "ops/EditorLogic.h"
#include "ops/SignalMonitor.h"
#include "params/ParamTableModel.h"
#include "session/DtuSession.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {
bool Save(QWidget &window, const QString &path)
{
    const bool ok = window.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

bool WaitFor(const std::function<bool()> &condition, int ms)
{
    QElapsedTimer waited;
    waited.start();
    while (!condition() && waited.elapsed() < ms)
        QTest::qWait(20);
    return condition();
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral("0.1.0"));
    QStandardPaths::setTestModeEnabled(true);
    // Taken before the work folder becomes the current one.
    const QString outDir = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".")).absolutePath();
    const QString only = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const auto wanted = [&only](const char *name) { return only.isEmpty() || only == QLatin1String(name); };
    Workspace ws;
    // The records go to the work folder, never to the user's own.
    qputenv("XDG_DATA_HOME", ws.Path(QStringLiteral("data")).toLocal8Bit());
    ws.RememberProfile(QStringLiteral("example_profile.txt"));
    SimProcess sim;
    if (!sim.Start({QStringLiteral("--profile"), ws.Path(QStringLiteral("example_profile.txt")),
                    QStringLiteral("--signal-steps"),
                    QStringLiteral("18,19,21,22,20,17,14,12,9,99,11,15,19,23,25,26,24,22,21,22"),
                    QStringLiteral("--signal-period"), QStringLiteral("3000"), QStringLiteral("--delay"),
                    QStringLiteral("120")})) {
        std::fprintf(stderr, "dtusim: %s\n", qPrintable(sim.Error()));
        return 1;
    }
    ScriptedDialogs dialogs;
    int status = 0;
    {
        TForm1 window(dialogs);
        window.show();
        QTest::qWait(500);
        window.findChild<QComboBox *>(QStringLiteral("Edit1"))->setEditText(sim.Pty());
        window.findChild<QPushButton *>(QStringLiteral("Button3"))->click();

        auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
        if (wanted("signal-meter")) {
            tabs->setCurrentIndex(2);
            QTest::qWait(300);
            window.findChild<QSpinBox *>(QStringLiteral("SignalInterval"))->setValue(2);
            window.findChild<QCheckBox *>(QStringLiteral("SignalWatch"))->setChecked(true);
            QTest::qWait(qEnvironmentVariableIntValue("SCREENSHOT_MINUTE_MS") > 0
                             ? qEnvironmentVariableIntValue("SCREENSHOT_MINUTE_MS") : 61000);
            if (!Save(window, outDir + QStringLiteral("/signal-meter.png")))
                status = 1;
            window.findChild<QCheckBox *>(QStringLiteral("SignalWatch"))->setChecked(false);
            WaitFor([&] { return !window.session().ActionRunning(); }, 5000);
        }

        tabs->setCurrentIndex(0);
        window.resize(960, window.height()); // room for the status bar's progress
        QTest::qWait(300);
        window.findChild<QPushButton *>(QStringLiteral("btRead"))->click();
        if (wanted("write-progress")) {
            auto *bar = window.findChild<QProgressBar *>(QStringLiteral("WriteProgressBar"));
            // Looked at between the run's exchanges; a wait here would hold the run up.
            QTimer watch;
            bool taken = false;
            QObject::connect(&watch, &QTimer::timeout, [&] {
                if (!bar->isVisible() || bar->value() < 4)
                    return;
                watch.stop();
                taken = Save(window, outDir + QStringLiteral("/write-progress.png"));
                window.findChild<QPushButton *>(QStringLiteral("btStop"))->click();
            });
            watch.start(10);
            window.findChild<QAction *>(QStringLiteral("N4"))->trigger();
            if (!taken)
                status = 1;
        }

        if (wanted("value-refused")) {
            WaitFor([&] { return !window.session().ActionRunning(); }, 10000);
            const int row = window.session().mainTable.FindByNumber(QStringLiteral("0031"));
            window.findChild<QTableView *>(QStringLiteral("ListView1"))->selectRow(row);
            QTest::qWait(300);
            auto *edit = window.findChild<QLineEdit *>(QStringLiteral("GEdit"));
            edit->selectAll();
            QTest::keyClicks(edit, QStringLiteral("70000"));
            QTest::qWait(300);
            if (!Save(window, outDir + QStringLiteral("/value-refused.png")))
                status = 1;
        }
        if (wanted("records-window")) {
            // A change, kept with the read before it: the two compared.
            WaitFor([&] { return !window.session().ActionRunning(); }, 10000);
            window.findChild<QPushButton *>(QStringLiteral("btRead"))->click();
            const int row = window.session().mainTable.FindByNumber(QStringLiteral("0031"));
            window.findChild<QTableView *>(QStringLiteral("ListView1"))->selectRow(row);
            EditorLogic::ConvertTyped(window.session(), QStringLiteral("5001"));
            window.findChild<QPushButton *>(QStringLiteral("btWrite"))->click();
            window.findChild<QPushButton *>(QStringLiteral("btRead"))->click();
            window.findChild<QAction *>(QStringLiteral("ShowRecords"))->trigger();
            auto *records = window.findChild<QWidget *>(QStringLiteral("RecordsWindow"));
            auto *timeline = records->findChild<QTableWidget *>(QStringLiteral("RecordsTimeline"));
            timeline->selectRow(0);
            timeline->selectionModel()->select(timeline->model()->index(timeline->rowCount() - 1, 0),
                                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
            records->findChild<QPushButton *>(QStringLiteral("RecordsCompare"))->click();
            QTest::qWait(300);
            if (!Save(*records, outDir + QStringLiteral("/records-window.png")))
                status = 1;
            records->close();
        }
        window.close();
    }
    return status;
}
