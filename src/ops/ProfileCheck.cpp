#include "ops/ProfileCheck.h"

#include "core/DtuError.h"
#include "core/SilentFrontend.h"
#include "core/TextFile.h"
#include "core/WriteRules.h"
#include "ops/EditorLogic.h"
#include "params/ChoiceList.h"
#include "params/ValueCodec.h"
#include "profile/DeviceProfile.h"
#include "protocol/Hex.h"
#include "script/ScriptError.h"
#include "session/DtuSession.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

namespace ProfileCheck {
namespace {

// The command words the operations ask the script for (ParamReader,
// DeviceCommands).
const char *const kCommandNames[] = {"CMD_GETPARAM", "CMD_REPLYCONFIG", "CMD_SETDEFAULT",
                                     "CMD_RESET",    "CMD_GETSTATUS",   "CMD_GETDTUVER"};

// In capitals: a read writes its hex so, and a choice shows only when its
// code equals that text.
bool IsHexBytes(const QString &text)
{
    static const QRegularExpression bytes(QStringLiteral("^([0-9A-F]{2})+$"));
    return bytes.match(text).hasMatch();
}
// Length=N; and Mask="..."; in any order, the last semicolon optional.
bool IsLimits(const QString &text)
{
    static const QString stmt = QStringLiteral("(Length\\s*=\\s*\\d+|Mask\\s*=\\s*\"([^\"\\\\]|\\\\.)*\")");
    static const QRegularExpression limits(QStringLiteral("^\\s*%1(\\s*;\\s*%1)*\\s*;?\\s*$").arg(stmt));
    return limits.match(text).hasMatch();
}

// The sample values a row is tried with, and the round trip each one must
// survive. "0000" is spaced as "00 00".
QString Spaced(const QString &hex)
{
    return BytesToSpacedHex(HexToBytes(hex)).trimmed();
}

// Text of `count` characters taken in turn from `from`.
QString Cycled(const QString &from, int count)
{
    QString out;
    for (int i = 0; i < count; ++i)
        out += from[i % from.size()];
    return out;
}

// A Mask of digits alone: the row holds a number.
bool DigitsOnly(const EditorPlan &plan)
{
    return !plan.charFilter.isEmpty()
        && std::all_of(plan.charFilter.begin(), plan.charFilter.end(), [](QChar c) { return c.isDigit(); });
}

// By the row's kind: floats for GetFloat/SetFloat, numbers up to what Length
// digits allow for a digits-only Mask, else texts around Length. (Choice
// lists are tried with their own codes.)
QStringList SamplesFor(const EditorPlan &plan, const QString &onGet, const QString &onSet)
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

struct SampleFault {
    Kind kind;
    QStringList data;
    bool inDecoder = false; // ONGET's fault, else ONSET's
};

// Tries the row's samples on row 0 of table, which has no value of its own:
// a sample the row refuses is skipped (refusing is right); the first fault
// ends the trial, as does the watchdog stopping a snippet.
std::optional<SampleFault> TrySamples(DtuSession &session, const ParamTableModel &table, const EditorPlan &plan)
{
    ScriptHost &script = session.script;
    const QString onGet = table.Cell(0, ColOnGet);
    const bool digitsOnly = DigitsOnly(plan);
    const int timeouts = script.TimedOutCount();
    // The typed-value check swallows a script's error as a refusal; the
    // watchdog's count still tells a snippet that never ended.
    const auto stopped = [&](bool inDecoder) -> std::optional<SampleFault> {
        if (script.TimedOutCount() == timeouts)
            return std::nullopt;
        return SampleFault{Kind::SnippetTimeout,
                           {inDecoder ? QStringLiteral("ONGET") : QStringLiteral("ONSET"),
                            QString::number(script.TimeLimitMs())},
                           inDecoder};
    };
    for (const QString &sample : SamplesFor(plan, onGet, table.Cell(0, ColOnSet))) {
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
            return SampleFault{Kind::SampleUndecodable, {sample, Spaced(hex), error.text()}, true};
        }
        if (digitsOnly && ValueCodec::IsPlainNumber(shown) && shown.toDouble() != sample.toDouble())
            return SampleFault{Kind::Wrapped, {sample, Spaced(hex), shown}};
        // A shown text that cannot be typed back (1分0秒) is no fault.
        QString again;
        const bool heldAgain = EditorLogic::CheckText(session, table, 0, shown, &again).Applied();
        if (auto timeout = stopped(false))
            return timeout;
        if (heldAgain && again.compare(hex, Qt::CaseInsensitive) != 0)
            return SampleFault{Kind::NoRoundTrip, {sample, Spaced(hex), shown, Spaced(again)}};
    }
    return std::nullopt;
}

// One file's text, and where its lines begin.
struct Source {
    QString path;
    QString text;
    std::vector<qsizetype> lineStarts{0};
    JsonValue root;
};

struct Row {
    const Source *source;
    Table table;
    int index;
    const JsonValue *element;
    ProfileParam param;
    bool choice = false;
    bool listOk = true;
};

class Checker {
public:
    explicit Checker(Report &report) : report_(report) {}

