#include "ops/EditorLogic.h"

#include "core/DtuError.h"
#include "core/WriteRules.h"
#include "session/DtuSession.h"
#include "params/ChoiceList.h"
#include "params/ParamTableModel.h"
#include "params/ValueCodec.h"

namespace EditorLogic {
namespace {

const ParamTableModel *ActiveTableOf(const DtuSession &session)
{
    if (session.state.MainTableActive())
        return &session.mainTable;
    if (session.state.ExtTableActive())
        return &session.extTable;
    return nullptr;
}

bool Locked(const DtuSession &session, const QString &number)
{
    return !WriteRules::MayWrite(session.state.AccessLevel, number);
}

// The selected row of the active table when it may be edited; -1 otherwise.
int EditableCurrentRow(DtuSession &session, ParamTableModel *&table)
{
    table = session.ActiveTable();
    if (!table)
        return -1;
    const int row = table->CurrentRow();
    if (row < 0 || row >= table->Count() || Locked(session, table->Cell(row, ColNumber)))
        return -1;
    return row;
}

void MarkModified(DtuSession &session, const QString &number)
{
    session.state.ModifiedParamList.Add(number);
    session.state.NotifyModifiedChanged();
}

// Length and Mask from a script ONLIST; errors leave the defaults.
void ApplyEditLimits(DtuSession &session, const QString &onList, EditorPlan &plan)
{
    if (onList.isEmpty()) {
        plan.maxLength = 199;
        plan.charFilter.clear();
        return;
    }
    plan.maxLength = 0;
    plan.charFilter.clear();
    try {
        session.script.Eval(onList);
    } catch (const DtuError &) {
    }
    if (onList.contains(QLatin1String("Length"))) {
        try {
            bool ok = false;
            const QString text = session.script.Eval(QStringLiteral("Length"));
            int length = text.toInt(&ok);
            if (!ok)
                length = static_cast<int>(text.toDouble());
            plan.maxLength = qMax(0, length);
        } catch (const DtuError &) {
        }
    }
    if (onList.contains(QLatin1String("Mask"))) {
        try {
            plan.charFilter = session.script.Eval(QStringLiteral("Mask"));
        } catch (const DtuError &) {
        }
    }
}

// The selected row of the active table when the user may edit it, marked as
// modified; -1 (nothing marked) otherwise.
int StartEdit(DtuSession &session, ParamTableModel *&table)
{
    const int row = EditableCurrentRow(session, table);
    if (row >= 0)
        MarkModified(session, table->Cell(row, ColNumber));
    return row;
}

} // namespace

EditorPlan Plan(DtuSession &session, int index)
{
    EditorPlan plan;
    ParamTableModel *table = session.ActiveTable();
    if (!table || index < 0 || index >= table->Count())
        return plan;
    const ParamRow &row = table->Row(index);
    if (Locked(session, row.Number())) {
        plan.readOnly = true;
        return plan;
    }

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
            plan.listError = e.text();
            plan.items.clear();
            plan.selected = -1;
            plan.choiceText.clear();
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

bool RowReadOnly(const DtuSession &session, int index)
{
    const ParamTableModel *table = ActiveTableOf(session);
    if (!table || index < 0 || index >= table->Count())
        return true;
    return Locked(session, table->Cell(index, ColNumber));
}

void ConvertTyped(DtuSession &session, const QString &text)
{
    ParamTableModel *table = nullptr;
    const int row = StartEdit(session, table);
    if (row < 0)
        return;
    try {
        const QString hex = ValueCodec::Encode(session.script, table->Cell(row, ColOnSet), text);
        table->SetCell(row, ColHex, kHexPrefix + hex);
        table->SetCell(row, ColValue, text);
    } catch (const DtuError &) {
        // The row keeps its old raw value but stays marked as modified.
    }
}

void ApplyChoice(DtuSession &session, const QString &label)
{
    ParamTableModel *table = nullptr;
    const int row = StartEdit(session, table);
    if (row < 0)
        return;
    try {
        const ChoiceList list = ChoiceList::Parse(table->Cell(row, ColOnList));
        for (int i = 0; i < list.labels.size() && i < list.values.size(); ++i) {
            if (list.labels[i] == label) {
                table->SetCell(row, ColHex, kHexPrefix + list.values[i]);
                table->SetCell(row, ColValue, label);
            }
        }
    } catch (const DtuError &) {
        // Only a parsed list shows the choice box; nothing to do otherwise.
    }
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
    if (maxLength > 0 && after.size() > maxLength)
        return false;
    if (charFilter.isEmpty())
        return true;
    for (const QChar c : added)
        if (!charFilter.contains(c))
            return false;
    return true;
}

} // namespace EditorLogic
