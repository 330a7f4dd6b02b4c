// Every refusal of dtucfg in one table: what it is given, the exit status,
// and the exact line it says, in Chinese and in English (--lang en). Each
// runs in this process against dtusim's device, which must hear nothing;
// nothing is stored (the profile keeps its serial settings), nothing goes
// to standard output, and with --json the one document carries the error.
// The example profile and script give the rows: 0031 and 0033 two-byte
// numbers, 0041 a float, 0052 an IPv4 address, 0032 a choice of TCP or UDP,
// 0091 the device number only level 2 may change.
#include "support/SimLine.h"
#include "support/TestMain.h"
#include "support/TestPaths.h"
#include "support/WorkFolder.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

// Files the refusals name, written into the work folder beside the examples.
void WriteRefusedFiles(const WorkFolder &dir)
{
    // 0031 holds one and a half bytes: a batch would send half a byte.
    dir.Write(QStringLiteral("half.txt"), R"json({"Title": "半字节", "Params": [
        {"CMDID": "0030", "PNAME": "中心地址", "PVALUE": "HEX:41", "ONGET": "GetStr()", "ONSET": "SetStr()"},
        {"CMDID": "0031", "PNAME": "中心端口", "PVALUE": "HEX:1F9", "ONGET": "GetUInt()", "ONSET": "SetUInt(2)"}]})json");
    // Only the device number, which a batch below level 2 may not send.
    dir.Write(QStringLiteral("headings.txt"), R"json({"Params": [{"CMDID": "", "PNAME": "group"},
        {"CMDID": "0091", "PNAME": "number", "PVALUE": "HEX:01"}]})json");
    // No row in common with the example profile.
    dir.Write(QStringLiteral("alien.txt"), R"json({"Params": [{"CMDID": "0777", "PNAME": "别的", "PVALUE": "HEX:01"}]})json");
    dir.Write(QStringLiteral("broken.js"), "function GetCmd(name) {\n  return 'E004' +;\n}\n");
    dir.Write(QStringLiteral("pw.txt"), "135790\n");
    dir.Write(QStringLiteral("twice.csv"), "target\ntcp:127.0.0.1:1\ntcp:127.0.0.1:1\n");
    dir.Write(QStringLiteral("columns.csv"), "target,0031,0031\ntcp:127.0.0.1:1,1,2\n");
    dir.Write(QStringLiteral("cells.csv"), "target,name,0032\ntcp:127.0.0.1:1,a,SCTP\n");
    dir.Write(QStringLiteral("unknown.csv"), "target,0031,00EE\ntcp:127.0.0.1:1,9000,\n");
    dir.Write(QStringLiteral("number.csv"), "target,0091\ntcp:127.0.0.1:1,DTU1\n");
    dir.Write(QStringLiteral("empty.csv"), "target,name\n");
    dir.Write(QStringLiteral("quote.csv"), "target\n\"tcp:127.0.0.1:1\n");
}

} // namespace

