#include "script/ScriptHost.h"

#include "script/ScriptError.h"

#include "core/TextFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QJSEngine>
#include <QJSValue>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// A thread that fires a callback when an armed deadline passes without being
// disarmed: it interrupts an engine stuck in a loop.
class ScriptWatchdog {
public:
    explicit ScriptWatchdog(std::function<void()> onExpire)
        : onExpire_(std::move(onExpire)), thread_([this] { Run(); })
    {
    }
    ~ScriptWatchdog()
    {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }

    void Arm(int ms)
    {
        {
            std::lock_guard lock(mutex_);
            deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
            armed_ = true;
            fired_ = false;
        }
        cv_.notify_all();
    }
    // True when the deadline had already fired.
    bool Disarm()
    {
        std::lock_guard lock(mutex_);
        armed_ = false;
        return fired_;
    }

private:
    void Run()
    {
        std::unique_lock lock(mutex_);
        while (!quit_) {
            if (!armed_) {
                cv_.wait(lock);
                continue;
            }
            if (cv_.wait_until(lock, deadline_) == std::cv_status::timeout && armed_
                && std::chrono::steady_clock::now() >= deadline_) {
                armed_ = false;
                fired_ = true;
                onExpire_();
            }
        }
    }

    std::function<void()> onExpire_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::chrono::steady_clock::time_point deadline_;
    bool armed_ = false;
    bool fired_ = false;
    bool quit_ = false;
    std::thread thread_;
};

ScriptHost::ScriptHost()
    : engine_(std::make_unique<QJSEngine>())
{
    QJSEngine *engine = engine_.get();
    watchdog_ = std::make_unique<ScriptWatchdog>([engine] { engine->setInterrupted(true); });
    global_ = std::make_unique<QJSValue>(engine_->globalObject());
}

ScriptHost::~ScriptHost()
{
    watchdog_.reset(); // stop the thread before the engine goes
    global_.reset();
}

QString ScriptFault::Text() const
{
    if (line > 0)
        return QCoreApplication::translate("ScriptHost", "%1 第%2行：%3").arg(file).arg(line).arg(message);
    return QCoreApplication::translate("ScriptHost", "%1：%2").arg(file, message);
}

QJSValue ScriptHost::Evaluate(const QString &text, const QString &fileName, bool *timedOut, QStringList *trace)
{
    watchdog_->Arm(timeLimitMs_);
    const QJSValue result = engine_->evaluate(text, fileName, 1, trace);
    *timedOut = watchdog_->Disarm();
    if (*timedOut)
        ++timedOut_;
    // The interrupt flag is sticky: clear it or every later call fails too.
    engine_->setInterrupted(false);
    return result;
}

QString ScriptHost::Eval(const QString &text)
{
    bool timedOut = false;
    const QJSValue result = Evaluate(text, QString(), &timedOut);
    if (timedOut)
        throw ScriptError(QCoreApplication::translate("ScriptHost", "脚本执行超时（超过%1毫秒）：%2")
                              .arg(timeLimitMs_)
                              .arg(text.left(80)),
                          ScriptError::Cause::TimedOut);
    if (result.isError())
        throw ScriptError(result.toString(), result.errorType() == QJSValue::ReferenceError
                                                 ? ScriptError::Cause::MissingName
                                                 : ScriptError::Cause::Thrown);
    if (result.isUndefined() || result.isNull())
        return {};
    return result.toString();
}

void ScriptHost::SetGlobal(const QString &name, const QString &value)
{
    global_->setProperty(name, value);
}

bool ScriptHost::LoadFile(const QString &path, QString *error, ScriptFault *fault)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QCoreApplication::translate("ScriptHost", "无法打开文件 %1：%2").arg(path, file.errorString());
        return false;
    }
    const QString text = TextFile::Decode(file.readAll()).text;
    bool timedOut = false;
    QStringList trace; // "function:line:column:file:path" frames; a syntax error's has its column
    const QJSValue result = Evaluate(text, path, &timedOut, &trace);
    if (fault) {
        *fault = {};
        if (timedOut) {
            *fault
                = {path, 0, 0, QCoreApplication::translate("ScriptHost", "脚本执行超时（超过%1毫秒）").arg(timeLimitMs_)};
        } else if (result.isError()) {
            const QStringList frame = trace.isEmpty() ? QStringList() : trace.first().split(QLatin1Char(':'));
            *fault = {path, result.property(QStringLiteral("lineNumber")).toInt(),
                      frame.size() > 2 ? qMax(0, frame[2].toInt()) : 0, result.toString(),
                      result.errorType() == QJSValue::SyntaxError};
        }
    }
    return true;
}
