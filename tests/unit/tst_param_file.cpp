// The whole-device menu: restore, reset, saving the parameter file and the
// batch write, over a scripted device on a virtual clock and real files.
#include "core/TextFile.h"
#include "ops/ParamFile.h"
#include "ops/ProfileLoader.h"
#include "support/TestMain.h"
#include "support/VirtualRig.h"
#include "support/WorkFolder.h"

#include <QDir>
#include <QFile>

#include <QTest>

namespace {

QStringList TableCells(const ParamTableModel &table)
{
    QStringList cells;
    for (int r = 0; r < table.Count(); ++r)
        for (const QString &c : table.Row(r).cells)
            cells << c;
    return cells;
}

const JsonValue &Element(const DeviceProfile &p, int i) { return p.Params()->Items().at(i); }
QString Member(const JsonValue &object, const QString &key)
{
    const JsonValue *v = object.Find(key);
    return v ? v->Text() : QStringLiteral("<absent>");
}

// JSON written with ' for " and ` for \" keeps the test profiles readable.
QString Json(const char *text)
{
    return QString::fromUtf8(text)
        .replace(QLatin1Char('`'), QStringLiteral("\\\""))
        .replace(QLatin1Char('\''), QLatin1Char('"'));
}

// One line, members in an unusual order, an unknown member at both levels,
// a non-object entry that ends the load (so 0099 has no row), and Buttons.
const QString kOneLineProfile = Json(
    "{'Title':'测试设备','Extra':{'k':[1,2.50]},'Params':[{'CMDID':'','PNAME':'分组'},"
    "{'CMDID':'0030','PNAME':'中心地址','PVALUE':'HEX:3132','ONGET':'GetStr()','ONSET':'SetStr()','PMEMO':'保留'},"
    "{'PNAME':'中心端口','CMDID':'0031','PVALUE':'HEX:0050','ONGET':'GetUInt()'},"
    "{'CMDID':'0032','PNAME':'协议','PVALUE':'HEX:00','ONLIST':'[[`TCP`,`UDP`],[`00`,`01`]]'},"
    "7,{'CMDID':'0099','PNAME':'不在表中','PVALUE':'HEX:AA'}],"
    "'Buttons':[{'BNAME':'查询','ONCLICK':'','ONREPLY':''}]}");

// A main table (heading, 0030, 0091, 0031) on channel 1 and an extended
// table (0100, 0101) on channel 0.
const QString kTwoTableProfile = Json(
    "{'Params':[{'CMDID':'','PNAME':'组'},{'CMDID':'0030','PNAME':'甲','PVALUE':'HEX:31'},"
    "{'CMDID':'0091','PNAME':'保护','PVALUE':'HEX:01'},{'CMDID':'0031','PNAME':'乙','PVALUE':'HEX:0203'}],"
    "'ExParamFile':'ext.txt','ExParamChannel':1}");
const QString kExtFile = Json(
    "{'Params':[{'CMDID':'0100','PNAME':'丙','PVALUE':'HEX:05'},{'CMDID':'0101','PNAME':'丁','PVALUE':'HEX:'}]}");

// kTwoTableProfile and its extended file, written into dir, loaded.
void LoadTwoTables(VirtualRig &rig, const WorkFolder &dir)
{
    dir.WriteGbk(QStringLiteral("p.txt"), kTwoTableProfile);
    dir.WriteGbk(QStringLiteral("ext.txt"), kExtFile);
    ProfileLoader::LoadProfile(rig.session, dir.Path(QStringLiteral("p.txt")));
}

using TestFrames::kAck;
const QByteArray kSelect0 = Bytes("AA 55 00 05 E0 50 00 01 35");
const QByteArray kSelect1 = Bytes("AA 55 00 05 E0 50 01 01 36");
const QByteArray kWrite30 = Bytes("AA 55 00 05 00 30 31 00 66");
const QByteArray kWrite31 = Bytes("AA 55 00 06 00 31 02 03 00 3C");

} // namespace

