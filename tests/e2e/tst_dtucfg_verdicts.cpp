// dtucfg's verdicts in one table: each command against dtusim's device
// (healthy, or with one of its faults), its exit status and the lines it
// prints, in Chinese and in English (--lang en); each runs in this process,
// on virtual time, so a silent device costs nothing, and the time each wait
// took is the device's. The exit status comes from what the device did,
// never from the words: every row ends the same with every text reworded,
// in either language, and --json still gives one document. The fast reply
// mode (--fast) gives every row the same lines and status.
#include "core/TextFile.h"
#include "core/Translation.h"
#include "support/RefusingPort.h"
#include "support/SimLine.h"
#include "support/StoreEntries.h"
#include "support/TestMain.h"
#include "support/TestPaths.h"
#include "support/WorkFolder.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTranslator>
#include <QTest>

namespace {

// A profile of two rows and no extended table, which dtusim plays as well.
const char kShortProfile[] = R"json({"Title": "测试终端", "Params": [
    {"CMDID": "", "PNAME": "网络设置"},
    {"CMDID": "0031", "PNAME": "中心端口", "PVALUE": "HEX:1F90", "ONLIST": "Length=5;", "ONGET": "GetUInt()", "ONSET": "SetUInt(2)"},
    {"CMDID": "0032", "PNAME": "传输协议", "PVALUE": "HEX:00", "ONLIST": "[[\"TCP\",\"UDP\"],[\"00\",\"01\"]]"}]})json";

// The example profile's tables as read prints them.
const QStringList kMain = {
    QStringLiteral("0030\t中心地址\tHEX:31302E302E302E38\t10.0.0.8"),
    QStringLiteral("0031\t中心端口\tHEX:1F90\t8080"),
    QStringLiteral("0032\t传输协议\tHEX:00\tTCP"),
    QStringLiteral("0033\t心跳间隔\tHEX:003C\t1分0秒"),
    QStringLiteral("0040\t接入点名称\tHEX:434D4E4554\tCMNET"),
    QStringLiteral("0041\t信号门限\tHEX:41200000\t10.000"),
    QStringLiteral("0042\t在线方式\tHEX:01\t永远在线"),
    QStringLiteral("0050\t串口波特率\tHEX:05\t38400"),
    QStringLiteral("0051\t调试信息\tHEX:00\t关"),
    QStringLiteral("0052\t网关地址\tHEX:C0A80101\t192.168.1.1"),
    QStringLiteral("0091\t设备编号\tHEX:44545530303031\tDTU0001"),
};
const QStringList kExt = {
    QStringLiteral("0100\t接口类型\tHEX:01\tRS485"),
    QStringLiteral("0101\t设备地址\tHEX:01\t1"),
    QStringLiteral("0102\t轮询周期\tHEX:000A\t10秒"),
};

// A table with some lines replaced: each replacement's number picks its line.
QStringList With(QStringList table, const QStringList &lines)
{
    for (const QString &line : lines)
        for (QString &old : table)
            if (old.left(4) == line.left(4))
                old = line;
    return table;
}

// Every text looked up comes out reworded, the words that say failed and
// succeeded gone; for English the built-in English texts are reworded.
class Rewording : public QTranslator {
public:
    explicit Rewording(bool english)
    {
        if (english)
            (void)english_.load(QStringLiteral(":/i18n/dtutools_en.qm"));
    }
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *source, const char *disambiguation, int n) const override
    {
        QString text = english_.isEmpty() ? QString() : english_.translate(context, source, disambiguation, n);
        if (text.isEmpty())
            text = QString::fromUtf8(source);
        for (const auto &[from, to] : {std::pair{"失败", "未果"}, {"成功", "完成了"}, {"failed", "did not go through"},
                                        {"succeeded", "went through"}})
            text.replace(QString::fromUtf8(from), QString::fromUtf8(to), Qt::CaseInsensitive);
        return text + QStringLiteral(" ~");
    }

private:
    QTranslator english_;
};

