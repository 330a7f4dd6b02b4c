#include "sim/PasswordGate.h"

QByteArray PasswordGate::Feed(const QByteArray &bytes)
{
    if (state_ == State::Open)
        return bytes;
    if (state_ == State::Rejected)
        return {};
    seen_ += bytes;
    const qsizetype compared = qMin(seen_.size(), password_.size());
    if (seen_.left(compared) != password_.left(compared)) {
        state_ = State::Rejected;
        seen_.clear();
        return {};
    }
    if (seen_.size() < password_.size())
        return {};
    state_ = State::Open;
    const QByteArray rest = seen_.mid(password_.size());
    seen_.clear();
    return rest;
}
