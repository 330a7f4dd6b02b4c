#pragma once
#include "channel/SerialSettings.h"
#include "channel/Transport.h"

#include <QObject>
#include <QSerialPort>
#include <QString>

// The serial port of the data channel. The port object lives as long as the
// session and keeps its frame format between opens, so a format text with an
// unknown character keeps what the previous open used.
//
// Received bytes stay in the port until ReadAvailable collects them; nothing
// here consumes them on its own.
class SerialTransport : public QObject, public Transport {
    Q_OBJECT
public:
    // One whole write may take this long; what is left then is dropped.
    static constexpr int kWriteLimitMs = 5000;
    // Time a piece may wait: 10 ms per byte plus 200 ms.
    static constexpr int kWritePerByteMs = 10;
    static constexpr int kWriteConstantMs = 200;
    static constexpr int kQueueBytes = 2048;

    explicit SerialTransport(QObject *parent = nullptr);
    ~SerialTransport() override;

    // Applies name, speed and format and opens the port. False when it did
    // not open; FailureReason() then says why in words a technician follows.
    bool Open(const QString &name, const QString &speedText, const QString &formatText);
    // Closes quietly; nothing happens when the port is closed.
    void Close();

    bool IsOpen() const override;
    void Write(const QByteArray &bytes) override;
    QByteArray ReadAvailable() override;
    // The port says when bytes come in (readyRead); a stand-in line as it does.
    bool TellsArrival() const override { return line_ ? line_->TellsArrival() : true; }

    // Puts another transport where the device file would be (nullptr: the
    // device file again): Open applies the settings as always and opens
    // the line instead of a port, and the bytes go to and come from it.
    // For a whole run on a simulated device in the same process; the line
    // must outlive this port or be taken away first.
    void StandIn(Transport *line);

    QString FailureReason() const { return failureReason_; }
    // The name the last Open was given, as the user wrote it ("/dev/ttyUSB0",
    // not Qt's short name); the port box may hold another by now.
    QString OpenedName() const { return openedName_; }
    // The port as configured, for inspection.
    const QSerialPort &Port() const { return port_; }

signals:
    // The port closed itself because the device went away (an unplugged
    // adapter). The session's texts are left as they are.
    void lost();
    // The port closed itself after a read error other than the device going
    // away; reason is the system's text. Emitted once per failure.
    void readFailed(const QString &reason);

private:
    void OnError(QSerialPort::SerialPortError error);
    // Closes the port from an error report; false when it was already closed
    // or is closing (close itself may report errors).
    bool LineHungUp();
    bool CloseAfterError();
    QString Diagnose(const QString &name) const;
    // The device file of the last open no longer exists.
    bool DeviceGone() const;

    QSerialPort port_;
    SerialSettings::FrameFormat format_;
    QString failureReason_;
    QString devicePath_;
    QString openedName_;
    bool closingAfterError_ = false;
    Transport *line_ = nullptr; // the stand-in for the device file, if any
    bool lineOpen_ = false;     // opened on the stand-in and not closed since
};
