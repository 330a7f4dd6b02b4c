// Reading parameters: the request, the reply checks, the record walk and the
// display values, against a small device on a virtual clock.
#include "ops/ParamReader.h"
#include "ops/ProfileLoader.h"
#include "protocol/FrameCodec.h"
#include "support/TestMain.h"
#include "support/VirtualRig.h"

#include <QMap>
#include <QTemporaryDir>
#include <QTest>

namespace {

using TestFrames::FrameWithLength; // the checksum covers what is really there
using TestFrames::Record;

// A device holding `values`: a parameter read (E001) is answered with a
// record for each number asked that it holds, a table selection with
// `selectReply` (empty: silence), anything else acknowledged; the kit's
// queued answers (`next`) go first.
struct ReadRig : VirtualRig {
    QMap<quint16, QByteArray> values;
    int prefixLength = 0; // bytes the script puts before the command word
    QByteArray selectReply = TestFrames::kAck;

    ReadRig()
    {
        device.responder = [this](const QByteArray &frame) { device.Schedule(30, Answer(frame)); };
    }
    QByteArray Answer(const QByteArray &frame)
    {
        if (!next.isEmpty())
            return next.takeFirst();
        const auto word = [](const QByteArray &b, int at) { return quint16(quint8(b[at]) << 8 | quint8(b[at + 1])); };
        const quint16 command = word(frame, 4 + prefixLength);
        if (command == 0xE050)
            return selectReply;
        if (command != 0xE001)
            return TestFrames::kAck;
        const QByteArray ids = frame.mid(6 + prefixLength, FrameCodec::LengthField(frame) - 4 - prefixLength);
        QByteArray records;
        for (int i = 0; i + 1 < ids.size(); i += 2)
            if (values.contains(word(ids, i)))
                records += Record(word(ids, i), values[word(ids, i)]);
        return TestFrames::Frame(0xE101, records);
    }
};

// A row as the profile left it before a read: HEX:00, shown as 旧.
TestRow Old(const QString &number, const QString &onList = {}, const QString &onGet = {})
{
    return TestRow(number, QStringLiteral("名称") + number).Hex(QStringLiteral("HEX:00")).Value(QStringLiteral("旧"))
        .OnList(onList).OnGet(onGet);
}

const QString kDone = QStringLiteral("[参数读取完毕]");

} // namespace

