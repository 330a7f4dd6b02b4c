// Writing modified parameters: which rows go out, in which order, with which
// bytes, and how each outcome is reported.
#include "core/DtuError.h"
#include "core/WriteRules.h"
#include "ops/ParamWriter.h"
#include "support/TestMain.h"
#include "support/VirtualRig.h"

#include <QTest>

namespace {

using TestFrames::kAck;

// A row named after its number.
TestRow Named(const QString &number, const QString &hex, const QString &value = QStringLiteral("值"))
{
    return TestRow(number, QStringLiteral("名") + number).Hex(hex).Value(value);
}

} // namespace

class ParamWriteTest : public QObject {
    Q_OBJECT
private slots:
    void tableOrderNotEditOrder()
    {
        VirtualRig rig{kAck};
        rig.Main(Named(QStringLiteral("0100"), QStringLiteral("HEX:01")));
        rig.Main(Named(QStringLiteral("0105"), QStringLiteral("HEX:05")));
        rig.Main(Named(QString(), QString())); // heading
        rig.Main(Named(QStringLiteral("0120"), QStringLiteral("HEX:20")));
        rig.Edit(QStringLiteral("0120"));
        rig.Edit(QStringLiteral("0105"));
        ParamWriter::WriteModified(rig.session);
        QCOMPARE(rig.Words(), (QStringList{QStringLiteral("0105"), QStringLiteral("0120")}));
        QVERIFY(rig.session.state.ModifiedParamList.IsEmpty());
        QCOMPARE(rig.session.mainTable.CurrentRow(), 3); // the last row written is selected
        QCOMPARE(rig.fe.memo, (QStringList{QStringLiteral("设置参数：名0105=值"), QStringLiteral("[参数设置成功]"),
                                           QStringLiteral("设置参数：名0120=值"), QStringLiteral("[参数设置成功]")}));
        // A successful write leaves the row as it was.
        QCOMPARE(rig.session.mainTable.Cell(1, ColHex), QStringLiteral("HEX:05"));
        QCOMPARE(rig.session.mainTable.Cell(1, ColValue), QStringLiteral("值"));
    }

