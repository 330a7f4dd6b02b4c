#include "profile/OrderedJson.h"

#include <QCoreApplication>

JsonValue JsonValue::MakeString(const QString &s)
{
    JsonValue v;
    v.type_ = Type::String;
    v.text_ = s;
    return v;
}

int JsonValue::ToInt(int fallback) const
{
    if (type_ != Type::Number && type_ != Type::String)
        return fallback;
    bool ok = false;
    const double d = text_.toDouble(&ok);
    if (!ok || d < -2147483648.0 || d > 2147483647.0)
        return fallback;
    return static_cast<int>(d);
}

JsonValue *JsonValue::Find(const QString &name)
{
    for (auto &m : members_)
        if (m.first == name)
            return &m.second;
    return nullptr;
}

void JsonValue::Set(const QString &name, const JsonValue &value)
{
    if (JsonValue *existing = Find(name))
        *existing = value;
    else
        members_.emplace_back(name, value);
}

namespace {
// JSON's two-character escapes: the letter after the backslash, and the
// character it stands for. A writer need not escape the solidus.
const QString kEscapeLetters = QStringLiteral("\"\\/bfnrt");
const QString kEscaped = QStringLiteral("\"\\/\b\f\n\r\t");
} // namespace

class JsonParser {
public:
    explicit JsonParser(const QString &text) : s_(text) {}

    static constexpr int kMaxDepth = 200;

    bool Run(JsonValue *out, QString *error, qsizetype *failedAt)
    {
        SkipSpace();
        if (ParseValue(out, 0)) {
            SkipSpace();
            if (pos_ == s_.size())
                return true;
            Problem(QCoreApplication::translate("OrderedJson", "多余的内容"));
        }
        if (error)
            *error = QCoreApplication::translate("OrderedJson", "JSON格式错误（第%1个字符）：%2")
                         .arg(problemAt_ + 1)
                         .arg(problem_);
        if (failedAt)
            *failedAt = qMin(problemAt_, s_.size());
        return false;
    }

private:
    bool Problem(const QString &what)
    {
        problem_ = what;
        problemAt_ = pos_;
        return false;
    }
    // A problem with the character just read.
    bool ProblemBefore(const QString &what)
    {
        Problem(what);
        --problemAt_;
        return false;
    }
    void SkipSpace()
    {
        while (pos_ < s_.size()) {
            const ushort c = s_.at(pos_).unicode();
            if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
                break;
            ++pos_;
        }
    }
    // Steps over the next character when it is c.
    bool Take(QChar c)
    {
        if (pos_ >= s_.size() || s_.at(pos_) != c)
            return false;
        ++pos_;
        return true;
    }
    bool Literal(const char *word)
    {
        const QLatin1String w(word);
        if (s_.mid(pos_, w.size()) != w)
            return Problem(QCoreApplication::translate("OrderedJson", "无效的值"));
        pos_ += w.size();
        return true;
    }

    bool ParseValue(JsonValue *out, int depth)
    {
        if (depth > kMaxDepth)
            return Problem(QCoreApplication::translate("OrderedJson", "嵌套过深"));
        if (pos_ >= s_.size())
            return Problem(QCoreApplication::translate("OrderedJson", "内容不完整"));
        out->offset_ = pos_;
        const QChar c = s_.at(pos_);
        switch (c.unicode()) {
        case '{':
            return ParseObject(out, depth);
        case '[':
            return ParseArray(out, depth);
        case '"':
            out->type_ = JsonValue::Type::String;
            return ParseString(&out->text_);
        case 't':
        case 'f':
            out->type_ = JsonValue::Type::Bool;
            out->bool_ = c == QLatin1Char('t');
            return Literal(out->bool_ ? "true" : "false");
        case 'n':
            out->type_ = JsonValue::Type::Null;
            return Literal("null");
        default:
            return ParseNumber(out);
        }
    }

    bool ParseNumber(JsonValue *out)
    {
        const qsizetype start = pos_;
        auto digits = [&] {
            const qsizetype from = pos_;
            while (pos_ < s_.size() && s_.at(pos_).isDigit() && s_.at(pos_).unicode() < 128)
                ++pos_;
            return pos_ > from;
        };
        Take(u'-');
        if (!Take(u'0') && !digits())
            return Problem(QCoreApplication::translate("OrderedJson", "无效的值"));
        if (Take(u'.') && !digits())
            return Problem(QCoreApplication::translate("OrderedJson", "无效的数字"));
        if (Take(u'e') || Take(u'E')) {
            if (!Take(u'+'))
                Take(u'-');
            if (!digits())
                return Problem(QCoreApplication::translate("OrderedJson", "无效的数字"));
        }
        out->type_ = JsonValue::Type::Number;
        out->text_ = s_.mid(start, pos_ - start);
        return true;
    }

    bool ParseHex4(char16_t *out)
    {
        bool ok = false;
        const uint v = pos_ + 4 <= s_.size() ? s_.mid(pos_, 4).toUInt(&ok, 16) : 0;
        if (!ok)
            return Problem(QCoreApplication::translate("OrderedJson", "无效的转义"));
        pos_ += 4;
        *out = static_cast<char16_t>(v);
        return true;
    }

