// The script engine as the tool uses it: text results, persistent globals,
// user text entering as values, and the time limit.
#include "support/TestMain.h"
#include "script/ScriptError.h"
#include "script/ScriptHost.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

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
        // The watchdog is a thread on the real clock: a bound ten times its limit.
        QVERIFY(timer.elapsed() < 10 * 300);
        // The interrupt does not stick to later evaluations.
        QCOMPARE(host.Eval(QStringLiteral("6*7")), QStringLiteral("42"));
    }

    // A script file is evaluated once; what it defines is then called.
    // An error in it is handed back with the file and line where it arose.
    void loadFile_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("line");          // 0: no fault
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("getCmdDefined");
        const QByteArray getCmd = "function GetCmd(n){ return n == 'CMD_RESET' ? 'E003' : '0000'; }\n";
        QTest::newRow("healthy") << getCmd << 0 << QString() << true;
        // A syntax error anywhere: nothing of the file runs.
        QTest::newRow("syntax error") << getCmd + "\nthis is not js;\n" << 3 << "SyntaxError" << false;
        // An error thrown while it runs: what was defined before it stays.
        QTest::newRow("thrown") << getCmd + "NoSuchHelper();\n" << 2 << "ReferenceError" << true;
    }
    void loadFile()
    {
        QFETCH(QByteArray, script);
        QFETCH(int, line);
        QFETCH(QString, kind);
        QFETCH(bool, getCmdDefined);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("script.js"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(script);
        f.close();
        ScriptHost host;
        QString error;
        ScriptFault fault;
        fault.message = QStringLiteral("left from before");
        QVERIFY(host.LoadFile(path, &error, &fault));
        if (line == 0) {
            QVERIFY(fault.IsEmpty());
        } else {
            QCOMPARE(fault.file, path);
            QCOMPARE(fault.line, line);
            QVERIFY2(fault.message.startsWith(kind + QLatin1Char(':')), qPrintable(fault.message));
            QCOMPARE(fault.Text(), QStringLiteral("%1 第%2行：%3").arg(path).arg(line).arg(fault.message));
        }
        if (getCmdDefined) {
            QCOMPARE(host.Eval(QStringLiteral("GetCmd(\"CMD_RESET\");")), QStringLiteral("E003"));
        } else {
            QVERIFY_THROWS_EXCEPTION(ScriptError, host.Eval(QStringLiteral("GetCmd(\"CMD_RESET\");")));
        }
    }

    void loadFileMissingOrEndless()
    {
        QTemporaryDir dir;
        ScriptHost host;
        QString error;
        QVERIFY(!host.LoadFile(dir.filePath(QStringLiteral("missing.js")), &error));
        QVERIFY(error.contains(QStringLiteral("missing.js")));

        const QString path = dir.filePath(QStringLiteral("loop.js"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("function GetCmd(n){ return 'E003'; }\nwhile (true) {}\n");
        f.close();
        host.SetTimeLimitMs(300);
        ScriptFault fault;
        QVERIFY(host.LoadFile(path, &error, &fault));
        QCOMPARE(fault.line, 0);
        QCOMPARE(fault.Text(), path + QStringLiteral("：脚本执行超时（超过300毫秒）"));
        QCOMPARE(host.Eval(QStringLiteral("GetCmd(\"CMD_RESET\");")), QStringLiteral("E003"));
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
        // A row without a Mask may be given anything: digits only make a
        // number, so "12abc" is not taken for 12, nor "1.5" for 1.
        for (const char *notDigits : {"12abc", "1.5", "-1", " 7"}) {
            host.SetGlobal(QStringLiteral("ascinput"), QString::fromLatin1(notDigits));
            QVERIFY2(host.Eval(QStringLiteral("SetUInt(2)")).contains(QStringLiteral("NaN")), notDigits);
            host.SetGlobal(QStringLiteral("ascinput"), QStringLiteral("10.0.0.") + QString::fromLatin1(notDigits));
            QVERIFY2(host.Eval(QStringLiteral("SetIP()")).contains(QStringLiteral("NaN")), notDigits);
        }
    }
};

DTU_TEST_GUILESS(ScriptHostTest)
#include "tst_script_host.moc"
