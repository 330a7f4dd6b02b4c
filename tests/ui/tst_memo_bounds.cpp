// The window's memos keep a bounded history: a device that chatters for
// hours, or a long repeated send, cannot grow them without end.
#include "support/ScriptedDialogs.h"
#include "support/TestPaths.h"

#include "session/DtuSession.h"
#include "core/Frontend.h"
#include "ui/MainWindow.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QtTest>

class MemoBoundsTest : public QObject {
    Q_OBJECT
private slots:
    void memosKeepTheLast10000Lines()
    {
        QTemporaryDir dir;
        QFile::copy(TestPaths::Example(QStringLiteral("script.js")), dir.filePath(QStringLiteral("script.js")));
        const QString oldCwd = QDir::currentPath();
        QDir::setCurrent(dir.path());
        ScriptedDialogs dialogs;
        {
            TForm1 window(dialogs);
            Frontend &fe = window.session().frontend();
            constexpr int kLines = 12000;
            for (int i = 0; i < kLines; ++i) {
                const QString line = QStringLiteral("第%1行").arg(i);
                fe.AppendMemo(line);
                fe.AppendTransparent(line);
                fe.AppendControlMemo(line);
            }
            for (const char *name : {"Memo1", "Memo2", "Memo4"}) {
                auto *memo = window.findChild<QPlainTextEdit *>(QLatin1String(name));
                QVERIFY2(memo, name);
                QCOMPARE(memo->maximumBlockCount(), 10000);
                QCOMPARE(memo->blockCount(), 10000);
                // The oldest lines went; the newest is the last one.
                const QString text = memo->toPlainText();
                QVERIFY(text.endsWith(QStringLiteral("第%1行").arg(kLines - 1)));
                QVERIFY(!text.contains(QStringLiteral("第1999行")));
            }
        }
        QDir::setCurrent(oldCwd);
    }
};

QTEST_MAIN(MemoBoundsTest)
#include "tst_memo_bounds.moc"