    bool ParseString(QString *out)
    {
        ++pos_; // opening quote
        QString result;
        while (true) {
            if (pos_ >= s_.size())
                return Problem(QCoreApplication::translate("OrderedJson", "字符串未结束"));
            const QChar c = s_.at(pos_++);
            if (c == QLatin1Char('"'))
                break;
            if (c.unicode() < 0x20)
                return ProblemBefore(QCoreApplication::translate("OrderedJson", "字符串中有控制字符"));
            if (c != QLatin1Char('\\')) {
                result += c;
                continue;
            }
            if (pos_ >= s_.size())
                return Problem(QCoreApplication::translate("OrderedJson", "字符串未结束"));
            const QChar e = s_.at(pos_++);
            const qsizetype k = kEscapeLetters.indexOf(e);
            if (k >= 0) {
                result += kEscaped.at(k);
            } else if (e == QLatin1Char('u')) {
                char16_t unit = 0;
                if (!ParseHex4(&unit))
                    return false;
                result += QChar(unit);
            } else {
                return ProblemBefore(QCoreApplication::translate("OrderedJson", "无效的转义"));
            }
        }
        *out = result;
        return true;
    }

    // The items of an array or the members of an object, up to `close`;
    // `item` parses one of them.
    template <typename Item>
    bool ParseList(QChar close, const char *unfinished, const char *noComma, Item item)
    {
        ++pos_;
        SkipSpace();
        if (Take(close))
            return true;
        while (true) {
            SkipSpace();
            if (!item())
                return false;
            SkipSpace();
            if (pos_ >= s_.size())
                return Problem(QCoreApplication::translate("OrderedJson", unfinished));
            if (Take(close))
                return true;
            if (!Take(u','))
                return Problem(QCoreApplication::translate("OrderedJson", noComma));
        }
    }

    bool ParseArray(JsonValue *out, int depth)
    {
        out->type_ = JsonValue::Type::Array;
        const auto item = [&] {
            JsonValue value;
            if (!ParseValue(&value, depth + 1))
                return false;
            out->items_.push_back(std::move(value));
            return true;
        };
        return ParseList(QLatin1Char(']'), QT_TRANSLATE_NOOP("OrderedJson", "数组未结束"),
                         QT_TRANSLATE_NOOP("OrderedJson", "数组中缺少逗号"), item);
    }

    bool ParseObject(JsonValue *out, int depth)
    {
        out->type_ = JsonValue::Type::Object;
        const auto member = [&] {
            if (pos_ >= s_.size() || s_.at(pos_) != QLatin1Char('"'))
                return Problem(QCoreApplication::translate("OrderedJson", "缺少成员名"));
            QString name;
            if (!ParseString(&name))
                return false;
            SkipSpace();
            if (!Take(u':'))
                return Problem(QCoreApplication::translate("OrderedJson", "缺少冒号"));
            SkipSpace();
            JsonValue value;
            if (!ParseValue(&value, depth + 1))
                return false;
            out->members_.emplace_back(std::move(name), std::move(value));
            return true;
        };
        return ParseList(QLatin1Char('}'), QT_TRANSLATE_NOOP("OrderedJson", "对象未结束"),
                         QT_TRANSLATE_NOOP("OrderedJson", "对象中缺少逗号"), member);
    }

    const QString &s_;
    qsizetype pos_ = 0;
    QString problem_;
    qsizetype problemAt_ = 0;
};

bool JsonValue::Parse(const QString &text, JsonValue *out, QString *error, qsizetype *failedAt)
{
    JsonValue result;
    if (!JsonParser(text).Run(&result, error, failedAt))
        return false;
    *out = std::move(result);
    return true;
}

namespace {

void WriteString(QString &out, const QString &s)
{
    out += QLatin1Char('"');
    for (QChar c : s) {
        const qsizetype k = kEscaped.indexOf(c);
        if (k >= 0 && c != QLatin1Char('/'))
            out += QLatin1Char('\\') + QString(kEscapeLetters.at(k));
        else if (c.unicode() < 0x20)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    out += QLatin1Char('"');
}

// The `count` entries of an array or object, one per line, indented a level
// deeper than its brackets; empty ones stay on one line ("[]", "{}").
template <typename Entry>
void WriteList(QString &out, size_t count, int indent, char open, char close, Entry entry)
{
    out += QLatin1Char(open);
    if (count > 0) {
        out += QLatin1Char('\n');
        for (size_t i = 0; i < count; ++i) {
            out += QString((indent + 1) * 4, QLatin1Char(' '));
            entry(i);
            if (i + 1 < count)
                out += QLatin1Char(',');
            out += QLatin1Char('\n');
        }
        out += QString(indent * 4, QLatin1Char(' '));
    }
    out += QLatin1Char(close);
}

void WriteValue(QString &out, const JsonValue &v, int indent)
{
    switch (v.type()) {
    case JsonValue::Type::Null:
        out += QLatin1String("null");
        break;
    case JsonValue::Type::Bool:
        out += v.BoolValue() ? QLatin1String("true") : QLatin1String("false");
        break;
    case JsonValue::Type::Number:
        out += v.Text();
        break;
    case JsonValue::Type::String:
        WriteString(out, v.Text());
        break;
    case JsonValue::Type::Array:
        WriteList(out, v.Items().size(), indent, '[', ']',
                  [&](size_t i) { WriteValue(out, v.Items()[i], indent + 1); });
        break;
    case JsonValue::Type::Object:
        WriteList(out, v.Members().size(), indent, '{', '}', [&](size_t i) {
            WriteString(out, v.Members()[i].first);
            out += QLatin1String(": ");
            WriteValue(out, v.Members()[i].second, indent + 1);
        });
        break;
    }
}

} // namespace

QString JsonValue::ToIndentedText() const
{
    QString out;
    WriteValue(out, *this, 0);
    return out;
}
