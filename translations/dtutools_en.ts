<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>Actions</name>
    <message>
        <source>verify：无法载入 %1：%2</source>
        <translation>verify: cannot load %1: %2</translation>
    </message>
</context>
<context>
    <name>ChannelOpen</name>
    <message>
        <source>%1 拒绝连接（该端口没有程序在监听）</source>
        <translation>%1 refused the connection (nothing listens on that port)</translation>
    </message>
    <message>
        <source>找不到主机 %1</source>
        <translation>host %1 not found</translation>
    </message>
    <message>
        <source>%1 在%2秒内没有应答</source>
        <translation>no answer from %1 within %2 s</translation>
    </message>
    <message>
        <source>：</source>
        <translation>: </translation>
    </message>
    <message>
        <source>设备收到密码后立即关闭了连接：密码不对，或设备正忙于另一个连接</source>
        <translation>the device closed the connection right after the password: a wrong password, or a device busy with another connection</translation>
    </message>
</context>
<context>
    <name>ChoiceList</name>
    <message>
        <source>选择列表%1</source>
        <translation>Choice list: %1</translation>
    </message>
    <message>
        <source>选择列表格式错误：应为[[名称...],[取值...]]</source>
        <translation>Choice list format error: expected [[names...],[values...]]</translation>
    </message>
</context>
<context>
    <name>CliCheck</name>
    <message>
        <source>没有参数文件可检查（用 --profile FILE 指定）</source>
        <translation>no parameter file to check (give one with --profile FILE)</translation>
    </message>
    <message>
        <source>找不到 %1；找过：%2（或用 --script FILE 指定）</source>
        <translation>cannot find %1; tried %2 (or give --script FILE)</translation>
    </message>
</context>
<context>
    <name>CliCommands</name>
    <message>
        <source>读DTU状态：设备的工作状态</source>
        <translation>the working state of the device</translation>
    </message>
    <message>
        <source>读取信号强度（--watch N：每 N 秒再读一次）</source>
        <translation>the signal strength (--watch N: again every N seconds)</translation>
    </message>
    <message>
        <source>查询DTU版本/IMEI：先固件版本，再IMEI</source>
        <translation>firmware version, then IMEI</translation>
    </message>
    <message>
        <source>读取设备时钟</source>
        <translation>the device clock</translation>
    </message>
    <message>
        <source>设置设备时钟：设为这台计算机的时间</source>
        <translation>set the device clock to this computer&apos;s</translation>
    </message>
    <message>
        <source>复位设备：重新启动设备</source>
        <translation>restart the device</translation>
    </message>
    <message>
        <source>恢复出厂默认设置</source>
        <translation>restore factory settings</translation>
    </message>
    <message>
        <source>读取：读出参数表并打印</source>
        <translation>read the parameter table and print it</translation>
    </message>
    <message>
        <source>设置：修改给出的参数并写入（NUM=HEX:digits 给出原始字节）</source>
        <translation>edit the named rows (NUM=HEX:digits sets raw bytes) and write them</translation>
    </message>
    <message>
        <source>读出两张表，再保存参数文件到 FILE（扩展参数表在它旁边）</source>
        <translation>read both tables, then save them into FILE (the extended table beside it)</translation>
    </message>
    <message>
        <source>批量写参数：写入参数文件及其扩展参数文件的每个参数（--ext：只写扩展的）</source>
        <translation>write every parameter of the profile and of its extended file (--ext: that file&apos;s only)</translation>
    </message>
    <message>
        <source>比较设备与 FILE，打印每处不同（不同时退出状态为3）</source>
        <translation>compare the device with FILE; print each difference (exit 3 when they differ)</translation>
    </message>
    <message>
        <source>列出串口（及给出的 PATH），以及你能否打开每一个</source>
        <translation>list the serial ports (and the PATHs) and whether you may open each</translation>
    </message>
    <message>
        <source>固件版本：%1
IMEI：%2
</source>
        <translation>firmware: %1
IMEI: %2
</translation>
    </message>
    <message>
        <source>查询DTU版本/IMEI，作为设备的身份记入设备档案</source>
        <translation>query the DTU version/IMEI, kept in the device records as the device&apos;s identity</translation>
    </message>
    <message>
        <source>设备档案，最新的在前（--show ID、--diff ID1 ID2、--limit N）</source>
        <translation>the device records, newest first (--show ID, --diff ID1 ID2, --limit N)</translation>
    </message>
    <message>
        <source>批量配置中的一台设备：先读出，再写入与 --set 值不同的参数，--verify 读回并比较</source>
        <translation>one device of a fleet: read it, then write the rows that differ, with the --set values; --verify reads back and compares</translation>
    </message>
    <message>
        <source>写入清单中每台设备与之不同的参数（--jobs、--report、--verify、--write-all）</source>
        <translation>write to every device of the inventory what differs (--jobs, --report, --verify, --write-all)</translation>
    </message>
    <message>
        <source>核对清单中的每台设备是否保存着应有的参数，什么也不写（有不符时退出状态为3）</source>
        <translation>check that every device of the inventory holds what it should, writing nothing (exit 3 when one differs)</translation>
    </message>
    <message>
        <source>把设备恢复到快照ID的值（--dry-run：只列出会写的参数；--run ID：整个批量运行）</source>
        <translation>put the device back to the values of snapshot ID (--dry-run: only list what it would write; --run ID: a whole fleet run)</translation>
    </message>
    <message>
        <source>%1：参数文件中没有参数 %2</source>
        <translation>%1: no parameter %2 in the profile</translation>
    </message>
    <message>
        <source>%1：%2（%3）只有用 --level 2 才能修改</source>
        <translation>%1: %2 (%3) may be changed only with --level 2</translation>
    </message>
    <message>
        <source>%1：%2 不能编辑</source>
        <translation>%1: %2 cannot be edited</translation>
    </message>
    <message>
        <source>%1：%2：请从这些值中选一个：%3</source>
        <translation>%1: %2: choose one of: %3</translation>
    </message>
    <message>
        <source>%1：%2：最多%3个字符</source>
        <translation>%1: %2: at most %3 characters</translation>
    </message>
    <message>
        <source>%1：%2：只接受这些字符：“%3”</source>
        <translation>%1: %2: only the characters &quot;%3&quot; are accepted</translation>
    </message>
    <message>
        <source>%1：%2：HEX: 后面应是成对的十六进制数字</source>
        <translation>%1: %2: HEX: must be followed by pairs of hex digits</translation>
    </message>
    <message>
        <source>：</source>
        <translation>: </translation>
    </message>
    <message>
        <source>%1：“%2”不是 编号=值 的形式</source>
        <translation>%1: &quot;%2&quot; is not NUMBER=VALUE</translation>
    </message>
    <message>
        <source>清单第%1行第%2列</source>
        <translation>inventory line %1, column %2</translation>
    </message>
    <message>
        <source>：参数文件中没有参数 %1</source>
        <translation>: the profile has no parameter %1</translation>
    </message>
    <message>
        <source>警告：%1 的操作没有记入设备档案：%2</source>
        <translation>warning: the device record of %1 was not kept: %2</translation>
    </message>
    <message>
        <source>设备档案：批量运行 %1（dtucfg rollback --run %1 可撤销）</source>
        <translation>device records: fleet run %1 (dtucfg rollback --run %1 undoes it)</translation>
    </message>
    <message>
        <source>%1：报告没有写出：</source>
        <translation>%1: the report was not written: </translation>
    </message>
    <message>
        <source>%1：写入前设备的参数值已存为记录 %2</source>
        <translation>%1: the device&apos;s values before writing are kept as entry %2</translation>
    </message>
    <message>
        <source>%1 --snapshot：写入前的参数值没能存入设备档案（%2），什么也没有写</source>
        <translation>%1 --snapshot: the values before the change could not be kept in the device records (%2); nothing written</translation>
    </message>
    <message>
        <source>%1 --snapshot：没能读出设备的参数，什么也没有写</source>
        <translation>%1 --snapshot: the device&apos;s parameters could not be read; nothing written</translation>
    </message>
    <message>
        <source>--ext：参数文件没有指定扩展参数文件</source>
        <translation>--ext: the profile names no extended parameter file</translation>
    </message>
    <message>
        <source>write：扩展参数表中没有参数 %1</source>
        <translation>write: no parameter %1 in the extended table</translation>
    </message>
    <message>
        <source>write：主参数表中没有参数 %1</source>
        <translation>write: no parameter %1 in the main table</translation>
    </message>
    <message>
        <source>batch：在这个访问级别下，扩展参数表没有可写的参数</source>
        <translation>batch: the extended table has no parameter to write at this access level</translation>
    </message>
    <message>
        <source>batch：在这个访问级别下，主参数表没有可写的参数</source>
        <translation>batch: the main table has no parameter to write at this access level</translation>
    </message>
    <message>
        <source>batch：</source>
        <translation>batch: </translation>
    </message>
    <message>
        <source>save：没能读出设备的参数，什么也没有保存</source>
        <translation>save: the parameters could not be read; nothing saved</translation>
    </message>
    <message>
        <source>参数文件 %1 保存失败。
%2</source>
        <translation>Saving the parameter file %1 failed.
%2</translation>
    </message>
    <message>
        <source>save：扩展参数表保存在 %1</source>
        <translation>save: the extended table is in %1</translation>
    </message>
    <message>
        <source>save：设备没有报告%1个参数，文件中是参数文件原来的值</source>
        <translation>save: the device did not report %1 parameter(s); the file holds the profile&apos;s values for them</translation>
    </message>
    <message>
        <source>verify：%1 与参数文件 %2 没有一个相同的参数</source>
        <translation>verify: %1 has no parameter in common with the profile %2</translation>
    </message>
    <message>
        <source>verify：没能读出设备的参数</source>
        <translation>verify: the parameters could not be read</translation>
    </message>
    <message>
        <source>：%1 与第%2行的 %3 是同一台设备</source>
        <translation>: %1 is the same device as %3 on line %2</translation>
    </message>
    <message>
        <source>检查参数文件、扩展参数文件和脚本，不连接设备（--strict：警告也算错误）</source>
        <translation>check the parameter file, its extended file and the script, without a device (--strict: warnings count as faults)</translation>
    </message>
    <message>
        <source>%1：“%2”不是记录编号</source>
        <translation>%1: &quot;%2&quot; is not an entry id</translation>
    </message>
    <message>
        <source>（它在主参数表中：去掉 --ext）</source>
        <translation> (it is in the main table: leave out --ext)</translation>
    </message>
    <message>
        <source>（它在扩展参数表中：加上 --ext）</source>
        <translation> (it is in the extended table: add --ext)</translation>
    </message>
</context>
<context>
    <name>CliFleetWorker</name>
    <message>
        <source>provision：</source>
        <translation>provision: </translation>
    </message>
