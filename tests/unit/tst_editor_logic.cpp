// What the in-place editors show for a row, and how typed text and chosen
// labels become the row's raw value, with the real script engine.
#include "session/DtuSession.h"
#include "ops/EditorLogic.h"
#include "ops/Wording.h"
#include "params/ParamTableModel.h"
#include "ops/ProfileLoader.h"
#include "support/ParamRows.h"
#include "support/RecordingFrontend.h"
#include "support/TestPaths.h"
#include "support/TestMain.h"

#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(EditorPlan::Kind)
Q_DECLARE_METATYPE(ValueCodec::Encoded::Problem)

namespace {

struct EditorRig {
    RecordingFrontend fe;
    DtuSession session{fe};

    EditorRig()
    {
        session.script.LoadFile(TestPaths::Example(QStringLiteral("script.js")));
        session.state.MainParamChannel = 1;
        session.state.CurrentParamChannel = 1;
    }
    // Adds a row to the main table and makes it the selected row.
    int Row(const QString &number, const QString &hex, const QString &onList = {}, const QString &onGet = {},
            const QString &onSet = {}, const QString &value = QStringLiteral("旧值"))
    {
        session.mainTable.AppendRow(
            TestRow(number, QStringLiteral("参数")).Hex(hex).Value(value).OnList(onList).OnGet(onGet).OnSet(onSet));
        const int index = session.mainTable.Count() - 1;
        session.mainTable.SetCurrentRow(index);
        return index;
    }
    QString Cell(int column) const { return session.mainTable.Cell(session.mainTable.CurrentRow(), column); }
};

const QString kOffOn = QStringLiteral("[[\"关\",\"开\"],[\"00\",\"01\"]]");
const QString kDigits = QStringLiteral("0123456789");

} // namespace

