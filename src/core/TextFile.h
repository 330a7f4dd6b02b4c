#pragma once
#include <QByteArray>
#include <QString>

// Text files of the tool: profiles, extended parameter files, script.js,
// lastfile.log. Files made on Windows are GBK; files written on Linux are
// often UTF-8. A file with a UTF-8 byte-order mark is UTF-8. Otherwise a file
// is UTF-8 when its bytes are strictly valid UTF-8 and the non-ASCII text
// they give is mostly Chinese characters, punctuation and symbols: short GBK
// texts are often valid UTF-8 too (通路 is CD A8 C2 B7), but then decode to
// Latin, Greek or Cyrillic letters. Every other file is GBK. A re-save keeps
// the encoding the file came in.
namespace TextFile {

enum class Encoding { Gbk, Utf8, Utf8Bom };

struct Decoded {
    QString text;
    Encoding encoding = Encoding::Gbk;
};

Decoded Decode(const QByteArray &bytes);
// Throws DtuError naming the first character the encoding cannot hold.
QByteArray Encode(const QString &text, Encoding encoding);

// Reads and decodes a whole file; throws DtuError when it cannot be read.
Decoded Read(const QString &path);
// Writes bytes through a temporary file renamed over the target, so a crash
// or a full disk leaves the old file or the new one, never a mix. Throws
// DtuError naming the file and the reason.
void WriteAtomically(const QString &path, const QByteArray &bytes);

// The tool's own files (lastfile.log) are written as UTF-8, whatever the
// path holds: valid UTF-8 is taken as such, anything else as GBK.
QString FromUtf8OrGbk(const QByteArray &bytes);

// GBK text <-> bytes for user texts (typed messages, device strings). A
// character GBK cannot hold becomes "?".
QByteArray ToGbk(const QString &text);
// The first character of text GBK cannot hold; empty when it holds them all.
QString NotInGbk(const QString &text);
QString FromGbk(const QByteArray &bytes);

} // namespace TextFile
