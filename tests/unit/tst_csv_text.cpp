// A cell of the CSV files the tool writes for people: quoted where a
// spreadsheet would split it, and never taken for a formula.
#include "support/TestMain.h"
#include "core/CsvText.h"

#include <QTest>

class CsvTextTest : public QObject {
    Q_OBJECT
private slots:
    void cell_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cell");
        QTest::newRow("plain") << "中心端口" << "中心端口";
        QTest::newRow("comma") << "b,c" << "\"b,c\"";
        QTest::newRow("formula, quoted") << "=HYPERLINK(\"x\")" << "\"'=HYPERLINK(\"\"x\"\")\"";
        QTest::newRow("at sign") << "@SUM(A1)" << "'@SUM(A1)";
        QTest::newRow("tab first") << "\t1" << "'\t1";
        QTest::newRow("carriage return first") << "\rx" << "\"'\rx\"";
        QTest::newRow("plus, not a number") << "+1+2" << "'+1+2";
        QTest::newRow("minus alone") << "-" << "'-";
        QTest::newRow("negative number") << "-1.5" << "-1.5";
        QTest::newRow("signed number") << "+86" << "+86";
        QTest::newRow("not first") << "a=b-c" << "a=b-c";
    }
    void cell()
    {
        QFETCH(QString, text);
        QTEST(CsvText::Cell(text), "cell");
    }
};

DTU_TEST_GUILESS(CsvTextTest)
#include "tst_csv_text.moc"
