#include "ui/MainWindow.h"
#include "ui/WindowLanguage.h"
#include "DtuVersion.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    // Answered before the toolkit starts, so it works without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("dtuconfig " DTU_VERSION);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("参数配置程序"));
    QApplication::setApplicationDisplayName(QString());
    // Before any widget: every text is looked up as it is made.
    Translation::Install(WindowLanguage::Resolve(WindowLanguage::SavedChoice(), QLocale::system()));
    // The saved traffic log names the version that wrote it.
    QApplication::setApplicationVersion(QStringLiteral(DTU_VERSION));
    return RunMainWindow(app);
}
