#pragma once
#include "core/ScheduledTimer.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTime>
#include <functional>

class AppState;
class DataChannel;
class Frontend;

// The receive line assembler: the bytes of one poll become one display line
// on the transparent display.
class TLineGet {
public:
    void Clear() { buffer_.clear(); }
    void Append(const QByteArray &bytes) { buffer_ += bytes; }
    // Shows the buffer as one time-stamped line, counts its bytes into
    // ReceivedByteCount and empties it.
    void Emit(AppState &state, Frontend &frontend, const QTime &now);
    // The line Emit shows, for the bytes given.
    static QString Line(const QByteArray &bytes, bool hexOn, const QTime &now);
    const QByteArray &Buffer() const { return buffer_; }

private:
    QByteArray buffer_;
};

// Collects what the device sends outside a command exchange (timer Timer1,
// every 100 ms), traces it, shows it on the transparent display and keeps
// the byte counters text. Also the raw send of the test tools.
class ReceivePoller : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 100;

    ReceivePoller(AppState &state, DataChannel &channel, Frontend &frontend,
                  Scheduler &scheduler = Scheduler::Default(), QObject *parent = nullptr);

    // What a failing read does: the session closes the serial port (quietly,
    // its texts unchanged); the TCP connection is left alone.
    void SetReadFailureHandler(std::function<void()> handler) { onReadFailure_ = std::move(handler); }

    // Timer1 is created disabled; the window enables it when it becomes
    // active, the command exchange switches it off while it waits.
    // While the exchange holds it the timer stays off; an enable asked for
    // meanwhile takes effect when the hold ends.
    void SetEnabled(bool on);
    bool IsEnabled() const { return timer_.IsActive(); }
    void SetHeldByExchange(bool held);
    ScheduledTimer &Timer() { return timer_; }

    // One tick of Timer1. Public so that tests and the command line can run it.
    void Tick();
    // Channel write plus the "下行：" trace at level 1. Does not count bytes.
    void SendRaw(const QByteArray &bytes);

    // "收：12字节，发:30字节"
    QString CountersText() const;
    // Re-announces the counters (after the test page resets them).
    void RefreshCounters() { emit countersChanged(CountersText()); }

    TLineGet &LineGet() { return lineGet_; }

signals:
    // The text of StatusBar2 panel 0.
    void countersChanged(const QString &text);

private:
    AppState &state_;
    DataChannel &channel_;
    Frontend &frontend_;
    std::function<void()> onReadFailure_;
    void Apply();

    ScheduledTimer timer_;
    TLineGet lineGet_;
    bool wanted_ = false;
    int holds_ = 0;
};
