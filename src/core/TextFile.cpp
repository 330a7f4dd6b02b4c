#include "core/TextFile.h"

#include "core/DtuError.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace TextFile {
namespace {

// Text a profile plausibly holds beyond ASCII: Chinese characters and the
// punctuation and symbols written with them. GBK bytes that happen to be
// valid UTF-8 decode almost always to two-byte sequences below U+0800
// (Latin-1, IPA, Greek, Cyrillic...), never to these.
bool IsPlausibleNonAscii(char32_t c)
{
    return (c >= 0x2000 && c <= 0x27BF)     // general punctuation, letterlike (℃), arrows, ①...
        || (c >= 0x2E80 && c <= 0x9FFF)     // CJK radicals, punctuation, kana, ideographs
        || (c >= 0xF900 && c <= 0xFAFF)     // CJK compatibility ideographs
        || (c >= 0xFE30 && c <= 0xFE4F)     // CJK compatibility forms
        || (c >= 0xFF00 && c <= 0xFFEF)     // full-width forms (，：（）)
        || (c >= 0x20000 && c <= 0x3FFFF);  // rarer ideographs
}

// Strictly valid UTF-8 whose non-ASCII characters are mostly plausible text.
bool LooksLikeUtf8(const QByteArray &bytes, QString *text)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    *text = decoder.decode(bytes);
    if (decoder.hasError())
        return false;
    int plausible = 0;
    int other = 0;
    for (char32_t c : text->toUcs4()) {
        if (c < 0x80)
            continue;
        if (IsPlausibleNonAscii(c))
            ++plausible;
        else
            ++other;
    }
    return plausible > other;
}

} // namespace

Decoded Decode(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        QStringDecoder decoder(QStringDecoder::Utf8);
        return {decoder.decode(bytes.mid(3)), Encoding::Utf8Bom};
    }
    QString utf8;
    const bool nonAscii = std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<quint8>(c) >= 0x80; });
    if (nonAscii && LooksLikeUtf8(bytes, &utf8))
        return {utf8, Encoding::Utf8};
    return {FromGbk(bytes), Encoding::Gbk};
}

QByteArray Encode(const QString &text, Encoding encoding)
{
    if (encoding == Encoding::Utf8)
        return text.toUtf8();
    if (encoding == Encoding::Utf8Bom)
        return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    QStringEncoder encoder("GBK");
    QByteArray out = encoder.encode(text);
    if (!encoder.hasError())
        return out;
    if (const QString piece = NotInGbk(text); !piece.isEmpty())
        throw DtuError(QCoreApplication::translate("TextFile", "字符“%1”无法用GBK编码保存").arg(piece));
    throw DtuError(QCoreApplication::translate("TextFile", "文本无法用GBK编码保存"));
}

QString NotInGbk(const QString &text)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QString piece = text.mid(i, len);
        QStringEncoder one("GBK");
        const QByteArray probe = one.encode(piece);
        Q_UNUSED(probe);
        if (one.hasError())
            return piece;
        i += len;
    }
    return {};
}

Decoded Read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DtuError(QCoreApplication::translate("TextFile", "无法打开文件 %1：%2").arg(path, file.errorString()));
    return Decode(file.readAll());
}

void WriteAtomically(const QString &path, const QByteArray &bytes)
{
    // An unfinished save file is thrown away when it goes out of scope.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw DtuError(QCoreApplication::translate("TextFile", "无法写入文件 %1：%2").arg(path, file.errorString()));
}

QString FromUtf8OrGbk(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return decoder.hasError() ? FromGbk(bytes) : text;
}

QByteArray ToGbk(const QString &text)
{
    return QStringEncoder("GBK").encode(text);
}

QString FromGbk(const QByteArray &bytes)
{
    return QStringDecoder("GBK").decode(bytes);
}

} // namespace TextFile
