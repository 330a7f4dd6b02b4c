#pragma once
#include <QObject>
#include <functional>

class QKeyEvent;

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
