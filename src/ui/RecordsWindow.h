#pragma once
#include "fleet/FleetRollback.h"
#include "store/RecordEntry.h"
#include "store/RecordLocation.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class Dialogs;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTabWidget;
class RecordStore;
class WindowRecorder;

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

// "设备档案": the devices the records know, a device's entries newest first,
// an entry's rows, two entries side by side, the entries exported, and the
// connected device or a whole fleet run (by a dtucfg process that keeps the
// entries) put back to a snapshot. It reads the store; it never writes one.
class RecordsWindow : public QWidget {
    Q_OBJECT
public:
    RecordsWindow(Dialogs &dialogs, WindowRecorder &records, QWidget *parent = nullptr);
    ~RecordsWindow() override;

    // 恢复到此快照: what the main window does with the entry picked.
    void OnRollback(std::function<void(const RecordEntry &snapshot)> rollback) { rollback_ = std::move(rollback); }
    // 整批恢复此次运行: how the main window would have the fleet run's
    // devices restored (its profile, script, access level); false with why
    // when it cannot be.
    using RunSettings = std::function<bool(FleetRollback::Settings *settings, QString *why)>;
    void OnRunSettings(RunSettings settings) { runSettings_ = std::move(settings); }

    // Reads the devices again (the store where the settings say now).
    void Refresh();
    // The entries the timeline shows, with their rows.
    QList<RecordEntry> ShownEntries();

private:
    void BuildWidgets();
    RecordStore *Store();
    void ShowDevices();
    void ShowTimeline();
    // The entry numbered id; why there is none is said in the status line.
    std::optional<RecordEntry> Entry(qint64 id);
    void ShowEntry();
    void Compare();
    void Export();
    void Rollback();
    void RollbackRun();
    QList<qint64> PickedIds() const;

    Dialogs &dialogs_;
    WindowRecorder &records_;
    std::function<void(const RecordEntry &)> rollback_;
    RunSettings runSettings_;
    std::optional<RecordEntry> picked_; // the one entry picked, with its rows
    std::unique_ptr<RecordStore> store_;
    RecordLocation storeLocation_;

    QLineEdit *filter_ = nullptr;
    QTableWidget *devices_ = nullptr;
    QTableWidget *timeline_ = nullptr;
    QTableWidget *rows_ = nullptr;
    QTableWidget *compare_ = nullptr;
    QTabWidget *tabs_ = nullptr;
    QLabel *status_ = nullptr;
    QPushButton *rollbackButton_ = nullptr;
    QPushButton *rollbackRunButton_ = nullptr;
    RecordsRunRollback *runRollback_ = nullptr;
};
