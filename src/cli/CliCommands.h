#pragma once
#include <QString>
#include <QStringList>
#include <vector>

class ConsoleFrontend;
class DtuSession;
struct CliOptions;

// What a command works with.
struct CliContext {
    DtuSession &session;
    ConsoleFrontend &frontend;
    const CliOptions &options;
    // Set by a command that printed its own --json document.
    bool jsonPrinted = false;
};

// Arguments that do not fit the profile (no such row, a label not offered):
// a usage error, found before anything is written.
struct CliUsageError {
    QString text;
};

// One command of dtucfg. Each runs the very operation that the window's
// button or menu entry runs, so the frames are the same.
struct CliCommand {
    const char *name;
    const char *arguments; // for the usage text
    const char *summary;
    int minArgs;
    int maxArgs; // -1: any number
    bool needsChannel;
    // Optional check of the arguments against the loaded profile, before the
    // channel is opened. False with a reason: a usage error.
    bool (*check)(CliContext &context, QString *error);
    // True when every device operation succeeded.
    bool (*run)(CliContext &context);
    // False for a command about this computer (ports): it runs without
    // script and profile.
    bool needsProfile = true;
};

namespace CliCommands {
const std::vector<CliCommand> &All();
const CliCommand *Find(const QString &name);

// Commands on the parameter tables (CliParamCommands.cpp).
bool CheckTableOption(CliContext &context, QString *error);
bool CheckWrite(CliContext &context, QString *error);
bool Read(CliContext &context);
bool Write(CliContext &context);
bool Save(CliContext &context);
bool Batch(CliContext &context);
} // namespace CliCommands
