#pragma once
#include <QString>

// Locations the tests use: the example files in the source tree and the
// programs in the build tree.
namespace TestPaths {
inline QString Source(const QString &relative) { return QStringLiteral(DTU_SOURCE_DIR "/") + relative; }
inline QString Example(const QString &name) { return Source(QStringLiteral("examples/") + name); }
// The example device profile, as the tests copy it into a work folder.
inline const QString kExampleProfile = QStringLiteral("example_profile.txt");
inline QString Program(const QString &name) { return QStringLiteral(DTU_BINARY_DIR "/src/") + name; }
} // namespace TestPaths
