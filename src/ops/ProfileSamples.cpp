#include "ops/ProfileSamples.h"

#include "core/DtuError.h"
#include "params/ParamTableModel.h"
#include "params/ValueCodec.h"
#include "session/DtuSession.h"

#include <algorithm>

namespace ProfileSamples {
namespace {

// Text of `count` characters taken in turn from `from`.
QString Cycled(const QString &from, int count)
{
    QString out;
    for (int i = 0; i < count; ++i)
        out += from[i % from.size()];
    return out;
}

} // namespace

bool DigitsOnly(const EditorPlan &plan)
{
    return !plan.charFilter.isEmpty()
        && std::all_of(plan.charFilter.begin(), plan.charFilter.end(), [](QChar c) { return c.isDigit(); });
}

QStringList For(const EditorPlan &plan, const QString &onGet, const QString &onSet)
{
    if (ValueCodec::IsGetFloat(onGet) || ValueCodec::IsSetFloat(onSet))
        return {QStringLiteral("0"), QStringLiteral("-1.5"), QStringLiteral("10"), QStringLiteral("1e6")};
    const int length = plan.maxLength;
    if (DigitsOnly(plan)) {
        QStringList numbers;
        for (const char *n : {"0", "1", "255", "256", "65535", "65536", "4294967296"})
            numbers << QLatin1String(n);
        if (length > 0)
            numbers << QString(length, QLatin1Char('9')); // the largest the field lets one type
        numbers.removeIf([length](const QString &n) { return length > 0 && n.size() > length; });
        numbers.removeDuplicates();
        // Smallest first: the first number a field cannot hold is the one named.
        std::sort(numbers.begin(), numbers.end(), [](const QString &a, const QString &b) {
            return a.size() != b.size() ? a.size() < b.size() : a < b;
        });
        return numbers;
    }
    const int count = length > 0 ? length : 16;
    const QString ascii = Cycled(
        plan.charFilter.isEmpty() ? QStringLiteral("abcdefghijklmnopqrstuvwxyz0123456789") : plan.charFilter, count + 1);
    QStringList texts{QString(), ascii.left(count), Cycled(QStringLiteral("中文参数"), count)};
    if (length > 0)
        texts << ascii;
    return texts;
}

std::optional<Fault> Try(DtuSession &session, const ParamTableModel &table, const QStringList &samples,
                         bool digitsOnly)
{
    using ProfileCheck::Kind;
    ScriptHost &script = session.script;
    const QString onGet = table.Cell(0, ColOnGet);
    const int timeouts = script.TimedOutCount();
    // The typed-value check swallows a script's error as a refusal; the
    // watchdog's count still tells a snippet that never ended.
    const auto stopped = [&](bool inDecoder) -> std::optional<Fault> {
        if (script.TimedOutCount() == timeouts)
            return std::nullopt;
        return Fault{Kind::SnippetTimeout,
                     {inDecoder ? QStringLiteral("ONGET") : QStringLiteral("ONSET"),
                      QString::number(script.TimeLimitMs())},
                     inDecoder};
    };
    for (const QString &sample : samples) {
        QString hex;
        const bool held = EditorLogic::CheckText(session, table, 0, sample, &hex).Applied();
        if (auto timeout = stopped(false))
            return timeout;
        if (!held)
            continue;
        QString shown;
        try {
            shown = ValueCodec::Decode(script, onGet, hex);
        } catch (const DtuError &error) {
            if (auto timeout = stopped(true))
                return timeout;
            return Fault{Kind::SampleUndecodable, {sample, Spaced(hex), error.text()}, true};
        }
        if (digitsOnly && ValueCodec::IsPlainNumber(shown) && shown.toDouble() != sample.toDouble())
            return Fault{Kind::Wrapped, {sample, Spaced(hex), shown}};
        // A shown text that cannot be typed back (1分0秒) is no fault.
        QString again;
        const bool heldAgain = EditorLogic::CheckText(session, table, 0, shown, &again).Applied();
        if (auto timeout = stopped(false))
            return timeout;
        if (heldAgain && again.compare(hex, Qt::CaseInsensitive) != 0)
            return Fault{Kind::NoRoundTrip, {sample, Spaced(hex), shown, Spaced(again)}};
    }
    return std::nullopt;
}

QString Spaced(const QString &hex)
{
    QStringList pairs;
    for (qsizetype i = 0; i < hex.size(); i += 2)
        pairs << hex.mid(i, 2).toUpper();
    return pairs.join(QLatin1Char(' '));
}

} // namespace ProfileSamples
