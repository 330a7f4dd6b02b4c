#pragma once
#include "core/Frontend.h"

#include <QWidget>

class AppState;
class QLabel;
class QProgressBar;
class QPushButton;

// The status bar's part of a write run of more than one row: rows done of
// the total, the row being written, and "停止", which asks the run to end
// after the exchange under way. Hidden otherwise.
class WriteProgress : public QWidget {
public:
    explicit WriteProgress(AppState &state, QWidget *parent = nullptr);
    void Show(const WriteRunStatus &status);

private:
    AppState &state_;
    QLabel *row_;
    QProgressBar *bar_;
    QPushButton *stop_;
};
