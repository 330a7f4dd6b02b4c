#include "core/CsvText.h"

namespace CsvText {

QString Cell(const QString &text)
{
    static const QString quoteWorthy = QStringLiteral(",\"\n\r");
    bool plain = true;
    for (const QChar ch : text)
        plain = plain && !quoteWorthy.contains(ch);
    if (plain)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace CsvText
