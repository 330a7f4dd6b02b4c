#pragma once
#include <QString>
#include <memory>
#include <utility>
#include <vector>

// A JSON value that keeps object members in the order of the file and
// numbers as written, so a re-saved profile diffs cleanly against the file
// the user wrote (QJsonObject would sort the members).
class JsonValue {
public:
    enum class Type { Null, Bool, Number, String, Array, Object };
    using Member = std::pair<QString, JsonValue>;

    JsonValue() = default;
    static JsonValue MakeString(const QString &s);

    Type type() const { return type_; }
    bool IsObject() const { return type_ == Type::Object; }
    bool IsArray() const { return type_ == Type::Array; }
    bool IsNumber() const { return type_ == Type::Number; }
    bool BoolValue() const { return bool_; }

    // String content, or the number's text; empty for other types.
    QString Text() const { return type_ == Type::String || type_ == Type::Number ? text_ : QString(); }
    // Integer value of a number (or of a numeric string); fallback otherwise.
    int ToInt(int fallback = 0) const;

    // Arrays.
    std::vector<JsonValue> &Items() { return items_; }
    const std::vector<JsonValue> &Items() const { return items_; }

    // Objects: member lookup keeps the first of duplicate names.
    JsonValue *Find(const QString &name);
    const JsonValue *Find(const QString &name) const { return const_cast<JsonValue *>(this)->Find(name); }
    // Sets a member, appending it when absent.
    void Set(const QString &name, const JsonValue &value);
    std::vector<Member> &Members() { return members_; }
    const std::vector<Member> &Members() const { return members_; }

    // Parses RFC 8259 text; returns false with a message naming the position,
    // and that position (an index into text) in *failedAt.
    static bool Parse(const QString &text, JsonValue *out, QString *error, qsizetype *failedAt = nullptr);
    // Where the value began in the text it was parsed from (-1 when made in
    // code), so a checker can name the line of a member.
    qsizetype Offset() const { return offset_; }
    // Indented text (4 spaces), non-ASCII characters written as they are, LF
    // line ends.
    QString ToIndentedText() const;

private:
    friend class JsonParser;
    Type type_ = Type::Null;
    bool bool_ = false;
    QString text_; // string content or number lexeme
    qsizetype offset_ = -1;
    std::vector<JsonValue> items_;
    std::vector<Member> members_;
};
