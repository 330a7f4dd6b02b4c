#include "script/ScriptHost.h"

#include "script/ScriptError.h"
#include "script/ScriptWatchdog.h"

#include "core/TextFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QJSEngine>
#include <QJSValue>

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
