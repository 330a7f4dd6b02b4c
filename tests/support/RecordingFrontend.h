#pragma once
#include "core/Frontend.h"

#include <QList>
#include <QStringList>
#include <deque>
#include <functional>

// A Frontend that records every line and answers questions and file dialogs
// from queues the test fills (OK and an empty file name when they run dry).
class RecordingFrontend : public Frontend {
public:
    QStringList memo;        // Memo1
    QStringList controlMemo; // Memo4
    QStringList transparent; // Memo2
    QStringList messages;    // message boxes
    QStringList errors;      // general error boxes
    QStringList questions;
    QString resultPanel;
    std::deque<bool> answers;
    std::deque<QString> fileAnswers;
    int clearEditorsCalls = 0;
    QList<WriteRunStatus> runs;                   // every progress report of write runs
    std::function<void(const WriteRunStatus &)> onRun; // e.g. to ask for a stop mid-run

    void AppendMemo(const QString &line) override { memo << line; }
    void AppendControlMemo(const QString &line) override { controlMemo << line; }
    void AppendTransparent(const QString &line) override { transparent << line; }
    void SetResultPanel(const QString &text) override { resultPanel = text; }
    void RepeatResult(Memo where) override { (where == Memo::Traffic ? memo : controlMemo) << resultPanel; }
    void ShowMessage(const QString &text) override { messages << text; }
    bool AskOkCancel(const QString &text, const QString &) override
    {
        questions << text;
        if (answers.empty())
            return true;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void ShowError(const QString &text) override { errors << text; }
    QString AskOpenFile(const QString &, const QString &) override { return NextFile(); }
    QString AskSaveFile(const QString &, const QString &) override { return NextFile(); }
    void ClearEditors() override { ++clearEditorsCalls; }
    void ShowWriteRun(const WriteRunStatus &status) override
    {
        runs << status;
        if (onRun)
            onRun(status);
    }

private:
    QString NextFile()
    {
        if (fileAnswers.empty())
            return {};
        QString f = fileAnswers.front();
        fileAnswers.pop_front();
        return f;
    }
};
