#include "support/SimProcess.h"

#include "support/TestPaths.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

QString ProgramRun::Describe() const
{
    return QStringLiteral("exit %1, stderr: %2").arg(exitCode).arg(err);
}

ProgramRun RunProgram(const QString &name, const QStringList &args, const QString &workDir, int limitMs)
{
    return StartedProgram(name, args, workDir).Finish(limitMs);
}

StartedProgram::StartedProgram(const QString &name, const QStringList &args, const QString &workDir)
    : name_(name)
{
    process_.setWorkingDirectory(workDir);
    process_.start(TestPaths::Program(name), args);
}

ProgramRun StartedProgram::Finish(int limitMs)
{
    QProcess &p = process_;
    ProgramRun r;
    if (!p.waitForFinished(limitMs)) {
        p.kill();
        p.waitForFinished(3000);
        r.err = QStringLiteral("%1 did not finish within %2 ms").arg(name_).arg(limitMs);
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    QString out = QString::fromUtf8(p.readAllStandardOutput());
    if (out.endsWith(QLatin1Char('\n')))
        out.chop(1);
    r.out = out.isEmpty() ? QStringList() : out.split(QLatin1Char('\n'));
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QStringList SimProcess::ExampleArgs()
{
    return {QStringLiteral("--profile"), TestPaths::Example(QStringLiteral("example_profile.txt")),
            QStringLiteral("--script"), TestPaths::Example(QStringLiteral("script.js"))};
}

bool SimProcess::Start(const QStringList &args, const QString &workDir, int units)
{
    Stop();
    log_.clear();
    error_.clear();
    where_.clear();
    if (!workDir.isEmpty())
        process_.setWorkingDirectory(workDir);
    process_.start(TestPaths::Program(QStringLiteral("dtusim")), args);
    auto isAddress = [](const QString &line) {
        return line.startsWith(QLatin1Char('/')) || line.startsWith(QLatin1String("tcp "));
    };
    QStringList printed;
    QElapsedTimer t;
    t.start();
    while (printed.size() < units && t.elapsed() < 5000) {
        if (process_.canReadLine()) {
            printed << QString::fromLocal8Bit(process_.readLine()).trimmed();
            if (!isAddress(printed.last()))
                break;
        } else if (process_.state() == QProcess::NotRunning) {
            break;
        } else {
            process_.waitForReadyRead(50);
        }
    }
    if (printed.size() == units && std::all_of(printed.cbegin(), printed.cend(), isAddress)) {
        where_ = printed;
        return true;
    }
    process_.waitForFinished(1000); // a failed start says why, then ends
    log_ += QString::fromLocal8Bit(process_.readAllStandardError());
    error_ = QStringLiteral("dtusim printed \"%1\"; %2").arg(printed.join(QLatin1String("\" \"")), log_);
    return false;
}

bool SimProcess::Stop()
{
    if (process_.state() == QProcess::NotRunning)
        return false;
    process_.terminate();
    bool clean = process_.waitForFinished(3000);
    if (!clean)
        process_.kill();
    process_.waitForFinished(3000);
    return clean && process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}

void SimProcess::Kill()
{
    process_.kill();
    process_.waitForFinished(3000);
}

int SimProcess::WaitForExit(int timeoutMs)
{
    if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(timeoutMs))
        return -1;
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

bool SimProcess::WaitForLog(const QString &text, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!log_.contains(text) && process_.state() != QProcess::NotRunning && t.elapsed() < timeoutMs) {
        process_.waitForReadyRead(20);
        log_ += QString::fromLocal8Bit(process_.readAllStandardError());
    }
    return log_.contains(text);
}

QString SimProcess::Pty(int unit) const
{
    const QString where = where_.value(unit - 1);
    return where.startsWith(QLatin1Char('/')) ? where : QString();
}

QString SimProcess::TcpPort(int unit) const
{
    const QString where = where_.value(unit - 1);
    return where.startsWith(QLatin1String("tcp ")) ? where.section(QLatin1Char(':'), -1) : QString();
}

QStringList SimProcess::CfgChannel(int unit) const
{
    if (!TcpPort(unit).isEmpty())
        return {QStringLiteral("--tcp"), QStringLiteral("127.0.0.1"), QStringLiteral("--tcp-port"), TcpPort(unit)};
    return {QStringLiteral("--port"), Pty(unit)};
}

void CompareLines(const QStringList &actual, const QStringList &expected)
{
    const QString both = QStringLiteral("\nactual:\n%1\nexpected:\n%2")
                             .arg(actual.join(QLatin1Char('\n')), expected.join(QLatin1Char('\n')));
    QVERIFY2(actual.size() == expected.size(), qPrintable(QStringLiteral("line counts differ") + both));
    for (int i = 0; i < expected.size(); ++i) {
        if (expected[i].startsWith(QLatin1Char('~')))
            QVERIFY2(QRegularExpression(expected[i].mid(1)).match(actual[i]).hasMatch(), qPrintable(actual[i] + both));
        else
            QVERIFY2(actual[i] == expected[i], qPrintable(QStringLiteral("line %1").arg(i + 1) + both));
    }
}
