#include "sim/SimDevice.h"

#include "protocol/FrameCodec.h"
#include "protocol/Hex.h"

namespace {

const QByteArray kHeader("\xAA\x55", 2);
const QString kClockFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

QByteArray Ack(bool accepted)
{
    return FrameCodec::Assemble(accepted ? 0x00F0 : 0x00F1, {}, {});
}

QByteArray DataReply(quint16 word, const QByteArray &data)
{
    return FrameCodec::Assemble(word, {}, data);
}

// Adds the numbers `into` lacks: the first row of a number is the one the
// tool shows, and later duplicates change nothing.
void Load(QHash<quint16, QByteArray> &into, const QList<SimParam> &params)
{
    for (const SimParam &p : params) {
        if (!into.contains(p.number))
            into.insert(p.number, p.value);
    }
}

} // namespace

SimDevice::SimDevice(const SimTables &tables, const SimCommandSet &words, const SimState &state,
                     const SimMisbehaviour &misbehaviour)
    : words_(words), state_(state), misbehaviour_(misbehaviour), channel_(tables.mainChannel),
      clock_([] { return QDateTime::currentDateTime(); })
{
    constructed_.start();
    // A profile whose main channel is 0 puts both tables on channel 0; the
    // extended table then wins for a number present in both, as in the tool.
    if (tables.hasExtended)
        Load(tables_[0].defaults, tables.extended);
    Load(tables_[tables.mainChannel].defaults, tables.main);
    for (Table &t : tables_)
        t.values = t.defaults;
}

std::optional<QByteArray> SimDevice::Value(int channel, quint16 number) const
{
    const auto table = tables_.constFind(channel);
    if (table == tables_.cend() || !table->values.contains(number))
        return std::nullopt;
    return table->values.value(number);
}

QList<SimChunk> SimDevice::Feed(const QByteArray &bytes)
{
    buffer_ += bytes;
    QList<SimChunk> out;
    QByteArray frame;
    while (NextFrame(&frame))
        out += Handle(frame);
    return out;
}

bool SimDevice::NextFrame(QByteArray *frame)
{
    for (;;) {
        const qsizetype at = buffer_.indexOf(kHeader);
        if (at < 0) {
            // Keep a last AA: its 55 may still be on the way.
            const bool keepLast = buffer_.endsWith(kHeader.left(1));
            if (buffer_.size() > (keepLast ? 1 : 0))
                Log(QStringLiteral("dropped %1 byte(s) that are no frame").arg(buffer_.size() - (keepLast ? 1 : 0)));
            buffer_ = keepLast ? kHeader.left(1) : QByteArray();
            return false;
        }
        if (at > 0) {
            Log(QStringLiteral("dropped %1 byte(s) before AA 55").arg(at));
            buffer_.remove(0, at);
        }
        if (buffer_.size() < 4)
            return false;
        const int length = FrameCodec::LengthField(buffer_);
        if (length < 4) {
            Log(QStringLiteral("dropped a header with impossible length %1").arg(length));
            buffer_.remove(0, kHeader.size());
            continue;
        }
        if (buffer_.size() < length + 4)
            return false;
        if (!FrameCodec::ChecksumByLength(buffer_)) {
            // Resynchronise just after this header: the real frame may start
            // inside what looked like one.
            Log(QStringLiteral("no answer: checksum error in %1").arg(BytesToSpacedHex(buffer_.left(length + 4))));
            buffer_.remove(0, kHeader.size());
            continue;
        }
        *frame = buffer_.left(length + 4);
        buffer_.remove(0, length + 4);
        return true;
    }
}

