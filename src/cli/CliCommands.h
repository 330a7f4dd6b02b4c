#pragma once
#include "ops/Outcomes.h"
#include "ops/TableCompare.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <vector>

class ConsoleFrontend;
class Recorder;
class DtuSession;
struct CliOptions;

// What a command works with.
struct CliContext {
    DtuSession &session;
    ConsoleFrontend &frontend;
    const CliOptions &options;
    // The script in use: --script, else found as the window finds it.
    QString scriptPath;
    // Set by a command that printed its own --json document.
    bool jsonPrinted = false;
    // What verify and provision expect the device to hold.
    QList<TableCompare::RowValue> expectedMain, expectedExt;
    // Where the command's entry in the device records goes (nullptr: none).
    Recorder *recorder = nullptr;
};

// Arguments that do not fit the profile (no such row, a label not offered):
// a usage error, found before anything is written.
struct CliUsageError {
    QString text;
};

// What a command did, judged from the operations' outcome values: the exit
// status, and the outcome for --json. No verdict is ever read from a line
// that was printed.
struct CliVerdict {
    static constexpr int kOk = 0;
    static constexpr int kFailed = 1;   // a device operation failed
    static constexpr int kUsage = 2;
    static constexpr int kDiffers = 3;  // verify: the device differs from the file

    int status = kOk;
    QJsonObject outcome;
    QString message; // what went wrong in words, for --json (else the last complaint or line)

    static CliVerdict Of(bool ok, const QJsonObject &outcome = {}) { return {ok ? kOk : kFailed, outcome}; }
};

// One command of dtucfg. Each runs the very operation that the window's
// button or menu entry runs, so the frames are the same.
struct CliCommand {
    const char *name;
    const char *arguments; // for the usage text
    const char *summary;   // for the usage text, translated where shown
    int minArgs;
    int maxArgs; // -1: any number
    bool needsChannel;
    // Optional check of the arguments against the loaded profile, before the
    // channel is opened. False with a reason: a usage error.
    bool (*check)(CliContext &context, QString *error);
    CliVerdict (*run)(CliContext &context);
    // False for a command about this computer (ports): it runs without
    // script and profile.
    bool needsProfile = true;
};

namespace CliCommands {
const std::vector<CliCommand> &All();
const CliCommand *Find(const QString &name);
// Whether the option (by name, "ext") means something for the command; one
// that does not is refused rather than ignored.
bool Takes(const QString &command, const QString &option);

// Commands on the parameter tables (CliParamCommands.cpp).
bool CheckTableOption(CliContext &context, QString *error);
bool CheckWrite(CliContext &context, QString *error);
CliVerdict Read(CliContext &context);
CliVerdict Write(CliContext &context);
CliVerdict Save(CliContext &context);
CliVerdict Batch(CliContext &context);
// write and batch --snapshot: both tables read and recorded before anything
// is written, the values to write left as they were. False when the read
// failed (nothing may then be written).
bool Snapshot(CliContext &context);
// Sets a row of the main or, when the main one has no such number, the
// extended table from "NUM=TEXT" as write does; throws CliUsageError.
// A refusal names the row after `prefix`.
void SetRowValue(CliContext &context, const QString &argument, const QString &prefix = QStringLiteral("--set"));
// "PREFIX：参数文件中没有参数 NUM": the one text for a number the profile
// lacks, whoever named it (--set, an inventory's cell or column).
QString NoParameterText(const QString &prefix, const QString &number);
// With --events: one event line (WorkerEvents) on standard output.
void Emit(CliContext &context, const QByteArray &line);

// Comparing a device with a file (CliVerify.cpp).
bool CheckVerify(CliContext &context, QString *error);
CliVerdict Verify(CliContext &context);
// Reads both tables afresh and compares them with expectedMain/Ext (the
// comparison only when the read succeeded).
ReadOutcome ReadAndCompare(CliContext &context, TableCompare::Outcome *outcome);

// One device of a fleet, and the fleet (CliFleetWorker.cpp, CliFleet.cpp).
bool CheckProvision(CliContext &context, QString *error);
CliVerdict Provision(CliContext &context);
bool CheckFleet(CliContext &context, QString *error);
CliVerdict Fleet(CliContext &context);
} // namespace CliCommands
