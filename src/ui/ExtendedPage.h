#pragma once
#include "ui/WindowPage.h"

class Recorder;
class QTableView;

// "接口参数设置" (TabSheet5): the interface parameter table with its own
// 读取 / 设置; a tab only while the profile names an interface file.
class ExtendedPage : public WindowPage {
    Q_DECLARE_TR_FUNCTIONS(TForm1)
public:
    ExtendedPage(DtuSession &session, HandlerRunner &run, Recorder &recorder);

    QTableView *Table() const { return ListView2; }

private:
    Recorder &recorder_;
    QTableView *ListView2 = nullptr;
};
