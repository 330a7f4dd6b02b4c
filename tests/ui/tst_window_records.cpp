// The device records as the window keeps them, against dtusim on a
// pseudo-terminal: a press keeps its entry (what each action keeps is
// e2e/tst_actions), a store that cannot be written is said once, the switch
// and the location from the menu; the records window over a store the test
// fills (the devices and their filter, an entry's rows, two snapshots
// compared, the export), and its rollbacks of a snapshot and of a fleet run.
#include "support/SimWindow.h"
#include "support/TestMain.h"

#include "support/StoreEntries.h"
#include "ui/RecordsWindow.h"
#include "ui/WindowRecorder.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

const RecordValue kPort8080{QStringLiteral("HEX:1F90"), QStringLiteral("8080")};
const RecordValue kPort5001{QStringLiteral("HEX:1389"), QStringLiteral("5001")};

// The window, its records kept in a file of the work folder.
class RecordsBench : public SimWindow {
public:
    explicit RecordsBench(const QStringList &simArgs = {}) : SimWindow(simArgs)
    {
        store = ws.Path(QStringLiteral("records.sqlite"));
        QString error;
        window->records().SetLocationText(store, &error);
    }
    void Press(const char *name) { Child<QPushButton>(name)->click(); }
    QStringList Warnings() const { return Memo().filter(QStringLiteral("设备档案未能保存")); }

    QString store;
};

// An entry of the window's, of device `number` (or only its IMEI), seconds
// after 08:00 UTC on 1 May 2024.
RecordEntry Entry(const QString &number, const QString &imei, const QString &action, const QString &outcome,
                  const QList<RecordRow> &rows, qint64 secondsAfter)
{
    RecordEntry e = TestEntry(action, rows);
    e.time = QDateTime(QDate(2024, 5, 1), QTime(8, 0), Qt::UTC).addSecs(secondsAfter);
    e.operatorName = QStringLiteral("tech");
    e.program = RecordProgram::Window;
    e.host = QSysInfo::machineHostName();
    e.device = {number, imei, {}};
    e.outcome = outcome;
    return e;
}

QStringList Column(const QTableWidget *table, int column)
{
    QStringList cells;
    for (int i = 0; i < table->rowCount(); ++i)
        cells << table->item(i, column)->text();
    return cells;
}

} // namespace

