#include "cli/CliText.h"

#include "params/ParamTableModel.h"

namespace CliText {

QString Escaped(const QString &value)
{
    QString text;
    text.reserve(value.size());
    for (const QChar c : value) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            text += QStringLiteral("\\x") + QString::number(c.unicode(), 16).toUpper().rightJustified(2, QLatin1Char('0'));
        else
            text += c;
    }
    return text;
}

QString Line(const QStringList &cells)
{
    QStringList escaped;
    for (const QString &cell : cells)
        escaped << Escaped(cell);
    return escaped.join(QLatin1Char('\t')) + QLatin1Char('\n');
}

void Write(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

QString Differences(const QList<TableCompare::Difference> &differences)
{
    QString text;
    for (const TableCompare::Difference &d : differences)
        text += Line({d.number, d.name, d.expected,
                      d.actual == TableCompare::kNotReported ? ParamTableModel::NotReportedText() : d.actual});
    return text;
}

} // namespace CliText
