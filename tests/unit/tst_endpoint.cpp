// Where a device is reached, as every front end writes it: a serial port's
// name as given, or "tcp:HOST[:PORT]" (an IPv6 host in brackets), and the
// faults that make a text none.
#include "cli/CliText.h"
#include "core/Endpoint.h"
#include "support/TestMain.h"

#include <QTest>

class EndpointTest : public QObject {
    Q_OBJECT
private slots:
    void parseAndText_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("text"); // "" when it is no endpoint
        QTest::addColumn<int>("fault");
        using F = Endpoint::Fault;
        const auto row = [](const char *given, const char *text, F fault = F::None) {
            QTest::newRow(given) << QString::fromUtf8(given) << QString::fromUtf8(text) << int(fault);
        };
        row("/dev/ttyUSB0", "/dev/ttyUSB0");
        row("COM1", "COM1");
        row("tcp:10.0.0.7:4001", "tcp:10.0.0.7:4001");
        row("TCP:host.example", "tcp:host.example:8888");
        row(" tcp:10.0.0.7 ", "tcp:10.0.0.7:8888");
        row("tcp:[::1]:8889", "tcp:[::1]:8889");
        row("tcp:[fe80::1]", "tcp:[fe80::1]:8888");
        row("tcp:::1", "tcp:[::1]:8888");
        row("", "", F::Empty);
        row("tcp:", "", F::NoHost);
        row("tcp::4001", "", F::NoHost);
        row("tcp:[::1", "", F::NoHost);
        row("tcp:host:0", "", F::BadTcpPort);
        row("tcp:host:65536", "", F::BadTcpPort);
        row("tcp:host:", "", F::BadTcpPort);
        row("tcp:host:x", "", F::BadTcpPort);
        row("tcp:[::1]x", "", F::BadTcpPort);
    }
    void parseAndText()
    {
        QFETCH(QString, given);
        QFETCH(QString, text);
        QFETCH(int, fault);
        Endpoint::Fault found = Endpoint::Fault::None;
        const std::optional<Endpoint> endpoint = Endpoint::Parse(given, &found);
        QCOMPARE(int(found), fault);
        QCOMPARE(endpoint ? endpoint->Text() : QString(), text);
        // What it prints reads back as itself.
        if (endpoint)
            QCOMPARE(Endpoint::Parse(endpoint->Text()), endpoint);
    }

    // dtucfg's lines: cells between tabs, and no value breaks a line or a cell.
    void lineCells_data()
    {
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("line");
        QTest::newRow("plain") << QStringList{"0031", "中心端口", "8080"} << QStringLiteral("0031\t中心端口\t8080\n");
        QTest::newRow("a line break") << QStringList{"0091", QStringLiteral("x\ny")} << QStringLiteral("0091\tx\\x0Ay\n");
        QTest::newRow("a tab, CR, NUL, DEL") << QStringList{QStringLiteral("a\tb\rc") + QChar(0) + QChar(0x7F)}
                                             << QStringLiteral("a\\x09b\\x0Dc\\x00\\x7F\n");
        QTest::newRow("not a control character") << QStringList{QString(QChar(0x80)) + QStringLiteral("é")}
                                                 << QString(QChar(0x80)) + QStringLiteral("é\n");
    }
    void lineCells()
    {
        QFETCH(QStringList, cells);
        QFETCH(QString, line);
        QCOMPARE(CliText::Line(cells), line);
    }
};

DTU_TEST_GUILESS(EndpointTest)
#include "tst_endpoint.moc"
