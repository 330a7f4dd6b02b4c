// The simulated device's engine: framing of the incoming stream, the
// commands it answers, its parameter store and its misbehaviours.
#include "protocol/FrameCodec.h"
#include "protocol/Hex.h"
#include "script/ScriptHost.h"
#include "support/Frames.h"
#include "support/TestMain.h"

// The engine is built into the dtusim program only; compile what is tested.
#include "sim/SimCommands.h"
#include "sim/SimDevice.h"
#include "sim/SimFleet.h"
#include "sim/SimMisbehaviour.h"
#include "sim/SimOptions.h"
#include "sim/SimProfile.h"
#include "sim/TcpServer.h"

#include <QTcpServer>
#include <QTest>

namespace {

const char *kScript = R"(
function GetCmd(name) {
    return { CMD_GETPARAM: "E001", CMD_REPLYCONFIG: "E101", CMD_SETDEFAULT: "E002",
             CMD_RESET: "E003", CMD_GETSTATUS: "E004", CMD_GETDTUVER: "E024" }[name];
}
function PrevCmd() { return "0102"; }
)";

const char *kProfile = R"({
  "Title": "sim",
  "Params": [
    {"CMDID": "", "PNAME": "heading"},
    {"CMDID": "0030", "PVALUE": "HEX:41"},
    {"CMDID": "0031", "PVALUE": "HEX:4243"},
    {"CMDID": "0032", "PVALUE": "HEX:"},
    {"CMDID": "0030", "PVALUE": "HEX:99"}
  ],
  "ExParamFile": "ext.txt",
  "ExParamChannel": 1
})";

const char *kExtended = R"({"Params": [{"CMDID": "0100", "PVALUE": "HEX:01"}]})";

const QByteArray kPrefix = Bytes("01 02");
using TestFrames::kAck;
using TestFrames::kRefusal;

SimTables Tables()
{
    return SimProfile::FromTexts(QString::fromLatin1(kProfile), QString::fromLatin1(kExtended));
}

SimCommandSet Words()
{
    ScriptHost script;
    script.Eval(QString::fromLatin1(kScript));
    return SimCommandSet::FromScript(script);
}

// A request as the tool frames it: prefix before the command word.
QByteArray Request(quint16 word, const QByteArray &data = {})
{
    return FrameCodec::Assemble(word, kPrefix, data);
}

QByteArray Joined(const QList<SimChunk> &chunks)
{
    QByteArray all;
    for (const SimChunk &c : chunks)
        all += c.bytes;
    return all;
}

// "5:AA 55 00;100:04 00" - delays and pieces in one comparable text.
QString Timeline(const QList<SimChunk> &chunks)
{
    QStringList parts;
    for (const SimChunk &c : chunks)
        parts << QStringLiteral("%1:%2").arg(c.delayMs).arg(BytesToSpacedHex(c.bytes).trimmed());
    return parts.join(QLatin1Char(';'));
}

SimState TestState()
{
    SimState s;
    s.status = 4;
    s.signal = 0x17;
    s.version = "V2.1";
    s.imei = "ABC";
    return s;
}

} // namespace

class SimDeviceTest : public QObject {
    Q_OBJECT

    SimDevice MakeDevice(const SimMisbehaviour &m = {})
    {
        return SimDevice(Tables(), Words(), TestState(), m);
    }

private slots:
    void scriptGivesWordsAndPrefix()
    {
        const SimCommandSet w = Words();
        QCOMPARE(w.getParam, quint16(0xE001));
        QCOMPARE(w.replyConfig, quint16(0xE101));
        QCOMPARE(w.getVersion, quint16(0xE024));
        QCOMPARE(w.prefix, kPrefix);
    }

