#include "cli/ConsoleFrontend.h"

#include "cli/CliText.h"

#include <QCoreApplication>

using CliText::Write;

void ConsoleFrontend::PrintLine(const QString &line)
{
    ClearProgress();
    lines_ << line;
    Write(linesToStderr_ ? err_ : out_, line + QLatin1Char('\n'));
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