</context>
<context>
    <name>CliHistory</name>
    <message>
        <source>没有编号为 %1 的记录</source>
        <translation>no entry %1</translation>
    </message>
    <message>
        <source>编号	时间	设备	操作	结果	操作员</source>
        <translation>id	time	device	action	outcome	operator</translation>
    </message>
    <message>
        <source>记录：%1</source>
        <translation>entry: %1</translation>
    </message>
    <message>
        <source>时间：%1</source>
        <translation>time: %1</translation>
    </message>
    <message>
        <source>操作员：%1</source>
        <translation>operator: %1</translation>
    </message>
    <message>
        <source>主机：%1</source>
        <translation>host: %1</translation>
    </message>
    <message>
        <source>程序：%1</source>
        <translation>program: %1</translation>
    </message>
    <message>
        <source>目标：%1</source>
        <translation>target: %1</translation>
    </message>
    <message>
        <source>设备：%1，IMEI %2，固件版本 %3</source>
        <translation>device: %1, IMEI %2, firmware %3</translation>
    </message>
    <message>
        <source>参数文件：-</source>
        <translation>profile: -</translation>
    </message>
    <message>
        <source>参数文件：%1（%2）%3</source>
        <translation>profile: %1 (%2) %3</translation>
    </message>
    <message>
        <source>操作：%1</source>
        <translation>action: %1</translation>
    </message>
    <message>
        <source>结果：%1</source>
        <translation>outcome: %1</translation>
    </message>
    <message>
        <source>详情：%1</source>
        <translation>details: %1</translation>
    </message>
    <message>
        <source>批量运行：%1</source>
        <translation>fleet run: %1</translation>
    </message>
    <message>
        <source>恢复到记录：%1</source>
        <translation>restores entry: %1</translation>
    </message>
    <message>
        <source>参数行数：%1</source>
        <translation>rows: %1</translation>
    </message>
    <message>
        <source>history 读取设备档案，而 --no-records 关闭了设备档案</source>
        <translation>history reads the device records, which --no-records turns off</translation>
    </message>
    <message>
        <source>history --diff 需要两个记录编号</source>
        <translation>history --diff needs two entry ids</translation>
    </message>
    <message>
        <source>history --show 不能再指定设备</source>
        <translation>history --show takes no device</translation>
    </message>
    <message>
        <source>history 最多指定一台设备</source>
        <translation>history takes one device at most</translation>
    </message>
    <message>
        <source>没有编号为 %1 的记录（%2 中还没有设备档案）</source>
        <translation>no entry %1 (no records yet in %2)</translation>
    </message>
    <message>
        <source>history：%1 中还没有设备档案</source>
        <translation>history: no records yet in %1</translation>
    </message>
    <message>
        <source>history：设备档案中还没有记录</source>
        <translation>history: the device records hold no entry yet</translation>
    </message>
    <message>
        <source>history：设备档案中没有 %1 的记录</source>
        <translation>history: the device records hold no entry of %1</translation>
    </message>
    <message>
        <source>%1 不是文件夹，那里不会有设备档案 %2</source>
        <translation>%1 is not a folder: there can be no device records %2</translation>
    </message>
</context>
<context>
    <name>CliOptions</name>
    <message>
        <source>应为1到65535的整数</source>
        <translation>give a whole number from 1 to 65535</translation>
    </message>
    <message>
        <source>应为0、1或2</source>
        <translation>give 0, 1 or 2</translation>
    </message>
    <message>
        <source>应为zh或en</source>
        <translation>give zh or en</translation>
    </message>
    <message>
        <source>应为1到3600的整数（秒）</source>
        <translation>give a whole number of seconds from 1 to 3600</translation>
    </message>
    <message>
        <source>应为以逗号分隔的四位参数编号，例如0091,0033</source>
        <translation>give four-digit parameter numbers separated by commas, such as 0091,0033</translation>
    </message>
    <message>
        <source>应为1或更大的整数</source>
        <translation>give a whole number of 1 or more</translation>
    </message>
    <message>
        <source>需要文件名</source>
        <translation>give a file name</translation>
    </message>
    <message>
        <source>可用的速率：%1</source>
        <translation>accepted speeds: %1</translation>
    </message>
    <message>
        <source>可用的格式：%1</source>
        <translation>accepted formats: %1</translation>
    </message>
    <message>
        <source>--%1：无效的值“%2”，%3</source>
        <translation>--%1: invalid value &quot;%2&quot;; %3</translation>
    </message>
    <message>
        <source>未知的选项 --%1</source>
        <translation>unknown option --%1</translation>
    </message>
    <message>
        <source>--%1 需要一个值</source>
        <translation>--%1 needs a value</translation>
    </message>
    <message>
        <source>--%1 不带值</source>
        <translation>--%1 takes no value</translation>
    </message>
    <message>
        <source>设备参数文件（默认：./lastfile.log 记下的那个，
否则 ~/.config/dtutools/lastfile.log 记下的那个）</source>
        <translation>device profile (default: the one named in ./lastfile.log,
else in ~/.config/dtutools/lastfile.log)</translation>
    </message>
    <message>
        <source>设备脚本（默认：./script.js，否则参数文件旁的
script.js，否则 ~/.config/dtutools/script.js）</source>
        <translation>device script (default: ./script.js, else script.js beside
the profile, else ~/.config/dtutools/script.js)</translation>
    </message>
    <message>
        <source>速率（默认：参数文件中的，否则 57600）</source>
        <translation>speed (default: the profile&apos;s, else 57600)</translation>
    </message>
    <message>
        <source>帧格式，如 8N1（默认：参数文件中的，否则 8N1）</source>
        <translation>frame format such as 8N1 (default: the profile&apos;s, else 8N1)</translation>
    </message>
    <message>
        <source>TCP维护密码（默认 480917）。这台计算机的每个用户
都能在进程列表中看到它：请用 --password-file 或 DTU_PASSWORD</source>
        <translation>TCP maintenance password (default 480917). Every user of
this computer can read it in the process list: prefer
--password-file or DTU_PASSWORD</translation>
    </message>
    <message>
        <source>从 FILE 的第一行读TCP密码（- 表示标准输入）</source>
        <translation>read the TCP password from the first line of FILE
(- for standard input)</translation>
    </message>
    <message>
        <source>访问级别：1 打印通信记录，2 解锁 0091</source>
        <translation>access level: 1 prints the traffic trace, 2 unlocks 0091</translation>
    </message>
    <message>
        <source>操作扩展参数表</source>
        <translation>act on the extended parameter table</translation>
    </message>
    <message>
        <source>在标准输出给出机器可读的结果；窗口会显示的那些行
这时写到标准错误</source>
        <translation>machine-readable result on standard output; the window&apos;s
lines then go to standard error</translation>
    </message>
    <message>
        <source>应答一旦是完整的一帧就结束</source>
        <translation>end a reply as soon as it holds a complete frame</translation>
    </message>
    <message>
        <source>显示本说明（也可写 -h）</source>
        <translation>this text (also -h)</translation>
    </message>
    <message>
        <source>打印 dtucfg 的版本</source>
        <translation>print dtucfg&apos;s version</translation>
    </message>
    <message>
        <source>打印的语言（默认 zh，与系统语言无关）</source>
        <translation>language of the printed lines (default zh, whatever the locale)</translation>
    </message>
    <message>
        <source>与 signal 一起：每 N 秒（1-3600）读一次信号，每次一行
（时间、CSQ、dBm），直到 Ctrl+C 或 SIGTERM</source>
        <translation>with signal: read the signal every N seconds (1-3600), one
line each (time, CSQ, dBm), until Ctrl+C or SIGTERM</translation>
    </message>
    <message>
        <source>打开串口时不把串口设置存入参数文件
（save、verify、provision 和 fleet 从不存）</source>
        <translation>opening the serial port does not store the port settings
into the profile file (save, verify, provision and fleet
never do)</translation>
    </message>
    <message>
        <source>verify：不比较的参数（如 0091）</source>
        <translation>verify: rows not compared (such as 0091)</translation>
    </message>
    <message>
        <source>provision：这台设备某个参数的值（可重复；
NUM=HEX:digits 给出原始字节）</source>
        <translation>provision: this device&apos;s value of a row (repeatable;
NUM=HEX:digits for raw bytes)</translation>
    </message>
    <message>
        <source>provision、fleet：写完后读回并比较</source>
        <translation>provision, fleet: read back and compare after writing</translation>
    </message>
    <message>
        <source>fleet：同时配置的设备数（默认：全部，最多 16；
不能超过 64）</source>
        <translation>fleet: devices at once (default: all, at most 16; never
more than 64)</translation>
    </message>
    <message>
        <source>fleet：写出报告（FILE.csv 或 FILE.json）</source>
        <translation>fleet: write the report (FILE.csv or FILE.json)</translation>
    </message>
    <message>
        <source>--jobs：最多同时%1台设备（每台一个进程），不能是%2</source>
        <translation>--jobs: at most %1 devices at once (each is a process of its own), not %2</translation>
    </message>
    <message>
        <source>--password 和 --password-file：只能给出其中一个</source>
        <translation>--password and --password-file: give one of them</translation>
    </message>
    <message>
        <source>--password-file：无法读取 %1：%2</source>
        <translation>--password-file: cannot read %1: %2</translation>
    </message>
    <message>
        <source>用法：dtucfg [选项] 命令 [参数]

通过串口或TCP维护端口与DTU通信，并打印配置窗口
对同一操作会显示的每一行。

选项：
</source>
        <translation>Usage: dtucfg [options] COMMAND [ARGS]

Talks to a DTU over its serial port or its TCP maintenance port and prints
every line the configuration window would show for the same action.

Options:
</translation>
    </message>
    <message>
        <source>
环境变量：
  DTU_PASSWORD     没有给出 --password 和 --password-file 时的TCP密码

命令：
</source>
        <translation>
Environment:
  DTU_PASSWORD     the TCP password when --password and --password-file are
                   not given

Commands:
</translation>
    </message>
    <message>
        <source>设备档案：一个SQLite文件，或
postgresql://USER@HOST:PORT/DATABASE（默认：
~/.local/share/dtutools/records.sqlite）</source>
        <translation>the device records: a SQLite file, or
postgresql://USER@HOST:PORT/DATABASE (default:
~/.local/share/dtutools/records.sqlite)</translation>
    </message>
    <message>
        <source>这次调用不记入设备档案</source>
        <translation>keep no record of this call</translation>
    </message>
    <message>
        <source>history：最多列出N条（默认50，0：全部）</source>
        <translation>history: at most N entries (default 50, 0: all)</translation>
    </message>
    <message>
        <source>history：显示一条记录及其各行</source>
        <translation>history: one entry with its rows</translation>
    </message>
    <message>
        <source>history --diff ID1 ID2：像 verify 那样比较两个快照</source>
        <translation>history --diff ID1 ID2: compare two snapshots as verify does</translation>
    </message>
    <message>
        <source>write、batch：先读出并记下设备的参数</source>
        <translation>write, batch: read and record the device&apos;s values first</translation>
    </message>
    <message>
        <source>fleet：先查询每台设备的固件版本和IMEI，
