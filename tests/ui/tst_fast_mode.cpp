// The fast reply completion entry of the window: it switches the exchange,
// shows itself in the status bar and is remembered between runs. Settings go
// to a temporary folder, never to the user's own.
#include "support/TestMain.h"
#include "support/WindowFixture.h"

#include <QDirIterator>
#include <QMenu>
#include <QSettings>

namespace {

// A window started without a profile (script.js beside, no lastfile.log).
struct Window : WindowFixture {
    TForm1 &form;

    Window() : WindowFixture(WorkFolder::kScript), form(Create()) {}

    QAction *Entry() { return Action("N7"); }
    QLabel *Panel() { return Child<QLabel>("FastModePanel"); }
    bool Fast() { return Session().exchange.FastCompletion(); }
    // The entry, the exchange and the status bar tell the same story.
    void Expect(bool on)
    {
        QVERIFY(Entry());
        QVERIFY(Panel());
        QCOMPARE(Entry()->isChecked(), on);
        QCOMPARE(Fast(), on);
        QCOMPARE(Panel()->isVisibleTo(&form), on);
    }
};

} // namespace

class FastModeTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(settingsDir_.isValid());
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir_.path());
    }

    void offByDefault()
    {
        Window w;
        w.Expect(false);
        QVERIFY(w.Entry()->isCheckable());
        QCOMPARE(w.Entry()->text(), QStringLiteral("快速应答模式"));
        // It sits in the "文件操作" menu.
        auto *files = w.Child<QMenu>("N2");
        QVERIFY(files);
        QVERIFY(files->actions().contains(w.Entry()));
    }

    void toggledAndRemembered()
    {
        {
            Window w;
            w.Expect(false);
            const QString panel3 = w.WindowFixture::Panel();
            w.Entry()->trigger();
            w.Expect(true);
            QCOMPARE(w.Panel()->text(), QStringLiteral("快速应答"));
            // The result panel is not used for it.
            QCOMPARE(w.WindowFixture::Panel(), panel3);
        }
        // Remembered in the temporary folder, not in the user's settings:
        // the one settings file there holds the choice.
        QCOMPARE(StoredFastMode(), QStringLiteral("true"));
        {
            Window restarted;
            restarted.Expect(true);
            restarted.Entry()->trigger();
            restarted.Expect(false);
        }
        QCOMPARE(StoredFastMode(), QStringLiteral("false"));
        {
            Window again;
            again.Expect(false);
        }
    }

private:
    // The value under exchange/fastCompletion in the only settings file of
    // the temporary folder ("" when there is not exactly one).
    QString StoredFastMode() const
    {
        QStringList files;
        QDirIterator it(settingsDir_.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
        if (files.size() != 1)
            return {};
        return QSettings(files.first(), QSettings::IniFormat).value(QStringLiteral("exchange/fastCompletion")).toString();
    }

    QTemporaryDir settingsDir_;
};

DTU_TEST_WIDGETS(FastModeTest)
#include "tst_fast_mode.moc"
