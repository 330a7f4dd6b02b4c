// The in-place editors of the parameter tables as a user drives them with
// keys and clicks: they follow the selected row, typed text and picked
// labels become the row's raw value, the protected row, and the edit box's
// typing limits on a window whose port is open on a pseudo-terminal.
#include "support/PtyPeer.h"
#include "support/TestMain.h"
#include "support/WindowFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace {

// Rows whose values and limits the tests below rely on: 0035 holds six
// characters though only three may be typed, 0036 takes four digits, 0038
// is a single-precision float holding 10.
const QByteArray kEditProfile = R"json({"Title": "编辑测试", "Params": [
    {"CMDID": "", "PNAME": "编辑"},
    {"CMDID": "0035", "PNAME": "短码", "PVALUE": "HEX:616263646566", "ONLIST": "Length=3;",
     "ONGET": "GetStr()", "ONSET": "SetStr()"},
    {"CMDID": "0036", "PNAME": "端口", "PVALUE": "HEX:1F90", "ONLIST": "Length=4;Mask='0123456789';",
     "ONGET": "GetUInt()", "ONSET": "SetUInt(2)"},
    {"CMDID": "0037", "PNAME": "十六进制", "PVALUE": "HEX:4142", "ONLIST": "Mask='0123456789ABCDEF';",
     "ONGET": "GetStr()", "ONSET": "SetStr()"},
    {"CMDID": "0038", "PNAME": "门限", "PVALUE": "HEX:41200000", "ONGET": "GetFloat()", "ONSET": "SetFloat()"}]})json";

QRect ValueCell(QTableView *view, int row)
{
    return view->visualRect(view->model()->index(row, ColValue));
}

// A window on the example profile as lastfile.log names it.
struct ExampleWindow : WindowFixture {
    ExampleWindow()
    {
        ws.RememberProfile(QStringLiteral("example_profile.txt"));
    }
};

// A window on the edit profile with its port open on a pty, so the main
// table is the active one and "设置" really reaches a device.
struct EditWindow : WindowFixture {
    PtyPeer peer;

    EditWindow()
    {
        ws.Write(QStringLiteral("edit.txt"), kEditProfile);
        ws.RememberProfile(QStringLiteral("edit.txt"));
        Show();
    }
    // The window goes before the device it talks to.
    ~EditWindow() { window.reset(); }
    bool Open()
    {
        if (!peer.Ok() || Session().mainTable.Count() != 5)
            return false;
        Child<QComboBox>("Edit1")->setEditText(peer.Slave());
        Child<QPushButton>("Button3")->click();
        return Session().channel.ChannelIsOpen() && Session().ActiveTable() == &Session().mainTable;
    }
    QLineEdit *Edit() const { return Child<QLineEdit>("GEdit"); }
    QString Hex(int row) const { return Session().mainTable.Cell(row, ColHex); }
    QVariant Colour(int row) const
    {
        const ParamTableModel &t = Session().mainTable;
        return t.data(t.index(row, ColValue), Qt::ForegroundRole);
    }
};

} // namespace

// Timer2 places the editors over the selected row every 10 ms of the
// window's time.
constexpr qint64 kTimer2Ms = 10;

