// What a device action leaves in the records, built from a table and an
// outcome: which rows a read keeps, what a write's rows say before and after,
// which values count as read, and the outcome names.
#include "core/AppState.h"
#include "params/ParamTableModel.h"
#include "actions/EntryRows.h"
#include "support/ParamRows.h"
#include "support/TestMain.h"

#include <QTest>

namespace {

RowResult Sent(const QString &number, int result, bool extended = false)
{
    RowResult r;
    r.number = number;
    r.result = result;
    r.extended = extended;
    return r;
}

RecordRow ReadRow(const QString &table, const QString &number, const QString &raw, const QString &shown,
                  const QString &result = QStringLiteral("read"))
{
    RecordRow row;
    row.table = table;
    row.number = number;
    row.after = {raw, shown};
    row.result = result;
    return row;
}

const RecordRow &RowIn(const QList<RecordRow> &rows, const QString &table, const QString &number)
{
    for (const RecordRow &row : rows)
        if (row.table == table && row.number == number)
            return row;
    static const RecordRow none;
    return none;
}

} // namespace

class EntryRowsTest : public QObject {
    Q_OBJECT

    AppState state_;
    ParamTableModel main_{state_, ParamTableModel::Kind::Main};
    ParamTableModel ext_{state_, ParamTableModel::Kind::Extended};

private slots:
    void init()
    {
        main_.Clear();
        main_.AppendRow(TestRow(QString(), QStringLiteral("数据中心设置")));
        main_.AppendRow(TestRow("0030", "中心地址").Hex("HEX:31302E302E302E38").Value("10.0.0.8"));
        main_.AppendRow(TestRow("0031", "中心端口").Hex("HEX:1F90").Value("8080"));
        main_.AppendRow(TestRow("0040", "接入点名称").Hex("HEX:").Value(""));
        main_.AppendRow(TestRow("0091", "设备编号").Hex("HEX:44545530303031").Value("DTU0001 "));
        ext_.Clear();
        // The same number in the other table: another row.
        ext_.AppendRow(TestRow("0031", "接口类型").Hex("HEX:01").Value("RS485"));
    }

