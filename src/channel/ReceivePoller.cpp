#include "channel/ReceivePoller.h"

#include "core/AppState.h"
#include "core/Frontend.h"
#include "core/TextFile.h"
#include "channel/DataChannel.h"
#include "protocol/Hex.h"

#include <exception>

#include <QCoreApplication>

QString TLineGet::Line(const QByteArray &bytes, bool hexOn, const QTime &now)
{
    // A byte 00 would end the text in the display; show it as 01.
    QByteArray shown = bytes;
    shown.replace('\0', '\x01');
    QString hexPart;
    if (hexOn)
        hexPart = QStringLiteral("{") + BytesToSpacedHex(bytes) + QStringLiteral("}");
    return now.toString(QStringLiteral("hh:mm:ss")) + QCoreApplication::translate("ReceivePoller", " 收到数据：")
        + hexPart + TextFile::FromGbk(shown);
}

void TLineGet::Emit(AppState &state, Frontend &frontend, const QTime &now)
{
    frontend.AppendTransparent(Line(buffer_, state.HexDisplayOn, now));
    state.ReceivedByteCount = AddToByteCount(state.ReceivedByteCount, buffer_.size());
    buffer_.clear();
}

ReceivePoller::ReceivePoller(AppState &state, DataChannel &channel, Frontend &frontend, Scheduler &scheduler,
                             QObject *parent)
    : QObject(parent), state_(state), channel_(channel), frontend_(frontend),
      timer_(scheduler, QStringLiteral("Timer1"))
{
    timer_.SetInterval(kIntervalMs);
    timer_.OnTimeout([this] { Tick(); });
}

void ReceivePoller::SetEnabled(bool on)
{
    wanted_ = on;
    Apply();
}

void ReceivePoller::SetHeldByExchange(bool held)
{
    if (held)
        ++holds_;
    else if (holds_ > 0)
        --holds_;
    Apply();
}

void ReceivePoller::Apply()
{
    const bool run = wanted_ && holds_ == 0;
    if (run && !timer_.IsActive())
        timer_.Start();
    else if (!run && timer_.IsActive())
        timer_.Stop();
}

void ReceivePoller::Tick()
{
    if (channel_.ChannelIsOpen()) {
        try {
            QByteArray bytes;
            if (channel_.ChannelRead(&bytes)) {
                if (state_.TraceOn())
                    frontend_.AppendTrace(QCoreApplication::translate("Trace", "上行：") + BytesToSpacedHex(bytes));
                lineGet_.Append(bytes);
                lineGet_.Emit(state_, frontend_, QTime::currentTime());
                frontend_.AppendTransparent(TextFile::FromGbk(bytes));
            }
        } catch (const std::exception &) {
            // A failing port is closed without a word; its caption and status
            // text stay, so the next toggle opens it again. TCP is left alone.
            lineGet_.Clear();
            if (onReadFailure_)
                onReadFailure_();
        }
    }
    RefreshCounters();
}

void ReceivePoller::SendRaw(const QByteArray &bytes)
{
    channel_.ChannelWrite(bytes);
    if (state_.TraceOn())
        frontend_.AppendTrace(QCoreApplication::translate("Trace", "下行：") + BytesToSpacedHex(bytes));
}

QString ReceivePoller::CountersText() const
{
    return QCoreApplication::translate("ReceivePoller", "收：%1字节，发:%2字节")
        .arg(state_.ReceivedByteCount)
        .arg(state_.SentByteCount);
}

#include "moc_ReceivePoller.cpp"
