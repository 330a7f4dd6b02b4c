#include "ui/MainWindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("参数配置程序"));
    QApplication::setApplicationDisplayName(QString());
    return RunMainWindow(app);
}
