#pragma once
#include <QObject>
#include <QSet>
#include <QString>
#include <QValidator>
#include <functional>

class QKeyEvent;
class QLineEdit;

// Typed-character filter for an input widget. Only key presses that carry
// text count as typed characters; arrows, F4 and the like pass, so a pick
// list stays usable from the keyboard.
class TypedKeyFilter : public QObject {
public:
    // accept(c) decides whether the character c reaches the widget.
    using Accept = std::function<bool(QChar)>;
    TypedKeyFilter(Accept accept, QObject *parent);

    // Installs a filter on widget (and on its line edit, for a combo box).
    static TypedKeyFilter *Install(QObject *widget, Accept accept);
    // Pick lists: every typed character is discarded.
    static TypedKeyFilter *DiscardAll(QObject *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Accept accept_;
};

// Calls a function on each key event of one kind that the watched widget
// receives, then lets the widget handle the key as usual.
class KeyWatcher : public QObject {
public:
    using Handler = std::function<void(QKeyEvent *)>;
    KeyWatcher(QObject *watched, bool onRelease, Handler handler);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool onRelease_;
    Handler handler_;
};

// Judges each change the user makes in a line edit (a typed key, a paste, a
// drop) against the text before it, and refuses it when allow() says so.
// Text the program puts in with Reset() is never judged, so a limit on
// typing never cuts a value the device reported; texts the box has held
// since then pass again (undo and redo bring them back).
class TypedEditValidator : public QValidator {
public:
    using Allow = std::function<bool(const QString &before, const QString &after)>;
    TypedEditValidator(QLineEdit *edit, Allow allow);

    // Call before the program sets `text` into the box.
    void Reset(const QString &text);
    State validate(QString &input, int &pos) const override;

private:
    void Held(const QString &text);

    Allow allow_;
    QString current_;
    QSet<QString> held_;
};
