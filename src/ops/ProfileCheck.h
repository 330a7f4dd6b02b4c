#pragma once
#include <QString>
#include <QStringList>
#include <vector>

// The profile check: what is wrong with a device profile, its extended file
// and the script its rows call, found without any device. Findings are
// values; ProfileCheckWording puts them into words for the front ends.
namespace ProfileCheck {

enum class Severity { Fault, Warning };

// What a finding says; its data, in order, follow each name.
enum class Kind {
    FileUnreadable,    // file missing or unreadable: reason
    NotText,           // bytes that are neither GBK nor UTF-8
    BadJson,           // the parser's message
    NotAnObject,       // the file or a row is not a JSON object (rows after it are not loaded)
    ScriptLoad,        // the script stopped while loading: the engine's message
    MissingMember,     // a row lacks a member: its name
    NotAList,          // Params is there but no array (no row is loaded): Params
    BadNumber,         // CMDID is not four hex digits: CMDID
    RepeatedNumber,    // CMDID already in the table: CMDID, line of the first
    BadValue,          // PVALUE is not "HEX:" and whole bytes: PVALUE
    BadList,           // ONLIST parses as neither limits nor a choice list: ONLIST, reason (may be empty)
    BadChoiceCode,     // a choice whose code is not hex bytes in capitals: label, code
    RepeatedCode,      // two choices with one code: first label, second label, code
    MissingFunction,   // a snippet calls what the script lacks: member, message
    SnippetError,      // a snippet threw: member, message
    SnippetTimeout,    // a snippet stopped by the watchdog: member, limit in ms
    BadCommandWord,    // GetCmd(name) gave no usable word: name, what it gave
    ValueUndecodable,  // the row's own value does not decode: PVALUE, message
    ValueTooLong,      // the row's own value, shown, exceeds its Length: shown, Length
    SampleUndecodable, // a sample's bytes do not decode: sample, bytes, message
    Wrapped,           // a number reads back as another number: sample, bytes, shown
    NoRoundTrip,       // what a sample reads back as is written otherwise: sample, bytes, shown, bytes again
};

enum class Table { None, Main, Extended };

struct Finding {
    Kind kind = Kind::BadJson;
    Severity severity = Severity::Fault;
    QString file;
    int line = 0, column = 0; // 0: not known
    Table table = Table::None;
    int index = -1;           // the row's place in its table (0 the first)
    QString number, name;     // CMDID and PNAME as the file has them
    QStringList data;
};

struct Report {
    std::vector<Finding> findings;
    int rows = 0; // rows with a parameter number, both tables
    int Count(Severity severity) const;
    // A file could not be read at all: a set-up error rather than a finding.
    bool Unreadable() const;
};

// Structure: files, JSON, rows, numbers, lists; nothing is evaluated (what
// loading a profile runs). Full: also the script, every snippet, each row's
// own value and its round trips.
enum class Depth { Structure, Full };
Report Run(const QString &profilePath, const QString &scriptPath, Depth depth = Depth::Full);

// A stable name for scripts ("repeated-number").
QString KindName(Kind kind);

} // namespace ProfileCheck
