#include "ops/ParamWriter.h"

#include "core/Frontend.h"
#include "ops/DeviceCommands.h"
#include "ops/Wording.h"
#include "ops/WriteLoop.h"
#include "params/ParamTableModel.h"
#include "protocol/Hex.h"
#include "protocol/ResultWording.h"
#include "session/DtuSession.h"

namespace ParamWriter {
namespace {

// The tables the user's edits go to when the device serves `channel`: the
// main one on the main channel, the extended one on 0 (both when a main
// channel of 0 makes both active).
QList<ParamTableModel *> TablesServedBy(DtuSession &session, int channel)
{
    QList<ParamTableModel *> tables;
    if (channel == session.state.MainParamChannel)
        tables << &session.mainTable;
    if (channel == 0)
        tables << &session.extTable;
    return tables;
}

// The rows of each table listed in ModifiedParamList (the page's edits); the
// device is put on `channel` before the first.
QList<WriteLoop::Part> Parts(DtuSession &session, const QList<ParamTableModel *> &tables, int channel)
{
    QList<WriteLoop::Part> parts;
    for (ParamTableModel *table : tables) {
        QList<int> rows = WriteLoop::NumberedRows(*table);
        rows.removeIf([&](int i) { return !session.state.ModifiedParamList.Contains(table->Cell(i, ColNumber)); });
        parts.append({table, rows, channel});
        channel = WriteLoop::kNoSelection;
    }
    return parts;
}

} // namespace

WriteReport WritePage(DtuSession &session, Page page)
{
    // With nothing to write nothing is sent, not even a selection.
    if (session.state.ModifiedParamList.IsEmpty())
        return WriteModified(session);
    const int channel = page == Page::Extended ? DeviceCommands::kExtendedPageChannel
                                               : DeviceCommands::MainPageChannel(session.state);
    return WriteLoop::Run(session, Parts(session, TablesServedBy(session, channel), channel));
}

WriteReport WriteModified(DtuSession &session)
{
    const QList<ParamTableModel *> tables = TablesServedBy(session, session.state.CurrentParamChannel);
    if (tables.isEmpty() && session.channel.ChannelIsOpen()) {
        // The device serves no table the edits belong to; they wait for one.
        WriteReport report;
        report.tableNotSwitched = true;
        report.notReached = session.state.ModifiedParamList.Items();
        if (!report.notReached.isEmpty())
            ResultWording::Post(session.frontend(), ResultWording::Text(Wording::WriteWord(), ResultWording::Family::Ack,
                                                                        TransactionResult::TableNotSwitched));
        return report;
    }
    return WriteLoop::Run(session, Parts(session, tables, WriteLoop::kNoSelection));
}

RowResult SetParameter(DtuSession &session, ParamTableModel &table, const QString &number)
{
    RowResult result;
    result.number = number;
    // Among rows sharing a number, the first one after the first row is sent.
    const int row = table.FindByNumberFromSecond(number);
    if (row < 0)
        return result; // nothing to send for an unknown number
    result.name = table.Cell(row, ColName);
    Frontend &frontend = session.frontend();
    frontend.SetResultPanel(Wording::SettingText());
    frontend.AppendMemo(Wording::RowLine(result.name, table.Cell(row, ColValue)));

    const quint16 word = static_cast<quint16>(HexToInt(number) & 0xFFFF);
    const QByteArray bytes = HexToBytes(table.Cell(row, ColHex).mid(4));
    result.bytesSent = bytes.size();
    result.result = session.exchange.SetTypeExchange(word, bytes);
    const QString text = Wording::RowResultText(result.result);
    if (text.isEmpty())
        frontend.RepeatResult(Frontend::Memo::Traffic); // a corrupt reply leaves the panel as it was
    else
        ResultWording::Post(frontend, text);
    return result;
}

} // namespace ParamWriter