    // Reads and parses a file; false when there is nothing to check in it.
    bool Read(const QString &path, Source &source)
    {
        source.path = path;
        try {
            source.text = TextFile::Read(path).text;
        } catch (const DtuError &error) {
            Add(Finding{Kind::FileUnreadable, Severity::Fault, path}, {error.text()});
            return false;
        }
        for (qsizetype i = 0; i < source.text.size(); ++i)
            if (source.text[i] == QLatin1Char('\n'))
                source.lineStarts.push_back(i + 1);
        // The decoder puts U+FFFD where bytes make no character.
        if (const qsizetype bad = source.text.indexOf(QChar(QChar::ReplacementCharacter)); bad >= 0)
            Add(At(source, bad, Kind::NotText), {});
        QString error;
        qsizetype failedAt = 0;
        if (!JsonValue::Parse(source.text, &source.root, &error, &failedAt)) {
            Add(At(source, failedAt, Kind::BadJson), {error});
            return false;
        }
        if (!source.root.IsObject()) {
            Add(At(source, 0, Kind::NotAnObject), {});
            return false;
        }
        return true;
    }

    // Every row of a file's Params: its members, number, value and list.
    void Structure(const Source &source, Table table)
    {
        const JsonValue *params = source.root.Find(ProfileKeys::Params);
        if (!params || !params->IsArray()) {
            Add(params ? At(source, params->Offset(), Kind::NotAList, Severity::Warning)
                       : At(source, 0, Kind::MissingMember, Severity::Warning),
                {ProfileKeys::Params});
            return;
        }
        QHash<QString, int> numbers; // number -> line of its first row
        int index = 0;
        for (const JsonValue &element : params->Items()) {
            Row row{&source, table, index++, &element, {}};
            if (!ProfileParam::FromJson(element, &row.param)) {
                Add(RowAt(row, QString(), Kind::NotAnObject), {});
                return; // the loader stops here too
            }
            const ProfileParam &p = row.param;
            if (!element.Find(ProfileKeys::CMDID))
                Add(RowAt(row, QString(), Kind::MissingMember, Severity::Warning), {ProfileKeys::CMDID});
            if (p.CMDID.isEmpty())
                continue; // a heading
            ++report_.rows;
            for (const QString &member : {ProfileKeys::PNAME, ProfileKeys::PVALUE, ProfileKeys::ONLIST,
                                          ProfileKeys::ONGET, ProfileKeys::ONSET, ProfileKeys::PNOTE})
                if (!element.Find(member))
                    Add(RowAt(row, QString(), Kind::MissingMember, Severity::Warning), {member});
            if (!WriteRules::IsParamNumber(p.CMDID)) {
                Add(RowAt(row, ProfileKeys::CMDID, Kind::BadNumber), {p.CMDID});
            } else {
                const int line = RowAt(row, ProfileKeys::CMDID, Kind::BadNumber).line;
                if (const auto first = numbers.constFind(p.CMDID.toUpper()); first != numbers.cend())
                    Add(RowAt(row, ProfileKeys::CMDID, Kind::RepeatedNumber), {p.CMDID, QString::number(*first)});
                else
                    numbers.insert(p.CMDID.toUpper(), line);
            }
            ParamRow cells;
            cells.cells[ColHex] = p.PVALUE;
            if (!p.PVALUE.isEmpty() && !cells.HexIsWholeBytes())
                Add(RowAt(row, ProfileKeys::PVALUE, Kind::BadValue), {p.PVALUE});
            CheckList(row);
            rows_.push_back(row);
        }
    }

