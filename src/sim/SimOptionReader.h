#pragma once
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
        if (!NumberInto(name, min, max, &v))
            return false;
        if (IsSet(name))
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
    bool NumberInto(const char *name, int min, int max, int *into) const;

    const QCommandLineParser &parser_;
    QString *error_;
};
