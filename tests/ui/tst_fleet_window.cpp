// The fleet window over simulated devices, driven as a technician drives
// it: opened from the menu with the loaded profile, devices typed in and
// imported, a value of one device edited in the table, a run to its end
// with the window responsive, the outcomes shown in the window's words and
// the report exported; the main window's channel stays closed throughout.
// Then an inventory setting the device number, cells refused before any
// device, where the workers keep their entries, and a window started where
// no script.js lies. (What one device's worker does is e2e/tst_actions.)
#include "support/SimProcess.h"
#include "support/TestMain.h"
#include "support/WindowFixture.h"

#include "support/StoreEntries.h"
#include "ui/FleetWindow.h"
#include "ui/MainWindow.h"
#include "ui/WindowRecorder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace {

// The fleet window as 文件操作 › 多台设备配置 opens it; the fast reply
// mode on when asked, to spare the device's silence after each reply.
FleetWindow *OpenFleet(WindowFixture &fx, bool fast = true)
{
    fx.Action("N8")->trigger();
    auto *fleet = fx.window->findChild<FleetWindow *>(QStringLiteral("FleetWindow"));
    if (!fleet || !fleet->isVisible())
        return nullptr;
    fleet->findChild<QCheckBox *>(QStringLiteral("fleetFast"))->setChecked(fast);
    return fleet;
}

QPushButton *Button(FleetWindow *fleet, const char *name)
{
    return fleet->findChild<QPushButton *>(QLatin1String(name));
}

void AddTcp(FleetWindow *fleet, const QString &target)
{
    fleet->findChild<QLineEdit *>(QStringLiteral("fleetTcpTarget"))->setText(target);
    Button(fleet, "fleetAddTcp")->click();
}

// Starts the run and waits for its end.
void RunToEnd(FleetWindow *fleet)
{
    Button(fleet, "fleetStart")->click();
    QVERIFY(fleet->Runner().Running());
    QTRY_VERIFY_WITH_TIMEOUT(!fleet->Runner().Running(), 60000);
}

// The result column (the last one) of each device.
QStringList Results(FleetWindow *fleet)
{
    auto *devices = fleet->findChild<QTableWidget *>(QStringLiteral("fleetDevices"));
    QStringList results;
    for (int row = 0; row < devices->rowCount(); ++row)
        results << devices->item(row, devices->columnCount() - 1)->text();
    return results;
}

// A device's value as dtucfg reads it ("" when the read failed).
QString DeviceValue(const QString &workDir, const QStringList &channel, const QString &number)
{
    const ProgramRun read = RunProgram(QStringLiteral("dtucfg"),
                                       QStringList{"--profile", "example_profile.txt"} + channel
                                           + QStringList{"--fast", "read"},
                                       workDir);
    for (const QString &line : read.out)
        if (line.startsWith(number + QLatin1Char('\t')))
            return line.section(QLatin1Char('\t'), 3);
    return {};
}


QString Tcp(const SimProcess &sim, int unit)
{
    return QStringLiteral("tcp:127.0.0.1:") + sim.TcpPort(unit);
}

} // namespace