    // The script and everything that runs it.
    void Snippets(const QString &scriptPath)
    {
        session_ = std::make_unique<DtuSession>(silent_);
        DtuSession &session = *session_;
        session.state.AccessLevel = WriteRules::kUnlockLevel; // every row may be tried
        QString error;
        ScriptFault fault;
        if (!session.script.LoadFile(scriptPath, &error, &fault)) {
            Add(Finding{Kind::FileUnreadable, Severity::Fault, scriptPath}, {error});
            return;
        }
        if (!fault.IsEmpty()) {
            Add(Finding{Kind::ScriptLoad, Severity::Fault, scriptPath, fault.line, fault.column}, {fault.message});
            if (fault.syntax)
                return; // nothing in it was defined
        }
        for (const char *name : kCommandNames) {
            QString word;
            try {
                word = session.script.Eval(QStringLiteral("GetCmd(\"%1\");").arg(QLatin1String(name)));
            } catch (const DtuError &e) {
                word = e.text();
            }
            // A command word is written as a parameter number is: four hex digits.
            if (!WriteRules::IsParamNumber(word) || word == QLatin1String("0000"))
                Add(Finding{Kind::BadCommandWord, Severity::Fault, scriptPath}, {QLatin1String(name), word});
        }
        ParamTableModel table(session.state, ParamTableModel::Kind::Main);
        for (const Row &row : rows_)
            if (row.listOk)
                Values(session, table, row);
        session_.reset();
    }

private:
    Finding At(const Source &source, qsizetype offset, Kind kind, Severity severity = Severity::Fault) const
    {
        Finding f{kind, severity, source.path};
        const auto after = std::upper_bound(source.lineStarts.begin(), source.lineStarts.end(), qMax<qsizetype>(0, offset));
        f.line = static_cast<int>(after - source.lineStarts.begin());
        f.column = static_cast<int>(qMax<qsizetype>(0, offset) - *(after - 1)) + 1;
        return f;
    }
    // A row's finding, placed on the member it is about (else the row).
    Finding RowAt(const Row &row, const QString &member, Kind kind, Severity severity = Severity::Fault) const
    {
        const JsonValue *value = member.isEmpty() ? nullptr : row.element->Find(member);
        Finding f = At(*row.source, (value ? value : row.element)->Offset(), kind, severity);
        f.table = row.table;
        f.index = row.index;
        f.number = row.param.CMDID;
        f.name = row.param.PNAME;
        return f;
    }
    void Add(Finding f, const QStringList &data)
    {
        f.data = data;
        report_.findings.push_back(f);
    }

    void CheckList(Row &row)
    {
        const QString &list = row.param.ONLIST;
        // The loader takes any ONLIST of the extended table, and one with a
        // bracket in the main table, for a choice list.
        row.choice = row.table == Table::Extended ? !list.isEmpty() : list.contains(QLatin1Char('['));
        if (!row.choice) {
            row.listOk = list.isEmpty() || IsLimits(list);
            if (!row.listOk)
                Add(RowAt(row, ProfileKeys::ONLIST, Kind::BadList), {list, QString()});
            return;
        }
        ChoiceList choices;
        try {
            choices = ChoiceList::Parse(list);
        } catch (const DtuError &error) {
            row.listOk = false;
            Add(RowAt(row, ProfileKeys::ONLIST, Kind::BadList), {list, error.text()});
            return;
        }
        QHash<QString, QString> labelOfCode;
        for (int i = 0; i < choices.labels.size(); ++i) {
            const QString code = choices.values.value(i);
            if (!IsHexBytes(code)) {
                row.listOk = false;
                Add(RowAt(row, ProfileKeys::ONLIST, Kind::BadChoiceCode), {choices.labels[i], code});
            } else if (labelOfCode.contains(code)) {
                Add(RowAt(row, ProfileKeys::ONLIST, Kind::RepeatedCode), {labelOfCode.value(code), choices.labels[i], code});
            } else {
                labelOfCode.insert(code, choices.labels[i]);
            }
        }
    }

    // True the first time the watchdog stops a snippet: it is said once.
    bool Stop(const QString &snippet)
    {
        const qsizetype before = stopped_.size();
        stopped_.insert(snippet);
        return stopped_.size() > before;
    }

    // One evaluation of a row's snippet; false (its finding made) when it
    // failed. A snippet the watchdog stopped is said once and not run again.
    bool Ran(const Row &row, const QString &member, const std::function<void()> &eval, Kind otherwise,
             QStringList data)
    {
        const QString &snippet = member == ProfileKeys::ONGET ? row.param.ONGET : row.param.ONSET;
        if (stopped_.contains(snippet))
            return false;
        try {
            eval();
            return true;
        } catch (const ScriptError &error) {
            if (error.cause() == ScriptError::Cause::TimedOut) {
                Stop(snippet);
                Add(RowAt(row, member, Kind::SnippetTimeout),
                    {member, QString::number(session_->script.TimeLimitMs())});
            } else if (error.cause() == ScriptError::Cause::MissingName) {
                Add(RowAt(row, member, Kind::MissingFunction), {member, error.text()});
            } else {
                Add(RowAt(row, member, otherwise), data << error.text());
            }
        } catch (const DtuError &error) {
            Add(RowAt(row, member, otherwise), data << error.text());
        }
        return false;
    }

