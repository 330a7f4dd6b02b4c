// The English translation as kept in translations/dtutools_en.ts and as the
// programs carry it: every message translated, with the placeholders and
// brackets of its Chinese text; failures still read as failures; and the
// built-in translation gives exactly the .ts's texts.
#include "support/TestMain.h"
#include "support/TestPaths.h"

#include "core/Translation.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QTest>

namespace {

struct Message {
    QString context;
    QString source;
    QString translation;
    QString type; // "unfinished", "vanished", "obsolete" or empty
};

QList<Message> ReadTs(const QString &path, QString *error)
{
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return {};
    }
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            message = Message{context, {}, {}, {}};
        } else if (name == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            message.translation = xml.readElementText();
            messages << message;
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return messages;
}

QStringList Placeholders(const QString &text)
{
    static const QRegularExpression marker(QStringLiteral("%\\d"));
    QStringList found;
    for (const QRegularExpressionMatch &m : marker.globalMatch(text))
        found << m.captured();
    found.sort();
    return found;
}

} // namespace

class TranslationsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QString error;
        messages_ = ReadTs(TestPaths::Source(QStringLiteral("translations/dtutools_en.ts")), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY(messages_.size() > 100);
    }
    void cleanupTestCase() { Translation::Install(Language::Chinese); }

    // Finished, not empty, the same %1.. as the Chinese, and a bracketed
    // result text stays bracketed.
    void everyMessageTranslatedInShape()
    {
        QStringList faults;
        for (const Message &m : std::as_const(messages_)) {
            const QString where = m.context + QStringLiteral(" \"") + m.source + QStringLiteral("\": ");
            if (!m.type.isEmpty() || m.translation.trimmed().isEmpty())
                faults << where + QStringLiteral("not translated");
            else if (Placeholders(m.source) != Placeholders(m.translation))
                faults << where + QStringLiteral("placeholders differ in \"%1\"").arg(m.translation);
            else if (m.source.startsWith(QLatin1Char('[')) != m.translation.startsWith(QLatin1Char('['))
                     || m.source.endsWith(QLatin1Char(']')) != m.translation.endsWith(QLatin1Char(']')))
                faults << where + QStringLiteral("brackets differ in \"%1\"").arg(m.translation);
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // A reader tells a failure by the word "failed" in a bracketed line, as
    // by 失败 in Chinese; the result suffixes carry it into every composed
    // result text. (No program judges by it: verdicts are values.)
    void failuresSayFailed()
    {
        QStringList faults;
        for (const Message &m : std::as_const(messages_)) {
            const bool result = m.source.startsWith(QLatin1Char('[')) || m.context == QLatin1String("ResultWording");
            if (result && m.source.contains(QStringLiteral("失败"))
                != m.translation.contains(QStringLiteral(" failed")))
                faults << m.source + QStringLiteral(" -> ") + m.translation;
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }

    // The programs carry the .qm built from this very .ts; Chinese is the
    // sources' own text.
    void builtInTranslationMatchesTheTs()
    {
        QVERIFY(Translation::Install(Language::English));
        QCOMPARE(Translation::Current(), Language::English);
        QStringList stale;
        for (const Message &m : std::as_const(messages_)) {
            const QString shown = QCoreApplication::translate(qPrintable(m.context), m.source.toUtf8().constData());
            if (shown != m.translation)
                stale << m.source + QStringLiteral(" -> ") + shown;
        }
        QVERIFY2(stale.isEmpty(), qPrintable(stale.join(QLatin1Char('\n'))));

        QVERIFY(Translation::Install(Language::Chinese));
        QCOMPARE(QCoreApplication::translate("ParamReader", "参数读取"), QStringLiteral("参数读取"));
        // A notice for a reader of the other language, whatever runs.
        QCOMPARE(Translation::InLanguage(Language::English, "ParamReader", "参数读取"), QStringLiteral("Parameter read"));
        QCOMPARE(Translation::InLanguage(Language::Chinese, "ParamReader", "参数读取"), QStringLiteral("参数读取"));
    }

private:
    QList<Message> messages_;
};

DTU_TEST_GUILESS(TranslationsTest)
#include "tst_translations.moc"
