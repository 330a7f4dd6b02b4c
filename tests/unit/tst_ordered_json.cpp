// The order-keeping JSON reader and writer behind profile re-saves.
#include "support/TestMain.h"
#include "profile/OrderedJson.h"

#include <QTest>

class OrderedJsonTest : public QObject {
    Q_OBJECT
private slots:
    void roundTripKeepsOrderAndLexemes()
    {
        const QString text = QStringLiteral(
            "{\"b\": 1, \"a\": [-0.5e+3, 10, true, false, null, {}, []], \"c\": {\"z\": \"\\u4e2d\\n\\\"\\\\/\"}}");
        JsonValue v;
        QString error;
        QVERIFY2(JsonValue::Parse(text, &v, &error), qPrintable(error));
        QCOMPARE(v.Members()[0].first, QStringLiteral("b"));
        QCOMPARE(v.Members()[1].first, QStringLiteral("a"));
        QCOMPARE(v.Find(QStringLiteral("a"))->Items()[0].Text(), QStringLiteral("-0.5e+3"));
        QCOMPARE(v.Find(QStringLiteral("c"))->Find(QStringLiteral("z"))->Text(), QStringLiteral("中\n\"\\/"));

        JsonValue again;
        QVERIFY(JsonValue::Parse(v.ToIndentedText(), &again, &error));
        QCOMPARE(again.ToIndentedText(), v.ToIndentedText());
        QVERIFY(v.ToIndentedText().contains(QStringLiteral("\"z\": \"中\\n\\\"\\\\/\"")));
        QVERIFY(v.ToIndentedText().contains(QStringLiteral("true,\n")));
    }

    void setAppendsOrReplaces()
    {
        JsonValue v;
        QVERIFY(JsonValue::Parse(QStringLiteral("{\"x\": \"1\", \"y\": \"2\"}"), &v, nullptr));
        v.Set(QStringLiteral("x"), JsonValue::MakeString(QStringLiteral("3")));
        v.Set(QStringLiteral("w"), JsonValue::MakeString(QStringLiteral("4")));
        QCOMPARE(v.Members().size(), size_t(3));
        QCOMPARE(v.Members()[0].second.Text(), QStringLiteral("3"));
        QCOMPARE(v.Members()[2].first, QStringLiteral("w"));
    }

    void rejectsMalformedText_data()
    {
        QTest::addColumn<QString>("text");
        for (const char *t : {"", "{", "{\"a\" 1}", "{\"a\":1,}", "[1,]", "[1 2]", "\"open", "01", "1.", "-",
                              "tru", "{\"a\":\"\\x\"}", "\"\\u12\"", "{} extra", "{\"a\":\"tab\there\"}", "{a:1}"})
            QTest::newRow(t) << QString::fromUtf8(t);
        QTest::newRow("deep") << QString(1000, QLatin1Char('[')) + QString(1000, QLatin1Char(']'));
    }
    void rejectsMalformedText()
    {
        QFETCH(QString, text);
        JsonValue v;
        QString error;
        QVERIFY(!JsonValue::Parse(text, &v, &error));
        QVERIFY(!error.isEmpty());
    }

    void toIntIsTolerant()
    {
        JsonValue v;
        QVERIFY(JsonValue::Parse(QStringLiteral("[2, \"3\", 1e99, \"x\", null]"), &v, nullptr));
        QCOMPARE(v.Items()[0].ToInt(), 2);
        QCOMPARE(v.Items()[1].ToInt(), 3);
        QCOMPARE(v.Items()[2].ToInt(-1), -1);
        QCOMPARE(v.Items()[3].ToInt(-1), -1);
        QCOMPARE(v.Items()[4].ToInt(-1), -1);
    }
};

DTU_TEST_GUILESS(OrderedJsonTest)
#include "tst_ordered_json.moc"
