#pragma once
#include <QString>
#include <QStringList>

class DtuSession;

// What the in-place editors show for a row, and how a typed text or a chosen
// label becomes the row's raw value. The widgets only follow these plans.
struct EditorPlan {
    enum class Kind { None, Edit, Choice };
    Kind kind = Kind::None;
    // Choice box: labels, the selected entry (-1 none), a text set from ONGET.
    QStringList items;
    int selected = -1;
    QString choiceText;
    // Edit box: maximum length (0 = no limit), accepted characters
    // (EditCharFilter; empty = any), and the text to fill in (EditorFilling).
    int maxLength = 199;
    QString charFilter;
    QString editText;
    bool readOnly = false;
    // A malformed choice list: shown in a message box, then the edit box.
    QString listError;
};

namespace EditorLogic {
// Plan for row `index` of the active table.
EditorPlan Plan(DtuSession &session, int index);
// Whether the value edit box of that row is read-only (heading, or "0091"
// below level 2).
bool RowReadOnly(const DtuSession &session, int index);
// The user's text in the edit box for the selected row of the active table:
// marks it modified and converts it to the hex cell (errors keep old cells).
void ConvertTyped(DtuSession &session, const QString &text);
// The user's choice in the choice box for the selected row.
void ApplyChoice(DtuSession &session, const QString &label);
// Whether a change the user makes in the edit box (typing, pasting) may
// stand: what it adds must be in charFilter (when not empty) and must not
// leave the text longer than maxLength (when above 0). Removing characters
// always may, so a device value longer than the limit, shown whole, can
// still be shortened or left as it is.
bool TypedEditAllowed(const QString &before, const QString &after, int maxLength, const QString &charFilter);
} // namespace EditorLogic
