#pragma once
#include <QCoreApplication>
#include <QList>
#include <QWidget>

class DtuSession;
class HandlerRunner;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPlainTextEdit;

// "透明传输测试" (TabSheet2): what the device sent shown as text or hex, the
// data to send with its repeat count and CRC, and the byte counters.
class TransparentPage : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(TForm1)
public:
    TransparentPage(DtuSession &session, HandlerRunner &run, QWidget *parent = nullptr);

    // The dialogue display (Memo2).
    QPlainTextEdit *Display() const { return Memo2; }
    QList<QWidget *> Lockable() const { return lockable_; }

private:
    DtuSession &session_;
    HandlerRunner &run_;
    QList<QWidget *> lockable_;
    QPlainTextEdit *Memo2 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QPlainTextEdit *Memo3 = nullptr;
    QCheckBox *CheckBox2 = nullptr;
    QComboBox *ComboBox2 = nullptr;
};