class WindowEditingTest : public QObject {
    Q_OBJECT

private slots:
    void editorsFollowSelectedRow()
    {
        ExampleWindow w;
        w.Create().resize(756, 520);
        TForm1 &window = w.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(w.Session().mainTable.Count() > 5);
        auto *view = w.Child<QTableView>("ListView1");
        auto *edit = w.Child<QLineEdit>("GEdit");
        auto *choice = w.Child<QComboBox>("GComboBox");

        // A heading row gets no editor.
        view->selectRow(0);
        QVERIFY(edit->isHidden() && choice->isHidden());

        const int row = w.SelectNumber(QStringLiteral("0052"));
        QVERIFY(row > 0);
        QCOMPARE(w.Session().mainTable.CurrentRow(), row);
        w.Advance(kTimer2Ms);
        QVERIFY(edit->isVisible());
        QCOMPARE(edit->parentWidget(), view->viewport());
        w.Advance(kTimer2Ms);
        QCOMPARE(edit->geometry(), ValueCell(view, row));

        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
        w.Advance(kTimer2Ms);
        QCOMPARE(edit->geometry(), ValueCell(view, row));
        view->setColumnWidth(ColName, 150);
        w.Advance(kTimer2Ms);
        QCOMPARE(edit->geometry(), ValueCell(view, row));
        window.resize(900, 600);
        w.Advance(kTimer2Ms);
        QCOMPARE(edit->geometry(), ValueCell(view, row));

        // A choice row swaps the editors.
        const int listRow = w.SelectNumber(QStringLiteral("0042"));
        w.Advance(kTimer2Ms);
        QVERIFY(choice->isVisible());
        QVERIFY(edit->isHidden());
        w.Advance(kTimer2Ms);
        QCOMPARE(choice->geometry(), ValueCell(view, listRow));

        // A double click focuses the visible editor.
        QVERIFY(QTest::qWaitForWindowActive(&window));
        view->setFocus();
        emit view->doubleClicked(view->model()->index(listRow, ColValue));
        w.Advance(kTimer2Ms);
        QCOMPARE(QApplication::focusWidget(), choice);
    }

