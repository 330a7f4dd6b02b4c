// The progress of a fleet run on standard error: live lines redrawn in
// place on a terminal, plain start and end lines otherwise.
#include "cli/FleetProgress.h"
#include "core/Translation.h"
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
        DeviceReport r{QStringLiteral("tcp:10.0.0.7"), {}, OutcomeId::WrittenWithErrors, 12};
        r.failed.append({QStringLiteral("0031"), QStringLiteral("中心端口"), QStringLiteral("[参数设置失败]")});
        r.seconds = 7.24;
        progress.Finished(6, r);
        QCOMPARE(Written(file), QStringLiteral("[ 7/12] tcp:10.0.0.7   开始\n"
                                               "[ 7/12] tcp:10.0.0.7   部分失败  写入12行，失败1行  7.2秒\n"));
        std::fclose(file);

        // dtucfg --lang en: the same lines in English.
        QVERIFY(Translation::Install(Language::English));
        file = std::tmpfile();
        FleetProgress english(file, false, Targets(12));
        english.Started(6);
        r.differences.append({QStringLiteral("0030"), QStringLiteral("中心地址"), QStringLiteral("10.0.0.8"),
                              QStringLiteral("10.0.0.9")});
        english.Finished(6, r);
        QVERIFY(Translation::Install(Language::Chinese));
        QCOMPARE(Written(file),
                 QStringLiteral("[ 7/12] tcp:10.0.0.7   started\n"
                                "[ 7/12] tcp:10.0.0.7   Partly failed  12 rows written, 1 failed, 1 differ  7.2 s\n"));
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
        QCOMPARE(text, QStringLiteral("\r\x1b[K[1/2] tcp:10.0.0.1  连接中\n"
                                      "\r\x1b[K[2/2] tcp:10.0.0.2  等待\n"
                                      "\x1b[2A" // back up over the block
                                      "\r\x1b[K[1/2] tcp:10.0.0.1  写入中 3/13\n"
                                      "\r\x1b[K[2/2] tcp:10.0.0.2  等待\n"));
        std::fclose(file);
    }
};

DTU_TEST_GUILESS(FleetProgressTest)
#include "tst_fleet_progress.moc"
