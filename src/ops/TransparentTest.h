#pragma once
#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

class DtuSession;

// The transparent transmission test page: sending typed text or hex bytes,
// repeated, and the Modbus CRC appender.
namespace TransparentTest {
inline const QStringList kRepeatItems = {QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("50"),
                                         QStringLiteral("100"), QStringLiteral("1000"), QStringLiteral("10000")};
inline QString HexModeCaption() { return QCoreApplication::translate("TransparentTest", "文字输入窗口[HEX模式]"); }
inline QString TextModeCaption() { return QCoreApplication::translate("TransparentTest", "文字输入窗口(文本模式)"); }

// The bytes a message text stands for: GBK text with its lines joined by
// CR LF, or in hex mode the pairs of digits left after removing spaces (a
// last single digit ignored).
QByteArray MessageBytes(const QString &text, bool hexMode);
// Whether a typed character is accepted by the input while hex mode is on.
bool HexKeyAccepted(QChar c);
// Button8: returns true when the input should be cleared (something was
// sent). Shows the closed-channel message when no channel is open. One
// device action (front ends start it through RunAction: raw bytes sent
// during an exchange would spoil its reply); a send stops early when the
// channel closes or the window is closing, and counts only what was written.
bool Send(DtuSession &session, const QString &text, const QString &repeatText, bool hexMode);
// CheckBox8: the input with a CRC-16/MODBUS appended, as unspaced hex.
QString AppendModbusCrc(const QString &text);
// The Memo2 line of a send, without its time stamp: " 发送数据：" ... "[n次]".
QString SentLineBody(const QByteArray &bytes, bool hexMode, const QString &repeatText);
} // namespace TransparentTest
