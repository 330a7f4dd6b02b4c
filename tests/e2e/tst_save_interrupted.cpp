// A profile save killed at a random moment leaves the old file or the new
// one, never a mix. This program runs itself as the child that saves two
// versions of a profile in turn, as fast as it can, and is killed (SIGKILL,
// no clean-up of any kind) again and again while it does so.
#include "core/TextFile.h"
#include "profile/DeviceProfile.h"
#include "support/TestMain.h"
#include "support/TestPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

const char *const kChildVariable = "DTU_SAVE_LOOP_TARGET";

// Two versions that differ in length and content from their first bytes
// on, so any mix of the two is told apart. The padding makes a save take
// long enough to be caught half-way.
QByteArray Version(bool second)
{
    DeviceProfile p = DeviceProfile::FromFile(TestPaths::Example(QStringLiteral("example_profile.txt")));
    p.SetText(ProfileKeys::Title, second ? QStringLiteral("第二版") : QStringLiteral("第一版本"));
    p.SetText(QStringLiteral("Note"), QString(second ? 300000 : 200000, second ? QChar(u'乙') : QChar(u'甲')));
    return p.Render();
}

// The child: saves the two versions in turn until it is killed.
int SaveLoop(const QString &target)
{
    DeviceProfile first = DeviceProfile::FromText(TextFile::Decode(Version(false)).text, target);
    DeviceProfile second = DeviceProfile::FromText(TextFile::Decode(Version(true)).text, target);
    std::fputs("saving\n", stdout);
    std::fflush(stdout);
    for (quint64 i = 0;; ++i) {
        (i % 2 ? first : second).SaveOver();
        std::fputc('.', stdout); // one per finished save
        std::fflush(stdout);
    }
}

} // namespace

class SaveInterruptedTest : public QObject {
    Q_OBJECT
private slots:
    void killedAtRandomMoments()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("profile.txt"));
        const QByteArray oldBytes = Version(false);
        const QByteArray newBytes = Version(true);
        QVERIFY(oldBytes != newBytes);
        TextFile::WriteAtomically(target, oldBytes);

        constexpr int kRounds = 30;
        int leftovers = 0;
        qsizetype saves = 0;
        int seenNew = 0;
        for (int round = 0; round < kRounds; ++round) {
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QString::fromLatin1(kChildVariable), target);
            child.setProcessEnvironment(env);
            // This program again, as this test (see TestMain.h).
            child.start(QCoreApplication::applicationFilePath(), {QFileInfo(QStringLiteral(__FILE__)).completeBaseName()});
            // The kill comes at a random moment after the child's first
            // finished save, so it lands among saves however slowly a loaded
            // machine runs them.
            QByteArray said;
            while (!said.contains('.') && child.waitForReadyRead(10000))
                said += child.readAllStandardOutput();
            QVERIFY2(said.contains('.'), said.constData());
            QTest::qSleep(QRandomGenerator::global()->bounded(1, 60));
            child.kill();
            QVERIFY(child.waitForFinished(5000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);
            saves += said.count('.') + child.readAllStandardOutput().count('.');

            QFile file(target);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            QVERIFY2(bytes == oldBytes || bytes == newBytes,
                     qPrintable(QStringLiteral("round %1: %2 bytes, a mix").arg(round).arg(bytes.size())));
            seenNew += bytes == newBytes;
            // It parses, and as the version it is.
            const DeviceProfile parsed = DeviceProfile::FromFile(target);
            QCOMPARE(parsed.Render(), bytes);

            // A named temporary file left by a kill mid-save (where the
            // system has no unnamed ones) is counted and removed.
            const QStringList names = QDir(dir.path()).entryList(QDir::Files);
            for (const QString &name : names) {
                if (name == QLatin1String("profile.txt"))
                    continue;
                ++leftovers;
                QFile::remove(dir.filePath(name));
            }
        }
        qInfo("%d kills after %lld finished saves; %d left the new version; %d temporary files left",
              kRounds, static_cast<long long>(saves), seenNew, leftovers);
    }
};

namespace {
// The test, or in the child it starts the save loop.
int SaveInterruptedMain(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString target = qEnvironmentVariable(kChildVariable);
    if (!target.isEmpty())
        return SaveLoop(target);
    SaveInterruptedTest test;
    return QTest::qExec(&test, argc, argv);
}
} // namespace

DTU_TEST_ENTRY(SaveInterruptedMain)

#include "tst_save_interrupted.moc"