// One device and one work folder (the examples, the short profile, the
// records) for one run of a row: its steps before, then its command.
class VerdictBench {
public:
    explicit VerdictBench(const QStringList &simArgs) : device_(Resolve(simArgs)) {}
    ProgramRun Cfg(const QStringList &args)
    {
        QStringList all = args;
        CliOptions options;
        QString error;
        CliOptions::Parse(args, &options, &error);
        if (!args.contains(QStringLiteral("--records")) && !args.contains(QStringLiteral("--no-records"))
            && CliCommands::Takes(options.command, QStringLiteral("records")))
            all << (records ? QStringList{QStringLiteral("--records"), store} : QStringList{QStringLiteral("--no-records")});
        // The profile is left as it is: storing the port's settings in it is
        // the program's (tst_dtucfg_program), and costs a busy disk's time.
        if (CliCommands::Takes(options.command, QStringLiteral("keep-profile")))
            all << QStringLiteral("--keep-profile");
        if (!args.contains(QStringLiteral("--profile")) && CliCommands::Takes(options.command, QStringLiteral("profile")))
            all = QStringList{QStringLiteral("--profile"), TestPaths::kExampleProfile} + all;
        return device_.Cfg(all, dir.Path());
    }
    VirtualDevice &Device() { return device_; }

    Workspace dir;
    QString store = dir.Path(QStringLiteral("records.sqlite"));
    bool records = true; // false: --no-records

private:
    // The short profile (short.txt) and a copy of the example device with
    // other values (other/): 中心地址 1.2.3.4, 中心端口 80, 设备编号
    // DTU0009, 轮询周期 30秒. "other" and "short" name them for dtusim.
    QStringList Resolve(QStringList simArgs)
    {
        dir.Write(QStringLiteral("short.txt"), kShortProfile);
        dir.Write(QStringLiteral("odd.js"),
                  "function GetCmd(n) { return 'E004'; }\nfunction PrevCmd() { return ''; }\nNoSuchHelper();\n");
        dir.Write(QStringLiteral("part.txt"), R"json({"Params": [
            {"CMDID": "0031", "PNAME": "中心端口", "PVALUE": "HEX:1F90", "ONGET": "GetUInt()", "ONSET": "SetUInt(2)"},
            {"CMDID": "0032", "PNAME": "协议", "PVALUE": "HEX:00"},
            {"CMDID": "0777", "PNAME": "别的", "PVALUE": "HEX:01"}]})json");
        QString profile = TextFile::FromGbk(dir.Read(TestPaths::kExampleProfile));
        profile.replace(QStringLiteral("HEX:31302E302E302E38"), QStringLiteral("HEX:312E322E332E34"))
            .replace(QStringLiteral("HEX:1F90"), QStringLiteral("HEX:0050"))
            .replace(QStringLiteral("HEX:44545530303031"), QStringLiteral("HEX:44545530303039"))
            .replace(QStringLiteral("\"example_ext.txt\""), QStringLiteral("\"other/example_ext.txt\""));
        QDir().mkpath(dir.Path(QStringLiteral("other")));
        dir.WriteGbk(QStringLiteral("other/example_profile.txt"), profile);
        dir.WriteGbk(QStringLiteral("other/example_ext.txt"),
                     TextFile::FromGbk(dir.Read(QStringLiteral("example_ext.txt")))
                         .replace(QStringLiteral("HEX:000A"), QStringLiteral("HEX:001E")));
        if (simArgs.value(0) == QLatin1String("other"))
            simArgs = QStringList{QStringLiteral("--profile"), dir.Path(QStringLiteral("other/example_profile.txt"))}
                      + simArgs.mid(1);
        else if (simArgs.value(0) == QLatin1String("short"))
            simArgs = QStringList{QStringLiteral("--profile"), dir.Path(QStringLiteral("short.txt"))} + simArgs.mid(1);
        return simArgs;
    }

    VirtualDevice device_;
};

const QString kTimeAtEnd = QStringLiteral("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$");

} // namespace

