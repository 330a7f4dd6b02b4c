#pragma once
#include <QString>

class DtuSession;

// The serial open/close control (Button3, and a change of the speed or
// format box): closes an open port, or opens a closed one with the texts in
// session.facts, reporting through the facts and the traffic memo.
namespace SerialToggle {
void Toggle(DtuSession &session);
// Panel 1 after a successful open: "COM1打开成功,BaudRate=57600,参数=8N1".
QString OpenedText(const QString &name, const QString &speedText, const QString &formatText);
}
