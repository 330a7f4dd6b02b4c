// Long run of the main window receiving data: a loopback TCP peer plays a
// chatty device and streams bytes; the window's receive poller shows them on
// the transparent display and, at trace level 1, in the traffic memo. The
// resident memory is printed every 10 s; with the memos bounded it must stay
// flat once they are full.
//
//   bench_soak [SECONDS [TICK_MS]]      default 180 s, poller every 5 ms
//
// The poller normally ticks every 100 ms (two memo lines per tick); the
// shorter tick fills the 10000-line memos within the first half minute.
#include "session/DtuSession.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

class SilentDialogs : public Dialogs {
public:
    void Message(const QString &, const QString &) override {}
    void Error(const QString &text, const QString &) override
    {
        std::fprintf(stderr, "error box: %s\n", qPrintable(text));
    }
    bool Question(const QString &, const QString &) override { return true; }
    QString OpenFile(const QString &, const QString &) override { return {}; }
    QString SaveFile(const QString &, const QString &) override { return {}; }
    bool AskText(const QString &, const QString &, const QString &, QString *) override { return false; }
};

long RssKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? QByteArray(argv[1]).toInt() : 180;
    const int tickMs = argc > 2 ? QByteArray(argv[2]).toInt() : 5;

    QTemporaryDir dir;
    QFile::copy(QStringLiteral(DTU_SOURCE_DIR "/examples/script.js"), dir.filePath(QStringLiteral("script.js")));
    QDir::setCurrent(dir.path());

    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0)) {
        std::fprintf(stderr, "no loopback port\n");
        return 1;
    }
    SilentDialogs dialogs;
    TForm1 window(dialogs);
    window.show();
    DtuSession &session = window.session();
    session.state.AccessLevel = 1; // the traffic memo gets a trace line per poll too
    session.state.HexDisplayOn = true;
    session.tcp.SetPort(server.serverPort());
    session.tcp.Connect(QStringLiteral("127.0.0.1"), QStringLiteral("480917"));
    if (!server.waitForNewConnection(3000)) {
        std::fprintf(stderr, "no connection\n");
        return 1;
    }
    QTcpSocket *device = server.nextPendingConnection();
    QElapsedTimer wait;
    wait.start();
    while (!session.tcp.IsOpen() && wait.elapsed() < 3000)
        app.processEvents(QEventLoop::AllEvents, 10);

    // 64 bytes of readable status text every 10 ms, about 6 KiB/s.
    QByteArray chunk;
    for (int i = 0; i < 64; ++i)
        chunk.append(static_cast<char>('0' + i % 43));
    QTimer sender;
    qint64 sent = 0;
    QObject::connect(&sender, &QTimer::timeout, [&] {
        device->write(chunk);
        sent += chunk.size();
    });
    sender.start(10);
    session.poller.SetEnabled(true);
    session.poller.Timer().Start(tickMs);

    auto *memo1 = window.findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
    auto *memo2 = window.findChild<QPlainTextEdit *>(QStringLiteral("Memo2"));
    const long startRss = RssKiB();
    std::printf("%6s %10s %12s %8s %8s\n", "t/s", "RSS/KiB", "received/B", "Memo1", "Memo2");
    std::printf("%6d %10ld %12d %8d %8d\n", 0, startRss, 0, memo1->blockCount(), memo2->blockCount());
    std::fflush(stdout);

    QElapsedTimer run;
    run.start();
    QTimer sampler;
    long fullRss = -1;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const long rss = RssKiB();
        if (fullRss < 0 && memo2->blockCount() >= memo2->maximumBlockCount())
            fullRss = rss;
        std::printf("%6lld %10ld %12d %8d %8d\n", run.elapsed() / 1000, rss, session.state.ReceivedByteCount,
                    memo1->blockCount(), memo2->blockCount());
        std::fflush(stdout);
        if (run.elapsed() >= qint64(seconds) * 1000)
            app.quit();
    });
    sampler.start(10000);
    app.exec();

    const long endRss = RssKiB();
    std::printf("sent %lld bytes, shown %d; RSS start %ld KiB, memos full %ld KiB, end %ld KiB\n", sent,
                session.state.ReceivedByteCount, startRss, fullRss, endRss);
    return 0;
}
