#include "ui/ParamEditors.h"

#include "session/DtuSession.h"
#include "core/Frontend.h"
#include "ops/Wording.h"
#include "params/ParamTableModel.h"
#include "ui/KeyFilters.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>

namespace {
constexpr int kPlaceIntervalMs = 10;
} // namespace

ParamEditors::ParamEditors(DtuSession &session, QObject *parent)
    : QObject(parent), session_(session), timer2_(session.scheduler, QStringLiteral("Timer2"))
{
    // Timer2: keeps the editors over the selected row whatever moved it
    // (scrolling, a column resize, the window's size, a table refill).
    timer2_.OnTimeout([this] { Place(); });
    timer2_.Start(kPlaceIntervalMs);
}

void ParamEditors::AddTable(QTableView *view, ParamTableModel *model)
{
    bindings_.push_back({view, model});
    const int n = bindings_.size() - 1;

    if (!edit_) {
        edit_ = new QLineEdit(view->viewport());
        edit_->setObjectName(QStringLiteral("GEdit"));
        edit_->setAccessibleName(QCoreApplication::translate("ParamEditors", "参数值编辑框"));
        QFont font = edit_->font();
        font.setPointSize(9);
        edit_->setFont(font);
        edit_->hide();
        editLimit_ = new TypedEditValidator(edit_, [this](const QString &before, const QString &after) {
            return EditorLogic::TypedEditAllowed(before, after, EditMaxLength, EditCharFilter);
        });
        new KeyWatcher(edit_, true, [this](QKeyEvent *e) { OnEditKeyReleased(e->key()); });
        connect(edit_, &QLineEdit::textChanged, this, &ParamEditors::OnEditTextChanged);

        choice_ = new QComboBox(view->viewport());
        choice_->setObjectName(QStringLiteral("GComboBox"));
        choice_->setAccessibleName(QCoreApplication::translate("ParamEditors", "参数值选择框"));
        choice_->hide();
        TypedKeyFilter::DiscardAll(choice_);
        connect(choice_, &QComboBox::activated, this, [this](int) {
            EditorLogic::ApplyChoice(session_, choice_->currentText());
        });
    }

    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);

    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, n] { OnSelectionChanged(bindings_[n]); });
    connect(model, &ParamTableModel::currentRowChanged, this,
            [this, n](int row) { OnModelCurrentRow(bindings_[n], row); });
    connect(view, &QTableView::clicked, this, [this, n] {
        const Binding &b = bindings_[n];
        if (b.model == session_.ActiveTable() && b.model->CurrentRow() >= 0)
            SetUp(b.model->CurrentRow());
    });
    connect(view, &QTableView::doubleClicked, this, &ParamEditors::FocusVisibleEditor);
}

const ParamEditors::Binding *ParamEditors::ActiveBinding() const
{
    const ParamTableModel *active = session_.ActiveTable();
    for (const Binding &b : bindings_)
        if (b.model == active)
            return &b;
    return nullptr;
}

void ParamEditors::OnSelectionChanged(const Binding &binding)
{
    const QModelIndexList rows = binding.view->selectionModel()->selectedRows();
    const int row = rows.isEmpty() ? -1 : rows.constFirst().row();
    if (!syncing_ && binding.model->CurrentRow() != row) {
        syncing_ = true;
        binding.model->SetCurrentRow(row);
        syncing_ = false;
    }
    if (row < 0)
        return;
    if (binding.model == session_.ActiveTable())
        SetUp(row);
    else if (edit_->parentWidget() == binding.view->viewport())
        HideAll(); // a row picked in a table the editors do not serve now
}

void ParamEditors::OnModelCurrentRow(const Binding &binding, int row)
{
    if (syncing_)
        return;
    syncing_ = true;
    QItemSelectionModel *selection = binding.view->selectionModel();
    if (row < 0) {
        selection->clearSelection();
    } else {
        const QModelIndex index = binding.model->index(row, 1);
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        binding.view->scrollTo(index);
    }
    syncing_ = false;
}

