#include "ops/SerialToggle.h"

#include "session/DtuSession.h"
#include "core/Frontend.h"
#include "ops/ChannelOpen.h"
#include "profile/DeviceProfile.h"

#include <exception>

#include <QCoreApplication>

namespace SerialToggle {

QString OpenedText(const QString &name, const QString &speedText, const QString &formatText)
{
    return name + QCoreApplication::translate("SerialToggle", "打开成功,BaudRate=") + speedText
        + QCoreApplication::translate("SerialToggle", ",参数=") + formatText;
}

namespace {

// The settings just used go into the loaded profile, which is saved over its
// file. Nothing is said when that fails (no profile, read-only file).
void RememberSettings(DtuSession &session, const QString &name, const QString &speed, const QString &format)
{
    if (!session.profile)
        return;
    try {
        session.profile->SetText(ProfileKeys::Comport, name);
        session.profile->SetText(ProfileKeys::Baudrate, speed);
        session.profile->SetText(ProfileKeys::ComOption, format);
        if (!session.profile->Path().isEmpty() && !session.state.KeepProfileFile)
            session.profile->SaveOver();
    } catch (const std::exception &) {
    }
}

} // namespace

void ShowClosed(DtuSession &session)
{
    WindowFacts &facts = session.facts;
    facts.SerialButtonCaption = QCoreApplication::translate("SerialToggle", "打开串口");
    facts.SerialStateText = QCoreApplication::translate("SerialToggle", "串口未打开");
    facts.SerialOpenColour = false;
    session.NotifyFactsChanged();
}

bool Toggle(DtuSession &session, int *selection)
{
    AppState &state = session.state;
    WindowFacts &facts = session.facts;
    state.AccessLevel = 1;
    state.CurrentParamChannel = state.ExtPageVisible ? -1 : state.MainParamChannel;

    if (session.serial.IsOpen()) {
        session.serial.Close();
        ShowClosed(session);
        return false;
    }

    const QString name = facts.PortText;
    const QString speed = facts.BaudText;
    const QString format = facts.FormatText;
    bool opened = false;
    QString reason;
    try {
        opened = session.serial.Open(name, speed, format);
        reason = session.serial.FailureReason();
    } catch (const std::exception &e) {
        reason = QString::fromLocal8Bit(e.what());
    }

    if (opened) {
        facts.SerialStateText = OpenedText(name, speed, format);
        RememberSettings(session, name, speed, format);
        facts.SerialButtonCaption = QCoreApplication::translate("SerialToggle", "关闭串口");
        facts.SerialOpenColour = true;
    } else {
        facts.SerialStateText = name + QCoreApplication::translate("SerialToggle", "打开失败");
        session.frontend().AppendMemo(facts.SerialStateText + QCoreApplication::translate("SerialToggle", "：")
                                      + reason);
    }
    session.NotifyFactsChanged();

    const int selected = ChannelOpen::SelectMainTable(session);
    if (selection)
        *selection = selected;
    return opened;
}

} // namespace SerialToggle
