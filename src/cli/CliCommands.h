#pragma once
#include "actions/ParamActions.h"
#include "actions/Rollback.h"
#include "core/OutcomeId.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <optional>
#include <vector>

class ConsoleFrontend;
class DtuSession;
struct CliOptions;

// What a command works with.
struct CliContext {
    DtuSession &session;
    ConsoleFrontend &frontend;
    const CliOptions &options;
    Recorder &recorder;
    // The script in use: --script, else found as the window finds it.
    QString scriptPath;
};

// Arguments that do not fit the profile (no such row, a label not offered):
// a usage error, found before anything is written.
struct CliUsageError {
    QString text;
};

// What a command did, judged from the actions' outcome values: the exit
// status, and what --json says of it. No verdict is ever read from a line
// that was printed.
struct CliVerdict {
    static constexpr int kOk = 0;
    static constexpr int kFailed = 1;  // a device operation failed
    static constexpr int kUsage = 2;   // refused before anything was sent
    static constexpr int kDiffers = 3; // ran, and found differences

    int status = kOk;
    QJsonObject outcome;
    QString message; // what went wrong in words, for --json (else the last complaint or line)
    // The command's entry in the device records, when it keeps one.
    std::optional<EntryKept> entry;
    // Members of the --json document beside the usual ones ("ports", "entries").
    QJsonObject members;

    static CliVerdict Of(bool ok, const QJsonObject &outcome = {}) { return {ok ? kOk : kFailed, outcome}; }
    // An action's verdict, with the entry it kept.
    static CliVerdict Of(OutcomeId verdict, const QJsonObject &outcome, const EntryKept &entry)
    {
        return {StatusOf(verdict), outcome, {}, entry};
    }
    // A success whose --json document carries `member`.
    static CliVerdict With(const QString &member, const QJsonValue &value)
    {
        CliVerdict verdict;
        verdict.members.insert(member, value);
        return verdict;
    }
    // The status an action's outcome gives.
    static int StatusOf(OutcomeId outcome);
    // A run of many devices from each one's status: one failed device fails
    // the run, whatever the others found.
    static int OfRun(const QList<int> &statuses)
    {
        if (statuses.contains(kFailed))
            return kFailed;
        return statuses.isEmpty() ? kOk : *std::max_element(statuses.begin(), statuses.end());
    }
};

// One command of dtucfg. Each runs the very action that the window's
// button or menu entry runs, so the frames are the same.
struct CliCommand {
    const char *name;
    const char *arguments; // for the usage text
    // The options of its own, between blanks: one of another command is
    // refused rather than ignored (CliCommands::Takes).
    const char *options;
    const char *summary;   // for the usage text, translated where shown
    int minArgs;
    int maxArgs; // -1: any number
    bool needsChannel;
    // Optional check of the arguments against the loaded profile, before the
    // channel is opened. False with a reason, or CliUsageError thrown: a usage error.
    bool (*check)(CliContext &context, QString *error);
    CliVerdict (*run)(CliContext &context);
    // What it needs before it runs, each more than the one before. Nothing: a
    // command about this computer or the records (ports, history) runs
    // without script and profile. Script: the script, and the profile when
    // one is given or found. Tables: a profile, without which there is
    // nothing to read, write or compare and no port to open. TablesKept:
    // reads the shared profile, whose file must stay as it is.
    enum class Needs { Nothing, Script, Tables, TablesKept };
    Needs needs = Needs::Script;
};

namespace CliCommands {
// A text of the commands in the run's language.
QString tr(const char *text);

const std::vector<CliCommand> &All();
const CliCommand *Find(const QString &name);
// Whether the option (by name, "ext") means something for the command; one
// that does not is refused rather than ignored.
bool Takes(const QString &command, const QString &option);

// A refused value as dtucfg names it, after `prefix` ("write", "--set",
// "fleet：清单第2行第3列").
QString RefusalText(const QString &prefix, const EditResult &refusal);
// Each "NUM=TEXT" split; throws CliUsageError naming `prefix` for one without "=".
QList<Actions::GivenValue> GivenValues(const QStringList &arguments, const QString &prefix);
// The entry id `text` gives; throws CliUsageError naming `command` for one
// that is none.
qint64 EntryId(const QString &command, const QString &text);
// A command that refused: "dtucfg: TEXT" on standard error, TEXT the reason --json gives.
CliVerdict Refuse(CliContext &context, int status, const QString &text, const QJsonObject &outcome = {});
// The same, TEXT after the command's name: "history：TEXT".
CliVerdict RefuseNamed(CliContext &context, int status, const QString &text);
// With --events: one event line (WorkerEvents) on standard output.
void Emit(CliContext &context, const QByteArray &line);

// The commands on the parameter tables (CliParamCommands.cpp).
bool CheckRead(CliContext &context, QString *error);
bool CheckWrite(CliContext &context, QString *error);
bool CheckBatch(CliContext &context, QString *error);
bool CheckVerify(CliContext &context, QString *error);
CliVerdict Read(CliContext &context);
CliVerdict Write(CliContext &context);
CliVerdict Save(CliContext &context);
CliVerdict Batch(CliContext &context);
CliVerdict Verify(CliContext &context);

// One device of a fleet, and the fleet (CliFleetWorker.cpp, CliFleet.cpp).
bool CheckFleetWorker(CliContext &context, QString *error);
CliVerdict FleetWorker(CliContext &context);
bool CheckFleet(CliContext &context, QString *error);
CliVerdict Fleet(CliContext &context);

// Opens the data channel the options name, through the window's own home
// for it (ChannelOpen). A channel that did not open is refused: a serial
// port that does not open is this computer's set-up (exit 2); a TCP
// connection that fails is the device's or the network's (exit 1), and a
// refused password says how to give it.
std::optional<CliVerdict> OpenChannel(CliContext &context);
} // namespace CliCommands

// signal --watch N: one reading every N seconds, one line each, until
// SIGINT or SIGTERM. Succeeds when the last reading succeeded.
namespace SignalWatch {
CliVerdict Run(CliContext &context);
}

// check: the profile check on the profile and script every command would
// use; exit 0 clean, 1 a fault (--strict: a warning too), 2 a file that
// cannot be read.
namespace CliCheck {
CliVerdict Run(CliContext &context);
}

// history: what the device records hold, with no device, profile or script.
//   history [DEVICE]          entries newest first (--limit, --json)
//   history --show ID         one entry with its rows
//   history --diff ID1 ID2    two snapshots compared as verify compares
namespace CliHistory {
CliVerdict Run(CliContext &context);
}

// rollback ID: the connected device put back to the values of the snapshot
// entry ID (Actions::Rollback); rollback --run ID does that for every device
// a fleet run changed, each to the snapshot the run took before writing it.
namespace CliRollback {
bool Check(CliContext &context, QString *error);
CliVerdict Run(CliContext &context);
// Why entry `id` was not found as a snapshot, in words ("" when it was).
QString Unfound(const Actions::SnapshotLookup &found, qint64 id);
} // namespace CliRollback
