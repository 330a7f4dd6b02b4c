#include "core/Translation.h"

#include <QCoreApplication>
#include <QTranslator>

namespace Translation {

namespace {
const QString kEnglishFile = QStringLiteral(":/i18n/dtutools_en.qm");

QTranslator &English()
{
    static QTranslator translator;
    return translator;
}

Language current = Language::Chinese;

bool LoadEnglish()
{
    QTranslator &english = English();
    return !english.isEmpty() || english.load(kEnglishFile);
}
} // namespace

Language ForLocale(const QLocale &locale)
{
    return locale.language() == QLocale::Chinese ? Language::Chinese : Language::English;
}

bool FromCode(const QString &code, Language *language)
{
    if (code != Code(Language::Chinese) && code != Code(Language::English))
        return false;
    *language = code == Code(Language::Chinese) ? Language::Chinese : Language::English;
    return true;
}

QString Code(Language language)
{
    return language == Language::Chinese ? QStringLiteral("zh") : QStringLiteral("en");
}

bool Install(Language language)
{
    QTranslator &english = English();
    QCoreApplication::removeTranslator(&english);
    current = Language::Chinese;
    if (language == Language::Chinese)
        return true;
    if (!LoadEnglish() || !QCoreApplication::installTranslator(&english))
        return false;
    current = Language::English;
    return true;
}

Language Current()
{
    return current;
}

QString InLanguage(Language language, const char *context, const char *source)
{
    if (language == Language::English && LoadEnglish()) {
        const QString text = English().translate(context, source);
        if (!text.isEmpty())
            return text;
    }
    return QString::fromUtf8(source);
}

} // namespace Translation
