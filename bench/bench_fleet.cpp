// A technician's round against the simulated device over a pseudo-terminal:
// a batch write of 50 rows, a read of all of them, and ten control-mode
// commands, each in the standard mode (410 ms quiet gap) and in the fast
// reply completion mode. Prints the times, their ratio and the physical
// floor: the bytes on the wire at the baud rate (10 bits a byte) plus the
// device's answer delay for every exchange. The operations are the library's
// own (the ones the window and dtucfg call), so the frames are the same.
//
//   bench_fleet [DEVICE_DELAY_MS [BAUD]]     (defaults 20 and 57600)
#include "core/DtuError.h"
#include "core/RealScheduler.h"
#include "session/ActionScope.h"
#include "session/DtuSession.h"
#include "core/Frontend.h"
#include "ops/ParamFile.h"
#include "ops/ParamReader.h"
#include "ops/ProfileLoader.h"
#include "ops/ControlMode.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

constexpr int kRows = 50;

// Counts what the window would show: result lines and, at access level 1,
// the traffic trace, whose byte counts give the floor.
class CountingFrontend : public Frontend {
public:
    void AppendMemo(const QString &line) override { Note(line); }
    void AppendTransparent(const QString &) override {}
    void AppendControlMemo(const QString &line) override { Note(line); }
    void SetResultPanel(const QString &text) override { panel_ = text; }
    void RepeatResult(Memo) override { Note(panel_); }
    void ShowMessage(const QString &text) override { Note(text); }
    bool AskOkCancel(const QString &, const QString &) override { return true; }
    void ShowError(const QString &text) override { Note(text); }
    QString AskOpenFile(const QString &, const QString &) override { return {}; }
    QString AskSaveFile(const QString &, const QString &) override { return {}; }

    void Reset()
    {
        exchanges = 0;
        wireBytes = 0;
        lines.clear();
    }
    int exchanges = 0;
    qint64 wireBytes = 0;
    QStringList lines; // everything but the trace

private:
    void Note(const QString &line)
    {
        const bool down = line.startsWith(QStringLiteral("下行："));
        if (down || line.startsWith(QStringLiteral("上行："))) {
            exchanges += down ? 1 : 0;
            wireBytes += line.mid(3).split(QLatin1Char(' '), Qt::SkipEmptyParts).size();
            return;
        }
        lines << line;
    }
    QString panel_;
};

// The window's clock, watched: how late each 10 ms poll wakes up.
class WatchedClock : public RealScheduler {
public:
    void Sleep(int ms) override
    {
        QElapsedTimer t;
        t.start();
        RealScheduler::Sleep(ms);
        const double late = t.nsecsElapsed() / 1e6 - ms;
        lateSum += late;
        lateMax = qMax(lateMax, late);
        ++sleeps;
    }
    void Reset()
    {
        lateSum = lateMax = 0;
        sleeps = 0;
    }
    double lateSum = 0;
    double lateMax = 0;
    int sleeps = 0;
};

// 50 parameters of two to six bytes, numbers 0101..0132.
QByteArray FleetProfile()
{
    QByteArray json = "{\n    \"Title\": \"Fleet bench\",\n    \"Comport\": \"COM1\",\n"
                      "    \"Baudrate\": \"57600\",\n    \"ComOption\": \"8N1\",\n    \"Params\": [\n";
    for (int i = 1; i <= kRows; ++i) {
        QByteArray hex;
        for (int b = 0; b < 2 + i % 5; ++b)
            hex += QByteArray::number((i * 7 + b * 13) % 256, 16).rightJustified(2, '0').toUpper();
        json += "        {\"CMDID\": \"" + QByteArray::number(0x100 + i, 16).rightJustified(4, '0').toUpper()
            + "\", \"PNAME\": \"P" + QByteArray::number(i) + "\", \"PVALUE\": \"HEX:" + hex
            + "\", \"ONLIST\": \"\", \"ONGET\": \"\", \"ONSET\": \"\", \"PNOTE\": \"\"}"
            + (i < kRows ? ",\n" : "\n");
    }
    return json + "    ]\n}\n";
}

struct Step {
    const char *name;
    std::function<void(DtuSession &)> run;
    // Lines a healthy device gives; the run is void without them.
    std::function<bool(const QStringList &)> healthy;
};

struct Measure {
    double ms = 0;
    int exchanges = 0;
    qint64 wireBytes = 0;
    bool ok = false;
    double meanLateMs = 0;
    double maxLateMs = 0;
};