    void frameBytes_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("two bytes") << "0030" << "HEX:3132" << Bytes("AA 55 00 06 00 30 31 32 00 99");
        QTest::newRow("no digits") << "0030" << "HEX:" << Bytes("AA 55 00 04 00 30 00 34");
        QTest::newRow("odd digit dropped") << "0030" << "HEX:123" << Bytes("AA 55 00 05 00 30 12 00 47");
        QTest::newRow("lower-case number") << "00f0" << "HEX:01" << Bytes("AA 55 00 05 00 F0 01 00 F6");
    }
    void frameBytes()
    {
        QFETCH(QString, number);
        QFETCH(QString, hex);
        VirtualRig rig{kAck};
        rig.Main(Named(number, hex));
        rig.Edit(number.toUpper()); // the list ignores letter case
        ParamWriter::WriteModified(rig.session);
        QCOMPARE(rig.device.written.size(), 1);
        QTEST(rig.device.written[0], "frame");
    }

    // A parameter number is the same number in either letter case: in the
    // modified list, when a row is looked up, and in the frame written.
    void numbersInAnyLetterCase()
    {
        VirtualRig rig{kAck};
        rig.Main(Named(QStringLiteral("00a1"), QStringLiteral("HEX:05")));
        rig.Main(Named(QStringLiteral("00B2"), QStringLiteral("HEX:06")));
        ModifiedList &list = rig.session.state.ModifiedParamList;
        rig.Edit(QStringLiteral("00A1"));
        rig.Edit(QStringLiteral("00a1"));
        rig.Edit(QStringLiteral("00b2"));
        QCOMPARE(list.Count(), 2);
        QVERIFY(list.Contains(QStringLiteral("00a1")) && list.Contains(QStringLiteral("00A1")));
        QVERIFY(list.Contains(QStringLiteral("00B2")));
        QVERIFY(!list.Contains(QStringLiteral("00C3")));
        QCOMPARE(rig.session.mainTable.FindByNumber(QStringLiteral("00A1")), 0);
        QCOMPARE(rig.session.mainTable.FindByNumber(QStringLiteral("00b2")), 1);
        QCOMPARE(rig.session.mainTable.FindByNumberFromSecond(QStringLiteral("00A1")), 0);

        ParamWriter::WriteModified(rig.session);
        QCOMPARE(rig.device.written, (QList<QByteArray>{Bytes("AA 55 00 05 00 A1 05 00 AB"),
                                                      Bytes("AA 55 00 05 00 B2 06 00 BD")}));
        QVERIFY(list.IsEmpty());
        QCOMPARE(ParamWriter::SetParameter(rig.session, rig.session.mainTable, QStringLiteral("00A1")).result, 0);
        QCOMPARE(rig.device.written.last(), Bytes("AA 55 00 05 00 A1 05 00 AB"));
    }

    void outcomes_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("clears");
        QTest::newRow("accepted") << kAck << 0 << "[参数设置成功]" << 0;
        QTest::newRow("refused") << Bytes("AA 55 00 04 00 F1 00 F5") << -1 << "[参数设置失败]" << 0;
        QTest::newRow("silent") << QByteArray() << -2 << "[参数设置失败，设备无响应！]" << 0;
        QTest::newRow("not an ack") << Bytes("AA 55 00 05 00 F0 01 00 F6") << -2 << "[参数设置失败，设备无响应！]"
                                    << 0;
        QTest::newRow("not a frame") << Bytes("55 AA 00 04 00 F0 00 F4") << -3 << "[参数设置失败，输入了非法内容！]"
                                     << 1;
        QTest::newRow("bad checksum") << Bytes("AA 55 00 04 00 F0 00 F5") << -4
                                      << "[参数设置失败，返回帧校验错误！]" << 0;
    }
    void outcomes()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, result);
        QFETCH(QString, text);
        QFETCH(int, clears);
        VirtualRig rig{kAck};
        rig.Main(Named(QStringLiteral("0030"), QStringLiteral("HEX:31"), QStringLiteral("1")));
        rig.Main(Named(QStringLiteral("0031"), QStringLiteral("HEX:32")));
        rig.next << reply;
        QCOMPARE(ParamWriter::SetParameter(rig.session, rig.session.mainTable, QStringLiteral("0030")).result, result);
        QCOMPARE(rig.fe.resultPanel, text);
        QCOMPARE(rig.fe.memo, (QStringList{QStringLiteral("设置参数：名0030=1"), text}));

        // Through a run: a failed row does not stop the next one, and the
        // showing editor is emptied only for a reply that is no frame.
        rig.fe.memo.clear();
        rig.next << reply;
        rig.Edit(QStringLiteral("0030"));
        rig.Edit(QStringLiteral("0031"));
        ParamWriter::WriteModified(rig.session);
        QCOMPARE(rig.fe.memo.size(), 4);
        QCOMPARE(rig.fe.memo[1], text);
        QCOMPARE(rig.fe.memo[3], QStringLiteral("[参数设置成功]"));
        QCOMPARE(rig.fe.clearEditorsCalls, clears);
        QVERIFY(rig.session.state.ModifiedParamList.IsEmpty());
    }

    void emptyValueLine()
    {
        VirtualRig rig{kAck};
        rig.Main(Named(QStringLiteral("0030"), QStringLiteral("HEX:"), QString()));
        ParamWriter::SetParameter(rig.session, rig.session.mainTable, QStringLiteral("0030"));
        QCOMPARE(rig.fe.memo.first(), QStringLiteral("设置参数：名0030=(空)"));
    }

    void sharedNumberTakesRowAfterFirst()
    {
        VirtualRig rig{kAck};
        rig.Main(Named(QStringLiteral("0030"), QStringLiteral("HEX:AA")));
        rig.Main(Named(QStringLiteral("0031"), QStringLiteral("HEX:31")));
        rig.Main(Named(QStringLiteral("0030"), QStringLiteral("HEX:BB")));
        ParamWriter::SetParameter(rig.session, rig.session.mainTable, QStringLiteral("0030"));
        QCOMPARE(rig.device.written.last().mid(6, 1), Bytes("BB"));
        // A number only the first row has is found by wrapping round.
        rig.session.mainTable.SetCell(2, ColNumber, QStringLiteral("0032"));
        ParamWriter::SetParameter(rig.session, rig.session.mainTable, QStringLiteral("0030"));
        QCOMPARE(rig.device.written.last().mid(6, 1), Bytes("AA"));
    }

    // What every option, inventory column and profile check takes for a
    // row's number.
    void parameterNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        QTest::newRow("digits") << "0091" << true;
        QTest::newRow("either case") << "00aF" << true;
        QTest::newRow("three digits") << "091" << false;
        QTest::newRow("five digits") << "00911" << false;
        QTest::newRow("not hex") << "00G1" << false;
        QTest::newRow("a line end after it") << "0091\n" << false;
        QTest::newRow("full-width digits") << "００９１" << false;
    }
    void parameterNumbers()
    {
        QFETCH(QString, text);
        QTEST(WriteRules::IsParamNumber(text), "number");
    }

    void protectedRow_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("level 0") << 0 << QStringList{"0030"};
        QTest::newRow("level 1") << 1 << QStringList{"0030"};
        QTest::newRow("level 2") << 2 << QStringList{"0030", "0091"};
    }
    void protectedRow()
    {
        QFETCH(int, level);
        VirtualRig rig{kAck};
        rig.session.state.AccessLevel = level;
        rig.Main(Named(QStringLiteral("0030"), QStringLiteral("HEX:01")));
        rig.Main(Named(QStringLiteral("0091"), QStringLiteral("HEX:02")));
        rig.Edit(QStringLiteral("0091"));
        rig.Edit(QStringLiteral("0030"));
        ParamWriter::WriteModified(rig.session);
        QTEST(rig.Words(), "words");
        QVERIFY(rig.session.state.ModifiedParamList.IsEmpty());
    }

    void listLifetime()
    {
        {   // empty list: nothing sent, nothing shown
            VirtualRig rig{kAck};
            rig.Main(Named(QStringLiteral("0030"), QStringLiteral("HEX:01")));
            ParamWriter::WriteModified(rig.session);
            QVERIFY(rig.device.written.isEmpty());
            QVERIFY(rig.fe.memo.isEmpty() && rig.fe.messages.isEmpty() && rig.fe.resultPanel.isEmpty());
        }
        // No table active (the device did not confirm a selection, or serves
        // a channel of no table): nothing sent, and rather than dropping the
        // edits silently the run keeps them and says why.
        for (const int current : {-1, 5}) {
            VirtualRig rig{kAck};
            rig.Main(Named(QStringLiteral("0030"), QStringLiteral("HEX:01")));
            rig.Edit(QStringLiteral("0030"));
            rig.session.state.CurrentParamChannel = current;
            ParamWriter::WriteModified(rig.session);
            QVERIFY(rig.device.written.isEmpty());
            QCOMPARE(rig.session.state.ModifiedParamList.Items(), QStringList{QStringLiteral("0030")});
            QCOMPARE(rig.fe.memo, QStringList{QStringLiteral("[参数设置失败，设备未切换参数表！]")});
            QCOMPARE(rig.fe.resultPanel, QStringLiteral("[参数设置失败，设备未切换参数表！]"));
            // With nothing listed there is nothing to say.
            rig.session.state.ModifiedParamList.Clear();
            rig.fe.memo.clear();
            ParamWriter::WriteModified(rig.session);
            QVERIFY(rig.fe.memo.isEmpty() && rig.device.written.isEmpty());
        }
        {   // channel closed: message, list kept; the next click writes it
            VirtualRig rig{kAck};
            rig.Main(Named(QStringLiteral("0030"), QStringLiteral("HEX:01")));
            rig.Edit(QStringLiteral("0030"));
            rig.device.open = false;
            ParamWriter::WriteModified(rig.session);
            QCOMPARE(rig.fe.messages, QStringList{DtuSession::ChannelClosedText()});
            QCOMPARE(rig.session.state.ModifiedParamList.Count(), 1);
            rig.device.open = true;
            ParamWriter::WriteModified(rig.session);
            QCOMPARE(rig.Words(), QStringList{QStringLiteral("0030")});
            QVERIFY(rig.session.state.ModifiedParamList.IsEmpty());
        }
        {   // a script error ends the run before sending and keeps the edits
            VirtualRig rig{kAck};
            rig.session.script.Eval(QStringLiteral("function PrevCmd() { throw new Error('坏'); }"));
            rig.Main(Named(QStringLiteral("0030"), QStringLiteral("HEX:01")));
            rig.Edit(QStringLiteral("0030"));
            QVERIFY_THROWS_EXCEPTION(DtuError, ParamWriter::WriteModified(rig.session));
            QVERIFY(rig.device.written.isEmpty());
            QCOMPARE(rig.session.state.ModifiedParamList.Count(), 1);
        }
    }

    // "设置" on each page at each remembered channel, with the interface page
    // shown and one edit listed in each table (main 0030 on channel 1,
    // extended 0100). A page's button first puts the device on its table when
    // the device serves none (main page) or another one (extended page); a
    // selection the device refuses writes nothing and keeps both edits.
    void writeAtEachChannel_data()
    {
        QTest::addColumn<bool>("extPage");
        QTest::addColumn<int>("current");
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<QList<QByteArray>>("sent");
        QTest::addColumn<int>("currentAfter");
        QTest::addColumn<QStringList>("listAfter");
        const QByteArray select0 = Bytes("AA 55 00 05 E0 50 00 01 35");
        const QByteArray select1 = Bytes("AA 55 00 05 E0 50 01 01 36");
        const QByteArray write30 = Bytes("AA 55 00 05 00 30 11 00 46");
        const QByteArray write100 = Bytes("AA 55 00 05 01 00 22 00 28");
        const QStringList both{QStringLiteral("0030"), QStringLiteral("0100")};
        using L = QList<QByteArray>;
        QTest::newRow("main page, main channel") << false << 1 << false << L{write30} << 1 << QStringList();
        QTest::newRow("main page, channel 0") << false << 0 << false << L{write100} << 0 << QStringList();
        QTest::newRow("main page, unknown") << false << -1 << false << L{select1, write30} << 1 << QStringList();
        QTest::newRow("main page, channel 5") << false << 5 << false << L{select1, write30} << 1 << QStringList();
        QTest::newRow("ext page, main channel") << true << 1 << false << L{select0, write100} << 0 << QStringList();
        QTest::newRow("ext page, channel 0") << true << 0 << false << L{write100} << 0 << QStringList();
        QTest::newRow("ext page, unknown") << true << -1 << false << L{select0, write100} << 0 << QStringList();
        QTest::newRow("ext page, channel 5") << true << 5 << false << L{select0, write100} << 0 << QStringList();
        QTest::newRow("main page, unknown, refused") << false << -1 << true << L{select1} << -1 << both;
        QTest::newRow("ext page, main channel, refused") << true << 1 << true << L{select0} << -1 << both;
    }
    void writeAtEachChannel()
    {
        QFETCH(bool, extPage);
        QFETCH(int, current);
        QFETCH(bool, refuse);
        QFETCH(QList<QByteArray>, sent);
        QFETCH(int, currentAfter);
        QFETCH(QStringList, listAfter);
        VirtualRig rig{kAck};
        rig.session.state.ExtPageVisible = true;
        rig.Main(Named(QStringLiteral("0030"), QStringLiteral("HEX:11")));
        rig.Ext(Named(QStringLiteral("0100"), QStringLiteral("HEX:22")));
        rig.session.state.CurrentParamChannel = current;
        rig.Edit(QStringLiteral("0030"));
        rig.Edit(QStringLiteral("0100"));
        if (refuse)
            rig.next << Bytes("AA 55 00 04 00 F1 00 F5");
        ParamWriter::WritePage(rig.session, extPage ? Page::Extended : Page::Main);
        QCOMPARE(rig.device.written, sent);
        QCOMPARE(rig.session.state.CurrentParamChannel, currentAfter);
        QCOMPARE(rig.session.state.ModifiedParamList.Items(), listAfter);
        QCOMPARE(rig.fe.memo.last(), refuse ? QStringLiteral("[参数设置失败，设备未切换参数表！]")
                                            : QStringLiteral("[参数设置成功]"));
        // The rows keep the values that were to be sent.
        QCOMPARE(rig.session.mainTable.Cell(0, ColHex), QStringLiteral("HEX:11"));
        QCOMPARE(rig.session.extTable.Cell(0, ColHex), QStringLiteral("HEX:22"));
    }

    void emptyListSendsNoSelection()
    {
        VirtualRig rig{kAck};
        rig.session.state.ExtPageVisible = true;
        rig.Main(Named(QStringLiteral("0030"), QStringLiteral("HEX:11")));
        rig.session.state.CurrentParamChannel = -1;
        ParamWriter::WritePage(rig.session);
        ParamWriter::WritePage(rig.session, Page::Extended);
        QVERIFY(rig.device.written.isEmpty());
        QVERIFY(rig.fe.memo.isEmpty() && rig.fe.messages.isEmpty());
        QCOMPARE(rig.session.state.CurrentParamChannel, -1);
    }

    void extendedTable()
    {
        VirtualRig rig{kAck};
        rig.Main(Named(QStringLiteral("0030"), QStringLiteral("HEX:11")));
        rig.Ext(Named(QStringLiteral("0100"), QStringLiteral("HEX:22")));
        rig.session.state.CurrentParamChannel = 0;
        rig.Edit(QStringLiteral("0030"));
        rig.Edit(QStringLiteral("0100"));
        ParamWriter::WriteModified(rig.session);
        QCOMPARE(rig.Words(), QStringList{QStringLiteral("0100")});

        // A main channel of 0 makes both tables count: each writes its own rows.
        VirtualRig both{kAck};
        both.Main(Named(QStringLiteral("0030"), QStringLiteral("HEX:11")));
        both.Ext(Named(QStringLiteral("0100"), QStringLiteral("HEX:22")));
        both.session.state.MainParamChannel = 0;
        both.session.state.CurrentParamChannel = 0;
        both.Edit(QStringLiteral("0100"));
        both.Edit(QStringLiteral("0030"));
        ParamWriter::WriteModified(both.session);
        QCOMPARE(both.Words(), (QStringList{QStringLiteral("0030"), QStringLiteral("0100")}));
        QCOMPARE(both.device.written[1].mid(6, 1), Bytes("22"));
    }
};

DTU_TEST_GUILESS(ParamWriteTest)
#include "tst_param_write.moc"
