// The hidden login: which texts set which level.
#include "support/TestMain.h"
#include "core/AppState.h"
#include "ops/Login.h"

#include <QTest>

class LoginTest : public QObject {
    Q_OBJECT
private slots:
    void submit_data()
    {
        QTest::addColumn<int>("levelBefore");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<int>("levelAfter");
        QTest::newRow("level 2") << 0 << "mirandolex" << true << 2;
        QTest::newRow("level 1") << 0 << "vanto" << true << 1;
        QTest::newRow("lowers 2 to 1") << 2 << "vanto" << true << 1;
        QTest::newRow("capitals rejected") << 1 << "MIRANDOLEX" << false << 1;
        QTest::newRow("trailing blank rejected") << 0 << "vanto " << false << 0;
        QTest::newRow("prefix rejected") << 0 << "mirandole" << false << 0;
        QTest::newRow("empty") << 2 << "" << false << 2;
    }
    void submit()
    {
        QFETCH(int, levelBefore);
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        AppState state;
        state.AccessLevel = levelBefore;
        QCOMPARE(Login::Submit(state, text), accepted);
        QTEST(state.AccessLevel, "levelAfter");
        QCOMPARE(state.LoginFlag, accepted);
    }
};

DTU_TEST_GUILESS(LoginTest)
#include "tst_login.moc"
