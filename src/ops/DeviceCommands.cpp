#include "ops/DeviceCommands.h"

#include "session/DtuSession.h"
#include "core/Frontend.h"
#include "core/TextFile.h"
#include "protocol/CommandExchange.h"
#include "protocol/FrameCodec.h"
#include "protocol/Hex.h"
#include "protocol/ResultWording.h"
#include "protocol/TransactionResult.h"

#include <QCoreApplication>

namespace DeviceCommands {
namespace {

constexpr quint16 kSelectChannelWord = 0xE050;
constexpr quint16 kSignalWord = 0xE023;
constexpr quint16 kImeiWord = 0xE025;
constexpr quint16 kReadClockWord = 0xE00E;
constexpr quint16 kSetClockWord = 0xE00D;
constexpr quint16 kStatusReplyWord = 0xE004;

// The word the device script gives for a command name, evaluated every time
// the command is sent: one tool serves devices whose codes differ.
quint16 ScriptWord(DtuSession &session, const char *name)
{
    const QString expression = QStringLiteral("GetCmd(\"%1\");").arg(QLatin1String(name));
    return ScriptCommandWord(session.script.Eval(expression));
}

// One-byte answers (status, signal). The device answers with a fixed frame
// AA 55 00 05 <word> <value> <sum>; the start is not searched for.
int ReadByteReply(DtuSession &session, quint16 requestWord, quint16 replyWord, int timeoutMs,
                  const QString &operationWord)
{
    const QByteArray reply = session.exchange.Transact(requestWord, {}, timeoutMs);
    if (reply.isEmpty())
        return TransactionResult::NoAnswer;
    if (!FrameCodec::HasHeader(reply))
        return TransactionResult::NotAFrame;
    // A reply too short to hold a word cannot carry the expected one.
    const bool wordMatches = reply.size() >= 6
        && static_cast<quint8>(reply[4]) == (replyWord >> 8)
        && static_cast<quint8>(reply[5]) == (replyWord & 0xFF);
    if (!wordMatches) {
        ResultWording::Post(session.frontend(),
                            ResultWording::Text(operationWord, ResultWording::Family::DataReply,
                                                ResultWording::kWrongCommandWord));
        return TransactionResult::Refused;
    }
    if (!FrameCodec::ChecksumByLength(reply))
        return TransactionResult::BadChecksum;
    if (reply.size() != 9)
        return TransactionResult::NoAnswer;
    return static_cast<quint8>(reply[6]);
}

// Text answers (version, IMEI, clock): the data bytes of a checked frame.
QString ReadTextReply(DtuSession &session, quint16 requestWord)
{
    const QByteArray reply = session.exchange.Transact(requestWord, {}, CommandExchange::kDataTimeoutMs);
    if (reply.isEmpty() || !FrameCodec::HasHeader(reply) || !FrameCodec::ChecksumByLength(reply))
        return {};
    const int dataLength = FrameCodec::LengthField(reply) - 4;
    if (dataLength <= 0)
        return {};
    QByteArray data = reply.mid(6, dataLength);
    // Devices pad their texts with zero bytes; the text ends at the first.
    const qsizetype zero = data.indexOf('\0');
    if (zero >= 0)
        data.truncate(zero);
    return TextFile::FromGbk(data);
}

} // namespace

int SelectParamChannel(DtuSession &session, int channel)
{
    AppState &state = session.state;
    if (!state.ExtPageVisible)
        return 0;
    if (channel == state.CurrentParamChannel)
        return 0;
    // Remembered before sending, and also when nothing can be sent.
    state.CurrentParamChannel = channel;
    if (!session.channel.ChannelIsOpen())
        return 0;
    // Until the device confirms, the table it serves is not known: a read or
    // write must not take it for the new one, and the next selection must
    // go out again.
    int result = TransactionResult::NoAnswer;
    try {
        result = session.exchange.SetTypeExchange(kSelectChannelWord,
                                                  QByteArray(1, static_cast<char>(channel & 0xFF)));
    } catch (...) {
        state.CurrentParamChannel = -1;
        throw;
    }
    if (result != TransactionResult::Accepted)
        state.CurrentParamChannel = -1;
    return result;
}

int MainPageChannel(const AppState &state)
{
    return state.MainTableActive() || state.ExtTableActive() ? state.CurrentParamChannel : state.MainParamChannel;
}

bool SelectTableFor(DtuSession &session, int channel, const QString &operationWord)
{
    if (SelectParamChannel(session, channel) == TransactionResult::Accepted)
        return true;
    ResultWording::Post(session.frontend(), ResultWording::Text(operationWord, ResultWording::Family::Ack,
                                                                ResultWording::kTableNotSwitched));
    return false;
}

int QueryStatus(DtuSession &session)
{
    return ReadByteReply(session, ScriptWord(session, "CMD_GETSTATUS"), kStatusReplyWord,
                         CommandExchange::kDataTimeoutMs, QCoreApplication::translate("DeviceCommands", "状态读取"));
}

int QuerySignal(DtuSession &session)
{
    return ReadByteReply(session, kSignalWord, kSignalWord, CommandExchange::kSignalTimeoutMs,
                         QCoreApplication::translate("DeviceCommands", "信号读取"));
}

QString QueryVersion(DtuSession &session)
{
    return ReadTextReply(session, ScriptWord(session, "CMD_GETDTUVER"));
}

QString QueryImei(DtuSession &session)
{
    return ReadTextReply(session, kImeiWord);
}

QString ReadClock(DtuSession &session)
{
    return ReadTextReply(session, kReadClockWord);
}

int SetClock(DtuSession &session, const QDateTime &localNow)
{
    const QDate d = localNow.date();
    const QTime t = localNow.time();
    const QString text = QString::asprintf("%.4d-%.2d-%.2d %.2d:%.2d:%.2d", d.year(), d.month(), d.day(),
                                           t.hour(), t.minute(), t.second());
    // The line goes out first, so it is there even when the device is silent.
    session.frontend().AppendControlMemo(QCoreApplication::translate("DeviceCommands", "设置设备时钟=") + text);
    return session.exchange.SetTypeExchange(kSetClockWord, text.toLatin1());
}

int Reset(DtuSession &session)
{
    return session.exchange.SetTypeExchange(ScriptWord(session, "CMD_RESET"), {});
}

int RestoreDefaults(DtuSession &session)
{
    return session.exchange.SetTypeExchange(ScriptWord(session, "CMD_SETDEFAULT"), {});
}

} // namespace DeviceCommands
