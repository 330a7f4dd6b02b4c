// The script engine as the tool uses it: text results, persistent globals,
// user text entering as values, and the time limit.
#include "script/ScriptError.h"
#include "script/ScriptHost.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

class ScriptHostTest : public QObject {
    Q_OBJECT
private slots:
    void resultsAsText()
    {
        ScriptHost host;
        QCOMPARE(host.Eval(QStringLiteral("1+2")), QStringLiteral("3"));
        QCOMPARE(host.Eval(QStringLiteral("1.5*2")), QStringLiteral("3"));
        QCOMPARE(host.Eval(QStringLiteral("0.25")), QStringLiteral("0.25"));
        QCOMPARE(host.Eval(QStringLiteral("'E00D'")), QStringLiteral("E00D"));
        QCOMPARE(host.Eval(QStringLiteral("undefined")), QString());
        QCOMPARE(host.Eval(QStringLiteral("var x = 5;")), QString());
    }

    void globalsPersist()
    {
        ScriptHost host;
        host.Eval(QStringLiteral("var Length = 4; function f(){ return Length * 2; }"));
        QCOMPARE(host.Eval(QStringLiteral("f();")), QStringLiteral("8"));
        host.SetGlobal(QStringLiteral("hexinput"), QStringLiteral("4142"));
        QCOMPARE(host.Eval(QStringLiteral("hexinput.length")), QStringLiteral("4"));
    }

    void typedTextIsDataNeverCode()
    {
        ScriptHost host;
        const QString hostile = QStringLiteral("\"; throw 'x'; //\\ 中文");
        host.SetGlobal(QStringLiteral("ascinput"), hostile);
        QCOMPARE(host.Eval(QStringLiteral("ascinput")), hostile);
    }

    void errorsThrow()
    {
        ScriptHost host;
        QVERIFY_THROWS_EXCEPTION(ScriptError, host.Eval(QStringLiteral("syntax error here(")));
        QVERIFY_THROWS_EXCEPTION(ScriptError, host.Eval(QStringLiteral("NoSuchFunction();")));
        QVERIFY_THROWS_EXCEPTION(ScriptError, host.Eval(QStringLiteral("throw new Error('boom')")));
        // The engine is usable after an error.
        QCOMPARE(host.Eval(QStringLiteral("2")), QStringLiteral("2"));
    }

    void endlessLoopIsInterrupted()
    {
        ScriptHost host;
        host.SetTimeLimitMs(300);
        QElapsedTimer timer;
        timer.start();
        QVERIFY_THROWS_EXCEPTION(ScriptError, host.Eval(QStringLiteral("while(true){}")));
        QVERIFY(timer.elapsed() < 3000);
        // The interrupt does not stick to later evaluations.
        QCOMPARE(host.Eval(QStringLiteral("6*7")), QStringLiteral("42"));
    }

    void loadFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("script.js"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("function GetCmd(n){ return n == 'CMD_RESET' ? 'E003' : '0000'; }\nthis is not js;\n");
        f.close();
        ScriptHost host;
        QString error;
        QVERIFY(host.LoadFile(path, &error));
        QVERIFY(!host.LoadFile(dir.filePath(QStringLiteral("missing.js")), &error));
        QVERIFY(error.contains(QStringLiteral("missing.js")));
    }

    void exampleScriptHelpers()
    {
        ScriptHost host;
        QVERIFY(host.LoadFile(QStringLiteral(DTU_SOURCE_DIR "/examples/script.js")));
        QCOMPARE(host.Eval(QStringLiteral("GetCmd(\"CMD_GETPARAM\");")), QStringLiteral("E001"));
        QCOMPARE(host.Eval(QStringLiteral("PrevCmd();")), QString());
        host.SetGlobal(QStringLiteral("hexinput"), QStringLiteral("41200000"));
        QCOMPARE(host.Eval(QStringLiteral("GetFloat()")), QStringLiteral("10.000"));
        host.SetGlobal(QStringLiteral("hexinput"), QStringLiteral("312E30"));
        QCOMPARE(host.Eval(QStringLiteral("GetStr()")), QStringLiteral("1.0"));
        host.SetGlobal(QStringLiteral("ascinput"), QStringLiteral("abc"));
        QCOMPARE(host.Eval(QStringLiteral("SetUInt(2)")), QStringLiteral("NaN"));
        host.SetGlobal(QStringLiteral("ascinput"), QStringLiteral("8080"));
        QCOMPARE(host.Eval(QStringLiteral("SetUInt(2)")), QStringLiteral("1F90"));
    }
};

QTEST_GUILESS_MAIN(ScriptHostTest)
#include "tst_script_host.moc"
