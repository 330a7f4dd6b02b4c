// The progress of a fleet run on standard error: live lines redrawn in
// place on a terminal, plain start and end lines otherwise.
#include "cli/FleetProgress.h"
#include "support/TestMain.h"

#include <cstdio>

namespace {
QString Written(std::FILE *file)
{
    std::fflush(file);
    std::rewind(file);
    QByteArray bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, static_cast<qsizetype>(n));
    return QString::fromUtf8(bytes);
}

QStringList Targets(int count)
{
    QStringList targets;
    for (int i = 1; i <= count; ++i)
        targets << QStringLiteral("tcp:10.0.0.%1").arg(i);
    return targets;
}
} // namespace

class FleetProgressTest : public QObject {
    Q_OBJECT
private slots:
    void plainLinesWhenNotATerminal()
    {
        std::FILE *file = std::tmpfile();
        FleetProgress progress(file, false, Targets(12));
        progress.Started(6);
        progress.Progress(6, QStringLiteral("write"), 5, 13); // no line for each row
        DeviceReport r{QStringLiteral("tcp:10.0.0.7"), {}, QStringLiteral("written-with-errors"), 12};
        r.failed.append({QStringLiteral("0031"), QStringLiteral("中心端口"), QStringLiteral("[参数设置失败]")});
        r.seconds = 7.24;
        progress.Finished(6, r);
        QCOMPARE(Written(file), QStringLiteral("[ 7/12] tcp:10.0.0.7   started\n"
                                               "[ 7/12] tcp:10.0.0.7   written-with-errors  12 written, 1 failed  7.2 s\n"));
        std::fclose(file);
    }

    void liveLinesRedrawnInPlace()
    {
        std::FILE *file = std::tmpfile();
        FleetProgress progress(file, true, Targets(2));
        progress.Started(0);
        progress.Progress(0, QStringLiteral("write"), 3, 13); // within 100 ms of the last drawing: later
        progress.Flush();
        const QString text = Written(file);
        QCOMPARE(text, QStringLiteral("\r\x1b[K[1/2] tcp:10.0.0.1  open\n"
                                      "\r\x1b[K[2/2] tcp:10.0.0.2  waiting\n"
                                      "\x1b[2A" // back up over the block
                                      "\r\x1b[K[1/2] tcp:10.0.0.1  write 3/13\n"
                                      "\r\x1b[K[2/2] tcp:10.0.0.2  waiting\n"));
        std::fclose(file);
    }
};

DTU_TEST_GUILESS(FleetProgressTest)
#include "tst_fleet_progress.moc"
