#include "sim/SimValues.h"

#include "core/DtuError.h"
#include "params/ChoiceList.h"
#include "params/ValueCodec.h"
#include "protocol/Hex.h"

namespace SimValues {
namespace {

QString GivenAs(const SimGivenValue &value)
{
    return QLatin1String(value.extended ? "--ext-value " : "--value ") + value.given;
}

QString ProblemText(const ValueCodec::Encoded &encoded)
{
    using Problem = ValueCodec::Encoded::Problem;
    switch (encoded.problem) {
    case Problem::None: return {};
    case Problem::ScriptError: return QStringLiteral("its encoder failed: ") + encoded.detail;
    case Problem::NotANumber: return QStringLiteral("not a number");
    case Problem::DecimalComma: return QStringLiteral("not a number (the decimal point is \".\")");
    case Problem::NotRepresentable: return QStringLiteral("out of the range it can hold");
    case Problem::NothingEncoded: return QStringLiteral("its encoder gave no bytes");
    case Problem::NotWholeBytes: return QStringLiteral("its encoder gave no whole bytes (%1)").arg(encoded.detail);
    case Problem::NotGbk: return QStringLiteral("\"%1\" is no GBK character").arg(encoded.detail);
    }
    return {};
}

// The row's bytes for a shown text; why not in *why.
std::optional<QByteArray> EncodeShown(const SimParam &row, const QString &text, ScriptHost &script, QString *why)
{
    if (ChoiceList::LooksLikeList(row.onList)) {
        try {
            const ChoiceList list = ChoiceList::Parse(row.onList);
            const qsizetype at = list.labels.indexOf(text);
            if (at >= 0 && at < list.values.size())
                return HexToBytes(list.values[at]);
            *why = QStringLiteral("it takes one of: %1").arg(list.labels.join(QStringLiteral(", ")));
            return std::nullopt;
        } catch (const DtuError &) {
            // A list the tool cannot read: the row takes a text, as its edit box would.
        }
    }
    const ValueCodec::Encoded encoded = ValueCodec::Encode(script, row.onSet, text);
    if (!encoded.Ok()) {
        *why = ProblemText(encoded);
        return std::nullopt;
    }
    return HexToBytes(encoded.hex);
}

const SimParam *RowOf(const QList<SimParam> &rows, quint16 number)
{
    for (const SimParam &row : rows)
        if (row.number == number)
            return &row;
    return nullptr;
}

} // namespace

bool Resolve(QList<SimGivenValue> *values, const SimTables &tables, ScriptHost &script, QString *error)
{
    for (SimGivenValue &value : *values) {
        const SimParam *row = RowOf(value.extended ? tables.extended : tables.main, value.number);
        if (!row) {
            *error = value.extended && !tables.hasExtended
                ? QStringLiteral("%1: the profile names no extended file").arg(GivenAs(value))
                : QStringLiteral("%1: the %2 has no parameter %3")
                      .arg(GivenAs(value), QLatin1String(value.extended ? "extended file" : "profile"),
                           WordToHex(value.number));
            return false;
        }
        if (value.bytes)
            continue;
        QString why;
        value.bytes = EncodeShown(*row, value.text, script, &why);
        if (!value.bytes) {
            *error = QStringLiteral("%1: parameter %2 cannot hold \"%3\": %4")
                         .arg(GivenAs(value), WordToHex(value.number), value.text, why);
            return false;
        }
    }
    return true;
}

SimTables Laid(SimTables tables, const QList<SimGivenValue> &values)
{
    for (const SimGivenValue &value : values) {
        if (!value.bytes)
            continue;
        for (SimParam &row : value.extended ? tables.extended : tables.main)
            if (row.number == value.number)
                row.value = *value.bytes;
    }
    return tables;
}

} // namespace SimValues
