#pragma once
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A PostgreSQL server of the tests' own: a fresh cluster (initdb) in a
// temporary folder, listening only on a Unix socket in that folder, on a
// port no other server uses, with trust for the local user "postgres".
// PostgreSQL refuses to run as root: under root the cluster belongs to, and
// the server runs as, the system's "postgres" user (else "nobody").
class PgServer {
public:
    PgServer() = default;
    ~PgServer() { Stop(); }
    PgServer(const PgServer &) = delete;
    PgServer &operator=(const PgServer &) = delete;

    // /usr/lib/postgresql/15/bin, where Debian's postgresql-15 puts initdb.
    static QString BinDir();
    // False with the reason (and the server's log) when it did not start.
    bool Start(QString *error);
    void Stop();

    // The records location of `database` on this server.
    QString Url(const QString &database) const;
    // The folder of its socket, for a raw connection.
    QString SocketDir() const { return dir_.filePath(QStringLiteral("socket")); }
    quint16 Port() const { return port_; }

private:
    bool Run(const QString &program, const QStringList &args, QString *output);

    QTemporaryDir dir_;
    QString runAs_; // "" when this process is not root
    quint16 port_ = 0;
    bool running_ = false;
};
