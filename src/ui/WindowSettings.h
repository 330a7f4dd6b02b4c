#pragma once
#include <QString>

// Where the window keeps its preferences between runs (per user).
namespace WindowSettings {
inline const QString kOrganisation = QStringLiteral("dtutools");
inline const QString kApplication = QStringLiteral("dtuconfig");
// The device records: where they are kept ("" for the default file, another
// SQLite file, or a postgresql:// URL) and whether the window keeps them.
inline const QString kRecordsLocationKey = QStringLiteral("store/location");
inline const QString kRecordsOffKey = QStringLiteral("store/off");
} // namespace WindowSettings