    void answers_data()
    {
        QTest::addColumn<QByteArray>("received");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("status") << Request(0xE004) << Bytes("AA 55 00 05 E0 04 04 00 ED");
        QTest::newRow("signal") << Request(0xE023) << Bytes("AA 55 00 05 E0 23 17 01 1F");
        QTest::newRow("version") << Request(0xE024) << Bytes("AA 55 00 08 E0 24 56 32 2E 31 01 F3");
        QTest::newRow("imei") << Request(0xE025) << Bytes("AA 55 00 07 E0 25 41 42 43 01 D2");
        QTest::newRow("select main") << Request(0xE050, Bytes("01")) << kAck;
        QTest::newRow("select extended") << Request(0xE050, Bytes("00")) << kAck;
        QTest::newRow("select unknown") << Request(0xE050, Bytes("07")) << kRefusal;
        QTest::newRow("select without byte") << Request(0xE050) << kRefusal;
        QTest::newRow("reset") << Request(0xE003) << kAck;
        QTest::newRow("write unknown number") << Request(0x0999, Bytes("01")) << kRefusal;
        QTest::newRow("ext number on main channel") << Request(0x0100, Bytes("01")) << kRefusal;
        QTest::newRow("stray bytes before") << Bytes("00 13") + Request(0xE003) << kAck;
        QTest::newRow("two frames at once") << Request(0xE003) + Request(0xE050, Bytes("07")) << kAck + kRefusal;
        QTest::newRow("header with impossible length, then a frame")
            << Bytes("AA 55 00 02") + Request(0xE003) << kAck;
        QTest::newRow("junk only") << Bytes("13 55 AA 00 04 AA") << QByteArray();
        QTest::newRow("bad checksum: silence") << Bytes("AA 55 00 06 01 02 E0 03 01 EF") << QByteArray();
        QTest::newRow("bad checksum, then a frame") << Bytes("AA 55 00 06 01 02 E0 03 01 EF") + Request(0xE003)
                                                    << kAck;
        QTest::newRow("without the prefix: silence") << FrameCodec::Assemble(0xE003, {}, {}) << QByteArray();
        QTest::newRow("other prefix: silence") << FrameCodec::Assemble(0xE003, Bytes("01 03"), {}) << QByteArray();
    }
    void answers()
    {
        QFETCH(QByteArray, received);
        QFETCH(QByteArray, sent);
        SimDevice device = MakeDevice();
        QCOMPARE(Joined(device.Feed(received)), sent);
        // Whole frames leave nothing behind to spoil the next request.
        QCOMPARE(Joined(device.Feed(Request(0xE003))), kAck);
    }

    void frameArrivingByteByByte()
    {
        SimDevice device = MakeDevice();
        const QByteArray request = Request(0xE004);
        for (qsizetype i = 0; i + 1 < request.size(); ++i)
            QVERIFY(device.Feed(request.mid(i, 1)).isEmpty());
        QCOMPARE(Joined(device.Feed(request.right(1))), Bytes("AA 55 00 05 E0 04 04 00 ED"));
    }

    void partialFrameCanBeDropped()
    {
        SimDevice device = MakeDevice();
        device.Feed(Bytes("AA 55 01 00 E0")); // promises 256 bytes
        QVERIFY(device.HasPartial());
        device.DropPartial();
        QCOMPARE(Joined(device.Feed(Request(0xE003))), kAck);
    }

    void readCarriesPrefixTwiceAndSkipsUnknownNumbers()
    {
        SimDevice device = MakeDevice();
        // 0030 twice in the profile: the first row's value counts.
        const QByteArray reply = Joined(device.Feed(Request(0xE001, Bytes("00 30 00 31 00 32 09 99"))));
        QCOMPARE(reply, Bytes("AA 55 00 15 E1 01 01 02 00 03 00 30 41 00 04 00 31 42 43 00 02 00 32 02 5C"));
        // The reply to an empty list still carries the prefix.
        QCOMPARE(Joined(device.Feed(Request(0xE001))), Bytes("AA 55 00 06 E1 01 01 02 00 EB"));
    }

