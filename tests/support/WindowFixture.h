#pragma once
// The main window as the window tests drive it. For the tests that link the
// window (dtuui); header only.
#include "support/ScriptedDialogs.h"
#include "support/WorkFolder.h"

#include "support/VirtualScheduler.h"

#include "params/ParamTableModel.h"
#include "session/DtuSession.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <memory>

// A window in a work folder of its own, made current (the examples copied
// in, so it finds script.js and lastfile.log there), with settings in test
// mode (a fast reply mode chosen in a real run does not leak in) and every
// dialog answered by ScriptedDialogs. Set up files in `ws` first, then
// Create() or Show().
//
// The window runs on virtual time (`time`): its timers (the receive poller,
// the signal monitor's polls, the port watcher's looks) fire only when the
// test advances it or an exchange waits. The time is paced: each wait of an
// exchange also waits as long in real time, so a simulated device behind a
// pseudo-terminal or a socket answers within it. No test then depends on how
// fast the machine is, and a "nothing happened" check advances past the
// deadline, then looks.
class WindowFixture {
public:
    explicit WindowFixture(int examples = WorkFolder::kAllExamples) : ws(examples)
    {
        QStandardPaths::setTestModeEnabled(true);
        time.SetPaced(true);
    }

    // Moves the window's time on, firing its timers that fall due.
    void Advance(qint64 ms) { time.Advance(ms); }
    // Handles every event pending, and those they post in turn: a step the
    // window deferred to the next turn of its event loop has run after it.
    static void Settle()
    {
        for (int i = 0; i < 8; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
    }

    // The window, built but not shown.
    TForm1 &Create()
    {
        if (!window)
            window = std::make_unique<TForm1>(dialogs);
        return *window;
    }
    // Shows the window and waits until its start-up restore of the last
    // profile has run.
    TForm1 &Show()
    {
        Create().show();
        WaitRestored();
        return *window;
    }
    void WaitRestored()
    {
        QVERIFY(window->RestorePending());
        Advance(TForm1::kRestoreDelayMs);
        QVERIFY(!window->RestorePending());
    }

    // A control by its object name ("btRead", "Memo1"...).
    template <typename T = QWidget>
    T *Child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    QAction *Action(const char *name) const { return Child<QAction>(name); }

    DtuSession &Session() const { return window->session(); }
    AppState &State() const { return window->session().state; }
    // The lines of the traffic memo (Memo1), and panel 3 of the status bar.
    QStringList Memo() const
    {
        return Child<QPlainTextEdit>("Memo1")->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    QString Panel() const { return Child<QLabel>("StatusBar1Panel3")->text(); }
    // Selects the main table's row with that number as a click would;
    // returns its index (-1 when there is none).
    int SelectNumber(const QString &number) const
    {
        const int row = Session().mainTable.FindByNumber(number);
        if (row >= 0)
            Child<QTableView>("ListView1")->selectRow(row);
        return row;
    }

    VirtualScheduler time;
    DefaultSchedulerScope useTime{time}; // the window's session and fleet runner take it
    Workspace ws;
    ScriptedDialogs dialogs;
    std::unique_ptr<TForm1> window;
};
