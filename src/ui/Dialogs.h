#pragma once
#include <QString>

class QWidget;

// Every modal box the main window opens goes through here, so tests can
// answer them from a script and a dialog never blocks an unattended run.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A message box with an OK button.
    virtual void Message(const QString &text, const QString &caption) = 0;
    // The general error box (an error that ended an operation).
    virtual void Error(const QString &text, const QString &caption) = 0;
    // An OK/Cancel question; true means OK.
    virtual bool Question(const QString &text, const QString &caption) = 0;
    // File dialogs; an empty result means the user cancelled. initialName may
    // hold a folder and a wildcard ("<folder>/*.txt").
    virtual QString OpenFile(const QString &initialName, const QString &defaultSuffix) = 0;
    virtual QString SaveFile(const QString &initialName, const QString &defaultSuffix) = 0;
    // A line of text, starting from `initial`; false when the user cancelled.
    virtual bool AskText(const QString &text, const QString &caption, const QString &initial, QString *answer) = 0;
};

// The real boxes: QMessageBox and QFileDialog over the given window.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget *parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget *parent) { parent_ = parent; }

    void Message(const QString &text, const QString &caption) override;
    void Error(const QString &text, const QString &caption) override;
    bool Question(const QString &text, const QString &caption) override;
    QString OpenFile(const QString &initialName, const QString &defaultSuffix) override;
    QString SaveFile(const QString &initialName, const QString &defaultSuffix) override;
    bool AskText(const QString &text, const QString &caption, const QString &initial, QString *answer) override;

private:
    QWidget *parent_;
};
