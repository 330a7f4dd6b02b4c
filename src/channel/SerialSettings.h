#pragma once
#include <QString>
#include <QStringList>

// The rules that turn the texts of the serial settings boxes (port name,
// speed, frame format) into port settings, and the lists the boxes offer.
namespace SerialSettings {

// Items of ComboBox1 (15 speeds) and ComboBox6 (12 frame formats).
const QStringList &OfferedSpeeds();
const QStringList &OfferedFormats();

// Exact text match against the speed table; 9600 for anything else.
// "33600" and "76800" are accepted although the box does not offer them:
// a profile may name them.
qint32 SpeedFromText(const QString &text);
// Every speed SpeedFromText knows, in rising order: what a command line may
// ask for.
QStringList KnownSpeeds();

enum class Parity { None, Even, Odd };

struct FrameFormat {
    int dataBits = 8;
    Parity parity = Parity::None;
    int stopBits = 1;
    bool operator==(const FrameFormat &) const = default;
};

// Reads "8N1"-style text position by position; a position holding another
// character, or missing, keeps the setting of the previous open.
FrameFormat ApplyFormat(const QString &text, const FrameFormat &previous);

// What a port name means (COMn, bare names, paths): core/PortNames.h.

// Serial ports the system reports, for the port box (Edit1).
QStringList SystemPorts();

} // namespace SerialSettings
