#include "core/CsvText.h"

#include <QRegularExpression>

#include <algorithm>

namespace CsvText {
namespace {

bool LooksLikeFormula(const QString &text)
{
    static const QRegularExpression plainNumber(QStringLiteral("^[+-](\\d+\\.?\\d*|\\.\\d+)$"));
    if (text.isEmpty())
        return false;
    switch (text.front().unicode()) {
    case '=':
    case '@':
    case '\t':
    case '\r': return true;
    case '+':
    case '-': return !plainNumber.match(text).hasMatch();
    default: return false;
    }
}

} // namespace

QString Cell(const QString &text)
{
    return Quoted(LooksLikeFormula(text) ? QLatin1Char('\'') + text : text);
}

QString Quoted(const QString &text)
{
    static const QString quoteWorthy = QStringLiteral(",\"\n\r");
    if (std::none_of(text.begin(), text.end(), [](QChar ch) { return quoteWorthy.contains(ch); }))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace CsvText
