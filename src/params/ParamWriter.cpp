#include "params/ParamWriter.h"

#include "app/DtuSession.h"
#include "app/Frontend.h"
#include "params/ParamTableModel.h"
#include "protocol/Hex.h"
#include "protocol/ResultWording.h"
#include "protocol/TransactionResult.h"

namespace ParamWriter {
namespace {

const QString kWord = QStringLiteral("参数设置");
// A reply that is not a frame at all: the device rejected what was typed.
const QString kNotAFrameText = QStringLiteral("[参数设置失败，输入了非法内容！]");

void WriteListedRows(DtuSession &session, ParamTableModel &table)
{
    const ModifiedList &list = session.state.ModifiedParamList;
    const int count = table.Count();
    for (int i = 0; i < count; ++i) {
        // Cell() is empty past the end, should the table shrink during a wait.
        const QString number = table.Cell(i, ColNumber);
        if (number.isEmpty() || !list.Contains(number))
            continue;
        table.SetCurrentRow(i);
        WriteCurrentRow(session, table);
    }
}

} // namespace

void WriteModified(DtuSession &session)
{
    if (!session.RequireChannel())
        return; // the list survives for the next attempt
    AppState &state = session.state;
    if (state.MainTableActive())
        WriteListedRows(session, session.mainTable);
    if (state.ExtTableActive())
        WriteListedRows(session, session.extTable);
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
    if (session.state.AccessLevel < 2 && number == QLatin1String("0091"))
        return;
    if (number.isEmpty())
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
    frontend.SetResultPanel(kSettingText);

    const quint16 word = static_cast<quint16>(HexToInt(number) & 0xFFFF);
    const QString value = table.Cell(row, ColValue);
    frontend.AppendMemo(QStringLiteral("设置参数：") + table.Cell(row, ColName) + QLatin1Char('=')
                        + (value.isEmpty() ? QStringLiteral("(空)") : value));
    const QByteArray bytes = HexToBytes(table.Cell(row, ColHex).mid(4));

    const int result = session.exchange.SetTypeExchange(word, bytes);
    if (result == TransactionResult::NotAFrame)
        ResultWording::Post(frontend, kNotAFrameText);
    else
        ResultWording::PostResult(frontend, kWord, ResultWording::Family::Ack, result);
    return result;
}

} // namespace ParamWriter
