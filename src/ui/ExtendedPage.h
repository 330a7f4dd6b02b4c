#pragma once
#include <QCoreApplication>
#include <QList>
#include <QWidget>

class DtuSession;
class HandlerRunner;
class Recorder;
class QTableView;

// "接口参数设置" (TabSheet5): the interface parameter table with its own
// 读取 / 设置; a tab only while the profile names an interface file.
class ExtendedPage : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(TForm1)
public:
    ExtendedPage(DtuSession &session, HandlerRunner &run, Recorder &recorder, QWidget *parent = nullptr);

    QTableView *Table() const { return ListView2; }
    QList<QWidget *> Lockable() const { return lockable_; }

private:
    DtuSession &session_;
    HandlerRunner &run_;
    Recorder &recorder_;
    QList<QWidget *> lockable_;
    QTableView *ListView2 = nullptr;
};
