#pragma once
#include <QString>

class ScriptHost;

// Conversions between a parameter's raw bytes (hex digits after "HEX:") and
// the text the user sees or types. The built-in string and float forms are
// chosen by the row's ONGET / ONSET text; every other row goes through its
// own script snippet with the globals hexinput / ascinput.
namespace ValueCodec {

bool IsGetStr(const QString &onGet);
bool IsGetFloat(const QString &onGet);
bool IsSetStr(const QString &onSet);
bool IsSetFloat(const QString &onSet);

// Bytes as characters of the system code page (GBK).
QString BytesAsText(const QString &hexDigits);
// The first four bytes as a big-endian single-precision number, missing low
// bytes counting as 00, formatted "%.3f". Bytes past the fourth are ignored.
QString BytesAsFloatText(const QString &hexDigits);

// Display text of a value: built-in GetStr / GetFloat, else the result of
// evaluating onGet after hexinput is set. Script errors propagate.
QString Decode(ScriptHost &script, const QString &onGet, const QString &hexDigits);

// Hex digits for typed text: built-in SetStr / SetFloat, else the result of
// evaluating onSet after ascinput is set; every "NAN" (any case) becomes "00".
// Throws DtuError for a non-number in a float row and for script errors.
QString Encode(ScriptHost &script, const QString &onSet, const QString &text);

} // namespace ValueCodec
