// The fleet window over simulated devices: opened from the menu with the
// loaded profile, devices typed in and imported, a value of one device
// edited in the table, a run to its end with the window responsive, the
// outcomes shown and the report exported; the main window's channel stays
// closed throughout.
#include "support/SimProcess.h"
#include "support/TestMain.h"
#include "support/WindowFixture.h"

#include "ui/FleetWindow.h"

#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

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

        fx.Action("N8")->trigger();
        auto *fleet = fx.window->findChild<FleetWindow *>(QStringLiteral("FleetWindow"));
        QVERIFY(fleet && fleet->isVisible());
        QCOMPARE(fleet->findChild<QLineEdit *>(QStringLiteral("fleetProfile"))->text(),
                 fx.ws.Path(QStringLiteral("example_profile.txt")));
        const auto child = [fleet](const char *name) { return fleet->findChild<QPushButton *>(QLatin1String(name)); };

        // Two typed in (with and without "tcp:"), one from an inventory file.
        auto *typed = fleet->findChild<QLineEdit *>(QStringLiteral("fleetTcpTarget"));
        typed->setText(QStringLiteral("tcp:127.0.0.1:") + sim.TcpPort(1));
        child("fleetAddTcp")->click();
        typed->setText(QStringLiteral("127.0.0.1:") + sim.TcpPort(2));
        child("fleetAddTcp")->click();
        fx.ws.Write(QStringLiteral("more.csv"), "target,name\ntcp:127.0.0.1:" + sim.TcpPort(3).toUtf8() + ",third\n");
        fx.dialogs.files.push_back(fx.ws.Path(QStringLiteral("more.csv")));
        child("fleetImport")->click();
        // The second device's own 中心端口.
        fleet->findChild<QLineEdit *>(QStringLiteral("fleetNewColumn"))->setText(QStringLiteral("0031"));
        child("fleetAddColumn")->click();
        auto *devices = fleet->findChild<QTableWidget *>(QStringLiteral("fleetDevices"));
        QCOMPARE(devices->rowCount(), 3);
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
        QList<int> turnsAtStart(3, -1), turnsAtEnd(3, -1);
        QObject::connect(&fleet->Runner(), &FleetRunner::deviceStarted, [&](int i) { turnsAtStart[i] = turns; });
        QObject::connect(&fleet->Runner(), &FleetRunner::deviceFinished, [&](int i) { turnsAtEnd[i] = turns; });
        child("fleetStart")->click();
        QVERIFY(fleet->Runner().Running());
        QVERIFY(!child("fleetStart")->isEnabled() && child("fleetStop")->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!fleet->Runner().Running(), 60000);
        turn.stop();
        for (int i = 0; i < 3; ++i)
            QVERIFY2(turnsAtStart[i] >= 0 && turnsAtEnd[i] > turnsAtStart[i],
                     qPrintable(QStringLiteral("device %1: %2 turns at its start, %3 at its end")
                                    .arg(i).arg(turnsAtStart[i]).arg(turnsAtEnd[i])));

        QCOMPARE(devices->item(0, 5)->text(), QStringLiteral("ok"));
        QCOMPARE(devices->item(1, 5)->text(), QStringLiteral("ok"));
        QCOMPARE(devices->item(2, 5)->text(), QStringLiteral("written-with-errors (0031 [参数设置失败])"));
        auto *bar = qobject_cast<QProgressBar *>(devices->cellWidget(0, 4));
        QVERIFY(bar && bar->maximum() == 13 && bar->value() == 13);
        QCOMPARE(fleet->findChild<QLabel *>(QStringLiteral("fleetTotals"))->text(),
                 QStringLiteral("3 devices: 2 ok, 1 written-with-errors"));

        fx.dialogs.files.push_back(fx.ws.Path(QStringLiteral("report.csv")));
        child("fleetExport")->click();
        const QList<QByteArray> lines = fx.ws.Read(QStringLiteral("report.csv")).split('\n');
        QCOMPARE(lines.size(), 5); // header, three devices, the end of the last line
        QVERIFY(lines[1].startsWith("tcp:127.0.0.1:" + sim.TcpPort(1).toUtf8() + ",,ok,13,0,"));
        QVERIFY(lines[3].contains(",third,written-with-errors,12,1,0031 中心端口 [参数设置失败],"));

        // The device written with its own value holds it.
        const ProgramRun read = RunProgram(QStringLiteral("dtucfg"),
                                           QStringList{"--profile", "example_profile.txt"} + sim.CfgChannel(2)
                                               + QStringList{"--fast", "read"},
                                           fx.ws.Path());
        QVERIFY(read.out.contains(QStringLiteral("0031\t中心端口\tHEX:238C\t9100")));
        // The main window never opened its own channel.
        QVERIFY(!fx.Session().channel.ChannelIsOpen());
    }
};

DTU_TEST_WIDGETS(FleetWindowTest)
#include "tst_fleet_window.moc"
