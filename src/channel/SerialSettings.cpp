#include "channel/SerialSettings.h"

#include <QSerialPortInfo>

namespace SerialSettings {

const QStringList &OfferedSpeeds()
{
    static const QStringList list{
        QStringLiteral("300"),    QStringLiteral("600"),    QStringLiteral("1200"),
        QStringLiteral("2400"),   QStringLiteral("4800"),   QStringLiteral("9600"),
        QStringLiteral("14400"),  QStringLiteral("19200"),  QStringLiteral("28800"),
        QStringLiteral("38400"),  QStringLiteral("57600"),  QStringLiteral("115200"),
        QStringLiteral("230400"), QStringLiteral("460800"), QStringLiteral("921600")};
    return list;
}

const QStringList &OfferedFormats()
{
    static const QStringList list{
        QStringLiteral("8N1"), QStringLiteral("8E1"), QStringLiteral("8O1"), QStringLiteral("7N1"),
        QStringLiteral("7E1"), QStringLiteral("7O1"), QStringLiteral("8N2"), QStringLiteral("8E2"),
        QStringLiteral("8O2"), QStringLiteral("7N2"), QStringLiteral("7E2"), QStringLiteral("7O2")};
    return list;
}

namespace {
const qint32 kSpeedTable[] = {300,   600,   1200,  2400,  4800,   9600,   14400,  19200, 28800,
                              33600, 38400, 57600, 76800, 115200, 230400, 460800, 921600};
} // namespace

QStringList KnownSpeeds()
{
    QStringList list;
    for (qint32 speed : kSpeedTable)
        list << QString::number(speed);
    return list;
}

qint32 SpeedFromText(const QString &text)
{
    for (qint32 speed : kSpeedTable) {
        // Exact text only: " 9600" or "09600" are not speeds.
        if (text == QString::number(speed))
            return speed;
    }
    return 9600;
}

FrameFormat ApplyFormat(const QString &text, const FrameFormat &previous)
{
    FrameFormat f = previous;
    const auto at = [&text](qsizetype i) { return i < text.size() ? text[i] : QChar(); };
    if (at(0) == u'8' || at(0) == u'7')
        f.dataBits = text[0].digitValue();
    // Parity's letters in the order of the enum.
    const qsizetype parity = QStringLiteral("NEO").indexOf(at(1));
    if (parity >= 0)
        f.parity = static_cast<Parity>(parity);
    if (at(2) == u'1' || at(2) == u'2')
        f.stopBits = text[2].digitValue();
    return f;
}

QStringList SystemPorts()
{
    QStringList names;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        names << info.portName();
    names.sort();
    return names;
}

} // namespace SerialSettings