记入设备档案</source>
        <translation>fleet: each device&apos;s firmware version and IMEI are queried
first, for the records</translation>
    </message>
    <message>
        <source>rollback：恢复批量运行ID改动过的每台设备</source>
        <translation>rollback: put back every device the fleet run ID changed</translation>
    </message>
    <message>
        <source>provision：设备的记录所属的批量运行</source>
        <translation>provision: the fleet run the device&apos;s entries belong to</translation>
    </message>
    <message>
        <source>provision、rollback --run：在标准输出给出 JSON 行（进度、结果）</source>
        <translation>provision, rollback --run: JSON lines on standard output (progress, results)</translation>
    </message>
    <message>
        <source>provision、fleet：写入每个参数，也写设备已经保存着的</source>
        <translation>provision, fleet: write every parameter, also those the device holds already</translation>
    </message>
    <message>
        <source>provision：只读出并核对，什么也不写</source>
        <translation>provision: read and compare only, write nothing</translation>
    </message>
    <message>
        <source>rollback：只列出会写入的参数，什么也不写</source>
        <translation>rollback: only list what it would write, write nothing</translation>
    </message>
    <message>
        <source>check：警告也算错误（退出状态1）</source>
        <translation>check: warnings count as faults (exit status 1)</translation>
    </message>
    <message>
        <source>
退出状态：0 每个设备操作都成功；1 有操作失败或被拒绝；
2 用法错误、参数文件或脚本无法读取、数据通道没有打开。
verify：0 设备与文件相符，3 有不同，1 设备出错。
fleet：0 每台设备都成功，1 其他情况（报告说明是哪台、为什么）。
audit：0 每台设备都相符，3 有不符（没有失败的），1 其他情况。
rollback：0 已恢复，3 仍有不同或有密码类参数未恢复；--dry-run：0 无需写入，3 有要写的。
history：0 已列出，1 没有这条记录；--diff：0 相同，3 不同。
check：0 没有错误，1 有错误（--strict：或有警告），2 文件无法读取。
</source>
        <translation>
Exit status: 0 every device operation succeeded; 1 one failed or was refused;
2 usage error, unreadable profile or script, or a channel that did not open.
verify: 0 the device matches the file, 3 it differs, 1 a device failure.
fleet: 0 every device ok, 1 otherwise (the report says which and why).
audit: 0 every device holds what it should, 3 some differ (none failed), 1 otherwise.
rollback: 0 restored, 3 still differs or secrets not restored; --dry-run: 0 nothing to write, 3 rows to write.
history: 0 listed, 1 no such entry; --diff: 0 the same, 3 they differ.
check: 0 no fault, 1 a fault (--strict: or a warning), 2 a file that cannot be read.
</translation>
    </message>
    <message>
        <source>需要SQLite文件名或 postgresql://USER@HOST:PORT/DATABASE</source>
        <translation>a SQLite file name or postgresql://USER@HOST:PORT/DATABASE is needed</translation>
    </message>
    <message>
        <source>应为0或更大的整数（0表示全部）</source>
        <translation>a whole number of 0 or more is needed (0: all)</translation>
    </message>
    <message>
        <source>应为记录编号（1或更大的整数）</source>
        <translation>an entry id is needed (a whole number of 1 or more)</translation>
    </message>
    <message>
        <source>需要批量运行的编号</source>
        <translation>a fleet run id is needed</translation>
    </message>
    <message>
        <source>--records 与 --no-records 不能同时使用</source>
        <translation>--records and --no-records exclude each other</translation>
    </message>
    <message>
        <source>--snapshot 和 rollback 要用设备档案，而 --no-records 关闭了设备档案</source>
        <translation>--snapshot and rollback need the device records, which --no-records turns off</translation>
    </message>
    <message>
        <source>--show 与 --diff 不能同时使用</source>
        <translation>--show and --diff exclude each other</translation>
    </message>
    <message>
        <source>--records：%1</source>
        <translation>--records: %1</translation>
    </message>
    <message>
        <source>用TCP维护连接代替串口
（HOST:PORT 同时给出端口）</source>
        <translation>use the TCP maintenance connection instead of the
serial port (HOST:PORT gives the port too)</translation>
    </message>
    <message>
        <source>应为主机名或IP地址，可带端口（1到65535），如 192.168.1.10:8888</source>
        <translation>give a host name or an IP address, with a port (1 to 65535) if you like, such as 192.168.1.10:8888</translation>
    </message>
    <message>
        <source>TCP端口（默认：--tcp 中给出的，否则 8888）</source>
        <translation>TCP port (default: the one in --tcp, else 8888)</translation>
    </message>
    <message>
        <source>串口（默认：参数文件中的，否则 COM1）；
tcp:HOST:PORT 与 --tcp 相同</source>
        <translation>serial port (default: the profile&apos;s, else COM1);
tcp:HOST:PORT means the same as --tcp</translation>
    </message>
    <message>
        <source>应为串口名，或 tcp:主机:端口（端口1到65535）</source>
        <translation>a serial port name, or tcp:HOST:PORT (a port from 1 to 65535)</translation>
    </message>
</context>
<context>
    <name>CliPorts</name>
    <message>
        <source>加入 %1 组：sudo usermod -aG %1 $USER，然后重新登录</source>
        <translation>add yourself to the %1 group: sudo usermod -aG %1 $USER, then log in again</translation>
    </message>
    <message>
        <source>只有 root 能打开它</source>
        <translation>only root may open it</translation>
    </message>
    <message>
        <source>只有 %1 和 root 能打开它</source>
        <translation>only %1 and root may open it</translation>
    </message>
    <message>
        <source>可以打开</source>
        <translation>access: yes</translation>
    </message>
    <message>
        <source>不能打开：没有这个设备</source>
        <translation>access: no, no such device</translation>
    </message>
    <message>
        <source>不能打开：没有权限（%1）</source>
        <translation>access: no, permission (%1)</translation>
    </message>
    <message>
        <source>不能打开：</source>
        <translation>access: no, </translation>
    </message>
    <message>
        <source>系统没有列出</source>
        <translation>not reported by the system</translation>
    </message>
    <message>
        <source>序列号 </source>
        <translation>serial </translation>
    </message>
    <message>
        <source>系统没有报告任何串口</source>
        <translation>the system reports no serial ports</translation>
    </message>
</context>
<context>
    <name>CliRollback</name>
    <message>
        <source>无法读取设备档案：%1</source>
        <translation>the device records cannot be read: %1</translation>
    </message>
    <message>
        <source>没有编号为 %1 的记录</source>
        <translation>no entry %1</translation>
    </message>
    <message>
        <source>记录 %1 是 %2，不是从设备读出的快照；这台设备在它之前最近的快照是记录 %3</source>
        <translation>entry %1 is a %2, not a snapshot read from a device; the nearest snapshot of this device before it is entry %3</translation>
    </message>
    <message>
        <source>记录 %1 是 %2，不是从设备读出的快照；这台设备在它之前没有快照</source>
        <translation>entry %1 is a %2, not a snapshot read from a device; this device has no snapshot before it</translation>
    </message>
    <message>
        <source>rollback：记录 %1 是设备 %2 的，这台设备是 %3；什么也没有写</source>
        <translation>rollback: entry %1 is of device %2; this device is %3; nothing written</translation>
    </message>
    <message>
        <source>rollback --dry-run：%1行会写入</source>
        <translation>rollback --dry-run: %1 row(s) would be written</translation>
    </message>
    <message>
        <source>rollback：%1（写入%2行，%3行未变，%4行因访问级别未写）</source>
        <translation>rollback: %1 (%2 written, %3 unchanged, %4 withheld by the access level)</translation>
    </message>
    <message>
        <source>；记录 %1</source>
        <translation>; entry %1</translation>
    </message>
    <message>
        <source>rollback：快照中没有保存这些参数的值（密码类），没有恢复：%1</source>
        <translation>rollback: the snapshot keeps no value of these (secrets); not restored: %1</translation>
    </message>
    <message>
        <source>批量运行 %1 的恢复：%2台设备</source>
        <translation>rollback of fleet run %1: %2 device(s)</translation>
    </message>
    <message>
        <source>rollback 需要一个快照的记录编号，或 --run 批量运行编号</source>
        <translation>rollback needs the entry id of a snapshot, or --run and a fleet run id</translation>
    </message>
    <message>
        <source>--dry-run 只用于一个快照的 rollback ID</source>
        <translation>--dry-run goes with rollback ID of one snapshot only</translation>
    </message>
</context>
<context>
    <name>CommandExchange</name>
    <message>
        <source>数据过长，无法组成一帧（最多%1字节）</source>
        <translation>Data too long for one frame (at most %1 bytes)</translation>
    </message>
</context>
<context>
    <name>ConsoleFrontend</name>
    <message>
        <source>写入 %1/%2 %3</source>
        <translation>writing %1/%2 %3</translation>
    </message>
</context>
<context>
    <name>ControlMode</name>
    <message>
        <source>睡眠状态</source>
        <translation>sleeping</translation>
    </message>
    <message>
        <source>未注册状态</source>
        <translation>not registered</translation>
    </message>
    <message>
        <source>待机状态</source>
        <translation>standby</translation>
    </message>
    <message>
        <source>PPP拨号状态</source>
        <translation>PPP dialling</translation>
    </message>
    <message>
        <source>在线状态，未登录到数据中心</source>
        <translation>online, not logged in to the data centre</translation>
    </message>
    <message>
        <source>在线状态，已登录到数据中心</source>
        <translation>online, logged in to the data centre</translation>
    </message>
    <message>
        <source>DTU状态=%1,</source>
        <translation>DTU status=%1, </translation>
    </message>
    <message>
        <source>DTU状态读取</source>
        <translation>DTU status read</translation>
    </message>
    <message>
        <source>信号读取失败</source>
        <translation>Signal read failed</translation>
    </message>
    <message>
        <source>DTU版本号读取失败</source>
        <translation>DTU version read failed</translation>
    </message>
    <message>
        <source>DTU版本号</source>
        <translation>DTU version</translation>
    </message>
    <message>
        <source>IMEI读取失败</source>
        <translation>IMEI read failed</translation>
    </message>
    <message>
        <source>设备时钟读取失败</source>
        <translation>Device clock read failed</translation>
    </message>
    <message>
        <source>设备时钟读取成功</source>
        <translation>Device clock read</translation>
    </message>
    <message>
        <source>设备时钟设置</source>
        <translation>Setting the device clock</translation>
    </message>
</context>
<context>
    <name>DeviceCommands</name>
    <message>
        <source>状态读取</source>
        <translation>Status read</translation>
    </message>
    <message>
        <source>信号读取</source>
        <translation>Signal read</translation>
    </message>
    <message>
        <source>设置设备时钟=</source>
        <translation>Set device clock=</translation>
    </message>
