#include "ops/Outcomes.h"

OutcomeId ExchangeOutcome(int result)
{
    switch (result) {
    case TransactionResult::Accepted: return OutcomeId::Ok;
    case TransactionResult::Refused: return OutcomeId::Refused;
    case TransactionResult::NoAnswer: return OutcomeId::NoAnswer;
    case TransactionResult::NotAFrame: return OutcomeId::NotAFrame;
    case TransactionResult::BadChecksum: return OutcomeId::BadChecksum;
    case TransactionResult::WrongCommandWord: return OutcomeId::WrongCommandWord;
    case TransactionResult::TableNotSwitched: return OutcomeId::TableNotSwitched;
    case TransactionResult::NothingReported: return OutcomeId::NothingReported;
    default: return OutcomeId::Failed;
    }
}

QString ResultId(int result)
{
    return OutcomeName(ExchangeOutcome(result));
}

OutcomeId Verdict(const ReadOutcome &outcome)
{
    if (!outcome.channelOpen)
        return OutcomeId::ChannelClosed;
    return outcome.stopped ? OutcomeId::Stopped : ExchangeOutcome(outcome.result);
}

OutcomeId Verdict(const WriteReport &report)
{
    if (!report.channelOpen)
        return OutcomeId::ChannelClosed;
    if (report.tableNotSwitched)
        return OutcomeId::TableNotSwitched;
    if (report.selectionUnanswered)
        return OutcomeId::NoAnswer;
    if (report.channelLost)
        return OutcomeId::ChannelLost;
    if (report.stopped || report.closing)
        return OutcomeId::Stopped;
    if (!report.refused.isEmpty())
        return OutcomeId::Failed;
    if (!report.Failed().isEmpty())
        return report.Written() > 0 ? OutcomeId::WrittenWithErrors : OutcomeId::Failed;
    if (!report.notReached.isEmpty())
        return OutcomeId::NotReached;
    return OutcomeId::Ok;
}

OutcomeId Verdict(const CommandOutcome &outcome)
{
    if (!outcome.channelOpen)
        return OutcomeId::ChannelClosed;
    return outcome.cancelled ? OutcomeId::Cancelled : ExchangeOutcome(outcome.result);
}

QString ChannelOutcome::FailureId() const
{
    // In the order of Failure, None first.
    static const char *const kIds[] = {"", "serial-port", "refused", "host-not-found", "timed-out",
                                       "password-refused", "network-error"};
    static_assert(std::size(kIds) == static_cast<size_t>(Failure::Other) + 1);
    return QLatin1String(kIds[static_cast<int>(failure)]);
}
