#include "ui/KeyFilters.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

TypedKeyFilter::TypedKeyFilter(Accept accept, QObject *parent) : QObject(parent), accept_(std::move(accept)) {}

TypedKeyFilter *TypedKeyFilter::Install(QObject *widget, Accept accept)
{
    auto *filter = new TypedKeyFilter(std::move(accept), widget);
    widget->installEventFilter(filter);
    if (auto *combo = qobject_cast<QComboBox *>(widget); combo && combo->lineEdit())
        combo->lineEdit()->installEventFilter(filter);
    return filter;
}

TypedKeyFilter *TypedKeyFilter::DiscardAll(QObject *widget)
{
    return Install(widget, [](QChar) { return false; });
}

bool TypedKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const QString text = key->text();
        // Control chords such as Ctrl+C carry a control character: those are
        // typed characters too and obey the same rule.
        if (!text.isEmpty() && key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab
            && key->key() != Qt::Key_Escape && !accept_(text.at(0)))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

KeyWatcher::KeyWatcher(QObject *watched, bool onRelease, Handler handler)
    : QObject(watched), onRelease_(onRelease), handler_(std::move(handler))
{
    watched->installEventFilter(this);
}

bool KeyWatcher::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type wanted = onRelease_ ? QEvent::KeyRelease : QEvent::KeyPress;
    if (event->type() == wanted)
        handler_(static_cast<QKeyEvent *>(event));
    return QObject::eventFilter(watched, event);
}

TypedEditValidator::TypedEditValidator(QLineEdit *edit, Allow allow) : QValidator(edit), allow_(std::move(allow))
{
    Reset(edit->text());
    connect(edit, &QLineEdit::textChanged, this, &TypedEditValidator::Held);
    edit->setValidator(this);
}

void TypedEditValidator::Reset(const QString &text)
{
    held_.clear();
    Held(text);
}

void TypedEditValidator::Held(const QString &text)
{
    current_ = text;
    held_.insert(text);
}

QValidator::State TypedEditValidator::validate(QString &input, int &) const
{
    // A refused change is undone by the line edit itself.
    if (held_.contains(input) || allow_(current_, input))
        return Acceptable;
    return Invalid;
}
