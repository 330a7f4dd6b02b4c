#pragma once
#include "fleet/FleetReport.h"

#include <QObject>
#include <QProcess>
#include <QString>

// A fleet run undone from a window: one `dtucfg rollback --run RUN --events`
// process puts each device the run changed back to the snapshot its worker
// took, one device after another, with the profile, script and access level
// given. Its events arrive as signals; it waits for nothing, so the window
// stays responsive.
class FleetRollback : public QObject {
    Q_OBJECT
public:
    struct Settings {
        QString profilePath; // absolute
        QString scriptPath;  // absolute
        int level = 0;       // rows it withholds are not written
        bool fast = false;
        QString language;    // "zh", "en": the process's own words
        QString records;     // the store ("" the default one)
    };

    explicit FleetRollback(QObject *parent = nullptr);
    ~FleetRollback() override;

    // Starts; false when one is running already.
    bool Start(const QString &run, const Settings &settings);
    // The device being restored ends between two rows; no other begins.
    void Stop();
    bool Running() const { return running_; }
    // One report per device it got to, in order: target, outcome (ok,
    // unreachable, refused-password, not-started, no-snapshot, differs,
    // not-verified, other-device or a write's outcome), the rollback entry.
    const QList<DeviceReport> &Reports() const { return reports_; }
    // When the process ended without restoring anything it was asked to:
    // what it said ("": it reported on its devices).
    QString Failure() const { return failure_; }

signals:
    void deviceStarted(int index, int total, const QString &target);
    void deviceFinished(int index);
    void finished();

private:
    void OnOutput();
    void OnEnded(int exitCode, bool crashed);

    QProcess process_;
    QByteArray errors_;
    QList<DeviceReport> reports_;
    QString current_; // the target being restored
    QString failure_;
    bool running_ = false;
};
