#pragma once
#include <QString>

class DtuSession;

// The serial open/close control (Button3, and a change of the speed or
// format box): closes an open port, or opens a closed one with the texts in
// session.facts, reporting through the facts and the traffic memo. True
// when this click opened the port (the device may still vanish during the
// channel selection that follows, whose result goes to *selection).
namespace SerialToggle {
bool Toggle(DtuSession &session, int *selection = nullptr);
// The button, panel 1 and the settings boxes show the port closed.
void ShowClosed(DtuSession &session);
// Panel 1 after a successful open: "COM1打开成功,BaudRate=57600,参数=8N1".
QString OpenedText(const QString &name, const QString &speedText, const QString &formatText);
}