    void writeReadBackAndRestore()
    {
        SimDevice device = MakeDevice();
        QCOMPARE(Joined(device.Feed(Request(0x0030, "ZZ"))), kAck);
        QCOMPARE(Joined(device.Feed(Request(0x0032, {}))), kAck); // an empty value is a value
        QCOMPARE(device.Value(1, 0x0030), std::optional<QByteArray>("ZZ"));
        QCOMPARE(Joined(device.Feed(Request(0xE001, Bytes("00 30")))),
                 FrameCodec::Assemble(0xE101, {}, Bytes("01 02 00 04 00 30 5A 5A")));

        // The extended table lives on channel 0 only.
        QCOMPARE(Joined(device.Feed(Request(0xE050, Bytes("00")))), kAck);
        QCOMPARE(device.CurrentChannel(), 0);
        QCOMPARE(Joined(device.Feed(Request(0x0030, "Q"))), kRefusal);
        QCOMPARE(Joined(device.Feed(Request(0x0100, Bytes("02")))), kAck);
        QCOMPARE(Joined(device.Feed(Request(0xE001, Bytes("00 30 01 00")))),
                 FrameCodec::Assemble(0xE101, {}, Bytes("01 02 00 03 01 00 02")));

        QCOMPARE(Joined(device.Feed(Request(0xE002))), kAck);
        QCOMPARE(device.Value(1, 0x0030), std::optional<QByteArray>("A"));
        QCOMPARE(device.Value(0, 0x0100), std::optional<QByteArray>(Bytes("01")));
        QCOMPARE(device.Value(0, 0x0030), std::nullopt);
    }

    void tablesFromProfiles()
    {
        // Without an extended file the main table is on channel 1 and there
        // is no channel 0.
        const SimTables plain = SimProfile::FromTexts(QStringLiteral(R"({"Params":[{"CMDID":"0030","PVALUE":"HEX:41"}]})"));
        QCOMPARE(plain.mainChannel, 1);
        QVERIFY(!plain.hasExtended);
        SimDevice device(plain, Words());
        QCOMPARE(Joined(device.Feed(Request(0xE050, Bytes("00")))), kRefusal);
        QCOMPARE(Joined(device.Feed(Request(0xE050, Bytes("01")))), kAck);

        // An extended file without ExParamChannel: both tables on channel 0.
        const SimTables shared = SimProfile::FromTexts(
            QStringLiteral(R"({"ExParamFile":"x","Params":[{"CMDID":"0030","PVALUE":"HEX:41"},{"CMDID":"0100","PVALUE":"HEX:0A"}]})"),
            QStringLiteral(R"({"Params":[{"CMDID":"0100","PVALUE":"HEX:01"},"not an object",{"CMDID":"0101","PVALUE":"ab"}]})"));
        QCOMPARE(shared.mainChannel, 0);
        SimDevice both(shared, Words());
        QCOMPARE(both.CurrentChannel(), 0);
        QCOMPARE(both.Value(0, 0x0030), std::optional<QByteArray>("A"));
        QCOMPARE(both.Value(0, 0x0100), std::optional<QByteArray>(Bytes("01")));
        QCOMPARE(both.Value(0, 0x0101), std::optional<QByteArray>(QByteArray())); // "ab": no value

        QCOMPARE(SimProfile::ValueOf(QStringLiteral("HEX:0a1")), Bytes("0A"));
        QCOMPARE(SimProfile::ValueOf(QStringLiteral("HEX:")), QByteArray());
    }

    void clockFollowsThePcWithAnOffset()
    {
        SimDevice device = MakeDevice();
        QDateTime pc(QDate(2026, 12, 6), QTime(20, 56, 6));
        device.SetClock([&pc] { return pc; });
        QCOMPARE(Joined(device.Feed(Request(0xE00E))), FrameCodec::Assemble(0xE00E, {}, "2026-12-06 20:56:06"));

        QCOMPARE(Joined(device.Feed(Request(0xE00D, "2027-01-01 00:00:00"))), kAck);
        pc = pc.addSecs(10);
        QCOMPARE(Joined(device.Feed(Request(0xE00E))), FrameCodec::Assemble(0xE00E, {}, "2027-01-01 00:00:10"));

        // Nonsense leaves the clock alone.
        QCOMPARE(Joined(device.Feed(Request(0xE00D, "2027-13-01 00:00:00"))), kRefusal);
        QCOMPARE(Joined(device.Feed(Request(0xE00D, "2027-01-01 00:00"))), kRefusal);
        QCOMPARE(Joined(device.Feed(Request(0xE00E))), FrameCodec::Assemble(0xE00E, {}, "2027-01-01 00:00:10"));
    }

