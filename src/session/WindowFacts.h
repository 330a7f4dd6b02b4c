#pragma once
#include <QCoreApplication>
#include <QString>

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
    QString SerialStateText = QCoreApplication::translate("SerialToggle", "串口未打开");
    QString SerialButtonCaption = QCoreApplication::translate("SerialToggle", "打开串口");
    bool SerialOpenColour = false; // RGB(180,220,240) while open, RGB(172,196,213) after a close
    // Label10 of the TCP box.
    QString TcpStatusText;
};
