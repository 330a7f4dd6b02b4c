#pragma once
#include "core/Translation.h"

#include <optional>

// The window's language: the one picked in the menu, kept in the settings,
// else the system's (Chinese for a Chinese locale, English otherwise). It is
// chosen once, before the window is built; a new pick takes effect at the
// next start.
namespace WindowLanguage {

using Choice = std::optional<Language>; // none: the system's

Choice SavedChoice();
void SaveChoice(Choice choice);
Language Resolve(Choice choice, const QLocale &system);

} // namespace WindowLanguage
