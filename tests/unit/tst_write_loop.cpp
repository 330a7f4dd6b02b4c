// The one write loop and the report it hands back: what was written, what
// failed and how, what was not reached and why, what the level withheld;
// the same loop for a batch over both tables and for a fleet device.
#include "core/WorkPaths.h"
#include "ops/ParamFile.h"
#include "ops/ParamWriter.h"
#include "ops/ProfileLoader.h"
#include "support/Frames.h"
#include "support/TestMain.h"
#include "support/VirtualRig.h"
#include "support/WorkFolder.h"

#include <QTest>

namespace {

using TestFrames::kAck;
const QByteArray kRefusal = Bytes("AA 55 00 04 00 F1 00 F5");

// A main table (heading, 0030, 0091, 0031) on channel 1 and an extended
// table (0100, 0101) on channel 0.
const char kMain[] = "{\"Params\":[{\"CMDID\":\"\",\"PNAME\":\"组\"},"
                     "{\"CMDID\":\"0030\",\"PNAME\":\"甲\",\"PVALUE\":\"HEX:31\"},"
                     "{\"CMDID\":\"0091\",\"PNAME\":\"编号\",\"PVALUE\":\"HEX:01\"},"
                     "{\"CMDID\":\"0031\",\"PNAME\":\"乙\",\"PVALUE\":\"HEX:0203\"}],"
                     "\"ExParamFile\":\"ext.txt\",\"ExParamChannel\":1}";
const char kExt[] = "{\"Params\":[{\"CMDID\":\"0100\",\"PNAME\":\"丙\",\"PVALUE\":\"HEX:05\"},"
                    "{\"CMDID\":\"0101\",\"PNAME\":\"丁\",\"PVALUE\":\"HEX:\"}]}";

struct LoopBench : VirtualRig {
    WorkFolder dir;
    LoopBench()
    {
        dir.Write(QStringLiteral("p.txt"), kMain);
        dir.Write(QStringLiteral("ext.txt"), kExt);
        ProfileLoader::LoadProfile(session, dir.Path(QStringLiteral("p.txt")));
    }
    // Every frame answered with `reply`, the table selections with an ack.
    void Answer(const QByteArray &reply)
    {
        device.responder = [this, reply](const QByteArray &frame) {
            const bool selection = frame.size() > 5 && quint8(frame[4]) == 0xE0 && quint8(frame[5]) == 0x50;
            device.Schedule(20, selection ? kAck : reply);
        };
    }
    QStringList Numbers(const QList<RowResult> &rows) const
    {
        QStringList numbers;
        for (const RowResult &r : rows)
            numbers << r.number;
        return numbers;
    }
};

} // namespace

class WriteLoopTest : public QObject {
    Q_OBJECT
private slots:
    // Both tables in one run, every row answered: all written, in table
    // order, the protected row withheld below level 2 and not counted.
    void batchOfBothTables()
    {
        LoopBench b;
        b.Answer(kAck);
        const WriteReport report = ParamFile::BatchWriteAll(b.session);
        QVERIFY(report.Ok());
        QCOMPARE(report.total, 4);
        QCOMPARE(report.Written(), 4);
        QCOMPARE(b.Numbers(report.rows), (QStringList{"0030", "0031", "0100", "0101"}));
        QCOMPARE(report.withheld, QStringList{"0091"});
        QVERIFY(report.notReached.isEmpty());
        // The bytes each row carried: 31, 02 03, 05, none.
        QCOMPARE(report.rows[0].bytesSent, 1);
        QCOMPARE(report.rows[1].bytesSent, 2);
        QCOMPARE(report.rows[3].bytesSent, 0);
        QCOMPARE(report.rows[1].name, QStringLiteral("乙"));
        QVERIFY(b.session.state.ModifiedParamList.IsEmpty());

        // At level 2 the device number goes too.
        LoopBench admin;
        admin.Answer(kAck);
        admin.session.state.AccessLevel = 2;
        const WriteReport all = ParamFile::BatchWriteAll(admin.session);
        QCOMPARE(all.total, 5);
        QCOMPARE(admin.Numbers(all.rows), (QStringList{"0030", "0091", "0031", "0100", "0101"}));
        QVERIFY(all.withheld.isEmpty());
    }

