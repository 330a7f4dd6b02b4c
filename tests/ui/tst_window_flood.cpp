// A megabyte of noise reaching the window while it is idle: the poller shows
// it on the transparent display and the window keeps handling events.
#include "support/TestMain.h"
#include "support/WindowFixture.h"

#include "channel/Transport.h"

#include <QElapsedTimer>

namespace {
// Hands out the noise in the pieces a busy line would deliver per poll.
class NoisyLine : public Transport {
public:
    explicit NoisyLine(qsizetype total, qsizetype piece) : left_(total), piece_(piece) {}
    bool IsOpen() const override { return true; }
    void Write(const QByteArray &) override {}
    QByteArray ReadAvailable() override
    {
        const qsizetype n = qMin(left_, piece_);
        left_ -= n;
        QByteArray out(n, '\0');
        for (qsizetype i = 0; i < n; ++i)
            out[i] = static_cast<char>((i * 7919 + left_) & 0xFF);
        return out;
    }
    qsizetype Left() const { return left_; }

private:
    qsizetype left_;
    qsizetype piece_;
};
} // namespace

class WindowFloodTest : public QObject {
    Q_OBJECT
private slots:
    void megabyteWhileIdle_data()
    {
        QTest::addColumn<qsizetype>("piece");
        QTest::addColumn<bool>("hex");
        QTest::newRow("all in one poll") << qsizetype(1 << 20) << false;
        QTest::newRow("64 KiB per poll, hex shown") << qsizetype(64 << 10) << true;
    }
    void megabyteWhileIdle()
    {
        QFETCH(qsizetype, piece);
        QFETCH(bool, hex);
        WindowFixture w(WorkFolder::kScript);
        TForm1 &window = w.Create();
        window.show();
        DtuSession &session = w.Session();
        session.state.HexDisplayOn = hex;
        NoisyLine line(1 << 20, piece);
        session.channel.SetSerial(&line);

        QElapsedTimer t;
        t.start();
        qint64 longest = 0;
        while (line.Left() > 0) {
            QElapsedTimer one;
            one.start();
            session.poller.Tick();
            QCoreApplication::processEvents(); // layout and paint
            longest = qMax(longest, one.elapsed());
        }
        QCOMPARE(session.state.ReceivedByteCount, 1 << 20);
        qInfo("1 MiB in %lld ms; the longest poll with its repaint took %lld ms", t.elapsed(), longest);
        // How fast it goes is the soak benchmark's business; a hang ends
        // the test at its time limit.
        auto *memo2 = w.Child<QPlainTextEdit>("Memo2");
        QVERIFY(memo2->blockCount() > 1);
        session.channel.SetSerial(nullptr);
    }
};

DTU_TEST_WIDGETS(WindowFloodTest)
#include "tst_window_flood.moc"
