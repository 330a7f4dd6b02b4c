#include "ops/ParamWriter.h"

#include "session/DtuSession.h"
#include "core/Frontend.h"
#include "core/WriteRules.h"
#include "params/ParamTableModel.h"
#include "ops/DeviceCommands.h"
#include "ops/WriteRun.h"
#include "protocol/Hex.h"
#include "protocol/ResultWording.h"
#include "protocol/TransactionResult.h"

#include <optional>

#include <QCoreApplication>

namespace ParamWriter {
namespace {

// A reply that is not a frame at all: the device rejected what was typed.
QString NotAFrameText() { return QCoreApplication::translate("ParamWriter", "[参数设置失败，输入了非法内容！]"); }

// Writes the listed rows of one table in table order. Returns the row at
// which the run stopped because the channel had closed, the window is
// closing or the user asked to stop, or -1 when every listed row was tried.
// Without a run of its own (one row of a batch) it reports no progress.
int WriteListedRows(DtuSession &session, ParamTableModel &table, WriteRun *run)
{
    const ModifiedList &list = session.state.ModifiedParamList;
    const int count = table.Count();
    for (int i = 0; i < count; ++i) {
        // Cell() is empty past the end, should the table shrink during a wait.
        const QString number = table.Cell(i, ColNumber);
        if (number.isEmpty() || !list.Contains(number))
            continue;
        // Each row would wait out its whole reply time-out for nothing.
        if (!session.channel.ChannelIsOpen() || session.state.ClosingFlag)
            return i;
        if (run && WillBeWritten(session, number) && !run->BeginRow(table.Cell(i, ColName), number))
            return i;
        table.SetCurrentRow(i);
        WriteCurrentRow(session, table);
    }
    return -1;
}

// The listed rows a stopped run did not reach: from row `first` of the first
// table on. They become the whole list, as a finished run would have emptied it.
int KeepUnreached(DtuSession &session, const QList<ParamTableModel *> &tables, int first)
{
    ModifiedList &list = session.state.ModifiedParamList;
    ModifiedList unreached;
    for (ParamTableModel *table : tables) {
        for (int i = first; i < table->Count(); ++i) {
            const QString number = table->Cell(i, ColNumber);
            if (!number.isEmpty() && list.Contains(number))
                unreached.Add(number);
        }
        first = 0;
    }
    list = unreached;
    session.state.NotifyModifiedChanged();
    return list.Count();
}

void WritePage(DtuSession &session, int channel)
{
    if (!session.RequireChannel())
        return;
    // With nothing to write nothing is sent, not even a selection.
    if (!session.state.ModifiedParamList.IsEmpty()
        && !DeviceCommands::SelectTableFor(session, channel, WriteWord()))
        return; // the edits stay listed for the next attempt
    WriteModified(session);
}

int CountToWrite(const DtuSession &session, const QList<ParamTableModel *> &tables)
{
    int count = 0;
    for (const ParamTableModel *table : tables) {
        for (int i = 0; i < table->Count(); ++i) {
            const QString number = table->Cell(i, ColNumber);
            if (session.state.ModifiedParamList.Contains(number) && WillBeWritten(session, number))
                ++count;
        }
    }
    return count;
}

} // namespace

QString ChannelLostText(int unwritten)
{
    return QCoreApplication::translate("ParamWriter", "[参数设置失败，数据通道已关闭，%1个参数未写入！]")
        .arg(unwritten);
}

QString StoppedText(int written, int unwritten)
{
    return QCoreApplication::translate("ParamWriter", "[参数设置已停止，已写入%1个参数，%2个参数未写入！]")
        .arg(written)
        .arg(unwritten);
}

void PostEndOfStoppedRun(DtuSession &session, int written, int unwritten)
{
    if (session.state.ClosingFlag)
        return; // nobody is left to read it
    ResultWording::Post(session.frontend(), session.channel.ChannelIsOpen() ? StoppedText(written, unwritten)
                                                                            : ChannelLostText(unwritten));
}

void WriteMainPage(DtuSession &session)
{
    WritePage(session, DeviceCommands::MainPageChannel(session.state));
}

void WriteExtendedPage(DtuSession &session)
{
    WritePage(session, DeviceCommands::kExtendedPageChannel);
}

void WriteModified(DtuSession &session, bool rowOfLongerRun)
{
    if (!session.RequireChannel())
        return; // the list survives for the next attempt
    AppState &state = session.state;
    Frontend &frontend = session.frontend();
    QList<ParamTableModel *> tables;
    if (state.MainTableActive())
        tables << &session.mainTable;
    if (state.ExtTableActive())
        tables << &session.extTable;
    if (tables.isEmpty()) {
        // The device serves no table the edits belong to; they wait for one.
        if (!state.ModifiedParamList.IsEmpty())
            ResultWording::Post(frontend, ResultWording::Text(WriteWord(), ResultWording::Family::Ack,
                                                              ResultWording::kTableNotSwitched));
        return;
    }
    std::optional<WriteRun> run;
    if (!rowOfLongerRun)
        run.emplace(session, CountToWrite(session, tables));
    for (qsizetype t = 0; t < tables.size(); ++t) {
        const int stop = WriteListedRows(session, *tables[t], run ? &*run : nullptr);
        if (stop < 0)
            continue;
        const int unwritten = KeepUnreached(session, tables.mid(t), stop);
        PostEndOfStoppedRun(session, run ? run->Done() : 0, unwritten);
        return;
    }
    state.ModifiedParamList.Clear();
    state.NotifyModifiedChanged();
}

void WriteCurrentRow(DtuSession &session)
{
    if (ParamTableModel *table = session.ActiveTable())
        WriteCurrentRow(session, *table);
}

void WriteCurrentRow(DtuSession &session, ParamTableModel &table)
{
    const int row = table.CurrentRow();
    if (row < 0 || row >= table.Count())
        return;
    const QString number = table.Cell(row, ColNumber);
    if (!WriteRules::MayWrite(session.state.AccessLevel, number))
        return;
    if (SetParameter(session, table, number) == TransactionResult::NotAFrame)
        session.frontend().ClearEditors();
}

int SetParameter(DtuSession &session, const QString &number)
{
    ParamTableModel *table = session.ActiveTable();
    if (!table)
        return TransactionResult::NoAnswer;
    return SetParameter(session, *table, number);
}

int SetParameter(DtuSession &session, ParamTableModel &table, const QString &number)
{
    // Among rows sharing a number, the first one after the first row is sent.
    const int row = table.FindByNumberFromSecond(number);
    if (row < 0)
        return TransactionResult::NoAnswer; // nothing to send for an unknown number
    Frontend &frontend = session.frontend();
    frontend.SetResultPanel(SettingText());

    const quint16 word = static_cast<quint16>(HexToInt(number) & 0xFFFF);
    const QString value = table.Cell(row, ColValue);
    frontend.AppendMemo(QCoreApplication::translate("ParamWriter", "设置参数：") + table.Cell(row, ColName)
                        + QLatin1Char('=')
                        + (value.isEmpty() ? QCoreApplication::translate("ParamWriter", "(空)") : value));
    const QByteArray bytes = HexToBytes(table.Cell(row, ColHex).mid(4));

    const int result = session.exchange.SetTypeExchange(word, bytes);
    if (result == TransactionResult::NotAFrame)
        ResultWording::Post(frontend, NotAFrameText());
    else
        ResultWording::PostResult(frontend, WriteWord(), ResultWording::Family::Ack, result);
    return result;
}

} // namespace ParamWriter
