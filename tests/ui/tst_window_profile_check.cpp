// 文件操作 › 检查参数文件...: the load's note, the list, and a finding picked.
#include "support/TestMain.h"
#include "support/WindowFixture.h"

#include <QListWidget>
#include <QTabWidget>

class WindowProfileCheckTest : public QObject {
    Q_OBJECT
private slots:
    void findingsListedAndPicked()
    {
        WindowFixture w;
        // 0052 numbered 0051 as well; two choices of 0102 with one code.
        w.ws.Write(QStringLiteral("example_profile.txt"),
                   w.ws.Read(QStringLiteral("example_profile.txt")).replace("\"CMDID\": \"0052\"", "\"CMDID\": \"0051\""));
        w.ws.Write(QStringLiteral("example_ext.txt"), w.ws.Read(QStringLiteral("example_ext.txt")).replace("001E", "000A"));
        w.ws.RememberProfile(QStringLiteral("example_profile.txt"));
        w.Show();
        QCOMPARE(w.Session().mainTable.Count(), 14); // loaded all the same
        QCOMPARE(w.Panel(), QStringLiteral("参数文件有2处错误，文件操作 › 检查参数文件... 列出它们"));

        w.Action("CheckProfile")->trigger();
        auto *list = w.Child<QListWidget>("CheckFindings");
        QVERIFY(list && list->isVisible());
        QCOMPARE(list->count(), 2);
        QVERIFY2(list->item(0)->text().contains(QStringLiteral("0051")), qPrintable(list->item(0)->text()));

        auto *pages = w.Child<QTabWidget>("PageControl1");
        list->setCurrentRow(1);
        QCOMPARE(pages->currentIndex(), 3);
        QCOMPARE(w.Session().extTable.CurrentRow(), 3);
        list->setCurrentRow(0);
        QCOMPARE(pages->currentIndex(), 0);
        QCOMPARE(w.Session().mainTable.CurrentRow(), 12);
    }
};

DTU_TEST_WIDGETS(WindowProfileCheckTest)
#include "tst_window_profile_check.moc"
