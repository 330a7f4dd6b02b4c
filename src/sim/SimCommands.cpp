#include "sim/SimCommands.h"

#include "core/DtuError.h"
#include "protocol/Hex.h"
#include "script/ScriptHost.h"

SimCommandSet SimCommandSet::FromScript(ScriptHost &script)
{
    auto word = [&](const char *name) {
        return ScriptCommandWord(script.Eval(QStringLiteral("GetCmd(\"%1\");").arg(QLatin1String(name))));
    };
    SimCommandSet set;
    set.getParam = word("CMD_GETPARAM");
    set.replyConfig = word("CMD_REPLYCONFIG");
    set.setDefault = word("CMD_SETDEFAULT");
    set.reset = word("CMD_RESET");
    set.getStatus = word("CMD_GETSTATUS");
    set.getVersion = word("CMD_GETDTUVER");
    set.prefix = HexToBytes(script.Eval(QStringLiteral("PrevCmd();")));
    return set;
}

SimCommandSet SimCommandSet::FromScriptFile(ScriptHost &script, const QString &path,
                                            const std::function<void(const QString &)> &onFault)
{
    QString error;
    ScriptFault fault;
    if (!script.LoadFile(path, &error, &fault))
        throw DtuError(error);
    if (!fault.IsEmpty() && onFault)
        onFault(fault.Text());
    return FromScript(script);
}