    // The row's own value, its snippets, and its samples.
    void Values(DtuSession &session, ParamTableModel &table, const Row &row)
    {
        const ProfileParam &p = row.param;
        ScriptHost &script = session.script;
        const QString digits = p.PVALUE.mid(4);
        QString shown;
        bool ok = true;
        if (row.choice) {
            const ChoiceList choices = ChoiceList::Parse(p.ONLIST);
            // The choice box shows what ONGET makes of each code too.
            for (int c = p.PVALUE.size() > 4 ? -1 : 0; ok && !p.ONGET.isEmpty() && c < choices.values.size(); ++c) {
                const QString code = c < 0 ? digits : choices.values[c];
                ok = Ran(row, ProfileKeys::ONGET, [&] { ValueCodec::Decode(script, p.ONGET, code); },
                         c < 0 ? Kind::ValueUndecodable : Kind::SampleUndecodable,
                         c < 0 ? QStringList{p.PVALUE} : QStringList{choices.labels[c], Spaced(code)});
            }
            return;
        }
        ok = Ran(row, ProfileKeys::ONGET, [&] { shown = ValueCodec::Decode(script, p.ONGET, digits); },
                 p.PVALUE.size() > 4 ? Kind::ValueUndecodable : Kind::SnippetError,
                 p.PVALUE.size() > 4 ? QStringList{p.PVALUE} : QStringList{ProfileKeys::ONGET});
        if (!ValueCodec::IsSetStr(p.ONSET) && !ValueCodec::IsSetFloat(p.ONSET))
            ok = Ran(row, ProfileKeys::ONSET, [&] {
                     script.SetGlobal(QStringLiteral("ascinput"), shown);
                     script.Eval(p.ONSET);
                 }, Kind::SnippetError, {ProfileKeys::ONSET}) && ok;
        if (!ok)
            return;

        // The row as the editors see it, without a value of its own, so
        // that a plan evaluates nothing of it.
        ParamRow cells;
        cells.cells = {p.CMDID, p.PNAME, kHexPrefix, QString(), p.ONLIST, p.ONGET, p.ONSET, p.PNOTE};
        table.Clear();
        table.AppendRow(cells);
        const EditorPlan plan = EditorLogic::Plan(session, table, 0);
        if (p.PVALUE.size() > 4 && plan.maxLength > 0 && shown.size() > plan.maxLength)
            Add(RowAt(row, ProfileKeys::PVALUE, Kind::ValueTooLong, Severity::Warning),
                {shown, QString::number(plan.maxLength)});

        // Rows of one kind behave alike: each kind is tried once.
        const QString kind = p.ONLIST + QChar(0x1F) + p.ONGET + QChar(0x1F) + p.ONSET;
        auto known = trials_.constFind(kind);
        if (known == trials_.cend())
            known = trials_.insert(kind, TrySamples(session, table, plan));
        if (const std::optional<SampleFault> &fault = *known) {
            const QString member = fault->inDecoder ? ProfileKeys::ONGET : ProfileKeys::ONSET;
            if (fault->kind == Kind::SnippetTimeout && !Stop(fault->inDecoder ? p.ONGET : p.ONSET))
                return;
            Add(RowAt(row, member, fault->kind), fault->data);
        }
    }

    Report &report_;
    std::vector<Row> rows_;
    SilentFrontend silent_;
    std::unique_ptr<DtuSession> session_; // its own: the check touches no one's channel or tables
    QSet<QString> stopped_;
    QHash<QString, std::optional<SampleFault>> trials_;
};

} // namespace

int Report::Count(Severity severity) const
{
    return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                          [severity](const Finding &f) { return f.severity == severity; }));
}

bool Report::Unreadable() const
{
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding &f) { return f.kind == Kind::FileUnreadable; });
}

Report Run(const QString &profilePath, const QString &scriptPath, Depth depth)
{
    Report report;
    Checker checker(report);
    Source profile, extended;
    if (!checker.Read(profilePath, profile))
        return report;
    checker.Structure(profile, Table::Main);
    const JsonValue *extMember = profile.root.Find(ProfileKeys::ExParamFile);
    const QString extName = extMember ? extMember->Text() : QString();
    if (!extName.isEmpty() && checker.Read(DeviceProfile::ExtendedFilePath(extName, profilePath), extended))
        checker.Structure(extended, Table::Extended);
    if (depth == Depth::Full)
        checker.Snippets(scriptPath);
    return report;
}

QString KindName(Kind kind)
{
    // In the order of Kind.
    static const char *const kNames[] = {
        "file-unreadable", "not-text", "bad-json", "not-an-object", "script-load", "missing-member",
        "not-a-list", "bad-number", "repeated-number", "bad-value", "bad-list", "bad-choice-code", "repeated-code",
        "missing-function", "snippet-error", "snippet-timeout", "bad-command-word", "value-undecodable",
        "value-too-long", "sample-undecodable", "wrapped", "no-round-trip",
    };
    static_assert(std::size(kNames) == static_cast<size_t>(Kind::NoRoundTrip) + 1);
    return QLatin1String(kNames[static_cast<int>(kind)]);
}

} // namespace ProfileCheck
