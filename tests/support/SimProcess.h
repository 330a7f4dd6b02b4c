#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>

// The programs as a technician runs them, for the end-to-end tests: the
// simulated device in the background and dtucfg against it.

// What one run of a program left behind.
struct ProgramRun {
    int exitCode = -1;   // -1: it crashed or did not finish in time
    QStringList out;     // standard output, one entry per line (UTF-8)
    QString err;         // standard error
    // Exit status and standard error, for failure messages.
    QString Describe() const;
};

// Runs a program of the build tree in workDir and waits for it to end.
ProgramRun RunProgram(const QString &name, const QStringList &args, const QString &workDir,
                      int limitMs = 60000);

// A program of the build tree started now and collected later, so that
// runs that each wait out a silent device can wait at the same time.
class StartedProgram {
public:
    StartedProgram(const QString &name, const QStringList &args, const QString &workDir);
    StartedProgram(const StartedProgram &) = delete;
    StartedProgram &operator=(const StartedProgram &) = delete;
    // Waits for it to end (killing it after limitMs).
    ProgramRun Finish(int limitMs = 60000);

private:
    QString name_;
    QProcess process_;
};

// One dtusim process. It prints one line per simulated unit saying where it
// serves: a pseudo-terminal path or "tcp 127.0.0.1:PORT".
class SimProcess {
public:
    SimProcess() = default;
    ~SimProcess() { Stop(); }
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    // The arguments that make it play the example device: the example
    // profile (with its extended file) and the example script.
    static QStringList ExampleArgs();

    // Starts dtusim with args (--profile FILE and the rest) serving `units`
    // devices (its --count). False when it did not print that many
    // addresses within five seconds; Error() then says why.
    bool Start(const QStringList &args, const QString &workDir = {}, int units = 1);
    // Ends it as Ctrl+C would (SIGTERM, then SIGKILL after three seconds);
    // true when it was running and exited by itself with status 0.
    bool Stop();
    // The device vanishes at once (SIGKILL): no goodbye on the line.
    void Kill();
    // Waits for a start that failed to end; its exit status, or -1 when it
    // did not end in time or crashed.
    int WaitForExit(int timeoutMs = 5000);

    // With --verbose the device logs each request on standard error
    // ("rx ch1 E050 [00]"): waits until the log holds text.
    bool WaitForLog(const QString &text, int timeoutMs);

    // Where the first unit serves: "/dev/pts/N" or "tcp 127.0.0.1:PORT" ("" before a start).
    QString Where() const { return where_.value(0); }
    QStringList Endpoints() const { return where_; }
    // Unit numbers count from 1, as dtusim's --unit does.
    QString Pty(int unit = 1) const;     // "" when serving TCP
    QString TcpPort(int unit = 1) const; // "" when serving a pseudo-terminal
    // The dtucfg options that reach this unit.
    QStringList CfgChannel(int unit = 1) const;
    // Why a start failed: the first line and what it wrote to standard error.
    QString Error() const { return error_; }
    // What it wrote to standard error, as far as WaitForLog or a failed
    // start has read it.
    QString Log() const { return log_; }

private:
    QProcess process_;
    QStringList where_;
    QString error_;
    QString log_;
};

// Lines are compared exactly; an expected line starting with "~" is a
// regular expression the actual line must match.
void CompareLines(const QStringList &actual, const QStringList &expected);
