#pragma once
#include <QString>
#include <QStringList>
#include <memory>

class QJSEngine;
class QJSValue;
class ScriptWatchdog;

// An error raised while a script file was evaluated, and where.
struct ScriptFault {
    QString file;
    int line = 0;    // 0 when the engine gave none (a time-out)
    int column = 0;  // 0 when the engine gave none (it gives one for a syntax error)
    QString message; // the engine's text, such as "SyntaxError: Expected token `;'"
    bool syntax = false; // the file did not parse: nothing in it was defined

    bool IsEmpty() const { return message.isEmpty(); }
    // "script.js 第3行：SyntaxError: ..."
    QString Text() const;
};

// One JavaScript engine for the whole run. Eval returns the completion value
// as text (numbers as their decimal text, undefined and null as empty text);
// globals set by one evaluation stay for the next.
//
// Every evaluation is bounded in time: a profile snippet that loops forever
// is interrupted after TimeLimitMs and fails like any other script error.
// Values typed by the user or read from the device enter the engine through
// SetGlobal, as strings, never spliced into source text.
class ScriptHost {
public:
    static constexpr int kDefaultTimeLimitMs = 2000;

    ScriptHost();
    ~ScriptHost();
    ScriptHost(const ScriptHost &) = delete;
    ScriptHost &operator=(const ScriptHost &) = delete;

    // Throws ScriptError on a syntax error, a thrown exception or a time-out.
    QString Eval(const QString &text);
    // Sets a global string variable such as hexinput or ascinput.
    void SetGlobal(const QString &name, const QString &value);

    // Evaluates the whole of a script file once. Returns false (and sets
    // *error) when the file cannot be read. An error in the script does not
    // stop the run (what it defined before the error stays usable); it is
    // given in *fault so the caller can show it, instead of every later
    // command failing with "GetCmd is not defined" and no hint why.
    bool LoadFile(const QString &path, QString *error = nullptr, ScriptFault *fault = nullptr);

    void SetTimeLimitMs(int ms) { timeLimitMs_ = ms; }
    int TimeLimitMs() const { return timeLimitMs_; }
    // How many evaluations the time limit has stopped so far: a caller whose
    // callee swallowed the error can still tell that one was stopped.
    int TimedOutCount() const { return timedOut_; }

private:
    // Evaluates under the time limit; fileName names the source in errors.
    QJSValue Evaluate(const QString &text, const QString &fileName, bool *timedOut, QStringList *trace = nullptr);

    std::unique_ptr<QJSEngine> engine_;
    std::unique_ptr<ScriptWatchdog> watchdog_;
    // Held for the engine's life: while no value of the engine was held,
    // every evaluation took several times as long (the profile check of
    // 10 000 rows: 4.6 s against 1.3 s).
    std::unique_ptr<QJSValue> global_;
    int timeLimitMs_ = kDefaultTimeLimitMs;
    int timedOut_ = 0;
};
