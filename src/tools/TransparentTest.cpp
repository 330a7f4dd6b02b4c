// Placeholder; being built.
#include "tools/TransparentTest.h"
namespace TransparentTest {
QByteArray MessageBytes(const QString &, bool) { return {}; }
bool HexKeyAccepted(QChar) { return true; }
bool Send(DtuSession &, const QString &, const QString &, bool) { return false; }
QString AppendModbusCrc(const QString &text) { return text; }
} // namespace TransparentTest
