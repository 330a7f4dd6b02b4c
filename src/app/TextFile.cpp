#include "app/TextFile.h"

#include "app/DtuError.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

namespace TextFile {
namespace {

bool IsStrictUtf8WithNonAscii(const QByteArray &bytes)
{
    bool nonAscii = false;
    for (char c : bytes) {
        if (static_cast<quint8>(c) >= 0x80) {
            nonAscii = true;
            break;
        }
    }
    if (!nonAscii)
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

} // namespace

Decoded Decode(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        QStringDecoder decoder(QStringDecoder::Utf8);
        return {decoder.decode(bytes.mid(3)), Encoding::Utf8Bom};
    }
    if (IsStrictUtf8WithNonAscii(bytes))
        return {QString::fromUtf8(bytes), Encoding::Utf8};
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
    // Find the character GBK cannot hold, so the message can name it.
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QString piece = text.mid(i, len);
        QStringEncoder one("GBK");
        const QByteArray probe = one.encode(piece);
        Q_UNUSED(probe);
        if (one.hasError())
            throw DtuError(QStringLiteral("字符“%1”无法用GBK编码保存").arg(piece));
        i += len;
    }
    throw DtuError(QStringLiteral("文本无法用GBK编码保存"));
}

Decoded Read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DtuError(QStringLiteral("无法打开文件 %1：%2").arg(path, file.errorString()));
    return Decode(file.readAll());
}

void WriteAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw DtuError(QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString()));
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw DtuError(QStringLiteral("无法写入文件 %1：%2").arg(path, reason));
    }
    if (!file.commit())
        throw DtuError(QStringLiteral("无法写入文件 %1：%2").arg(path, file.errorString()));
}

QByteArray ToGbk(const QString &text)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

QString FromGbk(const QByteArray &bytes)
{
    QStringDecoder decoder("GBK");
    return decoder.decode(bytes);
}

} // namespace TextFile
