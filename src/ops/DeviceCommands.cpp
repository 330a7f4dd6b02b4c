#include "ops/DeviceCommands.h"

#include "session/DtuSession.h"
#include "core/Frontend.h"
#include "core/TextFile.h"
#include "protocol/CommandExchange.h"
#include "protocol/FrameCodec.h"
#include "protocol/Hex.h"
#include "ops/Wording.h"
#include "protocol/ResultWording.h"
#include "protocol/TransactionResult.h"

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
CommandOutcome ReadByteReply(DtuSession &session, quint16 requestWord, quint16 replyWord, int timeoutMs,
                             const QString &operationWord)
{
    const QByteArray reply = session.exchange.Transact(requestWord, {}, timeoutMs);
    if (reply.isEmpty())
        return {.result = TransactionResult::NoAnswer};
    if (!FrameCodec::HasHeader(reply))
        return {.result = TransactionResult::NotAFrame};
    // A reply too short to hold a word cannot carry the expected one.
    if (reply.size() < 6 || WordAt(reply, 4) != replyWord) {
        ResultWording::Post(session.frontend(), ResultWording::Text(operationWord, ResultWording::Family::DataReply,
                                                                    TransactionResult::WrongCommandWord));
        return {.result = TransactionResult::WrongCommandWord};
    }
    if (!FrameCodec::ChecksumByLength(reply))
        return {.result = TransactionResult::BadChecksum};
    if (reply.size() != 9)
        return {.result = TransactionResult::NoAnswer};
    return {.value = static_cast<quint8>(reply[6])};
}

// Text answers (version, IMEI, clock): the data bytes of a checked frame.
CommandOutcome ReadTextReply(DtuSession &session, quint16 requestWord)
{
    CommandOutcome outcome;
    const QByteArray reply = session.exchange.Transact(requestWord, {}, CommandExchange::kDataTimeoutMs);
    if (reply.isEmpty())
        outcome.result = TransactionResult::NoAnswer;
    else if (!FrameCodec::HasHeader(reply))
        outcome.result = TransactionResult::NotAFrame;
    else if (!FrameCodec::ChecksumByLength(reply))
        outcome.result = TransactionResult::BadChecksum;
    if (outcome.result != TransactionResult::Accepted)
        return outcome;
    const int dataLength = FrameCodec::LengthField(reply) - 4;
    QByteArray data = dataLength > 0 ? reply.mid(6, dataLength) : QByteArray();
    // Devices pad their texts with zero bytes; the text ends at the first.
    const qsizetype zero = data.indexOf('\0');
    if (zero >= 0)
        data.truncate(zero);
    outcome.text = TextFile::FromGbk(data);
    // An answer without a text answers nothing.
    if (outcome.text.isEmpty())
        outcome.result = TransactionResult::NoAnswer;
    return outcome;
}

CommandOutcome SetTypeCommand(DtuSession &session, quint16 word, const QByteArray &data)
{
    return {.result = session.exchange.SetTypeExchange(word, data)};
}

} // namespace

int SelectParamChannel(DtuSession &session, int channel, bool *silent)
{
    AppState &state = session.state;
    if (!state.ExtPageVisible || channel == state.CurrentParamChannel)
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
        const QByteArray reply = session.exchange.Transact(
            kSelectChannelWord, QByteArray(1, static_cast<char>(channel & 0xFF)), CommandExchange::kAckTimeoutMs);
        if (silent)
            *silent = reply.isEmpty();
        result = CommandExchange::JudgeAck(reply);
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

int SelectTableFor(DtuSession &session, int channel, const QString &operationWord)
{
    bool silent = false;
    if (SelectParamChannel(session, channel, &silent) == TransactionResult::Accepted)
        return TransactionResult::Accepted;
    // Silence is silence, whichever command met it; a device that answered
    // and did not confirm kept its table.
    const int result = silent ? TransactionResult::NoAnswer : TransactionResult::TableNotSwitched;
    ResultWording::Post(session.frontend(),
                        ResultWording::Text(operationWord, ResultWording::Family::Ack, result));
    return result;
}

CommandOutcome QueryStatus(DtuSession &session)
{
    return ReadByteReply(session, ScriptWord(session, "CMD_GETSTATUS"), kStatusReplyWord,
                         CommandExchange::kDataTimeoutMs, Wording::StatusWord());
}

CommandOutcome QuerySignal(DtuSession &session)
{
    return ReadByteReply(session, kSignalWord, kSignalWord, CommandExchange::kSignalTimeoutMs, Wording::SignalWord());
}

CommandOutcome QueryVersion(DtuSession &session)
{
    return ReadTextReply(session, ScriptWord(session, "CMD_GETDTUVER"));
}

CommandOutcome QueryImei(DtuSession &session)
{
    return ReadTextReply(session, kImeiWord);
}

CommandOutcome ReadClock(DtuSession &session)
{
    return ReadTextReply(session, kReadClockWord);
}

CommandOutcome SetClock(DtuSession &session, const QDateTime &localNow)
{
    const QString text = localNow.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    // The line goes out first, so it is there even when the device is silent.
    session.frontend().AppendControlMemo(Wording::SetClockLine(text));
    return SetTypeCommand(session, kSetClockWord, text.toLatin1());
}

CommandOutcome Reset(DtuSession &session)
{
    return SetTypeCommand(session, ScriptWord(session, "CMD_RESET"), {});
}

CommandOutcome RestoreDefaults(DtuSession &session)
{
    return SetTypeCommand(session, ScriptWord(session, "CMD_SETDEFAULT"), {});
}

} // namespace DeviceCommands
