// dtucfg's exit statuses come from what the device did, never from the words
// printed: with every text reworded (Chinese and English alike, the failure
// and success words included), each command against a healthy device and
// against one that refuses everything ends with the same status.
#include "cli/Dtucfg.h"
#include "core/Translation.h"
#include "support/SimLine.h"
#include "support/TestMain.h"
#include "support/WorkFolder.h"

#include <QDir>
#include <QTranslator>
#include <QTest>

#include <memory>

namespace {

const char kVerdictProfile[] =
    "{\n"
    "    \"Title\": \"测试终端\",\n"
    "    \"Params\": [\n"
    "        {\"CMDID\": \"0031\", \"PNAME\": \"中心端口\", \"PVALUE\": \"HEX:1F90\", \"ONLIST\": \"Length=5;Mask=\\\"0123456789\\\";\",\n"
    "         \"ONGET\": \"GetUInt()\", \"ONSET\": \"SetUInt(2)\", \"PNOTE\": \"\"},\n"
    "        {\"CMDID\": \"0032\", \"PNAME\": \"传输协议\", \"PVALUE\": \"HEX:00\", \"ONLIST\": \"[[\\\"TCP\\\",\\\"UDP\\\"],[\\\"00\\\",\\\"01\\\"]]\",\n"
    "         \"ONGET\": \"\", \"ONSET\": \"\", \"PNOTE\": \"\"}\n"
    "    ]\n"
    "}\n";

// Every text the programs look up comes out reworded: the words that say
// failed and succeeded are gone. For English it rewords the built-in
// English texts.
class Rewording : public QTranslator {
public:
    explicit Rewording(bool english)
    {
        if (english)
            (void)english_.load(QStringLiteral(":/i18n/dtutools_en.qm"));
    }
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *source, const char *disambiguation, int n) const override
    {
        QString text = english_.isEmpty() ? QString() : english_.translate(context, source, disambiguation, n);
        if (text.isEmpty())
            text = QString::fromUtf8(source);
        static const QList<QPair<QString, QString>> words{
            {QStringLiteral("失败"), QStringLiteral("未果")}, {QStringLiteral("成功"), QStringLiteral("完成了")},
            {QStringLiteral("failed"), QStringLiteral("did not go through")},
            {QStringLiteral("succeeded"), QStringLiteral("went through")}};
        for (const auto &w : words)
            text.replace(w.first, w.second, Qt::CaseInsensitive);
        return text + QStringLiteral(" ~");
    }

private:
    QTranslator english_;
};

// One device, and dtucfg run in this process so that the rewording
// translator speaks for it; both on virtual time, so the corrupt device's
// failures cost no real time.
class VerdictBench {
public:
    explicit VerdictBench(const QStringList &simArgs)
    {
        dir_.Write(QStringLiteral("dev.txt"), kVerdictProfile);
        device_ = std::make_unique<VirtualDevice>(QStringList{QStringLiteral("--profile"), dir_.Path(QStringLiteral("dev.txt"))}
                                                  + simArgs);
    }
    int Cfg(const QStringList &args)
    {
        return device_->Cfg(QStringList{QStringLiteral("--profile"), QStringLiteral("dev.txt"), QStringLiteral("--fast")} + args,
                            dir_.Path())
            .exitCode;
    }
    QString Path(const QString &name) const { return dir_.Path(name); }

private:
    WorkFolder dir_{WorkFolder::kScript};
    std::unique_ptr<VirtualDevice> device_;
};

// Each command with the status it ends with against a healthy device and
// against one whose every answer is corrupt: 0 done, 1 a device operation
// failed.
struct Case {
    QStringList args;
    int healthy, corrupt;
};
const QList<Case> kCases = {
    {{QStringLiteral("status")}, 0, 1},
    {{QStringLiteral("signal")}, 0, 1},
    {{QStringLiteral("version")}, 0, 1},
    {{QStringLiteral("clock")}, 0, 1},
    {{QStringLiteral("set-clock")}, 0, 1},
    {{QStringLiteral("reset")}, 0, 1},
    {{QStringLiteral("restore")}, 0, 1},
    {{QStringLiteral("read")}, 0, 1},
    {{QStringLiteral("verify"), QStringLiteral("copy.txt")}, 0, 1},
    {{QStringLiteral("write"), QStringLiteral("0031=9000"), QStringLiteral("0032=UDP")}, 0, 1},
    {{QStringLiteral("save"), QStringLiteral("copy.txt")}, 0, 1},
    {{QStringLiteral("batch")}, 0, 1},
    {{QStringLiteral("provision"), QStringLiteral("--set"), QStringLiteral("0031=9000")}, 0, 1},
};

} // namespace

class DtucfgVerdictsTest : public QObject {
    Q_OBJECT
private slots:
    void statusesDoNotDependOnWords_data()
    {
        // The statuses are the device's rules, so the texts as written need
        // no row of their own: e2e/tst_dtucfg_commands runs them.
        QTest::addColumn<int>("rewording"); // 1 Chinese reworded, 2 English reworded
        QTest::newRow("Chinese reworded") << 1;
        QTest::newRow("English reworded") << 2;
    }
    void statusesDoNotDependOnWords()
    {
        QFETCH(int, rewording);
        // The translator dtucfg installs for --lang is not asked for: the
        // rewording one answers every lookup.
        QVERIFY(Translation::Install(Language::Chinese));
        Rewording words(rewording == 2);
        QVERIFY(QCoreApplication::installTranslator(&words));

        VerdictBench healthy({});
        VerdictBench corrupt({QStringLiteral("--bad-checksum")});
        // The file verify compares with: what the healthy device holds.
        QCOMPARE(healthy.Cfg({QStringLiteral("save"), healthy.Path(QStringLiteral("copy.txt"))}), 0);
        QFile::copy(healthy.Path(QStringLiteral("copy.txt")), corrupt.Path(QStringLiteral("copy.txt")));
        for (const Case &c : kCases) {
            const QByteArray name = c.args.join(QLatin1Char(' ')).toUtf8();
            QVERIFY2(healthy.Cfg(c.args) == c.healthy, name.constData());
            QVERIFY2(corrupt.Cfg(c.args) == c.corrupt, name.constData());
        }
        QCoreApplication::removeTranslator(&words);
    }
};

DTU_TEST_GUILESS(DtucfgVerdictsTest)
#include "tst_dtucfg_verdicts.moc"
