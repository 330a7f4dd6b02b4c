#pragma once
#include "core/Translation.h"

// The window's language: the one picked in the menu, kept in the settings,
// else the system's (Chinese for a Chinese locale, English otherwise). It is
// chosen once, before the window is built; a new pick takes effect at the
// next start.
namespace WindowLanguage {

enum class Choice { System, Chinese, English };

Choice SavedChoice();
void SaveChoice(Choice choice);
Language Resolve(Choice choice, const QLocale &system);

} // namespace WindowLanguage
