#include "ops/PortWatcher.h"

#include "core/Frontend.h"
#include "core/PortNames.h"
#include "ops/SerialToggle.h"
#include "session/DtuSession.h"

#include <QCoreApplication>

PortWatcher::PortWatcher(DtuSession &session, ListSource source, QObject *parent)
    : QObject(parent), session_(session), source_(std::move(source)), timer_(session.scheduler)
{
    if (!source_)
        source_ = &PortIdentity::SystemPorts;
    timer_.OnTimeout([this] { Check(); });
    // A port that closed itself because its device went away may be back
    // under the same name before the next look: it was lost all the same.
    connect(&session_.serial, &SerialTransport::lost, this, [this] { lostSignalled_ = true; });
    // The name the port was opened under, taken when the open is shown
    // (the port box may be edited while the port is open).
    connect(&session_, &DtuSession::factsChanged, this, [this] {
        if (session_.facts.SerialOpenColour && openName_.isEmpty())
            openName_ = session_.facts.PortText;
    });
}

void PortWatcher::Check()
{
    if (session_.ActionRunning())
        return;
    const bool shownOpen = session_.facts.SerialOpenColour;
    if (!shownOpen) {
        openName_.clear();
        lostSignalled_ = false;
    }
    QStringList alsoCheck{openName_};
    if (awaiting_)
        alsoCheck << remembered_.name;
    const QList<PortEntry> ports = source_(alsoCheck);

    if (shownOpen) {
        const std::optional<PortEntry> entry = PortIdentity::Find(openName_, ports);
        if (entry && !lostSignalled_) {
            remembered_ = *entry; // keeps the identity the system reports while the port is there
            return;
        }
        const QString name = openName_;
        if (remembered_.name.isEmpty() || !PortNames::SameDevice(remembered_.name, name))
            remembered_ = PortEntry{name, std::nullopt, std::nullopt, QString()};
        session_.serial.Close();
        SerialToggle::ShowClosed(session_);
        openName_.clear();
        lostSignalled_ = false;
        awaiting_ = true;
        session_.frontend().AppendMemo(QCoreApplication::translate("PortWatcher", "串口%1已断开（设备已拔出），串口已关闭").arg(name));
        return;
    }
    if (!awaiting_)
        return;
    const QString name = PortIdentity::FindAdapter(remembered_, ports);
    if (name.isEmpty())
        return;
    awaiting_ = false;
    session_.facts.PortText = name;
    session_.NotifyFactsChanged();
    session_.frontend().AppendMemo(QCoreApplication::translate("PortWatcher", "串口设备已重新接入：%1").arg(name));
    emit returned(name);
}

#include "moc_PortWatcher.cpp"