    // The reported strength walks through the steps, one per period from
    // start-up, and keeps the last.
    void signalSteps()
    {
        SimState state = TestState();
        state.signalSteps = {10, 14, 99, 22};
        state.signalPeriodMs = 1000;
        SimDevice device(Tables(), Words(), state);
        qint64 upMs = 0;
        device.SetUptime([&upMs] { return upMs; });
        QCOMPARE(Joined(device.Feed(Request(0xE023))), Bytes("AA 55 00 05 E0 23 0A 01 12"));
        const QList<QPair<qint64, int>> readings{{999, 10}, {1000, 14}, {2500, 99}, {3000, 22}, {86400000, 22}};
        for (const auto &[ms, csq] : readings) {
            upMs = ms;
            const QByteArray reply = Joined(device.Feed(Request(0xE023)));
            QCOMPARE(reply.size(), 9);
            QCOMPARE(int(quint8(reply[6])), csq);
        }
        QCOMPARE(Joined(device.Feed(Request(0xE023))), Bytes("AA 55 00 05 E0 23 16 01 1E"));
    }

    // Stepping per request: each signal request gets the next value whatever
    // the time, the last one is kept, and other requests take no step.
    void signalStepsPerRequest()
    {
        SimState state = TestState();
        state.signalSteps = {10, 14, 99};
        state.signalPerRequest = true;
        SimDevice device(Tables(), Words(), state);
        qint64 upMs = 0;
        device.SetUptime([&upMs] { return upMs; });
        QList<int> seen;
        for (int i = 0; i < 5; ++i) {
            upMs = 86400000LL * i; // time plays no part
            const QByteArray reply = Joined(device.Feed(Request(0xE023)));
            QCOMPARE(reply.size(), 9);
            seen << int(quint8(reply[6]));
            device.Feed(Request(0xE004)); // a status request in between
        }
        QCOMPARE(seen, (QList<int>{10, 14, 99, 99, 99}));
        QCOMPARE(Joined(device.Feed(Request(0xE023))), Bytes("AA 55 00 05 E0 23 63 01 6B"));
    }

    // Each unit of a fleet holds its own values and answers by its own
    // settings.
    void fleetUnitsAreIndependent()
    {
        SimOptions options;
        QString error;
        QVERIFY2(SimOptions::Parse({"dtusim", "--profile", "p.txt", "--count", "3", "--delay", "0", "--unit", "2",
                                    "--silent", "--unit", "3", "--refuse", "--only", "0030", "--signal", "9"},
                                   &options, &error),
                 qPrintable(error));
        QStringList log;
        SimFleet fleet(options, Tables(), Words(), [&log](const QString &line) { log << line; });
        QCOMPARE(fleet.Count(), 3);
        SimDevice &one = fleet.Device(1), &two = fleet.Device(2), &three = fleet.Device(3);

        QCOMPARE(Timeline(one.Feed(Request(0x0030, "ZZ"))), "0:AA 55 00 04 00 F0 00 F4");
        QCOMPARE(one.Value(1, 0x0030), std::optional<QByteArray>("ZZ"));
        QCOMPARE(two.Value(1, 0x0030), std::optional<QByteArray>("A"));
        QCOMPARE(three.Value(1, 0x0030), std::optional<QByteArray>("A"));

        QVERIFY(two.Feed(Request(0xE004)).isEmpty());
        QCOMPARE(Joined(one.Feed(Request(0xE050, Bytes("00")))), kAck); // channel is per unit too
        QCOMPARE(three.CurrentChannel(), 1);

        // Refuses only the write of 0030.
        QCOMPARE(Joined(three.Feed(Request(0x0030, "Q"))), kRefusal);
        QCOMPARE(Joined(three.Feed(Request(0x0031, "Q"))), kAck);
        QCOMPARE(three.Value(1, 0x0031), std::optional<QByteArray>("Q"));
        QCOMPARE(Joined(three.Feed(Request(0xE023))), Bytes("AA 55 00 05 E0 23 09 01 11"));
        QCOMPARE(Joined(one.Feed(Request(0xE023))), Bytes("AA 55 00 05 E0 23 17 01 1F"));

        // Log lines say which unit wrote them.
        QVERIFY(!log.isEmpty());
        QVERIFY2(log.filter(QRegularExpression(QStringLiteral("^unit 2: rx ch1 E004"))).size() == 1,
                 qPrintable(log.join(QLatin1Char('\n'))));
        QVERIFY2(log.filter(QRegularExpression(QStringLiteral("^unit [123]: "))).size() == log.size(),
                 qPrintable(log.join(QLatin1Char('\n'))));

        // A single unit logs as dtusim always did.
        SimOptions single;
        QVERIFY(SimOptions::Parse({"dtusim", "--profile", "p.txt"}, &single, &error));
        log.clear();
        SimFleet alone(single, Tables(), Words(), [&log](const QString &line) { log << line; });
        alone.Device(1).Feed(Request(0xE004));
        QVERIFY(!log.isEmpty() && log.first().startsWith(QLatin1String("rx ch1 E004")));
    }

