#pragma once
#include <QString>

// Where a run of parameter writes stands: reported before each row, and once
// more when the run ends (running false, done counting the rows tried).
struct WriteRunStatus {
    int done = 0;           // rows tried so far
    int total = 0;          // rows the run means to write
    QString currentName;    // name of the row being written; empty at the end
    bool running = false;
    QString currentNumber;  // the number of the row being written
};

// The edge between the device logic and whoever shows it: the main window,
// the command line tool, or a test. Every text a device operation reports and
// every question it asks goes through here, so the library never opens a
// dialog from inside an exchange and tests answer questions without a window.
class Frontend {
public:
    virtual ~Frontend() = default;

    // Traffic memo (Memo1): result lines.
    virtual void AppendMemo(const QString &line) = 0;
    // A trace line of the traffic memo ("下行：..." / "上行：...", written at
    // access level 1): the window shows it as any memo line; a front end
    // may keep it apart.
    virtual void AppendTrace(const QString &line) { AppendMemo(line); }
    // Transparent display (Memo2) on the transparent-test page.
    virtual void AppendTransparent(const QString &line) = 0;
    // Control-mode display (Memo4).
    virtual void AppendControlMemo(const QString &line) = 0;
    // Panel 3 of the main status bar: result of the last operation.
    virtual void SetResultPanel(const QString &text) = 0;
    // Appends panel 3's text, as it stands, to a memo once more: an outcome
    // without a text of its own (a question answered Cancel, a corrupt
    // reply) repeats the last result there. Only the front end knows what
    // its panel shows; nothing below it reads the panel back.
    enum class Memo { Traffic, Control };
    virtual void RepeatResult(Memo memo) = 0;

    // Message box with an OK button (for example the closed-channel message).
    virtual void ShowMessage(const QString &text) = 0;
    // OK/Cancel question; true means OK.
    virtual bool AskOkCancel(const QString &text, const QString &caption) = 0;
    // The application's general error box for errors an operation does not catch.
    virtual void ShowError(const QString &text) = 0;
    // File dialogs; an empty result means the user cancelled.
    virtual QString AskOpenFile(const QString &initialName, const QString &defaultSuffix) = 0;
    virtual QString AskSaveFile(const QString &initialName, const QString &defaultSuffix) = 0;

    // Empties the text of the in-place editor that is showing (a write refused
    // with a non-frame reply does this). Front ends without editors ignore it.
    virtual void ClearEditors() {}
    // Hides both in-place editors (a read is about to refresh the rows).
    virtual void HideEditors() {}
    // Progress of a run of parameter writes ("设置", a batch write): a front
    // end may show a bar and offer to stop (AppState::StopRequested).
    virtual void ShowWriteRun(const WriteRunStatus & /*status*/) {}
};