class EditorLogicTest : public QObject {
    Q_OBJECT
private slots:
    void plan_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QString>("onList");
        QTest::addColumn<QString>("onGet");
        QTest::addColumn<int>("level");
        QTest::addColumn<EditorPlan::Kind>("kind");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("choiceText");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("editText");
        using K = EditorPlan::Kind;
        const QStringList none;
        const QStringList offOn{QStringLiteral("关"), QStringLiteral("开")};
        QTest::newRow("heading") << "" << "HEX:01" << "" << "" << 2 << K::None << none << -1 << "" << 199 << ""
                                 << "";
        QTest::newRow("0091 level 0") << "0091" << "HEX:41" << "" << "GetStr()" << 0 << K::None << none << -1
                                      << "" << 199 << "" << "";
        QTest::newRow("0091 level 1") << "0091" << "HEX:41" << "" << "GetStr()" << 1 << K::None << none << -1
                                      << "" << 199 << "" << "";
        QTest::newRow("0091 level 2") << "0091" << "HEX:41" << "" << "GetStr()" << 2 << K::Edit << none << -1
                                      << "" << 199 << "" << "A";
        QTest::newRow("choice") << "0051" << "HEX:01" << kOffOn << "" << 0 << K::Choice << offOn << 1 << ""
                                << 199 << "" << "";
        QTest::newRow("choice no match") << "0051" << "HEX:02" << kOffOn << "" << 0 << K::Choice << offOn << -1
                                         << "" << 199 << "" << "";
        QTest::newRow("choice later match") << "0051" << "HEX:01" << "[[\"甲\",\"乙\"],[\"01\",\"01\"]]" << ""
                                            << 0 << K::Choice << QStringList{"甲", "乙"} << 1 << "" << 199
                                            << "" << "";
        // Every comparison is exact, letter case included: a profile's value
        // as written matches only itself.
        const QString caseList = QStringLiteral("[[\"小写\",\"大写\"],[\"0a\",\"0A\"]]");
        const QStringList caseLabels{QStringLiteral("小写"), QStringLiteral("大写")};
        QTest::newRow("choice upper case hex") << "0051" << "HEX:0A" << caseList << "" << 0 << K::Choice
                                               << caseLabels << 1 << "" << 199 << "" << "";
        QTest::newRow("choice lower case hex") << "0051" << "HEX:0a" << caseList << "" << 0 << K::Choice
                                               << caseLabels << 0 << "" << 199 << "" << "";
        QTest::newRow("choice prefix case") << "0051" << "hex:01" << kOffOn << "" << 0 << K::Choice << offOn
                                            << -1 << "" << 199 << "" << "";
        // Only a text beginning with "[[" is a choice list for the editors.
        QTest::newRow("list after a space") << "0051" << "HEX:01" << " " + kOffOn << "'文字'" << 0 << K::Edit
                                            << none << -1 << "" << 0 << "" << "文字";
        QTest::newRow("choice text from ONGET") << "0051" << "HEX:07" << kOffOn << "'其他' + hexinput" << 0
                                                << K::Choice << offOn << -1 << "其他07" << 199 << "" << "";
        QTest::newRow("malformed choice") << "0051" << "HEX:01" << "[[\"甲\"]" << "" << 0 << K::Edit << none
                                          << -1 << "" << 0 << "" << "";
        QTest::newRow("free edit") << "0030" << "HEX:4142" << "" << "GetStr()" << 0 << K::Edit << none << -1
                                   << "" << 199 << "" << "AB";
        QTest::newRow("length and mask") << "0031" << "HEX:1F90" << "Length=4;Mask=\"0123456789\";"
                                         << "GetUInt()" << 0 << K::Edit << none << -1 << "" << 4 << kDigits
                                         << "8080";
        QTest::newRow("script names neither") << "0031" << "HEX:00" << "var unrelated = 3;" << "GetUInt()" << 0
                                              << K::Edit << none << -1 << "" << 0 << "" << "0";
        QTest::newRow("float") << "0041" << "HEX:3F800000" << "" << "GetFloat()" << 0 << K::Edit << none << -1
                               << "" << 199 << "" << "1.000";
        QTest::newRow("short float") << "0041" << "HEX:3FC0" << "" << "GetFloat()" << 0 << K::Edit << none
                                     << -1 << "" << 199 << "" << "1.500";
        QTest::newRow("no value") << "0030" << "HEX:" << "" << "GetStr()" << 0 << K::Edit << none << -1 << ""
                                  << 199 << "" << "";
        QTest::newRow("ONGET error") << "0030" << "HEX:01" << "" << "NoSuchFunction()" << 0 << K::Edit << none
                                     << -1 << "" << 199 << "" << "";
    }
    void plan()
    {
        QFETCH(QString, number);
        QFETCH(QString, hex);
        QFETCH(QString, onList);
        QFETCH(QString, onGet);
        QFETCH(int, level);
        EditorRig rig;
        rig.session.state.AccessLevel = level;
        const int index = rig.Row(number, hex, onList, onGet);
        const EditorPlan p = EditorLogic::Plan(rig.session, index);
        QTEST(p.kind, "kind");
        QTEST(p.items, "items");
        QTEST(p.selected, "selected");
        QTEST(p.choiceText, "choiceText");
        if (p.kind == EditorPlan::Kind::Edit) {
            QTEST(p.maxLength, "maxLength");
            QTEST(p.charFilter, "filter");
            QTEST(p.editText, "editText");
        }
        QCOMPARE(p.listError.isEmpty(), QByteArray(QTest::currentDataTag()) != "malformed choice");
    }

    void planOutsideActiveTable()
    {
        EditorRig rig;
        rig.Row(QStringLiteral("0030"), QStringLiteral("HEX:41"));
        QCOMPARE(EditorLogic::Plan(rig.session, 1).kind, EditorPlan::Kind::None);
        QCOMPARE(EditorLogic::Plan(rig.session, -1).kind, EditorPlan::Kind::None);
        rig.session.state.CurrentParamChannel = -1; // no table active
        QCOMPARE(EditorLogic::Plan(rig.session, 0).kind, EditorPlan::Kind::None);
        rig.session.state.CurrentParamChannel = 0; // the (empty) extended table
        QCOMPARE(EditorLogic::Plan(rig.session, 0).kind, EditorPlan::Kind::None);
    }

    void convertTyped_data()
    {
        using P = ValueCodec::Encoded::Problem;
        QTest::addColumn<QString>("onSet");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("hexCell");
        QTest::addColumn<QString>("valueCell");
        QTest::addColumn<P>("problem");
        QTest::newRow("string") << "SetStr()" << "AB" << "HEX:4142" << "AB" << P::None;
        QTest::newRow("string with quote") << "SetStr()" << "\"\\" << "HEX:225C" << "\"\\" << P::None;
        QTest::newRow("float") << "SetFloat()" << "1" << "HEX:3F800000" << "1" << P::None;
        QTest::newRow("float, exponent") << "SetFloat()" << "-1.5e1" << "HEX:C1700000" << "-1.5e1" << P::None;
        QTest::newRow("script") << "SetUInt(2)" << "8080" << "HEX:1F90" << "8080" << P::None;
        QTest::newRow("script, empty answer for empty text") << "''" << "" << "HEX:" << "" << P::None;
        // The script's own SetStr, reached without the built-in shortcut: a
        // typed quote and backslash arrive unharmed.
        QTest::newRow("quote reaches ONSET") << "SetStr.call()" << "a\"b\\" << "HEX:6122625C" << "a\"b\\"
                                             << P::None;
        // Refused: the row keeps its old cells and is not listed.
        QTest::newRow("float not a number") << "SetFloat()" << "abc" << "HEX:99" << "旧值" << P::NotANumber;
        QTest::newRow("float with a unit") << "SetFloat()" << "12.5 dBm" << "HEX:99" << "旧值" << P::NotANumber;
        QTest::newRow("float decimal comma") << "SetFloat()" << "12,5" << "HEX:99" << "旧值" << P::DecimalComma;
        QTest::newRow("float too large for single") << "SetFloat()" << "1e39" << "HEX:99" << "旧值"
                                                    << P::NotRepresentable;
        QTest::newRow("script NaN") << "SetUInt(2)" << "x" << "HEX:99" << "旧值" << P::NotRepresentable;
        QTest::newRow("script nan inside") << "'1nAn2'" << "y" << "HEX:99" << "旧值" << P::NotRepresentable;
        QTest::newRow("script error") << "NoSuchFunction()" << "5" << "HEX:99" << "旧值" << P::ScriptError;
        QTest::newRow("script answers nothing") << "''" << "5" << "HEX:99" << "旧值" << P::NothingEncoded;
        QTest::newRow("script answers half a byte") << "'ABC'" << "5" << "HEX:99" << "旧值" << P::NotWholeBytes;
        QTest::newRow("script answers no hex") << "ascinput.length + ''" << "'\";\\n" << "HEX:99" << "旧值"
                                               << P::NotWholeBytes;
        QTest::newRow("the value's own tab stays") << "SetStr()" << "a\tb" << "HEX:610962" << "a\tb" << P::None;
        // GBK holds 中文 and €, not 😀 or 한: the device would get "?".
        QTest::newRow("string, GBK") << "SetStr()" << "中文€" << "HEX:D6D0CEC480" << "中文€" << P::None;
        QTest::newRow("string, no GBK") << "SetStr()" << "AB😀" << "HEX:99" << "旧值" << P::NotGbk;
        QTest::newRow("string, Korean") << "SetStr()" << "한" << "HEX:99" << "旧值" << P::NotGbk;
    }
    void convertTyped()
    {
        QFETCH(QString, onSet);
        QFETCH(QString, typed);
        QFETCH(ValueCodec::Encoded::Problem, problem);
        EditorRig rig;
        rig.Row(QStringLiteral("0040"), QStringLiteral("HEX:99"), {}, {}, onSet);
        QSignalSpy spy(&rig.session.state, &AppState::modifiedChanged);
        const EditResult result = EditorLogic::ConvertTyped(rig.session, typed);
        QTEST(rig.Cell(ColHex), "hexCell");
        QTEST(rig.Cell(ColValue), "valueCell");
        QCOMPARE(result.problem, problem);
        const bool held = problem == ValueCodec::Encoded::Problem::None;
        QCOMPARE(result.Applied(), held);
        QCOMPARE(rig.session.state.ModifiedParamList.Contains(QStringLiteral("0040")), held);
        QCOMPARE(spy.count() >= 1, held);
    }

    // The window's edit box converts as the user types: a text the row
    // cannot hold puts back the row as the editor found it.
    void snapshotRestoresRowAndListing()
    {
        EditorRig rig;
        const int row = rig.Row(QStringLiteral("0031"), QStringLiteral("HEX:1F90"), {}, {}, QStringLiteral("SetUInt(2)"),
                                QStringLiteral("8080"));
        const EditorLogic::RowSnapshot before = EditorLogic::Snapshot(rig.session, rig.session.mainTable, row);
        QVERIFY(EditorLogic::ConvertTyped(rig.session, QStringLiteral("7000")).Applied());
        QCOMPARE(rig.Cell(ColHex), QStringLiteral("HEX:1B58"));
        QVERIFY(rig.session.state.ModifiedParamList.Contains(QStringLiteral("0031")));
        QVERIFY(!EditorLogic::ConvertTyped(rig.session, QStringLiteral("70000")).Applied());
        EditorLogic::Restore(rig.session, rig.session.mainTable, row, before);
        QCOMPARE(rig.Cell(ColHex), QStringLiteral("HEX:1F90"));
        QCOMPARE(rig.Cell(ColValue), QStringLiteral("8080"));
        QVERIFY(!rig.session.state.ModifiedParamList.Contains(QStringLiteral("0031")));
    }

    void floatRoundTrip()
    {
        EditorRig rig;
        const int index = rig.Row(QStringLiteral("0041"), QStringLiteral("HEX:"), {}, QStringLiteral("GetFloat()"),
                                  QStringLiteral("SetFloat()"));
        EditorLogic::ConvertTyped(rig.session, QStringLiteral("1"));
        QCOMPARE(EditorLogic::Plan(rig.session, index).editText, QStringLiteral("1.000"));
    }

    void convertNeedsAnEditableSelectedRow()
    {
        EditorRig rig;
        rig.Row(QString(), QStringLiteral("HEX:01"), {}, {}, QStringLiteral("SetStr()")); // heading
        EditorLogic::ConvertTyped(rig.session, QStringLiteral("A"));
        QCOMPARE(rig.Cell(ColHex), QStringLiteral("HEX:01"));
        rig.session.state.AccessLevel = 1;
        rig.Row(QStringLiteral("0091"), QStringLiteral("HEX:01"), {}, {}, QStringLiteral("SetStr()"));
        EditorLogic::ConvertTyped(rig.session, QStringLiteral("A"));
        EditorLogic::ApplyChoice(rig.session, QStringLiteral("A"));
        QCOMPARE(rig.Cell(ColHex), QStringLiteral("HEX:01"));
        rig.session.mainTable.SetCurrentRow(-1);
        EditorLogic::ConvertTyped(rig.session, QStringLiteral("A"));
        QVERIFY(rig.session.state.ModifiedParamList.IsEmpty());

        rig.session.state.AccessLevel = 2;
        rig.session.mainTable.SetCurrentRow(1);
        EditorLogic::ConvertTyped(rig.session, QStringLiteral("A"));
        QCOMPARE(rig.Cell(ColHex), QStringLiteral("HEX:41"));
        QCOMPARE(rig.session.state.ModifiedParamList.Items(), QStringList{QStringLiteral("0091")});
    }

    void applyChoice_data()
    {
        QTest::addColumn<QString>("onList");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("hexCell");
        QTest::addColumn<QString>("valueCell");
        QTest::newRow("pick") << kOffOn << "开" << "HEX:01" << "开";
        QTest::newRow("unknown label") << kOffOn << "半开" << "HEX:00" << "旧值";
        QTest::newRow("same label twice") << "[[\"甲\",\"甲\"],[\"01\",\"02\"]]" << "甲" << "HEX:02" << "甲";
        QTest::newRow("label case exact") << "[[\"on\",\"off\"],[\"01\",\"00\"]]" << "ON" << "HEX:00" << "旧值";
        QTest::newRow("value kept as written") << "[[\"on\"],[\"0a\"]]" << "on" << "HEX:0a" << "on";
    }
    void applyChoice()
    {
        QFETCH(QString, onList);
        QFETCH(QString, label);
        EditorRig rig;
        rig.Row(QStringLiteral("0051"), QStringLiteral("HEX:00"), onList);
        EditorLogic::ApplyChoice(rig.session, label);
        QTEST(rig.Cell(ColHex), "hexCell");
        QTEST(rig.Cell(ColValue), "valueCell");
        QVERIFY(rig.session.state.ModifiedParamList.Contains(QStringLiteral("0051")));
    }

    void typedEditAllowed_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("allowed");
        // A device value longer than the limit stands until the user shortens it.
        QTest::newRow("no change") << "abcdef" << "abcdef" << 3 << "" << true;
        QTest::newRow("shortened, still too long") << "abcdef" << "abcde" << 3 << "" << true;
        QTest::newRow("grown past the limit") << "abcdef" << "abcdefg" << 3 << "" << false;
        QTest::newRow("replaced, still too long") << "abcdef" << "abcdex" << 3 << "" << false;
        QTest::newRow("replaced whole") << "abcdef" << "x" << 3 << "" << true;
        QTest::newRow("up to the limit") << "ab" << "abc" << 3 << "" << true;
        QTest::newRow("one past the limit") << "abc" << "abcd" << 3 << "" << false;
        QTest::newRow("no limit") << "abc" << "abcd" << 0 << "" << true;
        QTest::newRow("digit typed") << "12" << "132" << 0 << kDigits << true;
        QTest::newRow("letter typed") << "12" << "12a" << 0 << kDigits << false;
        QTest::newRow("pasted, partly refused") << "1" << "19x" << 0 << kDigits << false;
        QTest::newRow("mask is case exact") << "" << "a" << 0 << "ABCDEF" << false;
        QTest::newRow("device letters stay") << "ab1" << "ab12" << 0 << kDigits << true;
        QTest::newRow("device letter deleted") << "a1" << "1" << 0 << kDigits << true;
        QTest::newRow("repeated character typed") << "a1" << "1a1" << 0 << "1" << true;
        QTest::newRow("repeated letter typed") << "aab" << "aaab" << 0 << "a" << true;
        QTest::newRow("both rules") << "12" << "123" << 2 << kDigits << false;
        QTest::newRow("tab typed") << "ab" << "a\tb" << 0 << "" << false;
        QTest::newRow("line break pasted") << "" << "x\ny" << 0 << "" << false;
    }
    void typedEditAllowed()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(int, maxLength);
        QFETCH(QString, filter);
        QTEST(EditorLogic::TypedEditAllowed(before, after, maxLength, filter), "allowed");
    }

    void exampleProfileRows()
    {
        // Right after a load the main table is active and its rows get editors.
        EditorRig rig;
        rig.session.state.CurrentParamChannel = 0;
        ProfileLoader::LoadProfile(rig.session, TestPaths::Example(QStringLiteral("example_profile.txt")));
        const ParamTableModel &t = rig.session.mainTable;
        const EditorPlan port = EditorLogic::Plan(rig.session, t.FindByNumber(QStringLiteral("0031")));
        QCOMPARE(port.kind, EditorPlan::Kind::Edit);
        QCOMPARE(port.maxLength, 5);
        QCOMPARE(port.charFilter, kDigits);
        QCOMPARE(port.editText, QStringLiteral("8080"));
        const EditorPlan proto = EditorLogic::Plan(rig.session, t.FindByNumber(QStringLiteral("0032")));
        QCOMPARE(proto.kind, EditorPlan::Kind::Choice);
        QCOMPARE(proto.items, (QStringList{QStringLiteral("TCP"), QStringLiteral("UDP")}));
        QCOMPARE(proto.selected, 0);
        QCOMPARE(EditorLogic::Plan(rig.session, t.FindByNumber(QStringLiteral("0091"))).kind,
                 EditorPlan::Kind::None);
    }

    // A text given for a row of either table (dtucfg write, --set, an
    // inventory cell) is taken as that row's editor takes it, on the table
    // named: the device's channel and the selected rows stay as they are.
    void applyTextOnEitherTable()
    {
        EditorRig rig;
        ProfileLoader::LoadProfile(rig.session, TestPaths::Example(QStringLiteral("example_profile.txt")));
        rig.session.state.CurrentParamChannel = 1;
        ParamTableModel &ext = rig.session.extTable;
        ParamTableModel &main = rig.session.mainTable;
        QVERIFY(ext.Count() > 0);
        const int mainRow = main.CurrentRow();
        const int extRow = ext.CurrentRow();
        const QString mainHex = main.Cell(0, ColHex);
        const int row = ext.FindByNumber(QStringLiteral("0100")); // 接口类型: RS232 or RS485

        const EditResult r = EditorLogic::ApplyValue(rig.session, ext, QStringLiteral("0100"), QStringLiteral("RS485"));
        QVERIFY(r.Applied());
        QCOMPARE(ext.Cell(row, ColHex), QStringLiteral("HEX:01"));
        QCOMPARE(ext.Cell(row, ColValue), QStringLiteral("RS485"));
        QVERIFY(rig.session.state.ModifiedParamList.Contains(QStringLiteral("0100")));
        QCOMPARE(rig.session.state.CurrentParamChannel, 1);
        QCOMPARE(main.CurrentRow(), mainRow);
        QCOMPARE(ext.CurrentRow(), extRow);
        QCOMPARE(main.Cell(0, ColHex), mainHex);
    }

    void applyTextRefusals_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("kind");
        QTest::newRow("no such row") << "0999" << "1" << int(EditResult::Kind::NoSuchRow);
        QTest::newRow("device number below level 2") << "0091" << "DTU9" << int(EditResult::Kind::Locked);
        QTest::newRow("label not offered") << "0032" << "SCTP" << int(EditResult::Kind::NotAChoice);
        QTest::newRow("longer than Length") << "0031" << "123456" << int(EditResult::Kind::TooLong);
        QTest::newRow("outside Mask") << "0031" << "80a" << int(EditResult::Kind::BadCharacter);
        QTest::newRow("label offered") << "0032" << "UDP" << int(EditResult::Kind::Applied);
        QTest::newRow("within Length and Mask") << "0031" << "12345" << int(EditResult::Kind::Applied);
        // What the example script cannot represent is refused, never wrapped.
        QTest::newRow("port over 16 bits") << "0031" << "70000" << int(EditResult::Kind::CannotHold);
        QTest::newRow("largest port") << "0031" << "65535" << int(EditResult::Kind::Applied);
        QTest::newRow("heartbeat over 16 bits") << "0033" << "99999" << int(EditResult::Kind::CannotHold);
        QTest::newRow("octet over 255") << "0052" << "192.168.1.256" << int(EditResult::Kind::CannotHold);
        QTest::newRow("first octet over 255") << "0052" << "300.1.1.1" << int(EditResult::Kind::CannotHold);
        QTest::newRow("octet of four hex digits") << "0052" << "4096.1.1.1" << int(EditResult::Kind::CannotHold);
        QTest::newRow("three octets") << "0052" << "10.0.0" << int(EditResult::Kind::CannotHold);
        QTest::newRow("empty octet") << "0052" << "10..0.1" << int(EditResult::Kind::CannotHold);
        QTest::newRow("address") << "0052" << "10.0.0.255" << int(EditResult::Kind::Applied);
        QTest::newRow("float with comma") << "0041" << "12,5" << int(EditResult::Kind::CannotHold);
        QTest::newRow("float") << "0041" << "12.5" << int(EditResult::Kind::Applied);
        // A control character would break the lines and cells of the files keeping the value.
        const int control = int(EditResult::Kind::ControlCharacter);
        QTest::newRow("tab") << "0030" << "10.0.0.8\t" << control;
        QTest::newRow("line feed") << "0030" << "10.0.0.8\nx" << control;
        QTest::newRow("carriage return") << "0040" << "CM\rNET" << control;
        QTest::newRow("U+0000") << "0040" << QString(QChar(0x00)) << control;
        QTest::newRow("U+001F") << "0040" << QStringLiteral("CMNET") + QChar(0x1F) << control;
        QTest::newRow("U+007F") << "0040" << QStringLiteral("CM") + QChar(0x7F) << control;
        // Past the control characters, and no GBK character either.
        QTest::newRow("U+0080") << "0040" << QStringLiteral("CM") + QChar(0x80) << int(EditResult::Kind::CannotHold);
        QTest::newRow("Chinese") << "0040" << "专网接入点" << int(EditResult::Kind::Applied);
    }
    void applyTextRefusals()
    {
        QFETCH(QString, number);
        QFETCH(QString, text);
        QFETCH(int, kind);
        EditorRig rig;
        ProfileLoader::LoadProfile(rig.session, TestPaths::Example(QStringLiteral("example_profile.txt")));
        ParamTableModel &main = rig.session.mainTable;
        const int row = main.FindByNumber(number);
        const QString hexBefore = row >= 0 ? main.Cell(row, ColHex) : QString();
        const EditResult r = EditorLogic::ApplyValue(rig.session, main, number, text);
        QCOMPARE(int(r.kind), kind);
        if (r.Applied()) {
            QCOMPARE(main.Cell(row, ColValue), text);
            QVERIFY(rig.session.state.ModifiedParamList.Contains(number));
            return;
        }
        // A refused text changes nothing and lists nothing.
        if (row >= 0)
            QCOMPARE(main.Cell(row, ColHex), hexBefore);
        QVERIFY(rig.session.state.ModifiedParamList.IsEmpty());
        if (r.kind == EditResult::Kind::NotAChoice)
            QCOMPARE(r.choices, (QStringList{QStringLiteral("TCP"), QStringLiteral("UDP")}));
        if (r.kind == EditResult::Kind::TooLong)
            QCOMPARE(r.maxLength, 5);
        if (r.kind == EditResult::Kind::BadCharacter)
            QCOMPARE(r.allowed, kDigits);
        // The refusal stays on one line.
        for (const QChar ch : Wording::RefusedValue(r))
            QVERIFY2(ch.unicode() >= 0x20 && ch.unicode() != 0x7F, qPrintable(Wording::RefusedValue(r)));
    }

    // Raw bytes are the device's own: HEX: may give any.
    void rawBytesMayHoldControls()
    {
        EditorRig rig;
        const int row = rig.Row(QStringLiteral("0040"), QStringLiteral("HEX:41"), {}, {}, QStringLiteral("SetStr()"));
        QVERIFY(EditorLogic::ApplyRaw(rig.session, rig.session.mainTable, QStringLiteral("0040"), "\t\r\n\x7f").Applied());
        QCOMPARE(rig.session.mainTable.Cell(row, ColHex), QStringLiteral("HEX:090D0A7F"));
    }
};

DTU_TEST_GUILESS(EditorLogicTest)
#include "tst_editor_logic.moc"
