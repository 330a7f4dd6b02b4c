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

// The listed rows of each table; the device is put on `channel` before the first.
QList<WriteLoop::Part> Parts(DtuSession &session, const QList<ParamTableModel *> &tables, int channel)
{
    QList<WriteLoop::Part> parts;
    for (ParamTableModel *table : tables) {
        parts.append({table, WriteLoop::ListedRows(session, *table), channel});
        channel = WriteLoop::kNoSelection;
    }
    return parts;
}

WriteReport WritePage(DtuSession &session, int channel)
{
    // With nothing to write nothing is sent, not even a selection.
    if (session.state.ModifiedParamList.IsEmpty())
        return WriteModified(session);
    return WriteLoop::Run(session, Parts(session, TablesServedBy(session, channel), channel));
}

} // namespace

WriteReport WriteMainPage(DtuSession &session)
{
    return WritePage(session, DeviceCommands::MainPageChannel(session.state));
}

WriteReport WriteExtendedPage(DtuSession &session)
{
    return WritePage(session, DeviceCommands::kExtendedPageChannel);
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
            ResultWording::Post(session.frontend(), Wording::TableNotSwitched(Wording::WriteWord()));
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

int SetParameter(DtuSession &session, const QString &number)
{
    ParamTableModel *table = session.ActiveTable();
    if (!table)
        return TransactionResult::NoAnswer;
    return SetParameter(session, *table, number).result;
}

} // namespace ParamWriter
