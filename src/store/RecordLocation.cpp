#include "store/RecordLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QUrlQuery>

namespace {

bool IsServerUrl(const QString &text)
{
    return text.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive)
        || text.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

QString Decoded(const QString &part)
{
    return QUrl::fromPercentEncoding(part.toUtf8());
}

bool ParsePort(const QString &text, RecordLocation *out, QString *error)
{
    bool ok = false;
    const uint port = text.toUInt(&ok);
    if (!ok || port < 1 || port > 65535) {
        *error = QCoreApplication::translate("RecordLocation", "端口“%1”应为1到65535的整数").arg(text);
        return false;
    }
    out->port = static_cast<quint16>(port);
    return true;
}

// USER[:PASSWORD]@HOST[:PORT] with a host that may be a bracketed IPv6
// address or a percent-encoded socket folder.
bool ParseAuthority(const QString &authority, RecordLocation *out, QString *error)
{
    QString hostPort = authority;
    if (const qsizetype at = authority.lastIndexOf(QLatin1Char('@')); at >= 0) {
        const QString userInfo = authority.left(at);
        hostPort = authority.mid(at + 1);
        const qsizetype colon = userInfo.indexOf(QLatin1Char(':'));
        out->user = Decoded(colon >= 0 ? userInfo.left(colon) : userInfo);
        if (colon >= 0)
            out->password = Decoded(userInfo.mid(colon + 1));
    }
    QString portText;
    if (hostPort.startsWith(QLatin1Char('['))) {
        const qsizetype close = hostPort.indexOf(QLatin1Char(']'));
        if (close < 0) {
            *error = QCoreApplication::translate("RecordLocation", "IPv6地址缺少右方括号“]”");
            return false;
        }
        out->host = hostPort.mid(1, close - 1);
        const QString rest = hostPort.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':'))) {
            *error = QCoreApplication::translate("RecordLocation", "IPv6地址后面有多余的文字");
            return false;
        }
        portText = rest.mid(1);
    } else {
        const qsizetype colon = hostPort.lastIndexOf(QLatin1Char(':'));
        out->host = Decoded(colon >= 0 ? hostPort.left(colon) : hostPort);
        if (colon >= 0)
            portText = hostPort.mid(colon + 1);
    }
    return portText.isEmpty() || ParsePort(portText, out, error);
}

bool ParseServer(const QString &text, RecordLocation *out, QString *error)
{
    out->kind = RecordLocation::Kind::Server;
    QString rest = text.mid(text.indexOf(QLatin1String("://")) + 3);
    QString query;
    if (const qsizetype q = rest.indexOf(QLatin1Char('?')); q >= 0) {
        query = rest.mid(q + 1);
        rest.truncate(q);
    }
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    const QString authority = slash >= 0 ? rest.left(slash) : rest;
    out->database = slash >= 0 ? Decoded(rest.mid(slash + 1)) : QString();
    if (!ParseAuthority(authority, out, error))
        return false;

    QStringList options;
    const auto items = QUrlQuery(query).queryItems(QUrl::FullyDecoded);
    for (const auto &[key, value] : items) {
        if (key == QLatin1String("host")) {
            out->host = value;
        } else if (key == QLatin1String("port")) {
            if (!ParsePort(value, out, error))
                return false;
        } else if (key == QLatin1String("user")) {
            out->user = value;
        } else if (key == QLatin1String("password")) {
            out->password = value;
        } else if (key == QLatin1String("dbname")) {
            out->database = value;
        } else if (value.contains(QLatin1Char(';'))) {
            *error = QCoreApplication::translate("RecordLocation", "%1的值中含有分号").arg(key);
            return false;
        } else {
            options << key + QLatin1Char('=') + value;
        }
    }
    if (out->database.isEmpty())
        out->database = QString::fromLatin1(RecordLocation::kDefaultDatabase);
    out->clientOptions = options.join(QLatin1Char(';'));
    return true;
}

} // namespace

bool RecordLocation::Parse(const QString &text, RecordLocation *out, QString *error)
{
    *out = RecordLocation();
    if (text.trimmed().isEmpty()) {
        *error = QCoreApplication::translate("RecordLocation", "没有给出设备档案的位置");
        return false;
    }
    if (IsServerUrl(text))
        return ParseServer(text, out, error);
    out->kind = Kind::File;
    out->path = QDir::cleanPath(QFileInfo(text).absoluteFilePath());
    return true;
}

QString RecordLocation::DefaultPath()
{
    // The XDG rule: a relative XDG_DATA_HOME is invalid and ignored.
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/dtutools/records.sqlite"));
}

QString RecordLocation::Shown() const
{
    if (kind == Kind::File)
        return path;
    QString authority = user.isEmpty() ? QString() : user + QLatin1Char('@');
    if (host.startsWith(QLatin1Char('/')))
        authority += QString::fromLatin1(QUrl::toPercentEncoding(host));
    else if (host.contains(QLatin1Char(':')))
        authority += QLatin1Char('[') + host + QLatin1Char(']');
    else
        authority += host;
    authority += QLatin1Char(':') + QString::number(port);
    return QStringLiteral("postgresql://%1/%2").arg(authority, database);
}