</context>
<context>
    <name>DeviceProfile</name>
    <message>
        <source>参数文件 %1 无法解析：%2</source>
        <translation>Cannot parse the parameter file %1: %2</translation>
    </message>
    <message>
        <source>参数文件 %1 不是JSON对象</source>
        <translation>The parameter file %1 is not a JSON object</translation>
    </message>
    <message>
        <source>没有可保存的参数文件</source>
        <translation>No parameter file to save</translation>
    </message>
</context>
<context>
    <name>DtuSession</name>
    <message>
        <source>串口读取出错（%1），串口已关闭</source>
        <translation>Serial port read error (%1); the port has been closed</translation>
    </message>
    <message>
        <source>数据通道未打开，请先打开串口或建立TCP链接</source>
        <translation>The data channel is not open. Open the serial port or connect over TCP first.</translation>
    </message>
</context>
<context>
    <name>Dtucfg</name>
    <message>
        <source>找不到参数文件 %1</source>
        <translation>cannot find the profile %1</translation>
    </message>
    <message>
        <source>找不到 %1；找过：%2（或用 --script FILE 指定）</source>
        <translation>cannot find %1; tried %2 (or give --script FILE)</translation>
    </message>
    <message>
        <source>无法读取脚本 %1：%2</source>
        <translation>cannot read the script %1: %2</translation>
    </message>
    <message>
        <source>脚本错误：%1</source>
        <translation>script error: %1</translation>
    </message>
    <message>
        <source>无法载入参数文件 %1：%2</source>
        <translation>cannot load the profile %1: %2</translation>
    </message>
    <message>
        <source>数据通道没有打开：</source>
        <translation>the data channel did not open: </translation>
    </message>
    <message>
        <source>（密码用 --password 给出，默认 480917）</source>
        <translation> (give the password with --password; the default is 480917)</translation>
    </message>
    <message>
        <source>命令没有成功</source>
        <translation>the command did not succeed</translation>
    </message>
    <message>
        <source>用法见 &apos;dtucfg --help&apos;。</source>
        <translation>Try &apos;dtucfg --help&apos;.</translation>
    </message>
    <message>
        <source>没有给出命令</source>
        <translation>no command given</translation>
    </message>
    <message>
        <source>未知的命令“%1”</source>
        <translation>unknown command &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--%1 对 %2 命令没有意义</source>
        <translation>--%1 means nothing for the %2 command</translation>
    </message>
    <message>
        <source>%1 命令的参数个数不对</source>
        <translation>wrong number of arguments for %1</translation>
    </message>
    <message>
        <source>%1 需要参数文件（--profile FILE）</source>
        <translation>%1 needs a device profile (--profile FILE)</translation>
    </message>
    <message>
        <source>警告：这次操作没有记入设备档案：%1</source>
        <translation>warning: the device record was not kept: %1</translation>
    </message>
</context>
<context>
    <name>EditorLogic</name>
    <message>
        <source>参数%1（%2）不能取值“%3”：%4</source>
        <translation>Parameter %1 (%2) cannot take &quot;%3&quot;: %4</translation>
    </message>
</context>
<context>
    <name>FleetProgress</name>
    <message>
        <source>等待</source>
        <translation>waiting</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>started</translation>
    </message>
    <message>
        <source>写入%1行</source>
        <translation>%1 rows written</translation>
    </message>
    <message>
        <source>，失败%1行</source>
        <translation>, %1 failed</translation>
    </message>
    <message>
        <source>，%1行不符</source>
        <translation>, %1 differ</translation>
    </message>
    <message>
        <source>%1秒</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>正在停止：不再开始新的设备，进行中的设备在当前一次交换后结束</source>
        <translation>stopping: no new devices; running ones end after their current exchange</translation>
    </message>
    <message>
        <source>，%1行已相同</source>
        <translation>, %1 already right</translation>
    </message>
</context>
<context>
    <name>FleetRollback</name>
    <message>
        <source>%1 没能启动</source>
        <translation>%1 did not start</translation>
    </message>
    <message>
        <source>没有结果：进程以状态%1结束</source>
        <translation>no result: the process ended with status %1</translation>
    </message>
</context>
<context>
    <name>FleetWindow</name>
    <message>
        <source>多台设备配置</source>
        <translation>Multiple devices</translation>
    </message>
    <message>
        <source>选择...</source>
        <translation>Choose...</translation>
    </message>
    <message>
        <source>添加串口</source>
        <translation>Add serial port</translation>
    </message>
    <message>
        <source>添加TCP</source>
        <translation>Add TCP</translation>
    </message>
    <message>
        <source>导入清单...</source>
        <translation>Import inventory...</translation>
    </message>
    <message>
        <source>添加参数列</source>
        <translation>Add parameter column</translation>
    </message>
    <message>
        <source>删除设备</source>
        <translation>Remove device</translation>
    </message>
    <message>
        <source>目标</source>
        <translation>Target</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>进度</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>快速应答</source>
        <translation>Fast reply</translation>
    </message>
    <message>
        <source>写后校验</source>
        <translation>Verify after writing</translation>
    </message>
    <message>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>导出报告</source>
        <translation>Export report</translation>
    </message>
    <message>
        <source>参数文件</source>
        <translation>Parameter file</translation>
    </message>
    <message>
        <source>同时</source>
        <translation>At once</translation>
    </message>
    <message>
        <source>参数号是四位十六进制数，如 0091</source>
        <translation>A parameter number is four hexadecimal digits, such as 0091</translation>
    </message>
    <message>
        <source>第%1行：%2</source>
        <translation>Row %1: %2</translation>
    </message>
    <message>
        <source>等待</source>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>级别0</source>
        <translation>Level 0</translation>
    </message>
    <message>
        <source>级别%1（写%2）</source>
        <translation>Level %1 (writes %2)</translation>
    </message>
    <message>
        <source>访问级别</source>
        <translation>Access level</translation>
    </message>
    <message>
        <source>显示密码</source>
        <translation>Show passwords</translation>
    </message>
    <message>
        <source>参数文件中没有参数%1：请删除这一列</source>
        <translation>The profile has no parameter %1: remove this column</translation>
    </message>
    <message>
        <source>第%1台设备（%2）：%3</source>
        <translation>Device %1 (%2): %3</translation>
    </message>
    <message>
        <source>%1台设备的操作没有记入设备档案：%2</source>
        <translation>The device records did not keep the work on %1 device(s): %2</translation>
    </message>
    <message>
        <source>设备档案：批量运行 %1（可在设备档案中整批恢复）</source>
        <translation>Device records: fleet run %1 (the records window can roll back the whole run)</translation>
    </message>
    <message>
        <source>写入全部参数</source>
        <translation>Write every parameter</translation>
    </message>
    <message>
        <source>不选时只写入与设备不同的参数</source>
        <translation>Unticked, only the parameters that differ from the device&apos;s are written</translation>
    </message>
    <message>
        <source>核对</source>
        <translation>Audit</translation>
    </message>
    <message>
        <source>读出每台设备，与应有的参数比较，什么也不写</source>
        <translation>Read every device and compare it with what it should hold, writing nothing</translation>
    </message>
    <message>
        <source>第%1台设备（%2）与第%3台（%4）是同一台设备</source>
        <translation>Device %1 (%2) is the same device as device %3 (%4)</translation>
    </message>
</context>
<context>
    <name>FleetWording</name>
    <message>
        <source>%1 %2台</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>共%1台设备：%2</source>
        <translation>%1 devices — %2</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>设备无响应</source>
        <translation>no answer from the device</translation>
    </message>
    <message>
        <source>%2行中有%1行未写到</source>
        <translation>%1 of %2 rows not reached</translation>
    </message>
    <message>
        <source>无法读回参数</source>
        <translation>the parameters could not be read back</translation>
    </message>
    <message>
        <source>在写第一行之前停止</source>
        <translation>stopped before the first row</translation>
    </message>
    <message>
        <source>在这台设备开始之前停止</source>
        <translation>stopped before this device began</translation>
    </message>
    <message>
        <source>没有结果：%1 没能启动</source>
        <translation>no result: %1 did not start</translation>
    </message>
    <message>
        <source>没有结果：工作进程崩溃了</source>
        <translation>no result: the worker crashed</translation>
    </message>
    <message>
        <source>没有结果，工作进程以状态%1结束：%2</source>
        <translation>no result, the worker ended with status %1: %2</translation>
    </message>
    <message>
        <source>没有给出设备地址</source>
        <translation>empty target</translation>
    </message>
    <message>
        <source>%1：TCP端口应为1到65535</source>
        <translation>%1: the TCP port must be 1 to 65535</translation>
    </message>
    <message>
        <source>%1：没有主机名</source>
        <translation>%1: no host</translation>
    </message>
    <message>
        <source>无法读取：%1</source>
        <translation>cannot be read: %1</translation>
    </message>
    <message>
        <source>清单是空的</source>
        <translation>the inventory is empty</translation>
    </message>
    <message>
        <source>引号中的字段直到文件末尾都没有结束</source>
        <translation>a quoted field is not closed</translation>
    </message>
    <message>
        <source>列“%1”出现了两次</source>
        <translation>the column &quot;%1&quot; appears twice</translation>
    </message>
    <message>
        <source>未知的列“%1”（应为 target、password、name 或四位参数编号）</source>
        <translation>unknown column &quot;%1&quot; (target, password, name or a parameter number)</translation>
    </message>
    <message>
        <source>没有“target”列</source>
        <translation>no &quot;target&quot; column</translation>
    </message>
    <message>
        <source>有%1个单元格，表头只有%2列</source>
        <translation>%1 cells, the header has %2</translation>
    </message>
    <message>
        <source>%1：HEX: 后面应是成对的十六进制数字</source>
        <translation>%1: HEX: needs hex digits in pairs</translation>
    </message>
    <message>
        <source>%1 已在第%2行列出</source>
        <translation>%1 is listed twice (first on line %2)</translation>
    </message>
    <message>
        <source>第%1行第%2列：</source>
        <translation>line %1, column %2: </translation>
    </message>
    <message>
        <source>第%1行：</source>
        <translation>line %1: </translation>
    </message>
    <message>
        <source>：</source>
        <translation>: </translation>
    </message>
    <message>
        <source>写入前没能读出设备的参数，什么也没有写</source>
        <translation>the device&apos;s values could not be read before writing; nothing written</translation>
    </message>
    <message>
        <source>设备在收到密码后断开了连接：密码不对，或设备正忙于另一个连接</source>
        <translation>the device closed the connection after the password: a wrong password, or a device busy with another connection</translation>
    </message>
    <message>
        <source>清单中没有设备</source>
        <translation>the inventory lists no device</translation>
    </message>
    <message>
        <source>参数文件 %1 不存在</source>
        <translation>The parameter file %1 does not exist</translation>
    </message>
    <message>
        <source>清单给出了参数%1的值，它只在访问级别%2写入：请用访问级别%2，或清空这一列</source>
        <translation>the inventory gives values of parameter %1, which is written at access level %2 only: use access level %2, or empty that column</translation>
    </message>
    <message>
        <source>相符</source>
        <translation>Matches</translation>
    </message>
    <message>
        <source>校验中</source>
        <translation>Verifying</translation>
    </message>
    <message>
        <source>读取中</source>
        <translation>Reading</translation>
    </message>
    <message>
        <source>写入中</source>
        <translation>Writing</translation>
    </message>
    <message>
        <source>连接中</source>
        <translation>Connecting</translation>
    </message>
