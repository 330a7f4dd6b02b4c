#include "ui/WindowLanguage.h"

#include "ui/WindowSettings.h"

namespace WindowLanguage {
namespace {
// "zh", "en", or absent for the system's language.
const QString kLanguageKey = QStringLiteral("window/language");
} // namespace

Choice SavedChoice()
{
    const QString code = WindowSettings::Open().value(kLanguageKey).toString();
    Language language;
    if (!Translation::FromCode(code, &language))
        return Choice::System;
    return language == Language::Chinese ? Choice::Chinese : Choice::English;
}

void SaveChoice(Choice choice)
{
    QSettings settings = WindowSettings::Open();
    if (choice == Choice::System)
        settings.remove(kLanguageKey);
    else
        settings.setValue(kLanguageKey,
                          Translation::Code(choice == Choice::Chinese ? Language::Chinese : Language::English));
}

Language Resolve(Choice choice, const QLocale &system)
{
    switch (choice) {
    case Choice::Chinese:
        return Language::Chinese;
    case Choice::English:
        return Language::English;
    case Choice::System:
        break;
    }
    return Translation::ForLocale(system);
}

} // namespace WindowLanguage
