// The window's memos keep a bounded history: a device that chatters for
// hours, or a long repeated send, cannot grow them without end.
#include "support/TestMain.h"
#include "support/WindowFixture.h"

#include "core/Frontend.h"

class MemoBoundsTest : public QObject {
    Q_OBJECT
private slots:
    void memosKeepTheLast10000Lines()
    {
        WindowFixture w(WorkFolder::kScript);
        w.Create();
        Frontend &fe = w.Session().frontend();
        constexpr int kLines = 12000;
        for (int i = 0; i < kLines; ++i) {
            const QString line = QStringLiteral("第%1行").arg(i);
            fe.AppendMemo(line);
            fe.AppendTransparent(line);
            fe.AppendControlMemo(line);
        }
        for (const char *name : {"Memo1", "Memo2", "Memo4"}) {
            auto *memo = w.Child<QPlainTextEdit>(name);
            QVERIFY2(memo, name);
            QCOMPARE(memo->maximumBlockCount(), 10000);
            QCOMPARE(memo->blockCount(), 10000);
            // The oldest lines went; the newest is the last one.
            const QString text = memo->toPlainText();
            QVERIFY(text.endsWith(QStringLiteral("第%1行").arg(kLines - 1)));
            QVERIFY(!text.contains(QStringLiteral("第1999行")));
        }
    }
};

DTU_TEST_WIDGETS(MemoBoundsTest)
#include "tst_memo_bounds.moc"
