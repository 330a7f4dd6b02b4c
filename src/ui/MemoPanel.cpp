#include "ui/MemoPanel.h"

#include "ops/Login.h"
#include "ui/KeyFilters.h"
#include "ui/WidgetHelpers.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

using namespace WidgetHelpers;

MemoPanel::MemoPanel(AppState &state, QWidget *parent) : QWidget(parent), state_(state)
{
    setObjectName(QStringLiteral("panel3"));
    Memo1 = WidgetHelpers::Memo("Memo1", tr("通信记录"), true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);

    // The hidden login box lies over the memo's top left corner.
    MaskEdit3 = Named(new QLineEdit(this), "MaskEdit3", tr("管理口令"));
    MaskEdit3->setEchoMode(QLineEdit::Password);
    MaskEdit3->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    MaskEdit3->setFrame(false);
    MaskEdit3->setGeometry(4, 4, 160, MaskEdit3->sizeHint().height());
    MaskEdit3->hide();
    connect(MaskEdit3, &QLineEdit::returnPressed, this, &MemoPanel::SubmitLogin);

    // Ctrl+A (character 1) in the memo reveals the box; the memo still
    // handles the key as usual.
    new KeyWatcher(Memo1, false, [this](QKeyEvent *key) {
        const bool ctrlA = key->text() == QString(QChar(1))
                           || (key->key() == Qt::Key_A && (key->modifiers() & Qt::ControlModifier));
        if (ctrlA) {
            MaskEdit3->show();
            MaskEdit3->raise();
            MaskEdit3->setFocus(Qt::OtherFocusReason);
        }
    });
}

void MemoPanel::SubmitLogin()
{
    const bool accepted = Login::Submit(state_, MaskEdit3->text());
    MaskEdit3->clear();
    if (accepted) {
        MaskEdit3->hide();
        Memo1->setFocus(Qt::OtherFocusReason);
    } else {
        MaskEdit3->setFocus(Qt::OtherFocusReason);
    }
}