class ParamFileTest : public QObject {
    Q_OBJECT
private slots:
    void maintenance_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("text");
        QTest::newRow("restore, no answer") << true << QByteArray() << QStringLiteral("[参数设置失败，设备无响应！]");
        QTest::newRow("restore, ack") << true << Bytes("AA 55 00 04 00 F0 00 F4") << QStringLiteral("[参数设置成功]");
        QTest::newRow("restore, refused") << true << Bytes("AA 55 00 04 00 F1 00 F5") << QStringLiteral("[参数设置失败]");
        QTest::newRow("restore, not a frame")
            << true << Bytes("55 AA 00 04 00 F0 00 F4") << QStringLiteral("[参数设置失败，非法的返回串！]");
        QTest::newRow("restore, checksum")
            << true << Bytes("AA 55 00 04 00 F0 00 F5") << QStringLiteral("[参数设置失败，返回帧校验错误！]");
        QTest::newRow("reset, ack") << false << Bytes("AA 55 00 04 00 F0 00 F4") << QStringLiteral("[复位设备成功]");
        QTest::newRow("reset, no answer") << false << QByteArray() << QStringLiteral("[复位设备失败，设备无响应！]");
        QTest::newRow("reset, checksum")
            << false << Bytes("AA 55 00 04 00 F0 00 F5") << QStringLiteral("[复位设备失败，返回帧校验错误！]");
    }
    void maintenance()
    {
        QFETCH(bool, restore);
        QFETCH(QByteArray, reply);
        QFETCH(QString, text);
        VirtualRig b;
        if (!reply.isEmpty())
            b.AnswerEveryFrame(reply);
        b.fe.resultPanel = QStringLiteral("[参数读取完毕]");
        restore ? ParamFile::RestoreDefaultsMenu(b.session) : ParamFile::ResetMenu(b.session);
        QCOMPARE(b.fe.questions,
                 QStringList{restore ? ParamFile::RestoreQuestion() : ParamFile::ResetQuestion()});
        QCOMPARE(b.device.written.size(), 1);
        QCOMPARE(b.fe.resultPanel, text);
        QCOMPARE(b.fe.memo, QStringList{text}); // one line, not two
    }

    void cancelledOrClosed_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::addColumn<bool>("open");
        QTest::newRow("reset cancelled") << false << true;
        QTest::newRow("restore cancelled") << true << true;
        QTest::newRow("reset, channel closed") << false << false;
        QTest::newRow("restore, channel closed") << true << false;
    }
    void cancelledOrClosed()
    {
        QFETCH(bool, restore);
        QFETCH(bool, open);
        VirtualRig b;
        b.device.open = open;
        b.fe.answers = {false};
        b.fe.resultPanel = QStringLiteral("[参数读取完毕]");
        restore ? ParamFile::RestoreDefaultsMenu(b.session) : ParamFile::ResetMenu(b.session);
        QVERIFY(b.device.written.isEmpty());
        QCOMPARE(b.fe.resultPanel, QStringLiteral("[参数读取完毕]"));
        if (open) {
            QCOMPARE(b.fe.questions.size(), 1);
            QCOMPARE(b.fe.memo, QStringList{QStringLiteral("[参数读取完毕]")});
            QVERIFY(b.fe.messages.isEmpty());
        } else {
            QVERIFY(b.fe.questions.isEmpty()); // the check comes before the question
            QVERIFY(b.fe.memo.isEmpty());
            QCOMPARE(b.fe.messages, QStringList{DtuSession::ChannelClosedText()});
        }
    }

    void saveRightAfterLoadRoundTrips()
    {
        WorkFolder dir;
        const QString profilePath = dir.Path(QStringLiteral("example_profile.txt"));
        const QString extPath = dir.Path(QStringLiteral("example_ext.txt"));
        QVERIFY(dir.CopyExample(QStringLiteral("example_profile.txt")));
        QVERIFY(dir.CopyExample(QStringLiteral("example_ext.txt")));
        const QByteArray extBefore = dir.Read(extPath);

        VirtualRig first;
        ProfileLoader::LoadProfile(first.session, profilePath);
        QVERIFY(first.session.mainTable.Count() > 3);
        QVERIFY(first.session.extTable.Count() > 0);
        const QString saved = dir.Path(QStringLiteral("saved.txt"));
        first.fe.fileAnswers = {saved};
        ParamFile::SaveParamFile(first.session);
        QVERIFY(first.fe.messages.isEmpty());
        QCOMPARE(dir.Read(extPath), extBefore); // the extended file is never written

        VirtualRig second;
        ProfileLoader::LoadProfile(second.session, saved);
        QCOMPARE(TableCells(second.session.mainTable), TableCells(first.session.mainTable));
        QCOMPARE(TableCells(second.session.extTable), TableCells(first.session.extTable));
        QCOMPARE(second.session.facts.Caption, first.session.facts.Caption);
    }

    void saveWritesTableValues()
    {
        WorkFolder dir;
        const QString profilePath = dir.Path(QStringLiteral("one_line.txt"));
        dir.WriteGbk(profilePath, kOneLineProfile);
        VirtualRig b;
        ProfileLoader::LoadProfile(b.session, profilePath);
        ParamTableModel &table = b.session.mainTable;
        QCOMPARE(table.Count(), 4);
        table.SetCell(1, ColHex, QStringLiteral("HEX:"));
        table.SetCell(3, ColHex, QStringLiteral("HEX:01"));

        b.fe.fileAnswers = {dir.Path(QStringLiteral("saved"))}; // no extension typed
        ParamFile::SaveParamFile(b.session);
        const QString saved = dir.Path(QStringLiteral("saved.txt"));
        QVERIFY(QFile::exists(saved));
        QVERIFY(b.fe.messages.isEmpty());

        const QByteArray bytes = dir.Read(saved);
        QVERIFY(bytes.contains(TextFile::ToGbk(QStringLiteral("中心地址"))));
        QVERIFY(!bytes.contains(QStringLiteral("中心地址").toUtf8()));
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QVERIFY(bytes.count("\r\n") > 10); // indented, one member a line

        const DeviceProfile p = DeviceProfile::FromFile(saved);
        QStringList topKeys;
        for (const auto &m : p.Root().Members())
            topKeys << m.first;
        QCOMPARE(topKeys, (QStringList{"Title", "Extra", "Params", "Buttons"}));
        QCOMPARE(p.Params()->Items().size(), size_t(6));
        QCOMPARE(Member(Element(p, 0), ProfileKeys::PVALUE), QStringLiteral("<absent>")); // heading
        QCOMPARE(Member(Element(p, 1), ProfileKeys::PVALUE), QStringLiteral("HEX:"));
        QCOMPARE(Member(Element(p, 1), QStringLiteral("PMEMO")), QStringLiteral("保留"));
        QCOMPARE(Element(p, 2).Members().front().first, ProfileKeys::PNAME); // order kept
        QCOMPARE(Member(Element(p, 2), ProfileKeys::PVALUE), QStringLiteral("HEX:0050"));
        QCOMPARE(Member(Element(p, 3), ProfileKeys::PVALUE), QStringLiteral("HEX:01"));
        QVERIFY(Element(p, 4).IsNumber());
        QCOMPARE(Member(Element(p, 5), ProfileKeys::PVALUE), QStringLiteral("HEX:AA")); // no row: kept
        QCOMPARE(Member(*p.Root().Find(QStringLiteral("Extra")), QStringLiteral("k")), QString());
        QVERIFY(p.Root().Find(QStringLiteral("Extra"))->Find(QStringLiteral("k"))->IsArray());

        VirtualRig again;
        ProfileLoader::LoadProfile(again.session, saved);
        QCOMPARE(again.session.mainTable.Count(), 4);
        QCOMPARE(again.session.mainTable.Cell(1, ColValue), QString()); // "HEX:" shows nothing
        QCOMPARE(again.session.mainTable.Cell(2, ColValue), QStringLiteral("80"));
        QCOMPARE(again.session.mainTable.Cell(3, ColValue), QStringLiteral("UDP"));
    }

    void cancelledSaveKeepsValuesInProfile()
    {
        WorkFolder dir;
        const QString profilePath = dir.Path(QStringLiteral("p.txt"));
        dir.WriteGbk(profilePath, kOneLineProfile);
        const QByteArray before = dir.Read(profilePath);
        VirtualRig b;
        ProfileLoader::LoadProfile(b.session, profilePath);
        b.session.mainTable.SetCell(2, ColHex, QStringLiteral("HEX:1F90"));
        ParamFile::SaveParamFile(b.session); // the dialog answers nothing: cancelled
        QCOMPARE(QDir(dir.Path()).entryList(QDir::Files), QStringList{QStringLiteral("p.txt")});
        QCOMPARE(dir.Read(profilePath), before);
        QCOMPARE(Member(Element(*b.session.profile, 2), ProfileKeys::PVALUE), QStringLiteral("HEX:1F90"));
    }

    void unwritableFile_data()
    {
        QTest::addColumn<QString>("target"); // relative to the temporary folder
        QTest::addColumn<QString>("name");   // a PNAME to put in the profile, if any
        QTest::newRow("missing folder") << QStringLiteral("none/deeper/out.txt") << QString();
        QTest::newRow("folder is a file") << QStringLiteral("p.txt/out.txt") << QString();
        QTest::newRow("under /proc") << QStringLiteral("/proc/out.txt") << QString();
        QTest::newRow("not in GBK") << QStringLiteral("out.txt") << QStringLiteral("地址😀");
    }
    void unwritableFile()
    {
        QFETCH(QString, target);
        QFETCH(QString, name);
        WorkFolder dir;
        const QString profilePath = dir.Path(QStringLiteral("p.txt"));
        dir.WriteGbk(profilePath, kOneLineProfile);
        const QByteArray before = dir.Read(profilePath);
        VirtualRig b;
        ProfileLoader::LoadProfile(b.session, profilePath);
        if (!name.isEmpty())
            b.session.profile->Params()->Items()[1].Set(ProfileKeys::PNAME, JsonValue::MakeString(name));
        const QString path = QDir::isAbsolutePath(target) ? target : dir.Path(target);
        b.fe.fileAnswers = {path};
        ParamFile::SaveParamFile(b.session);

        QCOMPARE(b.fe.messages.size(), 1);
        const QString message = b.fe.messages.first();
        QVERIFY2(message.contains(path), qPrintable(message));
        QVERIFY2(message.split(QLatin1Char('\n')).size() >= 2, qPrintable(message)); // a reason follows
        QVERIFY(!QFile::exists(path));
        QCOMPARE(QDir(dir.Path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("p.txt")});
        QCOMPARE(dir.Read(profilePath), before);
    }

    void nothingToSave()
    {
        VirtualRig b;
        b.fe.fileAnswers = {QStringLiteral("/tmp/never.txt")};
        ParamFile::SaveParamFile(b.session);
        QCOMPARE(b.fe.messages, QStringList{ParamFile::NothingToSaveText()});
        QCOMPARE(b.fe.fileAnswers.size(), size_t(1)); // no dialog was shown
    }

    void batchWrite()
    {
        WorkFolder dir;
        const QString profilePath = dir.Path(QStringLiteral("p.txt"));
        dir.WriteGbk(profilePath, Json(
            "{'Params':[{'CMDID':'','PNAME':'组'},{'CMDID':'0030','PNAME':'甲','PVALUE':'HEX:31'},"
            "{'CMDID':'0091','PNAME':'保护','PVALUE':'HEX:01'},{'CMDID':'0031','PNAME':'乙','PVALUE':'HEX:'},"
            "{'CMDID':'0032','PNAME':'丙','PVALUE':'HEX:0102'}]}"));
        VirtualRig b;
        ProfileLoader::LoadProfile(b.session, profilePath);
        b.AnswerEveryFrame(Bytes("AA 55 00 04 00 F0 00 F4"));
        ParamFile::BatchWrite(b.session);
        // Table order, one frame per numbered row; "0091" is skipped below level 2.
        QCOMPARE(b.device.written, (QList<QByteArray>{Bytes("AA 55 00 05 00 30 31 00 66"),
                                                     Bytes("AA 55 00 04 00 31 00 35"),
                                                     Bytes("AA 55 00 06 00 32 01 02 00 3B")}));
        QVERIFY(b.session.state.ModifiedParamList.IsEmpty());
        QCOMPARE(b.session.mainTable.CurrentRow(), 4);
        QCOMPARE(b.fe.resultPanel, QStringLiteral("[参数设置成功]"));
    }

    // The batch writes the main table on the main channel whichever page was
    // entered last: with the interface page last (channel 0) it used to walk
    // the extended table and write nothing.
    void batchWriteSelectsTheTablesChannel_data()
    {
        QTest::addColumn<bool>("extended");
        QTest::addColumn<int>("current");
        QTest::addColumn<QList<QByteArray>>("sent");
        QTest::newRow("main, interface page last") << false << 0 << QList<QByteArray>{kSelect1, kWrite30, kWrite31};
        QTest::newRow("main, unknown") << false << -1 << QList<QByteArray>{kSelect1, kWrite30, kWrite31};
        QTest::newRow("main, already there") << false << 1 << QList<QByteArray>{kWrite30, kWrite31};
        QTest::newRow("extended, main page last")
            << true << 1
            << QList<QByteArray>{kSelect0, Bytes("AA 55 00 05 01 00 05 00 0B"), Bytes("AA 55 00 04 01 01 00 06")};
    }
    void batchWriteSelectsTheTablesChannel()
    {
        QFETCH(bool, extended);
        QFETCH(int, current);
        WorkFolder dir;
        VirtualRig b;
        LoadTwoTables(b, dir);
        QVERIFY(b.session.state.ExtPageVisible);
        b.session.state.CurrentParamChannel = current;
        b.AnswerEveryFrame(kAck);
        ParamFile::BatchWrite(b.session, extended ? ParamFile::BatchTables::Extended : ParamFile::BatchTables::Main);
        QTEST(b.device.written, "sent");
        QCOMPARE(b.session.state.CurrentParamChannel, extended ? 0 : 1);
        QVERIFY(b.session.state.ModifiedParamList.IsEmpty());
        QCOMPARE(b.fe.memo.count(QStringLiteral("[参数设置成功]")), 2);
    }

    // A cell that is not whole bytes refuses the whole batch before its
    // first frame: the report names it, and the device gets nothing.
    void batchWriteOfHalfAByte()
    {
        WorkFolder dir;
        VirtualRig b(kAck);
        LoadTwoTables(b, dir);
        b.session.mainTable.SetCell(3, ColHex, QStringLiteral("HEX:1F9"));
        const WriteReport report = ParamFile::BatchWrite(b.session, ParamFile::BatchTables::Both);
        QVERIFY(b.device.written.isEmpty());
        QCOMPARE(report.refused.size(), 1);
        QCOMPARE(report.refused[0].number, QStringLiteral("0031"));
        QCOMPARE(report.refused[0].hex, QStringLiteral("HEX:1F9"));
    }

    // A selection the device refuses writes no row to a table it may not
    // serve; the rows stay listed for the next "设置". (0091 is withheld at
    // this level: never sent, so never counted as not reached.)
    void batchWriteSelectionRefused()
    {
        WorkFolder dir;
        VirtualRig b;
        LoadTwoTables(b, dir);
        b.session.state.CurrentParamChannel = 0;
        b.AnswerEveryFrame(Bytes("AA 55 00 04 00 F1 00 F5"));
        const WriteReport report = ParamFile::BatchWrite(b.session);
        QCOMPARE(b.device.written, QList<QByteArray>{kSelect1});
        QCOMPARE(b.fe.memo, QStringList{QStringLiteral("[参数设置失败，设备未切换参数表！]")});
        QCOMPARE(b.session.state.CurrentParamChannel, -1);
        QCOMPARE(b.session.state.ModifiedParamList.Items(), (QStringList{"0030", "0031"}));
        QVERIFY(report.tableNotSwitched && !report.Ok());
        QCOMPARE(report.notReached, (QStringList{"0030", "0031"}));
        QCOMPARE(report.withheld, QStringList{"0091"});
    }

};

DTU_TEST_GUILESS(ParamFileTest)
#include "tst_param_file.moc"
