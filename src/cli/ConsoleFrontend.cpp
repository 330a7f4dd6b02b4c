#include "cli/ConsoleFrontend.h"

#include "ops/ParamWriter.h"

namespace {
bool IsTraceLine(const QString &line)
{
    return line.startsWith(QStringLiteral("下行：")) || line.startsWith(QStringLiteral("上行："));
}

void Write(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}
} // namespace

void ConsoleFrontend::PrintLine(const QString &line)
{
    lines_ << line;
    if (onLine)
        onLine(line);
    Write(linesToStderr_ ? err_ : out_, line + QLatin1Char('\n'));
}

void ConsoleFrontend::AppendMemo(const QString &line)
{
    if (IsTraceLine(line)) {
        if (showTrace_)
            PrintLine(line);
        return;
    }
    if ((line.startsWith(QLatin1Char('[')) && line.contains(QStringLiteral("失败")))
        || line == ParamWriter::kSettingText)
        failureSeen_ = true;
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

void ConsoleFrontend::ShowMessage(const QString &text)
{
    failureSeen_ = true;
    Complain(text);
}

bool ConsoleFrontend::AskOkCancel(const QString &, const QString &)
{
    return true;
}

void ConsoleFrontend::ShowError(const QString &text)
{
    failureSeen_ = true;
    Complain(text);
}

QString ConsoleFrontend::AskOpenFile(const QString &, const QString &)
{
    return openAnswer_;
}

QString ConsoleFrontend::AskSaveFile(const QString &, const QString &)
{
    return saveAnswer_;
}

void ConsoleFrontend::Complain(const QString &text)
{
    Write(err_, text + QLatin1Char('\n'));
}

void ConsoleFrontend::PrintOut(const QString &text)
{
    Write(out_, text);
}

void ConsoleFrontend::ShowWriteRun(const WriteRunStatus &status)
{
    if (onWriteRun)
        onWriteRun(status);
}