class DtucfgRefusalsTest : public QObject {
    Q_OBJECT
private slots:
    void refusals_data()
    {
        QTest::addColumn<QStringList>("args"); // after --profile example_profile.txt when the command takes one
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("zh"); // the first line of standard error
        QTest::addColumn<QString>("en"); // "": the row picks its own language
        const auto row = [](const char *name, std::initializer_list<const char *> args, int status, const char *zh,
                            const char *en) {
            QStringList list;
            for (const char *arg : args)
                list << QString::fromUtf8(arg);
            QTest::newRow(name) << list << status << QString::fromUtf8(zh) << QString::fromUtf8(en);
        };
        // A value its row cannot hold, checked before the first frame.
        row("octet over 255", {"write", "0052=192.168.1.256"}, 2,
            "dtucfg: write：参数0052（网关地址）不能取值“192.168.1.256”：超出此参数能保存的范围",
            "dtucfg: write: Parameter 0052 (网关地址) cannot take \"192.168.1.256\": outside what this parameter can hold");
        row("port over 16 bits, after a good value", {"write", "0030=10.0.0.9", "0031=70000"}, 2,
            "dtucfg: write：参数0031（中心端口）不能取值“70000”：超出此参数能保存的范围",
            "dtucfg: write: Parameter 0031 (中心端口) cannot take \"70000\": outside what this parameter can hold");
        row("decimal comma", {"write", "0041=12,5"}, 2,
            "dtucfg: write：参数0041（信号门限）不能取值“12,5”：不是数字（小数点请用“.”，不用“,”）",
            "dtucfg: write: Parameter 0041 (信号门限) cannot take \"12,5\": not a number (write the decimal point as \".\", not \",\")");
        row("a number with a unit", {"write", "0041=12.5 dBm"}, 2,
            "dtucfg: write：参数0041（信号门限）不能取值“12.5 dBm”：不是数字",
            "dtucfg: write: Parameter 0041 (信号门限) cannot take \"12.5 dBm\": not a number");
        row("not a choice", {"write", "0032=SCTP"}, 2, "dtucfg: write：0032：请从这些值中选一个：TCP, UDP",
            "dtucfg: write: 0032: choose one of: TCP, UDP");
        row("no such row", {"write", "0999=1"}, 2, "dtucfg: write：主参数表中没有参数 0999",
            "dtucfg: write: no parameter 0999 in the main table");
        row("a row of the other table", {"write", "0100=RS485"}, 2,
            "dtucfg: write：主参数表中没有参数 0100（它在扩展参数表中：加上 --ext）",
            "dtucfg: write: no parameter 0100 in the main table (it is in the extended table: add --ext)");
        row("device number below level 2", {"write", "0030=10.0.0.9", "0091=X", "0031=9000"}, 2,
            "dtucfg: write：0091（设备编号）只有用 --level 2 才能修改",
            "dtucfg: write: 0091 (设备编号) may be changed only with --level 2");
        row("batch of half a byte", {"--profile", "half.txt", "batch"}, 2,
            "dtucfg: batch：0031（中心端口）：“HEX:1F9”不是完整的十六进制字节，什么也没有发送",
            "dtucfg: batch: 0031 (中心端口): \"HEX:1F9\" is not whole bytes of hex; nothing was sent");
        // A batch that would succeed having written nothing.
        row("batch with nothing it may send", {"--profile", "headings.txt", "batch"}, 2,
            "dtucfg: batch：在这个访问级别下，主参数表没有可写的参数",
            "dtucfg: batch: the main table has no parameter to write at this access level");
        // A fleet worker is held to the same rules: a usage error, not a
        // device that never answered.
        row("provision of half a byte", {"--profile", "half.txt", "provision"}, 2,
            "dtucfg: provision：0031（中心端口）：“HEX:1F9”不是完整的十六进制字节，什么也没有发送",
            "dtucfg: provision: 0031 (中心端口): \"HEX:1F9\" is not whole bytes of hex; nothing was sent");
        row("provision --set over 16 bits", {"provision", "--set", "0031=70000"}, 2,
            "dtucfg: --set：参数0031（中心端口）不能取值“70000”：超出此参数能保存的范围",
            "dtucfg: --set: Parameter 0031 (中心端口) cannot take \"70000\": outside what this parameter can hold");
        row("provision --set of no row", {"provision", "--set", "0EEE=1"}, 2, "dtucfg: --set：参数文件中没有参数 0EEE",
            "dtucfg: --set: no parameter 0EEE in the profile");
        // Options and their values: each names what is valid.
        row("unknown speed", {"--baud", "12345", "status"}, 2,
            "dtucfg: --baud：无效的值“12345”，可用的速率：300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 28800, 33600, "
            "38400, 57600, 76800, 115200, 230400, 460800, 921600",
            "dtucfg: --baud: invalid value \"12345\"; accepted speeds: 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, "
            "28800, 33600, 38400, 57600, 76800, 115200, 230400, 460800, 921600");
        row("unknown format", {"--format", "9Z3", "status"}, 2,
            "dtucfg: --format：无效的值“9Z3”，可用的格式：8N1, 8E1, 8O1, 7N1, 7E1, 7O1, 8N2, 8E2, 8O2, 7N2, 7E2, 7O2",
            "dtucfg: --format: invalid value \"9Z3\"; accepted formats: 8N1, 8E1, 8O1, 7N1, 7E1, 7O1, 8N2, 8E2, 8O2, 7N2, "
            "7E2, 7O2");
        row("level 3", {"--level", "3", "status"}, 2, "dtucfg: --level：无效的值“3”，应为0、1或2",
            "dtucfg: --level: invalid value \"3\"; give 0, 1 or 2");
        row("TCP port 0", {"--tcp-port", "0", "status"}, 2, "dtucfg: --tcp-port：无效的值“0”，应为1到65535的整数",
            "dtucfg: --tcp-port: invalid value \"0\"; give a whole number from 1 to 65535");
        row("watch 0", {"signal", "--watch", "0"}, 2, "dtucfg: --watch：无效的值“0”，应为1到3600的整数（秒）",
            "dtucfg: --watch: invalid value \"0\"; give a whole number of seconds from 1 to 3600");
        row("jobs 0", {"fleet", "twice.csv", "--jobs", "0"}, 2, "dtucfg: --jobs：无效的值“0”，应为1或更大的整数",
            "dtucfg: --jobs: invalid value \"0\"; give a whole number of 1 or more");
        row("jobs 1000", {"fleet", "twice.csv", "--jobs", "1000"}, 2,
            "dtucfg: --jobs：最多同时64台设备（每台一个进程），不能是1000",
            "dtucfg: --jobs: at most 64 devices at once (each is a process of its own), not 1000");
        row("ignore 91", {"verify", "x.txt", "--ignore", "91"}, 2,
            "dtucfg: --ignore：无效的值“91”，应为以逗号分隔的四位参数编号，例如0091,0033",
            "dtucfg: --ignore: invalid value \"91\"; give four-digit parameter numbers separated by commas, such as "
            "0091,0033");
        row("language xx", {"--lang", "xx", "status"}, 2, "dtucfg: --lang：无效的值“xx”，应为zh或en", "");
        row("unknown option", {"--speed", "9600", "status"}, 2, "dtucfg: 未知的选项 --speed",
            "dtucfg: unknown option --speed");
        row("a value missing", {"status", "--profile"}, 2, "dtucfg: --profile 需要一个值", "dtucfg: --profile needs a value");
        row("a switch given a value", {"--ext=1", "read"}, 2, "dtucfg: --ext 不带值", "dtucfg: --ext takes no value");
        row("password twice", {"status", "--password", "1", "--password-file", "pw.txt"}, 2,
            "dtucfg: --password 和 --password-file：只能给出其中一个",
            "dtucfg: --password and --password-file: give one of them");
        row("a password file not there", {"status", "--password-file", "nosuch.txt"}, 2,
            "dtucfg: --password-file：无法读取 nosuch.txt：No such file or directory",
            "dtucfg: --password-file: cannot read nosuch.txt: No such file or directory");
        row("--ext for status", {"--ext", "status"}, 2, "dtucfg: --ext 对 status 命令没有意义",
            "dtucfg: --ext means nothing for the status command");
        row("--verify for read", {"read", "--verify"}, 2, "dtucfg: --verify 对 read 命令没有意义",
            "dtucfg: --verify means nothing for the read command");
        row("--set for write", {"write", "0031=9000", "--set", "0030=1"}, 2, "dtucfg: --set 对 write 命令没有意义",
            "dtucfg: --set means nothing for the write command");
        // Commands, their arguments and their files.
        row("no command", {}, 2, "dtucfg: 没有给出命令", "dtucfg: no command given");
        row("unknown command", {"frob"}, 2, "dtucfg: 未知的命令“frob”", "dtucfg: unknown command \"frob\"");
        row("an argument too many", {"status", "extra"}, 2, "dtucfg: status 命令的参数个数不对",
            "dtucfg: wrong number of arguments for status");
        // The profile is named, not the script it would lead to.
        row("a profile not there", {"--profile", "nosuch.txt", "status"}, 2, "dtucfg: 找不到参数文件 nosuch.txt",
            "dtucfg: cannot find the profile nosuch.txt");
        // The script's own error first, not the row it kept out of the table.
        row("a script that does not parse", {"--script", "broken.js", "write", "0031=9000"}, 2,
            "dtucfg: 脚本错误：broken.js 第2行：SyntaxError: Expected token `numeric literal'",
            "dtucfg: script error: broken.js line 2: SyntaxError: Expected token `numeric literal'");
        row("a script not there", {"--script", "missing.js", "status"}, 2,
            "dtucfg: 无法读取脚本 missing.js：无法打开文件 missing.js：No such file or directory",
            "dtucfg: cannot read the script missing.js: Cannot open the file missing.js: No such file or directory");
        row("verify, a file not there", {"verify", "no-such-file.txt"}, 2,
            "dtucfg: verify：无法载入 no-such-file.txt：无法打开文件 no-such-file.txt：No such file or directory",
            "dtucfg: verify: cannot load no-such-file.txt: Cannot open the file no-such-file.txt: No such file or directory");
        row("verify, no row in common", {"verify", "alien.txt"}, 2,
            "dtucfg: verify：alien.txt 与参数文件 example_profile.txt 没有一个相同的参数",
            "dtucfg: verify: alien.txt has no parameter in common with the profile example_profile.txt");
        row("rollback, no such entry", {"rollback", "99999"}, 2, "dtucfg: rollback：没有编号为 99999 的记录",
            "dtucfg: rollback: no entry 99999");
        row("rollback, not a number", {"rollback", "x"}, 2, "dtucfg: rollback：“x”不是记录编号",
            "dtucfg: rollback: \"x\" is not an entry id");
        row("rollback without an entry", {"rollback"}, 2, "dtucfg: rollback 需要一个快照的记录编号，或 --run 批量运行编号",
            "dtucfg: rollback needs the entry id of a snapshot, or --run and a fleet run id");
        // The records.
        row("history --diff of one entry", {"history", "--diff", "1"}, 2, "dtucfg: history --diff 需要两个记录编号",
            "dtucfg: history --diff needs two entry ids");
        row("history --diff of a word", {"history", "--diff", "1", "x"}, 2, "dtucfg: history：“x”不是记录编号",
            "dtucfg: history: \"x\" is not an entry id");
        row("history --show 0", {"history", "--show", "0"}, 2, "dtucfg: --show：无效的值“0”，应为记录编号（1或更大的整数）",
            "dtucfg: --show: invalid value \"0\"; an entry id is needed (a whole number of 1 or more)");
        row("history --show and a device", {"history", "--show", "1", "0137"}, 2, "dtucfg: history --show 不能再指定设备",
            "dtucfg: history --show takes no device");
        row("history --show and --diff", {"history", "--show", "1", "--diff", "1", "2"}, 2,
            "dtucfg: --show 与 --diff 不能同时使用", "dtucfg: --show and --diff exclude each other");
        row("history of two devices", {"history", "0137", "0138"}, 2, "dtucfg: history 最多指定一台设备",
            "dtucfg: history takes one device at most");
        row("history --limit -1", {"history", "--limit", "-1"}, 2, "dtucfg: --limit：无效的值“-1”，应为0或更大的整数（0表示全部）",
            "dtucfg: --limit: invalid value \"-1\"; a whole number of 0 or more is needed (0: all)");
        row("--limit for read", {"read", "--limit", "5"}, 2, "dtucfg: --limit 对 read 命令没有意义",
            "dtucfg: --limit means nothing for the read command");
        row("history without records", {"--no-records", "history"}, 2,
            "dtucfg: history 读取设备档案，而 --no-records 关闭了设备档案",
            "dtucfg: history reads the device records, which --no-records turns off");
        row("records on and off", {"--records", "r.sqlite", "--no-records", "history"}, 2,
            "dtucfg: --records 与 --no-records 不能同时使用", "dtucfg: --records and --no-records exclude each other");
        row("a server's port over 65535", {"--records", "postgresql://h:99999/d", "history"}, 2,
            "dtucfg: --records：端口“99999”应为1到65535的整数",
            "dtucfg: --records: the port \"99999\" is not a number from 1 to 65535");
        row("a snapshot without records", {"--no-records", "write", "--snapshot", "0031=1"}, 2,
            "dtucfg: --snapshot 和 rollback 要用设备档案，而 --no-records 关闭了设备档案",
            "dtucfg: --snapshot and rollback need the device records, which --no-records turns off");
        // Inventories, refused whole before any device is contacted.
        row("a target twice", {"fleet", "twice.csv"}, 2, "dtucfg: fleet：twice.csv：第3行第1列：tcp:127.0.0.1:1 已在第2行列出",
            "dtucfg: fleet: twice.csv: line 3, column 1: tcp:127.0.0.1:1 is listed twice (first on line 2)");
        row("a column twice", {"fleet", "columns.csv"}, 2, "dtucfg: fleet：columns.csv：第1行第3列：列“0031”出现了两次",
            "dtucfg: fleet: columns.csv: line 1, column 3: the column \"0031\" appears twice");
        row("a cell its row would not take", {"fleet", "cells.csv"}, 2,
            "dtucfg: fleet：清单第2行第3列：0032：请从这些值中选一个：TCP, UDP",
            "dtucfg: fleet: inventory line 2, column 3: 0032: choose one of: TCP, UDP");
        row("a column the profile lacks", {"fleet", "unknown.csv"}, 2, "dtucfg: fleet：清单第1行第3列：参数文件中没有参数 00EE",
            "dtucfg: fleet: inventory line 1, column 3: the profile has no parameter 00EE");
        row("the device number below level 2", {"fleet", "number.csv"}, 2,
            "dtucfg: fleet：清单给出了参数0091的值，它只在访问级别2写入：请用访问级别2，或清空这一列",
            "dtucfg: fleet: the inventory gives values of parameter 0091, which is written at access level 2 only: use "
            "access level 2, or empty that column");
        row("no device", {"fleet", "empty.csv"}, 2, "dtucfg: fleet：清单中没有设备", "dtucfg: fleet: the inventory lists no device");
        row("a quote not closed", {"fleet", "quote.csv"}, 2, "dtucfg: fleet：quote.csv：第2行第1列：引号中的字段直到文件末尾都没有结束",
            "dtucfg: fleet: quote.csv: line 2, column 1: a quoted field is not closed");
        row("an inventory not there", {"fleet", "nosuch.csv"}, 2, "dtucfg: fleet：nosuch.csv：无法读取：No such file or directory",
            "dtucfg: fleet: nosuch.csv: cannot be read: No such file or directory");
    }
    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, zh);
        QFETCH(QString, en);
        Workspace dir;
        WriteRefusedFiles(dir);
        const QByteArray profileBefore = dir.Read(TestPaths::kExampleProfile);
        VirtualDevice device;
        CliOptions options;
        QString why;
        CliOptions::Parse(args, &options, &why);
        const QStringList given = CliCommands::Takes(options.command, QStringLiteral("profile"))
            ? QStringList{QStringLiteral("--profile"), TestPaths::kExampleProfile} + args
            : args;
        for (const QString &language : {QStringLiteral("zh"), QStringLiteral("en")}) {
            const QString line = language == QLatin1String("zh") ? zh : en;
            if (line.isEmpty())
                continue;
            const ProgramRun run = device.Cfg(QStringList{QStringLiteral("--lang"), language} + given, dir.Path());
            QVERIFY2(run.exitCode == status, qPrintable(run.Describe()));
            // Two English lines still carry Chinese: found here, not mended yet.
            if (language == QLatin1String("en") && args.value(0) == QLatin1String("fleet") && !args.contains("--jobs"))
                QEXPECT_FAIL("", "dtucfg fleet's refusals keep the Chinese colon after \"fleet\" in English", Continue);
            if (language == QLatin1String("en") && args.value(1) == QLatin1String("no-such-file.txt"))
                QEXPECT_FAIL("", "verify's \"无法载入\" is not translated", Continue);
            QCOMPARE(run.err.section(QLatin1Char('\n'), 0, 0), line);
            QVERIFY(run.out.isEmpty());
        }
        // One document, with the error as the line says it.
        const ProgramRun json = device.Cfg(QStringList{QStringLiteral("--json")} + given, dir.Path());
        const QJsonObject error = QJsonDocument::fromJson(json.out.join(QLatin1Char('\n')).toUtf8())
                                      .object()
                                      .value(QStringLiteral("error"))
                                      .toObject();
        QCOMPARE(error.value(QStringLiteral("exit_code")).toInt(), status);
        QCOMPARE(QStringLiteral("dtucfg: ") + error.value(QStringLiteral("message")).toString(), zh.isEmpty() ? en : zh);
        QVERIFY2(device.Line().heard.isEmpty(), device.Line().heard.toHex(' ').constData());
        QCOMPARE(dir.Read(TestPaths::kExampleProfile), profileBefore);
    }
};

DTU_TEST_GUILESS(DtucfgRefusalsTest)
#include "tst_dtucfg_refusals.moc"
