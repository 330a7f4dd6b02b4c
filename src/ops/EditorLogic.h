#pragma once
#include "params/ValueCodec.h"

#include <QString>
#include <QStringList>

class DtuSession;
class ParamTableModel;

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
    // A malformed choice list: shown in a message box, then the edit box.
    QString listError;
};

// What became of a text given for a row (dtucfg write, --set, an inventory
// cell): applied, or why not.
struct EditResult {
    enum class Kind {
        Applied,
        NoSuchRow,   // no row with that number in the table
        Locked,      // the access level withholds the row (WriteRules)
        NotEditable, // a heading, or a row whose editor takes no text
        NotAChoice,  // a pick list without that label
        TooLong,     // longer than the row's Length
        BadCharacter, // a character outside the row's Mask
        ControlCharacter, // U+0000 to U+001F or U+007F, which would break the device's and the files' lines
        CannotHold,  // the row's encoder could not turn the text into bytes (problem says why)
        BadHex       // "HEX:" not followed by whole bytes of hex digits
    };
    Kind kind = Kind::Applied;
    ValueCodec::Encoded::Problem problem = ValueCodec::Encoded::Problem::None;
    QString detail;       // CannotHold: the script's message, or what the encoder gave
    QString number, name, text;
    QStringList choices;  // NotAChoice: the labels offered
    int maxLength = 0;    // TooLong
    QString allowed;      // BadCharacter: the characters accepted
    char16_t control = 0; // ControlCharacter: the first one
    QString listError;    // a malformed choice list: the row took the text as an edit box would
    bool Applied() const { return kind == Kind::Applied; }
};

namespace EditorLogic {
// A tab, a line break or any other C0 control, or DEL: a typed value holding
// one is refused, as it would break the lines and cells of the files that
// keep it.
bool IsControl(QChar ch);
// Plan for row `index` of a table (the window asks for the active one).
EditorPlan Plan(DtuSession &session, const ParamTableModel &table, int index);
// Plan for row `index` of the active table.
EditorPlan Plan(DtuSession &session, int index);
// Whether a row can hold a text as its editor would take it (its Length, its
// Mask, what its encoder makes of it), without changing anything; the hex
// digits it would store go to *hex.
// Typed: the text came through the edit box, which held it to the row's
// Length and Mask and kept control characters out as it was typed; those
// are not checked again (a control character the value already had stays).
enum class Limits { Checked, Typed };
EditResult CheckText(DtuSession &session, const ParamTableModel &table, int row, const QString &text,
                     QString *hex = nullptr, Limits limits = Limits::Checked);
// The user's text in the edit box for the selected row of the active table:
// when the row can hold it, the hex and value cells take it and the row is
// listed as modified; a text it cannot hold changes nothing and comes back
// with the reason.
EditResult ConvertTyped(DtuSession &session, const QString &text);
// The user's choice in the choice box for that row.
void ApplyChoice(DtuSession &session, const QString &label);

// A row as an editor found it: the window puts it back when the text in
// the edit box cannot be held, so the row keeps its value, its colour and
// whether it was listed.
struct RowSnapshot {
    QString hex, value;
    bool listed = false;
};
RowSnapshot Snapshot(const DtuSession &session, const ParamTableModel &table, int row);
void Restore(DtuSession &session, ParamTableModel &table, int row, const RowSnapshot &snapshot);

// Raw bytes given for the row with that number (HEX:..), shown as a read
// would show them.
EditResult ApplyRaw(DtuSession &session, ParamTableModel &table, const QString &number, const QByteArray &bytes);
// Whether a change the user makes in the edit box (typing, pasting) may
// stand: what it adds must hold no control character, must be in charFilter
// (when not empty) and must not leave the text longer than maxLength (when
// above 0). Removing characters always may, so a device value longer than
// the limit, shown whole, can still be shortened or left as it is.
bool TypedEditAllowed(const QString &before, const QString &after, int maxLength, const QString &charFilter);

// A value given for the row with that number as every front end gives one
// outside the editors (dtucfg write NUM=TEXT, --set, an inventory cell):
// "HEX:digits" (any letter case) as raw bytes, anything else as the row's
// editor would take it: a label of its pick list, or a text within its Length
// and Mask. The one home of that rule for every front end; CurrentParamChannel
// and the selected row stay as they are. Check first changes nothing.
EditResult CheckValue(DtuSession &session, const ParamTableModel &table, const QString &number, const QString &text);
EditResult ApplyValue(DtuSession &session, ParamTableModel &table, const QString &number, const QString &text);
} // namespace EditorLogic
