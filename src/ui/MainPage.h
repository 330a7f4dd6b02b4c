#pragma once
#include "ui/WindowPage.h"

class Recorder;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
struct WindowFacts;

// "通信参数设置" (TabSheet1): the serial box, the TCP box, 读取 / 设置 and
// the main parameter table.
class MainPage : public WindowPage {
    Q_DECLARE_TR_FUNCTIONS(TForm1)
public:
    MainPage(DtuSession &session, HandlerRunner &run, Recorder &recorder);

    QTableView *Table() const { return ListView1; }
    // Shows what the profile and the channel set: port, speed, format, which
    // box (serial or TCP), captions and the open or closed colour.
    void ShowFacts(const WindowFacts &facts);
    // "打开串口" / "关闭串口".
    void ToggleSerial();

private:
    void BuildSerialBox();
    void BuildTcpBox();
    void BuildButtons();

    Recorder &recorder_;
    QGroupBox *GroupBox2 = nullptr;
    QComboBox *Edit1 = nullptr;
    QComboBox *ComboBox1 = nullptr;
    QComboBox *ComboBox6 = nullptr;
    QPushButton *Button3 = nullptr;
    QGroupBox *GroupBox16 = nullptr;
    QLineEdit *Edit8 = nullptr;
    QLineEdit *Edit9 = nullptr;
    QLabel *Label10 = nullptr;
    QFrame *Panel16 = nullptr;
    QTableView *ListView1 = nullptr;
};
