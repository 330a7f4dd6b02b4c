#pragma once
#include <QByteArray>
#include <QString>

#include <functional>

class ScriptHost;

// Command words of the simulated device. The fixed ones are the same for
// every device; the others and the frame prefix come from the device script,
// exactly as the configuration tool obtains them.
namespace SimWords {
constexpr quint16 kSelectChannel = 0xE050;
constexpr quint16 kStatusReply = 0xE004;
constexpr quint16 kSignal = 0xE023;
constexpr quint16 kImei = 0xE025;
constexpr quint16 kClockRead = 0xE00E;
constexpr quint16 kClockSet = 0xE00D;
} // namespace SimWords

struct SimCommandSet {
    quint16 getParam = 0;
    quint16 replyConfig = 0;
    quint16 setDefault = 0;
    quint16 reset = 0;
    quint16 getStatus = 0;
    quint16 getVersion = 0;
    QByteArray prefix; // PrevCmd(): in every request, and in the parameter reply

    // Evaluates GetCmd(...) for each name and PrevCmd() once. Throws
    // ScriptError when the script cannot answer.
    static SimCommandSet FromScript(ScriptHost &script);
    // Loads the script file into `script` (kept by the caller for the rows'
    // encoders) and evaluates it so. Throws DtuError when the file cannot be
    // loaded. A script that stopped part-way is told to onFault with its
    // error, before the words are asked for (which may then fail for what it
    // did not define).
    static SimCommandSet FromScriptFile(ScriptHost &script, const QString &path,
                                        const std::function<void(const QString &)> &onFault);
};
