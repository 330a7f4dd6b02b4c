#pragma once
#include <QByteArray>
#include <QtGlobal>

// Sets (or, with set false, unsets) an environment variable for the life of
// the object, then puts back what was there.
class EnvironmentVariable {
public:
    EnvironmentVariable(const char *name, const QByteArray &value, bool set = true)
        : name_(name), old_(qgetenv(name)), wasSet_(qEnvironmentVariableIsSet(name))
    {
        if (set)
            qputenv(name, value);
        else
            qunsetenv(name);
    }
    ~EnvironmentVariable()
    {
        if (wasSet_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }
    EnvironmentVariable(const EnvironmentVariable &) = delete;
    EnvironmentVariable &operator=(const EnvironmentVariable &) = delete;

private:
    const char *name_;
    QByteArray old_;
    bool wasSet_;
};
