#include "PgServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace {

// A port nothing listens on now. The server listens on no network address,
// but the port names its socket file, so two test runs never share one.
quint16 FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Gives the folder (and what is in it) to the user the server runs as.
bool GiveTo(const QString &path, uid_t uid, gid_t gid)
{
    return ::chown(QFile::encodeName(path).constData(), uid, gid) == 0;
}

} // namespace

QString PgServer::BinDir()
{
    const QString given = qEnvironmentVariable("DTU_PG_BIN");
    return given.isEmpty() ? QStringLiteral("/usr/lib/postgresql/15/bin") : given;
}

bool PgServer::Run(const QString &program, const QStringList &args, QString *output)
{
    QProcess p;
    p.setWorkingDirectory(dir_.path());
    p.setProcessChannelMode(QProcess::MergedChannels);
    const QString path = QDir(BinDir()).filePath(program);
    if (runAs_.isEmpty())
        p.start(path, args);
    else
        p.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), runAs_, QStringLiteral("--"), path} + args);
    const bool finished = p.waitForFinished(120000);
    *output = QString::fromLocal8Bit(p.readAll());
    if (!finished) {
        p.kill();
        p.waitForFinished(3000);
        *output += QStringLiteral("\n(%1 did not finish in time)").arg(program);
        return false;
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool PgServer::Start(QString *error)
{
    if (!QFileInfo(QDir(BinDir()).filePath(QStringLiteral("initdb"))).isExecutable()) {
        *error = QStringLiteral("no initdb in %1: install postgresql-15 (scripts/setup.sh does)").arg(BinDir());
        return false;
    }
    if (!dir_.isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    const QString data = dir_.filePath(QStringLiteral("data"));
    if (!QDir().mkpath(SocketDir())) {
        *error = QStringLiteral("cannot make %1").arg(SocketDir());
        return false;
    }
    if (::geteuid() == 0) {
        const passwd *user = ::getpwnam("postgres");
        if (!user)
            user = ::getpwnam("nobody");
        if (!user) {
            *error = QStringLiteral("running as root, and there is no postgres or nobody user to run the server as");
            return false;
        }
        runAs_ = QString::fromLocal8Bit(user->pw_name);
        if (!GiveTo(dir_.path(), user->pw_uid, user->pw_gid) || !GiveTo(SocketDir(), user->pw_uid, user->pw_gid)) {
            *error = QStringLiteral("cannot give %1 to %2").arg(dir_.path(), runAs_);
            return false;
        }
    }
    QString output;
    if (!Run(QStringLiteral("initdb"),
             {QStringLiteral("-D"), data, QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-A"),
              QStringLiteral("trust"), QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C"),
              QStringLiteral("--no-sync")},
             &output)) {
        *error = QStringLiteral("initdb failed:\n") + output;
        return false;
    }
    port_ = FreePort();
    // No network address at all; nothing forced to the disk (the cluster is
    // thrown away after the test).
    const QString serverOptions = QStringLiteral("-k %1 -p %2 -c listen_addresses='' -c fsync=off"
                                                 " -c synchronous_commit=off -c full_page_writes=off")
                                      .arg(SocketDir())
                                      .arg(port_);
    const QString log = dir_.filePath(QStringLiteral("server.log"));
    if (!Run(QStringLiteral("pg_ctl"),
             {QStringLiteral("-D"), data, QStringLiteral("-l"), log, QStringLiteral("-o"), serverOptions,
              QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("start")},
             &output)) {
        QFile file(log);
        file.open(QIODevice::ReadOnly);
        *error = QStringLiteral("pg_ctl start failed:\n") + output + QString::fromLocal8Bit(file.readAll());
        return false;
    }
    running_ = true;
    return true;
}

void PgServer::Stop()
{
    if (!running_)
        return;
    running_ = false;
    QString output;
    Run(QStringLiteral("pg_ctl"),
        {QStringLiteral("-D"), dir_.filePath(QStringLiteral("data")), QStringLiteral("-m"), QStringLiteral("immediate"),
         QStringLiteral("-w"), QStringLiteral("stop")},
        &output);
}

QString PgServer::Url(const QString &database) const
{
    return QStringLiteral("postgresql://postgres@/%1?host=%2&port=%3").arg(database, SocketDir()).arg(port_);
}