void ParamEditors::SetUp(int index)
{
    const Binding *binding = ActiveBinding();
    if (!binding || index < 0 || index >= binding->model->Count())
        return;
    QWidget *viewport = binding->view->viewport();
    if (edit_->parentWidget() != viewport) {
        edit_->setParent(viewport);
        choice_->setParent(viewport);
    }

    HideAll();
    choice_->setCurrentIndex(-1);
    MarkRefused({});
    FillEdit({});
    editedTable_ = binding->model;
    editedRow_ = index;
    before_ = EditorLogic::Snapshot(session_, *binding->model, index);

    const EditorPlan plan = EditorLogic::Plan(session_, index);
    if (!plan.listError.isEmpty())
        session_.frontend().ShowMessage(plan.listError);

    switch (plan.kind) {
    case EditorPlan::Kind::None:
        return;
    case EditorPlan::Kind::Choice:
        choice_->clear();
        choice_->addItems(plan.items);
        choice_->setCurrentIndex(plan.selected);
        if (!plan.choiceText.isEmpty())
            choice_->setCurrentText(plan.choiceText);
        choice_->show();
        break;
    case EditorPlan::Kind::Edit:
        EditMaxLength = plan.maxLength;
        EditCharFilter = plan.charFilter;
        if (!plan.editText.isEmpty())
            FillEdit(plan.editText);
        edit_->show();
        break;
    }
    Place();
}

void ParamEditors::SetUpActive()
{
    const Binding *binding = ActiveBinding();
    if (binding && binding->model->CurrentRow() >= 0)
        SetUp(binding->model->CurrentRow());
    else
        HideAll();
}

void ParamEditors::HideAll()
{
    edit_->hide();
    choice_->hide();
}

void ParamEditors::FillEdit(const QString &text)
{
    editLimit_->Reset(text);
    EditorFilling = true;
    edit_->setText(text);
    // setText of the same text reports no change; the flag must not outlive
    // this fill and swallow the user's first keystroke.
    EditorFilling = false;
    settledText_ = text;
}

void ParamEditors::FocusVisibleEditor()
{
    if (edit_->isVisible())
        edit_->setFocus(Qt::MouseFocusReason);
    else if (choice_->isVisible())
        choice_->setFocus(Qt::MouseFocusReason);
}

void ParamEditors::SetLocked(bool locked)
{
    edit_->setEnabled(!locked);
    choice_->setEnabled(!locked);
}

void ParamEditors::Place()
{
    if (!edit_->isVisible() && !choice_->isVisible())
        return;
    const Binding *binding = ActiveBinding();
    const int row = binding ? binding->model->CurrentRow() : -1;
    if (!binding || row < 0 || edit_->parentWidget() != binding->view->viewport()) {
        HideAll();
        return;
    }
    const QRect rect = binding->view->visualRect(binding->model->index(row, ColValue));
    if (!rect.isValid())
        return;
    if (edit_->geometry() != rect)
        edit_->setGeometry(rect);
    if (choice_->geometry() != rect)
        choice_->setGeometry(rect);
}

void ParamEditors::OnEditTextChanged(const QString &text)
{
    if (EditorFilling) {
        EditorFilling = false;
        return;
    }
    if (!text.isEmpty())
        Convert(text);
}

void ParamEditors::OnEditKeyReleased(int key)
{
    // Tab lands here when focus arrives from elsewhere; it is no edit.
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
        return;
    // Only an emptied box is left to convert here: every other change of
    // the text was converted as it happened.
    const QString text = edit_->text();
    if (text == settledText_)
        return;
    Convert(text);
}

void ParamEditors::Convert(const QString &text)
{
    settledText_ = text;
    const EditResult result = EditorLogic::ConvertTyped(session_, text);
    if (result.Applied()) {
        MarkRefused({});
        return;
    }
    ParamTableModel *table = session_.ActiveTable();
    if (table && table == editedTable_ && table->CurrentRow() == editedRow_)
        EditorLogic::Restore(session_, *table, editedRow_, before_);
    MarkRefused(Wording::RefusedValue(result));
}

void ParamEditors::MarkRefused(const QString &reason)
{
    const bool refused = !reason.isEmpty();
    if (refused)
        session_.frontend().SetResultPanel(reason);
    edit_->setToolTip(reason);
    // The property says whether the box holds a text its row cannot hold.
    if (refused == edit_->property("refused").toBool())
        return;
    edit_->setProperty("refused", refused);
    // Red on pale red while the row cannot hold the text; the tip says why.
    edit_->setStyleSheet(refused ? QStringLiteral("QLineEdit { color: #b00000; background: #ffe0e0; }") : QString());
}

#include "moc_ParamEditors.cpp"
