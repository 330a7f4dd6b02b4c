// The device commands: channel selection, status and signal readers, text
// readers, clock setting, reset and restore, in virtual time.
#include "ops/DeviceCommands.h"
#include "script/ScriptError.h"
#include "support/TestMain.h"
#include "support/VirtualRig.h"

#include <QTest>

namespace {
using TestFrames::ByteReply;

// The byte read, or the failure's code.
int Code(const CommandOutcome &outcome)
{
    return outcome.Ok() ? outcome.value : outcome.result;
}
} // namespace

class DeviceCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void selectParamChannel_data()
    {
        QTest::addColumn<bool>("extVisible");
        QTest::addColumn<int>("current");
        QTest::addColumn<bool>("open");
        QTest::addColumn<int>("channel");
        QTest::addColumn<QByteArray>("reply"); // the device's answer to the selection
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("currentAfter");
        QTest::addColumn<QByteArray>("sent");
        const QByteArray refusal = Bytes("AA 55 00 04 00 F1 00 F5");
        const QByteArray select0 = Bytes("AA 55 00 05 E0 50 00 01 35");
        QTest::newRow("page hidden") << false << 1 << true << 0 << TestFrames::kAck << 0 << 1 << QByteArray();
        QTest::newRow("same channel") << true << 0 << true << 0 << TestFrames::kAck << 0 << 0 << QByteArray();
        QTest::newRow("channel closed") << true << 1 << false << 0 << TestFrames::kAck << 0 << 0 << QByteArray();
        QTest::newRow("accepted") << true << 1 << true << 0 << TestFrames::kAck << 0 << 0 << select0;
        QTest::newRow("from unknown") << true << -1 << true << 1 << TestFrames::kAck << 0 << 1
                                      << Bytes("AA 55 00 05 E0 50 01 01 36");
        QTest::newRow("low 8 bits") << true << 1 << true << 0x102 << TestFrames::kAck << 0 << 0x102
                                    << Bytes("AA 55 00 05 E0 50 02 01 37");
        // Whatever keeps the device from confirming leaves its table unknown
        // (-1), so that the next read or write selects again instead of
        // talking to the table the device may still be on.
        QTest::newRow("refused") << true << 1 << true << 0 << refusal << -1 << -1 << select0;
        QTest::newRow("silent") << true << 1 << true << 0 << QByteArray() << -2 << -1 << select0;
        QTest::newRow("not a frame") << true << 1 << true << 0 << Bytes("55 AA 00 04 00 F0 00 F4") << -3 << -1
                                     << select0;
        QTest::newRow("bad checksum") << true << 1 << true << 0 << Bytes("AA 55 00 04 00 F0 00 F5") << -4 << -1
                                      << select0;
        QTest::newRow("unknown code") << true << 1 << true << 0 << Bytes("AA 55 00 04 00 F2 00 F6") << -1 << -1
                                      << select0;
    }
    void selectParamChannel()
    {
        QFETCH(bool, extVisible);
        QFETCH(int, current);
        QFETCH(bool, open);
        QFETCH(int, channel);
        QFETCH(QByteArray, reply);
        QFETCH(int, result);
        QFETCH(int, currentAfter);
        QFETCH(QByteArray, sent);
        VirtualRig rig;
        rig.session.state.ExtPageVisible = extVisible;
        rig.session.state.CurrentParamChannel = current;
        rig.device.open = open;
        if (!reply.isEmpty())
            rig.AnswerEveryFrame(reply);
        QCOMPARE(DeviceCommands::SelectParamChannel(rig.session, channel), result);
        QCOMPARE(rig.session.state.CurrentParamChannel, currentAfter);
        if (sent.isEmpty()) {
            QVERIFY(rig.device.written.isEmpty());
            QCOMPARE(rig.clock.NowMs(), 0);
        } else {
            QCOMPARE(rig.device.written, QList<QByteArray>{sent});
        }
        QVERIFY(rig.fe.memo.isEmpty());
        // Asking again for the same channel: sent again only when the device
        // did not confirm the first time.
        rig.AnswerEveryFrame(TestFrames::kAck);
        rig.device.open = true;
        const qsizetype before = rig.device.written.size();
        DeviceCommands::SelectParamChannel(rig.session, channel);
        QCOMPARE(rig.device.written.size() - before, qsizetype(currentAfter == -1 ? 1 : 0));
        QCOMPARE(rig.session.state.CurrentParamChannel, extVisible ? channel : current);
    }

    // The selection a read or write needs: a refusal ends it with the memo
    // line; a script error leaves the table unknown as well.
    void selectTableFor()
    {
        VirtualRig rig;
        rig.session.state.ExtPageVisible = true;
        rig.session.state.CurrentParamChannel = 1;
        rig.AnswerEveryFrame(Bytes("AA 55 00 04 00 F1 00 F5"));
        QCOMPARE(DeviceCommands::SelectTableFor(rig.session, 0, QStringLiteral("参数读取")),
                 TransactionResult::TableNotSwitched);
        QCOMPARE(rig.fe.memo, QStringList{QStringLiteral("[参数读取失败，设备未切换参数表！]")});
        QCOMPARE(rig.fe.resultPanel, QStringLiteral("[参数读取失败，设备未切换参数表！]"));

        rig.AnswerEveryFrame(TestFrames::kAck);
        QCOMPARE(DeviceCommands::SelectTableFor(rig.session, 0, QStringLiteral("参数设置")), TransactionResult::Accepted);
        // known: nothing sent
        QCOMPARE(DeviceCommands::SelectTableFor(rig.session, 0, QStringLiteral("参数设置")), TransactionResult::Accepted);
        QCOMPARE(rig.device.written.size(), 2);
        QCOMPARE(rig.fe.memo.size(), 1);

        rig.session.script.Eval(QStringLiteral("PrevCmd = function() { throw new Error(\"p\"); };"));
        QVERIFY_THROWS_EXCEPTION(ScriptError, DeviceCommands::SelectParamChannel(rig.session, 1));
        QCOMPARE(rig.session.state.CurrentParamChannel, -1);
        QCOMPARE(rig.device.written.size(), 2);
    }

    // Nothing at all in answer to the selection is a device that does not
    // answer; any answer that is no confirmation is a table not switched.
    void selectTableForSilence_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("line");
        QTest::newRow("silent") << QByteArray() << TransactionResult::NoAnswer
                                << QStringLiteral("[参数设置失败，设备无响应！]");
        QTest::newRow("a frame of another length")
            << Bytes("AA 55 00 05 00 F0 00 00 F5") << TransactionResult::TableNotSwitched
            << QStringLiteral("[参数设置失败，设备未切换参数表！]");
        QTest::newRow("not a frame") << Bytes("12 34") << TransactionResult::TableNotSwitched
                                     << QStringLiteral("[参数设置失败，设备未切换参数表！]");
    }
    void selectTableForSilence()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, result);
        QFETCH(QString, line);
        VirtualRig rig;
        rig.session.state.ExtPageVisible = true;
        rig.session.state.CurrentParamChannel = 1;
        rig.AnswerEveryFrame(reply);
        QCOMPARE(DeviceCommands::SelectTableFor(rig.session, 0, QStringLiteral("参数设置")), result);
        QCOMPARE(rig.fe.memo, QStringList{line});
        QCOMPARE(rig.session.state.CurrentParamChannel, -1);
        QCOMPARE(rig.device.written.size(), 1);
    }

    void byteReaders_data()
    {
        QTest::addColumn<bool>("signal");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("posted");
        const QString badStatus = QStringLiteral("[状态读取失败，返回数据包命令字非法！]");
        const QString badSignal = QStringLiteral("[信号读取失败，返回数据包命令字非法！]");
        QTest::newRow("status 4") << false << Bytes("AA 55 00 05 E0 04 04 00 ED") << 4 << QString();
        QTest::newRow("status 255") << false << ByteReply(0xE004, 255) << 255 << QString();
        QTest::newRow("status extra byte") << false << Bytes("AA 55 00 05 E0 04 04 00 ED 00") << -2 << QString();
        QTest::newRow("status wrong word") << false << ByteReply(0xE005, 4) << -5 << badStatus;
        QTest::newRow("status word of signal") << false << ByteReply(0xE023, 4) << -5 << badStatus;
        QTest::newRow("status not located") << false << (Bytes("13") + ByteReply(0xE004, 4)) << -3 << QString();
        QTest::newRow("status bad sum") << false << Bytes("AA 55 00 05 E0 04 04 00 EE") << -4 << QString();
        QTest::newRow("status header only") << false << Bytes("AA 55 00") << -5 << badStatus;
        QTest::newRow("status two data bytes") << false << Bytes("AA 55 00 06 E0 04 04 05 00 F3") << -2 << QString();
        QTest::newRow("signal 23") << true << ByteReply(0xE023, 23) << 23 << QString();
        QTest::newRow("signal wrong word") << true << ByteReply(0xE004, 23) << -5 << badSignal;
        QTest::newRow("signal bad header") << true << Bytes("55 AA 00 05 E0 23 17 01 1F") << -3 << QString();
        // Length boundaries of the 9-byte answer, and the value byte's range.
        QTest::newRow("status 0") << false << Bytes("AA 55 00 05 E0 04 00 00 E9") << 0 << QString();
        QTest::newRow("status FF") << false << Bytes("AA 55 00 05 E0 04 FF 01 E8") << 255 << QString();
        QTest::newRow("status one byte short") << false << Bytes("AA 55 00 05 E0 04 04 00") << -4 << QString();
        QTest::newRow("status one byte") << false << Bytes("AA") << -3 << QString();
        QTest::newRow("status word only") << false << Bytes("AA 55 00 05 E0 04") << -4 << QString();
        // Too short to hold the word at offsets 4-5: it is not the expected one.
        QTest::newRow("status word cut") << false << Bytes("AA 55 00 05 E0") << -5 << badStatus;
        QTest::newRow("status without value") << false << Bytes("AA 55 00 04 E0 04 00 E8") << -2 << QString();
        QTest::newRow("signal exact") << true << Bytes("AA 55 00 05 E0 23 17 01 1F") << 23 << QString();
        QTest::newRow("signal one byte short") << true << Bytes("AA 55 00 05 E0 23 17 01") << -4 << QString();
        QTest::newRow("signal one byte long") << true << Bytes("AA 55 00 05 E0 23 17 01 1F 00") << -2 << QString();
    }
    void byteReaders()
    {
        QFETCH(bool, signal);
        QFETCH(QByteArray, reply);
        QFETCH(int, result);
        QFETCH(QString, posted);
        VirtualRig rig;
        rig.AnswerEveryFrame(reply);
        const int got = Code(signal ? DeviceCommands::QuerySignal(rig.session) : DeviceCommands::QueryStatus(rig.session));
        QCOMPARE(got, result);
        QCOMPARE(rig.device.written.first(),
                 signal ? Bytes("AA 55 00 04 E0 23 01 07") : Bytes("AA 55 00 04 E0 04 00 E8"));
        QCOMPARE(rig.fe.memo, posted.isEmpty() ? QStringList() : QStringList{posted});
        QCOMPARE(rig.fe.resultPanel, posted);
        QVERIFY(rig.fe.controlMemo.isEmpty());
    }

    void byteReaderTimeouts()
    {
        VirtualRig rig;
        QCOMPARE(Code(DeviceCommands::QueryStatus(rig.session)), -2);
        QCOMPARE(rig.clock.NowMs(), 4000);
        QCOMPARE(Code(DeviceCommands::QuerySignal(rig.session)), -2);
        QCOMPARE(rig.clock.NowMs(), 4000 + 10000);
        QVERIFY(rig.fe.memo.isEmpty());
    }

    void textReaders_data()
    {
        QTest::addColumn<int>("which"); // 0 version, 1 IMEI, 2 clock
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("text");
        QTest::newRow("IMEI") << 1 << Bytes("AA 55 00 07 E0 25 41 42 43 01 D2") << QStringLiteral("ABC");
        QTest::newRow("word not checked") << 2 << Bytes("AA 55 00 07 E0 25 41 42 43 01 D2") << QStringLiteral("ABC");
        QTest::newRow("trailing bytes ignored") << 0 << Bytes("AA 55 00 07 E0 25 41 42 43 01 D2 99") << QStringLiteral("ABC");
        QTest::newRow("stray byte first") << 0 << Bytes("13 AA 55 00 07 E0 25 41 42 43 01 D2") << QString();
        QTest::newRow("bad sum") << 1 << Bytes("AA 55 00 07 E0 25 41 42 43 01 D3") << QString();
        QTest::newRow("no data") << 2 << Bytes("AA 55 00 04 E0 0E 00 F2") << QString();
        QTest::newRow("zero padding") << 0 << Bytes("AA 55 00 08 E0 24 56 31 00 00 01 93") << QStringLiteral("V1");
        QTest::newRow("GBK text") << 0 << Bytes("AA 55 00 06 E0 24 D6 D0 02 B0") << QStringLiteral("中");
        // Length boundaries.
        QTest::newRow("one byte short") << 1 << Bytes("AA 55 00 07 E0 25 41 42 43 01") << QString();
        QTest::newRow("one data byte") << 1 << Bytes("AA 55 00 05 E0 25 41 01 4B") << QStringLiteral("A");
        QTest::newRow("length field 3") << 1 << Bytes("AA 55 00 03 E0 00 E3") << QString();
        QTest::newRow("header only") << 2 << Bytes("AA 55") << QString();
        QTest::newRow("one byte") << 0 << Bytes("AA") << QString();
    }
    void textReaders()
    {
        QFETCH(int, which);
        QFETCH(QByteArray, reply);
        QFETCH(QString, text);
        VirtualRig rig;
        rig.AnswerEveryFrame(reply);
        const CommandOutcome got = which == 0 ? DeviceCommands::QueryVersion(rig.session)
            : which == 1                      ? DeviceCommands::QueryImei(rig.session)
                                              : DeviceCommands::ReadClock(rig.session);
        QCOMPARE(got.text, text);
        QCOMPARE(got.Ok(), !text.isEmpty()); // a missing or broken text is a failure
        const QList<QByteArray> frames{Bytes("AA 55 00 04 E0 24 01 08"), Bytes("AA 55 00 04 E0 25 01 09"),
                                       Bytes("AA 55 00 04 E0 0E 00 F2")};
        QCOMPARE(rig.device.written, QList<QByteArray>{frames[which]});
    }

    void textReaderTimeout()
    {
        VirtualRig rig;
        const CommandOutcome imei = DeviceCommands::QueryImei(rig.session);
        QVERIFY(imei.text.isEmpty());
        QCOMPARE(imei.result, -2);
        QCOMPARE(rig.clock.NowMs(), 4000);
    }

    void setClock_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("result");
        QTest::newRow("accepted") << TestFrames::kAck << 0;
        QTest::newRow("silent") << QByteArray() << -2;
    }
    void setClock()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, result);
        VirtualRig rig;
        if (!reply.isEmpty())
            rig.AnswerEveryFrame(reply);
        const QDateTime when(QDate(2026, 12, 6), QTime(20, 56, 6));
        QCOMPARE(DeviceCommands::SetClock(rig.session, when).result, result);
        QCOMPARE(rig.fe.controlMemo, QStringList{QStringLiteral("设置设备时钟=2026-12-06 20:56:06")});
        QCOMPARE(rig.device.written.first(),
                 Bytes("AA 55 00 17 E0 0D 32 30 32 36 2D 31 32 2D 30 36 20 32 30 3A 35 36 3A 30 36 04 B8"));
        QVERIFY(rig.fe.memo.isEmpty());
    }

    void scriptWords_data()
    {
        QTest::addColumn<bool>("reset");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("reset") << true << Bytes("AA 55 00 04 E0 03 00 E7");
        QTest::newRow("restore") << false << Bytes("AA 55 00 04 E0 02 00 E6");
    }
    void scriptWords()
    {
        QFETCH(bool, reset);
        QFETCH(QByteArray, frame);
        VirtualRig rig;
        rig.AnswerEveryFrame(Bytes("AA 55 00 04 00 F1 00 F5"));
        auto run = [&] {
            return (reset ? DeviceCommands::Reset(rig.session) : DeviceCommands::RestoreDefaults(rig.session)).result;
        };
        QCOMPARE(run(), -1);
        QCOMPARE(rig.device.written.last(), frame);
        // The word is asked for at every send: a changed script changes it.
        rig.session.script.Eval(QStringLiteral("COMMAND_WORDS.CMD_RESET = \"F103\"; COMMAND_WORDS.CMD_SETDEFAULT = \"F102\";"));
        rig.AnswerEveryFrame(TestFrames::kAck);
        QCOMPARE(run(), 0);
        QCOMPARE(quint8(rig.device.written.last()[4]), quint8(0xF1));
    }

    void scriptErrorsPropagate_data()
    {
        QTest::addColumn<int>("command");
        for (int i = 0; i < 5; ++i)
            QTest::newRow(QByteArray::number(i).constData()) << i;
    }
    void scriptErrorsPropagate()
    {
        QFETCH(int, command);
        VirtualRig rig;
        rig.session.script.Eval(QStringLiteral("GetCmd = function(n) { throw new Error(\"no \" + n); };"));
        switch (command) {
        case 0: QVERIFY_THROWS_EXCEPTION(ScriptError, DeviceCommands::QueryStatus(rig.session)); break;
        case 1: QVERIFY_THROWS_EXCEPTION(ScriptError, DeviceCommands::QueryVersion(rig.session)); break;
        case 2: QVERIFY_THROWS_EXCEPTION(ScriptError, DeviceCommands::Reset(rig.session)); break;
        case 3: QVERIFY_THROWS_EXCEPTION(ScriptError, DeviceCommands::RestoreDefaults(rig.session)); break;
        case 4:
            // Fixed words still need the prefix from the script.
            rig.session.script.Eval(QStringLiteral("PrevCmd = function() { throw new Error(\"p\"); };"));
            QVERIFY_THROWS_EXCEPTION(ScriptError, DeviceCommands::QueryImei(rig.session));
            break;
        }
        QVERIFY(rig.device.written.isEmpty());
        QCOMPARE(rig.clock.NowMs(), 0);
    }

    void prefixDoesNotShiftTheReaders()
    {
        VirtualRig rig;
        rig.session.script.Eval(QStringLiteral("PrevCmd = function() { return \"0102\"; };"));
        rig.AnswerEveryFrame(Bytes("AA 55 00 05 E0 04 04 00 ED"));
        QCOMPARE(Code(DeviceCommands::QueryStatus(rig.session)), 4);
        QCOMPARE(rig.device.written.first(), Bytes("AA 55 00 06 01 02 E0 04 00 ED"));
    }
};

DTU_TEST_GUILESS(DeviceCommandsTest)
#include "tst_device_commands.moc"