    // Endpoints in unit order: a pseudo-terminal each, free TCP ports, or
    // consecutive ones from a fixed port.
    void fleetEndpoints()
    {
        const SimTables tables = Tables();
        auto options = [](const QStringList &rest) {
            SimOptions o;
            QString error;
            if (!SimOptions::Parse(QStringList{"dtusim", "--profile", "p.txt", "--count", "2"} + rest, &o, &error))
                qWarning() << error;
            return o;
        };
        QString error;
        SimFleet ptys(options({}), tables, Words());
        QVERIFY2(ptys.Open(&error), qPrintable(error));
        QCOMPARE(ptys.Endpoints().size(), 2);
        QVERIFY(ptys.Endpoints()[0].startsWith(QLatin1String("/dev/")));
        QVERIFY(ptys.Endpoints()[1].startsWith(QLatin1String("/dev/")));
        QVERIFY(ptys.Endpoints()[0] != ptys.Endpoints()[1]);

        SimFleet free(options({"--tcp", "0"}), tables, Words());
        QVERIFY2(free.Open(&error), qPrintable(error));
        const QRegularExpression tcpLine(QStringLiteral("^tcp 127\\.0\\.0\\.1:[1-9][0-9]*$"));
        QVERIFY(tcpLine.match(free.Endpoints().value(0)).hasMatch());
        QVERIFY(tcpLine.match(free.Endpoints().value(1)).hasMatch());
        QVERIFY(free.Endpoints()[0] != free.Endpoints()[1]);

        // A free port P, hoping P+1 is free too; another try when it is not.
        for (int attempt = 0;; ++attempt) {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            const quint16 p = probe.serverPort();
            probe.close();
            if (p == 65535)
                continue;
            SimFleet fixed(options({"--tcp", QString::number(p)}), tables, Words());
            if (!fixed.Open(&error)) {
                QVERIFY2(attempt < 10, qPrintable(error));
                continue;
            }
            QCOMPARE(fixed.Endpoints(), (QStringList{QStringLiteral("tcp 127.0.0.1:%1").arg(p),
                                                     QStringLiteral("tcp 127.0.0.1:%1").arg(p + 1)}));
            break;
        }

        // The unit whose port is taken is named.
        QTcpServer taken;
        QVERIFY(taken.listen(QHostAddress::LocalHost, 0));
        const quint16 t = taken.serverPort();
        SimFleet blocked(options({"--tcp", QString::number(t - 1)}), tables, Words());
        QVERIFY(!blocked.Open(&error));
        QVERIFY2(error.startsWith(QStringLiteral("unit 2: cannot listen on 127.0.0.1:%1").arg(t)), qPrintable(error));
    }

