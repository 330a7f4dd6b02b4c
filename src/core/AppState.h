#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

// Parameter numbers edited but not yet written. No duplicates, letter case
// ignored when comparing; order of insertion kept (writing follows table order).
class ModifiedList {
public:
    void Add(const QString &number)
    {
        if (!Contains(number))
            items_.append(number);
    }
    // Takes the number out again (an edit the row could not hold).
    void Remove(const QString &number)
    {
        items_.removeIf([&number](const QString &item) { return item.compare(number, Qt::CaseInsensitive) == 0; });
    }
    bool Contains(const QString &number) const { return items_.contains(number, Qt::CaseInsensitive); }
    void Clear() { items_.clear(); }
    bool IsEmpty() const { return items_.isEmpty(); }
    int Count() const { return items_.size(); }
    const QStringList &Items() const { return items_; }

private:
    QStringList items_;
};

// The byte counters of the transparent test are 32-bit and wrap round on a
// long run instead of overflowing.
inline qint32 AddToByteCount(qint32 count, qsizetype bytes)
{
    return static_cast<qint32>(static_cast<quint32>(count) + static_cast<quint32>(bytes));
}

// The process-wide values of one run of the tool, shared by every subsystem.
// They live here rather than in the window so that the command line tool and
// the tests drive the very same logic.
class AppState : public QObject {
    Q_OBJECT
public:
    int AccessLevel = 0;            // 1: hex trace; >= 2: "0091" unlocked
    bool LoginFlag = false;
    int MainParamChannel = 0;       // device channel serving the main table
    int CurrentParamChannel = 0;    // channel last selected; -1 = not known
    ModifiedList ModifiedParamList;
    QByteArray MainParamIdList;     // two bytes per numbered row, in row order
    QByteArray ExtParamIdList;
    bool ClosingFlag = false;       // ends every reply wait at once
    // The user asked the running write run to stop after its current exchange.
    bool StopRequested = false;
    // Opening the serial port leaves the profile file as it is (it would
    // otherwise store the port settings into it): for runs that share it.
    bool KeepProfileFile = false;
    bool ExtPageVisible = false;    // the "   接口参数设置   " tab is shown (TabSheet5)
    bool HexDisplayOn = false;      // CheckBox2: received lines carry a hex part
    qint32 SentByteCount = 0;       // transparent test counters (StatusBar2)
    qint32 ReceivedByteCount = 0;

    bool TraceOn() const { return AccessLevel == 1; }
    bool MainTableActive() const { return CurrentParamChannel == MainParamChannel; }
    bool ExtTableActive() const { return CurrentParamChannel == 0; }

    // Calls after changing ModifiedParamList, so views redraw the blue rows.
    void NotifyModifiedChanged() { emit modifiedChanged(); }

signals:
    void modifiedChanged();
};