</context>
<context>
    <name>OrderedJson</name>
    <message>
        <source>多余的内容</source>
        <translation>extra content</translation>
    </message>
    <message>
        <source>JSON格式错误（第%1个字符）：%2</source>
        <translation>JSON format error (character %1): %2</translation>
    </message>
    <message>
        <source>无效的值</source>
        <translation>invalid value</translation>
    </message>
    <message>
        <source>嵌套过深</source>
        <translation>nested too deeply</translation>
    </message>
    <message>
        <source>内容不完整</source>
        <translation>incomplete content</translation>
    </message>
    <message>
        <source>无效的数字</source>
        <translation>invalid number</translation>
    </message>
    <message>
        <source>无效的转义</source>
        <translation>invalid escape</translation>
    </message>
    <message>
        <source>字符串未结束</source>
        <translation>unterminated string</translation>
    </message>
    <message>
        <source>字符串中有控制字符</source>
        <translation>control character in a string</translation>
    </message>
    <message>
        <source>数组未结束</source>
        <translation>unterminated array</translation>
    </message>
    <message>
        <source>数组中缺少逗号</source>
        <translation>missing comma in an array</translation>
    </message>
    <message>
        <source>缺少成员名</source>
        <translation>missing member name</translation>
    </message>
    <message>
        <source>缺少冒号</source>
        <translation>missing colon</translation>
    </message>
    <message>
        <source>对象未结束</source>
        <translation>unterminated object</translation>
    </message>
    <message>
        <source>对象中缺少逗号</source>
        <translation>missing comma in an object</translation>
    </message>
</context>
<context>
    <name>OutcomeId</name>
    <message>
        <source>成功</source>
        <translation>Succeeded</translation>
    </message>
    <message>
        <source>被设备拒绝</source>
        <translation>Refused by the device</translation>
    </message>
    <message>
        <source>设备无响应</source>
        <translation>no answer from the device</translation>
    </message>
    <message>
        <source>非法的返回串</source>
        <translation>Invalid reply</translation>
    </message>
    <message>
        <source>返回帧校验错误</source>
        <translation>Reply checksum error</translation>
    </message>
    <message>
        <source>返回数据包命令字非法</source>
        <translation>Wrong command word in the reply</translation>
    </message>
    <message>
        <source>设备未切换参数表</source>
        <translation>Table not switched</translation>
    </message>
    <message>
        <source>设备没有报告任何参数</source>
        <translation>No parameter reported</translation>
    </message>
    <message>
        <source>数据通道未打开</source>
        <translation>Channel closed</translation>
    </message>
    <message>
        <source>数据通道已关闭</source>
        <translation>Channel lost</translation>
    </message>
    <message>
        <source>已停止</source>
        <translation>stopped</translation>
    </message>
    <message>
        <source>已取消</source>
        <translation>Cancelled</translation>
    </message>
    <message>
        <source>未写到</source>
        <translation>Not reached</translation>
    </message>
    <message>
        <source>部分失败</source>
        <translation>Partly failed</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>文件没有写出</source>
        <translation>File not written</translation>
    </message>
    <message>
        <source>不符</source>
        <translation>Differs</translation>
    </message>
    <message>
        <source>校验不符</source>
        <translation>Verify mismatch</translation>
    </message>
    <message>
        <source>已写入，未能读回核对</source>
        <translation>Written, not verified</translation>
    </message>
    <message>
        <source>另一台设备</source>
        <translation>Another device</translation>
    </message>
    <message>
        <source>已恢复，密码类参数除外</source>
        <translation>Restored, but for secrets</translation>
    </message>
    <message>
        <source>不是快照</source>
        <translation>Not a snapshot</translation>
    </message>
    <message>
        <source>没有运行前的快照</source>
        <translation>no snapshot from before the run</translation>
    </message>
    <message>
        <source>无法连接</source>
        <translation>Unreachable</translation>
    </message>
    <message>
        <source>密码错误或设备正忙</source>
        <translation>Wrong password or device busy</translation>
    </message>
    <message>
        <source>未开始</source>
        <translation>Not started</translation>
    </message>
    <message>
        <source>已读出</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>未变</source>
        <translation>Unchanged</translation>
    </message>
    <message>
        <source>访问级别不允许</source>
        <translation>Withheld</translation>
    </message>
    <message>
        <source>没有这个参数</source>
        <translation>no such parameter</translation>
    </message>
</context>
<context>
    <name>PageEntry</name>
    <message>
        <source>您修改了参数，请问需要写入吗？</source>
        <translation>You have changed parameters. Write them to the device?</translation>
    </message>
    <message>
        <source>参数设置</source>
        <translation>Parameter settings</translation>
    </message>
</context>
<context>
    <name>ParamEditors</name>
    <message>
        <source>参数值编辑框</source>
        <translation>Parameter value editor</translation>
    </message>
    <message>
        <source>参数值选择框</source>
        <translation>Parameter value choice</translation>
    </message>
</context>
<context>
    <name>ParamFile</name>
    <message>
        <source>参数文件 %1 保存失败。
%2</source>
        <translation>Saving the parameter file %1 failed.
%2</translation>
    </message>
    <message>
        <source>真的要恢复出厂默认设置吗？</source>
        <translation>Really restore the factory default settings?</translation>
    </message>
    <message>
        <source>真的要复位设备吗？</source>
        <translation>Really reset the device?</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>尚未调入参数文件，没有可以保存的参数。</source>
        <translation>No parameter file is loaded, so there are no parameters to save.</translation>
    </message>
    <message>
        <source>复位设备</source>
        <translation>Device reset</translation>
    </message>
    <message>
        <source>%1（%2）：“%3”不是完整的十六进制字节，什么也没有发送</source>
        <translation>%1 (%2): &quot;%3&quot; is not whole bytes of hex; nothing was sent</translation>
    </message>
</context>
<context>
    <name>ParamReader</name>
    <message>
        <source>[参数读取中，请稍候...]</source>
        <translation>[Reading parameters, please wait...]</translation>
    </message>
    <message>
        <source>[参数读取完毕]</source>
        <translation>[Parameters read]</translation>
    </message>
    <message>
        <source>参数读取</source>
        <translation>Parameter read</translation>
    </message>
</context>
<context>
    <name>ParamTableModel</name>
    <message>
        <source>参数号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>参数名称</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>参数HEX值</source>
        <translation>HEX value</translation>
    </message>
    <message>
        <source>参数值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>参数说明</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>参数相关说明</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>(设备未报告)</source>
        <translation>(not reported)</translation>
    </message>
</context>
<context>
    <name>ParamWriter</name>
    <message>
        <source>[参数设置失败，输入了非法内容！]</source>
        <translation>[Parameter write failed: invalid input!]</translation>
    </message>
    <message>
        <source>[参数设置失败，数据通道已关闭，%1个参数未写入！]</source>
        <translation>[Parameter write failed: the data channel closed, %1 parameter(s) not written!]</translation>
    </message>
    <message>
        <source>[参数设置已停止，已写入%1个参数，%2个参数未写入！]</source>
        <translation>[Parameter write stopped: %1 parameter(s) written, %2 not written!]</translation>
    </message>
    <message>
        <source>设置参数：</source>
        <translation>Set parameter: </translation>
    </message>
    <message>
        <source>(空)</source>
        <translation>(empty)</translation>
    </message>
    <message>
        <source>正在设置，请稍候...</source>
        <translation>Writing, please wait...</translation>
    </message>
    <message>
        <source>参数设置</source>
        <translation>Parameter write</translation>
    </message>
</context>
<context>
    <name>PortWatcher</name>
    <message>
        <source>串口设备已重新接入：%1</source>
        <translation>The serial device is back: %1</translation>
    </message>
    <message>
        <source>串口%1已断开（设备已拔出），串口已关闭</source>
        <translation>Serial port %1 is gone (the device was unplugged); the port is closed</translation>
    </message>
</context>
<context>
    <name>ProfileCheckWording</name>
    <message>
        <source>（无字节）</source>
        <translation>(no bytes)</translation>
    </message>
    <message>
        <source>这里的字节既不是GBK也不是UTF-8文本</source>
        <translation>these bytes are neither GBK nor UTF-8 text</translation>
    </message>
    <message>
        <source>这一行不是JSON对象，它和它后面的行都不会载入</source>
        <translation>this row is not a JSON object: neither it nor the rows after it are loaded</translation>
    </message>
    <message>
        <source>不是JSON对象</source>
        <translation>not a JSON object</translation>
    </message>
    <message>
        <source>脚本载入时出错：%1</source>
        <translation>the script failed while loading: %1</translation>
    </message>
    <message>
        <source>缺少成员 %1</source>
        <translation>member %1 is missing</translation>
    </message>
    <message>
        <source>参数号“%1”不是四位十六进制数</source>
        <translation>parameter number &quot;%1&quot; is not four hex digits</translation>
    </message>
    <message>
        <source>参数号 %1 在第%2行已经用过</source>
        <translation>parameter number %1 is already used on line %2</translation>
    </message>
    <message>
        <source>PVALUE“%1”不是 HEX: 加完整的十六进制字节</source>
        <translation>PVALUE &quot;%1&quot; is not HEX: followed by whole hex bytes</translation>
    </message>
    <message>
        <source>ONLIST“%1”既不是 Length=N; Mask=&quot;...&quot;; 也不是选择列表</source>
        <translation>ONLIST &quot;%1&quot; is neither Length=N; Mask=&quot;...&quot;; nor a choice list</translation>
    </message>
    <message>
        <source>ONLIST：%1</source>
        <translation>ONLIST: %1</translation>
    </message>
    <message>
        <source>选择“%1”的取值“%2”不是大写的十六进制字节</source>
        <translation>the code &quot;%2&quot; of choice &quot;%1&quot; is not hex bytes in capitals</translation>
    </message>
    <message>
        <source>选择“%1”和“%2”的取值都是 %3</source>
        <translation>choices &quot;%1&quot; and &quot;%2&quot; have the same code %3</translation>
    </message>
    <message>
        <source>%1 用到脚本中没有的名字：%2</source>
        <translation>%1 uses a name the script lacks: %2</translation>
    </message>
    <message>
        <source>%1 出错：%2</source>
        <translation>%1 failed: %2</translation>
    </message>
    <message>
        <source>%1 超过%2毫秒没有结束，已停止，不再运行</source>
        <translation>%1 ran over %2 ms and was stopped; it is not run again</translation>
    </message>
    <message>
        <source>GetCmd(&quot;%1&quot;) 给出“%2”，不是0000以外的四位十六进制数</source>
        <translation>GetCmd(&quot;%1&quot;) gives &quot;%2&quot;, not four hex digits other than 0000</translation>
    </message>
    <message>
        <source>PVALUE %1 无法解码：%2</source>
        <translation>PVALUE %1 does not decode: %2</translation>
    </message>
    <message>
        <source>显示的值“%1”超过 Length=%2，无法照样输入</source>
        <translation>the value shown, &quot;%1&quot;, is longer than Length=%2 and cannot be typed as it is</translation>
    </message>
    <message>
        <source>%1 写成 %2，读回时出错：%3</source>
        <translation>%1 is written as %2, which fails to read back: %3</translation>
    </message>
    <message>
        <source>%1 写成 %2，读回是 %3</source>
        <translation>%1 is written as %2, which reads back as %3</translation>
    </message>
    <message>
        <source>%1 写成 %2，读回是“%3”，它又写成 %4</source>
        <translation>%1 is written as %2, which reads back as &quot;%3&quot;, which is written as %4</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>fault</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>warning</translation>
    </message>
    <message>
        <source>%1（%2）：</source>
        <translation>%1 (%2): </translation>
    </message>
    <message>
        <source>%1: %2：%3%4</source>
        <translation>%1: %2: %3%4</translation>
    </message>
    <message>
        <source>检查了%1行：%2个错误，%3个警告</source>
        <translation>rows checked: %1; faults: %2; warnings: %3</translation>
    </message>
    <message>
        <source>参数文件有%1处错误，文件操作 › 检查参数文件... 列出它们</source>
        <translation>The parameter file has %1 faults; File › Check parameter file... lists them</translation>
    </message>
    <message>
        <source>%1 不是JSON数组，一行参数也不会载入</source>
        <translation>%1 is not a JSON array: no parameter row is loaded</translation>
    </message>
