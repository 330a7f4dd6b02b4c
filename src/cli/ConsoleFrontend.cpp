#include "cli/ConsoleFrontend.h"

#include <QCoreApplication>

namespace {

void Write(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}
} // namespace

void ConsoleFrontend::PrintLine(const QString &line)
{
    ClearProgress();
    lines_ << line;
    Write(linesToStderr_ ? err_ : out_, line + QLatin1Char('\n'));
}

void ConsoleFrontend::AppendMemo(const QString &line)
{
    PrintLine(line);
}

void ConsoleFrontend::AppendTrace(const QString &line)
{
    if (showTrace_)
        PrintLine(line);
}

void ConsoleFrontend::AppendTransparent(const QString &)
{
    // Data the device sends on its own belongs to the transparent test page,
    // which the command line does not have.
}

void ConsoleFrontend::AppendControlMemo(const QString &line)
{
    PrintLine(line);
}

void ConsoleFrontend::RepeatResult(Memo memo)
{
    if (memo == Memo::Traffic)
        AppendMemo(panel_);
    else
        AppendControlMemo(panel_);
}

void ConsoleFrontend::ShowMessage(const QString &text)
{
    Complain(text);
}

bool ConsoleFrontend::AskOkCancel(const QString &, const QString &)
{
    return true;
}

void ConsoleFrontend::ShowError(const QString &text)
{
    Complain(text);
}

QString ConsoleFrontend::AskOpenFile(const QString &, const QString &)
{
    return {};
}

QString ConsoleFrontend::AskSaveFile(const QString &, const QString &)
{
    return {};
}

void ConsoleFrontend::ClearProgress()
{
    if (!progressOnScreen_)
        return;
    progressOnScreen_ = false;
    Write(err_, QStringLiteral("\r\x1b[K"));
}

void ConsoleFrontend::ShowWriteRun(const WriteRunStatus &status)
{
    if (onWriteRun)
        onWriteRun(status);
    if (!progressShown_)
        return;
    if (!status.running || status.total <= 1) {
        ClearProgress();
        return;
    }
    Write(err_, QStringLiteral("\r\x1b[K") + QCoreApplication::translate("ConsoleFrontend", "写入 %1/%2 %3").arg(status.done).arg(status.total).arg(status.currentName));
    progressOnScreen_ = true;
}

void ConsoleFrontend::Complain(const QString &text)
{
    lastComplaint_ = text;
    ClearProgress();
    Write(err_, text + QLatin1Char('\n'));
}

void ConsoleFrontend::PrintOut(const QString &text)
{
    ClearProgress();
    Write(outputToStderr_ ? err_ : out_, text);
}

void ConsoleFrontend::PrintDocument(const QString &text)
{
    Write(out_, text);
}