    // A refusing device: every row failed, each with the device's answer.
    void failedRowsKeepTheirResults()
    {
        LoopBench b;
        b.Answer(kRefusal);
        const WriteReport report = ParamFile::BatchWriteAll(b.session);
        QVERIFY(!report.Ok());
        QCOMPARE(report.Written(), 0);
        QCOMPARE(report.Failed().size(), 4);
        for (const RowResult &r : report.rows)
            QCOMPARE(r.result, int(TransactionResult::Refused));
        QVERIFY(report.DeviceAnswered());
        QVERIFY(!report.EndedEarly());
    }

    // A stop during the main table: the rows of both tables not reached are
    // counted in the line and stay listed for the next "设置".
    void stopCountsBothTables()
    {
        LoopBench b;
        b.Answer(kAck);
        b.fe.onRun = [&b](const WriteRunStatus &s) {
            if (s.running && s.done == 0)
                b.session.state.StopRequested = true;
        };
        const WriteReport report = ParamFile::BatchWriteAll(b.session);
        QVERIFY(report.stopped);
        QCOMPARE(b.Numbers(report.rows), QStringList{"0030"});
        QCOMPARE(report.notReached, (QStringList{"0031", "0100", "0101"}));
        QCOMPARE(b.fe.memo.last(), QStringLiteral("[参数设置已停止，已写入1个参数，3个参数未写入！]"));
        QCOMPARE(b.session.state.ModifiedParamList.Items(), (QStringList{"0031", "0100", "0101"}));
    }

    // A fleet device silent from its first row is given up after that row.
    void silentDeviceGivenUp()
    {
        LoopBench b;
        WriteLoop::Options options;
        options.giveUpWhenSilent = true;
        b.session.state.ExtPageVisible = false; // no selection to wait for
        const WriteReport report = ParamFile::BatchWriteAll(b.session, options);
        QCOMPARE(report.rows.size(), 1);
        QCOMPARE(report.rows[0].result, int(TransactionResult::NoAnswer));
        QVERIFY(!report.DeviceAnswered());
        QVERIFY(report.stopped);
        QCOMPARE(report.notReached, QStringList{"0031"});
        QVERIFY(b.clock.NowMs() < 2 * 3000);

        // Without the option every row waits out its time-out.
        LoopBench patient;
        patient.session.state.ExtPageVisible = false;
        const WriteReport all = ParamFile::BatchWriteAll(patient.session);
        QCOMPARE(all.rows.size(), 2);
        QVERIFY(!all.stopped);
    }

    // A device that answers one row keeps being written even when later
    // rows are silent.
    void answeringDeviceIsNotGivenUp()
    {
        LoopBench b;
        b.session.state.ExtPageVisible = false;
        int frames = 0;
        b.device.responder = [&b, &frames](const QByteArray &) {
            if (frames++ == 0)
                b.device.Schedule(20, kRefusal);
        };
        WriteLoop::Options options;
        options.giveUpWhenSilent = true;
        const WriteReport report = ParamFile::BatchWriteAll(b.session, options);
        QCOMPARE(report.rows.size(), 2);
        QVERIFY(report.DeviceAnswered());
        QVERIFY(!report.stopped);
    }

    // The page's "设置" hands the loop the user's edits only.
    void pageWriteSendsTheEditsOnly()
    {
        LoopBench b;
        b.Answer(kAck);
        b.session.state.CurrentParamChannel = 1;
        b.session.state.ModifiedParamList.Add(QStringLiteral("0031"));
        const WriteReport report = ParamWriter::WriteMainPage(b.session);
        QCOMPARE(report.total, 1);
        QCOMPARE(b.Numbers(report.rows), QStringList{"0031"});
        QVERIFY(report.Ok());
        QVERIFY(b.session.state.ModifiedParamList.IsEmpty());
    }

    // An edit of the device number below level 2 is dropped without a
    // word: nothing is sent and the list is empty afterwards.
    void withheldEditIsDropped()
    {
        LoopBench b;
        b.Answer(kAck);
        b.session.state.AccessLevel = 1;
        b.session.state.CurrentParamChannel = 1;
        b.session.state.ModifiedParamList.Add(QStringLiteral("0091"));
        const WriteReport report = ParamWriter::WriteMainPage(b.session);
        QCOMPARE(report.withheld, QStringList{"0091"});
        QVERIFY(report.rows.isEmpty());
        QVERIFY(!report.EndedEarly());
        QCOMPARE(b.session.state.ModifiedParamList.Items(), QStringList());
        QVERIFY(b.device.written.isEmpty());
        QVERIFY(b.fe.memo.isEmpty());
    }
};

DTU_TEST_GUILESS(WriteLoopTest)
#include "tst_write_loop.moc"