</context>
<context>
    <name>ProfileLoader</name>
    <message>
        <source>参数配置程序 </source>
        <translation>DTU Configuration - </translation>
    </message>
</context>
<context>
    <name>QtFrontend</name>
    <message>
        <source>参数配置程序</source>
        <translation>DTU Configuration</translation>
    </message>
</context>
<context>
    <name>ReceivePoller</name>
    <message>
        <source> 收到数据：</source>
        <translation> Received: </translation>
    </message>
    <message>
        <source>收：%1字节，发:%2字节</source>
        <translation>Received: %1 bytes, sent: %2 bytes</translation>
    </message>
</context>
<context>
    <name>RecordLocation</name>
    <message>
        <source>端口“%1”应为1到65535的整数</source>
        <translation>the port &quot;%1&quot; is not a number from 1 to 65535</translation>
    </message>
    <message>
        <source>IPv6地址缺少右方括号“]”</source>
        <translation>an IPv6 address without its closing bracket &quot;]&quot;</translation>
    </message>
    <message>
        <source>IPv6地址后面有多余的文字</source>
        <translation>text after the IPv6 address</translation>
    </message>
    <message>
        <source>%1的值中含有分号</source>
        <translation>the value of %1 holds a semicolon</translation>
    </message>
    <message>
        <source>没有给出设备档案的位置</source>
        <translation>no records location given</translation>
    </message>
</context>
<context>
    <name>RecordsRunRollback</name>
    <message>
        <source>整批恢复</source>
        <translation>Whole run rollback</translation>
    </message>
    <message>
        <source>目标</source>
        <translation>Target</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>记录</source>
        <translation>Entry</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>正在停止：当前设备在下一行之前结束，其余设备不再开始</source>
        <translation>Stopping: the device under way ends before its next row, no other device begins</translation>
    </message>
    <message>
        <source>正在恢复批量运行 %1……</source>
        <translation>Rolling back fleet run %1…</translation>
    </message>
    <message>
        <source>恢复中</source>
        <translation>rolling back</translation>
    </message>
    <message>
        <source>正在恢复批量运行 %1：第%2台，共%3台</source>
        <translation>Rolling back fleet run %1: device %2 of %3</translation>
    </message>
    <message>
        <source>批量运行 %1 没有恢复：%2</source>
        <translation>Fleet run %1 was not rolled back: %2</translation>
    </message>
    <message>
        <source>批量运行 %1 的恢复：%2</source>
        <translation>Rollback of fleet run %1: %2</translation>
    </message>
</context>
<context>
    <name>RecordsWindow</name>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>批量写参数</source>
        <translation>Batch write</translation>
    </message>
    <message>
        <source>保存参数文件</source>
        <translation>Save parameter file</translation>
    </message>
    <message>
        <source>核对</source>
        <translation>Verify</translation>
    </message>
    <message>
        <source>多台设备配置</source>
        <translation>Fleet configuration</translation>
    </message>
    <message>
        <source>恢复出厂默认设置</source>
        <translation>Restore factory defaults</translation>
    </message>
    <message>
        <source>复位设备</source>
        <translation>Reset device</translation>
    </message>
    <message>
        <source>恢复到快照</source>
        <translation>Rollback to snapshot</translation>
    </message>
    <message>
        <source>查询DTU版本/IMEI</source>
        <translation>Query DTU version/IMEI</translation>
    </message>
    <message>
        <source>设备档案</source>
        <translation>Device records</translation>
    </message>
    <message>
        <source>筛选设备</source>
        <translation>Filter devices</translation>
    </message>
    <message>
        <source>设备号、IMEI、固件或端口</source>
        <translation>Device number, IMEI, firmware or port</translation>
    </message>
    <message>
        <source>设备</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>IMEI</source>
        <translation>IMEI</translation>
    </message>
    <message>
        <source>固件</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>最后连接</source>
        <translation>Last seen</translation>
    </message>
    <message>
        <source>最后操作</source>
        <translation>Last action</translation>
    </message>
    <message>
        <source>结果</source>
        <translation>Outcome</translation>
    </message>
    <message>
        <source>条目</source>
        <translation>Entries</translation>
    </message>
    <message>
        <source>操作记录</source>
        <translation>Entries</translation>
    </message>
    <message>
        <source>编号</source>
        <translation>Id</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>操作</source>
        <translation>Action</translation>
    </message>
    <message>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>操作员</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>程序</source>
        <translation>Program</translation>
    </message>
    <message>
        <source>参数行</source>
        <translation>Rows</translation>
    </message>
    <message>
        <source>参数号</source>
        <translation>Number</translation>
    </message>
    <message>
        <source>参数</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>之前</source>
        <translation>Before</translation>
    </message>
    <message>
        <source>之后</source>
        <translation>After</translation>
    </message>
    <message>
        <source>快照比较</source>
        <translation>Snapshots compared</translation>
    </message>
    <message>
        <source>快照一</source>
        <translation>Snapshot 1</translation>
    </message>
    <message>
        <source>快照二</source>
        <translation>Snapshot 2</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>比较两个快照</source>
        <translation>Compare two snapshots</translation>
    </message>
    <message>
        <source>导出...</source>
        <translation>Export...</translation>
    </message>
    <message>
        <source>恢复到此快照</source>
        <translation>Roll back to this snapshot</translation>
    </message>
    <message>
        <source>把连接着的设备恢复到所选快照的参数值</source>
        <translation>Put the connected device back to the values of the snapshot picked</translation>
    </message>
    <message>
        <source>尚无设备档案：%1</source>
        <translation>No device records yet: %1</translation>
    </message>
    <message>
        <source>设备档案无法打开：%1</source>
        <translation>The device records cannot be opened: %1</translation>
    </message>
    <message>
        <source>设备档案无法读取：%1</source>
        <translation>The device records cannot be read: %1</translation>
    </message>
    <message>
        <source>没有第 %1 条记录</source>
        <translation>No entry %1</translation>
    </message>
    <message>
        <source>请在操作记录中选中两条记录（按住 Ctrl 点选）。</source>
        <translation>Pick two entries in the list (Ctrl+click).</translation>
    </message>
    <message>
        <source>第 %1 条</source>
        <translation>Entry %1</translation>
    </message>
    <message>
        <source>%1 行不同，比较了 %2 行</source>
        <translation>%1 row(s) differ of %2 compared</translation>
    </message>
    <message>
        <source>没有可以导出的记录。</source>
        <translation>There are no entries to export.</translation>
    </message>
    <message>
        <source>已导出 %1 条记录到 %2</source>
        <translation>%1 entries exported to %2</translation>
    </message>
    <message>
        <source>记录无法导出：%1</source>
        <translation>The entries could not be exported: %1</translation>
    </message>
    <message>
        <source>整批恢复</source>
        <translation>Whole run rollback</translation>
    </message>
    <message>
        <source>整批恢复此次运行</source>
        <translation>Roll back this whole run</translation>
    </message>
    <message>
        <source>把所选记录所属批量运行改过的每台设备恢复到运行前的快照</source>
        <translation>Put every device the fleet run of the picked entry changed back to its snapshot from before the run</translation>
    </message>
    <message>
        <source>把批量运行 %1 改过的每台设备恢复到运行前的快照？</source>
        <translation>Put every device fleet run %1 changed back to its snapshot from before the run?</translation>
    </message>
    <message>
        <source>多台设备核对</source>
        <translation>Fleet audit</translation>
    </message>
    <message>
        <source>%1 相符</source>
        <translation>%1 matched</translation>
    </message>
    <message>
        <source>%1 不符</source>
        <translation>%1 differed</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>最后核对</source>
        <translation>Last audit</translation>
    </message>
</context>
<context>
    <name>ResultWording</name>
    <message>
        <source>失败</source>
        <translation> failed</translation>
    </message>
    <message>
        <source>成功</source>
        <translation> succeeded</translation>
    </message>
    <message>
        <source>失败，设备无响应！</source>
        <translation> failed: no response from the device!</translation>
    </message>
    <message>
        <source>失败，返回数据包头非法！</source>
        <translation> failed: invalid reply header!</translation>
    </message>
    <message>
        <source>失败，参数错误！</source>
        <translation> failed: parameter error!</translation>
    </message>
    <message>
        <source>失败，非法的返回串！</source>
        <translation> failed: invalid reply!</translation>
    </message>
    <message>
        <source>失败，返回数据包校验错！</source>
        <translation> failed: reply checksum error!</translation>
    </message>
    <message>
        <source>失败，返回帧校验错误！</source>
        <translation> failed: reply frame checksum error!</translation>
    </message>
    <message>
        <source>失败，返回数据包命令字非法！</source>
        <translation> failed: invalid command word in the reply!</translation>
    </message>
    <message>
        <source>失败，设备未切换参数表！</source>
        <translation> failed: the device did not switch parameter tables!</translation>
    </message>
    <message>
        <source>失败，设备没有报告任何参数！</source>
        <translation> failed: the device reported no parameter!</translation>
    </message>
</context>
<context>
    <name>RunRollback</name>
    <message>
        <source>没有编号为 %1 的批量运行</source>
        <translation>no fleet run %1</translation>
    </message>
