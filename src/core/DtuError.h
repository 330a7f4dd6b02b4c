#pragma once
#include <QString>
#include <stdexcept>

// An error that ends the operation that raised it: a script error, a profile
// that cannot be read, a channel error. Caught at the edge (the window's
// general error box, the command line's standard error), never inside I/O.
class DtuError : public std::runtime_error {
public:
    explicit DtuError(const QString &message)
        : std::runtime_error(message.toStdString()), text_(message) {}
    const QString &text() const { return text_; }

private:
    QString text_;
};
