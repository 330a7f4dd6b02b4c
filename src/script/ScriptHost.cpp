#include "script/ScriptHost.h"

#include "script/ScriptError.h"
#include "script/ScriptWatchdog.h"

#include "app/TextFile.h"

#include <QFile>
#include <QJSEngine>
#include <QJSValue>

ScriptHost::ScriptHost()
    : engine_(std::make_unique<QJSEngine>())
{
    QJSEngine *engine = engine_.get();
    watchdog_ = std::make_unique<ScriptWatchdog>([engine] { engine->setInterrupted(true); });
}

ScriptHost::~ScriptHost()
{
    watchdog_.reset(); // stop the thread before the engine goes
}

QString ScriptHost::Eval(const QString &text)
{
    watchdog_->Arm(timeLimitMs_);
    const QJSValue result = engine_->evaluate(text);
    const bool timedOut = watchdog_->Disarm();
    // The interrupt flag is sticky: clear it or every later call fails too.
    engine_->setInterrupted(false);
    if (timedOut)
        throw ScriptError(QStringLiteral("脚本执行超时（超过%1毫秒）：%2").arg(timeLimitMs_).arg(text.left(80)));
    if (result.isError())
        throw ScriptError(result.toString());
    if (result.isUndefined() || result.isNull())
        return {};
    return result.toString();
}

void ScriptHost::SetGlobal(const QString &name, const QString &value)
{
    engine_->globalObject().setProperty(name, value);
}

bool ScriptHost::LoadFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("无法打开文件 %1：%2").arg(path, file.errorString());
        return false;
    }
    const QString text = TextFile::Decode(file.readAll()).text;
    try {
        Eval(text);
    } catch (const ScriptError &) {
        // A faulty script.js is not fatal: the operations needing its
        // functions fail one by one with their own script errors.
    }
    return true;
}
