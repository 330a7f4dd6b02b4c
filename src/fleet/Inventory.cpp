#include "fleet/Inventory.h"

#include "core/PortNames.h"
#include "core/TextFile.h"
#include "core/CsvText.h"
#include "core/WriteRules.h"

#include <QFile>
#include <QRegularExpression>
#include <QHash>

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
        throw ParseError({Problem::Kind::QuoteNotClosed, {}, row.line, static_cast<int>(row.cells.size()) + 1, cell.left(40)});
    if (!cell.isEmpty() || !row.cells.isEmpty())
        endRow();
    return rows;
}

[[noreturn]] void Fail(Problem::Kind kind, int line, qsizetype column, const QString &text = {}, qsizetype count = 0,
                       int expected = 0)
{
    throw ParseError({kind, {}, line, static_cast<int>(column), text, {}, static_cast<int>(count), expected});
}

enum class Column { Target, Password, Name, Value };

} // namespace

Table Parse(const QByteArray &bytes)
{
    const QString text = TextFile::Decode(bytes).text;
    const QList<CsvRow> rows = SplitCsv(text);
    if (rows.isEmpty())
        throw ParseError({Problem::Kind::Empty});

    static const QRegularExpression hexPairs(QStringLiteral("^([0-9A-Fa-f]{2})*$"));
    // Named columns, compared without case.
    static const QHash<QString, Column> named{{QStringLiteral("target"), Column::Target},
                                              {QStringLiteral("password"), Column::Password},
                                              {QStringLiteral("name"), Column::Name}};
    Table table;
    QList<Column> columns;
    QStringList seenColumns; // as written first, compared without case
    for (QString header : rows.first().cells) {
        header = header.trimmed();
        const qsizetype at = columns.size() + 1;
        // A second column of one name would leave it unclear which cell counts.
        if (seenColumns.contains(header, Qt::CaseInsensitive))
            Fail(Problem::Kind::ColumnTwice, rows.first().line, at, header);
        seenColumns << header;
        if (const auto it = named.constFind(header.toCaseFolded()); it != named.cend()) {
            columns << *it;
        } else if (WriteRules::IsParamNumber(header)) {
            columns << Column::Value;
            table.valueColumns << header.toUpper();
            table.valueColumnAt << static_cast<int>(columns.size());
        } else {
            Fail(Problem::Kind::UnknownColumn, rows.first().line, at, header);
        }
    }
    if (!columns.contains(Column::Target))
        Fail(Problem::Kind::NoTargetColumn, rows.first().line, 0);

    QHash<QString, int> targets; // the line that lists each
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const CsvRow &row = rows[r];
        if (row.cells.size() > columns.size())
            Fail(Problem::Kind::TooManyCells, row.line, columns.size() + 1, row.cells[columns.size()].trimmed(),
                 row.cells.size(), static_cast<int>(columns.size()));
        FleetDevice device;
        device.line = row.line;
        qsizetype targetColumn = 0; // from 1; 0: the row has no target cell
        for (qsizetype c = 0; c < row.cells.size(); ++c) {
            const QString cell = row.cells[c];
            switch (columns[c]) {
            case Column::Target: {
                Endpoint::Fault fault = Endpoint::Fault::None;
                const std::optional<Endpoint> target = Endpoint::Parse(cell, &fault);
                if (target)
                    device.target = *target;
                else
                    Fail(fault == Endpoint::Fault::BadTcpPort ? Problem::Kind::BadTcpPort
                         : fault == Endpoint::Fault::NoHost   ? Problem::Kind::NoHost
                                                                 : Problem::Kind::EmptyTarget,
                         row.line, c + 1, cell.trimmed());
                targetColumn = c + 1;
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
                    Fail(Problem::Kind::HexNotPairs, row.line, c + 1, value);
                device.values.append({rows.first().cells[c].trimmed().toUpper(), value}); // the column's number
                break;
            }
            }
        }
        if (targetColumn == 0)
            Fail(Problem::Kind::EmptyTarget, row.line, columns.indexOf(Column::Target) + 1);
        // Two spellings of one port (ttyUSB0, /dev/ttyUSB0; COM1, /dev/ttyS0)
        // are one device.
        const QString key = device.target.tcp ? Endpoint::Tcp(device.target.host.toLower(), device.target.tcpPort).Text()
                                              : PortNames::DevicePath(device.target.port);
        if (targets.contains(key))
            Fail(Problem::Kind::ListedTwice, row.line, targetColumn, device.target.Text(), 0, targets.value(key));
        targets.insert(key, row.line);
        table.devices << device;
    }
    return table;
}

Table Read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ParseError({Problem::Kind::Unreadable, path, 0, 0, {}, file.errorString()});
    try {
        return Parse(file.readAll());
    } catch (ParseError &e) {
        e.problem.file = path;
        throw;
    }
}

QByteArray Render(const Table &table)
{
    QStringList header{QStringLiteral("target"), QStringLiteral("name"), QStringLiteral("password")};
    header += table.valueColumns;
    QString text = header.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (const FleetDevice &device : table.devices) {
        QStringList cells{CsvText::Quoted(device.target.Text()), CsvText::Quoted(device.name), CsvText::Quoted(device.password)};
        for (const QString &column : table.valueColumns) {
            QString value;
            for (const auto &pair : device.values)
                if (pair.first == column)
                    value = pair.second;
            cells << CsvText::Quoted(value);
        }
        text += cells.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

} // namespace Inventory
