#pragma once
#include "channel/PortIdentity.h"
#include "core/ScheduledTimer.h"

#include <QObject>
#include <functional>

class DtuSession;

// Watches the system's port list for the serial port the window has open.
// When that port disappears (a USB adapter pulled), it closes the port, says
// so once in the traffic memo, shows the port closed and remembers the
// adapter. When the adapter is listed again, under its old name or a new one
// (PortIdentity::FindAdapter), the port box is set to it, the memo says so
// and returned() tells the window, which may reopen it. Nothing is looked at
// while a device action runs.
class PortWatcher : public QObject {
    Q_OBJECT
public:
    using ListSource = std::function<QList<PortEntry>(const QStringList &alsoCheck)>;
    static constexpr int kPeriodMs = 1000;

    // Without a source it asks the system (PortIdentity::SystemPorts).
    explicit PortWatcher(DtuSession &session, ListSource source = {}, QObject *parent = nullptr);

    // Looks every periodMs on the session's scheduler.
    void Start(int periodMs = kPeriodMs) { timer_.Start(periodMs); }
    void Stop() { timer_.Stop(); }
    // One look at the list; the timer calls it.
    void Check();

    // An adapter was lost and has not come back yet.
    bool AwaitingReturn() const { return awaiting_; }
    const PortEntry &Remembered() const { return remembered_; }

signals:
    void returned(const QString &name);

private:
    DtuSession &session_;
    ListSource source_;
    ScheduledTimer timer_;
    PortEntry remembered_;
    QString openName_;       // the name the open port was opened under
    bool awaiting_ = false;
    bool lostSignalled_ = false;
};
