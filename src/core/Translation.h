#pragma once
#include <QLocale>
#include <QString>

// The languages the programs speak. The texts in the sources are the Chinese
// ones; English comes from the translation built into the programs
// (translations/dtutools_en.ts, embedded as :/i18n/dtutools_en.qm).
enum class Language { Chinese, English };

namespace Translation {

// Chinese for a Chinese locale, English for any other.
Language ForLocale(const QLocale &locale);

// "zh" / "en", as kept in settings and given on command lines; false for
// anything else.
bool FromCode(const QString &code, Language *language);
QString Code(Language language);

// Makes the application's texts speak `language` from now on: English
// installs the built-in translation, Chinese removes it. Texts already shown
// keep their language. False when the translation could not be loaded.
bool Install(Language language);

// The language installed last (Chinese until Install is called).
Language Current();

// The text `source` of `context` in `language`, whatever language is
// installed: for a notice meant for a reader of the other language.
QString InLanguage(Language language, const char *context, const char *source);

} // namespace Translation