    void misbehaviour_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("word");
        QTest::addColumn<QString>("timeline");
        const QString ack = QStringLiteral("AA 55 00 04 00 F0 00 F4");
        QTest::newRow("none") << QStringList() << 0xE003 << "5:" + ack;
        QTest::newRow("delay") << QStringList{"--delay", "300"} << 0xE003 << "300:" + ack;
        QTest::newRow("silent") << QStringList{"--silent"} << 0xE003 << QString();
        QTest::newRow("refuse ack") << QStringList{"--refuse"} << 0xE003 << "5:AA 55 00 04 00 F1 00 F5";
        QTest::newRow("refuse keeps data replies") << QStringList{"--refuse"} << 0xE004
                                                   << "5:AA 55 00 05 E0 04 04 00 ED";
        QTest::newRow("bad checksum") << QStringList{"--bad-checksum"} << 0xE003 << "5:AA 55 00 04 00 F0 00 F5";
        QTest::newRow("not a frame") << QStringList{"--not-frame"} << 0xE003 << "5:55 AA 00 04 00 F0 00 F4";
        QTest::newRow("strays") << QStringList{"--stray-before", "13", "--stray-after", "7788"} << 0xE003
                                << "5:13 " + ack + " 77 88";
        QTest::newRow("pieces") << QStringList{"--pieces", "3:100"} << 0xE003
                                << "5:AA 55 00;100:04 00 F0;100:00 F4";
        QTest::newRow("more pieces than bytes") << QStringList{"--pieces", "20:1", "--delay", "0"} << 0xE003
                                                << "0:AA;1:55;1:00;1:04;1:00;1:F0;1:00;1:F4";
        QTest::newRow("trickle wins over pieces") << QStringList{"--trickle", "20", "--pieces", "2:5"} << 0xE003
                                                  << "5:AA;20:55;20:00;20:04;20:00;20:F0;20:00;20:F4";
        QTest::newRow("only other word") << QStringList{"--silent", "--only", "E004"} << 0xE003 << "5:" + ack;
        QTest::newRow("only this word") << QStringList{"--silent", "--only", "e003"} << 0xE003 << QString();
        QTest::newRow("combined") << QStringList{"--refuse", "--bad-checksum", "--stray-before", "00", "--pieces",
                                                 "2:7", "--delay", "1"}
                                  << 0xE003 << "1:00 AA 55 00 04;7:00 F1 00 F6";
    }
    void misbehaviour()
    {
        QFETCH(QStringList, options);
        QFETCH(int, word);
        QFETCH(QString, timeline);
        SimOptions parsed;
        QString error;
        QVERIFY2(SimOptions::Parse(QStringList{"dtusim", "--profile", "p.txt"} + options, &parsed, &error),
                 qPrintable(error));
        SimDevice device = MakeDevice(parsed.units.first().misbehaviour);
        QCOMPARE(Timeline(device.Feed(Request(static_cast<quint16>(word)))), timeline);
    }

    void passwordGate_data()
    {
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QList<QByteArray>>("feeds");
        QTest::addColumn<int>("state");
        QTest::addColumn<QByteArray>("forwarded");
        using Feeds = QList<QByteArray>;
        const int waiting = int(PasswordGate::State::Waiting), open = int(PasswordGate::State::Open),
                  rejected = int(PasswordGate::State::Rejected);
        QTest::newRow("exact") << QByteArray("480917") << Feeds{"480917"} << open << QByteArray();
        QTest::newRow("frame behind it") << QByteArray("480917") << Feeds{"480917\xAA\x55"} << open
                                         << QByteArray("\xAA\x55");
        QTest::newRow("in pieces") << QByteArray("480917") << Feeds{"48", "09", "17AB", "CD"} << open
                                   << QByteArray("ABCD");
        QTest::newRow("not yet") << QByteArray("480917") << Feeds{"4809"} << waiting << QByteArray();
        QTest::newRow("wrong at once") << QByteArray("480917") << Feeds{"\xAA\x55\x00\x04"} << rejected
                                       << QByteArray();
        QTest::newRow("wrong late") << QByteArray("480917") << Feeds{"4809", "18", "480917"} << rejected
                                    << QByteArray();
        QTest::newRow("no password") << QByteArray() << Feeds{"AB"} << open << QByteArray("AB");
    }
    void passwordGate()
    {
        QFETCH(QByteArray, password);
        QFETCH(QList<QByteArray>, feeds);
        QFETCH(int, state);
        QFETCH(QByteArray, forwarded);
        PasswordGate gate(password);
        QByteArray out;
        for (const QByteArray &f : feeds)
            out += gate.Feed(f);
        QCOMPARE(int(gate.state()), state);
        QCOMPARE(out, forwarded);
    }
};

DTU_TEST_GUILESS(SimDeviceTest)
#include "tst_sim_device.moc"
