#pragma once
#include <QByteArray>

// The maintenance port wants the password as the first bytes of a
// connection, with no frame around it; the tool may send its first request
// right behind it, even in the same segment. Bytes that go astray from the
// password reject the connection: a peer that does not know the password
// gets no device.
class PasswordGate {
public:
    enum class State { Waiting, Open, Rejected };

    explicit PasswordGate(QByteArray password) : password_(std::move(password)) {}

    // Takes received bytes; once open, returns those meant for the device
    // (what followed the password, then everything).
    QByteArray Feed(const QByteArray &bytes);
    State state() const { return state_; }

private:
    QByteArray password_;
    QByteArray seen_;
    State state_ = State::Waiting;
};
