// Comparing the values a device should hold with those it reported: the
// shown texts, the raw hex when those are equal, rows the device left out,
// rows meant to differ, and the summary line.
#include "ops/TableCompare.h"
#include "support/TestMain.h"

using TableCompare::RowValue;

class TableCompareTest : public QObject {
    Q_OBJECT
private slots:
    void differencesAsShownOrRaw()
    {
        const QList<RowValue> file{{"0030", "中心地址", "HEX:31302E302E302E38", "10.0.0.8"},
                                   {"0031", "中心端口", "HEX:1F90", "8080"},
                                   {"0041", "信号门限", "HEX:41200000", "10.000"},
                                   {"0091", "设备编号", "HEX:44545530303031", "DTU0001"},
                                   {"0100", "接口类型", "HEX:01", "RS485"}};
        // The device: 0030 in other letter case (the same value), 0031
        // changed, 0041 a hair above 10 shown alike, 0091 its own, 0100 not
        // reported (a read leaves its cells empty).
        const QList<RowValue> device{{"0030", "中心地址", "HEX:31302e302e302e38", "10.0.0.8"},
                                     {"0031", "中心端口", "HEX:2328", "9000"},
                                     {"0041", "信号门限", "HEX:41200001", "10.000"},
                                     {"0091", "设备编号", "HEX:44545530303032", "DTU0002"},
                                     {"0100", "接口类型", "", ""}};
        TableCompare::Outcome outcome;
        TableCompare::Compare(file, device, {"0091"}, &outcome);
        QCOMPARE(outcome.compared, 4);
        QCOMPARE(outcome.ignored, 1);
        QStringList lines;
        for (const TableCompare::Difference &d : outcome.differences)
            lines << TableCompare::Line(d);
        QCOMPARE(lines, (QStringList{"0031\t中心端口\t8080\t9000", "0041\t信号门限\tHEX:41200000\tHEX:41200001",
                                     "0100\t接口类型\tRS485\t(设备未报告)"}));
        QCOMPARE(TableCompare::Summary(outcome), QStringLiteral("比较了4行，其中3行不同（忽略1行）"));

        // A row missing from the device's table altogether is not reported either;
        // outcomes add up over tables.
        TableCompare::Compare({{"0102", "轮询周期", "HEX:000A", "10秒"}}, {}, {}, &outcome);
        QCOMPARE(outcome.differences.last().actual, TableCompare::kNotReported);
        QCOMPARE(TableCompare::Summary(outcome), QStringLiteral("比较了5行，其中4行不同（忽略1行）"));

        TableCompare::Outcome same;
        TableCompare::Compare(file.mid(0, 2), file.mid(0, 2), {}, &same);
        QCOMPARE(TableCompare::Summary(same), QStringLiteral("比较了2行，没有差异"));
    }

    // The rows of the device the expected values do not list were never
    // compared: counted, and said, so that a file of another profile does
    // not pass for a match. Rows meant to differ are not counted.
    void rowsTheFileLacks()
    {
        const QList<RowValue> file{{"0031", "中心端口", "HEX:1F90", "8080"}, {"0777", "别的", "HEX:01", "1"}};
        const QList<RowValue> device{{"0030", "中心地址", "HEX:31", "1"},
                                     {"0031", "中心端口", "HEX:1F90", "8080"},
                                     {"0091", "设备编号", "HEX:44", "D"},
                                     {"0100", "接口类型", "HEX:01", "RS485"}};
        TableCompare::Outcome outcome;
        TableCompare::Compare(file, device, {"0091"}, &outcome);
        TableCompare::CountUnlisted(file, device, {"0091"}, &outcome);
        QCOMPARE(outcome.unlisted, 2); // 0030, 0100
        QCOMPARE(TableCompare::Summary(outcome), QStringLiteral("比较了2行，其中1行不同；文件缺少设备的2行，未比较"));
        TableCompare::Outcome none;
        TableCompare::CountUnlisted(device, device, {}, &none);
        QCOMPARE(none.unlisted, 0);
        QCOMPARE(TableCompare::Shared(file, device), 1);
        QCOMPARE(TableCompare::Shared({{"0777", "别的", "HEX:01", "1"}}, device), 0);
        QCOMPARE(TableCompare::Shared({{"0031", "x", "", ""}}, {{"0031", "y", "", ""}}), 1);
    }
};

DTU_TEST_GUILESS(TableCompareTest)
#include "tst_table_compare.moc"
