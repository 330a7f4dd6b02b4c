#pragma once
#include "sim/SimCommands.h"
#include "sim/SimMisbehaviour.h"
#include "sim/SimProfile.h"
#include "sim/SimState.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <functional>
#include <optional>

// The protocol engine of the simulated device, without any I/O: bytes from
// the line go in, the pieces of the answer come out with their timing.
// Frames are found by AA 55 and the length field; bytes that do not form a
// frame are dropped, and a frame with a wrong checksum or without the
// device's command prefix gets no answer.
class SimDevice {
public:
    using Clock = std::function<QDateTime()>;
    // Milliseconds since the device came up, for readings that change over
    // time; by default measured from construction.
    using Uptime = std::function<qint64()>;
    using Logger = std::function<void(const QString &)>;

    SimDevice(const SimTables &tables, const SimCommandSet &words, const SimState &state = {},
              const SimMisbehaviour &misbehaviour = {});

    // Takes bytes as they arrive (any split) and returns what to send back.
    QList<SimChunk> Feed(const QByteArray &bytes);
    // Forgets an unfinished frame: the line went idle or a new peer came.
    void DropPartial();
    bool HasPartial() const { return !buffer_.isEmpty(); }

    void SetClock(Clock clock) { clock_ = std::move(clock); }
    void SetUptime(Uptime uptime) { uptime_ = std::move(uptime); }
    void SetLogger(Logger logger) { log_ = std::move(logger); }

    int CurrentChannel() const { return channel_; }
    // The stored value of a parameter on a channel; nullopt when unknown.
    std::optional<QByteArray> Value(int channel, quint16 number) const;

private:
    struct Table {
        QHash<quint16, QByteArray> values;
        QHash<quint16, QByteArray> defaults;
    };

    bool NextFrame(QByteArray *frame);
    QList<SimChunk> Handle(const QByteArray &frame);
    QByteArray Answer(quint16 word, const QByteArray &data);
    QByteArray SelectChannel(const QByteArray &data);
    QByteArray ReadParams(const QByteArray &data) const;
    QByteArray WriteParam(quint16 number, const QByteArray &data);
    QByteArray SetClock(const QByteArray &data);
    QDateTime DeviceNow() const;
    qint64 SinceUpMs() const;
    void Log(const QString &line) const;

    QMap<int, Table> tables_;
    SimCommandSet words_;
    SimState state_;
    SimMisbehaviour misbehaviour_;
    int channel_ = 1;
    qint64 signalRequests_ = 0; // answered so far, for SimState::signalPerRequest
    qint64 clockOffsetSecs_ = 0;
    QByteArray buffer_;
    Clock clock_;
    Uptime uptime_;
    QElapsedTimer constructed_;
    Logger log_;
};
