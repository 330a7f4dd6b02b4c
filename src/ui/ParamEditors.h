#pragma once
#include "core/ScheduledTimer.h"
#include "ops/EditorLogic.h"

#include <QObject>
#include <QString>
#include <QVector>

class DtuSession;
class ParamTableModel;
class QComboBox;
class QLineEdit;
class QTableView;
class QWidget;
class TypedEditValidator;

// The two shared in-place editors of the parameter tables: the edit box
// GEdit and the choice box GComboBox. They lie over the 参数值 cell of the
// selected row of the active table and follow it while the table scrolls or
// is resized. What they show and what a change does comes from EditorLogic;
// this class only places and fills the widgets and keeps each table's
// selection and its model's current row the same (a write run moves the
// current row through the model; the view follows).
class ParamEditors : public QObject {
    Q_OBJECT
public:
    explicit ParamEditors(DtuSession &session, QObject *parent = nullptr);

    // Binds a table view to its model (the main or the extended table); the
    // editors are made with the first, before any other call.
    void AddTable(QTableView *view, ParamTableModel *model);

    // Editor set-up for row `index` of the active table.
    void SetUp(int index);
    // Set-up for the selected row of whichever table is active now (after
    // an action switched the parameter channel); hides the editors if none.
    void SetUpActive();
    void HideAll();
    // Puts `text` into the edit box without it counting as typing ("" empties it).
    void FillEdit(const QString &text);
    void FocusVisibleEditor();
    // Locks the editors while a device action runs.
    void SetLocked(bool locked);
    // Puts the editors over the selected row of the active table now.
    void Place();

    // True while the program fills the edit box: the next change of its
    // text is not the user's.
    bool EditorFilling = false;
    // Characters the edit box accepts when typed; empty means any.
    QString EditCharFilter;
    // Longest text the user may type into the edit box; 0 means no limit. A
    // longer value from the device is still shown whole.
    int EditMaxLength = 0;

private:
    struct Binding {
        QTableView *view;
        ParamTableModel *model;
    };
    const Binding *ActiveBinding() const;
    void OnSelectionChanged(const Binding &binding);
    void OnModelCurrentRow(const Binding &binding, int row);
    void OnEditTextChanged(const QString &text);
    void OnEditKeyReleased(int key);
    // Hands the edit box's text to the row; a text the row cannot hold puts
    // the row back as it was and marks the box with the reason.
    void Convert(const QString &text);
    void MarkRefused(const QString &reason);

    DtuSession &session_;
    ScheduledTimer timer2_;
    QVector<Binding> bindings_;
    QLineEdit *edit_ = nullptr;
    QComboBox *choice_ = nullptr;
    TypedEditValidator *editLimit_ = nullptr;
    // The edit box's text as last filled or converted: a key that leaves it
    // so (an arrow, Shift) changes nothing in the row.
    QString settledText_;
    bool syncing_ = false;
    // The row under the edit box as it was when the editor was set up.
    ParamTableModel *editedTable_ = nullptr;
    int editedRow_ = -1;
    EditorLogic::RowSnapshot before_;
};
