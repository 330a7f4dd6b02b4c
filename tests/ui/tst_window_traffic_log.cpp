// Saving the traffic log through the window, and the "记录时间" switch.
#include "support/SimWindow.h"
#include "support/TestMain.h"

#include <QCoreApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>

class WindowTrafficLogTest : public QObject {
    Q_OBJECT
private slots:
    // The three displays go into one UTF-8 file under their titles, after a
    // header naming the date, the tool's version, the profile and the port.
    void savesThreeSectionsWithHeader()
    {
        QCoreApplication::setApplicationVersion(QStringLiteral("9.8.7"));
        SimWindow w({});
        w.Child<QPushButton>("Button9")->click(); // a control-mode line
        w.Child<QPlainTextEdit>("Memo2")->appendPlainText(QStringLiteral("收到：hello 你好"));
        const QString path = w.ws.Path(QStringLiteral("log.txt"));
        w.dialogs.files = {path};
        const QStringList memo = w.Memo();
        w.Action("SaveTrafficLog")->trigger();
        QVERIFY(w.dialogs.errors.isEmpty());

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString log = QString::fromUtf8(file.readAll());
        const QStringList lines = log.split(QLatin1Char('\n'));
        QVERIFY2(QRegularExpression(QStringLiteral("^日期：\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                     .match(lines.value(1))
                     .hasMatch(),
                 qPrintable(log));
        QCOMPARE(lines.value(2), QStringLiteral("程序版本：dtuconfig 9.8.7"));
        QCOMPARE(lines.value(3), QStringLiteral("参数文件：") + w.Session().profilePath);
        QCOMPARE(lines.value(4), QStringLiteral("串口：%1，波特率=57600，数据格式=8N1，%1打开成功,BaudRate=57600,参数=8N1")
                                     .arg(w.sim.Pty()));
        const qsizetype traffic = lines.indexOf(QStringLiteral("==== 通信记录 ===="));
        const qsizetype control = lines.indexOf(QStringLiteral("==== 控制模式显示 ===="));
        const qsizetype transparent = lines.indexOf(QStringLiteral("==== 透明传输对话 ===="));
        QVERIFY2(traffic > 4 && control > traffic && transparent > control, qPrintable(log));
        QCOMPARE(lines.mid(traffic + 1, control - traffic - 2), memo);
        QVERIFY(lines.mid(traffic + 1).contains(QStringLiteral("下行：AA 55 00 04 E0 04 00 E8 ")));
        QCOMPARE(lines.value(control + 1), QStringLiteral("DTU状态=5,在线状态，已登录到数据中心"));
        QCOMPARE(lines.value(transparent + 1), QStringLiteral("收到：hello 你好"));
        QCOMPARE(w.Memo().last(), QStringLiteral("通信记录已保存到") + path);

        // Cancelling the file dialog writes nothing.
        QVERIFY(QFile::remove(path));
        w.Action("SaveTrafficLog")->trigger();
        QVERIFY(!QFile::exists(path));
    }

    // With "记录时间" on, every new traffic line starts with the time; the
    // choice is remembered for the next window.
    void stampsNewLinesAndIsRemembered()
    {
        {
            SimWindow w({});
            QVERIFY(!w.Action("StampMemoLines")->isChecked());
            w.Action("StampMemoLines")->setChecked(true);
            w.ClearMemo();
            w.Child<QPushButton>("Button9")->click();
            const QStringList memo = w.Memo();
            QVERIFY(!memo.isEmpty());
            const QRegularExpression stamped(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3} (下行|上行)："));
            for (const QString &line : memo)
                QVERIFY2(stamped.match(line).hasMatch(), qPrintable(line));
        }
        WindowFixture again;
        again.Show();
        QVERIFY(again.Action("StampMemoLines")->isChecked());
    }
};

DTU_TEST_WIDGETS(WindowTrafficLogTest)
#include "tst_window_traffic_log.moc"