int Count(const QStringList &lines, const QString &text)
{
    return static_cast<int>(lines.count(text));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const int delayMs = args.value(0, QStringLiteral("20")).toInt();
    const int baud = args.value(1, QStringLiteral("57600")).toInt();
    if (delayMs < 0 || baud <= 0) {
        std::fprintf(stderr, "usage: bench_fleet [DEVICE_DELAY_MS [BAUD]]\n");
        return 2;
    }

    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("script.js"));
    const QString profile = dir.filePath(QStringLiteral("fleet.txt"));
    QFile profileFile(profile);
    if (!dir.isValid() || !QFile::copy(QStringLiteral(DTU_SOURCE_DIR "/examples/script.js"), script)
        || !profileFile.open(QIODevice::WriteOnly) || profileFile.write(FleetProfile()) < 0) {
        std::fprintf(stderr, "cannot prepare %s\n", qPrintable(dir.path()));
        return 2;
    }
    profileFile.close();

    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(QStringLiteral(DTU_BINARY_DIR "/src/dtusim"),
              {QStringLiteral("--profile"), profile, QStringLiteral("--script"), script, QStringLiteral("--delay"),
               QString::number(delayMs)});
    while (!sim.canReadLine()) {
        if (!sim.waitForReadyRead(5000)) {
            std::fprintf(stderr, "dtusim did not start\n");
            return 2;
        }
    }
    const QString pty = QString::fromUtf8(sim.readLine()).trimmed();

    CountingFrontend frontend;
    WatchedClock clock;
    DtuSession session(frontend, clock);
    try {
        if (!session.script.LoadFile(script))
            throw DtuError(QStringLiteral("script"));
        ProfileLoader::LoadProfile(session, profile);
    } catch (const DtuError &e) {
        std::fprintf(stderr, "cannot load the profile: %s\n", qPrintable(e.text()));
        return 2;
    }
    if (!session.serial.Open(pty, QString::number(baud), QStringLiteral("8N1"))) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(pty));
        return 2;
    }
    session.state.AccessLevel = 1; // the trace counts the bytes

    const QString written = QStringLiteral("[参数设置成功]");
    const QList<Step> steps = {
        {"batch write, 50 rows", [](DtuSession &s) { RunAction(s, [&] { ParamFile::BatchWrite(s); }); },
         [&](const QStringList &l) { return Count(l, written) == kRows; }},
        {"read all rows", [](DtuSession &s) { RunAction(s, [&] { ParamReader::ReadPage(s); }); },
         [](const QStringList &l) { return Count(l, QStringLiteral("[参数读取完毕]")) == 1; }},
        {"control mode, 10 commands",
         [](DtuSession &s) {
             // Ten presses: status, signal, version + IMEI, clock, set clock,
             // twice; each its own action, as the window's buttons start them.
             for (int round = 0; round < 2; ++round) {
                 const std::function<void(DtuSession &)> presses[] = {
                     ControlMode::ReadStatus, ControlMode::ReadSignal, ControlMode::ReadVersion,
                     ControlMode::ReadClock, ControlMode::SetClock};
                 for (const auto &press : presses)
                     RunAction(s, [&] { press(s); });
             }
         },
         [](const QStringList &l) {
             return Count(l, QStringLiteral("[设备时钟设置成功]")) == 2 && Count(l, QStringLiteral("信号读取失败")) == 0
                 && Count(l, QStringLiteral("设备时钟读取成功")) == 2;
         }},
    };

    QList<Measure> results[2];
    for (int fast = 0; fast < 2; ++fast) {
        session.exchange.SetFastCompletion(fast == 1);
        for (const Step &step : steps) {
            frontend.Reset();
            clock.Reset();
            QElapsedTimer timer;
            timer.start();
            step.run(session);
            Measure m;
            m.ms = timer.nsecsElapsed() / 1e6;
            m.exchanges = frontend.exchanges;
            m.wireBytes = frontend.wireBytes;
            m.ok = step.healthy(frontend.lines);
            m.meanLateMs = clock.lateSum / qMax(1, clock.sleeps);
            m.maxLateMs = clock.lateMax;
            results[fast] << m;
            if (!m.ok)
                std::fprintf(stderr, "%s (%s): unexpected outcome: %s\n", step.name, fast ? "fast" : "standard",
                             qPrintable(frontend.lines.join(QLatin1String(" | "))));
        }
    }
    sim.terminate();
    sim.waitForFinished(3000);

    std::printf("dtusim over a pseudo-terminal, %d baud, device delay %d ms\n\n", baud, delayMs);
    std::printf("%-26s %5s %6s %11s %9s %7s %9s %10s\n", "operation", "exch", "bytes", "standard ms", "fast ms",
                "ratio", "floor ms", "fast/floor");
    bool allOk = true;
    bool targetsMet = true;
    for (int i = 0; i < steps.size(); ++i) {
        const Measure &s = results[0][i];
        const Measure &f = results[1][i];
        allOk = allOk && s.ok && f.ok;
        // Both modes send and receive the same bytes; the fast run's count is used.
        const double floorMs = f.wireBytes * 10.0 * 1000.0 / baud + double(f.exchanges) * delayMs;
        std::printf("%-26s %5d %6lld %11.0f %9.0f %6.1fx %9.0f %9.2fx%s\n", steps[i].name, f.exchanges,
                    static_cast<long long>(f.wireBytes), s.ms, f.ms, s.ms / f.ms, floorMs, f.ms / floorMs,
                    s.ok && f.ok ? "" : "  (device answers not as expected)");
        if (i == 0)
            targetsMet = s.ms / f.ms >= 5.0 && f.ms / floorMs <= 3.0;
    }
    const Measure &fw = results[1][0];
    std::printf("\nfast batch write: %.1f ms per exchange, %.1f ms of it beyond the floor\n",
                fw.ms / qMax(1, fw.exchanges),
                (fw.ms - (fw.wireBytes * 10.0 * 1000.0 / baud + double(fw.exchanges) * delayMs)) / qMax(1, fw.exchanges));
    std::printf("poll lateness (10 ms sleeps), batch write: standard mean %.2f ms max %.1f ms, fast mean %.2f ms max %.1f ms\n",
                results[0][0].meanLateMs, results[0][0].maxLateMs, fw.meanLateMs, fw.maxLateMs);
    std::printf("targets (batch write: fast >= 5x quicker than standard, <= 3x the floor): %s\n",
                targetsMet ? "met" : "missed");
    return allOk && targetsMet ? 0 : 1;
}
