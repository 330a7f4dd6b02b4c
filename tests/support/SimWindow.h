#pragma once
// The window on a copy of the example profile, its serial port opened on a
// simulated device (dtusim on a pseudo-terminal). For the window tests;
// header only.
#include "support/SimProcess.h"
#include "support/WindowFixture.h"

#include "core/ScheduledTimer.h"
#include "ops/EditorLogic.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include <functional>
#include <memory>
#include <vector>

class SimWindow : public WindowFixture {
public:
    // simArgs go to dtusim after its --profile; the fast reply mode keeps
    // the exchanges short.
    explicit SimWindow(const QStringList &simArgs, bool openPort = true)
    {
        QVERIFY2(sim.Start(QStringList{QStringLiteral("--profile"), ws.Path(QStringLiteral("example_profile.txt"))}
                               + simArgs),
                 qPrintable(sim.Error()));
        ws.RememberProfile(QStringLiteral("example_profile.txt"));
        Show();
        QVERIFY(Session().mainTable.Count() > 5);
        Session().exchange.SetFastCompletion(true);
        Child<QComboBox>("Edit1")->setEditText(sim.Pty());
        if (openPort)
            OpenPort();
    }
    // The window goes before the device it talks to.
    ~SimWindow() { window.reset(); }
    void OpenPort()
    {
        Child<QPushButton>("Button3")->click();
        QVERIFY(Session().channel.ChannelIsOpen());
    }

    void ClearMemo() const { Child<QPlainTextEdit>("Memo1")->clear(); }
    int MainRow(const QString &number) const { return Session().mainTable.FindByNumber(number); }
    // The value cell's text colour: blue while the row is listed for writing.
    QVariant Colour(const QString &number) const
    {
        const ParamTableModel &table = Session().mainTable;
        return table.data(table.index(MainRow(number), ColValue), Qt::ForegroundRole);
    }
    // Types a value for a main-table row as its edit box would.
    void Edit(const QString &number, const QString &text) const
    {
        SelectNumber(number);
        EditorLogic::ConvertTyped(Session(), text);
    }
    // Runs `action` the first time the memo holds `count` lines starting
    // with `prefix`, looking every 5 ms of the window's time (so also while
    // an exchange waits).
    void When(const QString &prefix, int count, std::function<void()> action)
    {
        watches_.push_back(std::make_unique<ScheduledTimer>(time));
        ScheduledTimer *watch = watches_.back().get();
        watch->OnTimeout([this, watch, prefix, count, action] {
            if (Memo().filter(prefix).size() >= count) {
                watch->Stop();
                action();
            }
        });
        watch->Start(5);
    }

    SimProcess sim;

private:
    std::vector<std::unique_ptr<ScheduledTimer>> watches_;
};
