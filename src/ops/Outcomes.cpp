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
    if (outcome.stopped)
        return OutcomeId::Stopped;
    return ExchangeOutcome(outcome.result);
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
    if (outcome.cancelled)
        return OutcomeId::Cancelled;
    return ExchangeOutcome(outcome.result);
}

QString ChannelOutcome::FailureId() const
{
    switch (failure) {
    case Failure::None: break;
    case Failure::SerialPort: return QStringLiteral("serial-port");
    case Failure::Refused: return QStringLiteral("refused");
    case Failure::HostNotFound: return QStringLiteral("host-not-found");
    case Failure::TimedOut: return QStringLiteral("timed-out");
    case Failure::PasswordRefused: return QStringLiteral("password-refused");
    case Failure::Other: return QStringLiteral("network-error");
    }
    return {};
}
