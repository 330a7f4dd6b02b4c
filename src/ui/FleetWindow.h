#pragma once
#include "fleet/FleetRunner.h"

#include <QWidget>

class Dialogs;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class WindowRecorder;

// "多台设备配置": one reference profile written onto many devices by the
// fleet runner, each with its own values from the device table. It never
// touches the main window's channel, and it waits for nothing: the runner
// reports through signals.
class FleetWindow : public QWidget {
    Q_OBJECT
public:
    // The workers keep their entries where the main window's records are
    // (or nowhere, when its switch is off).
    FleetWindow(Dialogs &dialogs, const WindowRecorder &records, const QString &profilePath, QWidget *parent = nullptr);

    // The device table as an inventory (for a run and for tests).
    Inventory::Table DeviceTable() const;
    const FleetRunner &Runner() const { return runner_; }

private:
    void AddDevice(const FleetDevice &device);
    void AddValueColumn(const QString &number);
    void ImportInventory();
    void ChooseProfile();
    // 开始 (audit false) or 核对 (audit true: read and compare, nothing written).
    void StartRun(bool audit);
    void ExportReport();
    void OnStarted(int index);
    void OnProgress(int index, const QString &phase, int done, int total);
    void OnFinished(int index);
    void OnRunEnded();
    void SetIdle(bool idle);
    int ProgressColumn() const;
    // Why columns or cells of the table would be refused, one line each.
    QStringList CellRefusals(const Inventory::Table &table, const FleetRunner::Settings &settings, int level) const;
    QProgressBar *Bar(int row) const;
    void ShowResult(int row, const QString &text);

    Dialogs &dialogs_;
    const WindowRecorder &records_;
    FleetRunner runner_;
    QString runId_; // the run's id in the device records ("": not recorded)
    bool auditing_ = false;
    QStringList valueColumns_;
    QLineEdit *profile_;
    QComboBox *ports_;
    QLineEdit *tcpTarget_;
    QLineEdit *newColumn_;
    QTableWidget *devices_;
    QSpinBox *jobs_;
    QComboBox *level_;
    QCheckBox *fast_;
    QCheckBox *verify_;
    QCheckBox *writeAll_;
    QPushButton *start_;
    QPushButton *audit_;
    QPushButton *stop_;
    QPushButton *export_;
    QLabel *totals_;
    QList<QWidget *> editing_; // controls locked during a run
};
