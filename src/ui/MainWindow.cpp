#include "ui/MainWindow.h"

#include <QApplication>

int RunMainWindow(QApplication &app)
{
    return app.exec();
}