</context>
<context>
    <name>ScriptHost</name>
    <message>
        <source>%1 第%2行：%3</source>
        <translation>%1 line %2: %3</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>脚本执行超时（超过%1毫秒）：%2</source>
        <translation>Script timed out (over %1 ms): %2</translation>
    </message>
    <message>
        <source>无法打开文件 %1：%2</source>
        <translation>Cannot open the file %1: %2</translation>
    </message>
    <message>
        <source>脚本执行超时（超过%1毫秒）</source>
        <translation>Script timed out (over %1 ms)</translation>
    </message>
</context>
<context>
    <name>SerialToggle</name>
    <message>
        <source>打开成功,BaudRate=</source>
        <translation> opened, BaudRate=</translation>
    </message>
    <message>
        <source>,参数=</source>
        <translation>, format=</translation>
    </message>
    <message>
        <source>打开串口</source>
        <translation>Open port</translation>
    </message>
    <message>
        <source>串口未打开</source>
        <translation>Port not open</translation>
    </message>
    <message>
        <source>关闭串口</source>
        <translation>Close port</translation>
    </message>
    <message>
        <source>打开失败</source>
        <translation> failed to open</translation>
    </message>
    <message>
        <source>：</source>
        <translation>: </translation>
    </message>
</context>
<context>
    <name>SerialTransport</name>
    <message>
        <source>系统里没有这个串口（%1），请检查串口名是否写对、USB转串口线是否插好</source>
        <translation>The system has no such serial port (%1). Check the port name and that the USB serial adapter is plugged in.</translation>
    </message>
    <message>
        <source>没有使用%1的权限，请把当前用户加入dialout组（sudo usermod -aG dialout 用户名），然后重新登录</source>
        <translation>No permission to use %1. Add your user to the dialout group (sudo usermod -aG dialout USERNAME), then log in again.</translation>
    </message>
    <message>
        <source>串口%1正被其他程序占用，请先关闭占用它的程序</source>
        <translation>Serial port %1 is in use by another program. Close that program first.</translation>
    </message>
    <message>
        <source>串口打不开（%1）</source>
        <translation>The serial port cannot be opened (%1)</translation>
    </message>
    <message>
        <source>系统里没有这个串口（%1），请检查串口号是否写对、USB转串口线是否插好</source>
        <translation>The system has no such serial port (%1). Check the port number and that the USB serial adapter is plugged in.</translation>
    </message>
    <message>
        <source>串口%1正被其他程序占用，或者没有使用它的权限</source>
        <translation>Serial port %1 is in use by another program, or you have no permission to use it.</translation>
    </message>
</context>
<context>
    <name>SignalMeter</name>
    <message>
        <source>未知</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>很好</source>
        <translation>very good</translation>
    </message>
    <message>
        <source>良好</source>
        <translation>good</translation>
    </message>
    <message>
        <source>一般</source>
        <translation>fair</translation>
    </message>
    <message>
        <source>差</source>
        <translation>poor</translation>
    </message>
    <message>
        <source>无信号</source>
        <translation>no signal</translation>
    </message>
</context>
<context>
    <name>SignalMeterView</name>
    <message>
        <source>信号监测</source>
        <translation>Signal monitor</translation>
    </message>
    <message>
        <source>连续监测</source>
        <translation>Monitor continuously</translation>
    </message>
    <message>
        <source>信号强度dBm</source>
        <translation>Signal strength dBm</translation>
    </message>
    <message>
        <source>信号质量</source>
        <translation>Signal quality</translation>
    </message>
    <message>
        <source>监测间隔（秒）</source>
        <translation>Monitoring interval (seconds)</translation>
    </message>
    <message>
        <source> 秒</source>
        <translation> s</translation>
    </message>
    <message>
        <source>信号强度</source>
        <translation>Signal strength</translation>
    </message>
    <message>
        <source>间隔</source>
        <translation>Interval</translation>
    </message>
    <message>
        <source>读取失败</source>
        <translation>read failed</translation>
    </message>
</context>
<context>
    <name>SignalTrendPlot</name>
    <message>
        <source>信号强度趋势</source>
        <translation>Signal strength trend</translation>
    </message>
    <message>
        <source>-10分钟</source>
        <translation>-10 min</translation>
    </message>
    <message>
        <source>现在</source>
        <translation>now</translation>
    </message>
