#include "ops/WriteLoop.h"

#include "core/Frontend.h"
#include "core/WriteRules.h"
#include "ops/DeviceCommands.h"
#include "ops/ParamWriter.h"
#include "ops/Wording.h"
#include "params/ParamTableModel.h"
#include "protocol/ResultWording.h"
#include "session/DtuSession.h"

#include <optional>

namespace WriteLoop {
namespace {

// One run as the user sees it: before each row it reports where the run
// stands to the front end and tells the loop whether the user asked to stop
// (AppState::StopRequested); the stop takes effect between exchanges, never
// inside one. The end of the run is reported when it goes out of scope.
class WriteRun {
public:
    WriteRun(DtuSession &session, int total) : session_(session), total_(total) {}
    ~WriteRun() { session_.frontend().ShowWriteRun({done_, total_, QString(), false, QString()}); }
    WriteRun(const WriteRun &) = delete;
    WriteRun &operator=(const WriteRun &) = delete;

    // False when a stop was asked for (the row is not written); otherwise
    // reports the row and counts it as tried.
    bool BeginRow(const QString &name, const QString &number)
    {
        if (session_.state.StopRequested)
            return false;
        session_.frontend().ShowWriteRun({done_, total_, name, true, number});
        ++done_;
        return true;
    }
    int Done() const { return done_; }

private:
    DtuSession &session_;
    int total_;
    int done_ = 0;
};

// The rows of the parts that the run means to send, and those the level keeps.
void Plan(const DtuSession &session, const QList<Part> &parts, WriteReport &report)
{
    for (const Part &part : parts) {
        for (int i : part.rows) {
            const QString number = part.table->Cell(i, ColNumber);
            if (number.isEmpty())
                continue;
            if (WriteRules::MayWrite(session.state.AccessLevel, number))
                ++report.total;
            else
                report.withheld << number;
        }
    }
}

// Why the run cannot go on at this row; false when it can.
bool EndsHere(DtuSession &session, WriteRun &run, const ParamTableModel &table, int row, WriteReport &report,
              bool givenUp)
{
    if (session.state.ClosingFlag)
        report.closing = true;
    else if (!session.channel.ChannelIsOpen())
        report.channelLost = true; // each row would wait out its whole reply time-out for nothing
    else if (givenUp || !run.BeginRow(table.Cell(row, ColName), table.Cell(row, ColNumber)))
        report.stopped = true;
    else
        return false;
    return true;
}

void KeepUnreached(DtuSession &session, const WriteReport &report)
{
    // A run that went through, or sent something, leaves only what it did
    // not reach; one that ended before its first row keeps the edits too.
    ModifiedList &list = session.state.ModifiedParamList;
    const QStringList before = list.Items();
    if (!report.rows.isEmpty() || !report.EndedEarly())
        list.Clear();
    for (const QString &number : report.notReached)
        list.Add(number);
    if (list.Items() != before)
        session.state.NotifyModifiedChanged();
}

} // namespace

WriteReport Run(DtuSession &session, const QList<Part> &parts, bool giveUpWhenSilent)
{
    WriteReport report;
    Plan(session, parts, report);
    bool ended = !session.RequireChannel();
    report.channelOpen = !ended;
    std::optional<WriteRun> run;
    if (!ended)
        run.emplace(session, report.total);
    for (const Part &part : parts) {
        ParamTableModel &table = *part.table;
        if (!ended && part.channel != kNoSelection) {
            if (!session.channel.ChannelIsOpen()) {
                report.channelLost = ended = true;
            } else if (const int selected = DeviceCommands::SelectTableFor(session, part.channel, Wording::WriteWord());
                       selected != TransactionResult::Accepted) {
                report.tableNotSwitched = selected == TransactionResult::TableNotSwitched;
                report.selectionUnanswered = selected == TransactionResult::NoAnswer;
                ended = true;
            }
        }
        for (int i : part.rows) {
            // Cell() is empty past the end, should the table shrink during a wait.
            const QString number = table.Cell(i, ColNumber);
            if (!WriteRules::MayWrite(session.state.AccessLevel, number))
                continue;
            if (!ended)
                ended = EndsHere(session, *run, table, i, report,
                                 giveUpWhenSilent && !report.rows.isEmpty() && !report.DeviceAnswered());
            if (ended) {
                report.notReached << number;
                continue;
            }
            table.SetCurrentRow(i);
            RowResult row = ParamWriter::SetParameter(session, table, number);
            row.extended = table.kind() == ParamTableModel::Kind::Extended;
            report.rows << row;
            if (row.result == TransactionResult::NotAFrame)
                session.frontend().ClearEditors();
        }
    }
    const QString end = Wording::WriteEnd(report, run ? run->Done() : 0);
    if (!end.isEmpty())
        ResultWording::Post(session.frontend(), end);
    KeepUnreached(session, report);
    return report;
}

QList<int> NumberedRows(const ParamTableModel &table)
{
    QList<int> rows;
    for (int i = 0; i < table.Count(); ++i)
        if (!table.Cell(i, ColNumber).isEmpty())
            rows << i;
    return rows;
}

} // namespace WriteLoop
