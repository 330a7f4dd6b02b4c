#pragma once
#include "ops/ProfileCheck.h"

#include <QCoreApplication>
#include <QDialog>

class DtuSession;
class QLabel;
class QListWidget;
class QMainWindow;

// 文件操作 › 检查参数文件...: the profile check on the loaded profile and the
// script beside it, its findings listed; picking one selects its row on the
// main or the interface page. One list per window, refreshed by each run.
class ProfileCheckDialog : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TForm1)
public:
    static void Run(QMainWindow &window, DtuSession &session);

private:
    ProfileCheckDialog(QMainWindow &window, DtuSession &session);
    void Show(const ProfileCheck::Report &report);
    void Pick(int item);

    QMainWindow &window_;
    DtuSession &session_;
    std::vector<ProfileCheck::Finding> findings_;
    QLabel *summary_;
    QListWidget *list_;
};
