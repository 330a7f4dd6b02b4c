#include "profile/OrderedJson.h"

#include <QCoreApplication>

JsonValue JsonValue::MakeString(const QString &s)
{
    JsonValue v;
    v.type_ = Type::String;
    v.text_ = s;
    return v;
}

JsonValue JsonValue::MakeArray()
{
    JsonValue v;
    v.type_ = Type::Array;
    return v;
}

JsonValue JsonValue::MakeObject()
{
    JsonValue v;
    v.type_ = Type::Object;
    return v;
}

QString JsonValue::Text() const
{
    return (type_ == Type::String || type_ == Type::Number) ? text_ : QString();
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

const JsonValue *JsonValue::Find(const QString &name) const
{
    for (const auto &m : members_)
        if (m.first == name)
            return &m.second;
    return nullptr;
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

class JsonParser {
public:
    explicit JsonParser(const QString &text) : s_(text) {}

    bool Run(JsonValue *out, QString *error, qsizetype *failedAt)
    {
        if (!Parse(out, error)) {
            if (failedAt)
                *failedAt = qMin(problemAt_, s_.size());
            return false;
        }
        return true;
    }

private:
    bool Parse(JsonValue *out, QString *error)
    {
        SkipSpace();
        if (!ParseValue(out, 0))
            return Fail(error);
        SkipSpace();
        if (pos_ != s_.size()) {
            Problem(QCoreApplication::translate("OrderedJson", "多余的内容"));
            return Fail(error);
        }
        return true;
    }

    static constexpr int kMaxDepth = 200;

    bool Fail(QString *error)
    {
        if (error)
            *error = QCoreApplication::translate("OrderedJson", "JSON格式错误（第%1个字符）：%2")
                         .arg(problemAt_ + 1)
                         .arg(problem_);
        return false;
    }
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
            out->type_ = JsonValue::Type::Bool;
            out->bool_ = true;
            return Literal("true");
        case 'f':
            out->type_ = JsonValue::Type::Bool;
            out->bool_ = false;
            return Literal("false");
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
        if (pos_ < s_.size() && s_.at(pos_) == QLatin1Char('-'))
            ++pos_;
        if (pos_ < s_.size() && s_.at(pos_) == QLatin1Char('0'))
            ++pos_;
        else if (!digits())
            return Problem(QCoreApplication::translate("OrderedJson", "无效的值"));
        if (pos_ < s_.size() && s_.at(pos_) == QLatin1Char('.')) {
            ++pos_;
            if (!digits())
                return Problem(QCoreApplication::translate("OrderedJson", "无效的数字"));
        }
        if (pos_ < s_.size() && (s_.at(pos_) == QLatin1Char('e') || s_.at(pos_) == QLatin1Char('E'))) {
            ++pos_;
            if (pos_ < s_.size() && (s_.at(pos_) == QLatin1Char('+') || s_.at(pos_) == QLatin1Char('-')))
                ++pos_;
            if (!digits())
                return Problem(QCoreApplication::translate("OrderedJson", "无效的数字"));
        }
        out->type_ = JsonValue::Type::Number;
        out->text_ = s_.mid(start, pos_ - start);
        return true;
    }

    bool ParseHex4(char16_t *out)
    {
        if (pos_ + 4 > s_.size())
            return Problem(QCoreApplication::translate("OrderedJson", "无效的转义"));
        bool ok = false;
        const uint v = s_.mid(pos_, 4).toUInt(&ok, 16);
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
            switch (e.unicode()) {
            case '"': result += QLatin1Char('"'); break;
            case '\\': result += QLatin1Char('\\'); break;
            case '/': result += QLatin1Char('/'); break;
            case 'b': result += QChar(0x08); break;
            case 'f': result += QChar(0x0C); break;
            case 'n': result += QLatin1Char('\n'); break;
            case 'r': result += QLatin1Char('\r'); break;
            case 't': result += QLatin1Char('\t'); break;
            case 'u': {
                char16_t unit = 0;
                if (!ParseHex4(&unit))
                    return false;
                result += QChar(unit);
                break;
            }
            default:
                return ProblemBefore(QCoreApplication::translate("OrderedJson", "无效的转义"));
            }
        }
        *out = result;
        return true;
    }

    bool ParseArray(JsonValue *out, int depth)
    {
        ++pos_;
        out->type_ = JsonValue::Type::Array;
        SkipSpace();
        if (pos_ < s_.size() && s_.at(pos_) == QLatin1Char(']')) {
            ++pos_;
            return true;
        }
        while (true) {
            SkipSpace();
            JsonValue item;
            if (!ParseValue(&item, depth + 1))
                return false;
            out->items_.push_back(std::move(item));
            SkipSpace();
            if (pos_ >= s_.size())
                return Problem(QCoreApplication::translate("OrderedJson", "数组未结束"));
            const QChar c = s_.at(pos_++);
            if (c == QLatin1Char(']'))
                return true;
            if (c != QLatin1Char(','))
                return ProblemBefore(QCoreApplication::translate("OrderedJson", "数组中缺少逗号"));
        }
    }

    bool ParseObject(JsonValue *out, int depth)
    {
        ++pos_;
        out->type_ = JsonValue::Type::Object;
        SkipSpace();
        if (pos_ < s_.size() && s_.at(pos_) == QLatin1Char('}')) {
            ++pos_;
            return true;
        }
        while (true) {
            SkipSpace();
            if (pos_ >= s_.size() || s_.at(pos_) != QLatin1Char('"'))
                return Problem(QCoreApplication::translate("OrderedJson", "缺少成员名"));
            QString name;
            if (!ParseString(&name))
                return false;
            SkipSpace();
            if (pos_ >= s_.size() || s_.at(pos_) != QLatin1Char(':'))
                return Problem(QCoreApplication::translate("OrderedJson", "缺少冒号"));
            ++pos_;
            SkipSpace();
            JsonValue value;
            if (!ParseValue(&value, depth + 1))
                return false;
            out->members_.emplace_back(std::move(name), std::move(value));
            SkipSpace();
            if (pos_ >= s_.size())
                return Problem(QCoreApplication::translate("OrderedJson", "对象未结束"));
            const QChar c = s_.at(pos_++);
            if (c == QLatin1Char('}'))
                return true;
            if (c != QLatin1Char(','))
                return ProblemBefore(QCoreApplication::translate("OrderedJson", "对象中缺少逗号"));
        }
    }

    const QString &s_;
    qsizetype pos_ = 0;
    QString problem_;
    qsizetype problemAt_ = 0;
};

