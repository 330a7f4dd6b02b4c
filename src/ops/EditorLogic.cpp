#include "ops/EditorLogic.h"

#include "core/DtuError.h"
#include "core/WriteRules.h"
#include "session/DtuSession.h"
#include "params/ChoiceList.h"
#include "params/ParamTableModel.h"
#include "params/ValueCodec.h"
#include "ops/ParamReader.h"
#include "protocol/Hex.h"

#include <algorithm>
#include <optional>

namespace EditorLogic {
namespace {

bool Locked(const DtuSession &session, const QString &number)
{
    return !WriteRules::MayWrite(session.state.AccessLevel, number);
}

// Row `row` of the table when the user may edit it, marked as modified.
bool StartEdit(DtuSession &session, const ParamTableModel &table, int row)
{
    if (row < 0 || row >= table.Count() || Locked(session, table.Cell(row, ColNumber)))
        return false;
    session.state.ModifiedParamList.Add(table.Cell(row, ColNumber));
    session.state.NotifyModifiedChanged();
    return true;
}

// Length and Mask from a script ONLIST; without one the defaults stay (199
// characters, any of them). A script error leaves that limit unset.
void ApplyEditLimits(DtuSession &session, const QString &onList, EditorPlan &plan)
{
    if (onList.isEmpty())
        return;
    const auto eval = [&session](const QString &text) {
        try {
            return session.script.Eval(text);
        } catch (const DtuError &) {
            return QString();
        }
    };
    eval(onList);
    plan.maxLength = 0;
    if (onList.contains(QLatin1String("Length"))) {
        bool ok = false;
        const QString text = eval(QStringLiteral("Length"));
        const int length = text.toInt(&ok);
        plan.maxLength = qMax(0, ok ? length : static_cast<int>(text.toDouble()));
    }
    if (onList.contains(QLatin1String("Mask")))
        plan.charFilter = eval(QStringLiteral("Mask"));
}

} // namespace

bool IsControl(QChar ch)
{
    return ch.unicode() < 0x20 || ch.unicode() == 0x7F;
}

EditorPlan Plan(DtuSession &session, int index)
{
    const ParamTableModel *table = session.ActiveTable();
    return table ? Plan(session, *table, index) : EditorPlan();
}

EditorPlan Plan(DtuSession &session, const ParamTableModel &table, int index)
{
    EditorPlan plan;
    if (index < 0 || index >= table.Count())
        return plan;
    const ParamRow &row = table.Row(index);
    if (Locked(session, row.Number())) // a heading, or a row the level withholds: no editor
        return plan;

    const QString hexCell = row.cells[ColHex];
    const QString hexDigits = row.HexDigits();
    const QString onList = row.cells[ColOnList];
    const QString onGet = row.cells[ColOnGet];
    session.script.SetGlobal(QStringLiteral("hexinput"), hexDigits);

    if (ChoiceList::LooksLikeList(onList)) {
        try {
            const ChoiceList list = ChoiceList::Parse(onList);
            plan.kind = EditorPlan::Kind::Choice;
            plan.items = list.labels;
            plan.selected = list.LastMatch(hexCell);
            plan.choiceText = ValueCodec::Decode(session.script, onGet, hexDigits);
            return plan;
        } catch (const DtuError &e) {
            plan = EditorPlan();
            plan.listError = e.text();
        }
    }

    plan.kind = EditorPlan::Kind::Edit;
    ApplyEditLimits(session, onList, plan);
    if (row.HasValue()) {
        try {
            plan.editText = ValueCodec::Decode(session.script, onGet, hexDigits);
        } catch (const DtuError &) {
        }
    }
    return plan;
}

EditResult CheckText(DtuSession &session, const ParamTableModel &table, int row, const QString &text, QString *hex,
                     Limits limits)
{
    EditResult result;
    result.text = text;
    if (row < 0 || row >= table.Count()) {
        result.kind = EditResult::Kind::NoSuchRow;
        return result;
    }
    result.number = table.Cell(row, ColNumber);
    result.name = table.Cell(row, ColName);
    if (Locked(session, result.number)) {
        result.kind = EditResult::Kind::Locked;
        return result;
    }
    const EditorPlan plan = Plan(session, table, row);
    if (plan.kind != EditorPlan::Kind::Edit) {
        result.kind = EditResult::Kind::NotEditable;
        return result;
    }
    if (limits == Limits::Checked) {
        if (const auto control = std::find_if(text.begin(), text.end(), IsControl); control != text.end()) {
            result.kind = EditResult::Kind::ControlCharacter;
            result.control = control->unicode();
            return result;
        }
        if (plan.maxLength > 0 && text.size() > plan.maxLength) {
            result.kind = EditResult::Kind::TooLong;
            result.maxLength = plan.maxLength;
            return result;
        }
        const auto allowed = [&plan](QChar ch) { return plan.charFilter.contains(ch); };
        if (!plan.charFilter.isEmpty() && !std::all_of(text.begin(), text.end(), allowed)) {
            result.kind = EditResult::Kind::BadCharacter;
            result.allowed = plan.charFilter;
            return result;
        }
    }
    const ValueCodec::Encoded encoded = ValueCodec::Encode(session.script, table.Cell(row, ColOnSet), text);
    if (!encoded.Ok()) {
        result.kind = EditResult::Kind::CannotHold;
        result.problem = encoded.problem;
        result.detail = encoded.detail;
        return result;
    }
    if (hex)
        *hex = encoded.hex;
    return result;
}

RowSnapshot Snapshot(const DtuSession &session, const ParamTableModel &table, int row)
{
    if (row < 0 || row >= table.Count())
        return {};
    return {table.Cell(row, ColHex), table.Cell(row, ColValue),
            session.state.ModifiedParamList.Contains(table.Cell(row, ColNumber))};
}

void Restore(DtuSession &session, ParamTableModel &table, int row, const RowSnapshot &snapshot)
{
    if (row < 0 || row >= table.Count())
        return;
    table.SetCell(row, ColHex, snapshot.hex);
    table.SetCell(row, ColValue, snapshot.value);
    const QString number = table.Cell(row, ColNumber);
    ModifiedList &list = session.state.ModifiedParamList;
    if (snapshot.listed != list.Contains(number)) {
        if (snapshot.listed)
            list.Add(number);
        else
            list.Remove(number);
        session.state.NotifyModifiedChanged();
    }
}

namespace {

EditResult ConvertTyped(DtuSession &session, ParamTableModel &table, int row, const QString &text)
{
    QString hex;
    // The edit box keeps typing within Length and Mask itself, and a longer
    // value the device gave may still be shortened there.
    const EditResult result = CheckText(session, table, row, text, &hex, Limits::Typed);
    if (!result.Applied())
        return result;
    StartEdit(session, table, row);
    table.SetCell(row, ColHex, kHexPrefix + hex);
    table.SetCell(row, ColValue, text);
    return result;
}

void ApplyChoice(DtuSession &session, ParamTableModel &table, int row, const QString &label)
{
    if (!StartEdit(session, table, row))
        return;
    try {
        const ChoiceList list = ChoiceList::Parse(table.Cell(row, ColOnList));
        for (int i = 0; i < list.labels.size() && i < list.values.size(); ++i) {
            if (list.labels[i] == label) {
                table.SetCell(row, ColHex, kHexPrefix + list.values[i]);
                table.SetCell(row, ColValue, label);
            }
        }
    } catch (const DtuError &) {
        // Only a parsed list shows the choice box; nothing to do otherwise.
    }
}


// The digits of a "HEX:" value, upper case; nothing for a plain text.
std::optional<QString> RawDigits(const QString &text)
{
    if (!text.startsWith(kHexPrefix, Qt::CaseInsensitive))
        return std::nullopt;
    return text.mid(kHexPrefix.size()).toUpper();
}

// What ApplyText would say, without changing anything.
EditResult CheckGiven(DtuSession &session, const ParamTableModel &table, const QString &number, const QString &text)
{
    EditResult result;
    result.text = text;
    const int row = table.FindByNumber(number);
    if (row < 0) {
        result.kind = EditResult::Kind::NoSuchRow;
        result.number = number;
        return result;
    }
    const EditorPlan plan = Plan(session, table, row);
    if (plan.kind != EditorPlan::Kind::Choice) {
        result = CheckText(session, table, row, text);
        result.listError = plan.listError;
        return result;
    }
    result.number = table.Cell(row, ColNumber);
    result.name = table.Cell(row, ColName);
    if (!plan.items.contains(text)) {
        result.kind = EditResult::Kind::NotAChoice;
        result.choices = plan.items;
    }
    return result;
}

// A text taken as the row's editor would take it: a label of its pick list,
// or a text within its Length and Mask.
EditResult ApplyText(DtuSession &session, ParamTableModel &table, const QString &number, const QString &text)
{
    const EditResult result = CheckGiven(session, table, number, text);
    if (!result.Applied())
        return result;
    const int row = table.FindByNumber(number);
    if (Plan(session, table, row).kind == EditorPlan::Kind::Choice)
        ApplyChoice(session, table, row, text);
    else
        ConvertTyped(session, table, row, text);
    return result;
}

} // namespace

EditResult ConvertTyped(DtuSession &session, const QString &text)
{
    ParamTableModel *table = session.ActiveTable();
    if (!table)
        return {.kind = EditResult::Kind::NoSuchRow};
    return ConvertTyped(session, *table, table->CurrentRow(), text);
}

void ApplyChoice(DtuSession &session, const QString &label)
{
    if (ParamTableModel *table = session.ActiveTable())
        ApplyChoice(session, *table, table->CurrentRow(), label);
}

EditResult ApplyRaw(DtuSession &session, ParamTableModel &table, const QString &number, const QByteArray &bytes)
{
    return ApplyValue(session, table, number, kHexPrefix + BytesToHex(bytes));
}

bool TypedEditAllowed(const QString &before, const QString &after, int maxLength, const QString &charFilter)
{
    // The part of `after` that replaced part of `before`: what lies between
    // the longest common beginning and the longest common end.
    const qsizetype shorter = qMin(before.size(), after.size());
    qsizetype head = 0;
    while (head < shorter && before[head] == after[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    const QStringView added = QStringView(after).mid(head, after.size() - head - tail);
    if (added.isEmpty())
        return true;
    if (std::any_of(added.begin(), added.end(), IsControl))
        return false;
    if (maxLength > 0 && after.size() > maxLength)
        return false;
    return charFilter.isEmpty()
        || std::all_of(added.begin(), added.end(), [&charFilter](QChar c) { return charFilter.contains(c); });
}

EditResult CheckValue(DtuSession &session, const ParamTableModel &table, const QString &number, const QString &text)
{
    const std::optional<QString> digits = RawDigits(text);
    if (!digits)
        return CheckGiven(session, table, number, text);
    EditResult result;
    result.number = number;
    result.text = text;
    const int row = table.FindByNumber(number);
    result.name = table.Cell(row, ColName); // empty for no row
    if (row < 0)
        result.kind = EditResult::Kind::NoSuchRow;
    else if (Locked(session, number))
        result.kind = EditResult::Kind::Locked;
    else if (!IsHexBytes(*digits))
        result.kind = EditResult::Kind::BadHex;
    return result;
}

EditResult ApplyValue(DtuSession &session, ParamTableModel &table, const QString &number, const QString &text)
{
    const std::optional<QString> digits = RawDigits(text);
    if (!digits)
        return ApplyText(session, table, number, text);
    const EditResult result = CheckValue(session, table, number, text);
    if (result.Applied() && StartEdit(session, table, table.FindByNumber(number)))
        ParamReader::ApplyParamValue(session, table, static_cast<quint16>(HexToInt(number)), HexToBytes(*digits));
    return result;
}

} // namespace EditorLogic
