// The one write loop, its progress and its stop: one table of runs over
// both tables (a batch, as every run goes through the same loop), each
// with what was sent, what was not reached, the last line, the progress
// the front end was given and what stays listed for the next "设置".
#include "core/DtuError.h"
#include "ops/ParamFile.h"
#include "ops/ParamWriter.h"
#include "session/ActionScope.h"
#include "support/TestMain.h"
#include "support/VirtualRig.h"

#include <QTest>

namespace {

// How a run is disturbed. `at` counts frames from 1, or the rows done when
// the stop is asked for.
enum class Fault {
    None,
    StopAt,           // 停止 while row `at` waits for its answer
    StaleStop,        // a stop asked for before the run began
    ClosesAt,         // the channel closes as frame `at` goes out, unanswered
    ClosesInReplyAt,  // half of frame `at`'s answer, then the channel closes
    ThrowsAt,         // writing frame `at` fails with an error
    Closing,          // the window closes during the first row
    Silent,           // the device answers the table selection, nothing else
    RefusesThenSilent // it refuses the first row, then says nothing
};

// Main table: 0030 甲, 0091 编号 (the device number), 0031 乙, on channel 1
// where the device is; extended table 0100 丙, 0101 丁 (no value) on
// channel 0. Every numbered row is listed as edited.
void BothTables(VirtualRig &rig)
{
    rig.Main(TestRow(QString(), QStringLiteral("组")))
        .Main(TestRow("0030", "甲").Hex("HEX:31").Value("1"))
        .Main(TestRow("0091", "编号").Hex("HEX:01"))
        .Main(TestRow("0031", "乙").Hex("HEX:0203").Value("515"))
        .Ext(TestRow("0100", "丙").Hex("HEX:05"))
        .Ext(TestRow("0101", "丁").Hex("HEX:"));
    rig.session.state.ExtPageVisible = true;
    for (const char *number : {"0030", "0091", "0031", "0100", "0101"})
        rig.Edit(QLatin1String(number));
}

QStringList Progress(const QList<WriteRunStatus> &runs)
{
    QStringList shown;
    for (const WriteRunStatus &s : runs)
        shown << (s.running ? QStringLiteral("%1/%2 %3").arg(s.done).arg(s.total).arg(s.currentName)
                            : QStringLiteral("%1/%2").arg(s.done).arg(s.total));
    return shown;
}

} // namespace

Q_DECLARE_METATYPE(Fault)

class WriteLoopTest : public QObject {
    Q_OBJECT
private slots:
    void runs_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("at");
        QTest::addColumn<bool>("giveUp"); // a fleet device: given up when silent from its first row
        QTest::addColumn<QStringList>("sent"); // command words, table selections (E050) included
        QTest::addColumn<QStringList>("notReached");
        QTest::addColumn<QString>("last"); // the memo's last line
        QTest::addColumn<QStringList>("progress");
        const QString ok = QStringLiteral("[参数设置成功]");
        const QStringList all{"0030", "0031", "E050", "0100", "0101"};
        const QStringList allProgress{"0/4 甲", "1/4 乙", "2/4 丙", "3/4 丁", "4/4"};
        const QStringList rest{"0031", "0100", "0101"};
        using L = QStringList;

