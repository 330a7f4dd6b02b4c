#include "fleet/Inventory.h"

#include "core/DtuError.h"
#include "core/PortNames.h"
#include "core/TextFile.h"
#include "core/CsvText.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

namespace Inventory {
namespace {

struct CsvRow {
    int line = 0; // where the row starts, from 1
    QStringList cells;
};

QList<CsvRow> SplitCsv(const QString &text)
{
    QList<CsvRow> rows;
    CsvRow row{1, {}};
    QString cell;
    bool quoted = false;
    bool rowHasText = false;
    int line = 1;
    auto endRow = [&] {
        row.cells << cell;
        if (rowHasText || row.cells.size() > 1 || !row.cells.first().isEmpty())
            rows << row;
        row = CsvRow{line, {}};
        cell.clear();
        rowHasText = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (quoted) {
            if (ch == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    cell += ch;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (ch == QLatin1Char('\n'))
                    ++line;
                cell += ch;
            }
            continue;
        }
        if (ch == QLatin1Char('"')) {
            quoted = true;
            rowHasText = true;
        } else if (ch == QLatin1Char(',')) {
            row.cells << cell;
            cell.clear();
        } else if (ch == QLatin1Char('\n')) {
            ++line;
            endRow();
        } else if (ch != QLatin1Char('\r')) {
            cell += ch;
        }
    }
    if (quoted)
        throw DtuError(QStringLiteral("line %1: a quoted field is not closed").arg(row.line));
    if (!cell.isEmpty() || !row.cells.isEmpty())
        endRow();
    return rows;
}

[[noreturn]] void Fail(int line, const QString &text)
{
    throw DtuError(QStringLiteral("line %1: %2").arg(line).arg(text));
}

enum class Column { Target, Password, Name, Value };

} // namespace

Table Parse(const QByteArray &bytes)
{
    const QString text = TextFile::Decode(bytes).text;
    const QList<CsvRow> rows = SplitCsv(text);
    if (rows.isEmpty())
        throw DtuError(QStringLiteral("the inventory is empty"));

    static const QRegularExpression number(QStringLiteral("^[0-9A-Fa-f]{4}$"));
    static const QRegularExpression hexPairs(QStringLiteral("^([0-9A-Fa-f]{2})*$"));
    Table table;
    QList<Column> columns;
    QList<QString> columnNumber;
    QStringList seenColumns; // as written first, compared without case
    bool hasTarget = false;
    for (QString header : rows.first().cells) {
        header = header.trimmed();
        // A second column of one name would leave it unclear which cell counts.
        if (seenColumns.contains(header, Qt::CaseInsensitive))
            Fail(rows.first().line, QStringLiteral("the column \"%1\" appears twice").arg(header));
        seenColumns << header;
        if (header.compare(QLatin1String("target"), Qt::CaseInsensitive) == 0) {
            columns << Column::Target;
            hasTarget = true;
        } else if (header.compare(QLatin1String("password"), Qt::CaseInsensitive) == 0) {
            columns << Column::Password;
        } else if (header.compare(QLatin1String("name"), Qt::CaseInsensitive) == 0) {
            columns << Column::Name;
        } else if (number.match(header).hasMatch()) {
            columns << Column::Value;
            table.valueColumns << header.toUpper();
            table.valueColumnAt << static_cast<int>(columns.size());
        } else {
            Fail(rows.first().line,
                 QStringLiteral("unknown column \"%1\" (target, password, name or a parameter number)").arg(header));
        }
        columnNumber << (columns.last() == Column::Value ? header.toUpper() : QString());
    }
    if (!hasTarget)
        Fail(rows.first().line, QStringLiteral("no \"target\" column"));

    QSet<QString> targets;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const CsvRow &row = rows[r];
        if (row.cells.size() > columns.size())
            Fail(row.line, QStringLiteral("%1 cells, the header has %2").arg(row.cells.size()).arg(columns.size()));
        FleetDevice device;
        device.line = row.line;
        bool targetSeen = false;
        for (qsizetype c = 0; c < row.cells.size(); ++c) {
            const QString cell = row.cells[c];
            switch (columns[c]) {
            case Column::Target: {
                QString error;
                if (!FleetTarget::Parse(cell, &device.target, &error))
                    Fail(row.line, error);
                targetSeen = true;
                break;
            }
            case Column::Password:
                device.password = cell.trimmed();
                break;
            case Column::Name:
                device.name = cell.trimmed();
                break;
            case Column::Value: {
                const QString value = cell.trimmed();
                if (value.isEmpty())
                    break;
                if (value.startsWith(QLatin1String("HEX:"), Qt::CaseInsensitive)
                    && !hexPairs.match(value.mid(4)).hasMatch())
                    Fail(row.line, QStringLiteral("%1: HEX: needs hex digits in pairs").arg(columnNumber[c]));
                device.values.append({columnNumber[c], value});
                break;
            }
            }
        }
        if (!targetSeen)
            Fail(row.line, QStringLiteral("empty target"));
        // Two spellings of one port (ttyUSB0, /dev/ttyUSB0; COM1, /dev/ttyS0)
        // are one device.
        const QString key = device.target.tcp
            ? QStringLiteral("tcp:%1:%2").arg(device.target.host.toLower()).arg(device.target.port)
            : PortNames::DevicePath(device.target.text);
        if (targets.contains(key))
            Fail(row.line, QStringLiteral("%1 is listed twice").arg(device.target.text));
        targets.insert(key);
        table.devices << device;
    }
    return table;
}

Table Read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DtuError(QStringLiteral("%1: %2").arg(path, file.errorString()));
    try {
        return Parse(file.readAll());
    } catch (const DtuError &e) {
        throw DtuError(QStringLiteral("%1: %2").arg(path, e.text()));
    }
}

QByteArray Render(const Table &table)
{
    QStringList header{QStringLiteral("target"), QStringLiteral("name"), QStringLiteral("password")};
    header += table.valueColumns;
    QString text = header.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (const FleetDevice &device : table.devices) {
        QStringList cells{CsvText::Cell(device.target.text), CsvText::Cell(device.name), CsvText::Cell(device.password)};
        for (const QString &column : table.valueColumns) {
            QString value;
            for (const auto &pair : device.values)
                if (pair.first == column)
                    value = pair.second;
            cells << CsvText::Cell(value);
        }
        text += cells.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

} // namespace Inventory
