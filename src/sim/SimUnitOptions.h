#pragma once
#include "sim/SimOptions.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QString>

// Typed values of one parsed stretch of dtusim's command line. Each reader
// leaves its target alone when the option is absent, and returns false with
// a one-line reason in *error when the value does not fit.
class SimOptionReader {
public:
    SimOptionReader(const QCommandLineParser &parser, QString *error) : parser_(parser), error_(error) {}

    bool IsSet(const char *name) const { return parser_.isSet(QLatin1String(name)); }
    QString Value(const char *name) const { return parser_.value(QLatin1String(name)); }
    QStringList Values(const char *name) const { return parser_.values(QLatin1String(name)); }

    template <typename T>
    bool Number(const char *name, int min, int max, T *into) const
    {
        int v = 0;
        if (!IsSet(name))
            return true;
        if (!ToInt(Value(name), min, max, &v))
            return Fail(QStringLiteral("--%1 needs a number from %2 to %3, not \"%4\"")
                            .arg(QLatin1String(name)).arg(min).arg(max).arg(Value(name)));
        *into = static_cast<T>(v);
        return true;
    }
    // "N:MS", such as example.
    bool Pair(const char *name, int firstMin, int firstMax, int secondMax, const char *example, int *first,
              int *second) const;
    // Hex digits in pairs; spaces between them are allowed.
    bool Hex(const char *name, QByteArray *into) const;

    bool Fail(const QString &reason) const;

    // A decimal number from min to max.
    static bool ToInt(const QString &text, int min, int max, int *out);

private:
    const QCommandLineParser &parser_;
    QString *error_;
};

// The options a unit may have of its own: password, readings, values and
// faults.
namespace SimUnitOptions {

// Lays the options set on reader over *unit: a value replaces the one
// there, a switch turns its fault on, a --only list replaces the list,
// --signal and --signal-steps replace each other, and a --value or
// --ext-value replaces the one given for that parameter. False with the
// reason.
bool Apply(const SimOptionReader &reader, SimUnitSettings *unit);

} // namespace SimUnitOptions
