#pragma once
#include <QString>

// Where the window keeps its preferences between runs (per user).
namespace WindowSettings {
inline const QString kOrganisation = QStringLiteral("dtutools");
inline const QString kApplication = QStringLiteral("dtuconfig");
} // namespace WindowSettings
