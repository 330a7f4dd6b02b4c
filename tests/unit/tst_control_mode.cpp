// The control-mode page's buttons: the lines they write to Memo4 and the
// panel texts, for healthy and misbehaving devices.
#include "ops/ControlMode.h"
#include "support/TestMain.h"
#include "support/VirtualRig.h"

#include <QTest>

namespace {
using TestFrames::Framed;
QByteArray StatusReply(quint8 v) { return TestFrames::ByteReply(0xE004, v); }
QByteArray TextReply(const QByteArray &text) { return TestFrames::Frame(0xE024, text); }
const QByteArray kBadSum = Bytes("AA 55 00 05 E0 04 04 00 EE");
const QByteArray kNotFrame = Bytes("55 AA 00 05 E0 04 04 00 ED");
} // namespace

class ControlModeTest : public QObject {
    Q_OBJECT
private slots:
    void status_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("ok");
        const char *const lines[] = {"DTU状态=0,睡眠状态", "DTU状态=1,未注册状态", "DTU状态=2,待机状态",
                                     "DTU状态=3,PPP拨号状态", "DTU状态=4,在线状态，未登录到数据中心",
                                     "DTU状态=5,在线状态，已登录到数据中心"};
        for (int i = 0; i < 6; ++i)
            QTest::addRow("state %d", i) << StatusReply(i) << QString::fromUtf8(lines[i]) << true;
        QTest::newRow("state 7") << StatusReply(7) << QString() << true;
        QTest::newRow("wrong word") << Framed(Bytes("00 05 E0 05 04")) << QStringLiteral("DTU状态读取失败") << false;
        QTest::newRow("silent") << QByteArray() << QStringLiteral("DTU状态读取失败，设备无响应！") << false;
        QTest::newRow("not a frame") << kNotFrame << QStringLiteral("DTU状态读取失败，参数错误！") << false;
        QTest::newRow("bad sum") << kBadSum << QStringLiteral("DTU状态读取失败，返回帧校验错误！") << false;
    }
    void status()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, line);
        QFETCH(bool, ok);
        VirtualRig rig;
        rig.next << reply;
        QCOMPARE(ControlMode::ReadStatus(rig.session).Ok(), ok);
        QCOMPARE(rig.fe.controlMemo, line.isEmpty() ? QStringList() : QStringList{line});
    }

    void signal_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QStringList>("memo4");
        QTest::addColumn<QStringList>("memo1");
        QTest::newRow("23") << Framed(Bytes("00 05 E0 23 17")) << QStringList{QStringLiteral("DTU CSQ=23")}
                            << QStringList();
        QTest::newRow("0") << Framed(Bytes("00 05 E0 23 00")) << QStringList{QStringLiteral("DTU CSQ=0")}
                           << QStringList();
        QTest::newRow("silent") << QByteArray() << QStringList{QStringLiteral("信号读取失败")} << QStringList();
        QTest::newRow("wrong word") << StatusReply(4) << QStringList{QStringLiteral("信号读取失败")}
                                    << QStringList{QStringLiteral("[信号读取失败，返回数据包命令字非法！]")};
    }
    void signal()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, memo4);
        QFETCH(QStringList, memo1);
        VirtualRig rig;
        rig.next << reply;
        QCOMPARE(ControlMode::ReadSignal(rig.session).Ok(), !reply.isEmpty() && memo1.isEmpty());
        QCOMPARE(rig.fe.controlMemo, memo4);
        QCOMPARE(rig.fe.memo, memo1);
    }

    void versionAndImei_data()
    {
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<QByteArray>("imei");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("both") << TextReply("V2.1") << TextReply("861234567890123")
                              << QStringList{QStringLiteral("DTU版本号=V2.1"), QStringLiteral("IMEI=861234567890123")};
        QTest::newRow("version fails") << kBadSum << TextReply("86")
                                       << QStringList{QStringLiteral("DTU版本号读取失败"), QStringLiteral("DTU版本号="),
                                                      QStringLiteral("IMEI=86")};
        QTest::newRow("both silent") << QByteArray() << QByteArray()
                                     << QStringList{QStringLiteral("DTU版本号读取失败"), QStringLiteral("DTU版本号="),
                                                    QStringLiteral("IMEI读取失败"), QStringLiteral("IMEI=")};
    }
    void versionAndImei()
    {
        QFETCH(QByteArray, version);
        QFETCH(QByteArray, imei);
        QFETCH(QStringList, lines);
        VirtualRig rig;
        rig.next << version << imei;
        QCOMPARE(ControlMode::ReadVersion(rig.session).Ok(), lines.size() == 2);
        QCOMPARE(rig.fe.controlMemo, lines);
        QCOMPARE(rig.device.written.size(), 2); // IMEI is asked even after a failed version
    }

    void readClock_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("clock");
        QTest::newRow("read") << TextReply("2026-12-06 20:56:06") << QStringLiteral("设备时钟读取成功")
                              << QStringLiteral("2026-12-06 20:56:06");
        QTest::newRow("silent") << QByteArray() << QStringLiteral("设备时钟读取失败") << QString();
    }
    void readClock()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, panel);
        QFETCH(QString, clock);
        VirtualRig rig;
        rig.next << reply;
        QCOMPARE(ControlMode::ReadClock(rig.session).Ok(), !clock.isEmpty());
        QCOMPARE(rig.fe.resultPanel, panel);
        QCOMPARE(rig.fe.controlMemo, (QStringList{panel, clock}));
        QVERIFY(rig.fe.memo.isEmpty());
    }

    void setClock_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("panel");
        QTest::newRow("0") << Bytes("AA 55 00 04 00 F0 00 F4") << QStringLiteral("[设备时钟设置成功]");
        QTest::newRow("-1") << Bytes("AA 55 00 04 00 F1 00 F5") << QStringLiteral("[设备时钟设置失败]");
        QTest::newRow("-2") << QByteArray() << QStringLiteral("[设备时钟设置失败，设备无响应！]");
        QTest::newRow("-3") << kNotFrame << QStringLiteral("[设备时钟设置失败，参数错误！]");
        QTest::newRow("-4") << Bytes("AA 55 00 04 00 F0 00 F5") << QStringLiteral("[设备时钟设置失败，返回帧校验错误！]");
    }
    void setClock()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, panel);
        VirtualRig rig;
        rig.fe.resultPanel = QStringLiteral("[参数读取完毕]");
        rig.next << reply;
        QCOMPARE(ControlMode::SetClock(rig.session).Ok(), panel.contains(QStringLiteral("成功")));
        QCOMPARE(rig.fe.resultPanel, panel);
        QCOMPARE(rig.fe.controlMemo.size(), 2);
        QVERIFY(QRegularExpression(QStringLiteral("^设置设备时钟=\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                    .match(rig.fe.controlMemo[0]).hasMatch());
        QCOMPARE(rig.fe.controlMemo[1], panel);
        QVERIFY(rig.fe.memo.isEmpty());
    }

    void noChannelCheck()
    {
        // The page does not ask for an open channel: the exchange just times out.
        VirtualRig rig;
        rig.device.open = false;
        QVERIFY(!ControlMode::ReadStatus(rig.session).Ok());
        QVERIFY(rig.fe.messages.isEmpty());
        QCOMPARE(rig.fe.controlMemo, QStringList{QStringLiteral("DTU状态读取失败，设备无响应！")});
    }
};

DTU_TEST_GUILESS(ControlModeTest)
#include "tst_control_mode.moc"
