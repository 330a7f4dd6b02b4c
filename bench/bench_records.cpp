// The device records in a SQLite file: how long keeping one entry of 40
// rows takes (each commit on the disk before Append returns), and how long
// the history of one device takes to list among 100 000 entries.
//
//   bench_records [--entries N] [--devices D] [--appends A] [--folder DIR]
//
// The store is made in DIR (default: a temporary folder) and removed after.
#include "store/RecordStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRows = 40;

RecordEntry Entry(int device, int serial)
{
    RecordEntry e = RecordEntries::Begin(RecordProgram::Fleet, RecordAction::Provision);
    e.target = QStringLiteral("/dev/ttyUSB%1").arg(device % 16);
    e.device = {QStringLiteral("D%1").arg(device, 5, 10, QLatin1Char('0')),
                QStringLiteral("8612345%1").arg(device, 8, 10, QLatin1Char('0')), QStringLiteral("V2.1.0")};
    e.profile = {QStringLiteral("示例设备"), QStringLiteral("/srv/profiles/示例设备.txt"), QStringLiteral("sha256:ab12")};
    e.outcome = QStringLiteral("ok");
    e.details = QJsonObject{{QStringLiteral("written"), kRows}};
    for (int r = 0; r < kRows; ++r) {
        RecordRow row;
        row.number = QStringLiteral("%1").arg(0x30 + r, 4, 16, QLatin1Char('0')).toUpper();
        row.name = QStringLiteral("参数%1").arg(r);
        row.before = {QStringLiteral("HEX:%1").arg(serial, 8, 16, QLatin1Char('0')), QString::number(serial)};
        row.after = {QStringLiteral("HEX:%1").arg(serial + 1, 8, 16, QLatin1Char('0')), QString::number(serial + 1)};
        row.result = QStringLiteral("ok");
        e.rows << row;
    }
    return e;
}

struct Figures {
    double median, p95, max, mean;
};

Figures Summarise(QList<double> ms)
{
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    const auto at = [&](double q) { return ms[std::min<qsizetype>(ms.size() - 1, qsizetype(q * ms.size()))]; };
    return {at(0.5), at(0.95), ms.last(), sum / ms.size()};
}

void Print(const char *what, const Figures &f)
{
    std::printf("%-52s median %7.2f ms  p95 %7.2f ms  max %7.2f ms  mean %7.2f ms\n", what, f.median, f.p95, f.max,
                f.mean);
}

// Appends `count` entries one by one, each its own transaction.
bool TimeAppends(RecordStore &store, int count, int devices, QList<double> *ms)
{
    for (int i = 0; i < count; ++i) {
        const RecordEntry e = Entry(QRandomGenerator::global()->bounded(devices), i);
        QElapsedTimer t;
        t.start();
        const StoreResult<qint64> added = store.Append(e);
        ms->append(t.nsecsElapsed() / 1e6);
        if (!added.Ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(added.error.message));
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    const auto option = [&](const QString &name, const QString &fallback) {
        const qsizetype at = args.indexOf(name);
        return at >= 0 ? args.value(at + 1) : fallback;
    };
    const int entries = option(QStringLiteral("--entries"), QStringLiteral("100000")).toInt();
    const int devices = option(QStringLiteral("--devices"), QStringLiteral("500")).toInt();
    const int appends = option(QStringLiteral("--appends"), QStringLiteral("200")).toInt();
    const QString base = option(QStringLiteral("--folder"), QString());
    if (entries < 1 || devices < 1 || appends < 1) {
        std::fprintf(stderr, "usage: bench_records [--entries N] [--devices D] [--appends A] [--folder DIR]\n");
        return 2;
    }
    QTemporaryDir dir(base.isEmpty() ? QDir::tempPath() + QStringLiteral("/bench_records-XXXXXX")
                                     : base + QStringLiteral("/bench_records-XXXXXX"));
    RecordLocation location;
    QString why;
    RecordLocation::Parse(dir.filePath(QStringLiteral("records.sqlite")), &location, &why);
    RecordStore store;
    if (const StoreError opened = store.Open(location); !opened.IsNone()) {
        std::fprintf(stderr, "%s\n", qPrintable(opened.message));
        return 1;
    }
    std::printf("store %s; %d rows per entry\n", qPrintable(location.path), kRows);

    QList<double> fresh;
    if (!TimeAppends(store, appends, devices, &fresh))
        return 1;
    Print("append one entry (new store)", Summarise(fresh));

    // The rest in transactions of 1000, as fast as the disk allows.
    QElapsedTimer filling;
    filling.start();
    for (int done = appends; done < entries;) {
        QList<RecordEntry> batch;
        for (; batch.size() < 1000 && done < entries; ++done)
            batch << Entry(QRandomGenerator::global()->bounded(devices), done);
        if (const auto added = store.Append(batch); !added.Ok()) {
            std::fprintf(stderr, "%s\n", qPrintable(added.error.message));
            return 1;
        }
    }
    std::printf("filled to %d entries of %d devices in %.1f s (%.1f MB)\n", entries, devices,
                filling.elapsed() / 1000.0, QFileInfo(location.path).size() / 1e6);

    QList<double> full;
    if (!TimeAppends(store, appends, devices, &full))
        return 1;
    Print(qPrintable(QStringLiteral("append one entry (%1 entries there)").arg(entries + appends)), Summarise(full));

    const auto timeQueries = [&](const char *what, const std::function<bool(int)> &query) {
        QList<double> ms;
        for (int i = 0; i < 100; ++i) {
            const int device = QRandomGenerator::global()->bounded(devices);
            QElapsedTimer t;
            t.start();
            if (!query(device))
                return false;
            ms.append(t.nsecsElapsed() / 1e6);
        }
        Print(what, Summarise(ms));
        return true;
    };
    const auto key = [](int device) { return QStringLiteral("D%1").arg(device, 5, 10, QLatin1Char('0')); };
    const auto imei = [](int device) { return QStringLiteral("8612345%1").arg(device, 8, 10, QLatin1Char('0')); };
    const bool ok =
        timeQueries("one device's history, newest 50 (by number)",
                    [&](int d) { return store.Entries(key(d), 50).Ok(); })
        && timeQueries("one device's history, all (~200 entries, by IMEI)",
                       [&](int d) { return store.Entries(imei(d)).Ok(); })
        && timeQueries("one device's newest 50 with their rows",
                       [&](int d) { return store.Entries(key(d), 50, true).Ok(); })
        && timeQueries("one entry with its 40 rows", [&](int d) {
               return store.Entry(1 + QRandomGenerator::global()->bounded(entries) + d * 0).Ok();
           })
        && timeQueries("the devices (all of them)", [&](int) { return store.Devices().value.size() == devices; })
        && timeQueries("the devices, filtered", [&](int d) { return store.Devices(key(d)).Ok(); });
    return ok ? 0 : 1;
}
