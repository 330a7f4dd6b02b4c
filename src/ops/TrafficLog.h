#pragma once
#include <QDateTime>
#include <QString>

class DtuSession;

// The traffic log a technician hands to a colleague: a header saying when,
// with which tool, profile and port settings, then the traffic memo, the
// control-mode display and the transparent dialogue, each under its title.
namespace TrafficLog {

struct Texts {
    QString traffic;     // Memo1
    QString control;     // Memo4
    QString transparent; // Memo2
};

QString Compose(const DtuSession &session, const QString &toolVersion, const QDateTime &now, const Texts &texts);
// Writes the log as UTF-8 through a temporary file renamed over `path`;
// throws DtuError naming the file when it cannot be written.
void Save(const QString &path, const QString &log);
// "通信记录-20261208-130500.txt"
QString SuggestedName(const QDateTime &now);

} // namespace TrafficLog