bool JsonValue::Parse(const QString &text, JsonValue *out, QString *error, qsizetype *failedAt)
{
    JsonValue result;
    JsonParser parser(text);
    if (!parser.Run(&result, error, failedAt))
        return false;
    *out = std::move(result);
    return true;
}

namespace {

void WriteString(QString &out, const QString &s)
{
    out += QLatin1Char('"');
    for (QChar c : s) {
        switch (c.unicode()) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        case 0x08: out += QLatin1String("\\b"); break;
        case 0x0C: out += QLatin1String("\\f"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += QLatin1Char('"');
}

void WriteValue(QString &out, const JsonValue &v, int indent)
{
    const QString pad(indent * 4, QLatin1Char(' '));
    const QString innerPad((indent + 1) * 4, QLatin1Char(' '));
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
        if (v.Items().empty()) {
            out += QLatin1String("[]");
            break;
        }
        out += QLatin1String("[\n");
        for (size_t i = 0; i < v.Items().size(); ++i) {
            out += innerPad;
            WriteValue(out, v.Items()[i], indent + 1);
            if (i + 1 < v.Items().size())
                out += QLatin1Char(',');
            out += QLatin1Char('\n');
        }
        out += pad + QLatin1Char(']');
        break;
    case JsonValue::Type::Object:
        if (v.Members().empty()) {
            out += QLatin1String("{}");
            break;
        }
        out += QLatin1String("{\n");
        for (size_t i = 0; i < v.Members().size(); ++i) {
            out += innerPad;
            WriteString(out, v.Members()[i].first);
            out += QLatin1String(": ");
            WriteValue(out, v.Members()[i].second, indent + 1);
            if (i + 1 < v.Members().size())
                out += QLatin1Char(',');
            out += QLatin1Char('\n');
        }
        out += pad + QLatin1Char('}');
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