        QTest::newRow("level 0: every row but the device number")
            << 0 << Fault::None << 0 << false << all << L{} << ok << allProgress;
        QTest::newRow("level 2: the device number too")
            << 2 << Fault::None << 0 << false << L{"0030", "0091", "0031", "E050", "0100", "0101"} << L{} << ok
            << L{"0/5 甲", "1/5 编号", "2/5 乙", "3/5 丙", "4/5 丁", "5/5"};
        QTest::newRow("stopped during the first row")
            << 0 << Fault::StopAt << 0 << false << L{"0030"} << rest
            << QStringLiteral("[参数设置已停止，已写入1个参数，3个参数未写入！]") << L{"0/4 甲", "1/4"};
        QTest::newRow("stopped in the extended table")
            << 0 << Fault::StopAt << 2 << false << L{"0030", "0031", "E050", "0100"} << L{"0101"}
            << QStringLiteral("[参数设置已停止，已写入3个参数，1个参数未写入！]") << L{"0/4 甲", "1/4 乙", "2/4 丙", "3/4"};
        QTest::newRow("a stop left from before is forgotten")
            << 0 << Fault::StaleStop << 0 << false << all << L{} << ok << allProgress;
        // The row that lost the channel waits out its answer; no row after it
        // is tried (each would wait as long for nothing).
        QTest::newRow("channel gone from the first row")
            << 0 << Fault::ClosesAt << 1 << false << L{"0030"} << rest
            << QStringLiteral("[参数设置失败，数据通道已关闭，3个参数未写入！]") << L{"0/4 甲", "1/4"};
        QTest::newRow("channel gone during an answer")
            << 0 << Fault::ClosesInReplyAt << 2 << false << L{"0030", "0031"} << L{"0100", "0101"}
            << QStringLiteral("[参数设置失败，数据通道已关闭，2个参数未写入！]") << L{"0/4 甲", "1/4 乙", "2/4"};
        QTest::newRow("channel gone at the last row")
            << 0 << Fault::ClosesAt << 5 << false << all << L{} << QStringLiteral("[参数设置失败，设备无响应！]")
            << allProgress;
        // The error ends the run where it is; the window shows it, and every
        // edit stays listed.
        QTest::newRow("a write that fails with an error")
            << 0 << Fault::ThrowsAt << 2 << false << L{"0030", "0031"} << L{} << QStringLiteral("设置参数：乙=515")
            << L{"0/4 甲", "1/4 乙", "2/4"};
        QTest::newRow("the window closing")
            << 0 << Fault::Closing << 0 << false << L{"0030"} << rest << QStringLiteral("[参数设置失败，设备无响应！]")
            << L{"0/4 甲", "1/4"};
        QTest::newRow("a fleet device silent from its first row")
            << 0 << Fault::Silent << 0 << true << L{"0030"} << rest
            << QStringLiteral("[参数设置已停止，已写入1个参数，3个参数未写入！]") << L{"0/4 甲", "1/4"};
        QTest::newRow("silent, not a fleet device: every row waited for")
            << 0 << Fault::Silent << 0 << false << all << L{} << QStringLiteral("[参数设置失败，设备无响应！]")
            << allProgress;
        QTest::newRow("a fleet device that answered once is not given up")
            << 0 << Fault::RefusesThenSilent << 0 << true << all << L{}
            << QStringLiteral("[参数设置失败，设备无响应！]") << allProgress;
    }
    void runs()
    {
        QFETCH(int, level);
        QFETCH(Fault, fault);
        QFETCH(int, at);
        QFETCH(bool, giveUp);
        QFETCH(QStringList, notReached);
        VirtualRig rig;
        BothTables(rig);
        rig.session.state.AccessLevel = level;
        const QStringList listed = rig.session.state.ModifiedParamList.Items();
        QStringList hexBefore;
        for (int i = 0; i < rig.session.mainTable.Count(); ++i)
            hexBefore << rig.session.mainTable.Cell(i, ColHex);

        rig.AnswerEveryFrame(fault == Fault::Silent || fault == Fault::RefusesThenSilent ? QByteArray() : TestFrames::kAck,
                             20, TestFrames::kAck);
        if (fault == Fault::RefusesThenSilent)
            rig.next << TestFrames::kRefusal;
        const auto answer = rig.device.responder;
        int frames = 0;
        rig.device.responder = [&](const QByteArray &frame) {
            if (++frames != at || fault == Fault::StopAt)
                return answer(frame);
            if (fault == Fault::ThrowsAt)
                throw DtuError(QStringLiteral("写串口出错"));
            if (fault == Fault::ClosesInReplyAt) {
                rig.device.Schedule(20, TestFrames::kAck.left(5));
                rig.clock.Arm(25, [&rig] { rig.device.open = false; });
                return;
            }
            rig.device.open = false;
        };
        if (fault == Fault::StopAt)
            rig.fe.onRun = [&](const WriteRunStatus &s) {
                if (s.running && s.done == at)
                    rig.session.state.StopRequested = true;
            };
        rig.session.state.StopRequested = fault == Fault::StaleStop;
        if (fault == Fault::Closing)
            rig.clock.onEvents = [&rig] {
                if (rig.clock.NowMs() >= 10)
                    rig.session.state.ClosingFlag = true;
            };

        WriteReport report;
        bool threw = false;
        try {
            // One action, as every front end runs it: a stop lasts as long.
            RunAction(rig.session, [&] { report = ParamFile::BatchWrite(rig.session, ParamFile::BatchTables::Both, giveUp); });
        } catch (const DtuError &) {
            threw = true;
        }
        QCOMPARE(threw, fault == Fault::ThrowsAt);
        QTEST(rig.Words(), "sent");
        QCOMPARE(report.notReached, notReached);
        QCOMPARE(report.withheld, level < 2 && !threw ? QStringList{"0091"} : QStringList());
        QCOMPARE(report.stopped, fault == Fault::StopAt || (fault == Fault::Silent && giveUp));
        QCOMPARE(report.channelLost, !notReached.isEmpty() && (fault == Fault::ClosesAt || fault == Fault::ClosesInReplyAt));
        QTEST(rig.fe.memo.value(rig.fe.memo.size() - 1), "last");
        QTEST(Progress(rig.fe.runs), "progress");
        // Left listed: what was not reached, for the next "设置"; after an
        // error every edit. The values edited stay in their rows, and the
        // next run starts without a stop.
        QCOMPARE(rig.session.state.ModifiedParamList.Items(), threw ? listed : notReached);
        for (int i = 0; i < rig.session.mainTable.Count(); ++i)
            QCOMPARE(rig.session.mainTable.Cell(i, ColHex), hexBefore[i]);
        QVERIFY(!rig.session.state.StopRequested);
        // Only a row whose answer never came waits out the answer's time.
        const int silentRows = fault == Fault::Silent ? int(report.rows.size()) : fault == Fault::RefusesThenSilent ? 3
                             : fault == Fault::ClosesAt ? 1 : 0;
        QVERIFY2(rig.clock.NowMs() < (silentRows + 1) * CommandExchange::kAckTimeoutMs,
                 qPrintable(QString::number(rig.clock.NowMs())));
    }

    // Nothing to send but an edit the level withholds: nothing goes out and
    // the edit is dropped without a word.
    void withheldEditAloneIsDropped()
    {
        VirtualRig rig{};
        rig.Main(TestRow("0091", "编号").Hex("HEX:01"));
        rig.session.state.AccessLevel = 1;
        rig.session.state.ModifiedParamList.Add(QStringLiteral("0091"));
        const WriteReport report = ParamWriter::WritePage(rig.session);
        QCOMPARE(report.withheld, QStringList{"0091"});
        QVERIFY(report.rows.isEmpty() && rig.device.written.isEmpty() && rig.fe.memo.isEmpty());
        QVERIFY(rig.session.state.ModifiedParamList.IsEmpty());
    }

    // A channel closed before the run: one message, nothing sent, every
    // edit kept.
    void closedChannelSendsNothing()
    {
        VirtualRig rig;
        BothTables(rig);
        rig.device.open = false;
        const WriteReport report = ParamFile::BatchWrite(rig.session, ParamFile::BatchTables::Both);
        QVERIFY(!report.channelOpen);
        QVERIFY(rig.device.written.isEmpty());
        QCOMPARE(rig.fe.messages, QStringList{DtuSession::ChannelClosedText()});
        QCOMPARE(rig.session.state.ModifiedParamList.Count(), 5);
    }
};

DTU_TEST_GUILESS(WriteLoopTest)
#include "tst_write_loop.moc"
