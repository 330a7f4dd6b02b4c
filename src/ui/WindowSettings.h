#pragma once
#include <QSettings>

// Where the window keeps its preferences between runs (per user).
namespace WindowSettings {
inline QSettings Open()
{
    return QSettings(QStringLiteral("dtutools"), QStringLiteral("dtuconfig"));
}
} // namespace WindowSettings
