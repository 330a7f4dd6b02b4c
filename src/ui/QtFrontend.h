#pragma once
#include "core/Frontend.h"

#include <QCoreApplication>

class Dialogs;
class ParamEditors;
class QLabel;
class QPlainTextEdit;
class WriteProgress;

// The Frontend of the main window: memo lines, the result panel, and every
// box through the window's Dialogs. Until the widgets exist (the session is
// made before them) lines are dropped and the panel text is kept.
class QtFrontend : public Frontend {
public:
    // The caption of every message box.
    static QString AppTitle() { return QCoreApplication::translate("QtFrontend", "参数配置程序"); }

    explicit QtFrontend(Dialogs &dialogs) : dialogs_(dialogs) {}

    struct Widgets {
        QPlainTextEdit *memo1 = nullptr; // traffic memo
        QPlainTextEdit *memo2 = nullptr; // transparent display
        QPlainTextEdit *memo4 = nullptr; // control-mode display
        QLabel *resultPanel = nullptr;   // StatusBar1 panel 3
        ParamEditors *editors = nullptr;
        WriteProgress *writeProgress = nullptr;
    };
    void Bind(const Widgets &widgets);

    void AppendMemo(const QString &line) override;
    void AppendTransparent(const QString &line) override;
    void AppendControlMemo(const QString &line) override;
    void SetResultPanel(const QString &text) override;
    void RepeatResult(Memo memo) override;

    void ShowMessage(const QString &text) override;
    bool AskOkCancel(const QString &text, const QString &caption) override;
    void ShowError(const QString &text) override;
    QString AskOpenFile(const QString &initialName, const QString &defaultSuffix) override;
    QString AskSaveFile(const QString &initialName, const QString &defaultSuffix) override;

    void ClearEditors() override;
    void HideEditors() override;
    void ShowWriteRun(const WriteRunStatus &status) override;

    // "记录时间": every traffic memo line from now on starts with the time.
    void SetStampMemoLines(bool on) { stampMemoLines_ = on; }

private:
    Dialogs &dialogs_;
    Widgets w_;
    QString resultText_;
    bool stampMemoLines_ = false;
};