class WindowRecorderTest : public QObject {
    Q_OBJECT
private slots:
    // 读取 keeps its entry: the window's, of the device it read (on the port
    // it opened, whatever the port box holds now), nothing sent for it but
    // the read's own frame.
    void aPressKeepsItsEntry()
    {
        RecordsBench b;
        b.Child<QComboBox>("Edit1")->setEditText(QStringLiteral("/dev/ttyUSB9"));
        b.ClearMemo();
        b.Press("btRead");
        QCOMPARE(b.Memo().filter(QStringLiteral("下行：")).size(), 1);
        const QList<RecordEntry> entries = EntriesIn(b.store);
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries[0].program, RecordProgram::Window);
        QCOMPARE(entries[0].action, RecordAction::Read);
        QCOMPARE(entries[0].target, b.sim.Pty());
        QCOMPARE(entries[0].device.number, QStringLiteral("DTU0001"));
        QCOMPARE(FindRow(entries[0], "main", "0031")->after, kPort8080);
        QVERIFY(b.Warnings().isEmpty());
        // 保存参数文件 reads nothing from the device and keeps no entry.
        b.ClearMemo();
        b.dialogs.files = {b.ws.Path(QStringLiteral("saved.txt"))};
        b.Action("ba1")->trigger();
        QVERIFY(QFile::exists(b.ws.Path(QStringLiteral("saved.txt"))));
        QCOMPARE(b.Memo().filter(QStringLiteral("下行：")).size(), 0);
        QCOMPARE(EntriesIn(b.store).size(), 1);
    }

    // A store that cannot be made: the actions run as ever, and the memo says
    // once that the records were not kept.
    void storeThatCannotBeWrittenWarnsOnce()
    {
        RecordsBench b;
        QFile blocker(b.ws.Path(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QString error;
        QVERIFY(b.window->records().SetLocationText(b.ws.Path(QStringLiteral("blocker/records.sqlite")), &error));
        b.ClearMemo();
        b.Press("btRead");
        QCOMPARE(b.Memo().filter(QStringLiteral("上行：")).size(), 1);
        QCOMPARE(b.Warnings().size(), 1);
        b.Edit(QStringLiteral("0031"), QStringLiteral("5001"));
        b.Press("btWrite");
        QVERIFY(b.Memo().contains(QStringLiteral("[参数设置成功]")));
        b.Press("btRead");
        QCOMPARE(b.Session().mainTable.Cell(b.MainRow(QStringLiteral("0031")), ColValue), QStringLiteral("5001"));
        QCOMPARE(b.Warnings().size(), 1);
    }

    // The menu's switch and location, kept for the next start.
    void switchAndLocationFromTheMenu()
    {
        RecordsBench b;
        b.Action("RecordsOn")->setChecked(false);
        b.Press("btRead");
        QVERIFY(!QFile::exists(b.store));

        b.Action("RecordsOn")->setChecked(true);
        const QString other = b.ws.Path(QStringLiteral("other.sqlite"));
        b.dialogs.texts = {QStringLiteral("postgresql://tech@host:port/db"), other};
        b.Action("RecordsLocation")->trigger();
        QCOMPARE(b.dialogs.messages.size(), 1); // not a server address
        b.Action("RecordsLocation")->trigger();
        b.Press("btRead");
        QCOMPARE(EntriesIn(other).size(), 1);
        QVERIFY(!QFile::exists(b.store));

        WindowRecorder again(b.Session().frontend());
        QCOMPARE(again.LocationText(), other);
        QVERIFY(again.IsOn());
    }

    // The records window over a store with two devices: the filter, the
    // timeline newest first, a write's failed row marked, two snapshots
    // side by side, the shown entries exported.
    void recordsWindowListsComparesExports()
    {
        WindowFixture f;
        f.Show();
        const QString path = f.ws.Path(QStringLiteral("filled.sqlite"));
        {
            RecordStore store;
            RecordLocation location;
            QString error;
            QVERIFY(RecordLocation::Parse(path, &location, &error));
            QVERIFY(store.Open(location).IsNone());
            const RecordRow number = EntryRow("0091", "设备编号", {"HEX:30313337", "0137"});
            const RecordRow heartbeat = EntryRow("0033", "心跳", {"HEX:003C", "60"});
            const RecordRow refused = EntryRow("0031", "中心端口", kPort5001, "refused", kPort8080);
            QVERIFY(store.Append(Entry("0137", {}, "read", "ok", {EntryRow("0031", "中心端口", kPort8080), heartbeat, number}, 0)).Ok());
            QVERIFY(store.Append(Entry({}, "860000000000099", "reset", "ok", {}, 10)).Ok());
            QVERIFY(store.Append(Entry("0137", {}, "write", "written-with-errors", {refused}, 20)).Ok());
            QVERIFY(store.Append(Entry("0137", {}, "read", "ok", {EntryRow("0031", "中心端口", kPort5001), heartbeat, number}, 30)).Ok());
        }
        QString error;
        QVERIFY(f.window->records().SetLocationText(path, &error));
        f.Action("ShowRecords")->trigger();
        auto *w = f.window->findChild<RecordsWindow *>(QStringLiteral("RecordsWindow"));
        QVERIFY(w && w->isVisible());
        auto *devices = w->findChild<QTableWidget *>(QStringLiteral("RecordsDevices"));
        auto *timeline = w->findChild<QTableWidget *>(QStringLiteral("RecordsTimeline"));
        auto *rows = w->findChild<QTableWidget *>(QStringLiteral("RecordsRows"));
        auto *compare = w->findChild<QTableWidget *>(QStringLiteral("RecordsCompareTable"));

        // The one seen last first.
        QCOMPARE(Column(devices, 0), (QStringList{"0137", "860000000000099"}));
        QCOMPARE(devices->item(0, 6)->text(), QStringLiteral("3"));
        QCOMPARE(devices->item(0, 5)->text(), QStringLiteral("成功")); // outcomes in the window's words
        w->findChild<QLineEdit *>(QStringLiteral("RecordsFilter"))->setText(QStringLiteral("0099"));
        QCOMPARE(Column(devices, 0), QStringList{"860000000000099"});
        w->findChild<QLineEdit *>(QStringLiteral("RecordsFilter"))->clear();
        devices->selectRow(0);
        QCOMPARE(Column(timeline, 0), (QStringList{"4", "3", "1"}));

        // The write: its refused row in the failure colour, before → after.
        timeline->selectRow(1);
        QCOMPARE(timeline->item(1, 3)->text(), QStringLiteral("部分失败"));
        QCOMPARE(rows->rowCount(), 1);
        QCOMPARE(rows->item(0, 2)->text(), QStringLiteral("8080"));
        QCOMPARE(rows->item(0, 3)->text(), QStringLiteral("5001"));
        QVERIFY(rows->item(0, 0)->foreground().color() != rows->palette().color(QPalette::Text));
        timeline->selectRow(0);
        QCOMPARE(rows->item(0, 4)->text(), QStringLiteral("已读出"));
        QCOMPARE(rows->item(0, 0)->foreground().style(), Qt::NoBrush);

        // Entries 1 and 4 side by side: only the port differs.
        timeline->clearSelection();
        timeline->selectionModel()->select(timeline->model()->index(0, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        timeline->selectionModel()->select(timeline->model()->index(2, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        w->findChild<QPushButton *>(QStringLiteral("RecordsCompare"))->click();
        QCOMPARE(Column(compare, 0), (QStringList{"0031", "0033", "0091"}));
        QCOMPARE(compare->item(0, 2)->text(), QStringLiteral("8080"));
        QCOMPARE(compare->item(0, 3)->text(), QStringLiteral("5001"));
        QCOMPARE(compare->item(0, 0)->background().style(), Qt::SolidPattern);
        QCOMPARE(compare->item(1, 0)->background().style(), Qt::NoBrush);
        QCOMPARE(compare->item(2, 0)->background().style(), Qt::NoBrush);
        QCOMPARE(w->findChild<QLabel *>(QStringLiteral("RecordsStatus"))->text(), QStringLiteral("1 行不同，比较了 3 行"));

        // Export: the three entries shown, CSV a line per row, then JSON.
        const QString csv = f.ws.Path(QStringLiteral("out.csv"));
        const QString json = f.ws.Path(QStringLiteral("out.json"));
        f.dialogs.files = {csv, json};
        w->findChild<QPushButton *>(QStringLiteral("RecordsExport"))->click();
        QFile csvFile(csv);
        QVERIFY(csvFile.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(csvFile.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 1 + 3 + 1 + 3);
        QVERIFY(lines[0].startsWith(QStringLiteral("id,time,operator,host,program,target,device,imei,firmware,action,outcome")));
        QVERIFY2(lines.contains(QStringLiteral(
                     "3,2024-05-01T08:00:20.000Z,tech,%1,window,/dev/ttyUSB0,0137,,,write,written-with-errors,,main,0031,中心端口,8080,HEX:1F90,5001,HEX:1389,refused")
                                    .arg(QSysInfo::machineHostName())),
                 qPrintable(lines.join(QLatin1Char('\n'))));
        w->findChild<QPushButton *>(QStringLiteral("RecordsExport"))->click();
        QFile jsonFile(json);
        QVERIFY(jsonFile.open(QIODevice::ReadOnly));
        const QJsonArray array = QJsonDocument::fromJson(jsonFile.readAll()).array();
        QCOMPARE(array.size(), 3);
        QCOMPARE(array[0][QStringLiteral("id")].toInt(), 4);
        QCOMPARE(array[1][QStringLiteral("rows")][0][QStringLiteral("result")].toString(), QStringLiteral("refused"));
    }

    // 恢复到此快照 on the device connected: asked first, then the snapshot's
    // values written back, its line in the memo, its entry in the list.
    void rollbackToASnapshot()
    {
        RecordsBench b;
        b.Press("btRead");
        b.Edit(QStringLiteral("0031"), QStringLiteral("5001"));
        b.Press("btWrite");
        b.Action("ShowRecords")->trigger();
        auto *w = b.window->findChild<RecordsWindow *>(QStringLiteral("RecordsWindow"));
        auto *timeline = w->findChild<QTableWidget *>(QStringLiteral("RecordsTimeline"));
        QCOMPARE(Column(timeline, 0), (QStringList{"2", "1"}));
        timeline->selectRow(1);
        b.ClearMemo();
        w->findChild<QPushButton *>(QStringLiteral("RecordsRollback"))->click();
        QCOMPARE(b.dialogs.questions.size(), 1);
        const RecordEntry rollback = EntriesIn(b.store).value(2);
        QCOMPARE(rollback.action, RecordAction::Rollback);
        QCOMPARE(rollback.program, RecordProgram::Window);
        QCOMPARE(rollback.restores, qint64(1));
        QCOMPARE(FindRow(rollback, "main", "0031")->after, kPort8080);
        QCOMPARE(b.Session().mainTable.Cell(b.MainRow(QStringLiteral("0031")), ColValue), QStringLiteral("8080"));
        QVERIFY2(b.Memo().contains(QStringLiteral("恢复到第 1 条记录：完成，写入 1 行，10 行未变，0 行因访问级别未写（记录 3）")),
                 qPrintable(b.Memo().join('\n')));
        QCOMPARE(Column(timeline, 0), (QStringList{"3", "2", "1"}));
    }

    // A whole fleet run undone from the records window: each device the run
    // changed goes back to the snapshot its worker took, a line per device;
    // stopped, the device under way ends and the others never begin.
    void rollbackOfAWholeFleetRun()
    {
        RecordsBench b;
        // Fast replies: the window's read and the run's rollback end on a
        // complete answer, not 410 ms after it (the gap is not under test).
        b.Action("N7")->trigger();
        QVERIFY(b.Session().exchange.FastCompletion());
        b.Press("btRead"); // an entry of no fleet run, the device's oldest
        SimProcess fleet;
        QVERIFY2(fleet.Start(SimProcess::ExampleArgs() + QStringList{"--tcp", "0", "--count", "2", "--delay", "10"},
                             {}, 2),
                 qPrintable(fleet.Error()));
        const QStringList targets{QStringLiteral("tcp:127.0.0.1:") + fleet.TcpPort(1),
                                  QStringLiteral("tcp:127.0.0.1:") + fleet.TcpPort(2)};
        b.ws.Write(QStringLiteral("fleet.csv"),
                   ("target,0031\n" + targets[0] + ",9100\n" + targets[1] + ",9100\n").toUtf8());
        const auto provision = [&] {
            const ProgramRun run = RunProgram(QStringLiteral("dtucfg"),
                                              {"fleet", "fleet.csv", "--profile", "example_profile.txt", "--fast",
                                               "--records", b.store},
                                              b.ws.Path(), 120000);
            QVERIFY2(run.exitCode == 0, qPrintable(run.Describe()));
        };
        const auto port = [&](int unit) {
            const ProgramRun read = RunProgram(QStringLiteral("dtucfg"),
                                               QStringList{"--profile", "example_profile.txt", "--fast", "--no-records"}
                                                   + fleet.CfgChannel(unit) + QStringList{"read"},
                                               b.ws.Path());
            return read.out.filter(QRegularExpression(QStringLiteral("^0031\t"))).value(0).section(QLatin1Char('\t'), 3);
        };
        provision();
        QCOMPARE(port(1), QStringLiteral("9100"));

        b.Action("ShowRecords")->trigger();
        auto *w = b.window->findChild<RecordsWindow *>(QStringLiteral("RecordsWindow"));
        auto *timeline = w->findChild<QTableWidget *>(QStringLiteral("RecordsTimeline"));
        auto *rollbackRun = w->findChild<QPushButton *>(QStringLiteral("RecordsRollbackRun"));
        auto *panel = w->findChild<RecordsRunRollback *>(QStringLiteral("RecordsRunRollback"));
        auto *results = w->findChild<QTableWidget *>(QStringLiteral("RecordsRunResults"));
        auto *status = w->findChild<QLabel *>(QStringLiteral("RecordsRunStatus"));
        const auto pickProvision = [&] {
            for (int row = 0; row < timeline->rowCount(); ++row) {
                if (timeline->item(row, 2)->text() == QStringLiteral("多台设备配置")) {
                    timeline->selectRow(row);
                    return true;
                }
            }
            return false;
        };
        // An entry of no fleet run has nothing to undo as a whole.
        timeline->selectRow(timeline->rowCount() - 1);
        QCOMPARE(timeline->item(timeline->rowCount() - 1, 6)->text(), QStringLiteral("window"));
        QVERIFY(!rollbackRun->isEnabled());
        QVERIFY(pickProvision());
        QVERIFY(rollbackRun->isEnabled());

        rollbackRun->click();
        QCOMPARE(b.dialogs.questions.size(), 1);
        QVERIFY(panel->Running());
        QTRY_VERIFY_WITH_TIMEOUT(!panel->Running(), 120000);
        QCOMPARE(results->rowCount(), 2);
        QStringList restored;
        for (int row = 0; row < 2; ++row) {
            restored << results->item(row, 0)->text();
            QCOMPARE(results->item(row, 1)->text(), QStringLiteral("成功"));
            QVERIFY(results->item(row, 2)->text().toLongLong() > 0);
        }
        restored.sort();
        QStringList expected = targets;
        expected.sort();
        QCOMPARE(restored, expected);
        QVERIFY2(status->text().endsWith(QStringLiteral("共2台设备：成功 2台")), qPrintable(status->text()));
        QCOMPARE(port(1), QStringLiteral("8080"));
        QCOMPARE(port(2), QStringLiteral("8080"));
        const QList<RecordEntry> entries = EntriesIn(b.store);
        QCOMPARE(std::count_if(entries.begin(), entries.end(),
                               [](const RecordEntry &e) { return e.action == QLatin1String("rollback"); }),
                 2);

        // Again, stopped while the first device is under way.
        provision();
        b.Action("ShowRecords")->trigger();
        QVERIFY(pickProvision());
        rollbackRun->click();
        QTRY_VERIFY_WITH_TIMEOUT(results->rowCount() == 1, 60000);
        const QString first = results->item(0, 0)->text();
        w->findChild<QPushButton *>(QStringLiteral("RecordsRollbackStop"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(!panel->Running(), 120000);
        QCOMPARE(results->rowCount(), 2);
        QCOMPARE(results->item(1, 1)->text(), QStringLiteral("未开始"));
        QCOMPARE(port(first == targets[0] ? 2 : 1), QStringLiteral("9100"));
    }
};

DTU_TEST_WIDGETS(WindowRecorderTest)
#include "tst_window_records.moc"
