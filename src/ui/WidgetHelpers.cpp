#include "ui/WidgetHelpers.h"

#include "channel/SerialSettings.h"
#include "params/ParamTableModel.h"
#include "ui/KeyFilters.h"

#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>

namespace WidgetHelpers {

namespace {

constexpr int kMemoLineLimit = 10000; // a long repeated send or a chatty device must not eat the memory

// Opens a pick list's drop-down when its read-only text is clicked.
class PopupOnClick : public QObject {
public:
    explicit PopupOnClick(QComboBox *box) : QObject(box), box_(box) { box->lineEdit()->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress && box_->isEnabled()) {
            box_->showPopup();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QComboBox *box_;
};

class SystemPortBox : public QComboBox {
public:
    void showPopup() override
    {
        const QString text = currentText();
        const QSignalBlocker quiet(this);
        clear();
        addItems(SerialSettings::SystemPorts());
        setEditText(text);
        QComboBox::showPopup();
    }
};

} // namespace

QFont WindowFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Source Han Sans SC"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("AR PL UMing CN")});
    font.setPointSize(9);
    return font;
}

QPushButton *Button(const char *objectName, const QString &caption)
{
    return Named(new QPushButton(caption), objectName, caption.trimmed());
}

QPlainTextEdit *Memo(const char *objectName, const QString &accessibleName, bool readOnly)
{
    auto *memo = Named(new QPlainTextEdit, objectName, accessibleName);
    memo->setReadOnly(readOnly);
    memo->setTabChangesFocus(true);
    memo->setFocusPolicy(Qt::StrongFocus);
    if (readOnly) {
        memo->setMaximumBlockCount(kMemoLineLimit);
        memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    return memo;
}

QLabel *BuddyLabel(const QString &caption, QWidget *buddy)
{
    auto *label = new QLabel(caption);
    label->setBuddy(buddy);
    return label;
}

QComboBox *PickList(const char *objectName, const QString &accessibleName, const QStringList &items)
{
    auto *box = Named(new QComboBox, objectName, accessibleName);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->lineEdit()->setReadOnly(true);
    box->addItems(items);
    TypedKeyFilter::DiscardAll(box);
    new PopupOnClick(box);
    return box;
}

void SetPickText(QComboBox *box, const QString &text)
{
    const int index = box->findText(text);
    if (index >= 0)
        box->setCurrentIndex(index);
    else
        box->setEditText(text);
}

QComboBox *PortBox(const char *objectName, const QString &accessibleName)
{
    QComboBox *box = Named(new SystemPortBox, objectName, accessibleName);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(SerialSettings::SystemPorts());
    box->setMinimumContentsLength(8);
    return box;
}

void SetBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void SetUpParamTable(QTableView *view, int nameWidth, int valueWidth, int noteWidth)
{
    for (int column : {int(ColNumber), int(ColHex), int(ColOnList), int(ColOnGet), int(ColOnSet)})
        view->setColumnHidden(column, true);
    view->setColumnWidth(ColName, nameWidth);
    view->setColumnWidth(ColValue, valueWidth);
    view->setColumnWidth(ColNote, noteWidth);
    view->setShowGrid(true);
    view->setWordWrap(false);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 10);
    view->horizontalHeader()->setHighlightSections(false);
    view->setTabKeyNavigation(false);
}

} // namespace WidgetHelpers
