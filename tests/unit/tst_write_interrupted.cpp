// A write run whose channel goes away half-way: no edited value is lost from
// its row, every row that was tried has its outcome in the memo, and the run
// stops at the first row that finds the channel closed, keeping the rows it
// did not reach listed and saying how many they are.
#include "core/DtuError.h"
#include "session/DtuSession.h"
#include "params/ParamTableModel.h"
#include "ops/ParamWriter.h"
#include "support/Frames.h"
#include "support/ParamRows.h"
#include "support/RecordingFrontend.h"
#include "support/ScriptedTransport.h"
#include "support/TestPaths.h"
#include "support/VirtualClock.h"
#include "support/TestMain.h"

#include <QColor>
#include <QTest>

namespace {

using TestFrames::kAck;

// A port that fails at its n-th write: it closes (the cable came out, the
// TCP peer went away) or rejects the write with an error.
class FailingPort : public ScriptedTransport {
public:
    enum class How { Closes, Throws, ClosesMidReply };
    FailingPort(Scheduler &clock, int failAt, How how)
        : ScriptedTransport(clock), failAt_(failAt), how_(how) {}
    void Write(const QByteArray &bytes) override
    {
        if (!open)
            return;
        if (++writes_ == failAt_) {
            if (how_ == How::Throws)
                throw DtuError(QStringLiteral("写串口出错"));
            if (how_ == How::Closes) {
                open = false;
                return;
            }
            Schedule(20, kAck.left(5)); // half a reply, then the line drops
            closeAfterRead_ = true;
            return;
        }
        ScriptedTransport::Write(bytes);
    }
    QByteArray ReadAvailable() override
    {
        const QByteArray out = ScriptedTransport::ReadAvailable();
        if (closeAfterRead_ && !out.isEmpty())
            open = false;
        return out;
    }

private:
    bool closeAfterRead_ = false;
    int failAt_;
    How how_;
    int writes_ = 0;
};

struct Edit {
    QString number, hex, value;
};
const QList<Edit> kEdits = {
    {QStringLiteral("0030"), QStringLiteral("HEX:31302E302E302E39"), QStringLiteral("10.0.0.9")},
    {QStringLiteral("0031"), QStringLiteral("HEX:1F91"), QStringLiteral("8081")},
    {QStringLiteral("0032"), QStringLiteral("HEX:01"), QStringLiteral("UDP")},
    {QStringLiteral("0033"), QStringLiteral("HEX:0078"), QStringLiteral("120")},
    {QStringLiteral("0034"), QStringLiteral("HEX:05"), QStringLiteral("5")},
};

} // namespace

Q_DECLARE_METATYPE(FailingPort::How)

class WriteInterruptedTest : public QObject {
    Q_OBJECT
private slots:
    void channelGoesAway_data()
    {
        QTest::addColumn<FailingPort::How>("how");
        QTest::addColumn<int>("failAt");
        QTest::newRow("closes before the third row") << FailingPort::How::Closes << 3;
        QTest::newRow("closes during the second reply") << FailingPort::How::ClosesMidReply << 2;
        QTest::newRow("closed from the first row") << FailingPort::How::Closes << 1;
        QTest::newRow("closes at the last row") << FailingPort::How::Closes << 5;
        QTest::newRow("write rejected at the fourth row") << FailingPort::How::Throws << 4;
    }
    void channelGoesAway()
    {
        QFETCH(FailingPort::How, how);
        QFETCH(int, failAt);
        RecordingFrontend fe;
        VirtualClock clock;
        DtuSession session(fe, clock);
        FailingPort port(clock, failAt, how);
        port.responder = [&port](const QByteArray &) { port.Schedule(20, kAck); };
        session.channel.SetSerial(&port);
        QVERIFY(session.script.LoadFile(TestPaths::Example(QStringLiteral("script.js"))));
        session.state.MainParamChannel = session.state.CurrentParamChannel = 1;
        for (const Edit &e : kEdits) {
            const ParamRow row = TestRow(e.number, QStringLiteral("名") + e.number).Hex(e.hex).Value(e.value);
            session.mainTable.AppendRow(row);
            session.state.ModifiedParamList.Add(e.number);
        }

        bool threw = false;
        try {
            ParamWriter::WriteModified(session);
        } catch (const DtuError &) {
            threw = true; // the window shows it in its error box
        }
        QCOMPARE(threw, how == FailingPort::How::Throws);

        // Every edited value is still in its row, sent or not.
        for (int i = 0; i < kEdits.size(); ++i) {
            QCOMPARE(session.mainTable.Cell(i, ColHex), kEdits[i].hex);
            QCOMPARE(session.mainTable.Cell(i, ColValue), kEdits[i].value);
        }

        // Each row that was tried has its line and its outcome, in order;
        // a rejected write ends the run at its row. The rows after the one
        // that lost the channel are not tried: one line says how many there
        // are (a mend: the run used to wait out every one of them).
        const int unreached = int(kEdits.size()) - failAt;
        QStringList expected;
        for (int i = 0; i < failAt; ++i) {
            const Edit &e = kEdits[i];
            expected << QStringLiteral("设置参数：名") + e.number + QLatin1Char('=') + e.value;
            if (threw && i == failAt - 1)
                break;
            if (i < failAt - 1)
                expected << QStringLiteral("[参数设置成功]");
            else if (how == FailingPort::How::ClosesMidReply)
                expected << QStringLiteral("[参数设置失败，返回帧校验错误！]");
            else
                expected << QStringLiteral("[参数设置失败，设备无响应！]");
        }
        if (!threw && unreached > 0)
            expected << QStringLiteral("[参数设置失败，数据通道已关闭，%1个参数未写入！]").arg(unreached);
        QCOMPARE(fe.memo, expected);
        QCOMPARE(port.written.size(), failAt - 1); // the failing write itself never arrives

        // Only the row that lost the channel waits out its reply (3000 ms);
        // the healthy ones before it take about 430 ms each.
        QVERIFY2(clock.NowMs() <= (failAt - 1) * 500 + 3000 + 500, qPrintable(QString::number(clock.NowMs())));

        // A rejected write ends the run before the list is touched: every
        // row stays listed, the rejected one included.
        if (threw) {
            for (int i = failAt - 1; i < kEdits.size(); ++i)
                QVERIFY(session.state.ModifiedParamList.Contains(kEdits[i].number));
            return;
        }
        // The rows not reached stay listed (and blue), so a second "设置"
        // sends them; a finished run empties the list.
        QStringList unwritten;
        for (int i = failAt; i < kEdits.size(); ++i)
            unwritten << kEdits[i].number;
        QCOMPARE(session.state.ModifiedParamList.Items(), unwritten);
        for (int i = 0; i < kEdits.size(); ++i) {
            const QVariant colour = session.mainTable.data(session.mainTable.index(i, ColValue), Qt::ForegroundRole);
            QCOMPARE(colour, unwritten.contains(kEdits[i].number) ? QVariant(QColor(0, 0, 200)) : QVariant());
        }
    }
};

DTU_TEST_GUILESS(WriteInterruptedTest)
#include "tst_write_interrupted.moc"
