#pragma once
#include "ui/WindowPage.h"

class QPlainTextEdit;

// "透明传输测试" (TabSheet2): what the device sent shown as text or hex, the
// data to send with its repeat count and CRC, and the byte counters.
class TransparentPage : public WindowPage {
    Q_DECLARE_TR_FUNCTIONS(TForm1)
public:
    TransparentPage(DtuSession &session, HandlerRunner &run);

    // The dialogue display (Memo2).
    QPlainTextEdit *Display() const { return Memo2; }

private:
    QPlainTextEdit *Memo2 = nullptr;
};