</context>
<context>
    <name>StoreWording</name>
    <message>
        <source>设备档案尚未打开</source>
        <translation>the store is not open</translation>
    </message>
    <message>
        <source>设备档案被另一个线程使用</source>
        <translation>the store was used from another thread</translation>
    </message>
    <message>
        <source>没有安装Qt的PostgreSQL驱动（libqt6sql6-psql）</source>
        <translation>Qt&apos;s PostgreSQL driver is not installed (libqt6sql6-psql)</translation>
    </message>
    <message>
        <source>没有安装Qt的SQLite驱动（libqt6sql6-sqlite）</source>
        <translation>Qt&apos;s SQLite driver is not installed (libqt6sql6-sqlite)</translation>
    </message>
    <message>
        <source>无法创建文件夹 %1</source>
        <translation>cannot make the folder %1</translation>
    </message>
    <message>
        <source>无法打开：%1</source>
        <translation>cannot open: %1</translation>
    </message>
    <message>
        <source>当前用户无权写这个文件</source>
        <translation>this user may not write the file</translation>
    </message>
    <message>
        <source>当前用户无权在它的文件夹中写文件</source>
        <translation>this user may not write in its folder</translation>
    </message>
    <message>
        <source>这个文件属于另一个程序，不是本工具的设备档案；文件未作任何改动</source>
        <translation>this file belongs to another program and holds no device records of this tool; it was left unchanged</translation>
    </message>
    <message>
        <source>这份设备档案由更新版本的本工具写成（档案版本%1，本程序只认识到版本%2）；档案未作任何改动</source>
        <translation>these device records were written by a newer version of this tool (records version %1; this program knows up to version %2); they were left unchanged</translation>
    </message>
    <message>
        <source>无法把数据表升级到版本%1：%2</source>
        <translation>cannot bring the tables up to version %1: %2</translation>
    </message>
    <message>
        <source>无法写入：%1</source>
        <translation>cannot write: %1</translation>
    </message>
    <message>
        <source>无法读取：%1</source>
        <translation>cannot read: %1</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>参数页</source>
        <translation>Parameter pages</translation>
    </message>
    <message>
        <source>   通信参数设置   </source>
        <translation>   Communication settings   </translation>
    </message>
    <message>
        <source>  透明传输测试  </source>
        <translation>  Transparent transmission test  </translation>
    </message>
    <message>
        <source>控制模式测试</source>
        <translation>Control mode test</translation>
    </message>
    <message>
        <source>脚本文件有错误，</source>
        <translation>The script file has an error: </translation>
    </message>
    <message>
        <source>串口设置</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>串口号</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud rate</translation>
    </message>
    <message>
        <source>数据格式</source>
        <translation>Data format</translation>
    </message>
    <message>
        <source>打开串口</source>
        <translation>Open port</translation>
    </message>
    <message>
        <source>TCP连接设置</source>
        <translation>TCP connection</translation>
    </message>
    <message>
        <source>设备IP</source>
        <translation>Device IP</translation>
    </message>
    <message>
        <source>密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>连接</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>断开</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>TCP连接状态</source>
        <translation>TCP connection state</translation>
    </message>
    <message>
        <source>设备IP   </source>
        <translation>Device IP   </translation>
    </message>
    <message>
        <source>密码:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>设置当前选中参数</source>
        <translation>Write the selected parameter</translation>
    </message>
    <message>
        <source>通信参数表</source>
        <translation>Communication parameters</translation>
    </message>
    <message>
        <source>对话显示窗口</source>
        <translation>Received data</translation>
    </message>
    <message>
        <source>对话显示</source>
        <translation>Received data</translation>
    </message>
    <message>
        <source>发送内容输入</source>
        <translation>Data to send</translation>
    </message>
    <message>
        <source> 显示十六进制值     </source>
        <translation> Show hex values     </translation>
    </message>
    <message>
        <source>显示十六进制值</source>
        <translation>Show hex values</translation>
    </message>
    <message>
        <source>重复发送次数</source>
        <translation>Repeat count</translation>
    </message>
    <message>
        <source>发送数据</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>统计清零</source>
        <translation>Clear counters</translation>
    </message>
    <message>
        <source>重复发送次数       </source>
        <translation>Repeat count       </translation>
    </message>
    <message>
        <source>收发字节数</source>
        <translation>Bytes received and sent</translation>
    </message>
    <message>
        <source>DTU状态显示</source>
        <translation>DTU status</translation>
    </message>
    <message>
        <source>DTU状态访问</source>
        <translation>DTU status access</translation>
    </message>
    <message>
        <source>读取信号强度</source>
        <translation>Read signal strength</translation>
    </message>
    <message>
        <source>读DTU状态</source>
        <translation>Read DTU status</translation>
    </message>
    <message>
        <source>查询DTU版本/IMEI</source>
        <translation>Query DTU version/IMEI</translation>
    </message>
    <message>
        <source>读取设备时钟</source>
        <translation>Read device clock</translation>
    </message>
    <message>
        <source>设置设备时钟</source>
        <translation>Set device clock</translation>
    </message>
    <message>
        <source>接口参数表</source>
        <translation>Interface parameters</translation>
    </message>
    <message>
        <source>扩展参数设置</source>
        <translation>Extended parameters</translation>
    </message>
    <message>
        <source>通信记录</source>
        <translation>Traffic log</translation>
    </message>
    <message>
        <source>管理口令</source>
        <translation>Administrator password</translation>
    </message>
    <message>
        <source>恢复出厂默认设置</source>
        <translation>Restore factory defaults</translation>
    </message>
    <message>
        <source>复位设备</source>
        <translation>Reset device</translation>
    </message>
    <message>
        <source>文件操作</source>
        <translation>File</translation>
    </message>
    <message>
        <source>调入参数文件</source>
        <translation>Load parameter file</translation>
    </message>
    <message>
        <source>保存参数文件</source>
        <translation>Save parameter file</translation>
    </message>
    <message>
        <source>批量写参数</source>
        <translation>Write all parameters</translation>
    </message>
    <message>
        <source>快速应答模式</source>
        <translation>Fast reply mode</translation>
    </message>
    <message>
        <source>语言 / Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>跟随系统</source>
        <translation>System language</translation>
    </message>
    <message>
        <source>界面语言将在下次启动程序时切换。</source>
        <translation>The new language takes effect the next time the program starts.</translation>
    </message>
    <message>
        <source>串口状态</source>
        <translation>Port state</translation>
    </message>
    <message>
        <source>操作结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>串口状态内容</source>
        <translation>Port state text</translation>
    </message>
    <message>
        <source>操作结果内容</source>
        <translation>Result text</translation>
    </message>
    <message>
        <source>快速应答</source>
        <translation>Fast reply</translation>
    </message>
    <message>
        <source>   接口参数设置   </source>
        <translation>   Interface settings   </translation>
    </message>
    <message>
        <source>参数文件 %1 无法调入：%2</source>
        <translation>Cannot load the parameter file %1: %2</translation>
    </message>
    <message>
        <source>保存通信记录...</source>
        <translation>Save traffic log...</translation>
    </message>
    <message>
        <source>记录时间</source>
        <translation>Time-stamp lines</translation>
    </message>
    <message>
        <source>自动重新打开</source>
        <translation>Reopen automatically</translation>
    </message>
    <message>
        <source>通信记录已保存到%1</source>
        <translation>Traffic log saved to %1</translation>
    </message>
    <message>
        <source>多台设备配置...</source>
        <translation>Multiple devices...</translation>
    </message>
    <message>
        <source>设备档案...</source>
        <translation>Device records...</translation>
    </message>
    <message>
        <source>记录设备档案</source>
        <translation>Keep device records</translation>
    </message>
    <message>
        <source>设备档案位置...</source>
        <translation>Device records location...</translation>
    </message>
    <message>
        <source>设备档案保存在哪里（留空为默认文件 %1；也可以是另一个 SQLite 文件，或 postgresql:// 开头的服务器地址）：</source>
        <translation>Where the device records are kept (empty for the default file %1; or another SQLite file, or a server address starting with postgresql://):</translation>
    </message>
    <message>
        <source>设备档案位置无效：%1</source>
        <translation>The device records location is not valid: %1</translation>
    </message>
    <message>
        <source>设备档案未能保存（设备操作照常进行）：%1</source>
        <translation>The device record was not kept (the device work went on): %1</translation>
    </message>
    <message>
        <source>恢复到第 %1 条记录：完成，写入 %2 行，%3 行未变，%4 行因访问级别未写</source>
        <translation>Rollback to entry %1: done, %2 row(s) written, %3 unchanged, %4 withheld by the access level</translation>
    </message>
    <message>
        <source>恢复到第 %1 条记录：读回后 %2 行与快照不同</source>
        <translation>Rollback to entry %1: read back, %2 row(s) differ from the snapshot</translation>
    </message>
    <message>
        <source>恢复到第 %1 条记录：没能读出设备的参数，什么也没有写</source>
        <translation>Rollback to entry %1: the device&apos;s parameters could not be read; nothing written</translation>
    </message>
    <message>
        <source>恢复到第 %1 条记录：该记录属于设备 %2，这台设备是 %3；什么也没有写</source>
        <translation>Rollback to entry %1: the entry is of device %2, this device is %3; nothing written</translation>
    </message>
    <message>
        <source>恢复到第 %1 条记录：写入没有完成（%2）</source>
        <translation>Rollback to entry %1: the write did not complete (%2)</translation>
    </message>
    <message>
        <source>恢复到第 %1 条记录：已写入，但读回失败，未能核对</source>
        <translation>Rollback to entry %1: written, but the read back failed; not verified</translation>
    </message>
    <message>
        <source>（记录 %1）</source>
        <translation> (entry %1)</translation>
    </message>
    <message>
        <source>请先打开参数文件：恢复按它的参数表写入设备</source>
        <translation>Open a profile first: the rollback writes the devices through its tables</translation>
    </message>
    <message>
        <source>第 %1 条记录（%2）不是从设备读出的快照，不能恢复到它。</source>
        <translation>Entry %1 (%2) is not a snapshot read from a device: it cannot be restored.</translation>
    </message>
    <message>
        <source>%1 %2：%3 → %4</source>
        <translation>%1 %2: %3 → %4</translation>
    </message>
    <message>
        <source>把连接着的设备恢复到第 %1 条记录的参数值吗？将写入这 %2 行，写完后读回核对：
%3</source>
        <translation>Put the connected device back to the values of entry %1? These %2 row(s) will be written, then read back and compared:
%3</translation>
    </message>
    <message>
        <source>恢复到第 %1 条记录：设备已保存着快照的值，无需写入</source>
        <translation>Rollback to entry %1: the device holds the snapshot&apos;s values already; nothing to write</translation>
    </message>
    <message>
        <source>恢复到第 %1 条记录：完成，但快照中没有 %2 行密码类参数的值，它们没有恢复</source>
        <translation>Rollback to entry %1: done, but the snapshot keeps no value of %2 secret row(s); they were not restored</translation>
    </message>
    <message>
        <source>检查参数文件...</source>
        <translation>Check parameter file...</translation>
    </message>
    <message>
        <source>请先调入参数文件</source>
        <translation>Load a parameter file first</translation>
    </message>
    <message>
        <source>检查参数文件</source>
        <translation>Check parameter file</translation>
    </message>
    <message>
        <source>检查结果</source>
        <translation>Findings</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>点选一条，参数表中就选中它所在的行。</source>
        <translation>Pick a finding to select its row in the parameter table.</translation>
    </message>
</context>
<context>
    <name>TableCompare</name>
    <message>
        <source>比较了%1行，没有差异</source>
        <translation>no differences in %1 rows compared</translation>
    </message>
    <message>
        <source>比较了%2行，其中%1行不同</source>
        <translation>%1 of %2 rows compared differ</translation>
    </message>
    <message>
        <source>（忽略%1行）</source>
        <translation> (%1 ignored)</translation>
    </message>
    <message>
        <source>；文件缺少设备的%1行，未比较</source>
        <translation>; the file lacks %1 of the device&apos;s rows, not compared</translation>
    </message>
</context>
<context>
    <name>TcpTransport</name>
    <message>
        <source>TCP维护端口连接中...</source>
        <translation>Connecting to the TCP maintenance port...</translation>
    </message>
    <message>
        <source>TCP维护端口连接成功</source>
        <translation>Connected to the TCP maintenance port</translation>
    </message>
    <message>
        <source>TCP维护端口连接失败</source>
        <translation>TCP maintenance port connection failed</translation>
    </message>
</context>
<context>
    <name>TextFile</name>
    <message>
        <source>字符“%1”无法用GBK编码保存</source>
        <translation>The character &quot;%1&quot; cannot be saved in GBK</translation>
    </message>
    <message>
        <source>文本无法用GBK编码保存</source>
        <translation>The text cannot be saved in GBK</translation>
    </message>
    <message>
        <source>无法打开文件 %1：%2</source>
        <translation>Cannot open the file %1: %2</translation>
    </message>
    <message>
        <source>无法写入文件 %1：%2</source>
        <translation>Cannot write the file %1: %2</translation>
    </message>
</context>
<context>
    <name>Trace</name>
    <message>
        <source>上行：</source>
        <translation>Up: </translation>
    </message>
    <message>
        <source>下行：</source>
        <translation>Down: </translation>
    </message>
</context>
<context>
    <name>TrafficLog</name>
    <message>
        <source>开</source>
        <translation>on</translation>
    </message>
    <message>
        <source>关</source>
        <translation>off</translation>
    </message>
    <message>
        <source>DTU 通信记录
</source>
        <translation>DTU traffic log
</translation>
    </message>
    <message>
        <source>日期：%1
</source>
        <translation>Date: %1
</translation>
    </message>
    <message>
        <source>程序版本：%1
</source>
        <translation>Program version: %1
</translation>
    </message>
    <message>
        <source>参数文件：%1
</source>
        <translation>Parameter file: %1
</translation>
    </message>
    <message>
        <source>(未调入)</source>
        <translation>(none loaded)</translation>
    </message>
    <message>
        <source>串口：%1，波特率=%2，数据格式=%3，%4
</source>
        <translation>Serial port: %1, baud rate=%2, data format=%3, %4
</translation>
    </message>
    <message>
        <source>TCP：%1，%2
</source>
        <translation>TCP: %1, %2
</translation>
    </message>
    <message>
        <source>快速应答模式：%1

</source>
        <translation>Fast reply mode: %1

</translation>
    </message>
    <message>
        <source>通信记录</source>
        <translation>Traffic</translation>
    </message>
    <message>
        <source>控制模式显示</source>
        <translation>Control mode display</translation>
    </message>
    <message>
        <source>透明传输对话</source>
        <translation>Transparent transmission dialogue</translation>
    </message>
    <message>
        <source>通信记录-%1.txt</source>
        <translation>traffic-log-%1.txt</translation>
    </message>
</context>
<context>
    <name>TransparentTest</name>
    <message>
        <source> 发送数据：</source>
        <translation> Sent: </translation>
    </message>
    <message>
        <source>次]</source>
        <translation> times]</translation>
    </message>
    <message>
        <source>文字输入窗口[HEX模式]</source>
        <translation>Text input [HEX mode]</translation>
    </message>
    <message>
        <source>文字输入窗口(文本模式)</source>
        <translation>Text input (text mode)</translation>
    </message>
</context>
<context>
    <name>Wording</name>
    <message>
        <source>没有这个参数</source>
        <translation>no such parameter</translation>
    </message>
    <message>
        <source>此参数只能在访问级别2下修改</source>
        <translation>this parameter may be changed at access level 2 only</translation>
    </message>
    <message>
        <source>此参数不能编辑</source>
        <translation>this parameter cannot be edited</translation>
    </message>
    <message>
        <source>只能选择：%1</source>
        <translation>choose one of: %1</translation>
    </message>
    <message>
        <source>最多%1个字符</source>
        <translation>at most %1 characters</translation>
    </message>
    <message>
        <source>只接受这些字符：%1</source>
        <translation>only these characters are accepted: %1</translation>
    </message>
    <message>
        <source>编码脚本出错：%1</source>
        <translation>the encoding script failed: %1</translation>
    </message>
    <message>
        <source>不是数字</source>
        <translation>not a number</translation>
    </message>
    <message>
        <source>不是数字（小数点请用“.”，不用“,”）</source>
        <translation>not a number (write the decimal point as &quot;.&quot;, not &quot;,&quot;)</translation>
    </message>
    <message>
        <source>超出此参数能保存的范围</source>
        <translation>outside what this parameter can hold</translation>
    </message>
    <message>
        <source>编码脚本没有给出任何字节</source>
        <translation>the encoding script gave no bytes</translation>
    </message>
    <message>
        <source>编码脚本给出的不是完整的十六进制字节（%1）</source>
        <translation>the encoding script gave no whole bytes of hex (%1)</translation>
    </message>
    <message>
        <source>HEX: 后面应是成对的十六进制数字</source>
        <translation>HEX: must be followed by pairs of hex digits</translation>
    </message>
    <message>
        <source>不能含有控制字符（%1）</source>
        <translation>no control characters (%1)</translation>
    </message>
    <message>
        <source>字符“%1”无法用GBK编码</source>
        <translation>the character “%1” has no GBK code</translation>
    </message>
</context>
<context>
    <name>WorkPaths</name>
    <message>
        <source>找不到脚本文件%1，已查找：
</source>
        <translation>Cannot find the script file %1. Looked in:
</translation>
    </message>
</context>
<context>
    <name>WriteProgress</name>
    <message>
        <source>正在写入的参数</source>
        <translation>Parameter being written</translation>
    </message>
    <message>
        <source>写入进度</source>
        <translation>Write progress</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
</context>
</TS>