QList<SimChunk> SimDevice::Handle(const QByteArray &frame)
{
    // Between the length field and the checksum: prefix, word, data.
    const QByteArray body = frame.mid(4, frame.size() - 6);
    const QByteArray &prefix = words_.prefix;
    if (body.size() < prefix.size() + 2 || !body.startsWith(prefix)) {
        Log(QStringLiteral("no answer: prefix is not %1 in %2")
                .arg(BytesToSpacedHex(prefix).trimmed(), BytesToSpacedHex(frame)));
        return {};
    }
    const quint16 word = WordAt(body, prefix.size());
    const QByteArray data = body.mid(prefix.size() + 2);
    Log(QStringLiteral("rx ch%1 %2 [%3]").arg(channel_).arg(WordToHex(word), BytesToSpacedHex(data).trimmed()));

    const QByteArray reply = Answer(word, data);
    const QList<SimChunk> chunks = misbehaviour_.AppliesTo(word) ? misbehaviour_.Shape(reply)
                                                                 : SimMisbehaviour().Shape(reply);
    if (chunks.isEmpty()) {
        Log(QStringLiteral("tx nothing"));
    } else {
        QByteArray all;
        for (const SimChunk &c : chunks)
            all += c.bytes;
        Log(QStringLiteral("tx %1(%2 piece(s), first after %3 ms)")
                .arg(BytesToSpacedHex(all)).arg(chunks.size()).arg(chunks.first().delayMs));
    }
    return chunks;
}

void SimDevice::DropPartial()
{
    if (!buffer_.isEmpty())
        Log(QStringLiteral("dropped an unfinished frame of %1 byte(s)").arg(buffer_.size()));
    buffer_.clear();
}

QByteArray SimDevice::Answer(quint16 word, const QByteArray &data)
{
    using namespace SimWords;
    if (word == kSelectChannel)
        return SelectChannel(data);
    if (word == words_.getParam)
        return ReadParams(data);
    if (word == words_.getStatus)
        return DataReply(kStatusReply, QByteArray(1, static_cast<char>(state_.status)));
    if (word == kSignal) {
        const quint8 csq = state_.signalPerRequest ? state_.SignalForRequest(signalRequests_++)
                                                   : state_.SignalAt(SinceUpMs());
        return DataReply(kSignal, QByteArray(1, static_cast<char>(csq)));
    }
    if (word == words_.getVersion)
        return DataReply(word, state_.version);
    if (word == kImei)
        return DataReply(kImei, state_.imei);
    if (word == kClockRead)
        return DataReply(kClockRead, DeviceNow().toString(kClockFormat).toLatin1());
    if (word == kClockSet)
        return SetClock(data);
    if (word == words_.reset)
        return Ack(true);
    if (word == words_.setDefault) {
        for (Table &t : tables_)
            t.values = t.defaults;
        return Ack(true);
    }
    return WriteParam(word, data);
}

QByteArray SimDevice::SelectChannel(const QByteArray &data)
{
    if (data.size() != 1 || !tables_.contains(static_cast<quint8>(data[0])))
        return Ack(false);
    channel_ = static_cast<quint8>(data[0]);
    return Ack(true);
}

QByteArray SimDevice::ReadParams(const QByteArray &data) const
{
    // Reply word, the prefix again, then one record per known number:
    // N (2 bytes, counting number and value), number, value.
    QByteArray records = words_.prefix;
    const Table &table = tables_[channel_];
    for (qsizetype i = 0; i + 1 < data.size(); i += 2) {
        const quint16 number = WordAt(data, i);
        const auto value = table.values.constFind(number);
        if (value == table.values.cend())
            continue;
        records += WordToBytes(static_cast<quint16>(2 + value->size()));
        records += WordToBytes(number);
        records += *value;
    }
    return DataReply(words_.replyConfig, records);
}

QByteArray SimDevice::WriteParam(quint16 number, const QByteArray &data)
{
    const auto table = tables_.find(channel_);
    if (table == tables_.end() || !table->values.contains(number))
        return Ack(false);
    table->values.insert(number, data);
    return Ack(true);
}

QByteArray SimDevice::SetClock(const QByteArray &data)
{
    const QDateTime wanted = QDateTime::fromString(QString::fromLatin1(data), kClockFormat);
    if (data.size() != 19 || !wanted.isValid())
        return Ack(false);
    clockOffsetSecs_ = clock_().secsTo(wanted);
    return Ack(true);
}

QDateTime SimDevice::DeviceNow() const
{
    return clock_().addSecs(clockOffsetSecs_);
}

qint64 SimDevice::SinceUpMs() const
{
    return uptime_ ? uptime_() : constructed_.elapsed();
}

void SimDevice::Log(const QString &line) const
{
    if (log_)
        log_(line);
}
