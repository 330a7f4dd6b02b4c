#pragma once
#include <QString>

class ScriptHost;

// Conversions between a parameter's raw bytes (hex digits after "HEX:") and
// the text the user sees or types. The built-in string and float forms are
// chosen by the row's ONGET / ONSET text; every other row goes through its
// own script snippet with the globals hexinput / ascinput.
namespace ValueCodec {

bool IsGetFloat(const QString &onGet);
bool IsSetStr(const QString &onSet);
bool IsSetFloat(const QString &onSet);

// Display text of a value: built-in GetStr (the bytes as GBK text, up to a
// zero byte) / GetFloat (the first four bytes as a big-endian single-precision
// number, missing low bytes counting as 00, formatted "%.3f"), else the result
// of evaluating onGet after hexinput is set. Script errors propagate.
QString Decode(ScriptHost &script, const QString &onGet, const QString &hexDigits);

// Typed text as the row's bytes, or why the row cannot hold it.
struct Encoded {
    enum class Problem {
        None,
        ScriptError,      // the row's encoder threw (detail: the script's message)
        NotANumber,       // a float row given something that is not a plain number
        DecimalComma,     // a float row given a number with a decimal comma
        NotRepresentable, // the encoder said NaN: the value does not fit the field
        NothingEncoded,   // the encoder yielded nothing for a text that is not empty
        NotWholeBytes,    // the encoder yielded something that is not hex digits in pairs
        NotGbk            // a text row given a character GBK cannot hold (detail: the character)
    };
    QString hex; // hex digits, two per byte, upper case as the encoder gave them
    Problem problem = Problem::None;
    QString detail;
    bool Ok() const { return problem == Problem::None; }
};

// Hex digits for typed text: built-in SetStr / SetFloat, else the result of
// evaluating onSet after ascinput is set. A value the row cannot hold is
// refused with its problem, never stored as something else: an encoder's
// "NaN" anywhere in its answer means it could not represent the text.
Encoded Encode(ScriptHost &script, const QString &onSet, const QString &text);
// Whether text is a plain decimal number ("12.5", "-3", "1e3"): what a float
// row takes.
bool IsPlainNumber(const QString &text);

} // namespace ValueCodec
