#include "ops/TransparentTest.h"

#include "session/DtuSession.h"
#include "core/Frontend.h"
#include "core/TextFile.h"
#include "protocol/Hex.h"
#include "protocol/ModbusCrc.h"

#include <QCoreApplication>
#include <QTime>

namespace TransparentTest {
namespace {

QByteArray HexPairs(QString text)
{
    text.remove(QLatin1Char(' '));
    return HexToBytes(text);
}

} // namespace

QByteArray MessageBytes(const QString &text, bool hexMode)
{
    // A text box hands its lines over joined by LF; the device gets CR LF.
    QString joined = text;
    joined.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    joined.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return hexMode ? HexPairs(joined) : TextFile::ToGbk(joined);
}

bool HexKeyAccepted(QChar c)
{
    const char16_t u = c.unicode();
    return u == 8 || (u >= '0' && u <= '9') || (u >= 'A' && u <= 'F') || (u >= 'a' && u <= 'f');
}

QString SentLineBody(const QByteArray &bytes, bool hexMode, const QString &repeatText)
{
    QString hexPart;
    if (hexMode)
        hexPart = QLatin1Char('{') + BytesToSpacedHex(bytes) + QLatin1Char('}');
    // A zero byte would cut the memo line short; it shows as 01, as received lines do.
    QByteArray shown = bytes;
    shown.replace('\0', '\x01');
    return QCoreApplication::translate("TransparentTest", " 发送数据：") + hexPart + TextFile::FromGbk(shown)
        + QLatin1Char('[') + repeatText + QCoreApplication::translate("TransparentTest", "次]");
}

bool Send(DtuSession &session, const QString &text, const QString &repeatText, bool hexMode)
{
    if (!session.RequireChannel())
        return false;
    const QByteArray bytes = MessageBytes(text, hexMode);
    if (bytes.isEmpty())
        return false;

    bool ok = false;
    const int repeats = qMax(1, repeatText.trimmed().toInt(&ok));
    QString countText = ok ? repeatText.trimmed() : QStringLiteral("1");
    int sent = 0;
    while (sent < repeats) {
        // Closing the port or the window mid-run ends it: bytes that were not
        // written must not be counted as sent.
        if (session.state.ClosingFlag || !session.channel.ChannelIsOpen())
            break;
        session.poller.SendRaw(bytes); // writes the "下行：" trace at level 1
        ++sent;
        session.state.SentByteCount = AddToByteCount(session.state.SentByteCount, bytes.size());
        // The poller and the window run between repeats, so a long run stays
        // responsive and the counters can be followed.
        session.scheduler.ProcessEvents();
    }
    if (sent != repeats)
        countText = QString::number(sent);

    session.frontend().AppendTransparent(QTime::currentTime().toString(QStringLiteral("hh:mm:ss"))
                                         + SentLineBody(bytes, hexMode, countText));
    return true;
}

QString AppendModbusCrc(const QString &text)
{
    return BytesToHex(WithModbusCrc(HexPairs(text)));
}

} // namespace TransparentTest