class ParamReadTest : public QObject {
    Q_OBJECT
private slots:
    void recordWalk_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("hex30");
        QTest::addColumn<QString>("hex31");
        const QString untouched = QStringLiteral("HEX:00");
        auto frame = [](const char *area) { return TestFrames::Frame(0xE101, Bytes(area)); };
        QTest::newRow("two records") << frame("00 03 00 30 41 00 04 00 31 42 43") << "HEX:41" << "HEX:4243";
        QTest::newRow("no value bytes") << frame("00 02 00 30") << "HEX:" << untouched;
        QTest::newRow("unknown number skipped") << frame("00 03 00 99 FF 00 03 00 31 42") << untouched << "HEX:42";
        QTest::newRow("1 trailing byte") << frame("00 03 00 30 41 00") << "HEX:41" << untouched;
        QTest::newRow("3 trailing bytes") << frame("00 03 00 30 41 00 05 00") << "HEX:41" << untouched;
        QTest::newRow("record cut by the area") << frame("00 03 00 31 42 00 09 00 30 41 42") << "HEX:4142"
                                                << "HEX:42";
        // Length field 0x20 though only 8 bytes follow the word: the records
        // are taken from what arrived, and the checksum is not one of them.
        QTest::newRow("length beyond reply") << FrameWithLength(0xE101, Bytes("00 03 00 30 41 00 09 00"), 0x20)
                                             << "HEX:41" << untouched;
        QTest::newRow("length beyond, cut record")
            << FrameWithLength(0xE101, Bytes("00 06 00 31 42 43"), 0x20) << untouched << "HEX:4243";
        // A length field shorter than the data: only L - 4 bytes are records.
        QTest::newRow("length shorter") << FrameWithLength(0xE101, Bytes("00 03 00 30 41 00 03 00 31 42"), 9)
                                        << "HEX:41" << untouched;
        QTest::newRow("stray bytes before") << Bytes("13 00 ") + frame("00 03 00 30 41") << "HEX:41" << untouched;
        QTest::newRow("high byte of word only") << TestFrames::Frame(0xE1FF, Bytes("00 03 00 30 41"))
                                                << "HEX:41" << untouched;
        // Record boundaries: exactly four bytes left is a record; N below 2
        // carries no value and the next record starts 2 + N bytes on.
        QTest::newRow("last record exactly 4 bytes")
            << Bytes("AA 55 00 0D E1 01 00 03 00 30 41 00 02 00 31 01 96") << "HEX:41" << "HEX:";
        QTest::newRow("N = 1") << Bytes("AA 55 00 08 E1 01 00 01 00 30 01 1B") << "HEX:" << untouched;
        QTest::newRow("N = 0") << Bytes("AA 55 00 0D E1 01 00 00 00 31 00 03 00 30 41 01 94") << untouched
                               << "HEX:";
    }
    void recordWalk()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, hex30);
        QFETCH(QString, hex31);
        ReadRig rig;
        rig.Main(Old(QStringLiteral("0030")));
        rig.Main(Old(QStringLiteral("0031")));
        rig.next << reply;
        ParamReader::ReadPage(rig.session);
        QCOMPARE(rig.device.written.size(), 1);
        QCOMPARE(rig.device.written[0], Bytes("AA 55 00 08 E0 01 00 30 00 31 01 4A"));
        QCOMPARE(rig.Hex(QStringLiteral("0030")), hex30);
        QCOMPARE(rig.Hex(QStringLiteral("0031")), hex31);
        QCOMPARE(rig.fe.memo.last(), kDone);
        QCOMPARE(rig.fe.resultPanel, kDone);
        QVERIFY(rig.session.state.ModifiedParamList.IsEmpty());
    }

    // A row the reply does not hold keeps its cells, marked as not the
    // device's; a reply that holds none of the rows asked for is a failed
    // read, whatever the profile's values would show.
    void rowsNotReported_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QStringList>("reported");
        QTest::addColumn<int>("result");
        const auto frame = [](const char *records) { return TestFrames::Frame(0xE101, Bytes(records)); };
        QTest::newRow("both") << frame("00 03 00 30 41 00 03 00 31 42") << QStringList{"0030", "0031"}
                              << TransactionResult::Accepted;
        QTest::newRow("one") << frame("00 03 00 31 42") << QStringList{"0031"} << TransactionResult::Accepted;
        QTest::newRow("no records") << Bytes("AA 55 00 04 E1 01 00 E6") << QStringList{}
                                    << TransactionResult::NothingReported;
        QTest::newRow("only a number not asked") << frame("00 03 00 99 41") << QStringList{}
                                                 << TransactionResult::NothingReported;
    }
    void rowsNotReported()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, reported);
        QFETCH(int, result);
        ReadRig rig;
        rig.Main(Old(QStringLiteral("0030")));
        rig.Main(Old(QStringLiteral("0031")));
        rig.next << reply;
        const ReadOutcome read = ParamReader::ReadPage(rig.session);
        QCOMPARE(read.result, result);
        QCOMPARE(read.reportedMain, reported);
        for (const QString &number : {QStringLiteral("0030"), QStringLiteral("0031")}) {
            const int row = rig.session.mainTable.FindByNumber(number);
            QCOMPARE(rig.session.mainTable.Row(row).unreported, !reported.contains(number));
        }
        if (result != TransactionResult::Accepted)
            QCOMPARE(rig.fe.memo.last(), QStringLiteral("[参数读取失败，设备没有报告任何参数！]"));
    }

    void replyChecks_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("text");
        const QByteArray good = TestFrames::Frame(0xE101, Bytes("00 03 00 30 41"));
        QTest::newRow("silent") << QByteArray() << "[参数读取失败，设备无响应！]";
        QTest::newRow("no header") << Bytes("55 AA 00 04 E1 01 00 E6") << "[参数读取失败，返回数据包头非法！]";
        QTest::newRow("wrong word") << TestFrames::Frame(0xE201, Bytes("00 03 00 30 41"))
                                    << "[参数读取失败，返回数据包命令字非法！]";
        QTest::newRow("header only") << Bytes("AA 55") << "[参数读取失败，返回数据包命令字非法！]";
        QTest::newRow("bad checksum") << good.left(good.size() - 1) + "\x01"
                                      << "[参数读取失败，返回数据包校验错！]";
        QTest::newRow("stray bytes after") << good + Bytes("77") << "[参数读取失败，返回数据包校验错！]";
        // Length boundaries of AA 55 00 09 E1 01 00 03 00 30 41 01 5F.
        QTest::newRow("one byte short") << Bytes("AA 55 00 09 E1 01 00 03 00 30 41 01")
                                        << "[参数读取失败，返回数据包校验错！]";
        QTest::newRow("one byte long") << Bytes("AA 55 00 09 E1 01 00 03 00 30 41 01 5F 00")
                                       << "[参数读取失败，返回数据包校验错！]";
        QTest::newRow("one byte") << Bytes("AA") << "[参数读取失败，返回数据包头非法！]";
        QTest::newRow("no word byte") << Bytes("AA 55 00 04") << "[参数读取失败，返回数据包命令字非法！]";
        QTest::newRow("word byte only") << Bytes("AA 55 00 04 E1") << "[参数读取失败，返回数据包校验错！]";
    }
    void replyChecks()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, text);
        for (const bool loggedIn : {false, true}) {
            ReadRig rig;
            rig.session.state.LoginFlag = loggedIn;
            rig.Main(Old(QStringLiteral("0030")));
            if (reply.isEmpty())
                rig.device.responder = nullptr;
            else
                rig.next << reply;
            ParamReader::ReadPage(rig.session);
            QCOMPARE(rig.fe.memo, QStringList{text});
            QCOMPARE(rig.Hex(QStringLiteral("0030")), QStringLiteral("HEX:00"));
            // Without a login the panel ends on the done text; the failure
            // stays visible in the memo.
            QCOMPARE(rig.fe.resultPanel, loggedIn ? text : kDone);
        }
    }

    void displayValues_data()
    {
        QTest::addColumn<QString>("onList");
        QTest::addColumn<QString>("onGet");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("shown");
        const QString offOn = QStringLiteral("[[\"关\",\"开\"],[\"00\",\"01\"]]");
        QTest::newRow("list match") << offOn << QString() << Bytes("01") << "开";
        QTest::newRow("list no match") << offOn << QString() << Bytes("02") << "旧";
        QTest::newRow("list last match wins") << QStringLiteral("[[\"甲\",\"乙\"],[\"01\",\"01\"]]") << QString()
                                              << Bytes("01") << "乙";
        QTest::newRow("list case exact") << QStringLiteral("[[\"甲\"],[\"0a\"]]") << QString() << Bytes("0A")
                                         << "旧";
        QTest::newRow("list upper case code") << QStringLiteral("[[\"小写\",\"大写\"],[\"0a\",\"0A\"]]")
                                              << QString() << Bytes("0A") << "大写";
        // Only a text beginning with "[[" is read as a list; ONGET decodes the rest.
        QTest::newRow("list after a space") << " " + offOn << "'脚本'" << Bytes("01") << "脚本";
        QTest::newRow("float") << QString() << "GetFloat()" << Bytes("41 20 00 00") << "10.000";
        QTest::newRow("short float") << QString() << "GetFloat()" << Bytes("3F C0") << "1.500";
        QTest::newRow("string") << QString() << "GetStr()" << Bytes("31 2E 30") << "1.0";
        QTest::newRow("string padded with zero bytes") << QString() << "GetStr()" << Bytes("31 2E 30 00 00 33") << "1.0";
        QTest::newRow("script") << "Length=5;" << "GetUInt()" << Bytes("1F 90") << "8080";
        QTest::newRow("script sees hexinput") << QString() << "hexinput.toLowerCase()" << Bytes("AB CD") << "abcd";
        QTest::newRow("script error keeps text") << QString() << "NoSuchFunction()" << Bytes("01") << "旧";
    }
    void displayValues()
    {
        QFETCH(QString, onList);
        QFETCH(QString, onGet);
        QFETCH(QByteArray, value);
        QFETCH(QString, shown);
        ReadRig rig;
        rig.Main(Old(QStringLiteral("0030"), onList, onGet));
        rig.Main(Old(QStringLiteral("0031")));
        rig.values[0x30] = value;
        rig.values[0x31] = Bytes("07");
        ParamReader::ReadPage(rig.session);
        QCOMPARE(rig.Hex(QStringLiteral("0030")), QStringLiteral("HEX:") + BytesToHex(value));
        QCOMPARE(rig.Value(QStringLiteral("0030")), shown);
        QCOMPARE(rig.Hex(QStringLiteral("0031")), QStringLiteral("HEX:07")); // the walk went on
    }

    void malformedListEndsWalkSilently()
    {
        ReadRig rig;
        rig.Main(Old(QStringLiteral("0030")));
        rig.Main(Old(QStringLiteral("0031"), QStringLiteral("[[\"甲\"]")));
        rig.Main(Old(QStringLiteral("0032")));
        rig.values[0x30] = Bytes("01");
        rig.values[0x31] = Bytes("02");
        rig.values[0x32] = Bytes("03");
        ParamReader::ReadPage(rig.session);
        QCOMPARE(rig.Hex(QStringLiteral("0030")), QStringLiteral("HEX:01"));
        QCOMPARE(rig.Hex(QStringLiteral("0031")), QStringLiteral("HEX:02")); // set before the list failed
        QCOMPARE(rig.Hex(QStringLiteral("0032")), QStringLiteral("HEX:00"));
        QCOMPARE(rig.fe.memo, QStringList{kDone});
        QVERIFY(rig.fe.messages.isEmpty() && rig.fe.errors.isEmpty());
    }

    void prefixIsSkipped()
    {
        ReadRig rig;
        rig.session.script.Eval(QStringLiteral("function PrevCmd() { return \"0102\"; }"));
        rig.prefixLength = 2;
        rig.Main(Old(QStringLiteral("0030")));
        // The reply carries prefix-length bytes after its word.
        rig.next << TestFrames::Frame(0xE101, Bytes("01 02 00 03 00 30 41"));
        ParamReader::ReadPage(rig.session);
        QCOMPARE(rig.device.written[0], Bytes("AA 55 00 08 01 02 E0 01 00 30 01 1C"));
        QCOMPARE(rig.Hex(QStringLiteral("0030")), QStringLiteral("HEX:41"));
    }

    void channelRules()
    {
        {   // closed channel: message, nothing sent
            ReadRig rig;
            rig.Main(Old(QStringLiteral("0030")));
            rig.device.open = false;
            ParamReader::ReadPage(rig.session);
            ParamReader::ReadPage(rig.session, Page::Extended);
            QCOMPARE(rig.fe.messages.size(), 2);
            QCOMPARE(rig.fe.messages[0], DtuSession::ChannelClosedText());
            QVERIFY(rig.device.written.isEmpty());
        }
        {   // no table active: nothing sent, still "done"
            ReadRig rig;
            rig.Main(Old(QStringLiteral("0030")));
            rig.session.state.CurrentParamChannel = 5;
            ParamReader::ReadPage(rig.session);
            QVERIFY(rig.device.written.isEmpty());
            QCOMPARE(rig.fe.resultPanel, kDone);
        }
        {   // after a login a successful read leaves the "reading" text
            ReadRig rig;
            rig.session.state.LoginFlag = true;
            rig.Main(Old(QStringLiteral("0030")));
            rig.values[0x30] = Bytes("01");
            ParamReader::ReadPage(rig.session);
            QCOMPARE(rig.fe.resultPanel, QStringLiteral("[参数读取中，请稍候...]"));
            QCOMPARE(rig.fe.memo.last(), kDone);
        }
    }

    // Each read button at each remembered channel, with the interface page
    // shown (main table on channel 1 with 0030, extended table 0100). The
    // main page reads the table the device serves, or selects the main one
    // when it serves none; the extended page always reads on channel 0. A
    // selection the device refuses ends the read with its own line instead
    // of reading whatever table the device is on.
    void readAtEachChannel_data()
    {
        QTest::addColumn<bool>("extPage");
        QTest::addColumn<int>("current");
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<QList<QByteArray>>("sent");
        QTest::addColumn<int>("currentAfter");
        QTest::addColumn<QString>("mainHex");
        QTest::addColumn<QString>("extHex");
        QTest::addColumn<QStringList>("memo");
        const QByteArray select0 = Bytes("AA 55 00 05 E0 50 00 01 35");
        const QByteArray select1 = Bytes("AA 55 00 05 E0 50 01 01 36");
        const QByteArray readMain = Bytes("AA 55 00 06 E0 01 00 30 01 17");
        const QByteArray readExt = Bytes("AA 55 00 06 E0 01 01 00 00 E8");
        const QString old = QStringLiteral("HEX:00");
        const QString main = QStringLiteral("HEX:11");
        const QString ext = QStringLiteral("HEX:22");
        const QStringList done{kDone};
        const QStringList notSwitched{QStringLiteral("[参数读取失败，设备未切换参数表！]")};
        using L = QList<QByteArray>;

        QTest::newRow("main page, main channel") << false << 1 << false << L{readMain} << 1 << main << old << done;
        QTest::newRow("main page, channel 0") << false << 0 << false << L{readExt} << 0 << old << ext << done;
        QTest::newRow("main page, unknown") << false << -1 << false << L{select1, readMain} << 1 << main << old
                                            << done;
        QTest::newRow("main page, channel 5") << false << 5 << false << L{select1, readMain} << 1 << main << old
                                              << done;
        QTest::newRow("ext page, main channel") << true << 1 << false << L{select0, readExt} << 0 << old << ext
                                                << done;
        QTest::newRow("ext page, channel 0") << true << 0 << false << L{readExt} << 0 << old << ext << done;
        QTest::newRow("ext page, unknown") << true << -1 << false << L{select0, readExt} << 0 << old << ext << done;
        QTest::newRow("ext page, channel 5") << true << 5 << false << L{select0, readExt} << 0 << old << ext << done;

        QTest::newRow("main page, unknown, refused") << false << -1 << true << L{select1} << -1 << old << old
                                                     << notSwitched;
        QTest::newRow("ext page, main channel, refused") << true << 1 << true << L{select0} << -1 << old << old
                                                         << notSwitched;
        // Known to be on the table: no selection to refuse.
        QTest::newRow("ext page, channel 0, refusing") << true << 0 << true << L{readExt} << 0 << old << ext << done;
    }
    void readAtEachChannel()
    {
        QFETCH(bool, extPage);
        QFETCH(int, current);
        QFETCH(bool, refuse);
        QFETCH(QList<QByteArray>, sent);
        QFETCH(int, currentAfter);
        QFETCH(QString, mainHex);
        QFETCH(QString, extHex);
        QFETCH(QStringList, memo);
        ReadRig rig;
        rig.session.state.ExtPageVisible = true;
        rig.Main(Old(QStringLiteral("0030")));
        rig.Ext(Old(QStringLiteral("0100")));
        rig.session.state.CurrentParamChannel = current;
        rig.values[0x30] = Bytes("11");
        rig.values[0x100] = Bytes("22");
        if (refuse)
            rig.selectReply = Bytes("AA 55 00 04 00 F1 00 F5");
        ParamReader::ReadPage(rig.session, extPage ? Page::Extended : Page::Main);
        QCOMPARE(rig.device.written, sent);
        QCOMPARE(rig.session.state.CurrentParamChannel, currentAfter);
        QCOMPARE(rig.session.mainTable.Cell(0, ColHex), mainHex);
        QCOMPARE(rig.session.extTable.Cell(0, ColHex), extHex);
        QCOMPARE(rig.fe.memo, memo);
        QCOMPARE(rig.fe.resultPanel, memo.last());

        // The next click selects again; once the device confirms, it reads.
        rig.selectReply = Bytes("AA 55 00 04 00 F0 00 F4");
        rig.device.written.clear();
        ParamReader::ReadPage(rig.session, extPage ? Page::Extended : Page::Main);
        QCOMPARE(rig.device.written.last(), extPage || current == 0 ? Bytes("AA 55 00 06 E0 01 01 00 00 E8")
                                                                  : Bytes("AA 55 00 06 E0 01 00 30 01 17"));
    }

    void exampleProfileRead()
    {
        ReadRig rig;
        ProfileLoader::LoadProfile(rig.session, TestPaths::Example(QStringLiteral("example_profile.txt")));
        QVERIFY(rig.session.state.ExtPageVisible);
        QVERIFY(rig.session.state.MainTableActive());
        rig.values[0x30] = QByteArray("192.168.1.9");
        rig.values[0x32] = Bytes("01");
        rig.values[0x41] = Bytes("3F C0 00 00");
        rig.values[0x100] = Bytes("00");
        const QString extBefore = rig.session.extTable.Cell(rig.session.extTable.FindByNumber("0100"), ColValue);
        ParamReader::ReadPage(rig.session);
        QCOMPARE(rig.Value(QStringLiteral("0030")), QStringLiteral("192.168.1.9"));
        QCOMPARE(rig.Value(QStringLiteral("0032")), QStringLiteral("UDP"));
        QCOMPARE(rig.Value(QStringLiteral("0041")), QStringLiteral("1.500"));
        QCOMPARE(rig.session.extTable.Cell(rig.session.extTable.FindByNumber("0100"), ColValue), extBefore);
        // The request carried the main id list only.
        const QByteArray &req = rig.device.written.last();
        QCOMPARE(req.mid(6, req.size() - 8), rig.session.state.MainParamIdList);
    }

    // Numbers in the profile may be written in either letter case: the
    // request carries their bytes and each record finds its row.
    void numbersInAnyLetterCase()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("case.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"Params\": [{\"CMDID\": \"00a1\", \"PVALUE\": \"HEX:00\", \"ONGET\": \"GetStr()\"},"
                   " {\"CMDID\": \"00B2\", \"PVALUE\": \"HEX:00\", \"ONGET\": \"GetStr()\"}]}");
        file.close();
        ReadRig rig;
        ProfileLoader::LoadProfile(rig.session, path);
        rig.next << Bytes("AA 55 00 0E E1 01 00 03 00 A1 11 00 03 00 B2 22 02 7C");
        ParamReader::ReadPage(rig.session);
        QCOMPARE(rig.device.written, QList<QByteArray>{Bytes("AA 55 00 08 E0 01 00 A1 00 B2 02 3C")});
        QCOMPARE(rig.session.mainTable.Cell(0, ColHex), QStringLiteral("HEX:11"));
        QCOMPARE(rig.session.mainTable.Cell(1, ColHex), QStringLiteral("HEX:22"));
        QCOMPARE(rig.fe.memo, QStringList{kDone});
    }

    void extendedPageRead()
    {
        ReadRig rig;
        rig.session.state.ExtPageVisible = true;
        rig.Main(Old(QStringLiteral("0030")));
        rig.Ext(Old(QStringLiteral("0100")));
        // The extended table's lists follow the same rules: the last exact match, or the old text.
        rig.Ext(Old(QStringLiteral("0101"), QStringLiteral("[[\"甲\",\"乙\"],[\"01\",\"01\"]]")));
        rig.Ext(Old(QStringLiteral("0102"), QStringLiteral("[[\"甲\"],[\"0a\"]]")));
        rig.session.state.CurrentParamChannel = 0;
        rig.values[0x30] = Bytes("11");
        rig.values[0x100] = Bytes("22");
        rig.values[0x101] = Bytes("01");
        rig.values[0x102] = Bytes("0A");
        ParamReader::ReadPage(rig.session, Page::Extended);
        const ParamTableModel &ext = rig.session.extTable;
        QCOMPARE(ext.Cell(0, ColHex), QStringLiteral("HEX:22"));
        QCOMPARE(ext.Cell(1, ColValue), QStringLiteral("乙"));
        QCOMPARE(ext.Cell(2, ColHex), QStringLiteral("HEX:0A"));
        QCOMPARE(ext.Cell(2, ColValue), QStringLiteral("旧"));
        QCOMPARE(rig.Hex(QStringLiteral("0030")), QStringLiteral("HEX:00"));
    }

    void mainChannelZeroReadsEachTableIntoItself()
    {
        // Both groups run; each reply goes to the table whose numbers it answers.
        ReadRig rig;
        rig.session.state.ExtPageVisible = true;
        rig.Main(Old(QStringLiteral("0030")));
        rig.Ext(Old(QStringLiteral("0030")));
        rig.session.state.MainParamChannel = 0;
        rig.session.state.CurrentParamChannel = 0;
        rig.next << TestFrames::Frame(0xE101, Bytes("00 03 00 30 AA"))
                          << TestFrames::Frame(0xE101, Bytes("00 03 00 30 BB"));
        ParamReader::ReadAllParameters(rig.session);
        QCOMPARE(rig.device.written.size(), 2);
        QCOMPARE(rig.session.mainTable.Cell(0, ColHex), QStringLiteral("HEX:AA"));
        QCOMPARE(rig.session.extTable.Cell(0, ColHex), QStringLiteral("HEX:BB"));
    }

    void recordAreaBounds_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<int>("prefix");
        QTest::addColumn<QByteArray>("area");
        QTest::newRow("empty") << Bytes("AA 55 00 04 E1 01 00 00") << 0 << QByteArray();
        QTest::newRow("prefix longer than data") << Bytes("AA 55 00 05 E1 01 09 00 00") << 2 << QByteArray();
        QTest::newRow("length field zero") << Bytes("AA 55 00 00 E1 01 09 00 00") << 0 << QByteArray();
    }
    void recordAreaBounds()
    {
        QFETCH(QByteArray, frame);
        QFETCH(int, prefix);
        QFETCH(QByteArray, area);
        QCOMPARE(ParamReader::RecordArea(frame, prefix), area);
    }
};

DTU_TEST_GUILESS(ParamReadTest)
#include "tst_param_read.moc"
