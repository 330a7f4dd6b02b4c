#pragma once
#include "core/AppState.h"
#include "channel/DataChannel.h"
#include "channel/ReceivePoller.h"
#include "channel/SerialTransport.h"
#include "channel/TcpTransport.h"
#include "params/ParamTableModel.h"
#include "profile/DeviceProfile.h"
#include "protocol/CommandExchange.h"
#include "protocol/ExchangeClock.h"
#include "script/ScriptHost.h"

#include <QObject>
#include <optional>

class Frontend;

// What the loaded profile puts on the window besides the tables. The window
// mirrors these; the command line tool reads them as its defaults.
struct WindowFacts {
    QString Caption;                     // "" until a profile with a Title loads
    QString PortText = QStringLiteral("COM1");
    QString BaudText = QStringLiteral("57600");
    QString FormatText = QStringLiteral("8N1");
    bool TcpBoxVisible = false;
    QString TcpAddress;
    // Serial open/close control and panel 1 of the main status bar.
    QString SerialStateText = QStringLiteral("串口未打开");
    QString SerialButtonCaption = QStringLiteral("打开串口");
    bool SerialOpenColour = false; // RGB(180,220,240) while open, RGB(172,196,213) after a close
    // Label10 of the TCP box.
    QString TcpStatusText;
};

// One run of the tool: the shared values, the script engine, both parameter
// tables, the loaded profile, the data channel and the command exchange.
// The window and the command line tool each own one and drive it through
// the same operations, so they send the very same frames.
class DtuSession : public QObject {
    Q_OBJECT
public:
    static inline const QString kChannelClosedText =
        QStringLiteral("数据通道未打开，请先打开串口或建立TCP链接");

    explicit DtuSession(Frontend &frontend, QObject *parent = nullptr);
    ~DtuSession() override;

    Frontend &frontend() { return frontend_; }
    AppState state;
    ScriptHost script;
    ParamTableModel mainTable;
    ParamTableModel extTable;
    std::optional<DeviceProfile> profile; // the profile loaded last
    QString profilePath;                  // the hidden `filename` box
    WindowFacts facts;
    DataChannel channel;
    RealClock realClock;
    CommandExchange exchange;
    // The two transports behind `channel` (TCP first) and the receive poller
    // (Timer1). Declared after the exchange: the poller is switched by it.
    SerialTransport serial;
    TcpTransport tcp;
    ReceivePoller poller;

    // The table the editors, the read and the write use: main when
    // CurrentParamChannel equals MainParamChannel, extended when it is 0.
    ParamTableModel *ActiveTable();

    // The one channel check: false (after showing the closed-channel
    // message) when neither TCP nor the serial port is open.
    bool RequireChannel();

    // At most one device action at a time. A second start while one waits
    // is refused (returns false); the window also locks its controls.
    bool TryBeginAction();
    void EndAction();
    bool ActionRunning() const { return actionDepth_ > 0; }

    // Tells the window to redraw what the profile sets (caption, boxes, tabs).
    void NotifyFactsChanged() { emit factsChanged(); }

signals:
    void factsChanged();
    void actionRunningChanged(bool running);

private:
    Frontend &frontend_;
    int actionDepth_ = 0;
};

// Runs one device action under the session's one-at-a-time rule.
class ActionScope {
public:
    explicit ActionScope(DtuSession &session) : session_(session), ok_(session.TryBeginAction()) {}
    ~ActionScope()
    {
        if (ok_)
            session_.EndAction();
    }
    ActionScope(const ActionScope &) = delete;
    ActionScope &operator=(const ActionScope &) = delete;
    explicit operator bool() const { return ok_; }

private:
    DtuSession &session_;
    bool ok_;
};