    void aReadKeepsEveryRowReported()
    {
        const QStringList reported{"0030", "0031", "0040", "0091"};
        QList<RecordRow> rows = EntryRows::Read(main_, reported);
        // No heading; an empty value is a value the device holds.
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[2].after, (RecordValue{"HEX:", ""}));
        // A row the device did not report is none of its values.
        QCOMPARE(EntryRows::Read(main_, {"0031"}).size(), 1);
        QCOMPARE(rows[0].number, QStringLiteral("0030"));
        QCOMPARE(rows[0].table, QStringLiteral("main"));
        QCOMPARE(rows[0].name, QStringLiteral("中心地址"));
        QCOMPARE(rows[0].after, (RecordValue{"HEX:31302E302E302E38", "10.0.0.8"}));
        QCOMPARE(rows[0].result, QStringLiteral("read"));
        const QList<RecordRow> ext = EntryRows::Read(ext_, {"0031"});
        QCOMPARE(ext[0].table, QStringLiteral("ext"));
        // The device number is row 0091 of the main table, as shown.
        QCOMPARE(EntryRows::DeviceNumber(rows + ext), QStringLiteral("DTU0001"));
        QCOMPARE(EntryRows::DeviceNumber(ext), QString());
        QList<RecordRow> written = rows;
        written[3].result = QStringLiteral("ok"); // sent, not read: no identity
        QCOMPARE(EntryRows::DeviceNumber(written), QString());
    }

    void aWriteSaysBeforeAfterAndResult()
    {
        EntryRows::KnownValues known;
        known.Learn({ReadRow("main", "0031", "HEX:1389", "5001"), ReadRow("ext", "0031", "HEX:00", "RS232")});
        WriteReport report;
        report.rows = {Sent("0031", TransactionResult::Accepted), Sent("0031", TransactionResult::Refused, true)};
        report.notReached = {QStringLiteral("0030")};
        report.withheld = {QStringLiteral("0091")};
        const QList<RecordRow> rows = EntryRows::Written(report, {&main_, &ext_}, known);
        QCOMPARE(rows.size(), 4);
        const RecordRow &port = RowIn(rows, "main", "0031");
        QCOMPARE(port.before, (RecordValue{"HEX:1389", "5001"}));
        QCOMPARE(port.after, (RecordValue{"HEX:1F90", "8080"}));
        QCOMPARE(port.result, QStringLiteral("ok"));
        // The extended row of the same number is told apart.
        const RecordRow &kind = RowIn(rows, "ext", "0031");
        QCOMPARE(kind.name, QStringLiteral("接口类型"));
        QCOMPARE(kind.before.shown, QStringLiteral("RS232"));
        QCOMPARE(kind.result, QStringLiteral("refused"));
        // Not reached: meant, never sent; nothing known before.
        QCOMPARE(RowIn(rows, "main", "0030").result, QStringLiteral("not-reached"));
        QVERIFY(!RowIn(rows, "main", "0030").before.IsKnown());
        // Withheld: the device keeps its own, so no value after.
        QCOMPARE(RowIn(rows, "main", "0091").result, QStringLiteral("withheld"));
        QVERIFY(!RowIn(rows, "main", "0091").after.IsKnown());
    }

    void theNewestReadWins()
    {
        RecordEntry newest, older, rollback, write;
        newest.action = RecordAction::Read;
        newest.rows = {ReadRow("main", "0031", "HEX:1389", "5001")};
        write.action = RecordAction::Write;
        write.rows = {ReadRow("main", "0033", "HEX:005A", "90", "ok")};
        rollback.action = RecordAction::Rollback;
        rollback.rows = {ReadRow("main", "0030", "HEX:31", "1", "ok"), ReadRow("main", "0040", "HEX:41", "A", "refused")};
        older.action = RecordAction::Read;
        older.rows = {ReadRow("main", "0031", "HEX:1F90", "8080"), ReadRow("main", "0033", "HEX:003C", "60")};
        EntryRows::KnownValues known;
        known.LearnFrom({newest, write, rollback, older});
        QCOMPARE(known.Of("main", "0031").shown, QStringLiteral("5001"));
        // A write's value was sent, not read: the older read stands.
        QCOMPARE(known.Of("main", "0033").shown, QStringLiteral("60"));
        // A rollback reads back what it wrote; a refused row it did not hold.
        QCOMPARE(known.Of("main", "0030").shown, QStringLiteral("1"));
        QVERIFY(!known.Of("main", "0040").IsKnown());
        QVERIFY(!known.Of("ext", "0031").IsKnown());
        // What this run read itself replaces what the records knew.
        known.Learn({ReadRow("main", "0031", "HEX:0050", "80")});
        QCOMPARE(known.Of("main", "0031").shown, QStringLiteral("80"));
    }

    void heldAfterTheAction()
    {
        QVERIFY(EntryRows::HeldAfter(ReadRow("main", "0031", "HEX:1F90", "8080")));
        QVERIFY(EntryRows::HeldAfter(ReadRow("main", "0031", "HEX:1F90", "8080", "ok")));
        QVERIFY(EntryRows::HeldAfter(ReadRow("main", "0031", "HEX:1F90", "8080", "unchanged")));
        QVERIFY(!EntryRows::HeldAfter(ReadRow("main", "0031", "HEX:1F90", "8080", "refused")));
        QVERIFY(!EntryRows::HeldAfter(ReadRow("main", "0031", "HEX:1F90", "8080", "not-reached")));
        QVERIFY(!EntryRows::HeldAfter(ReadRow("main", "0031", "", "", "ok")));
    }

    void aPasswordRowKeepsNoValue()
    {
        for (const char *name : {"接入密码", "APN Password", "管理口令"}) {
            RecordRow row = ReadRow("main", "0043", "HEX:313233", "123");
            row.name = QString::fromUtf8(name);
            row.before = {"HEX:34", "4"};
            const RecordRow kept = RecordEntries::Kept(row);
            QVERIFY2(!kept.after.IsKnown() && !kept.before.IsKnown(), name);
            // That it was read and how stays.
            QCOMPARE(kept.number, QStringLiteral("0043"));
            QCOMPARE(kept.result, QStringLiteral("read"));
        }
        RecordRow plain = ReadRow("main", "0040", "HEX:41", "A");
        plain.name = QStringLiteral("接入点名称");
        QCOMPARE(RecordEntries::Kept(plain), plain);
    }

    void outcomeNames()
    {
        const auto name = [](auto outcome) { return OutcomeName(Verdict(outcome)); };
        QCOMPARE(name(ReadOutcome{}), QStringLiteral("ok"));
        QCOMPARE(name(ReadOutcome{false, TransactionResult::Accepted, 0}), QStringLiteral("channel-closed"));
        QCOMPARE(name(ReadOutcome{true, TransactionResult::NoAnswer, 0}), QStringLiteral("no-answer"));
        QCOMPARE(name(ReadOutcome{true, TransactionResult::NothingReported, 0}), QStringLiteral("nothing-reported"));

        WriteReport report;
        report.rows = {Sent("0030", TransactionResult::Accepted)};
        QCOMPARE(name(report), QStringLiteral("ok"));
        report.notReached = {QStringLiteral("0031")};
        QCOMPARE(name(report), QStringLiteral("not-reached"));
        report.stopped = true;
        QCOMPARE(name(report), QStringLiteral("stopped"));
        report.stopped = false;
        report.notReached.clear();
        report.rows << Sent("0031", TransactionResult::Refused);
        QCOMPARE(name(report), QStringLiteral("written-with-errors"));
        report.rows.removeFirst();
        QCOMPARE(name(report), QStringLiteral("failed"));
        report.channelLost = true;
        QCOMPARE(name(report), QStringLiteral("channel-lost"));

        CommandOutcome command;
        QCOMPARE(name(command), QStringLiteral("ok"));
        command.cancelled = true;
        QCOMPARE(name(command), QStringLiteral("cancelled"));
        // Every name reads back as its outcome.
        for (int i = 0; i <= int(OutcomeId::NoSuchRow); ++i)
            QCOMPARE(OutcomeFromName(OutcomeName(OutcomeId(i))), std::optional<OutcomeId>(OutcomeId(i)));
    }
};

DTU_TEST_GUILESS(EntryRowsTest)
#include "tst_entry_rows.moc"
