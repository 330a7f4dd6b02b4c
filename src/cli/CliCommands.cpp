#include "cli/CliCommands.h"

#include "session/DtuSession.h"
#include "cli/ConsoleFrontend.h"
#include "cli/CliPorts.h"
#include "cli/CliHistory.h"
#include "ops/ParamFile.h"
#include "ops/ParamWriter.h"
#include "protocol/ResultWording.h"
#include "ops/ControlMode.h"
#include "cli/CliOptions.h"
#include "cli/SignalWatch.h"

namespace CliCommands {
namespace {

// The menu's restore and reset: the window asks first, the command line is
// the confirmation. Success is the panel's success text after the run.
bool RunMenuCommand(CliContext &context, void (*menu)(DtuSession &), const QString &word)
{
    context.frontend.SetResultPanel(QString());
    menu(context.session);
    return context.frontend.ResultPanel()
        == ResultWording::Text(word, ResultWording::Family::Ack, 0);
}

bool Status(CliContext &c) { return ControlMode::ReadStatus(c.session); }
bool Signal(CliContext &c)
{
    return c.options.watchSeconds > 0 ? SignalWatch::Run(c) : ControlMode::ReadSignal(c.session);
}
bool Version(CliContext &c) { return ControlMode::ReadVersion(c.session); }
bool Clock(CliContext &c) { return ControlMode::ReadClock(c.session); }
bool SetClock(CliContext &c) { return ControlMode::SetClock(c.session); }
bool Reset(CliContext &c) { return RunMenuCommand(c, &ParamFile::ResetMenu, ParamFile::ResetWord()); }
// The restore reports in the words of a parameter write.
bool Restore(CliContext &c)
{
    return RunMenuCommand(c, &ParamFile::RestoreDefaultsMenu, ParamWriter::WriteWord());
}

} // namespace

const std::vector<CliCommand> &All()
{
    static const std::vector<CliCommand> commands{
        {"status", "", "读DTU状态: the working state", 0, 0, true, nullptr, &Status},
        {"signal", "", "读取信号强度: the signal strength (--watch N: again every N seconds)", 0, 0, true, nullptr, &Signal},
        {"version", "", "查询DTU版本/IMEI: firmware version, then IMEI", 0, 0, true, nullptr, &Version},
        {"clock", "", "读取设备时钟: the device clock", 0, 0, true, nullptr, &Clock},
        {"set-clock", "", "设置设备时钟: set the device clock to this computer's", 0, 0, true, nullptr, &SetClock},
        {"reset", "", "复位设备: restart the device", 0, 0, true, nullptr, &Reset},
        {"restore", "", "恢复出厂默认设置: restore factory settings", 0, 0, true, nullptr, &Restore},
        {"read", "", "读取: read the parameter table and print it", 0, 0, true, &CheckTableOption, &Read},
        {"write", "NUM=TEXT...", "设置: edit the named rows (NUM=HEX:digits sets raw bytes) and write them",
         1, -1, true, &CheckWrite, &Write},
        {"save", "FILE", "read both tables, then 保存参数文件 into FILE (the extended table beside it)", 1, 1,
         true, &CheckTableOption, &Save},
        {"batch", "", "批量写参数: write every parameter of the profile and of its extended file (--ext: that file's only)",
         0, 0, true, &CheckTableOption, &Batch},
        {"verify", "FILE", "compare the device with FILE; print each difference (exit 3 when they differ)", 1, 1,
         true, &CheckVerify, &Verify},
        {"provision", "", "one device of a fleet: batch with --set values, --verify reads back and compares",
         0, 0, false, &CheckProvision, &Provision},
        {"fleet", "INVENTORY.csv", "write every device of the inventory (--jobs, --report, --verify)", 1, 1, false,
         &CheckFleet, &Fleet},
        {"ports", "[PATH...]", "list the serial ports (and the PATHs) and whether you may open each",
         0, -1, false, nullptr, &CliPorts::Run, false},
        {"history", "[DEVICE]", "the device records, newest first (--show ID, --diff ID1 ID2, --limit N)",
         0, 2, false, nullptr, &CliHistory::Run, false},
    };
    return commands;
}

const CliCommand *Find(const QString &name)
{
    for (const CliCommand &c : All())
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

} // namespace CliCommands
