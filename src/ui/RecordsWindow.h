#pragma once
#include "records/RecordEntry.h"
#include "records/RecordLocation.h"

#include <QWidget>
#include <functional>
#include <memory>

class Dialogs;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTabWidget;
class RecordStore;
class WindowRecords;

// "设备档案": what the device records hold. The devices (RecordsDevices)
// with a filter (RecordsFilter); the selected device's entries, newest
// first (RecordsTimeline); the rows of the entry picked (RecordsRows);
// two entries picked compared side by side (RecordsCompare); the shown
// entries exported (RecordsExport); the connected device put back to the
// picked snapshot (RecordsRollback). It reads the store; it never writes
// one.
class RecordsWindow : public QWidget {
    Q_OBJECT
public:
    RecordsWindow(Dialogs &dialogs, WindowRecords &records, QWidget *parent = nullptr);
    ~RecordsWindow() override;

    // 恢复到此快照: what the main window does with the entry picked.
    void OnRollback(std::function<void(const RecordEntry &snapshot)> rollback) { rollback_ = std::move(rollback); }

    // Reads the devices again (the store where the settings say now).
    void Refresh();
    // The entries the timeline shows, with their rows.
    QList<RecordEntry> ShownEntries();

private:
    void BuildWidgets();
    RecordStore *Store();
    void ShowDevices();
    void ShowTimeline();
    void ShowEntry();
    void Compare();
    void Export();
    void Rollback();
    QList<qint64> PickedIds() const;
    void Say(const QString &text);

    Dialogs &dialogs_;
    WindowRecords &records_;
    std::function<void(const RecordEntry &)> rollback_;
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
};