    void editsChangeCells_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("hex");
        QTest::newRow("SetStr") << QStringLiteral("0030") << QStringLiteral("AB") << QStringLiteral("HEX:4142");
        QTest::newRow("SetFloat") << QStringLiteral("0041") << QStringLiteral("1") << QStringLiteral("HEX:3F800000");
    }
    void editsChangeCells()
    {
        QFETCH(QString, number);
        QFETCH(QString, typed);
        QFETCH(QString, hex);
        ExampleWindow w;
        w.Show();
        QVERIFY(w.Session().mainTable.Count() > 5);
        auto *edit = w.Child<QLineEdit>("GEdit");

        const int row = w.SelectNumber(number);
        QTRY_VERIFY(edit->isVisible());
        QVERIFY(!edit->text().isEmpty()); // filled from the row, not counted as an edit
        QVERIFY(w.State().ModifiedParamList.IsEmpty());

        edit->selectAll();
        QTest::keyClicks(edit, typed);
        const ParamTableModel &table = w.Session().mainTable;
        QCOMPARE(table.Cell(row, ColHex), hex);
        QCOMPARE(table.Cell(row, ColValue), typed);
        QVERIFY(w.State().ModifiedParamList.Contains(number));
        QVERIFY(w.dialogs.errors.isEmpty());
    }

    void choiceChangesCells()
    {
        ExampleWindow w;
        w.Show();
        QVERIFY(w.Session().mainTable.Count() > 5);
        auto *choice = w.Child<QComboBox>("GComboBox");

        const int row = w.SelectNumber(QStringLiteral("0032"));
        QTRY_VERIFY(choice->isVisible());
        QCOMPARE(choice->currentText(), QStringLiteral("TCP"));
        QTest::keyClick(choice, Qt::Key_U); // typed keys are discarded
        QCOMPARE(choice->currentText(), QStringLiteral("TCP"));
        QVERIFY(w.State().ModifiedParamList.IsEmpty());

        QTest::keyClick(choice, Qt::Key_Down);
        const ParamTableModel &table = w.Session().mainTable;
        QCOMPARE(table.Cell(row, ColHex), QStringLiteral("HEX:01"));
        QCOMPARE(table.Cell(row, ColValue), QStringLiteral("UDP"));
        QVERIFY(w.State().ModifiedParamList.Contains(QStringLiteral("0032")));
    }

    void protectedRowNeedsLevel2_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("editor");
        QTest::newRow("level 0") << 0 << false;
        QTest::newRow("level 1") << 1 << false;
        QTest::newRow("level 2") << 2 << true;
    }
    void protectedRowNeedsLevel2()
    {
        QFETCH(int, level);
        QFETCH(bool, editor);
        ExampleWindow w;
        w.Show();
        QVERIFY(w.Session().mainTable.Count() > 5);
        w.State().AccessLevel = level;
        auto *edit = w.Child<QLineEdit>("GEdit");

        w.SelectNumber(QStringLiteral("0091"));
        QCOMPARE(edit->isVisible(), editor);
        if (editor) {
            QVERIFY(!edit->isReadOnly());
            QCOMPARE(edit->text(), QStringLiteral("DTU0001"));
        }
    }

    void modelCurrentRowMovesSelection()
    {
        ExampleWindow w;
        w.Show();
        QVERIFY(w.Session().mainTable.Count() > 5);
        auto *view = w.Child<QTableView>("ListView1");
        ParamTableModel &table = w.Session().mainTable;

        // A write run walks the rows through the model; the view follows.
        table.SetCurrentRow(3);
        QCOMPARE(view->selectionModel()->selectedRows().value(0).row(), 3);
        view->selectRow(5);
        QCOMPARE(table.CurrentRow(), 5);
        table.SetCurrentRow(-1);
        QVERIFY(view->selectionModel()->selectedRows().isEmpty());
    }

    void longValueShownWholeAndKeysChangeNothing()
    {
        EditWindow w;
        QVERIFY(w.Open());
        const int row = w.SelectNumber(QStringLiteral("0035"));
        QTRY_VERIFY(w.Edit()->isVisible());
        QCOMPARE(w.Edit()->text(), QStringLiteral("abcdef"));

        // Moving about and selecting is no edit.
        for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End, Qt::Key_Shift})
            QTest::keyClick(w.Edit(), key);
        QTest::keyClick(w.Edit(), Qt::Key_Left, Qt::ShiftModifier);
        QTest::keyClick(w.Edit(), Qt::Key_End);
        // Nor is a character refused because the text is already too long.
        QTest::keyClick(w.Edit(), Qt::Key_X);
        QCOMPARE(w.Edit()->text(), QStringLiteral("abcdef"));
        QVERIFY(w.State().ModifiedParamList.IsEmpty());
        QVERIFY(!w.Colour(row).isValid());

        w.Child<QPushButton>("btWrite")->click();
        w.Settle(); // a write would have been sent before the click returned
        QCOMPARE(w.peer.ReadAll(), QByteArray());
        QCOMPARE(w.Hex(row), QStringLiteral("HEX:616263646566"));
        QVERIFY(!w.Memo().join(QLatin1Char('\n')).contains(QStringLiteral("设置参数")));
        QVERIFY(!w.Colour(row).isValid());

        // Shortening is an edit, however far above the limit the text is.
        QTest::keyClick(w.Edit(), Qt::Key_Backspace);
        QCOMPARE(w.Edit()->text(), QStringLiteral("abcde"));
        QCOMPARE(w.Hex(row), QStringLiteral("HEX:6162636465"));
        QCOMPARE(w.Colour(row).value<QColor>(), QColor(0, 0, 200));
        // Undo brings the device's value back, and the limit still holds.
        QTest::keyClick(w.Edit(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.Edit()->text(), QStringLiteral("abcdef"));
        QTest::keyClick(w.Edit(), Qt::Key_X);
        QCOMPARE(w.Edit()->text(), QStringLiteral("abcdef"));
        QCOMPARE(w.Hex(row), QStringLiteral("HEX:616263646566"));
        // Typed text obeys the limit.
        w.Edit()->selectAll();
        QTest::keyClicks(w.Edit(), QStringLiteral("wxyz"));
        QCOMPARE(w.Edit()->text(), QStringLiteral("wxy"));
        QCOMPARE(w.Hex(row), QStringLiteral("HEX:777879"));
        QVERIFY(w.dialogs.errors.isEmpty() && w.dialogs.messages.isEmpty());
    }

    void emptiedBoxIsAnEdit()
    {
        EditWindow w;
        QVERIFY(w.Open());
        const int row = w.SelectNumber(QStringLiteral("0037"));
        QTRY_VERIFY(w.Edit()->isVisible());
        QTest::keyClick(w.Edit(), Qt::Key_End);
        QTest::keyClick(w.Edit(), Qt::Key_Backspace);
        QTest::keyClick(w.Edit(), Qt::Key_Backspace);
        QCOMPARE(w.Edit()->text(), QString());
        QCOMPARE(w.Hex(row), QStringLiteral("HEX:"));
        QVERIFY(w.State().ModifiedParamList.Contains(QStringLiteral("0037")));
    }

    // A text the row cannot hold stays in the box, marked, with the reason
    // in the status bar; the row keeps its value and colour and 设置 sends
    // nothing for it. A text it can hold then behaves as always.
    void refusedTextLeavesRowAsItWas()
    {
        EditWindow w;
        QVERIFY(w.Open());
        const int row = w.SelectNumber(QStringLiteral("0038"));
        QTRY_VERIFY(w.Edit()->isVisible());
        const QVariant colour = w.Colour(row);
        const QString valueBefore = w.Session().mainTable.Cell(row, ColValue);
        w.peer.ReadAll();

        w.Edit()->selectAll();
        QTest::keyClicks(w.Edit(), QStringLiteral("12,5"));
        QCOMPARE(w.Edit()->text(), QStringLiteral("12,5"));
        QVERIFY(w.Edit()->property("refused").toBool());
        QVERIFY(!w.Edit()->styleSheet().isEmpty());
        const QString panel = w.Child<QLabel>("StatusBar1Panel3")->text();
        QVERIFY2(panel.contains(QStringLiteral("0038")) && panel.contains(QStringLiteral("12,5"))
                     && panel.contains(QStringLiteral("“.”")),
                 qPrintable(panel));
        QCOMPARE(w.Hex(row), QStringLiteral("HEX:41200000"));
        QCOMPARE(w.Session().mainTable.Cell(row, ColValue), valueBefore);
        QCOMPARE(w.Colour(row), colour);
        QVERIFY(!w.State().ModifiedParamList.Contains(QStringLiteral("0038")));

        w.Child<QPushButton>("btWrite")->click();
        QCOMPARE(w.peer.Receive(300), QByteArray());

        QTest::keyClick(w.Edit(), Qt::Key_Backspace);
        QTest::keyClick(w.Edit(), Qt::Key_Backspace);
        QTest::keyClicks(w.Edit(), QStringLiteral(".5"));
        QVERIFY(!w.Edit()->property("refused").toBool());
        QCOMPARE(w.Hex(row), QStringLiteral("HEX:41480000"));
        QVERIFY(w.State().ModifiedParamList.Contains(QStringLiteral("0038")));
        QVERIFY(w.dialogs.errors.isEmpty());
    }

    void maskLetsThroughOnlyItsCharacters_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("hex");
        QTest::newRow("digits, at most four") << "0036" << "12a3b4 56" << "1234" << "HEX:04D2";
        QTest::newRow("no sign, no point") << "0036" << "-7.5" << "75" << "HEX:004B";
        QTest::newRow("letters of the mask only") << "0037" << "0aF9g" << "0F9" << "HEX:304639";
        QTest::newRow("mask is case exact") << "0037" << "abc" << "" << "HEX:";
    }
    void maskLetsThroughOnlyItsCharacters()
    {
        QFETCH(QString, number);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(QString, hex);
        EditWindow w;
        QVERIFY(w.Open());
        const int row = w.SelectNumber(number);
        QTRY_VERIFY(w.Edit()->isVisible());
        QTest::keyClick(w.Edit(), Qt::Key_End);
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(w.Edit(), Qt::Key_Backspace);
        QCOMPARE(w.Edit()->text(), QString());
        QTest::keyClicks(w.Edit(), typed);
        QCOMPARE(w.Edit()->text(), text);
        QCOMPARE(w.Hex(row), hex);

        // A paste is held to the same rule: refused whole when any of it is.
        QGuiApplication::clipboard()->setText(QStringLiteral("9x"));
        QTest::keyClick(w.Edit(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.Edit()->text(), text);
    }
};

DTU_TEST_WIDGETS(WindowEditingTest)
#include "tst_window_editing.moc"
