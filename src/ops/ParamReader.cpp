#include "ops/ParamReader.h"

#include "core/DtuError.h"
#include "session/DtuSession.h"
#include "core/Frontend.h"
#include "params/ChoiceList.h"
#include "params/ParamTableModel.h"
#include "params/ValueCodec.h"
#include "ops/DeviceCommands.h"
#include "protocol/FrameCodec.h"
#include "protocol/Hex.h"
#include "ops/Wording.h"
#include "protocol/ResultWording.h"
#include "protocol/TransactionResult.h"

namespace ParamReader {
namespace {

int PostFailure(DtuSession &session, int result)
{
    ResultWording::Post(session.frontend(),
                        ResultWording::Text(Wording::ReadWord(), ResultWording::Family::DataReply, result));
    return result;
}

// Walks the records; an error while applying one (a malformed choice list)
// ends the walk, and the records applied before it keep their values. The
// numbers of the records walked.
QStringList ParseRecords(DtuSession &session, ParamTableModel &table, const QByteArray &area)
{
    QStringList numbers;
    qsizetype pos = 0;
    try {
        while (area.size() - pos >= 4) {
            const int n = WordAt(area, pos);
            const quint16 number = WordAt(area, pos + 2);
            const QByteArray value = n > 2 ? area.mid(pos + 4, n - 2) : QByteArray();
            numbers << WordToHex(number);
            ApplyParamValue(session, table, number, value);
            pos += 2 + n;
        }
    } catch (const DtuError &) {
    }
    return numbers;
}

// The numbers of `idList` (two bytes each) that `reported` holds.
QStringList Asked(const QByteArray &idList, const QStringList &reported)
{
    QStringList asked;
    for (qsizetype i = 0; i + 1 < idList.size(); i += 2) {
        const QString number = WordToHex(WordAt(idList, i));
        if (reported.contains(number, Qt::CaseInsensitive))
            asked << number;
    }
    return asked;
}

// A read whose table the device did not switch to stops before asking: the
// records would come from whichever table the device is on. A device silent
// to the selection stops it as well, as a device that does not answer.
ReadOutcome ReadOnChannel(DtuSession &session, int channel)
{
    if (!session.RequireChannel())
        return {.channelOpen = false};
    if (const int selected = DeviceCommands::SelectTableFor(session, channel, Wording::ReadWord());
        selected != TransactionResult::Accepted)
        return {.result = selected};
    return ReadAllParameters(session);
}

} // namespace

int ReadParamGroup(DtuSession &session, ParamTableModel &table, const QByteArray &idList, QStringList *reported)
{
    // Script errors here propagate: the read ends before anything is sent.
    const QString replyText = session.script.Eval(QStringLiteral("GetCmd(\"CMD_REPLYCONFIG\");"));
    const quint16 replyWord = static_cast<quint16>(HexToInt(replyText.left(4)) & 0xFFFF);
    const quint16 requestWord
        = ScriptCommandWord(session.script.Eval(QStringLiteral("GetCmd(\"CMD_GETPARAM\");")));

    const QByteArray reply
        = session.exchange.Transact(requestWord, idList, CommandExchange::kParamReadTimeoutMs);
    if (reply.isEmpty())
        return PostFailure(session, TransactionResult::NoAnswer);
    const QByteArray frame = FrameCodec::Locate(reply);
    if (!FrameCodec::HasHeader(frame))
        return PostFailure(session, TransactionResult::NotAFrame);
    // Only the high byte of the reply word is compared.
    if (frame.size() < 5 || static_cast<quint8>(frame[4]) != (replyWord >> 8))
        return PostFailure(session, TransactionResult::WrongCommandWord);
    // The checksum is taken over everything received: trailing bytes fail.
    if (!FrameCodec::ChecksumBySize(frame))
        return PostFailure(session, TransactionResult::BadChecksum);

    const QStringList walked
        = ParseRecords(session, table, RecordArea(frame, static_cast<int>(session.exchange.CommandPrefix().size())));
    // A reply that names none of the rows asked for reported nothing: each
    // row would keep the profile's value as if it were the device's.
    const QStringList found = Asked(idList, walked);
    table.MarkReported(found);
    if (reported)
        *reported = found;
    if (found.isEmpty() && !idList.isEmpty())
        return PostFailure(session, TransactionResult::NothingReported);
    session.frontend().AppendMemo(Wording::ReadDoneText());
    return TransactionResult::Accepted;
}

QByteArray RecordArea(const QByteArray &frame, int prefixLength)
{
    const qsizetype start = 6 + prefixLength;
    // A length field larger than what arrived gives a shorter area; the
    // last two bytes are the checksum just verified and carry no record.
    const qsizetype length
        = qMin<qsizetype>(FrameCodec::LengthField(frame) - 4 - prefixLength, frame.size() - 2 - start);
    return length > 0 ? frame.mid(start, length) : QByteArray();
}

ReadOutcome ReadPage(DtuSession &session, Page page)
{
    return ReadOnChannel(session, page == Page::Extended ? DeviceCommands::kExtendedPageChannel
                                                         : DeviceCommands::MainPageChannel(session.state));
}

ReadOutcome ReadWholeDevice(DtuSession &session)
{
    // One failure line is enough: the extended table is not asked for then,
    // unless the device answered and only reported none of the main table,
    // which says nothing about the other. A stop between the two ends it.
    ReadOutcome outcome = ReadOnChannel(session, session.state.MainParamChannel);
    const bool goOn = outcome.Ok() || outcome.result == TransactionResult::NothingReported;
    if (!goOn || !session.state.ExtPageVisible)
        return outcome;
    if (session.state.StopRequested) {
        outcome.stopped = true;
        return outcome;
    }
    const ReadOutcome ext = ReadOnChannel(session, DeviceCommands::kExtendedPageChannel);
    outcome.channelOpen = ext.channelOpen;
    if (outcome.result == TransactionResult::Accepted)
        outcome.result = ext.result;
    outcome.tablesRead += ext.tablesRead;
    outcome.reportedExt = ext.reportedExt;
    return outcome;
}

ReadOutcome ReadAllParameters(DtuSession &session)
{
    AppState &state = session.state;
    Frontend &frontend = session.frontend();
    frontend.HideEditors();
    frontend.SetResultPanel(Wording::ReadingText());
    // Each group's records go to the table whose numbers were asked for, also
    // when a main channel of 0 makes both groups run.
    ReadOutcome outcome;
    const auto group = [&](ParamTableModel &table, const QByteArray &idList) {
        QStringList &reported = &table == &session.extTable ? outcome.reportedExt : outcome.reportedMain;
        const int result = ReadParamGroup(session, table, idList, &reported);
        if (result == TransactionResult::Accepted)
            ++outcome.tablesRead;
        else if (outcome.result == TransactionResult::Accepted)
            outcome.result = result;
    };
    if (state.MainTableActive())
        group(session.mainTable, state.MainParamIdList);
    if (state.ExtPageVisible && state.CurrentParamChannel == 0)
        group(session.extTable, state.ExtParamIdList);
    // After a login the panel keeps the last outcome (a failure stays visible).
    if (!state.LoginFlag)
        frontend.SetResultPanel(Wording::ReadDoneText());
    return outcome;
}

void ApplyParamValue(DtuSession &session, ParamTableModel &table, quint16 number, const QByteArray &value)
{
    const int row = table.FindByNumber(WordToHex(number));
    if (row < 0)
        return;
    const QString hex = BytesToHex(value);
    table.SetCell(row, ColHex, kHexPrefix + hex);
    const QString onList = table.Cell(row, ColOnList);
    session.script.SetGlobal(QStringLiteral("hexinput"), hex);

    if (ChoiceList::LooksLikeList(onList)) {
        // A malformed list throws and ends the parsing of the reply.
        const ChoiceList list = ChoiceList::Parse(onList);
        const int match = list.LastMatch(kHexPrefix + hex);
        if (match >= 0)
            table.SetCell(row, ColValue, list.labels[match]);
        return;
    }
    try {
        table.SetCell(row, ColValue, ValueCodec::Decode(session.script, table.Cell(row, ColOnGet), hex));
    } catch (const DtuError &) {
        // The value cell keeps its text; the next record is still applied.
    }
}

} // namespace ParamReader
