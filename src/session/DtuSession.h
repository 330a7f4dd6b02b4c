#pragma once
#include "core/AppState.h"
#include "core/Scheduler.h"
#include "channel/DataChannel.h"
#include "channel/ReceivePoller.h"
#include "channel/SerialTransport.h"
#include "channel/TcpTransport.h"
#include "params/ParamTableModel.h"
#include "profile/DeviceProfile.h"
#include "protocol/CommandExchange.h"
#include "script/ScriptHost.h"
#include "session/WindowFacts.h"

#include <QObject>
#include <optional>

class Frontend;

// One run of the tool: the shared values, the script engine, both parameter
// tables, the loaded profile, the data channel and the command exchange.
// The window and the command line tool each own one and drive it through
// the same operations, so they send the very same frames.
class DtuSession : public QObject {
    Q_OBJECT
public:
    static QString ChannelClosedText() { return QCoreApplication::translate("DtuSession", "数据通道未打开，请先打开串口或建立TCP链接"); }

    // The default scheduler is the real one unless a test put another in its place.
    explicit DtuSession(Frontend &frontend, Scheduler &scheduler = Scheduler::Default(), QObject *parent = nullptr);
    ~DtuSession() override;

    Frontend &frontend() { return frontend_; }
    // The time of every wait and timer of the session: the exchange's reply
    // waits, the receive poller, the TCP connect limit, and the monitors the
    // front ends build on the session.
    Scheduler &scheduler;
    AppState state;
    ScriptHost script;
    ParamTableModel mainTable;
    ParamTableModel extTable;
    std::optional<DeviceProfile> profile; // the profile loaded last
    QString profilePath;                  // the hidden `filename` box
    WindowFacts facts;
    DataChannel channel;
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

    // Whether a device action runs now (ActionScope starts and ends one).
    bool ActionRunning() const { return actionRunning_; }

    // Tells the window to redraw what the profile sets (caption, boxes, tabs).
    void NotifyFactsChanged() { emit factsChanged(); }

signals:
    void factsChanged();
    // A device action started (true) or ended (false): the window locks and
    // unlocks the controls that would start another one.
    void actionRunningChanged(bool running);

private:
    friend class ActionScope;
    // At most one device action at a time: false while one runs.
    bool TryBeginAction();
    void EndAction();

    Frontend &frontend_;
    bool actionRunning_ = false;
};
