#pragma once
#include "ui/Dialogs.h"

#include <QStringList>
#include <deque>

// Dialogs for window tests: records every box and answers questions and
// file dialogs from queues (OK and "cancelled" once they run dry), so no
// modal box ever waits for a user.
class ScriptedDialogs : public Dialogs {
public:
    struct Box {
        QString text;
        QString caption;
    };
    QList<Box> messages;
    QList<Box> errors;
    QList<Box> questions;
    QStringList openRequests; // initial names the open dialog was given
    std::deque<bool> answers;
    std::deque<QString> files;
    QList<Box> textQuestions;
    std::deque<QString> texts; // typed answers; cancelled once they run dry

    void Message(const QString &text, const QString &caption) override { messages.append({text, caption}); }
    void Error(const QString &text, const QString &caption) override { errors.append({text, caption}); }
    bool Question(const QString &text, const QString &caption) override
    {
        questions.append({text, caption});
        if (answers.empty())
            return true;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString OpenFile(const QString &initialName, const QString &) override
    {
        openRequests << initialName;
        return NextFile();
    }
    QString SaveFile(const QString &, const QString &) override { return NextFile(); }
    bool AskText(const QString &text, const QString &caption, const QString &, QString *answer) override
    {
        textQuestions.append({text, caption});
        if (texts.empty())
            return false;
        *answer = texts.front();
        texts.pop_front();
        return true;
    }

private:
    QString NextFile()
    {
        if (files.empty())
            return {};
        QString f = files.front();
        files.pop_front();
        return f;
    }
};