class FleetWindowTest : public QObject {
    Q_OBJECT
private slots:
    void runsAFleetToAReport()
    {
        WindowFixture fx;
        fx.ws.RememberProfile(QStringLiteral("example_profile.txt"));
        fx.Show();
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs() + QStringList{"--tcp", "0", "--count", "3", "--delay", "30",
                                                                   "--unit", "3", "--refuse", "--only", "0031"},
                           {}, 3),
                 qPrintable(sim.Error()));

        FleetWindow *fleet = OpenFleet(fx, false);
        QVERIFY(fleet);
        QVERIFY(fleet->findChild<QCheckBox *>(QStringLiteral("fleetVerify"))->isChecked()); // 写后校验 by default
        QCOMPARE(fleet->findChild<QLineEdit *>(QStringLiteral("fleetProfile"))->text(),
                 fx.ws.Path(QStringLiteral("example_profile.txt")));

        // Two typed in (with and without "tcp:"), one from an inventory
        // file, and a fourth where nothing listens.
        AddTcp(fleet, Tcp(sim, 1));
        AddTcp(fleet, QStringLiteral("127.0.0.1:") + sim.TcpPort(2));
        fx.ws.Write(QStringLiteral("more.csv"), "target,name\n" + Tcp(sim, 3).toUtf8() + ",third\n");
        fx.dialogs.files.push_back(fx.ws.Path(QStringLiteral("more.csv")));
        Button(fleet, "fleetImport")->click();
        AddTcp(fleet, QStringLiteral("tcp:127.0.0.1:1"));
        // The second device's own 中心端口.
        fleet->findChild<QLineEdit *>(QStringLiteral("fleetNewColumn"))->setText(QStringLiteral("0031"));
        Button(fleet, "fleetAddColumn")->click();
        auto *devices = fleet->findChild<QTableWidget *>(QStringLiteral("fleetDevices"));
        QCOMPARE(devices->rowCount(), 4);
        QCOMPARE(devices->horizontalHeaderItem(3)->text(), QStringLiteral("0031"));
        devices->setItem(1, 3, new QTableWidgetItem(QStringLiteral("9100")));
        QCOMPARE(fleet->DeviceTable().devices.at(2).name, QStringLiteral("third"));

        // The event loop keeps turning while the devices are written: the
        // runner never waits for a worker, so between a device's start and
        // its end the window's loop turns (a timer of 0 ms fires at each
        // turn).
        int turns = 0;
        QTimer turn;
        QObject::connect(&turn, &QTimer::timeout, [&turns] { ++turns; });
        turn.start(0);
        const int count = devices->rowCount();
        QList<int> turnsAtStart(count, -1), turnsAtEnd(count, -1);
        QObject::connect(&fleet->Runner(), &FleetRunner::deviceStarted, [&](int i) { turnsAtStart[i] = turns; });
        QObject::connect(&fleet->Runner(), &FleetRunner::deviceFinished, [&](int i) { turnsAtEnd[i] = turns; });
        // Every row, also those the devices hold already: the bars count them all.
        fleet->findChild<QCheckBox *>(QStringLiteral("fleetWriteAll"))->setChecked(true);
        Button(fleet, "fleetStart")->click();
        QVERIFY(fleet->Runner().Running());
        QVERIFY(!Button(fleet, "fleetStart")->isEnabled() && Button(fleet, "fleetStop")->isEnabled());
        QVERIFY(!fleet->findChild<QComboBox *>(QStringLiteral("fleetLevel"))->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!fleet->Runner().Running(), 60000);
        turn.stop();
        for (int i = 0; i < count; ++i)
            QVERIFY2(turnsAtStart[i] >= 0 && turnsAtEnd[i] > turnsAtStart[i],
                     qPrintable(QStringLiteral("device %1: %2 turns at its start, %3 at its end")
                                    .arg(i).arg(turnsAtStart[i]).arg(turnsAtEnd[i])));

        const QStringList results = Results(fleet);
        QCOMPARE(results.mid(0, 3),
                 (QStringList{"成功", "成功", "部分失败 (0031 [参数设置失败])"}));
        QVERIFY2(results[3].startsWith(QStringLiteral("无法连接 (")), qPrintable(results[3]));
        // A bar counts the rows the device acknowledged: full for a device
        // written whole, short of full for one that refused a row, empty
        // for one never reached.
        const auto bar = [devices](int row) { return qobject_cast<QProgressBar *>(devices->cellWidget(row, 4)); };
        QVERIFY(bar(0) && bar(0)->maximum() == 13 && bar(0)->value() == 13);
        QCOMPARE(bar(2)->maximum(), 13);
        QCOMPARE(bar(2)->value(), 12);
        QVERIFY2(bar(3)->value() == bar(3)->minimum(), qPrintable(QString::number(bar(3)->value())));
        QCOMPARE(fleet->findChild<QLabel *>(QStringLiteral("fleetTotals"))->text().section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("共4台设备：成功 2台，部分失败 1台，无法连接 1台"));

        // The report keeps the stable outcome names.
        fx.dialogs.files.push_back(fx.ws.Path(QStringLiteral("report.csv")));
        Button(fleet, "fleetExport")->click();
        const QList<QByteArray> lines = fx.ws.Read(QStringLiteral("report.csv")).split('\n');
        QCOMPARE(lines.size(), 6); // header, four devices, the end of the last line
        QVERIFY(lines[1].startsWith(Tcp(sim, 1).toUtf8() + ",,ok,13,0,"));
        QVERIFY(lines[3].contains(",third,written-with-errors,12,0,1,0031 中心端口 [参数设置失败],"));
        QVERIFY(lines[4].startsWith("tcp:127.0.0.1:1,,unreachable,0,0,"));

        // The device written with its own value holds it.
        QCOMPARE(DeviceValue(fx.ws.Path(), sim.CfgChannel(2), QStringLiteral("0031")), QStringLiteral("9100"));
        // The main window never opened its own channel.
        QVERIFY(!fx.Session().channel.ChannelIsOpen());
    }

    // An inventory with the device number and passwords: refused at level 0
    // with the reason before any device is touched; at level 2 every
    // device takes its own number, the one with a password of its own too.
    void deviceNumberColumnNeedsLevelTwo()
    {
        WindowFixture fx;
        fx.ws.RememberProfile(QStringLiteral("example_profile.txt"));
        fx.Show();
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs()
                               + QStringList{"--tcp", "0", "--count", "2", "--unit", "2", "--password", "135790"},
                           {}, 2),
                 qPrintable(sim.Error()));
        FleetWindow *fleet = OpenFleet(fx);
        QVERIFY(fleet);
        fx.ws.Write(QStringLiteral("numbers.csv"), "target,name,password,0091\n" + Tcp(sim, 1).toUtf8()
                                                        + ",first,,DTU0101\n" + Tcp(sim, 2).toUtf8()
                                                        + ",second,135790,DTU0102\n");
        fx.dialogs.files.push_back(fx.ws.Path(QStringLiteral("numbers.csv")));
        Button(fleet, "fleetImport")->click();
        QVERIFY(fx.dialogs.messages.isEmpty());
        // The password column shows dots until asked to show the passwords.
        auto *devices = fleet->findChild<QTableWidget *>(QStringLiteral("fleetDevices"));
        auto *passwords = qobject_cast<QStyledItemDelegate *>(devices->itemDelegateForColumn(2));
        QVERIFY(passwords);
        const auto shown = [&] { return passwords->displayText(devices->item(1, 2)->data(Qt::DisplayRole), QLocale()); };
        QCOMPARE(shown(), QString(6, QChar(0x25CF)));
        auto *showPasswords = fleet->findChild<QCheckBox *>(QStringLiteral("fleetShowPasswords"));
        showPasswords->click();
        QCOMPARE(shown(), QStringLiteral("135790"));
        showPasswords->click();
        QCOMPARE(shown(), QString(6, QChar(0x25CF)));

        Button(fleet, "fleetStart")->click();
        QVERIFY(!fleet->Runner().Running());
        QCOMPARE(fx.dialogs.messages.size(), 1);
        QCOMPARE(fx.dialogs.messages[0].text,
                 QStringLiteral("清单给出了参数0091的值，它只在访问级别2写入：请用访问级别2，或清空这一列"));
        QCOMPARE(fx.dialogs.messages[0].caption, QStringLiteral("多台设备配置"));
        QCOMPARE(Results(fleet), (QStringList{"", ""}));

        auto *level = fleet->findChild<QComboBox *>(QStringLiteral("fleetLevel"));
        QVERIFY(level);
        level->setCurrentIndex(level->findData(2));
        RunToEnd(fleet);
        // The second device took its own password: it was written.
        QCOMPARE(Results(fleet), (QStringList{"成功", "成功"}));
        // Nor does the report hold a password.
        fx.dialogs.files.push_back(fx.ws.Path(QStringLiteral("numbers-report.csv")));
        Button(fleet, "fleetExport")->click();
        const QByteArray report = fx.ws.Read(QStringLiteral("numbers-report.csv"));
        QVERIFY2(report.contains("second,ok") && !report.contains("135790"), report.constData());
    }

    // Every cell is tried as its row would take it before any device is
    // contacted: a refusal names the device, the row, the value and why;
    // a column the profile lacks is refused as such.
    void cellsCheckedBeforeAnyDevice()
    {
        WindowFixture fx;
        fx.ws.RememberProfile(QStringLiteral("example_profile.txt"));
        fx.Show();
        FleetWindow *fleet = OpenFleet(fx);
        QVERIFY(fleet);
        fx.ws.Write(QStringLiteral("cells.csv"), "target,name,0032,0031\n"
                                                 "tcp:127.0.0.1:1,a,SCTP,9000\n"
                                                 "tcp:127.0.0.1:2,b,TCP,70000\n"
                                                 "tcp:127.0.0.1:3,c,UDP,8080\n");
        fx.dialogs.files.push_back(fx.ws.Path(QStringLiteral("cells.csv")));
        Button(fleet, "fleetImport")->click();
        QVERIFY(fx.dialogs.messages.isEmpty());
        Button(fleet, "fleetStart")->click();
        QVERIFY(!fleet->Runner().Running());
        QCOMPARE(fx.dialogs.messages.size(), 1);
        QCOMPARE(fx.dialogs.messages[0].text,
                 QStringLiteral("第1台设备（tcp:127.0.0.1:1）：参数0032（传输协议）不能取值“SCTP”：只能选择：TCP, UDP\n"
                                "第2台设备（tcp:127.0.0.1:2）：参数0031（中心端口）不能取值“70000”：超出此参数能保存的范围"));
        QCOMPARE(Results(fleet), (QStringList{"", "", ""}));

        fleet->findChild<QLineEdit *>(QStringLiteral("fleetNewColumn"))->setText(QStringLiteral("00EE"));
        Button(fleet, "fleetAddColumn")->click();
        auto *devices = fleet->findChild<QTableWidget *>(QStringLiteral("fleetDevices"));
        devices->item(0, 3)->setText(QStringLiteral("TCP"));
        devices->item(1, 4)->setText(QStringLiteral("9000"));
        Button(fleet, "fleetStart")->click();
        QVERIFY(!fleet->Runner().Running());
        QCOMPARE(fx.dialogs.messages.size(), 2);
        QCOMPARE(fx.dialogs.messages[1].text, QStringLiteral("参数文件中没有参数00EE：请删除这一列"));
    }

    // The workers keep their entries where the window keeps its records,
    // under the run's id the window shows; a store they cannot write is
    // said once the run ends; with the window's records off, nothing is kept.
    void workersRecordWhereTheWindowDoes()
    {
        WindowFixture fx;
        fx.ws.RememberProfile(QStringLiteral("example_profile.txt"));
        fx.Show();
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs() + QStringList{"--tcp", "0"}, {}, 1), qPrintable(sim.Error()));
        const QString store = fx.ws.Path(QStringLiteral("team.sqlite"));
        QString error;
        QVERIFY2(fx.window->records().SetLocationText(store, &error), qPrintable(error));

        FleetWindow *fleet = OpenFleet(fx);
        QVERIFY(fleet);
        AddTcp(fleet, Tcp(sim, 1));
        RunToEnd(fleet);
        QCOMPARE(Results(fleet), QStringList{"成功"});
        auto *totals = fleet->findChild<QLabel *>(QStringLiteral("fleetTotals"));
        const QStringList lines = totals->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        const QRegularExpressionMatch said
            = QRegularExpression(QStringLiteral("^设备档案：批量运行 (\\S+)（可在设备档案中整批恢复）$")).match(lines[1]);
        QVERIFY2(said.hasMatch(), qPrintable(lines[1]));
        // The snapshot before writing, then the provision, both of the run.
        QList<RecordEntry> entries = EntriesIn(store);
        QCOMPARE(entries.size(), 2);
        for (const RecordEntry &e : entries) {
            QCOMPARE(e.fleetRun, said.captured(1));
            QCOMPARE(e.target, Tcp(sim, 1));
        }
        QCOMPARE(entries[0].action, QStringLiteral("read"));
        QCOMPARE(entries[1].action, QStringLiteral("provision"));

        // A folder that cannot be made: the device is still written.
        fx.ws.Write(QStringLiteral("blocker"), "a file, not a folder");
        QVERIFY(fx.window->records().SetLocationText(fx.ws.Path(QStringLiteral("blocker/records.sqlite")), &error));
        RunToEnd(fleet);
        QCOMPARE(Results(fleet), QStringList{"成功"});
        QVERIFY2(totals->text().contains(QStringLiteral("1台设备的操作没有记入设备档案：")), qPrintable(totals->text()));

        QVERIFY(fx.window->records().SetLocationText(store, &error));
        fx.window->records().SetOn(false);
        RunToEnd(fleet);
        QCOMPARE(Results(fleet), QStringList{"成功"});
        QCOMPARE(totals->text().count(QLatin1Char('\n')), 0);
        QCOMPARE(EntriesIn(store).size(), 2);
    }

    // 核对: each device read and compared with what the fleet would write,
    // nothing written; the records window then shows each device's last audit.
    void auditShowsWhichDevicesMatch()
    {
        WindowFixture fx;
        fx.ws.RememberProfile(QStringLiteral("example_profile.txt"));
        fx.Show();
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs()
                               + QStringList{"--tcp", "0", "--count", "2", "--unit", "2", "--value", "0031=9001",
                                             "--value", "0091=DTU0002"},
                           {}, 2),
                 qPrintable(sim.Error()));
        QString error;
        QVERIFY(fx.window->records().SetLocationText(fx.ws.Path(QStringLiteral("r.sqlite")), &error));
        FleetWindow *fleet = OpenFleet(fx);
        QVERIFY(fleet);
        AddTcp(fleet, Tcp(sim, 1));
        AddTcp(fleet, Tcp(sim, 2));
        Button(fleet, "fleetAudit")->click();
        QVERIFY(fleet->Runner().Running());
        QTRY_VERIFY_WITH_TIMEOUT(!fleet->Runner().Running(), 60000);
        QCOMPARE(Results(fleet), (QStringList{"相符", "不符 (0031 中心端口: 8080 -> 9001)"}));
        QCOMPARE(DeviceValue(fx.ws.Path(), sim.CfgChannel(2), QStringLiteral("0031")), QStringLiteral("9001"));

        fx.Action("ShowRecords")->trigger();
        auto *devices = fx.window->findChild<QTableWidget *>(QStringLiteral("RecordsDevices"));
        QVERIFY(devices);
        QTRY_COMPARE(devices->rowCount(), 2);
        QStringList audits;
        for (int row = 0; row < devices->rowCount(); ++row)
            audits << devices->item(row, devices->columnCount() - 1)->text().section(QLatin1Char(' '), -1);
        audits.sort();
        QCOMPARE(audits, (QStringList{"不符", "相符"}));
    }

    // Started from the desktop menu: the working folder holds no script.js,
    // the profile's folder neither; the script lies in the configuration
    // folder, where the main window found it, and the workers get that one.
    // With none anywhere, the run is refused naming every place looked in.
    void workersGetTheScriptTheWindowFinds()
    {
        ConfigHome config;
        config.Write(config.Tool(QStringLiteral("script.js")),
                     WorkFolder(WorkFolder::kScript).Read(QStringLiteral("script.js")));
        WorkFolder device(WorkFolder::kProfiles);
        config.RememberLastProfile(device.Path(QStringLiteral("example_profile.txt")));
        WindowFixture fx(WorkFolder::kNoExamples);
        fx.Show();
        QVERIFY(fx.dialogs.messages.isEmpty());
        SimProcess sim;
        QVERIFY2(sim.Start(SimProcess::ExampleArgs() + QStringList{"--tcp", "0"}, {}, 1), qPrintable(sim.Error()));

        FleetWindow *fleet = OpenFleet(fx);
        QVERIFY(fleet);
        QCOMPARE(fleet->findChild<QLineEdit *>(QStringLiteral("fleetProfile"))->text(),
                 device.Path(QStringLiteral("example_profile.txt")));
        AddTcp(fleet, Tcp(sim, 1));
        RunToEnd(fleet); // a worker without the script would fail its device
        QCOMPARE(Results(fleet), QStringList{"成功"});

        QVERIFY(QFile::remove(config.Tool(QStringLiteral("script.js"))));
        Button(fleet, "fleetStart")->click();
        QVERIFY(!fleet->Runner().Running());
        QCOMPARE(fx.dialogs.messages.size(), 1);
        QCOMPARE(fx.dialogs.messages[0].text, QStringLiteral("找不到脚本文件script.js，已查找：\n")
                                                  + fx.ws.Path(QStringLiteral("script.js")) + QLatin1Char('\n')
                                                  + device.Path(QStringLiteral("script.js")) + QLatin1Char('\n')
                                                  + config.Tool(QStringLiteral("script.js")));
    }
};

DTU_TEST_WIDGETS(FleetWindowTest)
#include "tst_fleet_window.moc"
