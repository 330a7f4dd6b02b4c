#include "ui/QtFrontend.h"

#include "ui/Dialogs.h"
#include "ui/ParamEditors.h"
#include "ui/WriteProgress.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTime>

namespace {
void Append(QPlainTextEdit *memo, const QString &line)
{
    if (memo)
        memo->appendPlainText(line);
}
} // namespace

void QtFrontend::Bind(const Widgets &widgets)
{
    w_ = widgets;
    if (w_.resultPanel)
        w_.resultPanel->setText(resultText_);
}

void QtFrontend::AppendMemo(const QString &line)
{
    Append(w_.memo1, stampMemoLines_ ? QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz ")) + line : line);
}
void QtFrontend::AppendTransparent(const QString &line) { Append(w_.memo2, line); }
void QtFrontend::AppendControlMemo(const QString &line) { Append(w_.memo4, line); }

void QtFrontend::SetResultPanel(const QString &text)
{
    resultText_ = text;
    if (w_.resultPanel)
        w_.resultPanel->setText(text);
}

void QtFrontend::RepeatResult(Memo memo)
{
    if (memo == Memo::Traffic)
        AppendMemo(resultText_);
    else
        AppendControlMemo(resultText_);
}

void QtFrontend::ShowMessage(const QString &text) { dialogs_.Message(text, AppTitle()); }

bool QtFrontend::AskOkCancel(const QString &text, const QString &caption)
{
    return dialogs_.Question(text, caption);
}

void QtFrontend::ShowError(const QString &text) { dialogs_.Error(text, AppTitle()); }

QString QtFrontend::AskOpenFile(const QString &initialName, const QString &defaultSuffix)
{
    return dialogs_.OpenFile(initialName, defaultSuffix);
}

QString QtFrontend::AskSaveFile(const QString &initialName, const QString &defaultSuffix)
{
    return dialogs_.SaveFile(initialName, defaultSuffix);
}

void QtFrontend::ClearEditors()
{
    if (w_.editors)
        w_.editors->FillEdit({});
}

void QtFrontend::HideEditors()
{
    if (w_.editors)
        w_.editors->HideAll();
}

void QtFrontend::ShowWriteRun(const WriteRunStatus &status)
{
    if (w_.writeProgress)
        w_.writeProgress->Show(status);
}
