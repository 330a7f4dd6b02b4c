// The profile check (dtucfg check) on a clean profile of 10 000 rows: the
// example profile's rows over and over, each with a number of its own and,
// where the row has a Length, a Length of its own (its own plus 0 to 39), so
// rows of one kind repeat no more than in a large real profile.
//
//   bench_profile_check [ROWS [RUNS]]     (default 10000 rows, 3 runs)
#include "ops/ProfileCheck.h"
#include "profile/DeviceProfile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>

namespace {

const QString kExamples = QStringLiteral(DTU_SOURCE_DIR "/examples/");

// The example's numbered rows, repeated up to `rows`.
QString MakeProfile(const QString &folder, int rows)
{
    DeviceProfile profile = DeviceProfile::FromFile(kExamples + QStringLiteral("example_profile.txt"));
    std::vector<JsonValue> kinds;
    for (const JsonValue &row : profile.Params()->Items())
        if (!row.Find(ProfileKeys::CMDID)->Text().isEmpty())
            kinds.push_back(row);
    std::vector<JsonValue> &items = profile.Params()->Items();
    items.clear();
    static const QRegularExpression length(QStringLiteral("Length=(\\d+)"));
    for (int i = 0; i < rows; ++i) {
        JsonValue row = kinds[size_t(i) % kinds.size()];
        row.Set(ProfileKeys::CMDID, JsonValue::MakeString(QStringLiteral("%1").arg(0x1000 + i, 4, 16, QLatin1Char('0')).toUpper()));
        QString list = row.Find(ProfileKeys::ONLIST)->Text();
        if (const QRegularExpressionMatch m = length.match(list); m.hasMatch())
            list.replace(m.capturedStart(1), m.capturedLength(1), QString::number(m.captured(1).toInt() + i % 40));
        row.Set(ProfileKeys::ONLIST, JsonValue::MakeString(list));
        items.push_back(row);
    }
    profile.SetText(ProfileKeys::ExParamFile, QString()); // the main table alone
    const QString path = folder + QStringLiteral("/big_profile.txt");
    profile.SaveAs(path);
    return path;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10000;
    const int runs = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 3;
    QTemporaryDir folder;
    const QString path = MakeProfile(folder.path(), rows);
    std::printf("profile of %d rows (%lld bytes), example script\n", rows, static_cast<long long>(QFileInfo(path).size()));
    for (int run = 1; run <= runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const ProfileCheck::Report report = ProfileCheck::Run(path, kExamples + QStringLiteral("script.js"));
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        const double structure = [&] {
            QElapsedTimer t;
            t.start();
            ProfileCheck::Run(path, QString(), ProfileCheck::Depth::Structure);
            return double(t.nsecsElapsed()) / 1e9;
        }();
        std::printf("run %d: full check %.2f s (%d rows, %d faults, %d warnings); structure only %.3f s\n", run, seconds,
                    report.rows, report.Count(ProfileCheck::Severity::Fault), report.Count(ProfileCheck::Severity::Warning),
                    structure);
    }
    return 0;
}
