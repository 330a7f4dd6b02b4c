// dtucfg: the configuration tool's device operations from the command line.
#include "cli/Dtucfg.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("dtucfg"));
    return Dtucfg::Run(QCoreApplication::arguments().mid(1));
}
