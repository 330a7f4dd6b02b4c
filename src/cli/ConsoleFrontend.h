#pragma once
#include "core/Frontend.h"

#include <QStringList>
#include <cstdio>
#include <functional>

// The command line's edge: the lines the window appends to its memos go to
// standard output (or standard error in --json mode), message and error
// boxes go to standard error, questions are answered OK (the command line
// itself is the confirmation), and file dialogs answer with no file (a
// command names its files itself).
class ConsoleFrontend : public Frontend {
public:
    explicit ConsoleFrontend(std::FILE *out = stdout, std::FILE *err = stderr) : out_(out), err_(err) {}

    // The trace lines are printed only at access level 1; opening the serial
    // port raises the level to 1 for a moment, as the window's button does.
    void SetShowTrace(bool on) { showTrace_ = on; }
    // The memo lines on standard error: standard output is kept for what a
    // program reads (the JSON document, a worker's events, verify's rows).
    void SetLinesToStderr(bool on) { linesToStderr_ = on; }
    // --json: PrintOut goes to standard error too, so that standard output
    // holds exactly the one document.
    void SetOutputToStderr(bool on) { outputToStderr_ = on; }

    // Every memo line printed, in order (for --json).
    const QStringList &Lines() const { return lines_; }

    void AppendMemo(const QString &line) override { PrintLine(line); }
    void AppendTrace(const QString &line) override
    {
        if (showTrace_)
            PrintLine(line);
    }
    // Data the device sends on its own belongs to the transparent test page,
    // which the command line does not have.
    void AppendTransparent(const QString &) override {}
    void AppendControlMemo(const QString &line) override { PrintLine(line); }
    void SetResultPanel(const QString &text) override { panel_ = text; }
    void RepeatResult(Memo) override { PrintLine(panel_); }
    void ShowMessage(const QString &text) override { Complain(text); }
    bool AskOkCancel(const QString &, const QString &) override { return true; }
    void ShowError(const QString &text) override { Complain(text); }
    QString AskOpenFile(const QString &, const QString &) override { return {}; }
    QString AskSaveFile(const QString &, const QString &) override { return {}; }
    // On a terminal, a run of more than one row shows "写入 3/50 名称" on
    // standard error, redrawn in place; elsewhere nothing, so piped and
    // logged output stays as it was.
    void ShowWriteRun(const WriteRunStatus &status) override;
    // Whether standard error is a terminal; found out once at start.
    void SetProgressOnTerminal(bool on) { progressShown_ = on; }

    // A watcher for a command that reports on its own (the fleet worker):
    // the progress of write runs.
    std::function<void(const WriteRunStatus &)> onWriteRun;

    // A line for standard error (reasons, refusals).
    void Complain(const QString &text);
    // "dtucfg: TEXT" on standard error: a refusal or warning of the program's own.
    void Say(const QString &text) { Complain(QStringLiteral("dtucfg: ") + text); }
    // The last such line (for the error member of --json).
    const QString &LastComplaint() const { return lastComplaint_; }
    // Writes what a command prints for people as UTF-8 to standard output
    // (standard error with --json).
    void PrintOut(const QString &text);
    // Writes a document (the JSON, an event line, the usage) to standard output.
    void PrintDocument(const QString &text);

private:
    void PrintLine(const QString &line);
    void ClearProgress();

    std::FILE *out_;
    std::FILE *err_;
    bool showTrace_ = false;
    bool linesToStderr_ = false;
    bool outputToStderr_ = false;
    QString panel_;
    QStringList lines_;
    QString lastComplaint_;
    bool progressShown_ = false;
    bool progressOnScreen_ = false;
};
