#include "ui/WindowLanguage.h"

#include "ui/WindowSettings.h"

#include <QSettings>

namespace WindowLanguage {
namespace {
// "zh", "en", or absent for the system's language.
const QString kLanguageKey = QStringLiteral("window/language");
} // namespace

Choice SavedChoice()
{
    const QString code =
        QSettings(WindowSettings::kOrganisation, WindowSettings::kApplication).value(kLanguageKey).toString();
    Language language;
    if (!Translation::FromCode(code, &language))
        return Choice::System;
    return language == Language::Chinese ? Choice::Chinese : Choice::English;
}

void SaveChoice(Choice choice)
{
    QSettings settings(WindowSettings::kOrganisation, WindowSettings::kApplication);
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

Language ForThisRun()
{
    return Resolve(SavedChoice(), QLocale::system());
}

} // namespace WindowLanguage
