// Loading profiles into a session, the encodings, and the re-save.
#include "core/DtuError.h"
#include "session/DtuSession.h"
#include "core/TextFile.h"
#include "params/RowBuilder.h"
#include "ops/ParamReader.h"
#include "profile/DeviceProfile.h"
#include "ops/ProfileLoader.h"
#include "core/WorkPaths.h"
#include "support/Hexes.h"
#include "support/RecordingFrontend.h"
#include "support/TestPaths.h"
#include "support/VirtualRig.h"
#include "support/WorkFolder.h"
#include "support/TestMain.h"

#include <QDir>
#include <QTest>

#include <memory>

namespace {

QStringList TableText(const ParamTableModel &t)
{
    QStringList rows;
    for (int i = 0; i < t.Count(); ++i) {
        QStringList cells;
        for (const QString &c : t.Row(i).cells)
            cells << c;
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

const QString kBuildError = QStringLiteral("(the build fails)");

struct Fixture {
    RecordingFrontend ui;
    DtuSession session{ui};
    Fixture() { session.script.LoadFile(TestPaths::Example(QStringLiteral("script.js"))); }
};

} // namespace

class ProfileTest : public QObject {
    Q_OBJECT
    // A fresh working folder for every test function: lastfile.log and the
    // files one case writes must not be seen by another.
    std::unique_ptr<Workspace> dir_;
    void WriteBytes(const QString &name, const QByteArray &bytes) const { dir_->Write(name, bytes); }
    QByteArray ReadBytes(const QString &name) const { return dir_->Read(name); }

private slots:
    void init()
    {
        dir_ = std::make_unique<Workspace>();
        QVERIFY(dir_->IsValid());
    }
    void cleanup() { dir_.reset(); }

    void loadsExampleProfile()
    {
        Fixture f;
        ProfileLoader::LoadChosenProfile(f.session, dir_->Path(QStringLiteral("example_profile.txt")));
        const AppState &s = f.session.state;
        QCOMPARE(f.session.facts.Caption, QStringLiteral("参数配置程序 示例GPRS DTU"));
        QCOMPARE(s.MainParamChannel, 1);
        QCOMPARE(s.CurrentParamChannel, 1);
        QVERIFY(s.ExtPageVisible);
        QVERIFY(!f.session.facts.TcpBoxVisible);
        QVERIFY(f.session.mainTable.Count() > 10);
        QCOMPARE(f.session.extTable.Count(), 4);
        // Headings add nothing to the id list.
        int numbered = 0;
        for (int i = 0; i < f.session.mainTable.Count(); ++i)
            numbered += f.session.mainTable.Row(i).IsHeading() ? 0 : 1;
        QCOMPARE(s.MainParamIdList.size(), numbered * 2);
        QCOMPARE(s.MainParamIdList.left(2), QByteArray("\x00\x30", 2));

        const ParamTableModel &t = f.session.mainTable;
        QCOMPARE(t.Cell(t.FindByNumber(QStringLiteral("0030")), ColValue), QStringLiteral("10.0.0.8"));
        QCOMPARE(t.Cell(t.FindByNumber(QStringLiteral("0031")), ColValue), QStringLiteral("8080"));
        QCOMPARE(t.Cell(t.FindByNumber(QStringLiteral("0032")), ColValue), QStringLiteral("TCP"));
        QCOMPARE(t.Cell(t.FindByNumber(QStringLiteral("0041")), ColValue), QStringLiteral("10.000"));
        QCOMPARE(t.Cell(t.FindByNumber(QStringLiteral("0033")), ColValue), QStringLiteral("1分0秒"));
        QCOMPARE(WorkPaths::ReadLastFile(), dir_->Path(QStringLiteral("example_profile.txt")));

        // Loading the same profile twice keeps one copy of each row.
        const int rows = t.Count();
        ProfileLoader::LoadChosenProfile(f.session, dir_->Path(QStringLiteral("example_profile.txt")));
        QCOMPARE(t.Count(), rows);
        QCOMPARE(f.session.extTable.Count(), 4);
    }

    void channelsAndTcpBox()
    {
        Fixture f;
        WriteBytes(QStringLiteral("noch.txt"), "{\"ExParamFile\":\"example_ext.txt\",\"Params\":[]}");
        ProfileLoader::LoadChosenProfile(f.session, QStringLiteral("noch.txt"));
        QCOMPARE(f.session.state.MainParamChannel, 0);

        ProfileLoader::LoadChosenProfile(f.session, QStringLiteral("example_tcp_profile.txt"));
        QVERIFY(f.session.facts.TcpBoxVisible);
        QCOMPARE(f.session.facts.TcpAddress, QStringLiteral("127.0.0.1"));
        QVERIFY(!f.session.state.ExtPageVisible);
        QCOMPARE(f.session.state.MainParamChannel, 1);
        // Any load makes the main table the active one.
        QCOMPARE(f.session.ActiveTable(), &f.session.mainTable);

        WriteBytes(QStringLiteral("plain.txt"), "{\"Params\":[]}");
        ProfileLoader::LoadChosenProfile(f.session, QStringLiteral("plain.txt"));
        QVERIFY(!f.session.facts.TcpBoxVisible);
        QCOMPARE(f.session.facts.TcpAddress, QString());
        // A profile without Title keeps the previous caption.
        QCOMPARE(f.session.facts.Caption, QStringLiteral("参数配置程序 示例网络DTU"));
    }

    void rowBuilding()
    {
        Fixture f;
        WriteBytes(QStringLiteral("rows.txt"), QByteArray("{\"Params\":["
            "{\"CMDID\":\"\",\"PNAME\":\"head\"},"
            "{\"CMDID\":\"0001\",\"PNAME\":\"a\",\"PVALUE\":\"HEX:\",\"ONGET\":\"NoSuchFunction()\"},"
            "{\"CMDID\":\"0002\",\"PNAME\":\"b\",\"PVALUE\":\"HEX:01\",\"ONLIST\":\"[[\\\"on\\\",\\\"off\\\"],[\\\"01\\\",\\\"00\\\"]]\"},"
            "{\"CMDID\":\"0003\",\"PNAME\":\"c\",\"PVALUE\":\"HEX:02\",\"ONLIST\":\"[[\\\"on\\\",\\\"off\\\"],[\\\"01\\\",\\\"00\\\"]]\",\"ONGET\":\"g\",\"ONSET\":\"s\",\"PNOTE\":\"n\"},"
            "{\"CMDID\":\"0004\",\"PNAME\":\"d\",\"PVALUE\":\"HEX:0A\",\"ONLIST\":\"[[\\\"ten\\\"],[\\\"0a\\\"]]\"},"
            "{\"CMDID\":\"0000\",\"PNAME\":\"zero\",\"PVALUE\":\"HEX:00\",\"ONGET\":\"'z'\"},"
            "7,"
            "{\"CMDID\":\"0005\",\"PNAME\":\"after bad entry\"}]}"));
        ProfileLoader::LoadChosenProfile(f.session, QStringLiteral("rows.txt"));
        const ParamTableModel &t = f.session.mainTable;
        QCOMPARE(t.Count(), 6); // the entry after the non-object is skipped
        QVERIFY(t.Row(0).IsHeading());
        QCOMPARE(t.Cell(1, ColValue), QString()); // "HEX:" alone: no script call
        QCOMPARE(t.Cell(2, ColValue), QStringLiteral("on"));
        QCOMPARE(t.Cell(3, ColValue), QString());
        QCOMPARE(t.Cell(3, ColOnGet), QStringLiteral("g"));
        QCOMPARE(t.Cell(3, ColOnSet), QStringLiteral("s"));
        QCOMPARE(t.Cell(3, ColNote), QStringLiteral("n"));
        QCOMPARE(t.Cell(4, ColValue), QString()); // "0a" does not match "0A"
        QCOMPARE(t.Cell(5, ColValue), QStringLiteral("z"));
        QCOMPARE(f.session.state.MainParamIdList, QByteArray("\x00\x01\x00\x02\x00\x03\x00\x04", 8));
    }

    // The value a choice list gives a row when it is built: the first label
    // whose "HEX:" + code equals PVALUE exactly, letter case included; none,
    // an empty value. A main row's ONLIST is a list when it holds "[", an
    // extended row's whenever it is not empty.
    void choiceListRowValue_data()
    {
        QTest::addColumn<QString>("onList");
        QTest::addColumn<QString>("pvalue");
        QTest::addColumn<QString>("mainValue");
        QTest::addColumn<QString>("extValue");
        const QString offOn = QStringLiteral("[[\"关\",\"开\"],[\"00\",\"01\"]]");
        const QString twice = QStringLiteral("[[\"甲\",\"乙\"],[\"01\",\"01\"]]");
        const QString cases = QStringLiteral("[[\"小写\",\"大写\"],[\"0a\",\"0A\"]]");
        QTest::newRow("match") << offOn << "HEX:01" << "开" << "开";
        QTest::newRow("first match wins") << twice << "HEX:01" << "甲" << "甲";
        QTest::newRow("no match") << offOn << "HEX:02" << "" << "";
        QTest::newRow("upper case code") << cases << "HEX:0A" << "大写" << "大写";
        QTest::newRow("lower case code") << cases << "HEX:0a" << "小写" << "小写";
        QTest::newRow("prefix case") << offOn << "hex:01" << "" << "";
        QTest::newRow("no value") << offOn << "HEX:" << "" << "";
        QTest::newRow("list after a space") << " " + offOn << "HEX:00" << "关" << "关";
        QTest::newRow("script, not a list") << "Length=2;" << "HEX:01" << "脚本" << kBuildError;
        QTest::newRow("script holding [") << "var a=[1];" << "HEX:01" << kBuildError << kBuildError;
        QTest::newRow("empty") << "" << "HEX:01" << "脚本" << "脚本";
    }
    void choiceListRowValue()
    {
        QFETCH(QString, onList);
        QFETCH(QString, pvalue);
        QFETCH(QString, mainValue);
        QFETCH(QString, extValue);
        for (const bool extended : {false, true}) {
            Fixture f;
            ProfileParam p;
            p.CMDID = QStringLiteral("0051");
            p.PNAME = QStringLiteral("选择");
            p.PVALUE = pvalue;
            p.ONLIST = onList;
            p.ONGET = QStringLiteral("'脚本'");
            ParamTableModel &table = extended ? f.session.extTable : f.session.mainTable;
            const QString &wanted = extended ? extValue : mainValue;
            QByteArray ids;
            if (wanted == kBuildError) {
                QVERIFY_THROWS_EXCEPTION(DtuError, RowBuilder::BuildRow(table, ids, f.session.script, p));
                QCOMPARE(table.Count(), 0);
                continue;
            }
            RowBuilder::BuildRow(table, ids, f.session.script, p);
            QCOMPARE(table.Cell(0, ColValue), wanted);
            QCOMPARE(ids, QByteArray("\x00\x51", 2));
        }
    }

    // A stored value of four characters or fewer is no value; five are one
    // digit of hex. The same in the profile and in its extended file, where
    // the numbers' letter case does not change their bytes in the id list.
    void storedValueLengthBoundary()
    {
        const QByteArray params = "\"Params\": ["
            "{\"CMDID\": \"00a1\", \"PVALUE\": \"HEX:\", \"ONGET\": \"'['+hexinput+']'\"},"
            "{\"CMDID\": \"00A2\", \"PVALUE\": \"ABCD\", \"ONGET\": \"'['+hexinput+']'\"},"
            "{\"CMDID\": \"00a3\", \"PVALUE\": \"HEX:1\", \"ONGET\": \"'['+hexinput+']'\"}]";
        WriteBytes(QStringLiteral("bext.txt"), "{" + params + "}");
        WriteBytes(QStringLiteral("bmain.txt"), "{\"ExParamFile\": \"bext.txt\", \"ExParamChannel\": 1, " + params + "}");
        Fixture f;
        ProfileLoader::LoadChosenProfile(f.session, QStringLiteral("bmain.txt"));
        for (const ParamTableModel *t : {&f.session.mainTable, &f.session.extTable}) {
            QCOMPARE(t->Count(), 3);
            QCOMPARE(t->Cell(0, ColValue), QString());
            QCOMPARE(t->Cell(1, ColValue), QString());
            QCOMPARE(t->Cell(2, ColValue), QStringLiteral("[1]"));
        }
        QCOMPARE(f.session.state.MainParamIdList, Bytes("00 A1 00 A2 00 A3"));
        QCOMPARE(f.session.state.ExtParamIdList, Bytes("00 A1 00 A2 00 A3"));
    }

    void scriptErrorStopsTheRows()
    {
        Fixture f;
        f.session.script.SetTimeLimitMs(300);
        WriteBytes(QStringLiteral("loop.txt"), "{\"Params\":["
            "{\"CMDID\":\"0001\",\"PVALUE\":\"HEX:01\",\"ONGET\":\"'ok'\"},"
            "{\"CMDID\":\"0002\",\"PVALUE\":\"HEX:01\",\"ONGET\":\"while(true){}\"},"
            "{\"CMDID\":\"0003\",\"PVALUE\":\"HEX:01\",\"ONGET\":\"'never'\"}],\"TcpConfigIP\":\"10.1.1.1\"}");
        QElapsedTimer timer;
        timer.start();
        ProfileLoader::LoadChosenProfile(f.session, QStringLiteral("loop.txt"));
        // The script watchdog is a thread on the real clock: a bound over
        // ten times its limit.
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(f.session.mainTable.Count(), 1);
        QVERIFY(f.session.facts.TcpBoxVisible); // the steps after the rows still run
    }

    void unreadableProfiles()
    {
        Fixture f;
        QVERIFY_THROWS_EXCEPTION(DtuError, ProfileLoader::LoadChosenProfile(f.session, QStringLiteral("none.txt")));
        QCOMPARE(WorkPaths::ReadLastFile(), QStringLiteral("none.txt")); // written before the load
        WriteBytes(QStringLiteral("array.txt"), "[1,2]");
        QVERIFY_THROWS_EXCEPTION(DtuError, ProfileLoader::LoadChosenProfile(f.session, QStringLiteral("array.txt")));
        WriteBytes(QStringLiteral("broken.txt"), "{\"Params\": [");
        QVERIFY_THROWS_EXCEPTION(DtuError, ProfileLoader::LoadChosenProfile(f.session, QStringLiteral("broken.txt")));
        // A missing extended file ends the load with the error; the tab stays shown.
        WriteBytes(QStringLiteral("noext.txt"), "{\"ExParamFile\":\"gone.txt\",\"TcpConfigIP\":\"1.2.3.4\"}");
        QVERIFY_THROWS_EXCEPTION(DtuError, ProfileLoader::LoadChosenProfile(f.session, QStringLiteral("noext.txt")));
        QVERIFY(f.session.state.ExtPageVisible);
        QVERIFY(!f.session.facts.TcpBoxVisible);
    }

    // A failed load empties the main table and its id list together: the
    // next read asks the device for no numbers rather than the old profile's.
    void failedLoadLeavesNoOldNumbers()
    {
        VirtualRig rig;
        ProfileLoader::LoadChosenProfile(rig.session, QStringLiteral("example_profile.txt"));
        QVERIFY(!rig.session.state.MainParamIdList.isEmpty());
        QVERIFY_THROWS_EXCEPTION(DtuError, ProfileLoader::LoadChosenProfile(rig.session, QStringLiteral("none.txt")));
        QCOMPARE(rig.session.mainTable.Count(), 0);
        QVERIFY(rig.session.state.MainParamIdList.isEmpty());

        rig.AnswerEveryFrame(Bytes("AA 55 00 04 E1 01 00 E6"));
        ParamReader::ReadPage(rig.session);
        QCOMPARE(rig.device.written, QList<QByteArray>{Bytes("AA 55 00 04 E0 01 00 E5")});
    }

    void startupRestore()
    {
        {
            Fixture f;
            QVERIFY(!QFile::exists(QStringLiteral("lastfile.log")));
            QVERIFY(!ProfileLoader::RestoreLastProfile(f.session));
            QCOMPARE(f.session.mainTable.Count(), 0);
            QCOMPARE(f.session.facts.Caption, QString());
        }
        WorkPaths::WriteLastFile(dir_->Path(QStringLiteral("example_profile.txt")));
        QCOMPARE(ReadBytes(QStringLiteral("lastfile.log")).right(2), QByteArray("\r\n"));
        Fixture f;
        QVERIFY(ProfileLoader::RestoreLastProfile(f.session));
        QCOMPARE(f.session.facts.Caption, QStringLiteral("参数配置程序 示例GPRS DTU"));
        QCOMPARE(f.session.profilePath, dir_->Path(QStringLiteral("example_profile.txt")));
        QVERIFY(!ProfileLoader::RestoreLastProfile(f.session)); // a profile is loaded already
    }

    void resaveKeepsOrderMembersAndEncoding()
    {
        Fixture f;
        const QByteArray original = TextFile::Encode(QStringLiteral(
            "{\"Zeta\": 1, \"Title\": \"标题\", \"Unknown\": {\"x\": [1.50, true, null]},\r\n"
            " \"Params\": [{\"CMDID\": \"0001\", \"PNAME\": \"名称\", \"PVALUE\": \"HEX:01\", \"Extra\": \"\\\"q\\\"\"}]}"),
            TextFile::Encoding::Gbk);
        WriteBytes(QStringLiteral("gbk.txt"), original);
        ProfileLoader::LoadChosenProfile(f.session, QStringLiteral("gbk.txt"));
        f.session.profile->SaveOver();
        const QByteArray saved = ReadBytes(QStringLiteral("gbk.txt"));
        const QString text = TextFile::FromGbk(saved);
        QVERIFY(text.indexOf(QStringLiteral("Zeta")) < text.indexOf(QStringLiteral("Title")));
        QVERIFY(text.indexOf(QStringLiteral("Title")) < text.indexOf(QStringLiteral("Unknown")));
        QVERIFY(text.contains(QStringLiteral("1.50")));
        QVERIFY(text.contains(QStringLiteral("\"Extra\": \"\\\"q\\\"\"")));
        QVERIFY(text.contains(QStringLiteral("标题"))); // not escaped
        QVERIFY(!saved.contains("\n\n"));
        QCOMPARE(saved.count("\n"), saved.count("\r\n"));
        QVERIFY(saved.contains(TextFile::ToGbk(QStringLiteral("标题"))));

        // Loads back to the same table.
        const QStringList before = TableText(f.session.mainTable);
        ProfileLoader::LoadChosenProfile(f.session, QStringLiteral("gbk.txt"));
        QCOMPARE(TableText(f.session.mainTable), before);
    }

    void utf8FilesStayUtf8()
    {
        const QByteArray utf8 = QStringLiteral("{\"Title\": \"标题\"}").toUtf8();
        WriteBytes(QStringLiteral("u8.txt"), utf8);
        WriteBytes(QStringLiteral("bom.txt"), "\xEF\xBB\xBF" + utf8);
        const DeviceProfile a = DeviceProfile::FromFile(QStringLiteral("u8.txt"));
        const DeviceProfile b = DeviceProfile::FromFile(QStringLiteral("bom.txt"));
        QCOMPARE(a.Encoding(), TextFile::Encoding::Utf8);
        QCOMPARE(b.Encoding(), TextFile::Encoding::Utf8Bom);
        QCOMPARE(a.Text(ProfileKeys::Title), QStringLiteral("标题"));
        QCOMPARE(b.Text(ProfileKeys::Title), QStringLiteral("标题"));
        a.SaveOver();
        b.SaveOver();
        QVERIFY(ReadBytes(QStringLiteral("u8.txt")).contains(QStringLiteral("标题").toUtf8()));
        QVERIFY(ReadBytes(QStringLiteral("bom.txt")).startsWith("\xEF\xBB\xBF{"));
        // GBK bytes that happen not to be valid UTF-8 are GBK.
        QCOMPARE(TextFile::Decode(TextFile::ToGbk(QStringLiteral("参数"))).encoding, TextFile::Encoding::Gbk);
    }

    // Short GBK texts are often valid UTF-8 as well; the decoding that gives
    // Chinese text wins. Each GBK row below is made only of characters whose
    // two GBK bytes form valid UTF-8 (通 CD A8, 路 C2 B7, 写 D0 B4, 值 D6 B5,
    // 元 D4 AA, 位 CE BB), which would read as "ͨ·", "дֵ"...
    void encodingByPlausibleText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("name");
        const int gbk = int(TextFile::Encoding::Gbk);
        const int utf8 = int(TextFile::Encoding::Utf8);
        QTest::newRow("GBK 通路 写值") << QByteArray("{\"Title\": \"\xCD\xA8\xC2\xB7\", \"Params\": "
                                                  "[{\"CMDID\": \"0001\", \"PNAME\": \"\xD0\xB4\xD6\xB5\"}]}")
                                     << gbk << QStringLiteral("通路") << QStringLiteral("写值");
        QTest::newRow("GBK 值 alone") << QByteArray("{\"Title\": \"\xD6\xB5\"}") << gbk << QStringLiteral("值")
                                     << QString();
        QTest::newRow("GBK 元位") << QByteArray("{\"Title\": \"x\", \"Params\": [{\"CMDID\": \"0002\", \"PNAME\": "
                                              "\"\xD4\xAA\xCE\xBB\"}]}")
                                 << gbk << QStringLiteral("x") << QStringLiteral("元位");
        QTest::newRow("UTF-8 示例") << QByteArray("{\"Title\": \"\xE7\xA4\xBA\xE4\xBE\x8B\"}") << utf8
                                  << QStringLiteral("示例") << QString();
        QTest::newRow("UTF-8 温度（℃）")
            << QByteArray("{\"Title\": \"\xE6\xB8\xA9\xE5\xBA\xA6\xEF\xBC\x88\xE2\x84\x83\xEF\xBC\x89\"}") << utf8
            << QStringLiteral("温度（℃）") << QString();
        // A degree sign among Chinese text is still UTF-8.
        QTest::newRow("UTF-8 温度°") << QByteArray("{\"Title\": \"\xE6\xB8\xA9\xE5\xBA\xA6\xC2\xB0\"}") << utf8
                                    << QStringLiteral("温度°") << QString();
        QTest::newRow("GBK not valid UTF-8") << QByteArray("{\"Title\": \"\xB2\xCE\xCA\xFD\"}") << gbk
                                            << QStringLiteral("参数") << QString();
    }
    void encodingByPlausibleText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, encoding);
        QFETCH(QString, title);
        QFETCH(QString, name);
        WriteBytes(QStringLiteral("enc.txt"), bytes);
        Fixture f;
        ProfileLoader::LoadChosenProfile(f.session, QStringLiteral("enc.txt"));
        QCOMPARE(int(f.session.profile->Encoding()), encoding);
        QCOMPARE(f.session.facts.Caption, QStringLiteral("参数配置程序 ") + title);
        if (!name.isEmpty())
            QCOMPARE(f.session.mainTable.Cell(0, ColName), name);

