#include "sim/SimUnitOptions.h"

#include "core/TextFile.h"
#include "protocol/Hex.h"

#include <QRegularExpression>
#include <algorithm>

bool SimOptionReader::ToInt(const QString &text, int min, int max, int *out)
{
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!ok || v < min || v > max)
        return false;
    *out = v;
    return true;
}

bool SimOptionReader::Fail(const QString &reason) const
{
    *error_ = reason;
    return false;
}

bool SimOptionReader::Pair(const char *name, int firstMin, int firstMax, int secondMax, const char *example,
                           int *first, int *second) const
{
    if (!IsSet(name))
        return true;
    const QStringList parts = Value(name).split(QLatin1Char(':'));
    int a = 0, b = 0;
    if (parts.size() != 2 || !ToInt(parts[0], firstMin, firstMax, &a) || !ToInt(parts[1], 0, secondMax, &b))
        return Fail(QStringLiteral("--%1 needs N:MS, such as %2, not \"%3\"")
                        .arg(QLatin1String(name), QLatin1String(example), Value(name)));
    *first = a;
    *second = b;
    return true;
}

bool SimOptionReader::Hex(const char *name, QByteArray *into) const
{
    if (!IsSet(name))
        return true;
    const QString text = Value(name).remove(QLatin1Char(' '));
    if (!IsHexBytes(text))
        return Fail(QStringLiteral("--%1 needs hex digits in pairs, not \"%2\"").arg(QLatin1String(name), Value(name)));
    *into = HexToBytes(text);
    return true;
}

namespace SimUnitOptions {
namespace {

constexpr int kMaxSignalSteps = 10000;

bool ApplyReadings(const SimOptionReader &r, SimState *state)
{
    if (r.IsSet("signal") && r.IsSet("signal-steps"))
        return r.Fail(QStringLiteral("give --signal or --signal-steps, not both"));
    if (r.IsSet("signal-period") && r.IsSet("signal-per-request"))
        return r.Fail(QStringLiteral("give --signal-period or --signal-per-request, not both"));
    state->signalPerRequest = state->signalPerRequest || r.IsSet("signal-per-request");
    if (!r.Number("status", 0, 255, &state->status) || !r.Number("signal", 0, 255, &state->signal)
        || !r.Number("signal-period", 1, 24 * 3600 * 1000, &state->signalPeriodMs))
        return false;
    if (r.IsSet("signal"))
        state->signalSteps.clear();
    if (r.IsSet("signal-steps")) {
        QList<quint8> steps;
        const QStringList texts = r.Value("signal-steps").split(QLatin1Char(','));
        for (const QString &text : texts) {
            int v = 0;
            if (texts.size() > kMaxSignalSteps || !SimOptionReader::ToInt(text.trimmed(), 0, 255, &v))
                return r.Fail(QStringLiteral("--signal-steps needs up to %1 signal strengths from 0 to 255 "
                                             "separated by commas, such as 10,14,99,22, not \"%2\"")
                                  .arg(kMaxSignalSteps).arg(r.Value("signal-steps")));
            steps.append(static_cast<quint8>(v));
        }
        state->signalSteps = steps;
    }
    if (r.IsSet("version"))
        state->version = TextFile::ToGbk(r.Value("version"));
    if (r.IsSet("imei"))
        state->imei = TextFile::ToGbk(r.Value("imei"));
    return true;
}

bool ApplyFaults(const SimOptionReader &r, SimMisbehaviour *m)
{
    m->silent = m->silent || r.IsSet("silent");
    m->refuse = m->refuse || r.IsSet("refuse");
    m->badChecksum = m->badChecksum || r.IsSet("bad-checksum");
    m->notFrame = m->notFrame || r.IsSet("not-frame");
    if (!r.Number("delay", 0, 600000, &m->delayMs) || !r.Number("trickle", 0, 60000, &m->trickleMs)
        || !r.Pair("pieces", 1, 65535, 60000, "3:100", &m->pieces, &m->pieceGapMs)
        || !r.Number("long-length", 0, 65535, &m->lengthExcess)
        || !r.Pair("flood", 1, 64 << 20, 600000, "1048576:600", &m->floodBytes, &m->floodAfterMs)
        || !r.Hex("stray-before", &m->strayBefore) || !r.Hex("stray-after", &m->strayAfter))
        return false;
    if (!r.IsSet("only"))
        return true;
    static const QRegularExpression word(QStringLiteral("^[0-9A-Fa-f]{4}$"));
    QList<quint16> words;
    for (const QString &text : r.Values("only")) {
        if (!word.match(text).hasMatch())
            return r.Fail(QStringLiteral("--only needs a command word of four hex digits, not \"%1\"").arg(text));
        words.append(static_cast<quint16>(HexToInt(text)));
    }
    m->onlyWords = words;
    return true;
}

// NUM=TEXT: four hex digits, then HEX: and hex digits in pairs, or any
// text (made bytes once the profile's row is known).
bool ApplyValues(const SimOptionReader &r, const char *option, bool extended, QList<SimGivenValue> *values)
{
    static const QRegularExpression given(QStringLiteral("^([0-9A-Fa-f]{4})=(.*)$"),
                                          QRegularExpression::DotMatchesEverythingOption);
    for (const QString &text : r.Values(option)) {
        const QRegularExpressionMatch m = given.match(text);
        if (!m.hasMatch())
            return r.Fail(QStringLiteral("--%1 needs NUM=TEXT with a parameter number of four hex digits, such as "
                                         "0031=9000, not \"%2\"")
                              .arg(QLatin1String(option), text));
        SimGivenValue value{extended, static_cast<quint16>(HexToInt(m.captured(1))), text, m.captured(2), {}};
        if (value.text.startsWith(QLatin1String("HEX:"), Qt::CaseInsensitive)) {
            if (!IsHexBytes(QStringView(value.text).mid(4)))
                return r.Fail(QStringLiteral("--%1 %2: the bytes after HEX: need hex digits in pairs")
                                  .arg(QLatin1String(option), text));
            value.bytes = HexToBytes(value.text.mid(4));
        }
        const auto same = std::find_if(values->begin(), values->end(), [&](const SimGivenValue &v) {
            return v.extended == extended && v.number == value.number;
        });
        if (same != values->end())
            *same = value;
        else
            values->append(value);
    }
    return true;
}

} // namespace

bool Apply(const SimOptionReader &reader, SimUnitSettings *unit)
{
    if (reader.IsSet("password"))
        unit->password = reader.Value("password").toUtf8();
    return ApplyReadings(reader, &unit->state) && ApplyFaults(reader, &unit->misbehaviour)
        && ApplyValues(reader, "value", false, &unit->values) && ApplyValues(reader, "ext-value", true, &unit->values);
}

} // namespace SimUnitOptions
