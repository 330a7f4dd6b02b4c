#pragma once
#include "core/OutcomeId.h"
#include "protocol/TransactionResult.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <algorithm>

// What the device operations did, as values. The front ends judge by these
// (an exit status, a fleet outcome, a status display) and render them through
// Wording; nothing decides by reading a displayed text back.

// An exchange's result (TransactionResult) as an outcome, and its stable
// name for files and scripts: "ok", "refused", "no-answer"...
OutcomeId ExchangeOutcome(int result);
QString ResultId(int result);

// One command of one exchange (status, signal, clock, set clock, reset,
// restore) or a text query (version, IMEI).
struct CommandOutcome {
    bool channelOpen = true; // false: nothing was sent (the closed-channel message was shown)
    bool cancelled = false;  // the user answered Cancel to the command's question
    int result = TransactionResult::Accepted; // the exchange's code
    int value = -1;          // the byte read: status, CSQ
    QString text;            // the text read: version, IMEI, clock

    bool Ok() const { return channelOpen && !cancelled && result == TransactionResult::Accepted; }
};

// "查询DTU版本/IMEI": two exchanges.
struct VersionOutcome {
    CommandOutcome version, imei;
    bool stopped = false; // a stop asked for after the version: the IMEI was not asked
    bool Ok() const { return !stopped && version.Ok() && imei.Ok(); }
};

// A read of one table or of both.
struct ReadOutcome {
    bool channelOpen = true;
    // The first failure: NoAnswer, NotAFrame, BadChecksum, WrongCommandWord,
    // TableNotSwitched or NothingReported; Accepted when every table asked
    // for was read.
    int result = TransactionResult::Accepted;
    int tablesRead = 0;
    // The numbers the device reported, per table read (the others keep
    // values that are not the device's).
    QStringList reportedMain, reportedExt;
    bool stopped = false; // a stop asked for between two tables: the read is not whole

    bool Ok() const { return channelOpen && !stopped && result == TransactionResult::Accepted; }
};

// One row of a write run: the set command of its number and how the device
// took it.
struct RowResult {
    QString number, name;
    int result = TransactionResult::NoAnswer;
    qsizetype bytesSent = 0; // the value bytes carried by the frame
    bool extended = false;   // a row of the extended table (numbers may repeat across tables)

    bool Ok() const { return result == TransactionResult::Accepted; }
};

// A row whose hex cell is not whole bytes of hex digits ("HEX:1F9", a
// profile's odd value): sent as it stands, the device would get something
// nobody wrote.
struct UnsendableRow {
    QString number, name, hex; // hex: the cell as it stands, "HEX:1F9"
};

// A run of parameter writes: a page's edits, one table's batch, both tables'
// batch, a fleet device's provision.
struct WriteReport {
    int total = 0;            // rows the run meant to send
    QList<UnsendableRow> refused; // a batch refused before its first frame: nothing was sent
    QList<RowResult> rows;    // every row sent, in the order sent
    QStringList notReached;   // rows it meant to send and did not (numbers)
    QStringList withheld;     // rows the access level keeps from the device
    bool channelOpen = true;  // false: the channel was closed before the run began
    bool tableNotSwitched = false; // the device did not confirm a table's channel
    bool selectionUnanswered = false; // the device said nothing to a table's channel selection
    bool stopped = false;     // the user asked it to stop between two rows
    bool channelLost = false; // the channel closed during the run
    bool closing = false;     // the window closed during the run

    int Written() const
    {
        return static_cast<int>(std::count_if(rows.begin(), rows.end(), [](const RowResult &r) { return r.Ok(); }));
    }
    QList<RowResult> Failed() const
    {
        QList<RowResult> failed = rows;
        failed.removeIf([](const RowResult &r) { return r.Ok(); });
        return failed;
    }
    // Some row got an answer from the device, good or bad.
    bool DeviceAnswered() const
    {
        return std::any_of(rows.begin(), rows.end(),
                           [](const RowResult &r) { return r.result != TransactionResult::NoAnswer; });
    }
    bool EndedEarly() const
    {
        return !refused.isEmpty() || !channelOpen || tableNotSwitched || selectionUnanswered || stopped || channelLost || closing;
    }
    bool Ok() const { return !EndedEarly() && notReached.isEmpty() && Failed().isEmpty(); }
};

// Opening the data channel: the serial port or the TCP maintenance port.
struct ChannelOutcome {
    // Why it did not open.
    enum class Failure {
        None,
        SerialPort,      // the serial port did not open (reason: the port's text)
        Refused,         // nothing listens at the address
        HostNotFound,    // the host name does not resolve
        TimedOut,        // no answer to the connection attempt in time
        PasswordRefused, // connected, then closed by the device right after the password
        Other,           // another network error (reason: the system's text)
    };
    bool open = false;
    Failure failure = Failure::None;
    QString reason; // why it did not open, in words (Wording::ChannelFailure for TCP)
    QString detail; // the system's own words for Other
    // The main table's channel selected after opening: the device's answer
    // (Accepted when nothing needed to be sent).
    int selection = TransactionResult::Accepted;
    bool Ok() const { return open; }
    // A stable name for the failure, for files and scripts: "serial-port",
    // "refused", "host-not-found", "timed-out", "password-refused",
    // "network-error"; empty when it opened.
    QString FailureId() const;
};

// How each ended, as one outcome: what a record entry keeps and what a
// front end's verdict starts from.
OutcomeId Verdict(const ReadOutcome &outcome);
OutcomeId Verdict(const WriteReport &report);
OutcomeId Verdict(const CommandOutcome &outcome);
