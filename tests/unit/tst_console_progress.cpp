// dtucfg's progress line on a terminal: drawn in place on standard error,
// wiped before any output line and at the end, and only for runs of more
// than one row. (Whether standard error is a terminal is main's question.)
#include "cli/ConsoleFrontend.h"
#include "support/TestMain.h"

#include <QTest>
#include <cstdio>

namespace {
QByteArray Contents(std::FILE *file)
{
    std::fflush(file);
    std::rewind(file);
    QByteArray bytes;
    char buffer[512];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, qsizetype(n));
    return bytes;
}
} // namespace

class ConsoleProgressTest : public QObject {
    Q_OBJECT
private slots:
    void progressOnTerminal()
    {
        std::FILE *out = std::tmpfile();
        std::FILE *err = std::tmpfile();
        {
            ConsoleFrontend fe(out, err);
            fe.SetProgressOnTerminal(true);
            fe.ShowWriteRun({0, 1, QStringLiteral("中心地址"), true}); // one row: no line
            fe.ShowWriteRun({1, 1, QString(), false});
            fe.ShowWriteRun({0, 3, QStringLiteral("中心地址"), true});
            fe.AppendMemo(QStringLiteral("设置参数：中心地址=10.0.0.8"));
            fe.ShowWriteRun({1, 3, QStringLiteral("中心端口"), true});
            fe.ShowWriteRun({2, 3, QString(), false});
            fe.AppendMemo(QStringLiteral("[参数设置已停止，已写入2个参数，1个参数未写入！]"));
        }
        QCOMPARE(QString::fromUtf8(Contents(err)),
                 QStringLiteral("\r\x1b[K写入 0/3 中心地址\r\x1b[K\r\x1b[K写入 1/3 中心端口\r\x1b[K"));
        QCOMPARE(QString::fromUtf8(Contents(out)),
                 QStringLiteral("设置参数：中心地址=10.0.0.8\n[参数设置已停止，已写入2个参数，1个参数未写入！]\n"));
        std::fclose(out);
        std::fclose(err);
    }
};

DTU_TEST_GUILESS(ConsoleProgressTest)
#include "tst_console_progress.moc"