        // The re-save writes the encoding the file came in: its own bytes
        // for the title again.
        const QByteArray titleBytes = bytes.mid(bytes.indexOf("\"Title\": \"") + 10);
        f.session.profile->SaveOver();
        QVERIFY(ReadBytes(QStringLiteral("enc.txt")).contains(titleBytes.left(titleBytes.indexOf('"'))));
    }

    // lastfile.log is the tool's own UTF-8, whatever the folder names hold.
    void lastFileKeepsAnyPath()
    {
        const QString path = QStringLiteral("/home/josé/müller.txt");
        WorkPaths::WriteLastFile(path);
        QCOMPARE(ReadBytes(QStringLiteral("lastfile.log")), path.toUtf8() + "\r\n");
        QCOMPARE(WorkPaths::ReadLastFile(), path);
    }

    void saveNeverLosesTheOldFile()
    {
        DeviceProfile p = DeviceProfile::FromText(QStringLiteral("{\"Title\": \"a\"}"), QStringLiteral("keep.txt"));
        p.SaveOver();
        const QByteArray before = ReadBytes(QStringLiteral("keep.txt"));
        // A character GBK cannot hold is an error, never a '?'.
        p.SetText(ProfileKeys::Title, QStringLiteral("😀"));
        QVERIFY_THROWS_EXCEPTION(DtuError, p.SaveOver());
        QCOMPARE(ReadBytes(QStringLiteral("keep.txt")), before);
        // A folder that does not exist: an error naming the file.
        try {
            p.SetText(ProfileKeys::Title, QStringLiteral("b"));
            p.SaveAs(QStringLiteral("no/such/dir/x.txt"));
            QFAIL("no error");
        } catch (const DtuError &e) {
            QVERIFY(e.text().contains(QStringLiteral("x.txt")));
        }
        QCOMPARE(QDir(dir_->Path()).entryList({QStringLiteral("keep.txt*")}, QDir::Files).size(), 1);
    }
};

DTU_TEST_GUILESS(ProfileTest)
#include "tst_profile.moc"
