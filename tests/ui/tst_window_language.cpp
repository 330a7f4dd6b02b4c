// The window in English: its controls by their English names, a read from a
// simulated device in English, no Chinese left on it but the profile's own
// texts, and the language menu that picks the language of the next start.
#include "support/SimWindow.h"
#include "support/TestMain.h"

#include "core/Translation.h"
#include "ui/WindowLanguage.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

namespace {

const QRegularExpression kChinese(QStringLiteral("[\\x{3000}-\\x{303F}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));

// Every text the profile brings onto the window: its title, and the cells of
// both tables with the labels of their choice lists.
QStringList ProfileTexts(const DtuSession &session)
{
    QStringList texts;
    if (session.profile)
        texts << session.profile->Text(ProfileKeys::Title);
    static const QRegularExpression quoted(QStringLiteral("\"([^\"]*)\""));
    for (const ParamTableModel *table : {&session.mainTable, &session.extTable}) {
        for (int row = 0; row < table->Count(); ++row) {
            for (int column = 0; column < ParamColumnCount; ++column)
                texts << table->Cell(row, column);
            for (const QRegularExpressionMatch &m : quoted.globalMatch(table->Cell(row, ColOnList)))
                texts << m.captured(1);
        }
    }
    texts.removeAll(QString());
    // Longest first, so a name is not cut by a shorter one inside it.
    std::sort(texts.begin(), texts.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
    return texts;
}

// What the window shows or announces, each with where it was found.
QStringList ShownTexts(QMainWindow &window)
{
    QStringList shown;
    const auto add = [&](const QObject *where, const QString &what, const QString &text) {
        if (!text.isEmpty())
            shown << where->objectName() + QLatin1Char(' ') + what + QStringLiteral(": ") + text;
    };
    add(&window, QStringLiteral("title"), window.windowTitle());
    for (QWidget *w : window.findChildren<QWidget *>()) {
        add(w, QStringLiteral("accessible name"), w->accessibleName());
        add(w, QStringLiteral("accessible description"), w->accessibleDescription());
        add(w, QStringLiteral("tool tip"), w->toolTip());
        if (auto *label = qobject_cast<QLabel *>(w))
            add(w, QStringLiteral("text"), label->text());
        if (auto *button = qobject_cast<QAbstractButton *>(w))
            add(w, QStringLiteral("text"), button->text());
        if (auto *box = qobject_cast<QGroupBox *>(w))
            add(w, QStringLiteral("title"), box->title());
        if (auto *edit = qobject_cast<QLineEdit *>(w))
            add(w, QStringLiteral("placeholder"), edit->placeholderText());
        if (auto *memo = qobject_cast<QPlainTextEdit *>(w))
            for (const QString &line : memo->toPlainText().split(QLatin1Char('\n')))
                add(w, QStringLiteral("line"), line);
        if (auto *tabs = qobject_cast<QTabWidget *>(w))
            for (int i = 0; i < tabs->count(); ++i)
                add(w, QStringLiteral("tab"), tabs->tabText(i));
        if (auto *combo = qobject_cast<QComboBox *>(w))
            for (int i = 0; i < combo->count(); ++i)
                add(w, QStringLiteral("item"), combo->itemText(i));
        if (auto *header = qobject_cast<QHeaderView *>(w); header && header->model())
            for (int i = 0; i < header->count(); ++i)
                if (!header->isSectionHidden(i))
                    add(w->parentWidget(), QStringLiteral("heading"),
                        header->model()->headerData(i, header->orientation()).toString());
    }
    for (QAction *action : window.findChildren<QAction *>()) {
        add(action, QStringLiteral("text"), action->text());
        if (action->toolTip() != action->text())
            add(action, QStringLiteral("tool tip"), action->toolTip());
    }
    return shown;
}

} // namespace

class WindowLanguageTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(Translation::Install(Language::English));
    }
    void cleanupTestCase() { Translation::Install(Language::Chinese); }

    // The controls a technician looks for first, by their English names, and
    // the outcome of opening the port and reading.
    void mainControlsInEnglish()
    {
        SimWindow b({}); // the English window, its port open on a simulated device
        QCOMPARE(b.Action("N1")->text(), QStringLiteral("Restore factory defaults"));
        QCOMPARE(b.Action("N6")->text(), QStringLiteral("Reset device"));
        QCOMPARE(b.Action("N2Action")->text(), QStringLiteral("File"));
        QCOMPARE(b.Action("N5")->text(), QStringLiteral("Load parameter file"));
        QCOMPARE(b.Action("N4")->text(), QStringLiteral("Write all parameters"));
        QCOMPARE(b.Action("N7")->text(), QStringLiteral("Fast reply mode"));
        QCOMPARE(b.Child<QMenu>("LanguageMenu")->title(), QStringLiteral("Language"));
        QCOMPARE(b.Child<QPushButton>("btRead")->text(), QStringLiteral("Read"));
        QCOMPARE(b.Child<QPushButton>("btWrite")->text(), QStringLiteral("Write"));
        QCOMPARE(b.Child<QPushButton>("Button3")->text(), QStringLiteral("Close port"));
        QCOMPARE(b.Child<QGroupBox>("GroupBox2")->title(), QStringLiteral("Serial port"));
        auto *tabs = b.Child<QTabWidget>("PageControl1");
        QCOMPARE(tabs->tabText(0).trimmed(), QStringLiteral("Communication settings"));
        QCOMPARE(tabs->tabText(2), QStringLiteral("Control mode test"));
        const QAbstractItemModel *model = b.Child<QTableView>("ListView1")->model();
        QCOMPARE(model->headerData(ColName, Qt::Horizontal).toString(), QStringLiteral("Parameter"));
        QCOMPARE(model->headerData(ColValue, Qt::Horizontal).toString(), QStringLiteral("Value"));
        QCOMPARE(b.Child<QLabel>("StatusBar1Panel0")->text(), QStringLiteral("Port state"));
        QCOMPARE(b.Child<QLabel>("StatusBar1Panel1")->text(),
                 b.sim.Pty() + QStringLiteral(" opened, BaudRate=57600, format=8N1"));

        b.Child<QPushButton>("btRead")->click();
        QCOMPARE(b.Panel(), QStringLiteral("[Parameters read]"));
        QVERIFY2(b.Memo().contains(QStringLiteral("[Parameters read]")), qPrintable(b.Memo().join(QLatin1Char('\n'))));
        QVERIFY(b.Memo().filter(QRegularExpression(QStringLiteral("^Down: AA 55 "))).size() >= 1);
        QVERIFY(b.dialogs.messages.isEmpty() && b.dialogs.errors.isEmpty());
    }

    // After a read, a status query and a look at every page, no text on the
    // window is Chinese except what the device profile brought: a window text
    // left out of the translation shows up here by where it sits.
    void noChineseButTheProfiles()
    {
        SimWindow b({}); // the English window, its port open on a simulated device
        b.Child<QPushButton>("btRead")->click();
        auto *tabs = b.Child<QTabWidget>("PageControl1");
        QCOMPARE(tabs->count(), 4); // the example names an interface file
        for (int page = tabs->count() - 1; page >= 0; --page)
            tabs->setCurrentIndex(page);
        tabs->setCurrentIndex(2);
        b.Child<QPushButton>("Button9")->click();
        QVERIFY(!b.Child<QPlainTextEdit>("Memo4")->toPlainText().isEmpty());
        tabs->setCurrentIndex(0);
        b.SelectNumber(QStringLiteral("0031"));

        const QStringList profile = ProfileTexts(b.Session());
        QStringList chinese;
        for (const QString &entry : ShownTexts(*b.window)) {
            QString rest = entry;
            for (const QString &text : profile)
                rest.remove(text);
            if (rest.contains(kChinese) && !entry.startsWith(QStringLiteral("LanguageChinese text: ")))
                chinese << entry;
        }
        QVERIFY2(chinese.isEmpty(), qPrintable(chinese.join(QLatin1Char('\n'))));
        // The profile's texts are shown as the profile has them.
        QVERIFY(b.window->windowTitle().endsWith(b.Session().profile->Text(ProfileKeys::Title)));
        QVERIFY(b.window->windowTitle().contains(kChinese));
        for (const ScriptedDialogs::Box &box : b.dialogs.messages + b.dialogs.errors)
            QVERIFY2(!box.text.contains(kChinese), qPrintable(box.text));
    }

    // The menu keeps its pick for the next start and says so in the language
    // picked; the window does not change language while it runs.
    void languageMenuPicksTheNextStart()
    {
        WindowFixture w;
        w.Show();
        QVERIFY(w.Action("LanguageSystem")->isChecked());

        w.Action("LanguageChinese")->trigger();
        QCOMPARE(WindowLanguage::SavedChoice(), WindowLanguage::Choice(Language::Chinese));
        QCOMPARE(w.dialogs.messages.size(), 1);
        QCOMPARE(w.dialogs.messages[0].text, QStringLiteral("界面语言将在下次启动程序时切换。"));
        QCOMPARE(w.Child<QPushButton>("btRead")->text(), QStringLiteral("Read"));

        // English is what runs: nothing to announce.
        w.Action("LanguageEnglish")->trigger();
        QCOMPARE(WindowLanguage::SavedChoice(), WindowLanguage::Choice(Language::English));
        QCOMPARE(w.dialogs.messages.size(), 1);

        WindowFixture next;
        next.Show();
        QVERIFY(next.Action("LanguageEnglish")->isChecked());
        QVERIFY(!next.Action("LanguageSystem")->isChecked());
        next.Action("LanguageSystem")->trigger();
        QVERIFY(!WindowLanguage::SavedChoice());
    }

    void languageOfARun_data()
    {
        QTest::addColumn<WindowLanguage::Choice>("choice");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<Language>("language");
        using C = WindowLanguage::Choice;
        QTest::newRow("system zh_CN") << C() << "zh_CN" << Language::Chinese;
        QTest::newRow("system zh_TW") << C() << "zh_TW" << Language::Chinese;
        QTest::newRow("system en_US") << C() << "en_US" << Language::English;
        QTest::newRow("system de_DE") << C() << "de_DE" << Language::English;
        QTest::newRow("system C") << C() << "C" << Language::English;
        QTest::newRow("chinese on en_US") << C(Language::Chinese) << "en_US" << Language::Chinese;
        QTest::newRow("english on zh_CN") << C(Language::English) << "zh_CN" << Language::English;
    }
    void languageOfARun()
    {
        QFETCH(WindowLanguage::Choice, choice);
        QFETCH(QString, locale);
        QFETCH(Language, language);
        QCOMPARE(WindowLanguage::Resolve(choice, QLocale(locale)), language);
    }
};

DTU_TEST_WIDGETS(WindowLanguageTest)
#include "tst_window_language.moc"
