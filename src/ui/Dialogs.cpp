#include "ui/Dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace {

QString RunFileDialog(QWidget *parent, QFileDialog::AcceptMode mode, const QString &initialName,
                      const QString &defaultSuffix)
{
    // "<folder>/*.txt": the folder to start in and the filter to offer.
    const QFileInfo info(initialName);
    const QString name = info.fileName();
    const bool wildcard = name.contains(QLatin1Char('*'));
    QFileDialog dialog(parent, QString(), wildcard ? info.path() : initialName,
                       wildcard ? QStringLiteral("%1 (%1);;* (*)").arg(name) : QStringLiteral("*.txt (*.txt);;* (*)"));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix); // ".txt" is taken as "txt"
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

void QtDialogs::Message(const QString &text, const QString &caption)
{
    QMessageBox::information(parent_, caption, text);
}

void QtDialogs::Error(const QString &text, const QString &caption)
{
    QMessageBox::critical(parent_, caption, text);
}

bool QtDialogs::Question(const QString &text, const QString &caption)
{
    return QMessageBox::question(parent_, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                                 QMessageBox::Ok) == QMessageBox::Ok;
}

QString QtDialogs::OpenFile(const QString &initialName, const QString &defaultSuffix)
{
    return RunFileDialog(parent_, QFileDialog::AcceptOpen, initialName, defaultSuffix);
}

QString QtDialogs::SaveFile(const QString &initialName, const QString &defaultSuffix)
{
    return RunFileDialog(parent_, QFileDialog::AcceptSave, initialName, defaultSuffix);
}

bool QtDialogs::AskText(const QString &text, const QString &caption, const QString &initial, QString *answer)
{
    bool ok = false;
    const QString typed = QInputDialog::getText(parent_, caption, text, QLineEdit::Normal, initial, &ok);
    if (ok)
        *answer = typed;
    return ok;
}
