#include "ops/Outcomes.h"

QString ResultId(int result)
{
    switch (result) {
    case TransactionResult::Accepted: return QStringLiteral("ok");
    case TransactionResult::Refused: return QStringLiteral("refused");
    case TransactionResult::NoAnswer: return QStringLiteral("no-answer");
    case TransactionResult::NotAFrame: return QStringLiteral("not-a-frame");
    case TransactionResult::BadChecksum: return QStringLiteral("bad-checksum");
    case TransactionResult::WrongCommandWord: return QStringLiteral("wrong-command-word");
    case TransactionResult::TableNotSwitched: return QStringLiteral("table-not-switched");
    default: return QStringLiteral("code%1").arg(result);
    }
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
