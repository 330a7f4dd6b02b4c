#pragma once
#include <QString>

class QColor;
class QComboBox;
class QFont;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QWidget;

// The small pieces every page of the main window is made of: named
// controls, memos, pick lists and the look of the parameter tables.
namespace WidgetHelpers {

// 宋体 where it exists; otherwise the first installed CJK face.
QFont WindowFont();

// Sets the object name (tests and the window's own lookups use it) and, when
// given, the name screen readers announce.
template <typename W>
W *Named(W *widget, const char *objectName, const QString &accessibleName = QString())
{
    widget->setObjectName(QLatin1String(objectName));
    if (!accessibleName.isEmpty())
        widget->setAccessibleName(accessibleName);
    return widget;
}

QPushButton *Button(const char *objectName, const QString &caption);
// Output memos keep their last lines; the input memo keeps all it is given.
QPlainTextEdit *Memo(const char *objectName, const QString &accessibleName, bool readOnly);
QLabel *BuddyLabel(const QString &caption, QWidget *buddy);
// A pick list that may also show a text from a profile that is not among its
// items ("76800"): an editable box whose text the user cannot type into.
QComboBox *PickList(const char *objectName, const QString &accessibleName, const QStringList &items);
void SetPickText(QComboBox *box, const QString &text);
// The port box: any typed name, and the system's ports as they are when the
// list opens (an adapter plugged in after start shows up).
QComboBox *PortBox(const char *objectName, const QString &accessibleName);
void SetBackground(QWidget *widget, const QColor &colour);
// A parameter table shows the name, value and note columns only.
void SetUpParamTable(QTableView *view, int nameWidth, int valueWidth, int noteWidth);

} // namespace WidgetHelpers
