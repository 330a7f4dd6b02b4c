#include "session/DtuSession.h"

#include "core/Frontend.h"

#include <QCoreApplication>

DtuSession::DtuSession(Frontend &frontend, Scheduler &scheduler, QObject *parent)
    : QObject(parent),
      scheduler(scheduler),
      mainTable(state, ParamTableModel::Kind::Main),
      extTable(state, ParamTableModel::Kind::Extended),
      exchange(state, script, channel, frontend, scheduler),
      tcp(scheduler),
      poller(state, channel, frontend, scheduler),
      frontend_(frontend)
{
    channel.SetSerial(&serial);
    channel.SetTcp(&tcp);
    // The exchange holds the poller while it waits for a reply so that the
    // poller cannot take the reply, and releases it afterwards.
    exchange.SetPollerSwitch([this](bool on) { poller.SetHeldByExchange(!on); });
    poller.SetReadFailureHandler([this] { serial.Close(); });
    // The failed port keeps its texts, so the next toggle opens it again; the
    // memo says what happened. (A vanished device is another matter: the
    // window's PortWatcher shows that port closed.)
    connect(&serial, &SerialTransport::readFailed, this, [this](const QString &reason) {
        frontend_.AppendMemo(QCoreApplication::translate("DtuSession", "串口读取出错（%1），串口已关闭").arg(reason));
    });
    connect(&tcp, &TcpTransport::statusTextChanged, this, [this](const QString &text) {
        facts.TcpStatusText = text;
        NotifyFactsChanged();
    });
}

DtuSession::~DtuSession() = default;

ParamTableModel *DtuSession::ActiveTable()
{
    if (state.CurrentParamChannel == state.MainParamChannel)
        return &mainTable;
    if (state.CurrentParamChannel == 0)
        return &extTable;
    return nullptr;
}

bool DtuSession::RequireChannel()
{
    if (channel.ChannelIsOpen())
        return true;
    frontend_.ShowMessage(ChannelClosedText());
    return false;
}

bool DtuSession::TryBeginAction()
{
    if (actionRunning_)
        return false;
    actionRunning_ = true;
    state.StopRequested = false; // a late click of 停止, after the last action, is not this one's
    emit actionRunningChanged(true);
    return true;
}

void DtuSession::EndAction()
{
    if (!actionRunning_)
        return;
    actionRunning_ = false;
    // A stop belongs to the action it was asked of: it lasts through every
    // step of it (a read before a write, a read back after), and ends with it.
    state.StopRequested = false; // the stop ends with its action
    emit actionRunningChanged(false);
}

#include "moc_DtuSession.cpp"
