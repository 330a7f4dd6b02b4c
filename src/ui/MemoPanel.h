#pragma once
#include <QCoreApplication>
#include <QWidget>

class AppState;
class QLineEdit;
class QPlainTextEdit;

// The traffic memo under the pages (panel3, Memo1), with the hidden login
// box MaskEdit3 over its top left corner: Ctrl+A in the memo reveals it.
class MemoPanel : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(TForm1)
public:
    explicit MemoPanel(AppState &state, QWidget *parent = nullptr);

    QPlainTextEdit *Memo() const { return Memo1; }

private:
    void SubmitLogin();

    AppState &state_;
    QPlainTextEdit *Memo1 = nullptr;
    QLineEdit *MaskEdit3 = nullptr;
};
