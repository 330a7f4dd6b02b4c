#pragma once
#include "fleet/FleetRollback.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

// The records window's page for undoing a whole fleet run: each device the
// run changed, as the rollback reaches it, with its outcome in the fleet's
// words and its rollback entry; a stop; a line for the whole.
class RecordsRunRollback : public QWidget {
    Q_OBJECT
public:
    explicit RecordsRunRollback(QWidget *parent = nullptr);

    void Start(const QString &run, const FleetRollback::Settings &settings);
    bool Running() const { return rollback_.Running(); }

signals:
    // The rollback ended: the records hold new entries.
    void ended();

private:
    void OnStarted(int index, int total, const QString &target);
    void OnFinished(int index);
    void OnEnded();

    FleetRollback rollback_;
    QString run_;
    QTableWidget *devices_;
    QPushButton *stop_;
    QLabel *status_;
};