class DtucfgVerdictsTest : public QObject {
    Q_OBJECT
private slots:
    void verdicts_data()
    {
        QTest::addColumn<QStringList>("sim");      // dtusim's options ("short", "other": the bench's profiles)
        QTest::addColumn<QList<QStringList>>("before"); // commands run first, whatever their status
        QTest::addColumn<QList<RecordEntry>>("kept");   // entries in the records before
        QTest::addColumn<QStringList>("args");     // the command ("REFUSING": a port that refuses connections)
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("zh"); // standard output ("~": a pattern; a first "*": the last lines)
        QTest::addColumn<QStringList>("en"); // the same with --lang en (empty: not run)
        QTest::addColumn<QString>("said");   // a line of standard error, Chinese ("" none)
        QTest::addColumn<int>("waitMs");     // the device's time the command took (-1: not checked)
        using L = QStringList;
        using B = QList<QStringList>;
        using K = QList<RecordEntry>;
        const QString readZh = QStringLiteral("[参数读取完毕]");
        const QString readEn = QStringLiteral("[Parameters read]");
        const QString okZh = QStringLiteral("[参数设置成功]");
        const QString okEn = QStringLiteral("[Parameter write succeeded]");
        const L shortP{"--profile", "short.txt"};
        const auto row = [](const char *name, const L &sim, const L &args, int status, const L &zh, const L &en = {},
                            const B &before = {}, const QString &said = {}, int waitMs = -1, const K &kept = {}) {
            QTest::newRow(name) << sim << before << kept << args << status << zh << en << said << waitMs;
        };
        const auto S = [](const char *s) { return QString::fromUtf8(s); };

        // The device commands, on the short profile.
        row("status", {"short"}, shortP + L{"status"}, 0, {S("DTU状态=5,在线状态，已登录到数据中心")},
            {"DTU status=5, online, logged in to the data centre"});
        // A script that stops part-way is named, and what it defined serves.
        row("status, a script that fails part-way", {"short"}, shortP + L{"--script", "odd.js", "status"}, 0,
            {S("DTU状态=5,在线状态，已登录到数据中心")}, {}, {}, S("~^dtucfg: 脚本错误：odd.js 第3行：ReferenceError"));
        row("status 2", {"short", "--status", "2"}, shortP + L{"status"}, 0, {S("DTU状态=2,待机状态")},
            {"DTU status=2, standby"});
        row("status 7: no word for it", {"short", "--status", "7"}, shortP + L{"status"}, 0, {});
        row("status, not a frame", {"short", "--not-frame"}, shortP + L{"status"}, 1, {S("DTU状态读取失败，参数错误！")});
        row("status, bad checksum", {"short", "--bad-checksum"}, shortP + L{"status"}, 1,
            {S("DTU状态读取失败，返回帧校验错误！")});
        row("status, silent", {"short", "--silent"}, shortP + L{"status"}, 1, {S("DTU状态读取失败，设备无响应！")},
            {"DTU status read failed: no response from the device!"}, {}, {}, 4000);
        row("status traced", {"short"}, shortP + L{"--level", "1", "status"}, 0,
            {S("下行：AA 55 00 04 E0 04 00 E8 "), S("上行：AA 55 00 05 E0 04 05 00 EE "),
             S("DTU状态=5,在线状态，已登录到数据中心")},
            {"Down: AA 55 00 04 E0 04 00 E8 ", "Up: AA 55 00 05 E0 04 05 00 EE ",
             "DTU status=5, online, logged in to the data centre"});
        row("signal", {"short", "--signal", "17"}, shortP + L{"signal"}, 0, {"DTU CSQ=17"}, {"DTU CSQ=17"});
        row("signal, bad checksum", {"short", "--bad-checksum"}, shortP + L{"signal"}, 1, {S("信号读取失败")});
        row("signal, silent", {"short", "--silent"}, shortP + L{"signal"}, 1, {S("信号读取失败")}, {"Signal read failed"},
            {}, {}, 10000);
        row("version", {"short", "--version", "V9.1", "--imei", "861111111111111"}, shortP + L{"version"}, 0,
            {S("DTU版本号=V9.1"), S("IMEI=861111111111111")});
        row("version, not a frame", {"short", "--not-frame"}, shortP + L{"version"}, 1,
            {S("DTU版本号读取失败"), S("DTU版本号="), S("IMEI读取失败"), S("IMEI=")});
        row("clock", {"short"}, shortP + L{"clock"}, 0, {S("设备时钟读取成功"), S("~^") + kTimeAtEnd});
        row("clock, bad checksum", {"short", "--bad-checksum"}, shortP + L{"clock"}, 1, {S("设备时钟读取失败"), QString()});
        row("set-clock", {"short", "--delay", "300"}, shortP + L{"set-clock"}, 0,
            {S("~^设置设备时钟=") + kTimeAtEnd, S("[设备时钟设置成功]")});
        row("set-clock, refused", {"short", "--refuse"}, shortP + L{"set-clock"}, 1,
            {S("~^设置设备时钟=") + kTimeAtEnd, S("[设备时钟设置失败]")});
        row("reset", {"short"}, shortP + L{"reset"}, 0, {S("[复位设备成功]")}, {"[Device reset succeeded]"});
        row("reset, refused", {"short", "--refuse"}, shortP + L{"reset"}, 1, {S("[复位设备失败]")}, {"[Device reset failed]"});
        row("reset, silent", {"short", "--silent"}, shortP + L{"reset"}, 1, {S("[复位设备失败，设备无响应！]")}, {}, {}, {},
            3000);
        row("restore", {"short"}, shortP + L{"restore"}, 0, {okZh}, {okEn});
        // A checksum failure is named like the others, not the panel's
        // previous text: a restore must not look like nothing.
        row("restore, bad checksum", {"short", "--bad-checksum"}, shortP + L{"restore"}, 1,
            {S("[参数设置失败，返回帧校验错误！]")});
        row("restore, not a frame", {"short", "--not-frame"}, shortP + L{"restore"}, 1, {S("[参数设置失败，非法的返回串！]")});

        // Reading the example device; a failed read prints no table.
        row("read", {}, {"read"}, 0, L{readZh} + kMain, L{readEn} + kMain);
        row("read of the extended table", {}, {"--ext", "read"}, 0, L{readZh} + kExt, L{readEn} + kExt);
        row("read, silent", {"--silent", "--only", "E001"}, {"read"}, 1, {S("[参数读取失败，设备无响应！]")});
        row("read, stray bytes before", {"--stray-before", "0102FF", "--only", "E001"}, {"read"}, 0, L{readZh} + kMain);
        row("read, stray bytes after", {"--stray-after", "00", "--only", "E001"}, {"read"}, 1,
            {S("[参数读取失败，返回数据包校验错！]")});
        row("read, bad checksum", {"--bad-checksum", "--only", "E001"}, {"read"}, 1, {S("[参数读取失败，返回数据包校验错！]")});
        row("read, not a frame", {"--not-frame", "--only", "E001"}, {"read"}, 1, {S("[参数读取失败，返回数据包头非法！]")});
        row("read, in pieces 300 ms apart", {"--pieces", "3:300"}, {"read"}, 0, L{readZh} + kMain);
        // A device that says nothing to the table's selection does not
        // answer; one that answers and refuses did not switch.
        row("read, selection refused", {"--refuse", "--only", "E050"}, {"read"}, 1, {S("[参数读取失败，设备未切换参数表！]")},
            {"[Parameter read failed: the device did not switch parameter tables!]"});
        row("ext read, silent to the selection", {"--silent", "--only", "E050"}, {"--ext", "read"}, 1,
            {S("[参数读取失败，设备无响应！]")});
        row("ext read, selection refused", {"--refuse", "--only", "E050"}, {"--ext", "read"}, 1,
            {S("[参数读取失败，设备未切换参数表！]")});

        // Writing: rows in table order, each with its outcome.
        const L write{"write", "0052=10.1.2.3", "0042=数据触发", "0040=INTERNET", "0041=12.5"};
        row("write, a row of every kind", {}, write, 0,
            {S("设置参数：接入点名称=INTERNET"), okZh, S("设置参数：信号门限=12.5"), okZh, S("设置参数：在线方式=数据触发"), okZh,
             S("设置参数：网关地址=10.1.2.3"), okZh},
            {S("Set parameter: 接入点名称=INTERNET"), okEn, S("Set parameter: 信号门限=12.5"), okEn,
             S("Set parameter: 在线方式=数据触发"), okEn, S("Set parameter: 网关地址=10.1.2.3"), okEn});
        row("read after the write", {}, {"read"}, 0,
            L{readZh}
                + With(kMain, {S("0040\t接入点名称\tHEX:494E5445524E4554\tINTERNET"), S("0041\t信号门限\tHEX:41480000\t12.500"),
                               S("0042\t在线方式\tHEX:02\t数据触发"), S("0052\t网关地址\tHEX:0A010203\t10.1.2.3")}),
            {}, {write});
        const L twoRows{"write", "0032=UDP", "0031=9000"};
        const auto twoLines = [&](const char *first) {
            return L{S("设置参数：中心端口=9000"), S(first), S("设置参数：传输协议=UDP"), okZh};
        };
        const L onPort{"--only", "0031"};
        row("write, silent to one row", L{"--silent"} + onPort, twoRows, 1, twoLines("[参数设置失败，设备无响应！]"),
            {S("Set parameter: 中心端口=9000"), "[Parameter write failed: no response from the device!]",
             S("Set parameter: 传输协议=UDP"), okEn});
        row("write, a bad checksum", L{"--bad-checksum"} + onPort, twoRows, 1, twoLines("[参数设置失败，返回帧校验错误！]"));
        row("write, a row refused", L{"--refuse"} + onPort, twoRows, 1, twoLines("[参数设置失败]"));
        row("write, not a frame", L{"--not-frame"} + onPort, twoRows, 1, twoLines("[参数设置失败，输入了非法内容！]"));
        row("write, stray bytes before", L{"--stray-before", "13"} + onPort, twoRows, 0, twoLines("[参数设置成功]"));
        // An acknowledgement is judged by its own length: bytes after it do
        // not spoil it (unlike a read's reply).
        row("write, stray bytes after", L{"--stray-after", "00"} + onPort, twoRows, 0, twoLines("[参数设置成功]"));
        row("write, in pieces 300 ms apart", {"--pieces", "3:300"}, twoRows, 0, twoLines("[参数设置成功]"));
        const L extWrite{"--ext", "write", "0102=60秒", "0100=RS232"};
        row("ext write", {}, extWrite, 0, {S("设置参数：接口类型=RS232"), okZh, S("设置参数：轮询周期=60秒"), okZh});
        row("ext read after the write, then the main table", {}, {"read"}, 0, L{readZh} + kMain, {}, {extWrite, {"--ext", "read"}});
        row("ext write, silent to the selection", {"--silent", "--only", "E050"}, extWrite, 1,
            {S("[参数设置失败，设备无响应！]")});
        row("ext write, selection refused", {"--refuse", "--only", "E050"}, extWrite, 1,
            {S("[参数设置失败，设备未切换参数表！]")});
        row("batch, silent", {"--silent"}, {"batch"}, 1, {S("[参数设置失败，设备无响应！]")});
        row("batch, selection refused", {"--refuse", "--only", "E050"}, {"batch"}, 1, {S("[参数设置失败，设备未切换参数表！]")});
        row("ext batch, selection refused", {"--refuse", "--only", "E050"}, {"--ext", "batch"}, 1,
            {S("[参数设置失败，设备未切换参数表！]")});

        // Backups and comparisons: verify prints each row that differs
        // (the raw values when the shown ones are alike) and a summary.
        row("save", {}, {"save", "backup.txt"}, 0, {readZh, readZh});
        row("save, silent", {"--silent", "--only", "E001"}, {"save", "backup.txt"}, 1, {S("[参数读取失败，设备无响应！]")}, {},
            {}, S("save：没能读出设备的参数，什么也没有保存"));
        row("verify, another device", {"other"}, {"verify", TestPaths::kExampleProfile}, 3,
            {S("0030\t中心地址\t10.0.0.8\t1.2.3.4"), S("0031\t中心端口\t8080\t80"), S("0091\t设备编号\tDTU0001\tDTU0009"),
             S("0102\t轮询周期\t10秒\t30秒"), S("比较了14行，其中4行不同")},
            {S("0030\t中心地址\t10.0.0.8\t1.2.3.4"), S("0031\t中心端口\t8080\t80"), S("0091\t设备编号\tDTU0001\tDTU0009"),
             S("0102\t轮询周期\t10秒\t30秒"), "4 of 14 rows compared differ"});
        row("verify, the differing rows ignored", {"other"}, {"verify", TestPaths::kExampleProfile, "--ignore", "0030, 0031,0091,0102"},
            0, {S("比较了10行，没有差异（忽略4行）")});
        row("verify, alike when shown", {}, {"verify", TestPaths::kExampleProfile}, 3,
            {S("0033\t心跳间隔\t1分0秒\t2分0秒"), S("0041\t信号门限\tHEX:41200000\tHEX:41200001"), S("比较了14行，其中2行不同")}, {},
            {{"write", "0033=120", "0041=HEX:41200001"}});
        // A row of the file the device does not report is a difference; the
        // device's rows the file does not list were never compared.
        row("verify, rows the file lacks", {}, {"verify", "part.txt"}, 3,
            {S("0777\t别的\t\t(设备未报告)"), S("比较了3行，其中1行不同；文件缺少设备的12行，未比较")},
            {S("0777\t别的\t\t(not reported)"), "1 of 3 rows compared differ; the file lacks 12 of the device's rows, not compared"});
        row("verify, silent: no difference lines", {"--silent", "--only", "E001"}, {"verify", TestPaths::kExampleProfile}, 1,
            {});
        // A clone: another device's values written as a batch; below level
        // 2 the device keeps its own number, the one row meant to differ.
        row("a clone", {}, {"verify", "other/example_profile.txt", "--ignore", "0091"}, 0, {S("比较了13行，没有差异（忽略1行）")},
            {}, {{"--profile", "other/example_profile.txt", "batch"}});

        // The device records.
        row("identify", {}, {"identify"}, 0, {"*", S("固件版本：SIM-DTU V1.0"), S("IMEI：860000000000018")},
            {"*", "firmware: SIM-DTU V1.0", "IMEI: 860000000000018"});
        row("write after a snapshot", {}, {"write", "--snapshot", "0031=5001"}, 0,
            {readZh, readZh, S("设置参数：中心端口=5001"), okZh}, {}, {},
            S("write：写入前设备的参数值已存为记录 1"));
        row("rollback", {}, {"rollback", "1"}, 0, {S("*"), S("rollback：ok（写入2行，9行未变，0行因访问级别未写）；记录 3")},
            {"*", "rollback: ok (2 written, 9 unchanged, 0 withheld by the access level); entry 3"},
            {{"read"}, {"write", "0031=5001", "0033=90"}});
        row("rollback, nothing left to write", {}, {"rollback", "1"}, 0,
            {S("*"), S("rollback：ok（写入0行，11行未变，0行因访问级别未写）；记录 2")}, {}, {{"read"}});
        // The device takes the value it refuses: the read-back finds it.
        row("rollback, refused by the device", {"--refuse", "--only", "0033"}, {"rollback", "1"}, 1,
            {S("*"), S("rollback：failed（写入0行，10行未变，0行因访问级别未写）；记录 3")}, {}, {{"read"}, {"write", "0033=90"}});
        RecordEntry other = TestEntry(RecordAction::Read, {EntryRow("0031", "中心端口", {"HEX:1389", "5001"})});
        other.device.number = QStringLiteral("DTU9999");
        row("rollback, another device's snapshot", {}, {"rollback", "1"}, 1, {S("*")}, {}, {},
            S("dtucfg: rollback：记录 1 是设备 DTU9999 的，这台设备是 DTU0001；什么也没有写"), -1, {other});
        // A channel that does not open is the device's failure, as for every
        // command. (On virtual time the attempt is given up before the
        // refusal arrives; the words are the program's: e2e/tst_dtucfg_program.)
        row("rollback, a TCP connection that does not open", {}, {"--tcp", "127.0.0.1", "--tcp-port", "REFUSING", "rollback", "1"},
            1, {}, {}, {{"read"}});
        // A store that cannot be kept in is said once; the work goes on.
        row("a store that cannot be written", {}, {"--records", ".", "write", "0033=60"}, 0,
            {S("设置参数：心跳间隔=60"), okZh}, {}, {}, S("~^dtucfg: 警告：这次操作没有记入设备档案："));
        row("ports: a path not there", {}, {"ports", "/dev/ttyGONE0"}, 0,
            {"*", S("/dev/ttyGONE0  系统没有列出  不能打开：没有这个设备")},
            {"*", "/dev/ttyGONE0  not reported by the system  access: no, no such device"});
    }
    void verdicts()
    {
        QFETCH(QStringList, sim);
        QFETCH(QList<QStringList>, before);
        QFETCH(QList<RecordEntry>, kept);
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QStringList, zh);
        QFETCH(QStringList, en);
        QFETCH(QString, said);
        QFETCH(int, waitMs);
        const RefusingPort refusing;
        args.replaceInStrings(QStringLiteral("REFUSING"), refusing.Text());
        said.replace(QStringLiteral("REFUSING"), refusing.Text());
        // The records only where the row is about them: each entry kept is
        // on the disk before the run goes on, which takes a busy disk's time.
        const bool records = !kept.isEmpty() || args.contains(QStringLiteral("rollback"))
            || args.contains(QStringLiteral("--snapshot")) || args.contains(QStringLiteral("--records"))
            || args.contains(QStringLiteral("identify"));
        CliOptions options;
        QString error;
        CliOptions::Parse(args, &options, &error);
        const bool fastTaken = CliCommands::Takes(options.command, QStringLiteral("fast"));
        // A fresh device and folder for each run: the row's steps, then its command.
        const auto run = [&](const QStringList &language, qint64 *waited = nullptr) {
            VerdictBench bench(sim);
            bench.records = records;
            if (!kept.isEmpty())
                KeepEntries(bench.store, kept);
            for (const QStringList &step : before)
                bench.Cfg(step);
            const qint64 start = bench.Device().Clock().NowMs();
            const ProgramRun done = bench.Cfg(language + args);
            if (waited)
                *waited = bench.Device().Clock().NowMs() - start;
            return done;
        };
        const auto compare = [](const QStringList &out, QStringList expected) {
            if (expected.value(0) == QLatin1String("*")) // the last lines only
                expected.removeFirst();
            CompareLines(out.mid(out.size() - expected.size()), expected);
        };
        qint64 waited = 0;
        const ProgramRun chinese = run({}, &waited);
        QVERIFY2(chinese.exitCode == status, qPrintable(chinese.Describe()));
        if (zh.value(0) != QLatin1String("*"))
            QVERIFY2(chinese.out.size() == zh.size(), qPrintable(chinese.out.join(QLatin1Char('\n'))));
        compare(chinese.out, zh);
        if (!said.isEmpty()) {
            const QStringList err = chinese.err.split(QLatin1Char('\n'));
            const bool found = said.startsWith(QLatin1Char('~'))
                ? !err.filter(QRegularExpression(said.mid(1))).isEmpty()
                : err.contains(said);
            QVERIFY2(found, qPrintable(chinese.err));
        }
        if (waitMs >= 0)
            QCOMPARE(waited, qint64(waitMs));
        // The fast reply mode ends the same: its lines and status.
        const ProgramRun fast = run(fastTaken ? QStringList{QStringLiteral("--fast")} : QStringList());
        QVERIFY2(fast.exitCode == status, qPrintable(fast.Describe()));
        compare(fast.out, zh);
        if (!en.isEmpty()) {
            const ProgramRun english = run({QStringLiteral("--lang"), QStringLiteral("en")});
            QVERIFY2(english.exitCode == status, qPrintable(english.Describe()));
            compare(english.out, en);
        }
        // Every text reworded, in each language: the same status, and with
        // --json one document that says it.
        for (const bool inEnglish : {false, true}) {
            QVERIFY(Translation::Install(Language::Chinese));
            Rewording words(inEnglish);
            QCoreApplication::installTranslator(&words);
            const ProgramRun reworded = run(inEnglish ? QStringList() : QStringList{QStringLiteral("--json")});
            QCoreApplication::removeTranslator(&words);
            QVERIFY2(reworded.exitCode == status, qPrintable(reworded.Describe()));
            if (inEnglish)
                continue;
            const QJsonObject json = QJsonDocument::fromJson(reworded.out.join(QLatin1Char('\n')).toUtf8()).object();
            QCOMPARE(json.value(QStringLiteral("status")).toInt(-1), status);
            QCOMPARE(json.value(QStringLiteral("ok")).toBool(), status == 0);
            QCOMPARE(json.contains(QStringLiteral("error")), status != 0);
        }
    }

    // With --json the one document names the entry the command kept
    // ("record"), or says why none was ("record_error").
    void theDocumentNamesTheEntry()
    {
        VerdictBench bench({});
        const auto document = [&](const QStringList &args) {
            return QJsonDocument::fromJson(bench.Cfg(QStringList{QStringLiteral("--json")} + args).out.join(QLatin1Char('\n')).toUtf8())
                .object();
        };
        QJsonObject json = document({QStringLiteral("write"), QStringLiteral("0031=5001")});
        QCOMPARE(json.value(QStringLiteral("record")).toInt(), 1);
        QVERIFY(!json.contains(QStringLiteral("record_error")));
        QCOMPARE(EntriesIn(bench.store).value(0).action, RecordAction::Write);
        json = document({QStringLiteral("--records"), QStringLiteral("."), QStringLiteral("read")});
        QVERIFY(json.value(QStringLiteral("record")).isNull());
        QVERIFY(!json.value(QStringLiteral("record_error")).toString().isEmpty());
        // --no-records keeps nothing, anywhere.
        const QString defaultStore = QDir(qEnvironmentVariable("XDG_DATA_HOME")).filePath(QStringLiteral("dtutools/records.sqlite"));
        const bool there = QFile::exists(defaultStore);
        json = document({QStringLiteral("--no-records"), QStringLiteral("write"), QStringLiteral("0031=5002")});
        QCOMPARE(json.value(QStringLiteral("record_error")).toString(), QStringLiteral("recording is off"));
        QCOMPARE(EntriesIn(bench.store).size(), 1);
        QCOMPARE(QFile::exists(defaultStore), there);
    }

    // signal --watch: a line a reading, in the language asked for, until a
    // stop (SIGTERM, as a terminal sends it, after the first reading); the
    // status of the last reading. A silent device's reading waits its 10 s.
    void watchedReadings_data()
    {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("zh");
        QTest::addColumn<QString>("en");
        QTest::newRow("CSQ 10") << QStringList{"--signal", "10"} << 0 << "CSQ=10 -93 dBm" << "CSQ=10 -93 dBm";
        QTest::newRow("CSQ 99, no level") << QStringList{"--signal", "99"} << 0 << "CSQ=99 未知" << "CSQ=99 unknown";
        QTest::newRow("silent") << QStringList{"--silent", "--only", "E023"} << 1 << "信号读取失败" << "Signal read failed";
    }
    void watchedReadings()
    {
        QFETCH(QStringList, sim);
        QFETCH(int, status);
        QFETCH(QString, zh);
        QFETCH(QString, en);
        for (const char *language : {"zh", "en"}) {
            VerdictBench bench(sim);
            StopWatchAtReading(bench.Device());
            const ProgramRun run = bench.Cfg({QStringLiteral("--lang"), QLatin1String(language), QStringLiteral("signal"),
                                              QStringLiteral("--watch"), QStringLiteral("1")});
            QVERIFY2(run.exitCode == status, qPrintable(run.Describe()));
            QCOMPARE(run.out.size(), 1);
            const QString line = QLatin1String(language) == QLatin1String("zh") ? zh : en;
            QVERIFY2(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d ")
                                        + QRegularExpression::escape(line) + QLatin1Char('$'))
                         .match(run.out.value(0))
                         .hasMatch(),
                     qPrintable(run.out.value(0)));
            if (status != 0)
                QVERIFY(bench.Device().Clock().NowMs() >= 10000);
        }
    }

    // Readings keep to the clock: one every N seconds from the first, the
    // exchange's time taken out of the pause (a device slow to answer), and
    // a reading that outlasts N seconds (a silent device's 10 s) is followed
    // at the next whole period, with no burst to catch up.
    void watchKeepsTime_data()
    {
        QTest::addColumn<QStringList>("sim");
        QTest::addColumn<QList<qint64>>("gaps");
        QTest::newRow("slow answer") << QStringList{"--delay", "400"} << QList<qint64>{2000, 2000};
        QTest::newRow("silent") << QStringList{"--silent", "--only", "E023"} << QList<qint64>{12000, 12000};
    }
    void watchKeepsTime()
    {
        QFETCH(QStringList, sim);
        QFETCH(QList<qint64>, gaps);
        VerdictBench bench(sim);
        QList<qint64> times;
        StopWatchAtReading(bench.Device(), 3, &times);
        bench.Cfg({QStringLiteral("signal"), QStringLiteral("--watch"), QStringLiteral("2")});
        QCOMPARE(times.size(), 3);
        QCOMPARE((QList<qint64>{times[1] - times[0], times[2] - times[1]}), gaps);
    }
};

DTU_TEST_GUILESS(DtucfgVerdictsTest)
#include "tst_dtucfg_verdicts.moc"
