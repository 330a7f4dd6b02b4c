// The window's read and write buttons and its batch write against dtusim
// on a pseudo-terminal: each page's buttons reach the page's table, and a
// batch the device could not be sent is refused in a message box. (What a
// run does when the channel goes or the window closes is the write loop's:
// unit/tst_write_loop.)
#include "support/SimWindow.h"
#include "support/TestMain.h"

#include <QAction>
#include <QColor>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

const QString kSelectMain = QStringLiteral("下行：AA 55 00 05 E0 50 01 01 36 ");
const QString kSelectExt = QStringLiteral("下行：AA 55 00 05 E0 50 00 01 35 ");
// A read or write whose table the device did not confirm says so in its
// own line rather than exchanging parameters with whichever table the
// device is on.
const QString kReadNotSwitched = QStringLiteral("[参数读取失败，设备未切换参数表！]");
const QString kWriteNotSwitched = QStringLiteral("[参数设置失败，设备未切换参数表！]");

using WritesBench = SimWindow;

} // namespace

class WindowWritesTest : public QObject {
    Q_OBJECT
private slots:
    // 批量写参数 with a cell that is not whole bytes (a profile's
    // "HEX:1F9"): the batch is refused whole, naming the row, its value and
    // why; the device gets no frame at all, not even the channel selection.
    // Mended, the same batch goes out.
    void batchRefusesHalfByteCell()
    {
        WritesBench b({QStringLiteral("--verbose")});
        ParamTableModel &table = b.Session().mainTable;
        const int port = b.MainRow(QStringLiteral("0031"));
        table.SetCell(port, ColHex, QStringLiteral("HEX:1F9"));
        b.ClearMemo();

        b.Action("N4")->trigger();
        QCOMPARE(b.dialogs.messages.size(), 1);
        QCOMPARE(b.dialogs.messages[0].text,
                 QStringLiteral("0031（中心端口）：“HEX:1F9”不是完整的十六进制字节，什么也没有发送"));
        QCOMPARE(b.Memo().filter(QStringLiteral("下行：")), QStringList{});
        QCOMPARE(table.Cell(port, ColHex), QStringLiteral("HEX:1F9"));

        table.SetCell(port, ColHex, QStringLiteral("HEX:1F90"));
        b.Action("N4")->trigger();
        QVERIFY2(b.sim.WaitForLog(QStringLiteral("rx ch1 0031 [1F 90]"), 10000), qPrintable(b.sim.Log()));
        // What the device got: every row once, from the mended batch;
        // nothing from the refused one.
        QCOMPARE(b.sim.Log().count(QStringLiteral("rx ch1 0030 ")), 1);
        QCOMPARE(b.sim.Log().count(QStringLiteral("rx ch1 0031 ")), 1);
        QCOMPARE(b.dialogs.messages.size(), 1);
    }

    // A device that refuses every channel selection: the table it serves is
    // not known, so no read or write exchanges parameters with it; each says
    // so, and each tries the selection again. An edit made before stays
    // listed and blue.
    void refusedSelectionStopsReadsAndWrites()
    {
        WritesBench b({QStringLiteral("--refuse"), QStringLiteral("--only"), QStringLiteral("E050")}, false);
        b.Edit(QStringLiteral("0031"), QStringLiteral("9000"));
        QCOMPARE(b.State().ModifiedParamList.Items(), QStringList{QStringLiteral("0031")});
        b.OpenPort();
        QCOMPARE(b.State().CurrentParamChannel, -1);

        const auto expectRefused = [&b](const char *button, const QString &selection, const QString &line) {
            b.ClearMemo();
            b.Child<QPushButton>(button)->click();
            const QStringList memo = b.Memo();
            QCOMPARE(memo.size(), 3);
            QCOMPARE(memo.value(0), selection); // the only frame sent
            QVERIFY(memo[1].startsWith(QStringLiteral("上行：AA 55 00 04 00 F1")));
            QCOMPARE(memo[2], line);
            QCOMPARE(b.Panel(), line);
            QCOMPARE(b.State().CurrentParamChannel, -1);
        };
        expectRefused("btRead", kSelectMain, kReadNotSwitched);
        expectRefused("btWrite", kSelectMain, kWriteNotSwitched);
        QCOMPARE(b.State().ModifiedParamList.Items(), QStringList{QStringLiteral("0031")});
        QCOMPARE(b.Colour(QStringLiteral("0031")), QVariant(QColor(0, 0, 200)));
        QCOMPARE(b.Session().mainTable.Cell(b.MainRow(QStringLiteral("0031")), ColHex), QStringLiteral("HEX:2328"));

        b.dialogs.answers = {false}; // keep the edit unwritten on leaving the page
        b.Child<QTabWidget>("PageControl1")->setCurrentIndex(3);
        expectRefused("Button16", kSelectExt, kReadNotSwitched);
        QVERIFY(b.dialogs.errors.isEmpty());
    }

};

DTU_TEST_WIDGETS(WindowWritesTest)
#include "tst_window_writes.moc"
