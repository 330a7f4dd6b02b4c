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
    return Translation::FromCode(code, &language) ? Choice(language) : std::nullopt;
}

void SaveChoice(Choice choice)
{
    QSettings settings = WindowSettings::Open();
    if (choice)
        settings.setValue(kLanguageKey, Translation::Code(*choice));
    else
        settings.remove(kLanguageKey);
}

Language Resolve(Choice choice, const QLocale &system)
{
    return choice.value_or(Translation::ForLocale(system));
}

} // namespace WindowLanguage
